#include "base/classic_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace dz {
namespace {

TEST(ClassicFormat, SixDecimalsCorrectlyRounded) {
  EXPECT_EQ(formatFixed6(-100000000.5), "-100000000.500000");
  EXPECT_EQ(formatFixed6(100000000.0), "100000000.000000");
  EXPECT_EQ(formatFixed6(0), "0.000000");
  EXPECT_EQ(formatFixed6(-0.0), "-0.000000");
  EXPECT_EQ(formatFixed6(1.0000005), "1.000001");    // stored just above the half
  EXPECT_EQ(formatFixed6(0.0000005), "0.000000");    // stored just below the half
  EXPECT_EQ(formatFixed6(2.0000025), "2.000002");    // stored just below the half
  EXPECT_EQ(formatFixed6(3100000.123), "3100000.123000");
}

TEST(ClassicFormat, EveryIntegerDigitIsWrittenOut) {
  EXPECT_EQ(formatFixed6(1e20), "100000000000000000000.000000");
  const std::string largest = formatFixed6(-std::numeric_limits<double>::max());
  EXPECT_EQ(largest.size(), 1 + 309 + 7u);
  EXPECT_EQ(largest.substr(0, 6), "-17976");
}

TEST(ClassicFormat, InfinitiesAreNamed) {
  EXPECT_EQ(formatFixed6(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(formatFixed6(-std::numeric_limits<double>::infinity()), "-inf");
}

}  // namespace
}  // namespace dz
