// Pictures and a scratch folder for the layer builder's suites.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "graphics/bitmap/Bitmap32.h"
#include "support/ScratchFolder.h"

namespace overlay_test {

using test_support::ScratchFolder;

using PixelRule = std::function<uint32_t(int x, int y)>;

inline void Paint(gfx::TBitmap32& b, int w, int h, const PixelRule& rule) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, rule(x, y));
}

// Writes a 32-bit BMP painted by rule and returns its path.
inline std::string WritePicture(const ScratchFolder& folder, const std::string& name, int w, int h,
                                const PixelRule& rule) {
  gfx::TBitmap32 b;
  Paint(b, w, h, rule);
  b.SaveToFile(folder.File(name));
  return folder.File(name);
}

inline PixelRule Flat(uint32_t color) {
  return [color](int, int) { return color; };
}

// Opaque pixels of random colour, the same for the same seed.
inline PixelRule RandomOpaque(uint32_t seed) {
  auto engine = std::make_shared<std::mt19937>(seed);
  return [engine](int, int) { return 0xFF000000u | ((*engine)() & 0xFFFFFFu); };
}

// The brightness weights of the mask: (61 R + 174 G + 21 B) / 256, rounded down.
inline uint32_t Brightness(uint32_t c) {
  return (61 * ((c >> 16) & 0xFF) + 174 * ((c >> 8) & 0xFF) + 21 * (c & 0xFF)) / 256;
}

// Grey of the same weights; the alpha stays.
inline uint32_t Gray(uint32_t c) {
  const uint32_t v = Brightness(c);
  return (c & 0xFF000000u) | v << 16 | v << 8 | v;
}

}  // namespace overlay_test
