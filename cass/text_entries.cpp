#include "cass/text_entries.h"

#include <cstring>

#include "base/classic_scan.h"
#include "base/gbk.h"
#include "cass/cass_converter.h"

namespace dz {
namespace {

// The longest prefix of at most kTextEntryMaxBytes bytes that does not split
// a two-byte character: a cut text stays valid GBK.
size_t keptTextLength(std::string_view text) {
  return gbkPrefixLength(text, static_cast<size_t>(kTextEntryMaxBytes));
}

}  // namespace

void CCassConverter::CollectTextEntry(const std::string& line, int16_t& textToggle) {
  if (line.find(',') == std::string::npos) return;
  if (textToggle == 0) {
    // A text: it goes into the slot after the last complete entry.
    const size_t slot = m_nTextEntries < 0 ? 0 : static_cast<size_t>(m_nTextEntries);
    if (m_TextEntries.size() <= slot) m_TextEntries.resize(slot + 1);
    dz::TextEntry& entry = m_TextEntries[slot];
    const std::string text = ExtractField(line, 0);
    const size_t length = dz::keptTextLength(text);
    std::memcpy(entry.text, text.data(), length);
    entry.text[length] = '\0';
    entry.length = static_cast<int16_t>(length + 1);
    textToggle = 1;
    if (m_nTextEntries == 0) m_nTextEntries = -1;
    return;
  }
  // Its position.
  if (m_nTextEntries == -1) m_nTextEntries = 0;
  const size_t slot = static_cast<size_t>(m_nTextEntries);
  if (m_TextEntries.size() <= slot) m_TextEntries.resize(slot + 1);
  dz::TextEntry& entry = m_TextEntries[slot];
  dz::scanFormat(line, "%lf,%lf", {dz::ScanTarget::real(entry.first), dz::ScanTarget::real(entry.second)});
  textToggle = 0;
  ++m_nTextEntries;
}

}  // namespace dz
