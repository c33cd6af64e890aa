// Samplers against models of their definitions: the default conversions between the integer,
// 16.16 and float forms, the transformer's pixel centres through the reverse mapping, and the
// sample bounds by access mode, over random transformations and extreme positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "graphics/resampling/Resamplers.h"
#include "tests/graphics/resampling/Helpers.h"

namespace {

using namespace gfx;

// Remembers where it was asked, in the one form it implements.
class FixedRecorder : public TCustomSampler {
 public:
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override {
    x = X, y = Y;
    return TColor32(X ^ Y);
  }
  TFixed x = 0, y = 0;
};

class FloatRecorder : public TCustomSampler {
 public:
  TColor32 GetSampleFloat(float X, float Y) override {
    x = X, y = Y;
    return 7;
  }
  float x = 0, y = 0;
};

int32_t AnyCoordinate(std::mt19937& random) {
  static const int32_t edges[] = {0, -1, 32767, -32768, 32768, 40000, INT32_MAX, INT32_MIN};
  return random() % 5 == 0 ? edges[random() % std::size(edges)] : int32_t(random() % 4001) - 2000;
}

// The 32-bit sum X * 65536 + Offset, as the fixed-point forms wrap it.
double Wrapped32(int64_t v) {
  return double(int32_t(uint32_t(uint64_t(v))));
}

// Nearest integer, half to even, held at the ends of the 32-bit range.
double Held(double v) {
  return std::clamp(std::nearbyint(v), -2147483648.0, 2147483647.0);
}

TEST(SamplerModel, DefaultFormsConvertAsDocumented) {
  std::mt19937 random(142);
  for (int i = 0; i < 20000; ++i) {
    const int32_t X = AnyCoordinate(random), Y = int32_t(random());
    FixedRecorder fixed;
    fixed.GetSampleInt(X, Y);
    ASSERT_EQ(fixed.x, int32_t(Wrapped32(int64_t(X) * 65536)));
    ASSERT_EQ(fixed.y, int32_t(Wrapped32(int64_t(Y) * 65536)));
    const float fx =
        float((double(random()) / 4294967296.0 - 0.5) * std::ldexp(1.0, random() % 40));
    fixed.GetSampleFloat(fx, -fx);
    ASSERT_EQ(fixed.x, Held(double(fx) * 65536)) << fx;
    ASSERT_EQ(fixed.y, Held(-double(fx) * 65536)) << fx;
    FloatRecorder floats;
    floats.GetSampleFixed(X, Y);
    ASSERT_EQ(floats.x, float(X / 65536.0));
    ASSERT_EQ(floats.y, float(Y / 65536.0));
    EXPECT_FALSE(floats.HasBounds());
    EXPECT_TRUE(std::isinf(floats.GetSampleBounds().Left));
  }
}

// The pixel centre (I + 1/2, J + 1/2) goes through the reverse mapping in 16.16 with 32767 for the
// half, and comes back by the same amount; positions given in 16.16 or floats likewise.
TEST(SamplerModel, TheTransformerSamplesAtReverseMappedCentres) {
  std::mt19937 random(1420);
  std::uniform_real_distribution<double> unit(-1, 1);
  int compared = 0;
  for (int round = 0; round < 300; ++round) {
    TAffineTransformation t;
    const double angle = unit(random) * 180, sx = 0.2 + std::abs(unit(random)) * 3,
                 sy = random() % 2 ? sx : 0.2 + std::abs(unit(random)) * 3;
    const double dx = unit(random) * 400, dy = unit(random) * 400;
    t.Rotate(0, 0, float(angle));
    t.Scale(float(sx), float(sy));
    t.Translate(float(dx), float(dy));
    // The reverse mapping in double: undo the move, the scaling and the turn.
    const double a = double(float(float(angle) * M_PI / 180)), c = std::cos(a), s = std::sin(a);
    const auto reverse = [&](double x, double y, double& u, double& v) {
      const double px = (x - double(float(dx))) / double(float(sx)),
                   py = (y - double(float(dy))) / double(float(sy));
      u = px * c - py * s;  // the turn maps (x, y) to (x c + y s, -x s + y c)
      v = px * s + py * c;
    };
    FixedRecorder fixed;
    FloatRecorder floats;
    TTransformer onFixed(&fixed, &t), onFloat(&floats, &t);
    onFixed.PrepareSampling();
    onFloat.PrepareSampling();
    const int32_t rowY = AnyCoordinate(random);
    // Rows that cross the ends of the 16.16 range as well.
    const int32_t rowStart = std::array<int32_t, 3>{-25, -32790, 32740}[random() % 3];
    for (int k = 0; k < 100; ++k) {
      // Half of the pixels walk along a row, which the transformer steps.
      const int32_t I = k < 50 ? rowStart + k : AnyCoordinate(random);
      const int32_t J = k < 50 ? rowY : AnyCoordinate(random);
      onFixed.GetSampleInt(I, J);
      double u, v;
      reverse(Wrapped32(int64_t(I) * 65536 + 32767) / 65536,
              Wrapped32(int64_t(J) * 65536 + 32767) / 65536, u, v);
      if (std::max(std::abs(u), std::abs(v)) > 30000) continue;  // beyond 16.16
      // Entries rounded to 1/65536 give up to |x| + |y| + 1 units; the single-precision inverse
      // a millionth of the sizes met (a hundredth of a pixel at most here).
      const double single = 65536e-6 * (std::abs(u) + std::abs(v) + 3000);
      const double tol = (std::abs(double(I)) + std::abs(double(J)) + 4) * 1.07 + single;
      ASSERT_NEAR(fixed.x, u * 65536 - 32767, tol) << I << "," << J;
      ASSERT_NEAR(fixed.y, v * 65536 - 32767, tol) << I << "," << J;
      const TFixed X = TFixed(random()) >> (random() % 32), Y = TFixed(random()) >> 14;
      onFixed.GetSampleFixed(X, Y);
      reverse(Wrapped32(int64_t(X) + 32767) / 65536, Wrapped32(int64_t(Y) + 32767) / 65536, u, v);
      if (std::max(std::abs(u), std::abs(v)) > 30000) continue;
      const double fixedTol = (std::abs(double(X)) + std::abs(double(Y))) / 65536.0 * 1.07 + 4 +
                              65536e-6 * (std::abs(u) + std::abs(v) + 3000);
      ASSERT_NEAR(fixed.x, u * 65536 - 32767, fixedTol);
      ASSERT_NEAR(fixed.y, v * 65536 - 32767, fixedTol);
      const float fx = float(unit(random) * 3000), fy = float(unit(random) * 3000);
      onFloat.GetSampleFloat(fx, fy);
      reverse(double(fx + 0.5f), double(fy + 0.5f), u, v);
      ASSERT_NEAR(floats.x, u - 0.5, 1e-5 * (std::abs(u) + 3000));
      ASSERT_NEAR(floats.y, v - 0.5, 1e-5 * (std::abs(v) + 3000));
      ++compared;
    }
    onFixed.FinalizeSampling();
    onFloat.FinalizeSampling();
  }
  EXPECT_GT(compared, 10000);
}

// A resampler's bounds are its bitmap's clip rectangle (a pixel wider with a transparent edge),
// the transformer's the transformed part of them inside the transformation's source rectangle;
// a wrapping resampler has none.
TEST(SamplerModel, BoundsFollowTheAccessModeAndTheSourceRectangle) {
  std::mt19937 random(1421);
  std::uniform_real_distribution<double> unit(-1, 1);
  for (int round = 0; round < 2000; ++round) {
    TCustomBitmap32 b;
    b.SetSize(int32_t(random() % 40), int32_t(random() % 40));
    const TRect clip{int32_t(random() % 50) - 5, int32_t(random() % 50) - 5,
                     int32_t(random() % 50) - 5, int32_t(random() % 50) - 5};
    b.SetClipRect(clip);
    b.SetResamplerClassName(random() % 2 ? "TNearestResampler" : "TLinearResampler");
    const auto mode = TPixelAccessMode(random() % 4);
    b.Resampler()->SetPixelAccessMode(mode);
    const TRect kept = b.ClipRect();
    double edge = mode == pamTransparentEdge ? 1 : 0;
    const double bounds[4] = {kept.Left - edge, kept.Top - edge, kept.Right + edge,
                              kept.Bottom + edge};
    ASSERT_EQ(b.Resampler()->HasBounds(), mode != pamWrap);
    const TFloatRect own = b.Resampler()->GetSampleBounds();
    ASSERT_EQ(own,
              (TFloatRect{float(bounds[0]), float(bounds[1]), float(bounds[2]), float(bounds[3])}));

    TAffineTransformation t;
    const TFloatRect src{float(unit(random) * 30), float(unit(random) * 30),
                         float(unit(random) * 60), float(unit(random) * 60)};
    t.SetSrcRect(src);
    const float angle = float(unit(random) * 180), scale = float(0.5 + std::abs(unit(random)));
    t.Rotate(10, 5, angle);
    t.Scale(scale, scale);
    TTransformer transformer(b.Resampler(), &t);
    ASSERT_EQ(transformer.HasBounds(), mode != pamWrap);
    // The common part, or nothing (all sides 0) where the two do not meet.
    double common[4] = {std::max(bounds[0], double(src.Left)), std::max(bounds[1], double(src.Top)),
                        std::min(bounds[2], double(src.Right)),
                        std::min(bounds[3], double(src.Bottom))};
    if (common[2] < common[0] || common[3] < common[1]) std::fill(common, common + 4, 0.0);
    double lo[2] = {1e30, 1e30}, hi[2] = {-1e30, -1e30};
    for (double x : {common[0], common[2]})
      for (double y : {common[1], common[3]}) {
        float px, py;
        t.TransformFloat(float(x), float(y), px, py);
        lo[0] = std::min(lo[0], double(px)), hi[0] = std::max(hi[0], double(px));
        lo[1] = std::min(lo[1], double(py)), hi[1] = std::max(hi[1], double(py));
      }
    const TFloatRect seen = transformer.GetSampleBounds();
    ASSERT_NEAR(seen.Left, lo[0], 1e-4) << round;
    ASSERT_NEAR(seen.Top, lo[1], 1e-4) << round;
    ASSERT_NEAR(seen.Right, hi[0], 1e-4) << round;
    ASSERT_NEAR(seen.Bottom, hi[1], 1e-4) << round;
  }
  TAffineTransformation t;
  TTransformer orphan(nullptr, &t);
  EXPECT_THROW(orphan.PrepareSampling(), ENestedException);
  EXPECT_THROW(orphan.FinalizeSampling(), ENestedException);
  EXPECT_THROW(orphan.HasBounds(), ENestedException);
  EXPECT_THROW(orphan.GetSampleBounds(), ENestedException);
}

}  // namespace
