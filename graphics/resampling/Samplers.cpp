#include "graphics/resampling/Samplers.h"

#include <limits>
#include <typeinfo>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Containers.h"
#include "graphics/resampling/ResamplersMath.h"

namespace gfx {

// ---- TCustomSampler ----

TColor32 TCustomSampler::GetSampleInt(int32_t X, int32_t Y) {
  return GetSampleFixed(Fixed(X), Fixed(Y));
}

TColor32 TCustomSampler::GetSampleFixed(TFixed X, TFixed Y) {
  constexpr float unit = 1.0f / 65536;
  return GetSampleFloat(float(X * double(unit)), float(Y * double(unit)));
}

TColor32 TCustomSampler::GetSampleFloat(float X, float Y) {
  return GetSampleFixed(rmath::ToFixed(X), rmath::ToFixed(Y));
}

TFloatRect TCustomSampler::GetSampleBounds() const {
  constexpr float inf = std::numeric_limits<float>::infinity();
  return {-inf, -inf, inf, inf};
}

// ---- TCustomResampler ----

void TCustomResampler::Install(TResamplerPtr Resampler, TCustomBitmap32& ABitmap) {
  Resampler->bitmap_ = &ABitmap;
  ABitmap.SetResampler(std::move(Resampler));
}

void TCustomResampler::SetPixelAccessMode(TPixelAccessMode Value) {
  if (pixelAccessMode_ == Value) return;
  pixelAccessMode_ = Value;
  Changed();
}

void TCustomResampler::Changed() {
  if (bitmap_) bitmap_->Changed();
}

void TCustomResampler::PrepareSampling() {
  clipRect_ = bitmap_ ? bitmap_->ClipRect() : TRect{};
}

TFloatRect TCustomResampler::GetSampleBounds() const {
  TFloatRect R = FloatRect(bitmap_ ? bitmap_->ClipRect() : TRect{});
  if (pixelAccessMode_ == pamTransparentEdge) InflateFloatRect(R, 1, 1);
  return R;
}

void TCustomResampler::AssignTo(plat::TPersistent& Dest) const {
  if (dynamic_cast<TCustomResampler*>(&Dest))
    AssignPublishedProperties(*this, Dest, plat::tkProperties);
  else
    TCustomSampler::AssignTo(Dest);
}

// ---- TNestedSampler ----

TCustomSampler& TNestedSampler::Inner() const {
  if (!sampler_) throw ENestedException("Nested sampler is nil");
  return *sampler_;
}

TCustomSampler& TNestedSampler::Sampling() const {
  if (!sampling_) throw ENestedException("Nested sampler is nil");
  return *sampling_;
}

void TNestedSampler::AssignTo(plat::TPersistent& Dest) const {
  if (dynamic_cast<TNestedSampler*>(&Dest))
    AssignPublishedProperties(*this, Dest, plat::tkProperties);
  else
    TCustomSampler::AssignTo(Dest);
}

// ---- TTransformer ----

TTransformation& TTransformer::Current() const {
  if (!transformation_) throw ENestedException("Transformation is nil");
  return *transformation_;
}

TTransformation& TTransformer::Mapping() const {
  if (!mapping_) throw ENestedException("Transformation is nil");
  return *mapping_;
}

namespace {

// The centre of a pixel in 16.16 is 32767 units past its corner.
constexpr int32_t kHalf = 32767;

TFixed CentreOf(int32_t V) {
  return TFixed(uint32_t(V) * 65536u + kHalf);
}

}  // namespace

void TTransformer::ReverseFixed(TFixed X, TFixed Y, TFixed& U, TFixed& V) {
  if (affine_)
    MapFixed(affine_->InverseFixedMatrix(), X, Y, U, V);
  else
    Mapping().ReverseTransformFixed(X, Y, U, V);
}

void TTransformer::ReversePixel(int32_t X, int32_t Y, TFixed& U, TFixed& V) {
  // Stepping is exact while both centres lie inside the 16.16 range.
  if (affine_ && hasLast_ && Y == lastY_ && int64_t(X) == int64_t(lastX_) + 1 && X > -32768 &&
      X <= 32767 && affine_->Preparations() == lastPreparation_) {
    const TFixedMatrix& inverse = affine_->InverseFixedMatrix();
    U = TFixed(uint32_t(lastU_) + uint32_t(inverse[0][0]));
    V = TFixed(uint32_t(lastV_) + uint32_t(inverse[0][1]));
  } else {
    ReverseFixed(CentreOf(X), CentreOf(Y), U, V);
  }
}

void TTransformer::RememberPixel(int32_t X, int32_t Y, TFixed U, TFixed V) {
  lastX_ = X;
  lastY_ = Y;
  lastU_ = U;
  lastV_ = V;
  lastPreparation_ = affine_ ? affine_->Preparations() : 0;
  hasLast_ = true;
}

TColor32 TTransformer::GetSampleInt(int32_t X, int32_t Y) {
  TFixed U, V;
  ReversePixel(X, Y, U, V);
  RememberPixel(X, Y, U, V);
  return Sampling().GetSampleFixed(TFixed(uint32_t(U) - kHalf), TFixed(uint32_t(V) - kHalf));
}

// Along an affine row every pixel after the first is stepped, as GetSampleInt steps it.
bool TTransformer::GetSampleRowInt(int32_t X, int32_t Y, int32_t Count, TColor32* Out,
                                   const TCustomBitmap32& Target) {
  if (!affine_ || Count <= 0 || X < -32768 || int64_t(X) + Count - 1 > 32767) return false;
  TFixed U, V;
  ReversePixel(X, Y, U, V);
  const TFixedMatrix& inverse = affine_->InverseFixedMatrix();
  const uint32_t dU = uint32_t(inverse[0][0]), dV = uint32_t(inverse[0][1]);
  if (!Sampling().GetSampleRunFixed(TFixed(uint32_t(U) - kHalf), TFixed(uint32_t(V) - kHalf),
                                    TFixed(dU), TFixed(dV), Count, Out, Target))
    return false;
  const uint32_t steps = uint32_t(Count - 1);
  RememberPixel(X + Count - 1, Y, TFixed(uint32_t(U) + steps * dU),
                TFixed(uint32_t(V) + steps * dV));
  return true;
}

TColor32 TTransformer::GetSampleFixed(TFixed X, TFixed Y) {
  TFixed U, V;
  ReverseFixed(TFixed(uint32_t(X) + kHalf), TFixed(uint32_t(Y) + kHalf), U, V);
  return Sampling().GetSampleFixed(TFixed(uint32_t(U) - kHalf), TFixed(uint32_t(V) - kHalf));
}

TColor32 TTransformer::GetSampleFloat(float X, float Y) {
  float U, V;
  Mapping().ReverseTransformFloat(X + 0.5f, Y + 0.5f, U, V);
  return Sampling().GetSampleFloat(U - 0.5f, V - 0.5f);
}

void TTransformer::PrepareSampling() {
  TNestedSampler::PrepareSampling();
  TTransformation& mapping = Current();
  if (!mapping.TransformValid()) mapping.PrepareTransform();
  hasLast_ = false;
  affine_ = typeid(mapping) == typeid(TAffineTransformation)
                ? &static_cast<const TAffineTransformation&>(mapping)
                : nullptr;
}

bool TTransformer::HasBounds() const {
  return Current().HasTransformedBounds() && TNestedSampler::HasBounds();
}

TFloatRect TTransformer::GetSampleBounds() const {
  TFloatRect R;
  IntersectFloatRects(R, TNestedSampler::GetSampleBounds(), Current().SrcRect());
  return Current().GetTransformedBounds(R);
}

}  // namespace gfx
