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
#include <unordered_map>

#include "base/tally.h"

namespace dz::attributes {

// Parcel attribute file: "%s %s %s %s %s %s %lf %lf %s %d %s". Field 1 is
// the parcel number without the prefix; fields 3, 5, 9, 10 and 11 are read
// and not used.
struct ParcelFields {
  static constexpr int kFields = 11;

  char number[40] = {};  // field 1
  std::string field2;
  char field3[20] = {};
  std::string field4;
  char field5[40] = {};
  std::string field6;
  double field7 = 0;
  double field8 = 0;
  char field9[20] = {};
  int32_t field10 = 0;
  char field11[20] = {};

  // Each scan gives the fields the line gave, as the scan counts them.
  int scan(const std::string& line);
  std::string_view key() const { return number; }
};

// What a parcel line gives the parcel's block.
struct ParcelValues {
  double field7 = 0;      // bytes 0-7
  double field8 = 0;      // bytes 8-15
  char field4[20] = {};   // bytes 80-99
  char field2[80] = {};   // bytes 100-179
  char field6[15] = {};   // bytes 205-219

  explicit ParcelValues(const ParcelFields& f);
  // Writes the values into a parcel block of at least 228 bytes.
  void applyTo(uint8_t* block) const;
};

// Boundary-point attribute file: "%s %s %s %s %s ". Field 1 is the point name.
struct BoundaryPointFields {
  static constexpr int kFields = 5;

  char name[12] = {};
  std::string field2;
  std::string field3;
  std::string field4;
  std::string field5;

  int scan(const std::string& line);
  std::string_view key() const { return name; }
};

struct BoundaryPointValues {
  char field2[10] = {};  // bytes 0-9
  char field3[10] = {};  // bytes 10-19
  char field4[7] = {};   // bytes 20-26
  char field5[9] = {};   // bytes 27-35

  explicit BoundaryPointValues(const BoundaryPointFields& f);
  // Writes the values into a boundary-point block of at least 38 bytes.
  void applyTo(uint8_t* block) const;
};

// House attribute file: "%s %s %d ". Field 1 is the house feature's name.
struct HouseFields {
  static constexpr int kFields = 3;

  char name[12] = {};
  std::string structure;
  int32_t floors = 0;

  int scan(const std::string& line);
  std::string_view key() const { return name; }
};

struct HouseValues {
  char structure[10] = {};  // bytes 0-9
  int32_t floors = 0;       // bytes 10-11, its low 16 bits

  explicit HouseValues(const HouseFields& f);
  // Writes the values into a house block of at least 20 bytes.
  void applyTo(uint8_t* block) const;
};

// One attribute file read once: for each key, the values of the first line
// that has it. A key is at most its field's width less one byte, since a
// longer token is cut when it is scanned.
//
// For a caller's warnings it also keeps the lines that did not give all
// their fields (a blank line changes nothing and is not among them) and
// which keys a lookup found.
template <typename Fields, typename Values>
class AttributeFileIndex {
 public:
  // Reads the whole file. False when it cannot be opened (the index is then empty).
  bool load(const std::string& path);
  void clear() {
    first_.clear();
    unscanned_ = LineTally();
  }

  const Values* find(std::string_view key) const {
    auto it = first_.find(std::string(key));
    if (it == first_.end()) return nullptr;
    it->second.found = true;
    return &it->second.values;
  }
  size_t keyCount() const { return first_.size(); }

  const LineTally& unscannedLines() const { return unscanned_; }
  // The keys no lookup has found, in the order of their lines.
  KeyTally keysNotFound() const;

 private:
  struct Entry {
    Entry(const Fields& fields, long fileLine) : values(fields), line(fileLine) {}
    Values values;
    long line;
    mutable bool found = false;
  };
  std::unordered_map<std::string, Entry> first_;
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
