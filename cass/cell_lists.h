// Lists of values by grid cell for the house-text index: one open-addressing
// table of cells over one array of list nodes. A grid of many thousand cells
// then costs two flat arrays instead of a hash node and a vector per cell,
// and is freed at once.
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
    if ((cells_ + 1) * 2 > slots_.size()) grow();
    Slot& slot = slots_[probe(cell)];
    if (slot.head == kEmpty) {
      slot.f = cell.f;
      slot.s = cell.s;
      slot.level = cell.level;
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
    Slot& slot = slots_[probe(cell)];
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
  // A cell's numbers and its list's head in 24 bytes (a GridCell and a head
  // side by side would take 32): two tables of a million slots each for a
  // large file.
  struct Slot {
    int64_t f = 0, s = 0;
    int32_t level = 0;
    int32_t head = kEmpty;
    bool holds(const GridCell& c) const { return f == c.f && s == c.s && level == c.level; }
  };
  struct Node {
    T value;
    int32_t next;
  };

  static uint64_t hashOf(const GridCell& c) {
    uint64_t h = static_cast<uint64_t>(c.f) * 0x9E3779B97F4A7C15ull;
    h = (h ^ static_cast<uint64_t>(c.s)) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ static_cast<uint64_t>(static_cast<int64_t>(c.level))) * 0x94D049BB133111EBull;
    return h ^ (h >> 31);
  }
  // The slot of `cell`, or the empty slot where it would go.
  size_t probe(const GridCell& cell) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hashOf(cell) & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.head == kEmpty || slot.holds(cell)) return i;
    }
  }
  void grow() {
    std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old)
      if (slot.head != kEmpty) slots_[probe(GridCell{slot.level, slot.f, slot.s})] = slot;
  }

  std::vector<Slot> slots_;  // a power of two, at most half full
  std::vector<Node> nodes_;  // of every list; a node taken out stays unused
  size_t cells_ = 0;
};

}  // namespace dz
