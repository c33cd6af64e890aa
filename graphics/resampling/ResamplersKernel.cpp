// The kernel resampler: single samples weighted by an exchangeable kernel, evaluated per sample
// or read from a weight table.
#include <cmath>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/ResamplersMath.h"

namespace gfx {

namespace {

// Kernels with absurd parameters must not overflow the 64-bit sums.
constexpr int32_t kMaxWeight = 65536;

int32_t Weight(double V) {
  return Constrain(rmath::Round(V * 256), -kMaxWeight, kMaxWeight);
}

}  // namespace

TKernelResampler::TKernelResampler() : kernel_(std::make_unique<TBoxKernel>()) {
  kernel_->SetObserver(this);
}

TKernelResampler::~TKernelResampler() = default;

void TKernelResampler::SetKernel(std::unique_ptr<TCustomKernel> Value) {
  if (!Value || Value == kernel_) return;
  kernel_ = std::move(Value);
  kernel_->SetObserver(this);
  Changed();
}

std::string TKernelResampler::KernelClassName() const {
  return kernel_->ClassName();
}

void TKernelResampler::SetKernelClassName(const std::string& Value) {
  if (Value.empty() || Value == KernelClassName()) return;
  if (const auto* kernelClass = KernelList().Find(Value)) SetKernel(kernelClass->Create());
}

void TKernelResampler::SetKernelMode(TKernelMode Value) {
  if (kernelMode_ == Value) return;
  kernelMode_ = Value;
  Changed();
}

void TKernelResampler::SetTableSize(int32_t Value) {
  Value = Constrain(Value, 2, MaxTableSize);
  if (tableSize_ == Value) return;
  tableSize_ = Value;
  Changed();
}

float TKernelResampler::GetWidth() const {
  return kernel_->GetWidth();
}

void TKernelResampler::Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                                TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                                const TPixelCombineEvent& CombineCallBack) {
  gfx::Resample(Dst, DstRect, DstClip, Src, SrcRect, *kernel_, CombineOp, CombineCallBack);
}

namespace {

// Makes the weights of offsets -Radius..Radius sum to 256 through the centre entry. Kernels
// without a range check are partitions of unity here, so that entry never turns negative for them.
void Balance(int32_t* W, int32_t Radius) {
  int64_t sum = 0;
  for (int32_t k = -Radius; k <= Radius; ++k) sum += W[k + Radius];
  W[Radius] -= int32_t(sum - 256);
}

}  // namespace

void TKernelResampler::PrepareSampling() {
  TCustomResampler::PrepareSampling();
  outerColor_ = Bitmap() ? Bitmap()->OuterColor() : 0;
  const float width = kernel_->GetWidth();
  radius_ = width > 0 ? Constrain(rmath::Ceil(width), 0, MaxRadius) : 0;
  weightTable_.reset();
  // Sampling keeps to the mode and table size taken here; changes wait for the next preparation.
  samplingMode_ = kernelMode_;
  samplingTableSize_ = tableSize_;
  if (samplingMode_ == kmDynamic) return;
  weightTable_ = std::make_unique<TIntegerMap>();
  weightTable_->SetSize(2 * radius_ + 1, samplingTableSize_ + 1);
  for (int32_t r = 0; r <= samplingTableSize_; ++r) {
    const float f = float(double(r) / (samplingTableSize_ - 1));
    int32_t* row = weightTable_->ValPtr(0, r);
    for (int32_t k = -radius_; k <= radius_; ++k)
      row[k + radius_] = Weight(kernel_->Filter(float(k + double(f))));
    Balance(row, radius_);
  }
}

void TKernelResampler::FinalizeSampling() {
  weightTable_.reset();
  samplingMode_ = kmDynamic;
  TCustomResampler::FinalizeSampling();
}

void TKernelResampler::AxisWeights(float Fraction, TWeights& Weights) const {
  int32_t* w = Weights.data();
  switch (samplingMode_) {
    case kmDynamic:
      for (int32_t k = -radius_; k <= radius_; ++k)
        w[k + radius_] = Weight(kernel_->Filter(float(k + double(Fraction))));
      break;
    case kmTableNearest: {
      const int32_t r = Constrain(rmath::Round(double(Fraction) * (samplingTableSize_ - 1)), 0,
                                  samplingTableSize_);
      const int32_t* row = weightTable_->ValPtr(0, r);
      for (int32_t k = 0; k <= 2 * radius_; ++k) w[k] = row[k];
      return;
    }
    case kmTableLinear: {
      const int32_t p = rmath::Round(double(Fraction) * (samplingTableSize_ - 1) * 65536);
      const int32_t r = Constrain(p >> 16, 0, samplingTableSize_ - 1);
      const int32_t f = p & 0xFFFF;
      const int32_t* a = weightTable_->ValPtr(0, r);
      const int32_t* b = weightTable_->ValPtr(0, r + 1);
      for (int32_t k = 0; k <= 2 * radius_; ++k)
        w[k] = a[k] + int32_t((int64_t(b[k] - a[k]) * f + 32767) / 65536);
      break;
    }
  }
  Balance(w, radius_);
}

