// Wide-string search, case mapping and trimming; fitting, drawing and clipping on a context.
#include <gtest/gtest.h>

#include <vector>

#include "html/base/PageUtils.h"
#include "html/css/CssColors.h"
#include "support/PixelCanvas.h"

namespace html {
namespace {

TEST(WideStrings, SearchZeroTerminatedText) {
  const char16_t* text = u"one two one";
  EXPECT_EQ(WideStrPos(text, u"two"), text + 4);
  EXPECT_EQ(WideStrPos(text, u"one"), text);
  EXPECT_EQ(WideStrPos(text, u"three"), nullptr);
  EXPECT_EQ(WideStrPos(text, u""), nullptr);
  EXPECT_EQ(WideStrPos(u"on", u"one"), nullptr);
  EXPECT_EQ(WideStrPos(nullptr, u"one"), nullptr);
  EXPECT_EQ(WideStrPos(text, nullptr), nullptr);

  EXPECT_EQ(WideStrScan(text, u'o'), text);
  EXPECT_EQ(WideStrScan(text, u'w'), text + 5);
  EXPECT_EQ(WideStrScan(text, u'x'), nullptr);
  EXPECT_EQ(WideStrScan(text, 0), text + 11);
  EXPECT_EQ(WideStrRScan(text, u'o'), text + 8);
  EXPECT_EQ(WideStrRScan(text, u'x'), nullptr);
  EXPECT_EQ(WideStrRScan(text, 0), text + 11);
}

TEST(WideStrings, PositionsAreOneBased) {
  EXPECT_EQ(WidePos(u"b", u"abcb"), 2);
  EXPECT_EQ(WidePos(u"x", u"abcb"), 0);
  EXPECT_EQ(WidePos(u"", u"abcb"), 0);
  EXPECT_EQ(PosFrom("b", "abcb", 0), 2);
  EXPECT_EQ(PosFrom("b", "abcb", 1), 2);
  EXPECT_EQ(PosFrom("b", "abcb", 3), 4);
  EXPECT_EQ(PosFrom("b", "abcb", 4), 4);
  EXPECT_EQ(PosFrom("b", "abcb", 5), 0);
  EXPECT_EQ(PosFrom("b", "abcb", 99), 0);
  EXPECT_EQ(PosFrom("", "abcb", 1), 0);
}

TEST(WideStrings, CaseMappingKeepsEveryPosition) {
  EXPECT_EQ(WideUpperCaseStr(u"Straße \u00e9t\u00e9 \u03b1\u03b2"),
            u"STRAßE \u00c9T\u00c9 \u0391\u0392");
  EXPECT_EQ(WideLowerCaseStr(u"\u00c9COLE \u0391B"), u"\u00e9cole \u03b1b");
  // A surrogate pair and the object marks stay as they are.
  const std::u16string marks = u"\4\2\b\U0001F600";
  EXPECT_EQ(WideUpperCaseStr(marks), marks);
  EXPECT_TRUE(WideSameStr(u"abc", u"abc"));
  EXPECT_FALSE(WideSameStr(u"abc", u"ABC"));
}

TEST(WideStrings, TrimAndReplace) {
  EXPECT_EQ(WideTrim(u" \t\r\nword  \x01"), u"word");
  EXPECT_EQ(WideTrim(u" \t "), u"");
  EXPECT_EQ(WideTrim(u"\u00a0x\u00a0"), u"\u00a0x\u00a0");  // 160 is no white space here
  std::u16string s = u"a-b-c";
  ReplaceChar(u'-', u'+', s);
  EXPECT_EQ(s, u"a+b+c");
  EXPECT_EQ(IntMin(-3, 2), -3);
  EXPECT_EQ(IntMax(-3, 2), 2);
}

// A measuring context with a fixed-pitch font, so every character has the same advance.
class Measuring : public testing::Test {
 protected:
  void SetUp() override {
    plat::TLogFont font;
    font.FaceName = "DejaVu Sans Mono";
    font.Height = -16;
    dc.SelectFont(font);
    advance = dc.GetTextExtent(u"M").cx;
    ASSERT_GT(advance, 0);
    ASSERT_EQ(dc.GetTextExtent(u"MMMM").cx, 4 * advance);
  }
  plat::DeviceContext dc;
  int advance = 0;
};

TEST_F(Measuring, FitTextCountsWholeCharacters) {
  const std::u16string text = u"abcdef";
  const int len = int(text.size());
  int extent = -1;
  EXPECT_EQ(FitText(dc, text.data(), len, 3 * advance, extent), 3);
  EXPECT_EQ(extent, 3 * advance);
  EXPECT_EQ(FitText(dc, text.data(), len, 3 * advance - 1, extent), 2);
  EXPECT_EQ(extent, 2 * advance);
  EXPECT_EQ(FitText(dc, text.data(), len, 100 * advance, extent), 6);
  EXPECT_EQ(extent, 6 * advance);
  EXPECT_EQ(FitText(dc, text.data(), len, advance - 1, extent), 0);
  EXPECT_EQ(extent, 0);
  EXPECT_EQ(FitText(dc, text.data(), len, 0, extent), 0);
  EXPECT_EQ(FitText(dc, text.data(), 0, 1000, extent), 0);
  EXPECT_EQ(extent, 0);
  EXPECT_EQ(GetWideTextExtent(dc, text.data(), 2).cx, 2 * advance);
}

TEST_F(Measuring, FitTextNeverSplitsASurrogatePair) {
  const std::u16string text = u"a\U0001F600b\U0001F600";
  const int len = int(text.size());
  const int total = GetWideTextExtent(dc, text.data(), len).cx;
  for (int width = 1; width <= total + 1; ++width) {
    int extent = 0;
    const int fit = FitText(dc, text.data(), len, width, extent);
    ASSERT_LE(extent, width);
    if (fit > 0) EXPECT_FALSE(text[size_t(fit - 1)] >= 0xD800 && text[size_t(fit - 1)] <= 0xDBFF);
  }
}

// A white 40 x 30 surface drawn on through a canvas.
class Drawing : public testing::Test, protected test_support::PixelCanvas {
 protected:
  Drawing() : PixelCanvas(40, 30) {}
  uint32_t Pixel(int x, int y) const { return PixelAt(x, y) & 0xFFFFFF; }
};

TEST_F(Drawing, WideDrawTextStaysInItsRectangleAndRestoresTheAlignment) {
  canvas.Font().SetColor(plat::clBlack);
  canvas.Font().SetHeight(-12);
  canvas.Brush().SetStyle(plat::bsClear);
  dc.SetTextAlign(plat::TA_BASELINE);
  WideDrawText(canvas, 10, 5, u"WW WW WW", 30, 25);
  EXPECT_EQ(dc.TextAlign(), plat::TA_BASELINE);
  int inked = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      if (Pixel(x, y) == 0xFFFFFF) continue;
      EXPECT_TRUE(x >= 10 && x < 30 && y >= 5 && y < 25) << x << "," << y;
      ++inked;
    }
  EXPECT_GT(inked, 0);
}

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

TEST_F(Drawing, OnePixelFramesAreLightAtTheTopLeft) {
  Draw3DRectColors(canvas, 2, 2, 10, 8, 1, true, plat::clRed, plat::clBlue);
  for (int y = 2; y <= 8; ++y) EXPECT_EQ(Pixel(2, y), kRed) << y;
  for (int x = 2; x <= 9; ++x) EXPECT_EQ(Pixel(x, 2), kRed) << x;
  for (int y = 2; y <= 8; ++y) EXPECT_EQ(Pixel(10, y), kBlue) << y;
  for (int x = 3; x <= 10; ++x) EXPECT_EQ(Pixel(x, 8), kBlue) << x;
  EXPECT_EQ(Pixel(5, 5), kWhite);
  EXPECT_EQ(Pixel(11, 2), kWhite);
  EXPECT_EQ(Pixel(2, 9), kWhite);

  Draw3DRectColors(canvas, 20, 20, 30, 25, 1, false, plat::clRed, plat::clBlue);
  EXPECT_EQ(Pixel(20, 22), kBlue);
  EXPECT_EQ(Pixel(30, 22), kRed);
  EXPECT_EQ(canvas.Pen().Color(), plat::clBlack);  // the pen is given back
}

TEST_F(Drawing, WideFramesAreSolidBordersOutsideTheInnerRectangle) {
  Draw3DRectColors(canvas, 4, 4, 20, 14, 3, true, plat::clRed, plat::clBlue);
  // Inner rectangle (5, 5)-(20, 14), outer (2, 2)-(23, 17).
  EXPECT_EQ(Pixel(2, 9), kRed);
  EXPECT_EQ(Pixel(4, 9), kRed);
  EXPECT_EQ(Pixel(12, 2), kRed);
  EXPECT_EQ(Pixel(22, 9), kBlue);
  EXPECT_EQ(Pixel(20, 9), kBlue);
  EXPECT_EQ(Pixel(12, 16), kBlue);
  EXPECT_EQ(Pixel(12, 9), kWhite);
  EXPECT_EQ(Pixel(1, 9), kWhite);
  EXPECT_EQ(Pixel(23, 9), kWhite);
  EXPECT_EQ(Pixel(12, 17), kWhite);
}

TEST_F(Drawing, TheLightColourDependsOnThePage) {
  const uint32_t silver = 0xC0C0C0;
  const auto rgb = [](plat::TColor c) {
    const plat::TColor v = plat::ColorToRGB(c);
    return uint32_t(plat::GetRValue(v)) << 16 | uint32_t(plat::GetGValue(v)) << 8 |
           plat::GetBValue(v);
  };
  Draw3DRect(plat::clWhite, canvas, 1, 1, 5, 5, 1, true);
  EXPECT_EQ(Pixel(1, 3), silver);
  EXPECT_EQ(Pixel(5, 3), rgb(plat::clBtnShadow));
  ASSERT_EQ(plat::ColorToRGB(plat::clWindow), plat::clWhite);
  Draw3DRect(HtmlSystemColor(plat::COLOR_WINDOW), canvas, 11, 1, 15, 5, 1, true);
  EXPECT_EQ(Pixel(11, 3), silver);
  Draw3DRect(plat::clYellow, canvas, 21, 1, 25, 5, 1, true);
  EXPECT_EQ(Pixel(21, 3), rgb(plat::clBtnHighlight));
  EXPECT_NE(rgb(plat::clBtnHighlight), silver);
}

TEST_F(Drawing, SavedClipIntersectsAndComesBack) {
  dc.SetWindowOrg({5, 5});
  TSavedClip outer = SaveClipRegion(canvas, {5, 5, 25, 25});
  EXPECT_FALSE(outer.OldRgn.has_value());
  EXPECT_EQ(dc.ClipRegion()->BoundingRect(), (plat::TRect{0, 0, 20, 20}));

  TSavedClip inner = SaveClipRegion(canvas, {20, 20, 40, 40});
  EXPECT_EQ(dc.ClipRegion()->BoundingRect(), (plat::TRect{15, 15, 20, 20}));
  canvas.Brush().SetColor(plat::clBlack);
  canvas.FillRect({0, 0, 45, 45});
  EXPECT_EQ(Pixel(14, 14), 0xFFFFFFu);
  EXPECT_EQ(Pixel(15, 15), 0u);
  EXPECT_EQ(Pixel(19, 19), 0u);
  EXPECT_EQ(Pixel(20, 20), 0xFFFFFFu);

  RestoreClipRegion(canvas, inner);
  EXPECT_EQ(dc.ClipRegion()->BoundingRect(), (plat::TRect{0, 0, 20, 20}));
  RestoreClipRegion(canvas, outer);
  EXPECT_FALSE(dc.ClipRegion().has_value());
}

}  // namespace
}  // namespace html
