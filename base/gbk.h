// GBK (code page 936) byte strings: character boundaries and conversion at
// the edges of the system. Inside, every text stays in GBK bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dz {

// True for a byte that starts a two-byte GBK character.
inline bool isGbkLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Bytes taken by the character at pos: 2 for a lead byte followed by another
// byte, else 1. A lead byte at the very end counts as one byte.
inline size_t gbkCharLength(std::string_view text, size_t pos) {
  return isGbkLead(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Length of the longest prefix of `text` of at most maxBytes bytes that does
// not split a two-byte character, so that a text cut to a field stays GBK.
size_t gbkPrefixLength(std::string_view text, size_t maxBytes);

// Finds the character sequence `needle` in `text`, matching only at
// character boundaries of `text`, so the trail byte of one character and the
// lead byte of the next never make up a false match. Returns npos if absent.
size_t findGbkText(std::string_view text, std::string_view needle);

// GBK to UTF-8. Bytes that are not GBK become U+FFFD.
std::string gbkToUtf8(std::string_view gbk);
// GBK to UTF-8 for files that others read: a byte that is not GBK stays
// visible as the four characters \xNN (uppercase hex) instead of vanishing
// into U+FFFD, so damaged names can still be told apart and traced back.
std::string gbkToUtf8Escaped(std::string_view gbk);

// UTF-8 to GBK. Returns false (and converts the rest) when a character has
// no GBK form or the input is not UTF-8; such characters become '?'.
bool utf8ToGbk(std::string_view utf8, std::string& gbk);

// GBK to UTF-16 and back, for Windows controls, independent of the ANSI code
// page of the machine.
std::u16string gbkToUtf16(std::string_view gbk);
bool utf16ToGbk(std::u16string_view utf16, std::string& gbk);

}  // namespace dz
