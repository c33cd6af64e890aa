// Fills, lines, frames and stipples against brute force over random rectangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "Helpers.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"
#include "support/TierScope.h"

namespace {

using namespace gfx;
using bitmap_test::FillRandom;
using bitmap_test::Pixels;

constexpr int32_t kW = 13, kH = 11;

bool Inside(const TRect& r, int32_t x, int32_t y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

class RandomShapes : public testing::Test {
 protected:
  RandomShapes() { bitmap.SetSize(kW, kH); }
  int32_t Coordinate(int32_t limit) {
    return std::uniform_int_distribution<int32_t>(-4, limit + 4)(random);
  }
  TRect RandomClip() {
    TRect r{Coordinate(kW), Coordinate(kH), Coordinate(kW), Coordinate(kH)};
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
  }
  // Sets a random clip rectangle and returns it as the bitmap holds it.
  TRect Prepare(uint32_t seed) {
    FillRandom(bitmap, seed);
    bitmap.SetClipRect(RandomClip());
    return bitmap.ClipRect();
  }
  std::mt19937 random{1234};
  TCustomBitmap32 bitmap;
};

TEST_F(RandomShapes, ClippedFillsTouchExactlyTheClippedRectangle) {
  for (uint32_t round = 0; round < 400; ++round) {
    const TRect clip = Prepare(round);
    const auto before = Pixels(bitmap);
    const TRect r{Coordinate(kW), Coordinate(kH), Coordinate(kW), Coordinate(kH)};
    const TColor32 value = 0x80000000 | round;
    const bool blend = round % 2 == 1;
    if (blend) {
      bitmap.FillRectBlendClipped(r.Left, r.Top, r.Right, r.Bottom, value);
    } else {
      bitmap.FillRectS(r.Left, r.Top, r.Right, r.Bottom, value);
    }
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        const TColor32 old = before[y * kW + x];
        TColor32 expected = old;
        if (Inside(r, x, y) && Inside(clip, x, y)) {
          expected = blend ? CombineReg(value, old, value >> 24) : value;
        }
        ASSERT_EQ(bitmap.Pixel(x, y), expected) << round << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(RandomShapes, ClippedLinesAndFramesTouchExactlyTheirPixels) {
  for (uint32_t round = 0; round < 400; ++round) {
    const TRect clip = Prepare(round);
    const auto before = Pixels(bitmap);
    const int32_t a = Coordinate(kW), b = Coordinate(kW), c = Coordinate(kH), d = Coordinate(kH);
    const TColor32 value = 0xFF000000 | (round * 7919);  // opaque: blending copies it
    std::function<bool(int32_t, int32_t)> covered;
    switch (round % 3) {
      case 0:
        bitmap.HorzLineBlendClipped(a, c, b, value);
        covered = [&](int32_t x, int32_t y) {
          return y == c && x >= std::min(a, b) && x <= std::max(a, b);
        };
        break;
      case 1:
        bitmap.VertLineBlendClipped(a, c, d, value);
        covered = [&](int32_t x, int32_t y) {
          return x == a && y >= std::min(c, d) && y <= std::max(c, d);
        };
        break;
      default: {
        const int32_t l = std::min(a, b), r = std::max(a, b), t = std::min(c, d),
                      bo = std::max(c, d);
        bitmap.FrameRectBlendClipped(l, t, r, bo, value);
        covered = [=](int32_t x, int32_t y) {
          const bool inRect = x >= l && x < r && y >= t && y < bo;
          return inRect && (x == l || x == r - 1 || y == t || y == bo - 1);
        };
      }
    }
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        const TColor32 expected = covered(x, y) && Inside(clip, x, y) ? value : before[y * kW + x];
        ASSERT_EQ(bitmap.Pixel(x, y), expected) << round << " at " << x << "," << y;
      }
    }
  }
}

TEST(BitmapFills, BlendFillsFollowTheCombineMode) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(4, 4);
  FillRandom(bitmap, 2);
  const auto before = Pixels(bitmap);
  bitmap.SetCombineMode(cmMerge);
  bitmap.FillRectBlend(1, 1, 3, 3, 0x80FF8000);
  EXPECT_EQ(bitmap.Pixel(1, 1), MergeReg(0x80FF8000, before[5]));
  EXPECT_EQ(bitmap.Pixel(0, 0), before[0]);
  bitmap.FillRectBlend(0, 0, 4, 1, 0xFF123456);
  EXPECT_EQ(bitmap.Pixel(3, 0), 0xFF123456u);

  bitmap.SetAllAlpha(0x40);
  for (int32_t i = 0; i < 16; ++i) {
    const TColor32 p = bitmap.Pixel(i % 4, i / 4);
    EXPECT_EQ(p >> 24, 0x40u);
  }
  EXPECT_EQ(bitmap.Pixel(3, 3) & 0xFFFFFF, before[15] & 0xFFFFFF);
}

// The colours a stippled line draws, read back in drawing order.
std::vector<TColor32> DrawnRow(const TCustomBitmap32& b, int32_t y, int32_t from, int32_t to) {
  std::vector<TColor32> colours;
  const int32_t step = to >= from ? 1 : -1;
  for (int32_t x = from;; x += step) {
    colours.push_back(b.Pixel(x, y));
    if (x == to) break;
  }
  return colours;
}

TEST(BitmapStipple, PatternStaysContinuousAcrossClipping) {
  const TArrayOfColor32 pattern{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000};
  for (float step : {1.0f, 0.5f, 0.75f}) {
    for (bool descending : {false, true}) {
      TCustomBitmap32 whole, clipped;
      for (TCustomBitmap32* b : {&whole, &clipped}) {
        b->SetSize(40, 3);
        b->Clear();
        b->SetStipplePattern(pattern);
        b->SetStippleStep(step);
      }
      clipped.SetClipRect({13, 0, 20, 3});
      const int32_t from = descending ? 30 : 5, to = descending ? 5 : 30;
      whole.HorzLineStippled(from, 1, to);
      clipped.HorzLineStippled(from, 1, to);
      const auto reference = DrawnRow(whole, 1, 13, 19);
      EXPECT_EQ(DrawnRow(clipped, 1, 13, 19), reference) << step << " " << descending;
      EXPECT_FLOAT_EQ(clipped.StippleCounter(), whole.StippleCounter());
      EXPECT_EQ(clipped.Pixel(12, 1), 0xFF000000u);
      EXPECT_EQ(clipped.Pixel(20, 1), 0xFF000000u);
      // A line wholly outside still moves the pattern on by its length.
      const float counter = clipped.StippleCounter();
      clipped.HorzLineStippled(0, 1, 9);
      EXPECT_FLOAT_EQ(clipped.StippleCounter(),
                      std::fmod(counter + 10 * step, static_cast<float>(pattern.size())));
    }
  }
}

// Ends anywhere in the 32-bit range (the sanitizers of the test build watch the arithmetic): the
// part inside the clip is drawn and the pattern stays within its length.
TEST(BitmapStipple, FarAwayEndsDrawTheClippedPart) {
  const TArrayOfColor32 pattern{0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  struct Line {
    int32_t from, to;
    bool vertical;
  };
  for (const Line& line : {Line{INT32_MIN, 5, false}, Line{5, INT32_MIN, false},
                           Line{INT32_MAX, 2, true}, Line{INT32_MIN, INT32_MAX, true}}) {
    TCustomBitmap32 b;
    b.SetSize(10, 10);
    b.Clear();
    b.SetClipRect({1, 1, 9, 9});
    b.SetStipplePattern(pattern);
    if (line.vertical)
      b.VertLineStippled(4, line.from, line.to);
    else
      b.HorzLineStippled(line.from, 4, line.to);
    const int32_t lo = std::max(std::min(line.from, line.to), 1);
    const int32_t hi = std::min(std::max(line.from, line.to), 8);
    for (int32_t a = 0; a < 10; ++a) {
      const TColor32 p = line.vertical ? b.Pixel(4, a) : b.Pixel(a, 4);
      EXPECT_EQ(p != clBlack32, a >= lo && a <= hi) << line.from << " " << line.to << " " << a;
    }
    EXPECT_GE(b.StippleCounter(), 0.0f);
    EXPECT_LT(b.StippleCounter(), 3.0f);
  }
}

TEST(BitmapStipple, ColoursComeFromThePatternInOrder) {
  TCustomBitmap32 bitmap;
  EXPECT_EQ(bitmap.NextStippleColor(), 0xFF000000u);
  EXPECT_EQ(bitmap.StippleCounter(), 0.0f);
  const TArrayOfColor32 pattern{0xFF102030, 0xFF405060, 0xFF708090};
  bitmap.SetStipplePattern(pattern);
  EXPECT_EQ(bitmap.NextStippleColor(), pattern[0]);
  EXPECT_EQ(bitmap.NextStippleColor(), pattern[1]);
  EXPECT_EQ(bitmap.NextStippleColor(), pattern[2]);
  EXPECT_EQ(bitmap.NextStippleColor(), pattern[0]);  // wraps round
  bitmap.SetStipplePattern(pattern);
  bitmap.SetStippleStep(0.5f);
  EXPECT_EQ(bitmap.NextStippleColor(), pattern[0]);
  // Half way: weight 255 - Round(127.5) = 127 for the first colour.
  EXPECT_EQ(bitmap.NextStippleColor(), CombineReg(pattern[0], pattern[1], 127));
  bitmap.SetStippleCounter(2.5f);  // between the last and the first entry
  EXPECT_EQ(bitmap.NextStippleColor(), CombineReg(pattern[2], pattern[0], 127));
}

TEST(BitmapStipple, FramePatternRunsClockwise) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(6, 5);
  bitmap.Clear();
  TArrayOfColor32 pattern;
  for (TColor32 i = 0; i < 14; ++i) pattern.push_back(0xFF000000 | (i + 1));
  bitmap.SetStipplePattern(pattern);
  bitmap.FrameRectStippled(1, 1, 5, 5);
  // Perimeter of the 4 x 4 frame from its top-left corner, clockwise: 12 pixels.
  const std::vector<std::pair<int, int>> path{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3},
                                              {4, 4}, {3, 4}, {2, 4}, {1, 4}, {1, 3}, {1, 2}};
  for (std::size_t i = 0; i < path.size(); ++i)
    EXPECT_EQ(bitmap.Pixel(path[i].first, path[i].second), pattern[i]) << i;
  EXPECT_EQ(bitmap.Pixel(2, 2), 0xFF000000u);
}

}  // namespace

