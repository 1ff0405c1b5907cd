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

}  // namespace dz
