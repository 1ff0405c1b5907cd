#include "base/classic_scan.h"

#include <cfloat>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <limits>
#include <type_traits>

namespace dz {

using scan_detail::endsAt;
using scan_detail::skipSpace;
using scan_detail::tokenEnd;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The digits from q on, up to the first byte that is not one, appended to
// `value` (times ten a digit, wrapping); q moved past them. The digit is
// taken from the byte once, unsigned: a test and a multiply-add a digit.
template <typename Unsigned>
void appendDigits(const char*& q, const char* end, Unsigned& value) {
  for (; q < end; ++q) {
    const auto digit = static_cast<Unsigned>(static_cast<unsigned char>(*q) - unsigned{'0'});
    if (digit > 9) return;
    value = value * 10 + digit;
  }
}

// The integer at s[i...]: optional sign and at least one digit, read in one
// pass; overflow wraps as in the classic runtime. Its length, with `value`
// set; 0, with `value` untouched, when none starts there.
size_t readInteger(std::string_view s, size_t i, int32_t& value) {
  size_t j = i;
  bool negative = false;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) negative = s[j++] == '-';
  const size_t digits = j;
  uint32_t v = 0;
  const char* q = s.data() + j;
  appendDigits(q, s.data() + s.size(), v);
  j = static_cast<size_t>(q - s.data());
  if (j == digits) return 0;
  value = static_cast<int32_t>(negative ? 0u - v : v);
  return j - i;
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

// The real at s[i...] as the classic runtime reads it: sign, digits with an
// optional point (at least one digit), then an optional exponent whose
// letter and sign are taken even without digits ("1e 2" reads 1, then 2;
// "2E+" is the number 2 with nothing left over). Its length, with `value`
// set; 0, with `value` untouched, when no real starts there.
//
// from_chars measures the number as it converts it (correctly rounded on
// every platform); it is shown no sign and nothing it would read beyond
// decimals ("inf", "nan"). An exponent out of range gives 0 (underflow) or
// infinity (overflow).
//
// Most survey numbers are short decimals ("500000.010"): their digits as an
// integer below 2^53 and a power of ten up to 10^15 are both exact doubles,
// and one division rounds their quotient correctly (Clinger), at a fraction
// of what the general conversion costs. Only where doubles are computed in
// double precision: the x87 unit of 32-bit builds would round twice.
bool shortDecimal(const char* p, const char* end, double& value, const char*& stop) {
#if FLT_EVAL_METHOD == 0
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  // Each run of digits whole, with no count kept on the way: a run too long
  // wraps `digits`, and its count turns it away below.
  uint64_t digits = 0;
  const char* q = p;
  appendDigits(q, end, digits);
  ptrdiff_t count = q - p;
  ptrdiff_t decimals = 0;
  if (q < end && *q == '.') {
    const char* fraction = ++q;
    appendDigits(q, end, digits);
    decimals = q - fraction;
    count += decimals;
  }
  // More digits (15 stay below 2^53), an exponent or no digit at all: the
  // general way.
  if (count == 0 || count > 15) return false;
  if (q < end && (*q == 'e' || *q == 'E' || *q == '.')) return false;
  value = static_cast<double>(digits) / kPowers[decimals];
  stop = q;
  return true;
#else
  (void)p, (void)end, (void)value, (void)stop;
  return false;
#endif
}

template <typename T>
size_t readReal(std::string_view s, size_t i, T& value) {
  size_t j = i;
  bool negative = false;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) negative = s[j++] == '-';
  if (j >= s.size() || !(isDigit(s[j]) || s[j] == '.')) return 0;
  const char* begin = s.data() + j;
  if constexpr (std::is_same_v<T, double>) {
    const char* stop = nullptr;
    double quick = 0;
    if (shortDecimal(begin, s.data() + s.size(), quick, stop)) {
      value = negative ? -quick : quick;
      return static_cast<size_t>(stop - s.data()) - i;
    }
  }
  T v = 0;
  const auto result = std::from_chars(begin, s.data() + s.size(), v, std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return 0;
  if (result.ec == std::errc::result_out_of_range) {
    // Overflow or underflow, by the sign of the number's own exponent.
    const std::string_view number(begin, static_cast<size_t>(result.ptr - begin));
    const size_t e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    v = tiny ? T(0) : std::numeric_limits<T>::infinity();
  }
  const std::string_view number(begin, static_cast<size_t>(result.ptr - begin));
  j = static_cast<size_t>(result.ptr - s.data());
  // from_chars stops at an exponent without digits; the runtime takes its
  // letter and sign along (a letter after a whole exponent is not the number's).
  if (j < s.size() && (s[j] == 'e' || s[j] == 'E') && number.find_first_of("eE") == std::string_view::npos) {
    ++j;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
  }
  value = negative ? -v : v;
  return j - i;
}

}  // namespace

