#include "base/record_arena.h"

#include <gtest/gtest.h>

#include <cstring>
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

// Room made ahead holds the runs that follow it one after another, however
// many chunks they would have filled (a chunk grows to a megabyte), and each
// run keeps its bytes; runs past the room go on in chunks of their own.
TEST(RecordArena, RoomMadeAheadHoldsTheRunsThatFollowInOnePiece) {
  RecordArena arena;
  arena.copy("before", 6);
  constexpr size_t kRun = 100000, kRuns = 40;  // 4 MB, below a run's own chunk
  arena.reserve(kRun * kRuns);
  std::vector<uint8_t> bytes(kRun);
  std::vector<const uint8_t*> at;
  for (size_t i = 0; i < kRuns + 3; ++i) {
    std::memset(bytes.data(), static_cast<int>(i), bytes.size());
    at.push_back(arena.copy(bytes.data(), bytes.size()));
  }
  for (size_t i = 0; i < at.size(); ++i) {
    if (i > 0 && i < kRuns) {
      ASSERT_EQ(at[i], at[i - 1] + kRun) << "run " << i << " left the room";
    }
    ASSERT_EQ(at[i][0], static_cast<uint8_t>(i));
    ASSERT_EQ(at[i][kRun - 1], static_cast<uint8_t>(i));
  }
}

}  // namespace
}  // namespace dz
