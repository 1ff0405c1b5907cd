// What the conversion writes into a file that holds points already, and
// what it does with a feature the host's 16-bit vertex count cannot hold.
#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

class CassIntoAFileWithPoints : public CassFixture {};

// A second conversion into the output of a first: its points continue the
// numbering instead of running into the old X1, X2 and losing their place.
TEST_F(CassIntoAFileWithPoints, GeneratedNamesMoveOnToTheNextFreeNumber) {
  convert("LINE\n123,a\n1.5,2.5\n3.5,4.5\nnil\n");
  keepOutput = true;
  convert("LINE\n123,b\n10.5,20.5\n30.5,40.5\nnil\n");
  EXPECT_EQ(summary(), "X1(2.5,1.5) X2(4.5,3.5) X3(20.5,10.5) X4(40.5,30.5) | 4301/0[X1:1 X2:1] 4301/0[X3:1 X4:1]");
  EXPECT_EQ(converter->m_nPointsAdded, 2);
}

TEST_F(CassIntoAFileWithPoints, NamesTakenByOtherPointsArePassedOver) {
  // A parcel label named X2 comes first; the line after it numbers round it.
  convert("LINE\n300000,X2\n7.0,8.0\nnil\nLINE\n123,a\n1.5,2.5\n3.5,4.5\nnil\n");
  EXPECT_EQ(summary(), "X2(8,7) X1(2.5,1.5) X3(4.5,3.5) | 7310/2[X2:0]#38 4301/0[X1:1 X3:1]");
}

// The names are made in one buffer kept from point to point: a new prefix
// must replace the old one whole, and the longest number must fit.
TEST(PointNamer, EachPrefixAndNumberMakeTheirOwnName) {
  TempDir dir;
  FeatureFileEngine engine(dir.path());
  const QelHandle h = engine.OpenFeatureFile(dir.file("t.qel").c_str());
  PointRecord taken{};
  copyName(taken.name, "AB7");
  engine.AddPoint(h, &taken, 1);
  PointNamer namer;
  EXPECT_EQ(namer.name(3), "3");  // no prefix yet
  int32_t number = 7;
  namer.usePrefix("AB");
  EXPECT_EQ(claimFreePointName(engine, h, namer, number), "AB8");
  EXPECT_EQ(number, 8);
  namer.usePrefix("X");
  EXPECT_EQ(namer.name(12), "X12");
  EXPECT_STREQ(namer.c_str(), "X12");
  namer.usePrefix("");
  EXPECT_EQ(namer.name(5), "5");
  namer.usePrefix("LONGPREFIX");
  EXPECT_EQ(namer.name(INT32_MIN), "LONGPREFIX-2147483648");
  EXPECT_EQ(namer.name(3), "LONGPREFIX3");
  EXPECT_STREQ(namer.c_str(), "LONGPREFIX3");
}

class CassVertexLimit : public CassFixture {
 protected:
  // A line feature of `n` vertices under header `code`.
  static std::string line(const std::string& code, int n) {
    std::string cas = "LINE\n" + code + ",long\n";
    for (int i = 0; i < n; ++i) cas += std::to_string(i) + ".5,1.0\n";
    return cas + "nil\n";
  }
};

TEST_F(CassVertexLimit, FeaturesBeyondTheHostCountAreRefusedAndCountedWithTheirLine) {
  // 32767 vertices fit; a house of 32767 closes with one more and does not,
  // nor does a line of 32768. Their points are written all the same.
  convert(line("123", 32767) + line("141101", 32767) + "LINE\n123,a\n1.5,2.5\nnil\n" + line("123", 32768));
  ASSERT_TRUE(ran);
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(output.features()[0].refs().size(), 32767u);
  EXPECT_EQ(output.features()[1].refs().size(), 1u);
  EXPECT_EQ(output.points().size(), 3u * 32767 + 2);
  EXPECT_EQ(converter->m_nFeaturesAdded, 2);
  const FeatureTally& refused = converter->LastOutcome().tooLong;
  EXPECT_EQ(refused.count, 2);
  EXPECT_EQ(refused.lines, (std::vector<long>{32772, 65546}));  // the lines of their headers
}

}  // namespace
}  // namespace dz::test
