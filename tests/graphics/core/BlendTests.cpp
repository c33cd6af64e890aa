#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "BlendOracle.h"
#include "graphics/core/Blend.h"
#include "support/TierScope.h"

namespace gfx::testing {
namespace {

using test_support::TierName;
using test_support::Tiers;
using test_support::TierScope;

// Counts disagreements and remembers the first, so that a broken tier reports one clear line.
class Mismatches {
 public:
  void Check(uint32_t got, uint32_t want, const char* what, uint32_t a, uint32_t b, uint32_t c) {
    if (got == want) return;
    if (count_++ == 0) {
      char text[160];
      std::snprintf(text, sizeof text, "%s(%08X, %08X, %u): got %08X, want %08X", what, a, b, c,
                    got, want);
      first_ = text;
    }
  }
  ::testing::AssertionResult Result() const {
    if (count_ == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << count_ << " mismatches, first " << first_;
  }

 private:
  uint64_t count_ = 0;
  std::string first_;
};

// Three different channel values from one seed byte, so every channel position is exercised.
uint32_t Spread(uint32_t alpha, uint32_t v) {
  return alpha << 24 | v << 16 | (255 - v) << 8 | ((v * 97 + 31) & 0xFF);
}

class BlendTier : public ::testing::TestWithParam<TImplementationTier> {
 protected:
  TImplementationTier tier() const { return GetParam(); }
};

TEST_P(BlendTier, BlendRegAndMemFollowTheTierFormulaForEveryAlphaAndChannelPair) {
  TierScope scope(tier());
  Mismatches reg, mem;
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t f = 0; f < 256; ++f)
      for (uint32_t b = 0; b < 256; ++b) {
        const uint32_t F = Spread(a, f), B = Spread(b ^ 0x5A, b);
        reg.Check(BlendReg(F, B), BlendRegOracle(tier(), F, B), "BlendReg", F, B, 0);
        uint32_t target = B;
        BlendMem(F, target);
        mem.Check(target, BlendMemOracle(tier(), F, B), "BlendMem", F, B, 0);
      }
  EMMS();
  EXPECT_TRUE(reg.Result());
  EXPECT_TRUE(mem.Result());
}

TEST_P(BlendTier, MasterAlphaFormsFollowTheTierFormulaForEveryAlphaAndMaster) {
  TierScope scope(tier());
  std::mt19937 random(7);
  Mismatches reg, mem;
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t m = 0; m < 256; ++m)
      for (int k = 0; k < 8; ++k) {
        const uint32_t F = (a << 24) | (random() & 0xFFFFFF), B = random();
        reg.Check(BlendRegEx(F, B, m), BlendRegExOracle(tier(), F, B, m), "BlendRegEx", F, B, m);
        uint32_t target = B;
        BlendMemEx(F, target, m);
        mem.Check(target, BlendMemExOracle(tier(), F, B, m), "BlendMemEx", F, B, m);
      }
  EMMS();
  EXPECT_TRUE(reg.Result());
  EXPECT_TRUE(mem.Result());
}

TEST_P(BlendTier, CombineRegAndMemFollowTheTierFormulaForEveryWeightAndChannelPair) {
  TierScope scope(tier());
  Mismatches reg, mem;
  for (uint32_t w = 0; w < 256; ++w)
    for (uint32_t x = 0; x < 256; ++x)
      for (uint32_t y = 0; y < 256; ++y) {
        const uint32_t X = Spread(x ^ 0x3C, x), Y = Spread(255 - y, y);
        reg.Check(CombineReg(X, Y, w), CombineRegOracle(tier(), X, Y, w), "CombineReg", X, Y, w);
        uint32_t target = Y;
        CombineMem(X, target, w);
        mem.Check(target, CombineMemOracle(tier(), X, Y, w), "CombineMem", X, Y, w);
      }
  EMMS();
  EXPECT_TRUE(reg.Result());
  EXPECT_TRUE(mem.Result());
}

TEST_P(BlendTier, MergeFollowsThePremultipliedOverForEveryAlphaPair) {
  TierScope scope(tier());
  std::mt19937 random(11);
  Mismatches reg, regEx;
  for (uint32_t fa = 0; fa < 256; ++fa)
    for (uint32_t ba = 0; ba < 256; ++ba)
      for (int k = 0; k < 24; ++k) {
        const uint32_t F = (fa << 24) | (random() & 0xFFFFFF);
        const uint32_t B = (ba << 24) | (random() & 0xFFFFFF);
        const uint32_t m = random() & 0xFF;
        reg.Check(MergeReg(F, B), MergeRegOracle(tier(), F, B), "MergeReg", F, B, 0);
        regEx.Check(MergeRegEx(F, B, m), MergeRegExOracle(tier(), F, B, m), "MergeRegEx", F, B, m);
      }
  EMMS();
  EXPECT_TRUE(reg.Result());
  EXPECT_TRUE(regEx.Result());
}

// Runs of 0..67 pixels at each word offset inside a guarded buffer.
template <class Apply, class Oracle>
void CheckLineForm(const char* what, Apply apply, Oracle oracle) {
  constexpr uint32_t Guard = 0xDEADBEEF;
  std::mt19937 random(3);
  Mismatches pixels;
  int guardDamage = 0;
  for (int offset = 0; offset < 4; ++offset)
    for (int count = 0; count <= 67; ++count)
      for (int rep = 0; rep < 3; ++rep) {
        std::vector<uint32_t> src(count + 8), dst(count + 8, Guard);
        for (auto& p : src) {
          p = random();
          // Plenty of fully transparent and fully opaque pixels for the shortcuts.
          if ((p & 3) == 0) p &= 0x00FFFFFF;
          if ((p & 3) == 1) p |= 0xFF000000;
        }
        for (int i = 0; i < count; ++i) dst[offset + i] = random();
        const std::vector<uint32_t> before = dst;
        const uint32_t param = random() & 0xFF;
        apply(src.data() + offset, dst.data() + offset, count, param);
        for (int i = 0; i < int(dst.size()); ++i) {
          if (i < offset || i >= offset + count) {
            guardDamage += dst[i] != Guard;
            continue;
          }
          pixels.Check(dst[i], oracle(src[i], before[i], param), what, src[i], before[i], param);
        }
        // Nothing at all happens for a count of zero or below.
        std::vector<uint32_t> untouched = before;
        apply(src.data() + offset, untouched.data() + offset, -count, param);
        guardDamage += untouched != before;
      }
  // Source and destination in one row (a bitmap drawn onto itself), the destination up to five
  // pixels either side: the run goes forward pixel by pixel, each reading what those before it
  // wrote.
  for (int shift = -5; shift <= 5; ++shift)
    for (int count = 0; count <= 40; ++count) {
      std::vector<uint32_t> row(count + 12);
      for (auto& p : row) p = random() | ((random() & 1) ? 0xFF000000 : 0);
      std::vector<uint32_t> expected = row;
      const uint32_t param = random() & 0xFF;
      const int from = 6, to = 6 + shift;
      for (int i = 0; i < count; ++i)
        expected[to + i] = oracle(expected[from + i], expected[to + i], param);
      apply(row.data() + from, row.data() + to, count, param);
      for (int i = 0; i < int(row.size()); ++i)
        pixels.Check(row[i], expected[i], what, uint32_t(shift), uint32_t(count), uint32_t(i));
    }
  EMMS();
  EXPECT_TRUE(pixels.Result()) << what;
  EXPECT_EQ(guardDamage, 0) << what;
}

TEST_P(BlendTier, LineFormsMatchThePerPixelFormulaAndStayInsideTheRun) {
  TierScope scope(tier());
  const TImplementationTier t = tier();
  CheckLineForm(
      "BlendLine", [](auto s, auto d, int n, uint32_t) { BlendLine(s, d, n); },
      [t](uint32_t F, uint32_t B, uint32_t) { return BlendMemOracle(t, F, B); });
  CheckLineForm(
      "BlendLineEx", [](auto s, auto d, int n, uint32_t m) { BlendLineEx(s, d, n, m); },
      [t](uint32_t F, uint32_t B, uint32_t m) { return BlendLineExOracle(t, F, B, m); });
  CheckLineForm(
      "MergeLine", [](auto s, auto d, int n, uint32_t) { MergeLine(s, d, n); },
      [t](uint32_t F, uint32_t B, uint32_t) { return MergeRegOracle(t, F, B); });
  CheckLineForm(
      "MergeLineEx", [](auto s, auto d, int n, uint32_t m) { MergeLineEx(s, d, n, m); },
      [t](uint32_t F, uint32_t B, uint32_t m) { return MergeRegExOracle(t, F, B, m); });
  for (uint32_t w : {0u, 1u, 77u, 128u, 254u, 255u})
    CheckLineForm(
        "CombineLine", [w](auto s, auto d, int n, uint32_t) { CombineLine(s, d, n, w); },
        [t, w](uint32_t X, uint32_t Y, uint32_t) {
          if (IsSimd(t) && w == 255) return X;
          return CombineMemOracle(t, X, Y, w);
        });
}

TEST_P(BlendTier, WeightsAbove255CountAs255) {
  TierScope scope(tier());
  std::mt19937 random(13);
  for (int k = 0; k < 1000; ++k) {
    const uint32_t F = random(), B = random();
    ASSERT_EQ(BlendRegEx(F, B, 1000), BlendRegEx(F, B, 255));
    ASSERT_EQ(MergeRegEx(F, B, 0xFFFFFFFF), MergeRegEx(F, B, 255));
    uint32_t line[4] = {B, B, B, B}, capped[4] = {B, B, B, B};
    const uint32_t src[4] = {F, F, F, F};
    BlendLineEx(src, line, 4, 70000);
    BlendLineEx(src, capped, 4, 255);
    ASSERT_EQ(line[3], capped[3]);
    ASSERT_EQ(CombineReg(F, B, 256), CombineReg(F, B, 255));
    uint32_t combined = B;
    CombineMem(F, combined, 999);
    ASSERT_EQ(combined, F);
    CombineLine(src, line, 4, 300);
    ASSERT_EQ(line[2], F);
  }
  EMMS();
}

TEST_P(BlendTier, EveryRoutineVariableIsBound) {
  TierScope scope(tier());
  const void* const variables[] = {
      reinterpret_cast<const void*>(EMMS),           reinterpret_cast<const void*>(MergeReg),
      reinterpret_cast<const void*>(MergeMem),       reinterpret_cast<const void*>(MergeLine),
      reinterpret_cast<const void*>(MergeRegEx),     reinterpret_cast<const void*>(MergeMemEx),
      reinterpret_cast<const void*>(MergeLineEx),    reinterpret_cast<const void*>(CombineReg),
      reinterpret_cast<const void*>(CombineMem),     reinterpret_cast<const void*>(CombineLine),
      reinterpret_cast<const void*>(BlendReg),       reinterpret_cast<const void*>(BlendMem),
      reinterpret_cast<const void*>(BlendLine),      reinterpret_cast<const void*>(BlendRegEx),
      reinterpret_cast<const void*>(BlendMemEx),     reinterpret_cast<const void*>(BlendLineEx),
      reinterpret_cast<const void*>(ColorMax),       reinterpret_cast<const void*>(ColorMin),
      reinterpret_cast<const void*>(ColorAverage),   reinterpret_cast<const void*>(ColorAdd),
      reinterpret_cast<const void*>(ColorSub),       reinterpret_cast<const void*>(ColorDiv),
      reinterpret_cast<const void*>(ColorModulate),  reinterpret_cast<const void*>(ColorDifference),
      reinterpret_cast<const void*>(ColorExclusion), reinterpret_cast<const void*>(ColorScale),
      reinterpret_cast<const void*>(LightenReg)};
  for (size_t id = 0; id < std::size(variables); ++id) EXPECT_NE(variables[id], nullptr) << id;
}

INSTANTIATE_TEST_SUITE_P(Tiers, BlendTier, ::testing::ValuesIn(Tiers()),
                         [](const auto& info) { return TierName(info.param); });

TEST(BlendEdges, TiersDifferWhereTheirArithmeticSaysSo) {
  {
    TierScope scope(tierPortable);
    EXPECT_EQ(BlendReg(0x00123456, 0x80ABCDEF), 0x80ABCDEFu);
    EXPECT_EQ(BlendReg(0xFF123456, 0x80ABCDEF), 0xFF123456u);
    EXPECT_EQ(BlendReg(0x80FFFFFF, 0xFF000000), 0xFF808080u);  // alpha from the background
    EXPECT_EQ(CombineReg(0x11223344, 0x55667788, 0), 0x55667788u);
    EXPECT_EQ(CombineReg(0x11223344, 0x55667788, 255), 0x11223344u);
    // Both half transparent and white: alpha 128 + 128 - 64 and white channels.
    EXPECT_EQ(MergeReg(0x80FFFFFF, 0x80FFFFFF), 0xC0FFFFFFu);
  }
  {
    TierScope scope(tierInteger);
    EXPECT_EQ(BlendRegEx(0x80FF8040, 0xFF000000, 200) >> 24, 0u);
    EXPECT_EQ(BlendReg(0x80FFFFFF, 0xFF000000) >> 24, 191u);
    EXPECT_EQ(CombineReg(0x11223344, 0x55667788, 0), 0x55667788u);
    EXPECT_EQ(CombineReg(0x11223344, 0x55667788, 255), 0x11223344u);
  }
  if (CPUFeatures() & SetOf(isSSE2)) {
    TierScope scope(tierSSE2);
    EXPECT_EQ(BlendReg(0xFFFFFFFF, 0xFF000000), 0xFFFEFEFEu);
    uint32_t b = 0xFF000000;
    BlendMem(0xFFFFFFFF, b);
    EXPECT_EQ(b, 0xFFFFFFFFu);
    EXPECT_EQ(BlendReg(0x80FFFFFF, 0xFF000000) >> 24, 192u);
    // The line form weighs by (F.a + 1) * M, the memory form by (M + 1) * F.a.
    uint32_t src = 0x0AFFFFFF, line = 0xFF000000, mem = 0xFF000000;
    BlendLineEx(&src, &line, 1, 250);
    BlendMemEx(src, mem, 250);
    EXPECT_EQ(line, 0xF50A0A0Au);
    EXPECT_EQ(mem, 0xF6090909u);
  }
}

TEST(BlendEdges, DefaultBindingUsesTheFastestTier) {
  if (!(CPUFeatures() & SetOf(isSSE2))) GTEST_SKIP() << "no SSE2";
  EXPECT_EQ(BlendReg(0xFFFFFFFF, 0xFF000000), 0xFFFEFEFEu);
  EXPECT_EQ(ColorAdd(0x80FF1020, 0x80010FF0), 0xFFFF1FFFu);
}

TEST(BlendTables, MatchTheirRoundingRules) {
  int mulErrors = 0, divErrors = 0;
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t x = 0; x < 256; ++x) {
      mulErrors += AlphaMulTable[a][x] != R255(a * x) || AlphaMulTable[a][x] != AlphaMulTable[x][a];
      divErrors += AlphaDivTable[a][x] != DivOracle(a, x);
    }
  EXPECT_EQ(mulErrors, 0);
  EXPECT_EQ(divErrors, 0);
  EXPECT_EQ(AlphaDivTable[2][1], 128);  // 127.5 rounds to even
  for (uint32_t a = 1; a < 256; ++a) EXPECT_EQ(AlphaDivTable[a][a], 255) << a;
  for (uint32_t x = 0; x < 256; ++x) {
    EXPECT_EQ(AlphaMulTable[255][x], x);
    EXPECT_EQ(AlphaMulTable[0][x], 0);
    EXPECT_EQ(AlphaDivTable[0][x], 0);
  }
}

