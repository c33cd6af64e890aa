#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "Surface.h"
#include "platform/drawing/DeviceContext.h"

namespace {

using canvas_test::Surface;
using namespace plat;

constexpr uint32_t kRgb = 0x00FFFFFF;
constexpr uint32_t kAlpha = 0xFF000000;

TEST(BitBlt, RasterOperationsFollowTheirFormulas) {
  // p is the brush colour as a pixel; operations without a source keep the destination's alpha.
  constexpr uint32_t p = 0x00C0FFEE;
  struct Case {
    uint32_t rop;
    std::function<uint32_t(uint32_t s, uint32_t d)> expected;
  };
  const std::vector<Case> cases = {
      {SRCCOPY, [](uint32_t s, uint32_t) { return s; }},
      {SRCPAINT, [](uint32_t s, uint32_t d) { return s | d; }},
      {SRCAND, [](uint32_t s, uint32_t d) { return s & d; }},
      {SRCINVERT, [](uint32_t s, uint32_t d) { return s ^ d; }},
      {SRCERASE, [](uint32_t s, uint32_t d) { return s & ~d; }},
      {NOTSRCCOPY, [](uint32_t s, uint32_t) { return ~s; }},
      {NOTSRCERASE, [](uint32_t s, uint32_t d) { return ~(s | d); }},
      {MERGEPAINT, [](uint32_t s, uint32_t d) { return ~s | d; }},
      {MERGECOPY, [](uint32_t s, uint32_t) { return (p | kAlpha) & s; }},
      {DSTINVERT, [](uint32_t, uint32_t d) { return d ^ kRgb; }},
      {BLACKNESS, [](uint32_t, uint32_t d) { return d & kAlpha; }},
      {WHITENESS, [](uint32_t, uint32_t d) { return d | kRgb; }},
      {PATCOPY, [](uint32_t, uint32_t d) { return (d & kAlpha) | p; }},
      {PATINVERT, [](uint32_t, uint32_t d) { return d ^ p; }},
  };
  for (const Case& c : cases) {
    Surface src(23, 17), dst(31, 19);
    src.Randomize(10);
    dst.Randomize(20);
    const std::vector<uint32_t> before = dst.pixels;
    dst.dc.SelectBrush({BS_SOLID, 0xEEFFC0, HS_HORIZONTAL});  // 0x00BBGGRR of p
    ASSERT_TRUE(dst.dc.BitBlt(4, 3, 15, 12, &src.dc, 6, 2, c.rop));
    for (int32_t y = 0; y < dst.height; ++y) {
      for (int32_t x = 0; x < dst.width; ++x) {
        const uint32_t d = before[size_t(y * dst.width + x)];
        const bool inside = x >= 4 && x < 19 && y >= 3 && y < 15;
        const uint32_t want = inside ? c.expected(src.At(x - 4 + 6, y - 3 + 2), d) : d;
        ASSERT_EQ(dst.At(x, y), want) << std::hex << c.rop << " at " << std::dec << x << "," << y;
      }
    }
  }
}

TEST(BitBlt, ClipsToTheSourceAndTheClipRegion) {
  Surface src(10, 10), dst(20, 20);
  src.Randomize(1);
  dst.Randomize(2);
  const std::vector<uint32_t> before = dst.pixels;
  dst.dc.IntersectClipRect({0, 0, 12, 20});
  dst.dc.BitBlt(5, 5, 10, 10, &src.dc, 4, -2, SRCCOPY);
  for (int32_t y = 0; y < 20; ++y) {
    for (int32_t x = 0; x < 20; ++x) {
      const int32_t sx = x - 5 + 4, sy = y - 5 - 2;
      const bool copied = x >= 5 && x < 12 && y >= 5 && y < 15 && sx < 10 && sy >= 0 && sy < 10;
      ASSERT_EQ(dst.At(x, y), copied ? src.At(sx, sy) : before[size_t(y * 20 + x)]);
    }
  }
}

TEST(BitBlt, OverlappingCopyOnOneSurfaceReadsTheOldPicture) {
  Surface s(16, 12);
  s.Randomize(5);
  const std::vector<uint32_t> before = s.pixels;
  s.dc.BitBlt(2, 1, 12, 9, &s.dc, 0, 0, SRCCOPY);  // scroll right and down
  for (int32_t y = 1; y < 10; ++y) {
    for (int32_t x = 2; x < 14; ++x) ASSERT_EQ(s.At(x, y), before[size_t((y - 1) * 16 + x - 2)]);
  }
}

TEST(StretchBlt, NearestNeighbourMatchesPixelCentres) {
  struct Case {
    int32_t w, h, sw, sh;
  };
  for (const Case& c : {Case{40, 30, 7, 5}, Case{5, 3, 37, 29}, Case{13, 13, 13, 13},
                        Case{-21, 17, 9, 11}, Case{16, 9, 16, -9}}) {
    Surface src(60, 50), dst(80, 50);
    src.Randomize(7);
    dst.Randomize(8);
    const int32_t x = 30, y = 2, sx = 12, sy = 12;
    ASSERT_TRUE(dst.dc.StretchBlt(x, y, c.w, c.h, &src.dc, sx, sy, c.sw, c.sh, SRCCOPY));
    // Brute force: the source pixel whose area holds the destination pixel's centre, measured
    // along the (possibly mirrored) axes.
    const int32_t aw = std::abs(c.w), ah = std::abs(c.h), asw = std::abs(c.sw),
                  ash = std::abs(c.sh);
    const int32_t left = c.w < 0 ? x + c.w : x, top = c.h < 0 ? y + c.h : y;
    const int32_t sleft = c.sw < 0 ? sx + c.sw : sx, stop = c.sh < 0 ? sy + c.sh : sy;
    const bool mirrorX = (c.w < 0) != (c.sw < 0), mirrorY = (c.h < 0) != (c.sh < 0);
    for (int32_t j = 0; j < ah; ++j) {
      for (int32_t i = 0; i < aw; ++i) {
        const double cx = (mirrorX ? aw - i - 0.5 : i + 0.5) * asw / aw;
        const double cy = (mirrorY ? ah - j - 0.5 : j + 0.5) * ash / ah;
        const uint32_t want =
            src.At(sleft + int32_t(std::floor(cx)), stop + int32_t(std::floor(cy)));
        ASSERT_EQ(dst.At(left + i, top + j), want) << c.w << "x" << c.h << " at " << i << "," << j;
      }
    }
  }
}

TEST(StretchBlt, TransparentColourAndMaskSkipPixels) {
  Surface src(4, 4), mask(4, 4, 0xFF000000), dst(8, 8, 0x55555555);
  for (int32_t i = 0; i < 16; ++i)
    src.pixels[size_t(i)] = (i % 3 == 0) ? 0x00FF00FF : 0x80000000u + i;
  for (int32_t i = 0; i < 16; i += 5) mask.pixels[size_t(i)] = 0x00FFFFFF;
  dst.dc.TransparentBlt(0, 0, 8, 8, src.dc, 0, 0, 4, 4, 0xFF00FF);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const uint32_t s = src.At(x / 2, y / 2);
      ASSERT_EQ(dst.At(x, y), s == 0x00FF00FF ? 0x55555555 : s);
    }
  }
  Surface masked(4, 4, 0x66666666);
  masked.dc.MaskedStretchBlt(0, 0, 4, 4, src.dc, 0, 0, 4, 4, mask.dc);
  for (int32_t i = 0; i < 16; ++i) {
    ASSERT_EQ(masked.pixels[size_t(i)], i % 5 == 0 ? 0x66666666 : src.pixels[size_t(i)]);
  }
}

