#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "TierScope.h"
#include "graphics/core/Blend.h"
#include "graphics/core/LowLevel.h"

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

class FillTier : public ::testing::TestWithParam<TImplementationTier> {};

TEST_P(FillTier, FillsExactlyCountWordsAtEveryAlignment) {
  testing::ScopedTier scope(GetParam());
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

INSTANTIATE_TEST_SUITE_P(Tiers, FillTier, ::testing::ValuesIn(testing::AvailableTiers()),
                         [](const auto& info) { return testing::TierName(info.param); });

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
