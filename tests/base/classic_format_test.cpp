#include "base/classic_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace dz {
namespace {

TEST(ClassicFormat, SixDecimalsCorrectlyRoundedWithEveryIntegerDigit) {
  EXPECT_EQ(formatFixed6(-100000000.5), "-100000000.500000");
  EXPECT_EQ(formatFixed6(-0.0), "-0.000000");
  EXPECT_EQ(formatFixed6(1.0000005), "1.000001");  // stored just above the half
  EXPECT_EQ(formatFixed6(2.0000025), "2.000002");  // stored just below the half
  EXPECT_EQ(formatFixed6(1e20), "100000000000000000000.000000");
  EXPECT_EQ(formatFixed6(-std::numeric_limits<double>::max()).size(), 1 + 309 + 7u);
  EXPECT_EQ(formatFixed6(-std::numeric_limits<double>::infinity()), "-inf");
}

}  // namespace
}  // namespace dz
