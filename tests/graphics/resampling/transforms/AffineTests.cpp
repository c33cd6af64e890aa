// The affine transformation against double-precision matrices built here from sines and cosines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "graphics/resampling/Transforms.h"

namespace {

using namespace gfx;

// Row-vector matrices in double: x' = x*m[0][0] + y*m[1][0] + m[2][0].
using D3 = std::array<std::array<double, 3>, 3>;

D3 Multiply(const D3& first, const D3& then) {
  D3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) r[i][j] += first[i][k] * then[k][j];
  return r;
}
D3 Translation(double dx, double dy) {
  return {{{1, 0, 0}, {0, 1, 0}, {dx, dy, 1}}};
}
D3 Rotation(double degrees) {
  const double a = degrees * std::numbers::pi / 180, s = std::sin(a), c = std::cos(a);
  return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}
D3 Scaling(double sx, double sy) {
  return {{{sx, 0, 0}, {0, sy, 0}, {0, 0, 1}}};
}
D3 Identity() {
  return Scaling(1, 1);
}

TEST(AffineTransformation, ComposesLikeDoubleMatrices) {
  TAffineTransformation t;
  t.Translate(-50, -20);
  t.Rotate(0, 0, 33);
  t.Scale(1.5f, 0.75f);
  t.Rotate(12, -7, -71);
  t.Translate(3, 4);
  D3 m = Translation(-50, -20);
  m = Multiply(m, Rotation(33));
  m = Multiply(m, Scaling(1.5, 0.75));
  m = Multiply(m, Translation(-12, 7));
  m = Multiply(m, Rotation(-71));
  m = Multiply(m, Translation(12, -7));
  m = Multiply(m, Translation(3, 4));
  for (float x : {-40.0f, 0.0f, 13.5f, 200.0f})
    for (float y : {-9.0f, 0.0f, 77.25f}) {
      const TFloatPoint p = t.Transform(TFloatPoint{x, y});
      EXPECT_NEAR(p.X, x * m[0][0] + y * m[1][0] + m[2][0], 1e-3);
      EXPECT_NEAR(p.Y, x * m[0][1] + y * m[1][1] + m[2][1], 1e-3);
      // The reverse mapping undoes it, in float and in fixed point.
      const TFloatPoint back = t.ReverseTransform(p);
      EXPECT_NEAR(back.X, x, 2e-3);
      EXPECT_NEAR(back.Y, y, 2e-3);
      const TFixedPoint fixed = t.Transform(TFixedPoint{Fixed(double(x)), Fixed(double(y))});
      EXPECT_NEAR(fixed.X / 65536.0, p.X, 4e-3);
      EXPECT_NEAR(fixed.Y / 65536.0, p.Y, 4e-3);
    }
}

TEST(AffineTransformation, QuarterTurnKeepsTheSingleCosine) {
  TAffineTransformation t;
  t.Rotate(0, 0, 90);
  const float c = float(std::cos(double(float(std::numbers::pi / 2))));
  EXPECT_NE(c, 0.0f);
  const TFloatPoint p = t.Transform(TFloatPoint{1, 0});
  EXPECT_EQ(p.X, c);
  EXPECT_EQ(p.Y, -1.0f);
  const TFloatPoint q = t.Transform(TFloatPoint{0, 1});
  EXPECT_EQ(q.X, 1.0f);
  EXPECT_EQ(q.Y, c);
}

TEST(AffineTransformation, RotationCentreAddsBothTranslations) {
  TAffineTransformation a, b;
  a.Rotate(5, 0, 30);
  b.Translate(-5, 0);
  b.Rotate(0, 0, 30);
  b.Translate(5, 0);
  EXPECT_EQ(a.Matrix, b.Matrix);
  TAffineTransformation still;
  still.Rotate(0, 0, 0);
  EXPECT_EQ(still.Matrix, IdentityMatrix);
}

TEST(AffineTransformation, BoundsOfARotatedRectangle) {
  TAffineTransformation t;
  t.Rotate(50, 25, 90);
  const TFloatRect r = t.GetTransformedBounds({0, 0, 100, 50});
  EXPECT_NEAR(r.Left, 25, 1e-4);
  EXPECT_NEAR(r.Top, -25, 1e-4);
  EXPECT_NEAR(r.Right, 75, 1e-4);
  EXPECT_NEAR(r.Bottom, 75, 1e-4);
}

