// Clearing, rectangle fills and the alpha channel of the bitmap.
#include "graphics/bitmap/Bitmap32.h"

#include <algorithm>

#include "graphics/core/Blend.h"
#include "graphics/core/LowLevel.h"

namespace gfx {
namespace {

// Clips (x1, y1, x2, y2) to Clip; false when the rectangle is empty or outside.
bool ClipFillRect(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, const TRect& clip) {
  if (x1 >= x2 || y1 >= y2) return false;
  if (x1 >= clip.Right || y1 >= clip.Bottom || x2 <= clip.Left || y2 <= clip.Top) return false;
  x1 = std::max(x1, clip.Left);
  y1 = std::max(y1, clip.Top);
  x2 = std::min(x2, clip.Right);
  y2 = std::min(y2, clip.Bottom);
  return true;
}

}  // namespace

void TCustomBitmap32::ClearWithColor(TColor32 color) {
  if (Empty()) return;
  if (!measuringMode_) {
    if (clipping_) {
      FillRect(clipRect_.Left, clipRect_.Top, clipRect_.Right, clipRect_.Bottom, color);
    } else {
      FillLongword(bits_, Width() * Height(), color);
    }
  }
  Changed();
}

void TCustomBitmap32::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value) {
  if (bits_ != nullptr) {
    for (int32_t y = y1; y < y2; ++y) FillLongword(PixelPtr(x1, y), x2 - x1, value);
  }
  AreaChanged({x1, y1, x2, y2}, AreaInfoRect);
}

void TCustomBitmap32::FillRectS(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 value) {
  if (!measuringMode_ && ClipFillRect(x1, y1, x2, y2, clipRect_)) FillRect(x1, y1, x2, y2, value);
  AreaChanged({x1, y1, x2, y2}, AreaInfoRect);
}

void TCustomBitmap32::FillRectS(const TRect& rect, TColor32 value) {
  if (measuringMode_) {
    AreaChanged(rect, AreaInfoRect);
  } else {
    FillRectS(rect.Left, rect.Top, rect.Right, rect.Bottom, value);
  }
}

void TCustomBitmap32::FillRectBlend(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                    TColor32 value) {
  const uint32_t alpha = value >> 24;
  if (alpha == 255) {
    FillRect(x1, y1, x2, y2, value);
    return;
  }
  if (alpha == 0) return;
  for (int32_t y = y1; y < y2; ++y) {
    TColor32* p = PixelPtr(x1, y);
    for (int32_t x = x1; x < x2; ++x, ++p) {
      if (combineMode_ == cmBlend) {
        CombineMem(value, *p, alpha);
      } else {
        MergeMem(value, *p);
      }
    }
  }
  EMMS();
  AreaChanged({x1, y1, x2, y2}, AreaInfoRect);
}

void TCustomBitmap32::FillRectBlendClipped(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                           TColor32 value) {
  if (!measuringMode_ && ClipFillRect(x1, y1, x2, y2, clipRect_))
    FillRectBlend(x1, y1, x2, y2, value);
  AreaChanged({x1, y1, x2, y2}, AreaInfoRect);
}

void TCustomBitmap32::SetAllAlpha(uint8_t alpha) {
  if (!measuringMode_ && bits_ != nullptr) {
    const TColor32 a = TColor32{alpha} << 24;
    TColor32* const end = bits_ + int64_t{Width()} * Height();
    // Whole words, so the compiler handles many pixels per step.
    for (TColor32* p = bits_; p != end; ++p) *p = (*p & 0x00FFFFFF) | a;
  }
  Changed();
}

}  // namespace gfx
