#include <gtest/gtest.h>

#include "base/fixed_field.h"
#include "standin/qel_format.h"

namespace dz {
namespace {

FeatureStore sampleStore() {
  FeatureStore store;
  PointRecord p{};
  copyName(p.name, "X1");
  p.north = 1;
  store.addPoint(p);
  StoredFeature f;
  f.header.code = 7311;
  PointRef r{};
  copyName(r.name, "X1");
  f.refs = {r, r};
  f.attributes = {1, 2, 3};
  store.features().push_back(f);
  StoredText t;
  t.text = "abc";
  t.fields = {{"k", "v"}};
  store.texts().push_back(t);
  return store;
}

TEST(QelFormat, EncodeDecodeRoundTrip) {
  const std::string bytes = encodeQel(sampleStore());
  FeatureStore back;
  std::string reason;
  ASSERT_TRUE(decodeQel(bytes, back, reason)) << reason;
  EXPECT_EQ(encodeQel(back), bytes);
  EXPECT_TRUE(back.findPoint(NameKey::of("X1")));
}

TEST(QelFormat, EveryTruncationIsRefusedAndLeavesTheStoreEmpty) {
  const std::string bytes = encodeQel(sampleStore());
  for (size_t n = 0; n < bytes.size(); ++n) {
    FeatureStore store = sampleStore();
    std::string reason;
    EXPECT_FALSE(decodeQel(bytes.substr(0, n), store, reason)) << n;
    EXPECT_TRUE(store.points().empty() && store.features().empty() && store.texts().empty());
    EXPECT_FALSE(reason.empty());
  }
}

TEST(QelFormat, AnyFlippedBitIsCaughtByTheChecksum) {
  const std::string bytes = encodeQel(sampleStore());
  for (size_t i = 8; i < bytes.size(); ++i) {
    std::string damaged = bytes;
    damaged[i] ^= 0x10;
    FeatureStore store;
    std::string reason;
    EXPECT_FALSE(decodeQel(damaged, store, reason)) << i;
  }
}

}  // namespace
}  // namespace dz
