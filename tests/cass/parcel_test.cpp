#include "cass/parcel_import.h"
#include "tests/cass/cass_fixture.h"

namespace dz::test {
namespace {

class CassParcel : public CassFixture {
 protected:
  // One parcel P0 of two vertices; its ring comes from the .qs file.
  static constexpr const char* kCas = "LINE\n301000,P0\n1.0,1.0\n2.0,2.0\nnil\n";
  static constexpr const char* kQs = "P0\n2\n5.0\nP1\n100.0\n200.0\nP2\n110.0\n210.0\nE\n";
  static constexpr const char* kParcels = "1 P0 a b 1.5 2.5 3.5 c 国有土地所有权 d e\n";

  std::vector<std::string> calledNames() const {
    std::vector<std::string> names;
    for (const std::string& n : host->callNames())
      if (n != "GetHostInfo") names.push_back(n);
    return names;
  }
};

TEST_F(CassParcel, QsBlockGivesTheRingAndItsBoundaryPoints) {
  convert(kCas, kQs, kParcels);
  EXPECT_TRUE(messages.shown.empty());
  ASSERT_EQ(output.points().size(), 2u);
  const PointRecord* p1 = point("P1");
  ASSERT_NE(p1, nullptr);
  EXPECT_EQ(+p1->north, 200.0);
  EXPECT_EQ(+p1->east, 100.0);
  EXPECT_EQ(+p1->elev, 0.0);
  EXPECT_EQ(+p1->flag, 1);
  EXPECT_EQ(+point("P2")->north, 210.0);
  ASSERT_EQ(output.features().size(), 1u);
  const StoredFeature& f = output.features()[0];
  EXPECT_EQ(+f.header.kind, 1);
  EXPECT_EQ(+f.header.code, 7311);
  EXPECT_EQ(refNames(f), "P1 P2 P1");
  for (const PointRef& r : f.refs) EXPECT_EQ(+r.kind, 1);
  EXPECT_EQ(f.attributes.size(), 228u);
  EXPECT_EQ(calledNames(), (std::vector<std::string>{"OpenFeatureFile", "PointExists", "AddPoint", "PointExists",
                                                     "AddPoint", "AddFeature", "CommitFeatureFile",
                                                     "CloseFeatureFile"}));
}

TEST_F(CassParcel, ParcelAlwaysGetsTheParcelCode) {
  dir.write("CASSCode.txt", "301000 8000\n");
  convert(kCas, kQs, kParcels);
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(+output.features()[0].header.code, 7311);
}

TEST_F(CassParcel, AttributeBlockLayout) {
  const std::string owner(30, 'o');
  const std::string address(90, 'd');
  convert(kCas, kQs, "1 P0 a " + owner + " 1.5 2.5 3.5 " + address + " 私有土地所有权 d e f\n");
  ASSERT_EQ(output.features().size(), 1u);
  const uint8_t* b = output.features()[0].attributes.data();
  EXPECT_EQ(getLE<double>(b, 0), 1.5);
  EXPECT_EQ(getLE<double>(b, 8), 3.5);
  EXPECT_EQ(getLE<double>(b, 16), 2.5);
  EXPECT_EQ(fieldText(reinterpret_cast<const char*>(b + 40), 40), "P0");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + 80), 20), owner.substr(0, 20));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + 100), 80), address.substr(0, 80));
  EXPECT_EQ(b[224], 2);
  for (int i : {24, 39, 42, 79, 180, 223, 225, 227}) EXPECT_EQ(b[i], 0) << "byte " << i;
}

TEST(ParcelOwnership, CodesByOwnershipText) {
  EXPECT_EQ(ownershipCode("国有土地所有权"), 1);
  EXPECT_EQ(ownershipCode("私有土地所有权"), 2);
  EXPECT_EQ(ownershipCode("集体土地所有权"), 0);
  EXPECT_EQ(ownershipCode(""), 3);
  EXPECT_EQ(ownershipCode("国有土地使用权"), 3);
}

TEST_F(CassParcel, AttributeFieldsMissingFromALineCarryOverFromEarlierLines) {
  convert(kCas, kQs, "1 Q owner 7.0 1.0 2.0 3.0 place 国有土地所有权 x y\n2 P0 name\n1 P0 other 9 9 9 9 9 9\n");
  ASSERT_EQ(output.features().size(), 1u);
  const uint8_t* b = output.features()[0].attributes.data();
  EXPECT_EQ(fieldText(reinterpret_cast<const char*>(b + 80), 20), "7.0");
  EXPECT_EQ(getLE<double>(b, 0), 1.0);
  EXPECT_EQ(fieldText(reinterpret_cast<const char*>(b + 100), 80), "place");
  EXPECT_EQ(b[224], 1);
}

