// Block and stretch transfers and nearest-neighbour stretching.
#include <cmath>
#include <cstdint>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"
#include "graphics/core/LowLevel.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/ResamplersMath.h"
#include "graphics/resampling/ResamplersWrite.h"

namespace gfx {

void CheckBitmaps(const TCustomBitmap32* Dst, const TCustomBitmap32* Src) {
  if (!Dst) throw EBitmapException("Destination bitmap is nil");
  if (!Src) throw EBitmapException("Source bitmap is nil");
}

namespace {

// Measuring asks where a drawing goes, whatever its opacity: a layer faded out must still report
// its place, or moving it later leaves its old pixels on screen.
bool NothingToDraw(const TCustomBitmap32& Dst, const TCustomBitmap32& Src, TDrawMode CombineOp) {
  return Dst.Empty() || Src.Empty() ||
         (CombineOp == dmBlend && Src.MasterAlpha() == 0 && !Dst.MeasuringMode());
}

// D[i] := S[Map[i]], four at a time.
void GatherRow(const TColor32* S, const int32_t* Map, TColor32* D, int32_t Count) {
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    const TColor32 a = S[Map[i]], b = S[Map[i + 1]], c = S[Map[i + 2]], e = S[Map[i + 3]];
    D[i] = a;
    D[i + 1] = b;
    D[i + 2] = c;
    D[i + 3] = e;
  }
  for (; i < Count; ++i) D[i] = S[Map[i]];
}

TDrawMode EffectiveMode(TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  return CombineOp == dmCustom && !CombineCallBack ? dmOpaque : CombineOp;
}

}  // namespace

void BlendBlock(TCustomBitmap32& Dst, const TRect& DstRect, const TCustomBitmap32& Src,
                int32_t SrcX, int32_t SrcY, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) {
  const TPixelWriter writer(Src, CombineOp, CombineCallBack);
  const int32_t w = DstRect.Right - DstRect.Left;
  for (int32_t y = DstRect.Top; y < DstRect.Bottom; ++y)
    writer.WriteRow(Src.PixelPtr(SrcX, SrcY + y - DstRect.Top), Dst.PixelPtr(DstRect.Left, y), w);
}

void BlockTransfer(TCustomBitmap32& Dst, int32_t DstX, int32_t DstY, const TRect& DstClip,
                   TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                   const TPixelCombineEvent& CombineCallBack) {
  CheckBitmaps(&Dst, &Src);
  if (NothingToDraw(Dst, Src, CombineOp)) return;
  const int32_t srcX = SrcRect.Left, srcY = SrcRect.Top;
  TRect clip, source;
  IntersectRectangles(clip, DstClip, Dst.BoundsRect());
  IntersectRectangles(source, SrcRect, Src.BoundsRect());
  // Offsets in 64 bits: far-away positions simply miss the destination.
  const int64_t dx = int64_t(DstX) - srcX, dy = int64_t(DstY) - srcY;
  auto shift = [](int32_t v, int64_t d) {
    const int64_t r = v + d;
    return int32_t(r < INT32_MIN ? INT32_MIN : r > INT32_MAX ? INT32_MAX : r);
  };
  const TRect placed{shift(source.Left, dx), shift(source.Top, dy), shift(source.Right, dx),
                     shift(source.Bottom, dy)};
  TRect area;
  IntersectRectangles(area, clip, placed);
  if (IsRectEmpty(area)) return;
  if (!Dst.MeasuringMode()) {
    TEmmsGuard emms;
    BlendBlock(Dst, area, Src, int32_t(area.Left - dx), int32_t(area.Top - dy),
               EffectiveMode(CombineOp, CombineCallBack), CombineCallBack);
  }
  Dst.AreaChanged(area, AreaInfoRect);
}