TEST(StretchBlt, MasksChooseTheOperationAndBlendsLayTheSourceOver) {
  // Mask white: the source is copied; black: the destination is inverted.
  Surface src(2, 2), mask(2, 2, 0xFF000000), dst(4, 4, 0xFF102030);
  src.pixels = {0x80112233, 0x80445566, 0x80778899, 0x80AABBCC};
  mask.At(1, 0) = 0xFFFFFFFF;
  mask.At(0, 1) = 0xFFFFFFFF;
  dst.dc.StretchBlt(0, 0, 4, 4, &src.dc, 0, 0, 2, 2,
                    {.rop = DSTINVERT, .mask = &mask.dc, .maskRop = SRCCOPY});
  EXPECT_EQ(dst.At(0, 0), 0xFFEFDFCFu);
  EXPECT_EQ(dst.At(3, 0), 0x80445566u);
  EXPECT_EQ(dst.At(1, 3), 0x80778899u);
  EXPECT_EQ(dst.At(3, 3), 0xFFEFDFCFu);

  // A premultiplied source at half its alpha over the destination, and an opaque one at a
  // constant alpha of a quarter.
  Surface over(2, 1, 0xFF808080);
  Surface premultiplied(1, 1, 0x80800000);
  over.dc.StretchBlt(0, 0, 1, 1, &premultiplied.dc, 0, 0, 1, 1, {.blend = TBlend{128, true}});
  // Source at half: 0x40400000; the destination keeps 255 - 64 of 255.
  EXPECT_EQ(over.At(0, 0), 0xFFA06060u);
  over.dc.StretchBlt(1, 0, 1, 1, &premultiplied.dc, 0, 0, 1, 1, {.blend = TBlend{64, false}});
  EXPECT_EQ(over.At(1, 0), 0xDF806060u);
}

