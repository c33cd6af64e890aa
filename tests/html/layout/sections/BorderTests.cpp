// CSS borders painted on a bitmap and checked pixel by pixel against hand-made expectations,
// and darkened colours.
#include <gtest/gtest.h>

#include <functional>

#include "html/layout/sections/BorderDrawing.h"
#include "platform/pictures/Bitmap.h"

namespace html {
namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kBrown = plat::RGB(200, 100, 40);
constexpr TColor kDarkBrown = plat::RGB(150, 75, 30);

uint32_t Same(uint8_t style) {
  return PackBorderSides(style, style, style, style);
}

class Borders : public testing::Test {
 protected:
  void SetUp() override {
    bitmap.SetSize(60, 60);
    bitmap.Canvas().Brush().SetColor(kWhite);
    bitmap.Canvas().FillRect({0, 0, 60, 60});
  }
  void Draw(const plat::TRect& outer, const plat::TRect& inner, uint32_t styles,
            TColor background = clNone, TSideColors colors = {kRed, kRed, kRed, kRed}) {
    DrawCssBorder(bitmap.Canvas(), outer, inner, background, styles, colors);
  }
  TColor At(int x, int y) const { return bitmap.Pixel(x, y); }
  // Every pixel of the bitmap: the colour `expected` gives for it.
  void ExpectPixels(const std::function<TColor(int, int)>& expected) {
    int wrong = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (At(x, y) != expected(x, y) && ++wrong <= 5)
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << At(x, y)
                        << ", expected " << expected(x, y);
    EXPECT_EQ(wrong, 0);
  }
  plat::TBitmap bitmap;
};

TEST_F(Borders, SolidSidesFillExactlyTheRing) {
  const plat::TRect outer{10, 10, 50, 50}, inner{15, 13, 43, 46};
  Draw(outer, inner, Same(bssSolid));
  ExpectPixels([&](int x, int y) {
    return outer.Contains({x, y}) && !inner.Contains({x, y}) ? kRed : kWhite;
  });
}

TEST_F(Borders, OnePixelSidesAreLinesThatCloseTheFrame) {
  const plat::TRect outer{10, 10, 30, 30}, inner{11, 11, 29, 29};
  Draw(outer, inner, Same(bssSolid));
  ExpectPixels([&](int x, int y) {
    return outer.Contains({x, y}) && !inner.Contains({x, y}) ? kRed : kWhite;
  });
}

TEST_F(Borders, MissingAndUnknownStylesDrawNothing) {
  Draw({10, 10, 50, 50}, {15, 15, 45, 45}, PackBorderSides(bssNone, 16, 200, bssNone), kGreen);
  ExpectPixels([](int, int) { return kWhite; });
}

TEST_F(Borders, InsetAndOutsetDarkenOppositeSides) {
  const TSideColors brown{kBrown, kBrown, kBrown, kBrown};
  Draw({0, 0, 30, 30}, {4, 4, 26, 26}, Same(bssInset), clNone, brown);
  EXPECT_EQ(At(1, 15), kDarkBrown);
  EXPECT_EQ(At(15, 1), kDarkBrown);
  EXPECT_EQ(At(28, 15), kBrown);
  EXPECT_EQ(At(15, 28), kBrown);
  EXPECT_EQ(At(15, 15), kWhite);

  Draw({30, 30, 60, 60}, {34, 34, 56, 56}, Same(bssOutset), clNone, brown);
  EXPECT_EQ(At(31, 45), kBrown);
  EXPECT_EQ(At(45, 31), kBrown);
  EXPECT_EQ(At(58, 45), kDarkBrown);
  EXPECT_EQ(At(45, 58), kDarkBrown);
}

TEST_F(Borders, GrooveAndRidgeSplitEachSideInHalves) {
  const TSideColors brown{kBrown, kBrown, kBrown, kBrown};
  // Four pixels per side: the outer half is 10-11, the inner half 12-13.
  Draw({10, 10, 50, 50}, {14, 14, 46, 46}, Same(bssGroove), clNone, brown);
  for (int x : {10, 11}) EXPECT_EQ(At(x, 30), kDarkBrown) << x;
  for (int x : {12, 13}) EXPECT_EQ(At(x, 30), kBrown) << x;
  for (int x : {46, 47}) EXPECT_EQ(At(x, 30), kDarkBrown) << x;
  for (int x : {48, 49}) EXPECT_EQ(At(x, 30), kBrown) << x;
  for (int y : {10, 11}) EXPECT_EQ(At(30, y), kDarkBrown) << y;
  for (int y : {48, 49}) EXPECT_EQ(At(30, y), kBrown) << y;

  SetUp();
  Draw({10, 10, 50, 50}, {14, 14, 46, 46}, Same(bssRidge), clNone, brown);
  for (int x : {10, 11}) EXPECT_EQ(At(x, 30), kBrown) << x;
  for (int x : {12, 13}) EXPECT_EQ(At(x, 30), kDarkBrown) << x;
  for (int x : {48, 49}) EXPECT_EQ(At(x, 30), kDarkBrown) << x;
  for (int y : {46, 47}) EXPECT_EQ(At(30, y), kBrown) << y;
}

TEST_F(Borders, DoubleSidesAreTwoLinesWithTheBackgroundBetween) {
  // Five pixels: 2 line, 1 gap, 2 line. The gap shows the background colour.
  Draw({10, 10, 50, 50}, {15, 15, 45, 45}, Same(bssDouble), kGreen);
  const TColor fiveWide[] = {kRed, kRed, kGreen, kRed, kRed};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(At(10 + i, 30), fiveWide[i]) << "left " << i;
    EXPECT_EQ(At(30, 10 + i), fiveWide[i]) << "top " << i;
    EXPECT_EQ(At(49 - i, 30), fiveWide[i]) << "right " << i;
    EXPECT_EQ(At(30, 49 - i), fiveWide[i]) << "bottom " << i;
  }
  EXPECT_EQ(At(30, 30), kWhite);

