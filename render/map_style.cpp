#include "render/map_style.h"

namespace dz::render::style {

Rgb lineColour(long long code) {
  static constexpr Rgb kPalette[] = {
      Rgb::hex(0x1565C0), Rgb::hex(0xD84315), Rgb::hex(0x6A1B9A), Rgb::hex(0x00838F),
      Rgb::hex(0xAD1457), Rgb::hex(0x2E7D32), Rgb::hex(0xF9A825), Rgb::hex(0x4E342E),
  };
  constexpr long long n = sizeof kPalette / sizeof kPalette[0];
  // code + code/10 + code/100 + ...: two codes that differ in one digit by
  // less than 8 (8101 and 8201, 2110 and 2120) differ here by that much times
  // 1, 11, 111, ..., none of which 8 divides.
  long long mixed = 0;
  for (long long c = code < 0 ? -code : code; c > 0; c /= 10) mixed += c;
  return kPalette[mixed % n];
}

}  // namespace dz::render::style
