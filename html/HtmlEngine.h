// Folder html: the HTML engine and its viewer control, which show the text preview and the about
// page. It uses only the platform layer.
//
// Start-up of the HTML engine and the values it sets once for the whole program: screen depth,
// the viewer palette, the default and error pictures, the viewer's cursors.
#pragma once

#include <cstdint>

#include "platform/drawing/Palette.h"
#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"
#include "platform/windows/Controls.h"

namespace html {

// Cursors registered with the screen at start-up.
inline constexpr plat::TCursor HandCursor = 10101;
inline constexpr plat::TCursor UpDownCursor = 10103;
inline constexpr plat::TCursor UpOnlyCursor = 10104;
inline constexpr plat::TCursor DownOnlyCursor = 10105;

inline constexpr uint32_t kPaletteRelativeFlag = 0x02000000;

// Once, after the platform and the picture readers; nested calls only count.
void StartHtmlEngine();
// Frees what StartHtmlEngine made once the last start is matched.
void StopHtmlEngine();

// The screen depth rounded to 4, 8 or 24 bits.
uint8_t ScreenColorBits();
// The palette for 8-bit screens; null on other screens.
const plat::TPalette* ViewerPalette();
// Or-ed into colours on palette screens (8 bits or fewer), else 0.
uint32_t PaletteRelative();
// Pictures for images not loaded yet and for images that failed (16 x 16; the mask is
// monochrome, white where the error picture is transparent). Null outside start and stop.
plat::TBitmap* DefaultImageBitmap();
plat::TBitmap* ErrorImageBitmap();
plat::TBitmap* ErrorImageMask();
// Never filled: an image supplier returning this very stream delivers the image later.
plat::TMemoryStream* ImageWaitStream();

// Sets the depth values from a screen of bitsPerPixel (start-up uses the true-colour screen;
// tests try palette screens).
void SetScreenDepth(int bitsPerPixel);
// The 256-colour palette of 8-bit screens: the static colours at both ends, a 6 x 6 x 6 colour
// cube and greys between.
plat::TPalette CreateViewerPalette();
// A copy of up to 256 entries of palette for a picture of its own; empty above 8 bits.
plat::TPalette CopyViewerPalette(const plat::TPalette& palette);

}  // namespace html
