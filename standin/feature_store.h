// The contents of one feature file in memory: points in insertion order with
// an index by name, features numbered from 1, and text objects with their
// attribute fields.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/huge_pages.h"
#include "base/record_arena.h"
#include "base/record_span.h"
#include "host/records.h"
#include "standin/point_index.h"
#include "standin/point_table.h"
#include "standin/stored_points.h"

namespace dz {

// A feature: its header, and where its vertices and block lie in the
// store's arena (48 bytes a feature where two spans would take 56). The two
// have runs of their own: a block given later, as the houses of a
// conversion get theirs, leaves the vertices where they are.
class StoredFeature {
 public:
  FeatureHeader header{};

  RecordSpan<PointRef> refs() const { return {refs_, refCount_}; }
  RecordSpan<uint8_t> attributes() const { return {block_, blockLength_}; }  // empty: the feature has no block

 private:
  friend class FeatureStore;
  uint32_t refCount_ = 0;
  uint32_t blockLength_ = 0;
  const PointRef* refs_ = nullptr;
  const uint8_t* block_ = nullptr;
};

// A text object. Its bytes and style lie in the store (a style shared by the
// texts added one after another, as a conversion adds them), its attribute
// fields beside it only when it has some: 56 bytes a text where a copy of
// each would take 176.
class StoredText {
 public:
  using Fields = std::vector<std::pair<std::string, std::string>>;  // name -> value, in first-set order

  double anchor[2] = {0, 0};
  int32_t mode = 0;

  // The bytes given, exactly as long as the length given.
  std::string_view text() const { return {text_.data(), text_.size()}; }
  const TextStyle& style() const { return *style_; }
  const Fields& fields() const;
  void setField(const std::string& name, const std::string& value);
  // A field as a file holds it, after the others.
  void appendField(std::string_view name, std::string_view value);

 private:
  friend class FeatureStore;
  RecordSpan<char> text_;
  const TextStyle* style_ = nullptr;
  std::unique_ptr<Fields> fields_;
};

class FeatureStore {
 public:
  static constexpr size_t kNoPoint = SIZE_MAX;

  // False (and nothing changes) when a point of that name exists.
  bool addPoint(const PointRecord& point);
  // The number of the point named `key` in points(), or kNoPoint.
  size_t pointNumber(const NameKey& key) const;
  // The record of the point named `key`.
  std::optional<PointRecord> findPoint(const NameKey& key) const;
  // Every byte of point `i` but its name (the index's key) from `point`.
  void updatePoint(size_t i, const PointRecord& point);

  const StoredPoints& points() const { return points_; }
  using Features = std::vector<StoredFeature, HugePageAllocator<StoredFeature>>;
  const Features& features() const { return features_; }
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
  // Adds a text object after the last, its bytes and style copied in.
  StoredText& addText(const double anchor[2], std::string_view text, const TextStyle& style, int32_t mode);
  const std::deque<StoredText>& texts() const { return texts_; }
  StoredText& text(size_t i) { return texts_[i]; }

  // Room for `n` points in all, so that a caller who knows the work ahead
  // (a file's size, a count in a header) spares the store's growth: no copy
  // of the points, no rebuilt index, no peak of two tables at once.
  void reservePoints(size_t n);
  // The same for features, `n` in all.
  void reserveFeatures(size_t n);
  // Room for `bytes` more of vertices, blocks and texts, in one piece.
  void reserveRecordBytes(size_t bytes) { records_.reserve(bytes); }
  // Fills an empty store with `n` points at once; false when two share a
  // name, and the store must then be dropped.
  bool loadPoints(const PointRecord* points, size_t n);
  // The same with a table read for the store, taken over without a copy.
  bool loadPoints(PointTable&& points);

 private:
  StoredPoints points_;
  PointIndex index_;
  // How far on in a numbering pointNumber looks for a name before the index.
  static constexpr int64_t kGuessReach = 64;
  mutable size_t lastFound_ = kNoPoint;  // the point pointNumber found last (the store is one thread's at a time)
  Features features_;
  // The features' vertices and blocks: a million features would cost two
  // million allocations, their headers and rounding, and as many frees.
  RecordArena records_;
  // Grown a block at a time: texts come at the end of a conversion, when
  // the rest of the store is largest, and a table that doubles would hold
  // its old copy and the new one at once.
  std::deque<StoredText> texts_;
  const TextStyle* lastStyle_ = nullptr;  // in records_
};

}  // namespace dz
