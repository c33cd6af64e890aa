#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#include "graphics/layers/MicroTilesTiers.h"

namespace gfx::tiles {

namespace {

// Four tile words at once. In memory a word is Bottom, Right, Top, Left (byte 0 to 3), so the
// union is the byte-wise minimum in the upper half and the maximum in the lower half.
__m128i UnionQuad(__m128i d, __m128i s) {
  const __m128i lowHalves = _mm_set1_epi32(0x0000FFFF);
  const __m128i full = _mm_set1_epi32(int32_t(TileFull));
  const __m128i zero = _mm_setzero_si128();

  const __m128i merged = _mm_or_si128(_mm_andnot_si128(lowHalves, _mm_min_epu8(d, s)),
                                      _mm_and_si128(lowHalves, _mm_max_epu8(d, s)));
  // Right <= Left or Bottom <= Top: Src adds nothing.
  const __m128i leftTop = _mm_srli_epi32(s, 16);
  const __m128i notAbove = _mm_cmpeq_epi8(_mm_max_epu8(s, leftTop), leftTop);
  const __m128i zeroSize =
      _mm_xor_si128(_mm_cmpeq_epi32(_mm_and_si128(notAbove, lowHalves), zero), _mm_set1_epi32(-1));
  const __m128i keep = _mm_or_si128(_mm_cmpeq_epi32(d, full), zeroSize);
  const __m128i take = _mm_or_si128(_mm_cmpeq_epi32(d, zero), _mm_cmpeq_epi32(s, full));

  const __m128i joined = _mm_or_si128(_mm_and_si128(take, s), _mm_andnot_si128(take, merged));
  return _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, joined));
}

}  // namespace

void TileUnion_SSE2(TTileWord& Dst, TTileWord Src) {
  Dst = TTileWord(_mm_cvtsi128_si32(
      UnionQuad(_mm_cvtsi32_si128(int32_t(Dst)), _mm_cvtsi32_si128(int32_t(Src)))));
}

void TileSetMerge_SSE2(TTileSet& Dst, const TTileSet& Src) {
  const TRect& used = Src.UsedTileBounds;
  for (int32_t y = used.Top; y <= used.Bottom; ++y) {
    TTileWord* d = &Dst.Tile(used.Left, y);
    const TTileWord* s = &Src.Tile(used.Left, y);
    int32_t n = used.Right - used.Left + 1;
    for (; n >= 4; n -= 4, d += 4, s += 4) {
      const __m128i result = UnionQuad(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d)),
                                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d), result);
    }
    for (; n > 0; --n, ++d, ++s) TileUnion_SSE2(*d, *s);
  }
}

}  // namespace gfx::tiles
#endif