TEST_F(CassParcel, LongParcelNumberMatchesWholeAndIsCutInTheBlock) {
  const std::string number(45, '7');
  convert("LINE\n301000," + number + "\n1.0,1.0\nnil\n", number + "\nx\ny\nP1\n1.0\n2.0\nE\n",
          "1 " + number.substr(0, 40) + " a b 1 2 3 c d\n1 " + number + " a b 4 5 6 c d\n");
  ASSERT_EQ(output.features().size(), 1u);
  const uint8_t* b = output.features()[0].attributes.data();
  EXPECT_EQ(getLE<double>(b, 0), 4.0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + 40), 40), number.substr(0, 40));
}

TEST_F(CassParcel, PointNameBeginningWithEEndsTheBlock) {
  convert(kCas, "P0\nx\ny\nP1\n100.0\n200.0\nE2\n110.0\n210.0\nE\n", kParcels);
  EXPECT_EQ(output.points().size(), 1u);
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(refNames(output.features()[0]), "P1  P1");
  EXPECT_EQ(+output.features()[0].refs[1].kind, 0);
}

TEST_F(CassParcel, ExistingBoundaryPointIsNotChanged) {
  convert("LINE\n301000,P0\n1.0,1.0\n2.0,2.0\nnil\n301000,Q0\n1.0,1.0\n2.0,2.0\nnil\n",
          "P0\nx\ny\nP1\n100.0\n200.0\nP2\n110.0\n210.0\nE\nQ0\nx\ny\nP2\n999.0\n999.0\nQ2\n120.0\n220.0\nE\n",
          "1 P0 a b 1 2 3 c d\n1 Q0 a b 1 2 3 c d\n");
  EXPECT_EQ(output.points().size(), 3u);
  EXPECT_EQ(+point("P2")->north, 210.0);
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(refNames(output.features()[1]), "P2 Q2 P2");
}

TEST_F(CassParcel, MoreQsPointsThanVerticesUsesTheFirstN) {
  convert(kCas, "P0\nx\ny\nP1\n1\n2\nP2\n3\n4\nP3\n5\n6\nP4\n7\n8\n", kParcels);
  EXPECT_EQ(output.points().size(), 2u);
  EXPECT_EQ(point("P3"), nullptr);
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(refNames(output.features()[0]), "P1 P2 P1");
}

TEST_F(CassParcel, RepeatedParcelNumberLineStartsTheBlockAgain) {
  // As a scan from the top reads it: the second "P0" restarts the ring at
  // its first slot, and the slot it does not reach keeps P2.
  convert(kCas, "Z\nP0\nx\ny\nP1\n1\n2\nP2\n3\n4\nP0\nx\ny\nQ1\n5\n6\nE\nP0\nx\ny\nR1\n7\n8\nE\n", kParcels);
  EXPECT_EQ(output.points().size(), 3u);
  EXPECT_NE(point("Q1"), nullptr);
  EXPECT_EQ(point("R1"), nullptr);
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(refNames(output.features()[0]), "Q1 P2 Q1");
}

TEST_F(CassParcel, NumberThatFailsToScanKeepsThePreviousPointsValue) {
  convert(kCas, "P0\nx\ny\nP1\n100.0\n200.0\nP2\nnone\n210.0\nE\n", kParcels);
  EXPECT_EQ(+point("P2")->east, 100.0);
  EXPECT_EQ(+point("P2")->north, 210.0);
}

TEST_F(CassParcel, ParcelMissingFromQsIsWrittenWithAnEmptyRing) {
  convert(kCas, "Q0\nx\ny\nP1\n1\n2\nE\n", kParcels);
  EXPECT_TRUE(output.points().empty());
  ASSERT_EQ(output.features().size(), 1u);
  EXPECT_EQ(output.features()[0].refs.size(), 3u);
  EXPECT_EQ(refNames(output.features()[0]), "  ");
}

TEST_F(CassParcel, ParcelMissingFromAttributeFileIsNotWrittenSilently) {
  convert(kCas, kQs, "1 Q0 a b 1 2 3 c d\n");
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(output.points().size(), 2u);
  EXPECT_TRUE(output.features().empty());
}

TEST_F(CassParcel, MissingQsFileIsReportedForEveryParcel) {
  convert(std::string(kCas) + "LINE\n301000,P1\n1.0,1.0\nnil\n", "", kParcels);
  EXPECT_EQ(messages.shown, std::vector<std::string>(2, "can't find *.qs failed!!"));
  EXPECT_TRUE(output.features().empty());
}

TEST_F(CassParcel, MissingAttributeFileIsReportedAndBoundaryPointsStay) {
  convert(kCas, kQs);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0], "can't find\xA1\xA1*.txt failed!!");
  EXPECT_EQ(output.points().size(), 2u);
  EXPECT_TRUE(output.features().empty());
}

