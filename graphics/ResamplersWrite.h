// Writing one computed pixel into a destination with a draw mode and the source bitmap's master
// alpha, combine mode and outer colour; set up once per call, used per pixel.
#pragma once

#include <cstdint>

#include "graphics/Bitmap32.h"
#include "graphics/Blend.h"

namespace gfx {

class TPixelWriter {
 public:
  // dmCustom without a callback writes as dmOpaque.
  TPixelWriter(const TCustomBitmap32& Src, TDrawMode CombineOp,
               const TPixelCombineEvent& CombineCallBack)
      : mode_(CombineOp == dmCustom && !CombineCallBack ? dmOpaque : CombineOp),
        callback_(CombineCallBack),
        blend_(*BlendMemExProcs[Src.CombineMode()]),
        masterAlpha_(Src.MasterAlpha()),
        outerColor_(Src.OuterColor()) {}

  TDrawMode Mode() const { return mode_; }

  void Write(TColor32 C, TColor32& D) const {
    switch (mode_) {
      case dmOpaque:
        D = C;
        break;
      case dmBlend:
        blend_(C, D, masterAlpha_);
        break;
      case dmTransparent:
        if (C != outerColor_) D = C;
        break;
      case dmCustom:
        EMMS();  // the callback may use floating point
        callback_(C, D, masterAlpha_);
        break;
    }
  }

 private:
  TDrawMode mode_;
  const TPixelCombineEvent& callback_;
  TBlendMemEx blend_;
  TColor32 masterAlpha_;
  TColor32 outerColor_;
};

// Destination sizes are counted in 32 bits.
inline void CheckDestinationSize(const TRect& DstRect) {
  if (int64_t(DstRect.Right) - DstRect.Left > INT32_MAX ||
      int64_t(DstRect.Bottom) - DstRect.Top > INT32_MAX)
    throw EBitmapException("Destination rectangle is too large");
}

// Resampling routines read only inside Src and write only inside Dst, whoever calls them: a source
// rectangle leaving Src raises, the clip is cut to Dst and DstRect. False when nothing is left.
inline bool ClipResampleRects(const TCustomBitmap32& Dst, const TRect& DstRect, TRect& DstClip,
                              const TCustomBitmap32& Src, const TRect& SrcRect) {
  if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > Src.Width() ||
      SrcRect.Bottom > Src.Height())
    throw plat::Exception("Invalid SrcRect");
  CheckDestinationSize(DstRect);
  IntersectRectangles(DstClip, DstClip, Dst.BoundsRect());
  IntersectRectangles(DstClip, DstClip, DstRect);
  return !IsRectEmpty(DstClip) && !IsRectEmpty(SrcRect);
}

// Calls the bound EMMS when it leaves scope, also on failure.
struct TEmmsGuard {
  TEmmsGuard() = default;
  TEmmsGuard(const TEmmsGuard&) = delete;
  TEmmsGuard& operator=(const TEmmsGuard&) = delete;
  ~TEmmsGuard() { EMMS(); }
};

}  // namespace gfx
