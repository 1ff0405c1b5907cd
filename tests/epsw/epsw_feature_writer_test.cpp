#include <vector>

#include "base/fixed_field.h"
#include "tests/epsw/epsw_test_support.h"

namespace dz::test {
namespace {

class EpswFeatureWriter : public EpswTest {
 protected:
  void SetUp() override {
    converter.m_hFile = host.OpenFeatureFile(out.c_str());
    ASSERT_GT(converter.m_hFile, 0);
  }

  void addPoint(const char* name, double east, double north) {
    PointRecord p{};
    copyName(p.name, name);
    p.east = east;
    p.north = north;
    p.elev = 7.5;
    p.w14 = 3;
    p.code = 42;
    host.engine.AddPoint(converter.m_hFile, &p, 1);
  }

  // Writes a feature over the named vertices; returns the features stored.
  const std::vector<StoredFeature>& write(int hostCode, int lineKind, std::vector<std::string> names) {
    std::vector<PointRef> refs(names.size());
    for (size_t i = 0; i < names.size(); ++i) copyName(refs[i].name, names[i]);
    converter.WriteEpswFeature(hostCode, lineKind, refs.data(), static_cast<int>(refs.size()));
    return store().features();
  }

  const FeatureStore& store() { return *host.engine.store(converter.m_hFile); }
};

TEST_F(EpswFeatureWriter, LineKindsTranslateWithThreeAndFourSwapped) {
  const std::pair<int, int16_t> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {4, 3}, {7, 7}, {-1, -1}, {65537, 1}};
  for (const auto& c : cases) {
    const StoredFeature& f = write(8101, c.first, {"A", "B", "C"}).back();
    ASSERT_EQ(f.refs.size(), 3u);
    for (const PointRef& r : f.refs) EXPECT_EQ(+r.kind, c.second) << "line kind " << c.first;
    EXPECT_EQ(+f.header.kind, 0);
    EXPECT_EQ(+f.header.code, 8101);
  }
  EXPECT_TRUE(store().points().empty());  // kind 4 with three vertices generates nothing
  EXPECT_EQ(nameText(store().features().back().header.name), "8");
}

TEST_F(EpswFeatureWriter, TwoVertexCircleStartsAtTheSecondVertexReflectedThroughTheFirst) {
  addPoint("C1", 100, 200);
  addPoint("C2", 110, 200);
  const StoredFeature& f = write(8201, 4, {"C1", "C2"}).back();
  ASSERT_EQ(f.refs.size(), 2u);
  EXPECT_EQ(nameText(f.refs[0].name), "T1");
  EXPECT_EQ(nameText(f.refs[1].name), "C2");
  EXPECT_EQ(+f.refs[0].kind, 3);
  EXPECT_EQ(+f.refs[1].kind, 3);
  const PointRecord& t1 = store().points().back();
  EXPECT_EQ(nameText(t1.name), "T1");
  EXPECT_EQ(+t1.east, 90);
  EXPECT_EQ(+t1.north, 200);
  EXPECT_EQ(+t1.elev, 7.5);  // the rest is the first vertex's
  EXPECT_EQ(+t1.w14, 3);
  EXPECT_EQ(+t1.code, 42);
  EXPECT_EQ(converter.m_nPointNo, 1);
}

TEST_F(EpswFeatureWriter, CircleWithAVertexMissingIsWrittenAsItComes) {
  addPoint("C1", 100, 200);
  const StoredFeature& f = write(8201, 4, {"C1", ""}).back();
  EXPECT_EQ(nameText(f.refs[0].name), "C1");
  EXPECT_EQ(+f.refs[0].kind, 3);
  EXPECT_EQ(+f.refs[1].kind, 3);
  EXPECT_EQ(store().points().size(), 1u);
  EXPECT_EQ(converter.m_nPointNo, 0);
}

TEST_F(EpswFeatureWriter, GeneratedNamesPassOverNamesTheFileHolds) {
  addPoint("T1", 0, 0);
  addPoint("C1", 100, 200);
  addPoint("C2", 110, 200);
  converter.m_nPointNo = 0;
  const StoredFeature& f = write(8201, 4, {"C1", "C2"}).back();
  EXPECT_EQ(nameText(f.refs[0].name), "T2");
  EXPECT_EQ(+store().points().back().east, 90);
  EXPECT_EQ(+store().points().front().east, 0);  // the old T1 stands
}

TEST_F(EpswFeatureWriter, Code3750BecomesOneFeaturePerVertexUnderOneName) {
  converter.m_nFeatureNo = 1;  // a feature was written before, in an earlier run
  const auto& features = write(3750, 3, {"A", "B", "C"});
  ASSERT_EQ(features.size(), 3u);
  const char* expected[] = {"A", "B", "C"};
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(features[i].refs.size(), 1u);
    EXPECT_EQ(nameText(features[i].refs[0].name), expected[i]);
    EXPECT_EQ(+features[i].refs[0].kind, 4);
    EXPECT_EQ(nameText(features[i].header.name), "2");
    EXPECT_EQ(+features[i].header.code, 3750);
  }
}

}  // namespace
}  // namespace dz::test
