// The affine transformation against double-precision matrices built here from sines and cosines.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

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
  EXPECT_EQ(f[2][0], INT32_MAX);
  EXPECT_EQ(f[2][1], INT32_MIN);
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
