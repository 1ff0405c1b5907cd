#include "base/classic_scan.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace dz {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view untilZero(std::string_view s) {
  const size_t zero = s.find('\0');
  return zero == std::string_view::npos ? s : s.substr(0, zero);
}

size_t skipSpace(std::string_view s, size_t i) {
  while (i < s.size() && isClassicSpace(s[i])) ++i;
  return i;
}

// Length of the longest prefix of s (from i) that forms a decimal integer:
// optional sign and at least one digit. 0 when there is none.
size_t integerLength(std::string_view s, size_t i) {
  size_t j = i;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
  const size_t digits = j;
  while (j < s.size() && isDigit(s[j])) ++j;
  return j == digits ? 0 : j - i;
}

int32_t integerValue(std::string_view s) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  uint32_t value = 0;
  for (; i < s.size() && isDigit(s[i]); ++i) value = value * 10u + static_cast<uint32_t>(s[i] - '0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

// Length of the longest prefix forming a decimal real: sign, digits with an
// optional point (at least one digit in all), then an optional exponent whose
// letter and sign are taken as the classic runtime takes them, digits or not:
// "1e 2" scans as 1 and 2, and "2E+" is the number 2 with nothing left over.
size_t realLength(std::string_view s, size_t i) {
  size_t j = i;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
  size_t mantissaDigits = 0;
  while (j < s.size() && isDigit(s[j])) ++j, ++mantissaDigits;
  if (j < s.size() && s[j] == '.') {
    ++j;
    while (j < s.size() && isDigit(s[j])) ++j, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return 0;
  if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
    ++j;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    while (j < s.size() && isDigit(s[j])) ++j;
  }
  return j - i;
}

// The value of the unsigned decimal number at the start of `s`, up to
// whatever follows it; false when none starts there. from_chars is correctly
// rounded on every platform; an exponent out of range gives 0 (underflow) or
// infinity (overflow). An exponent letter and sign without digits end the
// number, adding nothing.
template <typename T>
bool decimalValue(std::string_view s, T& value) {
  value = 0;
  const auto result = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return false;
  if (result.ec == std::errc::result_out_of_range) {
    // Overflow or underflow, by the sign of the number's own exponent.
    const std::string_view number(s.data(), static_cast<size_t>(result.ptr - s.data()));
    const size_t e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    value = tiny ? T(0) : std::numeric_limits<T>::infinity();
  }
  return true;
}

// The value of `s`, a whole real as realLength measures it.
template <typename T>
T realValue(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  T value = 0;
  decimalValue(s, value);
  return negative ? -value : value;
}

}  // namespace

int scanFormat(std::string_view input, std::string_view format, std::initializer_list<ScanTarget> targets) {
  input = untilZero(input);
  const ScanTarget* target = targets.begin();
  int assigned = 0;
  bool converted = false;  // any conversion attempted with input present
  size_t in = 0;
  for (size_t f = 0; f < format.size(); ++f) {
    const char fc = format[f];
    if (isClassicSpace(fc)) {
      in = skipSpace(input, in);
      continue;
    }
    if (fc != '%') {
      if (in >= input.size()) return converted ? assigned : -1;
      if (input[in] != fc) return assigned;
      ++in;
      continue;
    }
    // A conversion: %s %d %ld %lf %f (and %% as a literal).
    ++f;
    if (f >= format.size()) return assigned;
    bool isLong = false;
    if (format[f] == 'l') {
      isLong = true;
      if (++f >= format.size()) return assigned;
    }
    const char conv = format[f];
    if (conv == '%') {
      in = skipSpace(input, in);
      if (in >= input.size()) return converted ? assigned : -1;
      if (input[in] != '%') return assigned;
      ++in;
      continue;
    }
    in = skipSpace(input, in);
    if (in >= input.size()) return converted ? assigned : -1;
    converted = true;
    if (target == targets.end()) return assigned;
    const ScanTarget& t = *target++;
    switch (conv) {
      case 's': {
        if (t.kind() != ScanTarget::Kind::Text) return assigned;
        size_t end = in;
        while (end < input.size() && !isClassicSpace(input[end])) ++end;
        std::string_view token = input.substr(in, end - in);
        t.store(token);
        in = end;
        break;
      }
      case 'd':
      case 'i': {
        if (t.kind() != ScanTarget::Kind::Int) return assigned;
        const size_t len = integerLength(input, in);
        if (len == 0) return assigned;
        *static_cast<int32_t*>(t.pointer()) = integerValue(input.substr(in, len));
        in += len;
        break;
      }
      case 'f':
      case 'e':
      case 'g': {
        const bool wantDouble = isLong;
        if (t.kind() != (wantDouble ? ScanTarget::Kind::Double : ScanTarget::Kind::Float)) return assigned;
        const size_t len = realLength(input, in);
        if (len == 0) return assigned;
        std::string_view number = input.substr(in, len);
        if (wantDouble)
          *static_cast<double*>(t.pointer()) = realValue<double>(number);
        else
          *static_cast<float*>(t.pointer()) = realValue<float>(number);
        in += len;
        break;
      }
      default:
        return assigned;
    }
    ++assigned;
  }
  return assigned;
}

void ScanTarget::store(std::string_view token) const {
  if (s_) {
    s_->assign(token.substr(0, n_));
    return;
  }
  if (n_ == 0) return;
  const size_t n = token.size() < n_ - 1 ? token.size() : n_ - 1;
  char* buffer = static_cast<char*>(p_);
  std::memcpy(buffer, token.data(), n);
  buffer[n] = '\0';
}

double classicAtof(std::string_view text) {
  // No zero byte is a blank or part of a number: the scan ends at the first
  // one without looking for it first.
  size_t i = skipSpace(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // from_chars measures the number as it converts it; it must not be shown
  // what it reads beyond decimals ("inf", "nan").
  if (i >= text.size() || !(isDigit(text[i]) || text[i] == '.')) return 0.0;
  double value = 0;
  if (!decimalValue(text.substr(i), value)) return 0.0;
  return negative ? -value : value;
}

int32_t classicAtoi(std::string_view text) {
  const size_t i = skipSpace(text, 0);
  const size_t len = integerLength(text, i);
  return len == 0 ? 0 : integerValue(text.substr(i, len));
}

bool isClassicReal(std::string_view text) {
  const size_t i = skipSpace(text, 0);
  const size_t len = realLength(text, i);
  return len > 0 && skipSpace(text, i + len) == text.size();
}

bool isClassicInteger(std::string_view text) {
  const size_t i = skipSpace(text, 0);
  const size_t len = integerLength(text, i);
  return len > 0 && skipSpace(text, i + len) == text.size();
}

}  // namespace dz
