#include "graphics/filters/BlendModes.h"

#include <algorithm>
#include <cstdlib>
#include <type_traits>

namespace gfx {

namespace {

constexpr std::array<std::uint8_t, 65536> MakeSqrtTable() {
  std::array<std::uint8_t, 65536> table{};
  std::uint32_t root = 0;  // floor of the square root
  for (std::uint32_t i = 0; i < table.size(); ++i) {
    while ((root + 1) * (root + 1) <= i) ++root;
    // The square root of an integer is never exactly halfway, so this is plain rounding.
    table[i] = std::uint8_t((i - root * root > root ? root + 1 : root) & 255);
  }
  return table;
}

// Every entry [f][b] holds f in its three low bytes.
constexpr std::array<std::array<std::uint32_t, 256>, 256> MakeLookupTable() {
  std::array<std::array<std::uint32_t, 256>, 256> table{};
  for (std::uint32_t f = 0; f < 256; ++f) {
    for (std::uint32_t& entry : table[f]) entry = f * 0x010101u;
  }
  return table;
}

}  // namespace

constinit const std::array<std::uint8_t, 65536> BlendModeSqrtTable = MakeSqrtTable();
constinit const std::array<std::array<std::uint32_t, 256>, 256> BlendModeLookup = MakeLookupTable();

namespace {

constexpr int RedShift = 16, GreenShift = 8, BlueShift = 0;
constexpr int AllChannels = 7;  // bit 0 blue, bit 1 green, bit 2 red

inline int ChannelAt(TColor32 c, int shift) {
  return static_cast<int>((c >> shift) & 0xFF);
}

// Effective foreground weight 0..254 from the foreground alpha and the master alpha.
inline int Weight(TColor32 F, TColor32 M) {
  return static_cast<int>(((F >> 24) * (M & 0xFF)) >> 8);
}

// Moves each chosen channel of B toward res(shift, f, b) by a/256, rounding toward minus
// infinity (arithmetic shift of the signed product); the alpha byte of B stays.
template <int Channels, class Res>
inline void MixChannels(TColor32 F, TColor32& B, int a, Res res) {
  TColor32 out = B;
  // Written out per channel so that each shift is a constant.
  auto channel = [&](auto shift) {
    if constexpr ((Channels & (1 << (shift / 8))) != 0) {
      const int f = ChannelAt(F, shift), b = ChannelAt(B, shift);
      const int mixed = b + (((res(int(shift), f, b) - b) * a) >> 8);
      out = (out & ~(TColor32(0xFF) << shift)) | (TColor32(mixed) << shift);
    }
  };
  channel(std::integral_constant<int, BlueShift>{});
  channel(std::integral_constant<int, GreenShift>{});
  channel(std::integral_constant<int, RedShift>{});
  B = out;
}

// The common frame with a per-channel result res(f, b).
template <int Channels = AllChannels, class Res>
inline void Mix(TColor32 F, TColor32& B, TColor32 M, Res res) {
  const int a = Weight(F, M);
  if (a == 0) return;
  MixChannels<Channels>(F, B, a, [&](int, int f, int b) { return res(f, b); });
}

// The common frame with a result colour computed once per pixel by result(F, B).
template <class Result>
inline void MixColor(TColor32 F, TColor32& B, TColor32 M, Result result) {
  const int a = Weight(F, M);
  if (a == 0) return;
  const TColor32 colour = result(F, B);
  MixChannels<AllChannels>(F, B, a, [&](int shift, int, int) { return ChannelAt(colour, shift); });
}

}  // namespace

// Normal is the plain mix toward the foreground: b + (f - b)a/256 = (f a + b (256 - a)) / 256.
void BlendModeNormal(TColor32 F, TColor32& B, TColor32 M) {
  if (F == B) return;
  Mix(F, B, M, [](int f, int) { return f; });
}

void BlendModeMultiply(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return (b * f) >> 8; });
}

void BlendModeScreen(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return 255 - (((255 - b) * (255 - f)) >> 8); });
}

namespace {

// select >= 128: 255 - (((255 - select) * (255 - other)) >> 7); else (select * other) >> 7.
// Without a branch, since the test goes either way from pixel to pixel: for a byte v,
// 255 - v is v ^ 255, and the product term never exceeds 253.
inline int OverlayTerm(int select, int other) {
  const int flip = -(select >> 7) & 255;
  return ((((select ^ flip) * (other ^ flip)) >> 7) ^ flip);
}

}  // namespace

void BlendModeOverlay(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return OverlayTerm(b, f); });
}

void BlendModeReflect(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return f == 255 ? 255 : std::min(255, b * b / (255 - f)); });
}

void BlendModeSoftLight(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) {
    const int multiplied = (b * f) >> 8;
    const int screened = 255 - (((255 - b) * (255 - f)) >> 8);
    return multiplied + (((screened - multiplied) * b) >> 8);
  });
}

void BlendModeBrightLight(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return int(BlendModeSqrtTable[f * b]); });
}

void BlendModeHardLight(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return OverlayTerm(f, b); });
}

void BlendModeColorDodge(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return f == 255 ? 255 : std::min(255, b * 256 / (255 - f)); });
}

