#include <gtest/gtest.h>

#include "ui/number_text.h"

namespace dz::ui {
namespace {

TEST(ExchangeNumberFormat, DoublesInShortestFormUpToFifteenDigits) {
  EXPECT_EQ(FormatExchangeDouble(9999), "9999");
  EXPECT_EQ(FormatExchangeDouble(0), "0");
  EXPECT_EQ(FormatExchangeDouble(350.5), "350.5");
  EXPECT_EQ(FormatExchangeDouble(-12.25), "-12.25");
  EXPECT_EQ(FormatExchangeDouble(0.1), "0.1");
  EXPECT_EQ(FormatExchangeDouble(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatExchangeDouble(3456789.123456789), "3456789.12345679");
  EXPECT_EQ(FormatExchangeDouble(1e20), "1e+20");
  EXPECT_EQ(FormatExchangeDouble(0.00001), "1e-05");
  EXPECT_EQ(FormatExchangeDouble(123456789012345.0), "123456789012345");
  EXPECT_EQ(FormatExchangeDouble(1234567890123456.0), "1.23456789012346e+15");
}

TEST(ExchangeNumberParse, IntegersWithBlanksAndSign) {
  int v = 99;
  EXPECT_TRUE(ParseExchangeInt("12", v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(ParseExchangeInt(" \t-7 ", v));
  EXPECT_EQ(v, -7);
  EXPECT_TRUE(ParseExchangeInt("+0", v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(ParseExchangeInt("-0", v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(ParseExchangeInt("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_TRUE(ParseExchangeInt("007", v));
  EXPECT_EQ(v, 7);
}

TEST(ExchangeNumberParse, IntegerRefusalsLeaveTheValue) {
  for (const char* text : {"", "  ", "abc", "12x", "1 2", "1.5", "-", "+", "2147483648", "-2147483649",
                           "99999999999999999999", "0x10", "1e3"}) {
    int v = 42;
    EXPECT_FALSE(ParseExchangeInt(text, v)) << text;
    EXPECT_EQ(v, 42) << text;
  }
}

TEST(ExchangeNumberParse, DoublesInEveryDecimalForm) {
  double v = 0;
  EXPECT_TRUE(ParseExchangeDouble("350.5", v));
  EXPECT_EQ(v, 350.5);
  EXPECT_TRUE(ParseExchangeDouble(" -.5 ", v));
  EXPECT_EQ(v, -0.5);
  EXPECT_TRUE(ParseExchangeDouble("5.", v));
  EXPECT_EQ(v, 5.0);
  EXPECT_TRUE(ParseExchangeDouble("1e5", v));
  EXPECT_EQ(v, 1e5);
  EXPECT_TRUE(ParseExchangeDouble("2.5E-3", v));
  EXPECT_EQ(v, 2.5e-3);
  EXPECT_TRUE(ParseExchangeDouble("0", v));
  EXPECT_EQ(v, 0.0);
  EXPECT_TRUE(ParseExchangeDouble(".0", v));
  EXPECT_EQ(v, 0.0);
}

TEST(ExchangeNumberParse, DoubleRefusalsLeaveTheValue) {
  for (const char* text : {"", "abc", ".", "-", "1e", "1e+", "1.5x", "1,5", "inf", "nan", "0x1p3", "1e999", "--1"}) {
    double v = 7.5;
    EXPECT_FALSE(ParseExchangeDouble(text, v)) << text;
    EXPECT_EQ(v, 7.5) << text;
  }
}

TEST(ExchangeNumberParse, WrittenDoublesReadBackExactly) {
  for (double d : {9999.0, 350.5, 0.1, 123.456, -98765.4321, 1e-7}) {
    double back = 0;
    ASSERT_TRUE(ParseExchangeDouble(FormatExchangeDouble(d), back)) << d;
    EXPECT_EQ(back, d);
  }
}

}  // namespace
}  // namespace dz::ui
