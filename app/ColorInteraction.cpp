#include "app/ColorInteraction.h"

#include "graphics/Bitmap32.h"
#include "graphics/Blend.h"
#include "graphics/BlendModes.h"

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

namespace {

using Method = void (TColorInteraction::*)(TColor32, TColor32&, TColor32);

// The method is a template argument so that the per-pixel call goes to it directly.
template <Method method>
gfx::TPixelCombineEvent Bind(TColorInteraction* set) {
  return [set](TColor32 F, TColor32& B, TColor32 M) { (set->*method)(F, B, M); };
}

}  // namespace

gfx::TPixelCombineEvent TColorInteraction::Handler(int32_t Mode) {
  using Binder = gfx::TPixelCombineEvent (*)(TColorInteraction*);
  static constexpr Binder binders[ColorModeLastHandler] = {
      Bind<&TColorInteraction::PixelCombineAdd>,
      Bind<&TColorInteraction::PixelCombineSub>,
      Bind<&TColorInteraction::PixelCombineModulate>,
      Bind<&TColorInteraction::PixelCombineMin>,
      Bind<&TColorInteraction::PixelCombineMax>,
      Bind<&TColorInteraction::PixelCombineDifference>,
      Bind<&TColorInteraction::PixelCombineExclusion>,
      Bind<&TColorInteraction::PixelCombineAverage>,
      Bind<&TColorInteraction::PixelCombineDivision>,
      Bind<&TColorInteraction::PixelCombinePattern>};
  if (Mode < 1 || Mode > ColorModeLastHandler) return nullptr;
  return binders[Mode - 1](this);
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
