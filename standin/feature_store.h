// The contents of one feature file in memory: points in insertion order with
// an index by name, features numbered from 1, and text objects with their
// attribute fields.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/record_arena.h"
#include "base/record_span.h"
#include "host/records.h"
#include "standin/point_index.h"
#include "standin/point_table.h"

namespace dz {

struct StoredFeature {
  FeatureHeader header{};
  RecordSpan<PointRef> refs;
  RecordSpan<uint8_t> attributes;  // empty: the feature has no block
};

struct StoredText {
  double anchor[2] = {0, 0};
  std::string text;  // the bytes given, exactly as long as the length given
  TextStyle style{};
  int32_t mode = 0;
  std::vector<std::pair<std::string, std::string>> fields;  // name -> value, in first-set order

  void setField(const std::string& name, const std::string& value);
};

class FeatureStore {
 public:
  // False (and nothing changes) when a point of that name exists.
  bool addPoint(const PointRecord& point);
  const PointRecord* findPoint(const NameKey& key) const;
  PointRecord* findPoint(const NameKey& key);

  const PointTable& points() const { return points_; }
  const std::vector<StoredFeature>& features() const { return features_; }
  // Adds a feature after the last, its vertices and block copied in.
  void addFeature(const FeatureHeader& header, const PointRef* refs, size_t refCount, const uint8_t* block,
                  size_t blockLength);
  void addFeature(const FeatureHeader& header, const std::vector<PointRef>& refs,
                  const std::vector<uint8_t>& block = {}) {
    addFeature(header, refs.data(), refs.size(), block.data(), block.size());
  }
  // Gives feature `i` (from 0) the block of `length` bytes at `block`, which
  // may be the feature's own block or a part of it, and the kind `kind`.
  void setFeatureBlock(size_t i, int16_t kind, const uint8_t* block, size_t length);
  std::vector<StoredText>& texts() { return texts_; }
  const std::vector<StoredText>& texts() const { return texts_; }

  // Room for `n` points in all, so that a caller who knows the work ahead
  // (a file's size, a count in a header) spares the store's growth: no copy
  // of the points, no rebuilt index, no peak of two tables at once.
  void reservePoints(size_t n);
  // The same for features, `n` in all.
  void reserveFeatures(size_t n);
  // Fills an empty store with `n` points at once; false when two share a
  // name, and the store must then be dropped.
  bool loadPoints(const PointRecord* points, size_t n);
  // The same with a table read for the store, taken over without a copy.
  bool loadPoints(PointTable&& points);

 private:
  PointTable points_;
  PointIndex index_;
  std::vector<StoredFeature> features_;
  // The features' vertices and blocks: a million features would cost two
  // million allocations, their headers and rounding, and as many frees.
  RecordArena records_;
  std::vector<StoredText> texts_;
};

}  // namespace dz
