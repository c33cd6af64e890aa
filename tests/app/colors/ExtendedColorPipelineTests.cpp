// The extended colour chain against hand-computed pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "app/colors/ExtendedColorPipeline.h"
#include "graphics/bitmap/Bitmap32.h"

namespace {

using app::TExtendedColorSettings;

// A picture kept as rows of blue, green, red, fourth byte.
class Rows : public app::TPixelRows {
 public:
  Rows(int width, int height)
      : width_(width), height_(height), bytes_(size_t(width) * height * 4) {}
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  uint8_t* ScanLine(int32_t y) override { return bytes_.data() + size_t(y) * width_ * 4; }

  struct Pixel {
    int r, g, b, x;
    bool operator==(const Pixel&) const = default;
  };
  void Set(int i, Pixel p) {
    uint8_t* q = bytes_.data() + i * 4;
    q[0] = uint8_t(p.b), q[1] = uint8_t(p.g), q[2] = uint8_t(p.r), q[3] = uint8_t(p.x);
  }
  Pixel Get(int i) const {
    const uint8_t* q = bytes_.data() + i * 4;
    return {q[2], q[1], q[0], q[3]};
  }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  int width_, height_;
  std::vector<uint8_t> bytes_;
};

std::ostream& operator<<(std::ostream& out, const Rows::Pixel& p) {
  return out << "(r " << p.r << ", g " << p.g << ", b " << p.b << ", x " << p.x << ")";
}

// Runs the pixel pass over one pixel.
Rows::Pixel Pass(Rows::Pixel p, const TExtendedColorSettings& s) {
  Rows rows(1, 1);
  rows.Set(0, p);
  app::MaxPixels(rows, s);
  return rows.Get(0);
}

TEST(ExtendedColorPipeline, DefaultsLeaveEveryByteAsItWas) {
  Rows rows(7, 5);
  std::mt19937 random(3);
  for (uint8_t& byte : rows.Bytes()) byte = uint8_t(random());
  const std::vector<uint8_t> before = rows.Bytes();
  app::MaxPixels(rows, TExtendedColorSettings{});
  EXPECT_EQ(rows.Bytes(), before);
}

TEST(ExtendedColorPipeline, RoundingIsHalfToEven) {
  EXPECT_EQ(app::SaturationFactor(30), 76);   // 76.5
  EXPECT_EQ(app::SaturationFactor(10), 26);   // 25.5
  EXPECT_EQ(app::SaturationFactor(50), 128);  // 127.5
  EXPECT_EQ(app::SaturationFactor(-30), -76);
  EXPECT_EQ(app::SaturationFactor(100), 255);
  EXPECT_EQ(app::SaturationFactor(-255), -650);  // 650.25
  EXPECT_EQ(app::SaturationFactor(255), 650);

  TExtendedColorSettings s;
  s.BalanceR = {5, 1};  // 5 / 2 = 2.5 -> 2
  EXPECT_EQ(Pass({10, 20, 30, 0}, s), (Rows::Pixel{12, 20, 30, 0}));
  s.BalanceR = {3, 1};  // 1.5 -> 2
  EXPECT_EQ(Pass({10, 20, 30, 0}, s), (Rows::Pixel{12, 20, 30, 0}));
  s.BalanceR = {-5, 1};
  EXPECT_EQ(Pass({10, 20, 30, 0}, s), (Rows::Pixel{8, 20, 30, 0}));
}

TEST(ExtendedColorPipeline, Saturation) {
  TExtendedColorSettings s;
  s.SaturationRGB = 0;  // skipped, not grey
  EXPECT_EQ(Pass({100, 50, 30, 9}, s), (Rows::Pixel{100, 50, 30, 9}));
  s.SaturationRGB = -100;  // reflected about the mean 60
  EXPECT_EQ(Pass({100, 50, 30, 9}, s), (Rows::Pixel{20, 70, 90, 9}));
  s.SaturationRGB = 200;  // k 510: doubled distance from the mean, clamped
  EXPECT_EQ(Pass({100, 50, 30, 9}, s), (Rows::Pixel{140, 40, 0, 9}));

  // Each single-channel step sees the mean of the pixel as changed by the steps before it,
  // and its division truncates toward zero.
  TExtendedColorSettings t;
  t.SaturationR = 200;  // mean 60: red 60 + 40 * 2 = 140
  t.SaturationG = 150;  // k 382, mean 220 / 3 = 73: -23 * 382 / 255 = -34.45 -> -34
  EXPECT_EQ(Pass({100, 50, 30, 0}, t), (Rows::Pixel{140, 39, 30, 0}));
}

TEST(ExtendedColorPipeline, Thresholds) {
  TExtendedColorSettings s;
  s.ThresholdTouched = true;
  s.ThresholdR = {true, false, 0};   // nothing is below 0
  s.ThresholdG = {true, true, 255};  // nothing is above 255
  EXPECT_EQ(Pass({0, 255, 7, 1}, s), (Rows::Pixel{0, 255, 7, 1}));
  s.ThresholdR = {true, false, 100};
  s.ThresholdG = {true, true, 100};
  s.ThresholdB = {false, false, 255};  // off
  EXPECT_EQ(Pass({99, 101, 7, 1}, s), (Rows::Pixel{0, 0, 7, 1}));
  EXPECT_EQ(Pass({100, 100, 7, 1}, s), (Rows::Pixel{100, 100, 7, 1}));
}

TEST(ExtendedColorPipeline, BrightnessAndContrastTouchAllFourBytes) {
  TExtendedColorSettings s;
  s.Brightness = 20;
  EXPECT_EQ(Pass({235, 240, 10, 100}, s), (Rows::Pixel{255, 255, 30, 120}));
  s.Brightness = -20;
  EXPECT_EQ(Pass({235, 240, 10, 100}, s), (Rows::Pixel{215, 220, 0, 80}));

  TExtendedColorSettings c;
  c.Contrast = -40;  // cut at 40, amount Round(exp(-0.8)) = 0
  EXPECT_EQ(Pass({30, 50, 40, 41}, c), (Rows::Pixel{0, 50, 0, 41}));
  c.Contrast = 50;  // cut at 205, amount Round(e) = 3
  EXPECT_EQ(Pass({100, 210, 204, 205}, c), (Rows::Pixel{103, 255, 207, 255}));
  c.Contrast = -34;  // amount Round(exp(-0.68)) = 1
  EXPECT_EQ(Pass({100, 34, 35, 0}, c), (Rows::Pixel{101, 0, 36, 0}));
  c.Contrast = -35;  // amount Round(exp(-0.7)) = 0
  EXPECT_EQ(Pass({100, 35, 36, 0}, c), (Rows::Pixel{100, 0, 36, 0}));
  // A small negative contrast must not wrap white round to black.
  c.Contrast = -10;
  EXPECT_EQ(Pass({255, 254, 11, 10}, c), (Rows::Pixel{255, 255, 12, 0}));
}

TEST(ExtendedColorPipeline, BalanceAlgorithmsAndPartners) {
  auto red = [](app::TBalanceSection section, Rows::Pixel p) {
    TExtendedColorSettings s;
    s.BalanceR = section;
    return Pass(p, s);
  };
  // +1 with divisor 2 adds 0: nothing for algorithm 1, red xor green for algorithm 9.
  EXPECT_EQ(red({1, 1}, {10, 6, 3, 0}), (Rows::Pixel{10, 6, 3, 0}));
  EXPECT_EQ(red({1, 9}, {10, 6, 3, 0}), (Rows::Pixel{10 ^ 6, 6, 3, 0}));
  // Divisor 1 for algorithms 3, 4, 7, 8; a change that would leave 0..255 is skipped.
  EXPECT_EQ(red({3, 3}, {10, 6, 3, 0}), (Rows::Pixel{13, 6, 3, 0}));
  EXPECT_EQ(red({4, 3}, {254, 6, 3, 0}), (Rows::Pixel{254, 6, 3, 0}));
  EXPECT_EQ(red({-4, 3}, {1, 6, 3, 0}), (Rows::Pixel{1, 6, 3, 0}));
  // Algorithms 2 and 4 need a non-zero channel.
  EXPECT_EQ(red({4, 2}, {0, 6, 3, 0}), (Rows::Pixel{0, 6, 3, 0}));
  EXPECT_EQ(red({4, 4}, {0, 6, 3, 0}), (Rows::Pixel{0, 6, 3, 0}));
  EXPECT_EQ(red({4, 4}, {1, 6, 3, 0}), (Rows::Pixel{5, 6, 3, 0}));
  // 5: channel and partner A (green) non-zero, xor A; 6: partner B (blue), xor B.
  EXPECT_EQ(red({4, 5}, {9, 0, 3, 0}), (Rows::Pixel{9, 0, 3, 0}));
  EXPECT_EQ(red({4, 5}, {9, 6, 3, 0}), (Rows::Pixel{11 ^ 6, 6, 3, 0}));
  EXPECT_EQ(red({4, 6}, {9, 6, 0, 0}), (Rows::Pixel{9, 6, 0, 0}));
  EXPECT_EQ(red({4, 6}, {9, 6, 3, 0}), (Rows::Pixel{11 ^ 3, 6, 3, 0}));
  // 7 and 8: non-zero channel, xor A or B with divisor 1.
  EXPECT_EQ(red({4, 7}, {9, 6, 3, 0}), (Rows::Pixel{13 ^ 6, 6, 3, 0}));
  EXPECT_EQ(red({4, 8}, {9, 6, 3, 0}), (Rows::Pixel{13 ^ 3, 6, 3, 0}));
  // 10: xor B, but red uses or B when the value is negative.
  EXPECT_EQ(red({4, 10}, {9, 6, 12, 0}), (Rows::Pixel{11 ^ 12, 6, 12, 0}));
  EXPECT_EQ(red({-4, 10}, {9, 6, 12, 0}), (Rows::Pixel{7 | 12, 6, 12, 0}));

  TExtendedColorSettings green;
  green.BalanceG = {-4, 10};  // green's partner B is blue; green keeps xor
  EXPECT_EQ(Pass({1, 9, 12, 0}, green), (Rows::Pixel{1, 7 ^ 12, 12, 0}));
  TExtendedColorSettings blue;
  blue.BalanceB = {4, 9};  // blue's partner A is red
  EXPECT_EQ(Pass({5, 9, 12, 0}, blue), (Rows::Pixel{5, 9, 14 ^ 5, 0}));
}

TEST(ExtendedColorPipeline, RgbBalanceSeesChannelsAlreadyChanged) {
  TExtendedColorSettings s;
  s.BalanceRGB = {2, 9};  // a = 1, xor partner A
  // Red (1 + 1) ^ 2 = 0; green (2 + 1) ^ new red 0 = 3; blue (4 + 1) ^ new red 0 = 5.
  EXPECT_EQ(Pass({1, 2, 4, 0}, s), (Rows::Pixel{0, 3, 5, 0}));
  s.BalanceRGB = {2, 6};  // xor partner B: blue for red and green, the new green for blue
  // Red (9 + 1) ^ 3 = 9; green (6 + 1) ^ 3 = 4; blue (3 + 1) ^ new green 4 = 0.
  EXPECT_EQ(Pass({9, 6, 3, 0}, s), (Rows::Pixel{9, 4, 0, 0}));
  // Sections run in order: RGB first, then red on the result.
  s.BalanceRGB = {20, 3};
  s.BalanceR = {-10, 3};
  EXPECT_EQ(Pass({100, 100, 100, 0}, s), (Rows::Pixel{110, 120, 120, 0}));
}

TEST(ExtendedColorPipeline, GammaTableFollowsPower) {
  for (int gauge = 1; gauge <= 700; ++gauge) {
    const double g = gauge / 100.0;
    const auto table = app::GammaTable(g);
    ASSERT_EQ(table[0], 0);
    for (int i = 1; i < 256; ++i) {
      ASSERT_EQ(table[i], int(std::round(255 * std::pow(i / 255.0, 1 / g)))) << g << " " << i;
    }
  }
  EXPECT_EQ(app::GammaTable(7.0)[1], 116);
  EXPECT_EQ(app::GammaTable(0), app::GammaTable(0.01));
  // Out-of-range values saturate instead of overflowing.
  EXPECT_EQ(app::GammaTable(-0.01)[1], 255);
  EXPECT_EQ(app::GammaTable(-0.01)[0], 0);
}

TEST(ExtendedColorPipeline, GammaMapsColourBytesOnlyAndIsClampedInThePass) {
  Rows rows(3, 2);
  for (int i = 0; i < 6; ++i) rows.Set(i, {i * 40, 1, 250, 77});
  app::Gamma(rows, 7.0);
  const auto table = app::GammaTable(7.0);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(rows.Get(i), (Rows::Pixel{table[i * 40], table[1], table[250], 77}));
  }
  TExtendedColorSettings s;
  s.Gamma = 900;  // beyond 7.0
  EXPECT_EQ(Pass({1, 1, 1, 5}, s), (Rows::Pixel{116, 116, 116, 5}));
}

