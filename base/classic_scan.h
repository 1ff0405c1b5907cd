// The classic C conversions that the file formats are defined by: a subset of
// sscanf (%s %d %ld %lf %f, white space, literal characters) and atof/atoi.
// Implemented here rather than taken from the platform so that Linux and
// Windows read every file alike: decimal numbers only (no hex floats, no inf
// or nan), integer overflow wraps as in the classic Microsoft runtime, and
// the text stops at its first zero byte, as a C string does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace dz {

// One destination of a scan. A destination that the scan does not reach keeps
// its value.
class ScanTarget {
 public:
  enum class Kind { Text, Int, Double, Float };

  // %s into a fixed buffer of `size` bytes: stores at most size - 1 bytes and
  // a terminating zero. The whole token is consumed even when it is cut, so
  // the rest of an overlong token never spills into the next field.
  static ScanTarget text(char* buffer, size_t size) { return {Kind::Text, buffer, nullptr, size}; }
  // %s into a string, whole token, or at most maxBytes of it.
  static ScanTarget text(std::string& s, size_t maxBytes = SIZE_MAX) { return {Kind::Text, nullptr, &s, maxBytes}; }
  // %s read past and counted as assigned, its token kept nowhere: a field
  // its caller has no use for.
  static ScanTarget unusedText() { return {Kind::Text, nullptr, nullptr, 0}; }
  // %d and %ld (both 32-bit, as on Windows).
  static ScanTarget integer(int32_t& v) { return {Kind::Int, &v, nullptr, 0}; }
  // %lf
  static ScanTarget real(double& v) { return {Kind::Double, &v, nullptr, 0}; }
  // %f
  static ScanTarget real(float& v) { return {Kind::Float, &v, nullptr, 0}; }

  Kind kind() const { return kind_; }
  // Used by the scanner: the number destination, and the %s store (inline
  // for a buffer: the files' lines store a few tokens each).
  void* pointer() const { return p_; }
  void store(const char* token, size_t size) const {
    if (s_) return storeString(std::string_view(token, size));
    if (n_ == 0) return;
    const size_t n = size < n_ - 1 ? size : n_ - 1;
    char* buffer = static_cast<char*>(p_);
    copyShort(buffer, token, n);
    buffer[n] = '\0';
  }

 private:
  ScanTarget(Kind kind, void* p, std::string* s, size_t n) : kind_(kind), p_(p), s_(s), n_(n) {}
  void storeString(std::string_view token) const;
  // memcpy for the few bytes of a token, without a call: two moves of a
  // width that overlap in the middle cover every length up to twice it.
  static void copyShort(char* to, const char* from, size_t n) {
    if (n >= 8 && n <= 16) {
      std::memcpy(to, from, 8);
      std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
      std::memcpy(to, from, 4);
      std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n < 4) {
      for (size_t k = 0; k < n; ++k) to[k] = from[k];
    } else {
      std::memcpy(to, from, n);
    }
  }

  Kind kind_;
  void* p_;
  std::string* s_;
  size_t n_;
};

// A format of scanFormat taken apart once, for the lines of a large file:
// the scan then walks its steps instead of reading the format again.
class ScanFormat {
 public:
  explicit ScanFormat(std::string_view format);
  // Scans `input` as sscanf(input, format, ...) would. The conversions of
  // the format take the targets in order; a conversion whose target kind
  // differs from the format (a programming error) ends the scan. Returns the
  // number of targets assigned, or -1 when the input ended before the first
  // conversion.
  int scan(std::string_view input, std::initializer_list<ScanTarget> targets) const;

 private:
  enum class Op : uint8_t {
    SkipSpace,  // white space in the format
    Literal,    // a character that must come next (%% is one after white space)
    Convert,    // white space, then a conversion of kind `kind`
    Stop,       // the scan ends: a format cut short or a conversion not known
  };
  struct Step {
    Op op;
    char c;  // Literal: the character; Convert: 's', 'd' or 'f'
    bool skipFirst;
    ScanTarget::Kind kind;
  };
  std::vector<Step> steps_;
};

// The common case of a "%lf,%lf" scan (any separator for the comma), read
// without walking a format: two reals with `separator` right after the first
// and no white space before either. True with both set when `input` is of
// that form, and the scan would then set the same two values; false, with
// neither set, for any other input, which the scan must then read.
bool scanRealPair(std::string_view input, char separator, double& first, double& second);

// Scans `input` with `format` once: ScanFormat(format).scan(input, targets).
int scanFormat(std::string_view input, std::string_view format, std::initializer_list<ScanTarget> targets);

// atof: leading white space, then as much of a decimal number as there is;
// 0 when nothing converts.
double classicAtof(std::string_view text);
// The same, telling in `whole` what isClassicReal(text) tells, from the one
// reading of the number.
double classicAtof(std::string_view text, bool& whole);
// atoi: leading white space, sign, digits; wraps on overflow; 0 when nothing converts.
int32_t classicAtoi(std::string_view text);

// Whether atof (atoi) reads the whole of `text`: one number and nothing but
// white space around it. An empty or blank text is no number.
bool isClassicReal(std::string_view text);
bool isClassicInteger(std::string_view text);

// The white-space set of the classic runtime: space, \t \n \v \f \r. One
// test of a bit in a word of the 64 lowest bytes.
inline bool isClassicSpace(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 64 && ((0x100003E00ull >> u) & 1) != 0;
}

}  // namespace dz
