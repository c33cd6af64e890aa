// Every processor tier of the block average and the four-pixel interpolation against the
// portable implementation and against exact arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "Helpers.h"
#include "graphics/resampling/Rasterizers.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/ResamplersTiers.h"

namespace {

using namespace gfx;
using namespace resampling_test;

TEST(BlockAverageTiers, EveryTierGivesTheExactMeanRoundedDown) {
  std::mt19937 random(21);
  std::vector<TColor32> pixels(300 * 40);
  for (TColor32& p : pixels) p = random();
  const uint32_t sizes[][2] = {{1, 1},  {3, 1},   {1, 3},    {3, 3}, {5, 7},
                               {17, 2}, {259, 3}, {300, 40}, {7, 40}};
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (const auto& s : sizes) {
      const TColor32 got = BlockAverage(s[0], s[1], pixels.data(), 300 * 4);
      for (int shift = 0; shift < 32; shift += 8) {
        uint64_t sum = 0;
        for (uint32_t y = 0; y < s[1]; ++y)
          for (uint32_t x = 0; x < s[0]; ++x) sum += (pixels[y * 300 + x] >> shift) & 0xFF;
        EXPECT_EQ((got >> shift) & 0xFF, sum / (uint64_t(s[0]) * s[1]))
            << int(tier) << " " << s[0] << "x" << s[1];
      }
    }
  }
}

TEST(BlockAverageTiers, OpaqueWhiteStaysOpaqueWhiteForEveryArea) {
  std::vector<TColor32> white(64 * 64, 0xFFFFFFFF);
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (uint32_t w = 1; w <= 64; w += 3)
      for (uint32_t h = 1; h <= 64; h += 5)
        ASSERT_EQ(BlockAverage(w, h, white.data(), 64 * 4), 0xFFFFFFFFu) << w << "x" << h;
  }
}

// The interpolation each tier binds: the tiers without one of their own keep the portable form.
TInterpolator OwnInterpolator(TImplementationTier Tier) {
  if (Tier == tierSSE2) return resamplers_sse2::Interpolator;
  if (Tier == tierMMX && (CPUFeatures() & SetOf(isSSE))) return resamplers_mmx::Interpolator;
  return resamplers_portable::Interpolator;
}

// The interpolation's mix written out: all four channels weighted through the rounding multiply,
// Y whole at weight 0 and X whole from 255.
TColor32 MixOracle(TColor32 X, TColor32 Y, uint32_t W) {
  if (W == 0) return Y;
  if (W >= 255) return X;
  TColor32 r = 0;
  for (int s = 0; s <= 24; s += 8)
    r |= (MulDiv255(W, (X >> s) & 0xFF) + MulDiv255(255 - W, (Y >> s) & 0xFF)) << s;
  return r;
}

struct InterpolationCase {
  TColor32 top[2], bottom[2];
  uint32_t wx, wy;
};

TEST(InterpolatorTiers, EveryTierBindsItsOwnFormAndGivesThePortableResultExactly) {
  std::mt19937 random(22);
  std::vector<InterpolationCase> cases;
  const uint32_t edges[] = {0, 1, 127, 128, 254, 255, 256};
  for (int i = 0; i < 60000; ++i) {
    InterpolationCase c{{TColor32(random()), TColor32(random())},
                        {TColor32(random()), TColor32(random())},
                        uint32_t(random() % 257),
                        uint32_t(random() % 257)};
    if (i % 3 == 0) c.wx = edges[random() % 7];
    if (i % 5 == 0) c.wy = edges[random() % 7];
    cases.push_back(c);
  }
  std::vector<TColor32> portable;
  {
    TierScope scope(tierPortable);
    for (const auto& c : cases) {
      portable.push_back(Interpolator(c.wx, c.wy, c.top, c.bottom));
      const uint32_t wx = std::min(c.wx, 255u), wy = std::min(c.wy, 255u);
      ASSERT_EQ(portable.back(), MixOracle(MixOracle(c.top[0], c.top[1], wx),
                                           MixOracle(c.bottom[0], c.bottom[1], wx), wy))
          << c.wx << " " << c.wy;
    }
  }
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    ASSERT_EQ(Interpolator, OwnInterpolator(tier)) << int(tier);
    for (size_t i = 0; i < cases.size(); ++i) {
      const auto& c = cases[i];
      ASSERT_EQ(Interpolator(c.wx, c.wy, c.top, c.bottom), portable[i])
          << int(tier) << " " << c.wx << " " << c.wy;
    }
  }
}