TEST(ExtendedColorPipeline, SwapsExchangeTheirTwoChannels) {
  Rows rows(2, 1);
  rows.Set(0, {1, 2, 3, 4});
  rows.Set(1, {5, 6, 7, 8});
  app::SwapRedBluePixels(rows);
  EXPECT_EQ(rows.Get(1), (Rows::Pixel{7, 6, 5, 8}));
  app::SwapRedGreenPixels(rows);
  EXPECT_EQ(rows.Get(1), (Rows::Pixel{6, 7, 5, 8}));
  app::SwapGreenBluePixels(rows);
  EXPECT_EQ(rows.Get(1), (Rows::Pixel{6, 5, 7, 8}));
  EXPECT_EQ(rows.Get(0), (Rows::Pixel{2, 1, 3, 4}));
}

TEST(ExtendedColorPipeline, PixelPassRunsOnlyWhenSomethingAsksForIt) {
  TExtendedColorSettings s;
  EXPECT_TRUE(app::NeedsPixelPass(s));  // gamma and saturation are never 0 in the dialog
  s.Gamma = 0;
  s.SaturationRGB = s.SaturationR = s.SaturationG = s.SaturationB = 0;
  EXPECT_FALSE(app::NeedsPixelPass(s));
  s.ThresholdTouched = true;
  EXPECT_TRUE(app::NeedsPixelPass(s));
}

}  // namespace

