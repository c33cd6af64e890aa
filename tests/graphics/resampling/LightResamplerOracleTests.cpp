// The nearest, linear and draft resamplers against models written here from their documented
// arithmetic, over random bitmaps, clip rectangles and positions, on every processor tier: the
// single samples in every access and wrap mode, the bilinear enlargement and the block-averaging
// reduction.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>

#include "Helpers.h"
#include "graphics/resampling/Kernels.h"
#include "graphics/resampling/Resamplers.h"

namespace {

using namespace gfx;
using namespace resampling_test;

// ---- The model ----

uint32_t Channel(TColor32 c, int shift) {
  return (c >> shift) & 0xFF;
}

// The portable two-colour mix: W = 0 gives Y, W of 255 or more X, otherwise the channels below
// Last weighted through Round(a x / 255), the others (alpha) X's.
TColor32 Mix(TColor32 X, TColor32 Y, uint32_t W, int Last = 16) {
  if (W == 0) return Y;
  if (W >= 255) return X;
  auto t = [](uint32_t a, uint32_t x) { return uint32_t(std::nearbyint(a * x / 255.0)); };
  TColor32 r = Last < 24 ? X & 0xFF000000 : 0;
  for (int s = 0; s <= Last; s += 8) r |= (t(W, Channel(X, s)) + t(255 - W, Channel(Y, s))) << s;
  return r;
}

// The bound two-colour mix of a tier: the integer tier rounds each share and mixes alpha too; the
// MMX and SSE2 tiers mix all four channels out of 256 without shortcuts.
TColor32 TierMix(TImplementationTier tier, TColor32 X, TColor32 Y, uint32_t W) {
  if (tier == tierPortable) return Mix(X, Y, W);
  if (tier == tierInteger && (W == 0 || W == 255)) return W == 0 ? Y : X;
  TColor32 r = 0;
  for (int s = 0; s <= 24; s += 8) {
    const int32_t x = int32_t(Channel(X, s)), y = int32_t(Channel(Y, s)), w = int32_t(W);
    const int32_t c = tier == tierInteger ? ((x * w + 128) >> 8) + ((y * (255 - w) + 128) >> 8)
                                          : (y * 256 + 128 + (x - y) * w) >> 8;
    r |= TColor32(c) << s;
  }
  return r;
}

// The four-pixel interpolation mixes alpha as the colours.
TColor32 Interpolate(uint32_t WX, uint32_t WY, TColor32 C11, TColor32 C12, TColor32 C21,
                     TColor32 C22) {
  WX = std::min(WX, 255u), WY = std::min(WY, 255u);
  return Mix(Mix(C11, C12, WX, 24), Mix(C21, C22, WX, 24), WY, 24);
}

uint32_t Gamma(uint32_t i) {
  return uint32_t(std::nearbyint(255 * std::pow(i / 255.0, 0.7)));
}

// Wrap procedures over [Lo, Hi]; mod truncates toward zero.
int64_t WrapInto(TWrapMode mode, int64_t v, int64_t lo, int64_t hi) {
  const int64_t n = hi - lo + 1;
  if (mode == wmRepeat) return v >= lo ? (v - lo) % n + lo : (v - hi) % n + hi;
  if (mode == wmMirror) {
    const int64_t d = v >= lo ? (v - lo) / n : (v - hi) / n;
    int64_t r = v >= lo ? (v - lo) % n + lo : (v - hi) % n + hi;
    if (d % 2 != 0) r = lo + hi - r;
    return r;
  }
  return std::clamp(v, lo, hi);
}

// Signed shifts of 16.16 and 24.8 values, as arithmetic shifts.
int64_t Sar(int64_t v, int bits) {
  return v >= 0 ? v >> bits : -((-v + (int64_t(1) << bits) - 1) >> bits);
}

// V + Add in the 32 bits of a fixed-point value, wrapping at the ends of the range.
int64_t Add32(int64_t v, int64_t add) {
  const int64_t sum = (v + add) & 0xFFFFFFFF;
  return sum >= 0x80000000 ? sum - 0x100000000 : sum;
}

struct Picture {
  TCustomBitmap32 b;
  TRect clip{};
  TColor32 At(int64_t x, int64_t y) const { return b.Pixel(int32_t(x), int32_t(y)); }
};

void MakePicture(Picture& p, std::mt19937& random) {
  const int32_t w = 1 + int32_t(random() % 9), h = 1 + int32_t(random() % 9);
  FillRandom(p.b, w, h, unsigned(random()));
  p.clip = p.b.BoundsRect();
  if (random() % 2) {
    const int32_t l = int32_t(random() % uint32_t(w)), t = int32_t(random() % uint32_t(h));
    p.clip = {l, t, l + 1 + int32_t(random() % uint32_t(w - l)),
              t + 1 + int32_t(random() % uint32_t(h - t))};
    p.b.SetClipRect(p.clip);
  }
  p.b.SetOuterColor(TColor32(random()));
  p.b.SetWrapMode(TWrapMode(random() % 3));
}

// The nearest sample at whole position (X, Y) by access mode; unsafe reads as safe.
TColor32 NearestModel(const Picture& p, TPixelAccessMode mode, int64_t x, int64_t y) {
  const TRect& c = p.clip;
  if (mode == pamWrap)
    return p.At(WrapInto(p.b.WrapMode(), x, c.Left, c.Right - 1),
                WrapInto(p.b.WrapMode(), y, c.Top, c.Bottom - 1));
  if (mode == pamTransparentEdge) {
    const int64_t i = std::clamp<int64_t>(x, c.Left, c.Right - 1);
    const int64_t j = std::clamp<int64_t>(y, c.Top, c.Bottom - 1);
    return i == x && j == y ? p.At(i, j) : p.At(i, j) & 0x00FFFFFF;
  }
  return x >= c.Left && x < c.Right && y >= c.Top && y < c.Bottom ? p.At(x, y) : p.b.OuterColor();
}

// The linear sample at 16.16 position (X, Y) by access mode. Safe reads take the edge pixels out
// to the edge of the clip rectangle's pixels (half a pixel past the outer centres).
TColor32 LinearModel(const Picture& p, TPixelAccessMode mode, TImplementationTier tier, int64_t X,
                     int64_t Y) {
  auto mix = [tier](TColor32 a, TColor32 b, uint32_t w) { return TierMix(tier, a, b, w); };
  const TRect& c = p.clip;
  if (mode == pamWrap) {
    const int64_t x1 = Sar(X, 16), y1 = Sar(Y, 16);
    auto h = [&](int64_t v) { return WrapInto(p.b.WrapMode(), v, c.Left, c.Right - 1); };
    auto v = [&](int64_t v) { return WrapInto(p.b.WrapMode(), v, c.Top, c.Bottom - 1); };
    const uint32_t wx = uint32_t(X >> 8) & 0xFF, wy = uint32_t(Y >> 8) & 0xFF;
    return mix(mix(p.At(h(x1 + 1), v(y1 + 1)), p.At(h(x1), v(y1 + 1)), wx),
               mix(p.At(h(x1 + 1), v(y1)), p.At(h(x1), v(y1)), wx), wy);
  }
  if (mode == pamTransparentEdge) {
    const int64_t r1 = c.Right - 1, b1 = c.Bottom - 1;
    const int64_t x1 = Sar(X, 16), y1 = Sar(Y, 16);
    const uint32_t wx = Gamma((uint32_t(X >> 8) & 0xFF) ^ 0xFF);
    const uint32_t wy = Gamma((uint32_t(Y >> 8) & 0xFF) ^ 0xFF);
    if (x1 >= c.Left && y1 >= c.Top && x1 < r1 && y1 < b1) {
      const int64_t x = x1, y = y1;
      return Interpolate(wx, wy, p.At(x, y), p.At(x + 1, y), p.At(x, y + 1), p.At(x + 1, y + 1));
    }
    if (x1 < c.Left - 1 || y1 < c.Top - 1 || x1 > r1 || y1 > b1) return 0;
    auto sign = [](int64_t v) { return v > 0 ? 1 : v < 0 ? -1 : 0; };
    const int64_t xa = std::clamp<int64_t>(x1, 0, r1),
                  xb = std::clamp<int64_t>(x1 + sign(X), 0, r1);
    const int64_t ya = std::clamp<int64_t>(y1, 0, b1),
                  yb = std::clamp<int64_t>(y1 + sign(Y), 0, b1);
    TColor32 c1 = p.At(xa, ya), c2 = p.At(xb, ya), c3 = p.At(xa, yb), c4 = p.At(xb, yb);
    if (X <= int64_t(c.Left) * 65536)
      c1 &= 0x00FFFFFF, c3 &= 0x00FFFFFF;
    else if (x1 == r1)
      c2 &= 0x00FFFFFF, c4 &= 0x00FFFFFF;
    if (Y <= int64_t(c.Top) * 65536)
      c1 &= 0x00FFFFFF, c2 &= 0x00FFFFFF;
    else if (y1 == b1)
      c3 &= 0x00FFFFFF, c4 &= 0x00FFFFFF;
    return mix(mix(c1, c2, wx), mix(c3, c4, wx), wy);
  }
  const int64_t x = Sar(Add32(X, 127), 8), y = Sar(Add32(Y, 127), 8);  // 24.8
  const int64_t left = c.Left * 256, top = c.Top * 256;
  const int64_t right = (c.Right - 1) * 256, bottom = (c.Bottom - 1) * 256;
  if (x < left - 128 || y < top - 128 || x >= right + 128 || y >= bottom + 128)
    return p.b.OuterColor();
  const int64_t cx = std::clamp(x, left, right), cy = std::clamp(y, top, bottom);
  const int64_t i = cx >> 8, j = cy >> 8;
  const int64_t i1 = std::min<int64_t>(i + 1, c.Right - 1),
                j1 = std::min<int64_t>(j + 1, c.Bottom - 1);
  return Interpolate(Gamma(uint32_t(cx & 255) ^ 255), Gamma(uint32_t(cy & 255) ^ 255), p.At(i, j),
                     p.At(i1, j), p.At(i, j1), p.At(i1, j1));
}

// ---- Single samples ----

// The ends of the 16.16 range.
int64_t Huge(int k) {
  const int64_t ends[] = {INT32_MIN, INT32_MAX, INT32_MAX - 0x7FFF, INT32_MIN + 0x8000};
  return ends[k % 4];
}

TEST(LightResamplerOracle, SamplesFollowTheModelInEveryModeOnEveryTier) {
  std::mt19937 random(145);
  int64_t compared = 0;
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (int n = 0; n < 150; ++n) {
      Picture p;
      MakePicture(p, random);
      const int32_t w = p.b.Width(), h = p.b.Height();
      for (TPixelAccessMode mode : {pamUnsafe, pamSafe, pamWrap, pamTransparentEdge}) {
        auto& nearest = TCustomResampler::Create<TNearestResampler>(p.b);
        nearest.SetPixelAccessMode(mode);
        nearest.PrepareSampling();
        for (int k = 0; k < 120; ++k) {
          int64_t X = int64_t(random() % uint32_t(5 * w << 16)) - (2 * w << 16);
          int64_t Y = int64_t(random() % uint32_t(5 * h << 16)) - (2 * h << 16);
          if (k < 4) X = Huge(k), Y = Huge(k + 1);
          ASSERT_EQ(nearest.GetSampleFixed(TFixed(X), TFixed(Y)),
                    NearestModel(p, mode, Sar(Add32(X, 0x7FFF), 16), Sar(Add32(Y, 0x7FFF), 16)))
              << "mode " << int(mode) << " at " << X << "," << Y;
          ASSERT_EQ(nearest.GetSampleInt(int32_t(X >> 16), int32_t(Y >> 16)),
                    NearestModel(p, mode, X >> 16, Y >> 16));
          const float fx = float(X) / 65536, fy = float(Y) / 65536;
          ASSERT_EQ(
              nearest.GetSampleFloat(fx, fy),
              NearestModel(p, mode, int64_t(std::nearbyint(fx)), int64_t(std::nearbyint(fy))));
        }
        auto& linear = TCustomResampler::Create<TLinearResampler>(p.b);
        linear.SetPixelAccessMode(mode);
        linear.PrepareSampling();
        for (int k = 0; k < 300; ++k) {
          int64_t X = int64_t(random() % uint32_t((w + 4) << 16)) - (2 << 16);
          int64_t Y = int64_t(random() % uint32_t((h + 4) << 16)) - (2 << 16);
          // Whole and half pixels, where the edges change, and the ends of the 16.16 range.
          if (k % 4 == 0) X &= ~0x7FFF, Y &= ~0x7FFF;
          if (k < 4) X = Huge(k), Y = Huge(k + 1);
          ASSERT_EQ(linear.GetSampleFixed(TFixed(X), TFixed(Y)), LinearModel(p, mode, tier, X, Y))
              << "tier " << int(tier) << ", mode " << int(mode) << ", " << w << "x" << h << " clip "
              << p.clip.Left << "," << p.clip.Top << "," << p.clip.Right << "," << p.clip.Bottom
              << " at " << X << "," << Y;
          ++compared;
          if (k < 4) continue;
          // Float positions go to the nearest 16.16 value, halves to even.
          const float fx = (float(X) + 0.5f) / 65536, fy = (float(Y) + 0.5f) / 65536;
          ASSERT_EQ(linear.GetSampleFloat(fx, fy),
                    LinearModel(p, mode, tier, int64_t(std::nearbyint(double(fx) * 65536)),
                                int64_t(std::nearbyint(double(fy) * 65536))));
          ++compared;
        }
        linear.FinalizeSampling();
      }
    }
  }
  EXPECT_GT(compared, 500000);
}

