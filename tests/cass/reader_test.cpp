#include <cstdio>

#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

class CassReader : public CassFixture {};

TEST_F(CassReader, LineGivesGeneratedPointsAndOneFeature) {
  convert("LINE\n123,abc\n1.5,2.5\n3.5,4.5\nnil\n");
  EXPECT_TRUE(ran);
  EXPECT_TRUE(messages.shown.empty());
  ASSERT_EQ(output.points().size(), 2u);
  const PointRecord& x1 = output.points()[0];
  EXPECT_EQ(nameText(x1.name), "X1");
  EXPECT_EQ(+x1.north, 2.5);
  EXPECT_EQ(+x1.east, 1.5);
  EXPECT_EQ(+x1.elev, 0);
  EXPECT_EQ(+x1.code, 0);
  EXPECT_EQ(+x1.flag, 0);
  EXPECT_EQ(+point("X2")->north, 4.5);
  EXPECT_EQ(+point("X2")->east, 3.5);
  ASSERT_EQ(output.features().size(), 1u);
  const StoredFeature& f = output.features()[0];
  EXPECT_EQ(+f.header.code, 4301);
  EXPECT_EQ(+f.header.kind, 0);
  EXPECT_EQ(nameText(f.header.name), "");
  EXPECT_EQ(refNames(f), "X1 X2");
  EXPECT_EQ(+f.refs[0].kind, 1);
  EXPECT_EQ(+f.refs[1].kind, 1);
  EXPECT_TRUE(f.attributes.empty());
}

TEST_F(CassReader, IntegerPairIsAHeaderNotAVertex) {
  convert("LINE\n123,abc\n12,34\n1.5,2.5\nnil\n");
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(+output.features()[0].header.code, 0);  // "12" is not in the table
  EXPECT_EQ(refNames(output.features()[0]), "X1");
}

TEST_F(CassReader, PointKeywordGivesVertexKindOne) {
  convert("POINT\n789,p\n1.5,2.5\nnil\n");
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(+output.features()[0].header.code, 3120);
  EXPECT_EQ(+output.features()[0].refs[0].kind, 1);
}

TEST_F(CassReader, FeatureOpenAtEndOfFileIsNotWritten) {
  convert("LINE\n123,a\n1.5,2.5\n3.5,4.5\n");
  EXPECT_TRUE(ran);
  EXPECT_TRUE(output.points().empty());
  EXPECT_TRUE(output.features().empty());
  EXPECT_TRUE(fileExists(dir.file("out.qel")));  // committed all the same
}

TEST_F(CassReader, AfterNilDataLinesWaitForAKeyword) {
  convert("LINE\n123,a\n1.5,2.5\nnil\n123,b\n3.5,4.5\nnil\nLINE\n123,c\n5.5,6.5\nnil\n");
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(refNames(output.features()[0]), "X1");
  EXPECT_EQ(refNames(output.features()[1]), "X2");
  EXPECT_EQ(+point("X2")->east, 5.5);
}

TEST_F(CassReader, CloseLinesKeepTheKeyword) {
  convert("LINE\n123,a\n1.5,2.5\nC\n123,b\n3.5,4.5\nE\n456,c,1.0\n");
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(refNames(output.features()[1]), "X2");
}

TEST_F(CassReader, HeaderClosesThePreviousFeature) {
  convert("PLINE\n123,a\n1.5,2.5\n2.5,3.5\n789,b\n4.5,5.5\nnil\n");
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(+output.features()[0].header.code, 4301);
  EXPECT_EQ(refNames(output.features()[0]), "X1 X2");
  EXPECT_EQ(+output.features()[1].header.code, 3120);
  EXPECT_EQ(refNames(output.features()[1]), "X3");
}

TEST_F(CassReader, LineWithoutCommaChangesTheCodeButKeepsVertices) {
  convert("LINE\n123,a\n1.5,2.5\n789\n3.5,4.5\nnil\n");
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(+output.features()[0].header.code, 3120);
  EXPECT_EQ(refNames(output.features()[0]), "X1 X2");
}

TEST_F(CassReader, EmptyLineGivesCodeZeroAndKeepsVertices) {
  convert("LINE\n123,a\n1.5,2.5\n\n3.5,4.5\nnil\n");
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(+output.features()[0].header.code, 0);
  EXPECT_EQ(refNames(output.features()[0]), "X1 X2");
}

TEST_F(CassReader, Code111WritesNothingAndUsesNoPointNumbers) {
  convert("LINE\n999,a\n1.5,2.5\n2.5,3.5\nnil\nLINE\n123,b\n3.5,4.5\nnil\n");
  ASSERT_EQ(output.points().size(), 1u);
  EXPECT_EQ(+point("X1")->east, 3.5);
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(+output.features()[0].header.code, 4301);
}

