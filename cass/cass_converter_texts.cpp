// The TEXT sections: each text line and the position line after it make one
// entry, in file order, kept for the houses and text objects of END lines.
#include <string>

#include "cass/cass_converter.h"

namespace dz {

void CCassConverter::CollectTextEntry(std::string_view line, int16_t& textToggle) {
  if (line.find(',') == std::string_view::npos) return;
  if (textToggle == 0) {
    // A text: it goes into the slot after the last complete entry.
    const size_t slot = m_nTextEntries < 0 ? 0 : static_cast<size_t>(m_nTextEntries);
    if (m_TextEntries.size() <= slot) m_TextEntries.resize(slot + 1);
    m_TextEntries.setText(slot, ExtractField(line, 0));
    textToggle = 1;
    if (m_nTextEntries == 0) m_nTextEntries = -1;
    return;
  }
  // Its position.
  if (m_nTextEntries == -1) m_nTextEntries = 0;
  const size_t slot = static_cast<size_t>(m_nTextEntries);
  if (m_TextEntries.size() <= slot) m_TextEntries.resize(slot + 1);
  m_TextEntries[slot].readPosition(line);
  textToggle = 0;
  ++m_nTextEntries;
}

}  // namespace dz
