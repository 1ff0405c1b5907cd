// The houses at an END line: every house takes its structure and floor count
// from the collected texts that lie inside it, and every text not yet written
// becomes a text object.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/classic_scan.h"
#include "base/fixed_field.h"
#include "cass/cass_converter.h"

namespace dz {

void CCassConverter::ApplyHouseAttributes(dz::TextEntry* entries, int count) {
  if (count < 0) count = 0;
  int total = 0;
  m_host.GetFeatureCount(m_hFile, &total);
  m_textGrid.build(entries, count);
  std::vector<PointRef> refs;
  std::vector<double> polygon;
  std::vector<int> candidates;
  for (int i = 1; i <= total; ++i) {
    FeatureHeader header{};
    const PointRef* hostRefs = nullptr;
    int16_t refCount = 0;
    const uint8_t* stored = nullptr;
    int storedLength = 0;
    if (m_host.GetFeature(m_hFile, i, &header, &hostRefs, &refCount, &stored, &storedLength) <= 0) continue;
    if (!dz::isHouseCode(header.code)) continue;

    // What the host lent is copied before it is called again. A stored block
    // longer than a house block contributes its first 20 bytes.
    uint8_t storedBlock[kHouseAttributesSize] = {};
    const size_t storedBytes = stored ? std::min<size_t>(std::max(storedLength, 0), sizeof storedBlock) : 0;
    if (storedBytes > 0) std::memcpy(storedBlock, stored, storedBytes);
    const bool hadBlock = stored && storedLength > 0;
    const int vertices = hostRefs ? std::max<int>(refCount, 0) : 0;
    refs.assign(hostRefs, hostRefs + vertices);

    polygon.assign(2 * static_cast<size_t>(vertices), 0.0);
    double minF = HUGE_VAL, maxF = -HUGE_VAL, minS = HUGE_VAL, maxS = -HUGE_VAL;
    bool nanVertex = false;
    for (int v = 0; v < vertices; ++v) {
      double& first = polygon[2 * v];
      double& second = polygon[2 * v + 1];
      m_host.GetPointXY(m_hFile, refs[v].name, &first, &second);
      if (std::isnan(first) || std::isnan(second)) nanVertex = true;
      minF = std::min(minF, first);
      maxF = std::max(maxF, first);
      minS = std::min(minS, second);
      maxS = std::max(maxS, second);
    }
    if (nanVertex) minF = maxF = minS = maxS = NAN;  // the box says nothing: test every text
    if (vertices > 0) m_textGrid.query(minF, maxF, minS, maxS, candidates);
    else candidates.clear();

    uint8_t house[kHouseAttributesSize] = {};
    bool applied = false;
    for (int j : candidates) {
      dz::TextEntry& entry = entries[j];
      if (entry.used == 1) continue;
      const double at[2] = {entry.first, entry.second};
      if (m_host.PointInPolygon(polygon.data(), vertices, at) != 2) continue;
      applied = true;
      std::memcpy(house, storedBlock, storedBytes);
      const std::string_view text(entry.text, dz::boundedLength(entry.text, sizeof entry.text));
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
    if (applied || !hadBlock) m_host.SetFeatureAttributes(m_hFile, i, kHouse, house, sizeof house);
  }

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
