// Portable colour lines: the portable per-pixel routines, one pixel after another.
#include "graphics/core/BlendTiers.h"
#include "graphics/filters/RowCombinerTiers.h"

namespace gfx::colorline_portable {
namespace {

template <TBlendReg Op>
void Line(const TColor32* F, TColor32* B, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) B[i] = Op(F[i], B[i]);
}

}  // namespace

void ColorAddLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_portable::ColorAdd>(F, B, Count);
}
void ColorSubLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_portable::ColorSub>(F, B, Count);
}
void ColorModulateLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_portable::ColorModulate>(F, B, Count);
}
void ColorMinLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_portable::ColorMin>(F, B, Count);
}
void ColorMaxLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_portable::ColorMax>(F, B, Count);
}
void ColorDifferenceLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_portable::ColorDifference>(F, B, Count);
}
void ColorExclusionLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_portable::ColorExclusion>(F, B, Count);
}
void ColorAverageLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_portable::ColorAverage>(F, B, Count);
}
void ColorDivLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_portable::ColorDiv>(F, B, Count);
}

}  // namespace gfx::colorline_portable
