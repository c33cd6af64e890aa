#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "graphics/core/Blend.h"
#include "graphics/core/LowLevel.h"
#include "support/TierScope.h"

namespace gfx {
namespace {

// Mathematical modulo, always in [0, n).
int64_t Modulo(int64_t v, int64_t n) {
  return ((v % n) + n) % n;
}

int32_t NaiveWrap(int32_t v, int32_t lo, int32_t hi) {
  return int32_t(lo + Modulo(int64_t(v) - lo, int64_t(hi) - lo + 1));
}

// Reflection with period 2N: lo..hi, then hi..lo, and so on in both directions.
int32_t NaiveMirror(int32_t v, int32_t lo, int32_t hi) {
  const int64_t n = int64_t(hi) - lo + 1, k = Modulo(int64_t(v) - lo, 2 * n);
  return int32_t(k < n ? lo + k : lo + 2 * n - 1 - k);
}

TEST(WrapProcedures, MatchModuloAndReflection) {
  for (int32_t lo = -20; lo <= 20; ++lo)
    for (int32_t n = 1; n <= 33; ++n) {
      const int32_t hi = lo + n - 1;
      const bool pow2 = (n & (n - 1)) == 0 && lo >= 0;
      for (int32_t v = -200; v <= 200; ++v) {
        ASSERT_EQ(Wrap(v, lo, hi), NaiveWrap(v, lo, hi)) << v << " " << lo << " " << hi;
        ASSERT_EQ(Mirror(v, lo, hi), NaiveMirror(v, lo, hi)) << v << " " << lo << " " << hi;
        ASSERT_EQ(ClampRange(v, lo, hi), std::min(std::max(v, lo), hi));
        if (pow2) {
          ASSERT_EQ(WrapPow2(v, lo, hi), NaiveWrap(v, lo, hi)) << v << " " << lo << " " << hi;
          ASSERT_EQ(MirrorPow2(v, lo, hi), NaiveMirror(v, lo, hi)) << v << " " << lo << " " << hi;
        }
      }
    }
}

TEST(WrapProcedures, EdgeValuesAndExtremeRanges) {
  EXPECT_EQ(Wrap(-1, 0, 9), 9);
  EXPECT_EQ(Wrap(-3, 0, 9), 7);
  EXPECT_EQ(Wrap(23, 0, 9), 3);
  EXPECT_EQ(Mirror(10, 0, 9), 9);
  EXPECT_EQ(Mirror(12, 0, 9), 7);
  EXPECT_EQ(Mirror(-1, 0, 9), 0);
  EXPECT_EQ(Mirror(-3, 0, 9), 2);
  EXPECT_EQ(WrapPow2(-1, 0, 7), 7);
  EXPECT_EQ(MirrorPow2(8, 0, 7), 7);
  EXPECT_EQ(MirrorPow2(9, 0, 7), 6);
  // Ranges and values near the integer limits do not overflow.
  EXPECT_EQ(Wrap(INT32_MIN, 0, INT32_MAX), NaiveWrap(INT32_MIN, 0, INT32_MAX));
  EXPECT_EQ(Mirror(INT32_MAX, -5, 5), NaiveMirror(INT32_MAX, -5, 5));
  EXPECT_FLOAT_EQ(FloatWrap(-0.5f, 4), 3.5f);
  EXPECT_FLOAT_EQ(FloatWrap(9.25f, 4), 1.25f);
  EXPECT_FLOAT_EQ(FloatWrap(1e30f, 0.1f), std::fmod(1e30f, 0.1f));  // ends at once
  EXPECT_FLOAT_EQ(FloatWrap(5, 0), 5);
}

TEST(WrapProcedures, EmptyRangesAreRefused) {
  for (auto wrap : {Wrap, Mirror}) {
    EXPECT_THROW(wrap(3, 0, -1), plat::ERangeError);
    EXPECT_THROW(wrap(-7, 5, 4), plat::ERangeError);
    EXPECT_THROW(wrap(0, INT32_MAX, INT32_MIN), plat::ERangeError);
    EXPECT_EQ(wrap(12, 5, 5), 5);  // one value is a range
  }
  EXPECT_THROW(GetWrapProcEx(wmRepeat, 0, -1)(2, 0, -1), plat::ERangeError);
  EXPECT_THROW(GetWrapProcEx(wmMirror, 0, -1)(2, 0, -1), plat::ERangeError);
}

TEST(WrapProcedures, ChoosersPickTheMaskFormOnlyForPowerOfTwoRanges) {
  EXPECT_EQ(GetWrapProcEx(wmRepeat, 0, 7), WrapPow2);
  EXPECT_EQ(GetWrapProcEx(wmRepeat, 0, 9), Wrap);
  EXPECT_EQ(GetWrapProcEx(wmRepeat, -8, -1), Wrap);
  EXPECT_EQ(GetWrapProcEx(wmMirror, 4, 7), MirrorPow2);
  EXPECT_EQ(GetWrapProcEx(wmMirror, 4, 8), Mirror);
  EXPECT_EQ(GetWrapProcEx(wmClamp, 0, 7), ClampRange);
  EXPECT_EQ(GetWrapProc(wmRepeat), Wrap);
  EXPECT_EQ(GetWrapProc(wmMirror), Mirror);
  EXPECT_EQ(GetWrapProc(TWrapMode(7)), ClampRange);
  EXPECT_EQ(PickWrapProc(3, 2), Wrap);
}

TEST(IntegerHelpers, ClampsSwapsAndDivisions) {
  EXPECT_EQ(Clamp(-5), 0);
  EXPECT_EQ(Clamp(300), 255);
  EXPECT_EQ(Clamp(17), 17);
  EXPECT_EQ(ClampMax(12, 10), 10);
  EXPECT_EQ(ClampMax(-2, 10), 0);
  EXPECT_EQ(Constrain(5, 10, 3), 3);  // Hi wins
  int32_t a = 12, b = 3;
  EXPECT_TRUE(TestClip(a, b, 5, 10));
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 9);
  a = 12, b = 11;
  EXPECT_FALSE(TestClip(a, b, 5, 10));
  EXPECT_EQ(a, 11);
  EXPECT_EQ(b, 9);
  int32_t rem = 0;
  EXPECT_EQ(DivMod(-7, 2, rem), -3);
  EXPECT_EQ(rem, -1);
  for (uint32_t x = 0; x <= 66298; ++x) ASSERT_EQ(Div255(x), x / 255) << x;
  EXPECT_EQ(Div255(65025), 255u);
}

// Every helper and wrap procedure against its definition, over the whole 32-bit range.
TEST(LowLevelModel, HelpersAndWrapsOverRandomAndExtremeValues) {
  std::mt19937 random(103);
  const auto anyInt = [&] {
    static const int32_t edges[] = {
        0, 1, -1, 255, 256, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
    switch (random() % 4) {
      case 0:
        return edges[random() % std::size(edges)];
      case 1:
        return int32_t(random() % 2001) - 1000;
      default:
        return int32_t(random());
    }
  };
  for (int i = 0; i < 200000; ++i) {
    const int32_t v = anyInt(), a = anyInt(), b = anyInt();
    ASSERT_EQ(Clamp(v), std::clamp(v, 0, 255));
    ASSERT_EQ(Constrain(v, a, b), std::min(std::max(v, a), b));
    ASSERT_EQ(ClampMax(v, a), v > a ? a : std::max(v, 0));
    int32_t lo = std::min(a, b), hi = std::max(a, b);
    int32_t x = a, y = b;
    const int32_t start = anyInt(), stop = anyInt();
    const bool left = TestClip(x, y, start, stop);
    const int64_t clippedLo = std::max<int64_t>(lo, start),
                  clippedHi = std::min<int64_t>(hi, int64_t(stop) - 1);
    ASSERT_EQ(left, clippedHi >= clippedLo) << a << " " << b << " " << start << " " << stop;
    if (left) {
      ASSERT_EQ(x, clippedLo);
      ASSERT_EQ(y, clippedHi);
    }
    if (b != 0) {
      int32_t rest = 0;
      const int32_t q = DivMod(v, b, rest);
      ASSERT_EQ(rest, int32_t(int64_t(v) % b));
      ASSERT_EQ(q, int32_t(uint32_t(int64_t(v) / b)));
    }
    const uint32_t product = uint32_t(random() % 256) * uint32_t(random() % 256);
    ASSERT_EQ(Div255(product), product / 255);

    // A range anywhere, and one of a power-of-two size at a non-negative start.
    ASSERT_EQ(Wrap(v, lo, hi), NaiveWrap(v, lo, hi));
    ASSERT_EQ(Mirror(v, lo, hi), NaiveMirror(v, lo, hi));
    ASSERT_EQ(ClampRange(v, lo, hi), std::clamp(v, lo, hi));
    const int32_t size = int32_t(1u << (random() % 31));
    const int32_t base = int32_t(random() % (uint32_t(INT32_MAX) - uint32_t(size) + 2));
    const int32_t top = int32_t(int64_t(base) + size - 1);
    ASSERT_EQ(WrapPow2(v, base, top), NaiveWrap(v, base, top)) << v << " " << base << " " << top;
    ASSERT_EQ(MirrorPow2(v, base, top), NaiveMirror(v, base, top))
        << v << " " << base << " " << top;
    const bool pow2 = lo >= 0 && std::has_single_bit(uint64_t(int64_t(hi) - lo + 1));
    ASSERT_EQ(GetWrapProcEx(wmRepeat, lo, hi), pow2 ? WrapPow2 : Wrap);
    ASSERT_EQ(GetWrapProcEx(wmMirror, lo, hi), pow2 ? MirrorPow2 : Mirror);
    ASSERT_EQ(GetWrapProcEx(TWrapMode(random() % 256 | 3), lo, hi), ClampRange);

    const float max = float(std::ldexp(double(random() % 1000 + 1), int(random() % 20) - 10));
    const float value = float((double(random()) / 4294967296.0 - 0.5) * max * 200);
    const double wrapped = FloatWrap(value, max);
    ASSERT_GE(wrapped, 0);
    ASSERT_LE(wrapped, max);  // a value just below 0 may land on max itself in singles
    const double periods = (double(value) - wrapped) / max;
    ASSERT_NEAR(periods, std::round(periods), 1e-3) << value << " " << max;
  }
}

class FillTier : public ::testing::TestWithParam<TImplementationTier> {};

TEST_P(FillTier, FillsExactlyCountWordsAtEveryAlignment) {
  test_support::TierScope scope(GetParam());
  constexpr uint32_t Guard = 0xA5A5A5A5, Value = 0x12345678;
  alignas(16) uint32_t buffer[112];
  for (int offset = 0; offset < 4; ++offset)
    for (int count = -3; count <= 100; ++count) {
      std::fill(std::begin(buffer), std::end(buffer), Guard);
      FillLongword(buffer + 4 + offset, count, Value);
      for (int i = 0; i < 112; ++i) {
        const bool inside = i >= 4 + offset && i < 4 + offset + count;
        ASSERT_EQ(buffer[i], inside ? Value : Guard) << offset << " " << count << " " << i;
      }
    }
  EMMS();
}

INSTANTIATE_TEST_SUITE_P(Tiers, FillTier, ::testing::ValuesIn(test_support::Tiers()),
                         [](const auto& info) { return test_support::TierName(info.param); });

TEST(MoveLongword, CopiesAscendingRuns) {
  std::vector<uint32_t> src(40), dst(40, 0);
  std::iota(src.begin(), src.end(), 1);
  MoveLongword(src.data() + 3, dst.data() + 5, 30);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(dst[i], (i >= 5 && i < 35) ? uint32_t(i - 1) : 0u);
  MoveLongword(src.data(), src.data(), 40);
  MoveLongword(src.data(), dst.data(), 0);
  EXPECT_EQ(src[0], 1u);
  EXPECT_EQ(dst[0], 0u);
  // Overlap with the target before the source shifts the run down.
  MoveLongword(src.data() + 1, src.data(), 39);
  EXPECT_EQ(src[0], 2u);
  EXPECT_EQ(src[38], 40u);
}

}  // namespace
}  // namespace gfx
