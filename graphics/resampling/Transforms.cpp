#include "graphics/resampling/Transforms.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/resampling/ResamplersMath.h"

namespace gfx {

// ---- Matrix toolkit: intermediate sums in double, stored as singles ----

TFloatMatrix Mult(const TFloatMatrix& M1, const TFloatMatrix& M2) {
  TFloatMatrix R{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      R[i][j] = float(double(M1[0][j]) * M2[i][0] + double(M1[1][j]) * M2[i][1] +
                      double(M1[2][j]) * M2[i][2]);
  return R;
}

TVector3f VectorTransform(const TFloatMatrix& M, const TVector3f& V) {
  TVector3f W{};
  for (int j = 0; j < 3; ++j)
    W[j] = float(double(M[0][j]) * V[0] + double(M[1][j]) * V[1] + double(M[2][j]) * V[2]);
  return W;
}

namespace {

float Det2(double A, double B, double C, double D) {
  return float(A * D - B * C);
}

}  // namespace

float Determinant(const TFloatMatrix& M) {
  return float(double(M[0][0]) * Det2(M[1][1], M[2][1], M[1][2], M[2][2]) -
               double(M[1][0]) * Det2(M[0][1], M[2][1], M[0][2], M[2][2]) +
               double(M[2][0]) * Det2(M[0][1], M[1][1], M[0][2], M[1][2]));
}

void Adjoint(TFloatMatrix& M) {
  const TFloatMatrix T = M;
  M[0][0] = Det2(T[1][1], T[1][2], T[2][1], T[2][2]);
  M[0][1] = -Det2(T[0][1], T[0][2], T[2][1], T[2][2]);
  M[0][2] = Det2(T[0][1], T[0][2], T[1][1], T[1][2]);
  M[1][0] = -Det2(T[1][0], T[1][2], T[2][0], T[2][2]);
  M[1][1] = Det2(T[0][0], T[0][2], T[2][0], T[2][2]);
  M[1][2] = -Det2(T[0][0], T[0][2], T[1][0], T[1][2]);
  M[2][0] = Det2(T[1][0], T[1][1], T[2][0], T[2][1]);
  M[2][1] = -Det2(T[0][0], T[0][1], T[2][0], T[2][1]);
  M[2][2] = Det2(T[0][0], T[0][1], T[1][0], T[1][1]);
}

void Scale(TFloatMatrix& M, float Factor) {
  for (auto& row : M)
    for (float& v : row) v = float(double(v) * Factor);
}

namespace {

// A determinant below this share of the size of its six products is taken for what rounding left
// of a singular matrix: a scaling by 0 followed by turns and moves keeps a determinant of 1E-4 or
// more from the rounding of its entries alone, mostly below 2^-23 of their size, while a thin but
// invertible matrix (factors of 1000 and 1E-4 along the diagonals) keeps about 2^-22.
constexpr double RoundingShare = 0x1p-23;

double DeterminantScale(const TFloatMatrix& M) {
  double sum = 0;
  for (int a = 0; a < 3; ++a) {
    const int b = (a + 1) % 3, c = (a + 2) % 3;
    sum += std::fabs(double(M[0][a]) * M[1][b] * M[2][c]) +
           std::fabs(double(M[0][a]) * M[1][c] * M[2][b]);
  }
  return sum;
}

}  // namespace

void Invert(TFloatMatrix& M) {
  const float D = Determinant(M);
  // Written so that an undefined determinant counts as singular too.
  if (!(std::fabs(D) >= 1E-5f && std::fabs(D) >= RoundingShare * DeterminantScale(M))) {
    M = IdentityMatrix;
    return;
  }
  Adjoint(M);
  Scale(M, float(1.0 / D));
}

namespace {

// Round(V * 65536) half to even in 64 bits, saturating; NaN gives 0.
int64_t ToWideFixed(float V) {
  const double scaled = std::nearbyint(double(V) * 65536.0);
  if (!(scaled == scaled)) return 0;
  if (scaled >= 0x1p63) return INT64_MAX;
  if (scaled <= -0x1p63) return INT64_MIN;
  return int64_t(scaled);
}

}  // namespace

TFixedMatrix ToFixedMatrix(const TFloatMatrix& M) {
  TFixedMatrix R{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) R[i][j] = ToWideFixed(M[i][j]);
  return R;
}

// ---- TTransformation ----

void TTransformation::SetSrcRect(const TFloatRect& Value) {
  srcRect_ = Value;
  Changed();
}

void TTransformation::Changed() {
  transformValid_ = false;
  TNotifiablePersistent::Changed();
}

void TTransformation::AssignTo(plat::TPersistent& Dest) const {
  if (auto* other = dynamic_cast<TTransformation*>(&Dest))
    other->SetSrcRect(srcRect_);
  else
    TNotifiablePersistent::AssignTo(Dest);
}

void TTransformation::ReverseTransformInt(int32_t DstX, int32_t DstY, int32_t& SrcX,
                                          int32_t& SrcY) {
  TFixed X, Y;
  ReverseTransformFixed(Fixed(DstX), Fixed(DstY), X, Y);
  SrcX = FixedRound(X);
  SrcY = FixedRound(Y);
}

void TTransformation::ReverseTransformFixed(TFixed DstX, TFixed DstY, TFixed& SrcX, TFixed& SrcY) {
  constexpr float unit = 1.0f / 65536;
  float X, Y;
  ReverseTransformFloat(float(DstX * double(unit)), float(DstY * double(unit)), X, Y);
  SrcX = rmath::ToFixed(X);
  SrcY = rmath::ToFixed(Y);
}

void TTransformation::ReverseTransformFloat(float, float, float&, float&) {
  throw ETransformNotImplemented("Reverse transformation is not implemented in " + ClassName() +
                                 ".");
}

void TTransformation::TransformInt(int32_t SrcX, int32_t SrcY, int32_t& DstX, int32_t& DstY) {
  TFixed X, Y;
  TransformFixed(Fixed(SrcX), Fixed(SrcY), X, Y);
  DstX = FixedRound(X);
  DstY = FixedRound(Y);
}

void TTransformation::TransformFixed(TFixed SrcX, TFixed SrcY, TFixed& DstX, TFixed& DstY) {
  constexpr float unit = 1.0f / 65536;
  float X, Y;
  TransformFloat(float(SrcX * double(unit)), float(SrcY * double(unit)), X, Y);
  DstX = rmath::ToFixed(X);
  DstY = rmath::ToFixed(Y);
}

void TTransformation::TransformFloat(float, float, float&, float&) {
  throw ETransformNotImplemented("Forward transformation is not implemented in " + ClassName() +
                                 ".");
}

void TTransformation::PrepareIfStale() {
  if (!transformValid_) PrepareTransform();
}

TPoint TTransformation::ReverseTransform(const TPoint& P) {
  PrepareIfStale();
  TPoint R;
  ReverseTransformInt(P.X, P.Y, R.X, R.Y);
  return R;
}

TFixedPoint TTransformation::ReverseTransform(const TFixedPoint& P) {
  PrepareIfStale();
  TFixedPoint R;
  ReverseTransformFixed(P.X, P.Y, R.X, R.Y);
  return R;
}

TFloatPoint TTransformation::ReverseTransform(const TFloatPoint& P) {
  PrepareIfStale();
  TFloatPoint R;
  ReverseTransformFloat(P.X, P.Y, R.X, R.Y);
  return R;
}

TPoint TTransformation::Transform(const TPoint& P) {
  PrepareIfStale();
  TPoint R;
  TransformInt(P.X, P.Y, R.X, R.Y);
  return R;
}

TFixedPoint TTransformation::Transform(const TFixedPoint& P) {
  PrepareIfStale();
  TFixedPoint R;
  TransformFixed(P.X, P.Y, R.X, R.Y);
  return R;
}

TFloatPoint TTransformation::Transform(const TFloatPoint& P) {
  PrepareIfStale();
  TFloatPoint R;
  TransformFloat(P.X, P.Y, R.X, R.Y);
  return R;
}

// ---- TAffineTransformation ----

void TAffineTransformation::Append(const TFloatMatrix& T) {
  Matrix = Mult(T, Matrix);
}

void TAffineTransformation::AssignTo(plat::TPersistent& Dest) const {
  if (auto* other = dynamic_cast<TAffineTransformation*>(&Dest)) other->Matrix = Matrix;
  TTransformation::AssignTo(Dest);  // the source rectangle, and the prepared state goes stale
}

void TAffineTransformation::Clear() {
  Matrix = IdentityMatrix;
  Changed();
}

void TAffineTransformation::Translate(float Dx, float Dy) {
  TFloatMatrix T = IdentityMatrix;
  T[2][0] = Dx;
  T[2][1] = Dy;
  Append(T);
  Changed();
}

void TAffineTransformation::Scale(float Sx, float Sy) {
  TFloatMatrix T = IdentityMatrix;
  T[0][0] = Sx;
  T[1][1] = Sy;
  Append(T);
  Changed();
}

void TAffineTransformation::Rotate(float Cx, float Cy, float Alpha) {
  const bool centred = Cx != 0 || Cy != 0;
  if (centred) Translate(-Cx, -Cy);
  const float A = float(double(Alpha) * std::numbers::pi / 180);
  const float S = float(std::sin(double(A))), C = float(std::cos(double(A)));
  TFloatMatrix T = IdentityMatrix;
  T[0][0] = C;
  T[1][0] = S;
  T[0][1] = -S;
  T[1][1] = C;
  Append(T);
  if (centred) Translate(Cx, Cy);
  Changed();
}

void TAffineTransformation::PrepareTransform() {
  inverseMatrix_ = Matrix;
  Invert(inverseMatrix_);
  inverseFixedMatrix_ = ToFixedMatrix(inverseMatrix_);
  fixedMatrix_ = ToFixedMatrix(Matrix);
  ++preparations_;
  transformValid_ = true;
}

namespace {

void MapFloat(const TFloatMatrix& M, float X, float Y, float& OutX, float& OutY) {
  OutX = float(double(X) * M[0][0] + double(Y) * M[1][0] + M[2][0]);
  OutY = float(double(X) * M[0][1] + double(Y) * M[1][1] + M[2][1]);
}

}  // namespace

void TAffineTransformation::TransformFloat(float SrcX, float SrcY, float& DstX, float& DstY) {
  MapFloat(Matrix, SrcX, SrcY, DstX, DstY);
}

void TAffineTransformation::ReverseTransformFloat(float DstX, float DstY, float& SrcX,
                                                  float& SrcY) {
  MapFloat(inverseMatrix_, DstX, DstY, SrcX, SrcY);
}

void TAffineTransformation::TransformFixed(TFixed SrcX, TFixed SrcY, TFixed& DstX, TFixed& DstY) {
  MapFixed(fixedMatrix_, SrcX, SrcY, DstX, DstY);
}

void TAffineTransformation::ReverseTransformFixed(TFixed DstX, TFixed DstY, TFixed& SrcX,
                                                  TFixed& SrcY) {
  MapFixed(inverseFixedMatrix_, DstX, DstY, SrcX, SrcY);
}

TFloatRect TAffineTransformation::GetTransformedBounds(const TFloatRect& R) const {
  const TVector3f V1 = VectorTransform(Matrix, {R.Left, R.Top, 1});
  const TVector3f V2 = VectorTransform(Matrix, {R.Right, R.Top, 1});
  const TVector3f V3 = VectorTransform(Matrix, {R.Left, R.Bottom, 1});
  const TVector3f V4 = VectorTransform(Matrix, {R.Right, R.Bottom, 1});
  TFloatRect Result;
  Result.Left = std::min(std::min(V1[0], V2[0]), std::min(V3[0], V4[0]));
  Result.Right = std::max(std::max(V1[0], V2[0]), std::max(V3[0], V4[0]));
  Result.Top = std::min(std::min(V1[1], V2[1]), std::min(V3[1], V4[1]));
  Result.Bottom = std::max(std::max(V1[1], V2[1]), std::max(V3[1], V4[1]));
  return Result;
}

}  // namespace gfx
