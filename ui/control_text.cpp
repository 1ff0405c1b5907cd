#include "ui/control_text.h"

#include "base/gbk.h"

namespace dz::ui {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // + a byte of 0x80..0xFF

bool isEscape(char16_t c) { return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF; }

}  // namespace

std::u16string ControlText(std::string_view gbk) {
  std::u16string text;
  text.reserve(gbk.size());
  for (size_t i = 0; i < gbk.size();) {
    const size_t length = gbkCharLength(gbk, i);
    const std::u16string c = gbkToUtf16(gbk.substr(i, length));
    // A byte that starts no character decodes to U+FFFD (no character of
    // the table is U+FFFD); the byte after it starts the next character.
    if (c[0] == 0xFFFD) {
      text.push_back(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(gbk[i])));
      ++i;
    } else {
      text.push_back(c[0]);
      i += length;
    }
  }
  return text;
}

std::string ControlTextBytes(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  size_t start = 0;
  auto flush = [&](size_t end) {
    if (end == start) return;
    std::string part;
    utf16ToGbk(text.substr(start, end - start), part);
    bytes += part;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (!isEscape(text[i])) continue;
    flush(i);
    bytes.push_back(static_cast<char>(text[i] - kEscapeBase));
    start = i + 1;
  }
  flush(text.size());
  return bytes;
}

}  // namespace dz::ui
