// Affine drawing samples whole rows at once; it must give every pixel the per-pixel path gives,
// for random pictures, mappings, access modes, draw modes and processor tiers.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/resampling/Rasterizers.h"
#include "graphics/resampling/Resamplers.h"
#include "tests/graphics/resampling/Helpers.h"

namespace {

using namespace gfx;
using namespace resampling_test;

// Hides the row sampling of the sampler it wraps, so the rasterizer samples pixel by pixel.
class PixelByPixel : public TNestedSampler {
 public:
  explicit PixelByPixel(TCustomSampler* S) : TNestedSampler(S) {}
  TColor32 GetSampleInt(int32_t X, int32_t Y) override { return Inner().GetSampleInt(X, Y); }
};

struct Scene {
  TCustomBitmap32 src;
  TAffineTransformation mapping;
  std::vector<TColor32> background;
  int32_t dstW = 0, dstH = 0;
  TRect clip;
};

// Big scenes span several tiles of the rasterizer in both directions.
void MakeScene(Scene& S, std::mt19937& Random, bool Big = false) {
  auto between = [&Random](int32_t Lo, int32_t Hi) {
    return std::uniform_int_distribution<int32_t>(Lo, Hi)(Random);
  };
  auto real = [&Random](float Lo, float Hi) {
    return std::uniform_real_distribution<float>(Lo, Hi)(Random);
  };
  const int32_t w = between(1, Big ? 150 : 40), h = between(1, Big ? 150 : 40);
  FillRandom(S.src, w, h, Random());
  S.src.SetResamplerClassName(between(0, 1) ? "TLinearResampler" : "TDraftResampler");
  static constexpr TPixelAccessMode modes[] = {pamUnsafe, pamSafe, pamWrap, pamTransparentEdge};
  static_cast<TCustomResampler*>(S.src.Resampler())->SetPixelAccessMode(modes[between(0, 3)]);
  static constexpr TDrawMode drawModes[] = {dmOpaque, dmBlend, dmTransparent};
  S.src.SetDrawMode(drawModes[between(0, 2)]);
  S.src.SetCombineMode(between(0, 1) ? cmBlend : cmMerge);
  S.src.SetMasterAlpha(uint32_t(between(0, 255)));
  // Outside pixels take the outer colour, which the transparent mode then skips.
  S.src.SetOuterColor(between(0, 1) ? S.src.Pixel(0, 0) : TColor32(Random()));
  if (between(0, 3) == 0)
    S.src.SetClipRect({between(0, w / 2), between(0, h / 2), between(w / 2, w), between(h / 2, h)});
  S.mapping.SetSrcRect(FloatRect(S.src.BoundsRect()));
  S.mapping.Rotate(real(0, float(w)), real(0, float(h)), real(-360, 360));
  S.mapping.Scale(real(0.3f, 3), real(0.3f, 3));
  S.mapping.Translate(real(-20, 20), real(-20, 20));
  S.dstW = between(1, Big ? 300 : 70);
  S.dstH = between(1, Big ? 300 : 70);
  S.clip = {between(-5, S.dstW / 2), between(-5, S.dstH / 2), between(S.dstW / 2, S.dstW + 5),
            between(S.dstH / 2, S.dstH + 5)};
  S.background.resize(size_t(S.dstW) * size_t(S.dstH));
  for (TColor32& c : S.background) c = Random();
}

// Draws the scene into a fresh destination through Sampler, which wraps Transformer or is it.
std::vector<TColor32> Draw(Scene& S, TCustomBitmap32& Dst, TCustomSampler& Sampler) {
  Dst.SetSize(S.dstW, S.dstH);
  std::copy(S.background.begin(), S.background.end(), Dst.Bits());
  TRegularRasterizer rasterizer;
  rasterizer.SetSampler(&Sampler);
  rasterizer.Rasterize(Dst, S.clip, S.src);
  return Pixels(Dst);
}

TEST(RowSampling, AffineRowsEqualPixelByPixelSampling) {
  std::mt19937 random(20261206);
  for (const TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (int round = 0; round < 150; ++round) {
      Scene scene;
      MakeScene(scene, random, round % 10 == 0);
      TTransformer transformer(scene.src.Resampler(), &scene.mapping);
      PixelByPixel slow(&transformer);
      TCustomBitmap32 fastDst, slowDst;
      ASSERT_EQ(Draw(scene, fastDst, transformer), Draw(scene, slowDst, slow))
          << "tier " << int(tier) << " round " << round;
    }
  }
}

TEST(RowSampling, TransformGivesTheSamePixelsAsPixelByPixelSampling) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    Scene scene;
    MakeScene(scene, random);
    TCustomBitmap32 fastDst, slowDst;
    fastDst.SetSize(scene.dstW, scene.dstH);
    std::copy(scene.background.begin(), scene.background.end(), fastDst.Bits());
    Transform(fastDst, scene.src, scene.mapping);
    TTransformer transformer(scene.src.Resampler(), &scene.mapping);
    PixelByPixel slow(&transformer);
    scene.clip = {0, 0, scene.dstW, scene.dstH};
    Draw(scene, slowDst, slow);
    ASSERT_EQ(Pixels(fastDst), Pixels(slowDst)) << round;
  }
}

