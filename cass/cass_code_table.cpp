#include "cass/cass_code_table.h"

#include "base/classic_scan.h"
#include "base/file_io.h"
#include "base/line_reader.h"
#include "cass/cass_converter.h"

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
  loaded_ = true;
  return true;
}

int32_t CassCodeTable::find(std::string_view code) const {
  // An empty code can only match before the first token, where the result
  // is still 0: the same as no match.
  auto it = first_.find(std::string(code));
  return it == first_.end() ? 0 : it->second;
}


int CCassConverter::LookupCassCode(const std::string& code) {
  // A table that could not be opened is tried again at every lookup, so a
  // missing table is reported once per feature header.
  if (!m_codeTable.isLoaded()) {
    const uint8_t* info = m_host.GetHostInfo(0);
    const std::string dir = info ? std::string(reinterpret_cast<const char*>(info + kHostInfoDirOffset)) : "";
    if (!m_codeTable.load(dz::joinPath(dir, "CASSCode.txt"))) {
      m_messages.ShowMessage("can't find CASSCode.txt failed!!", ui::kMbOk);
      return 0;
    }
  }
  return m_codeTable.find(code);
}

}  // namespace dz
