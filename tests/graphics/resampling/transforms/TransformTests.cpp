// Drawing through transformations: rasterizer bands and notifications, the transformer's pixel
// centres, and Transform against brute-force inverse mappings.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graphics/resampling/Rasterizers.h"
#include "graphics/resampling/Resamplers.h"
#include "tests/graphics/resampling/Helpers.h"
#include "tests/graphics/resampling/transforms/TurnAndScale.h"

namespace {

using namespace gfx;
using namespace resampling_test;

struct Areas {
  std::vector<TRect> list;
  explicit Areas(TCustomBitmap32& B) {
    B.OnAreaChanged = [this](plat::TObject*, const TRect& r, uint32_t) { list.push_back(r); };
  }
};

// Returns X + 1000 Y as the colour; counts its bracket calls.
class CoordinateSampler : public TCustomSampler {
 public:
  int prepared = 0, finalized = 0;
  int32_t failAtRow = -1;
  TCustomBitmap32* opensUpdates = nullptr;
  TColor32 GetSampleInt(int32_t X, int32_t Y) override {
    if (Y == failAtRow) {
      if (opensUpdates) opensUpdates->BeginUpdate();
      throw plat::Exception("sampler failed");
    }
    return TColor32(X + 1000 * Y);
  }
  void PrepareSampling() override { ++prepared; }
  void FinalizeSampling() override { ++finalized; }
};

TEST(Rasterizer, BandsLagOneRowBehind) {
  TCustomBitmap32 dst;
  dst.SetSize(10, 20);
  Areas areas(dst);
  CoordinateSampler sampler;
  TRegularRasterizer r;
  r.SetSampler(&sampler);
  r.UpdateRowCount = 3;
  r.Rasterize(dst, {2, 5, 8, 12});
  EXPECT_EQ(areas.list, (std::vector<TRect>{{2, 4, 8, 7}, {2, 7, 8, 10}, {2, 10, 8, 12}}));
  EXPECT_EQ(dst.Pixel(7, 11), 7u + 11000u);
  EXPECT_EQ(dst.Pixel(8, 11), clBlack32);
  EXPECT_EQ(sampler.prepared, 1);
  EXPECT_EQ(sampler.finalized, 1);
}

TEST(Rasterizer, WithoutASamplerNothingHappens) {
  TCustomBitmap32 dst;
  dst.SetSize(4, 4);
  Areas areas(dst);
  TRegularRasterizer r;
  r.Rasterize(dst, {0, 0, 4, 4});
  EXPECT_TRUE(areas.list.empty());
}

TEST(Rasterizer, AFailingSamplerLeavesTheBitmapsUpdateCountAndFinishesSampling) {
  TCustomBitmap32 dst;
  dst.SetSize(4, 4);
  CoordinateSampler sampler;
  sampler.failAtRow = 2;
  sampler.opensUpdates = &dst;
  TRegularRasterizer r;
  r.SetSampler(&sampler);
  const int32_t before = dst.UpdateCount();
  EXPECT_THROW(r.Rasterize(dst, {0, 0, 4, 4}), plat::Exception);
  EXPECT_EQ(dst.UpdateCount(), before);
  EXPECT_EQ(sampler.finalized, 1);
}

TEST(Rasterizer, CombineInfoFromBitmaps) {
  TCustomBitmap32 b;
  b.SetDrawMode(dmCustom);
  EXPECT_EQ(CombineInfo(b).DrawMode, dmOpaque);
  b.OnPixelCombine = [](TColor32, TColor32&, TColor32) {};
  b.SetMasterAlpha(90);
  b.SetOuterColor(0x01020304);
  const TCombineInfo info = CombineInfo(b);
  EXPECT_EQ(info.DrawMode, dmCustom);
  EXPECT_EQ(info.SrcAlpha, 90u);
  EXPECT_EQ(info.TransparentColor, 0x01020304u);
}

TEST(Transformer, NestedSamplerMustBeSet) {
  TAffineTransformation t;
  TTransformer transformer(nullptr, &t);
  EXPECT_THROW(transformer.PrepareSampling(), ENestedException);
  EXPECT_THROW(transformer.GetSampleInt(0, 0), ENestedException);
  TCustomBitmap32 src, dst;
  src.SetSize(4, 4);
  dst.SetSize(4, 4);
  TTransformer noMapping(src.Resampler(), nullptr);
  EXPECT_THROW(noMapping.PrepareSampling(), ENestedException);
  TRegularRasterizer r;
  r.SetSampler(&transformer);
  EXPECT_THROW(r.Rasterize(dst, {0, 0, 4, 4}), ENestedException);
}

// Setting no sampler or no transformation leaves samples to the last ones assigned; preparing,
// finishing and the bounds need them set.
TEST(Transformer, SamplesKeepToTheLastSamplerAndTransformationAssigned) {
  TCustomBitmap32 src;
  FillRandom(src, 6, 5, 42);
  TAffineTransformation t;
  t.Translate(1, 2);
  TTransformer transformer(src.Resampler(), &t);
  transformer.PrepareSampling();
  const TColor32 before = transformer.GetSampleInt(3, 3);
  ASSERT_EQ(before, src.Pixel(2, 1));
  transformer.SetSampler(nullptr);
  transformer.SetTransformation(nullptr);
  EXPECT_EQ(transformer.GetSampleInt(3, 3), before);
  EXPECT_EQ(transformer.GetSampleFixed(3 << 16, 3 << 16), before);
  EXPECT_EQ(transformer.GetSampleFloat(3, 3), before);
  EXPECT_THROW(transformer.FinalizeSampling(), ENestedException);
  EXPECT_THROW(transformer.PrepareSampling(), ENestedException);
  EXPECT_THROW(transformer.HasBounds(), ENestedException);
  EXPECT_THROW(transformer.GetSampleBounds(), ENestedException);
  transformer.SetSampler(src.Resampler());
  EXPECT_THROW(transformer.PrepareSampling(), ENestedException);  // still no transformation
}

// A copied transformer samples as its source does: its own sampler and transformation take the
// source's settings, and nothing it refers to changes hands.
TEST(Transformer, CopiesGiveItsSamplerAndTransformationTheSourceSettings) {
  TCustomBitmap32 a, b;
  FillRandom(a, 12, 10, 41);
  FillRandom(b, 12, 10, 41);
  auto& samplerA = TCustomResampler::Create<TLinearResampler>(a);
  auto& samplerB = TCustomResampler::Create<TLinearResampler>(b);
  samplerA.SetPixelAccessMode(pamWrap);
  a.SetWrapMode(wmMirror);
  b.SetWrapMode(wmMirror);
  TAffineTransformation mapA, mapB;
  mapA.SetSrcRect({1, 2, 11, 9});
  mapA.Rotate(6, 5, 30);
  mapA.Scale(1.5f, 0.75f);
  TTransformer source(&samplerA, &mapA), copy(&samplerB, &mapB);

  copy.Assign(source);
  EXPECT_EQ(copy.Sampler(), &samplerB);
  EXPECT_EQ(copy.Transformation(), &mapB);
  EXPECT_EQ(samplerB.PixelAccessMode(), pamWrap);
  EXPECT_EQ(mapB.Matrix, mapA.Matrix);
  EXPECT_EQ(mapB.SrcRect(), mapA.SrcRect());
  EXPECT_FALSE(mapB.TransformValid());
  source.PrepareSampling();
  copy.PrepareSampling();
  for (int32_t y = -3; y < 14; ++y)
    for (int32_t x = -3; x < 16; ++x)
      ASSERT_EQ(copy.GetSampleInt(x, y), source.GetSampleInt(x, y)) << x << "," << y;
  source.FinalizeSampling();
  copy.FinalizeSampling();

  // Without a sampler or a transformation of its own the target keeps none.
  TTransformer empty(nullptr, nullptr);
  empty.Assign(source);
  EXPECT_EQ(empty.Sampler(), nullptr);
  EXPECT_EQ(empty.Transformation(), nullptr);
  // A transformer is no resampler.
  EXPECT_THROW(samplerB.Assign(source), plat::Exception);
}

TEST(Transform, IdentityWithNearestCopiesExactly) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 13, 9, 31);
  dst.SetSize(13, 9);
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  Transform(dst, src, t);
  EXPECT_EQ(Pixels(dst), Pixels(src));
}

