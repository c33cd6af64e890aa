// Mirroring and quarter turns of the bitmap, in place or into another bitmap.
#include <algorithm>
#include <memory>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/LowLevel.h"

namespace gfx {

void TCustomBitmap32::FlipHorz(TCustomBitmap32* dst) {
  const int32_t w = Width(), h = Height();
  if (dst == nullptr || dst == this) {
    if (bits_ != nullptr) {
      for (int32_t y = 0; y < h; ++y) std::reverse(RowPtr(y), RowPtr(y) + w);
    }
    Changed();
    return;
  }
  dst->BeginUpdate();
  dst->SetSize(w, h);
  if (bits_ != nullptr && dst->bits_ != nullptr) {
    for (int32_t y = 0; y < h; ++y) std::reverse_copy(RowPtr(y), RowPtr(y) + w, dst->RowPtr(y));
  }
  dst->EndUpdate();
  dst->Changed();
}

void TCustomBitmap32::FlipVert(TCustomBitmap32* dst) {
  const int32_t w = Width(), h = Height();
  if (dst == nullptr || dst == this) {
    if (bits_ != nullptr) {
      std::vector<TColor32> row(w);
      for (int32_t y = 0; y < h / 2; ++y) {
        TColor32* a = RowPtr(y);
        TColor32* b = RowPtr(h - 1 - y);
        MoveLongword(a, row.data(), w);
        MoveLongword(b, a, w);
        MoveLongword(row.data(), b, w);
      }
    }
    Changed();
    return;
  }
  dst->SetSize(w, h);
  if (bits_ != nullptr && dst->bits_ != nullptr) {
    for (int32_t y = 0; y < h; ++y) MoveLongword(RowPtr(y), dst->RowPtr(h - 1 - y), w);
  }
  dst->Changed();
}

void TCustomBitmap32::Rotate180(TCustomBitmap32* dst) {
  const int64_t n = int64_t{Width()} * Height();
  if (dst == nullptr || dst == this) {
    if (bits_ != nullptr) std::reverse(bits_, bits_ + n);
    Changed();
    return;
  }
  dst->SetSize(Width(), Height());
  if (bits_ != nullptr && dst->bits_ != nullptr) std::reverse_copy(bits_, bits_ + n, dst->bits_);
  dst->Changed();
}

void TCustomBitmap32::Rotate90(TCustomBitmap32* dst) {
  RotateQuarter(dst, true);
}

void TCustomBitmap32::Rotate270(TCustomBitmap32* dst) {
  RotateQuarter(dst, false);
}

namespace {

// Writes the W x H block Src turned by a quarter into Out, an H x W block.
// Clockwise: (x, y) goes to (H - 1 - y, x); counter-clockwise: to (y, W - 1 - x).
void TurnQuarter(const TColor32* src, int32_t w, int32_t h, TColor32* out, bool clockwise) {
  // Square tiles keep both the rows read and the columns written in the cache.
  constexpr int32_t kTile = 32;
  for (int32_t y0 = 0; y0 < h; y0 += kTile) {
    for (int32_t x0 = 0; x0 < w; x0 += kTile) {
      const int32_t y1 = std::min(y0 + kTile, h), x1 = std::min(x0 + kTile, w);
      for (int32_t y = y0; y < y1; ++y) {
        const TColor32* row = src + std::ptrdiff_t{y} * w;
        if (clockwise) {
          TColor32* p = out + std::ptrdiff_t{x0} * h + (h - 1 - y);
          for (int32_t x = x0; x < x1; ++x, p += h) *p = row[x];
        } else {
          TColor32* p = out + std::ptrdiff_t{w - 1 - x0} * h + y;
          for (int32_t x = x0; x < x1; ++x, p -= h) *p = row[x];
        }
      }
    }
  }
}

}  // namespace

void TCustomBitmap32::RotateQuarter(TCustomBitmap32* dst, bool clockwise) {
  const int32_t w = Width(), h = Height();
  if (dst == nullptr || dst == this) {
    BeginUpdate();
    try {
      if (bits_ != nullptr) {
        auto turned = std::make_unique_for_overwrite<TColor32[]>(std::size_t(w) * std::size_t(h));
        TurnQuarter(bits_, w, h, turned.get(), clockwise);
        ReplacePixels(h, w, turned.get());
      } else {
        SetSize(h, w);
      }
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    // One report per turn; measuring ignores the bracket, so there a resize has sent it already.
    if (w == h || !MeasuringMode()) Changed();
    return;
  }
  dst->BeginUpdate();
  try {
    dst->SetSize(h, w);
  } catch (...) {
    dst->EndUpdate();
    throw;
  }
  if (bits_ != nullptr && dst->bits_ != nullptr) TurnQuarter(bits_, w, h, dst->bits_, clockwise);
  dst->EndUpdate();
  dst->Changed();
}

}  // namespace gfx
