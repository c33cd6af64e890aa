// Conversion of bitmap rows between the stored pixel formats and 0xAARRGGBB values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

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

// The rows of a picture being decoded, in the bitmap's pixel format (set, with its palette,
// before). Without a target they are the bitmap's own scan lines. With one, the bitmap stays
// without pixels: each row is written apart and turned into the target's 0xAARRGGBB pixels as the
// bitmap would draw them, so the picture never exists twice.
class TDecodedRows {
 public:
  TDecodedRows(TBitmap& bitmap, int width, int height, const ArgbPictureTarget* target);
  TDecodedRows(const TDecodedRows&) = delete;
  TDecodedRows& operator=(const TDecodedRows&) = delete;

  // Bytes of a row in the format.
  int64_t RowBytes() const { return rowBytes_; }
  // Row y, to be filled in the format.
  uint8_t* Row(int y);
  // The pixels of row y that mask selects (bit 7 for the first of every eight) are written.
  void Written(int y, uint8_t mask = 0xFF);

 private:
  TBitmap& bitmap_;
  int width_;
  int64_t rowBytes_;
  uint32_t* pixels_ = nullptr;  // the target's
  bool direct_ = false;         // 32-bit rows are the target's own
  const TPalette& palette_;
  std::vector<uint8_t> row_;
  std::vector<uint32_t> argb_;
};

// Draws every row of bitmap into the memory target gives and drops its pixels (its format and
// palette stay).
void MoveToTarget(TBitmap& bitmap, const ArgbPictureTarget& target);

}  // namespace plat
