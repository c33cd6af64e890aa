// SSE2 colour lines, four pixels at a time; the rest of a row and rows that would read a pixel
// the same step writes go through the portable per-pixel routines.
#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#include <cstdint>

#include "graphics/core/BlendTiers.h"
#include "graphics/core/LowLevel.h"
#include "graphics/filters/RowCombinerTiers.h"

namespace gfx::colorline_sse2 {
namespace {

constexpr int32_t Step = 4;

// Op(f, b) on four pixels; Pixel is the portable routine with the same results.
template <__m128i (*Op)(__m128i, __m128i), TBlendReg Pixel>
void Line(const TColor32* F, TColor32* B, int32_t Count) {
  int32_t i = 0;
  // Four pixels are read before any of them is written.
  if (!DestinationAhead(F, B, Step)) {
    for (; i + Step <= Count; i += Step) {
      const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(F + i));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(B + i), Op(f, b));
    }
  }
  for (; i < Count; ++i) B[i] = Pixel(F[i], B[i]);
}

__m128i Add(__m128i f, __m128i b) {
  return _mm_adds_epu8(f, b);
}
__m128i Sub(__m128i f, __m128i b) {
  return _mm_subs_epu8(f, b);
}
__m128i Min(__m128i f, __m128i b) {
  return _mm_min_epu8(f, b);
}
__m128i Max(__m128i f, __m128i b) {
  return _mm_max_epu8(f, b);
}
__m128i Difference(__m128i f, __m128i b) {
  return _mm_or_si128(_mm_subs_epu8(f, b), _mm_subs_epu8(b, f));
}
// Half the sum rounded down, without leaving the byte: (f xor b) / 2 + (f and b).
__m128i Average(__m128i f, __m128i b) {
  const __m128i half = _mm_and_si128(_mm_srli_epi32(_mm_xor_si128(f, b), 1), _mm_set1_epi8(0x7F));
  return _mm_add_epi8(half, _mm_and_si128(f, b));
}

// Word(f, b) on the channels widened to 16 bits, packed back with unsigned saturation.
template <__m128i (*Word)(__m128i, __m128i)>
__m128i Widened(__m128i f, __m128i b) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = Word(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(b, zero));
  const __m128i high = Word(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(b, zero));
  return _mm_packus_epi16(low, high);
}
__m128i ModulateWords(__m128i f, __m128i b) {
  return _mm_srli_epi16(_mm_mullo_epi16(f, b), 8);
}
__m128i ExclusionWords(__m128i f, __m128i b) {
  return _mm_subs_epu16(_mm_add_epi16(f, b), _mm_srli_epi16(_mm_mullo_epi16(f, b), 7));
}

}  // namespace

void ColorAddLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<Add, color_portable::ColorAdd>(F, B, Count);
}
void ColorSubLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<Sub, color_portable::ColorSub>(F, B, Count);
}
void ColorModulateLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<Widened<ModulateWords>, color_portable::ColorModulate>(F, B, Count);
}
void ColorMinLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<Min, color_portable::ColorMin>(F, B, Count);
}
void ColorMaxLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<Max, color_portable::ColorMax>(F, B, Count);
}
void ColorDifferenceLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<Difference, color_portable::ColorDifference>(F, B, Count);
}
void ColorExclusionLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<Widened<ExclusionWords>, color_portable::ColorExclusion>(F, B, Count);
}
void ColorAverageLine(const TColor32* F, TColor32* B, int32_t Count) {
  Line<Average, color_portable::ColorAverage>(F, B, Count);
}

}  // namespace gfx::colorline_sse2
#endif
