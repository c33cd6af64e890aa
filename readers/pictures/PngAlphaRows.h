// Rows of PNG pictures whose transparency no plain bitmap format holds (gray with alpha, and
// palette, gray or colour keys given by "tRNS"): the colours are those of the plain layout, the
// alpha comes from the file's own samples, and the pixels become 32-bit B, G, R, A.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pictures/Bitmap.h"

namespace readers {

struct TPngTransparency {
  uint8_t ColorType = 0, BitDepth = 0;
  std::vector<uint8_t> PaletteAlpha;  // alpha of the first palette entries; the rest are opaque
  std::vector<uint16_t> Key;          // gray, or red, green and blue samples that are transparent

  // True when the picture needs an alpha channel to show as the file says.
  bool Needed() const;
};

class TPngAlphaRows {
 public:
  // PlainFormat and Palette: the layout the colour manager converts rows into.
  TPngAlphaRows(const TPngTransparency& Transparency, plat::TPixelFormat PlainFormat,
                const plat::TPalette& Palette, uint32_t Width);

  // Where the colour manager puts the row in the plain layout.
  uint8_t* PlainRow() { return Plain.data(); }
  // Writes the pixels that Mask selects (bit 7 for the first of every eight) into Target, their
  // colours from PlainRow and their alpha from Raw, the row as stored in the file.
  void Write(const uint8_t* Raw, uint8_t* Target, uint8_t Mask);

 private:
  uint16_t Sample(const uint8_t* Raw, uint64_t Index) const;
  uint8_t Alpha(const uint8_t* Raw, uint64_t Pixel) const;

  const TPngTransparency& Transparency;
  plat::TPixelFormat PlainFormat;
  const plat::TPalette& Palette;
  uint32_t Width;
  std::vector<uint8_t> Plain;
  std::vector<uint32_t> Colors;
};

}  // namespace readers
