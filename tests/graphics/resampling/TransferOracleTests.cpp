// Block transfers and nearest-neighbour stretch transfers of random pictures, rectangles, draw
// modes and master alphas, with every processor tier bound in turn, against a model of their
// stated steps: clipping and cutting, the source position of every destination pixel, the
// per-pixel write of each draw mode (each tier's own blend formulas) and the area reported.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <vector>

#include "Helpers.h"
#include "graphics/resampling/Resamplers.h"
#include "tests/graphics/core/BlendOracle.h"

namespace {

using namespace gfx;
using namespace resampling_test;

// (max, max, min, min); when that is inverted, (0, 0, 0, 0). Zero-size overlaps count.
TRect Intersect(const TRect& a, const TRect& b) {
  const TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                std::min(a.Bottom, b.Bottom)};
  return r.Right >= r.Left && r.Bottom >= r.Top ? r : TRect{0, 0, 0, 0};
}

bool Empty(const TRect& r) {
  return r.Right <= r.Left || r.Bottom <= r.Top;
}

struct Model {
  TImplementationTier tier;
  const TCustomBitmap32& src;
  TDrawMode mode;
  TPixelCombineEvent callback;

  void Write(TColor32 F, TColor32& B) const {
    const TColor32 m = src.MasterAlpha();
    const bool merge = src.CombineMode() == cmMerge;
    switch (mode == dmCustom && !callback ? dmOpaque : mode) {
      case dmOpaque:
        B = F;
        break;
      case dmBlend:
        if (m >= 255)
          B = merge ? gfx::testing::MergeRegOracle(tier, F, B)
                    : gfx::testing::BlendMemOracle(tier, F, B);
        else
          B = merge ? gfx::testing::MergeRegExOracle(tier, F, B, m)
                    : gfx::testing::BlendLineExOracle(tier, F, B, m);
        break;
      case dmTransparent:
        if (F != src.OuterColor()) B = F;
        break;
      case dmCustom:
        callback(F, B, m);
        break;
    }
  }
  bool NothingToDraw(const TCustomBitmap32& dst) const {
    return dst.Empty() || src.Empty() || (mode == dmBlend && src.MasterAlpha() == 0);
  }

  // The area reported, or none.
  std::optional<TRect> Block(TCustomBitmap32& dst, int32_t x, int32_t y, const TRect& dstClip,
                             const TRect& srcRect) const {
    if (NothingToDraw(dst)) return std::nullopt;
    TRect clip = Intersect(dstClip, dst.BoundsRect());
    TRect s = Intersect(srcRect, src.BoundsRect());
    const int32_t dx = x - srcRect.Left, dy = y - srcRect.Top;
    clip = Intersect(clip, {s.Left + dx, s.Top + dy, s.Right + dx, s.Bottom + dy});
    if (Empty(clip)) return std::nullopt;
    for (int32_t j = clip.Top; j < clip.Bottom; ++j)
      for (int32_t i = clip.Left; i < clip.Right; ++i)
        Write(src.Pixel(i - dx, j - dy), *dst.PixelPtr(i, j));
    return clip;
  }

  std::optional<TRect> Stretch(TCustomBitmap32& dst, TRect dstRect, const TRect& dstClip,
                               TRect srcRect) const {
    if (Empty(srcRect)) return std::nullopt;  // no ratio to cut by
    const float rx = float(double(dstRect.Right - dstRect.Left) / (srcRect.Right - srcRect.Left));
    const float ry = float(double(dstRect.Bottom - dstRect.Top) / (srcRect.Bottom - srcRect.Top));
    if (srcRect.Left < 0) dstRect.Left += int32_t(std::ceil(-srcRect.Left * double(rx)));
    if (srcRect.Top < 0) dstRect.Top += int32_t(std::ceil(-srcRect.Top * double(ry)));
    if (srcRect.Right > src.Width())
      dstRect.Right -= int32_t(std::floor((srcRect.Right - src.Width()) * double(rx)));
    if (srcRect.Bottom > src.Height())
      dstRect.Bottom -= int32_t(std::floor((srcRect.Bottom - src.Height()) * double(ry)));
    srcRect = {std::max(srcRect.Left, 0), std::max(srcRect.Top, 0),
               std::min(srcRect.Right, src.Width()), std::min(srcRect.Bottom, src.Height())};
    if (NothingToDraw(dst) || Empty(srcRect)) return std::nullopt;
    const TRect clip = Intersect(Intersect(dstClip, dst.BoundsRect()), dstRect);
    if (Empty(clip)) return std::nullopt;
    const int32_t sw = srcRect.Right - srcRect.Left, dw = dstRect.Right - dstRect.Left;
    const int32_t sh = srcRect.Bottom - srcRect.Top, dh = dstRect.Bottom - dstRect.Top;
    // Nearest: the truncated position along a single-precision scale, kept in the source
    // rectangle; a one-pixel destination takes the middle.
    auto source = [](int32_t i, int32_t lo, int32_t hi, int32_t dLo, int32_t s, int32_t d) {
      if (s == d) return lo + (i - dLo);
      if (d <= 1) return (lo + hi - 1) / 2;
      const float scale = float(double(s) / d);
      return std::clamp(int32_t(std::trunc(lo + double(i - dLo) * scale)), lo, hi - 1);
    };
    for (int32_t j = clip.Top; j < clip.Bottom; ++j)
      for (int32_t i = clip.Left; i < clip.Right; ++i) {
        const bool same = sw == dw && sh == dh;
        const int32_t sx =
            source(i, srcRect.Left, srcRect.Right, dstRect.Left, same ? 1 : sw, same ? 1 : dw);
        const int32_t sy =
            source(j, srcRect.Top, srcRect.Bottom, dstRect.Top, same ? 1 : sh, same ? 1 : dh);
        Write(src.Pixel(sx, sy), *dst.PixelPtr(i, j));
      }
    return dstRect;
  }
};

