// One channel of an HSL colour in double precision, for models of the HSL conversions.
#pragma once

#include <cmath>

namespace test_support {

// The channel whose hue is x, between the two levels m1 and m2 (0..1).
inline double HueChannel(double m1, double m2, double x) {
  x -= std::floor(x);
  if (6 * x < 1) return m1 + (m2 - m1) * x * 6;
  if (2 * x < 1) return m2;
  if (3 * x < 2) return m1 + (m2 - m1) * (2.0 / 3 - x) * 6;
  return m1;
}

}  // namespace test_support