void BlendModeColorBurn(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return f == 0 ? 0 : std::max(0, 255 - (255 - b) * 256 / f); });
}

void BlendModeLighten(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return std::max(f, b); });
}

void BlendModeDarken(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return std::min(f, b); });
}

void BlendModeAdditive(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return std::min(255, f + b); });
}

void BlendModeSubtractive(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return std::max(0, f + b - 256); });
}

void BlendModeAverage(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return (f + b) >> 1; });
}

void BlendModeDifference(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return std::abs(b - f); });
}

void BlendModeExclusion(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return f + b - ((b * f) >> 7); });
}

void BlendModeNegation(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M, [](int f, int b) { return 255 - std::abs(255 - b - f); });
}

// Glow weighs the background by 255 - a instead of 256 - a, so it darkens slightly even
// where the result equals the background.
void BlendModeGlow(TColor32 F, TColor32& B, TColor32 M) {
  const int a = Weight(F, M);
  if (a == 0) return;
  TColor32 out = B & 0xFF000000u;
  for (int shift : {RedShift, GreenShift, BlueShift}) {
    const int f = ChannelAt(F, shift), b = ChannelAt(B, shift);
    const int res = b == 255 ? 255 : std::min(255, f * f / (255 - b));
    out |= TColor32((res * a + b * (255 - a)) >> 8) << shift;
  }
  B = out;
}

void BlendModeHeat(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M,
      [](int f, int b) { return b == 0 ? 0 : 255 - std::min(255, (255 - f) * (255 - f) / b); });
}

void BlendModeFreeze(TColor32 F, TColor32& B, TColor32 M) {
  Mix(F, B, M,
      [](int f, int b) { return f == 0 ? 0 : 255 - std::min(255, (255 - b) * (255 - b) / f); });
}

void BlendModeRed(TColor32 F, TColor32& B, TColor32 M) {
  Mix<1 << (RedShift / 8)>(F, B, M, [](int f, int) { return f; });
}

void BlendModeGreen(TColor32 F, TColor32& B, TColor32 M) {
  Mix<1 << (GreenShift / 8)>(F, B, M, [](int f, int) { return f; });
}

void BlendModeBlue(TColor32 F, TColor32& B, TColor32 M) {
  Mix<1 << (BlueShift / 8)>(F, B, M, [](int f, int) { return f; });
}

namespace {

struct THsl {
  float H, S, L;
};

inline THsl ToHsl(TColor32 c) {
  THsl hsl;
  Color32ToHsl(c, hsl.H, hsl.S, hsl.L);
  return hsl;
}

// The colour built from HSL components chosen from F and B by build(hslF, hslB).
template <class Build>
inline void MixHsl(TColor32 F, TColor32& B, TColor32 M, Build build) {
  MixColor(F, B, M, [&](TColor32 f, TColor32 b) { return build(ToHsl(f), ToHsl(b)); });
}

}  // namespace

void BlendModeHue(TColor32 F, TColor32& B, TColor32 M) {
  MixHsl(F, B, M, [](THsl f, THsl b) { return HslToColor32(f.H, b.S, b.L); });
}

void BlendModeSaturation(TColor32 F, TColor32& B, TColor32 M) {
  MixHsl(F, B, M, [](THsl f, THsl b) { return HslToColor32(b.H, f.S, b.L); });
}

void BlendModeLightness(TColor32 F, TColor32& B, TColor32 M) {
  MixHsl(F, B, M, [](THsl f, THsl b) { return HslToColor32(b.H, b.S, f.L); });
}

void BlendModeLookupTable(TColor32 F, TColor32& B, TColor32 M) {
  MixColor(F, B, M, [](TColor32 f, TColor32 b) {
    auto entry = [&](int shift) {
      return BlendModeLookup[ChannelAt(f, shift)][ChannelAt(b, shift)];
    };
    return (entry(RedShift) & 0xFF0000u) | (entry(GreenShift) & 0xFF00u) |
           (entry(BlueShift) & 0xFFu);
  });
}

const TBlendModeProc BlendModeProcs[BlendModeCount] = {
    BlendModeNormal,     BlendModeMultiply,    BlendModeScreen,      BlendModeOverlay,
    BlendModeReflect,    BlendModeSoftLight,   BlendModeBrightLight, BlendModeHardLight,
    BlendModeColorDodge, BlendModeColorBurn,   BlendModeLighten,     BlendModeDarken,
    BlendModeAdditive,   BlendModeSubtractive, BlendModeAverage,     BlendModeDifference,
    BlendModeExclusion,  BlendModeNegation,    BlendModeGlow,        BlendModeHeat,
    BlendModeFreeze,     BlendModeRed,         BlendModeGreen,       BlendModeBlue,
    BlendModeHue,        BlendModeSaturation,  BlendModeLightness,   BlendModeLookupTable};

void SelectBlendModeCombiner(int Mode, TPixelCombineEvent& Event) {
  if (Mode == -1) {
    Event = nullptr;
  } else if (static_cast<unsigned>(Mode) + 1u < unsigned(BlendModeCount) + 1u) {
    Event = BlendModeProcs[Mode];
  }
}

}  // namespace gfx
