// The nearest, linear, draft and kernel resamplers: single samples in each access mode, their
// choice of stretching routine, block averages, and the registries by name.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Helpers.h"
#include "graphics/resampling/Resamplers.h"

namespace {

using namespace gfx;
using namespace resampling_test;

template <class R>
R& Prepared(TCustomBitmap32& B, TPixelAccessMode Mode) {
  R& r = TCustomResampler::Create<R>(B);
  r.SetPixelAccessMode(Mode);
  r.PrepareSampling();
  return r;
}

TEST(NearestResampler, RoundsPositionsAsDocumented) {
  TCustomBitmap32 b;
  Fill(b, 6, 1, [](int32_t x, int32_t) { return 0xFF000000u | uint32_t(x); });
  auto& r = Prepared<TNearestResampler>(b, pamSafe);
  EXPECT_EQ(r.GetSampleFloat(2.5f, 0), 0xFF000002u);  // ties to even
  EXPECT_EQ(r.GetSampleFloat(3.5f, 0), 0xFF000004u);
  EXPECT_EQ(r.GetSampleFixed(0x18000, 0), 0xFF000001u);  // an exact half rounds down
  EXPECT_EQ(r.GetSampleFixed(0x18001, 0), 0xFF000002u);
  EXPECT_EQ(r.GetSampleInt(5, 0), 0xFF000005u);
}

TEST(NearestResampler, OutsidePositionsByAccessMode) {
  TCustomBitmap32 b;
  Fill(b, 4, 3, [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(y * 16 + x); });
  b.SetOuterColor(0x12345678);
  EXPECT_EQ(Prepared<TNearestResampler>(b, pamSafe).GetSampleInt(-1, 0), 0x12345678u);
  EXPECT_EQ(Prepared<TNearestResampler>(b, pamUnsafe).GetSampleInt(9, 9), 0x12345678u);
  auto& edge = Prepared<TNearestResampler>(b, pamTransparentEdge);
  EXPECT_EQ(edge.GetSampleInt(-7, 1), 0x00000010u);
  EXPECT_EQ(edge.GetSampleInt(5, 5), 0x00000023u);
  EXPECT_EQ(edge.GetSampleInt(2, 1), 0xFF000012u);
  b.SetWrapMode(wmRepeat);
  EXPECT_EQ(Prepared<TNearestResampler>(b, pamWrap).GetSampleInt(5, 4), 0xFF000011u);
}

TEST(Resamplers, EmptyBitmapsGiveTheOutsideValueInEveryMode) {
  TCustomBitmap32 b;
  b.SetOuterColor(0x55667788);
  for (TPixelAccessMode mode : {pamUnsafe, pamSafe, pamWrap, pamTransparentEdge}) {
    const TColor32 outside = mode <= pamSafe ? 0x55667788u : 0u;
    EXPECT_EQ(Prepared<TNearestResampler>(b, mode).GetSampleInt(0, 0), outside) << int(mode);
    EXPECT_EQ(Prepared<TLinearResampler>(b, mode).GetSampleFixed(0x8000, 0), outside);
    auto& kernel = Prepared<TKernelResampler>(b, mode);
    EXPECT_EQ(kernel.GetSampleFloat(0, 0), outside) << int(mode);
    kernel.FinalizeSampling();
  }
}

TEST(Resamplers, BoundsFollowTheAccessMode) {
  TCustomBitmap32 b;
  b.SetSize(10, 10);
  auto& r = TCustomResampler::Create<TLinearResampler>(b);
  EXPECT_TRUE(r.HasBounds());
  EXPECT_EQ(r.GetSampleBounds(), (TFloatRect{0, 0, 10, 10}));
  r.SetPixelAccessMode(pamTransparentEdge);
  EXPECT_EQ(r.GetSampleBounds(), (TFloatRect{-1, -1, 11, 11}));
  r.SetPixelAccessMode(pamWrap);
  EXPECT_FALSE(r.HasBounds());
  EXPECT_EQ(r.GetSampleBounds(), (TFloatRect{0, 0, 10, 10}));
}

TEST(LinearResampler, TransparentEdgeFadesOverOnePixel) {
  TCustomBitmap32 b;
  Fill(b, 4, 4, [](int32_t, int32_t) { return 0xFF204060u; });
  auto& r = Prepared<TLinearResampler>(b, pamTransparentEdge);
  EXPECT_EQ(r.GetSampleFixed(0x18000, 0x18000), 0xFF204060u);
  const TColor32 beyond = r.GetSampleFixed(3 * 65536 + 0x8000, 0x18000);
  EXPECT_EQ(beyond & 0xFFFFFF, 0x204060u);
  EXPECT_GT(beyond >> 24, 0u);
  EXPECT_LT(beyond >> 24, 255u);
  EXPECT_EQ(r.GetSampleFixed(-2 * 65536, 0x18000), 0u);
  EXPECT_EQ(r.GetSampleFixed(0x18000, 5 * 65536), 0u);
}

// Which stretching routine runs is visible in the arithmetic: the bilinear one interpolates
// between two neighbours, the kernel one with the linear kernel truncates its sums.
TEST(LinearResampler, PicksTheBilinearStretchOnlyWhenEnlargingBothWays) {
  TCustomBitmap32 src, fast, kernel;
  FillRandom(src, 2, 2, 11, true);
  fast.SetSize(4, 4);
  kernel.SetSize(4, 4);
  TCustomResampler::Create<TLinearResampler>(src).Resample(fast, {0, 0, 4, 4}, {0, 0, 4, 4}, src,
                                                           {0, 0, 2, 2}, dmOpaque, {});
  StretchHorzStretchVertLinear(kernel, {0, 0, 4, 4}, {0, 0, 4, 4}, src, {0, 0, 2, 2}, dmOpaque, {});
  EXPECT_EQ(Pixels(fast), Pixels(kernel));
  for (const auto& [w, h, dw, dh] : {std::array{1, 1, 4, 4}, std::array{4, 4, 2, 2}}) {
    FillRandom(src, w, h, 12, true);
    fast.SetSize(dw, dh);
    kernel.SetSize(dw, dh);
    TLinearKernel linear;
    src.Resampler()->Resample(fast, {0, 0, dw, dh}, {0, 0, dw, dh}, src, {0, 0, w, h}, dmOpaque,
                              {});
    Resample(kernel, {0, 0, dw, dh}, {0, 0, dw, dh}, src, {0, 0, w, h}, linear, dmOpaque, {});
    EXPECT_EQ(Pixels(fast), Pixels(kernel));
  }
}

TEST(LinearStretch, TwoToFourFollowsTheClosedForm) {
  TCustomBitmap32 src, dst;
  Fill(src, 2, 2, [](int32_t x, int32_t) { return x ? 0xFFC8C8C8u : 0xFF000000u; });
  dst.SetSize(4, 4);
  TierScope portable(tierPortable);
  StretchHorzStretchVertLinear(dst, {0, 0, 4, 4}, {0, 0, 4, 4}, src, {0, 0, 2, 2}, dmOpaque, {});
  // Positions 0, 0.25, 0.75, 1 (clamped): weights of the left pixel 255 (256 clamped), 192, 64,
  // and 0 for the last column, which steps back onto column 0.
  const uint32_t weights[] = {255, 192, 64, 0};
  for (int32_t x = 0; x < 4; ++x) {
    const uint32_t expected = MulDiv255(255 - weights[x], 200);
    EXPECT_EQ(dst.Pixel(x, 0) & 0xFF, expected) << x;
  }
}

TEST(DraftResampler, AveragesBlocksExactly) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 4, 4, 13);
  dst.SetSize(2, 2);
  TCustomResampler::Create<TDraftResampler>(src).Resample(dst, {0, 0, 2, 2}, {0, 0, 2, 2}, src,
                                                          {0, 0, 4, 4}, dmOpaque, {});
  for (int32_t by = 0; by < 2; ++by)
    for (int32_t bx = 0; bx < 2; ++bx)
      for (int s = 0; s < 32; s += 8) {
        uint32_t sum = 0;
        for (int32_t y = 0; y < 2; ++y)
          for (int32_t x = 0; x < 2; ++x) sum += (src.Pixel(bx * 2 + x, by * 2 + y) >> s) & 0xFF;
        EXPECT_EQ((dst.Pixel(bx, by) >> s) & 0xFF, sum / 4);
      }
  // Five columns into two: blocks 0-1 and 2-4; opaque white stays opaque white.
  Fill(src, 5, 1, [](int32_t x, int32_t) { return x < 2 ? 0xFFFFFFFFu : 0xFF0A0A0Au; });
  dst.SetSize(2, 1);
  src.Resampler()->Resample(dst, {0, 0, 2, 1}, {0, 0, 2, 1}, src, {0, 0, 5, 1}, dmOpaque, {});
  EXPECT_EQ(dst.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(dst.Pixel(1, 0), 0xFF0A0A0Au);
}