TColor32 TKernelResampler::GetSampleFloat(float X, float Y) {
  const TPixelAccessMode mode = EffectiveAccessMode();
  const TColor32 outside = mode == pamSafe ? outerColor_ : 0;
  const TRect& R = clipRect_;
  // Positions far outside any bitmap (or not numbers) sample nothing.
  constexpr double kFar = 1 << 30;
  if (ClipEmpty() || !(std::fabs(X) < kFar) || !(std::fabs(Y) < kFar)) return outside;
  const int32_t cx = rmath::Ceil(X), cy = rmath::Ceil(Y);
  const int32_t w = radius_;
  int32_t kLo = -w, kHi = w, lLo = -w, lHi = w;
  bool edge = false;
  if (mode != pamWrap) {
    if (cx < R.Left || cx > R.Right || cy < R.Top || cy > R.Bottom) return outside;
    auto cut = [&edge](int32_t& lo, int32_t& hi, int32_t c, int32_t min, int32_t max) {
      if (c + lo < min) {
        lo = min - c;
        edge = true;
      }
      if (c + hi > max - 1) {
        hi = max - c - 1;
        edge = true;
      }
    };
    cut(kLo, kHi, cx, R.Left, R.Right);
    cut(lLo, lHi, cy, R.Top, R.Bottom);
  }
  TWeights horz{}, vert{};
  AxisWeights(float(double(cx) - X), horz);
  AxisWeights(float(double(cy) - Y), vert);

  const TCustomBitmap32& b = *Bitmap();
  TWrapProc wrapX = nullptr, wrapY = nullptr;
  if (mode == pamWrap) {
    wrapX = GetWrapProcEx(b.WrapMode(), R.Left, R.Right - 1);
    wrapY = GetWrapProcEx(b.WrapMode(), R.Top, R.Bottom - 1);
  }
  const bool outerTaps = mode == pamSafe && edge && (outerColor_ >> 24) != 0;
  int64_t sa = 0, sr = 0, sg = 0, sb = 0;
  auto add = [](TColor32 c, int64_t wh, int64_t& ra, int64_t& rr, int64_t& rg, int64_t& rb) {
    const uint32_t a = c >> 24;
    if (a == 0) return;
    uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, bl = c & 0xFF;
    if (a != 255) {
      r = Div255(r * a);
      g = Div255(g * a);
      bl = Div255(bl * a);
    }
    ra += a * wh;
    rr += r * wh;
    rg += g * wh;
    rb += bl * wh;
  };
  for (int32_t l = -w; l <= w; ++l) {
    const int64_t wv = vert[size_t(l + w)];
    if (wv == 0) continue;
    const bool rowInside = l >= lLo && l <= lHi;
    if (!rowInside && !outerTaps) continue;
    int64_t ra = 0, rr = 0, rg = 0, rb = 0;
    const int32_t y = wrapY ? wrapY(cy + l, R.Top, R.Bottom - 1) : cy + l;
    for (int32_t k = -w; k <= w; ++k) {
      const int64_t wh = horz[size_t(k + w)];
      if (rowInside && k >= kLo && k <= kHi) {
        const int32_t x = wrapX ? wrapX(cx + k, R.Left, R.Right - 1) : cx + k;
        add(b.Pixel(x, y), wh, ra, rr, rg, rb);
      } else if (outerTaps) {
        add(outerColor_, wh, ra, rr, rg, rb);
      }
    }
    sa += ra * wv;
    sr += rr * wv;
    sg += rg * wv;
    sb += rb * wv;
  }
  const bool rangeCheck = kernel_->RangeCheck();
  auto shifted = [](int64_t v) { return (v + 32767) >> 16; };
  auto limit = [rangeCheck](int64_t v) -> uint32_t {
    if (!rangeCheck) return uint32_t(v) & 0xFF;
    const int32_t s = int16_t(uint16_t(uint64_t(v)));
    return uint32_t(s < 0 ? 0 : s > 255 ? 255 : s);
  };
  const uint32_t a = limit(shifted(sa));
  if (a == 0) return 0;
  auto channel = [&](int64_t sum) -> uint32_t {
    int64_t v = shifted(sum);
    if (rangeCheck) v = int16_t(uint16_t(uint64_t(v)));
    if (a != 255) v = v * 255 / a;
    return rangeCheck ? uint32_t(v < 0 ? 0 : v > 255 ? 255 : v) : uint32_t(v) & 0xFF;
  };
  return a << 24 | channel(sr) << 16 | channel(sg) << 8 | channel(sb);
}

}  // namespace gfx
