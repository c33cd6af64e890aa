// MMX colour arithmetic; the byte maximum and minimum need extended MMX.
#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>

#include <algorithm>
#include <cstring>

#include "graphics/core/BlendTiers.h"

namespace gfx::color_mmx {
namespace {

__m64 Load(TColor32 C) {
  return _mm_cvtsi32_si64(int(C));
}
TColor32 Store(__m64 V) {
  return TColor32(_mm_cvtsi64_si32(V));
}
__m64 Widen(TColor32 C) {
  return _mm_unpacklo_pi8(Load(C), _mm_setzero_si64());
}
TColor32 Narrow(__m64 V) {
  return Store(_mm_packs_pu16(V, V));
}

}  // namespace

TColor32 ColorMax(TColor32 C1, TColor32 C2) {
  return Store(_mm_max_pu8(Load(C1), Load(C2)));
}
TColor32 ColorMin(TColor32 C1, TColor32 C2) {
  return Store(_mm_min_pu8(Load(C1), Load(C2)));
}
TColor32 ColorAdd(TColor32 C1, TColor32 C2) {
  return Store(_mm_adds_pu8(Load(C1), Load(C2)));
}
TColor32 ColorSub(TColor32 C1, TColor32 C2) {
  return Store(_mm_subs_pu8(Load(C1), Load(C2)));
}

TColor32 ColorModulate(TColor32 C1, TColor32 C2) {
  return Narrow(_mm_srli_pi16(_mm_mullo_pi16(Widen(C1), Widen(C2)), 8));
}

TColor32 ColorDifference(TColor32 C1, TColor32 C2) {
  const __m64 a = Load(C1), b = Load(C2);
  return Store(_mm_or_si64(_mm_subs_pu8(a, b), _mm_subs_pu8(b, a)));
}

TColor32 ColorExclusion(TColor32 C1, TColor32 C2) {
  const __m64 a = Widen(C1), b = Widen(C2);
  const __m64 product = _mm_srli_pi16(_mm_mullo_pi16(a, b), 7);
  return Narrow(_mm_subs_pu16(_mm_add_pi16(a, b), product));
}

TColor32 ColorScale(TColor32 C, TColor32 W) {
  __m64 w;
  std::memcpy(&w, AlphaWordTable[W & 0xFF], sizeof w);
  return Narrow(_mm_srli_pi16(_mm_mullo_pi16(Widen(C), w), 8));
}

// Amount * 0x010101 leaves alpha alone; clamping Amount keeps every byte of it in range.
TColor32 LightenReg(TColor32 C, int32_t Amount) {
  if (Amount >= 0)
    return Store(_mm_adds_pu8(Load(C), Load(uint32_t(std::min(Amount, 255)) * 0x010101)));
  return Store(
      _mm_subs_pu8(Load(C), Load(uint32_t(std::min(-int64_t(Amount), int64_t(255))) * 0x010101)));
}

}  // namespace gfx::color_mmx
#endif
