// The CASS code table (CASSCode.txt in the host directory): one "code
// host-code" mapping per line, read with "%s %d". The table is read once and
// kept as an index whose answers are those of a scan from the top.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

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

  size_t size() const { return first_.size(); }

 private:
  bool loaded_ = false;
  std::unordered_map<std::string, int32_t> first_;
};

}  // namespace dz
