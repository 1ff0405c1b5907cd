#include "base/text_encoding.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/gbk.h"

namespace dz {

namespace {

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The code point of a well-formed character of `length` bytes at `pos`.
char32_t decodeUtf8(std::string_view text, size_t pos, size_t length) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[pos + k]) & 0x3F);
  return cp;
}

}  // namespace

size_t utf8CharLength(std::string_view text, size_t pos) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return 1;
  const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
  if (length == 0 || pos + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if (!isContinuation(static_cast<unsigned char>(text[pos + k]))) return 0;
  const char32_t cp = decodeUtf8(text, pos, length);
  const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
  const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
  if (overlong || surrogate || cp > 0x10FFFF) return 0;
  return length;
}

bool utf8LineToGbk(std::string_view utf8, std::string& gbk, Utf8Refusal& refusal) {
  // Most lines convert whole; the character at fault is looked for only
  // when one does not.
  size_t pos = 0;
  while (pos < utf8.size() && static_cast<unsigned char>(utf8[pos]) < 0x80) ++pos;
  if (pos == utf8.size()) {
    gbk.assign(utf8);
    return true;
  }
  bool wellFormed = true;
  for (size_t i = pos; i < utf8.size() && wellFormed;) {
    const size_t n = utf8CharLength(utf8, i);
    wellFormed = n != 0;
    i += n;
  }
  if (wellFormed && utf8ToGbk(utf8, gbk)) return true;

  std::string one;
  while (pos < utf8.size()) {
    const size_t n = utf8CharLength(utf8, pos);
    if (n == 0) {
      refusal = {pos, std::string(1, utf8[pos]), -1};
      return false;
    }
    if (!utf8ToGbk(utf8.substr(pos, n), one)) {
      refusal = {pos, std::string(utf8.substr(pos, n)), static_cast<long>(decodeUtf8(utf8, pos, n))};
      return false;
    }
    pos += n;
  }
  // Not reached: a line that failed as a whole fails at one of its characters.
  refusal = {0, std::string(), -1};
  return false;
}

std::string describeRefusal(const Utf8Refusal& refusal) {
  char text[32];
  if (refusal.codePoint < 0)
    std::snprintf(text, sizeof text, "byte 0x%02X",
                  refusal.bytes.empty() ? 0u : static_cast<unsigned char>(refusal.bytes[0]));
  else
    std::snprintf(text, sizeof text, "U+%04lX", static_cast<unsigned long>(refusal.codePoint));
  return text;
}

void Utf8Evidence::see(std::string_view line) {
  if (!valid_) return;
  // Most lines are ASCII and short: their words (the last one overlapping
  // the one before) are asked at once whether any byte has its top bit set.
  if (line.size() >= 8) {
    uint64_t any = 0, word;
    for (size_t i = 0; i + 8 < line.size(); i += 8) {
      std::memcpy(&word, line.data() + i, 8);
      any |= word;
    }
    std::memcpy(&word, line.data() + line.size() - 8, 8);
    if (((any | word) & 0x8080808080808080ull) == 0) return;
  }
  // Eight bytes at a time until one is not ASCII.
  size_t start = 0;
  for (uint64_t word; start + 8 <= line.size(); start += 8) {
    std::memcpy(&word, line.data() + start, 8);
    if (word & 0x8080808080808080ull) break;
  }
  for (size_t i = start; i < line.size();) {
    if (static_cast<unsigned char>(line[i]) < 0x80) {
      ++i;
      continue;
    }
    const size_t n = utf8CharLength(line, i);
    if (n == 0) {
      valid_ = false;
      return;
    }
    beyondAscii_ = true;
    i += n;
  }
}

}  // namespace dz
