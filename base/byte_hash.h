// The hash of the project's own tables of short texts (code tables, parcel
// numbers, attribute keys): eight bytes at a time, each word mixed in by a
// multiplication, the last bytes as one word overlapping the one before.
// A code of six bytes takes a dozen instructions, where the library's
// std::hash takes some ninety; no table keeps a hash beyond the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace dz {

inline uint32_t hashBytes(const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  const auto mix = [](uint64_t h, uint64_t w) {
    h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 31);
  };
  uint64_t h = 0x9E3779B97F4A7C15ull ^ size;
  if (size >= 8) {
    size_t i = 0;
    for (; i + 8 < size; i += 8) {
      uint64_t w;
      std::memcpy(&w, p + i, 8);
      h = mix(h, w);
    }
    uint64_t w;
    std::memcpy(&w, p + size - 8, 8);
    h = mix(h, w);
  } else if (size >= 4) {
    uint32_t lo, hi;
    std::memcpy(&lo, p, 4);
    std::memcpy(&hi, p + size - 4, 4);
    h = mix(h, lo | uint64_t{hi} << 32);
  } else if (size > 0) {
    h = mix(h, p[0] | uint64_t{p[size / 2]} << 8 | uint64_t{p[size - 1]} << 16);
  }
  // The high half of one more product: every bit of it depends on every
  // bit of h, so that a table may take its low bits as well as its high.
  return static_cast<uint32_t>((h * 0x94D049BB133111EBull) >> 32);
}

inline uint32_t hashText(std::string_view text) { return hashBytes(text.data(), text.size()); }

// Whether `size` bytes at `a` and at `b` are the same, read as the hash reads
// them (eight bytes at a time, the last word overlapping the one before) and
// never past `size`: a table's key found by its hash is compared inline,
// where a call to memcmp for its few bytes costs more than the compare.
inline bool sameBytes(const void* a, const void* b, size_t size) {
  const auto* p = static_cast<const unsigned char*>(a);
  const auto* q = static_cast<const unsigned char*>(b);
  if (size >= 8) {
    uint64_t x, y;
    for (size_t i = 0; i + 8 < size; i += 8) {
      std::memcpy(&x, p + i, 8);
      std::memcpy(&y, q + i, 8);
      if (x != y) return false;
    }
    std::memcpy(&x, p + size - 8, 8);
    std::memcpy(&y, q + size - 8, 8);
    return x == y;
  }
  if (size >= 4) {
    uint32_t x, y, u, v;
    std::memcpy(&x, p, 4);
    std::memcpy(&y, q, 4);
    std::memcpy(&u, p + size - 4, 4);
    std::memcpy(&v, q + size - 4, 4);
    return ((x ^ y) | (u ^ v)) == 0;
  }
  // Up to three bytes: the first, the middle and the last are all of them.
  return size == 0 || (p[0] == q[0] && p[size / 2] == q[size / 2] && p[size - 1] == q[size - 1]);
}

}  // namespace dz
