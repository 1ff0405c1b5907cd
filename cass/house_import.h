// Houses and the texts inside them: at an END line every house takes its
// structure and floor count from the collected texts that lie inside it, and
// every collected text becomes a text object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "cass/text_entries.h"
#include "host/records.h"

namespace dz {

// Host codes of houses.
inline bool isHouseCode(int32_t code) { return code >= 2110 && code <= 2180; }

// True when the text holds one of the structure characters (砼 混 砖 钢 木 土
// 石 竹 建 破 秫 电 厕), found as whole characters: the second byte of one
// character and the first of the next never make up a false match.
bool hasStructureCharacter(std::string_view text);

// Writes a structure text into bytes 0-9 of a house block, terminated. A text
// longer than 9 bytes is cut at a character boundary instead of running into
// the floor count at byte 10.
void putHouseStructure(uint8_t* block, std::string_view text);

// The style of the text objects made from the collected texts.
TextStyle houseTextStyle();

// Where the unused text entries lie, so that a house tests only the texts in
// its bounding box instead of every text. A text strictly inside a polygon
// lies within the polygon's bounding box, so nothing inside is missed.
class HouseTextGrid {
 public:
  // Indexes entries[0..count) that are not used yet.
  void build(const TextEntry* entries, int count);
  // The indexes of unused entries that may lie inside the box, ascending.
  // Entries found used are dropped from the grid on the way. A box with a
  // NaN bound gives every unused entry.
  void query(double minFirst, double maxFirst, double minSecond, double maxSecond, std::vector<int>& out);

 private:
  size_t cellOf(double first, double second) const;
  int cellIndex(double v, double min, double size, int cells) const;
  void collect(std::vector<int>& cell, double minFirst, double maxFirst, double minSecond, double maxSecond,
               std::vector<int>& out);

  const TextEntry* entries_ = nullptr;
  int cells_ = 0;  // per axis
  double minFirst_ = 0, minSecond_ = 0, cellFirst_ = 1, cellSecond_ = 1;
  std::vector<std::vector<int>> grid_;
  std::vector<int> unplaced_;  // entries at an infinite position: always candidates
};

}  // namespace dz
