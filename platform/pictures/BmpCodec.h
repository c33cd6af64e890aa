// Reading and writing BMP files and the device-independent bitmaps inside icons.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/pictures/Bitmap.h"

namespace plat {

// Decodes a BMP file held in memory (file header first). Returns the new bitmap and stores in
// *consumed how many bytes the file used. Raises EInvalidGraphic for anything malformed.
std::unique_ptr<TBitmap> ReadBmp(const uint8_t* data, size_t size, size_t* consumed);

// Decodes the BMP that starts at the stream's position and leaves the position after it.
std::unique_ptr<TBitmap> ReadBmpStream(TStream& stream);

// The colour image of an icon entry: a bitmap info header whose height counts the colour image
// and the mask together, then palette and pixels. maskOffset is where the AND mask starts.
struct IconDib {
  std::unique_ptr<TBitmap> bitmap;
  size_t maskOffset;
  bool topDown;
};
IconDib ReadIconDib(const uint8_t* data, size_t size);

// Writes a bottom-up BMP with a 40-byte header in the bitmap's format (pfDevice as 24 bits,
// pf16bit with 5-6-5 bit fields). An empty bitmap raises EInvalidGraphicOperation.
void WriteBmp(const TBitmap& bitmap, TStream& stream);

}  // namespace plat
