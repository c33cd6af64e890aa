// Hand-computed values of the blend modes, the weighting frame and the selector.
#include <gtest/gtest.h>

#include "graphics/filters/BlendModes.h"

namespace {

using gfx::TColor32;

TColor32 Grey(int v, int alpha = 255) {
  return TColor32(alpha) << 24 | v * 0x010101u;
}

// The written channel when an opaque grey f is drawn over the grey b at master alpha 255.
int Draw(gfx::TBlendModeProc proc, int f, int b) {
  TColor32 B = Grey(b);
  proc(Grey(f), B, 255);
  EXPECT_EQ(B >> 24, 0xFFu);
  EXPECT_EQ(B & 0xFF, (B >> 8) & 0xFF);
  EXPECT_EQ(B & 0xFF, (B >> 16) & 0xFF);
  return int(B & 0xFF);
}

TEST(BlendModeValues, OpaqueForegroundSpotValues) {
  // Written results for (f, b) = (200, 100), (100, 200), (255, 255), (0, 0).
  const struct {
    const char* name;
    gfx::TBlendModeProc proc;
    int expected[4];
  } modes[] = {
      {"Multiply", gfx::BlendModeMultiply, {78, 78, 254, 0}},
      {"Screen", gfx::BlendModeScreen, {221, 221, 255, 0}},
      {"Overlay", gfx::BlendModeOverlay, {155, 189, 255, 0}},
      {"Reflect", gfx::BlendModeReflect, {180, 254, 255, 0}},
      {"Soft Light", gfx::BlendModeSoftLight, {133, 190, 254, 0}},
      {"Bright Light", gfx::BlendModeBrightLight, {140, 141, 255, 0}},
      {"Hard Light", gfx::BlendModeHardLight, {188, 156, 255, 0}},
      {"Color Dodge", gfx::BlendModeColorDodge, {253, 254, 255, 0}},
      {"Color Burn", gfx::BlendModeColorBurn, {57, 115, 255, 0}},
      {"Lighten", gfx::BlendModeLighten, {199, 200, 255, 0}},
      {"Subtractive", gfx::BlendModeSubtractive, {44, 45, 254, 0}},
      {"Difference", gfx::BlendModeDifference, {100, 100, 1, 0}},
      {"Exclusion", gfx::BlendModeExclusion, {143, 144, 3, 0}},
      {"Negation", gfx::BlendModeNegation, {209, 209, 1, 0}},
      {"Glow", gfx::BlendModeGlow, {253, 180, 254, 0}},
      {"Heat", gfx::BlendModeHeat, {224, 135, 255, 0}},
      {"Freeze", gfx::BlendModeFreeze, {134, 224, 255, 0}},
  };
  const int pairs[4][2] = {{200, 100}, {100, 200}, {255, 255}, {0, 0}};
  for (const auto& mode : modes) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(Draw(mode.proc, pairs[i][0], pairs[i][1]), mode.expected[i])
          << mode.name << " f=" << pairs[i][0] << " b=" << pairs[i][1];
    }
  }
}

TEST(BlendModeValues, WeightingFrame) {
  // Opaque white over 128 multiplies to 127 and mixes with weight 254.
  EXPECT_EQ(Draw(gfx::BlendModeMultiply, 255, 128), 127);
  // Normal: opaque black over white leaves (255 * 2) >> 8 = 1.
  TColor32 B = 0xFFFFFFFFu;
  gfx::BlendModeNormal(0xFF000000u, B, 255);
  EXPECT_EQ(B, 0xFF010101u);
  // Half master alpha halves the weight: a = (255 * 128) >> 8 = 127.
  B = Grey(0);
  gfx::BlendModeNormal(Grey(255), B, 128);
  EXPECT_EQ(B, Grey((255 * 127) >> 8));
  // Only the low byte of the master alpha counts.
  B = Grey(0);
  gfx::BlendModeNormal(Grey(255), B, 0x100);
  EXPECT_EQ(B, Grey(0));
  // A negative difference rounds away from the background (toward minus infinity).
  EXPECT_EQ(Draw(gfx::BlendModeDarken, 100, 101), 100);
  EXPECT_EQ(Draw(gfx::BlendModeDarken, 0, 1), 0);
}

