// Kernel stretching and kernel sampling of every kernel family with random parameters, sizes and
// positions against models of their stated steps, with the kernels evaluated in double precision.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "Helpers.h"
#include "KernelOracle.h"
#include "graphics/resampling/Resamplers.h"

namespace {

using namespace gfx;
using namespace resampling_test;
using kernel_oracle::Family;
using kernel_oracle::Kernel;

int32_t Between(std::mt19937& random, int32_t lo, int32_t hi) {
  return std::uniform_int_distribution<int32_t>(lo, hi)(random);
}

int64_t RoundEven(double v) {
  return int64_t(std::nearbyint(v));
}

struct Tap {
  int32_t pos;
  int64_t weight;
};
using Cluster = std::vector<Tap>;

// One axis of the stretch: the clusters of destination indexes ClipLo..ClipHi - 1. Scale and
// centre are single precision as stated; a cluster whose weights all vanish takes the source
// pixel nearest its centre (the floor of the centre when reducing).
std::vector<Cluster> Clusters(int32_t dstLo, int32_t dstHi, int32_t clipLo, int32_t clipHi,
                              int32_t srcLo, int32_t srcHi, const Kernel& k) {
  const int32_t srcW = srcHi - srcLo, dstW = dstHi - dstLo;
  auto inside = [&](int64_t j) { return int32_t(std::clamp<int64_t>(j, srcLo, srcHi - 1)); };
  std::vector<Cluster> table;
  const float scale = float(double(dstW) / srcW), step = float(1.0 / scale);
  const bool reducing = scale < 1;
  const float reach = reducing ? float(double(float(k.width)) * step) : float(k.width);
  for (int32_t i = 0; i < clipHi - clipLo; ++i) {
    if (srcW == 1) {
      table.push_back({{srcLo, 256}});
      continue;
    }
    const float centre = float((double(i) - dstLo + clipLo + 0.5) * step + srcLo - 0.5);
    Cluster c;
    int64_t absolute = 0;
    for (int64_t j = int64_t(std::floor(double(centre) - reach));
         j <= int64_t(std::ceil(double(centre) + reach)); ++j) {
      const double d = double(centre) - double(j);
      const int64_t w = reducing ? RoundEven(k.filter(double(float(d * scale))) * 256 * scale)
                                 : RoundEven(k.filter(double(float(d))) * 256);
      if (w == 0) continue;
      c.push_back({inside(j), w});
      absolute += std::abs(w);
    }
    if (c.empty() && reducing) {
      c = {{inside(int64_t(std::floor(centre))), 256}};
    } else if (absolute == 0 || absolute > 2048) {
      c = {{inside(RoundEven(centre)), 256}};
    } else {
      std::vector<int64_t> w;
      for (const Tap& t : c) w.push_back(t.weight);
      kernel_oracle::Balance(w, (w.size() - 1) / 2);
      for (size_t n = 0; n < c.size(); ++n) c[n].weight = w[n];
    }
    table.push_back(c);
  }
  return table;
}

int32_t ChannelDifference(TColor32 a, TColor32 b) {
  int32_t most = 0;
  for (int s = 0; s < 32; s += 8)
    most = std::max(most, std::abs(int32_t((a >> s) & 0xFF) - int32_t((b >> s) & 0xFF)));
  return most;
}

class KernelFamily : public ::testing::TestWithParam<Family> {};

// Separable sums of the clusters, each channel masked to 8 bits, limited first when the kernel
// checks its range. Kernels evaluated in double may round a weight the other way than in single
// precision now and then: a channel may be off by a little, never more.
TEST_P(KernelFamily, StretchFollowsTheClusterSums) {
  std::mt19937 random(20261207);
  int64_t pixels = 0, exact = 0;
  for (int round = 0; round < 150; ++round) {
    const Kernel k = GetParam().make(random);
    const bool wide = round % 10 == 0;  // long reductions, where the weight corrections are large
    const int32_t sw = wide ? Between(random, 30, 140) : Between(random, 1, 14);
    const int32_t sh = Between(random, 1, 9);
    TCustomBitmap32 src, dst;
    FillRandom(src, sw + 3, sh + 2, random());
    const TRect srcRect{Between(random, 0, 3), Between(random, 0, 2), 0, 0};
    const TRect sr{srcRect.Left, srcRect.Top, srcRect.Left + sw, srcRect.Top + sh};
    const int32_t dw = wide ? Between(random, 1, 4) : Between(random, 1, 36);
    const int32_t dh = Between(random, 1, 30);
    FillRandom(dst, dw + 4, dh + 4, random());
    const TRect dr{2, 1, 2 + dw, 1 + dh};
    const TRect clip{Between(random, 2, 2 + dw / 2), Between(random, 1, 1 + dh / 2),
                     Between(random, 2 + dw / 2 + 1, dw + 2),
                     Between(random, 1 + dh / 2 + 1, dh + 1)};
    const std::vector<TColor32> before = Pixels(dst);
    Resample(dst, dr, clip, src, sr, *k.engine, dmOpaque, nullptr);

    const auto columns = Clusters(dr.Left, dr.Right, clip.Left, clip.Right, sr.Left, sr.Right, k);
    const auto rows = Clusters(dr.Top, dr.Bottom, clip.Top, clip.Bottom, sr.Top, sr.Bottom, k);
    for (int32_t y = 0; y < dst.Height(); ++y) {
      for (int32_t x = 0; x < dst.Width(); ++x) {
        const TColor32 got = dst.Pixel(x, y);
        if (x < clip.Left || x >= clip.Right || y < clip.Top || y >= clip.Bottom) {
          ASSERT_EQ(got, before[size_t(y * dst.Width() + x)]) << "outside the clip";
          continue;
        }
        TColor32 want = 0;
        for (int s = 0; s < 32; s += 8) {
          int64_t sum = 0;
          for (const Tap& c : columns[size_t(x - clip.Left)])
            for (const Tap& r : rows[size_t(y - clip.Top)])
              sum += int64_t((src.Pixel(c.pos, r.pos) >> s) & 0xFF) * r.weight * c.weight;
          if (k.rangeCheck) sum = std::clamp<int64_t>(sum, 0, 0xFF0000);
          want |= ((uint32_t(sum) & 0xFF0000u) >> 16) << s;
        }
        ++pixels;
        exact += got == want;
        ASSERT_LE(ChannelDifference(got, want), 3)
            << GetParam().name << " round " << round << " at " << x << "," << y << ": " << std::hex
            << got << " want " << want;
      }
    }
  }
  EXPECT_GE(double(exact), 0.999 * double(pixels)) << GetParam().name;
}

int32_t Wrapped(TWrapMode mode, int32_t v, int32_t lo, int32_t hi) {
  const int64_t n = int64_t(hi) - lo + 1;
  if (mode == wmRepeat) return int32_t(lo + ((v - lo) % n + n) % n);
  if (mode == wmMirror) {
    const int64_t m = ((v - lo) % (2 * n) + 2 * n) % (2 * n);
    return int32_t(m < n ? lo + m : lo + 2 * n - 1 - m);
  }
  return std::clamp(v, lo, hi);
}

// Weights of offsets -W..W at Fraction = Ceil(P) - P: Round(Filter(K + Fraction) * 256), made to
// sum to 256 by the centre entry alone, whatever its sign becomes.
std::vector<int64_t> SampleWeights(const Kernel& k, int32_t W, float fraction) {
  std::vector<int64_t> w;
  int64_t sum = 0;
  for (int32_t K = -W; K <= W; ++K) {
    w.push_back(RoundEven(k.filter(double(float(K + double(fraction)))) * 256));
    sum += w.back();
  }
  w[size_t(W)] -= sum - 256;
  return w;
}

// One sample as stated: taps around (Ceil(X), Ceil(Y)), cut to the clip rectangle except when
// wrapping; alpha-weighted sums; the outer colour for cut taps only when safe and not clear.
TColor32 Sample(const TCustomBitmap32& b, const Kernel& k, TPixelAccessMode mode, float X,
                float Y) {
  const TRect& R = b.ClipRect();
  const TColor32 outer = b.OuterColor(), outside = mode == pamSafe ? outer : 0;
  const int32_t W = std::min(int32_t(std::ceil(k.width)), 16);
  const int32_t cx = int32_t(std::ceil(X)), cy = int32_t(std::ceil(Y));
  int32_t kLo = -W, kHi = W, lLo = -W, lHi = W;
  bool edge = false;
  if (mode != pamWrap) {
    if (cx < R.Left || cx > R.Right || cy < R.Top || cy > R.Bottom) return outside;
    auto cut = [&edge, W](int32_t& lo, int32_t& hi, int32_t c, int32_t min, int32_t max) {
      lo = std::max(-W, min - c);
      hi = std::min(W, max - c - 1);
      edge = edge || lo != -W || hi != W;
    };
    cut(kLo, kHi, cx, R.Left, R.Right);
    cut(lLo, lHi, cy, R.Top, R.Bottom);
  }
  const auto horz = SampleWeights(k, W, float(double(cx) - X));
  const auto vert = SampleWeights(k, W, float(double(cy) - Y));
  const bool outerTaps = mode == pamSafe && edge && (outer >> 24) != 0;
  int64_t sum[4] = {0, 0, 0, 0};  // blue, green, red, alpha
  for (int32_t L = -W; L <= W; ++L) {
    for (int32_t K = -W; K <= W; ++K) {
      const int64_t weight = horz[size_t(K + W)] * vert[size_t(L + W)];
      TColor32 c;
      if (mode == pamWrap)
        c = b.Pixel(Wrapped(b.WrapMode(), cx + K, R.Left, R.Right - 1),
                    Wrapped(b.WrapMode(), cy + L, R.Top, R.Bottom - 1));
      else if (K >= kLo && K <= kHi && L >= lLo && L <= lHi)
        c = b.Pixel(cx + K, cy + L);
      else if (outerTaps)
        c = outer;
      else
        continue;
      const uint32_t a = c >> 24;
      if (a == 0) continue;
      for (int s = 0; s < 3; ++s) {
        const uint32_t v = (c >> (8 * s)) & 0xFF;
        sum[s] += int64_t(a == 255 ? v : v * a / 255) * weight;
      }
      sum[3] += int64_t(a) * weight;
    }
  }
  auto shifted = [](int64_t v) { return (v + 32767) >> 16; };
  auto limited = [&k](int64_t v) -> uint32_t {
    if (!k.rangeCheck) return uint32_t(v) & 0xFF;
    return uint32_t(std::clamp<int64_t>(int16_t(uint16_t(uint64_t(v))), 0, 255));
  };
  const uint32_t a = limited(shifted(sum[3]));
  if (a == 0) return 0;
  TColor32 result = a << 24;
  for (int s = 0; s < 3; ++s) {
    int64_t v = shifted(sum[s]);
    if (k.rangeCheck) v = int16_t(uint16_t(uint64_t(v)));
    if (a != 255) v = v * 255 / a;
    result |= limited(v) << (8 * s);
  }
  return result;
}

TEST_P(KernelFamily, SamplesFollowTheWeightedTaps) {
  std::mt19937 random(20261208);
  static constexpr TPixelAccessMode modes[] = {pamSafe, pamTransparentEdge, pamWrap, pamUnsafe};
  int64_t samples = 0, exact = 0;
  for (int round = 0; round < 40; ++round) {
    Kernel k = GetParam().make(random);
    TCustomBitmap32 b;
    const int32_t w = Between(random, 1, 12), h = Between(random, 1, 12);
    FillRandom(b, w, h, random());
    for (int32_t i = 0; i < w * h; i += Between(random, 1, 4)) b.Bits()[i] &= 0x00FFFFFF;
    for (int32_t i = 0; i < w * h; i += Between(random, 1, 3)) b.Bits()[i] |= 0xFF000000;
    b.SetClipRect({Between(random, 0, w / 2), Between(random, 0, h / 2),
                   Between(random, w / 2 + 1, w), Between(random, h / 2 + 1, h)});
    b.SetOuterColor(round % 3 ? TColor32(random()) : 0);
    b.SetWrapMode(TWrapMode(Between(random, 0, 2)));
    const TPixelAccessMode mode = modes[round % 4];
    auto& r = TCustomResampler::Create<TKernelResampler>(b);
    r.SetKernel(std::move(k.engine));
    r.SetPixelAccessMode(mode);
    r.PrepareSampling();
    const TRect& R = b.ClipRect();
    const int32_t W = std::min(int32_t(std::ceil(k.width)), 16);
    for (int n = 0; n < 300; ++n) {
      float x = float(std::uniform_real_distribution<double>(R.Left - 3, R.Right + 3)(random));
      float y = float(std::uniform_real_distribution<double>(R.Top - 3, R.Bottom + 3)(random));
      if (n % 7 == 0) x = std::round(x);  // on a pixel
      // Without checks every tap must lie in the bitmap.
      if (mode == pamUnsafe && (std::ceil(x) - W < 0 || std::ceil(x) + W >= w ||
                                std::ceil(y) - W < 0 || std::ceil(y) + W >= h))
        continue;
      const TColor32 got = r.GetSampleFloat(x, y);
      const TColor32 want = Sample(b, k, mode == pamUnsafe ? pamSafe : mode, x, y);
      ++samples;
      exact += got == want;
      ASSERT_LE(ChannelDifference(got, want), 2)
          << GetParam().name << " round " << round << " mode " << int(mode) << " at " << x << ","
          << y << ": " << std::hex << got << " want " << want;
    }
    r.FinalizeSampling();
  }
  EXPECT_GE(double(exact), 0.995 * double(samples)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Kernels, KernelFamily, ::testing::ValuesIn(kernel_oracle::Families()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
