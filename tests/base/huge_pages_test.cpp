#include "base/huge_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace dz {
namespace {

constexpr uintptr_t kHuge = uintptr_t{2} << 20;

// A vector on the allocator keeps every element as it grows from a few
// bytes to many huge pages; its large rooms start on a huge page's boundary.
TEST(HugePageAllocator, AVectorGrowsThroughSmallAndLargeRoomsKeepingItsElements) {
  std::vector<uint64_t, HugePageAllocator<uint64_t>> v;
  for (uint64_t i = 0; i < 1500000; ++i) {
    v.push_back(i * 2654435761u);
#ifdef __linux__
    if (v.capacity() * sizeof(uint64_t) >= kHuge) {
      ASSERT_EQ(reinterpret_cast<uintptr_t>(v.data()) % kHuge, 0u) << "capacity " << v.capacity();
    }
#endif
  }
  for (uint64_t i = 0; i < v.size(); ++i) ASSERT_EQ(v[i], i * 2654435761u);
  v.shrink_to_fit();
  EXPECT_EQ(v[1499999], 1499999 * uint64_t{2654435761u});
}

// Zeroed tables of any size, on a boundary when large, where every byte
// may be written.
TEST(HugePages, ZeroedTablesOfAnySizeMayBeWrittenToTheirLastByte) {
  for (size_t bytes : {size_t{1}, size_t{4096}, size_t{kHuge}, size_t{kHuge * 3 + 5}}) {
    void* block = nullptr;
    auto* data = static_cast<uint8_t*>(callocHuge(bytes, block));
    ASSERT_NE(data, nullptr);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(data[0] | data[bytes - 1], 0);
    data[0] = data[bytes - 1] = 7;
#ifdef __linux__
    if (bytes >= kHuge) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % kHuge, 0u);
    }
#endif
    std::free(block);
  }
}

}  // namespace
}  // namespace dz
