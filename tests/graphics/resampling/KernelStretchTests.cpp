// Mapping tables and separable kernel stretching against a double-precision convolution.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "Helpers.h"
#include "graphics/resampling/Resamplers.h"

namespace {

using namespace gfx;
using namespace resampling_test;

std::vector<std::unique_ptr<TCustomKernel>> AllKernels() {
  std::vector<std::unique_ptr<TCustomKernel>> kernels;
  for (int32_t i = 0; i < KernelList().Count(); ++i)
    kernels.push_back(KernelList().Items(i).Create());
  return kernels;
}

TEST(MappingTable, LinearTwoToFourUsesClampedCentres) {
  TLinearKernel linear;
  const TMappingTable map = BuildMappingTable(0, 4, 0, 4, 0, 2, linear);
  // Centres -0.25, 0.25, 0.75, 1.25.
  ASSERT_EQ(map.size(), 4u);
  EXPECT_EQ(map[0], (TCluster{{0, 64}, {0, 192}}));
  EXPECT_EQ(map[1], (TCluster{{0, 192}, {1, 64}}));
  EXPECT_EQ(map[2], (TCluster{{0, 64}, {1, 192}}));
  EXPECT_EQ(map[3], (TCluster{{1, 192}, {1, 64}}));
}

TEST(MappingTable, OnePixelSourceAndEmptyRanges) {
  TLanczosKernel lanczos;
  const TMappingTable map = BuildMappingTable(0, 5, 1, 4, 7, 8, lanczos);
  ASSERT_EQ(map.size(), 3u);
  for (const TCluster& c : map) EXPECT_EQ(c, (TCluster{{7, 256}}));
  EXPECT_TRUE(BuildMappingTable(0, 5, 0, 5, 3, 3, lanczos).empty());
  EXPECT_TRUE(BuildMappingTable(0, 5, 4, 4, 0, 9, lanczos).empty());
  EXPECT_TRUE(BuildMappingTable(0, 5, 4, 2, 0, 9, lanczos).empty());
}

TEST(MappingTable, ClustersSumToTheUnitAndStayInTheSource) {
  const int32_t sizes[] = {2, 3, 5, 7, 16, 31, 100};
  for (const auto& kernel : AllKernels())
    for (int32_t src : sizes)
      for (int32_t dst : sizes) {
        const TMappingTable map =
            BuildMappingTable(10, 10 + dst, 11, 10 + dst, 4, 4 + src, *kernel);
        ASSERT_EQ(map.size(), size_t(dst - 1));
        for (const TCluster& c : map) {
          int32_t sum = 0;
          for (const TPointRec& p : c) {
            sum += p.Weight;
            EXPECT_GE(p.Pos, 4);
            EXPECT_LT(p.Pos, 4 + src);
          }
          ASSERT_FALSE(c.empty());
          EXPECT_EQ(sum, 256) << kernel->ClassName() << " " << src << "->" << dst;
        }
      }
}

// Reference: each destination pixel as the normalised convolution of the source under the
// kernel (widened by the reduction factor), positions clamped to the source, in double.
double Reference(const std::vector<double>& row, int32_t dst, int32_t i, const TCustomKernel& k) {
  const int32_t src = int32_t(row.size());
  const double scale = double(dst) / src;
  const double stretch = scale < 1 ? scale : 1;
  const double centre = (i + 0.5) / scale - 0.5;
  const double radius = k.GetWidth() / stretch;
  double sum = 0, weights = 0;
  for (int32_t j = int32_t(std::floor(centre - radius)); j <= int32_t(std::ceil(centre + radius));
       ++j) {
    const double w = k.Filter(float((centre - j) * stretch));
    sum += w * row[size_t(std::clamp(j, 0, src - 1))];
    weights += w;
  }
  return sum / weights;
}

// Enlarging keeps every weight close to the kernel's value, so the result follows the exact
// convolution closely. (The Albrecht window is no partition of unity; its shape is tested above.)
TEST(KernelStretch, EnlargingFollowsTheDoubleConvolution) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 23, 1, 5, true);
  std::vector<double> green(23);
  for (int32_t x = 0; x < 23; ++x) green[size_t(x)] = (src.Pixel(x, 0) >> 8) & 0xFF;
  for (const auto& kernel : AllKernels()) {
    if (dynamic_cast<TAlbrechtKernel*>(kernel.get())) continue;
    const bool sinc = dynamic_cast<TWindowedSincKernel*>(kernel.get()) ||
                      dynamic_cast<TSinshKernel*>(kernel.get());
    for (int32_t size : {40, 57}) {
      dst.SetSize(size, 1);
      dst.Clear();
      Resample(dst, {0, 0, size, 1}, {0, 0, size, 1}, src, {0, 0, 23, 1}, *kernel, dmOpaque, {});
      double error = 0;
      for (int32_t i = 0; i < size; ++i) {
        const double expected = std::clamp(Reference(green, size, i, *kernel), 0.0, 255.0);
        const double got = (dst.Pixel(i, 0) >> 8) & 0xFF;
        EXPECT_NEAR(got, expected, sinc ? 3.0 : 2.0) << kernel->ClassName() << " " << i;
        error += std::fabs(got - expected);
      }
      EXPECT_LT(error / size, 1.0) << kernel->ClassName() << " to " << size;
    }
  }
}

