// Samplers return the colour at a position given as integers, 16.16 fixed point or floats.
// Resamplers are samplers bound to one bitmap, which owns them; the transformer samples another
// sampler through the reverse mapping of a transformation.
#pragma once

#include <cstdint>

#include "graphics/bitmap/ResamplerLink.h"
#include "graphics/core/Persistent.h"
#include "graphics/core/Types.h"
#include "graphics/resampling/Transforms.h"
#include "platform/runtime/SysUtils.h"

namespace gfx {

class TCustomBitmap32;

// What a resampler does at positions outside its bitmap's clip rectangle. pamUnsafe is read as
// pamSafe: reading outside the pixel block is never allowed.
enum TPixelAccessMode : uint8_t { pamUnsafe, pamSafe, pamWrap, pamTransparentEdge };

class ENestedException : public plat::Exception {
 public:
  using Exception::Exception;
};

// A concrete sampler overrides GetSampleFixed or GetSampleFloat (the defaults call each other).
// A series of samples is bracketed by PrepareSampling and FinalizeSampling.
class TCustomSampler : public TNotifiablePersistent {
 public:
  virtual TColor32 GetSampleInt(int32_t X, int32_t Y);
  virtual TColor32 GetSampleFixed(TFixed X, TFixed Y);
  virtual TColor32 GetSampleFloat(float X, float Y);
  // Fast paths for whole rows. Each fills Out with the samples GetSampleInt(X + i, Y), or
  // GetSampleFixed at Count positions from (X, Y) in steps of (Dx, Dy), and returns true; false
  // means the caller samples pixel by pixel. They refuse when a sample could read Target, which
  // the caller writes between samples; Out is then left untouched.
  virtual bool GetSampleRowInt(int32_t, int32_t, int32_t, TColor32*, const TCustomBitmap32&) {
    return false;
  }
  virtual bool GetSampleRunFixed(TFixed, TFixed, TFixed, TFixed, int32_t, TColor32*,
                                 const TCustomBitmap32&) {
    return false;
  }
  virtual void PrepareSampling() {}
  virtual void FinalizeSampling() {}
  virtual bool HasBounds() const { return false; }
  virtual TFloatRect GetSampleBounds() const;
};

class TCustomResampler : public TCustomSampler {
 public:
  // Makes a resampler of class R for ABitmap, which owns it from then on.
  template <class R>
  static R& Create(TCustomBitmap32& ABitmap) {
    TResamplerPtr owned(new R());
    R& result = static_cast<R&>(*owned);
    Install(std::move(owned), ABitmap);
    return result;
  }
  // Installs a resampler made elsewhere (by class name) into ABitmap.
  static void Install(TResamplerPtr Resampler, TCustomBitmap32& ABitmap);

  TCustomBitmap32* Bitmap() const { return bitmap_; }
  const TRect& ClipRect() const { return clipRect_; }
  TPixelAccessMode PixelAccessMode() const { return pixelAccessMode_; }
  void SetPixelAccessMode(TPixelAccessMode Value);

  // Reaches the owning bitmap; the resampler's own OnChange is not fired.
  void Changed() override;
  void PrepareSampling() override;
  bool HasBounds() const override { return pixelAccessMode_ != pamWrap; }
  TFloatRect GetSampleBounds() const override;

  // The sampling radius.
  virtual float GetWidth() const { return 0; }
  // Stretches SrcRect of Src onto DstRect of Dst, writing only inside DstClip; no notification.
  virtual void Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                        TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                        const TPixelCombineEvent& CombineCallBack) = 0;

 protected:
  // Copies the published settings into another resampler.
  void AssignTo(plat::TPersistent& Dest) const override;
  // The access mode with pamUnsafe read as pamSafe.
  TPixelAccessMode EffectiveAccessMode() const {
    return pixelAccessMode_ == pamUnsafe ? pamSafe : pixelAccessMode_;
  }
  // True when the cached clip rectangle holds no pixel: every read gives the outside value.
  bool ClipEmpty() const { return IsRectEmpty(clipRect_); }

  TRect clipRect_;

 private:
  TCustomBitmap32* bitmap_ = nullptr;
  TPixelAccessMode pixelAccessMode_ = pamSafe;
};

// Wraps another sampler, which it does not own. Without one, preparing, finishing and the bounds
// raise ENestedException. Samples go to the last sampler assigned: setting none keeps it.
class TNestedSampler : public TCustomSampler {
 public:
  TCustomSampler* Sampler() const { return sampler_; }
  void SetSampler(TCustomSampler* Value) {
    sampler_ = Value;
    if (Value) sampling_ = Value;
  }

  void PrepareSampling() override { Inner().PrepareSampling(); }
  void FinalizeSampling() override { Inner().FinalizeSampling(); }
  bool HasBounds() const override { return Inner().HasBounds(); }
  TFloatRect GetSampleBounds() const override { return Inner().GetSampleBounds(); }

 protected:
  explicit TNestedSampler(TCustomSampler* ASampler) : sampler_(ASampler), sampling_(ASampler) {}
  TCustomSampler& Inner() const;
  // The sampler that samples are taken from; raises only when none was ever assigned.
  TCustomSampler& Sampling() const;
  void AssignTo(plat::TPersistent& Dest) const override;

 private:
  TCustomSampler* sampler_;
  TCustomSampler* sampling_;
};

// Samples the nested sampler at the reverse-mapped centre of each destination pixel.
class TTransformer : public TNestedSampler {
 public:
  TTransformer(TCustomSampler* ASampler, TTransformation* ATransformation)
      : TNestedSampler(ASampler), transformation_(ATransformation), mapping_(ATransformation) {}

  TTransformation* Transformation() const { return transformation_; }
  // As with the sampler, samples keep to the last transformation assigned.
  void SetTransformation(TTransformation* Value) {
    transformation_ = Value;
    if (!Value) return;
    mapping_ = Value;
    affine_ = nullptr;
    hasLast_ = false;
  }

  TColor32 GetSampleInt(int32_t X, int32_t Y) override;
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  TColor32 GetSampleFloat(float X, float Y) override;
  bool GetSampleRowInt(int32_t X, int32_t Y, int32_t Count, TColor32* Out,
                       const TCustomBitmap32& Target) override;
  void PrepareSampling() override;
  bool HasBounds() const override;
  TFloatRect GetSampleBounds() const override;

 private:
  // The transformation set now, for preparing and the bounds.
  TTransformation& Current() const;
  // The transformation samples are mapped through.
  TTransformation& Mapping() const;
  void ReverseFixed(TFixed X, TFixed Y, TFixed& U, TFixed& V);
  // The source position of pixel (X, Y)'s centre, stepped from the last pixel where possible.
  void ReversePixel(int32_t X, int32_t Y, TFixed& U, TFixed& V);
  void RememberPixel(int32_t X, int32_t Y, TFixed U, TFixed V);

  TTransformation* transformation_;
  TTransformation* mapping_;
  // A plain affine transformation is mapped inline through its prepared inverse; along a row the
  // next pixel's position is the last one plus the first column, which is exact while the inverse
  // is the one the last pixel was mapped with.
  const TAffineTransformation* affine_ = nullptr;
  int32_t lastX_ = 0, lastY_ = 0;
  TFixed lastU_ = 0, lastV_ = 0;
  uint32_t lastPreparation_ = 0;
  bool hasLast_ = false;
};

}  // namespace gfx
