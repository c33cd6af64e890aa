#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>

#include "graphics/core/Types.h"
#include "platform/drawing/Colors.h"
#include "support/HslModel.h"

namespace gfx {
namespace {

TEST(Color32Conversions, PackAndUnpackAsDocumented) {
  EXPECT_EQ(Color32(0x000000FF), 0xFFFF0000u);
  EXPECT_EQ(Color32(0x02FF8040), 0xFF4080FFu);  // the top byte is dropped
  EXPECT_EQ(Color32(0x1FF, 2, 3, 4), 0x04FF0203u);
  EXPECT_EQ(Gray32(200, 128), 0x80C8C8C8u);
  EXPECT_EQ(Intensity(0xFFFFFFFF), 255);
  EXPECT_EQ(Intensity(0xFF00FF00), 173);
  EXPECT_EQ(Intensity(0x00FFFFFF), 255);  // alpha is ignored
  const TColor32 c = 0x12345678;
  EXPECT_EQ(AlphaComponent(c), 0x12);
  EXPECT_EQ(RedComponent(c), 0x34);
  EXPECT_EQ(GreenComponent(c), 0x56);
  EXPECT_EQ(BlueComponent(c), 0x78);
  TColor32Entry entry{c};
  EXPECT_EQ(entry.B, 0x78);
  EXPECT_EQ(entry.A, 0x12);
}

TEST(Color32Conversions, SystemColoursAreLookedUpFirst) {
  const plat::TColor v = plat::GetSysColor(plat::clBtnFace & 0xFF);
  const TColor32 want =
      0xFF000000u | uint32_t(v & 0xFF) << 16 | uint32_t((v >> 8) & 0xFF) << 8 | ((v >> 16) & 0xFF);
  EXPECT_EQ(Color32(plat::clBtnFace), want);
}

TEST(Hsl, KnownValues) {
  EXPECT_EQ(HslToColor32(0, 0, 0.5f), 0xFF808080u);  // 127.5 rounds to even
  float h, s, l;
  Color32ToHsl(0xFFFF0000, h, s, l);
  EXPECT_FLOAT_EQ(h, 0);
  EXPECT_FLOAT_EQ(s, 1);
  EXPECT_FLOAT_EQ(l, 0.5f);
  Color32ToHsl(0xFF0000FF, h, s, l);
  EXPECT_FLOAT_EQ(h, 4.0f / 6);
  EXPECT_EQ(HslToColor32(1.0f / 3, 1, 0.5f), 0xFF00FF00u);
}

TEST(Hsl, EveryColourSurvivesTheRoundTrip) {
  int errors = 0;
  for (uint32_t rgb = 0; rgb < 0x1000000; ++rgb) {
    float h, s, l;
    Color32ToHsl(0x80000000 | rgb, h, s, l);
    errors += HslToColor32(h, s, l) != (0xFF000000 | rgb);
  }
  EXPECT_EQ(errors, 0);
}

// Floor of a / 65536 for any a, without shifts.
int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

TEST(FixedPoint, MatchesWideIntegerArithmetic) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int32_t> any(-0x7FFF0000, 0x7FFF0000);
  for (int i = 0; i < 100000; ++i) {
    const int32_t a = any(random), b = any(random);
    ASSERT_EQ(FixedFloor(a), FloorDiv(a, 65536)) << a;
    ASSERT_EQ(FixedCeil(a), -FloorDiv(-int64_t(a), 65536)) << a;
    // An exact half goes down: the nearest integer to a / 65536 - 1/2^17 from above.
    ASSERT_EQ(FixedRound(a), FloorDiv(int64_t(a) + 32767, 65536)) << a;
    ASSERT_EQ(FixedMul(a, b), int32_t(uint32_t(FloorDiv(int64_t(a) * b, 65536)))) << a << " " << b;
    const int32_t small = any(random) >> 12, divisor = (any(random) >> 4) | 1;
    const long double quotient = (long double)small * 65536 / divisor;
    ASSERT_EQ(FixedDiv(small, divisor), int32_t(std::trunc(quotient))) << small << " " << divisor;
  }
}

TEST(FixedPoint, EdgeValues) {
  EXPECT_EQ(FixedRound(0x18000), 1);
  EXPECT_EQ(FixedRound(0x18001), 2);
  EXPECT_EQ(FixedCeil(0x10001), 2);
  EXPECT_EQ(FixedFloor(-1), -1);
  EXPECT_EQ(FixedRound(0x7FFFFFFF), -32768);  // wraps like the 32-bit original
  EXPECT_EQ(Fixed(1.5 / 65536), 2);           // half to even
  EXPECT_EQ(Fixed(2.5 / 65536), 2);
  EXPECT_EQ(Fixed(-0.25f), -0x4000);
  EXPECT_EQ(Fixed(3), 0x30000);
  EXPECT_EQ(FixedDiv(Fixed(-1), Fixed(3)), -21845);
  EXPECT_TRUE(IsPowerOf2(0));
  EXPECT_TRUE(IsPowerOf2(64));
  EXPECT_FALSE(IsPowerOf2(96));
  float s, c;
  SinCos(float(M_PI / 6), s, c);
  EXPECT_NEAR(s, 0.5, 1e-6);
  EXPECT_NEAR(c, std::sqrt(3.0) / 2, 1e-6);
}

TEST(Rectangles, IntersectionHoldsExactlyTheCommonPixels) {
  std::mt19937 random(9);
  std::uniform_int_distribution<int32_t> coord(-4, 8);
  for (int i = 0; i < 3000; ++i) {
    auto make = [&] {
      int32_t l = coord(random), r = coord(random), t = coord(random), b = coord(random);
      if (r < l) std::swap(l, r);
      if (b < t) std::swap(t, b);
      return MakeRect(l, t, r, b);
    };
    const TRect r1 = make(), r2 = make();
    TRect dst{99, 99, 99, 99};
    const bool result = IntersectRectangles(dst, r1, r2);
    for (int32_t y = -5; y < 10; ++y)
      for (int32_t x = -5; x < 10; ++x) {
        const TPoint p = MakePoint(x, y);
        ASSERT_EQ(PtInRect(dst, p), PtInRect(r1, p) && PtInRect(r2, p));
      }
    if (!result) {
      ASSERT_EQ(dst, TRect{});
    }
    TFloatRect fdst;
    ASSERT_EQ(IntersectFloatRects(fdst, FloatRect(r1), FloatRect(r2)), result);
    ASSERT_EQ(MakeRect(fdst, rrNearest), dst);
  }
}

TEST(Rectangles, EdgeCases) {
  TRect dst;
  EXPECT_TRUE(IntersectRectangles(dst, MakeRect(0, 0, 10, 10), MakeRect(10, 0, 20, 10)));
  EXPECT_EQ(dst, MakeRect(10, 0, 10, 10));
  EXPECT_FALSE(IntersectRectangles(dst, MakeRect(0, 0, 10, 10), MakeRect(11, 0, 20, 10)));
  EXPECT_EQ(dst, MakeRect(0, 0, 0, 0));
  EXPECT_EQ(MakeRect(MakeFloatRect(0.5f, 0.5f, 2.5f, 2.5f), rrNearest), MakeRect(0, 0, 2, 2));
  EXPECT_EQ(MakeRect(MakeFloatRect(0.2f, 0.2f, 0.8f, 0.8f), rrInward), MakeRect(1, 1, 1, 1));
  EXPECT_EQ(MakeRect(MakeFloatRect(-0.2f, 0.2f, 1.2f, 1.8f), rrOutward), MakeRect(-1, 0, 2, 2));
  const TFixedRect fx = MakeFixedRect(0x18000, -0x8000, 0x28001, 0x10000);
  EXPECT_EQ(MakeRect(fx, rrNearest), MakeRect(1, -1, 3, 1));
  EXPECT_EQ(MakeRect(fx, rrOutward), MakeRect(1, -1, 3, 1));
  EXPECT_EQ(MakeRect(fx, rrInward), MakeRect(2, 0, 2, 1));
  EXPECT_EQ(FixedRect(MakeRect(1, -2, 3, 4)), MakeFixedRect(0x10000, -0x20000, 0x30000, 0x40000));
  TRect r = MakeRect(1, 2, 3, 4);
  InflateRect(r, 1, -1);
  OffsetRect(r, 10, 20);
  EXPECT_EQ(r, MakeRect(10, 23, 14, 23));
  EXPECT_TRUE(IsRectEmpty(r));
  EXPECT_TRUE(IsFloatRectEmpty(MakeFloatRect(1, 1, 0.5f, 3)));
  EXPECT_FALSE(PtInRect(MakeRect(0, 0, 2, 2), MakePoint(2, 1)));  // right edge is outside
}

TEST(Gamma, TableFollowsThePowerCurve) {
  for (float gamma : {0.7f, 1.0f, 2.2f}) {
    BuildGammaTable(gamma);
    EXPECT_EQ(GammaTable[0], 0);
    EXPECT_EQ(GammaTable[255], 255);
    for (int i = 0; i < 256; ++i)
      EXPECT_NEAR(GammaTable[i], std::pow(i / 255.0, gamma) * 255, 0.5 + 1e-9) << gamma << " " << i;
  }
  BuildGammaTable(0.7f);
  EXPECT_EQ(GammaTable[128], 157);  // 255 * (128/255)^0.7 = 157.40
}

// ---- Models written from the definitions, in double precision ----

int32_t Held(double v) {  // an integral value held at the ends of the 32-bit range, NaN 0
  return std::isnan(v) ? 0 : int32_t(std::clamp(v, -2147483648.0, 2147483647.0));
}
int32_t RoundHalfEven(double v) {
  const double f = std::floor(v), rest = v - f;
  return Held(rest > 0.5 || (rest == 0.5 && std::fmod(f, 2) != 0) ? f + 1 : f);
}

// HslToColor32 computes in singles: values within 1e-4 of a half may land on either side.
void ExpectChannel(int got, double value, const char* what) {
  const double scaled = 255 * value, rest = scaled - std::floor(scaled);
  if (std::abs(rest - 0.5) < 1e-4)
    EXPECT_NEAR(got, scaled, 0.5 + 1e-4) << what;
  else
    EXPECT_EQ(got, RoundHalfEven(scaled)) << what << " " << scaled;
}

TEST(TypesModel, ColoursFixedPointAndRectanglesOverRandomAndExtremeInputs) {
  std::mt19937 random(101);
  std::uniform_real_distribution<double> unit(0, 1);
  const auto anyInt = [&] {
    static const int32_t edges[] = {
        0,       1,         -1,        0x7FFF,        0x8000,        0xFFFF,
        0x10000, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1, 0x7FFF8000};
    return random() % 4 == 0 ? edges[random() % std::size(edges)] : int32_t(random());
  };
  for (int i = 0; i < 20000; ++i) {
    // HSL to colour, with the edges of each axis.
    const auto axis = [&] { return random() % 5 == 0 ? double(random() % 2) : unit(random); };
    const float h = float(axis()), s = float(random() % 6 == 0 ? 0.0 : axis()), l = float(axis());
    const TColor32 c = HslToColor32(h, s, l);
    EXPECT_EQ(AlphaComponent(c), 255);
    if (s == 0) {
      ExpectChannel(RedComponent(c), l, "grey");
      EXPECT_TRUE(RedComponent(c) == GreenComponent(c) && GreenComponent(c) == BlueComponent(c));
    } else {
      const double m2 = l <= 0.5 ? l * (1.0 + s) : l + s - double(l) * s, m1 = 2.0 * l - m2;
      ExpectChannel(RedComponent(c), test_support::HueChannel(m1, m2, h + 1.0 / 3), "red");
      ExpectChannel(GreenComponent(c), test_support::HueChannel(m1, m2, h), "green");
      ExpectChannel(BlueComponent(c), test_support::HueChannel(m1, m2, h - 1.0 / 3), "blue");
    }
    // Colour to HSL.
    const TColor32 colour = TColor32(random());
    const double r = RedComponent(colour) / 255.0, g = GreenComponent(colour) / 255.0,
                 b = BlueComponent(colour) / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b}), el = (hi + lo) / 2;
    double eh = 0, es = 0;
    if (hi != lo) {
      const double d = hi - lo;
      es = el < 0.5 ? d / (hi + lo) : d / (2 - hi - lo);
      eh = (r == hi ? (g - b) / d : g == hi ? 2 + (b - r) / d : 4 + (r - g) / d) / 6;
      if (eh < 0) eh += 1;
    }
    float gh, gs, gl;
    Color32ToHsl(colour, gh, gs, gl);
    EXPECT_NEAR(gh, eh, 1e-5);  // singles
    EXPECT_NEAR(gs, es, 1e-5);
    EXPECT_NEAR(gl, el, 1e-5);
    EXPECT_EQ(Intensity(colour), int32_t((RedComponent(colour) * 61 + GreenComponent(colour) * 174 +
                                          BlueComponent(colour) * 21) /
                                         256));

