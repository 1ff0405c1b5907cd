#include "attributes/attribute_files.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "base/classic_scan.h"
#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/gbk.h"
#include "base/huge_pages.h"
#include "base/text_input.h"

namespace dz::attributes {

using T = ScanTarget;

namespace {

// The lines of the three files, taken apart once.
const ScanFormat kParcelLine("%s %s %s %s %s %s %lf %lf %s %d %s");
const ScanFormat kBoundaryPointLine("%s %s %s %s %s ");
const ScanFormat kHouseLine("%s %s %d ");

// A text field of a block: the token, cut to leave room for a terminating
// zero and never through a two-byte character, then zero-padded.
template <size_t N>
void copyText(char (&field)[N], const KeptText<N>& kept) {
  const std::string_view token(kept);
  const size_t cut = gbkPrefixLength(token, N - 1);
  // All N bytes moved at once (a known size needs no call), those past the
  // cut then cleared.
  std::memcpy(field, kept, N);
  std::memset(field + cut, 0, N - cut);
}

}  // namespace

// --- parcels ----------------------------------------------------------------

int ParcelFields::scan(std::string_view line) {
  // Fields 3, 5, 9 and 11 only count: a line that lacks one is short.
  return kParcelLine.scan(line, {T::text(number, sizeof number), T::text(field2, sizeof field2), T::unusedText(),
                                 T::text(field4, sizeof field4), T::unusedText(), T::text(field6, sizeof field6),
                                 T::real(field7), T::real(field8), T::unusedText(), T::integer(field10),
                                 T::unusedText()});
}

ParcelValues::ParcelValues(const ParcelFields& f) : field7(f.field7), field8(f.field8) {
  copyText(field4, f.field4);
  copyText(field2, f.field2);
  copyText(field6, f.field6);
}

void ParcelValues::applyTo(uint8_t* block) const {
  putLE<double>(block, 0, field7);
  putLE<double>(block, 8, field8);
  std::memcpy(block + 80, field4, sizeof field4);
  std::memcpy(block + 100, field2, sizeof field2);
  std::memcpy(block + 205, field6, sizeof field6);
}

// --- boundary points --------------------------------------------------------

int BoundaryPointFields::scan(std::string_view line) {
  return kBoundaryPointLine.scan(line, {T::text(name, sizeof name), T::text(field2, sizeof field2),
                                        T::text(field3, sizeof field3), T::text(field4, sizeof field4),
                                        T::text(field5, sizeof field5)});
}

BoundaryPointValues::BoundaryPointValues(const BoundaryPointFields& f) {
  copyText(field2, f.field2);
  copyText(field3, f.field3);
  copyText(field4, f.field4);
  copyText(field5, f.field5);
}

void BoundaryPointValues::applyTo(uint8_t* block) const {
  std::memcpy(block + 0, field2, sizeof field2);
  std::memcpy(block + 10, field3, sizeof field3);
  std::memcpy(block + 20, field4, sizeof field4);
  std::memcpy(block + 27, field5, sizeof field5);
}

// --- houses -----------------------------------------------------------------

int HouseFields::scan(std::string_view line) {
  return kHouseLine.scan(line, {T::text(name, sizeof name), T::text(structure, sizeof structure), T::integer(floors)});
}

HouseValues::HouseValues(const HouseFields& f) : floors(f.floors) {
  copyText(structure, f.structure);
}

void HouseValues::applyTo(uint8_t* block) const {
  std::memcpy(block, structure, sizeof structure);
  // A floor count beyond 16 bits keeps only its low 16 bits.
  putLE<int16_t>(block, 10, static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(floors))));
}

// --- the index ---------------------------------------------------------------

template <typename Fields, typename Values>
bool AttributeFileIndex<Fields, Values>::pad(std::string_view key, Key& padded) {
  if (key.size() >= padded.size() || std::memchr(key.data(), 0, key.size())) return false;
  padded.fill(0);
  std::memcpy(padded.data(), key.data(), key.size());
  return true;
}

template <typename Fields, typename Values>
uint32_t AttributeFileIndex<Fields, Values>::hashOf(const Key& key) {
  // Eight bytes at a time, mixed by multiplication; the bytes past the last
  // whole word make one word of their own.
  uint64_t h = 0x9E3779B97F4A7C15ull;
  for (size_t i = 0; i < key.size(); i += 8) {
    uint64_t w = 0;
    std::memcpy(&w, key.data() + i, std::min<size_t>(8, key.size() - i));
    h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
  }
  return static_cast<uint32_t>(h ^ (h >> 32));
}

namespace {

// Two padded keys compared eight bytes at a time, the tail as one word: a
// call to memcmp per probe cost more than the compare.
template <size_t Width>
bool sameKey(const std::array<char, Width>& a, const std::array<char, Width>& b) {
  uint64_t differ = 0;
  for (size_t i = 0; i < Width; i += 8) {
    uint64_t x = 0, y = 0;
    std::memcpy(&x, a.data() + i, std::min<size_t>(8, Width - i));
    std::memcpy(&y, b.data() + i, std::min<size_t>(8, Width - i));
    differ |= x ^ y;
  }
  return differ == 0;
}

}  // namespace