TEST(Transform, IdentityWithLinearIsExactInThePortableTier) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 13, 9, 32);
  src.SetResamplerClassName("TLinearResampler");
  dst.SetSize(13, 9);
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  TierScope portable(tierPortable);
  Transform(dst, src, t);
  EXPECT_EQ(Pixels(dst), Pixels(src));
}

TEST(Transform, HalfTurnIsAPointReflection) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 15, 8, 33);
  dst.SetSize(15, 8);
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  t.Rotate(7.5f, 4, 180);
  Transform(dst, src, t);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 15; ++x) ASSERT_EQ(dst.Pixel(x, y), src.Pixel(14 - x, 7 - y));
}

TEST(Transform, QuarterTurnAboutTheCentreIsTheBitmapsOwnTurn) {
  TCustomBitmap32 src, dst, turned;
  FillRandom(src, 16, 16, 34);
  dst.SetSize(16, 16);
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  t.Rotate(8, 8, 90);
  Transform(dst, src, t);
  src.Rotate270(&turned);  // a positive angle turns counter-clockwise on the screen
  EXPECT_EQ(Pixels(dst), Pixels(turned));
}

// Each destination pixel centre mapped back in double; pixels whose source position lies close
// to a rounding boundary are skipped, the rest must match exactly.
TEST(Transform, NearestMatchesABruteForceInverseMapping) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 40, 30, 35);
  src.SetOuterColor(0x01010101);
  dst.SetSize(60, 50);
  const TurnAndScale turn;
  TAffineTransformation t;
  turn.Apply(t, src.BoundsRect());
  dst.Clear();
  Transform(dst, src, t);
  int checked = 0;
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      double u, v;
      turn.SourceOf(x, y, u, v);
      const double fu = u - std::floor(u), fv = v - std::floor(v);
      if (std::fabs(fu - 0.5) < 0.01 || std::fabs(fv - 0.5) < 0.01) continue;
      const int32_t su = int32_t(std::lround(u)), sv = int32_t(std::lround(v));
      const TFloatRect bounds = t.GetTransformedBounds({0, 0, 40, 30});
      const bool drawn = x >= std::floor(bounds.Left) && x < std::ceil(bounds.Right) &&
                         y >= std::floor(bounds.Top) && y < std::ceil(bounds.Bottom);
      TColor32 expected = clBlack32;
      if (drawn)
        expected = su >= 0 && su < 40 && sv >= 0 && sv < 30 ? src.Pixel(su, sv) : 0x01010101;
      ASSERT_EQ(dst.Pixel(x, y), expected) << x << "," << y;
      ++checked;
    }
  EXPECT_GT(checked, 2500);
}

