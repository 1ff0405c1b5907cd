#include "base/zeroed_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace dz {
namespace {

struct Slot {
  uint32_t hash;
  uint32_t entry;
};

// Small and large arrays start all zero and keep what is written, every
// record of them; a large one starts on a 2 MiB boundary where huge pages
// are asked for, so that none of its pages is a small one.
TEST(ZeroedArray, SmallAndLargeArraysStartZeroAndHoldEveryRecord) {
  for (size_t n : {size_t{1}, size_t{1000}, size_t{(3u << 20) / sizeof(Slot) + 7}}) {
    ZeroedArray<Slot> a(n);
    ASSERT_EQ(a.size(), n);
    for (size_t i = 0; i < n; ++i) ASSERT_EQ(a[i].hash | a[i].entry, 0u) << n << " at " << i;
    for (size_t i = 0; i < n; ++i) a[i] = {static_cast<uint32_t>(i), static_cast<uint32_t>(~i)};
    for (size_t i = 0; i < n; ++i) ASSERT_EQ(a[i].entry, static_cast<uint32_t>(~i));
#ifdef __linux__
    if (n * sizeof(Slot) >= (2u << 20)) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(a.data()) % (2u << 20), 0u);
    }
#endif
  }
}

// A table handed on leaves none behind: the one it came from is empty, and
// the one it replaced is freed (the sanitizers tell a leak or a double free).
TEST(ZeroedArray, MovedTablesLeaveTheirSourceEmpty) {
  ZeroedArray<Slot> a(600000);
  a[599999].hash = 42;
  ZeroedArray<Slot> b(std::move(a));
  EXPECT_TRUE(a.empty());
  EXPECT_EQ(a.data(), nullptr);
  EXPECT_EQ(b[599999].hash, 42u);
  ZeroedArray<Slot> c(10);
  c = std::move(b);
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(c.size(), 600000u);
  EXPECT_EQ(c[599999].hash, 42u);
  c = {};
  EXPECT_TRUE(c.empty());
}

}  // namespace
}  // namespace dz
