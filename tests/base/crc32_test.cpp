#include "base/crc32.h"

#include <gtest/gtest.h>

#include <string>

namespace dz {
namespace {

// Values any zlib-compatible CRC-32 gives: a later switch of implementation
// must keep every .qel file's trailer valid.
TEST(Crc32, MatchesTheZlibValues) {
  EXPECT_EQ(crc32(""), 0x00000000u);
  EXPECT_EQ(crc32("a"), 0xE8B7BE43u);
  EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(Crc32, CountsZeroAndHighBytes) {
  EXPECT_EQ(crc32(std::string(32, '\0')), 0x190A55ADu);
  EXPECT_EQ(crc32(std::string(32, '\xFF')), 0xFF6CAB0Bu);
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(crc32(all), 0x29058C73u);
}

}  // namespace
}  // namespace dz