// Shrunk to 3 % and placed 1000 pixels out, the inverse moves the source 33,333 pixels: beyond
// 16.16, yet every pixel of the thumbnail shows the column its centre maps to.
TEST(Transform, AShrunkPictureFarFromTheOriginDrawsWhole) {
  TCustomBitmap32 src, dst;
  Fill(src, 2000, 300, [](int32_t x, int32_t) { return 0xFF000000u | uint32_t(x); });
  dst.SetSize(1100, 40);
  dst.ClearWithColor(clWhite32);
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  t.ScaleUniform(0.03f);
  t.Translate(1000, 10);
  Transform(dst, src, t);
  for (int32_t y = 10; y < 19; ++y)
    for (int32_t x = 1000; x < 1060; ++x) {
      const double column = (x + 0.5 - 1000) / 0.03 - 0.5;
      ASSERT_NEAR(double(dst.Pixel(x, y) & 0xFFFFFF), column, 1.0) << x << "," << y;
      ASSERT_EQ(dst.Pixel(x, y) >> 24, 0xFFu) << x << "," << y;
    }
}

TEST(Transform, OutsideTheSourceByDrawMode) {
  TCustomBitmap32 src, dst;
  Fill(src, 10, 10, [](int32_t, int32_t) { return 0xFFFF0000u; });
  src.SetOuterColor(0x0000FF00);
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  t.Rotate(5, 5, 45);
  dst.SetSize(10, 10);
  dst.Clear();
  Transform(dst, src, t);
  EXPECT_EQ(dst.Pixel(0, 0), 0x0000FF00u);  // opaque: the outer colour
  src.SetDrawMode(dmBlend);
  dst.Clear();
  TierScope portable(tierPortable);  // where an opaque blend copies exactly
  Transform(dst, src, t);
  EXPECT_EQ(dst.Pixel(0, 0), clBlack32);  // a transparent outer colour leaves it
  EXPECT_EQ(dst.Pixel(5, 5), 0xFFFF0000u);
}