// The mean of every channel over source columns X0 .. X1 - 1 and rows Y0 .. Y1 - 1, rounded down.
TColor32 BoxMean(const TCustomBitmap32& Src, int32_t X0, int32_t Y0, int32_t X1, int32_t Y1) {
  TColor32 result = 0;
  for (int s = 0; s < 32; s += 8) {
    uint64_t sum = 0;
    for (int32_t y = Y0; y < Y1; ++y)
      for (int32_t x = X0; x < X1; ++x) sum += (Src.Pixel(x, y) >> s) & 0xFF;
    result |= TColor32(sum / (uint64_t(X1 - X0) * (Y1 - Y0))) << s;
  }
  return result;
}

// Reductions by whole and fractional factors against box means of the blocks a full drawing
// uses; every clip rectangle, wherever it starts, gives the full drawing's pixels inside it.
TEST(DraftResampler, ClippedDrawingsMatchTheFullOne) {
  TCustomBitmap32 src, full, part;
  FillRandom(src, 40, 30, 21);
  // Block edges of 25 columns into 10: Trunc(2.5) = 2, then (k * Trunc(2.5 * 65536)) shr 16.
  const std::vector<int32_t> edgesX{0, 2, 5, 7, 10, 12, 15, 17, 20, 22, 25};
  const TRect source{5, 3, 30, 28}, target{2, 1, 12, 11};
  full.SetSize(14, 12);
  full.Clear();
  DraftResample(full, target, full.BoundsRect(), src, source, TLinearKernel(), dmOpaque, {});
  for (int32_t j = 0; j < 10; ++j)
    for (int32_t i = 0; i < 10; ++i)
      ASSERT_EQ(full.Pixel(target.Left + i, target.Top + j),
                BoxMean(src, source.Left + edgesX[i], source.Top + edgesX[j],
                        source.Left + edgesX[i + 1], source.Top + edgesX[j + 1]))
          << i << "," << j;
  std::mt19937 random(5);
  for (const TRect& dst : {target, TRect{-3, -2, 7, 8}, TRect{0, 0, 14, 3}}) {
    DraftResample(full, dst, full.BoundsRect(), src, source, TLinearKernel(), dmOpaque, {});
    for (int round = 0; round < 60; ++round) {
      const int32_t l = int32_t(random() % 14), t = int32_t(random() % 12);
      const TRect clip{l, t, l + 1 + int32_t(random() % 6), t + 1 + int32_t(random() % 6)};
      part.SetSize(14, 12);
      part.Clear();
      DraftResample(part, dst, clip, src, source, TLinearKernel(), dmOpaque, {});
      TRect inside;
      IntersectRectangles(inside, clip, dst);
      IntersectRectangles(inside, inside, part.BoundsRect());
      for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 14; ++x) {
          const bool drawn =
              x >= inside.Left && x < inside.Right && y >= inside.Top && y < inside.Bottom;
          ASSERT_EQ(part.Pixel(x, y), drawn ? full.Pixel(x, y) : clBlack32)
              << round << " at " << x << "," << y;
        }
    }
  }
}

