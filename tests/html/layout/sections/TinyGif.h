// GIF pictures of 1 x 1 pixels written out byte by byte: one frame (black), or two frames
// (black, then white, 100 ms each, played once).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "html/images/GifAnimation.h"
#include "platform/runtime/Classes.h"

namespace html::test {

inline std::vector<uint8_t> TinyGifBytes(int frames) {
  std::vector<uint8_t> bytes = {'G', 'I', 'F', '8',  '9', 'a', 1,
                                0,   1,   0,   0x80, 0,   0,     // screen 1 x 1, 2 global colours
                                0,   0,   0,   255,  255, 255};  // black, white
  for (int i = 0; i < frames; ++i) {
    const uint8_t index = uint8_t(i % 2);
    const std::vector<uint8_t> frame = {0x21, 0xF9, 4,
                                        0,    10,   0,
                                        0,    0,  // 10 hundredths
                                        0x2C, 0,    0,
                                        0,    0,    1,
                                        0,    1,    0,
                                        0,  // image 1 x 1
                                        2,    2,    uint8_t(0x44 | index << 3),
                                        0x01, 0};  // clear, the index, end
    bytes.insert(bytes.end(), frame.begin(), frame.end());
  }
  bytes.push_back(0x3B);
  return bytes;
}

inline std::unique_ptr<TGIFImage> TwoFrameGif() {
  static const std::vector<uint8_t> bytes = TinyGifBytes(2);
  plat::TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  bool nonAnimated = true;
  return LoadGifImageFromStream(nonAnimated, stream);
}

}  // namespace html::test