// Runs of samples, as affine drawing takes them, step in 32-bit positions that may wrap; steps
// of any size cross the edges, the outer colour and the ends of the range.
TEST(LightResamplerOracle, RunsFollowTheModelAtEveryStepOnEveryTier) {
  std::mt19937 random(146);
  TCustomBitmap32 target;
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (int n = 0; n < 300; ++n) {
      Picture p;
      MakePicture(p, random);
      const TPixelAccessMode mode = TPixelAccessMode(random() % 4);
      auto& linear = TCustomResampler::Create<TLinearResampler>(p.b);
      linear.SetPixelAccessMode(mode);
      linear.PrepareSampling();
      const auto span = [&random](int32_t w) {
        return int32_t(random() % uint32_t((w + 4) << 16));
      };
      int64_t X = span(p.b.Width()) - (2 << 16), Y = span(p.b.Height()) - (2 << 16);
      int64_t dx = span(1) - (2 << 16), dy = span(1) - (2 << 16);
      if (n % 5 == 0) dx = int32_t(random()), dy = int32_t(random());
      if (n % 7 == 0) X = Huge(n), Y = Huge(n + 1);
      const int32_t count = 1 + int32_t(random() % 200);
      std::vector<TColor32> run(size_t(count), 0);
      ASSERT_TRUE(linear.GetSampleRunFixed(TFixed(X), TFixed(Y), TFixed(dx), TFixed(dy), count,
                                           run.data(), target));
      for (int32_t i = 0; i < count; ++i, X = Add32(X, dx), Y = Add32(Y, dy))
        ASSERT_EQ(run[size_t(i)], LinearModel(p, mode, tier, X, Y))
            << "tier " << int(tier) << ", mode " << int(mode) << ", sample " << i;
      linear.FinalizeSampling();
    }
  }
}

