#include "cass/house_import.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/gbk.h"

namespace dz {
namespace {

// Longest structure text kept in a house block: bytes 0-9 hold it with its
// terminating zero, and the floor count follows at byte 10.
constexpr size_t kStructureMaxBytes = 9;

// Cells per axis of the text grid: about one entry per cell, within bounds.
int gridCells(size_t entries) {
  const double side = std::ceil(std::sqrt(static_cast<double>(entries)));
  return static_cast<int>(std::clamp(side, 1.0, 1024.0));
}

// Extent of a grid cell; computed from halves so that a range spanning most
// of the doubles does not overflow.
double cellSize(double min, double max, int cells) {
  const double size = (max / 2 - min / 2) / cells * 2;
  return size > 0 && std::isfinite(size) ? size : 1.0;
}

}  // namespace

bool hasStructureCharacter(std::string_view text) {
  static const char* const kStructureCharacters[] = {"砼", "混", "砖", "钢", "木", "土", "石",
                                                     "竹", "建", "破", "秫", "电", "厕"};
  for (const char* c : kStructureCharacters)
    if (findGbkText(text, c) != std::string_view::npos) return true;
  return false;
}

void putHouseStructure(uint8_t* block, std::string_view text) {
  const size_t length = gbkPrefixLength(text, kStructureMaxBytes);
  std::memcpy(block, text.data(), length);
  block[length] = 0;
}

TextStyle houseTextStyle() {
  TextStyle style{};
  style.height = 3.0f;
  style.width = 2.0f;
  style.w18 = 1;
  style.v44 = 1;
  return style;
}

void HouseTextGrid::build(const TextEntry* entries, int count) {
  entries_ = entries;
  grid_.clear();
  unplaced_.clear();
  std::vector<int> placed;
  double minF = 0, maxF = 0, minS = 0, maxS = 0;
  for (int j = 0; j < count; ++j) {
    const TextEntry& e = entries[j];
    if (e.used == 1) continue;
    if (!std::isfinite(e.first) || !std::isfinite(e.second)) {
      unplaced_.push_back(j);
      continue;
    }
    if (placed.empty()) {
      minF = maxF = e.first;
      minS = maxS = e.second;
    } else {
      minF = std::min(minF, e.first);
      maxF = std::max(maxF, e.first);
      minS = std::min(minS, e.second);
      maxS = std::max(maxS, e.second);
    }
    placed.push_back(j);
  }
  cells_ = gridCells(placed.size());
  minFirst_ = minF;
  minSecond_ = minS;
  cellFirst_ = cellSize(minF, maxF, cells_);
  cellSecond_ = cellSize(minS, maxS, cells_);
  grid_.assign(static_cast<size_t>(cells_) * cells_, {});
  for (int j : placed) grid_[cellOf(entries[j].first, entries[j].second)].push_back(j);
}

int HouseTextGrid::cellIndex(double v, double min, double size, int cells) const {
  const double t = (v - min) / size;
  if (!(t >= 0)) return 0;
  if (t >= cells) return cells - 1;
  return static_cast<int>(t);
}

size_t HouseTextGrid::cellOf(double first, double second) const {
  return static_cast<size_t>(cellIndex(first, minFirst_, cellFirst_, cells_)) * cells_ +
         cellIndex(second, minSecond_, cellSecond_, cells_);
}

void HouseTextGrid::collect(std::vector<int>& cell, double minF, double maxF, double minS, double maxS,
                            std::vector<int>& out) {
  size_t kept = 0;
  for (int j : cell) {
    const TextEntry& e = entries_[j];
    if (e.used == 1) continue;  // taken by an earlier house: never a candidate again
    cell[kept++] = j;
    if (e.first >= minF && e.first <= maxF && e.second >= minS && e.second <= maxS) out.push_back(j);
  }
  cell.resize(kept);
}

void HouseTextGrid::query(double minF, double maxF, double minS, double maxS, std::vector<int>& out) {
  out.clear();
  if (std::isnan(minF) || std::isnan(maxF) || std::isnan(minS) || std::isnan(maxS)) {
    const double inf = HUGE_VAL;
    for (auto& cell : grid_) collect(cell, -inf, inf, -inf, inf, out);
  } else if (!grid_.empty()) {
    const int f0 = cellIndex(minF, minFirst_, cellFirst_, cells_);
    const int f1 = cellIndex(maxF, minFirst_, cellFirst_, cells_);
    const int s0 = cellIndex(minS, minSecond_, cellSecond_, cells_);
    const int s1 = cellIndex(maxS, minSecond_, cellSecond_, cells_);
    for (int f = f0; f <= f1; ++f)
      for (int s = s0; s <= s1; ++s)
        collect(grid_[static_cast<size_t>(f) * cells_ + s], minF, maxF, minS, maxS, out);
  }
  // Where an infinite position lies against a polygon is the host's to say.
  size_t kept = 0;
  for (int j : unplaced_) {
    if (entries_[j].used == 1) continue;
    unplaced_[kept++] = j;
    out.push_back(j);
  }
  unplaced_.resize(kept);
  std::sort(out.begin(), out.end());
}

}  // namespace dz
