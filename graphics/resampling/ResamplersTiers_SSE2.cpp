// SSE2 tier: channels in 16-bit lanes; the interpolation mixes both rows in one register.
#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#include "graphics/resampling/ResamplersLinearRun.h"
#include "graphics/resampling/ResamplersTiers.h"

namespace gfx::resamplers_sse2 {

namespace {

__m128i Widen(TColor32 C) {
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(C)), _mm_setzero_si128());
}

// Round(x * w / 255) per lane for x and w up to 255, as the engine's multiplication table holds
// it: ((t + 128) * 257) >> 16 is exact for every such product t.
__m128i MulDiv255(__m128i x, __m128i w) {
  const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, w), _mm_set1_epi16(128));
  return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

// The portable CombineReg per lane: Round(w * x / 255) + Round((255 - w) * y / 255), written as
// y + Round(w * x / 255) - Round(w * y / 255) (a quotient by 255 never ends in a half).
__m128i Mix(__m128i x, __m128i y, __m128i w) {
  return _mm_add_epi16(_mm_sub_epi16(y, MulDiv255(y, w)), MulDiv255(x, w));
}

__m128i Weights(uint32_t W) {
  return _mm_load_si128(
      reinterpret_cast<const __m128i*>(&resamplers_simd::InterpolationWeights[W > 255 ? 255 : W]));
}

}  // namespace

TColor32 BlockAverage(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, uint32_t OffSrc) {
  const uint64_t n = uint64_t(Dlx) * Dly;
  if (n == 0) return 0;
  const __m128i zero = _mm_setzero_si128();
  uint64_t totals[4] = {0, 0, 0, 0};  // b, g, r, a
  const auto* row = reinterpret_cast<const uint8_t*>(RowSrc);
  for (uint32_t y = 0; y < Dly; ++y, row += OffSrc) {
    const auto* p = reinterpret_cast<const TColor32*>(row);
    // A row of at most 32767 pixels sums below 2^23 per channel: 32-bit lanes suffice.
    __m128i sum = zero;
    uint32_t x = 0;
    for (; x + 4 <= Dlx; x += 4) {
      const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x));
      const __m128i lo = _mm_unpacklo_epi8(q, zero), hi = _mm_unpackhi_epi8(q, zero);
      const __m128i words = _mm_add_epi16(lo, hi);  // two pixels of channel pairs, below 511
      sum = _mm_add_epi32(sum, _mm_unpacklo_epi16(words, zero));
      sum = _mm_add_epi32(sum, _mm_unpackhi_epi16(words, zero));
    }
    for (; x < Dlx; ++x) sum = _mm_add_epi32(sum, _mm_unpacklo_epi16(Widen(p[x]), zero));
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sum);
    for (int c = 0; c < 4; ++c) totals[c] += lanes[c];
  }
  return TColor32(totals[3] / n) << 24 | TColor32(totals[2] / n) << 16 |
         TColor32(totals[1] / n) << 8 | TColor32(totals[0] / n);
}

namespace {

// The interpolation inlined where it is used. The columns are mixed in both rows at once (lanes
// 0-3 the top row, 4-7 the bottom row); then one rounding multiply serves both rows of Mix(top,
// bottom, WY) = bottom + Round(WY * top / 255) - Round(WY * bottom / 255).
[[gnu::always_inline]] inline TColor32 Interpolate(uint32_t WX_256, uint32_t WY_256,
                                                   const TColor32* C11, const TColor32* C21) {
  const __m128i pairs = _mm_unpacklo_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(C11)),
                                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(C21)));
  const __m128i left = _mm_unpacklo_epi8(pairs, _mm_setzero_si128());
  const __m128i right = _mm_unpackhi_epi8(pairs, _mm_setzero_si128());
  const __m128i rows = Mix(left, right, Weights(WX_256));
  const __m128i shares = MulDiv255(rows, Weights(WY_256));
  const __m128i result = _mm_add_epi16(
      _mm_sub_epi16(_mm_unpackhi_epi64(rows, rows), _mm_unpackhi_epi64(shares, shares)), shares);
  return TColor32(_mm_cvtsi128_si32(_mm_packus_epi16(result, result)));
}

}  // namespace

TColor32 Interpolator(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21) {
  return Interpolate(WX_256, WY_256, C11, C21);
}

void ReadClippedRun(const TLinearPicture& P, TFixed X, TFixed Y, TFixed Dx, TFixed Dy,
                    int32_t Count, TColor32* Out) {
  const auto inlined = [](uint32_t WX, uint32_t WY, const TColor32* C11, const TColor32* C21) {
    return Interpolate(WX, WY, C11, C21);
  };
  TClippedLinearReader(P, inlined).ReadRun(X, Y, Dx, Dy, Count, Out);
}

}  // namespace gfx::resamplers_sse2
#endif
