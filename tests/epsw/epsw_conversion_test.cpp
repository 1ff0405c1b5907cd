#include <algorithm>
#include <cstring>

#include "base/fixed_field.h"
#include "tests/epsw/epsw_test_support.h"

namespace dz::test {
namespace {

std::vector<std::string> refNames(const StoredFeature& f) {
  std::vector<std::string> names;
  for (const PointRef& r : f.refs) names.push_back(nameText(r.name));
  return names;
}

using Names = std::vector<std::string>;

class EpswChecks : public EpswTest {};

TEST_F(EpswChecks, FirstFailingCheckIsToldAndTheDialogStaysOpen) {
  struct Case {
    int cor, note;
    const char *corPath, *notPath, *outPath, *message;
  };
  const Case cases[] = {
      {1, 1, "", "", "", "请输入Cor文件路径！！"},
      {1, 1, "a.cor", "", "", "请输入Not文件路径！！"},
      {0, 0, "", "", "o.qel", "请选者转换的文件类型和路径！！"},
      {0, 1, "", "a.not", "", "请输入Qel文件路径！！"},
      {1, 1, "/nonexistent/a.cor", "a.not", "o.qel", "can't find *.Cor failed!!"},
  };
  for (const Case& c : cases) {
    messages.shown.clear();
    converter.m_bConvertCor = c.cor;
    converter.m_bConvertNot = c.note;
    converter.m_strCorPath = c.corPath;
    converter.m_strNotPath = c.notPath;
    converter.m_strOutputPath = c.outPath;
    EXPECT_FALSE(converter.OnOK()) << c.message;
    EXPECT_EQ(messages.shown, Names{c.message});
  }
  EXPECT_TRUE(host.calls.empty());  // nothing opened, nothing written
}

TEST_F(EpswChecks, OutputThatCannotBeOpenedIsNamed) {
  out = dir.write("broken.qel", "not a feature file");
  EXPECT_FALSE(convert("", ""));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].find(out), std::string::npos);
}

TEST_F(EpswChecks, MissingNotFileKeepsTheConvertedCorData) {
  converter.m_strCorPath = dir.write("in.cor", "1 1 0 $a\nP1 1 2 3\n");
  converter.m_strNotPath = dir.file("absent.not");
  converter.m_strOutputPath = out;
  EXPECT_FALSE(converter.OnOK());
  EXPECT_EQ(messages.shown.back(), "can't find *.not failed!!");
  EXPECT_EQ(committed().points().size(), 1u);
  EXPECT_EQ(host.callNames().back(), "CloseFeatureFile");
  // Without the Cor box the next press converts the .not file alone, and the
  // feature numbering goes on.
  converter.m_bConvertCor = 0;
  converter.m_strCorPath = dir.file("absent.cor");
  EXPECT_TRUE(convert("2 1 0 $b\nP2 1 1 1\n", "7 text\n1 2 0 0 1\ncat 1\n"));
  EXPECT_EQ(messages.shown.back(), "数据转换完毕！！！");
  const FeatureStore store = committed();
  EXPECT_EQ(store.points().size(), 1u);
  EXPECT_EQ(store.texts().size(), 1u);
  EXPECT_EQ(converter.m_nFeatureNo, 1);
}

class EpswCorConversion : public EpswTest {
 protected:
  void SetUp() override {
    writeTable("1 100 line\n3750 3750 single\n");
    converter.m_bConvertNot = 0;
  }
};

