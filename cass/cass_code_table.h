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

  size_t size() const { return entries_.size(); }

 private:
  // The codes sit one after another in one string, under an open-addressing
  // table of entry numbers: a lookup (one per feature of a conversion) makes
  // no string of its own.
  struct Entry {
    uint32_t offset, length;
    int32_t hostCode;
  };
  std::string_view codeOf(const Entry& e) const { return std::string_view(codes_).substr(e.offset, e.length); }
  // The slot holding `code`, or the empty slot where it would go.
  size_t probe(std::string_view code) const;
  void clear();

  bool loaded_ = false;
  std::string codes_;
  std::vector<Entry> entries_;
  std::vector<uint32_t> slots_;  // entry number + 1, 0 when empty; a power of two, at most half full
};

}  // namespace dz
