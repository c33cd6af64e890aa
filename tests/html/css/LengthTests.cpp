#include <gtest/gtest.h>

#include "html/css/CssLengths.h"

using html::FontSizeConv;
using html::LengthConv;

namespace {

// Base 300, em 20, ex 10, default -7; 96 pixels per inch.
int Length(const char* text, bool relative = false) {
  return LengthConv(text, relative, 300, 20, 10, -7);
}

TEST(LengthConv, EveryUnitAtNinetySixPixelsPerInch) {
  EXPECT_EQ(Length("1in"), 96);
  EXPECT_EQ(Length("2.54cm"), 96);
  EXPECT_EQ(Length("25.4mm"), 96);
  EXPECT_EQ(Length("36pt"), 48);
  EXPECT_EQ(Length("13px"), 13);
  EXPECT_EQ(Length("1pc"), 16);
  EXPECT_EQ(Length("2em"), 40);
  EXPECT_EQ(Length("2ex"), 20);
  EXPECT_EQ(Length("50%"), 150);
  EXPECT_EQ(Length("-1.5em"), -30);
  EXPECT_EQ(Length(" 4 px "), 4);
}

TEST(LengthConv, BareNumbersUnknownUnitsAndRounding) {
  EXPECT_EQ(Length("2"), 2);
  EXPECT_EQ(Length("2", true), 600);
  EXPECT_EQ(Length("3abc"), -7);
  EXPECT_EQ(Length("abc"), -7);
  EXPECT_EQ(Length(""), 0);
  EXPECT_EQ(Length("", true), 0);
  // Halves go to the even neighbour.
  EXPECT_EQ(Length("2.5px"), 2);
  EXPECT_EQ(Length("3.5px"), 4);
  EXPECT_EQ(Length("-2.5px"), -2);
  // An exponent is not read: 2e1px is 2 of the unknown unit e1px.
  EXPECT_EQ(Length("2e1px"), -7);
}

TEST(LengthConv, AbsurdValuesStayBounded) {
  EXPECT_EQ(Length("99999999999999999999999999999999px"), 16777216);
  EXPECT_EQ(Length("-99999999999999999999999999999in"), -16777216);
  EXPECT_EQ(Length("0.000000000000000000000000000000000000000000001px"), 0);
}

TEST(FontSizeConv, UnitsKeywordsAndBases) {
  html::SetDefaultPointSize(10);
  EXPECT_DOUBLE_EQ(FontSizeConv("1.5em", 12), 18);
  EXPECT_DOUBLE_EQ(FontSizeConv("16px", 12), 12);
  EXPECT_DOUBLE_EQ(FontSizeConv("16", 12), 12);
  EXPECT_DOUBLE_EQ(FontSizeConv("1in", 12), 72);
  EXPECT_DOUBLE_EQ(FontSizeConv("2.54cm", 12), 72);
  EXPECT_DOUBLE_EQ(FontSizeConv("25.4mm", 12), 72);
  EXPECT_DOUBLE_EQ(FontSizeConv("9pt", 12), 9);
  EXPECT_DOUBLE_EQ(FontSizeConv("2pc", 12), 24);
  EXPECT_DOUBLE_EQ(FontSizeConv("2ex", 12), 12);
  EXPECT_DOUBLE_EQ(FontSizeConv("150%", 12), 18);
  EXPECT_DOUBLE_EQ(FontSizeConv("smaller", 12), 9);
  EXPECT_DOUBLE_EQ(FontSizeConv("larger", 12), 15);
  EXPECT_DOUBLE_EQ(FontSizeConv("medium", 12), 12);
  EXPECT_DOUBLE_EQ(FontSizeConv("xx-small", 12), 10 / 1.5);
  EXPECT_DOUBLE_EQ(FontSizeConv("x-small", 12), 10 / 1.2);
  EXPECT_DOUBLE_EQ(FontSizeConv("small", 12), 10);
  EXPECT_DOUBLE_EQ(FontSizeConv("large", 12), 15);
  EXPECT_DOUBLE_EQ(FontSizeConv("x-large", 12), 20);
  EXPECT_DOUBLE_EQ(FontSizeConv("xx-large", 12), 30);
  EXPECT_DOUBLE_EQ(FontSizeConv("huge", 12), 10);
  EXPECT_DOUBLE_EQ(FontSizeConv("3furlongs", 12), 10);
  html::SetDefaultPointSize(12);
}

TEST(StrToIntDef, DecimalIntegersOnly) {
  EXPECT_EQ(html::StrToIntDef("42", -1), 42);
  EXPECT_EQ(html::StrToIntDef(" -42 ", -1), -42);
  EXPECT_EQ(html::StrToIntDef("+7", -1), 7);
  EXPECT_EQ(html::StrToIntDef("12px", -1), -1);
  EXPECT_EQ(html::StrToIntDef("", -1), -1);
  EXPECT_EQ(html::StrToIntDef("99999999999", -1), -1);
}

}  // namespace