// Reducing a linear ramp by an integer factor keeps it a ramp (up to the truncation).
TEST(KernelStretch, ReducingARampKeepsItsMeans) {
  TCustomBitmap32 src, dst;
  Fill(src, 60, 1, [](int32_t x, int32_t) { return 0xFF000000u | uint32_t(x * 4) << 8; });
  TLinearKernel linear;
  TCubicKernel cubic;
  for (const TCustomKernel* kernel :
       {static_cast<const TCustomKernel*>(&linear), static_cast<const TCustomKernel*>(&cubic)}) {
    dst.SetSize(20, 1);
    Resample(dst, {0, 0, 20, 1}, {0, 0, 20, 1}, src, {0, 0, 60, 1}, *kernel, dmOpaque, {});
    for (int32_t i = 2; i < 18; ++i)
      EXPECT_NEAR(double((dst.Pixel(i, 0) >> 8) & 0xFF), (3 * i + 1) * 4.0, 1.5)
          << kernel->ClassName() << " " << i;
  }
}

TEST(KernelStretch, ConstantPicturesStayConstantUnderEveryKernel) {
  TCustomBitmap32 src, dst;
  Fill(src, 13, 9, [](int32_t, int32_t) { return 0xC8641E8Cu; });
  for (const auto& kernel : AllKernels())
    for (const TRect r : {TRect{0, 0, 31, 20}, TRect{0, 0, 5, 4}, TRect{-3, 2, 17, 30}}) {
      dst.SetSize(20, 20);
      dst.Clear();
      Resample(dst, r, {0, 0, 20, 20}, src, {0, 0, 13, 9}, *kernel, dmOpaque, {});
      TRect inside;
      IntersectRectangles(inside, r, dst.BoundsRect());
      for (int32_t y = inside.Top; y < inside.Bottom; ++y)
        for (int32_t x = inside.Left; x < inside.Right; ++x)
          ASSERT_EQ(dst.Pixel(x, y), 0xC8641E8Cu) << kernel->ClassName();
    }
}

