// The bilinear and draft resamplers and their stretching routines.
#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/ResamplersLinearRun.h"
#include "graphics/resampling/ResamplersMath.h"
#include "graphics/resampling/ResamplersTiers.h"
#include "graphics/resampling/ResamplersWrite.h"

namespace gfx {

// ---- TLinearResampler ----

TLinearResampler::TLinearResampler() : kernel_(std::make_unique<TLinearKernel>()) {}

void TLinearResampler::PrepareSampling() {
  TCustomResampler::PrepareSampling();
  const TPixelAccessMode mode = EffectiveAccessMode();
  if (ClipEmpty())
    reader_ = &TLinearResampler::ReadOutside;
  else if (mode == pamWrap)
    reader_ = &TLinearResampler::ReadWrapped;
  else if (mode == pamTransparentEdge)
    reader_ = &TLinearResampler::ReadEdge;
  else
    reader_ = &TLinearResampler::ReadClipped;
}

// Sampling nothing: the outer colour in the safe modes, else transparent black.
TColor32 TLinearResampler::ReadOutside(TFixed, TFixed) const {
  return Bitmap() && EffectiveAccessMode() == pamSafe ? Bitmap()->OuterColor() : 0;
}

TColor32 TLinearResampler::ReadWrapped(TFixed X, TFixed Y) const {
  return Bitmap()->PixelFixedWrapped(X, Y);
}

TColor32 TLinearResampler::ReadEdge(TFixed X, TFixed Y) const {
  const TRect& R = clipRect_;
  const int32_t r1 = R.Right - 1, b1 = R.Bottom - 1;
  const int32_t x1 = X >> 16, y1 = Y >> 16;
  const TCustomBitmap32& b = *Bitmap();
  if (x1 >= R.Left && y1 >= R.Top && x1 < r1 && y1 < b1) {
    const TColor32 c = b.PixelSubpixel(int32_t(uint32_t(X) >> 8), int32_t(uint32_t(Y) >> 8));
    EMMS();
    return c;
  }
  if (x1 < R.Left - 1 || y1 < R.Top - 1 || x1 > r1 || y1 > b1) return 0;
  auto sign = [](TFixed v) { return v > 0 ? 1 : v < 0 ? -1 : 0; };
  const int32_t xa = Constrain(x1, 0, r1), xb = Constrain(x1 + sign(X), 0, r1);
  const int32_t ya = Constrain(y1, 0, b1), yb = Constrain(y1 + sign(Y), 0, b1);
  TColor32 c1 = b.Pixel(xa, ya), c2 = b.Pixel(xb, ya), c3 = b.Pixel(xa, yb), c4 = b.Pixel(xb, yb);
  constexpr TColor32 noAlpha = 0x00FFFFFF;
  if (int64_t(X) <= int64_t(R.Left) * 65536) {
    c1 &= noAlpha;
    c3 &= noAlpha;
  } else if (x1 == r1) {
    c2 &= noAlpha;
    c4 &= noAlpha;
  }
  if (int64_t(Y) <= int64_t(R.Top) * 65536) {
    c1 &= noAlpha;
    c2 &= noAlpha;
  } else if (y1 == b1) {
    c3 &= noAlpha;
    c4 &= noAlpha;
  }
  const uint32_t wx = GammaTable[((uint32_t(X) >> 8) & 255) ^ 255];
  const uint32_t wy = GammaTable[((uint32_t(Y) >> 8) & 255) ^ 255];
  const TColor32 result = CombineReg(CombineReg(c1, c2, wx), CombineReg(c3, c4, wx), wy);
  EMMS();
  return result;
}

namespace {

// The clipped read of the resampler's bitmap, its bounds taken once per run.
TLinearPicture PictureOf(const TCustomBitmap32& B) {
  return {B.Bits(), B.Width(), B.ClipRect(), B.OuterColor()};
}

// The clipped read through the bound interpolation; a run ends the MMX state once, after its
// last sample.
TClippedLinearReader<TInterpolator> BoundReader(const TCustomBitmap32& B) {
  return {PictureOf(B), Interpolator};
}

}  // namespace

// A single sample ends the MMX state itself: its caller may do floating-point work next.
TColor32 TLinearResampler::ReadClipped(TFixed X, TFixed Y) const {
  const TColor32 c = BoundReader(*Bitmap()).Read(X, Y);
  EMMS();
  return c;
}

TColor32 TLinearResampler::GetSampleFixed(TFixed X, TFixed Y) {
  return (this->*reader_)(X, Y);
}

bool TLinearResampler::GetSampleRunFixed(TFixed X, TFixed Y, TFixed Dx, TFixed Dy, int32_t Count,
                                         TColor32* Out, const TCustomBitmap32& Target) {
  if (Bitmap() == &Target) return false;
  if (reader_ != &TLinearResampler::ReadClipped) {
    uint32_t x = uint32_t(X), y = uint32_t(Y);
    for (int32_t i = 0; i < Count; ++i, x += uint32_t(Dx), y += uint32_t(Dy))
      Out[i] = (this->*reader_)(TFixed(x), TFixed(y));
    return true;
  }
#if defined(__x86_64__) || defined(__i386__)
  // The SSE2 tier's run gives what its bound interpolation gives, without a call per pixel.
  if (Interpolator == resamplers_sse2::Interpolator) {
    resamplers_sse2::ReadClippedRun(PictureOf(*Bitmap()), X, Y, Dx, Dy, Count, Out);
    return true;
  }
#endif
  BoundReader(*Bitmap()).ReadRun(X, Y, Dx, Dy, Count, Out);
  EMMS();
  return true;
}

TColor32 TLinearResampler::GetSampleFloat(float X, float Y) {
  return GetSampleFixed(rmath::ToFixed(X), rmath::ToFixed(Y));
}

void TLinearResampler::Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                                TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                                const TPixelCombineEvent& CombineCallBack) {
  const int32_t srcW = SrcRect.Right - SrcRect.Left, srcH = SrcRect.Bottom - SrcRect.Top;
  const int32_t dstW = DstRect.Right - DstRect.Left, dstH = DstRect.Bottom - DstRect.Top;
  if (dstW > srcW && dstH > srcH && srcW > 1 && srcH > 1)
    StretchHorzStretchVertLinear(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
  else
    gfx::Resample(Dst, DstRect, DstClip, Src, SrcRect, *kernel_, CombineOp, CombineCallBack);
}

// ---- TDraftResampler ----

void TDraftResampler::Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                               TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                               const TPixelCombineEvent& CombineCallBack) {
  DraftResample(Dst, DstRect, DstClip, Src, SrcRect, LinearKernel(), CombineOp, CombineCallBack);
}

