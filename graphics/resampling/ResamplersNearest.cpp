#include "graphics/bitmap/Bitmap32.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/ResamplersMath.h"

namespace gfx {

void TNearestResampler::PrepareSampling() {
  TCustomResampler::PrepareSampling();
  mode_ = EffectiveAccessMode();
}

// The nearest pixel inside the clip rectangle; outside it, that pixel without its alpha.
TColor32 TNearestResampler::ReadEdge(int32_t X, int32_t Y) const {
  const int32_t i = Constrain(X, clipRect_.Left, clipRect_.Right - 1);
  const int32_t j = Constrain(Y, clipRect_.Top, clipRect_.Bottom - 1);
  const TColor32 c = Bitmap()->Pixel(i, j);
  return i == X && j == Y ? c : c & 0x00FFFFFF;
}

TColor32 TNearestResampler::Read(int32_t X, int32_t Y) const {
  if (ClipEmpty()) return mode_ == pamSafe ? Bitmap()->OuterColor() : 0;
  switch (mode_) {
    case pamWrap:
      return Bitmap()->PixelWrapped(X, Y);
    case pamTransparentEdge:
      return ReadEdge(X, Y);
    default:
      if (X >= clipRect_.Left && X < clipRect_.Right && Y >= clipRect_.Top && Y < clipRect_.Bottom)
        return Bitmap()->Pixel(X, Y);
      return Bitmap()->OuterColor();
  }
}

TColor32 TNearestResampler::GetSampleInt(int32_t X, int32_t Y) {
  return Read(X, Y);
}

TColor32 TNearestResampler::GetSampleFixed(TFixed X, TFixed Y) {
  return Read(FixedRound(X), FixedRound(Y));
}

TColor32 TNearestResampler::GetSampleFloat(float X, float Y) {
  return Read(rmath::Round(X), rmath::Round(Y));
}

void TNearestResampler::Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                                 TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                                 const TPixelCombineEvent& CombineCallBack) {
  StretchNearest(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
}

}  // namespace gfx
