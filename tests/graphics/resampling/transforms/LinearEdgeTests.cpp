// The linear resampler drawn through random turns and scales, on every processor tier, against
// sampling computed here in double precision: the picture covers its pixels up to their outer
// edges, so the edge pixels reach half a pixel beyond the outer pixel centres, and only past that
// lies the outer colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "graphics/resampling/Rasterizers.h"
#include "graphics/resampling/Resamplers.h"
#include "tests/graphics/resampling/Helpers.h"
#include "tests/graphics/resampling/transforms/TurnAndScale.h"

namespace {

using namespace gfx;
using namespace resampling_test;

constexpr int32_t Side = 120;
constexpr TColor32 Untouched = 0x12345678;
// How far the fixed-point mapping may put a sample from its exact place, in source pixels.
constexpr double Slack = 0.01;

// Weights of the sub-pixel read: gamma 0.7 over 256 steps of a pixel.
double GammaWeight(double fraction) {
  const int index = 255 - std::min(255, int(std::floor(fraction * 256)));
  return std::round(255 * std::pow(index / 255.0, 0.7));
}

// The colour at source position (U, V) (pixel centres at whole numbers) of an opaque picture,
// or nothing outside the clip rectangle's pixels.
bool ModelSample(const TCustomBitmap32& src, const TRect& clip, double u, double v,
                 std::array<double, 3>& out) {
  if (u < clip.Left - 0.5 || u >= clip.Right - 0.5 || v < clip.Top - 0.5 || v >= clip.Bottom - 0.5)
    return false;
  u = std::clamp(u, double(clip.Left), double(clip.Right - 1));
  v = std::clamp(v, double(clip.Top), double(clip.Bottom - 1));
  const int32_t x0 = int32_t(std::floor(u)), y0 = int32_t(std::floor(v));
  const int32_t x1 = std::min(x0 + 1, clip.Right - 1), y1 = std::min(y0 + 1, clip.Bottom - 1);
  const double wx = GammaWeight(u - x0) / 255, wy = GammaWeight(v - y0) / 255;
  for (int k = 0; k < 3; ++k) {
    auto channel = [&](int32_t x, int32_t y) {
      return double((src.Pixel(x, y) >> (8 * k)) & 0xFF);
    };
    const double top = channel(x0, y0) * wx + channel(x1, y0) * (1 - wx);
    const double bottom = channel(x0, y1) * wx + channel(x1, y1) * (1 - wx);
    out[size_t(k)] = top * wy + bottom * (1 - wy);
  }
  return true;
}

// What a destination pixel may hold: the outer colour, a colour in [low, high] per channel, or
// both when its position lies on the edge within the mapping's slack.
struct Expected {
  bool untouched = false, outer = false, inside = false;
  std::array<double, 3> low{}, high{};
};

struct Scene {
  TCustomBitmap32 src;
  TRect clip{};
  TurnAndScale turn;
};

void MakeScene(Scene& s, int index, std::mt19937& random) {
  auto real = [&](double lo, double hi) {
    return lo + (hi - lo) * double(random()) / double(std::mt19937::max());
  };
  int32_t w = 1 + int32_t(random() % 12), h = 1 + int32_t(random() % 12);
  // The pictures the edges matter most for: single pixels, lines and tiny squares, enlarged.
  const int32_t fixed[][2] = {{1, 1}, {2, 2}, {1, 60}, {60, 1}, {2, 1}};
  if (index < 5) w = fixed[index][0], h = fixed[index][1];
  FillRandom(s.src, w, h, unsigned(1000 + index), true);
  s.src.SetResamplerClassName("TLinearResampler");
  s.src.SetOuterColor(TColor32(random()));
  s.clip = s.src.BoundsRect();
  if (index >= 5 && index % 3 == 0 && w > 2 && h > 2) {
    s.clip = {1, int32_t(random() % 2), w - int32_t(random() % 2), h - 1};
    s.src.SetClipRect(s.clip);
  }
  const double largest = std::max(w, h);
  s.turn.scale = std::exp(real(std::log(0.4), std::log(100 / largest)));
  s.turn.angle = index % 4 == 1 ? 0 : index % 4 == 2 ? 90 * double(random() % 4) : real(-180, 180);
  if (index < 3) s.turn = {index == 2 ? 30.0 : 0.0, index == 2 ? 1.0 : 50.0, 0, 0, 0, 0};
  s.turn.cx = w / 2.0;
  s.turn.cy = h / 2.0;
  s.turn.tx = Side / 2.0 + real(-3, 3);
  s.turn.ty = Side / 2.0 + real(-3, 3);
}

std::vector<Expected> Model(const Scene& s, const TFloatRect& bounds) {
  std::vector<Expected> out(size_t(Side * Side));
  const double offsets[] = {-Slack, 0, Slack};
  for (int32_t y = 0; y < Side; ++y)
    for (int32_t x = 0; x < Side; ++x) {
      Expected& e = out[size_t(y * Side + x)];
      if (x < std::floor(bounds.Left) || x >= std::ceil(bounds.Right) ||
          y < std::floor(bounds.Top) || y >= std::ceil(bounds.Bottom)) {
        e.untouched = true;
        continue;
      }
      double u, v;
      s.turn.SourceOf(x, y, u, v);
      e.low.fill(256);
      e.high.fill(-1);
      // The value is monotonic between pixel centres, so the corners of the slack and a centre
      // inside it bound it.
      std::vector<std::array<double, 2>> points;
      for (double du : offsets)
        for (double dv : offsets) points.push_back({u + du, v + dv});
      const double cu = std::round(u), cv = std::round(v);
      points.push_back({std::fabs(cu - u) <= Slack ? cu : u, std::fabs(cv - v) <= Slack ? cv : v});
      for (const auto& p : points) {
        std::array<double, 3> c;
        if (!ModelSample(s.src, s.clip, p[0], p[1], c)) {
          e.outer = true;
          continue;
        }
        e.inside = true;
        for (size_t k = 0; k < 3; ++k) {
          e.low[k] = std::min(e.low[k], c[k]);
          e.high[k] = std::max(e.high[k], c[k]);
        }
      }
    }
  return out;
}

bool Matches(const Expected& e, TColor32 got, TColor32 outer) {
  if (e.untouched) return got == Untouched;
  if (e.outer && got == outer) return true;
  if (!e.inside || got >> 24 != 0xFF) return false;
  for (size_t k = 0; k < 3; ++k) {
    const double c = double((got >> (8 * k)) & 0xFF);
    if (c < e.low[k] - 2 || c > e.high[k] + 2) return false;
  }
  return true;
}

TEST(LinearThroughTransform, EdgePixelsReachTheEdgeOfThePictureOnEveryTier) {
  std::mt19937 random(77);
  int64_t insideChecked = 0;
  for (int index = 0; index < 160; ++index) {
    Scene s;
    MakeScene(s, index, random);
    TAffineTransformation t;
    s.turn.Apply(t, s.src.BoundsRect());
    const std::vector<Expected> expected = Model(s, t.GetTransformedBounds(FloatRect(s.clip)));
    for (const Expected& e : expected) insideChecked += e.inside && !e.outer;
    for (TImplementationTier tier : Tiers()) {
      TierScope scope(tier);
      TCustomBitmap32 dst;
      dst.SetSize(Side, Side);
      dst.ClearWithColor(Untouched);
      Transform(dst, s.src, t);
      for (int32_t y = 0; y < Side; ++y)
        for (int32_t x = 0; x < Side; ++x)
          ASSERT_TRUE(Matches(expected[size_t(y * Side + x)], dst.Pixel(x, y), s.src.OuterColor()))
              << "scene " << index << " (" << s.src.Width() << "x" << s.src.Height() << ", angle "
              << s.turn.angle << ", scale " << s.turn.scale << "), tier " << int(tier) << ", pixel "
              << x << "," << y << ": " << std::hex << dst.Pixel(x, y);
    }
  }
  EXPECT_GT(insideChecked, 100000);
}

}  // namespace
