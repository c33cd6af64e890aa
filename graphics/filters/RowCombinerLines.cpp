#include "graphics/filters/RowCombinerLines.h"

#include <mutex>

#include "graphics/core/System.h"
#include "graphics/filters/RowCombinerTiers.h"

namespace gfx {

TColorLine ColorAddLine = colorline_portable::ColorAddLine;
TColorLine ColorSubLine = colorline_portable::ColorSubLine;
TColorLine ColorModulateLine = colorline_portable::ColorModulateLine;
TColorLine ColorMinLine = colorline_portable::ColorMinLine;
TColorLine ColorMaxLine = colorline_portable::ColorMaxLine;
TColorLine ColorDifferenceLine = colorline_portable::ColorDifferenceLine;
TColorLine ColorExclusionLine = colorline_portable::ColorExclusionLine;
TColorLine ColorAverageLine = colorline_portable::ColorAverageLine;
TColorLine ColorDivLine = colorline_portable::ColorDivLine;

namespace {

void BindVariables(TFunctionRegistry& R) {
  R.RegisterBinding(FID_ColorAddLine, &ColorAddLine);
  R.RegisterBinding(FID_ColorSubLine, &ColorSubLine);
  R.RegisterBinding(FID_ColorModulateLine, &ColorModulateLine);
  R.RegisterBinding(FID_ColorMinLine, &ColorMinLine);
  R.RegisterBinding(FID_ColorMaxLine, &ColorMaxLine);
  R.RegisterBinding(FID_ColorDifferenceLine, &ColorDifferenceLine);
  R.RegisterBinding(FID_ColorExclusionLine, &ColorExclusionLine);
  R.RegisterBinding(FID_ColorAverageLine, &ColorAverageLine);
  R.RegisterBinding(FID_ColorDivLine, &ColorDivLine);
}

void AddPortable(TFunctionRegistry& R) {
  const int32_t tier = tierPortable;
  R.Add(FID_ColorAddLine, colorline_portable::ColorAddLine, 0, tier);
  R.Add(FID_ColorSubLine, colorline_portable::ColorSubLine, 0, tier);
  R.Add(FID_ColorModulateLine, colorline_portable::ColorModulateLine, 0, tier);
  R.Add(FID_ColorMinLine, colorline_portable::ColorMinLine, 0, tier);
  R.Add(FID_ColorMaxLine, colorline_portable::ColorMaxLine, 0, tier);
  R.Add(FID_ColorDifferenceLine, colorline_portable::ColorDifferenceLine, 0, tier);
  R.Add(FID_ColorExclusionLine, colorline_portable::ColorExclusionLine, 0, tier);
  R.Add(FID_ColorAverageLine, colorline_portable::ColorAverageLine, 0, tier);
  R.Add(FID_ColorDivLine, colorline_portable::ColorDivLine, 0, tier);
}

#if defined(__x86_64__) || defined(__i386__)
void AddSSE2(TFunctionRegistry& R) {
  const int32_t tier = tierSSE2;
  const TInstructionSets sse2 = SetOf(isSSE2);
  R.Add(FID_ColorAddLine, colorline_sse2::ColorAddLine, sse2, tier);
  R.Add(FID_ColorSubLine, colorline_sse2::ColorSubLine, sse2, tier);
  R.Add(FID_ColorModulateLine, colorline_sse2::ColorModulateLine, sse2, tier);
  R.Add(FID_ColorMinLine, colorline_sse2::ColorMinLine, sse2, tier);
  R.Add(FID_ColorMaxLine, colorline_sse2::ColorMaxLine, sse2, tier);
  R.Add(FID_ColorDifferenceLine, colorline_sse2::ColorDifferenceLine, sse2, tier);
  R.Add(FID_ColorExclusionLine, colorline_sse2::ColorExclusionLine, sse2, tier);
  R.Add(FID_ColorAverageLine, colorline_sse2::ColorAverageLine, sse2, tier);
}
#endif

}  // namespace

void StartColorLines() {
  static std::once_flag started;
  std::call_once(started, [] {
    TFunctionRegistry& registry = NewRegistry("Color line bindings");
    BindVariables(registry);
    AddPortable(registry);
#if defined(__x86_64__) || defined(__i386__)
    AddSSE2(registry);
#endif
    registry.RebindAll();
  });
}

}  // namespace gfx
