// Whole-row forms of the colour arithmetic: B[i] := op(F[i], B[i]) for i ascending, F the first
// argument as in ColorSub and ColorDiv, with exactly the per-pixel routines' results (also when
// the rows overlap). Bound like the other per-processor routines by StartColorLines.
#pragma once

#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx {

using TColorLine = void (*)(const TColor32* F, TColor32* B, int32_t Count);

// Function IDs of the "Color line bindings" registry.
enum TColorLineFunctionID : int32_t {
  FID_ColorAddLine,
  FID_ColorSubLine,
  FID_ColorModulateLine,
  FID_ColorMinLine,
  FID_ColorMaxLine,
  FID_ColorDifferenceLine,
  FID_ColorExclusionLine,
  FID_ColorAverageLine,
  FID_ColorDivLine,
};

// Routine variables; nothing for Count <= 0. The portable forms until StartColorLines runs.
extern TColorLine ColorAddLine;
extern TColorLine ColorSubLine;
extern TColorLine ColorModulateLine;
extern TColorLine ColorMinLine;
extern TColorLine ColorMaxLine;
extern TColorLine ColorDifferenceLine;
extern TColorLine ColorExclusionLine;
extern TColorLine ColorAverageLine;
extern TColorLine ColorDivLine;

// Creates the registry and binds the variables once; later calls return at once.
void StartColorLines();

}  // namespace gfx
