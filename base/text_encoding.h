// The encodings an input file may come in, and what it takes to read a UTF-8
// file as the GBK text every reader expects: a line converted whole or
// refused at the first character GBK cannot hold, the byte-order mark, and
// the signs that a file read as GBK is UTF-8 after all.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dz {

enum class TextEncoding {
  Gbk,   // the bytes as they are (the host's code page)
  Utf8,  // converted to GBK line by line
};

// The UTF-8 byte-order mark.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Bytes of the well-formed UTF-8 character at `pos` (1 to 4); 0 when the
// bytes there are not one (a stray continuation byte, a cut or overlong
// sequence, a surrogate, beyond U+10FFFF).
size_t utf8CharLength(std::string_view text, size_t pos);

// The character of a line that stopped its conversion.
struct Utf8Refusal {
  size_t offset = 0;    // where it starts in the line
  std::string bytes;    // its UTF-8 bytes, or the one byte that is not UTF-8
  long codePoint = -1;  // -1 for a byte that is not UTF-8
};

// Converts one UTF-8 line to GBK into `gbk`. False at the first character
// that is not UTF-8 or has no GBK form, described in `refusal`; `gbk` is
// then unspecified.
bool utf8LineToGbk(std::string_view utf8, std::string& gbk, Utf8Refusal& refusal);

// "U+1F600" for a code point; "byte 0xC3" for a byte that is not UTF-8.
std::string describeRefusal(const Utf8Refusal& refusal);

// Watches the lines of a file read as GBK for the signs that it is UTF-8:
// every line well-formed UTF-8 and some of it beyond ASCII.
class Utf8Evidence {
 public:
  void see(std::string_view line);
  bool looksLikeUtf8() const { return valid_ && beyondAscii_; }

 private:
  bool valid_ = true;
  bool beyondAscii_ = false;
};

}  // namespace dz
