// Column profiles of drawn text, for comparing a text's look with the desktop's drawing of it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace test_support {

// The coverage of each column (0 to 255 a pixel, rows Width bytes apart) summed down the rows,
// from the first inked column to the last.
inline std::vector<double> InkProfile(const std::vector<uint8_t>& coverage, int width, int height) {
  std::vector<double> columns(size_t(width), 0.0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) columns[size_t(x)] += coverage[size_t(y) * width + x];
  const auto inked = [](double c) { return c > 64; };
  const auto first = std::find_if(columns.begin(), columns.end(), inked);
  const auto last = std::find_if(columns.rbegin(), columns.rend(), inked).base();
  return first < last ? std::vector<double>(first, last) : std::vector<double>();
}

// How far profile a lies from b, aligned at their first inked columns give or take two (text
// drawn at other sizes and scaled places its glyphs a pixel apart): the summed difference
// relative to b's ink, 0 when they are equal.
inline double ProfileDistance(const std::vector<double>& a, const std::vector<double>& b) {
  double best = 1.0;
  for (int shift = -2; shift <= 2; ++shift) {
    double difference = 0, ink = 0;
    for (int i = std::min(0, -shift); i < int(std::max(a.size(), b.size())) + 2; ++i) {
      const int j = i + shift;
      const double u = j >= 0 && j < int(a.size()) ? a[size_t(j)] : 0;
      const double v = i >= 0 && i < int(b.size()) ? b[size_t(i)] : 0;
      difference += std::abs(u - v);
      ink += v;
    }
    if (ink > 0) best = std::min(best, difference / ink);
  }
  return best;
}

}  // namespace test_support
