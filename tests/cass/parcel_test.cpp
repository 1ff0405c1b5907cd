#include "cass/parcel_import.h"
#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

class CassParcel : public CassFixture {
 protected:
  // Parcel P0 of two vertices: its ring comes from the .qs file.
  const std::string kCas = "LINE\n301000,P0\n1.0,1.0\n2.0,2.0\nnil\n";
  const std::string kQs = "P0\n2\n5.0\nP1\n100.0\n200.0\nP2\n110.0\n210.0\nE\n";
  const std::string kParcels = "1 P0 a b 1.5 2.5 3.5 c 国有土地所有权 d e\n";

  const uint8_t* block(size_t feature = 0) const { return output.features().at(feature).attributes().data(); }
  std::string text(size_t offset, size_t width) const {
    return fieldText(reinterpret_cast<const char*>(block()) + offset, width);
  }
};

TEST_F(CassParcel, RingsFromTheQsFile) {
  struct Case {
    const char* behaviour;
    std::string cas, qs, expected;
  };
  const Case cases[] = {
      {"a block gives boundary points and a closed ring of code 7311", kCas, kQs,
       "P1(200,100)! P2(210,110)! | 7311/1[P1:1 P2:1 P1:1]#228"},
      {"a point name beginning with E ends the block", kCas, "P0\nx\ny\nP1\n100\n200\nE2\n110\n210\nE\n",
       "P1(200,100)! | 7311/1[P1:1 :0 P1:1]#228"},
      {"more points than vertices: the first n", kCas, "P0\nx\ny\nP1\n1\n2\nP2\n3\n4\nP3\n5\n6\n",
       "P1(2,1)! P2(4,3)! | 7311/1[P1:1 P2:1 P1:1]#228"},
      {"a repeated parcel line starts the ring again", kCas,
       "Z\nP0\nx\ny\nP1\n1\n2\nP2\n3\n4\nP0\nx\ny\nQ1\n5\n6\nE\nP0\nx\ny\nR1\n7\n8\nE\n",
       "P1(2,1)! P2(4,3)! Q1(6,5)! | 7311/1[Q1:1 P2:1 Q1:1]#228"},
      {"a number that fails to scan keeps the previous point's", kCas, "P0\nx\ny\nP1\n1\n2\nP2\nnone\n4\nE\n",
       "P1(2,1)! P2(4,1)! | 7311/1[P1:1 P2:1 P1:1]#228"},
      {"a parcel missing from the .qs file has an empty ring", kCas, "Q0\nx\ny\nP1\n1\n2\nE\n", "| 7311/1[:0 :0 :0]#228"},
      {"an existing boundary point is not changed",
       kCas + "301000,Q0\n1.0,1.0\n2.0,2.0\nnil\n", kQs + "Q0\nx\ny\nP2\n999\n999\nQ2\n120\n220\nE\n",
       "P1(200,100)! P2(210,110)! Q2(220,120)! | 7311/1[P1:1 P2:1 P1:1]#228 7311/1[P2:1 Q2:1 P2:1]#228"},
      {"nil keeps the keyword after a parcel", kCas + "123,x\n1.5,2.5\nnil\n123,y\n3.5,4.5\nnil\n", kQs,
       "P1(200,100)! P2(210,110)! X1(2.5,1.5) | 7311/1[P1:1 P2:1 P1:1]#228 4301/0[X1:1]"},
      {"a header after a parcel's vertices starts the next feature",
       "LINE\n301000,P0\n1.0,1.0\n2.0,2.0\n123,x\n1.5,2.5\nnil\n", kQs,
       "P1(200,100)! P2(210,110)! X1(2.5,1.5) | 7311/1[P1:1 P2:1 P1:1]#228 4301/0[X1:1]"},
      {"a parcel circle is not expanded", "CIRCLE\n301000,P0,2.0\n1.0,1.0\n2.0,2.0\nnil\n", kQs,
       "P1(200,100)! P2(210,110)! | 7311/1[P1:1 P2:1 P1:1]#228"},
      {"an empty parcel number reads nothing", "LINE\n301000,\n1.0,1.0\nnil\n", "", "|"},
      {"a header after a label's vertex is dropped", "LINE\n300000,L1\n1.5,2.5\n123,x\n3.5,4.5\nnil\n", "",
       "L1(2.5,1.5) | 7310/2[L1:0]#38 7310/2[L1:0]#38"},
      {"a parcel label: a point named by the number, kind 2, a 38-byte block",
       "LINE\n300000,ABCDEFGHIJKLMN,x\n1.5,2.5\n3.5,4.5\nnil\n", "", "ABCDEFGHIJKL(2.5,1.5) | 7310/2[ABCDEFGHIJKL:0]#38"},
  };
  for (const Case& c : cases) {
    std::remove(dir.file("in.qs").c_str());
    convert(c.cas, c.qs, kParcels + "1 Q0 a b 1 2 3 c d\n");
    EXPECT_EQ(summary(), c.expected) << c.behaviour;
  }
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block()), 12), std::string("ABCDEFGHIJ\0\0", 12));
}

