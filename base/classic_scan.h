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

// The white-space set of the classic runtime: space, \t \n \v \f \r. One
// test of a bit in a word of the 64 lowest bytes.
inline bool isClassicSpace(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 64 && ((0x100003E00ull >> u) & 1) != 0;
}

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
    if (n_ != 0) storeText(static_cast<char*>(p_), n_, token, size);
  }
  // The %s store into a buffer of `n` bytes (n > 0): at most n - 1 bytes
  // of the token and a terminating zero.
  static void storeText(char* buffer, size_t n, const char* token, size_t size) {
    const size_t kept = size < n - 1 ? size : n - 1;
    copyShort(buffer, token, kept);
    buffer[kept] = '\0';
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

namespace scan_detail {

// The scan reads its input as the C string it would be: it ends at its first
// zero byte. No zero is a blank or a part of a number, so the scan stops at
// one by itself, as long as the places that ask whether the input has ended
// count a zero as its end, and a token ends there.
inline bool endsAt(std::string_view s, size_t i) { return i >= s.size() || s[i] == '\0'; }

// Where the token at s[i] ends: the first white-space or zero byte from i
// on, or the end. Tokens of the attribute files run to twenty bytes and more,
// so eight are looked at a time: a byte below 0x21 is found in a word with
// the zero-byte test shifted (the lowest such byte is found exactly), and
// only that byte is then asked whether it is white space or the zero.
inline size_t tokenEnd(std::string_view s, size_t i) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  while (i + 8 <= s.size()) {
    uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    const uint64_t low = (word - 0x21 * kOnes) & ~word & kHigh;
    if (low == 0) {
      i += 8;
      continue;
    }
    i += static_cast<size_t>(__builtin_ctzll(low) / 8);
    if (isClassicSpace(s[i]) || s[i] == '\0') return i;
    ++i;  // a control byte that is not white space belongs to the token
  }
  // The last bytes, fewer than eight, as the tail of the line's last word:
  // the bytes before i are left out. Every byte below 0x21 is marked (a
  // borrow can mark others too, so each mark is asked), the lowest first.
  if (i < s.size() && s.size() >= 8) {
    const size_t base = s.size() - 8;
    uint64_t word;
    std::memcpy(&word, s.data() + base, 8);
    uint64_t low = (word - 0x21 * kOnes) & ~word & kHigh & (~uint64_t{0} << (8 * (i - base)));
    for (; low != 0; low &= low - 1) {
      const size_t at = base + static_cast<size_t>(__builtin_ctzll(low) / 8);
      if (isClassicSpace(s[at]) || s[at] == '\0') return at;
    }
    return s.size();
  }
#endif
  while (i < s.size() && !isClassicSpace(s[i]) && s[i] != '\0') ++i;
  return i;
}

inline size_t skipSpace(std::string_view s, size_t i) {
  while (i < s.size() && isClassicSpace(s[i])) ++i;
  return i;
}

}  // namespace scan_detail

// A scan of fields separated by white space, one conversion a call, as a
// format of conversions and blanks alone ("%s %s %lf %d") takes them: each
// call skips white space and converts the next field, and a call that finds
// the input ended, or no number where one is due, stops the scan (false).
// The readers of large files chain their fields with && and take result():
// no format walked and no target's kind asked, where most of a line's scan
// went. ScanFormat takes its conversions through the same calls.
class ScanCursor {
 public:
  explicit ScanCursor(std::string_view input) : s_(input) {}

  // %s into a buffer of `size` bytes (see ScanTarget::text); a buffer of
  // no bytes keeps nothing, as skipText().
  bool text(char* buffer, size_t size) {
    if (size == 0) return skipText();
    if (!start()) return false;
    const size_t end = scan_detail::tokenEnd(s_, in_);
    ScanTarget::storeText(buffer, size, s_.data() + in_, end - in_);
    return taken(end);
  }
  template <size_t N>
  bool text(char (&buffer)[N]) {
    return text(buffer, N);
  }
  // The same, telling the bytes kept (the text's length up to its zero).
  template <size_t N>
  bool text(char (&buffer)[N], uint8_t& kept) {
    static_assert(N <= 256, "the length kept takes one byte");
    if (!start()) return false;
    const size_t end = scan_detail::tokenEnd(s_, in_);
    ScanTarget::storeText(buffer, N, s_.data() + in_, end - in_);
    kept = static_cast<uint8_t>(end - in_ < N - 1 ? end - in_ : N - 1);
    return taken(end);
  }
  // %s counted as assigned and kept nowhere.
  bool skipText() { return start() && taken(scan_detail::tokenEnd(s_, in_)); }
  // %d and %ld (32-bit), %lf, %f.
  bool integer(int32_t& v) { return start() && convert(v); }
  bool real(double& v) { return start() && convert(v); }
  bool real(float& v) { return start() && convert(v); }

  // What the scan returns: the conversions assigned, or -1 when the input
  // ended before the first.
  int result() const { return converted_ ? assigned_ : -1; }

 private:
  friend class ScanFormat;
  // Skips white space ahead of a conversion: false when the input has ended.
  bool start() {
    // Most fields follow one blank; a byte above the blank is neither white
    // space nor the zero that ends the input.
    if (in_ + 1 < s_.size() && s_[in_] == ' ' && static_cast<unsigned char>(s_[in_ + 1]) > ' ') {
      ++in_;
    } else {
      in_ = scan_detail::skipSpace(s_, in_);
      if (scan_detail::endsAt(s_, in_)) return false;
    }
    converted_ = true;
    return true;
  }
  bool taken(size_t end) {
    in_ = end;
    ++assigned_;
    return true;
  }
  // The number at the field start() found, assigned: false, with `v` kept,
  // when none starts there.
  bool convert(int32_t& v);
  bool convert(double& v);
  bool convert(float& v);

  std::string_view s_;
  size_t in_ = 0;
  int assigned_ = 0;
  bool converted_ = false;  // a conversion was tried with input present
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

}  // namespace dz
