// Decoding of the compressed pictures that HTML pages carry beside GIF, BMP and JPEG (PNG and
// whatever else the toolkit's image plug-ins read), straight from memory.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/pictures/Bitmap.h"

namespace plat {

// True when PNG pictures can be decoded here.
bool HtmlImageCodecAvailable();

// The picture in data as a pf32bit bitmap with straight (not premultiplied) alpha. The header's
// size is checked against the picture limits before any pixel is decoded. Data that is not a
// picture, or is broken, raises EInvalidGraphic.
std::unique_ptr<TBitmap> DecodeHtmlImage(const void* data, int64_t size);

}  // namespace plat
