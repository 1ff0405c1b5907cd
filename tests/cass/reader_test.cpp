#include "tests/cass/cass_fixture.h"

#include "base/classic_scan.h"

namespace dz::test {
namespace {

class CassReader : public CassFixture {};

TEST_F(CassReader, FeaturesPointsAndTheStateMachine) {
  std::string longLine = "PLINE\n123,long\n";
  for (int i = 0; i < 600; ++i) longLine += std::to_string(i) + ".5,1.0\n";
  const ConversionCase cases[] = {
      {"a line: points X1, X2 (q, p) and one feature", "LINE\n123,abc\n1.5,2.5\n3.5,4.5\nnil\n",
       "X1(2.5,1.5) X2(4.5,3.5) | 4301/0[X1:1 X2:1]"},
      {"integers before the comma make a header", "LINE\n123,a\n12,34\n1.5,2.5\nnil\n", "X1(2.5,1.5) | 0/0[X1:1]"},
      {"a point has vertex kind 1", "POINT\n789,p\n1.5,2.5\nnil\n", "X1(2.5,1.5) | 3120/0[X1:1]"},
      {"a circle gives the ends of its diameter", "CIRCLE\n456,c1,2.0\n10.0,20.0\nnil\n",
       "X1(20,8) X2(20,12) | 5610/0[X1:3 X2:3]"},
      {"a circle header without radius keeps the last; ',9' is no radius field",
       "CIRCLE\n456,c,1.5m,x\n10.0,20.0\nC\n456,c2\n30.0,40.0\nC\n456,,9\n50.0,60.0\nnil\n",
       "X1(20,8.5) X2(20,11.5) X3(40,28.5) X4(40,31.5) X5(60,48.5) X6(60,51.5) | 5610/0[X1:3 X2:3] "
       "5610/0[X3:3 X4:3] 5610/0[X5:3 X6:3]"},
      {"a second centre line redraws the diameter from the first", "CIRCLE\n456,c,1.0\n10.0,20.0\n30.0,40.0\nnil\n",
       "X1(20,9) X2(20,11) | 5610/0[X1:3 X2:3]"},
      {"a feature open at the end of the file is not written", "LINE\n123,a\n1.5,2.5\n", "|"},
      {"after nil data lines wait for a keyword", "LINE\n123,a\n1.5,2.5\nnil\n123,b\n3.5,4.5\nnil\nPOINT\n789,c\n5.5,6.5\nnil\n",
       "X1(2.5,1.5) X2(6.5,5.5) | 4301/0[X1:1] 3120/0[X2:1]"},
      {"C and E close a feature and keep the keyword", "LINE\n123,a\n1.5,2.5\nC\n789,b\n3.5,4.5\nE\n",
       "X1(2.5,1.5) X2(4.5,3.5) | 4301/0[X1:1] 3120/0[X2:1]"},
      {"a header closes the previous feature", "PLINE\n123,a\n1.5,2.5\n2.5,3.5\n789,b\n4.5,5.5\nnil\n",
       "X1(2.5,1.5) X2(3.5,2.5) X3(5.5,4.5) | 4301/0[X1:1 X2:1] 3120/0[X3:1]"},
      {"a line without comma changes the code and keeps the vertices", "LINE\n123,a\n1.5,2.5\n789\n3.5,4.5\nnil\n",
       "X1(2.5,1.5) X2(4.5,3.5) | 3120/0[X1:1 X2:1]"},
      {"an empty line gives code 0 and keeps the vertices", "LINE\n123,a\n1.5,2.5\n\n3.5,4.5\nnil\n",
       "X1(2.5,1.5) X2(4.5,3.5) | 0/0[X1:1 X2:1]"},
      {"an empty line after a 300000 vertex takes the code from the vertex line: an ordinary feature",
       "LINE\n300000,0101\n1.5,2.5\n\nnil\n123,b\n3.5,4.5\nnil\n", "X1(2.5,1.5) | 0/0[X1:1]"},
      {"code 111 writes nothing and uses no point numbers", "LINE\n999,a\n1.5,2.5\nnil\nLINE\n123,b\n3.5,4.5\nnil\n",
       "X1(4.5,3.5) | 4301/0[X1:1]"},
      {"a house is closed and of kind 3", "LINE\n141101,h\n1.0,2.0\n3.0,2.0\n3.0,4.0\nnil\n",
       "X1(2,1) X2(2,3) X3(4,3) | 2120/3[X1:1 X2:1 X3:1 X1:1]"},
      {"7317 is closed but not a house", "LINE\n731,a\n1.0,2.0\n3.0,2.0\nnil\n", "X1(2,1) X2(2,3) | 7317/0[X1:1 X2:1 X1:1]"},
      {"2330 and 2317 start at their second vertex", "LINE\n233,a\n1.0,2.0\n3.0,2.0\n5.0,2.0\nC\n231,b\n1.0,1.0\n2.0,2.0\nnil\n",
       "X1(2,1) X2(2,3) X3(2,5) X4(1,1) X5(2,2) | 2330/0[X2:1 X3:1 X1:1] 2317/0[X5:1 X4:1]"},
      {"tamberol stops the reading", "LINE\n123,a\n1.5,2.5\nnil\ntamberol\nLINE\n123,b\n3.5,4.5\nnil\n",
       "X1(2.5,1.5) | 4301/0[X1:1]"},
      {"a short coordinate line keeps the slot's earlier value", "LINE\n123,a\n1.5,2.5\nnil\nLINE\n123,b\n7.5,\nnil\n",
       "X1(2.5,1.5) X2(2.5,7.5) | 4301/0[X1:1] 4301/0[X2:1]"},
  };
  for (const ConversionCase& c : cases) {
    convert(c.cas);
    EXPECT_TRUE(ran) << c.behaviour;
    EXPECT_EQ(summary(), c.expected) << c.behaviour;
  }
  EXPECT_TRUE(messages.shown.empty());
  convert(longLine + "nil\n");  // more than 500 vertices: written whole
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(output.features()[0].refs().size(), 600u);
  EXPECT_EQ(nameText(output.points()[599].name), "X600");
}

TEST_F(CassReader, ACodeLineTakesTheTextBeforeTheCommaOfTheLatestLineWithOne) {
  // The latest line's text, however long an earlier one was: a vertex line
  // with a long number, then a label header, then a code line, converts as
  // if the vertex line were short.
  const std::string before = "LINE\n123,a\n";
  const std::string after = ",2.5\n300000,0101\n\n1.5,2.5\nnil\nLINE\n123,b\n3.5,4.5\nnil\n";
  convert(before + "1.5" + after);
  const std::string shortFirst = summary();
  // The label's vertex makes no feature of its own (no .qs to read it by).
  EXPECT_EQ(shortFirst, "X1(2.5,1.5) X2(4.5,3.5) | 4301/0[X1:1] 4301/0[X2:1]");
  convert(before + std::string(40, '1') + ".5" + after);
  std::string longFirst = summary();
  const std::string longPoint = "X1(2.5," + jsonNumber(classicAtof(std::string(40, '1') + ".5")) + ")";
  ASSERT_EQ(longFirst.find(longPoint), 0u) << longFirst;
  longFirst.replace(0, longPoint.size(), "X1(2.5,1.5)");
  EXPECT_EQ(longFirst, shortFirst);
  // And a code line right after the long one takes the long text: no label.
  convert(before + std::string(40, '1') + ".5,2.5\n\n3.5,4.5\nnil\n");
  EXPECT_EQ(output.features().size(), 1u);
  EXPECT_EQ(output.features()[0].refs().size(), 2u);
}

TEST_F(CassReader, MissingCodeTableIsReportedPerLookupAndFeaturesStillWritten) {
  std::remove(dir.file("CASSCode.txt").c_str());
  convert("LINE\n123,a\n1.5,2.5\n456,b\n3.5,4.5\nnil\n");
  EXPECT_TRUE(ran);
  EXPECT_EQ(messages.shown, std::vector<std::string>(2, "can't find CASSCode.txt failed!!"));
  EXPECT_EQ(summary(), "X1(2.5,1.5) X2(4.5,3.5) | 0/0[X1:1] 0/0[X2:1]");
}

TEST_F(CassReader, MissingExchangeFileIsReportedAndNothingIsOpened) {
  RecordingHost recorder(dir.path());
  CCassConverter c(recorder, messages);
  c.m_strCasPath = dir.file("missing.cas");
  c.m_strOutputPath = dir.file("out.qel");
  EXPECT_FALSE(c.Run());
  EXPECT_EQ(messages.shown, std::vector<std::string>{"can't find *.cas failed!!"});
  EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(CassReader, OutputThatCannotBeOpenedIsReported) {
  dir.write("out.qel", "not a feature file");
  keepOutput = true;
  convert("LINE\n123,a\n1.5,2.5\nnil\n");
  EXPECT_FALSE(ran);
  EXPECT_EQ(messages.shown, std::vector<std::string>{"can't open " + dir.file("out.qel") + " failed!!"});
  EXPECT_EQ(readFile(dir.file("out.qel")), "not a feature file");
}

class CassTextSection : public CassFixture {
 protected:
  std::string text(int j) const { return converter->m_TextEntries.at(j).text; }
};

TEST_F(CassTextSection, TextAndPositionLinesMakeEntries) {
  convert("TEXT\n砖,x\n100.0,200.0\nLINE\nEND,x\n1.0,2.0\n,y\n3.0,\nnil\n");
  ASSERT_EQ(converter->m_nTextEntries, 3);
  const TextEntry& e = converter->m_TextEntries[0];
  EXPECT_EQ(text(0), "砖");
  EXPECT_EQ(e.length, 3);
  EXPECT_EQ(e.first, 100.0);
  EXPECT_EQ(e.second, 200.0);
  EXPECT_EQ(e.used, 0);
  EXPECT_EQ(text(1), "END");  // keywords are texts here; "LINE" has no comma and is skipped
  EXPECT_EQ(text(2), ",y");
  EXPECT_EQ(converter->m_TextEntries[2].first, 3.0);
  EXPECT_EQ(converter->m_TextEntries[2].second, 0.0);  // a slot starts zeroed
}

TEST_F(CassTextSection, ToggleCarriesOverToTheNextSection) {
  convert("TEXT\n甲,x\nnil\n");
  EXPECT_EQ(converter->m_nTextEntries, -1);
  convert("TEXT\n甲,x\nnil\nTEXT\n1.0,2.0\n乙,y\n3.0,4.0\nnil\n");
  ASSERT_EQ(converter->m_nTextEntries, 2);
  EXPECT_EQ(converter->m_TextEntries[0].first, 1.0);
  EXPECT_EQ(text(1), "乙");
}

TEST_F(CassTextSection, LongTextIsCutTo199BytesWithoutSplittingACharacter) {
  std::string gbk;
  for (int i = 0; i < 100; ++i) gbk += "砖";  // 200 bytes
  convert("TEXT\n" + std::string(250, 'a') + ",x\n1,2\n" + gbk + ",x\n1,2\na" + gbk + ",x\n1,2\nnil\n");
  EXPECT_EQ(text(0), std::string(199, 'a'));
  EXPECT_EQ(converter->m_TextEntries[0].length, 200);
  EXPECT_EQ(text(1), gbk.substr(0, 198));
  EXPECT_EQ(text(2), "a" + gbk.substr(0, 198));
}

}  // namespace
}  // namespace dz::test