// A transparent column beside an opaque one, enlarged, fades in over the enlarged pixels on every
// tier: alpha is interpolated as the colours are.
TEST(InterpolatorTiers, AlphaRampsBetweenTransparentAndOpaque) {
  TCustomBitmap32 src, dst;
  Fill(src, 2, 2, [](int32_t x, int32_t) { return x == 0 ? 0x00FFFFFFu : 0xFFFFFFFFu; });
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    dst.SetSize(8, 8);
    StretchHorzStretchVertLinear(dst, dst.BoundsRect(), dst.BoundsRect(), src, src.BoundsRect(),
                                 dmOpaque, {});
    for (int32_t y = 0; y < 8; ++y) {
      std::vector<uint32_t> alphas;
      for (int32_t x = 0; x < 8; ++x) alphas.push_back(dst.Pixel(x, y) >> 24);
      EXPECT_EQ(alphas, (std::vector<uint32_t>{0, 0, 31, 95, 159, 223, 255, 255}))
          << int(tier) << " row " << y;
    }
  }
}

// Whole pictures through the bilinear paths that interpolate - rotated and scaled drawing, the
// bitmap's sub-pixel read and enlarging - come out of every tier as out of the portable one, and
// an identity transformation copies exactly.
TEST(InterpolatorTiers, LinearSamplingOfRandomPicturesIsTheSameInEveryTier) {
  TCustomBitmap32 src;
  FillRandom(src, 64, 48, 23);
  src.SetResamplerClassName("TLinearResampler");
  auto render = [&] {
    std::vector<std::vector<TColor32>> out;
    TCustomBitmap32 dst;
    for (int kind = 0; kind < 3; ++kind) {
      TAffineTransformation t;
      t.SetSrcRect(FloatRect(src.BoundsRect()));
      if (kind == 1) {
        t.Rotate(32, 24, 30);
        t.Scale(1.3f, 0.8f);
      } else if (kind == 2) {
        t.Translate(0.37f, -0.61f);
      }
      dst.SetSize(80, 60);
      dst.Clear();
      Transform(dst, src, t);
      out.push_back(Pixels(dst));
    }
    dst.SetSize(150, 110);
    StretchTransfer(dst, dst.BoundsRect(), dst.BoundsRect(), src, src.BoundsRect(), src.Resampler(),
                    dmOpaque, {});
    out.push_back(Pixels(dst));
    std::vector<TColor32> reads;
    for (int32_t y = 0; y < (47 << 8); y += 37)
      for (int32_t x = 0; x < (63 << 8); x += 41) reads.push_back(src.PixelSubpixel(x, y));
    out.push_back(reads);
    return out;
  };
  std::vector<std::vector<TColor32>> expected;
  {
    TierScope scope(tierPortable);
    expected = render();
  }
  TCustomBitmap32 identity;
  identity.SetSize(64, 48);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) identity.SetPixel(x, y, expected[0][size_t(y * 80 + x)]);
  EXPECT_EQ(Pixels(identity), Pixels(src));
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    ASSERT_EQ(Interpolator, OwnInterpolator(tier)) << int(tier);
    const auto got = render();
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(got[i].size(), expected[i].size());
      const auto at = size_t(
          std::mismatch(got[i].begin(), got[i].end(), expected[i].begin()).first - got[i].begin());
      EXPECT_EQ(at, got[i].size())
          << "tier " << int(tier) << ", picture " << i << ": first difference at pixel " << at;
    }
  }
}

