#include "cass/text_entries.h"

#include <cstring>

#include "base/classic_scan.h"
#include "base/gbk.h"

namespace dz {

void TextEntry::setText(std::string_view value) {
  const size_t kept = gbkPrefixLength(value, static_cast<size_t>(kTextEntryMaxBytes));
  std::memcpy(text, value.data(), kept);
  text[kept] = '\0';
  length = static_cast<int16_t>(kept + 1);
}

void TextEntry::readPosition(std::string_view line) {
  scanFormat(line, "%lf,%lf", {ScanTarget::real(first), ScanTarget::real(second)});
}

}  // namespace dz
