#include "base/fixed_field.h"

#include <gtest/gtest.h>

namespace dz {
namespace {

TEST(FixedField, NameCopyIsStrncpyOverTwelveBytes) {
  char field[12];
  std::memset(field, 'z', sizeof field);
  copyName(field, "K12");
  EXPECT_EQ(std::string(field, 12), std::string("K12\0\0\0\0\0\0\0\0\0", 12));
  copyName(field, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(std::string(field, 12), "ABCDEFGHIJKL");  // no terminator
  EXPECT_EQ(nameText(field), "ABCDEFGHIJKL");
  copyName(field, std::string("AB\0CD", 5));
  EXPECT_EQ(std::string(field, 12), std::string("AB\0\0\0\0\0\0\0\0\0\0", 12));
}

TEST(FixedField, CopyFromAnUnterminatedFieldReadsTwelveBytesOnly) {
  const char source[16] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'};
  char field[12];
  copyFieldFrom(field, 12, source);
  EXPECT_EQ(std::string(field, 12), "ABCDEFGHIJKL");
}

TEST(FixedField, LittleEndianNumbersAtOffsets) {
  uint8_t block[16] = {};
  putLE<int16_t>(block, 10, 0x1234);
  putLE<double>(block, 2, 1.5);
  EXPECT_EQ(block[10], 0x34);
  EXPECT_EQ(block[11], 0x12);
  EXPECT_EQ(getLE<double>(block, 2), 1.5);
  EXPECT_EQ(getLE<int16_t>(block, 10), 0x1234);
}

}  // namespace
}  // namespace dz