TEST_F(CassParcel, BoundaryPointsAreAddedOnlyWhenMissing) {
  convert(kCas, kQs, kParcels);
  std::vector<std::string> calls;
  for (const std::string& n : host->callNames())
    if (n != "GetHostInfo") calls.push_back(n);
  EXPECT_EQ(calls, (std::vector<std::string>{"OpenFeatureFile", "PointExists", "AddPoint", "PointExists", "AddPoint",
                                             "AddFeature", "CommitFeatureFile", "CloseFeatureFile"}));
}

TEST_F(CassParcel, AttributeBlockLayoutAndTheParcelCode) {
  dir.write("CASSCode.txt", "301000 8000\n");  // the parcel keeps 7311 all the same
  const std::string owner(30, 'o'), place(90, 'd'), number(45, '7');
  convert("LINE\n301000," + number + "\n1.0,1.0\nnil\n", number + "\nx\ny\nP1\n1\n2\nE\n",
          "1 " + number.substr(0, 40) + " a b 9 9 9 c d\n1 " + number + " a " + owner + " 1.5 2.5 3.5 " + place +
              " 私有土地所有权 d e f\n");
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(+output.features()[0].header.code, 7311);
  EXPECT_EQ(getLE<double>(block(), 0), 1.5);
  EXPECT_EQ(getLE<double>(block(), 8), 3.5);
  EXPECT_EQ(getLE<double>(block(), 16), 2.5);
  EXPECT_EQ(text(40, 40), number.substr(0, 40));  // compared whole, cut in the block
  EXPECT_EQ(text(80, 20), owner.substr(0, 20));
  EXPECT_EQ(text(100, 80), place.substr(0, 80));
  EXPECT_EQ(block()[224], 2);
  for (int i : {24, 39, 180, 223, 225, 227}) EXPECT_EQ(block()[i], 0) << "byte " << i;
}

TEST_F(CassParcel, AttributeFieldsMissingFromALineCarryOverAndTheFirstLineWins) {
  convert(kCas, kQs, "1 Q own 7.0 1.0 2.0 3.0 place 国有土地所有权 x y\n2 P0 name\n1 P0 other 9 9 9 9 9 9\n");
  EXPECT_EQ(text(80, 20), "7.0");
  EXPECT_EQ(getLE<double>(block(), 0), 1.0);
  EXPECT_EQ(text(100, 80), "place");
  EXPECT_EQ(block()[224], 1);
}

TEST(ParcelOwnership, CodesByOwnershipText) {
  EXPECT_EQ(ownershipCode("国有土地所有权"), 1);
  EXPECT_EQ(ownershipCode("私有土地所有权"), 2);
  EXPECT_EQ(ownershipCode("集体土地所有权"), 0);
  EXPECT_EQ(ownershipCode(""), 3);
  EXPECT_EQ(ownershipCode("国有土地使用权"), 3);
}

TEST_F(CassParcel, MissingSideFilesAreReportedForEveryParcel) {
  convert(kCas + "LINE\n301000,P1\n1.0,1.0\nnil\n", "", kParcels);
  EXPECT_EQ(messages.shown, std::vector<std::string>(2, "can't find *.qs failed!!"));
  EXPECT_EQ(summary(), "|");
  messages.shown.clear();
  std::remove(dir.file("in.txt").c_str());
  convert(kCas, kQs);  // boundary points stay, the parcel is not written
  EXPECT_EQ(messages.shown, std::vector<std::string>{"can't find\xA1\xA1*.txt failed!!"});
  EXPECT_EQ(summary(), "P1(200,100)! P2(210,110)! |");
  messages.shown.clear();
  convert(kCas, kQs, "1 Q0 a b 1 2 3 c d\n");  // not in the attribute file: silently not written
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(output.features().size(), 0u);
}

// An engine that removes the side files once the first feature is written.
class RemovingEngine : public FeatureFileEngine {
 public:
  RemovingEngine(const std::string& dir, std::vector<std::string> files)
      : FeatureFileEngine(dir), files_(std::move(files)) {}
  int AddFeature(QelHandle h, const FeatureHeader* header, const PointRef* refs, int count, const void* a,
                 int length) override {
    for (const std::string& f : files_) std::remove(f.c_str());
    return FeatureFileEngine::AddFeature(h, header, refs, count, a, length);
  }

 private:
  std::vector<std::string> files_;
};

TEST_F(CassParcel, SideFilesAreReadOnceForTheRun) {
  dir.write("in.cas", kCas + "301000,Q0\n1.0,1.0\nnil\n");
  dir.write("in.qs", kQs + "Q0\nx\ny\nQ1\n3\n4\nE\n");
  dir.write("in.txt", kParcels + "1 Q0 a b 1 2 3 c d\n");
  RemovingEngine engine(dir.path(), {dir.file("in.qs"), dir.file("in.txt"), dir.file("CASSCode.txt")});
  CCassConverter c(engine, messages);
  c.m_strCasPath = dir.file("in.cas");
  c.m_strQsPath = dir.file("in.qs");
  c.m_strParcelPath = dir.file("in.txt");
  c.m_strOutputPath = dir.file("out.qel");
  ASSERT_TRUE(c.Run());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(c.m_nParcelsAdded, 2);
  EXPECT_EQ(c.m_nPointsAdded, 3);
}

}  // namespace
}  // namespace dz::test
