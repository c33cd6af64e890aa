// MMX tier: the SSE2 tier's arithmetic, one pixel per 64-bit register. Callers end the MMX state
// with the bound EMMS.
#if defined(__x86_64__) || defined(__i386__)
#include <mmintrin.h>

#include <cstring>

#include "graphics/resampling/ResamplersTiers.h"

namespace gfx::resamplers_mmx {

namespace {

__m64 Widen(TColor32 C) {
  return _mm_unpacklo_pi8(_mm_cvtsi32_si64(int(C)), _mm_setzero_si64());
}

// (y * 256 + 128 + (x - y) * w) >> 8 per 16-bit lane.
__m64 Mix(__m64 x, __m64 y, __m64 w) {
  __m64 r = _mm_add_pi16(_mm_slli_pi16(y, 8), _mm_set1_pi16(128));
  r = _mm_add_pi16(r, _mm_mullo_pi16(_mm_sub_pi16(x, y), w));
  return _mm_srli_pi16(r, 8);
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
  const __m64 wx = _mm_set1_pi16(short(WX_256 > 255 ? 255 : WX_256));
  const __m64 wy = _mm_set1_pi16(short(WY_256 > 255 ? 255 : WY_256));
  const __m64 top = Mix(Widen(C11[0]), Widen(C11[1]), wx);
  const __m64 bottom = Mix(Widen(C21[0]), Widen(C21[1]), wx);
  const __m64 r = Mix(top, bottom, wy);
  return TColor32(_mm_cvtsi64_si32(_mm_packs_pu16(r, r)));
}

}  // namespace gfx::resamplers_mmx
#endif
