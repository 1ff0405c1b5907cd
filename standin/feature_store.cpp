#include "standin/feature_store.h"

#include <cstring>
#include <utility>

namespace dz {

const StoredText::Fields& StoredText::fields() const {
  static const Fields kNone;
  return fields_ ? *fields_ : kNone;
}

void StoredText::setField(const std::string& name, const std::string& value) {
  if (fields_) {
    for (auto& f : *fields_) {
      if (f.first == name) {
        f.second = value;
        return;
      }
    }
  }
  appendField(name, value);
}

void StoredText::appendField(std::string_view name, std::string_view value) {
  if (!fields_) fields_ = std::make_unique<Fields>();
  fields_->emplace_back(name, value);
}

StoredText& FeatureStore::addText(const double anchor[2], std::string_view text, const TextStyle& style,
                                  int32_t mode) {
  // Read before the table may move: the anchor may be another text's.
  const double first = anchor[0], second = anchor[1];
  if (!lastStyle_ || std::memcmp(lastStyle_, &style, sizeof style) != 0)
    lastStyle_ = reinterpret_cast<const TextStyle*>(records_.copy(&style, sizeof style));
  StoredText& t = texts_.emplace_back();
  t.anchor[0] = first;
  t.anchor[1] = second;
  t.mode = mode;
  t.text_ = RecordSpan<char>(reinterpret_cast<const char*>(records_.copy(text.data(), text.size())), text.size());
  t.style_ = lastStyle_;
  return t;
}

void FeatureStore::addFeature(const FeatureHeader& header, const PointRef* refs, size_t refCount,
                              const uint8_t* block, size_t blockLength) {
  StoredFeature& f = features_.emplace_back();
  f.header = header;
  f.refs_ = reinterpret_cast<const PointRef*>(records_.copy(refs, refCount * sizeof(PointRef)));
  f.refCount_ = static_cast<uint32_t>(refCount);
  f.block_ = records_.copy(block, blockLength);
  f.blockLength_ = static_cast<uint32_t>(blockLength);
}

void FeatureStore::setFeatureBlock(size_t i, int16_t kind, const uint8_t* block, size_t length) {
  StoredFeature& f = features_[i];
  if (length == f.blockLength_) {
    // A block of the same length (the attachment's case) goes where the old
    // one was; memmove, as it may be the old block or a part of it. The
    // arena's bytes are the store's own to write.
    if (length > 0) std::memmove(const_cast<uint8_t*>(f.block_), block, length);
  } else {
    // The old bytes stay unused in the arena: a block of another length is rare.
    f.block_ = records_.copy(block, length);
    f.blockLength_ = static_cast<uint32_t>(length);
  }
  f.header.kind = kind;
}

bool FeatureStore::addPoint(const PointRecord& point) {
  const NameKey key = NameKey::ofRecord(point);
  if (!index_.insert(key, points_.names())) return false;
  points_.push_back(point);
  // Conversions number the points they make (X1, X2, ...) and look each
  // name up before they add it. Ten names of a decade share a run of the
  // index's slots, so the lookups stay in the lines this one used until the
  // numbering enters a new decade: after X18 the run of X20 is fetched
  // while the conversion works, instead of a trip to memory when the table
  // has outgrown the caches. (X19 is too close: the lookup of X20 comes a
  // few hundred instructions after it is added, before memory has answered;
  // 0.92x the CPU of fetching the next name at 10^6 features.)
  const size_t end = key.length();
  NameKey after;
  if (end > 0 && key.bytes[end - 1] == '8' && key.afterNext(after)) index_.prefetch(after);
  return true;
}

size_t FeatureStore::pointNumber(const NameKey& key) const {
  // A feature's vertices are often read in the order they were numbered,
  // each maybe twice (where it lies, whether it exists): the point last
  // found and the one after it are asked before the index, whose slot would
  // be a trip to memory in a large file. Names never change, so a point
  // whose name matches is the answer. After a name that was not there (a
  // conversion asking for a free name, point after point) they are not.
  size_t i = lastFound_;
  if (i < points_.size()) {
    const NameKey last = NameKey::ofField(points_.name(i));
    if (last == key) return i;
    if (++i < points_.size() && NameKey::ofField(points_.name(i)) == key) {
      lastFound_ = i;
      return i;
    }
    // A name a little way off in the same numbering (the first vertex of the
    // next house a conversion reads back, a ring's first vertex moved to its
    // end): points numbered in a row are stored in a row, and the record
    // that many places away is one trip to memory where the index costs its
    // slot and then the record.
    int64_t distance;
    if (key.numberedAfter(last, distance) && distance >= -kGuessReach && distance <= kGuessReach &&
        static_cast<int64_t>(lastFound_) + distance >= 0 &&
        static_cast<int64_t>(lastFound_) + distance < static_cast<int64_t>(points_.size())) {
      i = static_cast<size_t>(static_cast<int64_t>(lastFound_) + distance);
      if (NameKey::ofField(points_.name(i)) == key) {
        lastFound_ = i;
        return i;
      }
    }
  }
  const uint32_t found = index_.find(key, points_.names());
  if (found == PointIndex::kNotFound) {
    lastFound_ = kNoPoint;
    return kNoPoint;
  }
  lastFound_ = found;
  NameKey next;
  if (key.successor(next)) index_.prefetch(next);
  return found;
}

std::optional<PointRecord> FeatureStore::findPoint(const NameKey& key) const {
  const size_t i = pointNumber(key);
  if (i == kNoPoint) return std::nullopt;
  return points_[i];
}

void FeatureStore::updatePoint(size_t i, const PointRecord& point) {
  PointRecord updated = point;
  std::memcpy(updated.name, points_.name(i), sizeof updated.name);
  points_.replace(i, updated);
}

void FeatureStore::reservePoints(size_t n) {
  points_.reserve(n);
  index_.reserve(n);
}

void FeatureStore::reserveFeatures(size_t n) {
  if (n <= features_.capacity()) return;
  features_.reserve(n);
}

bool FeatureStore::loadPoints(PointTable&& points) {
  index_.reserve(points.size());
  if (!index_.insertAll(points.data(), points.size(), points.data())) return false;
  points_.take(std::move(points));
  return true;
}

bool FeatureStore::loadPoints(const PointRecord* points, size_t n) {
  index_.reserve(n);
  if (!index_.insertAll(points, n, points)) return false;
  points_.assign(points, n);
  return true;
}

}  // namespace dz
