// PNG made for speed rather than size, for pictures that other programs take from the clipboard
// and that must not keep this program waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/pictures/JpegCodec.h"  // ArgbRowSource

namespace plat {

// Receives the PNG stream in order, a block at a time.
using PngByteSink = std::function<void(const char* bytes, size_t count)>;

// A width x height picture (sides above 0) whose rows come from the source top to bottom, as PNG:
// RGB when every pixel is opaque, else RGBA with straight alpha. Each row goes as its difference
// from the row above and is compressed by runs only, zlib's quickest way to gain on photographs
// and flat drawings alike. Raises EOutOfMemory when zlib cannot start.
void EncodeFastPng(int32_t width, int32_t height, const ArgbRowSource& rows,
                   const PngByteSink& sink);

}  // namespace plat
