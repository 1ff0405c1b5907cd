#include "cass/house_text_index.h"

#include <algorithm>
#include <cmath>

#include "base/fixed_field.h"
#include "cass/house_import.h"

namespace dz {
namespace {

bool isFinitePosition(const TextEntry& e) { return std::isfinite(e.first) && std::isfinite(e.second); }

// Grid levels: a house lies at the level whose cells (2^level on a side) are
// just larger than its box, so it covers at most 2 x 2 cells, and a text is
// looked up in one cell per level in use. The level is kept within 50 binary
// orders of the box's coordinates, so that cell numbers stay small integers.
constexpr int kLowestLevel = -1000;
constexpr int kCoordinateOrders = 50;
constexpr double kLargestCellNumber = 1152921504606846976.0;  // 2^60

int levelOf(double minF, double maxF, double minS, double maxS) {
  const double extent = std::max(maxF - minF, maxS - minS);
  const double magnitude = std::max({std::fabs(minF), std::fabs(maxF), std::fabs(minS), std::fabs(maxS)});
  int level = kLowestLevel;
  if (extent > 0) level = std::max(level, std::ilogb(extent) + 1);
  if (magnitude > 0) level = std::max(level, std::ilogb(magnitude) - kCoordinateOrders);
  return level;
}

}  // namespace

size_t HouseTextIndex::CellHash::operator()(const Cell& c) const {
  uint64_t h = static_cast<uint64_t>(c.f) * 0x9E3779B97F4A7C15ull;
  h ^= static_cast<uint64_t>(c.s) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
  h ^= static_cast<uint64_t>(static_cast<int64_t>(c.level)) * 0xC2B2AE3D27D4EB4Full;
  return static_cast<size_t>(h ^ (h >> 29));
}

bool HouseTextIndex::cellAt(double f, double s, int level, Cell& cell) {
  const double qf = std::ldexp(f, -level);
  const double qs = std::ldexp(s, -level);
  // Beyond this no house of the level reaches (and the number would not fit).
  if (!(std::fabs(qf) < kLargestCellNumber && std::fabs(qs) < kLargestCellNumber)) return false;
  cell = Cell{level, static_cast<int64_t>(std::floor(qf)), static_cast<int64_t>(std::floor(qs))};
  return true;
}

void HouseTextIndex::reset(QelHandle file) {
  *this = HouseTextIndex();
  file_ = file;
}

void HouseTextIndex::pointAdded(std::string_view name) {
  if (waiting_.empty()) return;
  auto it = waiting_.find(std::string(name));
  if (it == waiting_.end()) return;
  stale_.insert(stale_.end(), it->second.begin(), it->second.end());
  waiting_.erase(it);
}

void HouseTextIndex::update(HostLibrary& host, QelHandle file, const TextEntry* entries, int count,
                            std::vector<Visit>& visits) {
  if (file != file_) reset(file);
  entries_ = entries;
  count = std::max(count, count_);

  // Houses with a new shape are placed again, against the texts placed so far.
  std::sort(stale_.begin(), stale_.end());
  stale_.erase(std::unique(stale_.begin(), stale_.end()), stale_.end());
  const std::vector<int> stale = std::move(stale_);
  stale_.clear();
  for (int slot : stale) {
    FeatureHeader header{};
    const PointRef* refs = nullptr;
    int16_t refCount = 0;
    const uint8_t* stored = nullptr;
    int storedLength = 0;
    const bool read = host.GetFeature(file_, houses_[slot].feature, &header, &refs, &refCount, &stored,
                                      &storedLength) > 0;
    shape(host, slot, read ? refs : nullptr, refCount);
    placeHouse(host, slot);
    due_.push_back(slot);
  }
  // Texts collected since the last END, against the houses placed so far.
  const int placed = count_;
  count_ = count;
  for (int t = placed; t < count; ++t) placeText(host, t);
  // Houses added since, against every text.
  readNewFeatures(host);

  // Only a house never visited or with an unused text inside can change.
  std::sort(due_.begin(), due_.end());
  due_.erase(std::unique(due_.begin(), due_.end()), due_.end());
  visits.clear();
  std::vector<int> still;
  for (int slot : due_) {
    House& h = houses_[slot];
    h.inside.erase(std::remove_if(h.inside.begin(), h.inside.end(), [&](int t) { return entries_[t].used == 1; }),
                   h.inside.end());
    if (h.visited && h.inside.empty()) continue;
    h.visited = true;
    visits.push_back(Visit{h.feature, &h.inside});
    // A visit may stop before it has taken every text inside: the house is
    // looked at again at the next END.
    if (!h.inside.empty()) still.push_back(slot);
  }
  due_ = std::move(still);
}

void HouseTextIndex::readNewFeatures(HostLibrary& host) {
  int total = 0;
  host.GetFeatureCount(file_, &total);
  for (int i = featuresRead_ + 1; i <= total; ++i) {
    FeatureHeader header{};
    const PointRef* refs = nullptr;
    int16_t refCount = 0;
    const uint8_t* stored = nullptr;
    int storedLength = 0;
    if (host.GetFeature(file_, i, &header, &refs, &refCount, &stored, &storedLength) <= 0) continue;
    if (!isHouseCode(header.code)) continue;
    House house;
    house.feature = i;
    houses_.push_back(std::move(house));
    const int slot = static_cast<int>(houses_.size()) - 1;
    shape(host, slot, refs, refCount);
    placeHouse(host, slot);
    due_.push_back(slot);
  }
  featuresRead_ = std::max(featuresRead_, total);
}

void HouseTextIndex::shape(HostLibrary& host, int slot, const PointRef* hostRefs, int16_t refCount) {
  House& h = houses_[slot];
  ++h.generation;
  h.inside.clear();
  h.polygon.clear();
  h.vertices = 0;
  const int vertices = hostRefs ? std::max<int>(refCount, 0) : 0;
  // Copied before the host is called again.
  const std::vector<PointRef> refs(hostRefs, hostRefs + vertices);
  h.vertices = vertices;
  h.polygon.assign(2 * static_cast<size_t>(vertices), 0.0);
  Box& b = h.box;
  b = Box{HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL, false};
  for (int v = 0; v < vertices; ++v) {
    double& first = h.polygon[2 * v];
    double& second = h.polygon[2 * v + 1];
    host.GetPointXY(file_, refs[v].name, &first, &second);
    // A vertex without its point stands at the origin until the point comes.
    if (host.PointExists(file_, refs[v].name) < 0) waiting_[nameText(refs[v].name)].push_back(slot);
    if (std::isnan(first) || std::isnan(second)) b.nan = true;
    b.minF = std::min(b.minF, first);
    b.maxF = std::max(b.maxF, first);
    b.minS = std::min(b.minS, second);
    b.maxS = std::max(b.maxS, second);
  }
  const bool finite = std::isfinite(b.minF) && std::isfinite(b.maxF) && std::isfinite(b.minS) &&
                      std::isfinite(b.maxS) && std::isfinite(b.maxF - b.minF) && std::isfinite(b.maxS - b.minS);
  h.wide = b.nan || !finite;
  if (!h.wide) h.level = levelOf(b.minF, b.maxF, b.minS, b.maxS);
}

void HouseTextIndex::placeHouse(HostLibrary& host, int slot) {
  House& h = houses_[slot];
  if (h.vertices == 0) return;  // no ring: no text is ever inside
  if (h.wide) {
    wide_.push_back(slot);
    for (int t = 0; t < count_; ++t) tryPair(host, slot, t);
    return;
  }
  levelInUse(h.level);
  Cell low{}, high{};
  cellAt(h.box.minF, h.box.minS, h.level, low);
  cellAt(h.box.maxF, h.box.maxS, h.level, high);
  std::vector<int> near;
  for (int64_t f = low.f; f <= high.f; ++f) {
    for (int64_t s = low.s; s <= high.s; ++s) {
      const Cell cell{h.level, f, s};
      houseGrid_[cell].push_back(GridEntry{slot, h.generation});
      auto it = textGrid_.find(cell);
      if (it == textGrid_.end()) continue;
      // Texts taken by a house never come back: drop them on the way.
      std::vector<int>& texts = it->second;
      texts.erase(std::remove_if(texts.begin(), texts.end(), [&](int t) { return entries_[t].used == 1; }),
                  texts.end());
      near.insert(near.end(), texts.begin(), texts.end());
    }
  }
  unplaced_.erase(std::remove_if(unplaced_.begin(), unplaced_.end(), [&](int t) { return entries_[t].used == 1; }),
                  unplaced_.end());
  near.insert(near.end(), unplaced_.begin(), unplaced_.end());
  std::sort(near.begin(), near.end());
  for (int t : near) tryPair(host, slot, t);
}

void HouseTextIndex::levelInUse(int level) {
  if (std::find(levels_.begin(), levels_.end(), level) != levels_.end()) return;
  levels_.push_back(level);
  Cell cell{};
  for (int t = 0; t < count_; ++t) {
    const TextEntry& e = entries_[t];
    if (e.used == 1 || !isFinitePosition(e)) continue;
    if (cellAt(e.first, e.second, level, cell)) textGrid_[cell].push_back(t);
  }
}

void HouseTextIndex::placeText(HostLibrary& host, int t) {
  const TextEntry& e = entries_[t];
  if (e.used == 1) return;
  if (!isFinitePosition(e)) {
    // Where such a position lies against a ring is the host's to say.
    unplaced_.push_back(t);
    for (int slot = 0; slot < static_cast<int>(houses_.size()); ++slot) tryPair(host, slot, t);
    return;
  }
  Cell cell{};
  std::vector<int> near;
  for (int level : levels_) {
    if (!cellAt(e.first, e.second, level, cell)) continue;
    textGrid_[cell].push_back(t);
    auto it = houseGrid_.find(cell);
    if (it == houseGrid_.end()) continue;
    for (const GridEntry& g : it->second)
      if (houses_[g.house].generation == g.generation && !houses_[g.house].wide) near.push_back(g.house);
  }
  for (int slot : wide_)
    if (houses_[slot].wide) near.push_back(slot);
  std::sort(near.begin(), near.end());
  near.erase(std::unique(near.begin(), near.end()), near.end());
  for (int slot : near) tryPair(host, slot, t);
}

bool HouseTextIndex::tryPair(HostLibrary& host, int slot, int t) {
  House& h = houses_[slot];
  const TextEntry& e = entries_[t];
  if (e.used == 1 || h.vertices == 0) return false;
  const Box& b = h.box;
  const bool candidate = b.nan || !isFinitePosition(e) ||
                         (e.first >= b.minF && e.first <= b.maxF && e.second >= b.minS && e.second <= b.maxS);
  if (!candidate) return false;
  const double at[2] = {e.first, e.second};
  if (host.PointInPolygon(h.polygon.data(), h.vertices, at) != 2) return false;
  h.inside.push_back(t);
  due_.push_back(slot);
  return true;
}

}  // namespace dz
