#include "base/huge_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "base/zeroed_array.h"

namespace dz {
namespace {

constexpr size_t kHuge = size_t{2} << 20;

// Blocks of every size around a huge page come zeroed and whole, and those
// of a huge page or more start on a huge-page boundary, where the system
// pages memory that way.
TEST(LargeBlock, ComesZeroedWholeAndOnAHugePageBoundary) {
  for (size_t size : {size_t{1}, size_t{4095}, kHuge - 1, kHuge, kHuge + 1, 5 * kHuge / 2}) {
    LargeBlock block(size);
    ASSERT_NE(block.data(), nullptr) << size;
    ASSERT_EQ(block.size(), size);
    for (size_t at = 0; at < size; at += 4093) ASSERT_EQ(block.data()[at], 0) << size << " at " << at;
    ASSERT_EQ(block.data()[size - 1], 0) << size;
    block.data()[0] = 1;
    block.data()[size - 1] = 2;
#ifdef __linux__
    if (size >= kHuge) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(block.data()) % kHuge, 0u) << size;
    }
#endif
  }
  EXPECT_EQ(LargeBlock(0).data(), nullptr);
}

TEST(LargeBlock, MovesItsMemoryAndRefusesWhatCannotBeHad) {
  LargeBlock block(3 * kHuge);
  block.data()[kHuge] = 7;
  uint8_t* const data = block.data();
  LargeBlock moved(std::move(block));
  EXPECT_EQ(moved.data(), data);
  EXPECT_EQ(moved.data()[kHuge], 7);
  EXPECT_EQ(block.data(), nullptr);  // NOLINT(bugprone-use-after-move): moved from, and empty
  EXPECT_EQ(block.size(), 0u);
  LargeBlock small(16);
  small = std::move(moved);
  EXPECT_EQ(small.data(), data);
  EXPECT_EQ(small.size(), 3 * kHuge);

  EXPECT_THROW(LargeBlock(SIZE_MAX - 1), std::bad_alloc);
  EXPECT_THROW(LargeBlock(SIZE_MAX / 2 + 1), std::bad_alloc);
  EXPECT_THROW(ZeroedArray<uint64_t>(SIZE_MAX / 4), std::bad_alloc);  // the bytes would wrap
}

// A vector growing through the huge-page size keeps its elements at every
// step; its memory is mapped once large and given back the way it came
// (a mapping freed as heap memory, or the reverse, would not pass).
TEST(LargeAllocator, AVectorGrowsThroughTheHugePageSizeAndShrinksBack) {
  std::vector<uint32_t, LargeAllocator<uint32_t>> v;
  for (uint32_t i = 0; i < (3u << 20); ++i) v.push_back(i * 7u);
#ifdef __linux__
  EXPECT_EQ(reinterpret_cast<uintptr_t>(v.data()) % kHuge, 0u);
#endif
  for (uint32_t i = 0; i < v.size(); i += 4099) ASSERT_EQ(v[i], i * 7u) << i;
  EXPECT_EQ(v.back(), ((3u << 20) - 1) * 7u);
  v.resize(100);
  v.shrink_to_fit();
  EXPECT_EQ(v[99], 99u * 7u);
  std::vector<uint32_t, LargeAllocator<uint32_t>>().swap(v);
  EXPECT_THROW(LargeAllocator<uint64_t>().allocate(SIZE_MAX / 4), std::bad_alloc);
}

}  // namespace
}  // namespace dz
