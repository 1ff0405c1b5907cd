// Real survey files through the importer's command-line settings: the file's
// own point names, header lines left out, and what the lines held that the
// import took as it stands, told in the outcome for warnings.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/fixed_field.h"
#include "base/text_input.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"
#include "textpoints/text_point_importer.h"

namespace dz {
namespace {

const char kDone[] = "点添加完毕！！";

class TextPointFile : public ::testing::Test {
 protected:
  TextPointFile() {
    importer.m_hFile = file;
    copyName(importer.m_szPointName, "1");
    // The common name,code,E,N,Z file.
    importer.m_nLayout = CTextPointImporter::kRowLayout;
    importer.m_strSeparator = ",";
    importer.m_nEastPos = 3;
    importer.m_nNorthPos = 4;
    importer.m_nElevPos = 5;
    importer.m_nCodePos = 2;
  }

  void import(const std::string& text) {
    importer.m_strPath = dir.write("points.dat", text);
    messages.shown.clear();
    importer.ImportPoints();
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const PointRecord& p : engine.store(file)->points()) out.push_back(nameText(p.name));
    return out;
  }
  // The point's record; copied out of the packed store, so that its fields
  // can be read where they are aligned.
  PointRecord record(const std::string& name) const {
    const std::optional<PointRecord> p = engine.store(file)->findPoint(NameKey::of(std::string_view(name)));
    if (!p) throw std::runtime_error("no point " + name);
    return *p;
  }
  struct Values {
    double east, elev;
    int code;
  };
  Values point(const std::string& name) const {
    const PointRecord r = record(name);
    return {r.east, r.elev, r.code};
  }
  const CTextPointImporter::Outcome& outcome() const { return importer.LastOutcome(); }

  test::TempDir dir;
  FeatureFileEngine engine{"."};
  QelHandle file = engine.OpenFeatureFile(dir.file("target.qel").c_str());
  test::RecordingMessages messages;
  CTextPointImporter importer{engine, messages};
};

using TextPointNameField = TextPointFile;
using TextPointSkip = TextPointFile;
using TextPointLineChecks = TextPointFile;
using TextPointReports = TextPointFile;

TEST_F(TextPointNameField, NamesComeFromTheFieldAndTheBaseMovesOnlyByRenames) {
  importer.m_nNameField = 1;
  import("P01,,100,200,10\n控1,,101,201,11\nABCDEFGHIJK,,102,202,12\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"P01", "控1", "ABCDEFGHIJK"}));
  EXPECT_EQ(point("控1").east, 101);
  EXPECT_EQ(nameText(importer.m_szPointName), "1");
  EXPECT_EQ(messages.shown, std::vector<std::string>{kDone});
}

TEST_F(TextPointNameField, LongerNamesAreRefusedWholeByLineAndEmptyOnesApart) {
  importer.m_nNameField = 1;
  import("P01,,1,2,3\nABCDEFGHIJKL,,1,2,3\n,,1,2,3\n控制点一二三,,1,2,3\n");
  EXPECT_EQ(names(), std::vector<std::string>{"P01"});
  EXPECT_EQ(importer.LastCounts().refused, 3);
  EXPECT_EQ(outcome().emptyNames.lines, std::vector<long>{3});
  // The plug-in's list of names too long: the empty one is not among them.
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0], "点名超过11个字节，下列2个点未添加：\n第2行：ABCDEFGHIJKL\n第4行：控制点一二三");
}