// Drawing a bitmap onto itself reads pixels written earlier in the same row, so rows are not
// sampled ahead there.
TEST(RowSampling, DrawingOntoTheSourceStaysPixelByPixel) {
  std::mt19937 random(99);
  for (int round = 0; round < 30; ++round) {
    Scene scene;
    MakeScene(scene, random, round % 5 == 0);
    scene.src.SetDrawMode(dmOpaque);
    const std::vector<TColor32> original = Pixels(scene.src);
    TTransformer transformer(scene.src.Resampler(), &scene.mapping);
    TRegularRasterizer rasterizer;
    rasterizer.SetSampler(&transformer);
    rasterizer.Rasterize(scene.src, scene.src.BoundsRect(), scene.src);
    const std::vector<TColor32> fast = Pixels(scene.src);

    std::copy(original.begin(), original.end(), scene.src.Bits());
    PixelByPixel slow(&transformer);
    rasterizer.SetSampler(&slow);
    rasterizer.Rasterize(scene.src, scene.src.BoundsRect(), scene.src);
    ASSERT_EQ(fast, Pixels(scene.src)) << round;
  }
}

// Rows reported on the way are drawn and the rows after them are not yet, however the rasterizer
// orders its runs.
TEST(RowSampling, RowsReportedOnTheWayAreDrawnAndLaterOnesNot) {
  TCustomBitmap32 src, dst;
  FillRandom(src, 400, 200, 5, true);
  src.SetResamplerClassName("TLinearResampler");
  src.SetOuterColor(0xFF000000);
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  t.Rotate(200, 100, 10);
  constexpr TColor32 kUnwritten = 0x12345678;
  dst.SetSize(300, 90);
  dst.ClearWithColor(kUnwritten);
  int reports = 0;
  dst.OnAreaChanged = [&](plat::TObject*, const TRect& Area, uint32_t) {
    ++reports;
    for (int32_t y = 0; y < dst.Height(); ++y)
      for (int32_t x = 0; x < dst.Width(); ++x)
        ASSERT_EQ(dst.Pixel(x, y) == kUnwritten, y > Area.Bottom) << x << "," << y;
  };
  TTransformer transformer(src.Resampler(), &t);
  TRegularRasterizer rasterizer;
  rasterizer.UpdateRowCount = 7;
  rasterizer.SetSampler(&transformer);
  rasterizer.Rasterize(dst, dst.BoundsRect(), src);
  EXPECT_EQ(reports, 90 / 7 + 1);
}

TEST(RowSampling, TheTransformerRefusesRowsReadingTheTarget) {
  TCustomBitmap32 src, other;
  FillRandom(src, 8, 8, 3);
  other.SetSize(8, 8);
  src.SetResamplerClassName("TLinearResampler");
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  t.Rotate(4, 4, 20);
  TTransformer transformer(src.Resampler(), &t);
  transformer.PrepareSampling();
  std::vector<TColor32> row(8);
  EXPECT_FALSE(transformer.GetSampleRowInt(0, 3, 8, row.data(), src));
  ASSERT_TRUE(transformer.GetSampleRowInt(0, 3, 8, row.data(), other));
  for (int32_t x = 7; x >= 0; --x) EXPECT_EQ(row[size_t(x)], transformer.GetSampleInt(x, 3)) << x;
  transformer.FinalizeSampling();
}

}  // namespace