TEST(DraftResampler, LargeReductionsKeepOpaqueWhite) {
  TCustomBitmap32 src, dst;
  Fill(src, 700, 300, [](int32_t, int32_t) { return 0xFFFFFFFFu; });
  dst.SetSize(3, 7);
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    dst.Clear();
    DraftResample(dst, {0, 0, 3, 7}, {0, 0, 3, 7}, src, {0, 0, 700, 300}, TLinearKernel(), dmOpaque,
                  {});
    EXPECT_EQ(Pixels(dst), std::vector<TColor32>(21, 0xFFFFFFFFu)) << int(tier);
  }
}

TEST(KernelResampler, BoxSampleOnAPixelReturnsIt) {
  TCustomBitmap32 b;
  FillRandom(b, 5, 5, 14, true);
  b.SetPixel(2, 3, 0x80402010);
  auto& r = Prepared<TKernelResampler>(b, pamSafe);
  EXPECT_EQ(r.GetSampleFloat(1, 2), b.Pixel(1, 2));
  const TColor32 partial = r.GetSampleFloat(2, 3);
  EXPECT_EQ(partial >> 24, 0x80u);
  for (int s = 0; s < 24; s += 8) {
    EXPECT_LE((partial >> s) & 0xFF, (0x80402010u >> s) & 0xFF);
    EXPECT_GE((partial >> s) & 0xFF, ((0x80402010u >> s) & 0xFF) - 2);
  }
  r.FinalizeSampling();
}

