#include "base/huge_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/zeroed_array.h"

namespace dz {
namespace {

constexpr size_t kHuge = size_t{2} << 20;

bool onHugeBoundary(const void* p) { return reinterpret_cast<uintptr_t>(p) % kHuge == 0; }

void fill(uint8_t* p, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) p[i] = static_cast<uint8_t>(i * 7 + i / 4096);
}

bool holds(const uint8_t* p, size_t to) {
  for (size_t i = 0; i < to; ++i)
    if (p[i] != static_cast<uint8_t>(i * 7 + i / 4096)) return false;
  return true;
}

// A block keeps its bytes as it grows from the allocator's sizes into
// mappings of its own and on through them, and reads zero where made so.
TEST(HugePages, BlocksKeepTheirBytesAsTheyGrow) {
  const std::vector<size_t> sizes = {100, 4096, kHuge - 1, kHuge, kHuge + 1, 3 * kHuge, 3 * kHuge + 5, 9 * kHuge};
  void* block = nullptr;
  size_t size = 0;
  for (size_t grown : sizes) {
    block = growBlock(block, size, grown);
    ASSERT_NE(block, nullptr);
    ASSERT_TRUE(holds(static_cast<uint8_t*>(block), size)) << "grown from " << size << " to " << grown;
    fill(static_cast<uint8_t*>(block), size, grown);
    size = grown;
  }
  freeBlock(block, size);

  for (size_t n : {size_t{1}, size_t{5000}, kHuge, 2 * kHuge + 3}) {
    uint8_t* zeroed = static_cast<uint8_t*>(allocateZeroedBlock(n));
    ASSERT_NE(zeroed, nullptr);
    for (size_t i = 0; i < n; i += 997) ASSERT_EQ(zeroed[i], 0) << n << " at " << i;
    ASSERT_EQ(zeroed[n - 1], 0);
    freeBlock(zeroed, n);
  }
  EXPECT_EQ(allocateZeroedBlock(0), nullptr);
  freeBlock(nullptr, 0);
}

#ifdef __linux__
// Blocks of 2 MiB or more start on a 2 MiB boundary, so that every 2 MiB of
// them can be a huge page, and stay there as they grow.
TEST(HugePages, LargeBlocksStartOnAHugePageBoundary) {
  void* block = growBlock(nullptr, 0, 4096);
  block = growBlock(block, 4096, 2 * kHuge);
  EXPECT_TRUE(onHugeBoundary(block));
  block = growBlock(block, 2 * kHuge, 5 * kHuge);
  EXPECT_TRUE(onHugeBoundary(block));
  freeBlock(block, 5 * kHuge);

  ZeroedArray<uint64_t> table(kHuge / 8 + 1);
  EXPECT_TRUE(onHugeBoundary(table.data()));
  ZeroedArray<uint64_t> moved(std::move(table));
  EXPECT_TRUE(onHugeBoundary(moved.data()));
  EXPECT_EQ(table.size(), 0u);
}
#endif

}  // namespace
}  // namespace dz