namespace {

TEST(ExtendedColorChain, LogicalOperationsPixelPassAndSwapsRunInOrder) {
  gfx::TCustomBitmap32 bitmap;
  bitmap.SetSize(2, 1);
  bitmap.Bits()[0] = 0xFF102030u;
  bitmap.Bits()[1] = 0x80000000u;
  TExtendedColorSettings s;
  s.LogicalR = {true, 1, 0xFF};  // red XOR 0xFF
  s.Brightness = 5;              // all four bytes
  s.SwapRedBlue = s.SwapRedGreen = s.SwapGreenBlue = true;
  app::ApplyExtendedColor(bitmap, s);
  // Red 0xEF + 5 = 0xF4, green 0x25, blue 0x35; then R<>B, R<>G, G<>B.
  EXPECT_EQ(bitmap.Bits()[0], 0xFF25F435u);
  EXPECT_EQ(bitmap.Bits()[1], 0x8505FF05u);  // 0x80FF0000 brightened, then swapped

  // AND clears the alpha with every channel outside the set.
  TExtendedColorSettings t;
  t.LogicalRGB = {true, 3, 0xF0};
  bitmap.Bits()[0] = 0xFF1F2F3Fu;
  app::ApplyExtendedColor(bitmap, t);
  EXPECT_EQ(bitmap.Bits()[0], 0x00102030u);
}

}  // namespace
