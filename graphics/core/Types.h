// Folder graphics/core: engine types, low-level routines, the blending and colour-arithmetic tiers,
// containers, persistent objects and the per-processor routine registries. Uses the platform only.
//
// Pixel values, fixed-point numbers, points and rectangles shared by the whole engine.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/drawing/Geometry.h"

namespace plat {
class TObject;
}

namespace gfx {

// 0xAARRGGBB; in memory the bytes are blue, green, red, alpha (a 32-bit DIB row).
using TColor32 = uint32_t;
using PColor32 = TColor32*;

// Byte view of one pixel in memory order.
union TColor32Entry {
  TColor32 ARGB;
  struct {
    uint8_t B, G, R, A;
  };
  uint8_t Planes[4];
};
static_assert(sizeof(TColor32Entry) == 4);

using TArrayOfColor32 = std::vector<TColor32>;
using TArrayOfInteger = std::vector<int32_t>;

inline constexpr TColor32 clBlack32 = 0xFF000000;
inline constexpr TColor32 clWhite32 = 0xFFFFFFFF;
inline constexpr TColor32 clRed32 = 0xFFFF0000;

// Signed 16.16 fixed point.
using TFixed = int32_t;
inline constexpr TFixed FixedOne = 0x10000;

// The platform's points and rectangles (Right and Bottom exclusive).
using TPoint = plat::TPoint;
using TRect = plat::TRect;

struct TFloatPoint {
  float X = 0, Y = 0;
  bool operator==(const TFloatPoint&) const = default;
};

struct TFloatRect {
  float Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TFloatRect&) const = default;
};

struct TFixedPoint {
  TFixed X = 0, Y = 0;
  bool operator==(const TFixedPoint&) const = default;
};

struct TFixedRect {
  TFixed Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TFixedRect&) const = default;
};

enum TRectRoundMode : uint8_t { rrNearest, rrOutward, rrInward };
enum TDrawMode : uint8_t { dmOpaque, dmBlend, dmCustom, dmTransparent };
enum TCombineMode : uint8_t { cmBlend, cmMerge };
enum TWrapMode : uint8_t { wmClamp, wmRepeat, wmMirror };

// Foreground, background in and out, master alpha.
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, TColor32 M)>;
using TAreaChangedEvent =
    std::function<void(plat::TObject* Sender, const TRect& Area, uint32_t Info)>;

// Area information word of a change report.
inline constexpr uint32_t AreaInfoRect = 0x80000000;
inline constexpr uint32_t AreaInfoLine = 0x40000000;  // line width in the low 24 bits

// ---- Colour ----

// From a platform colour 0x00BBGGRR; a negative value names a system colour.
TColor32 Color32(int32_t WinColor);

// Only the low byte of each argument counts.
constexpr TColor32 Color32(int32_t R, int32_t G, int32_t B, int32_t A) {
  return (uint32_t(A) & 0xFF) << 24 | (uint32_t(R) & 0xFF) << 16 | (uint32_t(G) & 0xFF) << 8 |
         (uint32_t(B) & 0xFF);
}

constexpr TColor32 Gray32(int32_t Intensity, int32_t Alpha) {
  return Color32(Intensity, Intensity, Intensity, Alpha);
}

constexpr uint8_t AlphaComponent(TColor32 C) {
  return uint8_t(C >> 24);
}
constexpr uint8_t RedComponent(TColor32 C) {
  return uint8_t(C >> 16);
}
constexpr uint8_t GreenComponent(TColor32 C) {
  return uint8_t(C >> 8);
}
constexpr uint8_t BlueComponent(TColor32 C) {
  return uint8_t(C);
}

// Weights 61, 174, 21 sum to 256; alpha is ignored.
constexpr int32_t Intensity(TColor32 C) {
  return int32_t((RedComponent(C) * 61 + GreenComponent(C) * 174 + BlueComponent(C) * 21) >> 8);
}

// H, S, L in 0..1; the result is opaque.
TColor32 HslToColor32(float H, float S, float L);
void Color32ToHsl(TColor32 Color, float& H, float& S, float& L);

// ---- Fixed point ----

// Round(X * 65536), half to even; beyond the 16.16 range the nearest end, NaN 0.
TFixed Fixed(double X);
constexpr TFixed Fixed(int32_t X) {
  return TFixed(uint32_t(X) << 16);
}

