// Mapping coordinates between a source and a destination bitmap: a small 3 x 3 matrix toolkit in
// single precision, the abstract transformation in integer, 16.16 fixed-point and float forms,
// and the affine transformation built from rotations, scalings and translations.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/core/Persistent.h"
#include "graphics/core/Types.h"
#include "platform/runtime/SysUtils.h"

namespace gfx {

// M[i][j]; a point maps to (x*M[0][0] + y*M[1][0] + M[2][0], x*M[0][1] + y*M[1][1] + M[2][1]).
using TFloatMatrix = std::array<std::array<float, 3>, 3>;
// 16.16 entries held in 64 bits: a far translation or a large factor keeps its exact value, so the
// mapped point is exact wherever it fits in 16.16.
using TFixedMatrix = std::array<std::array<int64_t, 3>, 3>;
using TVector3f = std::array<float, 3>;

inline constexpr TFloatMatrix IdentityMatrix{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

// As a mapping, the result applies M2 first and M1 after it.
TFloatMatrix Mult(const TFloatMatrix& M1, const TFloatMatrix& M2);
TVector3f VectorTransform(const TFloatMatrix& M, const TVector3f& V);
float Determinant(const TFloatMatrix& M);
// Replaces M by its adjugate.
void Adjoint(TFloatMatrix& M);
void Scale(TFloatMatrix& M, float Factor);
// A determinant below 1E-5 in magnitude, or below what single-precision rounding leaves of a
// singular matrix (2^-23 of the size of its products), or undefined, counts as singular: M becomes
// the identity.
void Invert(TFloatMatrix& M);
// Each entry Round(m * 65536), half to even, saturating at the ends of 64 bits.
TFixedMatrix ToFixedMatrix(const TFloatMatrix& M);

// FixedMul(V, M) modulo 2^64: the whole part of M times V, plus its fraction times V shifted,
// which equals the exact product shifted right by 16 wherever that fits.
inline uint64_t FixedProduct(TFixed V, int64_t M) {
  return uint64_t(int64_t(V)) * uint64_t(M >> 16) + uint64_t((int64_t(V) * (M & 0xFFFF)) >> 16);
}

// Maps a 16.16 point through F, narrowed as 32-bit arithmetic would wrap: the result is exact
// wherever it fits in 16.16, however far the entries reach.
inline void MapFixed(const TFixedMatrix& F, TFixed X, TFixed Y, TFixed& OutX, TFixed& OutY) {
  auto axis = [X, Y](int64_t Mx, int64_t My, int64_t T) {
    return TFixed(uint32_t(FixedProduct(X, Mx) + FixedProduct(Y, My) + uint64_t(T)));
  };
  OutX = axis(F[0][0], F[1][0], F[2][0]);
  OutY = axis(F[0][1], F[1][1], F[2][1]);
}

class ETransformNotImplemented : public plat::Exception {
 public:
  using Exception::Exception;
};

// Forward maps source to destination, reverse maps destination to source. The X/Y forms never
// prepare; the point forms prepare first when the prepared state is stale.
class TTransformation : public TNotifiablePersistent {
 public:
  const TFloatRect& SrcRect() const { return srcRect_; }
  void SetSrcRect(const TFloatRect& Value);
  bool TransformValid() const { return transformValid_; }

  void Changed() override;
  virtual void PrepareTransform() {}
  virtual void ReverseTransformInt(int32_t DstX, int32_t DstY, int32_t& SrcX, int32_t& SrcY);
  virtual void ReverseTransformFixed(TFixed DstX, TFixed DstY, TFixed& SrcX, TFixed& SrcY);
  virtual void ReverseTransformFloat(float DstX, float DstY, float& SrcX, float& SrcY);
  virtual void TransformInt(int32_t SrcX, int32_t SrcY, int32_t& DstX, int32_t& DstY);
  virtual void TransformFixed(TFixed SrcX, TFixed SrcY, TFixed& DstX, TFixed& DstY);
  virtual void TransformFloat(float SrcX, float SrcY, float& DstX, float& DstY);
  virtual bool HasTransformedBounds() const { return true; }
  virtual TFloatRect GetTransformedBounds(const TFloatRect& ASrcRect) const { return ASrcRect; }

  TPoint ReverseTransform(const TPoint& P);
  TFixedPoint ReverseTransform(const TFixedPoint& P);
  TFloatPoint ReverseTransform(const TFloatPoint& P);
  TPoint Transform(const TPoint& P);
  TFixedPoint Transform(const TFixedPoint& P);
  TFloatPoint Transform(const TFloatPoint& P);

 protected:
  // A transformation target takes what defines the mapping, so that it maps alike.
  void AssignTo(plat::TPersistent& Dest) const override;

  bool transformValid_ = false;

 private:
  void PrepareIfStale();
  TFloatRect srcRect_;
};

class TAffineTransformation : public TTransformation {
 public:
  TAffineTransformation() { Clear(); }

  // Every building step is applied after the earlier ones. Writing Matrix directly does not
  // invalidate the prepared state: the writer calls Changed.
  TFloatMatrix Matrix = IdentityMatrix;

  void Clear();
  void Translate(float Dx, float Dy);
  void Scale(float Sx, float Sy);
  void ScaleUniform(float Value) { Scale(Value, Value); }
  // Alpha in degrees; a positive angle turns the picture counter-clockwise on the screen.
  void Rotate(float Cx, float Cy, float Alpha);

  void PrepareTransform() override;
  void ReverseTransformFixed(TFixed DstX, TFixed DstY, TFixed& SrcX, TFixed& SrcY) override;
  void ReverseTransformFloat(float DstX, float DstY, float& SrcX, float& SrcY) override;
  void TransformFixed(TFixed SrcX, TFixed SrcY, TFixed& DstX, TFixed& DstY) override;
  void TransformFloat(float SrcX, float SrcY, float& DstX, float& DstY) override;
  TFloatRect GetTransformedBounds(const TFloatRect& ASrcRect) const override;

  const TFloatMatrix& InverseMatrix() const { return inverseMatrix_; }
  const TFixedMatrix& FixedMatrix() const { return fixedMatrix_; }
  const TFixedMatrix& InverseFixedMatrix() const { return inverseFixedMatrix_; }
  // Counts the preparations, so that a reader of the prepared copies sees when they were rebuilt.
  uint32_t Preparations() const { return preparations_; }

 protected:
  void AssignTo(plat::TPersistent& Dest) const override;

 private:
  void Append(const TFloatMatrix& T);

  TFloatMatrix inverseMatrix_ = IdentityMatrix;
  TFixedMatrix fixedMatrix_{};
  TFixedMatrix inverseFixedMatrix_{};
  uint32_t preparations_ = 0;
};

}  // namespace gfx
