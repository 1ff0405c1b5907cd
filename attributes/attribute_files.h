// The three attribute text files (parcels, boundary points, houses): how a
// line is split into its fields, and an index that answers, for a key, what
// scanning the file from its first line would find.
//
// A file is split with a classic scan format whose field buffers are cleared
// once, before the first line, and then carried from line to line: a short
// line, a line whose scan stops at a field that is not a number, or a blank
// line leaves the fields it does not reach as the previous line left them.
// Its key is therefore whatever the key buffer holds after the line, and the
// values that go with the key are the buffers as they stood at that line.
// The index records exactly that for the first line of every key, so one
// pass over the file answers every lookup as a rescan from the top would.
//
// The texts that go into a block are kept as whole tokens and cut to their
// block field only when copied there, before the first character that does
// not fit whole: a cut by bytes could end the field in half a character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/fixed_field.h"
#include "base/packed_bytes.h"
#include "base/tally.h"
#include "base/zeroed_array.h"

namespace dz::attributes {

// A text field the values keep `Width` bytes of: as much of its token is
// kept and one byte more, which is all that cutting it to the value's width
// (never through a two-byte character) looks at. The rest of a longer token
// is read past and not copied.
template <size_t Width>
using KeptText = char[Width + 1];

// Parcel attribute file: "%s %s %s %s %s %s %lf %lf %s %d %s". Field 1 is
// the parcel number without the prefix; fields 3, 5, 9 and 11 are counted and
// kept nowhere, field 10 is read and not used.
struct ParcelFields {
  static constexpr int kFields = 11;

  char number[40] = {};  // field 1
  KeptText<80> field2 = {};
  KeptText<20> field4 = {};
  KeptText<15> field6 = {};
  double field7 = 0;
  double field8 = 0;
  int32_t field10 = 0;
  // The bytes each text keeps, as the scan stored it.
  uint8_t numberLength = 0, field2Length = 0, field4Length = 0, field6Length = 0;

  // Each scan gives the fields the line gave, as the scan counts them.
  int scan(std::string_view line);
  std::string_view key() const { return {number, numberLength}; }
  static constexpr size_t kKeyWidth = sizeof number;
};

// What a parcel line gives the parcel's block.
struct ParcelValues {
  double field7 = 0;      // bytes 0-7
  double field8 = 0;      // bytes 8-15
  char field4[20] = {};   // bytes 80-99
  char field2[80] = {};   // bytes 100-179
  char field6[15] = {};   // bytes 205-219

  ParcelValues() = default;
  explicit ParcelValues(const ParcelFields& f);
  // Writes the values into a parcel block of at least 228 bytes.
  void applyTo(uint8_t* block) const;
  // Each value, for the index to unpack, and the field of a line that
  // gives it, in the same order, for the index to pack.
  template <typename Visit>
  void each(Visit&& visit) {
    visit(field7), visit(field8), visit(field4), visit(field2), visit(field6);
  }
  template <typename Visit>
  static void eachSource(const ParcelFields& f, Visit&& visit) {
    visit(f.field7), visit(f.field8), visit(f.field4, f.field4Length), visit(f.field2, f.field2Length),
        visit(f.field6, f.field6Length);
  }
};

// Boundary-point attribute file: "%s %s %s %s %s ". Field 1 is the point name.
struct BoundaryPointFields {
  static constexpr int kFields = 5;

  char name[12] = {};
  KeptText<10> field2 = {};
  KeptText<10> field3 = {};
  KeptText<7> field4 = {};
  KeptText<9> field5 = {};
  uint8_t nameLength = 0, field2Length = 0, field3Length = 0, field4Length = 0, field5Length = 0;

  int scan(std::string_view line);
  std::string_view key() const { return {name, nameLength}; }
  static constexpr size_t kKeyWidth = sizeof name;
};

struct BoundaryPointValues {
  char field2[10] = {};  // bytes 0-9
  char field3[10] = {};  // bytes 10-19
  char field4[7] = {};   // bytes 20-26
  char field5[9] = {};   // bytes 27-35

  BoundaryPointValues() = default;
  explicit BoundaryPointValues(const BoundaryPointFields& f);
  // Writes the values into a boundary-point block of at least 38 bytes.
  void applyTo(uint8_t* block) const;
  template <typename Visit>
  void each(Visit&& visit) {
    visit(field2), visit(field3), visit(field4), visit(field5);
  }
  template <typename Visit>
  static void eachSource(const BoundaryPointFields& f, Visit&& visit) {
    visit(f.field2, f.field2Length), visit(f.field3, f.field3Length), visit(f.field4, f.field4Length),
        visit(f.field5, f.field5Length);
  }
};

// House attribute file: "%s %s %d ". Field 1 is the house feature's name.
struct HouseFields {
  static constexpr int kFields = 3;

  char name[12] = {};
  KeptText<10> structure = {};
  int32_t floors = 0;
  uint8_t nameLength = 0, structureLength = 0;

  int scan(std::string_view line);
  std::string_view key() const { return {name, nameLength}; }
  static constexpr size_t kKeyWidth = sizeof name;
};

struct HouseValues {
  char structure[10] = {};  // bytes 0-9
  int32_t floors = 0;       // bytes 10-11, its low 16 bits

