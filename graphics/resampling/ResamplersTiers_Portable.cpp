#include "graphics/core/BlendTiers.h"
#include "graphics/resampling/ResamplersTiers.h"

namespace gfx::resamplers_portable {

TColor32 BlockAverage(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, uint32_t OffSrc) {
  uint64_t a = 0, r = 0, g = 0, b = 0;
  const auto* row = reinterpret_cast<const uint8_t*>(RowSrc);
  for (uint32_t y = 0; y < Dly; ++y, row += OffSrc) {
    const auto* p = reinterpret_cast<const TColor32*>(row);
    for (uint32_t x = 0; x < Dlx; ++x) {
      a += p[x] >> 24;
      r += (p[x] >> 16) & 0xFF;
      g += (p[x] >> 8) & 0xFF;
      b += p[x] & 0xFF;
    }
  }
  const uint64_t n = uint64_t(Dlx) * Dly;
  if (n == 0) return 0;
  return TColor32(a / n) << 24 | TColor32(r / n) << 16 | TColor32(g / n) << 8 | TColor32(b / n);
}

// Mixed by the portable CombineReg itself, not the bound one: the result is then the same on
// every processor.
TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21) {
  using blend_portable::CombineReg;
  const uint32_t wx = WX_256 > 255 ? 255 : WX_256;
  const uint32_t wy = WY_256 > 255 ? 255 : WY_256;
  return CombineReg(CombineReg(C11[0], C11[1], wx), CombineReg(C21[0], C21[1], wx), wy);
}

}  // namespace gfx::resamplers_portable
