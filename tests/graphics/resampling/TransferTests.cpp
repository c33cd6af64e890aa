// Block and stretch transfers: clipping, notification, draw modes against per-pixel oracles, and
// nearest stretching against a brute-force index mapping.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Helpers.h"
#include "graphics/resampling/Resamplers.h"

namespace {

using namespace gfx;
using namespace resampling_test;

struct Recorder {
  std::vector<TRect> areas;
  void Attach(TCustomBitmap32& B) {
    B.OnAreaChanged = [this](plat::TObject*, const TRect& r, uint32_t) { areas.push_back(r); };
  }
};

// Counts the calls that reach it; the real work is not its business.
class SpyResampler : public TNearestResampler {
 public:
  int calls = 0;
  void Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override {
    ++calls;
    TNearestResampler::Resample(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
  }
};

TEST(BlockTransfer, NegativeOffsetsCopyOnlyTheOverlapAndReportIt) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 6, 5, 1);
  Fill(dst, 8, 8, [](int32_t, int32_t) { return 0x12345678u; });
  Recorder rec;
  rec.Attach(dst);
  BlockTransfer(dst, -2, -1, dst.BoundsRect(), src, src.BoundsRect(), dmOpaque, {});
  ASSERT_EQ(rec.areas.size(), 1u);
  EXPECT_EQ(rec.areas[0], (TRect{0, 0, 4, 4}));
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x)
      EXPECT_EQ(dst.Pixel(x, y), x < 4 && y < 4 ? src.Pixel(x + 2, y + 1) : 0x12345678u);
}

TEST(BlockTransfer, EveryDrawModeAgainstItsPixelFormula) {
  TCustomBitmap32 src, dst, before;
  FillRandom(src, 9, 7, 2);
  src.SetPixel(3, 3, 0x11223344);
  src.SetOuterColor(0x11223344);
  FillRandom(before, 9, 7, 3, true);
  TierScope portable(tierPortable);
  for (TDrawMode mode : {dmOpaque, dmBlend, dmTransparent, dmCustom})
    for (uint32_t master : {255u, 77u}) {
      src.SetMasterAlpha(master);
      dst.Assign(before);
      const TPixelCombineEvent xorCombine = [](TColor32 F, TColor32& B, TColor32 M) { B ^= F + M; };
      BlockTransfer(dst, 0, 0, dst.BoundsRect(), src, src.BoundsRect(), mode,
                    mode == dmCustom ? xorCombine : TPixelCombineEvent{});
      for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 9; ++x) {
          const TColor32 f = src.Pixel(x, y), b = before.Pixel(x, y);
          TColor32 expected = b;
          switch (mode) {
            case dmOpaque:
              expected = f;
              break;
            case dmBlend:
              expected = PortableBlend(f, b, MulDiv255(master, f >> 24));
              break;
            case dmTransparent:
              expected = f == 0x11223344 ? b : f;
              break;
            case dmCustom:
              expected = b ^ (f + master);
              break;
          }
          ASSERT_EQ(dst.Pixel(x, y), expected)
              << int(mode) << " " << master << " " << x << "," << y;
        }
    }
}

TEST(BlockTransfer, NothingHappensForEmptyBitmapsOrZeroAlpha) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 4, 4, 1);
  dst.SetSize(4, 4);
  dst.Clear();
  Recorder rec;
  rec.Attach(dst);
  src.SetMasterAlpha(0);
  BlockTransfer(dst, 0, 0, dst.BoundsRect(), src, src.BoundsRect(), dmBlend, {});
  TCustomBitmap32 empty;
  BlockTransfer(dst, 0, 0, dst.BoundsRect(), empty, {0, 0, 4, 4}, dmOpaque, {});
  BlockTransfer(dst, 9, 9, dst.BoundsRect(), src, src.BoundsRect(), dmOpaque, {});
  EXPECT_TRUE(rec.areas.empty());
  EXPECT_EQ(dst.Pixel(1, 1), clBlack32);
}

TEST(CheckBitmaps, NamesTheMissingBitmap) {
  TCustomBitmap32 b;
  try {
    CheckBitmaps(nullptr, nullptr);
    FAIL();
  } catch (const EBitmapException& e) {
    EXPECT_STREQ(e.what(), "Destination bitmap is nil");
  }
  try {
    CheckBitmaps(&b, nullptr);
    FAIL();
  } catch (const EBitmapException& e) {
    EXPECT_STREQ(e.what(), "Source bitmap is nil");
  }
}

