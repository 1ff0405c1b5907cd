#include "cass/text_entries.h"

#include <cstring>

#include "base/classic_scan.h"
#include "base/gbk.h"

namespace dz {
namespace {
const ScanFormat kPositionLine("%lf,%lf");
}  // namespace

void TextEntries::setText(size_t i, std::string_view value) {
  const size_t kept = gbkPrefixLength(value, static_cast<size_t>(kTextEntryMaxBytes));
  char text[kTextEntryMaxBytes + 1];
  std::memcpy(text, value.data(), kept);
  text[kept] = '\0';
  entries_[i].text = reinterpret_cast<const char*>(texts_.copy(text, kept + 1));
  entries_[i].length = static_cast<int16_t>(kept + 1);
}

void TextEntry::readPosition(std::string_view line) {
  kPositionLine.scan(line, {ScanTarget::real(first), ScanTarget::real(second)});
}

}  // namespace dz
