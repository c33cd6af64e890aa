// Filling a rectangle of a destination bitmap pixel by pixel from a sampler, each sample written
// with a draw mode; and Transform, which draws a bitmap through a transformation.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/core/Blend.h"
#include "graphics/core/Persistent.h"
#include "graphics/core/Types.h"
#include "graphics/filters/RowCombiner.h"
#include "graphics/resampling/Samplers.h"
#include "graphics/resampling/Transforms.h"

namespace gfx {

class TCustomBitmap32;

struct TCombineInfo {
  uint32_t SrcAlpha = 255;
  TDrawMode DrawMode = dmOpaque;
  TCombineMode CombineMode = cmBlend;
  TPixelCombineEvent CombineCallBack;
  TColor32 TransparentColor = 0xFF000000;
};

inline const TCombineInfo DefaultCombineInfo{};

// The bitmap's drawing settings; dmCustom without a callback becomes dmOpaque.
TCombineInfo CombineInfo(const TCustomBitmap32& Bitmap);

class TRasterizer : public TThreadPersistent {
 public:
  TRasterizer();

  // Not owned.
  TCustomSampler* Sampler() const { return sampler_; }
  void SetSampler(TCustomSampler* Value);
  void SetCombineInfo(const TCombineInfo& Info);

  void Rasterize(TCustomBitmap32& Dst, const TRect& DstRect);
  void Rasterize(TCustomBitmap32& Dst, const TRect& DstRect, const TCombineInfo& Info);
  void Rasterize(TCustomBitmap32& Dst, const TRect& DstRect, const TCustomBitmap32& Src);

  // A bitmap source sets the combine information from its settings.
  void Assign(const plat::TPersistent& Source) override;

 protected:
  void AssignTo(plat::TPersistent& Dest) const override;
  virtual void DoRasterize(TCustomBitmap32& Dst, const TRect& DstRect) = 0;
  void AssignColor(TColor32& Dst, TColor32 Src) const {
    switch (assignMode_) {
      case dmOpaque:
        Dst = Src;
        break;
      case dmBlend:
        blend_.Pixel(Src, Dst);
        EMMS();
        break;
      case dmTransparent:
        if (Src != info_.TransparentColor) Dst = Src;
        break;
      case dmCustom:
        EMMS();  // the callback may use floating point
        info_.CombineCallBack(Src, Dst, info_.SrcAlpha);
        break;
    }
  }
  // Rows are sampled ahead of writing only for the built-in modes and row combiners: any other
  // callback sees every sample as it is taken.
  bool AssignsRows() const { return assignMode_ != dmCustom || rowCombiner_.Row; }
  // Samples are written as they are.
  bool AssignsCopies() const { return assignMode_ == dmOpaque; }
  // AssignColor over Count pixels, the mode chosen once.
  void AssignRow(TColor32* Dst, const TColor32* Src, int32_t Count) const;

 private:
  TCustomSampler* sampler_ = nullptr;
  TCombineInfo info_;
  TDrawMode assignMode_ = dmOpaque;
  TMasterBlend blend_{cmBlend, 255};
  TRowCombiner rowCombiner_;  // a copy of the callback's combiner; no Row when there is none
};

class TRegularRasterizer : public TRasterizer {
 public:
  // Rows between change reports while rasterizing; 0 reports only at the end.
  int32_t UpdateRowCount = 0;

 protected:
  void DoRasterize(TCustomBitmap32& Dst, const TRect& DstRect) override;
};

// The class Transform makes its rasterizer of when it is given none.
using TRasterizerFactory = std::unique_ptr<TRasterizer> (*)();
extern TRasterizerFactory DefaultRasterizerClass;

// Draws Src into Dst through the reverse mapping of Transformation with Src's resampler and
// draw settings. Refuses bitmaps with a side above 32767, whose positions leave 16.16 range.
void Transform(TCustomBitmap32& Dst, TCustomBitmap32& Src, TTransformation& Transformation);
void Transform(TCustomBitmap32& Dst, TCustomBitmap32& Src, TTransformation& Transformation,
               TRasterizer& Rasterizer);
void Transform(TCustomBitmap32& Dst, TCustomBitmap32& Src, TTransformation& Transformation,
               const TRect& DstClip, TRasterizer& Rasterizer);

}  // namespace gfx
