// One-dimensional resampling kernels. x is the signed distance from the sample position in
// source pixels; GetWidth is the radius beyond which a kernel is zero.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/core/Persistent.h"

namespace gfx {

class TCustomKernel : public plat::TPersistent {
 public:
  virtual bool RangeCheck() const { return false; }
  virtual float Filter(float Value) const = 0;
  virtual float GetWidth() const = 0;

  // The object told about parameter changes (the resampler holding the kernel); not owned.
  TNotifiablePersistent* Observer() const { return observer_; }
  void SetObserver(TNotifiablePersistent* Value) { observer_ = Value; }
  void Changed();

 protected:
  // Copies the published parameters into another kernel.
  void AssignTo(plat::TPersistent& Dest) const override;

 private:
  TNotifiablePersistent* observer_ = nullptr;
};

// Makes Count integer weights (a full weight is 256; Weight(i) is entry i) sum to 256. Entry
// Middle takes the difference as long as that keeps its sign; otherwise each positive weight gives
// up (or takes) one unit at a time, from Middle outwards, so that weights which were all positive
// stay so and the sums they make cannot wrap.
template <class Weight>
void BalanceWeights(int32_t Count, int32_t Middle, Weight&& weight) {
  int64_t excess = -256;
  for (int32_t i = 0; i < Count; ++i) excess += weight(i);
  if (excess == 0) return;
  int32_t& middle = weight(Middle);
  if ((middle - excess >= 0) == (middle >= 0)) {
    middle -= int32_t(excess);
    return;
  }
  const int32_t unit = excess > 0 ? 1 : -1;
  for (bool moved = true; excess != 0 && moved;) {
    moved = false;
    for (int32_t step = 0; step < 2 * Count && excess != 0; ++step) {
      const int32_t i = Middle + (step % 2 ? -(step + 1) / 2 : step / 2);
      if (i < 0 || i >= Count || weight(i) <= 0) continue;
      weight(i) -= unit;
      excess -= unit;
      moved = true;
    }
  }
}

class TBoxKernel : public TCustomKernel {
 public:
  float Filter(float Value) const override;
  float GetWidth() const override { return 1; }
};

class TLinearKernel : public TCustomKernel {
 public:
  float Filter(float Value) const override;
  float GetWidth() const override { return 1; }
};

class TCosineKernel : public TCustomKernel {
 public:
  float Filter(float Value) const override;
  float GetWidth() const override { return 1; }
};

// The cubic B-spline.
class TSplineKernel : public TCustomKernel {
 public:
  bool RangeCheck() const override { return true; }
  float Filter(float Value) const override;
  float GetWidth() const override { return 2; }
};

// Mitchell-Netravali with B = C = 1/3.
class TMitchellKernel : public TCustomKernel {
 public:
  bool RangeCheck() const override { return true; }
  float Filter(float Value) const override;
  float GetWidth() const override { return 2; }
};

// Cubic convolution with the free coefficient Coeff.
class TCubicKernel : public TCustomKernel {
 public:
  bool RangeCheck() const override { return true; }
  float Filter(float Value) const override;
  float GetWidth() const override { return 2; }
  float Coeff() const { return coeff_; }
  void SetCoeff(float Value);

 private:
  float coeff_ = -0.5f;
};

class THermiteKernel : public TCustomKernel {
 public:
  bool RangeCheck() const override { return true; }
  float Filter(float Value) const override;
  float GetWidth() const override { return 2; }
  float Bias() const { return bias_; }
  void SetBias(float Value);
  float Tension() const { return tension_; }
  void SetTension(float Value);

 private:
  float bias_ = 0, tension_ = 0;
};

// sin(pi x) Coeff / sinh(pi Coeff x); the width is kept in 0 < Width <= 16 like the windowed ones.
class TSinshKernel : public TCustomKernel {
 public:
  bool RangeCheck() const override { return true; }
  float Filter(float Value) const override;
  float GetWidth() const override { return width_; }
  float Width() const { return GetWidth(); }
  void SetWidth(float Value);
  float Coeff() const { return coeff_; }
  // Zero is ignored.
  void SetCoeff(float Value);

 private:
  float width_ = 3, coeff_ = 0.5f;
};

// Window(|x|) * sinc(|x|) inside Width.
class TWindowedSincKernel : public TCustomKernel {
 public:
  bool RangeCheck() const override { return true; }
  float Filter(float Value) const override;
  float GetWidth() const override { return width_; }
  float Width() const { return width_; }
  // At most 16; the caller keeps it above 0.
  void SetWidth(float Value);
  virtual float Window(float Value) const = 0;

 protected:
  float width_ = 3, widthReci_ = 1.0f / 3;
};

class TAlbrechtKernel : public TWindowedSincKernel {
 public:
  TAlbrechtKernel() { SetTerms(7); }
  float Window(float Value) const override;
  int32_t Terms() const { return terms_; }
  // Clamped to 2..11; does not report a change.
  void SetTerms(int32_t Value);

 private:
  int32_t terms_ = 0;
  std::array<double, 11> coefficients_{};
};

class TLanczosKernel : public TWindowedSincKernel {
 public:
  float Window(float Value) const override;
};

class TGaussianKernel : public TWindowedSincKernel {
 public:
  TGaussianKernel() { SetSigma(1.33f); }
  float Window(float Value) const override;
  float Sigma() const { return sigma_; }
  // Zero is ignored.
  void SetSigma(float Value);

 private:
  float sigma_ = 0, sigmaReci_ = 0;
};

class TBlackmanKernel : public TWindowedSincKernel {
 public:
  float Window(float Value) const override;
};

class THannKernel : public TWindowedSincKernel {
 public:
  float Window(float Value) const override;
};

class THammingKernel : public TWindowedSincKernel {
 public:
  float Window(float Value) const override;
};

// sin(pi x) / (pi x) with pi x rounded to single; 1 at 0.
float Sinc(float Value);

}  // namespace gfx
