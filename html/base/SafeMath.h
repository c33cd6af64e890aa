// Arithmetic on page coordinates, which come from outside and may be anywhere in 32 bits.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

namespace html {

// a + b, stopping at the ends of the 32-bit range.
inline int32_t SaturatedSum(int32_t a, int32_t b) {
  return int32_t(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
}

}  // namespace html
