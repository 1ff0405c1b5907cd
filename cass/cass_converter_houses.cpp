// The houses at an END line: every house takes its structure and floor count
// from the collected texts that lie inside it, and every text not yet written
// becomes a text object.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/classic_scan.h"
#include "base/fixed_field.h"
#include "cass/cass_converter.h"

namespace dz {

void CCassConverter::GiveHousesTheirTexts(dz::TextEntry* entries, int count) {
  // Only the houses whose answer can change: the index has tested every
  // house against the texts near it and keeps the unused texts inside each.
  std::vector<dz::HouseTextIndex::Visit> visits;
  m_houseIndex.update(m_host, m_hFile, entries, count, visits);
  for (const dz::HouseTextIndex::Visit& visit : visits) {
    FeatureHeader header{};
    const PointRef* hostRefs = nullptr;
    int16_t refCount = 0;
    const uint8_t* stored = nullptr;
    int storedLength = 0;
    if (m_host.GetFeature(m_hFile, visit.feature, &header, &hostRefs, &refCount, &stored, &storedLength) <= 0)
      continue;

    // What the host lent is copied before it is called again. A stored block
    // longer than a house block contributes its first 20 bytes.
    uint8_t storedBlock[kHouseAttributesSize] = {};
    const size_t storedBytes = stored ? std::min<size_t>(std::max(storedLength, 0), sizeof storedBlock) : 0;
    if (storedBytes > 0) std::memcpy(storedBlock, stored, storedBytes);
    const bool hadBlock = stored && storedLength > 0;

    uint8_t house[kHouseAttributesSize] = {};
    bool applied = false;
    for (int j : m_houseIndex.textsOf(visit)) {
      dz::TextEntry& entry = entries[j];
      if (entry.used == 1) continue;  // taken by a house before this one
      applied = true;
      std::memcpy(house, storedBlock, storedBytes);
      const std::string_view text = dz::fieldView(entry.text, static_cast<size_t>(entry.length));
      if (dz::hasStructureCharacter(text)) {
        putHouseStructure(house, text);
        entry.used = 1;
        continue;
      }
      dz::putLE<int16_t>(house, 10, static_cast<int16_t>(dz::classicAtoi(text)));
      entry.used = 1;
      if (house[0] != 0) break;  // structure and floors known: this house is done
    }
    // A house that no text applies to keeps the block it has, so a later END
    // line does not erase what an earlier one assigned. A house without a
    // block gets an empty one.
    if (applied || !hadBlock) m_host.SetFeatureAttributes(m_hFile, visit.feature, kHouse, house, sizeof house);
  }
}

void CCassConverter::ApplyHouseAttributes(dz::TextEntry* entries, int count) {
  if (count < 0) count = 0;
  // The list of visits is gone before the text objects grow the store.
  GiveHousesTheirTexts(entries, count);
  m_houseIndex.forgetTaken();

  const QelHandle layer = m_host.GetTextLayer(m_hFile);
  if (layer <= 0) return;
  // Every text becomes a text object once, whether or not a house took it;
  // a later END line writes only the texts collected since.
  const TextStyle style = dz::houseTextStyle();
  for (int j = std::max(m_nTextObjectsWritten, 0); j < count; ++j) {
    const double anchor[2] = {entries[j].first, entries[j].second};
    m_host.AddTextObject(layer, anchor, entries[j].text, entries[j].length, &style, 2);
    ++m_nTextsAdded;
  }
  m_nTextObjectsWritten = std::max(m_nTextObjectsWritten, count);
}

}  // namespace dz