// ---- Stretching ----

struct Stretch {
  TCustomBitmap32 src, dst;
  TRect srcRect{}, dstRect{}, clip{};
};

// A source rectangle of at least Min pixels a side inside a random picture, and a destination
// rectangle whose sides relate to it as Bigger asks (true: larger; false: not larger), with a
// random clip inside it.
void MakeStretch(Stretch& s, std::mt19937& random, int32_t min, bool biggerX, bool biggerY) {
  auto between = [&](int32_t lo, int32_t hi) {
    return lo + int32_t(random() % uint32_t(hi - lo + 1));
  };
  const int32_t w = between(min, 40), h = between(min, 40);
  FillRandom(s.src, w, h, unsigned(random()));
  const int32_t sw = between(min, w), sh = between(min, h);
  const int32_t sl = between(0, w - sw), st = between(0, h - sh);
  s.srcRect = {sl, st, sl + sw, st + sh};
  const int32_t dw = biggerX ? between(sw + 1, 3 * sw + 2) : between(1, sw);
  const int32_t dh = biggerY ? between(sh + 1, 3 * sh + 2) : between(1, sh);
  s.dst.SetSize(dw + 6, dh + 6);
  s.dst.ClearWithColor(0x12345678);
  s.dstRect = {3, 3, 3 + dw, 3 + dh};
  s.clip = s.dstRect;
  if (random() % 2) {
    const int32_t l = between(3, 2 + dw), t = between(3, 2 + dh);
    s.clip = {l, t, between(l + 1, 3 + dw), between(t + 1, 3 + dh)};
  }
}

