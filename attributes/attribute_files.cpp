#include "attributes/attribute_files.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "base/byte_hash.h"
#include "base/classic_scan.h"
#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/gbk.h"
#include "base/text_input.h"

namespace dz::attributes {

namespace {

// A text field of a block: the token, cut to leave room for a terminating
// zero and never through a two-byte character, then zero-padded.
template <size_t N>
void copyText(char (&field)[N], const KeptText<N>& kept) {
  const std::string_view token = arrayText(kept);
  const size_t cut = gbkPrefixLength(token, N - 1);
  // All N bytes moved at once (a known size needs no call), those past the
  // cut then cleared.
  std::memcpy(field, kept, N);
  std::memset(field + cut, 0, N - cut);
}

}  // namespace

// --- parcels ----------------------------------------------------------------

// Each line is scanned field by field as its format takes it, the fields
// in the format's order (see ScanCursor).
int ParcelFields::scan(std::string_view line) {
  // "%s %s %s %s %s %s %lf %lf %s %d %s": fields 3, 5, 9 and 11 only count,
  // and a line that lacks one is short.
  ScanCursor c(line);
  static_cast<void>(c.text(number, numberLength) && c.text(field2, field2Length) && c.skipText() &&
                    c.text(field4, field4Length) && c.skipText() && c.text(field6, field6Length) && c.real(field7) &&
                    c.real(field8) && c.skipText() && c.integer(field10) && c.skipText());
  return c.result();
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
  // "%s %s %s %s %s " (the blank at its end changes nothing)
  ScanCursor c(line);
  static_cast<void>(c.text(name, nameLength) && c.text(field2, field2Length) && c.text(field3, field3Length) &&
                    c.text(field4, field4Length) && c.text(field5, field5Length));
  return c.result();
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
  // "%s %s %d "
  ScanCursor c(line);
  static_cast<void>(c.text(name, nameLength) && c.text(structure, structureLength) && c.integer(floors));
  return c.result();
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

namespace {

// A line's values packed into an entry straight from its fields: a number
// as its bytes, a text as its length and its bytes, cut as copyText cuts it
// for its block field (a KeptText<N> for a field of N bytes, with the length
// the scan kept). The text's whole field is moved at once, a size known when
// compiled: the entry's room has space for every text at its full width, and
// the bytes past its length are the next value's or the next entry's to
// write over.
struct Packer {
  uint8_t* out;
  template <size_t M>
  void operator()(const char (&kept)[M], size_t length) {
    constexpr size_t N = M - 1;  // the block field's width
    static_assert(N < 256, "a text's length takes one byte");
    const size_t cut = gbkPrefixLength(std::string_view(kept, length), N - 1);
    *out++ = static_cast<uint8_t>(cut);
    std::memcpy(out, kept, N);
    out += cut;
  }
  template <typename Number>
  void operator()(const Number& number) {
    std::memcpy(out, &number, sizeof number);
    out += sizeof number;
  }
};

// The values of an entry into a value's fields, each text zero-padded.
struct Unpacker {
  const uint8_t* in;
  template <size_t N>
  void operator()(char (&text)[N]) {
    // The whole field at once, as packed (the entry's room holds it), and
    // the bytes past the text cleared.
    const size_t n = *in++;
    std::memcpy(text, in, N);
    std::memset(text + n, 0, N - n);
    in += n;
  }
  template <typename Number>
  void operator()(Number& number) {
    std::memcpy(&number, in, sizeof number);
    in += sizeof number;
  }
};

// The lines a file of `size` bytes may have, from its first `lines` lines
// of `bytes` bytes in all, with a quarter to spare.
size_t expectedLines(uint64_t size, uint64_t bytes, long lines) {
  const double estimate = static_cast<double>(size) / static_cast<double>(bytes) * static_cast<double>(lines) * 1.25;
  return static_cast<size_t>(std::min(estimate, static_cast<double>(UINT32_MAX / 4)));
}

// Where an entry's parts lie: its size (two bytes), its found byte, its
// key's length, its key's bytes and its values.
constexpr size_t kEntrySize = 0;
constexpr size_t kFoundByte = 2;
constexpr size_t kKeyLength = 3;
constexpr size_t kKeyBytes = 4;

}  // namespace

template <typename Fields, typename Values>
size_t AttributeFileIndex<Fields, Values>::probe(std::string_view key, uint32_t hash) const {
  // A key with a zero byte is looked up like any other: no key of a file
  // has one (its token ends there), so no lookup of it finds an entry.
  const size_t length = key.size();
  const size_t count = slots_.size();
  for (size_t i = home(hash);; i = i + 1 == count ? 0 : i + 1) {
    const Slot& s = slots_[i];
    if (s.entry == 0) return i;
    if (s.hash != hash) continue;
    const uint8_t* e = entryAt(s);
    if (e[kKeyLength] == length && sameBytes(e + kKeyBytes, key.data(), length)) return i;
  }
}

template <typename Fields, typename Values>
const Values* AttributeFileIndex<Fields, Values>::find(std::string_view key) const {
  if (slots_.empty() || !fits(key)) return nullptr;
  const Slot& s = slots_[probe(key, hashText(key))];
  if (s.entry == 0) return nullptr;
  uint8_t* e = packed_.data() + (size_t{s.entry} - 1) * kAlign;
  e[kFoundByte] = 1;
  Unpacker unpack{e + kKeyBytes + e[kKeyLength]};
  found_.each(unpack);
  return &found_;
}

template <typename Fields, typename Values>
void AttributeFileIndex<Fields, Values>::prefetch(std::string_view key, bool entry) const {
  if (slots_.empty() || !fits(key)) return;
  const uint32_t hash = hashText(key);
  const Slot& s = slots_[home(hash)];
  if (!entry) {
    __builtin_prefetch(&s);
    return;
  }
  if (s.entry != 0 && s.hash == hash) __builtin_prefetch(entryAt(s));
}

template <typename Fields, typename Values>
void AttributeFileIndex<Fields, Values>::rehash(size_t slotCount) {
  ZeroedArray<Slot> old(slotCount);
  old.swap(slots_);
  for (const Slot& s : old) {
    if (s.entry == 0) continue;
    size_t i = home(s.hash);
    while (slots_[i].entry != 0) i = i + 1 == slotCount ? 0 : i + 1;
    slots_[i] = s;
  }
}

template <typename Fields, typename Values>
bool AttributeFileIndex<Fields, Values>::load(const std::string& path) {
  clear();
  InputLineReader reader;
  if (!reader.open(path)) return false;
  // A key a line at most: the table and the entries' room are sized once,
  // from the file's size and the length of its first lines and of their
  // entries, with no copies as they grow and no old table beside a new one
  // (and no reading of the file once more to count its lines). A file whose
  // later lines are shorter grows them.
  const uint64_t size = fileSize(path);
  uint64_t sampledBytes = 0;
  long sampledLines = 0;
  constexpr long kSampledLines = 64;
  Fields fields;  // cleared once; carried from line to line
  std::string_view line;
  // A line's entry is packed at the end of the buffer at once, and taken
  // (or dropped, for a key met before) kSettleBehind lines later: the trip
  // to memory for its slot, started when it was read, has come back by then
  // (one line behind, most settles still waited on it). The pending entries
  // lie one after another past the buffer's end, oldest first.
  struct Pending {
    uint32_t hash;
    uint32_t size;
  };
  Pending pending[kSettleBehind];
  size_t oldest = 0, pendingCount = 0;
  size_t pendingEnd = 0;  // the end of the newest pending entry
  const auto settleOldest = [&] {
    const Pending p = pending[oldest];
    oldest = (oldest + 1) % kSettleBehind;
    const size_t dropped = settle(p.hash, p.size, pendingEnd);
    pendingEnd = --pendingCount == 0 ? packed_.size() : pendingEnd - dropped;
  };
  bool sizeDue = false;
  while (reader.readLine(line)) {
    if (sampledLines < kSampledLines) {
      sampledBytes += line.size() + 1;
      sizeDue = ++sampledLines == kSampledLines;
    }
    const int scanned = fields.scan(line);
    if (scanned >= 0 && scanned < Fields::kFields) unscanned_.add(reader.lineNumber());
    const std::string_view key = fields.key();
    if (!fits(key)) continue;  // the scan never leaves such a key
    const uint32_t hash = hashText(key);
    if (pendingCount == kSettleBehind) settleOldest();
    if (sizeDue) {
      sizeDue = false;
      // The sampled lines' entries all taken first: their bytes measure the rest.
      while (pendingCount != 0) settleOldest();
      const size_t lines = expectedLines(size, sampledBytes, sampledLines);
      reserve(lines, packed_.size() / static_cast<size_t>(sampledLines) * lines);
    }
    if (!slots_.empty()) __builtin_prefetch(&slots_[home(hash)]);
    const size_t at = pendingCount == 0 ? nextEntry() : alignEntry(pendingEnd);
    const size_t entrySize = packAt(at, key, fields);
    pending[(oldest + pendingCount++) % kSettleBehind] = {hash, static_cast<uint32_t>(entrySize)};
    pendingEnd = at + entrySize;
  }
  while (pendingCount != 0) settleOldest();
  if (reader.failed()) {  // part of a file answers as no file
    clear();
    return false;
  }
  return true;
}

template <typename Fields, typename Values>
void AttributeFileIndex<Fields, Values>::reserve(size_t keys, size_t bytes) {
  try {
    if (slotsFor(keys) > slots_.size()) rehash(slotsFor(keys));
    packed_.reserve(bytes);
  } catch (const std::bad_alloc&) {
    // The table grows as the lines come instead.
  }
}

template <typename Fields, typename Values>
size_t AttributeFileIndex<Fields, Values>::packAt(size_t at, std::string_view key, const Fields& fields) {
  // The largest entry: every text as wide as its field, and their lengths.
  constexpr size_t kLargest = kKeyBytes + Fields::kKeyWidth + sizeof(Values) + sizeof(Values) / 2;
  static_assert(kLargest <= UINT16_MAX, "an entry's size takes two bytes");
  const size_t gap = at - packed_.size();
  uint8_t* e = packed_.room(gap + kLargest) + gap;
  e[kFoundByte] = 0;
  e[kKeyLength] = static_cast<uint8_t>(key.size());
  std::memcpy(e + kKeyBytes, key.data(), key.size());
  Packer pack{e + kKeyBytes + key.size()};
  Values::eachSource(fields, pack);
  const auto size = static_cast<uint16_t>(pack.out - e);
  std::memcpy(e + kEntrySize, &size, sizeof size);
  return size;
}

template <typename Fields, typename Values>
size_t AttributeFileIndex<Fields, Values>::settle(uint32_t hash, size_t size, size_t pendingEnd) {
  if (slotsFor(keyCount_ + 1) > slots_.size()) rehash(slotsFor(std::max<size_t>(32, keyCount_ * 2)));
  const size_t at = nextEntry();
  // The key as the entry holds it: the line's fields have moved on.
  uint8_t* e = packed_.data() + at;
  const std::string_view key(reinterpret_cast<const char*>(e + kKeyBytes), e[kKeyLength]);
  Slot& s = slots_[probe(key, hash)];
  if (s.entry != 0) {
    // The first line of a key wins: this one is dropped, and the entries
    // packed after it move up into its place.
    const size_t next = alignEntry(at + size);
    if (pendingEnd > next) std::memmove(e, packed_.data() + next, pendingEnd - next);
    return next - at;
  }
  if (at / kAlign + 1 > UINT32_MAX) throw std::bad_alloc();  // beyond what a slot can name
  packed_.take(at - packed_.size() + size);
  s = {hash, static_cast<uint32_t>(at / kAlign + 1)};
  ++keyCount_;
  return 0;
}

template <typename Fields, typename Values>
KeyTally AttributeFileIndex<Fields, Values>::keysNotFound() const {
  // The entries are in the order of their first lines already, and each
  // key is in one: only the first few are kept as text, with no search
  // among them for the same key.
  KeyTally tally;
  for (size_t at = 0; at < packed_.size();) {
    const uint8_t* e = packed_.data() + at;
    const size_t length = e[kKeyLength];
    if (!e[kFoundByte] && length != 0) {
      ++tally.count;
      if (tally.keys.size() < KeyTally::kKept)
        tally.keys.emplace_back(reinterpret_cast<const char*>(e + kKeyBytes), length);
      else
        tally.moreKeys = true;
    }
    uint16_t size;
    std::memcpy(&size, e + kEntrySize, sizeof size);
    at = (at + size + kAlign - 1) / kAlign * kAlign;
  }
  return tally;
}

template class AttributeFileIndex<ParcelFields, ParcelValues>;
template class AttributeFileIndex<BoundaryPointFields, BoundaryPointValues>;
template class AttributeFileIndex<HouseFields, HouseValues>;

}  // namespace dz::attributes
