#include "textpoints/text_point_importer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <tuple>

#include "base/classic_scan.h"
#include "base/fixed_field.h"
#include "standin/engine.h"
#include "textpoints/line_fields.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

const char kDone[] = "点添加完毕！！";
using Enz = std::tuple<double, double, double>;  // east, north, elevation

// An importer over an empty feature file, as the dialog holds it.
class ImportHarness : public ::testing::Test {
 protected:
  ImportHarness() {
    importer.m_hFile = file;
    setBase("1");
  }

  void setBase(std::string_view base) { copyName(importer.m_szPointName, base); }
  void row(const std::string& sep, int east, int north, int elev, int code = -1) {
    importer.m_nLayout = CTextPointImporter::kRowLayout;
    importer.m_strSeparator = sep;
    importer.m_nEastPos = east;
    importer.m_nNorthPos = north;
    importer.m_nElevPos = elev;
    importer.m_nCodePos = code;
  }
  void column(int cycle, int valueField, int east, int north, int elev, int code = -1) {
    importer.m_nLayout = CTextPointImporter::kColumnLayout;
    importer.m_nCycle = cycle;
    importer.m_nValueField = valueField;
    importer.m_nEastPos = east;
    importer.m_nNorthPos = north;
    importer.m_nElevPos = elev;
    importer.m_nCodePos = code;
  }
  void import(const std::string& text) {
    importer.m_strPath = dir.write("points.txt", text);
    importer.ImportPoints();
  }
  // Three points, one per line, each at E = its line number.
  void importThree() {
    row(",", 1, 2, 3);
    import("1,0,1\n2,0,1\n3,0,1\n");
  }
  void addExisting(const std::string& name, double east, int code = 77) {
    PointRecord p{};
    copyName(p.name, name);
    p.east = east;
    p.elev = 5;
    p.code = code;
    p.flag = 1;
    p.w14 = 9;
    engine.AddPoint(file, &p, 1);
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const PointRecord& p : engine.store(file)->points()) out.push_back(nameText(p.name));
    return out;
  }
  // The fields of a stored point, copied out of the packed record.
  struct Stored {
    double east, north, elev;
    int code, flag, w14;
    Enz enz() const { return {east, north, elev}; }
  };
  static Stored values(const PointRecord& p) { return {p.east, p.north, p.elev, p.code, p.flag, p.w14}; }
  Stored point(const std::string& name) const {
    const std::optional<PointRecord> p = engine.store(file)->findPoint(NameKey::of(std::string_view(name)));
    if (!p) throw std::runtime_error("no point " + name);
    return values(*p);
  }
  Stored last() const { return values(engine.store(file)->points().back()); }
  std::string base() const { return nameText(importer.m_szPointName); }

  test::TempDir dir;
  FeatureFileEngine engine{"."};
  QelHandle file = engine.OpenFeatureFile(dir.file("target.qel").c_str());
  test::RecordingMessages messages;
  CTextPointImporter importer{engine, messages};
};

using TextPointFields = ImportHarness;
using TextPointRowLayout = ImportHarness;
using TextPointColumnLayout = ImportHarness;
using TextPointNaming = ImportHarness;
using TextPointNameLength = ImportHarness;
using TextPointDuplicates = ImportHarness;

TEST_F(TextPointFields, SingleSpacesDelimitFieldsAndTheZeroEndsTheLast) {
  const char line[] = "a b  c";
  const int length = sizeof line;  // the terminating zero takes part
  EXPECT_EQ(importer.FindSeparator(line, length, ' ', 0), -1);
  EXPECT_EQ(importer.FindSeparator(line, length, ' ', 2), 3);
  EXPECT_EQ(importer.FindSeparator(line, length, ' ', 4), 6);
  EXPECT_EQ(importer.FindSeparator(line, length, ' ', 5), -2);
  EXPECT_EQ(importer.FindSeparator(line, length, ' ', -1), -2);
  const std::vector<std::string> expected = {" ", "a", "b", "", "c", " "};
  for (int k = 0; k <= 5; ++k) EXPECT_EQ(importer.GetField(line, length, ' ', k), expected[k]) << k;
  EXPECT_EQ(importer.GetField(line, length, ' ', INT_MIN), " ");
  EXPECT_EQ(importer.GetField(std::string(" x"), 1), "");
  EXPECT_EQ(importer.GetField(std::string(" x"), 2), "x");
}