TEST(BlendTables, WordTableHoldsEachWeightInEveryLane) {
  if (!(CPUFeatures() & (SetOf(isMMX) | SetOf(isSSE2)))) {
    EXPECT_EQ(AlphaWordTable, nullptr);
    return;
  }
  ASSERT_NE(AlphaWordTable, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(AlphaWordTable) % 16, 0u);
  EXPECT_EQ(AlphaBias, AlphaWordTable + 128);
  for (int i = 0; i < 256; ++i)
    for (int lane = 0; lane < 8; ++lane) ASSERT_EQ(AlphaWordTable[i][lane], i);
  EXPECT_EQ(MMXActive, bool(CPUFeatures() & SetOf(isMMX)));
}

TEST(BlendTables, ProcArraysFollowRebinding) {
  EXPECT_EQ(BlendMemProcs[cmBlend], &BlendMem);
  EXPECT_EQ(BlendMemProcs[cmMerge], &MergeMem);
  EXPECT_EQ(BlendMemExProcs[cmMerge], &MergeMemEx);
  EXPECT_EQ(BlendLineProcs[cmBlend], &BlendLine);
  EXPECT_EQ(BlendLineExProcs[cmMerge], &MergeLineEx);
  TierScope scope(tierPortable);
  uint32_t b = 0xFF000000;
  (*BlendMemProcs[cmBlend])(0x80FFFFFF, b);
  EXPECT_EQ(b, 0xFF808080u);
}

}  // namespace
}  // namespace gfx::testing
