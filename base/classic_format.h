// Numbers printed as the classic C runtime's printf prints them, but the same
// on every platform: the user sees the same question text on Linux and
// Windows, whatever each C library would do with its own printf.
#pragma once

#include <charconv>
#include <string>

namespace dz {

// printf("%f", value): fixed notation with six decimals, correctly rounded,
// every integer digit written out ("-100000000.500000", "1e20" as
// "100000000000000000000.000000"). Infinities and NaN come out as "inf",
// "-inf" and "nan" (or "-nan").
inline std::string formatFixed6(double value) {
  // The largest double has 309 integer digits; with sign, point and six
  // decimals 320 bytes always suffice.
  char buffer[320];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  return std::string(buffer, result.ptr);
}

}  // namespace dz