template <typename Fields, typename Values>
size_t AttributeFileIndex<Fields, Values>::probe(const Key& key, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.entry == 0 || (s.hash == hash && sameKey(entries_[s.entry - 1].key, key))) return i;
  }
}

template <typename Fields, typename Values>
const Values* AttributeFileIndex<Fields, Values>::find(std::string_view key) const {
  Key padded;
  if (entries_.empty() || !pad(key, padded)) return nullptr;
  const Slot& s = slots_[probe(padded, hashOf(padded))];
  if (s.entry == 0) return nullptr;
  const Entry& e = entries_[s.entry - 1];
  e.found = true;
  return &e.values;
}

template <typename Fields, typename Values>
void AttributeFileIndex<Fields, Values>::prefetch(std::string_view key, bool entry) const {
  Key padded;
  if (entries_.empty() || !pad(key, padded)) return;
  const uint32_t hash = hashOf(padded);
  const size_t home = hash & (slots_.size() - 1);
  if (!entry) {
    __builtin_prefetch(&slots_[home]);
    return;
  }
  const Slot& s = slots_[home];
  if (s.entry != 0 && s.hash == hash) __builtin_prefetch(&entries_[s.entry - 1]);
}

template <typename Fields, typename Values>
void AttributeFileIndex<Fields, Values>::rehash(size_t slotCount) {
  ZeroedArray<Slot> old(slotCount);
  adviseHugePages(old.data(), slotCount * sizeof(Slot));
  old.swap(slots_);
  const size_t mask = slotCount - 1;
  for (const Slot& s : old) {
    if (s.entry == 0) continue;
    size_t i = s.hash & mask;
    while (slots_[i].entry != 0) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

template <typename Fields, typename Values>
bool AttributeFileIndex<Fields, Values>::load(const std::string& path) {
  clear();
  InputLineReader reader;
  if (!reader.open(path)) return false;
  // A key a line at most: the tables are sized once, with no copies as they
  // grow and no old table beside a new one.
  reserve(static_cast<size_t>(std::min<uint64_t>(lineCount(path), UINT32_MAX / 2)));
  Fields fields;  // cleared once; carried from line to line
  std::string_view line;
  // A line's entry goes in while the next line is scanned: the trip to
  // memory for its slot, started when it was read, has come back by then.
  std::optional<Entry> pending;
  uint32_t pendingHash = 0;
  while (reader.readLine(line)) {
    const int scanned = fields.scan(line);
    if (scanned >= 0 && scanned < Fields::kFields) unscanned_.add(reader.lineNumber());
    Key key;
    if (!pad(fields.key(), key)) continue;  // the scan never leaves such a key
    const uint32_t hash = hashOf(key);
    if (!slots_.empty()) __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
    if (pending) insert(std::move(*pending), pendingHash);
    pending.emplace(Entry{key, Values(fields), reader.lineNumber()});
    pendingHash = hash;
  }
  if (pending) insert(std::move(*pending), pendingHash);
  if (reader.failed()) {  // part of a file answers as no file
    clear();
    return false;
  }
  return true;
}

template <typename Fields, typename Values>
void AttributeFileIndex<Fields, Values>::reserve(size_t keys) {
  try {
    size_t slots = 64;
    while (slots < 2 * (keys + 1)) slots *= 2;
    if (slots > slots_.size()) rehash(slots);
    if (keys > entries_.capacity()) {
      std::vector<Entry> room;
      room.reserve(keys);
      adviseHugePages(room.data(), room.capacity() * sizeof(Entry));
      room.insert(room.end(), entries_.begin(), entries_.end());
      entries_.swap(room);
    }
  } catch (const std::bad_alloc&) {
    // The tables grow as the lines come instead.
  }
}

template <typename Fields, typename Values>
void AttributeFileIndex<Fields, Values>::insert(Entry&& entry, uint32_t hash) {
  if ((entries_.size() + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 64 : slots_.size() * 2);
  Slot& s = slots_[probe(entry.key, hash)];
  // The first line of a key wins: later lines with the same key change nothing.
  if (s.entry != 0) return;
  if (entries_.size() == entries_.capacity()) {
    // Grown here rather than by push_back, to ask for huge pages before
    // the entries are copied in: they are read at random by every lookup.
    std::vector<Entry> larger;
    larger.reserve(std::max<size_t>(64, entries_.size() * 2));
    adviseHugePages(larger.data(), larger.capacity() * sizeof(Entry));
    larger.insert(larger.end(), entries_.begin(), entries_.end());
    entries_.swap(larger);
  }
  entries_.push_back(std::move(entry));
  s = {hash, static_cast<uint32_t>(entries_.size())};
}

template <typename Fields, typename Values>
KeyTally AttributeFileIndex<Fields, Values>::keysNotFound() const {
  // The entries are in the order of their first lines already.
  KeyTally tally;
  for (const Entry& e : entries_)
    if (!e.found && e.key[0] != 0) tally.add(std::string(e.key.data()));
  return tally;
}

template class AttributeFileIndex<ParcelFields, ParcelValues>;
template class AttributeFileIndex<BoundaryPointFields, BoundaryPointValues>;
template class AttributeFileIndex<HouseFields, HouseValues>;

}  // namespace dz::attributes
