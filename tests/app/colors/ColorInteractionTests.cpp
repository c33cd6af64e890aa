// The colour-interaction handlers against per-channel formulas, the pattern phases and the
// binding of modes to bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

#include "app/colors/ColorInteraction.h"
#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/filters/BlendModes.h"

namespace {

using gfx::TColor32;

struct StartEngine : testing::Environment {
  void SetUp() override { gfx::StartEngine(); }
};
const auto* const startEngine = testing::AddGlobalTestEnvironment(new StartEngine);

// Applies a per-channel formula to all four channels.
TColor32 PerChannel(TColor32 f, TColor32 b, const std::function<int(int f, int b)>& formula) {
  TColor32 out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int value = formula(int((f >> shift) & 0xFF), int((b >> shift) & 0xFF));
    out |= TColor32(value) << shift;
  }
  return out;
}

TEST(ColorInteractionHandlers, ArithmeticHandlersCombineAllFourChannels) {
  const struct {
    int mode;
    std::function<int(int f, int b)> formula;
  } cases[] = {
      {app::ColorModeAdd, [](int f, int b) { return std::min(255, f + b); }},
      {app::ColorModeSub, [](int f, int b) { return std::max(0, f - b); }},
      {app::ColorModeModulate, [](int f, int b) { return f * b / 256; }},
      {app::ColorModeMin, [](int f, int b) { return std::min(f, b); }},
      {app::ColorModeMax, [](int f, int b) { return std::max(f, b); }},
      {app::ColorModeDifference, [](int f, int b) { return std::abs(f - b); }},
      {app::ColorModeExclusion, [](int f, int b) { return f + b - f * b / 128; }},
      {app::ColorModeAverage, [](int f, int b) { return (f + b) / 2; }},
      {app::ColorModeDivision,
       [](int f, int b) { return f == 0 ? 255 : std::min(255, b * 256 / f); }},
  };
  app::TColorInteraction set;
  std::mt19937 random(5);
  for (const auto& c : cases) {
    const gfx::TPixelCombineEvent handler = set.Handler(c.mode);
    ASSERT_TRUE(handler) << c.mode;
    for (int i = 0; i < 100000; ++i) {
      TColor32 f = random(), b = random();
      if (i < 256) f = (f & 0xFFFFFF00u) | TColor32(i), b = (b & 0xFFFF00FFu) | TColor32(i) << 8;
      TColor32 B = b;
      handler(f, B, TColor32(random()));  // the master alpha plays no part
      ASSERT_EQ(B, PerChannel(f, b, c.formula))
          << "mode " << c.mode << std::hex << " F=" << f << " B=" << b;
    }
  }
}

TEST(ColorInteractionHandlers, KnownValues) {
  app::TColorInteraction set;
  TColor32 B = 0x80010FF0u;
  set.PixelCombineAdd(0x80FF1020u, B, 0);
  EXPECT_EQ(B, 0xFFFF1FFFu);  // the alpha bytes are summed too
  B = 0x20101050u;
  set.PixelCombineSub(0x10203040u, B, 255);
  EXPECT_EQ(B, 0x00102000u);  // foreground minus background
  B = 0x12345678u;
  set.PixelCombineDivision(0, B, 255);
  EXPECT_EQ(B, 0xFFFFFFFFu);
  B = 0x40404040u;
  set.PixelCombineDivision(0x80808080u, B, 255);
  EXPECT_EQ(B, 0x80808080u);  // background over foreground, scaled by 256
}

TEST(ColorInteractionHandlers, PatternTakesTheForegroundOnEverySecondCallOfItsSet) {
  app::TColorInteraction set, other;
  const gfx::TPixelCombineEvent pattern = set.Handler(app::ColorModePattern);
  auto run = [&](int calls) {
    std::vector<bool> changed;
    for (int i = 0; i < calls; ++i) {
      TColor32 B = 0x11111111u;
      pattern(0x00ABCDEFu, B, 255);  // copied whole, whatever its alpha
      EXPECT_TRUE(B == 0x11111111u || B == 0x00ABCDEFu);
      changed.push_back(B != 0x11111111u);
    }
    return changed;
  };
  EXPECT_EQ(run(5), (std::vector<bool>{false, true, false, true, false}));
  EXPECT_EQ(set.PatternCounter(), 7);
  // Another set keeps its own phase.
  TColor32 B = 1;
  other.PixelCombinePattern(2, B, 255);
  EXPECT_EQ(B, 1u);
  EXPECT_EQ(run(5), (std::vector<bool>{true, false, true, false, true}));
  EXPECT_EQ(other.PatternCounter(), 7);
}