TEST_F(CassReader, HouseIsClosedAndOfKindThree) {
  convert("LINE\n141101,h\n1.0,2.0\n3.0,2.0\n3.0,4.0\nnil\n");
  ASSERT_EQ(output.features().size(), 1u);
  const StoredFeature& f = output.features()[0];
  EXPECT_EQ(refNames(f), "X1 X2 X3 X1");
  EXPECT_EQ(+f.header.kind, 3);
  EXPECT_EQ(+f.header.code, 2120);
  EXPECT_EQ(output.points().size(), 3u);
}

TEST_F(CassReader, Code7317IsClosedButNotAHouse) {
  convert("LINE\n731,a\n1.0,2.0\n3.0,2.0\nnil\n");
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(refNames(output.features()[0]), "X1 X2 X1");
  EXPECT_EQ(+output.features()[0].header.kind, 0);
}

TEST_F(CassReader, Codes2330And2317StartAtTheSecondVertex) {
  convert("LINE\n233,a\n1.0,2.0\n3.0,2.0\n5.0,2.0\nC\n231,b\n1.0,1.0\n2.0,2.0\nnil\n");
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(refNames(output.features()[0]), "X2 X3 X1");
  EXPECT_EQ(+output.features()[0].header.code, 2330);
  EXPECT_EQ(refNames(output.features()[1]), "X5 X4");
}

TEST_F(CassReader, StopLineEndsReadingAndStillCommits) {
  convert("LINE\n123,a\n1.5,2.5\nnil\ntamberol\nLINE\n123,b\n3.5,4.5\nnil\n");
  EXPECT_TRUE(ran);
  EXPECT_EQ(output.features().size(), 1u);
  EXPECT_EQ(output.points().size(), 1u);
}

TEST_F(CassReader, FeatureOfMoreThan500VerticesIsWrittenWhole) {
  std::string cas = "PLINE\n123,long\n";
  for (int i = 0; i < 750; ++i) cas += std::to_string(i) + ".5," + std::to_string(i) + ".25\n";
  convert(cas + "nil\n");
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(output.features()[0].refs.size(), 750u);
  EXPECT_EQ(+point("X750")->east, 749.5);
  EXPECT_EQ(+point("X750")->north, 749.25);
}

TEST_F(CassReader, ShortCoordinateLineKeepsTheSlotsEarlierValue) {
  convert("LINE\n123,a\n1.5,2.5\nnil\nLINE\n123,b\n7.5,\nnil\n");
  ASSERT_EQ(output.points().size(), 2u);
  EXPECT_EQ(+point("X2")->east, 7.5);
  EXPECT_EQ(+point("X2")->north, 2.5);
}

TEST_F(CassReader, MissingCodeTableIsReportedPerLookupAndFeaturesStillWritten) {
  std::remove(dir.file("CASSCode.txt").c_str());
  convert("LINE\n123,a\n1.5,2.5\n456,b\n3.5,4.5\nnil\n");
  EXPECT_TRUE(ran);
  EXPECT_EQ(messages.shown, std::vector<std::string>(2, "can't find CASSCode.txt failed!!"));
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(+output.features()[0].header.code, 0);
  EXPECT_EQ(+output.features()[1].header.code, 0);
}

class CassCircle : public CassFixture {};

TEST_F(CassCircle, CentreBecomesTheEndsOfTheDiameter) {
  convert("CIRCLE\n456,c1,2.0\n10.0,20.0\nnil\n");
  ASSERT_EQ(output.points().size(), 2u);
  EXPECT_EQ(+point("X1")->north, 20.0);
  EXPECT_EQ(+point("X1")->east, 8.0);
  EXPECT_EQ(+point("X2")->north, 20.0);
  EXPECT_EQ(+point("X2")->east, 12.0);
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(+output.features()[0].header.code, 5610);
  EXPECT_EQ(+output.features()[0].refs[0].kind, 3);
  EXPECT_EQ(+output.features()[0].refs[1].kind, 3);
}

TEST_F(CassCircle, HeaderWithoutRadiusKeepsTheLastRadius) {
  convert("CIRCLE\n456,c1,2.0\n10.0,20.0\nC\n456,c2\n30.0,40.0\nC\n456,,9\n50.0,60.0\nnil\n");
  ASSERT_EQ(output.points().size(), 6u);
  EXPECT_EQ(+point("X3")->east, 28.0);
  EXPECT_EQ(+point("X4")->east, 32.0);
  // ",9" has its comma first: no radius field, 2.0 stays.
  EXPECT_EQ(+point("X5")->east, 48.0);
}

TEST_F(CassCircle, RadiusIsReadAsFarAsItFormsANumber) {
  convert("CIRCLE\n456,c1,1.5m,extra\n10.0,20.0\nnil\n");
  EXPECT_EQ(+point("X1")->east, 8.5);
  EXPECT_EQ(+point("X2")->east, 11.5);
}

