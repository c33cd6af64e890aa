// Implementations of the block average and the four-pixel interpolation per processor tier;
// ResamplersBindings.cpp registers them. Every tier gives the portable tier's results exactly.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx {
struct TLinearPicture;
}

namespace gfx::resamplers_portable {
TColor32 BlockAverage(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, uint32_t OffSrc);
// Weights above 255 count as 255; each of the four channels of both rows, and then the rows, are
// mixed as Round(W·X / 255) + Round((255 - W)·Y / 255): alpha is interpolated like the colours.
TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21);
}  // namespace gfx::resamplers_portable

#if defined(__x86_64__) || defined(__i386__)
namespace gfx::resamplers_simd {
// Interpolation weights W = 0..255 broadcast to the 16-bit lanes of two pixels.
struct alignas(16) TWeightLanes {
  uint16_t Lanes[8];
};
inline constexpr auto InterpolationWeights = [] {
  std::array<TWeightLanes, 256> table{};
  for (uint16_t w = 0; w < 256; ++w) table[w] = {{w, w, w, w, w, w, w, w}};
  return table;
}();
}  // namespace gfx::resamplers_simd

namespace gfx::resamplers_mmx {
TColor32 BlockAverage(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, uint32_t OffSrc);
// Leaves the MMX state for the bound EMMS to end.
TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21);
}  // namespace gfx::resamplers_mmx

namespace gfx::resamplers_sse2 {
TColor32 BlockAverage(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, uint32_t OffSrc);
TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21);
// The clipped bilinear read of a run of positions through this tier's interpolation.
void ReadClippedRun(const TLinearPicture& P, TFixed X, TFixed Y, TFixed Dx, TFixed Dy,
                    int32_t Count, TColor32* Out);
}  // namespace gfx::resamplers_sse2
#endif
