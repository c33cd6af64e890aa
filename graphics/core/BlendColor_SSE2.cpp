// SSE2 colour arithmetic on one pixel in the low lanes; saturating byte operations where possible.
#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#include <algorithm>

#include "graphics/core/BlendTiers.h"

namespace gfx::color_sse2 {
namespace {

__m128i Load(TColor32 C) {
  return _mm_cvtsi32_si128(int(C));
}
TColor32 Store(__m128i V) {
  return TColor32(_mm_cvtsi128_si32(V));
}
__m128i Widen(TColor32 C) {
  return _mm_unpacklo_epi8(Load(C), _mm_setzero_si128());
}
TColor32 Narrow(__m128i V) {
  return Store(_mm_packus_epi16(V, V));
}

}  // namespace

TColor32 ColorMax(TColor32 C1, TColor32 C2) {
  return Store(_mm_max_epu8(Load(C1), Load(C2)));
}
TColor32 ColorMin(TColor32 C1, TColor32 C2) {
  return Store(_mm_min_epu8(Load(C1), Load(C2)));
}
TColor32 ColorAdd(TColor32 C1, TColor32 C2) {
  return Store(_mm_adds_epu8(Load(C1), Load(C2)));
}
TColor32 ColorSub(TColor32 C1, TColor32 C2) {
  return Store(_mm_subs_epu8(Load(C1), Load(C2)));
}

TColor32 ColorModulate(TColor32 C1, TColor32 C2) {
  return Narrow(_mm_srli_epi16(_mm_mullo_epi16(Widen(C1), Widen(C2)), 8));
}

TColor32 ColorDifference(TColor32 C1, TColor32 C2) {
  const __m128i a = Load(C1), b = Load(C2);
  return Store(_mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)));
}

TColor32 ColorExclusion(TColor32 C1, TColor32 C2) {
  const __m128i a = Widen(C1), b = Widen(C2);
  const __m128i product = _mm_srli_epi16(_mm_mullo_epi16(a, b), 7);
  return Narrow(_mm_subs_epu16(_mm_add_epi16(a, b), product));
}

TColor32 ColorScale(TColor32 C, TColor32 W) {
  const __m128i w = _mm_load_si128(reinterpret_cast<const __m128i*>(AlphaWordTable[W & 0xFF]));
  return Narrow(_mm_srli_epi16(_mm_mullo_epi16(Widen(C), w), 8));
}

// Amount * 0x010101 leaves alpha alone; clamping Amount keeps every byte of it in range.
TColor32 LightenReg(TColor32 C, int32_t Amount) {
  if (Amount >= 0)
    return Store(_mm_adds_epu8(Load(C), Load(uint32_t(std::min(Amount, 255)) * 0x010101)));
  return Store(
      _mm_subs_epu8(Load(C), Load(uint32_t(std::min(-int64_t(Amount), int64_t(255))) * 0x010101)));
}

}  // namespace gfx::color_sse2
#endif
