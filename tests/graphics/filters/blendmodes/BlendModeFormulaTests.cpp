// Every blend mode against the textbook formula it approximates, over all channel pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include "graphics/filters/BlendModes.h"
#include "support/HslModel.h"

namespace {

using gfx::TColor32;

int Channel(TColor32 c, int shift) {
  return int((c >> shift) & 0xFF);
}

// Standard formulas on 0..255 values (f foreground, b background), in double.
using Standard = std::function<double(double f, double b)>;

double Multiply(double f, double b) {
  return f * b / 255;
}
double Screen(double f, double b) {
  return 255 - (255 - f) * (255 - b) / 255;
}
double HardLight(double f, double b) {
  return f <= 127.5 ? 2 * f * b / 255 : 255 - 2 * (255 - f) * (255 - b) / 255;
}
double Reflect(double f, double b) {
  return f == 255 ? 255 : std::min(255.0, b * b / (255 - f));
}

struct ModeCase {
  const char* name;
  gfx::TBlendModeProc proc;
  Standard standard;
  double tolerance;
};

// The written channel for a result res under the mode's mixing rule with weight 254
// (opaque foreground, master alpha 255).
int Written(const ModeCase& mode, int res, int b) {
  if (mode.proc == gfx::BlendModeGlow) return (res * 254 + b * 1) >> 8;
  return b + (((res - b) * 254) >> 8);
}

void ExpectWithinTolerance(const ModeCase& mode) {
  int failures = 0;
  for (int f = 0; f < 256; ++f) {
    for (int b = 0; b < 256; ++b) {
      // Red carries (f, b), green (b, f) and blue (255 - f, 255 - b) so every channel sees
      // every pair; the background alpha varies and must survive.
      const TColor32 F = 0xFF000000u | f << 16 | b << 8 | (255 - f);
      const TColor32 B0 = TColor32(f ^ 0x5A) << 24 | b << 16 | f << 8 | (255 - b);
      TColor32 B = B0;
      mode.proc(F, B, 255);
      ASSERT_EQ(B >> 24, B0 >> 24) << mode.name;
      for (int shift : {16, 8, 0}) {
        const int fc = Channel(F, shift), bc = Channel(B0, shift);
        const double expected = mode.standard(fc, bc);
        // Any integer result within the tolerance is acceptable; the mixing rule is monotone
        // and steps by at most one, so the acceptable written values form a range.
        const int lowRes = std::clamp(int(std::ceil(expected - mode.tolerance)), 0, 255);
        const int highRes = std::clamp(int(std::floor(expected + mode.tolerance)), 0, 255);
        const int got = Channel(B, shift);
        if ((got < Written(mode, lowRes, bc) || got > Written(mode, highRes, bc)) &&
            ++failures <= 5) {
          ADD_FAILURE() << mode.name << " f=" << fc << " b=" << bc << " wrote " << got
                        << ", standard " << expected;
        }
      }
    }
  }
  EXPECT_EQ(failures, 0) << mode.name;
}

TEST(BlendModeFormulas, SeparableModesStayWithinMeasuredToleranceOfStandardFormulas) {
  const ModeCase modes[] = {
      {"Normal", gfx::BlendModeNormal, [](double f, double) { return f; }, 0},
      {"Multiply", gfx::BlendModeMultiply, Multiply, 2},
      {"Screen", gfx::BlendModeScreen, Screen, 2},
      {"Overlay", gfx::BlendModeOverlay, [](double f, double b) { return HardLight(b, f); }, 2},
      {"Reflect", gfx::BlendModeReflect, Reflect, 1},
      {"Soft Light", gfx::BlendModeSoftLight,
       [](double f, double b) { return (1 - b / 255) * Multiply(f, b) + b / 255 * Screen(f, b); },
       3},
      {"Bright Light", gfx::BlendModeBrightLight,
       [](double f, double b) { return std::sqrt(f * b); }, 0.5},
      {"Hard Light", gfx::BlendModeHardLight, HardLight, 2},
      {"Color Dodge", gfx::BlendModeColorDodge,
       [](double f, double b) { return f == 255 ? 255 : std::min(255.0, 255 * b / (255 - f)); }, 1},
      {"Color Burn", gfx::BlendModeColorBurn,
       [](double f, double b) { return f == 0 ? 0 : 255 - std::min(255.0, 255 * (255 - b) / f); },
       1},
      {"Lighten", gfx::BlendModeLighten, [](double f, double b) { return std::max(f, b); }, 0},
      {"Darken", gfx::BlendModeDarken, [](double f, double b) { return std::min(f, b); }, 0},
      {"Additive", gfx::BlendModeAdditive,
       [](double f, double b) { return std::min(255.0, f + b); }, 0},
      {"Subtractive", gfx::BlendModeSubtractive,
       [](double f, double b) { return std::max(0.0, f + b - 255); }, 1},
      {"Average", gfx::BlendModeAverage, [](double f, double b) { return (f + b) / 2; }, 0.5},
      {"Difference", gfx::BlendModeDifference, [](double f, double b) { return std::abs(f - b); },
       0},
      {"Exclusion", gfx::BlendModeExclusion,
       [](double f, double b) { return f + b - 2 * f * b / 255; }, 3},
      {"Negation", gfx::BlendModeNegation,
       [](double f, double b) { return 255 - std::abs(255 - f - b); }, 0},
      {"Glow", gfx::BlendModeGlow, [](double f, double b) { return Reflect(b, f); }, 1},
      {"Heat", gfx::BlendModeHeat,
       [](double f, double b) {
         return b == 0 ? 0 : 255 - std::min(255.0, (255 - f) * (255 - f) / b);
       },
       1},
      {"Freeze", gfx::BlendModeFreeze,
       [](double f, double b) {
         return f == 0 ? 0 : 255 - std::min(255.0, (255 - b) * (255 - b) / f);
       },
       1},
      {"Lookup", gfx::BlendModeLookupTable, [](double f, double) { return f; }, 0},
  };
  for (const ModeCase& mode : modes) ExpectWithinTolerance(mode);
}

TEST(BlendModeFormulas, ChannelModesReplaceOnlyTheirOwnChannel) {
  const struct {
    gfx::TBlendModeProc proc;
    int shift;
  } modes[] = {{gfx::BlendModeRed, 16}, {gfx::BlendModeGreen, 8}, {gfx::BlendModeBlue, 0}};
  std::mt19937 random(7);
  for (const auto& mode : modes) {
    for (int i = 0; i < 20000; ++i) {
      const TColor32 F = random() | 0xFF000000u, B0 = random();
      TColor32 B = B0;
      mode.proc(F, B, 255);
      for (int shift : {24, 16, 8, 0}) {
        const int f = Channel(F, shift), b = Channel(B0, shift);
        const int expected = shift == mode.shift ? b + (((f - b) * 254) >> 8) : b;
        ASSERT_EQ(Channel(B, shift), expected) << std::hex << F << " " << B0 << " " << shift;
      }
    }
  }
}

// Textbook HSL (bi-hexcone) in double.
struct Hsl {
  double h, s, l;
};

Hsl ToHsl(TColor32 c) {
  const double r = Channel(c, 16) / 255.0, g = Channel(c, 8) / 255.0, b = Channel(c, 0) / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  Hsl out{0, 0, (mx + mn) / 2};
  if (mx == mn) return out;
  const double d = mx - mn;
  out.s = out.l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
  double h = r == mx ? (g - b) / d : g == mx ? 2 + (b - r) / d : 4 + (r - g) / d;
  h /= 6;
  out.h = h < 0 ? h + 1 : h;
  return out;
}

using test_support::HueChannel;

// Channels of the colour as exact doubles 0..255.
std::array<double, 3> FromHsl(Hsl c) {
  if (c.s == 0) return {255 * c.l, 255 * c.l, 255 * c.l};
  const double m2 = c.l <= 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s, m1 = 2 * c.l - m2;
  return {255 * HueChannel(m1, m2, c.h + 1.0 / 3), 255 * HueChannel(m1, m2, c.h),
          255 * HueChannel(m1, m2, c.h - 1.0 / 3)};
}

TEST(BlendModeFormulas, HslModesMixTheColourBuiltFromChosenComponents) {
  const struct {
    const char* name;
    gfx::TBlendModeProc proc;
    std::function<Hsl(Hsl f, Hsl b)> pick;
  } modes[] = {
      {"Hue", gfx::BlendModeHue,
       [](Hsl f, Hsl b) {
         return Hsl{f.h, b.s, b.l};
       }},
      {"Saturation", gfx::BlendModeSaturation,
       [](Hsl f, Hsl b) {
         return Hsl{b.h, f.s, b.l};
       }},
      {"Lightness", gfx::BlendModeLightness,
       [](Hsl f, Hsl b) {
         return Hsl{b.h, b.s, f.l};
       }},
  };
  const ModeCase frame{"frame", gfx::BlendModeMultiply, {}, 0};
  std::mt19937 random(11);
  for (const auto& mode : modes) {
    for (int i = 0; i < 50000; ++i) {
      const TColor32 F = random() | 0xFF000000u, B0 = random();
      TColor32 B = B0;
      mode.proc(F, B, 255);
      ASSERT_EQ(B >> 24, B0 >> 24);
      const auto expected = FromHsl(mode.pick(ToHsl(F), ToHsl(B0)));
      for (int c = 0; c < 3; ++c) {
        const int shift = 16 - 8 * c, b = Channel(B0, shift);
        const int low = std::clamp(int(std::ceil(expected[c] - 1)), 0, 255);
        const int high = std::clamp(int(std::floor(expected[c] + 1)), 0, 255);
        const int got = Channel(B, shift);
        ASSERT_GE(got, Written(frame, low, b))
            << mode.name << std::hex << " F=" << F << " B=" << B0;
        ASSERT_LE(got, Written(frame, high, b))
            << mode.name << std::hex << " F=" << F << " B=" << B0;
      }
    }
  }
}

TEST(BlendModeFormulas, SquareRootTableHoldsRoundedRoots) {
  for (int i = 0; i <= 65025; ++i) {
    const int root = int(std::floor(std::sqrt(double(i)) + 0.5));  // roots of integers never tie
    ASSERT_EQ(gfx::BlendModeSqrtTable[i], root) << i;
  }
  EXPECT_EQ(gfx::BlendModeSqrtTable[65535], 0);  // 256 kept in eight bits
  EXPECT_EQ(gfx::BlendModeLookup[200][17], 0x00C8C8C8u);
}

}  // namespace