// ---- Stretching routines ----

namespace {

struct TLinearEntry {
  int32_t Pos;
  int32_t Weight;  // of the pixel at Pos, out of 256
};

// Source positions of Count destination indices from ClipLo, each with the pixel after it
// inside the source range.
std::vector<TLinearEntry> LinearMap(int32_t Count, int32_t ClipLo, int32_t DstLo, int32_t DstW,
                                    int32_t SrcLo, int32_t SrcHi, int32_t SrcW, int32_t Limit) {
  std::vector<TLinearEntry> map(static_cast<size_t>(Count));
  for (int32_t i = 0; i < Count; ++i) {
    float t = float((double(i) + ClipLo - DstLo + 0.5) * SrcW / DstW + SrcLo - 0.5);
    t = t < 0 ? 0 : t > float(Limit - 1) ? float(Limit - 1) : t;
    const double floor = std::floor(double(t));
    map[size_t(i)] = {int32_t(floor), 256 - rmath::Round((double(t) - floor) * 256)};
  }
  for (auto e = map.rbegin(); e != map.rend() && e->Pos == SrcHi - 1; ++e) {
    --e->Pos;
    e->Weight = 0;
  }
  return map;
}

}  // namespace

void StretchHorzStretchVertLinear(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& AClip,
                                  TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                                  const TPixelCombineEvent& CombineCallBack) {
  TEmmsGuard emms;
  TRect DstClip = AClip;
  if (!ClipResampleRects(Dst, DstRect, DstClip, Src, SrcRect)) return;
  // Each position needs the pixel after it.
  if (SrcRect.Right - SrcRect.Left < 2 || SrcRect.Bottom - SrcRect.Top < 2) {
    Resample(Dst, DstRect, DstClip, Src, SrcRect, TLinearKernel(), CombineOp, CombineCallBack);
    return;
  }
  const TPixelWriter writer(Src, CombineOp, CombineCallBack);
  const int32_t clipW = DstClip.Right - DstClip.Left, clipH = DstClip.Bottom - DstClip.Top;
  const auto columns =
      LinearMap(clipW, DstClip.Left, DstRect.Left, DstRect.Right - DstRect.Left, SrcRect.Left,
                SrcRect.Right, SrcRect.Right - SrcRect.Left, Src.Width());
  const auto rows =
      LinearMap(clipH, DstClip.Top, DstRect.Top, DstRect.Bottom - DstRect.Top, SrcRect.Top,
                SrcRect.Bottom, SrcRect.Bottom - SrcRect.Top, Src.Height());
  const TInterpolator interpolate = Interpolator;
  for (int32_t j = 0; j < clipH; ++j) {
    const TColor32* top = Src.RowPtr(rows[size_t(j)].Pos);
    const TColor32* bottom = top + Src.Width();
    const uint32_t wy = uint32_t(rows[size_t(j)].Weight);
    TColor32* d = Dst.PixelPtr(DstClip.Left, DstClip.Top + j);
    for (int32_t i = 0; i < clipW; ++i) {
      const TLinearEntry& c = columns[size_t(i)];
      writer.Write(interpolate(uint32_t(c.Weight), wy, top + c.Pos, bottom + c.Pos), d[i]);
    }
  }
}

