// Conversions from floating point to integers as the resampling code needs them: rounding half to
// even, floor, ceiling and truncation, each saturating (NaN gives 0) instead of overflowing.
#pragma once

#include <cmath>
#include <cstdint>

namespace gfx::rmath {

inline int32_t Saturate(double V) {
  if (!(V == V)) return 0;
  if (V >= 2147483647.0) return INT32_MAX;
  if (V <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(V);
}

// Half to even, as the default rounding mode does.
inline int32_t Round(double V) {
  return Saturate(std::nearbyint(V));
}
inline int32_t Floor(double V) {
  return Saturate(std::floor(V));
}
inline int32_t Ceil(double V) {
  return Saturate(std::ceil(V));
}
inline int32_t Trunc(double V) {
  return Saturate(std::trunc(V));
}

// Round(V * 65536), saturating.
inline int32_t ToFixed(double V) {
  return Round(V * 65536.0);
}

}  // namespace gfx::rmath