namespace {

// Translucent pixels, lines, frames and stipples go through the blend routine of the bitmap's
// combine mode: each touched pixel must be what BlendMem or MergeMem makes of it, on every tier,
// bound after the bitmap was made and its mode set.
TEST(TranslucentDrawing, FollowsTheCombineModesRoutineOnEveryTier) {
  for (const TImplementationTier tier : test_support::Tiers())
    for (const TCombineMode mode : {cmBlend, cmMerge, cmBlend}) {
      TCustomBitmap32 bitmap;
      bitmap.SetSize(kW, kH);
      FillRandom(bitmap, 50 + mode);
      bitmap.SetCombineMode(mode);
      test_support::TierScope scope(tier);
      std::vector<TColor32> expected = Pixels(bitmap);
      const TBlendMem routine = mode == cmMerge ? MergeMem : BlendMem;
      auto blend = [&](int32_t x, int32_t y, TColor32 value) {
        routine(value, expected[y * kW + x]);
        EMMS();
      };
      std::mt19937 random(60 + mode);
      auto translucent = [&]() -> TColor32 {
        return TColor32((random() & 0x00FFFFFF) | (1 + random() % 254) << 24);
      };

      for (int i = 0; i < 40; ++i) {
        const int32_t x = int32_t(random() % kW), y = int32_t(random() % kH);
        const TColor32 value = translucent();
        bitmap.PixelBlend(x, y, value);
        blend(x, y, value);
      }
      TColor32 value = translucent();
      bitmap.HorzLineBlend(2, 3, 10, value);
      for (int32_t x = 2; x <= 10; ++x) blend(x, 3, value);
      value = translucent();
      bitmap.VertLineBlend(5, 0, kH - 1, value);
      for (int32_t y = 0; y < kH; ++y) blend(5, y, value);
      bitmap.SetClipRect({1, 1, 9, 8});
      value = translucent();
      bitmap.FrameRectBlendClipped(2, 2, 12, 7, value);  // the right side lies outside the clip
      for (int32_t x = 2; x < 9; ++x) blend(x, 2, value), blend(x, 6, value);
      for (int32_t y = 3; y < 6; ++y) blend(2, y, value);
      bitmap.SetClipRect(bitmap.BoundsRect());
      const TArrayOfColor32 pattern{translucent(), translucent(), translucent()};
      bitmap.SetStipplePattern(pattern);
      bitmap.HorzLineStippled(0, 9, kW - 1);
      for (int32_t x = 0; x < kW; ++x) blend(x, 9, pattern[size_t(x) % 3]);
      EXPECT_EQ(Pixels(bitmap), expected)
          << test_support::TierName(tier) << ", combine mode " << int(mode);
    }
}

// A bitmap made while the MMX routines were bound blends with the routines bound later, and
// leaves no MMX state behind: floating-point work in the x87 unit after it gives right numbers.
TEST(TranslucentDrawing, BitmapsOutliveTheTierTheyWereMadeIn) {
  if (!(CPUFeatures() & SetOf(isMMX))) GTEST_SKIP() << "no MMX";
  std::unique_ptr<TCustomBitmap32> bitmap;
  {
    test_support::TierScope mmx(tierMMX);
    bitmap = std::make_unique<TCustomBitmap32>();
    bitmap->SetSize(10, 2);
  }
  const auto x87Product = [] {
    volatile long double x = 1.5L;
    return x * 3;
  };
  bitmap->HorzLineBlend(0, 1, 9, 0x80FF0000);
  EXPECT_EQ(x87Product(), 4.5L);
  bitmap->PixelBlend(3, 0, 0x80FF0000);
  EXPECT_EQ(x87Product(), 4.5L);
}

}  // namespace