namespace {

// The source span of one destination block along an axis.
struct TBlockSpan {
  int32_t First;
  uint32_t Count;
};

// Blocks of the destination indices ClipLo .. ClipLo + Count - 1. The grid is anchored at DstLo,
// not at the clip, so any clip gives the pixels of the whole drawing. Single-precision scales may
// reach a pixel past the source range: blocks stay inside it, at least one pixel wide.
std::vector<TBlockSpan> BlockSpans(int32_t Count, int32_t ClipLo, int32_t DstLo, float Scale,
                                   int32_t SrcLo, int32_t SrcHi) {
  const int64_t step = rmath::Trunc(double(Scale) * 65536);
  auto bound = [&](int64_t k) -> int64_t {
    if (k == 0) return 0;
    if (k == 1) return rmath::Trunc(Scale);
    return (k * step) >> 16;
  };
  std::vector<TBlockSpan> spans(size_t(Count > 0 ? Count : 0));
  const int64_t k0 = int64_t(ClipLo) - DstLo;
  for (int32_t i = 0; i < Count; ++i) {
    const int64_t first = std::clamp<int64_t>(SrcLo + bound(k0 + i), SrcLo, SrcHi - 1);
    const int64_t last = std::clamp<int64_t>(SrcLo + bound(k0 + i + 1), first + 1, SrcHi);
    spans[size_t(i)] = {int32_t(first), uint32_t(last - first)};
  }
  return spans;
}

}  // namespace

void DraftResample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& AClip,
                   TCustomBitmap32& Src, const TRect& SrcRect, const TCustomKernel& Kernel,
                   TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  TRect DstClip = AClip;
  if (!ClipResampleRects(Dst, DstRect, DstClip, Src, SrcRect)) return;
  const int32_t srcW = SrcRect.Right - SrcRect.Left, srcH = SrcRect.Bottom - SrcRect.Top;
  const int32_t dstW = DstRect.Right - DstRect.Left, dstH = DstRect.Bottom - DstRect.Top;
  if (srcW < dstW || srcH < dstH) {
    if (srcW < 2 || srcH < 2)
      Resample(Dst, DstRect, DstClip, Src, SrcRect, Kernel, CombineOp, CombineCallBack);
    else
      StretchHorzStretchVertLinear(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
    return;
  }
  TEmmsGuard emms;
  const int32_t clipW = DstClip.Right - DstClip.Left, clipH = DstClip.Bottom - DstClip.Top;
  const TPixelWriter writer(Src, CombineOp, CombineCallBack);
  const float scaleX = float(double(srcW) / dstW), scaleY = float(double(srcH) / dstH);
  const auto columns =
      BlockSpans(clipW, DstClip.Left, DstRect.Left, scaleX, SrcRect.Left, SrcRect.Right);
  const auto rows =
      BlockSpans(clipH, DstClip.Top, DstRect.Top, scaleY, SrcRect.Top, SrcRect.Bottom);
  const TBlockAverage average = BlockAverage;
  const uint32_t stride = uint32_t(Src.Width()) * 4;
  for (int32_t j = 0; j < clipH; ++j) {
    const TBlockSpan& row = rows[size_t(j)];
    const TColor32* source = Src.RowPtr(row.First);
    TColor32* d = Dst.PixelPtr(DstClip.Left, DstClip.Top + j);
    for (int32_t i = 0; i < clipW; ++i) {
      const TBlockSpan& column = columns[size_t(i)];
      writer.Write(average(column.Count, row.Count, source + column.First, stride), d[i]);
    }
  }
}

}  // namespace gfx