void StretchTransfer(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                     TCustomBitmap32& Src, const TRect& SrcRect, TCustomResampler* Resampler,
                     TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  CheckBitmaps(&Dst, &Src);
  // A source rectangle without pixels draws nothing (and gives no ratio to cut by).
  if (IsRectEmpty(SrcRect)) return;
  TRect dstRect = DstRect, srcRect = SrcRect;
  const float ratioX =
      float((double(DstRect.Right) - DstRect.Left) / (double(SrcRect.Right) - SrcRect.Left));
  const float ratioY =
      float((double(DstRect.Bottom) - DstRect.Top) / (double(SrcRect.Bottom) - SrcRect.Top));
  if (srcRect.Left < 0) {
    dstRect.Left = rmath::Saturate(dstRect.Left + std::ceil(-double(srcRect.Left) * ratioX));
    srcRect.Left = 0;
  }
  if (srcRect.Top < 0) {
    dstRect.Top = rmath::Saturate(dstRect.Top + std::ceil(-double(srcRect.Top) * ratioY));
    srcRect.Top = 0;
  }
  if (srcRect.Right > Src.Width()) {
    dstRect.Right =
        rmath::Saturate(dstRect.Right - std::floor((double(srcRect.Right) - Src.Width()) * ratioX));
    srcRect.Right = Src.Width();
  }
  if (srcRect.Bottom > Src.Height()) {
    dstRect.Bottom = rmath::Saturate(dstRect.Bottom -
                                     std::floor((double(srcRect.Bottom) - Src.Height()) * ratioY));
    srcRect.Bottom = Src.Height();
  }
  if (NothingToDraw(Dst, Src, CombineOp) || IsRectEmpty(srcRect)) return;
  CheckDestinationSize(dstRect);
  if (!Dst.MeasuringMode()) {
    TRect clip;
    IntersectRectangles(clip, DstClip, Dst.BoundsRect());
    IntersectRectangles(clip, clip, dstRect);
    if (IsRectEmpty(clip)) return;
    const TDrawMode mode = EffectiveMode(CombineOp, CombineCallBack);
    TEmmsGuard emms;
    if (srcRect.Right - srcRect.Left == dstRect.Right - dstRect.Left &&
        srcRect.Bottom - srcRect.Top == dstRect.Bottom - dstRect.Top) {
      BlendBlock(Dst, clip, Src, srcRect.Left + clip.Left - dstRect.Left,
                 srcRect.Top + clip.Top - dstRect.Top, mode, CombineCallBack);
    } else {
      if (!Resampler) throw EBitmapException("Source bitmap has no resampler");
      Resampler->Resample(Dst, dstRect, clip, Src, srcRect, mode, CombineCallBack);
    }
  }
  Dst.AreaChanged(dstRect, AreaInfoRect);
}

void StretchNearest(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                    TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                    const TPixelCombineEvent& CombineCallBack) {
  TEmmsGuard emms;
  TRect clip;
  IntersectRectangles(clip, DstClip, Dst.BoundsRect());
  IntersectRectangles(clip, clip, DstRect);
  if (IsRectEmpty(clip)) return;
  if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > Src.Width() ||
      SrcRect.Bottom > Src.Height())
    throw plat::Exception("Invalid SrcRect");
  CheckDestinationSize(DstRect);
  if (IsRectEmpty(SrcRect)) return;
  const int32_t srcW = SrcRect.Right - SrcRect.Left, srcH = SrcRect.Bottom - SrcRect.Top;
  const int32_t dstW = DstRect.Right - DstRect.Left, dstH = DstRect.Bottom - DstRect.Top;
  const int32_t clipW = clip.Right - clip.Left;
  if (srcW == dstW && srcH == dstH) {
    BlendBlock(Dst, clip, Src, SrcRect.Left + clip.Left - DstRect.Left,
               SrcRect.Top + clip.Top - DstRect.Top, CombineOp, CombineCallBack);
    return;
  }
  // Positions are kept inside the source rectangle whatever the single-precision scale does.
  auto limit = [](int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; };
  std::vector<int32_t> mapHorz(size_t(clipW), 0);
  if (dstW > 1) {
    const float scale = float(double(srcW) / dstW);
    for (int32_t i = 0; i < clipW; ++i)
      mapHorz[size_t(i)] =
          limit(rmath::Trunc(SrcRect.Left + double(i + clip.Left - DstRect.Left) * scale),
                SrcRect.Left, SrcRect.Right - 1);
  } else {
    mapHorz[0] = (SrcRect.Left + SrcRect.Right - 1) / 2;
  }
  const float scaleY = dstH > 1 ? float(double(srcH) / dstH) : 0;
  auto sourceRow = [&](int32_t j) {
    if (dstH <= 1) return (SrcRect.Top + SrcRect.Bottom - 1) / 2;
    return limit(rmath::Trunc(SrcRect.Top + double(j + clip.Top - DstRect.Top) * scaleY),
                 SrcRect.Top, SrcRect.Bottom - 1);
  };
  int32_t lastY = -1;
  if (CombineOp == dmOpaque) {
    for (int32_t j = 0; j < clip.Bottom - clip.Top; ++j) {
      const int32_t y = sourceRow(j);
      TColor32* d = Dst.PixelPtr(clip.Left, clip.Top + j);
      if (y != lastY) {
        GatherRow(Src.RowPtr(y), mapHorz.data(), d, clipW);
        lastY = y;
      } else {
        MoveLongword(d - Dst.Width(), d, clipW);
      }
    }
    return;
  }
  const TPixelWriter writer(Src, CombineOp, CombineCallBack);
  std::vector<TColor32> buffer(static_cast<size_t>(clipW));
  for (int32_t j = 0; j < clip.Bottom - clip.Top; ++j) {
    const int32_t y = sourceRow(j);
    if (y != lastY) {
      GatherRow(Src.RowPtr(y), mapHorz.data(), buffer.data(), clipW);
      lastY = y;
    }
    writer.WriteRow(buffer.data(), Dst.PixelPtr(clip.Left, clip.Top + j), clipW);
    EMMS();
  }
}

}  // namespace gfx
