#include "standin/point_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/fixed_field.h"

namespace dz {
namespace {

// An index over records of its own, as the feature store keeps them.
class Points {
 public:
  bool add(const std::string& name) { return add(NameKey::of(name), name); }
  bool add(const NameKey& key, std::string_view field) {
    if (!index.insert(key, records.data())) return false;
    PointRecord p{};
    std::memcpy(p.name, field.data(), std::min(field.size(), sizeof p.name));
    records.push_back(p);
    return true;
  }
  uint32_t find(const std::string& name) const { return index.find(NameKey::of(name), records.data()); }

  PointIndex index;
  std::vector<PointRecord> records;
};

TEST(PointIndex, FindsEveryNameThroughGrowthAndRefusesRepeats) {
  Points points;
  const int n = 50000;
  for (int i = 0; i < n; ++i) ASSERT_TRUE(points.add("P" + std::to_string(i)));
  EXPECT_FALSE(points.add("P123"));
  EXPECT_EQ(points.index.size(), static_cast<size_t>(n));
  for (int i = 0; i < n; i += 7) EXPECT_EQ(points.find("P" + std::to_string(i)), static_cast<uint32_t>(i));
  EXPECT_EQ(points.find("P" + std::to_string(n)), PointIndex::kNotFound);
  EXPECT_EQ(points.find(""), PointIndex::kNotFound);
}

// The names compared are the records' own: bytes after a first zero in the
// stored field do not count.
TEST(PointIndex, NamesCompareUpToTheirFirstZeroWithinTwelveBytes) {
  Points points;
  const char withTail[12] = {'A', 'B', 0, 'x', 'y', 'z'};
  ASSERT_TRUE(points.add(NameKey::of(withTail), std::string_view(withTail, 12)));
  EXPECT_EQ(points.find("AB"), 0u);
  EXPECT_FALSE(points.add(NameKey::of(std::string_view("AB\0q", 4)), std::string_view("AB\0q", 4)));
  // Twelve bytes without a terminator, and the same with a thirteenth byte.
  ASSERT_TRUE(points.add("ABCDEFGHIJKL"));
  EXPECT_EQ(points.find("ABCDEFGHIJKLM"), 1u);
  EXPECT_EQ(points.find("ABCDEFGHIJK"), PointIndex::kNotFound);
}

// A table at its fullest, before it grows, and right after a reserve: every
// name is found where probing wraps round the end, and no missing name is.
TEST(PointIndex, FindsEveryNameAndNoMissingOneAtEveryFill) {
  for (int n : {1, 16, 17, 1000, 1023, 40000}) {
    Points grown, reserved;
    reserved.index.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(grown.add("N" + std::to_string(i)));
      ASSERT_TRUE(reserved.add("N" + std::to_string(i)));
    }
    for (const Points* p : {&grown, &reserved}) {
      for (int i = 0; i < n; ++i) ASSERT_EQ(p->find("N" + std::to_string(i)), static_cast<uint32_t>(i));
      for (int i = 0; i < n; ++i) ASSERT_EQ(p->find("M" + std::to_string(i)), PointIndex::kNotFound);
    }
  }
  EXPECT_EQ(Points().find("A"), PointIndex::kNotFound);
}

TEST(PointIndex, ReserveKeepsWhatIsThere) {
  Points points;
  points.add("K1");
  points.index.reserve(1000);
  EXPECT_EQ(points.find("K1"), 0u);
  EXPECT_TRUE(points.add("K2"));
  EXPECT_EQ(points.find("K2"), 1u);
}

}  // namespace
}  // namespace dz
