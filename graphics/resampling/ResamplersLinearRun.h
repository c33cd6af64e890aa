// The clipped bilinear read, written once for any four-pixel interpolation: the linear resampler
// runs it with the bound routine, the SSE2 tier with its own inlined into the loop.
#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx {

// The pixels a clipped read sees; Clip is not empty and lies inside the pixels.
struct TLinearPicture {
  const TColor32* Bits;
  int32_t Width;
  TRect Clip;
  TColor32 OuterColor;
};

// Interpolate(WX, WY, C11, C21) is the four-pixel interpolation of the resampler bindings. The
// picture covers its pixels up to their outer edges, so from the outer pixel centres out to the
// edge (half a pixel) the edge pixels stand for it; beyond that lies the outer colour.
template <class Interpolate>
class TClippedLinearReader {
 public:
  TClippedLinearReader(const TLinearPicture& P, Interpolate I)
      : p_(P),
        left_(P.Clip.Left * 256),
        top_(P.Clip.Top * 256),
        w_((P.Clip.Right - 1) * 256),
        h_((P.Clip.Bottom - 1) * 256),
        interpolate_(I) {}

  TColor32 Read(TFixed X, TFixed Y) const {
    const int32_t x = Position(X), y = Position(Y);
    return Inside(x, y) ? ReadInside(x, y) : ReadOutside(x, y);
  }

  // Count samples from (X, Y) in steps of (Dx, Dy), wrapping as 32-bit positions do.
  void ReadRun(TFixed X, TFixed Y, TFixed Dx, TFixed Dy, int32_t Count, TColor32* Out) const {
    uint32_t u = uint32_t(X), v = uint32_t(Y);
    for (int32_t i = 0; i < Count; ++i, u += uint32_t(Dx), v += uint32_t(Dy)) {
      const int32_t x = Position(TFixed(u)), y = Position(TFixed(v));
      Out[i] = Inside(x, y) ? ReadInside(x, y) : ReadOutside(x, y);
    }
  }

 private:
  // A 16.16 position as 24.8, rounded to the nearest.
  static int32_t Position(TFixed V) { return int32_t(uint32_t(V) + 127) >> 8; }

  // Between the outer pixel centres: all four pixels lie in the picture.
  bool Inside(int32_t x, int32_t y) const { return x >= left_ && y >= top_ && x < w_ && y < h_; }

  TColor32 ReadInside(int32_t x, int32_t y) const {
    const TColor32* top = p_.Bits + std::ptrdiff_t{y >> 8} * p_.Width + (x >> 8);
    return interpolate_(GammaTable[(x & 255) ^ 255], GammaTable[(y & 255) ^ 255], top,
                        top + p_.Width);
  }

  // Past the outer centres: up to half a pixel further the four pixels around the position, the
  // ones past the edge replaced by the edge pixels; beyond that the outer colour. Kept out of
  // the loop, which it would crowd.
  [[gnu::noinline]] TColor32 ReadOutside(int32_t x, int32_t y) const {
    if (x < left_ - 128 || y < top_ - 128 || x >= w_ + 128 || y >= h_ + 128) return p_.OuterColor;
    x = std::min(std::max(x, left_), w_);
    y = std::min(std::max(y, top_), h_);
    const int32_t xa = x >> 8, ya = y >> 8;
    const int32_t xb = std::min(xa + 1, p_.Clip.Right - 1);
    const int32_t yb = std::min(ya + 1, p_.Clip.Bottom - 1);
    const TColor32* top = p_.Bits + std::ptrdiff_t{ya} * p_.Width;
    const TColor32* bottom = p_.Bits + std::ptrdiff_t{yb} * p_.Width;
    const TColor32 four[4] = {top[xa], top[xb], bottom[xa], bottom[xb]};
    return interpolate_(GammaTable[(x & 255) ^ 255], GammaTable[(y & 255) ^ 255], four, four + 2);
  }

  const TLinearPicture p_;
  const int32_t left_, top_, w_, h_;
  const Interpolate interpolate_;
};

}  // namespace gfx