// A field is what lies between the ends FindSeparator gives for k - 1 and
// k, zeros inside the line included, on every line of a small alphabet; the
// import's one-pass split of the line gives the same fields and count, and
// so does its split at the comma of the line as it stands.
TEST_F(TextPointFields, AFieldLiesBetweenTheEndsOfTheFieldBeforeAndItsOwn) {
  LineFields fields, atCommas, ofReplaced;
  importer.m_strSeparator = ",";
  const char alphabet[] = {' ', '\0', 'a', ',', '\t', ' ', ',', '\xB0'};
  uint32_t seed = 7;
  for (int trial = 0; trial < 40000; ++trial) {
    seed = seed * 1103515245u + 12345u;
    std::string line(seed >> 27, 'x');  // up to 31 bytes: the split takes eight at a time
    for (char& c : line) {
      seed = seed * 1103515245u + 12345u;
      c = alphabet[seed >> 29];
    }
    const int length = static_cast<int>(line.size()) + 1;  // with the terminating zero
    for (int k = -1; k <= 9; ++k) {
      const int start = k < 1 ? -2 : importer.FindSeparator(line.c_str(), length, ' ', k - 1);
      const int end = k < 1 ? -2 : importer.FindSeparator(line.c_str(), length, ' ', k);
      const std::string expected = start == -2 || end == -2 || end - start <= 0
                                       ? " "
                                       : line.substr(static_cast<size_t>(start) + 1, static_cast<size_t>(end - start - 1));
      ASSERT_EQ(importer.GetField(line.c_str(), length, ' ', k), expected) << "field " << k << " of a line of "
                                                                           << line.size() << " bytes, trial " << trial;
      fields.split(line);
      ASSERT_EQ(fields.field(k), expected) << "split: field " << k << ", trial " << trial;
    }
    ASSERT_EQ(fields.count(), 1 + std::count(line.begin(), line.end(), ' ')) << "trial " << trial;
    const std::string replaced = importer.ReplaceSeparator(line);
    atCommas.split(line, ',');
    ofReplaced.split(replaced);
    for (int k = -1; k <= 9; ++k)
      ASSERT_EQ(atCommas.field(k), ofReplaced.field(k)) << "at commas: field " << k << ", trial " << trial;
    ASSERT_EQ(atCommas.count(), ofReplaced.count()) << "trial " << trial;
    ASSERT_EQ(atCommas.blank(), std::all_of(replaced.begin(), replaced.end(), isClassicSpace)) << "trial " << trial;
  }
}

TEST_F(TextPointRowLayout, ValuesComeFromTheirFieldsAndMissingOnesAreZero) {
  row(",", 2, 3, 4);
  import("P1,350.5,420.25,12.3\n\n");
  EXPECT_EQ(point("1").enz(), Enz(350.5, 420.25, 12.3));
  EXPECT_EQ(point("1").code, 0);
  EXPECT_EQ(point("2").enz(), Enz(0, 0, 9999));  // an empty line; a zero elevation means none
  row("", 1, 2, 3);
  import("10  20 30\n");
  EXPECT_EQ(last().enz(), Enz(10, 0, 20));  // N is the empty field between the two spaces
}

TEST_F(TextPointRowLayout, CodeFieldGivesPositiveCodesOnly) {
  row(",", 3, 4, 5, 2);
  import("A,2001,1,2,3\nB,-4,1,2,3\nC,,1,2,3\n");
  EXPECT_EQ(point("1").code, 2001);
  EXPECT_EQ(point("2").code, 0);
  EXPECT_EQ(point("3").code, 0);
}