constexpr int32_t FixedFloor(TFixed A) {
  return A >> 16;
}
// The sums wrap in 32 bits as the original's do, which the resamplers' arithmetic follows: the
// topmost values give -32768.
constexpr int32_t FixedCeil(TFixed A) {
  return int32_t(uint32_t(A) + 0xFFFF) >> 16;
}
// An exact half rounds down.
constexpr int32_t FixedRound(TFixed A) {
  return int32_t(uint32_t(A) + 0x7FFF) >> 16;
}

constexpr TFixed FixedMul(TFixed A, TFixed B) {
  return TFixed(uint32_t(uint64_t(int64_t(A) * B >> 16)));
}

// B must not be 0 and the quotient must fit in 32 bits.
constexpr TFixed FixedDiv(TFixed A, TFixed B) {
  return TFixed((int64_t(A) << 16) / B);
}

void SinCos(float Angle, float& Sin, float& Cos);

// True for 0 as well.
constexpr bool IsPowerOf2(int32_t V) {
  return ((uint32_t(V) - 1) & uint32_t(V)) == 0;
}

// ---- Points and rectangles ----

constexpr TPoint MakePoint(int32_t X, int32_t Y) {
  return {X, Y};
}
constexpr TFloatPoint FloatPoint(float X, float Y) {
  return {X, Y};
}

constexpr TRect MakeRect(int32_t L, int32_t T, int32_t R, int32_t B) {
  return {L, T, R, B};
}
constexpr TFixedRect MakeFixedRect(TFixed L, TFixed T, TFixed R, TFixed B) {
  return {L, T, R, B};
}
// Sides beyond the 32-bit range are held at its ends; NaN sides become 0.
TRect MakeRect(const TFloatRect& FR, TRectRoundMode Rounding);
TRect MakeRect(const TFixedRect& FXR, TRectRoundMode Rounding);

constexpr TFixedRect FixedRect(const TRect& R) {
  return {Fixed(R.Left), Fixed(R.Top), Fixed(R.Right), Fixed(R.Bottom)};
}
constexpr TFloatRect MakeFloatRect(float L, float T, float R, float B) {
  return {L, T, R, B};
}
constexpr TFloatRect FloatRect(const TRect& R) {
  return {float(R.Left), float(R.Top), float(R.Right), float(R.Bottom)};
}

// A zero-width or zero-height overlap counts as intersecting; no overlap gives Dst = (0,0,0,0).
bool IntersectRectangles(TRect& Dst, const TRect& R1, const TRect& R2);
bool IntersectFloatRects(TFloatRect& Dst, const TFloatRect& R1, const TFloatRect& R2);

constexpr bool EqualRect(const TRect& R1, const TRect& R2) {
  return R1 == R2;
}

// A sum of two coordinates, held at the ends of the 32-bit range instead of overflowing.
constexpr int32_t AddCoordinates(int32_t A, int64_t B) {
  const int64_t sum = A + B;
  return int32_t(sum < INT32_MIN ? INT32_MIN : sum > INT32_MAX ? INT32_MAX : sum);
}

// Sides are held at the ends of the 32-bit range.
constexpr void InflateRect(TRect& R, int32_t Dx, int32_t Dy) {
  R.Left = AddCoordinates(R.Left, -int64_t(Dx));
  R.Top = AddCoordinates(R.Top, -int64_t(Dy));
  R.Right = AddCoordinates(R.Right, Dx);
  R.Bottom = AddCoordinates(R.Bottom, Dy);
}
constexpr void InflateFloatRect(TFloatRect& R, float Dx, float Dy) {
  R.Left -= Dx;
  R.Top -= Dy;
  R.Right += Dx;
  R.Bottom += Dy;
}

// Sides are held at the ends of the 32-bit range.
constexpr void OffsetRect(TRect& R, int32_t Dx, int32_t Dy) {
  R.Left = AddCoordinates(R.Left, Dx);
  R.Right = AddCoordinates(R.Right, Dx);
  R.Top = AddCoordinates(R.Top, Dy);
  R.Bottom = AddCoordinates(R.Bottom, Dy);
}

constexpr bool IsRectEmpty(const TRect& R) {
  return R.Right <= R.Left || R.Bottom <= R.Top;
}
constexpr bool IsFloatRectEmpty(const TFloatRect& R) {
  return R.Right <= R.Left || R.Bottom <= R.Top;
}

constexpr bool PtInRect(const TRect& R, const TPoint& P) {
  return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

// ---- Gamma ----

// Entry i = Round(255 * (i / 255) ^ Gamma); the engine's start-up builds it for gamma 0.7.
extern std::array<uint8_t, 256> GammaTable;
void BuildGammaTable(float Gamma);

}  // namespace gfx