TEST(Transform, UnsetSourceRectangleDrawsNothingAndWrapFillsTheClip) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 8, 8, 36, true);
  dst.SetSize(20, 20);
  dst.Clear();
  TAffineTransformation t;
  Transform(dst, src, t);
  int changed = 0;
  for (TColor32 c : Pixels(dst)) changed += c != clBlack32;
  EXPECT_LE(changed, 1);
  src.SetWrapMode(wmRepeat);
  src.Resampler()->SetPixelAccessMode(pamWrap);
  Transform(dst, src, t);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) ASSERT_EQ(dst.Pixel(x, y), src.Pixel(x % 8, y % 8));
}

TEST(Transform, ClipOutsideTheDestinationReportsEmptyAreas) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 8, 8, 37, true);
  dst.SetSize(10, 10);
  Areas areas(dst);
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  TRegularRasterizer r;
  Transform(dst, src, t, {20, 20, 30, 30}, r);
  EXPECT_EQ(areas.list, (std::vector<TRect>{{0, -1, 0, 0}, {0, 0, 0, 0}}));
}

TEST(Transform, LinearTransparentEdgeGivesASoftRim) {
  TCustomBitmap32 src, dst;
  Fill(src, 10, 10, [](int32_t, int32_t) { return 0xFF3080C0u; });
  src.SetResamplerClassName("TLinearResampler");
  src.Resampler()->SetPixelAccessMode(pamTransparentEdge);
  src.SetDrawMode(dmOpaque);
  dst.SetSize(20, 20);
  Fill(dst, 20, 20, [](int32_t, int32_t) { return 0u; });
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  t.Rotate(5, 5, 45);
  t.Translate(5, 5);
  Transform(dst, src, t);
  int soft = 0, opaque = 0;
  for (TColor32 c : Pixels(dst)) {
    const uint32_t a = c >> 24;
    soft += a > 0 && a < 255;
    opaque += a == 255;
  }
  EXPECT_GT(opaque, 40);
  EXPECT_GT(soft, 20);
  EXPECT_EQ(dst.Pixel(10, 10), 0xFF3080C0u);
  EXPECT_EQ(dst.Pixel(0, 0), 0u);
}

}  // namespace

