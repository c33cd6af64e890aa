#include <gtest/gtest.h>

#include <random>

#include "html/css/CssComputed.h"
#include "html/css/CssStyles.h"

using namespace html;

namespace {

TBackgroundPos Position(const char* text, const char* repeat = nullptr) {
  TProperties p;
  p.Values[piBackgroundPosition] = std::string(text);
  if (repeat) p.Values[piBackgroundRepeat] = std::string(repeat);
  TBackgroundPos pos;
  p.GetBackgroundPos(16, 8, pos);
  return pos;
}

TEST(BackgroundPosition, WordsAndTheirAxes) {
  TBackgroundPos pos = Position("left");
  EXPECT_EQ(pos[0].PosKind, bpLeft);
  EXPECT_EQ(pos[1].PosKind, bpCenter);
  pos = Position("top");
  EXPECT_EQ(pos[0].PosKind, bpCenter);
  EXPECT_EQ(pos[1].PosKind, bpTop);
  pos = Position("center left");
  EXPECT_EQ(pos[0].PosKind, bpLeft);
  EXPECT_EQ(pos[1].PosKind, bpCenter);
  pos = Position("10px 50%");
  EXPECT_EQ(pos[0].PosKind, bpPixels);
  EXPECT_EQ(pos[0].PosValue, 10);
  EXPECT_EQ(pos[1].PosKind, bpPercent);
  EXPECT_EQ(pos[1].PosValue, 50);
  pos = Position("top left ");
  EXPECT_EQ(pos[0].PosKind, bpLeft);
  EXPECT_EQ(pos[1].PosKind, bpTop);
  pos = Position("bottom 2em");
  EXPECT_EQ(pos[0].PosKind, bpPixels);
  EXPECT_EQ(pos[0].PosValue, 32);
  EXPECT_EQ(pos[1].PosKind, bpBottom);
}

TEST(BackgroundPosition, RepeatsAndAttachment) {
  TProperties none;
  TBackgroundPos pos;
  none.GetBackgroundPos(16, 8, pos);
  EXPECT_EQ(pos[0].PosKind, bpPixels);
  EXPECT_EQ(pos[1].PosValue, 0);
  EXPECT_TRUE(pos[0].Repeats && pos[1].Repeats);
  pos = Position("left", "repeat-x");
  EXPECT_TRUE(pos[0].Repeats);
  EXPECT_FALSE(pos[1].Repeats);
  pos = Position("left", "no-repeat");
  EXPECT_FALSE(pos[0].Repeats || pos[1].Repeats);
  TProperties fixed;
  fixed.Values[piBackgroundAttachment] = std::string("fixed");
  fixed.GetBackgroundPos(16, 8, pos);
  EXPECT_TRUE(pos[0].Fixed && pos[1].Fixed);
}

TEST(ComputedValues, CodesOfSimpleProperties) {
  EXPECT_EQ(ParseAlignment("ABSMIDDLE"), 2);
  EXPECT_EQ(ParseAlignment("justify"), 7);
  EXPECT_EQ(ParseAlignment("sideways"), 0);
  EXPECT_EQ(BorderStyleCode("ridge"), 5);
  EXPECT_EQ(BorderStyleCode("wavy"), 0);
  EXPECT_EQ(ExtractCssUrl(std::string("url('a b.gif')")), "a b.gif");
  EXPECT_EQ(ExtractCssUrl(std::string("url(x)")), "x");
  EXPECT_EQ(ExtractCssUrl(std::string("url(\"x\"")), "x");
  EXPECT_EQ(ExtractCssUrl(std::string("url('')")), "''");
  EXPECT_EQ(ExtractCssUrl(int32_t(3)), "");

  TProperties p;
  int code = -1;
  p.Values[piClear] = std::string("both");
  EXPECT_TRUE(p.GetClear(code));
  EXPECT_EQ(code, 3);
  EXPECT_FALSE(p.GetClear(code));
  p.Values[piFloat] = std::string("right");
  EXPECT_TRUE(p.GetFloat(code));
  EXPECT_EQ(code, 6);
  p.Values[piVerticalAlign] = std::string("text-top");
  EXPECT_TRUE(p.GetVertAlign(code));
  EXPECT_EQ(code, 1);
  p.Values[piVerticalAlign] = std::string("50%");
  EXPECT_FALSE(p.GetVertAlign(code));
  p.Values[piListStyleType] = std::string("upper-roman");
  EXPECT_EQ(p.GetListStyleType(), 9);
  p.Values[piZIndex] = std::string("-3");
  EXPECT_EQ(p.GetZIndex(), -3);
  p.Values[piZIndex] = std::string("top");
  EXPECT_EQ(p.GetZIndex(), 0);
  std::string url = "old";
  EXPECT_FALSE(p.GetBackgroundImage(url));
  p.Values[piBackgroundImage] = std::string("none");
  EXPECT_TRUE(p.GetBackgroundImage(url));
  EXPECT_EQ(url, "");
  p.Values[piBackgroundImage] = std::string("url(a.gif)");
  EXPECT_TRUE(p.GetBackgroundImage(url));
  EXPECT_EQ(url, "a.gif");
}

TEST(ComputedValues, LineHeightAndIndent) {
  TProperties p;
  p.EmPixels = 20;
  p.ExPixels = 10;
  EXPECT_EQ(p.GetLineHeight(15), -1);
  p.Values[piLineHeight] = std::string("1.5");
  EXPECT_EQ(p.GetLineHeight(15), 22);
  p.Values[piLineHeight] = std::string("150%");
  EXPECT_EQ(p.GetLineHeight(15), 30);
  p.Values[piLineHeight] = std::string("normal");
  EXPECT_EQ(p.GetLineHeight(15), -1);
  bool percent = false;
  p.Values[piTextIndent] = std::string("25%");
  EXPECT_EQ(p.GetTextIndent(percent), 25);
  EXPECT_TRUE(percent);
  p.Values[piTextIndent] = std::string("2em");
  EXPECT_EQ(p.GetTextIndent(percent), 40);
  EXPECT_FALSE(percent);
}

TVMarginArray Box(std::initializer_list<std::pair<int, TCssValue>> values) {
  TProperties p;
  for (const auto& [index, value] : values) p.Values[size_t(index)] = value;
  TVMarginArray a;
  p.GetVMarginArray(a);
  return a;
}

TEST(BoxArrays, BlockMarginsBordersAndSizes) {
  int autoCount = -1;
  TMarginArray r;
  ConvMargArray(Box({{piMarginLeft, std::string("auto")}, {piWidth, std::string("auto")}}), 400,
                200, 16, 8, autoCount, r);
  EXPECT_EQ(autoCount, 2);
  EXPECT_EQ(r[piMarginLeft], AutoLength);
  EXPECT_EQ(r[piMarginRight], 0);
  // No border style is no border.
  EXPECT_EQ(r[piBorderTopWidth], 0);
  EXPECT_EQ(r[piBackgroundColor], clNone);
  EXPECT_EQ(r[piTop], AutoLength);

  ConvMargArray(Box({{piBorderTopWidth, std::string("thick")},
                     {piBorderTopStyle, std::string("none")},
                     {piBorderLeftWidth, std::string("thick")},
                     {piBorderLeftStyle, std::string("solid")},
                     {piWidth, std::string("25%")},
                     {piMarginRight, std::string("2em")}}),
                400, 200, 16, 8, autoCount, r);
  EXPECT_EQ(r[piBorderTopWidth], 0);
  EXPECT_EQ(r[piBorderLeftWidth], 6);
  EXPECT_EQ(r[piWidth], 100);
  EXPECT_EQ(r[piMarginRight], 32);
  EXPECT_EQ(autoCount, 0);

  // A percentage height leaves room for the vertical borders and paddings.
  TVMarginArray tall = Box({{piHeight, std::string("50%")},
                            {piBorderTopWidth, std::string("1px")},
                            {piBorderBottomWidth, std::string("1px")},
                            {piBorderTopStyle, std::string("solid")},
                            {piBorderBottomStyle, std::string("solid")},
                            {piPaddingTop, std::string("5px")},
                            {piPaddingBottom, std::string("5px")}});
  ConvMargArray(tall, 400, 200, 16, 8, autoCount, r);
  EXPECT_EQ(r[piHeight], 88);
  ConvMargArray(tall, 400, 10, 16, 8, autoCount, r);
  EXPECT_EQ(r[piHeight], 0);
}

TEST(BoxArrays, InlineCellAndVerticalVariants) {
  TMarginArray r;
  r[piPaddingTop] = 77;
  ConvInlineMargArray(Box({{piMarginTop, std::string("3px")}, {piHeight, std::string("50%")}}), 80,
                      16, 8, r);
  EXPECT_EQ(r[piMarginTop], 3);
  EXPECT_EQ(r[piMarginLeft], UnsetLength);
  EXPECT_EQ(r[piWidth], UnsetLength);
  EXPECT_EQ(r[piHeight], 40);
  EXPECT_EQ(r[piBorderLeftWidth], 0);
  EXPECT_EQ(r[piPaddingTop], 77);

  ConvCellPadding(Box({{piPaddingTop, std::string("10%")}, {piPaddingLeft, std::string("3px")}}),
                  16, 8, r);
  EXPECT_EQ(r[piPaddingTop], -10);
  EXPECT_EQ(r[piPaddingLeft], 3);
  EXPECT_EQ(r[piPaddingRight], -1);

  bool top = false, bottom = true;
  ConvVertMargins(Box({{piMarginTop, DefaultParaMargin}, {piMarginBottom, std::string("1em")}}),
                  100, 16, 8, top, bottom, r);
  EXPECT_EQ(r[piMarginTop], 14);
  EXPECT_TRUE(top);
  EXPECT_EQ(r[piMarginBottom], 16);
  EXPECT_FALSE(bottom);
}

// Every value set comes back as it was given, whatever the slot held before, in copies too.
TEST(BoxArrays, ValuesComeBackAsSet) {
  std::mt19937 random(7);
  const auto any = [&random]() -> TCssValue {
    switch (random() % 5) {
      case 0:
        return {};
      case 1:
        return int32_t(random());
      case 2:
        return uint8_t(random());
      case 3:
        return double(int32_t(random())) / 64;
      default:
        return std::string(random() % 40, char('a' + random() % 26));
    }
  };
  std::array<TCssValue, BoxLast - BoxFirst + 1> model;
  TVMarginArray a;
  for (int round = 0; round < 2000; ++round) {
    const int index = BoxFirst + int(random() % model.size());
    model[size_t(index - BoxFirst)] = any();
    a.Set(index, model[size_t(index - BoxFirst)]);
    if (round % 100 == 0) a = TVMarginArray(a);
    for (int i = BoxFirst; i <= BoxLast; ++i) ASSERT_EQ(a[i], model[size_t(i - BoxFirst)]) << i;
  }
}

}  // namespace
