// Every processor tier of the block average and the four-pixel interpolation against the
// portable implementation and against exact arithmetic.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "Helpers.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/ResamplersTiers.h"

namespace {

using namespace gfx;
using namespace resampling_test;

TEST(BlockAverageTiers, EveryTierGivesTheExactMeanRoundedDown) {
  std::mt19937 random(21);
  std::vector<TColor32> pixels(300 * 40);
  for (TColor32& p : pixels) p = random();
  const uint32_t sizes[][2] = {{1, 1},  {3, 1},   {1, 3},    {3, 3}, {5, 7},
                               {17, 2}, {259, 3}, {300, 40}, {7, 40}};
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (const auto& s : sizes) {
      const TColor32 got = BlockAverage(s[0], s[1], pixels.data(), 300 * 4);
      for (int shift = 0; shift < 32; shift += 8) {
        uint64_t sum = 0;
        for (uint32_t y = 0; y < s[1]; ++y)
          for (uint32_t x = 0; x < s[0]; ++x) sum += (pixels[y * 300 + x] >> shift) & 0xFF;
        EXPECT_EQ((got >> shift) & 0xFF, sum / (uint64_t(s[0]) * s[1]))
            << int(tier) << " " << s[0] << "x" << s[1];
      }
    }
  }
}

TEST(BlockAverageTiers, OpaqueWhiteStaysOpaqueWhiteForEveryArea) {
  std::vector<TColor32> white(64 * 64, 0xFFFFFFFF);
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (uint32_t w = 1; w <= 64; w += 3)
      for (uint32_t h = 1; h <= 64; h += 5)
        ASSERT_EQ(BlockAverage(w, h, white.data(), 64 * 4), 0xFFFFFFFFu) << w << "x" << h;
  }
}

// The portable interpolation mixes through the bound CombineReg; each tier binds both together,
// so each tier's interpolation equals the portable one over that tier's CombineReg.
TEST(InterpolatorTiers, EveryTierMatchesThePortableForm) {
  std::mt19937 random(22);
  for (TImplementationTier tier : Tiers()) {
    TierScope scope(tier);
    for (int i = 0; i < 20000; ++i) {
      const TColor32 top[2] = {TColor32(random()), TColor32(random())};
      const TColor32 bottom[2] = {TColor32(random()), TColor32(random())};
      const uint32_t wx = random() % 260, wy = random() % 260;
      ASSERT_EQ(Interpolator(wx, wy, top, bottom),
                resamplers_portable::Interpolator(wx, wy, top, bottom))
          << int(tier) << " " << wx << " " << wy;
    }
  }
}

TEST(InterpolatorTiers, PortableFormWeightsByTheEngineTables) {
  TierScope portable(tierPortable);
  const TColor32 top[2] = {0xFF000000, 0xFFFFFFFF};
  const TColor32 bottom[2] = {0xFF000000, 0xFFFFFFFF};
  for (uint32_t w = 0; w <= 256; ++w) {
    const uint32_t clamped = w > 255 ? 255 : w;
    const TColor32 c = Interpolator(w, 255, top, bottom);
    EXPECT_EQ(c & 0xFF, MulDiv255(255 - clamped, 255)) << w;
  }
}

}  // namespace
