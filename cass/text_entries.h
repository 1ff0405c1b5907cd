// The texts of the TEXT sections of a .cas file, collected in file order
// until an END line gives them to the houses and writes them as text objects.
#pragma once

#include <cstdint>

namespace dz {

// Longest text kept: longer texts are cut, at a character boundary.
constexpr int kTextEntryMaxBytes = 199;

struct TextEntry {
  char text[kTextEntryMaxBytes + 1] = {};  // zero-terminated GBK
  int16_t length = 0;                      // bytes of text plus its zero
  double first = 0;                        // first number of the position line
  double second = 0;                       // second number of the position line
  int16_t used = 0;                        // 1 once a house has taken it
};

}  // namespace dz