TEST_F(EpswCorConversion, PointLinesBecomePointsAndVerticesOfTheFeatureAbove) {
  ASSERT_TRUE(convert(
      "K1 5 6 7 1 2\n"              // before any feature: a point of no feature
      "1 4 1 $road\n"
      "$ 1 2 3\n"                    // "$" first: a point line named "$"
      "P1 10.5 20.5 30.5 70000 -1\n"
      "\n"                           // repeats P1
      "1 0 0 A$\n"                   // "$" later: a feature line, count 0
      "ABCDEFGHIJKLMN 1 1 1\n"       // cut to 11 bytes
      "K1 99 99 99\n"                // exists: reused, coordinates ignored
      "Q1\n",                        // keeps the coordinates of the line before
      ""));
  const FeatureStore store = committed();
  ASSERT_EQ(store.points().size(), 5u);
  const PointRecord& p1 = store.points()[2];
  EXPECT_EQ(nameText(p1.name), "P1");
  EXPECT_EQ(+p1.east, 10.5);
  EXPECT_EQ(+p1.north, 20.5);
  EXPECT_EQ(+p1.elev, 30.5);
  EXPECT_EQ(+p1.w14, 4464);  // low 16 bits of 70000
  EXPECT_EQ(+p1.w16, -1);
  EXPECT_EQ(+p1.code, 0);
  EXPECT_EQ(+store.points()[0].east, 5);
  EXPECT_EQ(nameText(store.points()[3].name), "ABCDEFGHIJK");
  EXPECT_EQ(+store.points()[4].east, 99);
  ASSERT_EQ(store.features().size(), 2u);
  // Announced 4, three point lines: the last entry stays empty.
  EXPECT_EQ(refNames(store.features()[0]), (Names{"$", "P1", "P1", ""}));
  // Announced 0: the list grows to take every point line.
  EXPECT_EQ(refNames(store.features()[1]), (Names{"ABCDEFGHIJK", "K1", "Q1"}));
  EXPECT_EQ(+store.features()[1].header.code, 100);
  EXPECT_EQ(converter.m_nPointsWritten, 5);
}

TEST_F(EpswCorConversion, LinesWithoutAnyNameYetAddNothing) {
  ASSERT_TRUE(convert("\n1 2 0 $a\n\nP1 1 1 1\n", ""));
  const FeatureStore store = committed();
  ASSERT_EQ(store.points().size(), 1u);
  EXPECT_EQ(refNames(store.features()[0]), (Names{"P1", ""}));
}

TEST_F(EpswCorConversion, FarPointsAreAskedAboutAndDroppedOnNo) {
  messages.answers = {ui::kIdNo, ui::kIdYes};
  ASSERT_TRUE(convert(
      "1 3 1 $a\n"
      "F1 -100000000.5 3100000 0\n"
      "F2 1 100000000.25 0\n"
      "N1 100000000.0 -100000000.0 0\n",  // exactly at the limit: not asked
      ""));
  EXPECT_EQ(messages.shown[0], "是否转换该点(-100000000.500000,3100000.000000)");
  EXPECT_EQ(messages.shown[1], "是否转换该点(1.000000,100000000.250000)");
  EXPECT_EQ(messages.types[0], ui::kMbYesNo);
  EXPECT_EQ(messages.shown.size(), 3u);
  const FeatureStore store = committed();
  ASSERT_EQ(store.points().size(), 2u);
  EXPECT_EQ(refNames(store.features()[0]), (Names{"F2", "N1", ""}));
}

TEST_F(EpswCorConversion, EmptyFilesStillCommitAndReportSuccess) {
  converter.m_bConvertNot = 1;
  ASSERT_TRUE(convert("", ""));
  const FeatureStore store = committed();
  EXPECT_TRUE(store.points().empty() && store.features().empty() && store.texts().empty());
  EXPECT_EQ(messages.shown, Names{"数据转换完毕！！！"});
  EXPECT_EQ(host.callNames(), (Names{"OpenFeatureFile", "GetFeatureFileInfo", "GetTextLayer", "CommitFeatureFile",
                                     "CloseFeatureFile"}));
}

TEST_F(EpswCorConversion, HugeAnnouncedCountsArePaddedOnlyToWhatTheHostHolds) {
  ASSERT_TRUE(convert("1 2000000000 0 $a\nP1 1 1 1\n", ""));
  EXPECT_EQ(committed().features()[0].refs.size(), 32767u);
}

// A host whose text layer or text objects can be made to fail.
class FailingTextHost : public RecordingHost {
 public:
  using RecordingHost::RecordingHost;
  QelHandle GetTextLayer(QelHandle file) override { return noLayer ? 0 : RecordingHost::GetTextLayer(file); }
  int AddTextObject(QelHandle layer, const double* anchor, const char* text, int length, const TextStyle* style,
                    int mode) override {
    ++textObjectsTried;
    return noObjects ? 0 : RecordingHost::AddTextObject(layer, anchor, text, length, style, mode);
  }
  int textObjectsTried = 0;
  bool noLayer = false;
  bool noObjects = false;
};