TEST(AffineTransformation, SingularMatricesReverseAsTheIdentity) {
  TAffineTransformation t;
  t.Scale(0, 0);
  const TFloatPoint p = t.ReverseTransform(TFloatPoint{12.5f, -3});
  EXPECT_EQ(p.X, 12.5f);
  EXPECT_EQ(p.Y, -3.0f);
  const TPoint q = t.ReverseTransform(TPoint{7, 9});
  EXPECT_EQ(q.X, 7);
  EXPECT_EQ(q.Y, 9);
  // Collapsed onto a line and then turned, the matrix keeps a determinant of rounding: singular.
  TAffineTransformation line;
  line.Rotate(0, 0, 30);
  line.Scale(0, 1);
  line.Rotate(150, 60, 50);
  line.Scale(100, 100);
  ASSERT_GT(std::abs(Determinant(line.Matrix)), 1e-5f);
  const TFloatPoint r = line.ReverseTransform(TFloatPoint{12.5f, -3});
  EXPECT_EQ(r.X, 12.5f);
  EXPECT_EQ(r.Y, -3.0f);
}

// Stretched by 1000 along one diagonal and squeezed by 1E-4 along the other: large entries and a
// determinant of about 0.1 that is still the picture's own, not rounding's.
TEST(AffineTransformation, ThinInvertibleMatricesAreInverted) {
  TAffineTransformation t;
  t.Rotate(0, 0, 45);
  t.Scale(1000, 0.0001f);
  t.Rotate(0, 0, -45);
  const TFloatPoint p{3, -2};
  const TFloatPoint there = t.Transform(p);
  const TFloatPoint back = t.ReverseTransform(there);
  EXPECT_NEAR(back.X, p.X, 0.5);
  EXPECT_NEAR(back.Y, p.Y, 0.5);
}

TEST(AffineTransformation, PointFormsPrepareAndXYFormsDoNot) {
  TAffineTransformation t;
  t.Translate(10, 0);
  EXPECT_FALSE(t.TransformValid());
  TFixed x, y;
  t.ReverseTransformFixed(0, 0, x, y);
  EXPECT_EQ(x, 0);  // the unprepared inverse is still empty
  EXPECT_FALSE(t.TransformValid());
  EXPECT_EQ(t.ReverseTransform(TPoint{0, 0}).X, -10);
  EXPECT_TRUE(t.TransformValid());
  t.Matrix[2][0] = 20;
  EXPECT_TRUE(t.TransformValid());
  t.Changed();
  EXPECT_FALSE(t.TransformValid());
  EXPECT_EQ(t.ReverseTransform(TPoint{0, 0}).X, -20);
}

TEST(AffineTransformation, MatrixToolkit) {
  TFloatMatrix m{{{2, 1, 0}, {-1, 3, 0}, {4, 5, 1}}};
  EXPECT_FLOAT_EQ(Determinant(m), 7);
  TFloatMatrix inverse = m;
  Invert(inverse);
  const TFloatMatrix product = Mult(m, inverse);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(product[i][j], i == j ? 1 : 0, 1e-5);
  const TFixedMatrix f =
      ToFixedMatrix({{{0.5f, 1.0f / 131072, 3.0f / 131072}, {-1, 0, 0}, {1e9f, -1e9f, 0}}});
  EXPECT_EQ(f[0][0], 32768);
  EXPECT_EQ(f[0][1], 0);  // half to even
  EXPECT_EQ(f[0][2], 2);
  EXPECT_EQ(f[1][0], -65536);
  EXPECT_EQ(f[2][0], INT64_C(65536000000000));  // exact beyond 16.16
  EXPECT_EQ(f[2][1], INT64_C(-65536000000000));
  const TFixedMatrix held = ToFixedMatrix({{{1e30f, -1e30f, NAN}, {0, 0, 0}, {0, 0, 0}}});
  EXPECT_EQ(held[0][0], INT64_MAX);
  EXPECT_EQ(held[0][1], INT64_MIN);
  EXPECT_EQ(held[0][2], 0);
}

