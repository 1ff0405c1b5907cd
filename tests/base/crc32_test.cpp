#include "base/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

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

// A file's CRC is taken as it is written, buffer by buffer: any split of the
// bytes gives the CRC of the whole.
TEST(Crc32, ContinuesOverPiecesOfAnySize) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>((i * 131) ^ (i >> 7));
  const uint32_t whole = crc32(bytes);
  EXPECT_EQ(crc32Update(0, bytes.data(), bytes.size()), whole);
  for (size_t split : {size_t{0}, size_t{1}, size_t{7}, size_t{4096}, size_t{65537}, bytes.size()}) {
    uint32_t c = crc32Update(0, bytes.data(), split);
    c = crc32Update(c, bytes.data() + split, bytes.size() - split);
    EXPECT_EQ(c, whole) << "split at " << split;
  }
  EXPECT_EQ(crc32Update(crc32("1234"), "56789", 5), 0xCBF43926u);
}

// The CRC of our files must stay zlib's whatever computes it: random bytes
// at every alignment and length up to a few folds of 64 bytes, and in two
// pieces split anywhere.
TEST(Crc32, GivesZlibsCrcOnRandomBytesAtAnyAlignmentAndSplit) {
  std::vector<unsigned char> bytes(4096 + 64);
  uint32_t seed = 20261208;
  for (unsigned char& b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<unsigned char>(seed >> 24);
  }
  for (int trial = 0; trial < 3000; ++trial) {
    seed = seed * 1103515245u + 12345u;
    const size_t offset = (seed >> 8) % 64;
    seed = seed * 1103515245u + 12345u;
    const size_t length = trial < 600 ? static_cast<size_t>(trial) : (seed >> 8) % 4096;
    seed = seed * 1103515245u + 12345u;
    const size_t split = length == 0 ? 0 : (seed >> 8) % (length + 1);
    const unsigned char* p = bytes.data() + offset;
    const auto expected = static_cast<uint32_t>(::crc32(0, p, static_cast<uInt>(length)));
    ASSERT_EQ(crc32Update(0, p, length), expected) << "offset " << offset << ", length " << length;
    ASSERT_EQ(crc32Update(crc32Update(0, p, split), p + split, length - split), expected)
        << "offset " << offset << ", length " << length << ", split at " << split;
  }
}

}  // namespace
}  // namespace dz
