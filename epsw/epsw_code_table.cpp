#include "epsw/epsw_code_table.h"

#include "base/classic_scan.h"
#include "base/line_reader.h"

namespace dz {
namespace {
const ScanFormat kCodeLine("%ld %ld %s");
}  // namespace

bool EpswCodeTable::load(const std::string& path) {
  first_.clear();
  LineReader reader;
  if (!reader.open(path)) return false;
  // A line that does not parse keeps the numbers of the line before it, so it
  // repeats (or, half parsed, mixes) an earlier mapping. Until some line has
  // given an EPSW code there is nothing to repeat: such lines map nothing.
  int32_t epswCode = 0;
  int32_t hostCode = 0;
  bool haveCode = false;
  std::string_view line;
  std::string description;
  while (reader.readLine(line)) {
    const int assigned = kCodeLine.scan(line, {ScanTarget::integer(epswCode), ScanTarget::integer(hostCode),
                                               ScanTarget::text(description, 199)});
    if (assigned >= 1) haveCode = true;
    // The first line for a code wins, as the first match of a scan would.
    if (haveCode) first_.emplace(epswCode, hostCode);
  }
  if (reader.failed()) {  // part of a table is no table
    first_.clear();
    return false;
  }
  return true;
}

int32_t EpswCodeTable::find(int32_t epswCode) const {
  const auto it = first_.find(epswCode);
  return it == first_.end() ? 0 : it->second;
}

}  // namespace dz
