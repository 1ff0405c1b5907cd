#include "standin/point_index.h"

#include "base/fixed_field.h"

namespace dz {

// The host's callers pass a name as a zero-ended string, often shorter than
// the twelve bytes a key reads. Twelve bytes that lie within the page of the
// first can be read whatever follows the zero (a read faults only across a
// page's end, as strlen's own word reads rely on), and the bytes after the
// zero are cut off, so the key is the same. The loads are plain loads of
// unaligned words, and the address sanitizer, which would take them for an
// overflow of a short string, does not look at them.
#if defined(__GNUC__) || defined(__clang__)
#define DZ_WITHIN_PAGE_READS 1
namespace {
typedef uint64_t __attribute__((may_alias, aligned(1))) LooseWord64;
typedef uint32_t __attribute__((may_alias, aligned(1))) LooseWord32;
}  // namespace
#endif

#ifdef DZ_WITHIN_PAGE_READS
__attribute__((no_sanitize_address))
#endif
NameKey NameKey::of(const char* field12) {
#ifdef DZ_WITHIN_PAGE_READS
  constexpr uintptr_t kPage = 4096;
  if (reinterpret_cast<uintptr_t>(field12) % kPage <= kPage - 12)
    return ofWords(*reinterpret_cast<const LooseWord64*>(field12),
                   *reinterpret_cast<const LooseWord32*>(field12 + 8));
#endif
  // Near a page's end, byte by byte up to the zero.
  NameKey k;
  for (size_t i = 0; i < k.bytes.size() && field12[i] != 0; ++i) k.bytes[i] = field12[i];
  return k;
}

NameKey NameKey::of(std::string_view name) {
  NameKey k;
  copyField(k.bytes.data(), k.bytes.size(), name);
  return k;
}

NameKey NameKey::ofField(const char* name12) {
  uint64_t a;
  uint32_t b;
  std::memcpy(&a, name12, 8);
  std::memcpy(&b, name12 + 8, 4);
  return ofWords(a, b);
}

NameKey NameKey::ofWords(uint64_t a, uint32_t b) {
  // The lowest byte that is zero (the first, little-endian) sets the lowest
  // flag; flags above it may be false, and do not matter.
  const uint64_t zeroA = (a - 0x0101010101010101ull) & ~a & 0x8080808080808080ull;
  if (zeroA != 0) {
    a &= (zeroA & (0 - zeroA)) / 0x80 - 1;  // the bytes below the first zero
    b = 0;
  } else {
    const uint32_t zeroB = (b - 0x01010101u) & ~b & 0x80808080u;
    if (zeroB != 0) b &= (zeroB & (0 - zeroB)) / 0x80 - 1;
  }
  NameKey k;
  std::memcpy(k.bytes.data(), &a, 8);
  std::memcpy(k.bytes.data() + 8, &b, 4);
  return k;
}

namespace {

uint32_t mix(uint64_t a, uint32_t b, uint64_t seed) {
  uint64_t h = (a ^ seed) * 0xBF58476D1CE4E5B9ull;
  h ^= (static_cast<uint64_t>(b) + (h >> 29)) * 0x94D049BB133111EBull;
  h ^= h >> 31;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

uint32_t NameKey::hash() const {
  uint64_t a;
  uint32_t b;
  std::memcpy(&a, bytes.data(), 8);
  std::memcpy(&b, bytes.data() + 8, 4);
  const size_t end = length();
  const unsigned last = end > 0 ? static_cast<unsigned char>(bytes[end - 1]) - '0' : 10;
  if (last < 10) {
    // Ten names that differ only in their last digit share a run of slots,
    // one each: a numbering (X1, X2, ...) fills a run before it moves to the
    // next, so that a million generated names cost a trip to memory per ten
    // instead of one each. The run is chosen by the rest of the name.
    if (end <= 8)
      a &= ~(uint64_t{0xFF} << (8 * (end - 1)));
    else
      b &= ~(uint32_t{0xFF} << (8 * (end - 9)));
    return (mix(a, b, 0x2545F4914F6CDD1Dull) & ~kSpreadMask) | last;
  }
  const uint32_t h = mix(a, b, 0x9E3779B97F4A7C15ull);
  return (h & ~kSpreadMask) | ((h & kSpreadMask) % kRunLength);
}

size_t NameKey::length() const {
  uint64_t a;
  uint32_t b;
  std::memcpy(&a, bytes.data(), 8);
  std::memcpy(&b, bytes.data() + 8, 4);
  // The lowest flag marks the first zero byte exactly (see ofRecord).
  const uint64_t zeroA = (a - 0x0101010101010101ull) & ~a & 0x8080808080808080ull;
  if (zeroA != 0) return static_cast<size_t>(__builtin_ctzll(zeroA) / 8);
  const uint32_t zeroB = (b - 0x01010101u) & ~b & 0x80808080u;
  return zeroB != 0 ? 8 + static_cast<size_t>(__builtin_ctz(zeroB) / 8) : bytes.size();
}

bool NameKey::successor(NameKey& next) const {
  const size_t end = length();
  next = *this;
  // Nine names in ten only move their last digit.
  if (end > 0 && next.bytes[end - 1] >= '0' && next.bytes[end - 1] < '9') {
    ++next.bytes[end - 1];
    return true;
  }
  size_t i = end;
  while (i > 0 && next.bytes[i - 1] == '9') next.bytes[--i] = '0';
  if (i > 0 && next.bytes[i - 1] >= '0' && next.bytes[i - 1] < '9') {
    ++next.bytes[i - 1];
    return true;
  }
  // Only nines: a digit more, where the name still ends in a digit.
  if (i == end || end == bytes.size()) return false;
  for (size_t j = end; j > i; --j) next.bytes[j] = next.bytes[j - 1];
  next.bytes[i] = '1';
  return true;
}

bool NameKey::afterNext(NameKey& after) const {
  const size_t end = length();
  // Eight names in ten only move their last digit, by two.
  if (end > 0 && bytes[end - 1] >= '0' && bytes[end - 1] < '8') {
    after = *this;
    after.bytes[end - 1] = static_cast<char>(after.bytes[end - 1] + 2);
    return true;
  }
  NameKey next;
  return successor(next) && next.successor(after);
}

namespace {

// Where the trailing digits of `key`'s first `end` bytes begin, and their value.
bool trailingNumber(const NameKey& key, size_t end, size_t& start, int64_t& value) {
  start = end;
  while (start > 0 && key.bytes[start - 1] >= '0' && key.bytes[start - 1] <= '9') --start;
  if (start == end || end - start > 9) return false;
  value = 0;
  for (size_t i = start; i < end; ++i) value = value * 10 + (key.bytes[i] - '0');
  return true;
}

}  // namespace

bool NameKey::numberedAfter(const NameKey& from, int64_t& distance) const {
  size_t start, fromStart;
  int64_t number, fromNumber;
  if (!trailingNumber(*this, length(), start, number) || !trailingNumber(from, from.length(), fromStart, fromNumber))
    return false;
  if (start != fromStart || std::memcmp(bytes.data(), from.bytes.data(), start) != 0) return false;
  distance = number - fromNumber;
  return true;
}

size_t PointIndex::probe(const NameKey& key, uint32_t hash, NameTable points) const {
  const size_t count = slots_.size();
  for (size_t i = home(hash);; i = i + 1 == count ? 0 : i + 1) {
    const Slot& s = slots_[i];
    if (s.point == 0 || (s.hash == hash && NameKey::ofField(points.name(s.point - 1)) == key)) return i;
  }
}

uint32_t PointIndex::find(const NameKey& key, NameTable points) const {
  if (count_ == 0) return kNotFound;
  const uint32_t hash = key.hash();
  const size_t at = probe(key, hash, points);
  const Slot& s = slots_[at];
  if (s.point != 0) return s.point - 1;
  // Field by field: a Miss built whole on the stack and copied is read back
  // in wider pieces than it was written, a stall on every missed name.
  miss_.key = key;
  miss_.hash = hash;
  miss_.slot = at;
  miss_.valid = true;
  return kNotFound;
}

bool PointIndex::insert(const NameKey& key, NameTable points) {
  if (slotsFor(count_ + 1) > slots_.size()) rehash(slotsFor(count_ < 8 ? 16 : count_ * 2));
  uint32_t hash;
  size_t at;
  if (miss_.valid && miss_.key == key) {
    // Nothing has changed the table since that probe: the slot is still empty.
    hash = miss_.hash;
    at = miss_.slot;
  } else {
    hash = key.hash();
    at = probe(key, hash, points);
  }
  Slot& s = slots_[at];
  if (s.point != 0) return false;
  s = {hash, static_cast<uint32_t>(++count_)};
  miss_.valid = false;
  return true;
}

bool PointIndex::insertAll(const PointRecord* records, size_t n, NameTable points) {
  reserve(count_ + n);
  miss_.valid = false;
  // A table larger than the caches costs a trip to memory per name: with the
  // slots of the names ahead requested early, those trips overlap.
  constexpr size_t kAhead = 8;
  auto hashAt = [&](size_t i) { return NameKey::ofRecord(records[i]).hash(); };
  uint32_t ahead[kAhead];
  for (size_t i = 0; i < kAhead && i < n; ++i) {
    ahead[i] = hashAt(i);
    __builtin_prefetch(&slots_[home(ahead[i])]);
  }
  for (size_t i = 0; i < n; ++i) {
    const uint32_t hash = ahead[i % kAhead];
    if (i + kAhead < n) {
      ahead[i % kAhead] = hashAt(i + kAhead);
      __builtin_prefetch(&slots_[home(ahead[i % kAhead])]);
    }
    Slot& s = slots_[probe(NameKey::ofRecord(records[i]), hash, points)];
    if (s.point != 0) return false;
    s = {hash, static_cast<uint32_t>(++count_)};
  }
  return true;
}

void PointIndex::reserve(size_t n) {
  if (slotsFor(n) > slots_.size()) rehash(slotsFor(n));
}

void PointIndex::rehash(size_t slotCount) {
  miss_.valid = false;
  ZeroedArray<Slot> old(slotCount);
  old.swap(slots_);
  for (const Slot& s : old) {
    if (s.point == 0) continue;
    size_t i = home(s.hash);
    while (slots_[i].point != 0) i = i + 1 == slotCount ? 0 : i + 1;
    slots_[i] = s;
  }
}

}  // namespace dz