// The centre tap (Ceil of the position) takes up what makes the weights sum to 256: all of it when
// a narrow kernel leaves no weight on any tap.
TEST(KernelResampler, VanishingWeightsGoToTheCentreTap) {
  TCustomBitmap32 b;
  Fill(b, 3, 1, [](int32_t x, int32_t) { return 0xFF000000u | (0x111111u * uint32_t(x)); });
  auto& r = TCustomResampler::Create<TKernelResampler>(b);
  r.SetKernelClassName("TLanczosKernel");
  static_cast<TWindowedSincKernel*>(r.Kernel())->SetWidth(0.3f);
  for (TKernelMode mode : {kmDynamic, kmTableNearest}) {
    r.SetKernelMode(mode);
    r.PrepareSampling();
    EXPECT_EQ(r.GetSampleFloat(1.4f, 0), 0xFF222222u) << int(mode);
    r.FinalizeSampling();
  }
}

TEST(KernelResampler, EdgesByAccessMode) {
  TCustomBitmap32 b;
  Fill(b, 4, 4, [](int32_t, int32_t) { return 0xFF804020u; });
  b.SetOuterColor(0xFF0000FF);
  auto& r = TCustomResampler::Create<TKernelResampler>(b);
  r.SetKernelClassName("TLinearKernel");
  r.SetPixelAccessMode(pamTransparentEdge);
  r.PrepareSampling();
  const TColor32 half = r.GetSampleFloat(3.5f, 1);
  EXPECT_EQ(half & 0xFFFFFF, 0x804020u);
  EXPECT_NEAR(double(half >> 24), 128, 1);
  EXPECT_EQ(r.GetSampleFloat(4.5f, 1), 0u);
  r.FinalizeSampling();
  r.SetPixelAccessMode(pamSafe);
  r.PrepareSampling();
  const TColor32 mixed = r.GetSampleFloat(3.5f, 1);
  EXPECT_EQ(mixed >> 24, 0xFFu);
  EXPECT_NEAR(double((mixed >> 16) & 0xFF), 64, 1);
  EXPECT_NEAR(double(mixed & 0xFF), (0x20 + 0xFF) / 2.0, 1);
  EXPECT_EQ(r.GetSampleFloat(4.5f, 1), 0xFF0000FFu);
  EXPECT_EQ(r.GetSampleFloat(std::numeric_limits<float>::quiet_NaN(), 1), 0xFF0000FFu);
  r.FinalizeSampling();
}

TEST(KernelResampler, TableModesFollowTheDynamicWeights) {
  TCustomBitmap32 b;
  FillRandom(b, 12, 12, 15, true);
  auto& r = TCustomResampler::Create<TKernelResampler>(b);
  r.SetKernelClassName("TMitchellKernel");
  std::vector<TColor32> dynamic;
  std::mt19937 random(3);
  std::vector<std::pair<float, float>> points;
  for (int i = 0; i < 200; ++i)
    points.emplace_back(float(random() % 11000) / 1000, float(random() % 11000) / 1000);
  for (TKernelMode mode : {kmDynamic, kmTableNearest, kmTableLinear}) {
    r.SetKernelMode(mode);
    r.SetTableSize(mode == kmTableNearest ? 4096 : 64);
    r.PrepareSampling();
    for (size_t i = 0; i < points.size(); ++i) {
      const TColor32 c = r.GetSampleFloat(points[i].first, points[i].second);
      if (mode == kmDynamic) {
        dynamic.push_back(c);
        continue;
      }
      for (int s = 0; s < 32; s += 8)
        EXPECT_NEAR(double((c >> s) & 0xFF), double((dynamic[i] >> s) & 0xFF), 2) << int(mode);
    }
    r.FinalizeSampling();
  }
}

