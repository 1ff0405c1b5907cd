// Lists of values by grid cell for the house-text index: one open-addressing
// table of cells over one array of list nodes. A grid of many thousand cells
// then costs two flat arrays instead of a hash node and a vector per cell,
// and is freed at once.
//
// A cell is known by a 64-bit mix of its level and numbers, not by them: two
// cells whose mixes are equal (as good as never) share one list, and each
// gives the values of both. The index takes a list's values as candidates
// that its exact test then keeps or drops, so a shared list costs a few
// tests and changes no answer; a slot is 16 bytes instead of 24.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dz {

// A square of 2^level on a side: numbers f and s along the two coordinates.
struct GridCell {
  int32_t level = 0;
  int64_t f = 0, s = 0;
  bool operator==(const GridCell& o) const { return level == o.level && f == o.f && s == o.s; }
};

template <typename T>
class CellLists {
 public:
  // Puts `value` in the list of `cell`.
  void add(const GridCell& cell, const T& value) {
    if ((cells_ + 1) * 4 > slots_.size() * 3) grow();
    const uint64_t key = keyOf(cell);
    Slot& slot = slots_[probe(key)];
    if (slot.head == kEmpty) {
      slot.key = key;
      slot.head = kNone;
      ++cells_;
    }
    nodes_.push_back(Node{value, slot.head});
    slot.head = static_cast<int32_t>(nodes_.size() - 1);
  }

  // Calls visit(value) for the values of `cell`, the latest first; those for
  // which drop(value) holds are taken out of the list instead, for good.
  template <typename Drop, typename Visit>
  void visit(const GridCell& cell, Drop drop, Visit visit) {
    if (slots_.empty()) return;
    Slot& slot = slots_[probe(keyOf(cell))];
    if (slot.head == kEmpty) return;
    int32_t* link = &slot.head;
    while (*link != kNone) {
      Node& node = nodes_[static_cast<size_t>(*link)];
      if (drop(node.value)) {
        *link = node.next;
        continue;
      }
      visit(node.value);
      link = &node.next;
    }
  }

  size_t cellCount() const { return cells_; }

 private:
  static constexpr int32_t kEmpty = -2;  // a slot without a cell
  static constexpr int32_t kNone = -1;   // the end of a list
  struct Slot {
    uint64_t key = 0;
    int32_t head = kEmpty;
  };
  struct Node {
    T value;
    int32_t next;
  };

  // Each part is mixed in whole (the finaliser of splitmix64), so that cells
  // apart by any bits of any part meet no more often than random keys would.
  static uint64_t mix(uint64_t h) {
    h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
    return h ^ (h >> 31);
  }
  static uint64_t keyOf(const GridCell& c) {
    uint64_t h = mix(static_cast<uint64_t>(c.f) + 0x9E3779B97F4A7C15ull);
    h = mix(h ^ static_cast<uint64_t>(c.s));
    return mix(h ^ static_cast<uint64_t>(static_cast<int64_t>(c.level)));
  }
  // The slot of the cell of `key`, or the empty slot where it would go.
  size_t probe(uint64_t key) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = key & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.head == kEmpty || slot.key == key) return i;
    }
  }
  void grow() {
    std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old)
      if (slot.head != kEmpty) slots_[probe(slot.key)] = slot;
  }

  // A power of two, at most three quarters full: with keys mixed in whole,
  // a probe still meets a few slots of one or two cache lines.
  std::vector<Slot> slots_;
  std::vector<Node> nodes_;  // of every list; a node taken out stays unused
  size_t cells_ = 0;
};

}  // namespace dz
