// Size, clipping, settings and pixel reads of the bitmap.
#include <gtest/gtest.h>

#include <cmath>

#include "Helpers.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"

namespace {

using namespace gfx;
using bitmap_test::FillRandom;
using bitmap_test::Pixels;
using bitmap_test::Recorder;

TEST(BitmapStorage, SizesSurfacesAndInitialPixels) {
  TCustomBitmap32 memory;
  EXPECT_EQ(memory.Width(), 0);
  EXPECT_EQ(memory.Bits(), nullptr);
  EXPECT_TRUE(memory.Empty());

  memory.SetSize(2, 2);
  EXPECT_EQ(Pixels(memory), std::vector<TColor32>(4, 0xFF000000));

  // A negative side becomes 0: no surface, and clearing does nothing at all.
  memory.SetSize(-5, 3);
  EXPECT_EQ(memory.Width(), 0);
  EXPECT_EQ(memory.Height(), 3);
  EXPECT_TRUE(memory.Empty());
  EXPECT_EQ(memory.Bits(), nullptr);
  Recorder recorder(memory);
  memory.Clear();
  EXPECT_TRUE(recorder.reports.empty());
  EXPECT_EQ(recorder.changes, 0);

  // The device surface starts zero-filled.
  TBitmap32 device;
  device.SetSize(3, 3);
  EXPECT_EQ(Pixels(device), std::vector<TColor32>(9, 0));
  device.SetSize(5, 0);
  EXPECT_EQ(device.Width(), 5);
  EXPECT_TRUE(device.Empty());
  EXPECT_EQ(device.Bits(), nullptr);
}

TEST(BitmapStorage, RefusesSizesBeyondTheLimitsAndKeepsItsPixels) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(4, 3);
  FillRandom(bitmap, 7);
  const auto before = Pixels(bitmap);
  EXPECT_THROW(bitmap.SetSize(32768, 1), EBitmapException);
  EXPECT_THROW(bitmap.SetSize(20000, 20000), EBitmapException);
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(Pixels(bitmap), before);
}

TEST(BitmapStorage, ClipRectangleFollowsTheBounds) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(10, 8);
  EXPECT_FALSE(bitmap.Clipping());
  bitmap.SetClipRect({2, 2, 4, 4});
  EXPECT_TRUE(bitmap.Clipping());
  EXPECT_EQ(bitmap.FixedClipRect(), (TFixedRect{2 << 16, 2 << 16, 4 << 16, 4 << 16}));
  EXPECT_EQ(bitmap.SubpixelClipRect(), (TRect{2 << 8, 2 << 8, 4 << 8, 4 << 8}));

  bitmap.SetClipRect({-5, -5, 100, 3});
  EXPECT_EQ(bitmap.ClipRect(), (TRect{0, 0, 10, 3}));
  bitmap.SetClipRect({20, 20, 30, 30});
  EXPECT_EQ(bitmap.ClipRect(), (TRect{0, 0, 0, 0}));
  bitmap.SetClipRect(bitmap.BoundsRect());
  EXPECT_FALSE(bitmap.Clipping());

  bitmap.SetClipRect({1, 1, 2, 2});
  bitmap.SetSize(6, 6);
  EXPECT_EQ(bitmap.ClipRect(), (TRect{0, 0, 6, 6}));
  EXPECT_FALSE(bitmap.Clipping());
}