TEST(ColorInteractionHandlers, OnlyModesOneToTenHaveHandlers) {
  app::TColorInteraction set;
  EXPECT_FALSE(set.Handler(0));
  EXPECT_FALSE(set.Handler(11));
  EXPECT_FALSE(set.Handler(-1));
  EXPECT_EQ(app::ColorInteractionNames[7], "Exclusion");
  EXPECT_NE(&app::MainWindowInteraction(), &app::RotationDialogInteraction());
  EXPECT_NE(&app::RotationDialogInteraction(), &app::LayerBuilderInteraction());
}

TEST(ColorInteractionBinding, ModesBindHandlersOrBlendModes) {
  gfx::TCustomBitmap32 bitmap;
  int changes = 0;
  bitmap.OnChange = [&](plat::TObject*) { ++changes; };
  app::TColorInteraction set;

  EXPECT_FALSE(app::BindColorInteraction(bitmap, 0, set));
  EXPECT_EQ(bitmap.DrawMode(), gfx::dmOpaque);
  EXPECT_EQ(changes, 0);

  ASSERT_TRUE(app::BindColorInteraction(bitmap, app::ColorModeAdd, set));
  EXPECT_EQ(bitmap.DrawMode(), gfx::dmCustom);
  EXPECT_GE(changes, 1);
  TColor32 B = 0x01020304u;
  bitmap.OnPixelCombine(0x10101010u, B, 0);
  EXPECT_EQ(B, 0x11121314u);

  ASSERT_TRUE(app::BindColorInteraction(bitmap, 11, set));  // the first blend mode
  using Plain = void (*)(TColor32, TColor32&, TColor32);
  ASSERT_NE(bitmap.OnPixelCombine.target<Plain>(), nullptr);
  EXPECT_EQ(*bitmap.OnPixelCombine.target<Plain>(), gfx::BlendModeMultiply);
  ASSERT_TRUE(app::BindColorInteraction(bitmap, 36, set));
  EXPECT_EQ(*bitmap.OnPixelCombine.target<Plain>(), gfx::BlendModeLightness);
}

// Which pixels of a width x height picture take the layer when it is drawn with a set's
// pattern handler; '#' marks them, row by row.
std::string DrawPattern(app::TColorInteraction& set, int width, int height) {
  gfx::TCustomBitmap32 layer, picture;
  layer.SetSize(width, height);
  picture.SetSize(width, height);
  layer.ClearWithColor(0xFFFFFFFFu);
  picture.ClearWithColor(0xFF000000u);
  app::BindColorInteraction(layer, app::ColorModePattern, set);
  layer.SetMasterAlpha(0);  // ignored by the handlers
  layer.DrawTo(picture, 0, 0);
  std::string rows;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) rows += picture.Pixel(x, y) == 0xFFFFFFFFu ? '#' : '.';
    rows += '/';
  }
  return rows;
}

TEST(ColorInteractionBinding, PatternDrawsColumnsOrACheckerboardAndKeepsItsPhase) {
  app::TColorInteraction set;
  EXPECT_EQ(DrawPattern(set, 4, 2), ".#.#/.#.#/");    // even rows keep the phase
  EXPECT_EQ(DrawPattern(set, 3, 3), ".#./#.#/.#./");  // odd rows alternate it
  // Nine calls left the phase odd: the next draw starts by taking the layer.
  EXPECT_EQ(DrawPattern(set, 2, 1), "#./");
  app::TColorInteraction fresh;
  EXPECT_EQ(DrawPattern(fresh, 2, 1), ".#/");
}

TEST(ColorInteractionBinding, PictureToolsIndexesSkipExclusionAndSeparators) {
  for (int i = 0; i <= 6; ++i) EXPECT_EQ(app::PictureToolsColorMode(i), i);
  EXPECT_EQ(app::PictureToolsColorMode(7), app::ColorModeAverage);
  EXPECT_EQ(app::PictureToolsColorMode(8), app::ColorModeDivision);
  EXPECT_EQ(app::PictureToolsColorMode(9), app::ColorModePattern);
  EXPECT_EQ(app::PictureToolsColorMode(10), 11);  // "Multiply", blend mode 1
  EXPECT_EQ(app::PictureToolsColorMode(24), 25);  // "Difference 2", blend mode 15
  EXPECT_EQ(app::PictureToolsColorMode(25), -1);
  EXPECT_EQ(app::PictureToolsColorMode(26), 27);  // "Negation", blend mode 17
  EXPECT_EQ(app::PictureToolsColorMode(33), -1);
  EXPECT_EQ(app::PictureToolsColorMode(35), 36);  // "Lightness", blend mode 26
}

}  // namespace
