// MMX tier: one pixel per 64-bit register; the interpolation's rounding multiply needs the SSE
// additions to MMX. Callers end the MMX state with the bound EMMS.
#if defined(__x86_64__) || defined(__i386__)
#include <mmintrin.h>
#include <xmmintrin.h>

#include <cstring>

#include "graphics/resampling/ResamplersTiers.h"

namespace gfx::resamplers_mmx {

namespace {

__m64 Widen(TColor32 C) {
  return _mm_unpacklo_pi8(_mm_cvtsi32_si64(int(C)), _mm_setzero_si64());
}

// Round(x * w / 255) per lane, exact for x and w up to 255 (see the SSE2 tier).
__m64 MulDiv255(__m64 x, __m64 w) {
  const __m64 t = _mm_add_pi16(_mm_mullo_pi16(x, w), _mm_set1_pi16(128));
  return _mm_mulhi_pu16(t, _mm_set1_pi16(257));
}

// The portable CombineReg per lane: y + Round(w * x / 255) - Round(w * y / 255).
__m64 Mix(__m64 x, __m64 y, __m64 w) {
  return _mm_add_pi16(_mm_sub_pi16(y, MulDiv255(y, w)), MulDiv255(x, w));
}

__m64 Weights(uint32_t W) {
  __m64 w;
  std::memcpy(&w, &resamplers_simd::InterpolationWeights[W > 255 ? 255 : W], sizeof w);
  return w;
}

}  // namespace

TColor32 BlockAverage(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, uint32_t OffSrc) {
  const uint64_t n = uint64_t(Dlx) * Dly;
  if (n == 0) return 0;
  const __m64 zero = _mm_setzero_si64();
  uint64_t totals[4] = {0, 0, 0, 0};  // b, g, r, a
  const auto* row = reinterpret_cast<const uint8_t*>(RowSrc);
  for (uint32_t y = 0; y < Dly; ++y, row += OffSrc) {
    const auto* p = reinterpret_cast<const TColor32*>(row);
    // 32-bit lanes: a row of at most 32767 pixels stays below 2^23 per channel.
    __m64 bg = zero, ra = zero;
    for (uint32_t x = 0; x < Dlx; ++x) {
      const __m64 w = Widen(p[x]);
      bg = _mm_add_pi32(bg, _mm_unpacklo_pi16(w, zero));
      ra = _mm_add_pi32(ra, _mm_unpackhi_pi16(w, zero));
    }
    uint32_t lanes[4];
    std::memcpy(lanes, &bg, 8);
    std::memcpy(lanes + 2, &ra, 8);
    for (int c = 0; c < 4; ++c) totals[c] += lanes[c];
  }
  return TColor32(totals[3] / n) << 24 | TColor32(totals[2] / n) << 16 |
         TColor32(totals[1] / n) << 8 | TColor32(totals[0] / n);
}

TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21) {
  const __m64 wx = Weights(WX_256);
  const __m64 top = Mix(Widen(C11[0]), Widen(C11[1]), wx);
  const __m64 bottom = Mix(Widen(C21[0]), Widen(C21[1]), wx);
  const __m64 r = Mix(top, bottom, Weights(WY_256));
  return TColor32(_mm_cvtsi64_si32(_mm_packs_pu16(r, r)));
}

}  // namespace gfx::resamplers_mmx
#endif
