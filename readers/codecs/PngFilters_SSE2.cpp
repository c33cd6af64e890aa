#include <emmintrin.h>

#include <cstring>

#include "readers/codecs/PngFilterTiers.h"

namespace readers {

namespace {

__m128i LoadPixel(const uint8_t* Bytes, size_t Bpp) {
  int32_t value = 0;
  std::memcpy(&value, Bytes, Bpp);
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(value), _mm_setzero_si128());
}

void StorePixel(uint8_t* Bytes, size_t Bpp, __m128i Pixel) {
  const int32_t value = _mm_cvtsi128_si32(_mm_packus_epi16(Pixel, Pixel));
  std::memcpy(Bytes, &value, Bpp);
}

__m128i Abs16(__m128i Value) {
  return _mm_max_epi16(Value, _mm_sub_epi16(_mm_setzero_si128(), Value));
}

__m128i Select(__m128i Mask, __m128i IfSet, __m128i IfClear) {
  return _mm_or_si128(_mm_and_si128(Mask, IfSet), _mm_andnot_si128(Mask, IfClear));
}

}  // namespace

void UndoPaethPixels_SSE2(uint8_t* Row, const uint8_t* Previous, size_t Count, size_t Bpp) {
  const __m128i byteMask = _mm_set1_epi16(0xFF);
  __m128i left = _mm_setzero_si128(), upperLeft = _mm_setzero_si128();
  for (size_t x = 0; x + Bpp <= Count; x += Bpp) {
    const __m128i up = LoadPixel(Previous + x, Bpp);
    const __m128i toLeft = Abs16(_mm_sub_epi16(up, upperLeft));
    const __m128i toUp = Abs16(_mm_sub_epi16(left, upperLeft));
    const __m128i toUpperLeft =
        Abs16(_mm_sub_epi16(_mm_add_epi16(left, up), _mm_add_epi16(upperLeft, upperLeft)));
    // Left wins ties with both others, up wins its tie with upper-left.
    const __m128i notLeft =
        _mm_or_si128(_mm_cmpgt_epi16(toLeft, toUp), _mm_cmpgt_epi16(toLeft, toUpperLeft));
    const __m128i notUp = _mm_cmpgt_epi16(toUp, toUpperLeft);
    const __m128i predictor = Select(notLeft, Select(notUp, upperLeft, up), left);
    left = _mm_and_si128(_mm_add_epi16(LoadPixel(Row + x, Bpp), predictor), byteMask);
    StorePixel(Row + x, Bpp, left);
    upperLeft = up;
  }
}

}  // namespace readers
