// Colour values, system colours and colour texts in both directions.
#include <gtest/gtest.h>

#include <random>

#include "platform/drawing/Colors.h"
#include "platform/runtime/SysUtils.h"

using namespace plat;

namespace {

TEST(ColorValues, ChannelsAreInBgrOrder) {
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412);
  EXPECT_EQ(GetRValue(0x563412), 0x12);
  EXPECT_EQ(GetGValue(0x563412), 0x34);
  EXPECT_EQ(GetBValue(0x563412), 0x56);
  EXPECT_EQ(clRed, RGB(255, 0, 0));
  EXPECT_EQ(clNavy, RGB(0, 0, 128));
  EXPECT_EQ(clCream, RGB(255, 251, 240));
  EXPECT_EQ(clNone, 0x1FFFFFFF);
}

TEST(ColorValues, SystemColoursAreNegativeAndResolve) {
  EXPECT_EQ(uint32_t(clBtnFace), 0x8000000Fu);
  EXPECT_EQ(uint32_t(clWindowText), 0x80000008u);
  EXPECT_LT(clHighlight, 0);
  EXPECT_EQ(ColorToRGB(clWindowText), 0x000000);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0);
  EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFF);
  EXPECT_EQ(ColorToRGB(clBtnShadow), 0x808080);
  EXPECT_EQ(ColorToRGB(clInfoBk), 0xE1FFFF);
  // Only the lowest byte picks the entry, whatever the high bits say.
  EXPECT_EQ(ColorToRGB(TColor(0xFF00000Fu)), 0xC0C0C0);
  EXPECT_EQ(ColorToRGB(clTeal), clTeal);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(GetSysColor(-1), 0);
  EXPECT_EQ(GetSysColor(200), 0);
}

TEST(ColorTexts, ValuesWithANameGiveIt) {
  EXPECT_EQ(ColorToString(clNavy), "clNavy");
  EXPECT_EQ(ColorToString(0xF0FBFF), "clCream");
  EXPECT_EQ(ColorToString(0xC0C0C0), "clSilver");
  EXPECT_EQ(ColorToString(0x808080), "clGray");
  EXPECT_EQ(ColorToString(0), "clBlack");
  EXPECT_EQ(ColorToString(TColor(0x8000000Fu)), "clBtnFace");
  EXPECT_EQ(ColorToString(clNone), "clNone");
  EXPECT_EQ(ColorToString(clMoneyGreen), "clMoneyGreen");
}

TEST(ColorTexts, OtherValuesGiveEightHexDigits) {
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(ColorToString(0xABCDEF), "$00ABCDEF");
  EXPECT_EQ(ColorToString(TColor(0x80000019u)), "$80000019");
  EXPECT_EQ(ColorToString(-2), "$FFFFFFFE");
}

TEST(ColorTexts, StringToColorReadsNamesAndNumbers) {
  EXPECT_EQ(StringToColor("clNavy"), 0x800000);
  EXPECT_EQ(StringToColor("CLNAVY"), 0x800000);
  EXPECT_EQ(StringToColor("clbtnface"), TColor(0x8000000Fu));
  EXPECT_EQ(StringToColor("clLtGray"), 0xC0C0C0);
  EXPECT_EQ(StringToColor("$00FF0000"), clBlue);
  EXPECT_EQ(StringToColor("$80000005"), clWindow);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(StringToColor("-1"), -1);
  EXPECT_EQ(StringToColor(" $10"), 16);
  TColor color = 99;
  EXPECT_FALSE(IdentToColor("Navy", color));
  EXPECT_EQ(color, 99);
}

TEST(ColorTexts, BadTextRaises) {
  for (const char* text : {"", "clNavyBlue", "navy", "$1G", "12 ", "#FF0000", "$123456789"})
    EXPECT_THROW(StringToColor(text), EConvertError) << text;
}

TEST(ColorTexts, EveryValueSurvivesTheRoundTrip) {
  std::mt19937 random(7);
  std::vector<TColor> values = {clBlack,   clWhite,   clNone,    clDefault, clMenuBar, clHotLight,
                                clMedGray, clSkyBlue, INT32_MIN, INT32_MAX, -1};
  for (int i = 0; i < 2000; ++i) values.push_back(TColor(random()));
  for (int i = 0; i <= 40; ++i) values.push_back(SystemColor(i));
  for (TColor value : values) EXPECT_EQ(StringToColor(ColorToString(value)), value) << value;
}

}  // namespace
