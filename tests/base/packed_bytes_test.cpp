#include "base/packed_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace dz {
namespace {

// Records taken stay at their offsets with their bytes as the buffer grows;
// a room the address space cannot hold is refused, not wrapped round.
TEST(PackedBytes, TakenBytesStayAtTheirOffsetsAndHugeRoomsAreRefused) {
  PackedBytes bytes;
  std::vector<size_t> offsets;
  for (size_t i = 0; i < 5000; ++i) {
    const size_t n = 1 + i % 300;
    uint8_t* at = bytes.room(n + 64);
    std::memset(at, static_cast<int>(i % 251), n);
    offsets.push_back(bytes.size());
    bytes.take(n);
  }
  for (size_t i = 0; i < offsets.size(); ++i) {
    const size_t n = 1 + i % 300;
    for (size_t k = 0; k < n; ++k) ASSERT_EQ(bytes.data()[offsets[i] + k], i % 251) << i;
  }
  const size_t before = bytes.size();
  EXPECT_THROW(bytes.room(SIZE_MAX), std::bad_alloc);
  EXPECT_THROW(bytes.room(SIZE_MAX / 2 + 1), std::bad_alloc);
  EXPECT_EQ(bytes.size(), before);
  EXPECT_EQ(bytes.data()[offsets.back()], (offsets.size() - 1) % 251);
}

}  // namespace
}  // namespace dz
