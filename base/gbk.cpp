#include "base/gbk.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace dz {
namespace {

constexpr uint16_t kTwoByte[] = {
#include "base/gbk_table.inc"
};
constexpr int kTrailCount = 0xFE - 0x40 + 1;
static_assert(sizeof kTwoByte / sizeof kTwoByte[0] == (0xFE - 0x81 + 1) * kTrailCount,
              "table covers leads 81..FE and trails 40..FE");

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kEuro = 0x20AC;  // the one single byte above ASCII: 0x80

char16_t decodePair(unsigned char lead, unsigned char trail) {
  if (!isGbkLead(lead) || trail < 0x40 || trail > 0xFE) return 0;
  return kTwoByte[(lead - 0x81) * kTrailCount + (trail - 0x40)];
}

// Unicode -> GBK code, built once from the table.
struct ReverseTable {
  std::vector<std::pair<char16_t, uint16_t>> entries;
  ReverseTable() {
    for (int lead = 0x81; lead <= 0xFE; ++lead)
      for (int trail = 0x40; trail <= 0xFE; ++trail)
        if (char16_t u = decodePair(lead, trail)) entries.emplace_back(u, (lead << 8) | trail);
    std::sort(entries.begin(), entries.end());
  }
  uint16_t find(char16_t u) const {
    auto it = std::lower_bound(entries.begin(), entries.end(), std::make_pair(u, uint16_t{0}));
    return it != entries.end() && it->first == u ? it->second : 0;
  }
};

const ReverseTable& reverseTable() {
  static const ReverseTable table;
  return table;
}

// Appends the GBK form of one code point; false when it has none.
bool appendGbk(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
    return true;
  }
  if (cp == kEuro) {
    out.push_back(static_cast<char>(0x80));
    return true;
  }
  if (cp <= 0xFFFF) {
    if (uint16_t code = reverseTable().find(static_cast<char16_t>(cp))) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
      return true;
    }
  }
  out.push_back('?');
  return false;
}

void appendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes GBK into code points, calling emit for each and invalid for each
// byte that is not part of a GBK character.
template <typename Emit, typename Invalid>
void decodeGbk(std::string_view gbk, Emit emit, Invalid invalid) {
  for (size_t i = 0; i < gbk.size();) {
    unsigned char b = static_cast<unsigned char>(gbk[i]);
    if (b < 0x80) {
      emit(b);
      ++i;
    } else if (b == 0x80) {
      emit(kEuro);
      ++i;
    } else if (isGbkLead(b) && i + 1 < gbk.size()) {
      char16_t u = decodePair(b, static_cast<unsigned char>(gbk[i + 1]));
      if (u) {
        emit(u);
        i += 2;
      } else {
        invalid(b);
        ++i;
      }
    } else {
      invalid(b);
      ++i;
    }
  }
}

}  // namespace

size_t gbkPrefixLength(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = end + gbkCharLength(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return end;
}

size_t findGbkText(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  for (size_t i = 0; i + needle.size() <= text.size(); i += gbkCharLength(text, i)) {
    if (text.compare(i, needle.size(), needle) == 0) return i;
  }
  return std::string_view::npos;
}

std::string gbkToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  decodeGbk(gbk, [&](char32_t cp) { appendUtf8(cp, out); }, [&](unsigned char) { appendUtf8(kReplacement, out); });
  return out;
}

std::string gbkToUtf8Escaped(std::string_view gbk) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  decodeGbk(gbk, [&](char32_t cp) { appendUtf8(cp, out); },
            [&](unsigned char b) {
              out += "\\x";
              out.push_back(kHex[b >> 4]);
              out.push_back(kHex[b & 0xF]);
            });
  return out;
}

std::u16string gbkToUtf16(std::string_view gbk) {
  std::u16string out;
  out.reserve(gbk.size());
  decodeGbk(gbk, [&](char32_t cp) { out.push_back(static_cast<char16_t>(cp)); },
            [&](unsigned char) { out.push_back(kReplacement); });
  return out;
}

bool utf8ToGbk(std::string_view utf8, std::string& gbk) {
  gbk.clear();
  bool ok = true;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char b = static_cast<unsigned char>(utf8[i]);
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= utf8.size()) {
      gbk.push_back('?');
      ok = false;
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char c = static_cast<unsigned char>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!valid) {
      gbk.push_back('?');
      ok = false;
      ++i;
      continue;
    }
    ok = appendGbk(cp, gbk) && ok;
    i += extra + 1;
  }
  return ok;
}

bool utf16ToGbk(std::u16string_view utf16, std::string& gbk) {
  gbk.clear();
  bool ok = true;
  for (char16_t u : utf16) ok = appendGbk(u, gbk) && ok;
  return ok;
}

}  // namespace dz
