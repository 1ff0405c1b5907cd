#include <cstdio>

#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

class CassCodeLookup : public ::testing::Test {
 protected:
  int lookup(const std::string& code) { return converter.LookupCassCode(code); }
  void writeTable(const std::string& text) { dir.write("CASSCode.txt", text); }

  TempDir dir;
  FeatureFileEngine engine{dir.path()};
  RecordingMessages messages;
  CCassConverter converter{engine, messages};
};

TEST_F(CassCodeLookup, FirstLineOfACodeWins) {
  writeTable("300000 7311\n300000 9999\n301000 7311 trailing words\n");
  EXPECT_EQ(lookup("300000"), 7311);
  EXPECT_EQ(lookup("301000"), 7311);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CassCodeLookup, ComparesWholeTokensExactly) {
  writeTable("300000 7311\n  144301\t4301\nAbc 5\n");
  EXPECT_EQ(lookup("300"), 0);
  EXPECT_EQ(lookup("3000000"), 0);
  EXPECT_EQ(lookup(" 300000"), 0);  // a table token never holds white space
  EXPECT_EQ(lookup("144301"), 4301);
  EXPECT_EQ(lookup("abc"), 0);
  EXPECT_EQ(lookup("Abc"), 5);
  EXPECT_EQ(lookup(""), 0);
}

TEST_F(CassCodeLookup, LineWithoutIntegerAnswersTheNearestEarlierInteger) {
  writeTable("204202 8521\n\n301000\n300000 x\n");
  EXPECT_EQ(lookup("301000"), 8521);
  EXPECT_EQ(lookup("300000"), 8521);
}

TEST_F(CassCodeLookup, LineWithoutIntegerBeforeAnyAnswersZero) {
  writeTable("301000\n204202 8521\n");
  EXPECT_EQ(lookup("301000"), 0);
  EXPECT_EQ(lookup("204202"), 8521);
}

TEST_F(CassCodeLookup, EmptyTableAnswersZeroWithoutMessage) {
  writeTable("");
  EXPECT_EQ(lookup("300000"), 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CassCodeLookup, GbkCodesCompareByteForByte) {
  writeTable("房屋 2120\n");
  EXPECT_EQ(lookup("房屋"), 2120);
  EXPECT_EQ(lookup("房"), 0);
}

TEST_F(CassCodeLookup, MissingTableIsReportedAtEveryLookupUntilItAppears) {
  EXPECT_EQ(lookup("300000"), 0);
  EXPECT_EQ(lookup("300000"), 0);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0], "can't find CASSCode.txt failed!!");
  EXPECT_EQ(messages.types[0], ui::kMbOk);
  writeTable("300000 7310\n");
  EXPECT_EQ(lookup("300000"), 7310);
  EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(CassCodeLookup, TableIsReadOnceAndKeptForTheRun) {
  writeTable("123 4301\n456 5610\n");
  EXPECT_EQ(lookup("123"), 4301);
  std::remove(dir.file("CASSCode.txt").c_str());
  EXPECT_EQ(lookup("456"), 5610);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CassCodeLookup, TableLinesFollowTextModeRules) {
  // CR LF ends a line; a zero byte cuts it; Ctrl-Z ends the file.
  writeTable(std::string("123 4301\r\n456") + '\0' + " 77\n789 3120\n\x1a" "999 111\n");
  EXPECT_EQ(lookup("123"), 4301);
  EXPECT_EQ(lookup("456"), 4301);
  EXPECT_EQ(lookup("789"), 3120);
  EXPECT_EQ(lookup("999"), 0);
}

}  // namespace
}  // namespace dz::test