TEST_F(TextPointRowLayout, SeparatorMatchesWholeDoubleByteCharactersOnly) {
  // 丂 is 81 40: its trail byte is '@', which must not split it.
  row("@", 2, 3, 4);
  import("丂@5@6@7\n");
  EXPECT_EQ(point("1").enz(), Enz(5, 6, 7));
  row("，", 2, 3, 4);
  import("点，8，9，10\n");
  EXPECT_EQ(last().enz(), Enz(8, 9, 10));
  importer.m_strSeparator = "::";
  EXPECT_EQ(importer.ReplaceSeparator("a::5:::6::"), "a 5 :6 ");
}

TEST_F(TextPointRowLayout, LongLinesAreReadWhole) {
  row(",", 2, 3, 4);
  import(std::string(5000, 'x') + "," + std::string(300, '0') + "1.5,2.5,3.5\r\n");
  EXPECT_EQ(point("1").enz(), Enz(1.5, 2.5, 3.5));
}

TEST_F(TextPointColumnLayout, AGroupStoresAtItsLastLineAndALeftoverLineIsDropped) {
  column(3, 2, 1, 2, 3);
  import("X 100\nY 200\nZ 5\nX 110\nY 210\nZ 0\nX 999\n");
  ASSERT_EQ(names(), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(point("1").enz(), Enz(100, 200, 5));
  EXPECT_EQ(point("2").enz(), Enz(110, 210, 9999));
  EXPECT_EQ(base(), "3");
}

TEST_F(TextPointColumnLayout, PositionsAreTakenModuloTheCycle) {
  column(1, 1, 1, 2, 3);  // every position matches: E is tested first
  import("5\n6\n");
  EXPECT_EQ(point("1").enz(), Enz(5, 0, 9999));
  EXPECT_EQ(point("2").enz(), Enz(6, 0, 9999));

  // 4 is the first line, -3 the last, and a negative cycle counts as 3.
  column(-3, 1, 4, -3, 2);
  import("1\n2\n3\n");
  EXPECT_EQ(last().enz(), Enz(1, 3, 2));

  // A negative position that is no multiple of the cycle never matches.
  column(3, 1, 1, 2, -1);
  import("1\n2\n3\n");
  EXPECT_EQ(last().elev, 9999.0);

  column(-1, 1, INT_MIN, 2, 3);
  import("8\n");
  EXPECT_EQ(last().east, 8.0);
}

TEST_F(TextPointColumnLayout, CycleOfZeroStopsSilently) {
  column(0, 1, 1, 2, 3);
  import("1\n2\n3\n");
  EXPECT_TRUE(names().empty());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(base(), "1");
}

TEST_F(TextPointColumnLayout, CodeCarriesOverFromTheRowImportBefore) {
  row(",", 2, 3, 4, 1);
  import("23,1,2,3\n");
  column(2, 1, 1, 2, 3, -1);
  import("7\n8\n9\n10\n");
  ASSERT_EQ(names().size(), 3u);
  EXPECT_EQ(values(engine.store(file)->points()[1]).code, 23);
  EXPECT_EQ(last().code, 23);
}

TEST_F(TextPointNaming, AutomaticNumberingContinuesFromTheBase) {
  const struct {
    const char* base;
    std::vector<std::string> names;
  } cases[] = {
      {"K12", {"K12", "K13", "K14"}}, {"0012", {"12", "13", "14"}}, {"12A", {"12", "13", "14"}},
      {"", {"0", "1", "2"}},          {"AB", {"AB0", "AB1", "AB2"}}, {"点7", {"点7", "点8", "点9"}},
      {"K1A2", {"K1", "K2", "K3"}},   {"1-23", {"1", "2", "3"}},  // only the first run of digits counts
  };
  for (const auto& c : cases) {
    char base[12], name[12];
    copyName(base, c.base);
    for (int seq = 1; seq <= 3; ++seq) {
      ASSERT_TRUE(importer.MakePointName(base, seq, name));
      EXPECT_EQ(nameText(name), c.names[seq - 1]) << c.base << " " << seq;
    }
  }
  setBase("K12");
  importThree();
  EXPECT_EQ(names(), (std::vector<std::string>{"K12", "K13", "K14"}));
  EXPECT_EQ(base(), "K15");
}

TEST_F(TextPointNaming, EmptyFileOnlyNormalisesTheBase) {
  setBase("0012");
  import("");
  EXPECT_TRUE(names().empty());
  EXPECT_EQ(base(), "12");
  EXPECT_EQ(messages.shown, std::vector<std::string>{kDone});
}

TEST_F(TextPointNaming, CustomNumberingUsesPrefixAndStartNumber) {
  importer.m_nNumbering = CTextPointImporter::kCustomNumbering;
  importer.m_strPrefix = "P";
  importer.m_nStartNo = 5;
  importThree();
  EXPECT_EQ(names(), (std::vector<std::string>{"P5", "P6", "P7"}));
  EXPECT_EQ(base(), "P8");
  // The dialog exchanges the start number again before the next import.
  importer.m_nStartNo = 5;
  importThree();
  EXPECT_EQ(names().back(), "P10");

  char name[12];
  importer.m_nStartNo = 0;
  ASSERT_TRUE(importer.MakePointName(importer.m_szPointName, 1, name));
  EXPECT_EQ(nameText(name), "P1");
  importer.m_strPrefix = "ABCDEFGHIJKLM";  // longer than the field: numbers alone
  ASSERT_TRUE(importer.MakePointName(importer.m_szPointName, 1, name));
  EXPECT_EQ(nameText(name), "1");
}

TEST_F(TextPointNaming, SecondImportGoesOnFromTheAdvancedBaseAndCounter) {
  importThree();
  EXPECT_EQ(names(), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(base(), "4");
  importThree();
  EXPECT_EQ(names(), (std::vector<std::string>{"1", "2", "3", "7", "8", "9"}));
  EXPECT_EQ(base(), "10");
}

TEST_F(TextPointNaming, UnreadableFileChangesNothing) {
  importer.m_strPath = dir.file("missing.txt");
  importer.ImportPoints();
  EXPECT_EQ(messages.shown, std::vector<std::string>{"不能打开所选的文件!!"});
  EXPECT_EQ(base(), "1");
  EXPECT_TRUE(names().empty());
}

TEST_F(TextPointNameLength, NameOutgrowingTheFieldIsRefusedByLineAndImportGoesOn) {
  setBase("ABCDEFGHI98");
  row(",", 1, 2, 3);
  import("1,0,1\n2,0,1\n3,0,1\n4,0,1\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"ABCDEFGHI98", "ABCDEFGHI99"}));
  ASSERT_EQ(messages.shown.size(), 2u);
  const std::string& notice = messages.shown[0];
  EXPECT_NE(notice.find("下列2个点未添加"), std::string::npos) << notice;
  EXPECT_NE(notice.find("第3行：ABCDEFGHI100"), std::string::npos);
  EXPECT_NE(notice.find("第4行：ABCDEFGHI101"), std::string::npos);
  EXPECT_NE(notice.find("点名仍为“ABCDEFGHI98”"), std::string::npos);
  EXPECT_EQ(messages.shown[1], kDone);
  EXPECT_EQ(base(), "ABCDEFGHI98");
  EXPECT_EQ(importer.LastCounts().refused, 2);
}

TEST_F(TextPointNameLength, EveryOverlongNameIsRefusedNoneIsCut) {
  const struct {
    int numbering;
    const char* base;
    const char* prefix;
  } cases[] = {
      {CTextPointImporter::kCustomNumbering, "1", "ABCDEFGHIJK"},   // 11-byte prefix
      {CTextPointImporter::kCustomNumbering, "1", "ABCDEFGHIJKL"},  // 12-byte prefix
      {CTextPointImporter::kAutoNumbering, "ABCDEFGHIJKL", ""},     // base fills the field
      {CTextPointImporter::kAutoNumbering, "99999999999", ""},      // no wrap to a negative number
      {CTextPointImporter::kAutoNumbering, "A9999999999", ""},      // nor to a shorter one
  };
  for (const auto& c : cases) {
    char name[12];
    std::memset(name, 'z', sizeof name);
    importer.m_nNumbering = c.numbering;
    importer.m_strPrefix = c.prefix;
    setBase(c.base);
    EXPECT_FALSE(importer.MakePointName(importer.m_szPointName, 2, name)) << c.base << c.prefix;
    EXPECT_EQ(std::string(name, 12), std::string(12, 'z'));
  }
  EXPECT_EQ(importer.ComposePointName(importer.m_szPointName, 2), "A10000000000");

  importer.m_nNumbering = CTextPointImporter::kCustomNumbering;
  importer.m_strPrefix = "ABCDEFGHIJK";
  std::string text;
  for (int i = 0; i < 500; ++i) text += "1,2,3\n";
  row(",", 1, 2, 3);
  import(text);
  EXPECT_TRUE(names().empty());
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_NE(messages.shown[0].find("另有490个"), std::string::npos);
}

TEST_F(TextPointNameLength, RenameSearchThatOutgrowsTheFieldRefusesThePoint) {
  importer.m_nNumbering = CTextPointImporter::kCustomNumbering;
  importer.m_strPrefix = "ABCDEFGHI";
  importer.m_nStartNo = 98;
  importer.m_nDupPolicy = CTextPointImporter::kDupRename;
  addExisting("ABCDEFGHI98", 1);
  addExisting("ABCDEFGHI99", 2);
  row(",", 1, 2, 3);
  import("5,5,5\n");
  EXPECT_EQ(names().size(), 2u);
  EXPECT_NE(messages.shown[0].find("第1行：ABCDEFGHI100"), std::string::npos);
}

TEST_F(TextPointDuplicates, IgnoreSkipsTheTakenNameAndKeepsItsNumber) {
  addExisting("2", 50);
  importThree();
  EXPECT_EQ(names(), (std::vector<std::string>{"2", "1", "3"}));
  EXPECT_EQ(point("2").east, 50.0);
  EXPECT_EQ(importer.LastCounts().ignored, 1);
}

TEST_F(TextPointDuplicates, RenameStoresUnderTheNextFreeNameWithItsOwnValues) {
  addExisting("2", 50);
  addExisting("3", 60);
  importer.m_nDupPolicy = CTextPointImporter::kDupRename;
  row(",", 1, 2, 3, 4);
  import("1,10,1,-1\n2,20,0,12\n3,30,1,-1\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"2", "3", "1", "4", "5"}));
  EXPECT_EQ(base(), "6");
  const Stored renamed = point("4");
  EXPECT_EQ(renamed.enz(), Enz(2, 20, 9999));
  EXPECT_EQ(std::make_tuple(renamed.code, renamed.flag, renamed.w14), std::make_tuple(12, 0, 0));
  EXPECT_EQ(point("5").code, 0);
  EXPECT_EQ(point("3").enz(), Enz(60, 0, 5));  // the points met on the way stay as they were
}

TEST_F(TextPointDuplicates, UpdateKeepsOtherFieldsAndTakesTheNewValues) {
  addExisting("1", 50);
  importer.m_nDupPolicy = CTextPointImporter::kDupUpdate;
  row(",", 1, 2, 3, 4);
  import("7,8,0\n");
  const Stored p = point("1");
  EXPECT_EQ(p.enz(), Enz(7, 8, 9999));
  EXPECT_EQ(std::make_tuple(p.code, p.flag, p.w14), std::make_tuple(0, 0, 9));
  EXPECT_EQ(names().size(), 1u);
}

}  // namespace
}  // namespace dz
