#include "standin/point_index.h"

#include "base/fixed_field.h"

namespace dz {

NameKey NameKey::of(const char* field12) {
  NameKey k;
  copyFieldFrom(k.bytes.data(), k.bytes.size(), field12);
  return k;
}

NameKey NameKey::of(std::string_view name) {
  NameKey k;
  copyField(k.bytes.data(), k.bytes.size(), name);
  return k;
}

uint32_t NameKey::hash() const {
  uint64_t a;
  uint32_t b;
  std::memcpy(&a, bytes.data(), 8);
  std::memcpy(&b, bytes.data() + 8, 4);
  uint64_t h = (a ^ 0x9E3779B97F4A7C15ull) * 0xBF58476D1CE4E5B9ull;
  h ^= (static_cast<uint64_t>(b) + (h >> 29)) * 0x94D049BB133111EBull;
  h ^= h >> 31;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

size_t PointIndex::probe(const NameKey& key, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.point == 0 || (s.hash == hash && keys_[s.point - 1] == key)) return i;
  }
}

uint32_t PointIndex::find(const NameKey& key) const {
  if (slots_.empty()) return kNotFound;
  const Slot& s = slots_[probe(key, key.hash())];
  return s.point == 0 ? kNotFound : s.point - 1;
}

bool PointIndex::insert(const NameKey& key) {
  if ((keys_.size() + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2);
  const uint32_t hash = key.hash();
  Slot& s = slots_[probe(key, hash)];
  if (s.point != 0) return false;
  keys_.push_back(key);
  s = {hash, static_cast<uint32_t>(keys_.size())};
  return true;
}

void PointIndex::reserve(size_t n) {
  keys_.reserve(n);
  size_t slots = 16;
  while (slots < n * 2) slots *= 2;
  if (slots > slots_.size()) rehash(slots);
}

void PointIndex::rehash(size_t slotCount) {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(slotCount, Slot{0, 0});
  const size_t mask = slotCount - 1;
  for (const Slot& s : old) {
    if (s.point == 0) continue;
    size_t i = s.hash & mask;
    while (slots_[i].point != 0) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

}  // namespace dz
