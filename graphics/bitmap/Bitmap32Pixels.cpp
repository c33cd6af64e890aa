// Reading single pixels of the bitmap: clipped, wrapped and at sub-pixel positions.
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"

namespace gfx {

TColor32 TCustomBitmap32::PixelClipped(int32_t x, int32_t y) const {
  if (x >= clipRect_.Left && x < clipRect_.Right && y >= clipRect_.Top && y < clipRect_.Bottom)
    return Pixel(x, y);
  return outerColor_;
}

TColor32 TCustomBitmap32::PixelWrapped(int32_t x, int32_t y) const {
  if (IsRectEmpty(clipRect_)) return outerColor_;  // nothing to wrap into
  return Pixel(horzWrapProc_(x, clipRect_.Left, clipRect_.Right - 1),
               vertWrapProc_(y, clipRect_.Top, clipRect_.Bottom - 1));
}

void TCustomBitmap32::PixelBlend(int32_t x, int32_t y, TColor32 value) {
  (*blendProc_)(value, *PixelPtr(x, y));
  EMMS();
}

TColor32 TCustomBitmap32::PixelSubpixel(int32_t x, int32_t y) const {
  // The "shr" of the 24.8 position is a logical shift.
  const uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y);
  const TColor32* top = PixelPtr(static_cast<int32_t>(ux >> 8), static_cast<int32_t>(uy >> 8));
  return ResamplerLink().Interpolate(GammaTable[(ux & 255) ^ 255], GammaTable[(uy & 255) ^ 255],
                                     top, top + Width());
}

TColor32 TCustomBitmap32::PixelSubpixelClipped(int32_t x, int32_t y) const {
  if (x < subpixelClipRect_.Left || y < subpixelClipRect_.Top) return outerColor_;
  const int32_t w = (clipRect_.Right - 1) << 8;
  const int32_t h = (clipRect_.Bottom - 1) << 8;
  if (x < w && y < h) return PixelSubpixel(x, y);
  if (x == w && y <= h) return Pixel(clipRect_.Right - 1, y >> 8);
  if (x <= w && y == h) return Pixel(x >> 8, clipRect_.Bottom - 1);
  return outerColor_;
}

TColor32 TCustomBitmap32::PixelFixed(TFixed x, TFixed y) const {
  const auto sx = static_cast<int32_t>((static_cast<uint32_t>(x) + 127) >> 8);
  const auto sy = static_cast<int32_t>((static_cast<uint32_t>(y) + 127) >> 8);
  const TColor32 result = PixelSubpixel(sx, sy);
  EMMS();
  return result;
}

TColor32 TCustomBitmap32::PixelFixedClipped(TFixed x, TFixed y) const {
  const auto sx = static_cast<int32_t>(static_cast<uint32_t>(x) + 127) >> 8;
  const auto sy = static_cast<int32_t>(static_cast<uint32_t>(y) + 127) >> 8;
  const TColor32 result = PixelSubpixelClipped(sx, sy);
  EMMS();
  return result;
}

TColor32 TCustomBitmap32::PixelFixedWrapped(TFixed x, TFixed y) const {
  if (IsRectEmpty(clipRect_)) return outerColor_;
  const int32_t ix = x >> 16, iy = y >> 16;
  const int32_t x1 = horzWrapProc_(ix, clipRect_.Left, clipRect_.Right - 1);
  const int32_t x2 = horzWrapProc_(ix + 1, clipRect_.Left, clipRect_.Right - 1);
  const int32_t y1 = vertWrapProc_(iy, clipRect_.Top, clipRect_.Bottom - 1);
  const int32_t y2 = vertWrapProc_(iy + 1, clipRect_.Top, clipRect_.Bottom - 1);
  const uint32_t wx = (static_cast<uint32_t>(x) >> 8) & 255;
  const uint32_t wy = (static_cast<uint32_t>(y) >> 8) & 255;
  const TColor32 result = CombineReg(CombineReg(Pixel(x2, y2), Pixel(x1, y2), wx),
                                     CombineReg(Pixel(x2, y1), Pixel(x1, y1), wx), wy);
  EMMS();
  return result;
}

}  // namespace gfx
