#include "cass/cass_code_table.h"

#include <algorithm>
#include <cstring>

#include "base/byte_hash.h"
#include "base/classic_scan.h"
#include "base/file_io.h"
#include "base/line_reader.h"

namespace dz {
namespace {
const ScanFormat kCodeLine("%s %d");
}  // namespace

void CassCodeTable::clear() {
  count_ = 0;
  slots_.clear();
  codes_.clear();
  longCodes_.clear();
}

uint32_t CassCodeTable::slotHash(std::string_view code) {
  // The low four bits are the code's length (15 for any longer than a
  // head), so that equal hashes and heads are equal codes of up to 8 bytes,
  // "ab" and "ab\0" included; a code is never empty, so no hash is 0.
  return (hashText(code) & ~0xFu) | static_cast<uint32_t>(std::min<size_t>(code.size(), 15));
}

uint64_t CassCodeTable::headOf(std::string_view code) {
  uint64_t head = 0;
  std::memcpy(&head, code.data(), std::min<size_t>(code.size(), sizeof head));
  return head;
}

bool CassCodeTable::holds(size_t slot, std::string_view code, uint32_t hash, uint64_t head) const {
  const Slot& s = slots_[slot];
  if (s.hash != hash || s.head != head) return false;
  // Up to 8 bytes a code is its head and its length (in the hash); a
  // longer one is compared whole.
  if (code.size() <= sizeof head) return true;
  const LongCode& whole = longCodes_[slot];
  return std::string_view(codes_).substr(whole.offset, whole.length) == code;
}

size_t CassCodeTable::probe(std::string_view code, uint32_t hash, uint64_t head) const {
  const size_t count = slots_.size();
  for (size_t i = home(hash);; i = i + 1 == count ? 0 : i + 1)
    if (slots_[i].hash == 0 || holds(i, code, hash, head)) return i;
}

void CassCodeTable::rehash(size_t slotCount) {
  std::vector<Slot> oldSlots(slotCount);
  std::vector<LongCode> oldLong(longCodes_.empty() ? 0 : slotCount);
  oldSlots.swap(slots_);
  oldLong.swap(longCodes_);
  for (size_t i = 0; i < oldSlots.size(); ++i) {
    if (oldSlots[i].hash == 0) continue;
    size_t j = home(oldSlots[i].hash);
    while (slots_[j].hash != 0) j = j + 1 == slots_.size() ? 0 : j + 1;
    slots_[j] = oldSlots[i];
    if (!longCodes_.empty()) longCodes_[j] = oldLong[i];
  }
}

bool CassCodeTable::load(const std::string& path) {
  LineReader reader;
  if (!reader.open(path)) return false;
  clear();
  // A line "code host-code" is about a dozen bytes: a table sized from the
  // file's length is made once, where one grown from nothing is made anew at
  // every doubling and ends up to twice as large. (Bounded: a file larger
  // than any table of codes grows its table as it is read.)
  constexpr uint64_t kLineBytes = 12, kMostExpected = 1 << 16;
  rehash(2 * static_cast<size_t>(std::clamp<uint64_t>(fileSize(path) / kLineBytes, 32, kMostExpected)) + 1);
  // Both fields live across lines: a line that does not supply one leaves
  // the value of an earlier line, exactly as the lookup scan sees them.
  std::string token;
  int32_t result = 0;
  std::string_view line;
  while (reader.readLine(line)) {
    if (kCodeLine.scan(line, {ScanTarget::text(token), ScanTarget::integer(result)}) < 1) continue;
    if (2 * (count_ + 1) >= slots_.size()) rehash(2 * slots_.size() + 1);
    const uint32_t hash = slotHash(token);
    const uint64_t head = headOf(token);
    const size_t at = probe(token, hash, head);
    Slot& slot = slots_[at];
    if (slot.hash != 0) continue;  // the first line of each code is kept
    slot = Slot{head, hash, result};
    if (token.size() > sizeof head) {
      // Kept beside the slots only once a file has a code this long.
      if (longCodes_.empty()) longCodes_.resize(slots_.size());
      longCodes_[at] = LongCode{static_cast<uint32_t>(codes_.size()), static_cast<uint32_t>(token.size())};
      codes_ += token;
    }
    ++count_;
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
  if (slots_.empty() || code.empty()) return 0;
  const Slot& slot = slots_[probe(code, slotHash(code), headOf(code))];
  return slot.hash == 0 ? 0 : slot.hostCode;
}

}  // namespace dz
