// Pictures, a scratch folder and a JPEG table reader shared by the suites.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "support/ScratchFolder.h"

namespace road_test {

inline constexpr uint32_t kTopLeft = 0xFFC83214, kTopRight = 0xFF1E8C3C, kBottomLeft = 0xFF2850B4,
                          kBottomRight = 0xFFDCDCDC;

using test_support::ScratchFolder;

// W x H in four flat quadrants.
inline void MakeQuadrants(gfx::TBitmap32& b, int w, int h) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y,
                 y < h / 2 ? (x < w / 2 ? kTopLeft : kTopRight)
                           : (x < w / 2 ? kBottomLeft : kBottomRight));
}

// The layer picture of the composition tests: 120 x 80, a yellow left half with a 20 x 20 block
// of the key colour at (20, 20), and a black right half.
inline constexpr uint32_t kYellow = 0xFFFFFF00, kBlack = 0xFF000000, kKey = 0xFF010101;

inline void WriteKeyedLayer(const std::string& path) {
  gfx::TBitmap32 layer;
  layer.SetSize(120, 80);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x)
      layer.SetPixel(x, y,
                     x >= 20 && x < 40 && y >= 20 && y < 40 ? kKey
                     : x < 60                               ? kYellow
                                                            : kBlack);
  layer.SaveToFile(path);
}

// A 400 x 300 background in four quadrants.
inline void WriteQuadrantsBackground(const std::string& path) {
  gfx::TBitmap32 bg;
  MakeQuadrants(bg, 400, 300);
  bg.SaveToFile(path);
}

inline uint32_t Channel(uint32_t c, int shift) {
  return (c >> shift) & 0xFF;
}

inline int MaxChannelDifference(uint32_t a, uint32_t b) {
  int d = 0;
  for (int s = 0; s < 24; s += 8)
    d = std::max(d, std::abs(int(Channel(a, s)) - int(Channel(b, s))));
  return d;
}

// bg + (fg - bg) * a / 255 per colour channel, in exact rationals rounded to nearest.
inline uint32_t Over(uint32_t fg, uint32_t bg, int a) {
  uint32_t out = 0xFF000000;
  for (int s = 0; s < 24; s += 8) {
    const double v = Channel(bg, s) + (double(Channel(fg, s)) - Channel(bg, s)) * a / 255.0;
    out |= uint32_t(v + 0.5) << s;
  }
  return out;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every quantisation table entry of a baseline JPEG, read from its DQT segments.
inline std::vector<int> QuantisationEntries(const std::string& jpeg) {
  std::vector<int> entries;
  size_t i = 2;
  while (i + 4 <= jpeg.size() && uint8_t(jpeg[i]) == 0xFF) {
    const uint8_t marker = uint8_t(jpeg[i + 1]);
    const size_t length = size_t(uint8_t(jpeg[i + 2])) << 8 | uint8_t(jpeg[i + 3]);
    if (marker == 0xDA) break;
    if (marker == 0xDB) {
      for (size_t p = i + 4; p < i + 2 + length;) {
        const bool wide = (uint8_t(jpeg[p]) >> 4) != 0;
        ++p;
        for (int k = 0; k < 64; ++k, p += wide ? 2 : 1)
          entries.push_back(wide ? (uint8_t(jpeg[p]) << 8 | uint8_t(jpeg[p + 1]))
                                 : uint8_t(jpeg[p]));
      }
    }
    i += 2 + length;
  }
  return entries;
}

}  // namespace road_test
