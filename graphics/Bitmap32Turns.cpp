// Mirroring and quarter turns of the bitmap, in place or into another bitmap.
#include <algorithm>
#include <optional>
#include <vector>

#include "graphics/Bitmap32.h"
#include "graphics/LowLevel.h"

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

// Clockwise: (x, y) goes to (H - 1 - y, x); counter-clockwise: to (y, W - 1 - x).
void TCustomBitmap32::RotateQuarter(TCustomBitmap32* dst, bool clockwise) {
  const bool inPlace = dst == nullptr || dst == this;
  std::optional<TCustomBitmap32> temporary;
  if (inPlace) temporary.emplace();
  TCustomBitmap32& target = inPlace ? *temporary : *dst;
  const int32_t w = Width(), h = Height();
  if (!inPlace) target.BeginUpdate();
  target.SetSize(h, w);
  if (bits_ != nullptr && target.bits_ != nullptr) {
    for (int32_t y = 0; y < h; ++y) {
      const TColor32* src = RowPtr(y);
      if (clockwise) {
        TColor32* out = target.bits_ + (h - 1 - y);
        for (int32_t x = 0; x < w; ++x, out += h) *out = src[x];
      } else {
        TColor32* out = target.bits_ + std::ptrdiff_t{w - 1} * h + y;
        for (int32_t x = 0; x < w; ++x, out -= h) *out = src[x];
      }
    }
  }
  if (inPlace) {
    temporary->CopyMapTo(*this);
    // A square turn keeps the size, so CopyMapTo reported nothing; a report after the pixels
    // are in place is right in every case.
    Changed();
  } else {
    target.EndUpdate();
    target.Changed();
  }
}

}  // namespace gfx
