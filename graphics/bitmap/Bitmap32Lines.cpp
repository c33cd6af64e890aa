// Blended and stippled lines and frames of the bitmap.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"
#include "graphics/core/LowLevel.h"

namespace gfx {
namespace {

// The pixels of a line along one axis from A1 to A2 (both drawn, in either order) at C.
TRect LineArea(bool vertical, int32_t a1, int32_t c, int32_t a2) {
  const int32_t lo = std::min(a1, a2);
  const auto hi = static_cast<int32_t>(std::min<int64_t>(int64_t{std::max(a1, a2)} + 1, INT32_MAX));
  const auto next = static_cast<int32_t>(std::min<int64_t>(int64_t{c} + 1, INT32_MAX));
  return vertical ? TRect{c, lo, next, hi} : TRect{lo, c, hi, next};
}

}  // namespace

void TCustomBitmap32::HorzLineBlend(int32_t x1, int32_t y, int32_t x2, TColor32 value) {
  TColor32* p = PixelPtr(x1, y);
  const TBlendMem blend = *blendProc_;
  for (int32_t x = x1; x <= x2; ++x, ++p) blend(value, *p);
  EMMS();
}

void TCustomBitmap32::VertLineBlend(int32_t x, int32_t y1, int32_t y2, TColor32 value) {
  TColor32* p = PixelPtr(x, y1);
  const TBlendMem blend = *blendProc_;
  for (int32_t y = y1; y <= y2; ++y, p += Width()) blend(value, *p);
  EMMS();
}

void TCustomBitmap32::HorzLineBlendClipped(int32_t x1, int32_t y, int32_t x2, TColor32 value) {
  if (measuringMode_) {
    AreaChanged(LineArea(false, x1, y, x2), AreaInfoRect);
  } else if (y >= clipRect_.Top && y < clipRect_.Bottom &&
             TestClip(x1, x2, clipRect_.Left, clipRect_.Right)) {
    HorzLineBlend(x1, y, x2, value);
    AreaChanged(LineArea(false, x1, y, x2), AreaInfoRect);
  }
}

void TCustomBitmap32::VertLineBlendClipped(int32_t x, int32_t y1, int32_t y2, TColor32 value) {
  if (measuringMode_) {
    AreaChanged(LineArea(true, y1, x, y2), AreaInfoRect);
  } else if (x >= clipRect_.Left && x < clipRect_.Right &&
             TestClip(y1, y2, clipRect_.Top, clipRect_.Bottom)) {
    VertLineBlend(x, y1, y2, value);
    AreaChanged(LineArea(true, y1, x, y2), AreaInfoRect);
  }
}

// A stippled line along one axis: A1 and A2 are the ends along it, C the fixed coordinate.
// Clipped parts still advance the pattern, so it stays continuous.
void TCustomBitmap32::LineStippled(bool vertical, int32_t a1, int32_t c, int32_t a2) {
  if (measuringMode_) {
    AreaChanged(LineArea(vertical, a1, c, a2), AreaInfoRect);
    return;
  }
  if (Empty()) return;
  const int32_t lo = vertical ? clipRect_.Top : clipRect_.Left;
  const int32_t hi = vertical ? clipRect_.Bottom : clipRect_.Right;
  const int32_t cLo = vertical ? clipRect_.Left : clipRect_.Top;
  const int32_t cHi = vertical ? clipRect_.Right : clipRect_.Bottom;
  const int64_t n = std::abs(int64_t{a2} - a1) + 1;
  // A clip rectangle without width or height along the line takes no pixel of it.
  if (lo >= hi || c < cLo || c >= cHi || (a1 < lo && a2 < lo) || (a1 >= hi && a2 >= hi)) {
    AdvanceStipple(static_cast<float>(n));
    return;
  }
  // Skipped parts in 64 bits: an end far outside may lie 2^32 pixels from the clip.
  if (a1 < lo) {
    AdvanceStipple(static_cast<float>(int64_t{lo} - a1));
    a1 = lo;
  } else if (a1 >= hi) {
    AdvanceStipple(static_cast<float>(int64_t{a1} - (hi - 1)));
    a1 = hi - 1;
  }
  int64_t rest = 0;
  if (a2 < lo) {
    rest = int64_t{lo} - a2;
    a2 = lo;
  } else if (a2 >= hi) {
    rest = int64_t{a2} - (hi - 1);
    a2 = hi - 1;
  }
  const int32_t step = a2 >= a1 ? 1 : -1;
  for (int32_t a = a1;; a += step) {
    if (vertical) {
      PixelBlend(c, a, NextStippleColor());
    } else {
      PixelBlend(a, c, NextStippleColor());
    }
    if (a == a2) break;
  }
  AreaChanged(LineArea(vertical, a1, c, a2), AreaInfoRect);
  if (rest >= 1) AdvanceStipple(static_cast<float>(rest));
}

void TCustomBitmap32::HorzLineStippled(int32_t x1, int32_t y, int32_t x2) {
  LineStippled(false, x1, y, x2);
}

void TCustomBitmap32::VertLineStippled(int32_t x, int32_t y1, int32_t y2) {
  LineStippled(true, y1, x, y2);
}

void TCustomBitmap32::FrameRectBlendClipped(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                            TColor32 value) {
  if (x2 <= x1 || y2 <= y1 || x1 >= clipRect_.Right || y1 >= clipRect_.Bottom ||
      x2 <= clipRect_.Left || y2 <= clipRect_.Top)
    return;
  --x2;
  --y2;
  HorzLineBlendClipped(x1, y1, x2, value);
  if (y2 > y1) HorzLineBlendClipped(x1, y2, x2, value);
  if (y2 > y1 + 1) {
    VertLineBlendClipped(x1, y1 + 1, y2 - 1, value);
    if (x2 > x1) VertLineBlendClipped(x2, y1 + 1, y2 - 1, value);
  }
}

void TCustomBitmap32::FrameRectStippled(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (x1 >= x2 || y1 >= y2 || x1 >= Width() || y1 >= Height() || x2 < 1 || y2 < 1) return;
  --x2;
  --y2;
  // One column, a single pixel included, is one clipped line.
  if (x1 == x2) {
    VertLineStippled(x1, y1, y2);
  } else if (y1 == y2) {
    HorzLineStippled(x1, y1, x2);
  } else {
    // Clockwise, so the pattern runs round the frame.
    HorzLineStippled(x1, y1, x2 - 1);
    VertLineStippled(x2, y1, y2 - 1);
    HorzLineStippled(x2, y2, x1 + 1);
    VertLineStippled(x1, y2, y1 + 1);
  }
}

// ---- Stipple pattern ----

void TCustomBitmap32::SetStipplePattern(const TArrayOfColor32& pattern) {
  stippleCounter_ = 0;
  stipplePattern_ = pattern;
}

void TCustomBitmap32::AdvanceStipple(float pixels) {
  const auto length = static_cast<float>(stipplePattern_.size());
  const float delta = pixels * stippleStep_;
  if (stipplePattern_.empty() || delta == 0) return;
  stippleCounter_ += delta;
  stippleCounter_ -= std::floor(stippleCounter_ / length) * length;
}

TColor32 TCustomBitmap32::NextStippleColor() {
  const auto length = static_cast<int32_t>(stipplePattern_.size());
  if (length == 0) return clBlack32;
  stippleCounter_ = FloatWrap(stippleCounter_, static_cast<float>(length));
  // Round half to even, as everywhere in the engine.
  const auto i =
      std::clamp(static_cast<int32_t>(std::nearbyint(stippleCounter_ - 0.5f)), 0, length - 1);
  const auto w =
      255 - static_cast<int32_t>(std::nearbyint(255 * (stippleCounter_ - static_cast<float>(i))));
  const int32_t j = i + 1 >= length ? 0 : i + 1;
  TColor32 result;
  if (w == 255) {
    result = stipplePattern_[i];
  } else {
    result = CombineReg(stipplePattern_[i], stipplePattern_[j], w);
    EMMS();
  }
  stippleCounter_ += stippleStep_;
  return result;
}

}  // namespace gfx
