// Conversion of bitmap rows between the stored pixel formats and 0xAARRGGBB values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "platform/pictures/Bitmap.h"

namespace plat {

// The palette an indexed format reads through: the bitmap's own, or a grey ramp when it has none.
// The result refers to palette or to a shared ramp.
const TPalette& EffectivePalette(TPixelFormat format, const TPalette& palette);

// Expands an n-bit channel value (n = 1..8) to 8 bits, rounding to nearest.
constexpr uint32_t ExpandChannel(uint32_t value, int bits) {
  uint32_t max = (1u << bits) - 1;
  return (value * 255 + max / 2) / max;
}

// Sets every alpha byte of count B, G, R, A pixels to 255 when all of them are 0: most programs
// write 32-bit bitmaps that way, meaning no alpha at all, not an invisible picture.
void OpaqueWhenAlphaEmpty(uint8_t* pixels, size_t count);

// Reads width pixels of a row in format; palette must be the effective one.
void ReadRow(TPixelFormat format, const uint8_t* row, int width, const TPalette& palette,
             uint32_t* dst);

// Writes width 0xAARRGGBB pixels into a row of format. Indexed formats take the nearest entry of
// palette (which must be the effective one).
class RowWriter {
 public:
  RowWriter(TPixelFormat format, const TPalette& palette);
  void Write(const uint32_t* src, int width, uint8_t* row);

 private:
  uint8_t Nearest(uint32_t argb);

  TPixelFormat format_;
  const TPalette& palette_;
  int usable_;
  std::unordered_map<uint32_t, uint8_t> cache_;
};

}  // namespace plat