class EpswNotConversion : public EpswTest {
 protected:
  void SetUp() override { converter.m_bConvertCor = 0; }
};

TEST_F(EpswNotConversion, RecordsBecomeTextObjectsWithTwoAttributes) {
  ASSERT_TRUE(convert("",
                      "12 幸福路\n100.5 200 9 30 2.5\n道路名 0.8\n"
                      "N-2 second\n1 2 0 0 1\n\n"  // category and width factor carry over
                      "3 x\n"));                    // an incomplete record adds nothing
  const FeatureStore store = committed();
  ASSERT_EQ(store.texts().size(), 2u);
  const StoredText& t = store.texts()[0];
  EXPECT_EQ(t.anchor[0], 100.5);
  EXPECT_EQ(t.anchor[1], 197.5);
  EXPECT_EQ(t.text, "幸福路");
  EXPECT_EQ(t.mode, 2);
  EXPECT_EQ(+t.style.height, 2.5f);
  EXPECT_EQ(+t.style.width, 2.5f * 0.8f);
  EXPECT_EQ(+t.style.angle, 30.0f);
  EXPECT_EQ(+t.style.w18, 1);
  EXPECT_EQ(+t.style.v44, 0);
  using Fields = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(t.fields, (Fields{{"注记号", "12"}, {"注记类别", "道路名"}}));
  EXPECT_EQ(store.texts()[1].fields, (Fields{{"注记号", "N-2"}, {"注记类别", "道路名"}}));
  EXPECT_EQ(+store.texts()[1].style.width, 0.8f);
  const Names calls = host.callNames();
  const Names perText = {"AddTextObject", "GetObjectAttributes", "SetAttributeField", "SetAttributeField",
                         "WriteObjectAttributes"};
  EXPECT_EQ(Names(calls.begin() + 3, calls.begin() + 8), perText);
}

TEST_F(EpswNotConversion, FieldsLongerThanTheirSizesAreCutAtACharacter) {
  std::string text, number, category = "x";
  for (int i = 0; i < 100; ++i) text += "字";     // 200 bytes
  for (int i = 0; i < 30; ++i) number += "号";    // 60 bytes
  for (int i = 0; i < 5; ++i) category += "类";  // 11 bytes
  ASSERT_TRUE(convert("", number + " " + text + "\n1 2 0 0 1\n" + category + " 1\n"));
  const FeatureStore store = committed();
  const StoredText& t = store.texts().at(0);
  EXPECT_EQ(t.text, text.substr(0, 198));
  EXPECT_EQ(t.fields.at(0).second, number.substr(0, 48));
  EXPECT_EQ(t.fields.at(1).second, category.substr(0, 9));
}

TEST_F(EpswNotConversion, DecliningAFarTextDropsThatRecordOnly) {
  messages.answers = {ui::kIdNo};
  ASSERT_TRUE(convert("", "1 far\n100000001 5 0 0 4\nc 1\n2 near\n1 5 0 0 4\nc 1\n"));
  EXPECT_EQ(messages.shown.front(), "是否转换该点(100000001.000000,1.000000)");
  const FeatureStore store = committed();
  ASSERT_EQ(store.texts().size(), 1u);
  EXPECT_EQ(store.texts()[0].text, "near");
}

TEST(EpswTextFailures, NoLayerSkipsTextsAndAFailedObjectGetsNoAttributes) {
  TempDir dir;
  for (int failure = 0; failure < 2; ++failure) {
    FailingTextHost host(dir.path());
    host.noLayer = failure == 0;
    host.noObjects = failure == 1;
    RecordingMessages messages;
    CEpswConverter converter(host, messages);
    converter.m_bConvertCor = 0;
    converter.m_strNotPath = dir.write("in.not", "1 t\n1 2 0 0 1\nc 1\n");
    converter.m_strOutputPath = dir.file("out" + std::to_string(failure) + ".qel");
    EXPECT_TRUE(converter.OnOK());
    EXPECT_EQ(messages.shown, Names{"数据转换完毕！！！"});
    const Names calls = host.callNames();
    EXPECT_EQ(host.textObjectsTried, failure);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetObjectAttributes"), 0);
    EXPECT_EQ(calls.back(), "CloseFeatureFile");
  }
}

}  // namespace
}  // namespace dz::test