// Random stretches on every tier, each handed to Check with the random source, tier and number.
template <class Check>
void StretchesOnEveryTier(unsigned seed, int cases, int32_t min, bool enlarge, Check check) {
  std::mt19937 random(seed);
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (int n = 0; n < cases; ++n) {
      Stretch s;
      MakeStretch(s, random, min, enlarge, enlarge);
      check(s, random, tier, n);
    }
  }
}

struct MapEntry {
  int32_t pos;
  uint32_t weight;
  bool uncertain;  // within rounding of a step: single against double may differ
};

// Positions and weights of the linear enlargement along one axis.
std::vector<MapEntry> LinearMapModel(int32_t clipLo, int32_t count, int32_t dstLo, int32_t dstW,
                                     int32_t srcLo, int32_t srcW, int32_t srcHi, int32_t limit) {
  std::vector<MapEntry> map;
  for (int32_t i = 0; i < count; ++i) {
    double t = (i + clipLo - dstLo + 0.5) * srcW / dstW + srcLo - 0.5;
    t = std::clamp(t, 0.0, double(limit - 1));
    const double f = std::floor(t), frac = (t - f) * 256;
    const bool uncertain = std::fabs(frac - std::round(frac - 0.5) - 0.5) < 1e-3 ||
                           std::fabs(t - std::round(t)) < 1e-5;
    map.push_back({int32_t(f), 256 - uint32_t(std::nearbyint(frac)), uncertain});
  }
  for (auto e = map.rbegin(); e != map.rend() && e->pos == srcHi - 1; ++e) {
    --e->pos;
    e->weight = 0;
  }
  return map;
}

