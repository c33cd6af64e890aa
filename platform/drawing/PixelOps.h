// Pixel arithmetic shared by the device context's drawing files. Internal to the platform layer.
#pragma once

#include <climits>
#include <cstdint>

#include "platform/drawing/DeviceContext.h"

namespace plat {

inline constexpr uint32_t kRgbMask = 0x00FFFFFF;

// Coordinates computed in 64 bits stop at the ends of the 32-bit range.
constexpr int32_t Clamp32(int64_t v) {
  return int32_t(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}
constexpr TRect ClampedRect(int64_t l, int64_t t, int64_t r, int64_t b) {
  return {Clamp32(l), Clamp32(t), Clamp32(r), Clamp32(b)};
}

// 0x00BBGGRR -> 0x00RRGGBB, the pixel layout.
constexpr uint32_t RefToRgb(TColorRef c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr TColorRef RgbToRef(uint32_t p) {
  return RefToRgb(p & kRgbMask);
}

// Binary raster operation of pen P onto destination D (codes R2_BLACK..R2_WHITE), bit by bit.
// The code minus one is the truth table: bit 3 for P&D, 2 for P&~D, 1 for ~P&D, 0 for ~P&~D.
constexpr uint32_t Rop2(int code, uint32_t p, uint32_t d) {
  const unsigned table = unsigned(code - 1) & 15;
  uint32_t r = 0;
  if (table & 8) r |= p & d;
  if (table & 4) r |= p & ~d;
  if (table & 2) r |= ~p & d;
  if (table & 1) r |= ~p & ~d;
  return r;
}

// The same for a pixel: only the RGB bytes change.
constexpr uint32_t Rop2Pixel(int code, uint32_t penRgb, uint32_t d) {
  return (d & ~kRgbMask) | (Rop2(code, penRgb, d) & kRgbMask);
}

// Ternary raster operation: bits 16..23 of rop are the truth table indexed by
// (pattern << 2) | (source << 1) | destination.
constexpr uint32_t Rop3(uint32_t rop, uint32_t p, uint32_t s, uint32_t d) {
  const unsigned table = (rop >> 16) & 0xFF;
  uint32_t r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(table & (1u << i))) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r;
}

constexpr bool RopUsesSource(uint32_t rop) {
  const unsigned t = (rop >> 16) & 0xFF;
  return ((t >> 2) & 0x33) != (t & 0x33);
}
constexpr bool RopUsesPattern(uint32_t rop) {
  const unsigned t = (rop >> 16) & 0xFF;
  return ((t >> 4) & 0x0F) != (t & 0x0F);
}

// Hatch lines of an 8 x 8 pattern anchored at the device origin.
constexpr bool HatchCovers(int hatch, int32_t x, int32_t y) {
  const bool horizontal = (y & 7) == 0, vertical = (x & 7) == 0;
  const bool forward = ((x - y) & 7) == 0, backward = ((x + y) & 7) == 0;
  switch (hatch) {
    case HS_HORIZONTAL:
      return horizontal;
    case HS_VERTICAL:
      return vertical;
    case HS_FDIAGONAL:
      return forward;
    case HS_BDIAGONAL:
      return backward;
    case HS_CROSS:
      return horizontal || vertical;
    default:
      return forward || backward;
  }
}

}  // namespace plat
