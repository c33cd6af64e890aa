#include <gtest/gtest.h>

#include <climits>

#include "Surface.h"
#include "platform/drawing/DeviceContext.h"

namespace {

using canvas_test::Inside;
using canvas_test::Surface;
using namespace plat;

constexpr uint32_t kRgb = 0x00FFFFFF;

TLogBrush Solid(TColorRef c) {
  return {BS_SOLID, c, HS_HORIZONTAL};
}

// Checks every pixel: `expected` gives the RGB a pixel must have, or -1 for "unchanged".
template <class Expect>
void CheckPixels(const Surface& s, const std::vector<uint32_t>& before, Expect expected) {
  for (int32_t y = 0; y < s.height; ++y) {
    for (int32_t x = 0; x < s.width; ++x) {
      const uint32_t was = before[size_t(y * s.width + x)], now = s.At(x, y);
      const int64_t want = expected(x, y);
      ASSERT_EQ(now >> 24, was >> 24) << "alpha at " << x << "," << y;
      if (want < 0) {
        ASSERT_EQ(now, was) << x << "," << y;
      } else {
        ASSERT_EQ(now & kRgb, uint32_t(want)) << x << "," << y;
      }
    }
  }
}

TEST(Fills, FillAndFrameSetExactlyTheirPixels) {
  Surface s(20, 16);
  s.Randomize(1);
  const std::vector<uint32_t> before = s.pixels;
  const TRect fill{2, 3, 9, 7}, frame{10, 1, 18, 12};
  s.dc.FillRect(fill, Solid(0x0000FF));
  s.dc.FrameRect(frame, Solid(0xFF0000));
  s.dc.FillRect({5, 5, 5, 9}, Solid(0x00FF00));  // empty
  CheckPixels(s, before, [&](int32_t x, int32_t y) -> int64_t {
    if (Inside(x, y, fill)) return 0xFF0000;
    const bool border = Inside(x, y, frame) && (x == 10 || x == 17 || y == 1 || y == 11);
    return border ? 0x0000FF : -1;
  });
}

TEST(Fills, RegionsArePaintedFramedAndInvertedPixelByPixel) {
  Surface s(30, 20);
  s.Randomize(3);
  const std::vector<uint32_t> before = s.pixels;
  // Five parts, two of them inside the others, that together make the box: an odd count, so the
  // pairwise union must still take in the last one.
  const TRect box{2, 2, 12, 10};
  const TRegion framed = TRegion::Union({TRegion(TRect{2, 2, 7, 10}), TRegion(TRect{7, 2, 12, 6}),
                                         TRegion(TRect{5, 6, 12, 10}), TRegion(TRect{3, 3, 4, 4}),
                                         TRegion(TRect{11, 9, 12, 10})});
  s.dc.FrameRgn(framed, Solid(0x0000FF), 2, 1);
  const TRect painted{14, 2, 20, 8}, inverted{22, 2, 28, 18};
  s.dc.SelectBrush(Solid(0x00FF00));
  s.dc.SetROP2(R2_XORPEN);
  s.dc.PaintRgn(TRegion(painted));
  s.dc.InvertRgn(TRegion(inverted));
  CheckPixels(s, before, [&](int32_t x, int32_t y) -> int64_t {
    const uint32_t was = before[size_t(y * s.width + x)] & kRgb;
    if (Inside(x, y, box)) return x < 4 || x >= 10 || y == 2 || y == 9 ? 0xFF0000 : -1;
    if (Inside(x, y, painted)) return was ^ 0x00FF00;
    if (Inside(x, y, inverted)) return was ^ kRgb;
    return -1;
  });
}

TEST(Fills, ClipRegionsAndOriginsDecideWhatIsPainted) {
  Surface s(30, 30);
  s.Randomize(2);
  const std::vector<uint32_t> before = s.pixels;
  const TRegion two = TRegion(TRect{0, 0, 10, 10}).Combined(TRegion(TRect{20, 5, 30, 25}), RGN_OR);
  EXPECT_EQ(s.dc.SelectClipRgn(&two), COMPLEXREGION);
  EXPECT_EQ(s.dc.ExcludeClipRect({22, 10, 24, 12}), COMPLEXREGION);
  EXPECT_EQ(s.dc.ClipBox(), (TRect{0, 0, 30, 25}));
  const int level = s.dc.SaveDC();
  s.dc.SelectClipRgn(nullptr);
  EXPECT_TRUE(s.dc.RestoreDC(level));
  EXPECT_FALSE(s.dc.RestoreDC(level));
  // Logical (5, 5) is device (0, 0); the clip stays in device units.
  s.dc.SetWindowOrg({5, 5});
  s.dc.FillRect({0, 0, 100, 100}, Solid(0x112233));
  CheckPixels(s, before, [&](int32_t x, int32_t y) -> int64_t {
    const bool visible = (Inside(x, y, {0, 0, 10, 10}) || Inside(x, y, {20, 5, 30, 25})) &&
                         !Inside(x, y, {22, 10, 24, 12});
    return visible ? 0x332211 : -1;
  });
  EXPECT_EQ(s.dc.ClipBox(), (TRect{5, 5, 35, 30}));
  EXPECT_EQ(s.dc.GetPixel(5, 5), 0x112233u);
  EXPECT_EQ(s.dc.GetPixel(5 + 15, 5 + 15), CLR_INVALID);  // outside the clip
  EXPECT_FALSE(s.dc.ClipRegion()->Contains({22, 10}));
}

TEST(Fills, FocusRectangleTwiceRestoresThePicture) {
  Surface s(12, 9);
  s.Randomize(3);
  const std::vector<uint32_t> before = s.pixels;
  const TRect r{1, 1, 11, 8};
  s.dc.DrawFocusRect(r);
  int inverted = 0;
  for (int32_t y = 0; y < s.height; ++y) {
    for (int32_t x = 0; x < s.width; ++x) {
      const uint32_t was = before[size_t(y * s.width + x)], now = s.At(x, y);
      const bool border = Inside(x, y, r) && (x == 1 || x == 10 || y == 1 || y == 7);
      if (now != was) {
        ASSERT_TRUE(border);
        ASSERT_EQ(now, was ^ kRgb);  // alpha untouched
        ++inverted;
      }
    }
  }
  EXPECT_EQ(inverted, 15);  // every other of the 30 border pixels
  EXPECT_NE(s.At(1, 1), before[size_t(1 * 12 + 1)]);
  EXPECT_EQ(s.At(2, 1), before[size_t(1 * 12 + 2)]);
  s.dc.DrawFocusRect(r);
  EXPECT_EQ(s.pixels, before);
}

TEST(Fills, FocusRectangleInvertsEveryOtherPixelOfItsBorderWalk) {
  for (int32_t w : {1, 2, 3, 8}) {
    for (int32_t h : {1, 2, 5}) {
      Surface s(12, 9, 0x40000000);
      s.dc.DrawFocusRect({2, 1, 2 + w, 1 + h});
      // Clockwise from the top-left corner, each border pixel once.
      std::vector<TPoint> walk;
      for (int32_t x = 0; x < w; ++x) walk.push_back({x, 0});
      for (int32_t y = 1; y < h; ++y) walk.push_back({w - 1, y});
      for (int32_t x = w - 2; x >= 0 && h > 1; --x) walk.push_back({x, h - 1});
      for (int32_t y = h - 2; y >= 1 && w > 1; --y) walk.push_back({0, y});
      Surface expected(12, 9, 0x40000000);
      for (size_t i = 0; i < walk.size(); i += 2) {
        expected.At(2 + walk[i].X, 1 + walk[i].Y) = 0x40FFFFFF;
      }
      EXPECT_EQ(s.pixels, expected.pixels) << w << "x" << h;
    }
  }
}

TEST(Lines, ExcludeTheirEndPoint) {
  struct Case {
    TPoint from, to;
    std::vector<TPoint> pixels;
  };
  const std::vector<Case> cases = {
      {{1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
      {{5, 2}, {1, 2}, {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
      {{3, 0}, {3, 3}, {{3, 0}, {3, 1}, {3, 2}}},
      {{0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {{4, 0}, {0, 4}, {{4, 0}, {3, 1}, {2, 2}, {1, 3}}},
      {{2, 2}, {2, 2}, {}},
  };
  for (const Case& c : cases) {
    Surface s(8, 8, 0x7F000000);
    s.dc.SelectPen({PS_SOLID, 1, 0xFFFFFF});
    s.dc.MoveTo(c.from);
    s.dc.LineTo(c.to);
    EXPECT_EQ(s.dc.CurrentPosition(), c.to);
    Surface expected(8, 8, 0x7F000000);
    for (TPoint p : c.pixels) expected.At(p.X, p.Y) = 0x7FFFFFFF;
    EXPECT_EQ(s.pixels, expected.pixels) << c.from.X << "," << c.from.Y << " -> " << c.to.X;
  }
}

TEST(Lines, FarAwayEndPointsCostNothingAndKeepTheirSlope) {
  Surface s(16, 16);
  s.dc.SelectPen({PS_SOLID, 1, 0xFFFFFF});
  s.dc.MoveTo({-2000000000, 5});
  s.dc.LineTo({2000000000, 5});
  s.dc.MoveTo({-1000000000, -1000000000});
  s.dc.LineTo({1000000000, 1000000000});
  s.dc.MoveTo({INT32_MAX, INT32_MIN});
  s.dc.LineTo({INT32_MIN, INT32_MAX});  // far from the surface: nothing
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      ASSERT_EQ(s.At(x, y) != 0, y == 5 || x == y) << x << "," << y;
    }
  }
  // A long shallow line must fall on the same pixels as the short one with the same slope.
  Surface shallow(40, 8), reference(40, 8);
  shallow.dc.SelectPen({PS_SOLID, 1, 0xFFFFFF});
  reference.dc.SelectPen({PS_SOLID, 1, 0xFFFFFF});
  shallow.dc.MoveTo({-300000, -10000});
  shallow.dc.LineTo({3000000, 100000});
  reference.dc.MoveTo({-30, -1});
  reference.dc.LineTo({300, 10});
  EXPECT_EQ(shallow.pixels, reference.pixels);
}

TEST(Shapes, HugeRectanglesAndFramesStayCheap) {
  Surface s(10, 10);
  s.Randomize(8);
  const std::vector<uint32_t> before = s.pixels;
  s.dc.SelectPen({PS_SOLID, 1, 0});
  s.dc.SelectBrush({BS_NULL, 0, 0});
  s.dc.Rectangle({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  s.dc.DrawFocusRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  s.dc.BitBlt(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, &s.dc, 0, 0, SRCCOPY);
  s.dc.StretchBlt(-5, -5, INT32_MAX, INT32_MAX, &s.dc, 0, 0, 3, 3, DSTINVERT);
  EXPECT_EQ(s.pixels.size(), before.size());
  // The visible pixels are inverted; the frames lie far outside.
  for (size_t i = 0; i < s.pixels.size(); ++i) ASSERT_EQ(s.pixels[i], before[i] ^ kRgb);
}

TEST(Lines, XorPolylinesAndShapesTwiceRestoreThePicture) {
  Surface s(40, 40);
  s.Randomize(4);
  const std::vector<uint32_t> before = s.pixels;
  const TPoint zigzag[] = {{1, 1}, {30, 5}, {3, 20}, {35, 38}, {10, 10}};
  for (int round = 0; round < 2; ++round) {
    s.dc.SetROP2(R2_XORPEN);
    s.dc.SelectBrush({BS_NULL, 0, 0});
    for (int width : {1, 4}) {
      s.dc.SelectPen({PS_SOLID, width, 0x00FF00});
      s.dc.Polyline(zigzag);
      s.dc.Polygon(zigzag);
      s.dc.Rectangle({5, 5, 30, 25});
      s.dc.Ellipse({2, 3, 37, 30});
    }
    s.dc.SelectPen({PS_DOT, 1, 0x00FF00});
    s.dc.Rectangle({6, 6, 31, 27});
    if (round == 0) {
      EXPECT_NE(s.pixels, before);
    }
  }
  EXPECT_EQ(s.pixels, before);
}

TEST(Lines, WidePensHaveTheirWidthAndEndCaps) {
  for (int cap : {PS_ENDCAP_FLAT, PS_ENDCAP_SQUARE}) {
    Surface s(32, 24);
    TLogPen pen{PS_SOLID, 5, 0xFFFFFF};
    pen.EndCap = cap;
    s.dc.SelectPen(pen);
    s.dc.MoveTo({10, 10});
    s.dc.LineTo({20, 10});
    // Five rows centred on the line, nothing further away.
    for (int32_t y : {8, 9, 10, 11, 12}) EXPECT_EQ(s.At(15, y), 0xFFFFFFu) << y;
    EXPECT_EQ(s.At(15, 7), 0u);
    EXPECT_EQ(s.At(15, 13), 0u);
    // A square cap reaches half the width past each end; a flat one stops at the ends.
    const bool square = cap == PS_ENDCAP_SQUARE;
    EXPECT_EQ(s.At(8, 10) != 0, square);
    EXPECT_EQ(s.At(22, 10) != 0, square);
    EXPECT_EQ(s.At(6, 10), 0u);
    EXPECT_EQ(s.At(24, 10), 0u);
  }
}

TEST(Lines, EvenWidePensCoverHalfTheirWidthBeforeThePointAndHalfFromIt) {
  for (int32_t width : {2, 4, 6}) {
    for (int style : {PS_SOLID, PS_DASH}) {
      Surface s(32, 32);
      TLogPen pen{style, width, 0xFFFFFF};
      pen.EndCap = PS_ENDCAP_FLAT;
      s.dc.SelectPen(pen);
      const TPoint across[] = {{4, 10}, {28, 10}};
      s.dc.Polyline(across);
      const TPoint down[] = {{20, 14}, {20, 30}};
      s.dc.Polyline(down);
      // Rows 10 - width/2 .. 10 + width/2 - 1 and the same columns about 20, nothing beside.
      for (int32_t d = -width / 2; d < width / 2; ++d) {
        EXPECT_NE(s.At(5, 10 + d), 0u) << width << " row " << 10 + d;
        EXPECT_NE(s.At(20 + d, 15), 0u) << width << " column " << 20 + d;
      }
      for (int32_t x = 0; x < 32; ++x) {
        EXPECT_EQ(s.At(x, 10 - width / 2 - 1), 0u) << width << " above, x " << x;
        EXPECT_EQ(s.At(x, 10 + width / 2), 0u) << width << " below, x " << x;
      }
      for (int32_t y = 14; y < 32; ++y) {
        EXPECT_EQ(s.At(20 - width / 2 - 1, y), 0u) << width << " left, y " << y;
        EXPECT_EQ(s.At(20 + width / 2, y), 0u) << width << " right, y " << y;
      }
    }
  }
}

TEST(Shapes, RectangleWithPenAndBrush) {
  Surface s(20, 20);
  s.Randomize(5);
  const std::vector<uint32_t> before = s.pixels;
  s.dc.SelectPen({PS_SOLID, 1, 0x0000FF});
  s.dc.SelectBrush(Solid(0x00FF00));
  const TRect r{2, 3, 12, 9};
  s.dc.Rectangle(r);
  CheckPixels(s, before, [&](int32_t x, int32_t y) -> int64_t {
    if (!Inside(x, y, r)) return -1;
    return (x == 2 || x == 11 || y == 3 || y == 8) ? 0xFF0000 : 0x00FF00;
  });

  Surface wide(20, 20);
  wide.Randomize(6);
  const std::vector<uint32_t> wideBefore = wide.pixels;
  wide.dc.SelectPen({PS_INSIDEFRAME, 3, 0xFFFFFF});
  wide.dc.SelectBrush({BS_NULL, 0, 0});
  wide.dc.Rectangle({1, 1, 15, 12});
  CheckPixels(wide, wideBefore, [&](int32_t x, int32_t y) -> int64_t {
    if (!Inside(x, y, {1, 1, 15, 12})) return -1;
    return Inside(x, y, {4, 4, 12, 9}) ? -1 : 0xFFFFFF;
  });
}

TEST(Shapes, PolygonAndEllipseFillInsideTheirBounds) {
  Surface s(20, 20);
  s.dc.SelectPen({PS_NULL, 1, 0});
  s.dc.SelectBrush(Solid(0xFFFFFF));
  const TPoint square[] = {{2, 2}, {8, 2}, {8, 6}, {2, 6}};
  s.dc.Polygon(square);
  for (int32_t y = 0; y < 20; ++y) {
    for (int32_t x = 0; x < 20; ++x) {
      ASSERT_EQ(s.At(x, y) != 0, Inside(x, y, {2, 2, 8, 6})) << x << "," << y;
    }
  }

  Surface e(24, 24);
  e.dc.SelectPen({PS_SOLID, 1, 0x0000FF});
  e.dc.SelectBrush(Solid(0xFFFFFF));
  const TRect box{3, 4, 20, 17};
  e.dc.Ellipse(box);
  for (int32_t y = 0; y < 24; ++y) {
    for (int32_t x = 0; x < 24; ++x) {
      if (!Inside(x, y, box)) {
        ASSERT_EQ(e.At(x, y), 0u) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(e.At(11, 10), 0xFFFFFFu);  // centre: brush
  EXPECT_EQ(e.At(3, 4), 0u);           // corner of the box: outside the ellipse
  EXPECT_EQ(e.At(3, 10), 0xFF0000u);   // leftmost point: pen
  EXPECT_EQ(e.At(19, 10), 0xFF0000u);  // rightmost point: pen
}

TEST(Shapes, PiesAndChordsRunCounterClockwise) {
  // From the radial at 0 degrees (right) to the one at 90 degrees (up): the upper right quarter.
  Surface pie(40, 40);
  pie.dc.SelectPen({PS_NULL, 1, 0});
  pie.dc.SelectBrush(Solid(0xFFFFFF));
  pie.dc.Pie({0, 0, 40, 40}, {40, 20}, {20, 0});
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 40; ++x) {
      const double dx = x + 0.5 - 20, dy = 20 - (y + 0.5), r2 = dx * dx + dy * dy;
      if (r2 < 17 * 17 && dx > 2 && dy > 2) {
        ASSERT_EQ(pie.At(x, y), 0xFFFFFFu) << x << "," << y;
      }
      if (r2 > 21 * 21 || dx < -1 || dy < -1) {
        ASSERT_EQ(pie.At(x, y), 0u) << x << "," << y;
      }
    }
  }
  // Swapping the radials gives the other three quarters.
  Surface rest(40, 40);
  rest.dc.SelectPen({PS_NULL, 1, 0});
  rest.dc.SelectBrush(Solid(0xFFFFFF));
  rest.dc.Pie({0, 0, 40, 40}, {20, 0}, {40, 20});
  EXPECT_EQ(rest.At(30, 10), 0u);
  EXPECT_EQ(rest.At(10, 10), 0xFFFFFFu);
  EXPECT_EQ(rest.At(10, 30), 0xFFFFFFu);
  EXPECT_EQ(rest.At(30, 30), 0xFFFFFFu);
  // A chord of the same radials leaves out the triangle towards the centre.
  Surface chord(40, 40);
  chord.dc.SelectPen({PS_NULL, 1, 0});
  chord.dc.SelectBrush(Solid(0xFFFFFF));
  chord.dc.Chord({0, 0, 40, 40}, {40, 20}, {20, 0});
  EXPECT_EQ(chord.At(33, 6), 0xFFFFFFu);
  EXPECT_EQ(chord.At(24, 16), 0u);
}

TEST(Shapes, FillModeDecidesTheInsideOfOverlappingOutlines) {
  // A five-pointed star drawn in one stroke: its centre is enclosed twice.
  const TPoint star[] = {{20, 2}, {31, 37}, {2, 15}, {38, 15}, {9, 37}};
  for (int mode : {ALTERNATE, WINDING}) {
    Surface s(40, 40);
    s.dc.SelectPen({PS_NULL, 1, 0});
    s.dc.SelectBrush(Solid(0xFFFFFF));
    s.dc.SetPolyFillMode(mode);
    s.dc.Polygon(star);
    EXPECT_EQ(s.At(20, 21) != 0, mode == WINDING);
    EXPECT_NE(s.At(20, 8), 0u);  // a point of the star
    EXPECT_EQ(s.At(2, 35), 0u);
  }
}

TEST(Shapes, RoundRectKeepsInsideItsBoundsAndCutsTheCorners) {
  Surface s(30, 20);
  s.dc.SelectPen({PS_SOLID, 1, 0x0000FF});
  s.dc.SelectBrush(Solid(0x00FF00));
  const TRect box{2, 3, 27, 18};
  s.dc.RoundRect(box, 10, 8);
  for (int32_t y = 0; y < 20; ++y) {
    for (int32_t x = 0; x < 30; ++x) {
      if (!Inside(x, y, box)) {
        ASSERT_EQ(s.At(x, y), 0u) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(s.At(2, 3), 0u);           // cut corner
  EXPECT_EQ(s.At(14, 3), 0xFF0000u);   // straight top edge: pen
  EXPECT_EQ(s.At(14, 10), 0x00FF00u);  // inside: brush
}

TEST(Shapes, HatchedBrushLeavesGapsInTransparentMode) {
  Surface s(16, 16, 0x01020304);
  s.dc.SetBkMode(TRANSPARENT);
  s.dc.FillRect({0, 0, 16, 16}, {BS_HATCHED, 0xFFFFFF, HS_CROSS});
  int painted = 0;
  for (uint32_t p : s.pixels) {
    ASSERT_TRUE(p == 0x01020304 || p == 0x01FFFFFF);
    painted += p != 0x01020304;
  }
  EXPECT_EQ(painted, 2 * 2 * 16 - 4);  // two rows and two columns of lines
  s.dc.SetBkMode(OPAQUE);
  s.dc.SetBkColor(0x000000);
  s.dc.FillRect({0, 0, 16, 16}, {BS_HATCHED, 0xFFFFFF, HS_CROSS});
  for (uint32_t p : s.pixels) ASSERT_TRUE(p == 0x01000000 || p == 0x01FFFFFF);
}

TEST(Regions, CombineAndDescribe) {
  const TRegion a(TRect{0, 0, 10, 10}), b(TRect{5, 5, 15, 15});
  EXPECT_EQ(a.Combined(b, RGN_AND).Rects(), std::vector<TRect>{(TRect{5, 5, 10, 10})});
  EXPECT_EQ(a.Combined(b, RGN_OR).BoundingRect(), (TRect{0, 0, 15, 15}));
  EXPECT_EQ(a.Combined(b, RGN_OR).Kind(), COMPLEXREGION);
  EXPECT_FALSE(a.Combined(b, RGN_DIFF).Contains({7, 7}));
  EXPECT_TRUE(a.Combined(b, RGN_XOR).Contains({12, 12}));
  EXPECT_FALSE(a.Combined(b, RGN_XOR).Contains({6, 6}));
  EXPECT_EQ(TRegion().Kind(), NULLREGION);
  EXPECT_TRUE(a.Contains({9, 9}));
  EXPECT_FALSE(a.Contains({10, 9}));  // right edge exclusive
  const TPoint triangle[] = {{0, 0}, {10, 0}, {0, 10}};
  const TRegion t = TRegion::Polygon(triangle, ALTERNATE);
  EXPECT_TRUE(t.Contains({1, 1}));
  EXPECT_FALSE(t.Contains({8, 8}));
  EXPECT_EQ(a.Offset(3, 4).BoundingRect(), (TRect{3, 4, 13, 14}));
}

}  // namespace
