// The index of a file's points by name: open addressing whose slot holds the
// name itself beside the point number, so that a lookup reads one place in
// memory (one cache line, mostly) instead of a slot and then a key kept
// elsewhere, and a million points cost one flat array.
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
  size_t size() const { return count_; }
  // Room for `n` names without growing again.
  void reserve(size_t n);

 private:
  // The name's 12 bytes are compared as they stand: as cheap as comparing a
  // stored hash would be, and without the four bytes a slot would need for it.
  struct Slot {
    NameKey key;
    uint32_t point;  // point number + 1; 0 marks an empty slot
  };
  static_assert(sizeof(Slot) == 16, "four slots to a cache line");

  // The slot where a probe for `hash` starts: the hash scaled to the table,
  // which may have any size, so that a reserve asks for no more than it needs.
  size_t home(uint32_t hash) const { return static_cast<size_t>((uint64_t{hash} * slots_.size()) >> 32); }
  // The slot holding `key`, or the empty slot where it would go.
  size_t probe(const NameKey& key) const;
  void rehash(size_t slotCount);
  // Slots for `n` names at the highest load allowed.
  static size_t slotsFor(size_t n);

  std::vector<Slot> slots_;  // at most half full
  size_t count_ = 0;
};

}  // namespace dz