  HouseValues() = default;
  explicit HouseValues(const HouseFields& f);
  // Writes the values into a house block of at least 20 bytes.
  void applyTo(uint8_t* block) const;
  template <typename Visit>
  void each(Visit&& visit) {
    visit(structure), visit(floors);
  }
  template <typename Visit>
  static void eachSource(const HouseFields& f, Visit&& visit) {
    visit(f.structure, f.structureLength), visit(f.floors);
  }
};

// One attribute file read once: for each key, the values of the first line
// that has it. A key is shorter than its field's width (a longer token is cut
// when it is scanned) and has no zero byte.
//
// For a caller's warnings it also keeps the lines that did not give all
// their fields (a blank line changes nothing and is not among them) and
// which keys a lookup found.
//
// The keys and their values are packed one after another in one buffer, in
// the order first met, each text as long as it is rather than as wide as its
// field: a parcel line takes some 60 bytes instead of 190, and a large file
// costs a third of the fresh memory the system must clear. An
// open-addressing table of hashes and entry offsets leads to them: no key
// costs an allocation of its own, a lookup makes no string, and a key found
// is compared where its values are read.
template <typename Fields, typename Values>
class AttributeFileIndex {
 public:
  // Reads the whole file. False when it cannot be opened (the index is then empty).
  bool load(const std::string& path);
  void clear() {
    slots_ = {};
    packed_.clear();
    keyCount_ = 0;
    unscanned_ = LineTally();
  }

  // The values of `key`'s line, valid until the next find.
  const Values* find(std::string_view key) const;
  // Starts the trips to memory of a later find of `key`: its slot, and with
  // `entry` (once the slot has come) the entry the slot leads to. A caller
  // that knows its next keys asks a few lookups ahead, so that the misses of
  // a table larger than the caches overlap instead of coming one by one.
  void prefetch(std::string_view key, bool entry) const;
  size_t keyCount() const { return keyCount_; }

  const LineTally& unscannedLines() const { return unscanned_; }
  // The keys no lookup has found, in the order of their lines.
  KeyTally keysNotFound() const;

 private:
  // An entry: its size, a byte set once a lookup found it, the key's
  // length and bytes, then the values. Entries start on a multiple of
  // kAlign, so that a slot's 32 bits reach 16 GiB of them.
  static constexpr size_t kAlign = 4;
  struct Slot {
    uint32_t hash;
    uint32_t entry;  // offset of the entry / kAlign + 1; 0 marks an empty slot
  };

  // Whether `key` can be a key of the file: shorter than its field.
  static bool fits(std::string_view key) { return key.size() < Fields::kKeyWidth; }
  // The slot where a probe for `hash` starts: the hash scaled to the table,
  // which may have any size, so that it is no larger than the lines need.
  size_t home(uint32_t hash) const { return static_cast<size_t>((uint64_t{hash} * slots_.size()) >> 32); }
  const uint8_t* entryAt(const Slot& s) const { return packed_.data() + (size_t{s.entry} - 1) * kAlign; }
  // The slot holding `key` (of hash `hash`), or the empty slot where it would go.
  size_t probe(std::string_view key, uint32_t hash) const;
  void rehash(size_t slotCount);
  // Slots for `n` keys at the highest load allowed.
  static size_t slotsFor(size_t n) { return 2 * n + 1; }
  // Room for `keys` keys and `bytes` of entries without growing: a hint,
  // dropped when the memory cannot give it now.
  void reserve(size_t keys, size_t bytes);
  // Where an entry after one ending at `end` starts, and the next entry after the taken ones.
  static size_t alignEntry(size_t end) { return (end + kAlign - 1) / kAlign * kAlign; }
  size_t nextEntry() const { return alignEntry(packed_.size()); }
  // Packs the entry of `key` with the values `fields` give at `at` (an
  // entry's start at or past the end), not yet taken: its size.
  size_t packAt(size_t at, std::string_view key, const Fields& fields);
  // Takes the entry at nextEntry(), of `size` bytes and whose key has hash
  // `hash`, unless its key is there already (the first line wins). A dropped
  // entry's place goes to the entries packed after it, up to `pendingEnd`:
  // the bytes they moved by (0 when the entry was taken).
  size_t settle(uint32_t hash, size_t size, size_t pendingEnd);
  // Lines read between a line's slot fetched and its entry settled.
  static constexpr size_t kSettleBehind = 8;

  ZeroedArray<Slot> slots_;  // at most half full
  mutable PackedBytes packed_;  // the entries; lookups set their found bytes
  size_t keyCount_ = 0;
  mutable Values found_;  // the values the last find unpacked
  LineTally unscanned_;
};

// The attachment's files of the parcel, boundary-point and house categories.
// (The parcel attribute file that the CASS conversion reads has another form:
// cass/parcel_import.h.)
using ParcelAttachmentIndex = AttributeFileIndex<ParcelFields, ParcelValues>;
using BoundaryPointAttachmentIndex = AttributeFileIndex<BoundaryPointFields, BoundaryPointValues>;
using HouseAttachmentIndex = AttributeFileIndex<HouseFields, HouseValues>;

// Byte layout of the blocks these files fill.
constexpr size_t kParcelNumberOffset = 40;
constexpr size_t kParcelNumberWidth = 40;

}  // namespace dz::attributes