TEST(TransferOracle, RandomTransfersFollowTheirStepsOnEveryTier) {
  std::mt19937 random(11432);
  auto between = [&random](int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(random);
  };
  // Around a W x H bitmap: mostly overlapping it, across its edges; now and then anywhere,
  // inverted or empty.
  auto rect = [&](const TCustomBitmap32& b) {
    const int32_t w = b.Width(), h = b.Height();
    if (between(0, 7) == 0)
      return TRect{between(-3, w + 3), between(-3, h + 3), between(-3, w + 3), between(-3, h + 3)};
    const int32_t l = between(-2, w / 2), t = between(-2, h / 2);
    return TRect{l, t, between(std::max(l + 1, 1), w + 2), between(std::max(t + 1, 1), h + 2)};
  };
  const TPixelCombineEvent custom = [](TColor32 F, TColor32& B, TColor32 M) { B = F ^ B ^ M; };
  int drawn = 0, rounds = 0;
  for (const TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (int round = 0; round < 1500; ++round) {
      TCustomBitmap32 src, dst, expected;
      auto size = [&](int32_t most) { return between(0, 15) == 0 ? 0 : between(1, most); };
      FillRandom(src, size(9), size(9), random());
      for (int32_t i = 0; i < src.Width() * src.Height(); ++i) {
        if (i % 3 == 0) src.Bits()[i] |= 0xFF000000;
        if (i % 5 == 0) src.Bits()[i] &= 0x00FFFFFF;
      }
      if (!src.Empty()) src.SetOuterColor(src.Pixel(0, 0));
      src.SetCombineMode(between(0, 1) ? cmMerge : cmBlend);
      static constexpr uint32_t masters[] = {0, 1, 128, 254, 255, 300};
      src.SetMasterAlpha(masters[between(0, 5)]);
      static constexpr TDrawMode modes[] = {dmOpaque, dmBlend, dmTransparent, dmCustom};
      const Model model{tier, src, modes[between(0, 3)], between(0, 4) ? custom : nullptr};
      FillRandom(dst, size(14), size(14), random());
      expected.Assign(dst);
      std::vector<TRect> reported;
      dst.OnAreaChanged = [&](plat::TObject*, const TRect& r, uint32_t) { reported.push_back(r); };
      const TRect clip = rect(dst), srcRect = rect(src);
      std::optional<TRect> area;
      if (round % 2) {
        const int32_t x = between(-src.Width() / 2, std::max(dst.Width() - 1, 0)),
                      y = between(-src.Height() / 2, std::max(dst.Height() - 1, 0));
        BlockTransfer(dst, x, y, clip, src, srcRect, model.mode, model.callback);
        area = model.Block(expected, x, y, clip, srcRect);
      } else {
        TRect dstRect = rect(dst);
        dstRect.Right += between(0, 8);  // enlarging as well as reducing
        StretchTransfer(dst, dstRect, clip, src, srcRect, src.Resampler(), model.mode,
                        model.callback);
        area = model.Stretch(expected, dstRect, clip, srcRect);
      }
      ++rounds;
      drawn += area.has_value();
      ASSERT_EQ(Pixels(dst), Pixels(expected)) << int(tier) << " round " << round;
      ASSERT_EQ(reported, area ? std::vector<TRect>{*area} : std::vector<TRect>{})
          << int(tier) << " round " << round;
    }
  }
  EXPECT_GT(drawn, rounds / 4);  // many rounds reach the pixels
}

}  // namespace
