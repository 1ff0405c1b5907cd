#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

class CassCodeLookup : public ::testing::Test {
 protected:
  int lookup(const std::string& code) { return converter.LookupCassCode(code); }

  TempDir dir;
  FeatureFileEngine engine{dir.path()};
  RecordingMessages messages;
  CCassConverter converter{engine, messages};
};

TEST_F(CassCodeLookup, AnswersAsAScanFromTheTop) {
  // The zero byte cuts its line, Ctrl-Z ends the file.
  dir.write("CASSCode.txt", std::string("300000 7311\n300000 9999\r\n  144301\t4301 words\n房屋 2120\n204202 8521\n"
                                        "301000\n456") +
                                '\0' + " 77\n789 3120\n\x1a" "999 111\n");
  const std::pair<const char*, int> cases[] = {
      {"300000", 7311},                    // the first line of a code wins
      {"144301", 4301}, {"房屋", 2120},    // white space and GBK tokens
      {"300", 0}, {"3000000", 0}, {"房", 0}, {" 300000", 0}, {"", 0},  // whole tokens only
      {"301000", 8521}, {"456", 8521},    // no integer: the nearest earlier one
      {"789", 3120}, {"999", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(lookup(c.first), c.second) << "'" << c.first << "'";
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CassCodeLookup, ALargeTableAnswersEveryCodeAndNoOther) {
  std::string table;
  for (int c = 0; c < 5000; ++c) table += std::to_string(100000 + c) + " " + std::to_string(c + 1) + "\n";
  table += "100007 99\n";  // a repeat changes nothing
  dir.write("CASSCode.txt", table);
  for (int c = 0; c < 5000; ++c) ASSERT_EQ(lookup(std::to_string(100000 + c)), c + 1);
  EXPECT_EQ(lookup("10000"), 0);
  EXPECT_EQ(lookup("1000000"), 0);
  EXPECT_EQ(lookup("105000"), 0);
}

TEST_F(CassCodeLookup, LineWithoutIntegerBeforeAnyAnswersZeroAndAnEmptyTableToo) {
  dir.write("CASSCode.txt", "301000\n204202 8521\n");
  EXPECT_EQ(lookup("301000"), 0);
  TempDir other;
  other.write("CASSCode.txt", "");
  FeatureFileEngine engine2(other.path());
  CCassConverter empty(engine2, messages);
  EXPECT_EQ(empty.LookupCassCode("301000"), 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CassCodeLookup, MissingTableIsReportedAtEveryLookupUntilItAppears) {
  EXPECT_EQ(lookup("300000"), 0);
  EXPECT_EQ(lookup("300000"), 0);
  EXPECT_EQ(messages.shown, std::vector<std::string>(2, "can't find CASSCode.txt failed!!"));
  EXPECT_EQ(messages.types, std::vector<unsigned>(2, ui::kMbOk));
  dir.write("CASSCode.txt", "300000 7310\n");
  EXPECT_EQ(lookup("300000"), 7310);
  EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(CassCodeLookup, TableIsReadOnceForTheRun) {
  dir.write("CASSCode.txt", "123 4301\n456 5610\n");
  EXPECT_EQ(lookup("123"), 4301);
  std::remove(dir.file("CASSCode.txt").c_str());
  EXPECT_EQ(lookup("456"), 5610);
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace dz::test