TEST(BlendModeValues, ZeroWeightLeavesBackgroundWholeInEveryMode) {
  for (int mode = 0; mode < gfx::BlendModeCount; ++mode) {
    const TColor32 original = 0x37A1B2C3u;
    TColor32 B = original;
    gfx::BlendModeProcs[mode](0x01FF0080u, B, 255);  // alpha 1: a = 0
    EXPECT_EQ(B, original) << mode;
    gfx::BlendModeProcs[mode](0xFF123456u, B, 0);  // master alpha 0
    EXPECT_EQ(B, original) << mode;
  }
}

TEST(BlendModeValues, ChangedPixelsKeepTheBackgroundAlpha) {
  for (int mode = 0; mode < gfx::BlendModeCount; ++mode) {
    // A light foreground over a dark background and the reverse: every mode changes at
    // least one of the two.
    TColor32 dark = 0x40204060u, light = 0x40C0A080u;
    gfx::BlendModeProcs[mode](0xFFE0C0A0u, dark, 255);
    gfx::BlendModeProcs[mode](0xFF102030u, light, 255);
    EXPECT_EQ(dark >> 24, 0x40u) << mode;
    EXPECT_EQ(light >> 24, 0x40u) << mode;
    EXPECT_TRUE(dark != 0x40204060u || light != 0x40C0A080u) << mode;
  }
}

TEST(BlendModeValues, SpecialCasesOfTheDividingModes) {
  EXPECT_EQ(Draw(gfx::BlendModeColorBurn, 0, 255), 1);  // res 0, mixed with weight 254
  EXPECT_EQ(Draw(gfx::BlendModeColorDodge, 255, 0), 253);
  EXPECT_EQ(Draw(gfx::BlendModeReflect, 255, 0), 253);
  EXPECT_EQ(Draw(gfx::BlendModeHeat, 255, 0), 0);
  EXPECT_EQ(Draw(gfx::BlendModeFreeze, 0, 255), 1);
  EXPECT_EQ(Draw(gfx::BlendModeGlow, 0, 255), 254);
  EXPECT_EQ(Draw(gfx::BlendModeSubtractive, 128, 128), 1);
  EXPECT_EQ(Draw(gfx::BlendModeSubtractive, 100, 200), 45);
}

TEST(BlendModeValues, ColourChannelModesAndHsl) {
  TColor32 B = 0xFF102030u;
  gfx::BlendModeGreen(0xFFFFFFFFu, B, 255);
  EXPECT_EQ(B, 0xFF10FD30u);  // 32 + ((255 - 32) * 254 >> 8) = 253
  // Lightness of white over red builds white; hue of green over red builds green; saturation
  // of grey over red builds the grey of lightness 0.5 (128, a tie rounded to even).
  B = 0xFFFF0000u;
  gfx::BlendModeLightness(0xFFFFFFFFu, B, 255);
  EXPECT_EQ(B, 0xFFFFFDFDu);
  B = 0xFFFF0000u;
  gfx::BlendModeHue(0xFF00FF00u, B, 255);
  EXPECT_EQ(B, 0xFF01FD00u);
  B = 0xFFFF0000u;
  gfx::BlendModeSaturation(0xFF808080u, B, 255);
  EXPECT_EQ(B, 0xFF807F7Fu);
}

TEST(BlendModeSelector, MapsModesToCallbacks) {
  gfx::TPixelCombineEvent event = [](TColor32, TColor32& B, TColor32) { B = 1; };
  gfx::SelectBlendModeCombiner(28, event);
  ASSERT_TRUE(event);
  gfx::SelectBlendModeCombiner(-2, event);
  TColor32 B = 0;
  event(0, B, 0);
  EXPECT_EQ(B, 1u);  // still the handler it was given

  for (int mode = 0; mode < gfx::BlendModeCount; ++mode) {
    gfx::SelectBlendModeCombiner(mode, event);
    auto* const* plain = event.target<void (*)(TColor32, TColor32&, TColor32)>();
    ASSERT_NE(plain, nullptr) << mode;  // a plain function: no object behind it
    EXPECT_EQ(*plain, gfx::BlendModeProcs[mode]) << mode;
  }
  gfx::SelectBlendModeCombiner(1, event);
  EXPECT_EQ(*event.target<void (*)(TColor32, TColor32&, TColor32)>(), gfx::BlendModeMultiply);
  gfx::SelectBlendModeCombiner(26, event);
  EXPECT_EQ(*event.target<void (*)(TColor32, TColor32&, TColor32)>(), gfx::BlendModeLightness);
  gfx::SelectBlendModeCombiner(-1, event);
  EXPECT_FALSE(event);
}

}  // namespace
