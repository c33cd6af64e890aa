// Portable colour lines: the portable per-pixel routines, one pixel after another.
#include "graphics/BlendTiers.h"
#include "graphics/RowCombinerTiers.h"

namespace gfx::colorline_pas {
namespace {

template <TBlendReg Op>
void Line(const TColor32* F, TColor32* B, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) B[i] = Op(F[i], B[i]);
}

}  // namespace

void ColorAddLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_pas::ColorAdd>(F, B, Count);
}
void ColorSubLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_pas::ColorSub>(F, B, Count);
}
void ColorModulateLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_pas::ColorModulate>(F, B, Count);
}
void ColorMinLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_pas::ColorMin>(F, B, Count);
}
void ColorMaxLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_pas::ColorMax>(F, B, Count);
}
void ColorDifferenceLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_pas::ColorDifference>(F, B, Count);
}
void ColorExclusionLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_pas::ColorExclusion>(F, B, Count);
}
void ColorAverageLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_pas::ColorAverage>(F, B, Count);
}
void ColorDivLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<color_pas::ColorDiv>(F, B, Count);
}

}  // namespace gfx::colorline_pas