// Reductions whose weights round high put the correction where no weight turns negative, so a
// kernel without range check cannot wrap; enlargements whose weights all vanish take the nearest
// source pixel instead of transparent black.
TEST(KernelStretch, CorrectionsNeverWrapAndVanishingWeightsTakeTheNearestPixel) {
  for (auto [kernel, size] :
       {std::pair<TCustomKernel*, int32_t>{new TBoxKernel, 56}, {new TCosineKernel, 137}}) {
    std::unique_ptr<TCustomKernel> owned(kernel);
    const int32_t width = size;
    TCustomBitmap32 src, dst;
    Fill(src, width, 1,
         [width](int32_t x, int32_t) { return x == width / 2 ? 0xFFFFFFFF : 0xFF000000; });
    dst.SetSize(1, 1);
    Resample(dst, {0, 0, 1, 1}, {0, 0, 1, 1}, src, {0, 0, width, 1}, *kernel, dmOpaque, nullptr);
    // One white pixel in Width: about 255 / Width in each colour channel.
    EXPECT_EQ(dst.Pixel(0, 0) >> 24, 0xFFu) << kernel->ClassName();
    EXPECT_LE(dst.Pixel(0, 0) & 0xFF, 8u) << kernel->ClassName();
  }
  TLanczosKernel narrow;
  narrow.SetWidth(0.3f);
  TCustomBitmap32 src, dst;
  Fill(src, 2, 2, [](int32_t x, int32_t) { return x ? 0xFF405060 : 0xFF102030; });
  dst.SetSize(8, 2);
  Resample(dst, {0, 0, 8, 2}, {0, 0, 8, 2}, src, {0, 0, 2, 2}, narrow, dmOpaque, nullptr);
  // Centres -0.375, -0.125, ..., 1.375 in steps of 0.25: those 0.3 or more from every pixel take
  // the nearest one, so the first four show column 0.
  for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(dst.Pixel(x, 0), src.Pixel(x < 4 ? 0 : 1, 0)) << x;
}

TEST(KernelStretch, BoxAtTheSameSizeReproducesTheSource) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 17, 11, 9);
  dst.SetSize(17, 11);
  TBoxKernel box;
  Resample(dst, {0, 0, 17, 11}, {0, 0, 17, 11}, src, {0, 0, 17, 11}, box, dmOpaque, {});
  EXPECT_EQ(Pixels(dst), Pixels(src));
}

// Lanczos without the range check, so that overshoot shows.
class UncheckedLanczos : public TLanczosKernel {
 public:
  bool RangeCheck() const override { return false; }
};

TEST(KernelStretch, OvershootIsLimitedOnlyWithRangeCheck) {
  TCustomBitmap32 src, limited, wrapped;
  Fill(src, 6, 1, [](int32_t x, int32_t) { return x < 3 ? 0xFF000000u : 0xFFFFFFFFu; });
  std::vector<double> row(6);
  for (int32_t x = 0; x < 6; ++x) row[size_t(x)] = x < 3 ? 0 : 255;
  limited.SetSize(24, 1);
  wrapped.SetSize(24, 1);
  TLanczosKernel lanczos;
  UncheckedLanczos unchecked;
  Resample(limited, {0, 0, 24, 1}, {0, 0, 24, 1}, src, {0, 0, 6, 1}, lanczos, dmOpaque, {});
  Resample(wrapped, {0, 0, 24, 1}, {0, 0, 24, 1}, src, {0, 0, 6, 1}, unchecked, dmOpaque, {});
  int under = 0, over = 0;
  for (int32_t i = 0; i < 24; ++i) {
    const double exact = Reference(row, 24, i, lanczos);
    const uint32_t l = limited.Pixel(i, 0) & 0xFF, w = wrapped.Pixel(i, 0) & 0xFF;
    if (exact < -3) {
      ++under;
      EXPECT_EQ(l, 0u) << i;
      EXPECT_GT(w, 200u) << i;  // a negative sum wraps within the byte
    } else if (exact > 258) {
      ++over;
      EXPECT_EQ(l, 255u) << i;
      EXPECT_LT(w, 60u) << i;
    } else {
      EXPECT_EQ(l, w) << i;
    }
  }
  EXPECT_GT(under, 0);
  EXPECT_GT(over, 0);
}

