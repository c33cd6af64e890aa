// Bringing true-colour pictures down to a palette for screens of 8 bits or fewer: a fixed or
// optimised palette, a nearest-colour lookup and optional Floyd-Steinberg error diffusion.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/drawing/Palette.h"
#include "platform/pictures/Bitmap.h"

namespace html {

// Palettes of ReduceColors.
enum : uint8_t {
  rmNone = 0,             // a 24-bit copy, no palette
  rmSystemPalette = 1,    // the 20 static colours
  rmNetscapePalette = 3,  // the 6 x 6 x 6 colour cube
  rmViewerPalette = 4,    // a copy of the viewer palette (none above 8 bits)
  rmOptimizedPalette = 5  // made for the picture by an octree
};
// Pixel choice of ReduceColors.
enum : uint8_t {
  dmNearest = 0,        // the nearest palette colour
  dmFloydSteinberg = 1  // nearest colour with the error spread to the neighbours
};

// A new 8-bit picture of graphic for the current screen: the static colours below 8 bits, the
// viewer palette at 8 bits, dithered. nullptr when graphic is not a bitmap or is empty; a
// bitmap of device format is only copied.
std::unique_ptr<plat::TBitmap> ReduceBitmapColors(const plat::TGraphic* graphic);
// A new picture of bitmap in the palette of mode, pixels chosen by ditherMode. Unknown modes,
// unknown dither modes and empty palettes leave the result blank (8 bits, all index 0).
std::unique_ptr<plat::TBitmap> ReduceColors(const plat::TBitmap& bitmap, uint8_t mode,
                                            uint8_t ditherMode);

// The 20 colours every palette screen keeps: entries 0-9 and 10-19 go to the two ends of a
// 256-colour palette.
plat::TPalette SystemPalette();
// 216 entries: entry 36 r + 6 g + b is (51 r, 51 g, 51 b).
plat::TPalette CreateColorCubePalette();
// colors entries made by an octree of colorBits levels from the picture's colours. With
// withSystemColors the palette has 256 entries: the static colours at both ends and 236
// picture colours between. Entries the picture does not fill are black.
plat::TPalette CreateOptimizedPalette(const plat::TBitmap& bitmap, int colors, int colorBits,
                                      bool withSystemColors);

}  // namespace html
