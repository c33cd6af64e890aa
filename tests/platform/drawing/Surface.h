// A 32-bit test surface with its device context, and helpers to compare pictures.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "platform/drawing/DeviceContext.h"

namespace canvas_test {

struct Surface {
  Surface(int32_t w, int32_t h, uint32_t fill = 0)
      : width(w), height(h), pixels(size_t(w * h), fill) {
    dc.Attach(pixels.data(), w, h, w * 4);
  }
  uint32_t& At(int32_t x, int32_t y) { return pixels[size_t(y * width + x)]; }
  uint32_t At(int32_t x, int32_t y) const { return pixels[size_t(y * width + x)]; }
  void Randomize(uint32_t seed) {
    std::mt19937 random(seed);
    for (uint32_t& p : pixels) p = random();
  }

  int32_t width, height;
  std::vector<uint32_t> pixels;
  plat::DeviceContext dc;
};

inline bool Inside(int32_t x, int32_t y, const plat::TRect& r) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

}  // namespace canvas_test