ScanFormat::ScanFormat(std::string_view format) {
  for (size_t f = 0; f < format.size(); ++f) {
    const char fc = format[f];
    if (isClassicSpace(fc)) {
      // Runs of white space skip as one, and a conversion skips it anyway.
      if (steps_.empty() || steps_.back().op != Op::SkipSpace) steps_.push_back(Step{Op::SkipSpace, 0, false, {}});
      continue;
    }
    if (fc != '%') {
      steps_.push_back(Step{Op::Literal, fc, false, {}});
      continue;
    }
    // A conversion: %s %d %ld %lf %f (and %% as a literal).
    ++f;
    bool isLong = false;
    if (f < format.size() && format[f] == 'l') {
      isLong = true;
      ++f;
    }
    if (f >= format.size()) {
      steps_.push_back(Step{Op::Stop, 0, false, {}});
      break;
    }
    const char conv = format[f];
    if (conv == '%') {
      steps_.push_back(Step{Op::Literal, '%', true, {}});
      continue;
    }
    Step step{Op::Convert, 0, true, ScanTarget::Kind::Text};
    switch (conv) {
      case 's':
        step.c = 's';
        break;
      case 'd':
      case 'i':
        step.c = 'd';
        step.kind = ScanTarget::Kind::Int;
        break;
      case 'f':
      case 'e':
      case 'g':
        step.c = 'f';
        step.kind = isLong ? ScanTarget::Kind::Double : ScanTarget::Kind::Float;
        break;
      default:
        step.c = 0;  // not known: the scan ends at it, after its white space
        break;
    }
    if (!steps_.empty() && steps_.back().op == Op::SkipSpace) steps_.pop_back();
    steps_.push_back(step);
  }
}

bool ScanCursor::convert(int32_t& v) {
  const size_t len = readInteger(s_, in_, v);
  return len != 0 && taken(in_ + len);
}

bool ScanCursor::convert(double& v) {
  const size_t len = readReal(s_, in_, v);
  return len != 0 && taken(in_ + len);
}

bool ScanCursor::convert(float& v) {
  const size_t len = readReal(s_, in_, v);
  return len != 0 && taken(in_ + len);
}

int ScanFormat::scan(std::string_view input, std::initializer_list<ScanTarget> targets) const {
  ScanCursor c(input);
  const ScanTarget* target = targets.begin();
  for (const Step& step : steps_) {
    switch (step.op) {
      case Op::Convert: {
        if (!c.start()) return c.result();
        if (target == targets.end() || step.c == 0 || target->kind() != step.kind) return c.assigned_;
        const ScanTarget& t = *target++;
        bool converted = false;
        switch (t.kind()) {
          case ScanTarget::Kind::Text: {
            const size_t end = tokenEnd(input, c.in_);
            t.store(input.data() + c.in_, end - c.in_);
            converted = c.taken(end);
            break;
          }
          case ScanTarget::Kind::Int:
            converted = c.convert(*static_cast<int32_t*>(t.pointer()));
            break;
          case ScanTarget::Kind::Double:
            converted = c.convert(*static_cast<double*>(t.pointer()));
            break;
          case ScanTarget::Kind::Float:
            converted = c.convert(*static_cast<float*>(t.pointer()));
            break;
        }
        if (!converted) return c.assigned_;
        continue;
      }
      case Op::SkipSpace:
        c.in_ = skipSpace(input, c.in_);
        continue;
      case Op::Literal:
        if (step.skipFirst) c.in_ = skipSpace(input, c.in_);
        if (endsAt(input, c.in_)) return c.result();
        if (input[c.in_] != step.c) return c.assigned_;
        ++c.in_;
        continue;
      case Op::Stop:
        return c.assigned_;
    }
  }
  return c.assigned_;
}

bool scanRealPair(std::string_view input, char separator, double& first, double& second) {
  // The scan's own steps for this form, without its white space, which the
  // form has none of: a real, the separator, a real.
  double a = 0, b = 0;
  const size_t n = readReal(input, 0, a);
  if (n == 0 || n >= input.size() || input[n] != separator) return false;
  if (readReal(input, n + 1, b) == 0) return false;
  first = a;
  second = b;
  return true;
}

int scanFormat(std::string_view input, std::string_view format, std::initializer_list<ScanTarget> targets) {
  return ScanFormat(format).scan(input, targets);
}

void ScanTarget::storeString(std::string_view token) const { s_->assign(token.substr(0, n_)); }

double classicAtof(std::string_view text) {
  // No zero byte is a blank or part of a number: the scan ends at the first
  // one without looking for it first.
  double value = 0;
  readReal(text, skipSpace(text, 0), value);
  return value;
}

double classicAtof(std::string_view text, bool& whole) {
  const size_t i = skipSpace(text, 0);
  double value = 0;
  const size_t len = readReal(text, i, value);
  whole = len > 0 && skipSpace(text, i + len) == text.size();
  return value;
}

int32_t classicAtoi(std::string_view text) {
  const size_t i = skipSpace(text, 0);
  int32_t value = 0;
  readInteger(text, i, value);
  return value;
}

bool isClassicReal(std::string_view text) {
  const size_t i = skipSpace(text, 0);
  const size_t len = realLength(text, i);
  return len > 0 && skipSpace(text, i + len) == text.size();
}

bool isClassicInteger(std::string_view text) {
  const size_t i = skipSpace(text, 0);
  int32_t value = 0;
  const size_t len = readInteger(text, i, value);
  return len > 0 && skipSpace(text, i + len) == text.size();
}

}  // namespace dz
