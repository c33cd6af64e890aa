// The implementations behind the colour line variables, one namespace per processor tier.
// RowCombinerLines.cpp registers them; everything else calls the variables.
#pragma once

#include "graphics/filters/RowCombinerLines.h"

namespace gfx {

#define GFX_COLOR_LINE_TIER                                                \
  void ColorAddLine(const TColor32* F, TColor32* B, int32_t Count);        \
  void ColorSubLine(const TColor32* F, TColor32* B, int32_t Count);        \
  void ColorModulateLine(const TColor32* F, TColor32* B, int32_t Count);   \
  void ColorMinLine(const TColor32* F, TColor32* B, int32_t Count);        \
  void ColorMaxLine(const TColor32* F, TColor32* B, int32_t Count);        \
  void ColorDifferenceLine(const TColor32* F, TColor32* B, int32_t Count); \
  void ColorExclusionLine(const TColor32* F, TColor32* B, int32_t Count);  \
  void ColorAverageLine(const TColor32* F, TColor32* B, int32_t Count);

namespace colorline_portable {
GFX_COLOR_LINE_TIER
void ColorDivLine(const TColor32* F, TColor32* B, int32_t Count);
}  // namespace colorline_portable

#if defined(__x86_64__) || defined(__i386__)
namespace colorline_sse2 {
GFX_COLOR_LINE_TIER
}  // namespace colorline_sse2
#endif
#undef GFX_COLOR_LINE_TIER

}  // namespace gfx
