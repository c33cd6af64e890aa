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

namespace {

// Runs of samples are taken in tiles of this many rows and columns, so that the source pixels a
// tile reads stay in the processor's caches whatever the turn or scale; row after row across the
// whole destination, a turned source is fetched from memory many times over.
constexpr int32_t kTileRows = 32, kTileColumns = 128;

}  // namespace

void TRegularRasterizer::DoRasterize(TCustomBitmap32& Dst, const TRect& DstRect) {
  TCustomSampler& sampler = *Sampler();
  const int32_t width = DstRect.Right - DstRect.Left;
  const bool copies = AssignsCopies();
  std::vector<TColor32> samples(
      AssignsRows() && !copies && width > 0 ? size_t(std::min(width, kTileColumns)) : 0);
  // Count samples from (X, Y) as one run; false, with nothing written, when the sampler refuses.
  // Copied samples go straight into the row: a run that could read Dst is refused.
  auto run = [&](int32_t X, int32_t Y, int32_t Count) {
    TColor32* at = Dst.PixelPtr(X, Y);
    TColor32* out = copies ? at : samples.data();
    if (!sampler.GetSampleRowInt(X, Y, Count, out, Dst)) return false;
    if (!copies) AssignRow(at, out, Count);
    return true;
  };
  auto pixels = [&](int32_t X, int32_t Y, int32_t Count) {
    TColor32* row = Dst.RowPtr(Y);
    for (int32_t i = X; i < X + Count; ++i) AssignColor(row[i], sampler.GetSampleInt(i, Y));
  };
  int32_t count = 0;
  auto rowsDone = [&](int32_t Top, int32_t Bottom) {
    for (int32_t j = Top; j < Bottom; ++j)
      if (++count == UpdateRowCount) {
        Dst.AreaChanged({DstRect.Left, j - count, DstRect.Right, j}, AreaInfoRect);
        count = 0;
      }
  };
  // The first run tells whether the sampler takes runs. One that refuses may read Dst, so it
  // samples pixel by pixel in row order.
  const bool runs = AssignsRows() && width > 0 && DstRect.Top < DstRect.Bottom &&
                    run(DstRect.Left, DstRect.Top, std::min(width, kTileColumns));
  if (!runs) {
    for (int32_t j = DstRect.Top; j < DstRect.Bottom; ++j) {
      pixels(DstRect.Left, j, width);
      rowsDone(j, j + 1);
    }
  } else {
    // Tiles only while no rows are reported on the way, so that each report follows its rows.
    const int32_t bandRows = UpdateRowCount == 0 ? kTileRows : 1;
    for (int32_t top = DstRect.Top; top < DstRect.Bottom; top += bandRows) {
      const int32_t bottom = top + std::min(bandRows, DstRect.Bottom - top);
      for (int32_t x = DstRect.Left; x < DstRect.Right; x += kTileColumns) {
        const int32_t n = std::min(kTileColumns, DstRect.Right - x);
        for (int32_t j = top; j < bottom; ++j) {
          const bool first = j == DstRect.Top && x == DstRect.Left;  // the run taken above
          if (!first && !run(x, j, n)) pixels(x, j, n);
        }
      }
      rowsDone(top, bottom);
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