namespace {

// Along a row the transformer steps from the previous position; visiting the pixels backwards
// maps each one afresh. Both must sample the same places.
TEST(Transformer, SteppingAlongARowEqualsMappingEachPixel) {
  TCustomBitmap32 src;
  FillRandom(src, 50, 40, 41);
  src.SetResamplerClassName("TLinearResampler");
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  t.Rotate(25, 20, 37.5f);
  t.Scale(0.77f, 1.31f);
  t.Translate(3.25f, -2.5f);
  TTransformer transformer(src.Resampler(), &t);
  transformer.PrepareSampling();
  for (int32_t y = -3; y < 45; y += 4) {
    std::vector<TColor32> forward, backward(60);
    for (int32_t x = -5; x < 55; ++x) forward.push_back(transformer.GetSampleInt(x, y));
    for (int32_t x = 54; x >= -5; --x) backward[size_t(x + 5)] = transformer.GetSampleInt(x, y);
    ASSERT_EQ(forward, backward) << y;
  }
  transformer.FinalizeSampling();
}

// Records where it was asked.
class PositionRecorder : public TCustomSampler {
 public:
  TColor32 GetSampleFixed(TFixed X, TFixed) override {
    x = X;
    return 0;
  }
  TFixed x = 0;
};

// A transformation prepared again between two pixels of a row maps the second with the new
// mapping, as a fresh transformer would.
TEST(Transformer, FollowsATransformationPreparedAgain) {
  PositionRecorder recorder;
  TAffineTransformation t;
  TTransformer transformer(&recorder, &t);
  transformer.PrepareSampling();
  transformer.GetSampleInt(0, 0);
  EXPECT_EQ(recorder.x, 0);
  t.Translate(-5, 0);
  t.PrepareTransform();
  transformer.GetSampleInt(1, 0);
  EXPECT_EQ(recorder.x, Fixed(6));
  transformer.GetSampleInt(2, 0);
  EXPECT_EQ(recorder.x, Fixed(7));
  transformer.FinalizeSampling();
}

}  // namespace

namespace {

// A sampler giving one colour everywhere.
class SolidSampler : public TCustomSampler {
 public:
  explicit SolidSampler(TColor32 C) : colour(C) {}
  TColor32 GetSampleInt(int32_t, int32_t) override { return colour; }
  TColor32 colour;
};

TEST(Rasterizer, WritesEachSampleByTheDrawMode) {
  TCustomBitmap32 dst;
  SolidSampler sampler(0x80FF0000);
  TRegularRasterizer r;
  r.SetSampler(&sampler);
  TierScope portable(tierPortable);
  const TColor32 background = 0xFF0000FF;
  auto run = [&](const TCombineInfo& info) {
    Fill(dst, 3, 3, [&](int32_t, int32_t) { return background; });
    r.Rasterize(dst, dst.BoundsRect(), info);
    return dst.Pixel(1, 1);
  };
  TCombineInfo info;
  EXPECT_EQ(run(info), 0x80FF0000u);
  info.DrawMode = dmBlend;
  info.SrcAlpha = 100;
  EXPECT_EQ(run(info), PortableBlend(0x80FF0000u, background, MulDiv255(100, 0x80)));
  // A custom mode without a callback blends when set directly.
  info.DrawMode = dmCustom;
  EXPECT_EQ(run(info), PortableBlend(0x80FF0000u, background, MulDiv255(100, 0x80)));
  info.CombineCallBack = [](TColor32 F, TColor32& B, TColor32 M) { B = F ^ M; };
  EXPECT_EQ(run(info), 0x80FF0000u ^ 100u);
  info.DrawMode = dmTransparent;
  info.TransparentColor = 0x80FF0000;
  EXPECT_EQ(run(info), background);
}

TEST(Rasterizer, AssignTakesABitmapsSettings) {
  TCustomBitmap32 src, dst;
  src.SetDrawMode(dmTransparent);
  src.SetOuterColor(0x80FF0000);
  SolidSampler sampler(0x80FF0000);
  TRegularRasterizer r;
  r.SetSampler(&sampler);
  r.Assign(src);
  Fill(dst, 2, 2, [](int32_t, int32_t) { return 0x11111111u; });
  r.Rasterize(dst, dst.BoundsRect());
  EXPECT_EQ(dst.Pixel(0, 0), 0x11111111u);
  TRegularRasterizer copy;
  copy.UpdateRowCount = 0;
  r.UpdateRowCount = 5;
  copy.Assign(r);
  EXPECT_EQ(copy.Sampler(), &sampler);
  EXPECT_EQ(copy.UpdateRowCount, 5);
}

}  // namespace
