#include "cass/cass_code_table.h"

#include "base/byte_hash.h"
#include "base/classic_scan.h"
#include "base/line_reader.h"

namespace dz {
namespace {
const ScanFormat kCodeLine("%s %d");
}  // namespace

void CassCodeTable::clear() {
  codes_.clear();
  entries_.clear();
  slots_.clear();
}

size_t CassCodeTable::probe(std::string_view code) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hashText(code) & mask;; i = (i + 1) & mask) {
    const uint32_t slot = slots_[i];
    if (slot == 0 || codeOf(entries_[slot - 1]) == code) return i;
  }
}

bool CassCodeTable::load(const std::string& path) {
  LineReader reader;
  if (!reader.open(path)) return false;
  clear();
  // Both fields live across lines: a line that does not supply one leaves
  // the value of an earlier line, exactly as the lookup scan sees them.
  std::string token;
  int32_t result = 0;
  std::string_view line;
  while (reader.readLine(line)) {
    if (kCodeLine.scan(line, {ScanTarget::text(token), ScanTarget::integer(result)}) < 1) continue;
    if ((entries_.size() + 1) * 2 > slots_.size()) {
      slots_.assign(slots_.empty() ? 64 : slots_.size() * 2, 0);
      for (size_t e = 0; e < entries_.size(); ++e) slots_[probe(codeOf(entries_[e]))] = static_cast<uint32_t>(e + 1);
    }
    uint32_t& slot = slots_[probe(token)];
    if (slot != 0) continue;  // the first line of each code is kept
    entries_.push_back(Entry{static_cast<uint32_t>(codes_.size()), static_cast<uint32_t>(token.size()), result});
    codes_ += token;
    slot = static_cast<uint32_t>(entries_.size());
  }
  if (reader.failed()) {  // part of a table is no table
    clear();
    return false;
  }
  loaded_ = true;
  return true;
}

int32_t CassCodeTable::find(std::string_view code) const {
  // An empty code can only match before the first token, where the result
  // is still 0: the same as no match.
  if (slots_.empty()) return 0;
  const uint32_t slot = slots_[probe(code)];
  return slot == 0 ? 0 : entries_[slot - 1].hostCode;
}

}  // namespace dz
