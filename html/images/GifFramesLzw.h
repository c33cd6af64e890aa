// The GIF decoder's LZW stage.
#pragma once

#include <cstdint>
#include <vector>

#include "html/images/GifFrames.h"

namespace html {

// Decodes the concatenated LZW data of image into image.Pixels, which must hold PixelCount zero
// bytes. The data holds storedRows rows (at least image.Height; interlaced rows come in the passes
// of that height); rows from image.Height on are dropped, and decoding ends with the last stored
// pixel; data that ends early leaves the rest zero.
void DecodeGifImage(TGifImageRecord& image, const std::vector<uint8_t>& data, int storedRows);

}  // namespace html
