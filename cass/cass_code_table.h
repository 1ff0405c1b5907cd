// The CASS code table (CASSCode.txt in the host directory): one "code
// host-code" mapping per line, read with "%s %d". The table is read once and
// kept as an index whose answers are those of a scan from the top.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dz {

class CassCodeTable {
 public:
  // Reads and indexes the table; false (and nothing kept) when the file
  // cannot be opened.
  bool load(const std::string& path);
  bool isLoaded() const { return loaded_; }

  // The host code for `code`: that of the first line whose token is `code`,
  // or 0 when no line has it. A matching line without an integer answers the
  // integer of the nearest earlier line that had one, because the scan
  // writes its result only when an integer is read.
  int32_t find(std::string_view code) const;

  size_t size() const { return count_; }

 private:
  // A slot: a code of up to 8 bytes itself, zero-padded, with its hash and
  // host code. Between two features a conversion's other work pushes the
  // table out of the nearer caches; a slot of 16 bytes answers in one trip
  // to memory where a slot, an entry and the code's bytes took three. A
  // longer code keeps its first 8 bytes here and the whole of it in codes_,
  // found through longCodes_.
  struct Slot {
    uint64_t head = 0;
    uint32_t hash = 0;  // 0 marks an empty slot (see slotHash)
    int32_t hostCode = 0;
  };
  struct LongCode {
    uint32_t offset, length;
  };
  static uint32_t slotHash(std::string_view code);
  static uint64_t headOf(std::string_view code);
  // Whether `slot` holds `code`, of hash `hash` and head `head`.
  bool holds(size_t slot, std::string_view code, uint32_t hash, uint64_t head) const;
  // The slot holding `code`, or the empty slot where it would go.
  size_t probe(std::string_view code, uint32_t hash, uint64_t head) const;
  size_t home(uint32_t hash) const { return static_cast<size_t>((uint64_t{hash} * slots_.size()) >> 32); }
  // Moves the codes into a table of `slotCount` slots.
  void rehash(size_t slotCount);
  void clear();

  bool loaded_ = false;
  size_t count_ = 0;
  std::vector<Slot> slots_;  // at most half full, any size
  // Codes longer than a head: their bytes, and for each slot that holds one,
  // where they are (one entry a slot, used only for those; none at all while
  // no code is that long).
  std::string codes_;
  std::vector<LongCode> longCodes_;
};

}  // namespace dz
