// The cell lists of the house-text index: each cell keeps its own values
// through the table's growth, cells apart only by level stay apart, and a
// value dropped on a visit is gone from later visits.
#include "cass/cell_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>
#include <vector>

namespace dz::test {
namespace {

std::vector<int> valuesOf(CellLists<int>& lists, const GridCell& cell) {
  std::vector<int> values;
  lists.visit(cell, [](int) { return false; }, [&](int v) { values.push_back(v); });
  std::sort(values.begin(), values.end());
  return values;
}

TEST(CellLists, EveryCellKeepsItsValuesAsTheTableGrows) {
  CellLists<int> lists;
  std::map<std::tuple<int, int64_t, int64_t>, std::vector<int>> model;
  std::mt19937 random(7);
  for (int v = 0; v < 20000; ++v) {
    // Few levels and numbers, so that cells repeat; far numbers and negative ones too.
    const GridCell cell{static_cast<int32_t>(random() % 3) - 1, static_cast<int64_t>(random() % 90) - 45,
                        (random() % 2 ? int64_t{1} << 59 : 0) + static_cast<int64_t>(random() % 90)};
    lists.add(cell, v);
    model[{cell.level, cell.f, cell.s}].push_back(v);
  }
  EXPECT_EQ(lists.cellCount(), model.size());
  for (const auto& [key, values] : model) {
    const GridCell cell{std::get<0>(key), std::get<1>(key), std::get<2>(key)};
    ASSERT_EQ(valuesOf(lists, cell), values);
  }
  EXPECT_TRUE(valuesOf(lists, GridCell{5, 0, 0}).empty());
}

TEST(CellLists, CellsApartOnlyByTheirLevelAreApart) {
  CellLists<int> lists;
  lists.add(GridCell{3, 1, 2}, 10);
  lists.add(GridCell{-3, 1, 2}, 20);
  lists.add(GridCell{3, 2, 1}, 30);
  EXPECT_EQ(valuesOf(lists, GridCell{3, 1, 2}), std::vector<int>{10});
  EXPECT_EQ(valuesOf(lists, GridCell{-3, 1, 2}), std::vector<int>{20});
  EXPECT_EQ(valuesOf(lists, GridCell{3, 2, 1}), std::vector<int>{30});
}

TEST(CellLists, ADroppedValueIsGoneAndTheRestStay) {
  CellLists<int> lists;
  const GridCell cell{0, 4, 4};
  for (int v = 1; v <= 6; ++v) lists.add(cell, v);
  std::vector<int> seen;
  lists.visit(cell, [](int v) { return v % 2 == 0 || v == 1; }, [&](int v) { seen.push_back(v); });
  EXPECT_EQ(seen, (std::vector<int>{5, 3}));  // the latest first
  EXPECT_EQ(valuesOf(lists, cell), (std::vector<int>{3, 5}));
  lists.add(cell, 7);
  EXPECT_EQ(valuesOf(lists, cell), (std::vector<int>{3, 5, 7}));
}

}  // namespace
}  // namespace dz::test