// Far translations and large factors: the 16.16 and integer forms give what the float form gives
// wherever the mapped point fits in 16.16, however far the entries reach beyond it.
TEST(AffineTransformation, FixedFormsFollowTheFloatFormWhereverTheResultFits) {
  TAffineTransformation t;
  t.Scale(10, 10);
  t.Translate(-39000, 0);
  EXPECT_EQ(t.Transform(TPoint{4000, 0}).X, 1000);
  TAffineTransformation shrink;
  shrink.ScaleUniform(0.03f);
  shrink.Translate(1000, 100);
  EXPECT_EQ(shrink.ReverseTransform(TPoint{1030, 120}).X, 1000);
  EXPECT_EQ(shrink.ReverseTransform(TPoint{1030, 120}).Y, 667);

  std::mt19937 random(1401);
  std::uniform_real_distribution<double> unit(-1, 1);
  int compared = 0;
  for (int round = 0; round < 20000; ++round) {
    TAffineTransformation a;
    const auto factor = [&] { return float(unit(random) * std::pow(10.0, random() % 6)); };
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j) a.Matrix[i][j] = factor();
    a.Matrix[2][0] = float(unit(random) * 2e6);
    a.Matrix[2][1] = float(unit(random) * 2e6);
    a.Changed();
    // A point whose image lands inside 16.16 (when the factors allow it).
    const double tx = unit(random) * 30000, ty = unit(random) * 30000;
    const double m00 = a.Matrix[0][0], m10 = a.Matrix[1][0], m01 = a.Matrix[0][1],
                 m11 = a.Matrix[1][1], det = m00 * m11 - m10 * m01;
    if (std::abs(det) < 1e-3) continue;
    const double bx = tx - a.Matrix[2][0], by = ty - a.Matrix[2][1];
    const TFixedPoint p{Fixed(float((bx * m11 - by * m10) / det)),
                        Fixed(float((by * m00 - bx * m01) / det))};
    const double x = p.X / 65536.0, y = p.Y / 65536.0;
    const double ex = x * m00 + y * m10 + a.Matrix[2][0], ey = x * m01 + y * m11 + a.Matrix[2][1];
    if (std::abs(ex) > 32000 || std::abs(ey) > 32000) continue;
    ++compared;
    // Each entry is rounded to 1/65536 and each product floored: |x| + |y| halves and 3 units.
    const double tol = ((std::abs(x) + std::abs(y)) / 2 + 3) / 65536;
    const TFixedPoint q = a.Transform(p);
    ASSERT_NEAR(q.X / 65536.0, ex, tol) << round;
    ASSERT_NEAR(q.Y / 65536.0, ey, tol) << round;
    // And back through the inverse, whose translation reaches as far.
    const TFloatMatrix& inv = a.InverseMatrix();
    const double qx = q.X / 65536.0, qy = q.Y / 65536.0;
    const double ux = qx * inv[0][0] + qy * inv[1][0] + inv[2][0];
    const double uy = qx * inv[0][1] + qy * inv[1][1] + inv[2][1];
    if (std::abs(ux) > 32000 || std::abs(uy) > 32000) continue;
    const TFixedPoint back = a.ReverseTransform(q);
    const double backTol = ((std::abs(qx) + std::abs(qy)) / 2 + 3) / 65536;
    ASSERT_NEAR(back.X / 65536.0, ux, backTol) << round;
    ASSERT_NEAR(back.Y / 65536.0, uy, backTol) << round;
  }
  EXPECT_GT(compared, 10000);
}

D3 Inverse(const D3& m, double& det) {
  det = m[0][0] * (m[1][1] * m[2][2] - m[2][1] * m[1][2]) -
        m[1][0] * (m[0][1] * m[2][2] - m[2][1] * m[0][2]) +
        m[2][0] * (m[0][1] * m[1][2] - m[1][1] * m[0][2]);
  D3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      // Cofactor of (j, i), for the adjugate.
      const int r0 = j == 0 ? 1 : 0, r1 = j == 2 ? 1 : 2, c0 = i == 0 ? 1 : 0, c1 = i == 2 ? 1 : 2;
      const double minor = m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0];
      r[i][j] = ((i + j) % 2 ? -minor : minor) / det;
    }
  return r;
}