TEST(StretchTransfer, CutsASourceRectangleLeavingTheBitmap) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 100, 50, 4, true);
  dst.SetSize(200, 100);
  dst.Clear();
  Recorder rec;
  rec.Attach(dst);
  StretchTransfer(dst, {0, 0, 200, 100}, dst.BoundsRect(), src, {-10, 0, 90, 50}, src.Resampler(),
                  dmOpaque, {});
  ASSERT_EQ(rec.areas.size(), 1u);
  EXPECT_EQ(rec.areas[0], (TRect{20, 0, 200, 100}));
  EXPECT_EQ(dst.Pixel(19, 5), clBlack32);
  EXPECT_EQ(dst.Pixel(20, 0), src.Pixel(0, 0));
}

TEST(StretchTransfer, EqualSizesNeverReachTheResampler) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 10, 10, 5);
  dst.SetSize(30, 30);
  SpyResampler& spy = TCustomResampler::Create<SpyResampler>(src);
  StretchTransfer(dst, {5, 5, 15, 15}, dst.BoundsRect(), src, src.BoundsRect(), &spy, dmOpaque, {});
  EXPECT_EQ(spy.calls, 0);
  EXPECT_EQ(dst.Pixel(5, 5), src.Pixel(0, 0));
  StretchTransfer(dst, {5, 5, 25, 25}, dst.BoundsRect(), src, src.BoundsRect(), &spy, dmOpaque, {});
  EXPECT_EQ(spy.calls, 1);
}

TEST(StretchTransfer, EmptyCasesEndQuietly) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 10, 10, 6);
  dst.SetSize(20, 20);
  dst.Clear();
  Recorder rec;
  rec.Attach(dst);
  // A zero-size source, also one lying left of the bitmap.
  StretchTransfer(dst, {0, 0, 20, 20}, dst.BoundsRect(), src, {-5, 0, -5, 10}, src.Resampler(),
                  dmOpaque, {});
  StretchTransfer(dst, {0, 0, 20, 20}, dst.BoundsRect(), src, {3, 3, 3, 8}, src.Resampler(),
                  dmOpaque, {});
  // A clip that misses the destination rectangle.
  StretchTransfer(dst, {0, 0, 10, 10}, {12, 12, 20, 20}, src, src.BoundsRect(), src.Resampler(),
                  dmOpaque, {});
  StretchTransfer(dst, {0, 0, 20, 20}, {}, src, src.BoundsRect(), src.Resampler(), dmOpaque, {});
  src.SetMasterAlpha(0);
  StretchTransfer(dst, {0, 0, 20, 20}, dst.BoundsRect(), src, src.BoundsRect(), src.Resampler(),
                  dmBlend, {});
  EXPECT_TRUE(rec.areas.empty());
  EXPECT_EQ(Pixels(dst), std::vector<TColor32>(400, clBlack32));
}

TEST(StretchTransfer, MeasuringReportsWithoutDrawing) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 10, 10, 6);
  dst.SetSize(20, 20);
  dst.Clear();
  std::vector<TRect> measured;
  dst.StartMeasuring([&](plat::TObject*, const TRect& r, uint32_t) { measured.push_back(r); });
  StretchTransfer(dst, {0, 0, 20, 20}, dst.BoundsRect(), src, src.BoundsRect(), src.Resampler(),
                  dmOpaque, {});
  // A faded-out source still occupies its place; so does a same-size block.
  src.SetMasterAlpha(0);
  StretchTransfer(dst, {2, 4, 12, 9}, dst.BoundsRect(), src, src.BoundsRect(), src.Resampler(),
                  dmBlend, {});
  BlockTransfer(dst, 15, 15, dst.BoundsRect(), src, src.BoundsRect(), dmBlend, {});
  dst.StopMeasuring();
  EXPECT_EQ(measured, (std::vector<TRect>{{0, 0, 20, 20}, {2, 4, 12, 9}, {15, 15, 20, 20}}));
  EXPECT_EQ(Pixels(dst), std::vector<TColor32>(400, clBlack32));
}

// The source position of destination offset K: the scale is held in single precision, the product
// is not, so 14 -> 20 maps offset 10 to 6 (0.699999988 * 10), not to the exact 7.
int32_t NearestSource(int32_t left, int32_t right, int32_t k, int32_t srcSize, int32_t dstSize) {
  if (dstSize <= 1) return (left + right - 1) / 2;
  const double scale = static_cast<float>(static_cast<double>(srcSize) / dstSize);
  return static_cast<int32_t>(std::trunc(left + k * scale));
}

