// A two-frame GIF of 1 x 1 pixels (black, then white, 100 ms each, played once), written out
// byte by byte.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "html/GifAnimation.h"
#include "platform/Classes.h"

namespace html::test {

inline std::unique_ptr<TGIFImage> TwoFrameGif() {
  static const std::vector<uint8_t> bytes = {
      'G',  'I',  'F',  '8',  '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,  // screen 1 x 1, 2 global colours
      0,    0,    0,    255,  255, 255,                          // black, white
      0x21, 0xF9, 4,    0,    10,  0,   0, 0,                    // 10 hundredths
      0x2C, 0,    0,    0,    0,   1,   0, 1, 0, 0,              // image 1 x 1
      2,    2,    0x44, 0x01, 0,                                 // clear, index 0, end
      0x21, 0xF9, 4,    0,    10,  0,   0, 0,                    // the second frame
      0x2C, 0,    0,    0,    0,   1,   0, 1, 0, 0, 2,    2, 0x4C, 0x01, 0,  // clear, index 1, end
      0x3B};
  plat::TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  bool nonAnimated = true;
  return LoadGifImageFromStream(nonAnimated, stream);
}

}  // namespace html::test