TEST(LightResamplerOracle, BilinearEnlargementFollowsTheModelOnEveryTier) {
  int64_t compared = 0;
  StretchesOnEveryTier(
      1451, 200, 2, true, [&](Stretch& s, std::mt19937&, TImplementationTier tier, int n) {
        StretchHorzStretchVertLinear(s.dst, s.dstRect, s.clip, s.src, s.srcRect, dmOpaque, {});
        const auto cols =
            LinearMapModel(s.clip.Left, s.clip.Right - s.clip.Left, s.dstRect.Left,
                           s.dstRect.Right - s.dstRect.Left, s.srcRect.Left,
                           s.srcRect.Right - s.srcRect.Left, s.srcRect.Right, s.src.Width());
        const auto rows = LinearMapModel(
            s.clip.Top, s.clip.Bottom - s.clip.Top, s.dstRect.Top, s.dstRect.Bottom - s.dstRect.Top,
            s.srcRect.Top, s.srcRect.Bottom - s.srcRect.Top, s.srcRect.Bottom, s.src.Height());
        for (int32_t y = 0; y < s.dst.Height(); ++y)
          for (int32_t x = 0; x < s.dst.Width(); ++x) {
            const TColor32 got = s.dst.Pixel(x, y);
            if (!PtInRect(s.clip, {x, y})) {
              ASSERT_EQ(got, 0x12345678u) << x << "," << y;
              continue;
            }
            const MapEntry& c = cols[size_t(x - s.clip.Left)];
            const MapEntry& r = rows[size_t(y - s.clip.Top)];
            if (c.uncertain || r.uncertain) continue;
            const auto at = [&](int32_t i, int32_t j) { return s.src.Pixel(i, j); };
            ASSERT_EQ(got, Interpolate(c.weight, r.weight, at(c.pos, r.pos), at(c.pos + 1, r.pos),
                                       at(c.pos, r.pos + 1), at(c.pos + 1, r.pos + 1)))
                << "tier " << int(tier) << ", case " << n << ", pixel " << x << "," << y;
            ++compared;
          }
      });
  EXPECT_GT(compared, 100000);
}