// Blending an opaque pixel at full master alpha puts exactly that pixel, whatever the tier and
// whatever lay there: stretched and transformed drawing in blend mode equals drawing opaque
// wherever the opaque drawing is opaque.
TEST(BlendedStretchTiers, OpaquePixelsCoverExactlyOnEveryTier) {
  std::mt19937 random(31);
  for (const TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (const char* resampler :
         {"TNearestResampler", "TLinearResampler", "TDraftResampler", "TKernelResampler"}) {
      for (TCombineMode combine : {cmBlend, cmMerge}) {
        TCustomBitmap32 src, background, opaque, blended;
        FillRandom(src, 5, 4, random(), true);
        src.SetResamplerClassName(resampler);
        src.SetCombineMode(combine);
        FillRandom(background, 23, 17, random());
        const auto draw = [&](TCustomBitmap32& dst, TDrawMode mode, bool transform) {
          dst.Assign(background);
          src.SetDrawMode(mode);
          if (transform) {
            TAffineTransformation t;
            t.SetSrcRect(FloatRect(src.BoundsRect()));
            t.Rotate(2, 2, 17);
            t.Scale(3.1f, 2.7f);
            Transform(dst, src, t);
          } else {
            src.DrawTo(dst, TRect{1, 2, 21, 15});  // enlarges
            src.DrawTo(dst, TRect{0, 0, 3, 2});    // reduces
          }
        };
        for (bool transform : {false, true}) {
          draw(opaque, dmOpaque, transform);
          draw(blended, dmBlend, transform);
          for (int32_t i = 0; i < 23 * 17; ++i) {
            const TColor32 o = opaque.Bits()[i];
            if (o >> 24 == 255)
              ASSERT_EQ(blended.Bits()[i], o) << int(tier) << " " << resampler << " "
                                              << int(combine) << " " << transform << " at " << i;
          }
        }
      }
    }
  }
}

// A single linear sample, or a run of them, leaves no MMX state behind on any tier:
// floating-point work in the x87 unit right after it gives the right numbers.
TEST(InterpolatorTiers, LinearSamplesEndTheMmxState) {
  TCustomBitmap32 src, target;
  FillRandom(src, 8, 8, 24);
  src.SetResamplerClassName("TLinearResampler");
  TCustomResampler& resampler = *src.Resampler();
  const auto x87Product = [] {
    volatile long double x = 1.5L;
    return x * 3;
  };
  for (TImplementationTier tier : Tiers())
    for (TPixelAccessMode mode : {pamUnsafe, pamSafe, pamWrap, pamTransparentEdge}) {
      TierScope scope(tier);
      resampler.SetPixelAccessMode(mode);
      resampler.PrepareSampling();
      (void)resampler.GetSampleFixed(3 * 65536 + 20000, 2 * 65536 + 9000);
      ASSERT_EQ(x87Product(), 4.5L) << int(tier) << " " << int(mode);
      TColor32 run[4];
      resampler.GetSampleRunFixed(65536 + 300, 65536 + 7000, 40000, 3000, 4, run, target);
      ASSERT_EQ(x87Product(), 4.5L) << int(tier) << " " << int(mode) << " run";
      resampler.FinalizeSampling();
    }
}

TEST(InterpolatorTiers, PortableFormWeightsByTheEngineTables) {
  TierScope portable(tierPortable);
  const TColor32 top[2] = {0xFF000000, 0xFFFFFFFF};
  const TColor32 bottom[2] = {0xFF000000, 0xFFFFFFFF};
  for (uint32_t w = 0; w <= 256; ++w) {
    const uint32_t clamped = w > 255 ? 255 : w;
    const TColor32 c = Interpolator(w, 255, top, bottom);
    EXPECT_EQ(c & 0xFF, MulDiv255(255 - clamped, 255)) << w;
  }
}

}  // namespace