TEST(StretchNearest, MatchesABruteForceIndexMapping) {
  EXPECT_EQ(NearestSource(0, 14, 10, 14, 20), 6);
  TCustomBitmap32 src, dst;
  FillRandom(src, 37, 23, 7);
  struct Case {
    TRect srcRect, dstRect;
  };
  for (const Case c : {Case{{3, 2, 34, 21}, {0, 0, 97, 61}}, Case{{3, 2, 34, 21}, {-5, 4, 17, 9}},
                       Case{{3, 2, 34, 21}, {2, 1, 3, 60}}, Case{{5, 4, 19, 18}, {1, 3, 21, 23}},
                       Case{{0, 0, 14, 14}, {-3, 2, 17, 22}}}) {
    for (TDrawMode mode : {dmOpaque, dmTransparent}) {
      dst.SetSize(90, 50);
      dst.Clear();
      const TRect clip{1, 2, 80, 45};
      const TRect& srcRect = c.srcRect;
      const TRect& dstRect = c.dstRect;
      StretchNearest(dst, dstRect, clip, src, srcRect, mode, {});
      const int32_t sw = srcRect.Right - srcRect.Left, sh = srcRect.Bottom - srcRect.Top;
      const int32_t dw = dstRect.Right - dstRect.Left, dh = dstRect.Bottom - dstRect.Top;
      for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 90; ++x) {
          TColor32 expected = clBlack32;
          if (x >= std::max(clip.Left, dstRect.Left) && x < std::min(clip.Right, dstRect.Right) &&
              y >= std::max(clip.Top, dstRect.Top) && y < std::min(clip.Bottom, dstRect.Bottom)) {
            const int32_t sx = NearestSource(srcRect.Left, srcRect.Right, x - dstRect.Left, sw, dw);
            const int32_t sy = NearestSource(srcRect.Top, srcRect.Bottom, y - dstRect.Top, sh, dh);
            expected = src.Pixel(sx, sy);
          }
          ASSERT_EQ(dst.Pixel(x, y), expected) << x << "," << y;
        }
    }
  }
}

TEST(StretchNearest, TwoByTwoToFourByFourDoublesEveryPixel) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 2, 2, 8);
  dst.SetSize(4, 4);
  StretchNearest(dst, {0, 0, 4, 4}, {0, 0, 4, 4}, src, {0, 0, 2, 2}, dmOpaque, {});
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(dst.Pixel(x, y), src.Pixel(x / 2, y / 2));
}

TEST(StretchNearest, RefusesASourceRectangleOutsideTheBitmap) {
  TCustomBitmap32 src, dst;
  src.SetSize(4, 4);
  dst.SetSize(8, 8);
  try {
    StretchNearest(dst, {0, 0, 8, 8}, {0, 0, 8, 8}, src, {0, 0, 5, 4}, dmOpaque, {});
    FAIL();
  } catch (const plat::Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid SrcRect");
  }
}

TEST(StretchNearest, BlendsWholeRowsWithMasterAlpha) {
  TCustomBitmap32 src, dst, before;
  FillRandom(src, 5, 3, 9);
  src.SetMasterAlpha(200);
  FillRandom(before, 10, 6, 10, true);
  dst.Assign(before);
  TierScope portable(tierPortable);
  StretchNearest(dst, {0, 0, 10, 6}, {0, 0, 10, 6}, src, {0, 0, 5, 3}, dmBlend, {});
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 10; ++x) {
      const TColor32 f = src.Pixel(x / 2, y / 2);
      EXPECT_EQ(dst.Pixel(x, y), PortableBlend(f, before.Pixel(x, y), MulDiv255(200, f >> 24)));
    }
}

}  // namespace

namespace {

TEST(StretchTransfer, FarAwayRectanglesNeitherOverflowNorDraw) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 10, 10, 42, true);
  dst.SetSize(20, 20);
  dst.Clear();
  // Cutting a source reaching far left moves the destination beyond any 32-bit position.
  StretchTransfer(dst, {0, 0, 2000000000, 20}, dst.BoundsRect(), src, {-5, 0, 5, 10},
                  src.Resampler(), dmOpaque, {});
  EXPECT_EQ(Pixels(dst), std::vector<TColor32>(400, clBlack32));
  EXPECT_THROW(StretchTransfer(dst, {-2000000000, 0, 2000000000, 20}, dst.BoundsRect(), src,
                               src.BoundsRect(), src.Resampler(), dmOpaque, {}),
               EBitmapException);
}

}  // namespace
