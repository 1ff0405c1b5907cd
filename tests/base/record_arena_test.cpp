#include "base/record_arena.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace dz {
namespace {

// Every run stays where it was put, with its bytes, however many runs of
// whatever sizes come after it: small ones filling chunks that grow, ones
// larger than a chunk, and ones with a chunk of their own.
TEST(RecordArena, EveryRunKeepsItsBytesWhereItWasPut) {
  RecordArena arena;
  EXPECT_EQ(arena.copy("x", 0), nullptr);
  struct Run {
    const uint8_t* at;
    std::vector<uint8_t> bytes;
  };
  std::vector<Run> runs;
  uint32_t seed = 20261208;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245u + 12345u;
    const size_t size = i % 500 == 0 ? 300000 + (seed >> 20) : i % 97 == 0 ? 5000 + (seed >> 24) : 1 + (seed >> 26);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
      seed = seed * 1103515245u + 12345u;
      b = static_cast<uint8_t>(seed >> 24);
    }
    runs.push_back({arena.copy(bytes.data(), bytes.size()), bytes});
  }
  for (size_t i = 0; i < runs.size(); ++i) {
    ASSERT_NE(runs[i].at, nullptr) << i;
    ASSERT_EQ(std::memcmp(runs[i].at, runs[i].bytes.data(), runs[i].bytes.size()), 0) << "run " << i;
  }
}

// Room reserved ahead takes the runs that follow one after another, and the
// runs past it go on into chunks of their own as before.
TEST(RecordArena, ReservedRoomTakesTheFollowingRunsInOneChunk) {
  RecordArena arena;
  arena.copy("before", 6);
  arena.reserve(100000);
  const uint8_t* first = arena.copy("a", 1);
  const uint8_t* expected = first + 1;
  std::vector<std::pair<const uint8_t*, uint8_t>> runs;
  for (int i = 0; i < 3000; ++i) {  // 99,000 bytes in all: within the room
    const std::vector<uint8_t> bytes(33, static_cast<uint8_t>(i));
    const uint8_t* at = arena.copy(bytes.data(), bytes.size());
    ASSERT_EQ(at, expected) << "run " << i << " left the reserved room";
    expected += bytes.size();
    runs.emplace_back(at, static_cast<uint8_t>(i));
  }
  const std::vector<uint8_t> past(5000, 0xEE);
  const uint8_t* after = arena.copy(past.data(), past.size());
  EXPECT_EQ(std::memcmp(after, past.data(), past.size()), 0);
  arena.reserve(10);  // within what is left: no new chunk
  EXPECT_EQ(arena.copy("b", 1), after + past.size());
  for (const auto& [at, value] : runs) ASSERT_EQ(at[32], value);
}

}  // namespace
}  // namespace dz
