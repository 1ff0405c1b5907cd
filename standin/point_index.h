// The index of a file's points by name: open addressing over the point
// numbers, so that a million points cost two flat arrays instead of a million
// separately allocated nodes.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace dz {

// A point name as the host compares it: the bytes up to the first zero of a
// 12-byte field, zero-padded.
struct NameKey {
  std::array<char, 12> bytes{};
  static NameKey of(const char* field12);
  static NameKey of(std::string_view name);
  bool operator==(const NameKey& o) const { return bytes == o.bytes; }
  uint32_t hash() const;
};

class PointIndex {
 public:
  static constexpr uint32_t kNotFound = UINT32_MAX;

  // The number of the point named `key`, or kNotFound.
  uint32_t find(const NameKey& key) const;
  // Adds `key` as point number size(); false (and nothing changes) when the
  // name is there already.
  bool insert(const NameKey& key);
  size_t size() const { return keys_.size(); }
  void reserve(size_t n);

 private:
  struct Slot {
    uint32_t hash;
    uint32_t point;  // point number + 1; 0 marks an empty slot
  };
  void rehash(size_t slotCount);
  // The slot holding `key`, or the empty slot where it would go.
  size_t probe(const NameKey& key, uint32_t hash) const;

  std::vector<Slot> slots_;  // a power of two, at most half full
  std::vector<NameKey> keys_;
};

}  // namespace dz
