#include "cass/house_text_index.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "base/fixed_field.h"
#include "cass/house_import.h"

namespace dz {
namespace {

bool isFinitePosition(const TextEntry& e) { return std::isfinite(e.first) && std::isfinite(e.second); }

// Grid levels: a house lies at the level whose cells (2^level on a side) are
// just larger than its box, so it covers at most 2 x 2 cells, and a text is
// looked up in one cell per level in use. The level is kept within 50 binary
// orders of the box's coordinates, so that cell numbers stay small integers.
//
// A box of one point (every vertex in one place, as a house over a single
// point has) lies at the point level instead, whose cells are single
// positions: its candidates are the texts at exactly that place, and such
// houses at any coordinates share one level rather than one per magnitude.
constexpr int kLowestLevel = -1000;
constexpr int kPointLevel = INT16_MIN;  // below every level a box can have
constexpr int kCoordinateOrders = 50;
constexpr double kLargestCellNumber = 1152921504606846976.0;  // 2^60

int levelOf(double minF, double maxF, double minS, double maxS) {
  if (minF == maxF && minS == maxS) return kPointLevel;
  const double extent = std::max(maxF - minF, maxS - minS);
  const double magnitude = std::max({std::fabs(minF), std::fabs(maxF), std::fabs(minS), std::fabs(maxS)});
  int level = kLowestLevel;
  if (extent > 0) level = std::max(level, std::ilogb(extent) + 1);
  if (magnitude > 0) level = std::max(level, std::ilogb(magnitude) - kCoordinateOrders);
  return level;
}

// A finite coordinate as a number that only an equal coordinate shares
// (0.0 and -0.0 are one place).
int64_t positionNumber(double v) {
  const double normal = v + 0.0;
  int64_t bits = 0;
  std::memcpy(&bits, &normal, sizeof bits);
  return bits;
}

}  // namespace

bool HouseTextIndex::cellAt(double f, double s, int level, GridCell& cell) {
  if (level == kPointLevel) {
    cell = GridCell{level, positionNumber(f), positionNumber(s)};
    return true;
  }
  const double qf = std::ldexp(f, -level);
  const double qs = std::ldexp(s, -level);
  // Beyond this no house of the level reaches (and the number would not fit).
  if (!(std::fabs(qf) < kLargestCellNumber && std::fabs(qs) < kLargestCellNumber)) return false;
  cell = GridCell{level, static_cast<int64_t>(std::floor(qf)), static_cast<int64_t>(std::floor(qs))};
  return true;
}

bool HouseTextIndex::textsAt(int level) const { return level != kPointLevel || pointLevelTexts_; }

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
  if (count > placed) gridHouses();
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
    std::vector<int>* inside = h.inside >= 0 ? &insides_[static_cast<size_t>(h.inside)] : nullptr;
    if (inside)
      inside->erase(std::remove_if(inside->begin(), inside->end(), [&](int t) { return entries_[t].used == 1; }),
                    inside->end());
    const bool none = !inside || inside->empty();
    if (h.visited && none) continue;
    h.visited = true;
    visits.push_back(Visit{h.feature, none ? -1 : h.inside});
    // A visit may stop before it has taken every text inside: the house is
    // looked at again at the next END.
    if (!none) still.push_back(slot);
  }
  due_ = std::move(still);
}

const std::vector<int>& HouseTextIndex::textsOf(const Visit& visit) const {
  static const std::vector<int> kNone;
  return visit.list < 0 ? kNone : insides_[static_cast<size_t>(visit.list)];
}

