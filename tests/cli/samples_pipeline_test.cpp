// The sample data sets through the tools in a row, as a user would run them:
// the CASS conversion, then the attribute attachment on its output.
#include <gtest/gtest.h>

#include <cstring>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "standin/feature_store.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

const std::string kSamples = SAMPLES_DIR;

FeatureStore load(const std::string& path) {
  FeatureStore store;
  std::string reason;
  EXPECT_TRUE(decodeQel(test::readFile(path), store, reason)) << reason;
  return store;
}

const StoredFeature* findFeature(const FeatureStore& store, int16_t kind, const std::string& key) {
  for (const StoredFeature& f : store.features()) {
    if (f.header.kind != kind) continue;
    if (kind == kParcel && f.attributes.size() >= 80 &&
        fieldText(reinterpret_cast<const char*>(f.attributes.data()) + 40, 40) == key)
      return &f;
    if (kind == kBoundaryPoint && !f.refs.empty() && nameText(f.refs[0].name) == key) return &f;
  }
  return nullptr;
}

std::string text(const StoredFeature& f, size_t offset, size_t width) {
  return fieldText(reinterpret_cast<const char*>(f.attributes.data()) + offset, width);
}

TEST(SamplesPipeline, CassOutputTakesTheSampleAttributes) {
  test::TempDir dir;
  const std::string converted = dir.file("cass.qel");
  const std::string attached = dir.file("attached.qel");
  auto r = test::runCommand(DOBRENZ_EXE, {"cass", "--host-dir", kSamples + "/host", "--cas", kSamples + "/cass/sample.cas",
                                          "--qs", kSamples + "/cass/sample.qs", "--parcels",
                                          kSamples + "/cass/parcels.txt", "--out", converted});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = test::runCommand(DOBRENZ_EXE, {"attach", "--qel", converted, "--parcels", kSamples + "/attributes/parcels.txt",
                                     "--boundary-points", kSamples + "/attributes/boundary_points.txt", "--save-as",
                                     attached});
  ASSERT_EQ(r.exitCode, 0) << r.err;

  const FeatureStore before = load(converted);
  const FeatureStore after = load(attached);
  ASSERT_EQ(before.features().size(), after.features().size());

  const StoredFeature* parcel = findFeature(after, kParcel, "0101");
  ASSERT_NE(parcel, nullptr);
  ASSERT_EQ(parcel->attributes.size(), 228u);
  EXPECT_EQ(getLE<double>(parcel->attributes.data(), 0), 1250.75);
  EXPECT_EQ(getLE<double>(parcel->attributes.data(), 8), 860.5);
  EXPECT_EQ(text(*parcel, 80, 20), "教育用地");
  EXPECT_EQ(text(*parcel, 100, 80), "城关镇第一小学");
  EXPECT_EQ(text(*parcel, 205, 15), "G1-3");
  // The ownership code the conversion gave it is kept.
  const StoredFeature* original = findFeature(before, kParcel, "0101");
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(parcel->attributes[224], original->attributes[224]);

  const StoredFeature* label = findFeature(after, kBoundaryPoint, "0101");
  ASSERT_NE(label, nullptr);
  ASSERT_EQ(label->attributes.size(), 38u);
  EXPECT_EQ(text(*label, 0, 10), "钢钉");
  EXPECT_EQ(text(*label, 10, 10), "围墙");
  EXPECT_EQ(text(*label, 20, 7), "J1");
  EXPECT_EQ(text(*label, 27, 9), "解析法");

  // The converted file itself is left as it was.
  EXPECT_EQ(encodeQel(before), encodeQel(load(converted)));
}

}  // namespace
}  // namespace dz
