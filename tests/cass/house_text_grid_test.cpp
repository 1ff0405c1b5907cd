// The grid that hands each house only the texts in its bounding box: its
// answers must be exactly the unused entries in the box, so that no text
// inside a house is ever missed.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cass/house_import.h"

namespace dz::test {
namespace {

TextEntry at(double first, double second, int16_t used = 0) {
  TextEntry e;
  e.first = first;
  e.second = second;
  e.used = used;
  return e;
}

class HouseTextGridQuery : public ::testing::Test {
 protected:
  std::vector<int> query(double minF, double maxF, double minS, double maxS) {
    std::vector<int> out = {-1};  // whatever was there is replaced
    grid.query(minF, maxF, minS, maxS, out);
    return out;
  }
  // The unused entries inside the box, bounds included, ascending.
  std::vector<int> scan(double minF, double maxF, double minS, double maxS) const {
    std::vector<int> out;
    for (size_t j = 0; j < entries.size(); ++j) {
      const TextEntry& e = entries[j];
      if (e.used != 1 && e.first >= minF && e.first <= maxF && e.second >= minS && e.second <= maxS)
        out.push_back(static_cast<int>(j));
    }
    return out;
  }
  void build() { grid.build(entries.data(), static_cast<int>(entries.size())); }

  std::vector<TextEntry> entries;
  HouseTextGrid grid;
};

TEST_F(HouseTextGridQuery, AnswersTheUnusedEntriesInTheBoxAscending) {
  for (int f = 0; f < 10; ++f)
    for (int s = 0; s < 10; ++s) entries.push_back(at(f, s, (f + s) % 7 == 0 ? 1 : 0));
  entries.push_back(at(3, 6));  // a second entry at one place, late in the order
  build();
  const double boxes[][4] = {{2.5, 4.5, 6, 7}, {0, 9, 0, 9}, {3, 3, 6, 6}, {-5, 0.5, 8.5, 20}, {20, 30, 0, 9}};
  for (const auto& b : boxes) EXPECT_EQ(query(b[0], b[1], b[2], b[3]), scan(b[0], b[1], b[2], b[3])) << b[0];
  EXPECT_EQ(query(3, 3, 6, 6), (std::vector<int>{36, 100}));
}

TEST_F(HouseTextGridQuery, EntriesUsedSinceBuildingAreNotAnswered) {
  entries = {at(1, 1), at(2, 2), at(3, 3), at(HUGE_VAL, 2)};
  build();
  entries[1].used = 1;  // taken by an earlier house
  EXPECT_EQ(query(0, 5, 0, 5), (std::vector<int>{0, 2, 3}));
  entries[0].used = 1;
  entries[3].used = 1;
  EXPECT_EQ(query(0, 5, 0, 5), (std::vector<int>{2}));
}

TEST_F(HouseTextGridQuery, PositionsThatAreNotFiniteAreAlwaysCandidates) {
  entries = {at(HUGE_VAL, 0), at(5, 5), at(0, -HUGE_VAL), at(NAN, 1), at(HUGE_VAL, 0, 1)};
  build();
  EXPECT_EQ(query(4, 6, 4, 6), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(query(100, 200, 100, 200), (std::vector<int>{0, 2, 3}));
}

TEST_F(HouseTextGridQuery, BoxWithANaNBoundAnswersEveryUnusedEntry) {
  entries = {at(1, 1), at(50, 50, 1), at(-70, 90)};
  build();
  EXPECT_EQ(query(NAN, 0, 0, 0), (std::vector<int>{0, 2}));
}

}  // namespace
}  // namespace dz::test
