// Writing computed pixels into a destination with a draw mode and the source bitmap's master
// alpha, combine mode and outer colour; set up once per call, used per pixel or per row.
#pragma once

#include <cstdint>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"
#include "graphics/core/LowLevel.h"
#include "graphics/filters/RowCombiner.h"

namespace gfx {

class TPixelWriter {
 public:
  // dmCustom without a callback writes as dmOpaque.
  TPixelWriter(const TCustomBitmap32& Src, TDrawMode CombineOp,
               const TPixelCombineEvent& CombineCallBack)
      : mode_(CombineOp == dmCustom && !CombineCallBack ? dmOpaque : CombineOp),
        callback_(CombineCallBack),
        combiner_(mode_ == dmCustom ? FindRowCombiner(CombineCallBack) : nullptr),
        blend_(Src.CombineMode(), Src.MasterAlpha()),
        masterAlpha_(Src.MasterAlpha()),
        outerColor_(Src.OuterColor()) {}

  TDrawMode Mode() const { return mode_; }

  void Write(TColor32 C, TColor32& D) const {
    switch (mode_) {
      case dmOpaque:
        D = C;
        break;
      case dmBlend:
        blend_.Pixel(C, D);
        break;
      case dmTransparent:
        if (C != outerColor_) D = C;
        break;
      case dmCustom:
        EMMS();  // the callback may use floating point
        if (combiner_)
          (*combiner_)(C, D, masterAlpha_);
        else
          callback_(C, D, masterAlpha_);
        break;
    }
  }

  // Writes Count pixels of a row; blending goes through the bound line routines, and a row
  // combiner gets the whole row in one call.
  void WriteRow(const TColor32* S, TColor32* D, int32_t Count) const {
    switch (mode_) {
      case dmOpaque:
        MoveLongword(S, D, Count);
        break;
      case dmBlend:
        blend_.Row(S, D, Count);
        break;
      case dmTransparent:
        for (int32_t i = 0; i < Count; ++i)
          if (S[i] != outerColor_) D[i] = S[i];
        break;
      case dmCustom:
        EMMS();  // the callback may use floating point
        if (combiner_)
          combiner_->CombineRow(S, D, Count, masterAlpha_);
        else
          for (int32_t i = 0; i < Count; ++i) callback_(S[i], D[i], masterAlpha_);
        break;
    }
  }

 private:
  TDrawMode mode_;
  const TPixelCombineEvent& callback_;
  const TRowCombiner* combiner_;  // inside callback_
  TMasterBlend blend_;
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
