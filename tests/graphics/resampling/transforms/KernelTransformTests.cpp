// A kernel resampler drawn through a rotation and scale, every kernel mode against sampling
// computed here in double precision: positions, tap offsets, weights and the alpha weighting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "graphics/resampling/Kernels.h"
#include "graphics/resampling/Rasterizers.h"
#include "graphics/resampling/Resamplers.h"
#include "tests/graphics/resampling/Helpers.h"
#include "tests/graphics/resampling/transforms/TurnAndScale.h"

namespace {

using namespace gfx;
using namespace resampling_test;

// Keys' cubic convolution with A = -0.5.
double CatmullRom(double x) {
  const double a = std::fabs(x);
  if (a < 1) return 1.5 * a * a * a - 2.5 * a * a + 1;
  if (a < 2) return -0.5 * (a * a * a - 5 * a * a + 8 * a - 4);
  return 0;
}

struct Sample {
  double alpha, channel[3];  // channels blue, green, red
};

// The cubic sample at source position (U, V), pixels weighted by their alpha, limited to 0..255.
Sample OracleSample(const TCustomBitmap32& src, double u, double v) {
  double a = 0, premultiplied[3] = {0, 0, 0};
  for (int32_t j = int32_t(std::floor(v)) - 2; j <= int32_t(std::ceil(v)) + 2; ++j)
    for (int32_t i = int32_t(std::floor(u)) - 2; i <= int32_t(std::ceil(u)) + 2; ++i) {
      const double w = CatmullRom(i - u) * CatmullRom(j - v);
      if (w == 0) continue;
      const TColor32 c = src.Pixel(i, j);
      const double alpha = c >> 24;
      a += w * alpha;
      for (int k = 0; k < 3; ++k)
        premultiplied[k] += w * double((c >> (8 * k)) & 0xFF) * alpha / 255;
    }
  Sample s;
  s.alpha = std::clamp(a, 0.0, 255.0);
  for (int k = 0; k < 3; ++k)
    s.channel[k] = s.alpha <= 0 ? 0 : std::clamp(premultiplied[k] * 255 / s.alpha, 0.0, 255.0);
  return s;
}

struct ModeCase {
  TKernelMode mode;
  int32_t tableSize;
};

class KernelThroughTransform : public testing::TestWithParam<ModeCase> {};

// Pixels whose taps all lie inside the source are compared. The integer weights (1/256 steps)
// allow a few units; translucent pixels lose more, as their colour is divided back by an alpha
// that is an integer already. The mean error shows no systematic fault.
TEST_P(KernelThroughTransform, FollowsTheDoublePrecisionSampling) {
  for (const bool opaque : {true, false}) {
    TCustomBitmap32 src, dst;
    std::mt19937 random(opaque ? 41 : 42);
    Fill(src, 40, 30, [&](int32_t, int32_t) {
      const TColor32 c = random() & 0x00FFFFFF;
      return c | (opaque ? 0xFF000000u : (128 + random() % 128) << 24);
    });
    src.SetResamplerClassName("TKernelResampler");
    auto* resampler = dynamic_cast<TKernelResampler*>(src.Resampler());
    ASSERT_NE(resampler, nullptr);
    resampler->SetKernelClassName("TCubicKernel");
    resampler->SetKernelMode(GetParam().mode);
    resampler->SetTableSize(GetParam().tableSize);
    dst.SetSize(60, 50);
    const TurnAndScale turn;
    TAffineTransformation t;
    turn.Apply(t, src.BoundsRect());
    Transform(dst, src, t);

    int checked = 0;
    double errorSum = 0, worst = 0;
    for (int32_t y = 0; y < 50; ++y)
      for (int32_t x = 0; x < 60; ++x) {
        double u, v;
        turn.SourceOf(x, y, u, v);
        if (u < 2 || u > 36 || v < 2 || v > 26) continue;
        const Sample expected = OracleSample(src, u, v);
        const TColor32 got = dst.Pixel(x, y);
        double errors[4] = {std::fabs(double(got >> 24) - expected.alpha)};
        for (int k = 0; k < 3; ++k)
          errors[k + 1] = std::fabs(double((got >> (8 * k)) & 0xFF) - expected.channel[k]);
        for (double e : errors) {
          errorSum += e;
          worst = std::max(worst, e);
        }
        ASSERT_LE(*std::max_element(errors, errors + 4), opaque ? 4.0 : 6.0)
            << x << "," << y << " got " << std::hex << got;
        ++checked;
      }
    EXPECT_GT(checked, 800);
    EXPECT_LT(errorSum / (4 * checked), opaque ? 0.6 : 1.2) << "worst " << worst;
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, KernelThroughTransform,
                         testing::Values(ModeCase{kmDynamic, 32}, ModeCase{kmTableLinear, 32},
                                         ModeCase{kmTableNearest, 2048}));

}  // namespace
