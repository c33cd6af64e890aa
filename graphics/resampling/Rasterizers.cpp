#include "graphics/resampling/Rasterizers.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/resampling/ResamplersMath.h"
#include "graphics/resampling/ResamplersWrite.h"

namespace gfx {

TCombineInfo CombineInfo(const TCustomBitmap32& Bitmap) {
  TCombineInfo info;
  info.SrcAlpha = Bitmap.MasterAlpha();
  info.DrawMode = Bitmap.DrawMode();
  info.CombineMode = Bitmap.CombineMode();
  info.CombineCallBack = Bitmap.OnPixelCombine;
  info.TransparentColor = Bitmap.OuterColor();
  if (info.DrawMode == dmCustom && !info.CombineCallBack) info.DrawMode = dmOpaque;
  return info;
}

// ---- TRasterizer ----

TRasterizer::TRasterizer() {
  SetCombineInfo(DefaultCombineInfo);
}

void TRasterizer::SetSampler(TCustomSampler* Value) {
  if (sampler_ == Value) return;
  sampler_ = Value;
  Changed();
}

void TRasterizer::SetCombineInfo(const TCombineInfo& Info) {
  info_ = Info;
  blend_ = TMasterBlend(Info.CombineMode, Info.SrcAlpha);
  assignMode_ = Info.DrawMode;
  // A custom mode without a callback blends.
  if (assignMode_ == dmCustom && !Info.CombineCallBack) assignMode_ = dmBlend;
  const TRowCombiner* combiner =
      assignMode_ == dmCustom ? FindRowCombiner(info_.CombineCallBack) : nullptr;
  rowCombiner_ = combiner ? *combiner : TRowCombiner{};
}

void TRasterizer::Assign(const plat::TPersistent& Source) {
  const auto* bitmap = dynamic_cast<const TCustomBitmap32*>(&Source);
  if (!bitmap) {
    TThreadPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  SetCombineInfo(CombineInfo(*bitmap));
  EndUpdate();
  Changed();
}

void TRasterizer::AssignTo(plat::TPersistent& Dest) const {
  auto* target = dynamic_cast<TRasterizer*>(&Dest);
  if (!target) {
    TThreadPersistent::AssignTo(Dest);
    return;
  }
  target->SetSampler(sampler_);
  auto* regularSource = dynamic_cast<const TRegularRasterizer*>(this);
  if (auto* regular = dynamic_cast<TRegularRasterizer*>(target); regular && regularSource)
    regular->UpdateRowCount = regularSource->UpdateRowCount;
}

void TRasterizer::Rasterize(TCustomBitmap32& Dst, const TRect& DstRect) {
  if (!sampler_) return;
  const int32_t updateCount = Dst.UpdateCount();
  // Update brackets left open by a failing sampler are closed again.
  auto closeUpdates = [&Dst, updateCount] {
    while (Dst.UpdateCount() > updateCount) Dst.EndUpdate();
  };
  sampler_->PrepareSampling();
  try {
    TRect R;
    IntersectRectangles(R, DstRect, Dst.BoundsRect());
    if (sampler_->HasBounds()) {
      const TFloatRect b = sampler_->GetSampleBounds();
      const TRect bounds{rmath::Floor(b.Left), rmath::Floor(b.Top), rmath::Ceil(b.Right),
                         rmath::Ceil(b.Bottom)};
      IntersectRectangles(R, R, bounds);
    }
    DoRasterize(Dst, R);
  } catch (...) {
    closeUpdates();
    try {
      sampler_->FinalizeSampling();
    } catch (...) {
      // The first failure is the one reported.
    }
    throw;
  }
  closeUpdates();
  sampler_->FinalizeSampling();
}

void TRasterizer::Rasterize(TCustomBitmap32& Dst, const TRect& DstRect, const TCombineInfo& Info) {
  SetCombineInfo(Info);
  Rasterize(Dst, DstRect);
}

void TRasterizer::Rasterize(TCustomBitmap32& Dst, const TRect& DstRect,
                            const TCustomBitmap32& Src) {
  SetCombineInfo(CombineInfo(Src));
  Rasterize(Dst, DstRect);
}

void TRasterizer::AssignRow(TColor32* Dst, const TColor32* Src, int32_t Count) const {
  switch (assignMode_) {
    case dmOpaque:
      std::copy(Src, Src + Count, Dst);
      break;
    case dmBlend:
      for (int32_t i = 0; i < Count; ++i) blend_.Pixel(Src[i], Dst[i]);
      EMMS();
      break;
    case dmTransparent:
      for (int32_t i = 0; i < Count; ++i)
        if (Src[i] != info_.TransparentColor) Dst[i] = Src[i];
      break;
    case dmCustom:
      if (rowCombiner_.Row) {
        EMMS();
        rowCombiner_.CombineRow(Src, Dst, Count, info_.SrcAlpha);
      } else {
        for (int32_t i = 0; i < Count; ++i) AssignColor(Dst[i], Src[i]);
      }
      break;
  }
}

// ---- TRegularRasterizer ----

void TRegularRasterizer::DoRasterize(TCustomBitmap32& Dst, const TRect& DstRect) {
  TCustomSampler& sampler = *Sampler();
  const int32_t width = DstRect.Right - DstRect.Left;
  std::vector<TColor32> samples(AssignsRows() && width > 0 ? size_t(width) : 0);
  int32_t count = 0;
  for (int32_t j = DstRect.Top; j < DstRect.Bottom; ++j) {
    TColor32* row = Dst.RowPtr(j);
    if (!samples.empty() && sampler.GetSampleRowInt(DstRect.Left, j, width, samples.data(), Dst))
      AssignRow(row + DstRect.Left, samples.data(), width);
    else
      for (int32_t i = DstRect.Left; i < DstRect.Right; ++i)
        AssignColor(row[i], sampler.GetSampleInt(i, j));
    if (++count == UpdateRowCount) {
      Dst.AreaChanged({DstRect.Left, j - count, DstRect.Right, j}, AreaInfoRect);
      count = 0;
    }
  }
  Dst.AreaChanged({DstRect.Left, DstRect.Bottom - count - 1, DstRect.Right, DstRect.Bottom},
                  AreaInfoRect);
}

TRasterizerFactory DefaultRasterizerClass = [] {
  return std::unique_ptr<TRasterizer>(std::make_unique<TRegularRasterizer>());
};

// ---- Transform ----

void Transform(TCustomBitmap32& Dst, TCustomBitmap32& Src, TTransformation& Transformation) {
  const std::unique_ptr<TRasterizer> rasterizer = DefaultRasterizerClass();
  Transform(Dst, Src, Transformation, *rasterizer);
}

void Transform(TCustomBitmap32& Dst, TCustomBitmap32& Src, TTransformation& Transformation,
               TRasterizer& Rasterizer) {
  Transform(Dst, Src, Transformation, Dst.BoundsRect(), Rasterizer);
}

void Transform(TCustomBitmap32& Dst, TCustomBitmap32& Src, TTransformation& Transformation,
               const TRect& DstClip, TRasterizer& Rasterizer) {
  constexpr int32_t kMaxSide = 32767;
  if (Src.Width() > kMaxSide || Src.Height() > kMaxSide || Dst.Width() > kMaxSide ||
      Dst.Height() > kMaxSide)
    throw EBitmapException("Bitmap is too large to transform");
  TRect dstRect;
  IntersectRectangles(dstRect, DstClip, Dst.ClipRect());
  if (!Dst.MeasuringMode()) {
    if (!Src.Resampler()) throw EBitmapException("Source bitmap has no resampler");
    TEmmsGuard emms;
    TTransformer transformer(Src.Resampler(), &Transformation);
    TCustomSampler* previous = Rasterizer.Sampler();
    Rasterizer.SetSampler(&transformer);
    try {
      Rasterizer.Rasterize(Dst, dstRect, Src);
    } catch (...) {
      Rasterizer.SetSampler(previous);
      throw;
    }
    Rasterizer.SetSampler(previous);
  }
  Dst.AreaChanged(dstRect, AreaInfoRect);
}

}  // namespace gfx
