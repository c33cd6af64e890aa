// Photographic blend modes as per-pixel combine callbacks for dmCustom drawing.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx {

// Number of blend modes: 0 (Normal) to 27 (Lookup).
constexpr int BlendModeCount = 28;

// Entry i is the rounded square root of i (low 8 bits); only products of two bytes are read.
// Both tables are filled when the program is loaded.
extern const std::array<std::uint8_t, 65536> BlendModeSqrtTable;
// [foreground][background] channel values; the three low bytes hold the result per channel.
extern const std::array<std::array<std::uint32_t, 256>, 256> BlendModeLookup;

// Every callback keeps the background's alpha byte and leaves B whole when the effective
// foreground weight (F alpha times master alpha) is 0.
void BlendModeNormal(TColor32 F, TColor32& B, TColor32 M);
void BlendModeMultiply(TColor32 F, TColor32& B, TColor32 M);
void BlendModeScreen(TColor32 F, TColor32& B, TColor32 M);
void BlendModeOverlay(TColor32 F, TColor32& B, TColor32 M);
void BlendModeReflect(TColor32 F, TColor32& B, TColor32 M);
void BlendModeSoftLight(TColor32 F, TColor32& B, TColor32 M);
void BlendModeBrightLight(TColor32 F, TColor32& B, TColor32 M);
void BlendModeHardLight(TColor32 F, TColor32& B, TColor32 M);
void BlendModeColorDodge(TColor32 F, TColor32& B, TColor32 M);
void BlendModeColorBurn(TColor32 F, TColor32& B, TColor32 M);
void BlendModeLighten(TColor32 F, TColor32& B, TColor32 M);
void BlendModeDarken(TColor32 F, TColor32& B, TColor32 M);
void BlendModeAdditive(TColor32 F, TColor32& B, TColor32 M);
void BlendModeSubtractive(TColor32 F, TColor32& B, TColor32 M);
void BlendModeAverage(TColor32 F, TColor32& B, TColor32 M);
void BlendModeDifference(TColor32 F, TColor32& B, TColor32 M);
void BlendModeExclusion(TColor32 F, TColor32& B, TColor32 M);
void BlendModeNegation(TColor32 F, TColor32& B, TColor32 M);
void BlendModeGlow(TColor32 F, TColor32& B, TColor32 M);
void BlendModeHeat(TColor32 F, TColor32& B, TColor32 M);
void BlendModeFreeze(TColor32 F, TColor32& B, TColor32 M);
void BlendModeRed(TColor32 F, TColor32& B, TColor32 M);
void BlendModeGreen(TColor32 F, TColor32& B, TColor32 M);
void BlendModeBlue(TColor32 F, TColor32& B, TColor32 M);
void BlendModeHue(TColor32 F, TColor32& B, TColor32 M);
void BlendModeSaturation(TColor32 F, TColor32& B, TColor32 M);
void BlendModeLightness(TColor32 F, TColor32& B, TColor32 M);
void BlendModeLookupTable(TColor32 F, TColor32& B, TColor32 M);

using TBlendModeProc = void (*)(TColor32 F, TColor32& B, TColor32 M);

// The callback of a mode 0..27, in mode order.
extern const TBlendModeProc BlendModeProcs[BlendModeCount];

// Mode -1 empties Event, 0..27 sets the mode's callback, any other value leaves Event as it is.
void SelectBlendModeCombiner(int Mode, TPixelCombineEvent& Event);

}  // namespace gfx
