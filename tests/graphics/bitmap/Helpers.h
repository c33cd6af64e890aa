// Small helpers shared by the bitmap suites.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"

namespace bitmap_test {

// Fills every pixel with a reproducible random colour.
inline void FillRandom(gfx::TCustomBitmap32& bitmap, uint32_t seed) {
  std::mt19937 random(seed);
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    for (int32_t x = 0; x < bitmap.Width(); ++x) bitmap.SetPixel(x, y, random());
}

inline std::vector<gfx::TColor32> Pixels(const gfx::TCustomBitmap32& bitmap) {
  std::vector<gfx::TColor32> result;
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    for (int32_t x = 0; x < bitmap.Width(); ++x) result.push_back(bitmap.Pixel(x, y));
  return result;
}

struct AreaReport {
  gfx::TRect area;
  uint32_t info;
  bool operator==(const AreaReport&) const = default;
};

// Records every area report of a bitmap and how often OnChange fired.
class Recorder {
 public:
  explicit Recorder(gfx::TCustomBitmap32& bitmap) {
    bitmap.OnAreaChanged = Handler();
    bitmap.OnChange = [this](plat::TObject*) { ++changes; };
  }
  gfx::TAreaChangedEvent Handler() {
    return [this](plat::TObject*, const gfx::TRect& area, uint32_t info) {
      reports.push_back({area, info});
    };
  }
  std::vector<AreaReport> reports;
  int changes = 0;
};

inline AreaReport Rect(int32_t l, int32_t t, int32_t r, int32_t b) {
  return {{l, t, r, b}, gfx::AreaInfoRect};
}

}  // namespace bitmap_test
