// The texts of the TEXT sections of a .cas file, collected in file order
// until an END line gives them to the houses and writes them as text objects.
// A TEXT section alternates a text line and its position line.
#pragma once

#include <cstdint>
#include <string_view>

namespace dz {

// Longest text kept: longer texts are cut, at a character boundary.
constexpr int kTextEntryMaxBytes = 199;

struct TextEntry {
  char text[kTextEntryMaxBytes + 1] = {};  // zero-terminated GBK
  int16_t length = 0;                      // bytes of text plus its zero
  double first = 0;                        // first number of the position line
  double second = 0;                       // second number of the position line
  int16_t used = 0;                        // 1 once a house has taken it

  // Keeps `value`, cut to kTextEntryMaxBytes without splitting a two-byte
  // character, so a cut text stays valid GBK.
  void setText(std::string_view value);
  // Reads the position line "first,second"; a number that fails to scan
  // leaves what the entry held.
  void readPosition(std::string_view line);
};

}  // namespace dz