TEST(KernelResampler, SettingsAreKeptInRange) {
  TCustomBitmap32 b;
  auto& r = TCustomResampler::Create<TKernelResampler>(b);
  EXPECT_EQ(r.KernelClassName(), "TBoxKernel");
  r.SetTableSize(1);
  EXPECT_EQ(r.TableSize(), 2);
  r.SetTableSize(1 << 30);
  EXPECT_EQ(r.TableSize(), TKernelResampler::MaxTableSize);
  r.SetKernelClassName("TNoSuchKernel");
  EXPECT_EQ(r.KernelClassName(), "TBoxKernel");
  r.SetKernel(nullptr);
  EXPECT_EQ(r.KernelClassName(), "TBoxKernel");
  // A wide kernel is sampled with at most 16 taps on each side.
  auto sinsh = std::make_unique<TSinshKernel>();
  sinsh->SetWidth(40);
  r.SetKernel(std::move(sinsh));
  FillRandom(b, 50, 50, 16, true);
  r.SetKernelMode(kmTableLinear);
  r.PrepareSampling();
  EXPECT_NE(r.GetSampleFloat(25.3f, 24.8f), 0u);
  r.FinalizeSampling();
}

// Table settings or the kernel changed between preparing and finishing a series of samples take
// effect at the next preparation: the samples read the table that was built, which stays whole.
// A finished series samples without a table.
TEST(KernelResampler, SettingsChangedWhileSamplingWaitForTheNextPreparation) {
  TCustomBitmap32 b;
  b.SetSize(8, 8);
  b.ClearWithColor(0xFF808080);
  auto& r = TCustomResampler::Create<TKernelResampler>(b);
  r.PrepareSampling();
  r.SetKernelMode(kmTableLinear);
  EXPECT_EQ(r.GetSampleFloat(3.7f, 3.2f), 0xFF808080u);
  r.FinalizeSampling();

  r.SetKernelClassName("TLinearKernel");
  r.SetKernelMode(kmTableNearest);
  r.SetTableSize(4);
  r.PrepareSampling();
  r.SetTableSize(4000);
  r.SetKernelClassName("TLanczosKernel");
  EXPECT_EQ(r.GetSampleFloat(3.7f, 3.2f), 0xFF808080u);
  r.SetKernelMode(kmTableLinear);
  EXPECT_EQ(r.GetSampleFloat(3.7f, 3.2f), 0xFF808080u);
  r.FinalizeSampling();
  EXPECT_EQ(r.GetSampleFloat(3.7f, 3.2f), 0xFF808080u);  // the table is gone
  EXPECT_EQ(r.TableSize(), 4000);
  EXPECT_EQ(r.KernelMode(), kmTableLinear);
}

TEST(Registries, ClassesByNameInOrder) {
  const char* resamplers[] = {"TNearestResampler", "TLinearResampler", "TDraftResampler",
                              "TKernelResampler"};
  ASSERT_EQ(ResamplerList().Count(), 4);
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(ResamplerList().Items(i).ClassName, resamplers[i]);
  ASSERT_EQ(KernelList().Count(), 14);
  EXPECT_EQ(KernelList().Items(0).ClassName, "TBoxKernel");
  EXPECT_EQ(KernelList().Items(13).ClassName, "THermiteKernel");
  for (int32_t i = 0; i < 14; ++i)
    EXPECT_EQ(KernelList().Items(i).Create()->ClassName(), KernelList().Items(i).ClassName);
  EXPECT_EQ(ResamplerList().Find("TSuperResampler"), nullptr);
}