  // Four pixels: 1 line, 2 gap, 1 line; no background leaves the gap alone.
  SetUp();
  Draw({10, 10, 50, 50}, {14, 14, 46, 46}, Same(bssDouble));
  const TColor fourWide[] = {kRed, kWhite, kWhite, kRed};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(At(10 + i, 30), fourWide[i]) << "left " << i;
    EXPECT_EQ(At(30, 49 - i), fourWide[i]) << "bottom " << i;
  }
}

TEST_F(Borders, DottedSidesStayInTheRingOverTheirBackground) {
  const plat::TRect outer{10, 10, 50, 50}, inner{13, 13, 47, 47};
  Draw(outer, inner, Same(bssDotted), kGreen);
  int red = 0, green = 0, other = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 60; ++x) {
      const bool inRing = outer.Contains({x, y}) && !inner.Contains({x, y});
      const TColor c = At(x, y);
      if (!inRing) {
        EXPECT_EQ(c, kWhite) << x << ", " << y;
        continue;
      }
      (c == kRed ? red : c == kGreen ? green : other)++;
    }
  }
  EXPECT_GT(red, 100);
  EXPECT_GT(green, 50);
  EXPECT_EQ(other, 0);
  // Every side gets dots.
  auto sideHasDots = [&](int x0, int y0, int dx, int dy) {
    for (int i = 0; i < 30; ++i)
      if (At(x0 + i * dx, y0 + i * dy) == kRed) return true;
    return false;
  };
  EXPECT_TRUE(sideHasDots(11, 15, 0, 1));
  EXPECT_TRUE(sideHasDots(15, 11, 1, 0));
  EXPECT_TRUE(sideHasDots(48, 15, 0, 1));
  EXPECT_TRUE(sideHasDots(15, 48, 1, 0));
}

TEST_F(Borders, DashedSidesOfOtherColoursAreStrokedApart) {
  Draw({10, 10, 50, 50}, {14, 14, 46, 46}, Same(bssDashed), clNone, {kRed, kGreen, kRed, kGreen});
  int red = 0, green = 0;
  for (int y = 20; y < 40; ++y) {
    red += At(11, y) == kRed;
    green += At(11, y) == kGreen;
  }
  EXPECT_GT(red, 0);
  EXPECT_EQ(green, 0);
  for (int x = 20; x < 40; ++x) EXPECT_NE(At(x, 11), kRed) << x;
}

