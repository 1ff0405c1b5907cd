#include "ui/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "base/classic_scan.h"

namespace dz::ui {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

size_t digitsAt(std::string_view text, size_t pos) {
  size_t n = 0;
  while (pos + n < text.size() && isDigit(text[pos + n])) ++n;
  return n;
}

}  // namespace

std::string FormatExchangeInt(int value) { return std::to_string(value); }

std::string FormatExchangeDouble(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, result.ptr);
}

// The classic framework took any text that began with '0' or converted to a
// nonzero value, so "-0" was refused and an overlong number was clamped to
// the largest int; here a number is a number when it has digits and fits.
bool ParseExchangeInt(std::string_view text, int& value) {
  text = trimBlanks(text);
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  const size_t digits = digitsAt(text, pos);
  if (digits == 0 || pos + digits != text.size()) return false;
  int64_t magnitude = 0;
  for (size_t i = pos; i < text.size(); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > int64_t{INT32_MAX} + 1) return false;
  }
  const int64_t v = negative ? -magnitude : magnitude;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

bool ParseExchangeDouble(std::string_view text, double& value) {
  text = trimBlanks(text);
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  const size_t whole = digitsAt(text, pos);
  pos += whole;
  size_t fraction = 0;
  if (pos < text.size() && text[pos] == '.') {
    fraction = digitsAt(text, pos + 1);
    pos += 1 + fraction;
  }
  if (whole + fraction == 0) return false;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    size_t e = pos + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    const size_t exponent = digitsAt(text, e);
    if (exponent == 0) return false;
    pos = e + exponent;
  }
  if (pos != text.size()) return false;
  const double v = dz::classicAtof(text);
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

}  // namespace dz::ui
