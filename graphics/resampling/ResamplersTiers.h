// Implementations of the block average and the four-pixel interpolation per processor tier;
// ResamplersBindings.cpp registers them. Every tier gives the portable tier's results.
#pragma once

#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx::resamplers_portable {
TColor32 BlockAverage(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, uint32_t OffSrc);
// Weights above 255 count as 255; the rows are mixed with the bound CombineReg.
TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21);
}  // namespace gfx::resamplers_portable

#if defined(__x86_64__) || defined(__i386__)
namespace gfx::resamplers_mmx {
TColor32 BlockAverage(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, uint32_t OffSrc);
// The arithmetic of the MMX CombineReg; leaves the MMX state for the bound EMMS to end.
TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21);
}  // namespace gfx::resamplers_mmx

namespace gfx::resamplers_sse2 {
TColor32 BlockAverage(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, uint32_t OffSrc);
// The arithmetic of the SSE2 CombineReg, bound together with it.
TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21);
}  // namespace gfx::resamplers_sse2
#endif
