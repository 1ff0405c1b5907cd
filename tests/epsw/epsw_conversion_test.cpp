#include "tests/epsw/epsw_test_support.h"

namespace dz::test {
namespace {

using EpswChecks = EpswTest;

TEST_F(EpswChecks, FirstFailingCheckIsToldAndTheDialogStaysOpen) {
  const std::string cor = dir.write("a.cor", "");
  const std::string broken = dir.write("broken.qel", "not a feature file");
  struct Case {
    int cor, note;
    std::string corPath, notPath, outPath, message;
  };
  const Case cases[] = {
      {1, 1, "", "", "", "请输入Cor文件路径！！"},
      {1, 1, cor, "", "", "请输入Not文件路径！！"},
      {0, 0, "", "", "o.qel", "请选者转换的文件类型和路径！！"},
      {0, 1, "", "a.not", "", "请输入Qel文件路径！！"},
      {1, 1, dir.file("absent.cor"), "a.not", "o.qel", "can't find *.Cor failed!!"},
      {1, 0, cor, "", broken, "无法打开Qel文件：" + broken + "！！"},
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
  EXPECT_EQ(host.callNames(), Names{"OpenFeatureFile"});  // nothing written
}

TEST_F(EpswChecks, MissingNotFileKeepsTheConvertedCorData) {
  converter.m_strCorPath = dir.write("in.cor", "1 1 0 $a\nP1 1 2 3\n");
  converter.m_strNotPath = dir.file("absent.not");
  converter.m_strOutputPath = out;
  EXPECT_FALSE(converter.OnOK());
  EXPECT_EQ(messages.shown.back(), "can't find *.not failed!!");
  EXPECT_EQ(committed().points().size(), 1u);
  // With the Cor box cleared, the next press converts the .not file alone.
  converter.m_bConvertCor = 0;
  EXPECT_TRUE(convert("2 1 0 $b\nP2 1 1 1\n", "7 text\n1 2 0 0 1\ncat 1\n"));
  EXPECT_EQ(messages.shown.back(), "数据转换完毕！！！");
  EXPECT_EQ(committed().points().size(), 1u);
  EXPECT_EQ(committed().texts().size(), 1u);
}

class EpswCorConversion : public EpswTest {
 protected:
  void SetUp() override {
    writeTable("1 100 line\n");
    converter.m_bConvertNot = 0;
  }
};

TEST_F(EpswCorConversion, PointLinesBecomePointsAndVerticesOfTheFeatureAbove) {
  ASSERT_TRUE(convert(
      "\n"                           // no name yet: adds nothing
      "K1 5 6 7 1 2\n"               // before any feature: a point of no feature
      "1 4 1 $road\n"
      "$ 1 2 3\n"                    // "$" first: a point line named "$"
      "P1 10.5 20.5 30.5 70000 -1\n"
      "\n"                           // repeats P1
      "1 0 0 A$\n"                   // "$" later: a feature line, count 0
      "ABCDEFGHIJKLMN 1 1 1\n"       // cut to 11 bytes
      "K1 99 99 99\n"                // exists: reused, coordinates ignored
      "Q1\n"                         // keeps the coordinates of the line before
      "1 2000000000 0 $b\n",         // padded only as far as a feature holds
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
  EXPECT_EQ(nameText(store.points()[3].name), "ABCDEFGHIJK");
  EXPECT_EQ(+store.points()[4].east, 99);
  ASSERT_EQ(store.features().size(), 3u);
  EXPECT_EQ(refNames(store.features()[0]), (Names{"$", "P1", "P1", ""}));  // announced 4
  EXPECT_EQ(refNames(store.features()[1]), (Names{"ABCDEFGHIJK", "K1", "Q1"}));
  EXPECT_EQ(+store.features()[1].header.code, 100);
  EXPECT_EQ(store.features()[2].refs().size(), 10u);  // padded as far as the 11 lines pay for, less the 1 used
}

// A damaged count must not make a small file write a huge one: padding is
// paid for by the lines of the file, one empty entry each, and what is left
// out is counted with the lines of its features.
TEST_F(EpswCorConversion, PaddingIsPaidForByTheLinesOfTheFile) {
  std::string cor = "1 4 0 $a\nP1 1 2 3\nP2 1 2 3\nP3 1 2 3\n";  // announced 4, 3 given: padded
  for (int i = 0; i < 3000; ++i) cor += "1 32767 0 $b\n";
  ASSERT_TRUE(convert(cor, ""));
  const FeatureStore store = committed();
  ASSERT_EQ(store.features().size(), 3001u);
  EXPECT_EQ(refNames(store.features()[0]), (Names{"P1", "P2", "P3", ""}));
  size_t entries = 0;
  for (const StoredFeature& f : store.features()) entries += f.refs().size();
  EXPECT_LE(entries, 3u + 3004u);
  const CEpswConverter::Outcome& o = converter.LastOutcome();
  EXPECT_EQ(o.paddedShort.count, 3000);
  EXPECT_EQ(o.paddedShort.lines.front(), 5);
  EXPECT_EQ(o.entriesNotPadded, 3000L * 32767 - static_cast<long>(entries - 4));
}

TEST_F(EpswCorConversion, FeaturesBeyondTheHostCountAreRefusedButKeepTheirPoints) {
  std::string points;
  for (int i = 0; i < 32768; ++i) points += "P" + std::to_string(i) + " 1 2 3\n";
  writeTable("1 100 line\n2 3750 single\n");
  ASSERT_TRUE(convert("1 2 0 $a\n" + points + "2 2 0 $b\n" + points + "1 1 0 $c\nQ 1 1 1\n", ""));
  const FeatureStore store = committed();
  EXPECT_EQ(store.points().size(), 32769u);
  // The first is refused; code 3750 is written one vertex a feature; the last keeps its name 3.
  ASSERT_EQ(store.features().size(), 32769u);
  EXPECT_EQ(nameText(store.features()[0].header.name), "2");
  EXPECT_EQ(nameText(store.features().back().header.name), "3");
  EXPECT_EQ(converter.LastOutcome().tooLong.count, 1);
  EXPECT_EQ(converter.LastOutcome().tooLong.lines, (std::vector<long>{1}));
}

TEST_F(EpswCorConversion, FarPointsAreAskedAboutAndDroppedOnNo) {
  messages.answers = {ui::kIdNo, ui::kIdYes};
  ASSERT_TRUE(convert("1 3 1 $a\nF1 -100000000.5 3100000 0\nF2 1 100000000.25 0\nN1 100000000.0 -100000000.0 0\n",
                      ""));
  EXPECT_EQ(messages.shown, (Names{"是否转换该点(-100000000.500000,3100000.000000)",
                                   "是否转换该点(1.000000,100000000.250000)", "数据转换完毕！！！"}));
  EXPECT_EQ(messages.types[0], ui::kMbYesNo);
  EXPECT_EQ(refNames(committed().features()[0]), (Names{"F2", "N1", ""}));
}

TEST_F(EpswCorConversion, EmptyFilesStillCommitAndReportSuccess) {
  converter.m_bConvertNot = 1;
  ASSERT_TRUE(convert("", ""));
  EXPECT_EQ(messages.shown, Names{"数据转换完毕！！！"});
  EXPECT_EQ(host.callNames(), (Names{"OpenFeatureFile", "GetFeatureFileInfo", "GetTextLayer", "CommitFeatureFile",
                                     "CloseFeatureFile"}));
}

class EpswNotConversion : public EpswTest {
 protected:
  void SetUp() override { converter.m_bConvertCor = 0; }
};

TEST_F(EpswNotConversion, RecordsBecomeTextObjectsWithTwoAttributes) {
  std::string number, text;
  for (int i = 0; i < 30; ++i) number += "号";  // 60 bytes, field of 49
  for (int i = 0; i < 100; ++i) text += "字";   // 200 bytes, field of 199
  ASSERT_TRUE(convert("", "12 幸福路\n100.5 200 9 30 2.5\n道路名称类别 0.8\n" +  // category cut to 9 bytes
                              number + " " + text + "\n1 2 0 0 1\n\n"          // category and factor carry over
                              "3 x\n"));                                      // incomplete: nothing
  const FeatureStore store = committed();
  ASSERT_EQ(store.texts().size(), 2u);
  const StoredText& t = store.texts()[0];
  EXPECT_EQ(t.anchor[0], 100.5);
  EXPECT_EQ(t.anchor[1], 197.5);
  EXPECT_EQ(t.text(), "幸福路");
  EXPECT_EQ(t.mode, 2);
  EXPECT_EQ(+t.style().height, 2.5f);
  EXPECT_EQ(+t.style().width, 2.5f * 0.8f);
  EXPECT_EQ(+t.style().angle, 30.0f);
  EXPECT_EQ(+t.style().w18, 1);
  using Fields = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(t.fields(), (Fields{{"注记号", "12"}, {"注记类别", "道路名称"}}));
  EXPECT_EQ(store.texts()[1].text(), text.substr(0, 198));  // never half a character
  EXPECT_EQ(store.texts()[1].fields(), (Fields{{"注记号", number.substr(0, 48)}, {"注记类别", "道路名称"}}));
  const Names calls = host.callNames();
  EXPECT_EQ(Names(calls.begin() + 3, calls.begin() + 8),
            (Names{"AddTextObject", "GetObjectAttributes", "SetAttributeField", "SetAttributeField",
                   "WriteObjectAttributes"}));
}

TEST_F(EpswNotConversion, DecliningAFarTextDropsThatRecordOnly) {
  messages.answers = {ui::kIdNo};
  ASSERT_TRUE(convert("", "1 far\n100000001 5 0 0 4\nc 1\n2 near\n1 5 0 0 4\nc 1\n"));
  EXPECT_EQ(messages.shown.front(), "是否转换该点(100000001.000000,1.000000)");
  const FeatureStore store = committed();
  ASSERT_EQ(store.texts().size(), 1u);
  EXPECT_EQ(store.texts()[0].text(), "near");
}

// A number written with an exponent letter but no exponent digits ends at
// the letter and its sign; the next field follows them.
using EpswBareExponent = EpswTest;

TEST_F(EpswBareExponent, PointLineKeepsEveryLaterField) {
  writeTable("1 2\n");
  converter.m_bConvertNot = 0;
  ASSERT_TRUE(convert("1 2 0 $x\nA1 1e 2 3\nP2 110 2e 3 4 5\n", ""));
  const FeatureStore store = committed();
  ASSERT_EQ(store.points().size(), 2u);
  const PointRecord& a1 = store.points()[0];
  EXPECT_EQ(+a1.east, 1);
  EXPECT_EQ(+a1.north, 2);
  EXPECT_EQ(+a1.elev, 3);
  const PointRecord& p2 = store.points()[1];
  EXPECT_EQ(+p2.east, 110);
  EXPECT_EQ(+p2.north, 2);
  EXPECT_EQ(+p2.elev, 3);
  EXPECT_EQ(+p2.w14, 4);
  EXPECT_EQ(+p2.w16, 5);
}

TEST_F(EpswBareExponent, NoteRecordKeepsItsAnchorAndHeight) {
  converter.m_bConvertCor = 0;
  ASSERT_TRUE(convert("", "1 x\n10 2E+ 0 0 2.5\nc 1\n"));
  const FeatureStore store = committed();
  ASSERT_EQ(store.texts().size(), 1u);
  EXPECT_EQ(store.texts()[0].anchor[0], 10);
  EXPECT_EQ(store.texts()[0].anchor[1], -0.5);
  EXPECT_EQ(+store.texts()[0].style().height, 2.5f);
}

}  // namespace
}  // namespace dz::test