TEST(BitmapStorage, ClippedAndWrappedReads) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(10, 9);
  FillRandom(bitmap, 3);
  bitmap.SetOuterColor(0x12345678);
  bitmap.SetClipRect({2, 3, 7, 8});
  for (int32_t y = -2; y < 12; ++y) {
    for (int32_t x = -2; x < 12; ++x) {
      const bool inside = x >= 2 && x < 7 && y >= 3 && y < 8;
      EXPECT_EQ(bitmap.PixelClipped(x, y), inside ? bitmap.Pixel(x, y) : 0x12345678u);
    }
  }

  // Repeat and mirror over the clip rectangle, against plain modulo and reflection.
  const auto repeat = [](int32_t v, int32_t lo, int32_t n) { return lo + ((v - lo) % n + n) % n; };
  const auto mirror = [](int32_t v, int32_t lo, int32_t n) {
    const int32_t period = 2 * n;
    const int32_t k = ((v - lo) % period + period) % period;
    return lo + (k < n ? k : period - 1 - k);
  };
  for (TWrapMode mode : {wmClamp, wmRepeat, wmMirror}) {
    bitmap.SetWrapMode(mode);
    for (int32_t y = -12; y < 20; ++y) {
      for (int32_t x = -12; x < 20; ++x) {
        int32_t ex, ey;
        if (mode == wmClamp) {
          ex = std::clamp(x, 2, 6);
          ey = std::clamp(y, 3, 7);
        } else if (mode == wmRepeat) {
          ex = repeat(x, 2, 5);
          ey = repeat(y, 3, 5);
        } else {
          ex = mirror(x, 2, 5);
          ey = mirror(y, 3, 5);
        }
        ASSERT_EQ(bitmap.PixelWrapped(x, y), bitmap.Pixel(ex, ey)) << x << "," << y;
      }
    }
  }
}

// Bilinear value with gamma-table weights, in doubles; the blend routines round each step.
TColor32 BilinearOracle(const TCustomBitmap32& b, int32_t x, int32_t y, int channel) {
  const auto ch = [&](int32_t px, int32_t py) { return (b.Pixel(px, py) >> (8 * channel)) & 255; };
  const double wx = GammaTable[(x & 255) ^ 255] / 255.0;
  const double wy = GammaTable[(y & 255) ^ 255] / 255.0;
  const int32_t ix = x >> 8, iy = y >> 8;
  const double top = wx * ch(ix, iy) + (1 - wx) * ch(ix + 1, iy);
  const double bottom = wx * ch(ix, iy + 1) + (1 - wx) * ch(ix + 1, iy + 1);
  return static_cast<TColor32>(std::lround(wy * top + (1 - wy) * bottom));
}

TEST(BitmapStorage, SubpixelReadsWeightByTheGammaTable) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(6, 5);
  FillRandom(bitmap, 11);
  for (int32_t y = 0; y < (4 << 8); y += 37) {
    for (int32_t x = 0; x < (5 << 8); x += 29) {
      const TColor32 c = bitmap.PixelSubpixel(x, y);
      for (int channel = 0; channel < 3; ++channel) {
        const int got = (c >> (8 * channel)) & 255;
        EXPECT_NEAR(got, static_cast<int>(BilinearOracle(bitmap, x, y, channel)), 2)
            << x << "," << y << " channel " << channel;
      }
    }
  }
  // 16.16 reads round to the nearest 24.8 position.
  EXPECT_EQ(bitmap.PixelFixed(0x18000, 0x10000), bitmap.PixelSubpixel(0x180, 0x100));
}

TEST(BitmapStorage, SubpixelClippedReadsHandleTheLastRowAndColumn) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(5, 4);
  FillRandom(bitmap, 5);
  bitmap.SetOuterColor(0xCAFEBABE);
  bitmap.SetClipRect({1, 1, 4, 3});
  const int32_t w = 3 << 8, h = 2 << 8;
  EXPECT_EQ(bitmap.PixelSubpixelClipped(0xFF, 0x100), 0xCAFEBABEu);
  EXPECT_EQ(bitmap.PixelSubpixelClipped(w, 0x180), bitmap.Pixel(3, 1));
  EXPECT_EQ(bitmap.PixelSubpixelClipped(0x180, h), bitmap.Pixel(1, 2));
  EXPECT_EQ(bitmap.PixelSubpixelClipped(w + 1, 0x100), 0xCAFEBABEu);
  EXPECT_EQ(bitmap.PixelSubpixelClipped(0x180, 0x140), bitmap.PixelSubpixel(0x180, 0x140));
  EXPECT_EQ(bitmap.PixelFixedClipped(-0x10000, 0x10000), 0xCAFEBABEu);
}

