// Portable colour arithmetic: each channel, alpha included, on its own.
#include <algorithm>

#include "graphics/core/BlendTiers.h"

namespace gfx::color_portable {
namespace {

template <class Op>
TColor32 PerChannel(TColor32 C1, TColor32 C2, Op op) {
  TColor32 result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int32_t v = op(int32_t((C1 >> shift) & 0xFF), int32_t((C2 >> shift) & 0xFF));
    result |= TColor32(v) << shift;
  }
  return result;
}

}  // namespace

TColor32 ColorMax(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](int32_t a, int32_t b) { return std::max(a, b); });
}

TColor32 ColorMin(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](int32_t a, int32_t b) { return std::min(a, b); });
}

TColor32 ColorAverage(TColor32 C1, TColor32 C2) {
  return (((C1 ^ C2) >> 1) & 0x7F7F7F7F) + (C1 & C2);
}

TColor32 ColorAdd(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](int32_t a, int32_t b) { return std::min(255, a + b); });
}

TColor32 ColorSub(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](int32_t a, int32_t b) { return std::max(0, a - b); });
}

TColor32 ColorDiv(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2,
                    [](int32_t a, int32_t b) { return a == 0 ? 255 : std::min(255, b * 256 / a); });
}

TColor32 ColorModulate(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](int32_t a, int32_t b) { return (a * b) >> 8; });
}

TColor32 ColorDifference(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](int32_t a, int32_t b) { return a > b ? a - b : b - a; });
}

TColor32 ColorExclusion(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](int32_t a, int32_t b) { return a + b - ((a * b) >> 7); });
}

TColor32 ColorScale(TColor32 C, TColor32 W) {
  TColor32 result = 0;
  for (int shift = 0; shift < 32; shift += 8)
    result |= std::min<uint64_t>(255, (uint64_t((C >> shift) & 0xFF) * W) >> 8) << shift;
  return result;
}

TColor32 LightenReg(TColor32 C, int32_t Amount) {
  TColor32 result = C & 0xFF000000;
  for (int shift = 0; shift <= 16; shift += 8)
    result |= TColor32(std::clamp<int64_t>(int64_t((C >> shift) & 0xFF) + Amount, 0, 255)) << shift;
  return result;
}

}  // namespace gfx::color_portable