// Random chains of translations, scalings (zero and negative ones too) and rotations about random
// centres against double-precision matrices: the matrix, both float mappings, both fixed-point
// mappings of the prepared copies, the integer forms and the transformed bounds. A second pass of
// huge, infinite and undefined values only has to stay defined.
TEST(AffineTransformation, RandomChainsFollowTheDoubleModel) {
  std::mt19937 random(140);
  std::uniform_real_distribution<double> unit(-1, 1);
  int inverted = 0, singular = 0;
  for (int round = 0; round < 3000; ++round) {
    TAffineTransformation t;
    D3 m = Identity();
    double size = 1;  // the largest entry met along the chain, for the tolerances
    const int steps = int(random() % 6) + 1;
    for (int k = 0; k < steps; ++k) {
      switch (random() % 4) {
        case 0: {
          const float dx = float(unit(random) * 1e4), dy = float(unit(random) * 1e4);
          t.Translate(dx, dy);
          m = Multiply(m, Translation(dx, dy));
          break;
        }
        case 1: {
          const auto factor = [&] {
            return random() % 10 == 0 ? 0.0f : float(unit(random) * (random() % 2 ? 20 : 1.5));
          };
          const float sx = factor(), sy = random() % 3 == 0 ? sx : factor();
          t.Scale(sx, sy);
          m = Multiply(m, Scaling(sx, sy));
          break;
        }
        default: {
          const float cx = random() % 3 == 0 ? 0.0f : float(unit(random) * 500);
          const float cy = random() % 3 == 0 ? 0.0f : float(unit(random) * 500);
          const float angle = float(unit(random) * 720);
          t.Rotate(cx, cy, angle);
          m = Multiply(m, Translation(-cx, -cy));
          m = Multiply(
              m, Rotation(double(float(angle * std::numbers::pi / 180)) * 180 / std::numbers::pi));
          m = Multiply(m, Translation(cx, cy));
          size = std::max({size, std::abs(double(cx)), std::abs(double(cy))});
        }
      }
      for (const auto& row : m)
        for (double v : row) size = std::max(size, std::abs(v));
    }
    const double tol = 1e-6 * steps * size;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) ASSERT_NEAR(t.Matrix[i][j], m[i][j], tol) << round;

    const float x = float(unit(random) * 300), y = float(unit(random) * 300);
    float fx, fy;
    t.TransformFloat(x, y, fx, fy);
    const double ex = x * m[0][0] + y * m[1][0] + m[2][0], ey = x * m[0][1] + y * m[1][1] + m[2][1];
    const double pointTol = tol * (std::abs(x) + std::abs(y) + 1) + 1e-6 * (std::abs(ex) + 1);
    ASSERT_NEAR(fx, ex, pointTol);
    ASSERT_NEAR(fy, ey, pointTol);
    const TFloatRect source{-x, -y, x + 5, y + 5};
    const TFloatRect box = t.GetTransformedBounds(source);
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    for (double cx : {source.Left, source.Right})
      for (double cy : {source.Top, source.Bottom})
        for (int a = 0; a < 2; ++a) {
          const double v = cx * m[0][a] + cy * m[1][a] + m[2][a];
          lo[a] = std::min(lo[a], v);
          hi[a] = std::max(hi[a], v);
        }
    const double boxTol = tol * 2 * (std::abs(x) + std::abs(y) + 6) + 1e-6 * size;
    ASSERT_NEAR(box.Left, lo[0], boxTol);
    ASSERT_NEAR(box.Top, lo[1], boxTol);
    ASSERT_NEAR(box.Right, hi[0], boxTol);
    ASSERT_NEAR(box.Bottom, hi[1], boxTol);

    // The reverse mapping: the inverse, or the identity for a singular matrix, whose determinant
    // is below 1E-5 or what rounding leaves of it: 2^-23 of its products.
    double det = 0, products = 0;
    D3 inverse = Inverse(m, det);
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b)
        if (b != a) products += std::abs(m[0][a] * m[1][b] * m[2][3 - a - b]);
    if (std::abs(det) < 0.5e-5 || std::abs(det) < 0x1p-24 * products) {
      inverse = Identity();
      ++singular;
    } else if (std::abs(det) < 2e-5 || std::abs(det) < 1e-4 * products) {
      continue;  // near the threshold, or too ill-conditioned for single precision
    } else {
      ++inverted;
    }
    double inverseSize = 1;
    for (const auto& row : inverse)
      for (double v : row) inverseSize = std::max(inverseSize, std::abs(v));
    const TPoint p{int32_t(random() % 2001) - 1000, int32_t(random() % 2001) - 1000};
    const double ux = p.X * inverse[0][0] + p.Y * inverse[1][0] + inverse[2][0];
    const double uy = p.X * inverse[0][1] + p.Y * inverse[1][1] + inverse[2][1];
    const double reverseTol =
        1e-5 * steps * size * inverseSize * inverseSize * (std::abs(p.X) + std::abs(p.Y) + size);
    const TFloatPoint back = t.ReverseTransform(TFloatPoint{float(p.X), float(p.Y)});
    ASSERT_NEAR(back.X, ux, reverseTol + 1e-6 * std::abs(ux)) << round;
    ASSERT_NEAR(back.Y, uy, reverseTol + 1e-6 * std::abs(uy)) << round;
    if (std::max({std::abs(ux), std::abs(uy), std::abs(ex), std::abs(ey), size, inverseSize}) >
        30000)
      continue;  // beyond 16.16
    // 16.16 forms: entries rounded to 1/65536 each, so |X| + |Y| + 1 units more.
    const TFixedPoint fixedBack = t.ReverseTransform(TFixedPoint{p.X << 16, p.Y << 16});
    const double fixedTol = (std::abs(p.X) + std::abs(p.Y) + 2) / 65536.0 + reverseTol;
    ASSERT_NEAR(fixedBack.X / 65536.0, ux, fixedTol) << round;
    ASSERT_NEAR(fixedBack.Y / 65536.0, uy, fixedTol) << round;
    const TPoint intBack = t.ReverseTransform(p);
    ASSERT_NEAR(intBack.X, std::floor(ux + 0.5), 1.0 + fixedTol) << round;
    ASSERT_NEAR(intBack.Y, std::floor(uy + 0.5), 1.0 + fixedTol) << round;
    const TFixedPoint fixedAhead = t.Transform(TFixedPoint{Fixed(double(x)), Fixed(double(y))});
    const double aheadTol = (std::abs(x) + std::abs(y) + 2) / 65536.0 + pointTol;
    ASSERT_NEAR(fixedAhead.X / 65536.0, ex, aheadTol) << round;
    ASSERT_NEAR(fixedAhead.Y / 65536.0, ey, aheadTol) << round;
  }
  EXPECT_GT(inverted, 1000);
  EXPECT_GT(singular, 50);

  const float wild[] = {0, 1e30f, -1e30f, 1e-30f, INFINITY, -INFINITY, NAN, 3e9f};
  for (int round = 0; round < 500; ++round) {
    TAffineTransformation t;
    const auto any = [&] { return wild[random() % std::size(wild)]; };
    t.Rotate(any(), any(), any());
    t.Scale(any(), any());
    t.Translate(any(), any());
    const TPoint back = t.ReverseTransform(TPoint{int32_t(random()), int32_t(random())});
    const TPoint ahead = t.Transform(TPoint{int32_t(random()), int32_t(random())});
    (void)back, (void)ahead;
    bool undefined = false;
    for (const auto& row : t.Matrix)
      for (float v : row) undefined = undefined || std::isnan(v);
    if (undefined) {
      ASSERT_EQ(t.InverseMatrix(), IdentityMatrix);  // an undefined matrix counts as singular
    }
    (void)t.GetTransformedBounds({any(), any(), any(), any()});
  }
}

TEST(Transformation, TheBaseClassRaisesWithItsName) {
  TTransformation t;
  try {
    t.ReverseTransform(TPoint{1, 1});
    FAIL();
  } catch (const ETransformNotImplemented& e) {
    EXPECT_STREQ(e.what(), "Reverse transformation is not implemented in TTransformation.");
  }
  try {
    t.Transform(TFloatPoint{1, 1});
    FAIL();
  } catch (const ETransformNotImplemented& e) {
    EXPECT_STREQ(e.what(), "Forward transformation is not implemented in TTransformation.");
  }
}

}  // namespace
