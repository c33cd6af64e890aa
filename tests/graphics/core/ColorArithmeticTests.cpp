#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "graphics/core/Blend.h"
#include "support/TierScope.h"

namespace gfx::testing {
namespace {

using test_support::TierName;
using test_support::Tiers;
using test_support::TierScope;

struct ChannelRule {
  const char* name;
  TBlendReg* routine;
  std::function<int(int, int)> channel;
};

// Each routine's per-channel arithmetic, written out on its own.
const ChannelRule channelRules[] = {
    {"ColorAdd", &ColorAdd, [](int a, int b) { return std::min(255, a + b); }},
    {"ColorSub", &ColorSub, [](int a, int b) { return std::max(0, a - b); }},
    {"ColorModulate", &ColorModulate, [](int a, int b) { return a * b / 256; }},
    {"ColorMax", &ColorMax, [](int a, int b) { return std::max(a, b); }},
    {"ColorMin", &ColorMin, [](int a, int b) { return std::min(a, b); }},
    {"ColorDifference", &ColorDifference, [](int a, int b) { return std::abs(a - b); }},
    {"ColorExclusion", &ColorExclusion, [](int a, int b) { return a + b - a * b / 128; }},
    {"ColorAverage", &ColorAverage, [](int a, int b) { return (a + b) / 2; }},
    {"ColorDiv", &ColorDiv, [](int a, int b) { return a == 0 ? 255 : std::min(255, b * 256 / a); }},
    {"ColorScale", &ColorScale, [](int c, int w) { return c * w / 256; }},
};

class ColorTier : public ::testing::TestWithParam<TImplementationTier> {};

// Every pair of channel values in every byte position; the other channels carry other values so
// that a carry between channels shows.
TEST_P(ColorTier, EveryRoutineFollowsItsChannelRuleInEveryPosition) {
  TierScope scope(GetParam());
  for (const ChannelRule& rule : channelRules) {
    int errors = 0;
    std::string first;
    for (int shift = 0; shift < 32; shift += 8)
      for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
          const uint32_t other1 = 0xFF00FF80u & ~(0xFFu << shift);
          const uint32_t other2 = 0x01FF7F80u & ~(0xFFu << shift);
          const uint32_t c1 = other1 | uint32_t(a) << shift;
          const uint32_t c2 =
              rule.routine == &ColorScale ? uint32_t(b) : other2 | uint32_t(b) << shift;
          const uint32_t got = (*rule.routine)(c1, c2);
          uint32_t want = 0;
          for (int s = 0; s < 32; s += 8) {
            const int x = (c1 >> s) & 0xFF;
            const int y = rule.routine == &ColorScale ? b : int((c2 >> s) & 0xFF);
            want |= uint32_t(rule.channel(x, y)) << s;
          }
          if (got != want && errors++ == 0)
            first = std::to_string(c1) + ", " + std::to_string(c2) + " -> " + std::to_string(got);
        }
    EMMS();
    EXPECT_EQ(errors, 0) << rule.name << " first: " << first;
  }
}

TEST_P(ColorTier, LightenMovesColourChannelsOnlyAndClamps) {
  TierScope scope(GetParam());
  int errors = 0;
  for (int amount = -255; amount <= 255; ++amount)
    for (int c = 0; c < 256; ++c) {
      const uint32_t color =
          uint32_t(255 - c) << 24 | uint32_t(c) << 16 | uint32_t(c ^ 0x55) << 8 | uint32_t(255 - c);
      uint32_t want = color & 0xFF000000;
      for (int s = 0; s < 24; s += 8)
        want |= uint32_t(std::clamp(int((color >> s) & 0xFF) + amount, 0, 255)) << s;
      errors += LightenReg(color, amount) != want;
    }
  EMMS();
  EXPECT_EQ(errors, 0);
}

TEST_P(ColorTier, KnownValues) {
  TierScope scope(GetParam());
  EXPECT_EQ(ColorAdd(0x80FF1020, 0x80010FF0), 0xFFFF1FFFu);
  EXPECT_EQ(ColorSub(0x10203040, 0x20101050), 0x00102000u);
  EXPECT_EQ(ColorDiv(0x00000000, 0x12345678), 0xFFFFFFFFu);
  EXPECT_EQ(ColorDiv(0x80808080, 0x40404040), 0x80808080u);
  EXPECT_EQ(ColorDiv(0x01010101, 0x02020202), 0xFFFFFFFFu);
  EXPECT_EQ(ColorModulate(0xFFFFFFFF, 0xFFFFFFFF), 0xFEFEFEFEu);
  EXPECT_EQ(ColorExclusion(0xFFFFFFFF, 0xFFFFFFFF), 0x02020202u);
  EXPECT_EQ(ColorExclusion(0xFF000000, 0x00FFFFFF), 0xFFFFFFFFu);
  EXPECT_EQ(ColorAverage(0xFFFFFFFF, 0x00000001), 0x7F7F7F80u);
  EXPECT_EQ(LightenReg(0x80FF0010, 20), 0x80FF1424u);
  EXPECT_EQ(LightenReg(0x80FF0010, -20), 0x80EB0000u);
  EMMS();
}

INSTANTIATE_TEST_SUITE_P(Tiers, ColorTier, ::testing::ValuesIn(Tiers()),
                         [](const auto& info) { return TierName(info.param); });

}  // namespace
}  // namespace gfx::testing