TEST_F(CassCircle, SecondCentreLineRedrawsTheDiameterFromTheFirst) {
  convert("CIRCLE\n456,c1,1.0\n10.0,20.0\n30.0,40.0\nnil\n");
  ASSERT_EQ(output.points().size(), 2u);
  EXPECT_EQ(+point("X1")->east, 9.0);
  EXPECT_EQ(+point("X2")->east, 11.0);
  EXPECT_EQ(+point("X2")->north, 20.0);
}

class CassRunFailures : public CassFixture {};

TEST_F(CassRunFailures, MissingExchangeFileIsReportedAndNothingIsOpened) {
  convertFiles();
  EXPECT_FALSE(ran);
  EXPECT_EQ(messages.shown, std::vector<std::string>{"can't find *.cas failed!!"});
  EXPECT_FALSE(fileExists(dir.file("out.qel")));
}

TEST_F(CassRunFailures, OutputThatCannotBeOpenedIsReported) {
  dir.write("out.qel", "not a feature file");
  dir.write("in.cas", "LINE\n123,a\n1.5,2.5\nnil\n");
  FeatureFileEngine engine(dir.path());
  CCassConverter c(engine, messages);
  c.m_strCasPath = dir.file("in.cas");
  c.m_strOutputPath = dir.file("out.qel");
  EXPECT_FALSE(c.Run());
  EXPECT_EQ(messages.shown, std::vector<std::string>{"can't open " + dir.file("out.qel") + " failed!!"});
  EXPECT_EQ(readFile(dir.file("out.qel")), "not a feature file");
}

class CassTextSection : public CassFixture {};

TEST_F(CassTextSection, TextAndPositionMakeOneEntry) {
  convert("TEXT\n砖,x\n100.0,200.0\nnil\n");
  ASSERT_EQ(converter->m_nTextEntries, 1);
  const TextEntry& e = converter->m_TextEntries[0];
  EXPECT_EQ(std::string(e.text), "砖");
  EXPECT_EQ(e.length, 3);
  EXPECT_EQ(e.first, 100.0);
  EXPECT_EQ(e.second, 200.0);
  EXPECT_EQ(e.used, 0);
}

TEST_F(CassTextSection, KeywordsInsideTheSectionAreTextsAndLinesWithoutCommaAreSkipped) {
  convert("TEXT\nLINE\nEND,x\n1.0,2.0\nskip me\n,y\n3.0,4.0\nnil\n");
  ASSERT_EQ(converter->m_nTextEntries, 2);
  EXPECT_EQ(std::string(converter->m_TextEntries[0].text), "END");
  EXPECT_EQ(std::string(converter->m_TextEntries[1].text), ",y");
  EXPECT_EQ(converter->m_TextEntries[1].second, 4.0);
}

TEST_F(CassTextSection, ToggleCarriesOverToTheNextSection) {
  convert("TEXT\n甲,x\nnil\nTEXT\n1.0,2.0\n乙,y\n3.0,4.0\nnil\n");
  ASSERT_EQ(converter->m_nTextEntries, 2);
  EXPECT_EQ(std::string(converter->m_TextEntries[0].text), "甲");
  EXPECT_EQ(converter->m_TextEntries[0].first, 1.0);
  EXPECT_EQ(std::string(converter->m_TextEntries[1].text), "乙");
}

TEST_F(CassTextSection, FirstTextWithoutPositionCountsMinusOne) {
  convert("TEXT\n甲,x\nnil\n");
  EXPECT_EQ(converter->m_nTextEntries, -1);
}

TEST_F(CassTextSection, LongTextIsCutTo199BytesWithoutSplittingACharacter) {
  std::string ascii(250, 'a');
  std::string gbk;
  for (int i = 0; i < 100; ++i) gbk += "砖";  // 200 bytes
  convert("TEXT\n" + ascii + ",x\n1,2\n" + gbk + ",x\n1,2\na" + gbk + ",x\n1,2\nnil\n");
  ASSERT_EQ(converter->m_nTextEntries, 3);
  EXPECT_EQ(std::string(converter->m_TextEntries[0].text), ascii.substr(0, 199));
  EXPECT_EQ(converter->m_TextEntries[0].length, 200);
  EXPECT_EQ(std::string(converter->m_TextEntries[1].text), gbk.substr(0, 198));
  EXPECT_EQ(converter->m_TextEntries[1].length, 199);
  EXPECT_EQ(std::string(converter->m_TextEntries[2].text), "a" + gbk.substr(0, 198));
}

TEST_F(CassTextSection, EntriesGrowPastTheFirstHundred) {
  std::string cas = "TEXT\n";
  for (int i = 0; i < 250; ++i) cas += "t" + std::to_string(i) + ",x\n" + std::to_string(i) + ".0,1.0\n";
  convert(cas + "nil\n");
  ASSERT_EQ(converter->m_nTextEntries, 250);
  EXPECT_EQ(std::string(converter->m_TextEntries[249].text), "t249");
  EXPECT_EQ(converter->m_TextEntries[249].first, 249.0);
  EXPECT_EQ(std::string(converter->m_TextEntries[100].text), "t100");
}

}  // namespace
}  // namespace dz::test
