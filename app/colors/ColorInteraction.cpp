#include "app/colors/ColorInteraction.h"

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"
#include "graphics/filters/BlendModes.h"
#include "graphics/filters/RowCombiner.h"
#include "graphics/filters/RowCombinerLines.h"

namespace app {

// The arithmetic runs through the bound routines so that the processor's best one is used.
void TColorInteraction::PixelCombineAdd(TColor32 F, TColor32& B, TColor32) {
  B = gfx::ColorAdd(F, B);
}
void TColorInteraction::PixelCombineSub(TColor32 F, TColor32& B, TColor32) {
  B = gfx::ColorSub(F, B);
}
void TColorInteraction::PixelCombineModulate(TColor32 F, TColor32& B, TColor32) {
  B = gfx::ColorModulate(F, B);
}
void TColorInteraction::PixelCombineMin(TColor32 F, TColor32& B, TColor32) {
  B = gfx::ColorMin(F, B);
}
void TColorInteraction::PixelCombineMax(TColor32 F, TColor32& B, TColor32) {
  B = gfx::ColorMax(F, B);
}
void TColorInteraction::PixelCombineDifference(TColor32 F, TColor32& B, TColor32) {
  B = gfx::ColorDifference(F, B);
}
void TColorInteraction::PixelCombineExclusion(TColor32 F, TColor32& B, TColor32) {
  B = gfx::ColorExclusion(F, B);
}
void TColorInteraction::PixelCombineAverage(TColor32 F, TColor32& B, TColor32) {
  B = gfx::ColorAverage(F, B);
}
void TColorInteraction::PixelCombineDivision(TColor32 F, TColor32& B, TColor32) {
  B = gfx::ColorDiv(F, B);
}

void TColorInteraction::PixelCombinePattern(TColor32 F, TColor32& B, TColor32) {
  patternCounter_ = 7 - patternCounter_;
  if (patternCounter_ == 0) B = F;
}

void TColorInteraction::PixelCombinePatternRow(const TColor32* F, TColor32* B, int32_t Count) {
  if (Count <= 0) return;
  // The counter swaps between two values: pixels 0, 2, 4, ... leave it at 7 - counter, pixels
  // 1, 3, 5, ... at its value now, and B takes F where that is 0.
  const int32_t afterEven = 7 - patternCounter_, afterOdd = patternCounter_;
  const int64_t first = afterEven == 0 ? 0 : afterOdd == 0 ? 1 : Count;
  for (int64_t i = first; i < Count; i += 2) B[i] = F[i];
  if (Count % 2 != 0) patternCounter_ = afterEven;
}

namespace {

using Method = void (TColorInteraction::*)(TColor32, TColor32&, TColor32);

// The method is a template argument so that the per-pixel call goes to it directly.
template <Method method>
void CombinePixel(void* set, TColor32 F, TColor32& B, TColor32 M) {
  (static_cast<TColorInteraction*>(set)->*method)(F, B, M);
}

// Reads the routine variable at every call, so the processor's bound line runs.
template <gfx::TColorLine* line>
void CombineLine(void*, const TColor32* F, TColor32* B, int32_t Count, TColor32) {
  (*line)(F, B, Count);
}

void CombinePatternLine(void* set, const TColor32* F, TColor32* B, int32_t Count, TColor32) {
  static_cast<TColorInteraction*>(set)->PixelCombinePatternRow(F, B, Count);
}

struct HandlerProcs {
  gfx::TPixelCombineProc pixel;
  gfx::TRowCombineProc row;
};

}  // namespace

gfx::TPixelCombineEvent TColorInteraction::Handler(int32_t Mode) {
  using T = TColorInteraction;
  static constexpr HandlerProcs handlers[ColorModeLastHandler] = {
      {CombinePixel<&T::PixelCombineAdd>, CombineLine<&gfx::ColorAddLine>},
      {CombinePixel<&T::PixelCombineSub>, CombineLine<&gfx::ColorSubLine>},
      {CombinePixel<&T::PixelCombineModulate>, CombineLine<&gfx::ColorModulateLine>},
      {CombinePixel<&T::PixelCombineMin>, CombineLine<&gfx::ColorMinLine>},
      {CombinePixel<&T::PixelCombineMax>, CombineLine<&gfx::ColorMaxLine>},
      {CombinePixel<&T::PixelCombineDifference>, CombineLine<&gfx::ColorDifferenceLine>},
      {CombinePixel<&T::PixelCombineExclusion>, CombineLine<&gfx::ColorExclusionLine>},
      {CombinePixel<&T::PixelCombineAverage>, CombineLine<&gfx::ColorAverageLine>},
      {CombinePixel<&T::PixelCombineDivision>, CombineLine<&gfx::ColorDivLine>},
      {CombinePixel<&T::PixelCombinePattern>, CombinePatternLine}};
  if (Mode < 1 || Mode > ColorModeLastHandler) return nullptr;
  const HandlerProcs& procs = handlers[Mode - 1];
  return gfx::TRowCombiner{procs.pixel, procs.row, this};
}

TColorInteraction& MainWindowInteraction() {
  static TColorInteraction set;
  return set;
}

TColorInteraction& RotationDialogInteraction() {
  static TColorInteraction set;
  return set;
}

TColorInteraction& LayerBuilderInteraction() {
  static TColorInteraction set;
  return set;
}

bool BindColorInteraction(gfx::TCustomBitmap32& Bitmap, int32_t Mode, TColorInteraction& Set) {
  if (Mode < 1) return false;
  Bitmap.SetDrawMode(gfx::dmCustom);
  if (Mode <= ColorModeLastHandler) {
    Bitmap.OnPixelCombine = Set.Handler(Mode);
  } else {
    gfx::SelectBlendModeCombiner(Mode - ColorModeLastHandler, Bitmap.OnPixelCombine);
  }
  Bitmap.Changed();
  return true;
}

int32_t PictureToolsColorMode(int32_t Index) {
  if (Index == 25 || Index == 33) return -1;
  // Indexes from 7 on sit one place lower than the modes, since "Exclusion" is missing.
  return Index < ColorModeExclusion ? Index : Index + 1;
}

}  // namespace app
