#include "cass/parcel_import.h"

#include <algorithm>
#include <cstring>

#include "base/byte_hash.h"
#include "base/classic_scan.h"
#include "base/fixed_field.h"
#include "base/text_input.h"
#include "host/records.h"

namespace dz {
namespace {

const ScanFormat kParcelLine("%s %s %s %s %lf %lf %lf %s %s %s %s %s");
}  // namespace

void QsParcelIndex::sortByHash(std::vector<Keyed>& lines) {
  // The lines come in their order, so a stable sort by hash alone orders
  // them by hash and then by number: four passes of a byte each, where a
  // sort by comparison takes a pass for every doubling of the file.
  std::vector<Keyed> other(lines.size());
  for (int shift = 0; shift < 32; shift += 8) {
    size_t counts[257] = {};
    for (const Keyed& k : lines) ++counts[((k.hash >> shift) & 0xFF) + 1];
    for (size_t b = 1; b < 257; ++b) counts[b] += counts[b - 1];
    for (const Keyed& k : lines) other[counts[(k.hash >> shift) & 0xFF]++] = k;
    lines.swap(other);
  }
}

bool QsParcelIndex::load(const std::string& path) {
  InputLineReader reader;
  if (!reader.open(path)) return false;
  *this = QsParcelIndex();
  text_.reserve(static_cast<size_t>(std::min<uint64_t>(inputFileSize(path), SIZE_MAX / 2)));
  std::string_view line;
  while (reader.readLine(line)) {
    text_ += line;
    starts_.push_back(text_.size());
  }
  // Lines are numbered in 32 bits: four thousand million lines do not fit a
  // process anyway.
  if (reader.failed() || lineCount() > UINT32_MAX) {  // part of a file answers as no file
    *this = QsParcelIndex();
    return false;
  }
  byText_.reserve(lineCount());
  for (size_t i = 0; i < lineCount(); ++i) {
    const std::string_view text = this->line(i);
    byText_.push_back(Keyed{hashText(text), static_cast<uint32_t>(i)});
    if (!text.empty() && text[0] == 'E') endLines_.push_back(static_cast<uint32_t>(i));
  }
  sortByHash(byText_);
  loaded_ = true;
  return true;
}

size_t QsParcelIndex::findLine(std::string_view text, size_t from) const {
  if (from >= lineCount()) return lineCount();
  const uint32_t hash = hashText(text);
  auto at = std::lower_bound(byText_.begin(), byText_.end(), Keyed{hash, static_cast<uint32_t>(from)});
  for (; at != byText_.end() && at->hash == hash; ++at)
    if (line(at->line) == text) return at->line;
  return lineCount();
}

size_t QsParcelIndex::findEndLine(size_t from) const {
  if (from >= lineCount()) return lineCount();
  auto at = std::lower_bound(endLines_.begin(), endLines_.end(), static_cast<uint32_t>(from));
  return at == endLines_.end() ? lineCount() : *at;
}

bool CassParcelAttributeIndex::load(const std::string& path) {
  InputLineReader reader;
  if (!reader.open(path)) return false;
  entries_.clear();
  slots_.clear();
  // One set of fields for the whole file, cleared only here: a short line
  // leaves the fields it lacks as the last line that had them set them.
  CassParcelAttributeFields fields;
  std::string field1, field3, field10, field11;
  std::string_view line;
  while (reader.readLine(line)) {
    // Twelve conversions, eleven destinations: a twelfth field is ignored.
    kParcelLine.scan(line, {ScanTarget::text(field1), ScanTarget::text(fields.parcel), ScanTarget::text(field3),
                            ScanTarget::text(fields.field4), ScanTarget::real(fields.field5),
                            ScanTarget::real(fields.field6), ScanTarget::real(fields.field7),
                            ScanTarget::text(fields.field8), ScanTarget::text(fields.ownership),
                            ScanTarget::text(field10), ScanTarget::text(field11)});
    // The first line of each parcel wins.
    if ((entries_.size() + 1) * 2 > slots_.size()) grow();
    const uint32_t hash = hashText(fields.parcel);
    Slot& slot = slots_[probe(fields.parcel, hash)];
    if (slot.entry != 0) continue;
    entries_.push_back(fields);
    slot = Slot{hash, static_cast<uint32_t>(entries_.size())};
  }
  if (reader.failed()) {  // part of a file answers as no file
    entries_.clear();
    slots_.clear();
    return false;
  }
  loaded_ = true;
  return true;
}

size_t CassParcelAttributeIndex::probe(std::string_view parcel, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.entry == 0 || (slot.hash == hash && entries_[slot.entry - 1].parcel == parcel)) return i;
  }
}

void CassParcelAttributeIndex::grow() {
  std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2, Slot{0, 0});
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  // The parcels are distinct: each goes to the first empty slot from its hash.
  for (const Slot& slot : old) {
    if (slot.entry == 0) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].entry != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

const CassParcelAttributeFields* CassParcelAttributeIndex::find(std::string_view parcel) const {
  if (slots_.empty()) return nullptr;
  const Slot& slot = slots_[probe(parcel, hashText(parcel))];
  return slot.entry == 0 ? nullptr : &entries_[slot.entry - 1];
}

uint8_t ownershipCode(std::string_view text) {
  if (text == "国有土地所有权") return 1;
  if (text == "私有土地所有权") return 2;
  if (text == "集体土地所有权") return 0;
  return 3;
}

void fillParcelAttributes(uint8_t* block, const CassParcelAttributeFields& f) {
  std::memset(block, 0, kParcelAttributesSize);
  putLE<double>(block, 0, f.field5);
  putLE<double>(block, 8, f.field7);
  putLE<double>(block, 16, f.field6);
  copyField(reinterpret_cast<char*>(block + 40), 40, f.parcel);
  copyField(reinterpret_cast<char*>(block + 80), 20, f.field4);
  copyField(reinterpret_cast<char*>(block + 100), 80, f.field8);
  block[224] = ownershipCode(f.ownership);
}

}  // namespace dz
