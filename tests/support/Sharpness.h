// How sharp a capture of a window on a screen at 200 % is.
#pragma once

#include <algorithm>
#include <cstdlib>

#include "platform/windows/TestSeams.h"

namespace test_support {

// Pixel pairs inside the aligned 2 x 2 blocks of the rectangle (logical units) whose green
// differs by more than 140. Drawn at 1x and scaled up, a block is one colour (nearest) or changes
// by at most half of a step (smooth); glyph edges drawn at the screen's pixels fall inside blocks.
inline int SteepSteps(const plat::TCapturedImage& image, const plat::TRect& logical) {
  const auto green = [&](int x, int y) { return int(image.Pixel(x, y) >> 8 & 0xFF); };
  const int right = std::min(logical.Right * 2, image.width);
  const int bottom = std::min(logical.Bottom * 2, image.height);
  int steep = 0;
  for (int y = logical.Top * 2; y < bottom; ++y)
    for (int x = logical.Left * 2; x + 1 < right; x += 2)
      steep += std::abs(green(x, y) - green(x + 1, y)) > 140;
  for (int y = logical.Top * 2; y + 1 < bottom; y += 2)
    for (int x = logical.Left * 2; x < right; ++x)
      steep += std::abs(green(x, y) - green(x, y + 1)) > 140;
  return steep;
}

}  // namespace test_support
