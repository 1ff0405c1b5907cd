#include "standin/feature_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/fixed_field.h"

namespace dz {
namespace {

FeatureStore storeOf(const std::vector<std::string>& names) {
  FeatureStore store;
  for (size_t i = 0; i < names.size(); ++i) {
    PointRecord p{};
    copyName(p.name, names[i]);
    p.north = static_cast<double>(i);
    EXPECT_TRUE(store.addPoint(p)) << names[i];
  }
  return store;
}

// Lookups in the order of the records, each name twice, backwards and
// skipping about: every answer is the record of that name, and a name that
// differs from the records around the last one found only in its last bytes,
// or is a part of one of them, is not found.
TEST(FeatureStore, FindsEachPointWhateverTheOrderOfTheLookups) {
  std::vector<std::string> names;
  for (int i = 0; i < 200; ++i) names.push_back("LONGNAME" + std::to_string(1000 + i));
  names.insert(names.begin() + 50, {"P1", "P12", "P"});
  const FeatureStore store = storeOf(names);
  auto found = [&](const std::string& name) -> long {
    const size_t i = store.pointNumber(NameKey::of(name));
    return i == FeatureStore::kNoPoint ? -1 : static_cast<long>(i);
  };
  for (size_t i = 0; i < names.size(); ++i) {
    ASSERT_EQ(found(names[i]), static_cast<long>(i)) << names[i];
    ASSERT_EQ(found(names[i]), static_cast<long>(i)) << names[i];
  }
  for (size_t i = names.size(); i-- > 0;) ASSERT_EQ(found(names[i]), static_cast<long>(i)) << names[i];
  for (size_t i = 0; i < names.size(); i += 7) ASSERT_EQ(found(names[i]), static_cast<long>(i)) << names[i];

  ASSERT_EQ(found("LONGNAME1000"), 0);
  EXPECT_EQ(found("LONGNAME1002X"), 2);  // a thirteenth byte does not count
  ASSERT_EQ(found("LONGNAME1000"), 0);
  EXPECT_EQ(found("LONGNAME100"), -1);
  EXPECT_EQ(found("LONGNAME1009"), 9);
  ASSERT_EQ(found("P1"), 50);
  EXPECT_EQ(found("P12"), 51);
  EXPECT_EQ(found("P"), 52);
  ASSERT_EQ(found("P1"), 50);
  EXPECT_EQ(found("P2"), -1);
  EXPECT_EQ(found("P123"), -1);
  EXPECT_EQ(found(""), -1);
}

// Names of one numbering asked a little way on or back from the last one
// found, as a conversion reads its rings back: the answers are the records
// of those names where points are numbered in a row, where numbers are
// missing, out of order or written with a leading zero, and at both ends of
// the table.
TEST(FeatureStore, FindsNamesAWayOnInANumberingAsTheIndexDoes) {
  std::vector<std::string> names;
  for (int i = 1; i <= 400; ++i)
    if (i % 37 != 0) names.push_back("X" + std::to_string(i));  // X37, X74, ... missing
  std::swap(names[100], names[103]);
  names.insert(names.begin() + 200, {"X007", "Y5", "X"});
  const FeatureStore store = storeOf(names);
  auto expected = [&](const std::string& name) -> long {
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return static_cast<long>(i);
    return -1;
  };
  auto found = [&](const std::string& name) -> long {
    const size_t i = store.pointNumber(NameKey::of(name));
    return i == FeatureStore::kNoPoint ? -1 : static_cast<long>(i);
  };
  uint32_t seed = 11;
  int number = 1;
  for (int step = 0; step < 5000; ++step) {
    seed = seed * 1103515245u + 12345u;
    number = std::clamp(number + static_cast<int>((seed >> 16) % 141) - 70, -3, 404);
    std::string name = "X" + std::to_string(number);
    if (seed % 11 == 0) name = "X00" + std::to_string(number);
    if (seed % 13 == 0) name = "Y" + std::to_string(number);
    ASSERT_EQ(found(name), expected(name)) << name << " at step " << step;
  }
  for (const std::string name : {"X1", "X400", "X399", "X2", "X007", "X7", "X0", "X401", "X1", "X"})
    ASSERT_EQ(found(name), expected(name)) << name;
}

// A lookup that missed, then the name added: the point is there once, found
// where it was added, and every other point stays where it was.
TEST(FeatureStore, AddsANameItWasJustAskedFor) {
  FeatureStore store = storeOf({"X1", "X2"});
  for (int i = 3; i < 1000; ++i) {
    const std::string name = "X" + std::to_string(i);
    ASSERT_EQ(store.pointNumber(NameKey::of(name)), FeatureStore::kNoPoint);
    PointRecord p{};
    copyName(p.name, name);
    ASSERT_TRUE(store.addPoint(p));
    ASSERT_FALSE(store.addPoint(p));
  }
  for (int i = 1; i < 1000; ++i)
    ASSERT_EQ(store.pointNumber(NameKey::of("X" + std::to_string(i))), static_cast<size_t>(i - 1));
}

}  // namespace
}  // namespace dz
