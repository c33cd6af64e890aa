#include "graphics/core/Types.h"

#include <algorithm>
#include <cmath>

#include "platform/drawing/Colors.h"

namespace gfx {

std::array<uint8_t, 256> GammaTable{};

namespace {

// An integral value held at the ends of the 32-bit range; NaN gives 0.
int32_t Saturated(double V) {
  if (!(V == V)) return 0;
  return V >= 2147483647.0 ? INT32_MAX : V <= -2147483648.0 ? INT32_MIN : int32_t(V);
}

// Round half to even (the default floating-point rounding mode).
int32_t RoundEven(double V) {
  return Saturated(std::nearbyint(V));
}

}  // namespace

TColor32 Color32(int32_t WinColor) {
  if (WinColor < 0) WinColor = plat::GetSysColor(WinColor & 0xFF);
  return 0xFF000000 | Color32(WinColor & 0xFF, (WinColor >> 8) & 0xFF, (WinColor >> 16) & 0xFF, 0);
}

TColor32 HslToColor32(float H, float S, float L) {
  if (S == 0) {
    const int32_t V = RoundEven(255 * L);
    return Color32(V, V, V, 255);
  }
  const float M2 = L <= 0.5f ? L * (1 + S) : L + S - L * S;
  const float M1 = 2 * L - M2;
  auto hueToChannel = [M1, M2](float X) {
    X -= std::floor(X);
    float V;
    if (6 * X < 1)
      V = M1 + (M2 - M1) * X * 6;
    else if (2 * X < 1)
      V = M2;
    else if (3 * X < 2)
      V = M1 + (M2 - M1) * (2.0f / 3 - X) * 6;
    else
      V = M1;
    return RoundEven(255 * V);
  };
  return Color32(hueToChannel(H + 1.0f / 3), hueToChannel(H), hueToChannel(H - 1.0f / 3), 255);
}

void Color32ToHsl(TColor32 Color, float& H, float& S, float& L) {
  const float R = RedComponent(Color) * (1.0f / 255);
  const float G = GreenComponent(Color) * (1.0f / 255);
  const float B = BlueComponent(Color) * (1.0f / 255);
  const float Max = std::max({R, G, B});
  const float Min = std::min({R, G, B});
  L = (Max + Min) * 0.5f;
  if (Max == Min) {
    H = 0;
    S = 0;
    return;
  }
  const float D = Max - Min;
  S = L < 0.5f ? D / (Max + Min) : D / (2 - Max - Min);
  if (R == Max)
    H = (G - B) / D;
  else if (G == Max)
    H = 2 + (B - R) / D;
  else
    H = 4 + (R - G) / D;
  H = H * (1.0f / 6);
  if (H < 0) H = H + 1;
}

TFixed Fixed(double X) {
  return RoundEven(X * 65536);
}

void SinCos(float Angle, float& Sin, float& Cos) {
  Sin = std::sin(Angle);
  Cos = std::cos(Angle);
}

TRect MakeRect(const TFloatRect& FR, TRectRoundMode Rounding) {
  TRect R;
  switch (Rounding) {
    case rrOutward:
      R = {Saturated(std::floor(FR.Left)), Saturated(std::floor(FR.Top)),
           Saturated(std::ceil(FR.Right)), Saturated(std::ceil(FR.Bottom))};
      break;
    case rrInward:
      R = {Saturated(std::ceil(FR.Left)), Saturated(std::ceil(FR.Top)),
           Saturated(std::floor(FR.Right)), Saturated(std::floor(FR.Bottom))};
      R.Right = std::max(R.Right, R.Left);
      R.Bottom = std::max(R.Bottom, R.Top);
      break;
    default:
      R = {RoundEven(FR.Left), RoundEven(FR.Top), RoundEven(FR.Right), RoundEven(FR.Bottom)};
  }
  return R;
}

TRect MakeRect(const TFixedRect& FXR, TRectRoundMode Rounding) {
  TRect R;
  switch (Rounding) {
    case rrOutward:
      R = {FixedFloor(FXR.Left), FixedFloor(FXR.Top), FixedCeil(FXR.Right), FixedCeil(FXR.Bottom)};
      break;
    case rrInward:
      R = {FixedCeil(FXR.Left), FixedCeil(FXR.Top), FixedFloor(FXR.Right), FixedFloor(FXR.Bottom)};
      R.Right = std::max(R.Right, R.Left);
      R.Bottom = std::max(R.Bottom, R.Top);
      break;
    default:
      R = {FixedRound(FXR.Left), FixedRound(FXR.Top), FixedRound(FXR.Right),
           FixedRound(FXR.Bottom)};
  }
  return R;
}

namespace {

template <class Rect>
bool Intersect(Rect& Dst, const Rect& R1, const Rect& R2) {
  Dst = {std::max(R1.Left, R2.Left), std::max(R1.Top, R2.Top), std::min(R1.Right, R2.Right),
         std::min(R1.Bottom, R2.Bottom)};
  const bool overlaps = Dst.Right >= Dst.Left && Dst.Bottom >= Dst.Top;
  if (!overlaps) Dst = {};
  return overlaps;
}

}  // namespace

bool IntersectRectangles(TRect& Dst, const TRect& R1, const TRect& R2) {
  return Intersect(Dst, R1, R2);
}

bool IntersectFloatRects(TFloatRect& Dst, const TFloatRect& R1, const TFloatRect& R2) {
  return Intersect(Dst, R1, R2);
}

void BuildGammaTable(float Gamma) {
  for (int i = 0; i < 256; ++i)
    GammaTable[i] = uint8_t(RoundEven(std::pow(i / 255.0, double(Gamma)) * 255));
}

}  // namespace gfx
