// Reading and writing BMP files and the device-independent bitmaps inside icons.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/pictures/Bitmap.h"

namespace plat {

// The reserved words of the file header carry this mark in the 32-bit files the engine writes:
// their alpha is real even when it is 0 everywhere (a wholly transparent layer), while other
// 32-bit BMPs with no alpha at all open opaque.
inline constexpr std::array<uint8_t, 4> kBmpRealAlphaMark = {'P', 'S', 'T', 'A'};

// Decodes a BMP file held in memory (file header first). Returns the new bitmap and stores in
// *consumed how many bytes the file used. Raises EInvalidGraphic for anything malformed. With a
// target the pixels go to its memory instead (see TDecodedRows) and the bitmap holds none.
std::unique_ptr<TBitmap> ReadBmp(const uint8_t* data, size_t size, size_t* consumed,
                                 const ArgbPictureTarget* target = nullptr);

// Decodes the BMP that starts at the stream's position and leaves the position after it; reads
// only as far as its headers say the file goes.
std::unique_ptr<TBitmap> ReadBmpStream(TStream& stream, const ArgbPictureTarget* target = nullptr);

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
