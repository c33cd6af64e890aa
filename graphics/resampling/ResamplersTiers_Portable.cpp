#include "graphics/core/Blend.h"
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

namespace {

// All four channels of X and Y mixed by weight W as the portable CombineReg mixes the colour
// channels: Round(W·X / 255) + Round((255 - W)·Y / 255), Y whole at 0 and X whole from 255.
TColor32 Mix(TColor32 X, TColor32 Y, uint32_t W) {
  if (W == 0) return Y;
  if (W >= 255) return X;
  const auto& TX = AlphaMulTable[W];
  const auto& TY = AlphaMulTable[255 - W];
  TColor32 result = 0;
  for (int shift = 0; shift <= 24; shift += 8)
    result |= TColor32(TX[(X >> shift) & 0xFF] + TY[(Y >> shift) & 0xFF]) << shift;
  return result;
}

}  // namespace

// Independent of the bound blend routines, so that the result is the same on every processor.
TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21) {
  return Mix(Mix(C11[0], C11[1], WX_256), Mix(C21[0], C21[1], WX_256), WY_256);
}

}  // namespace gfx::resamplers_portable
