// Fixed-width byte fields of host records: names copied with strncpy
// semantics, texts read back up to their first zero byte, and little-endian
// numbers at byte offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace dz {

constexpr size_t kNameWidth = 12;

// Length of the text in a field: up to its first zero byte, at most width.
// The field may be a shorter C string: nothing past its zero is read.
inline size_t boundedLength(const char* field, size_t width) {
  const void* zero = std::memchr(field, 0, width);
  return zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : width;
}

// The same for a whole array, all of whose bytes may be read: names of
// twelve bytes and texts of a few dozen, asked eight bytes at a time without
// a call (the lowest byte the zero-byte test marks is exact; a borrow marks
// only bytes above a true zero), the last word overlapping the one before.
template <size_t N>
inline size_t arrayTextLength(const char (&field)[N]) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  if constexpr (N >= 8) {
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    uint64_t word;
    size_t i = 0;
    for (; i + 8 <= N; i += 8) {
      std::memcpy(&word, field + i, 8);
      const uint64_t zero = (word - kOnes) & ~word & kHigh;
      if (zero != 0) return i + static_cast<size_t>(__builtin_ctzll(zero) / 8);
    }
    if (i == N) return N;
    // The last bytes: the word ending at the array's end. Its bytes asked
    // already hold no zero, so none of them is marked.
    std::memcpy(&word, field + N - 8, 8);
    const uint64_t zero = (word - kOnes) & ~word & kHigh;
    return zero != 0 ? N - 8 + static_cast<size_t>(__builtin_ctzll(zero) / 8) : N;
  }
#endif
  return boundedLength(field, N);
}

template <size_t N>
inline std::string_view arrayText(const char (&field)[N]) {
  return {field, arrayTextLength(field)};
}

// strncpy(dst, src, width): the bytes of src up to its first zero byte, at
// most `width` of them, the rest of the field zero-filled. A source that fills
// the field gets no terminator.
inline void copyField(char* dst, size_t width, std::string_view src) {
  const size_t zero = src.find('\0');
  if (zero != std::string_view::npos) src = src.substr(0, zero);
  const size_t n = src.size() < width ? src.size() : width;
  std::memcpy(dst, src.data(), n);
  std::memset(dst + n, 0, width - n);
}

// The same from a zero-terminated source that may lack its terminator after
// `width` bytes (another 12-byte field): never reads beyond width bytes.
inline void copyFieldFrom(char* dst, size_t width, const char* src) {
  const size_t n = boundedLength(src, width);
  std::memmove(dst, src, n);
  std::memset(dst + n, 0, width - n);
}

// The text of a field: its bytes up to the first zero, at most `width`.
inline std::string_view fieldView(const char* field, size_t width) { return {field, boundedLength(field, width)}; }
inline std::string fieldText(const char* field, size_t width) { return std::string(fieldView(field, width)); }

inline void copyName(char* dst12, std::string_view src) { copyField(dst12, kNameWidth, src); }
inline std::string nameText(const char* field12) { return fieldText(field12, kNameWidth); }
inline std::string_view nameView(const char* field12) { return fieldView(field12, kNameWidth); }

// Little-endian numbers at byte offsets of a raw block.
template <typename T>
inline void putLE(uint8_t* block, size_t offset, T value) {
  static_assert(std::is_trivially_copyable<T>::value, "plain numbers only");
  std::memcpy(block + offset, &value, sizeof value);  // the targets are little-endian
}

template <typename T>
inline T getLE(const uint8_t* block, size_t offset) {
  T value;
  std::memcpy(&value, block + offset, sizeof value);
  return value;
}


}  // namespace dz