TEST_F(TextPointNameField, ARepeatedNameFollowsTheDuplicatePolicy) {
  importer.m_nNameField = 1;
  import("P01,,1,2,3\nP01,,4,5,6\n");
  EXPECT_EQ(names(), std::vector<std::string>{"P01"});
  EXPECT_EQ(point("P01").east, 1);
  EXPECT_EQ(importer.LastCounts().ignored, 1);

  importer.m_nDupPolicy = CTextPointImporter::kDupUpdate;
  import("P01,7,8,9,10\n");
  EXPECT_EQ(point("P01").east, 8);
  EXPECT_EQ(point("P01").code, 7);

  // A rename draws from the numbering, as for numbered names.
  importer.m_nDupPolicy = CTextPointImporter::kDupRename;
  import("P01,,11,12,13\nP01,,14,15,16\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"P01", "1", "2"}));
  EXPECT_EQ(point("2").east, 14);
  EXPECT_EQ(nameText(importer.m_szPointName), "3");
}

TEST_F(TextPointSkip, SkippedLinesTakeNoPartAndLinesKeepTheFilesNumbers) {
  importer.m_nSkipLines = 2;
  copyName(importer.m_szPointName, "ABCDEFGHI98");
  import("title\nname,code,E,N,Z\nA,,1,2,3\nB,,4,5,6\nC,,7,8,9\n");
  EXPECT_EQ(importer.LastCounts().lines, 3);
  EXPECT_EQ(names(), (std::vector<std::string>{"ABCDEFGHI98", "ABCDEFGHI99"}));
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_NE(messages.shown[0].find("第5行：ABCDEFGHI100"), std::string::npos) << messages.shown[0];
  EXPECT_FALSE(outcome().headerLike);
}

TEST_F(TextPointSkip, ColumnGroupsStartAfterTheSkippedLines) {
  importer.m_nLayout = CTextPointImporter::kColumnLayout;
  importer.m_nCycle = 3;
  importer.m_nValueField = 1;
  importer.m_nEastPos = 1;
  importer.m_nNorthPos = 2;
  importer.m_nElevPos = 3;
  importer.m_nCodePos = -1;
  importer.m_nSkipLines = 1;
  import("E N Z\n10\n20\n30\n");
  EXPECT_EQ(names(), std::vector<std::string>{"1"});
  EXPECT_EQ(point("1").east, 10);
  EXPECT_EQ(point("1").elev, 30);
}

TEST_F(TextPointLineChecks, EachKindOfProblemIsTalliedByItsLine) {
  import(
      "name,code,E,N,Z\n"     // 1: a header
      "K1,,1,2,3\n"           // 2: clean, blank code
      "K2,KZD,1,2,0.000\n"    // 3: a text code, zero elevation
      "K3,5,abc,2,3\n"        // 4: E is text
      "K4;7;1;2;3\n"          // 5: the wrong separator
      "\n"                    // 6: a blank line
      "K5，7，1，2，3\n"      // 7: full-width commas
      "K6,2.5,1,12.5m,3\n");  // 8: a code with a point, N with a unit
  const CTextPointImporter::Outcome& o = outcome();
  EXPECT_TRUE(o.headerLike);
  EXPECT_EQ(o.notNumbers.lines, (std::vector<long>{1, 4, 8}));
  EXPECT_EQ(o.shortLines.lines, (std::vector<long>{5, 6, 7}));
  EXPECT_EQ(o.zeroElevations.lines, std::vector<long>{3});
  EXPECT_EQ(o.codesNotNumbers.lines, (std::vector<long>{1, 3, 8}));
  // Nothing of what is stored changes: every line is a point, as ever.
  EXPECT_EQ(importer.LastCounts().added, 8);
  EXPECT_EQ(point("3").elev, 9999);
}

TEST_F(TextPointLineChecks, AFirstLineWithNumbersOrNothingIsNoHeader) {
  import("K1,,1,2,x\n");
  EXPECT_FALSE(outcome().headerLike);
  import("\nK1,,1,2,3\n");
  EXPECT_FALSE(outcome().headerLike);
  // A title, or a line of another separator, reaches no coordinate field.
  import("Control points\nK1,,1,2,3\n");
  EXPECT_FALSE(outcome().headerLike);
  EXPECT_EQ(outcome().shortLines.lines, std::vector<long>{1});
  import("P,C,E,N\nK1,,1,2,3\n");
  EXPECT_TRUE(outcome().headerLike);
}

TEST_F(TextPointLineChecks, TheColumnLayoutChecksEachValueLine) {
  importer.m_nLayout = CTextPointImporter::kColumnLayout;
  importer.m_nCycle = 4;
  importer.m_nValueField = 2;
  importer.m_nEastPos = 1;
  importer.m_nNorthPos = 2;
  importer.m_nElevPos = 3;
  importer.m_nCodePos = 4;
  importer.m_strSeparator = "";
  import("X east\nY 2\nZ 0\nC KZD\nX 1\nY\nZ 0.0\nC 7\n");
  const CTextPointImporter::Outcome& o = outcome();
  EXPECT_TRUE(o.headerLike);
  EXPECT_EQ(o.notNumbers.lines, std::vector<long>{1});
  EXPECT_EQ(o.shortLines.lines, std::vector<long>{6});
  EXPECT_EQ(o.codesNotNumbers.lines, std::vector<long>{4});
  EXPECT_EQ(o.zeroElevations.lines, (std::vector<long>{4, 8}));
}

TEST_F(TextPointReports, EveryPointIsToldAsItIsStoredOrPassedOver) {
  std::vector<CTextPointImporter::PointReport> told;
  importer.m_fnOnPoint = [&told](const CTextPointImporter::PointReport& p) { told.push_back(p); };
  importer.m_nNameField = 1;
  import("A,3,1,2,0\nA,4,5,6,7\n,,8,9,1\nABCDEFGHIJKL,,1,1,1\n");
  ASSERT_EQ(told.size(), 4u);
  EXPECT_EQ(told[0].fate, CTextPointImporter::PointReport::kAdded);
  EXPECT_EQ(told[0].name, "A");
  EXPECT_EQ(told[0].elev, 9999);
  EXPECT_EQ(told[0].code, 3);
  EXPECT_EQ(told[1].fate, CTextPointImporter::PointReport::kIgnored);
  EXPECT_EQ(told[1].line, 2);
  EXPECT_EQ(told[2].fate, CTextPointImporter::PointReport::kRefused);
  EXPECT_EQ(told[2].name, "");
  EXPECT_EQ(told[3].name, "ABCDEFGHIJKL");
}

// The same file in UTF-8 (with a byte-order mark) and in GBK stores the same
// points when the UTF-8 one is read through a run that decodes it.
TEST_F(TextPointReports, Utf8AndGbkVersionsStoreTheSamePoints) {
  importer.m_nNameField = 1;
  importer.m_nSkipLines = 1;
  const std::string utf8 =
      "\xEF\xBB\xBF\xE7\x82\xB9\xE5\x90\x8D,\xE7\xBC\x96\xE7\xA0\x81,E,N,Z\r\n"  // 点名,编码,E,N,Z
      "\xE6\x8E\xA7\x31,2001,53621.482,31204.117,12.35\r\n";                     // 控1,...
  {
    TextInputRun run(TextEncoding::Utf8);
    import(utf8);
  }
  const PointRecord fromUtf8 = record("控1");
  FeatureFileEngine other{"."};
  const QelHandle second = other.OpenFeatureFile(dir.file("other.qel").c_str());
  CTextPointImporter gbk{other, messages};
  gbk.m_hFile = second;
  gbk.m_nLayout = CTextPointImporter::kRowLayout;
  gbk.m_strSeparator = ",";
  gbk.m_nEastPos = 3;
  gbk.m_nNorthPos = 4;
  gbk.m_nElevPos = 5;
  gbk.m_nCodePos = 2;
  gbk.m_nNameField = 1;
  gbk.m_nSkipLines = 1;
  gbk.m_strPath = dir.write("gbk.dat", "点名,编码,E,N,Z\r\n控1,2001,53621.482,31204.117,12.35\r\n");
  gbk.ImportPoints();
  ASSERT_EQ(other.store(second)->points().size(), 1u);
  const PointRecord fromGbk = other.store(second)->points()[0];
  EXPECT_EQ(std::memcmp(&fromGbk, &fromUtf8, sizeof fromUtf8), 0);
}

}  // namespace
}  // namespace dz
