// The GIF decoder's LZW stage.
#pragma once

#include <cstdint>
#include <vector>

#include "html/images/GifFrames.h"

namespace html {

// Decodes the concatenated LZW data of image into image.Pixels, which must hold PixelCount zero
// bytes. Pixels beyond the image are dropped, and decoding ends with the image's last pixel;
// data that ends early leaves the rest zero.
void DecodeGifImage(TGifImageRecord& image, const std::vector<uint8_t>& data);

}  // namespace html