TEST(Registries, BitmapsPickAndCopyResamplersByName) {
  TCustomBitmap32 a, b;
  EXPECT_EQ(a.ResamplerClassName(), "TNearestResampler");
  a.SetResamplerClassName("TKernelResampler");
  a.SetResamplerClassName("TUnknown");
  auto* kernel = dynamic_cast<TKernelResampler*>(a.Resampler());
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(kernel->Bitmap(), &a);
  kernel->SetKernelClassName("TCubicKernel");
  static_cast<TCubicKernel*>(kernel->Kernel())->SetCoeff(-0.75f);
  kernel->SetKernelMode(kmTableLinear);
  kernel->SetPixelAccessMode(pamWrap);
  a.CopyPropertiesTo(b);
  auto* copy = dynamic_cast<TKernelResampler*>(b.Resampler());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Bitmap(), &b);
  EXPECT_EQ(copy->KernelClassName(), "TCubicKernel");
  EXPECT_EQ(static_cast<TCubicKernel*>(copy->Kernel())->Coeff(), -0.75f);
  EXPECT_EQ(copy->KernelMode(), kmTableLinear);
  EXPECT_EQ(copy->PixelAccessMode(), pamWrap);
}

}  // namespace

namespace {

// The linear resampler reads clipped positions itself; between the outer pixel centres of the
// clip rectangle the bitmap's own read is the oracle (the edges are checked through Transform).
TEST(LinearResampler, SafeReadsBetweenTheOuterCentresEqualTheBitmapsClippedRead) {
  TCustomBitmap32 b;
  FillRandom(b, 9, 7, 17);
  b.SetClipRect({1, 2, 8, 6});
  b.SetOuterColor(0x0BADF00D);
  auto& r = Prepared<TLinearResampler>(b, pamSafe);
  std::mt19937 random(18);
  for (int i = 0; i < 20000; ++i) {
    const TFixed x = TFixed(random() % (6 << 16)) + (1 << 16) - 127;
    const TFixed y = TFixed(random() % (3 << 16)) + (2 << 16) - 127;
    ASSERT_EQ(r.GetSampleFixed(x, y), b.PixelFixedClipped(x, y)) << x << "," << y;
  }
  // The edge pixels reach half a pixel (128 / 256) past the outer centres; beyond that lies the
  // outer colour.
  auto at = [&r](int32_t x256, int32_t y256) { return r.GetSampleFixed(x256 << 8, y256 << 8); };
  EXPECT_EQ(at(256 - 128, 3 * 256), b.Pixel(1, 3));
  EXPECT_EQ(at(7 * 256 + 127, 3 * 256), b.Pixel(7, 3));
  EXPECT_EQ(at(3 * 256, 5 * 256 + 127), b.Pixel(3, 5));
  for (const auto& [x, y] : {std::pair{256 - 129, 3 * 256},
                             {7 * 256 + 128, 3 * 256},
                             {3 * 256, 512 - 129},
                             {3 * 256, 5 * 256 + 128}})
    EXPECT_EQ(at(x, y), 0x0BADF00Du) << x << "," << y;
}

}  // namespace

namespace {

// Wrapped sampling of a picture equals plain sampling in the middle of a 3 x 3 tiling of it.
TEST(KernelResampler, WrappedSamplesEqualSamplesOfTheTiledPicture) {
  TCustomBitmap32 b, tiled;
  FillRandom(b, 9, 7, 19, true);
  Fill(tiled, 27, 21, [&](int32_t x, int32_t y) { return b.Pixel(x % 9, y % 7); });
  b.SetWrapMode(wmRepeat);
  auto& wrapped = TCustomResampler::Create<TKernelResampler>(b);
  auto& plain = TCustomResampler::Create<TKernelResampler>(tiled);
  for (TKernelResampler* r : {&wrapped, &plain}) r->SetKernelClassName("TMitchellKernel");
  wrapped.SetPixelAccessMode(pamWrap);
  wrapped.PrepareSampling();
  plain.PrepareSampling();
  std::mt19937 random(20);
  for (int i = 0; i < 500; ++i) {
    const float x = float(random() % 9000) / 1000 - 0.5f, y = float(random() % 7000) / 1000 - 0.5f;
    ASSERT_EQ(wrapped.GetSampleFloat(x, y), plain.GetSampleFloat(x + 9, y + 7)) << x << "," << y;
  }
  wrapped.FinalizeSampling();
  plain.FinalizeSampling();
}

}  // namespace
