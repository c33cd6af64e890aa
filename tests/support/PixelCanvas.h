// A canvas over 32-bit pixels in memory: tests measure, lay out and draw on it without a window.
// Fixtures derive from it to have `pixels`, `dc` and `canvas` at hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"

namespace test_support {

struct PixelCanvas {
  PixelCanvas(int width, int height, uint32_t fill = 0xFFFFFFFF)
      : pixelsWide(width),
        pixels(size_t(width) * size_t(height), fill),
        dc(pixels.data(), width, height, width * 4),
        canvas(&dc) {}
  uint32_t PixelAt(int x, int y) const {
    return pixels[size_t(y) * size_t(pixelsWide) + size_t(x)];
  }

  int pixelsWide;
  std::vector<uint32_t> pixels;
  plat::DeviceContext dc;
  plat::TCanvas canvas;
};

}  // namespace test_support