TEST(PlgBlt, MapsTheSourceOntoAParallelogram) {
  // A quarter turn clockwise: the source's top edge runs down, its left edge runs left.
  Surface src(2, 2), dst(40, 40, 0xFF808080);
  src.pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  const TPoint corners[3] = {{30, 10}, {30, 30}, {10, 10}};
  EXPECT_TRUE(dst.dc.PlgBlt(corners, &src.dc, 0, 0, 2, 2, {}));
  EXPECT_EQ(dst.At(28, 12), 0xFFFF0000u);
  EXPECT_EQ(dst.At(28, 28), 0xFF00FF00u);
  EXPECT_EQ(dst.At(12, 12), 0xFF0000FFu);
  EXPECT_EQ(dst.At(12, 28), 0xFFFFFFFFu);
  EXPECT_EQ(dst.At(30, 20), 0xFF808080u);
  EXPECT_EQ(dst.At(9, 20), 0xFF808080u);
  EXPECT_EQ(dst.At(20, 30), 0xFF808080u);

  // A slanted one: row 9's centres from x = 4.75 on lie inside.
  Surface slanted(40, 40, 0xFF808080);
  const TPoint shear[3] = {{0, 0}, {20, 0}, {10, 20}};
  slanted.dc.PlgBlt(shear, &src.dc, 0, 0, 2, 2, {});
  EXPECT_EQ(slanted.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(slanted.At(5, 9), 0xFFFF0000u);
  EXPECT_EQ(slanted.At(4, 9), 0xFF808080u);
  EXPECT_EQ(slanted.At(25, 15), 0xFFFFFFFFu);
  EXPECT_EQ(slanted.At(29, 19), 0xFFFFFFFFu);
  EXPECT_EQ(slanted.At(30, 19), 0xFF808080u);
  EXPECT_FALSE(slanted.dc.PlgBlt(shear, &slanted.dc, 0, 0, 2, 2, {}));
}

TEST(PatBlt, RefusesOperationsThatNeedASource) {
  Surface s(4, 4, 0x11223344);
  EXPECT_FALSE(s.dc.PatBlt(0, 0, 4, 4, SRCCOPY));
  EXPECT_TRUE(s.dc.PatBlt(1, 1, 2, 2, BLACKNESS));
  EXPECT_EQ(s.At(1, 1), 0x11000000u);
  EXPECT_EQ(s.At(0, 0), 0x11223344u);
  DeviceContext measuring;
  EXPECT_FALSE(s.dc.BitBlt(0, 0, 4, 4, &measuring, 0, 0, SRCCOPY));
}

TEST(PatBlt, PatternBrushesRepeatFromTheBrushOriginInEveryFill) {
  // A 2 x 1 colour pattern and a monochrome one (0: text colour, 1: background colour), from
  // the origin (1, 0): the pattern's first column falls on odd columns. Block transfers, fills
  // and shapes all read the same pixels.
  auto colours = std::make_shared<TBrushPattern>(TBrushPattern{2, 1, {0x102030, 0x405060}, false});
  auto mono = std::make_shared<TBrushPattern>(TBrushPattern{2, 1, {0, 1}, true});
  Surface s(8, 3, 0xFF000000);
  s.dc.SetTextColor(0x0000FF);
  s.dc.SetBkColor(0xFF0000);
  EXPECT_EQ(s.dc.SetBrushOrg({1, 0}), (TPoint{0, 0}));
  s.dc.SelectBrush({BS_PATTERN, 0, 0, colours});
  EXPECT_TRUE(s.dc.PatBlt(0, 0, 4, 1, PATCOPY));
  s.dc.FillRect({4, 0, 8, 1}, {BS_PATTERN, 0, 0, mono});
  s.dc.SelectPen({PS_NULL, 1, 0});
  s.dc.Rectangle({0, 2, 4, 3});
  EXPECT_EQ(s.At(0, 0), 0xFF405060u);
  EXPECT_EQ(s.At(1, 0), 0xFF102030u);
  EXPECT_EQ(s.At(4, 0), 0xFF0000FFu);  // background colour, blue
  EXPECT_EQ(s.At(5, 0), 0xFFFF0000u);  // text colour, red
  EXPECT_EQ(s.At(2, 2), 0xFF405060u);
  EXPECT_EQ(s.At(3, 2), 0xFF102030u);
  EXPECT_EQ(s.At(0, 1), 0xFF000000u);
}

}  // namespace
