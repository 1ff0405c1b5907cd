// The indexes of the code table and of the two parcel side files, on their
// own: each answers as a scan of its file from the top would.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <unordered_map>

#include "base/byte_hash.h"
#include "cass/cass_code_table.h"
#include "cass/parcel_import.h"
#include "tests/support/draw.h"
#include "tests/support/test_files.h"

namespace dz::test {
namespace {

TEST(CassCodeTableIndex, FirstLineOfACodeWinsEvenWithoutItsInteger) {
  TempDir dir;
  CassCodeTable table;
  ASSERT_TRUE(table.load(dir.write("CASSCode.txt", "301000\n301000 7311\n300000 7310\n204202\n204202 8521\n")));
  EXPECT_EQ(table.find("301000"), 0);     // no integer read yet
  EXPECT_EQ(table.find("204202"), 7310);  // the integer of the line before
  EXPECT_EQ(table.size(), 3u);
}

TEST(CassCodeTableIndex, CodesOfEveryLengthAreTheirWholeBytes) {
  // Up to 8 bytes a code is kept in its slot, a longer one beside it: codes
  // that share their first 8 bytes, a code and its prefix, and a looked-up
  // code with a zero byte after a kept one are all different codes.
  TempDir dir;
  CassCodeTable table;
  ASSERT_TRUE(table.load(dir.write("CASSCode.txt",
                                   "a 1\nab 2\n12345678 3\n123456789 4\n1234567890 5\n123456780 6\n"
                                   "房屋结构砖混 7\n房屋结构砖木 8\n")));
  const std::pair<std::string, int> cases[] = {
      {"a", 1},          {"ab", 2},          {"12345678", 3},     {"123456789", 4},   {"1234567890", 5},
      {"123456780", 6},  {"房屋结构砖混", 7}, {"房屋结构砖木", 8},  {"房屋结构", 0},     {"1234567", 0},
      {"12345678 ", 0},  {"1234567891", 0},  {std::string("ab\0", 3), 0},  {std::string("a\0", 2), 0},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(table.find(c.first), c.second) << "'" << c.first << "'";
  EXPECT_EQ(table.size(), 8u);
}

// Lines shorter than a table sized from the file's length expects: the table
// grows as it is read, before and after its first long code, and every code
// answers as before.
TEST(CassCodeTableIndex, ATableOfShortLinesGrowsWithItsLongCodes) {
  std::string text, longOne, longTwo;
  for (int i = 0; i < 4000; ++i) {
    text += std::to_string(i) + "\n";  // a code without its integer: that of the line before
    if (i == 700) text += (longOne = "longer_than_a_head_" + std::to_string(i)) + " 77\n";
    if (i == 3900) text += (longTwo = "longer_than_a_head_" + std::to_string(i)) + " 78\n";
  }
  TempDir dir;
  CassCodeTable table;
  ASSERT_TRUE(table.load(dir.write("CASSCode.txt", "0 5\n" + text)));
  EXPECT_EQ(table.size(), 4002u);
  EXPECT_EQ(table.find("0"), 5);
  EXPECT_EQ(table.find("700"), 5);
  EXPECT_EQ(table.find("701"), 77);
  EXPECT_EQ(table.find("3999"), 78);
  EXPECT_EQ(table.find(longOne), 77);
  EXPECT_EQ(table.find(longTwo), 78);
  EXPECT_EQ(table.find("longer_than_a_head_701"), 0);
  EXPECT_EQ(table.find("4000"), 0);
}

TEST(CassCodeTableIndex, LongCodesOfOneHashAreStillTwoCodes) {
  // Two codes of 15 bytes, the same first 8, whose hashes are equal: the
  // first such pair of a run of codes (by the birthday bound, within the
  // first hundred thousand or so).
  std::unordered_map<uint32_t, std::string> seen;
  std::string a, b;
  for (int i = 0; i < 600000 && a.empty(); ++i) {
    std::string code = "12345678" + std::to_string(1000000 + i);
    auto [at, fresh] = seen.emplace(hashText(code), code);
    if (!fresh) a = at->second, b = code;
  }
  ASSERT_FALSE(a.empty());
  TempDir dir;
  CassCodeTable table;
  ASSERT_TRUE(table.load(dir.write("CASSCode.txt", a + " 1\n")));
  EXPECT_EQ(table.find(a), 1);
  EXPECT_EQ(table.find(b), 0) << a << " and " << b;
  ASSERT_TRUE(table.load(dir.write("CASSCode.txt", a + " 1\n" + b + " 2\n")));
  EXPECT_EQ(table.find(a), 1);
  EXPECT_EQ(table.find(b), 2);
}

TEST(QsParcelIndexLines, WholeLinesFromAPositionOnAndEndLinesByTheirFirstByte) {
  TempDir dir;
  QsParcelIndex qs;
  ASSERT_TRUE(qs.load(dir.write("in.qs", "P0\r\nP0 \nP01\nx\nE\nP0\nEnd\ne\n E\n")));
  ASSERT_EQ(qs.lineCount(), 9u);
  EXPECT_EQ(qs.line(0), "P0");  // the line end is not part of the line
  EXPECT_EQ(qs.findLine("P0", 0), 0u);
  EXPECT_EQ(qs.findLine("P0", 1), 5u);
  EXPECT_EQ(qs.findLine("P0", 5), 5u);
  EXPECT_EQ(qs.findLine("P0", 6), 9u);
  EXPECT_EQ(qs.findLine("P0 ", 0), 1u);
  EXPECT_EQ(qs.findLine("P", 0), 9u);
  EXPECT_EQ(qs.findEndLine(0), 4u);
  EXPECT_EQ(qs.findEndLine(5), 6u);  // "End" ends a block too
  EXPECT_EQ(qs.findEndLine(7), 9u);  // "e" and " E" do not
}

// On random files of few distinct lines, every line is found from every
// position as a scan from there would find it.
TEST(QsParcelIndexLines, EveryAnswerIsThatOfAScanFromThePosition) {
  TempDir dir;
  const char* texts[] = {"P1", "P2", "E", "3", "32.0", "", "End", "P1 ", "J1", "e"};
  test::Draw next(99);
  for (int file = 0; file < 20; ++file) {
    std::vector<std::string> lines;
    std::string bytes;
    for (uint32_t i = 0, n = 1 + next(300); i < n; ++i) {
      lines.push_back(texts[next(10)]);
      bytes += lines.back() + "\n";
    }
    QsParcelIndex qs;
    ASSERT_TRUE(qs.load(dir.write("in.qs", bytes)));
    ASSERT_EQ(qs.lineCount(), lines.size());
    for (size_t from = 0; from <= lines.size() + 1; ++from) {
      size_t end = from;
      while (end < lines.size() && (lines[end].empty() || lines[end][0] != 'E')) ++end;
      ASSERT_EQ(qs.findEndLine(from), std::min(end, lines.size())) << from;
      for (const char* text : texts) {
        size_t at = from;
        while (at < lines.size() && lines[at] != text) ++at;
        ASSERT_EQ(qs.findLine(text, from), std::min(at, lines.size())) << text << " from " << from;
      }
    }
    for (size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(qs.line(i), lines[i]);
  }
}

class CassParcelAttributeLines : public ::testing::Test {
 protected:
  TempDir dir;
  CassParcelAttributeIndex index;
};

TEST_F(CassParcelAttributeLines, NumberThatFailsToScanStopsTheLine) {
  ASSERT_TRUE(index.load(dir.write("in.txt", "1 P1 a own 1.5 2.5 3.5 place 国有土地所有权 x y z\n"
                                             "2 P2 b own2 4.5 bad 9 place2 私有土地所有权\n")));
  const CassParcelAttributeFields* p1 = index.find("P1");
  const CassParcelAttributeFields* p2 = index.find("P2");
  ASSERT_NE(p1, nullptr);
  ASSERT_NE(p2, nullptr);
  EXPECT_EQ(p1->field4, "own");
  EXPECT_EQ(p1->field7, 3.5);
  EXPECT_EQ(p1->ownership, "国有土地所有权");
  EXPECT_EQ(p2->field4, "own2");
  EXPECT_EQ(p2->field5, 4.5);
  // Everything from the failed number on is as the line before left it.
  EXPECT_EQ(p2->field6, 2.5);
  EXPECT_EQ(p2->field7, 3.5);
  EXPECT_EQ(p2->field8, "place");
  EXPECT_EQ(p2->ownership, "国有土地所有权");
}

TEST_F(CassParcelAttributeLines, LineWithoutAParcelNumberKeepsThePreviousOne) {
  // A blank first line files empty fields under the empty number; a line of
  // one field cannot start a parcel, and its first field is not kept.
  ASSERT_TRUE(index.load(dir.write("in.txt", "\n1 P1 a own 1 2 3 place\n9\n")));
  const CassParcelAttributeFields* blank = index.find("");
  const CassParcelAttributeFields* p1 = index.find("P1");
  ASSERT_NE(blank, nullptr);
  ASSERT_NE(p1, nullptr);
  EXPECT_EQ(blank->field4, "");
  EXPECT_EQ(p1->field8, "place");
  EXPECT_EQ(index.find("9"), nullptr);
  EXPECT_EQ(index.find("p1"), nullptr);
}

TEST_F(CassParcelAttributeLines, ManyParcelsAreFoundByTheirFirstLineThroughGrowth) {
  // Numbers of every length, each after the first given again later with
  // other fields: the first line stays the one found.
  std::string text;
  std::map<std::string, std::string> first;
  for (int i = 0; i < 5000; ++i) {
    const int n = i % 3 == 2 ? i / 2 : i;
    const std::string number = "P" + std::string(static_cast<size_t>(n % 23), '0') + std::to_string(n);
    const std::string place = "place" + std::to_string(i);
    text += "1 " + number + " a own 1 2 3 " + place + " 国有土地所有权\n";
    first.emplace(number, place);
  }
  ASSERT_TRUE(index.load(dir.write("in.txt", text)));
  for (const auto& [number, place] : first) {
    const CassParcelAttributeFields* fields = index.find(number);
    ASSERT_NE(fields, nullptr) << number;
    EXPECT_EQ(fields->parcel, number);
    EXPECT_EQ(fields->field8, place) << number;
  }
  for (const char* missing : {"P", "P5000", "P00", "p1", "P1 ", ""}) EXPECT_EQ(index.find(missing), nullptr) << missing;
}

// An index counts as loaded only once its file opened, so that a file that
// is missing is tried again at the next use.
TEST(CassSideFileIndexes, LoadedOnlyOnceTheirFileOpens) {
  TempDir dir;
  CassCodeTable table;
  QsParcelIndex qs;
  CassParcelAttributeIndex parcels;
  EXPECT_FALSE(table.load(dir.file("CASSCode.txt")));
  EXPECT_FALSE(qs.load(dir.file("in.qs")));
  EXPECT_FALSE(parcels.load(dir.file("in.txt")));
  EXPECT_FALSE(table.isLoaded() || qs.isLoaded() || parcels.isLoaded());
  EXPECT_TRUE(table.load(dir.write("CASSCode.txt", "")));
  EXPECT_TRUE(qs.load(dir.write("in.qs", "")));
  EXPECT_TRUE(parcels.load(dir.write("in.txt", "")));
  EXPECT_TRUE(table.isLoaded() && qs.isLoaded() && parcels.isLoaded());
}

}  // namespace
}  // namespace dz::test