TEST_F(Borders, DashedAndDottedSidesOfEveryWidthPaintExactlyTheirBand) {
  for (int32_t width = 1; width <= 7; ++width) {
    for (uint8_t style : {bssDashed, bssDotted}) {
      SetUp();
      const plat::TRect outer{8, 10, 52, 50};
      const plat::TRect inner{8 + width, 10 + width, 52 - width, 50 - width};
      Draw(outer, inner, Same(style));
      int outside = 0;
      for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
          if (At(x, y) != kWhite && (!outer.Contains({x, y}) || inner.Contains({x, y}))) ++outside;
      EXPECT_EQ(outside, 0) << "width " << width << " style " << int(style);
      // The outermost column and row of the band get ink, and so do the innermost ones.
      auto inked = [&](int x0, int y0, int dx, int dy) {
        for (int i = 0; i < 30; ++i)
          if (At(x0 + i * dx, y0 + i * dy) == kRed) return true;
        return false;
      };
      EXPECT_TRUE(inked(outer.Left, 15, 0, 1)) << "width " << width;
      EXPECT_TRUE(inked(15, outer.Top, 1, 0)) << "width " << width;
      EXPECT_TRUE(inked(outer.Right - 1, 15, 0, 1)) << "width " << width;
      EXPECT_TRUE(inked(15, outer.Bottom - 1, 1, 0)) << "width " << width;
      EXPECT_TRUE(inked(inner.Left - 1, 15, 0, 1)) << "width " << width;
      EXPECT_TRUE(inked(15, inner.Bottom, 1, 0)) << "width " << width;
    }
  }
}

TEST_F(Borders, BoxesFarOffThePageAreClamped) {
  plat::DeviceContext* dc = bitmap.Canvas().Handle();
  ASSERT_NE(dc, nullptr);
  // Logical rows 4950 to 5009 are visible; the box reaches from -10000 to 20000.
  dc->SetWindowOrg({0, 4950});
  Draw({10, -10000, 50, 20000}, {15, -9990, 45, 19990}, Same(bssSolid));
  for (int y = 0; y < 60; ++y) {
    const TColor expected = y < 50 ? kRed : kWhite;
    EXPECT_EQ(At(12, y), expected) << y;
    EXPECT_EQ(At(47, y), expected) << y;
    EXPECT_EQ(At(30, y), kWhite) << y;
  }
}

TEST_F(Borders, BoxesAtTheEndsOfTheCoordinateRangeDrawWhatIsVisible) {
  const plat::TRect outer{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  const plat::TRect inner{INT32_MIN + 20, 20, INT32_MAX - 5, INT32_MAX - 5};
  for (uint8_t style : {bssSolid, bssGroove, bssDouble, bssDotted})
    Draw(outer, inner, Same(style), kGreen);
  // Only the top side reaches the bitmap: rows 0 to 19, starting at the clamped top -200.
  EXPECT_NE(At(30, 10), kWhite);
  EXPECT_EQ(At(30, 30), kWhite);

  // Wholly below the bottom limit: nothing, even though the clamp turns the box upside down.
  bitmap.Canvas().Handle()->SetWindowOrg({0, 4990});
  Draw({10, 5030, 50, 5090}, {15, 5035, 45, 5085}, Same(bssSolid));
  EXPECT_EQ(At(12, 30), kWhite);
}

TEST(BorderColors, DarkerColorRoundsHalfToEven) {
  EXPECT_EQ(DarkerColor(0xFFFFFF), plat::RGB(191, 191, 191));
  EXPECT_EQ(DarkerColor(plat::RGB(6, 2, 10)), plat::RGB(4, 2, 8));
  EXPECT_EQ(DarkerColor(plat::RGB(0, 1, 3)), plat::RGB(0, 1, 2));
  // System colours are resolved first: button shadow is grey 128.
  EXPECT_EQ(DarkerColor(HtmlSystemColor(plat::COLOR_BTNSHADOW)), plat::RGB(96, 96, 96));
  EXPECT_EQ(DarkerColor(plat::clBtnShadow), plat::RGB(96, 96, 96));
}

}  // namespace
}  // namespace html