TEST_F(CassParcel, EmptyParcelNumberReadsNothing) {
  convert("LINE\n301000,\n1.0,1.0\nnil\n");
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(output.features().empty());
}

TEST_F(CassParcel, NilKeepsTheKeywordAfterAParcel) {
  convert(std::string(kCas) + "123,x\n1.5,2.5\nnil\n123,y\n3.5,4.5\nnil\n", kQs, kParcels);
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(+output.features()[1].header.code, 4301);
  EXPECT_EQ(refNames(output.features()[1]), "X1");
}

TEST_F(CassParcel, HeaderAfterAParcelStartsTheNextFeature) {
  convert("LINE\n301000,P0\n1.0,1.0\n2.0,2.0\n123,x\n1.5,2.5\nnil\n", kQs, kParcels);
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(+output.features()[0].header.code, 7311);
  EXPECT_EQ(+output.features()[1].header.code, 4301);
}

class CassParcelLabel : public CassParcel {};

TEST_F(CassParcelLabel, LabelIsAPointWithABoundaryPointFeature) {
  convert("LINE\n300000,ABCDEFGHIJKLMN,x\n1.5,2.5\n3.5,4.5\nnil\n");
  EXPECT_TRUE(messages.shown.empty());
  ASSERT_EQ(output.points().size(), 1u);
  const PointRecord& p = output.points()[0];
  EXPECT_EQ(std::string(p.name, 12), "ABCDEFGHIJKL");
  EXPECT_EQ(+p.north, 2.5);
  EXPECT_EQ(+p.east, 1.5);
  EXPECT_EQ(+p.flag, 0);
  ASSERT_EQ(output.features().size(), 1u);
  const StoredFeature& f = output.features()[0];
  EXPECT_EQ(+f.header.kind, 2);
  EXPECT_EQ(+f.header.code, 7310);
  ASSERT_EQ(f.refs.size(), 1u);
  EXPECT_EQ(std::string(f.refs[0].name, 12), "ABCDEFGHIJKL");
  EXPECT_EQ(+f.refs[0].kind, 0);
  std::vector<uint8_t> block(38, 0);
  const std::string kept = "ABCDEFGHIJ";
  std::copy(kept.begin(), kept.end(), block.begin());
  EXPECT_EQ(f.attributes, block);
}

TEST_F(CassParcelLabel, HeaderAfterTheLabelIsDropped) {
  // The header closes the label and is lost; the next vertex belongs to a
  // second label of the same number.
  convert("LINE\n300000,L1\n1.5,2.5\n123,x\n3.5,4.5\nnil\n");
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(+output.features()[0].header.code, 7310);
  EXPECT_EQ(+output.features()[1].header.code, 7310);
  EXPECT_EQ(output.points().size(), 1u);  // the second point has the same name
  EXPECT_EQ(point("X1"), nullptr);
}

TEST_F(CassParcelLabel, LabelCircleIsExpandedButParcelCircleIsNot) {
  convert("CIRCLE\n300000,L1,2.0\n10.0,20.0\nnil\n301000,P0,2.0\n1.0,1.0\n2.0,2.0\nnil\n", kQs,
          "1 P0 a b 1 2 3 c d\n");
  EXPECT_EQ(+point("L1")->east, 8.0);
  ASSERT_EQ(output.features().size(), 2u);
  EXPECT_EQ(output.features()[1].refs.size(), 3u);  // two vertices kept, not one diameter
}

}  // namespace
}  // namespace dz::test

namespace dz::test {
namespace {

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

TEST(CassParcelFiles, SideFilesAreReadOnceForTheRun) {
  TempDir dir;
  dir.write("CASSCode.txt", "301000 7311\n");
  dir.write("in.cas", "LINE\n301000,P0\n1.0,1.0\nnil\n301000,Q0\n1.0,1.0\nnil\n");
  dir.write("in.qs", "P0\nx\ny\nP1\n1\n2\nE\nQ0\nx\ny\nQ1\n3\n4\nE\n");
  dir.write("in.txt", "1 P0 a b 1 2 3 c d\n1 Q0 a b 1 2 3 c d\n");
  RemovingEngine engine(dir.path(), {dir.file("in.qs"), dir.file("in.txt"), dir.file("CASSCode.txt")});
  RecordingMessages messages;
  CCassConverter c(engine, messages);
  c.m_strCasPath = dir.file("in.cas");
  c.m_strQsPath = dir.file("in.qs");
  c.m_strParcelPath = dir.file("in.txt");
  c.m_strOutputPath = dir.file("out.qel");
  ASSERT_TRUE(c.Run());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(c.m_nParcelsAdded, 2);
  EXPECT_EQ(c.m_nPointsAdded, 2);
}

}  // namespace
}  // namespace dz::test
