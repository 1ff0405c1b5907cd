#include "cass/cass_code_table.h"

#include "base/classic_scan.h"
#include "base/line_reader.h"

namespace dz {

bool CassCodeTable::load(const std::string& path) {
  LineReader reader;
  if (!reader.open(path)) return false;
  first_.clear();
  // Both fields live across lines: a line that does not supply one leaves
  // the value of an earlier line, exactly as the lookup scan sees them.
  std::string token;
  int32_t result = 0;
  std::string line;
  while (reader.readLine(line)) {
    if (scanFormat(line, "%s %d", {ScanTarget::text(token), ScanTarget::integer(result)}) < 1) continue;
    first_.emplace(token, result);  // keeps the first line of each code
  }
  if (reader.failed()) {  // part of a table is no table
    first_.clear();
    return false;
  }
  loaded_ = true;
  return true;
}

int32_t CassCodeTable::find(std::string_view code) const {
  // An empty code can only match before the first token, where the result
  // is still 0: the same as no match.
  auto it = first_.find(std::string(code));
  return it == first_.end() ? 0 : it->second;
}

}  // namespace dz
