// Separable stretching under a kernel: mapping tables per axis, then a vertical pass into a row
// buffer and a horizontal pass out of it.
#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/LowLevel.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/ResamplersMath.h"
#include "graphics/resampling/ResamplersWrite.h"

namespace gfx {

namespace {

// Above this total of absolute weights the 32-bit sums of Resample could overflow; only kernels
// with absurd parameters get there.
constexpr int64_t kMaxAbsoluteWeight = 2048;

// Makes the cluster sum to 256, correcting its middle entry where that keeps the weights' signs.
// A cluster without weight takes the source pixel nearest its centre.
void Normalize(TCluster& Cluster, float Center, int32_t SrcLo, int32_t SrcHi) {
  int64_t absolute = 0;
  for (const TPointRec& p : Cluster) absolute += p.Weight < 0 ? -int64_t(p.Weight) : p.Weight;
  if (absolute == 0 || absolute > kMaxAbsoluteWeight) {
    Cluster = {{Constrain(rmath::Round(Center), SrcLo, SrcHi - 1), 256}};
    return;
  }
  BalanceWeights(int32_t(Cluster.size()), int32_t(Cluster.size() - 1) / 2,
                 [&Cluster](int32_t i) -> int32_t& { return Cluster[size_t(i)].Weight; });
}

}  // namespace

TMappingTable BuildMappingTable(int32_t DstLo, int32_t DstHi, int32_t ClipLo, int32_t ClipHi,
                                int32_t SrcLo, int32_t SrcHi, const TCustomKernel& Kernel) {
  const int32_t srcW = SrcHi - SrcLo, dstW = DstHi - DstLo, clipW = ClipHi - ClipLo;
  if (srcW <= 0 || clipW <= 0) return {};
  TMappingTable result(static_cast<size_t>(clipW));
  if (srcW == 1) {
    for (TCluster& c : result) c = {{SrcLo, 256}};
    return result;
  }
  float scale = float(double(dstW) / srcW);
  if (scale == 0) {
    result[0] = {{(SrcLo + SrcHi) / 2, 256}};
    return result;
  }
  float filterWidth = Kernel.GetWidth();
  const bool shrinking = scale < 1;
  const float oldScale = scale;
  scale = float(1.0 / scale);
  if (shrinking) filterWidth = float(double(filterWidth) * scale);
  for (int32_t i = 0; i < clipW; ++i) {
    const float center = float((double(i) - DstLo + ClipLo + 0.5) * scale + SrcLo - 0.5);
    TCluster& cluster = result[size_t(i)];
    const int32_t first = rmath::Floor(double(center) - filterWidth);
    const int32_t last = rmath::Ceil(double(center) + filterWidth);
    for (int64_t j = first; j <= last; ++j) {
      const double distance = double(center) - double(j);
      const int32_t w =
          shrinking
              ? rmath::Round(double(Kernel.Filter(float(distance * oldScale))) * 256 * oldScale)
              : rmath::Round(double(Kernel.Filter(float(distance))) * 256);
      if (w != 0) cluster.push_back({Constrain(int32_t(j), SrcLo, SrcHi - 1), w});
    }
    if (shrinking && cluster.empty())
      cluster = {{Constrain(rmath::Floor(center), SrcLo, SrcHi - 1), 256}};
    Normalize(cluster, center, SrcLo, SrcHi);
  }
  return result;
}

void Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& AClip, TCustomBitmap32& Src,
              const TRect& SrcRect, const TCustomKernel& Kernel, TDrawMode CombineOp,
              const TPixelCombineEvent& CombineCallBack) {
  TEmmsGuard emms;
  TRect DstClip = AClip;
  if (!ClipResampleRects(Dst, DstRect, DstClip, Src, SrcRect)) return;
  const TPixelWriter writer(Src, CombineOp, CombineCallBack);
  if (writer.Mode() == dmBlend && Src.MasterAlpha() == 0) return;
  const TMappingTable mapX = BuildMappingTable(DstRect.Left, DstRect.Right, DstClip.Left,
                                               DstClip.Right, SrcRect.Left, SrcRect.Right, Kernel);
  const TMappingTable mapY = BuildMappingTable(DstRect.Top, DstRect.Bottom, DstClip.Top,
                                               DstClip.Bottom, SrcRect.Top, SrcRect.Bottom, Kernel);
  if (mapX.empty() || mapY.empty()) return;
  const bool rangeCheck = Kernel.RangeCheck();
  // The span covers every position any cluster uses.
  int32_t lo = INT32_MAX, hi = INT32_MIN;
  for (const TCluster& c : mapX)
    for (const TPointRec& p : c) {
      lo = std::min(lo, p.Pos);
      hi = std::max(hi, p.Pos);
    }
  if (lo > hi) return;
  struct Sums {
    int32_t A, R, G, B;
  };
  std::vector<Sums> buffer(static_cast<size_t>(hi - lo + 1));
  auto finish = [rangeCheck](int32_t v) {
    if (rangeCheck) v = v < 0 ? 0 : v > 0xFF0000 ? 0xFF0000 : v;
    return uint32_t(v) & 0xFF0000u;
  };
  for (int32_t j = DstClip.Top; j < DstClip.Bottom; ++j) {
    const TCluster& rows = mapY[size_t(j - DstClip.Top)];
    for (int32_t x = lo; x <= hi; ++x) {
      Sums s{0, 0, 0, 0};
      for (const TPointRec& r : rows) {
        const TColor32 c = Src.Pixel(x, r.Pos);
        s.A += int32_t(c >> 24) * r.Weight;
        s.R += int32_t((c >> 16) & 0xFF) * r.Weight;
        s.G += int32_t((c >> 8) & 0xFF) * r.Weight;
        s.B += int32_t(c & 0xFF) * r.Weight;
      }
      buffer[size_t(x - lo)] = s;
    }
    TColor32* d = Dst.PixelPtr(DstClip.Left, j);
    for (int32_t i = DstClip.Left; i < DstClip.Right; ++i, ++d) {
      Sums s{0, 0, 0, 0};
      for (const TPointRec& p : mapX[size_t(i - DstClip.Left)]) {
        const Sums& b = buffer[size_t(p.Pos - lo)];
        s.A += b.A * p.Weight;
        s.R += b.R * p.Weight;
        s.G += b.G * p.Weight;
        s.B += b.B * p.Weight;
      }
      const TColor32 colour = finish(s.A) << 8 | finish(s.R) | finish(s.G) >> 8 | finish(s.B) >> 16;
      writer.Write(colour, *d);
    }
  }
}

}  // namespace gfx