// Cut clips of small sources use positions left of the first cluster's: the buffer covers them.
TEST(KernelStretch, ClippedEnlargementReadsOnlyInsideItsBuffer) {
  TCustomBitmap32 src, whole, part;
  FillRandom(src, 2, 3, 4, true);
  TLanczosKernel lanczos;
  whole.SetSize(10, 10);
  part.SetSize(10, 10);
  Resample(whole, {0, 0, 10, 10}, {0, 0, 10, 10}, src, {0, 0, 2, 3}, lanczos, dmOpaque, {});
  Resample(part, {0, 0, 10, 10}, {7, 0, 10, 10}, src, {0, 0, 2, 3}, lanczos, dmOpaque, {});
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 7; x < 10; ++x) EXPECT_EQ(part.Pixel(x, y), whole.Pixel(x, y));
}

TEST(KernelStretch, WritesWithTheSourcesDrawMode) {
  TCustomBitmap32 src, dst;
  Fill(src, 2, 2, [](int32_t, int32_t) { return 0x80FF0000u; });
  src.SetDrawMode(dmBlend);
  TBoxKernel box;
  Fill(dst, 4, 4, [](int32_t, int32_t) { return 0xFF0000FFu; });
  {
    TierScope portable(tierPortable);
    Resample(dst, {0, 0, 4, 4}, {0, 0, 4, 4}, src, {0, 0, 2, 2}, box, dmBlend, {});
  }
  EXPECT_EQ(dst.Pixel(2, 1), PortableBlend(0x80FF0000u, 0xFF0000FFu, 128));
  src.SetMasterAlpha(0);
  Fill(dst, 4, 4, [](int32_t, int32_t) { return 0xFF0000FFu; });
  Resample(dst, {0, 0, 4, 4}, {0, 0, 4, 4}, src, {0, 0, 2, 2}, box, dmBlend, {});
  EXPECT_EQ(dst.Pixel(2, 1), 0xFF0000FFu);
  src.SetOuterColor(0x80FF0000u);
  Resample(dst, {0, 0, 4, 4}, {0, 0, 4, 4}, src, {0, 0, 2, 2}, box, dmTransparent, {});
  EXPECT_EQ(dst.Pixel(2, 1), 0xFF0000FFu);
  int calls = 0;
  Resample(dst, {0, 0, 4, 4}, {1, 1, 3, 2}, src, {0, 0, 2, 2}, box, dmCustom,
           [&](TColor32 F, TColor32& B, TColor32 M) {
             ++calls;
             EXPECT_EQ(F, 0x80FF0000u);
             EXPECT_EQ(M, 0u);
             B = 7;
           });
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(dst.Pixel(1, 1), 7u);
}

}  // namespace

namespace {

TEST(StretchRoutines, StayInsideBothBitmapsWhoeverCallsThem) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 6, 5, 40, true);
  dst.SetSize(8, 8);
  TLanczosKernel lanczos;
  using Routine = std::function<void(const TRect&, const TRect&, const TRect&)>;
  const Routine routines[] = {
      [&](const TRect& d, const TRect& c, const TRect& s) {
        Resample(dst, d, c, src, s, lanczos, dmOpaque, {});
      },
      [&](const TRect& d, const TRect& c, const TRect& s) {
        StretchHorzStretchVertLinear(dst, d, c, src, s, dmOpaque, {});
      },
      [&](const TRect& d, const TRect& c, const TRect& s) {
        DraftResample(dst, d, c, src, s, lanczos, dmOpaque, {});
      },
  };
  for (const Routine& routine : routines) {
    EXPECT_THROW(routine({0, 0, 8, 8}, {0, 0, 8, 8}, {0, 0, 7, 5}), plat::Exception);
    EXPECT_THROW(routine({0, 0, 8, 8}, {0, 0, 8, 8}, {-1, 0, 6, 5}), plat::Exception);
    dst.Clear();
    // A destination and clip reaching past Dst, and a one-pixel-high source.
    routine({-20, -20, 30, 30}, {-5, -5, 50, 50}, {0, 0, 6, 5});
    routine({-3, 2, 12, 13}, {0, 0, 8, 8}, {1, 4, 5, 5});
    routine({0, 0, 4, 2}, {0, 0, 8, 8}, {0, 0, 6, 5});
    routine({0, 0, 8, 8}, {}, {0, 0, 6, 5});
  }
}

}  // namespace