    // Fixed point over the whole 32-bit range.
    const int32_t a = anyInt();
    EXPECT_EQ(FixedFloor(a), int32_t(std::floor(a / 65536.0))) << a;
    // The 32-bit sums wrap past the top of the range.
    const auto wrapped = [](double v) { return v > INT32_MAX ? v - 4294967296.0 : v; };
    EXPECT_EQ(FixedCeil(a), int32_t(std::floor(wrapped(a + 65535.0) / 65536))) << a;
    EXPECT_EQ(FixedRound(a), int32_t(std::floor(wrapped(a + 32767.0) / 65536))) << a;
    const double x = (unit(random) - 0.5) * std::pow(2.0, double(random() % 80) - 40);
    EXPECT_EQ(Fixed(x), RoundHalfEven(x * 65536)) << x;
    EXPECT_EQ(IsPowerOf2(a), a == 0 || std::has_single_bit(uint32_t(a))) << a;

    // Rectangles: float and fixed rounding, then sums at the ends of the range.
    TFloatRect fr;
    for (float* side : {&fr.Left, &fr.Top, &fr.Right, &fr.Bottom}) {
      const double scale = std::pow(2.0, double(random() % 70) - 20);
      *side = float(random() % 50 == 0 ? std::nan("") : (unit(random) - 0.5) * scale);
    }
    const TRect nearest = MakeRect(fr, rrNearest), outward = MakeRect(fr, rrOutward),
                inward = MakeRect(fr, rrInward);
    EXPECT_EQ(nearest, (TRect{RoundHalfEven(fr.Left), RoundHalfEven(fr.Top),
                              RoundHalfEven(fr.Right), RoundHalfEven(fr.Bottom)}));
    EXPECT_EQ(outward, (TRect{Held(std::floor(fr.Left)), Held(std::floor(fr.Top)),
                              Held(std::ceil(fr.Right)), Held(std::ceil(fr.Bottom))}));
    TRect in{Held(std::ceil(fr.Left)), Held(std::ceil(fr.Top)), Held(std::floor(fr.Right)),
             Held(std::floor(fr.Bottom))};
    in.Right = std::max(in.Right, in.Left);
    in.Bottom = std::max(in.Bottom, in.Top);
    EXPECT_EQ(inward, in);
    const TFixedRect fx{anyInt(), anyInt(), anyInt(), anyInt()};
    const auto ceil16 = [&](int32_t v) {
      return int32_t(std::floor(wrapped(v + 65535.0) / 65536));
    };
    const auto floor16 = [](int32_t v) { return int32_t(std::floor(v / 65536.0)); };
    TRect fin{ceil16(fx.Left), ceil16(fx.Top), floor16(fx.Right), floor16(fx.Bottom)};
    fin.Right = std::max(fin.Right, fin.Left);
    fin.Bottom = std::max(fin.Bottom, fin.Top);
    EXPECT_EQ(MakeRect(fx, rrInward), fin);
    EXPECT_EQ(MakeRect(fx, rrOutward),
              (TRect{floor16(fx.Left), floor16(fx.Top), ceil16(fx.Right), ceil16(fx.Bottom)}));
    TRect moved{anyInt(), anyInt(), anyInt(), anyInt()};
    const TRect before = moved;
    const int32_t dx = anyInt(), dy = anyInt();
    OffsetRect(moved, dx, dy);
    EXPECT_EQ(moved, (TRect{Held(double(before.Left) + dx), Held(double(before.Top) + dy),
                            Held(double(before.Right) + dx), Held(double(before.Bottom) + dy)}));
    TRect grown = before;
    InflateRect(grown, dx, dy);
    EXPECT_EQ(grown, (TRect{Held(double(before.Left) - dx), Held(double(before.Top) - dy),
                            Held(double(before.Right) + dx), Held(double(before.Bottom) + dy)}));
    TRect common;
    const TRect other{anyInt(), anyInt(), anyInt(), anyInt()};
    const TRect expected{std::max(before.Left, other.Left), std::max(before.Top, other.Top),
                         std::min(before.Right, other.Right),
                         std::min(before.Bottom, other.Bottom)};
    const bool overlaps = expected.Right >= expected.Left && expected.Bottom >= expected.Top;
    EXPECT_EQ(IntersectRectangles(common, before, other), overlaps);
    EXPECT_EQ(common, overlaps ? expected : TRect{});
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace gfx
