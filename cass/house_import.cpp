#include "cass/house_import.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/classic_scan.h"
#include "base/fixed_field.h"
#include "base/gbk.h"
#include "cass/cass_converter.h"

namespace dz {
namespace {

// Longest structure text kept in a house block: bytes 0-9 hold it with its
// terminating zero, and the floor count follows at byte 10.
constexpr size_t kStructureMaxBytes = 9;

size_t structureLength(std::string_view text) { return gbkPrefixLength(text, kStructureMaxBytes); }

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


void CCassConverter::ApplyHouseAttributes(dz::TextEntry* entries, int count) {
  if (count < 0) count = 0;
  int total = 0;
  m_host.GetFeatureCount(m_hFile, &total);
  m_textGrid.build(entries, count);
  std::vector<PointRef> refs;
  std::vector<double> polygon;
  std::vector<int> candidates;
  for (int i = 1; i <= total; ++i) {
    FeatureHeader header{};
    const PointRef* hostRefs = nullptr;
    int16_t refCount = 0;
    const uint8_t* stored = nullptr;
    int storedLength = 0;
    if (m_host.GetFeature(m_hFile, i, &header, &hostRefs, &refCount, &stored, &storedLength) <= 0) continue;
    if (!dz::isHouseCode(header.code)) continue;

    // What the host lent is copied before it is called again. A stored block
    // longer than a house block contributes its first 20 bytes.
    uint8_t storedBlock[kHouseAttributesSize] = {};
    const size_t storedBytes = stored ? std::min<size_t>(std::max(storedLength, 0), sizeof storedBlock) : 0;
    if (storedBytes > 0) std::memcpy(storedBlock, stored, storedBytes);
    const bool hadBlock = stored && storedLength > 0;
    const int vertices = hostRefs ? std::max<int>(refCount, 0) : 0;
    refs.assign(hostRefs, hostRefs + vertices);

    polygon.assign(2 * static_cast<size_t>(vertices), 0.0);
    double minF = HUGE_VAL, maxF = -HUGE_VAL, minS = HUGE_VAL, maxS = -HUGE_VAL;
    bool nanVertex = false;
    for (int v = 0; v < vertices; ++v) {
      double& first = polygon[2 * v];
      double& second = polygon[2 * v + 1];
      m_host.GetPointXY(m_hFile, refs[v].name, &first, &second);
      if (std::isnan(first) || std::isnan(second)) nanVertex = true;
      minF = std::min(minF, first);
      maxF = std::max(maxF, first);
      minS = std::min(minS, second);
      maxS = std::max(maxS, second);
    }
    if (nanVertex) minF = maxF = minS = maxS = NAN;  // the box says nothing: test every text
    if (vertices > 0) m_textGrid.query(minF, maxF, minS, maxS, candidates);
    else candidates.clear();

    uint8_t house[kHouseAttributesSize] = {};
    bool applied = false;
    for (int j : candidates) {
      dz::TextEntry& entry = entries[j];
      if (entry.used == 1) continue;
      const double at[2] = {entry.first, entry.second};
      if (m_host.PointInPolygon(polygon.data(), vertices, at) != 2) continue;
      applied = true;
      std::memcpy(house, storedBlock, storedBytes);
      const std::string_view text(entry.text, dz::boundedLength(entry.text, sizeof entry.text));
      if (dz::hasStructureCharacter(text)) {
        // A structure text longer than its field is cut at a character
        // boundary instead of running into the floor count.
        const size_t length = dz::structureLength(text);
        std::memcpy(house, text.data(), length);
        house[length] = 0;
        entry.used = 1;
        continue;
      }
      dz::putLE<int16_t>(house, 10, static_cast<int16_t>(dz::classicAtoi(text)));
      entry.used = 1;
      if (house[0] != 0) break;  // structure and floors known: this house is done
    }
    // A house that no text applies to keeps the block it has, so a later END
    // line does not erase what an earlier one assigned. A house without a
    // block gets an empty one.
    if (applied || !hadBlock) m_host.SetFeatureAttributes(m_hFile, i, kHouse, house, sizeof house);
  }

  const QelHandle layer = m_host.GetTextLayer(m_hFile);
  if (layer <= 0) return;
  // Every text becomes a text object once, whether or not a house took it;
  // a later END line writes only the texts collected since.
  const TextStyle style = dz::houseTextStyle();
  for (int j = std::max(m_nTextObjectsWritten, 0); j < count; ++j) {
    const double anchor[2] = {entries[j].first, entries[j].second};
    m_host.AddTextObject(layer, anchor, entries[j].text, entries[j].length, &style, 2);
    ++m_nTextsAdded;
  }
  m_nTextObjectsWritten = std::max(m_nTextObjectsWritten, count);
}

}  // namespace dz
