// The index of a file's points by name: open addressing over the point
// numbers, so that a million points cost one flat array instead of a million
// separately allocated nodes.
//
// A slot holds the name's hash beside the point's number, and the name itself
// is the one the point is stored with: a missing name is answered from the slots
// alone (the hashes differ), and a name found costs the slot and the record
// that the caller reads anyway (GetPoint, GetPointXY, UpdatePoint), with no
// second copy of every name to keep or to read.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/zeroed_array.h"
#include "host/records.h"

namespace dz {

// A point name as the host compares it: the bytes up to the first zero of a
// 12-byte field, zero-padded.
struct NameKey {
  std::array<char, 12> bytes{};
  static NameKey of(const char* field12);
  static NameKey of(std::string_view name);
  // The name of a stored record, whose 12 bytes are all there to read: cut
  // at its first zero with word operations, without a call per name.
  static NameKey ofRecord(const PointRecord& record) { return ofField(record.name); }
  // The same for 12 bytes of a name that are all there to read.
  static NameKey ofField(const char* name12);
  // The same for those 12 bytes read as two words.
  static NameKey ofWords(uint64_t first8, uint32_t last4);
  bool operator==(const NameKey& o) const {
    // Two loads and compares instead of a call to memcmp.
    uint64_t a, b;
    uint32_t c, d;
    std::memcpy(&a, bytes.data(), 8);
    std::memcpy(&b, o.bytes.data(), 8);
    std::memcpy(&c, bytes.data() + 8, 4);
    std::memcpy(&d, o.bytes.data() + 8, 4);
    return ((a ^ b) | (c ^ d)) == 0;
  }
  // A hash whose low four bits are the name's place in its run of slots
  // (PointIndex): its last digit, or for a name that does not end in a
  // digit, a place taken from the rest of the hash; below kRunLength.
  uint32_t hash() const;
  static constexpr uint32_t kSpreadMask = 0xF;
  static constexpr uint32_t kRunLength = 10;
  // The bytes before the first zero.
  size_t length() const;
  // The name whose trailing decimal number is one higher (X9 -> X10, A099 ->
  // A100): the name a conversion numbering its points uses next. False when
  // the name does not end in a digit or the next would not fit.
  bool successor(NameKey& next) const;
  // The successor's successor, with one measure of the name: the name a
  // numbering uses after next.
  bool afterNext(NameKey& after) const;
  // How far this name's trailing number is past that of `from`, when both
  // end in a number after the same bytes: X17 is 9 past X8, A100 1 past
  // A099. False for other pairs and numbers of more than nine digits.
  bool numberedAfter(const NameKey& from, int64_t& distance) const;
};

// Where an index finds the names of the points it is over: point i's 12
// name bytes at base + i * stride. A table of records is one.
class NameTable {
 public:
  NameTable() = default;
  NameTable(const char* base, size_t stride) : base_(base), stride_(stride) {}
  NameTable(const PointRecord* records)  // NOLINT: records are a table of names
      : base_(reinterpret_cast<const char*>(records)), stride_(sizeof(PointRecord)) {}
  const char* name(size_t i) const { return base_ + i * stride_; }

 private:
  const char* base_ = nullptr;
  size_t stride_ = sizeof(PointRecord);
};

class PointIndex {
 public:
  static constexpr uint32_t kNotFound = UINT32_MAX;

  // The number of the point named `key` among `points` (the names of the
  // points the index was built over, in their order), or kNotFound.
  uint32_t find(const NameKey& key, NameTable points) const;
  // Adds `key` as point number size(), the point whose name `points` will
  // hold next; false (and nothing changes) when the name is there already. Right
  // after a find of the same name that missed, the slot it found is taken
  // without a second probe: a conversion asks whether a name is free before
  // it adds it.
  bool insert(const NameKey& key, NameTable points);
  // Adds the names of `n` records, numbered from size() on, the way insert
  // does one after another, with the slots of the next few names fetched from
  // memory while one goes in: false at the first name that is there already.
  bool insertAll(const PointRecord* records, size_t n, NameTable points);
  // Asks memory for the slot where a lookup of `key` begins, so that a lookup
  // soon after finds it in the cache.
  void prefetch(const NameKey& key) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[home(key.hash())]);
  }
  size_t size() const { return count_; }
  // Room for `n` names in all without growing again.
  void reserve(size_t n);

 private:
  struct Slot {
    uint32_t hash;
    uint32_t point;  // point number + 1; 0 marks an empty slot
  };

  // The slot where a probe for `hash` starts: its run of ten slots (the
  // hash above its four low bits, scaled to the table, which may have any
  // multiple of ten slots, so that a reserve asks for little more than it
  // needs), and its place in the run (see NameKey::hash).
  size_t home(uint32_t hash) const {
    const uint64_t runs = slots_.size() / NameKey::kRunLength;
    const uint64_t run = (uint64_t{hash >> 4} * runs) >> 28;
    return static_cast<size_t>(run * NameKey::kRunLength + (hash & NameKey::kSpreadMask));
  }
  // The slot holding `key`, or the empty slot where it would go.
  size_t probe(const NameKey& key, uint32_t hash, NameTable points) const;
  void rehash(size_t slotCount);
  // Slots for `n` names at the highest load allowed, in whole runs.
  static size_t slotsFor(size_t n) { return (2 * n / NameKey::kRunLength + 1) * NameKey::kRunLength; }

  ZeroedArray<Slot> slots_;  // at most half full
  size_t count_ = 0;
  // The last name find() missed, with its hash and the empty slot where it
  // would go; only until the table next changes. (An index, as the file it
  // belongs to, is used by one thread at a time.)
  struct Miss {
    NameKey key;
    uint32_t hash = 0;
    size_t slot = 0;
    bool valid = false;
  };
  mutable Miss miss_;
};

}  // namespace dz