// Block boundaries of the reduction along one axis: 0, Trunc(scale), then k * step shr 16, with
// the single-precision scale and its 16.16 step.
std::vector<int64_t> Boundaries(int32_t srcW, int32_t dstW) {
  const float scale = float(srcW) / float(dstW);
  const int64_t step = int64_t(double(scale) * 65536);
  std::vector<int64_t> b{0, int64_t(scale)};
  for (int64_t k = 2; k <= dstW; ++k) b.push_back((k * step) >> 16);
  return b;
}

TEST(LightResamplerOracle, DraftReductionAveragesItsBlocksOnEveryTier) {
  int64_t compared = 0;
  StretchesOnEveryTier(
      1452, 300, 1, false, [&](Stretch& s, std::mt19937& random, TImplementationTier tier, int n) {
        s.clip = s.dstRect;
        DraftResample(s.dst, s.dstRect, s.clip, s.src, s.srcRect, TLinearKernel(), dmOpaque, {});
        const int32_t dw = s.dstRect.Right - s.dstRect.Left, dh = s.dstRect.Bottom - s.dstRect.Top;
        const auto bx = Boundaries(s.srcRect.Right - s.srcRect.Left, dw);
        const auto by = Boundaries(s.srcRect.Bottom - s.srcRect.Top, dh);
        const int32_t sw = s.srcRect.Right - s.srcRect.Left, sh = s.srcRect.Bottom - s.srcRect.Top;
        for (int32_t j = 0; j < dh; ++j)
          for (int32_t i = 0; i < dw; ++i) {
            // A block the single-precision scale carries past the source is not defined.
            if (bx[size_t(i) + 1] > sw || by[size_t(j) + 1] > sh) continue;
            // The mean of each channel over the block, rounded down.
            uint64_t sum[4] = {0, 0, 0, 0}, count = 0;
            for (int64_t y = by[size_t(j)]; y < by[size_t(j) + 1]; ++y)
              for (int64_t x = bx[size_t(i)]; x < bx[size_t(i) + 1]; ++x, ++count)
                for (int k = 0; k < 4; ++k)
                  sum[k] += Channel(
                      s.src.Pixel(int32_t(s.srcRect.Left + x), int32_t(s.srcRect.Top + y)), 8 * k);
            ASSERT_GT(count, 0u);
            TColor32 expected = 0;
            for (int k = 0; k < 4; ++k) expected |= TColor32(sum[k] / count) << (8 * k);
            ASSERT_EQ(s.dst.Pixel(s.dstRect.Left + i, s.dstRect.Top + j), expected)
                << "tier " << int(tier) << ", case " << n << ", block " << i << "," << j;
            ++compared;
          }
        // Enlarging either way goes to the bilinear enlargement (the kernel below 2 pixels).
        Stretch e;
        MakeStretch(e, random, 2, random() % 2 == 0, true);
        TCustomBitmap32 viaDraft;
        viaDraft.Assign(e.dst);
        DraftResample(viaDraft, e.dstRect, e.clip, e.src, e.srcRect, TLinearKernel(), dmOpaque, {});
        StretchHorzStretchVertLinear(e.dst, e.dstRect, e.clip, e.src, e.srcRect, dmOpaque, {});
        ASSERT_TRUE(viaDraft.Equal(e.dst)) << "case " << n;
      });
  EXPECT_GT(compared, 40000);
}

}  // namespace
