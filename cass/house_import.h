// Houses and the texts inside them: at an END line every house takes its
// structure and floor count from the collected texts that lie inside it, and
// every collected text becomes a text object.
#pragma once

#include <cstdint>
#include <string_view>

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

}  // namespace dz
