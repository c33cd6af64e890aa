// Pictures and folders shared by the extended colour suites.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/bitmap/Bitmap32.h"
#include "support/ScratchFolder.h"

namespace extcolor_test {

using test_support::ScratchFolder;

// A picture whose every pixel differs in all four channels, alpha included.
inline void MakeVariedPicture(gfx::TBitmap32& b, int width, int height) {
  b.SetSize(width, height);
  uint32_t state = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      state = state * 1103515245u + 12345u;
      b.SetPixel(x, y, state ^ (state >> 13) ^ uint32_t(x * 7 + y * 131));
    }
}

inline std::string ReadBytes(const std::string& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

// Red, green and blue as in Colors, alpha as in Alphas.
inline void ExpectSamePicture(const gfx::TBitmap32& actual, const gfx::TBitmap32& colors,
                              const gfx::TBitmap32& alphas) {
  ASSERT_EQ(actual.Width(), colors.Width());
  ASSERT_EQ(actual.Height(), colors.Height());
  for (int y = 0; y < actual.Height(); ++y)
    for (int x = 0; x < actual.Width(); ++x) {
      const uint32_t want = (colors.Pixel(x, y) & 0xFFFFFF) | (alphas.Pixel(x, y) & 0xFF000000);
      ASSERT_EQ(actual.Pixel(x, y), want) << x << "," << y;
    }
}

}  // namespace extcolor_test
