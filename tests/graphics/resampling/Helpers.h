// Helpers of the resampling and transform suites: engine start-up, bitmaps from functions,
// random pictures, one processor tier at a time, and the portable blend arithmetic as an oracle.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"
#include "graphics/core/System.h"
#include "support/TierScope.h"

namespace resampling_test {

using namespace gfx;

struct EngineEnvironment : ::testing::Environment {
  void SetUp() override { StartEngine(); }
};

inline void Fill(TCustomBitmap32& B, int32_t W, int32_t H,
                 const std::function<TColor32(int32_t, int32_t)>& F) {
  B.SetSize(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) B.SetPixel(x, y, F(x, y));
}

inline void FillRandom(TCustomBitmap32& B, int32_t W, int32_t H, unsigned Seed,
                       bool Opaque = false) {
  std::mt19937 random(Seed);
  Fill(B, W, H, [&](int32_t, int32_t) {
    const TColor32 c = random();
    return Opaque ? c | 0xFF000000 : c;
  });
}

inline std::vector<TColor32> Pixels(const TCustomBitmap32& B) {
  return std::vector<TColor32>(B.Bits(), B.Bits() + int64_t(B.Width()) * B.Height());
}

using test_support::Tiers;
using test_support::TierScope;

// Round(a * x / 255) with halves up, as the engine's multiplication table holds it.
inline uint32_t MulDiv255(uint32_t A, uint32_t X) {
  return (A * X * 2 + 255) / 510;
}

// The portable blend of F over B with weight a: colour channels mixed, B's alpha kept.
inline TColor32 PortableBlend(TColor32 F, TColor32 B, uint32_t a) {
  if (a == 0) return B;
  if (a == 255) return F;
  TColor32 r = B & 0xFF000000;
  for (int s = 0; s <= 16; s += 8)
    r |= (MulDiv255(a, (F >> s) & 0xFF) + MulDiv255(255 - a, (B >> s) & 0xFF)) << s;
  return r;
}

}  // namespace resampling_test