void HouseTextIndex::forgetTaken() {
  const auto taken = [this](int t) { return entries_[t].used == 1; };
  const size_t takenCount = static_cast<size_t>(std::count_if(placed_.begin(), placed_.end(), taken));
  if (takenCount == 0 || takenCount * 2 < placed_.size()) return;
  placed_.erase(std::remove_if(placed_.begin(), placed_.end(), taken), placed_.end());
  placed_.shrink_to_fit();
  textGrid_ = CellLists<int>();
  GridCell cell{};
  for (int level : levels_)
    if (textsAt(level))
      for (int t : placed_)
        if (cellAt(entries_[t].first, entries_[t].second, level, cell)) textGrid_.add(cell, t);
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
  if (h.inside >= 0) insides_[static_cast<size_t>(h.inside)].clear();
  const int vertices = hostRefs ? std::max<int>(refCount, 0) : 0;
  // Copied before the host is called again.
  refs_.assign(hostRefs, hostRefs + vertices);
  h.vertices = static_cast<int16_t>(vertices);
  readRing(host, slot, vertices, true);
  Box& b = h.box;
  b = Box{HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
  h.nan = false;
  for (int v = 0; v < vertices; ++v) {
    const double first = ring_[2 * static_cast<size_t>(v)], second = ring_[2 * static_cast<size_t>(v) + 1];
    if (std::isnan(first) || std::isnan(second)) h.nan = true;
    b.minF = std::min(b.minF, first);
    b.maxF = std::max(b.maxF, first);
    b.minS = std::min(b.minS, second);
    b.maxS = std::max(b.maxS, second);
  }
  const bool finite = std::isfinite(b.minF) && std::isfinite(b.maxF) && std::isfinite(b.minS) &&
                      std::isfinite(b.maxS) && std::isfinite(b.maxF - b.minF) && std::isfinite(b.maxS - b.minS);
  h.wide = h.nan || !finite;
  if (!h.wide) h.level = static_cast<int16_t>(levelOf(b.minF, b.maxF, b.minS, b.maxS));
}

void HouseTextIndex::readRing(HostLibrary& host, int slot, int vertices, bool noteMissing) {
  ring_.assign(2 * static_cast<size_t>(vertices), 0.0);
  ringHouse_ = slot;
  for (int v = 0; v < vertices; ++v) {
    host.GetPointXY(file_, refs_[v].name, &ring_[2 * static_cast<size_t>(v)], &ring_[2 * static_cast<size_t>(v) + 1]);
    // A vertex without its point stands at the origin until the point comes.
    if (noteMissing && host.PointExists(file_, refs_[v].name) < 0) waiting_[nameText(refs_[v].name)].push_back(slot);
  }
}

const double* HouseTextIndex::ringOf(HostLibrary& host, int slot) {
  if (ringHouse_ == slot) return ring_.data();
  const House& h = houses_[slot];
  FeatureHeader header{};
  const PointRef* refs = nullptr;
  int16_t refCount = 0;
  const uint8_t* stored = nullptr;
  int storedLength = 0;
  const bool read = host.GetFeature(file_, h.feature, &header, &refs, &refCount, &stored, &storedLength) > 0;
  refs_.assign(refs, refs + (read ? std::min<int>(std::max<int>(refCount, 0), h.vertices) : 0));
  refs_.resize(static_cast<size_t>(h.vertices), PointRef{});
  readRing(host, slot, h.vertices, false);
  return ring_.data();
}

void HouseTextIndex::gridHouses() {
  std::sort(ungridded_.begin(), ungridded_.end());
  ungridded_.erase(std::unique(ungridded_.begin(), ungridded_.end()), ungridded_.end());
  for (int slot : ungridded_) {
    const House& h = houses_[slot];
    if (h.vertices == 0 || h.wide) continue;
    GridCell low{}, high{};
    cellAt(h.box.minF, h.box.minS, h.level, low);
    cellAt(h.box.maxF, h.box.maxS, h.level, high);
    for (int64_t f = low.f; f <= high.f; ++f)
      for (int64_t s = low.s; s <= high.s; ++s) houseGrid_.add(GridCell{h.level, f, s}, GridEntry{slot, h.generation});
  }
  ungridded_.clear();
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
  const int textLevel = h.level == kPointLevel ? pointHouseTextLevel(h.box.minF, h.box.minS) : h.level;
  GridCell low{}, high{};
  cellAt(h.box.minF, h.box.minS, textLevel, low);
  cellAt(h.box.maxF, h.box.maxS, textLevel, high);
  // Texts taken by a house never come back: dropped on the way.
  const auto taken = [this](int t) { return entries_[t].used == 1; };
  near_.clear();
  ungridded_.push_back(slot);
  for (int64_t f = low.f; f <= high.f; ++f)
    for (int64_t s = low.s; s <= high.s; ++s)
      textGrid_.visit(GridCell{textLevel, f, s}, taken, [this](int t) { near_.push_back(t); });
  unplaced_.erase(std::remove_if(unplaced_.begin(), unplaced_.end(), taken), unplaced_.end());
  near_.insert(near_.end(), unplaced_.begin(), unplaced_.end());
  // Cells sharing a list give its values once for each.
  std::sort(near_.begin(), near_.end());
  near_.erase(std::unique(near_.begin(), near_.end()), near_.end());
  for (int t : near_) tryPair(host, slot, t);
}

void HouseTextIndex::levelInUse(int level) {
  if (std::find(levels_.begin(), levels_.end(), level) != levels_.end()) return;
  levels_.push_back(level);
  if (textsAt(level)) gridTextsAt(level);
}

void HouseTextIndex::gridTextsAt(int level) {
  // Texts taken since they were placed are dropped when a visit meets them.
  GridCell cell{};
  for (int t : placed_)
    if (cellAt(entries_[t].first, entries_[t].second, level, cell)) textGrid_.add(cell, t);
}

// A house whose box is one point has as candidates the texts at that point.
// They all lie in the one cell of any level that holds the point, and each
// is then told by the house's box: the finest level the texts are gridded
// at already serves, and the point level, whose cells are single positions,
// is gridded only when none does. (Houses whose vertices are all missing
// stand at the origin: a file can have thousands, and would otherwise hold
// every text once more.)
int HouseTextIndex::pointHouseTextLevel(double f, double s) {
  if (pointLevelTexts_) return kPointLevel;
  int finest = kPointLevel;
  GridCell cell{};
  for (int level : levels_)
    if (level != kPointLevel && (finest == kPointLevel || level < finest) && cellAt(f, s, level, cell)) finest = level;
  if (finest != kPointLevel) return finest;
  pointLevelTexts_ = true;
  gridTextsAt(kPointLevel);
  return kPointLevel;
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
  placed_.push_back(t);
  // Entries of an older shape of their house are dropped on the way.
  const auto stale = [this](const GridEntry& g) { return houses_[g.house].generation != g.generation; };
  GridCell cell{};
  near_.clear();
  for (int level : levels_) {
    if (!cellAt(e.first, e.second, level, cell)) continue;
    if (textsAt(level)) textGrid_.add(cell, t);
    houseGrid_.visit(cell, stale, [this](const GridEntry& g) {
      if (!houses_[g.house].wide) near_.push_back(g.house);
    });
  }
  for (int slot : wide_)
    if (houses_[slot].wide) near_.push_back(slot);
  std::sort(near_.begin(), near_.end());
  near_.erase(std::unique(near_.begin(), near_.end()), near_.end());
  for (int slot : near_) tryPair(host, slot, t);
}

bool HouseTextIndex::tryPair(HostLibrary& host, int slot, int t) {
  House& h = houses_[slot];
  const TextEntry& e = entries_[t];
  if (e.used == 1 || h.vertices == 0) return false;
  const Box& b = h.box;
  const bool candidate = h.nan || !isFinitePosition(e) ||
                         (e.first >= b.minF && e.first <= b.maxF && e.second >= b.minS && e.second <= b.maxS);
  if (!candidate) return false;
  const double at[2] = {e.first, e.second};
  if (host.PointInPolygon(ringOf(host, slot), h.vertices, at) != 2) return false;
  if (h.inside < 0) h.inside = static_cast<int32_t>(insides_.size()), insides_.emplace_back();
  insides_[static_cast<size_t>(h.inside)].push_back(t);
  due_.push_back(slot);
  return true;
}

}  // namespace dz
