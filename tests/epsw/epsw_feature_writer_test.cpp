#include "tests/epsw/epsw_test_support.h"

namespace dz::test {
namespace {

class EpswFeatureWriter : public EpswTest {
 protected:
  void SetUp() override { converter.m_hFile = host.OpenFeatureFile(out.c_str()); }

  void addPoint(const char* name, double east, double north) {
    PointRecord p{};
    copyName(p.name, name);
    p.east = east;
    p.north = north;
    p.elev = 7.5;
    p.code = 42;
    host.AddPoint(converter.m_hFile, &p, 1);
  }

  // Writes a feature over the named vertices; the file's features afterwards.
  const FeatureStore::Features& write(int hostCode, int lineKind, const Names& names) {
    std::vector<PointRef> refs(names.size());
    for (size_t i = 0; i < names.size(); ++i) copyName(refs[i].name, names[i]);
    converter.WriteEpswFeature(hostCode, lineKind, refs.data(), static_cast<int>(refs.size()));
    return store().features();
  }

  const FeatureStore& store() { return *host.engine.store(converter.m_hFile); }
};

TEST_F(EpswFeatureWriter, LineKindsTranslateWithThreeAndFourSwapped) {
  const std::pair<int, int16_t> cases[] = {{0, 0}, {2, 2}, {3, 4}, {4, 3}, {7, 7}, {-1, -1}, {65537, 1}};
  for (const auto& c : cases) {
    const StoredFeature& f = write(8101, c.first, {"A", "B", "C"}).back();
    for (const PointRef& r : f.refs()) EXPECT_EQ(+r.kind, c.second) << "line kind " << c.first;
    EXPECT_EQ(+f.header.code, 8101);
  }
  EXPECT_TRUE(store().points().empty());  // kind 4 with three vertices generates nothing
  EXPECT_EQ(nameText(store().features().back().header.name), "7");
}

TEST_F(EpswFeatureWriter, TwoVertexCircleStartsAtTheSecondVertexReflectedThroughTheFirst) {
  addPoint("T1", 0, 0);  // taken: the generated point passes over it
  addPoint("C1", 100, 200);
  addPoint("C2", 110, 200);
  EXPECT_EQ(refNames(write(8201, 4, {"C1", "C2"}).back()), (Names{"T2", "C2"}));
  EXPECT_EQ(+store().features().back().refs()[0].kind, 3);
  const PointRecord& t2 = store().points().back();
  EXPECT_EQ(+t2.east, 90);
  EXPECT_EQ(+t2.north, 200);
  EXPECT_EQ(+t2.code, 42);  // the rest is the first vertex's
  EXPECT_EQ(+store().points().front().east, 0);
  // Without both vertices in the file the circle is written as it comes.
  EXPECT_EQ(refNames(write(8201, 4, {"C1", ""}).back()), (Names{"C1", ""}));
  EXPECT_EQ(store().points().size(), 4u);
}

TEST_F(EpswFeatureWriter, KindFourWithThreeVerticesIsNoCircle) {
  addPoint("P1", 100, 200);
  addPoint("P2", 110, 200);
  addPoint("P3", 110, 210);
  const StoredFeature& f = write(8201, 4, {"P1", "P2", "P3"}).back();
  EXPECT_EQ(refNames(f), (Names{"P1", "P2", "P3"}));
  for (const PointRef& r : f.refs()) EXPECT_EQ(+r.kind, 3);
  EXPECT_EQ(store().points().size(), 3u);  // no T point
  EXPECT_EQ(converter.m_nPointNo, 0);
}

TEST_F(EpswFeatureWriter, Code3750BecomesOneFeaturePerVertexUnderOneName) {
  converter.m_nFeatureNo = 1;  // a feature was written before, in an earlier run
  const auto& features = write(3750, 3, {"A", "B", "C"});
  ASSERT_EQ(features.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(refNames(features[i]), Names{std::string(1, static_cast<char>('A' + i))});
    EXPECT_EQ(+features[i].refs()[0].kind, 4);
    EXPECT_EQ(nameText(features[i].header.name), "2");
  }
}

}  // namespace
}  // namespace dz::test
