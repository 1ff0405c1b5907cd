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

// Reserving keeps the bytes taken where they were by offset, and the room
// asked for afterwards, within what was reserved, stays where it is. Bytes
// written into a room and not yet taken survive the pages made ahead of a
// later, larger room.
TEST(PackedBytes, ReserveKeepsWhatWasTakenAndRoomWithinItStaysPut) {
  PackedBytes bytes;
  for (int i = 0; i < 1000; ++i) {
    *bytes.room(1) = static_cast<uint8_t>(i);
    bytes.take(1);
  }
  bytes.reserve(size_t{5} << 20);
  const uint8_t* const data = bytes.data();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(bytes.data()[i], static_cast<uint8_t>(i)) << i;
  for (int i = 0; i < 4000; ++i) {
    std::memset(bytes.room(1000), 0x5A, 1000);
    bytes.take(1000);
  }
  std::memset(bytes.room(100), 0x3C, 100);
  const uint8_t* const pending = bytes.room(600000);
  EXPECT_EQ(pending[0], 0x3C);
  EXPECT_EQ(pending[99], 0x3C);
  EXPECT_EQ(bytes.data(), data);
  EXPECT_EQ(bytes.size(), 4001000u);
  EXPECT_EQ(bytes.data()[999], static_cast<uint8_t>(999));
  EXPECT_EQ(bytes.data()[bytes.size() - 1], 0x5A);
}

}  // namespace
}  // namespace dz
