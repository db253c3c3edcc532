#include "base/parse_number.h"

#include <gtest/gtest.h>

namespace {

TEST(ToolsParseNumber, TheWholeTextMustBeTheNumber) {
  long long whole = 7;
  EXPECT_TRUE(ParseWhole("1920", whole));
  EXPECT_EQ(whole, 1920);
  EXPECT_TRUE(ParseWhole("-3", whole));
  EXPECT_EQ(whole, -3);
  EXPECT_TRUE(ParseWhole("9223372036854775807", whole));
  for (const char* bad :
       {"", " 5", "5 ", "+5", "5x", "1e3", "2.0", "0x10", "9223372036854775808"}) {
    whole = 7;
    EXPECT_FALSE(ParseWhole(bad, whole)) << bad;
    EXPECT_EQ(whole, 7) << "left alone on failure: " << bad;
  }

  uint64_t hex = 1;
  EXPECT_TRUE(ParseHex("ffffffffffffffff", hex));
  EXPECT_EQ(hex, 0xffffffffffffffffULL);
  for (const char* bad : {"", "0x1f", "-1", "1g", "10000000000000000"}) {
    hex = 1;
    EXPECT_FALSE(ParseHex(bad, hex)) << bad;
    EXPECT_EQ(hex, 1u) << bad;
  }

  double decimal = 0.5;
  EXPECT_TRUE(ParseDecimal("221.5", decimal));
  EXPECT_DOUBLE_EQ(decimal, 221.5);
  EXPECT_TRUE(ParseDecimal("1e2", decimal));
  EXPECT_DOUBLE_EQ(decimal, 100.0);
  for (const char* bad : {"", "1.5s", " 1", "inf", "nan", "1e999", ","}) {
    decimal = 0.5;
    EXPECT_FALSE(ParseDecimal(bad, decimal)) << bad;
    EXPECT_EQ(decimal, 0.5) << bad;
  }
}

}  // namespace
