// Whole-number parsing, rounding, MulDiv and hex texts.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "platform/runtime/SysUtils.h"

using namespace plat;

namespace {

TEST(WholeNumberRule, AcceptsBlanksSignsAndHexPrefixes) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"   42", 42},
      {"   +7", 7},
      {"+42", 42},
      {"-42", -42},
      {"007", 7},
      {"$1F", 31},
      {"$ff", 255},
      {"0x10", 16},
      {"0X1a", 26},
      {"-$10", -16},
      {"  -0x10", -16},
      {"$7FFFFFFF", INT32_MAX},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"$FFFFFFFF", -1},
      {"$80000005", int32_t(0x80000005u)},
      {"$000000000FF", 255},
  };
  for (const Case& c : cases) {
    int32_t value = 12345;
    EXPECT_TRUE(TryStrToInt(c.text, value)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
  }
}

TEST(WholeNumberRule, RejectsEverythingElse) {
  const char* bad[] = {"",
                       " ",
                       "-",
                       "+",
                       "$",
                       "0x",
                       "12 ",
                       "1.5",
                       "12a",
                       "$G",
                       "a12",
                       "--1",
                       "+-1",
                       "1 2",
                       "1e3",
                       "2147483648",
                       "-2147483649",
                       "$100000000",
                       "99999999999999999999",
                       "0x-1",
                       "$ 1",
                       "\t7",
                       "\xC3\xA9"};
  for (const char* text : bad) {
    int32_t value = 777;
    EXPECT_FALSE(TryStrToInt(text, value)) << '"' << text << '"';
    EXPECT_EQ(value, 777) << "a failed parse must not change the output";
    EXPECT_EQ(StrToIntDef(text, -5), -5) << text;
  }
}

TEST(WholeNumberRule, StrToIntReportsTheText) {
  try {
    StrToInt("12x");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
  }
}

TEST(Round, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(1.5), 2);
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-0.5), 0);
  EXPECT_EQ(Round(-1.5), -2);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(2.4999999999999996), 2);
  EXPECT_EQ(Round(0.49999999999999994), 0);
  EXPECT_EQ(Round(2.6), 3);
  EXPECT_EQ(Round(-2.6), -3);
  EXPECT_EQ(Round(4503599627370497.0), 4503599627370497LL);  // 2^52 + 1, no fraction left
  EXPECT_EQ(Round(-9223372036854775808.0), INT64_MIN);
}

TEST(Round, OutOfRangeRaises) {
  EXPECT_THROW(Round(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(Round(std::numeric_limits<double>::infinity()), EInvalidOp);
  EXPECT_THROW(Round(9223372036854775808.0), EInvalidOp);
  EXPECT_THROW(Trunc(-1e19), EInvalidOp);
}

TEST(Trunc, GoesTowardZero) {
  EXPECT_EQ(Trunc(2.9), 2);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_EQ(Trunc(-0.5), 0);
}

TEST(MulDiv, RoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(40, 96, 72), 53);    // 53.33
  EXPECT_EQ(MulDiv(640, 96, 72), 853);  // 853.33
  EXPECT_EQ(MulDiv(3, 1, 2), 2);        // 1.5
  EXPECT_EQ(MulDiv(5, 1, 2), 3);        // 2.5: away from zero, not to even
  EXPECT_EQ(MulDiv(5, 1, 4), 1);        // 1.25
  EXPECT_EQ(MulDiv(7, 1, 4), 2);        // 1.75
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(3, -1, 2), -2);
  EXPECT_EQ(MulDiv(3, 1, -2), -2);
  EXPECT_EQ(MulDiv(-3, -1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, -2), 2);
  EXPECT_EQ(MulDiv(-7, 1, 4), -2);
  EXPECT_EQ(MulDiv(0, 5, 3), 0);
}

TEST(MulDiv, ZeroDivisorAndOverflowGiveMinusOne) {
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(0, 0, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, 1), -1);
  EXPECT_EQ(MulDiv(INT32_MIN, -1, 1), -1);
  // Large products still divide exactly in 64 bits.
  EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
  EXPECT_EQ(MulDiv(INT32_MIN, INT32_MIN, INT32_MIN), INT32_MIN);
  EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), INT32_MIN);
  EXPECT_EQ(MulDiv(INT32_MIN, INT32_MIN, INT32_MAX), -1);
}

TEST(NumberTexts, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x12345, 2), "12345");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int64_t(-1), 2), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(uint16_t(0xBEEF), 0), "BEEF");
  EXPECT_EQ(IntToHex(0, 0), "0");
}

}  // namespace
