#include "standin/point_index.h"

#include <gtest/gtest.h>

#include <string>

namespace dz {
namespace {

TEST(PointIndex, FindsEveryNameThroughGrowthAndRefusesRepeats) {
  PointIndex index;
  const int n = 50000;
  for (int i = 0; i < n; ++i) ASSERT_TRUE(index.insert(NameKey::of("P" + std::to_string(i))));
  EXPECT_FALSE(index.insert(NameKey::of("P123")));
  EXPECT_EQ(index.size(), static_cast<size_t>(n));
  for (int i = 0; i < n; i += 7) EXPECT_EQ(index.find(NameKey::of("P" + std::to_string(i))), static_cast<uint32_t>(i));
  EXPECT_EQ(index.find(NameKey::of("P" + std::to_string(n))), PointIndex::kNotFound);
  EXPECT_EQ(index.find(NameKey::of("")), PointIndex::kNotFound);
}

TEST(PointIndex, NamesCompareUpToTheirFirstZeroWithinTwelveBytes) {
  PointIndex index;
  const char withTail[12] = {'A', 'B', 0, 'x', 'y', 'z'};
  ASSERT_TRUE(index.insert(NameKey::of(withTail)));
  EXPECT_EQ(index.find(NameKey::of("AB")), 0u);
  EXPECT_FALSE(index.insert(NameKey::of(std::string_view("AB\0q", 4))));
  // Twelve bytes without a terminator, and the same with a thirteenth byte.
  ASSERT_TRUE(index.insert(NameKey::of("ABCDEFGHIJKL")));
  EXPECT_EQ(index.find(NameKey::of("ABCDEFGHIJKLM")), 1u);
  EXPECT_EQ(index.find(NameKey::of("ABCDEFGHIJK")), PointIndex::kNotFound);
}

// A table at its fullest, before it grows, and right after a reserve: every
// name is found where probing wraps round the end, and no missing name is.
TEST(PointIndex, FindsEveryNameAndNoMissingOneAtEveryFill) {
  for (int n : {1, 16, 17, 1000, 1023, 40000}) {
    PointIndex grown, reserved;
    reserved.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(grown.insert(NameKey::of("N" + std::to_string(i))));
      ASSERT_TRUE(reserved.insert(NameKey::of("N" + std::to_string(i))));
    }
    for (const PointIndex* index : {&grown, &reserved}) {
      for (int i = 0; i < n; ++i) ASSERT_EQ(index->find(NameKey::of("N" + std::to_string(i))), static_cast<uint32_t>(i));
      for (int i = 0; i < n; ++i) ASSERT_EQ(index->find(NameKey::of("M" + std::to_string(i))), PointIndex::kNotFound);
    }
  }
  EXPECT_EQ(PointIndex().find(NameKey::of("A")), PointIndex::kNotFound);
}

TEST(PointIndex, ReserveKeepsWhatIsThere) {
  PointIndex index;
  index.insert(NameKey::of("K1"));
  index.reserve(1000);
  EXPECT_EQ(index.find(NameKey::of("K1")), 0u);
  EXPECT_TRUE(index.insert(NameKey::of("K2")));
  EXPECT_EQ(index.find(NameKey::of("K2")), 1u);
}

}  // namespace
}  // namespace dz
