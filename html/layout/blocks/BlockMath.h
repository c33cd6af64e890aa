// Box arithmetic of blocks: lengths come from the page and may be anywhere in 32 bits, so sums
// are taken in 64 bits and brought back to the 32-bit range.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

#include "html/css/CssBoxes.h"

namespace html {

// The largest length, either way, that a block box keeps: sums of a few of them stay far
// inside 32 bits.
inline constexpr int32_t kBoxLengthLimit = 1 << 20;

inline int32_t Clamp32(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

inline int32_t ClampBoxLength(int32_t v) {
  return std::clamp(v, -kBoxLengthLimit, kBoxLengthLimit);
}

// Margin, padding and border of one side of a converted box.
inline int32_t BoxLeftExtras(const TMarginArray& box) {
  return box[piMarginLeft] + box[piPaddingLeft] + box[piBorderLeftWidth];
}
inline int32_t BoxRightExtras(const TMarginArray& box) {
  return box[piMarginRight] + box[piPaddingRight] + box[piBorderRightWidth];
}

}  // namespace html
