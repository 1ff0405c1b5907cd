// The two side files of the parcels, each read once per run and indexed so
// that every answer is the one a scan from the top would give:
// - the .qs parcel boundary file: blocks that begin with a line holding the
//   parcel number and list the boundary points (name, second coordinate,
//   first coordinate), ended by a line that begins with "E";
// - the parcel attribute file: one parcel per line, white-space separated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dz {

// The .qs parcel boundary file, kept whole: a ring is walked line by line.
class QsParcelIndex {
 public:
  // Reads the whole file; false (and nothing kept) when it cannot be opened.
  bool load(const std::string& path);
  bool isLoaded() const { return loaded_; }

  size_t lineCount() const { return starts_.size() - 1; }
  std::string_view line(size_t i) const {
    return std::string_view(text_).substr(starts_[i], starts_[i + 1] - starts_[i]);
  }
  // The first line at or after `from` equal to `text`; lineCount() if none.
  size_t findLine(std::string_view text, size_t from) const;
  // The first line at or after `from` that begins with "E"; lineCount() if none.
  size_t findEndLine(size_t from) const;

 private:
  // A line by the hash of its text: lines of one text lie together in the
  // order of the file, and lines of another text with the same hash among
  // them are passed over.
  struct Keyed {
    uint32_t hash;
    uint32_t line;
    bool operator<(const Keyed& o) const { return hash != o.hash ? hash < o.hash : line < o.line; }
  };

  // Orders `lines`, given in the order of the file, by hash and then by number.
  static void sortByHash(std::vector<Keyed>& lines);

  bool loaded_ = false;
  std::string text_;                 // the lines one after the other, without their ends
  std::vector<size_t> starts_{0};    // where each line begins in text_, and where the last ends
  std::vector<Keyed> byText_;        // every line, ordered by hash and then by number
  std::vector<uint32_t> endLines_;   // the lines that begin with "E"
};

// The fields of a line of the parcel attribute file that the parcel feature
// receives. Fields a line lacks keep the values of the last line that had them.
struct CassParcelAttributeFields {
  std::string parcel;  // field 2
  std::string field4;
  double field5 = 0;
  double field6 = 0;
  double field7 = 0;
  std::string field8;
  std::string ownership;  // field 9
};

// The parcel attribute file of the CASS conversion ("%s %s %s %s %lf %lf %lf
// %s %s %s %s %s", the parcel number in field 2).
class CassParcelAttributeIndex {
 public:
  bool load(const std::string& path);
  bool isLoaded() const { return loaded_; }
  // The fields as they stood at the first line whose field 2 is `parcel`;
  // null when no line has it.
  const CassParcelAttributeFields* find(std::string_view parcel) const;

 private:
  // Open addressing over the parcels' fields: a lookup in a large file
  // costs its slot and the fields it finds, where a map of strings costs a
  // bucket and a node apart from them.
  struct Slot {
    uint32_t hash;
    uint32_t entry;  // place in entries_ + 1; 0 marks an empty slot
  };
  // The slot of `parcel`, or the empty slot where it would go.
  size_t probe(std::string_view parcel, uint32_t hash) const;
  void grow();

  bool loaded_ = false;
  std::vector<CassParcelAttributeFields> entries_;  // each parcel's first line, in the file's order
  std::vector<Slot> slots_;                          // a power of two, at most half full
};

// 1 state-owned, 2 private, 0 collective, 3 anything else.
uint8_t ownershipCode(std::string_view text);

// The 228-byte attribute block of a parcel feature.
void fillParcelAttributes(uint8_t* block228, const CassParcelAttributeFields& fields);

}  // namespace dz
