// SSE2 tier: every channel, alpha included, becomes (B * (256 - a) + F * a + 128) >> 8 in 16-bit
// lanes. Intermediate terms may wrap; the true result (0..65408) does not.
#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#include "graphics/core/BlendTiers.h"
#include "graphics/core/LowLevel.h"

namespace gfx::blend_sse2 {
namespace {

__m128i Widen(TColor32 C) {
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(C)), _mm_setzero_si128());
}

__m128i Weight(uint32_t a) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(AlphaWordTable[a]));
}

// f, b: widened channels; w: weight lanes.
__m128i MixLanes(__m128i f, __m128i b, __m128i w) {
  const __m128i bias = _mm_load_si128(reinterpret_cast<const __m128i*>(*AlphaBias));
  __m128i r = _mm_add_epi16(_mm_slli_epi16(b, 8), bias);
  r = _mm_add_epi16(r, _mm_mullo_epi16(_mm_sub_epi16(f, b), w));
  return _mm_srli_epi16(r, 8);
}

TColor32 Mix(TColor32 F, TColor32 B, __m128i w) {
  const __m128i r = MixLanes(Widen(F), Widen(B), w);
  return TColor32(_mm_cvtsi128_si32(_mm_packus_epi16(r, r)));
}

// Four pixels of Src mixed into four of Dst without unpacking: blue and red sit in the low
// bytes of the 16-bit lanes, green and alpha are shifted down there. w: each pixel's weight
// (0..256) in both 16-bit halves of its 32-bit lane.
__m128i MixQuad(__m128i f, __m128i b, __m128i w) {
  const __m128i lowBytes = _mm_set1_epi16(0x00FF), highBytes = _mm_set1_epi16(short(0xFF00));
  const __m128i bias = _mm_set1_epi16(0x0080);
  const __m128i dBR = _mm_sub_epi16(_mm_and_si128(f, lowBytes), _mm_and_si128(b, lowBytes));
  const __m128i dGA = _mm_sub_epi16(_mm_srli_epi16(f, 8), _mm_srli_epi16(b, 8));
  // B * 256 + 128 + (F - B) * w per channel.
  const __m128i rBR =
      _mm_add_epi16(_mm_or_si128(_mm_slli_epi16(b, 8), bias), _mm_mullo_epi16(dBR, w));
  const __m128i rGA =
      _mm_add_epi16(_mm_or_si128(_mm_and_si128(b, highBytes), bias), _mm_mullo_epi16(dGA, w));
  return _mm_or_si128(_mm_srli_epi16(rBR, 8), _mm_and_si128(rGA, highBytes));
}

// One weight per 32-bit lane (below 65536) copied into both of its 16-bit halves.
__m128i SpreadWeights(__m128i w32) {
  return _mm_or_si128(w32, _mm_slli_epi32(w32, 16));
}

__m128i LoadQuad(const TColor32* P) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
}
void StoreQuad(TColor32* P, __m128i V) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(P), V);
}

}  // namespace

TColor32 BlendReg(TColor32 F, TColor32 B) {
  return Mix(F, B, Weight(F >> 24));
}

void BlendMem(TColor32 F, TColor32& B) {
  const uint32_t a = F >> 24;
  if (a == 0) return;
  B = a == 255 ? F : Mix(F, B, Weight(a));
}

TColor32 BlendRegEx(TColor32 F, TColor32 B, TColor32 M) {
  const uint32_t a = SimdMasterWeight(F, M);
  return a == 0 ? B : Mix(F, B, Weight(a));
}

void BlendMemEx(TColor32 F, TColor32& B, TColor32 M) {
  const uint32_t a = SimdMasterWeight(F, M);
  if ((F >> 24) == 0 || a == 0) return;
  B = Mix(F, B, Weight(a));
}

// Four pixels per step. Weight 256 in place of 255 makes the formula copy an opaque source
// exactly, and weight 0 leaves B as it is, so one formula serves every pixel; testing for a
// transparent quad as well costs more than it saves.
void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count) {
  const __m128i opaqueAlpha = _mm_set1_epi16(255);
  const int32_t quads = DestinationAhead(Src, Dst, 4) ? 0 : Count;
  int32_t i = 0;
  for (; i + 4 <= quads; i += 4) {
    const __m128i f = LoadQuad(Src + i);
    // Each pixel's alpha, the high lane of its green-alpha pair, in all four of its lanes.
    const __m128i alphaLanes =
        _mm_shufflehi_epi16(_mm_shufflelo_epi16(_mm_srli_epi16(f, 8), 0xF5), 0xF5);
    const __m128i opaque = _mm_cmpeq_epi16(alphaLanes, opaqueAlpha);
    if (_mm_movemask_epi8(opaque) == 0xFFFF) {
      StoreQuad(Dst + i, f);
      continue;
    }
    StoreQuad(Dst + i, MixQuad(f, LoadQuad(Dst + i), _mm_sub_epi16(alphaLanes, opaque)));
  }
  for (; i < Count; ++i) BlendMem(Src[i], Dst[i]);
}

// Per pixel a = ((F.a + 1) * M) >> 8; a = 0 leaves B as it is through the formula.
void BlendLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 M) {
  M = ClampWeight(M);
  const __m128i master = _mm_set1_epi32(int(M));
  const __m128i one = _mm_set1_epi32(1);
  const int32_t quads = DestinationAhead(Src, Dst, 4) ? 0 : Count;
  int32_t i = 0;
  for (; i + 4 <= quads; i += 4) {
    const __m128i f = LoadQuad(Src + i);
    // (F.a + 1) * M stays below 65536, so the low 16-bit multiply is exact.
    const __m128i a = _mm_add_epi32(_mm_srli_epi32(f, 24), one);
    const __m128i w = _mm_srli_epi32(_mm_mullo_epi16(a, master), 8);
    StoreQuad(Dst + i, MixQuad(f, LoadQuad(Dst + i), SpreadWeights(w)));
  }
  for (; i < Count; ++i) {
    const TColor32 F = Src[i];
    const uint32_t a = (((F >> 24) + 1) * M) >> 8;
    if ((F >> 24) != 0 && a != 0) Dst[i] = Mix(F, Dst[i], Weight(a));
  }
}

TColor32 CombineReg(TColor32 X, TColor32 Y, TColor32 W) {
  W = ClampWeight(W);
  return Mix(X, Y, _mm_set1_epi16(short(W)));
}

void CombineMem(TColor32 X, TColor32& Y, TColor32 W) {
  W = ClampWeight(W);
  if (W == 0) return;
  Y = W == 255 ? X : CombineReg(X, Y, W);
}

void CombineLine(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 W) {
  W = ClampWeight(W);
  if (W == 0) return;
  if (W == 255) {
    for (int32_t i = 0; i < Count; ++i) Dst[i] = Src[i];
    return;
  }
  const __m128i w = _mm_set1_epi16(short(W));
  const int32_t quads = DestinationAhead(Src, Dst, 4) ? 0 : Count;
  int32_t i = 0;
  for (; i + 4 <= quads; i += 4)
    StoreQuad(Dst + i, MixQuad(LoadQuad(Src + i), LoadQuad(Dst + i), w));
  for (; i < Count; ++i) Dst[i] = CombineReg(Src[i], Dst[i], W);
}

}  // namespace gfx::blend_sse2
#endif
