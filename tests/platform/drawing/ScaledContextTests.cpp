// A context at scale 2 (a screen at 200 %): logical units cover 2 x 2 pixels, text and shapes
// are drawn at the pixels' resolution.
#include <gtest/gtest.h>

#include "Surface.h"
#include "platform/drawing/DeviceContext.h"

namespace {

using canvas_test::Inside;
using canvas_test::Surface;
using namespace plat;

constexpr uint32_t kWhite = 0xFFFFFFFF;

TLogFont Sans(int height) {
  TLogFont f;
  f.FaceName = "DejaVu Sans";
  f.Height = height;
  return f;
}

// Aligned 2 x 2 blocks whose four pixels differ: a picture scaled up from 1x has none.
int MixedBlocks(const Surface& s) {
  int mixed = 0;
  for (int32_t y = 0; y + 1 < s.height; y += 2)
    for (int32_t x = 0; x + 1 < s.width; x += 2) {
      const uint32_t p = s.At(x, y);
      if (s.At(x + 1, y) != p || s.At(x, y + 1) != p || s.At(x + 1, y + 1) != p) ++mixed;
    }
  return mixed;
}

// Columns holding a pixel other than white.
std::pair<int32_t, int32_t> InkColumns(const Surface& s) {
  int32_t first = s.width, last = -1;
  for (int32_t y = 0; y < s.height; ++y)
    for (int32_t x = 0; x < s.width; ++x)
      if (s.At(x, y) != kWhite) first = std::min(first, x), last = std::max(last, x);
  return {first, last};
}

TEST(ScaledContext, LogicalUnitsCoverTwoByTwoPixels) {
  Surface s(20, 20, kWhite);
  s.dc.SetScale(2);
  EXPECT_EQ(s.dc.Scale(), 2);
  s.dc.FillRect({1, 2, 4, 3}, {BS_SOLID, 0x0000FF, 0});
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x)
      EXPECT_EQ(s.At(x, y), Inside(x, y, {2, 4, 8, 6}) ? 0xFFFF0000u : kWhite) << x << "," << y;

  // Coordinates map both ways; pixels inside a logical unit belong to it, also left of 0.
  s.dc.SetWindowOrg({1, 0});
  EXPECT_EQ(s.dc.LogicalToDevice({3, 3}), (TPoint{4, 6}));
  EXPECT_EQ(s.dc.DeviceToLogical({5, 7}), (TPoint{3, 3}));
  EXPECT_EQ(s.dc.DeviceToLogical({-1, -1}), (TPoint{0, -1}));

  // Clip rectangles go in and come back in logical units.
  s.dc.IntersectClipRect({2, 1, 5, 4});
  EXPECT_EQ(s.dc.ClipBox(), (TRect{2, 1, 5, 4}));
  EXPECT_TRUE(s.dc.PtVisible({4, 3}));
  EXPECT_FALSE(s.dc.PtVisible({5, 3}));
}

TEST(ScaledContext, ThinLinesAndPixelsAreOneLogicalUnitWide) {
  Surface s(20, 20, kWhite);
  s.dc.SetScale(2);
  s.dc.SelectPen({PS_SOLID, 1, 0x000000});
  s.dc.MoveTo({1, 1});
  s.dc.LineTo({5, 1});  // the end point stays undrawn
  s.dc.SetPixel(8, 8, 0x00FF00);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      const uint32_t expected = Inside(x, y, {2, 2, 10, 4})      ? 0xFF000000u
                                : Inside(x, y, {16, 16, 18, 18}) ? 0xFF00FF00u
                                                                 : kWhite;
      EXPECT_EQ(s.At(x, y), expected) << x << "," << y;
    }
  EXPECT_EQ(s.dc.GetPixel(8, 8), 0x00FF00u);

  // A focus rectangle drawn twice leaves the picture as it was.
  const std::vector<uint32_t> before = s.pixels;
  s.dc.DrawFocusRect({0, 0, 7, 5});
  EXPECT_NE(s.pixels, before);
  s.dc.DrawFocusRect({0, 0, 7, 5});
  EXPECT_EQ(s.pixels, before);
}

TEST(ScaledContext, AnUnscaledSourceShowsEachPixelAsTwoByTwo) {
  std::vector<uint32_t> source{0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0};
  DeviceContext from(source.data(), 2, 2, 8);
  Surface s(8, 8, kWhite);
  s.dc.SetScale(2);
  ASSERT_TRUE(s.dc.BitBlt(1, 1, 2, 2, &from, 0, 0, SRCCOPY));
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      const bool inside = Inside(x, y, {2, 2, 6, 6});
      const uint32_t expected = inside ? source[size_t((y - 2) / 2 * 2 + (x - 2) / 2)] : kWhite;
      EXPECT_EQ(s.At(x, y), expected) << x << "," << y;
    }

  // A source at the same scale is copied pixel for pixel.
  Surface twice(8, 8, kWhite);
  twice.dc.SetScale(2);
  twice.pixels[0] = 0xFF010203;
  Surface target(8, 8, kWhite);
  target.dc.SetScale(2);
  ASSERT_TRUE(target.dc.BitBlt(1, 1, 1, 1, &twice.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(target.At(2, 2), 0xFF010203u);
  EXPECT_EQ(target.At(3, 2), kWhite);
}

// Text at scale 2 is drawn from the outlines at twice the size, not scaled up from 1x: it spans
// about twice the pixels and its edges fall inside 2 x 2 blocks.
TEST(ScaledContext, TextIsSharpAtTwiceTheResolution) {
  Surface once(120, 30, kWhite), twice(240, 60, kWhite);
  twice.dc.SetScale(2);
  for (Surface* s : {&once, &twice}) {
    s->dc.SelectFont(Sans(-14));
    s->dc.SetBkMode(TRANSPARENT);
    s->dc.TextOut(2, 2, u"Opacity: 255");
  }
  const auto [first1, last1] = InkColumns(once);
  const auto [first2, last2] = InkColumns(twice);
  ASSERT_LT(first1, last1);
  EXPECT_NEAR(last2 - first2, 2 * (last1 - first1), 4);
  EXPECT_GT(MixedBlocks(twice), 20);

  // Measuring stays in logical units whatever the scale.
  EXPECT_EQ(twice.dc.GetTextExtent(u"Opacity: 255").cx, once.dc.GetTextExtent(u"Opacity: 255").cx);
  EXPECT_EQ(twice.dc.GetTextMetrics().Height, once.dc.GetTextMetrics().Height);
}

}  // namespace