TEST(BitmapStorage, FixedWrappedReadsMixTheFourNeighbours) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(4, 4);
  FillRandom(bitmap, 9);
  bitmap.SetWrapMode(wmRepeat);
  // Whole positions read the pixel itself; the neighbour past the edge wraps to column 0.
  EXPECT_EQ(bitmap.PixelFixedWrapped(3 << 16, 1 << 16) & 0xFFFFFF,
            CombineReg(CombineReg(bitmap.Pixel(0, 2), bitmap.Pixel(3, 2), 0),
                       CombineReg(bitmap.Pixel(0, 1), bitmap.Pixel(3, 1), 0), 0) &
                0xFFFFFF);
  // Uniform colour stays that colour at any fraction.
  bitmap.ClearWithColor(0xFF406080);
  EXPECT_EQ(bitmap.PixelFixedWrapped(0x2ABCD, -0x18000) & 0xFFFFFF, 0x406080u);
}

// A clip rectangle outside the bitmap leaves nothing to wrap into: every wrapped read, whole or
// at a fraction, answers the outer colour instead of reading before the pixels.
TEST(BitmapStorage, WrappedReadsUnderAnEmptyClipAnswerTheOuterColour) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(4, 4);
  FillRandom(bitmap, 4);
  bitmap.SetOuterColor(0x80402010);
  for (const TRect& clip : {TRect{10, 10, 20, 20}, TRect{2, 1, 2, 3}}) {
    bitmap.SetClipRect(clip);
    for (TWrapMode mode : {wmClamp, wmRepeat, wmMirror}) {
      bitmap.SetWrapMode(mode);
      for (int32_t v : {-5, 0, 1, 3, 9}) {
        EXPECT_EQ(bitmap.PixelWrapped(v, 1), 0x80402010u) << int(mode) << " " << v;
        EXPECT_EQ(bitmap.PixelFixedWrapped(v << 16, 0x18000), 0x80402010u) << int(mode) << " " << v;
      }
    }
  }
}

TEST(BitmapStorage, SettersReportOnlyRealChanges) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(2, 2);
  Recorder recorder(bitmap);
  bitmap.SetDrawMode(dmBlend);
  bitmap.SetDrawMode(dmBlend);
  bitmap.SetMasterAlpha(128);
  bitmap.SetMasterAlpha(128);
  bitmap.SetWrapMode(wmMirror);
  bitmap.SetCombineMode(cmMerge);
  bitmap.SetOuterColor(5);
  bitmap.SetClipRect({0, 0, 1, 1});
  EXPECT_EQ(recorder.changes, 4);
  EXPECT_EQ(recorder.reports.size(), 4u);
  EXPECT_EQ(bitmap.BlendProc(), MergeMem);
  bitmap.SetCombineMode(cmBlend);
  EXPECT_EQ(bitmap.BlendProc(), BlendMem);
}

TEST(BitmapStorage, CopiesMapAndProperties) {
  TCustomBitmap32 source, target;
  source.SetSize(3, 2);
  FillRandom(source, 1);
  source.SetDrawMode(dmTransparent);
  source.SetCombineMode(cmMerge);
  source.SetWrapMode(wmRepeat);
  source.SetMasterAlpha(77);
  source.SetOuterColor(0x11223344);
  target.Assign(source);
  EXPECT_EQ(Pixels(target), Pixels(source));
  EXPECT_EQ(target.Width(), 3);
  EXPECT_EQ(target.DrawMode(), dmTransparent);
  EXPECT_EQ(target.CombineMode(), cmMerge);
  EXPECT_EQ(target.WrapMode(), wmRepeat);
  EXPECT_EQ(target.MasterAlpha(), 77u);
  EXPECT_EQ(target.OuterColor(), 0x11223344u);

  target.Assign(nullptr);
  EXPECT_TRUE(target.Empty());
  const std::string before = source.ResamplerClassName();
  source.SetResamplerClassName("TNoSuchResampler");
  EXPECT_EQ(source.ResamplerClassName(), before);
}

}  // namespace
