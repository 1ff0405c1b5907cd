#include "base/prefault.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace dz {
namespace {

// Making pages never changes what they hold, wherever the range starts and
// ends; an empty range is nothing to make.
TEST(PrefaultPages, KeepsWhatThePagesHoldAndMakesTheRestWritable) {
  std::vector<uint8_t> bytes(size_t{3} << 20);
  for (size_t i = 0; i < bytes.size(); i += 511) bytes[i] = static_cast<uint8_t>(i / 511);
  prefaultPages(bytes.data() + 3, bytes.size() - 4000);
  prefaultPages(bytes.data() + 100, 0);
  prefaultPages(nullptr, 0);
  for (size_t i = 0; i < bytes.size(); i += 511) ASSERT_EQ(bytes[i], static_cast<uint8_t>(i / 511)) << i;
  std::vector<uint8_t> fresh;
  fresh.reserve(size_t{4} << 20);
  prefaultPages(fresh.data(), fresh.capacity());
  fresh.assign(fresh.capacity(), 7);
  EXPECT_EQ(fresh.back(), 7);
}

}  // namespace
}  // namespace dz
