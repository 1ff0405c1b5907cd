#include "cass/house_import.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/gbk.h"

namespace dz {
namespace {

// Longest structure text kept in a house block: bytes 0-9 hold it with its
// terminating zero, and the floor count follows at byte 10.
constexpr size_t kStructureMaxBytes = 9;

}  // namespace

bool hasStructureCharacter(std::string_view text) {
  static const char* const kStructureCharacters[] = {"砼", "混", "砖", "钢", "木", "土", "石",
                                                     "竹", "建", "破", "秫", "电", "厕"};
  for (const char* c : kStructureCharacters)
    if (findGbkText(text, c) != std::string_view::npos) return true;
  return false;
}

void putHouseStructure(uint8_t* block, std::string_view text) {
  const size_t length = gbkPrefixLength(text, kStructureMaxBytes);
  std::memcpy(block, text.data(), length);
  block[length] = 0;
}

TextStyle houseTextStyle() {
  TextStyle style{};
  style.height = 3.0f;
  style.width = 2.0f;
  style.w18 = 1;
  style.v44 = 1;
  return style;
}

}  // namespace dz
