// SSE2 tier: every channel, alpha included, becomes (B * (256 - a) + F * a + 128) >> 8 in 16-bit
// lanes. Intermediate terms may wrap; the true result (0..65408) does not.
#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#include "graphics/BlendTiers.h"

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

// Master alpha above 255 counts as 255, which keeps every weight within the table.
TColor32 ClampMaster(TColor32 M) {
  return M > 255 ? 255 : M;
}

uint32_t MasterAlpha(TColor32 F, TColor32 M) {
  return ((ClampMaster(M) + 1) * (F >> 24)) >> 8;
}

// Four pixels of Src mixed into four of Dst; wLo, wHi: weight lanes of pixels 0-1 and 2-3.
__m128i MixQuad(__m128i f, __m128i b, __m128i wLo, __m128i wHi) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = MixLanes(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(b, zero), wLo);
  const __m128i hi = MixLanes(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(b, zero), wHi);
  return _mm_packus_epi16(lo, hi);
}

// Lanes of the two pixels of widened w each filled with that pixel's alpha lane.
__m128i BroadcastAlpha(__m128i w) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(w, 0xFF), 0xFF);
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
  const uint32_t a = MasterAlpha(F, M);
  return a == 0 ? B : Mix(F, B, Weight(a));
}

void BlendMemEx(TColor32 F, TColor32& B, TColor32 M) {
  const uint32_t a = MasterAlpha(F, M);
  if ((F >> 24) == 0 || a == 0) return;
  B = Mix(F, B, Weight(a));
}

// Four pixels per step; a transparent source gives B from the formula, an opaque one is copied.
void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count) {
  const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000));
  const __m128i zero = _mm_setzero_si128();
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    const __m128i f = LoadQuad(Src + i);
    const __m128i alpha = _mm_and_si128(f, alphaMask);
    const __m128i opaque = _mm_cmpeq_epi32(alpha, alphaMask);
    const int opaqueBits = _mm_movemask_epi8(opaque);
    if (opaqueBits == 0xFFFF) {
      StoreQuad(Dst + i, f);
      continue;
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) continue;
    const __m128i b = LoadQuad(Dst + i);
    const __m128i mixed = MixQuad(f, b, BroadcastAlpha(_mm_unpacklo_epi8(f, zero)),
                                  BroadcastAlpha(_mm_unpackhi_epi8(f, zero)));
    StoreQuad(Dst + i, _mm_or_si128(_mm_and_si128(opaque, f), _mm_andnot_si128(opaque, mixed)));
  }
  for (; i < Count; ++i) BlendMem(Src[i], Dst[i]);
}

// Per pixel a = ((F.a + 1) * M) >> 8; a = 0 leaves B as it is through the formula.
void BlendLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 M) {
  M = ClampMaster(M);
  const __m128i master = _mm_set1_epi16(short(M));
  const __m128i one = _mm_set1_epi16(1);
  const __m128i zero = _mm_setzero_si128();
  auto weights = [&](__m128i f16) {
    const __m128i a = BroadcastAlpha(f16);
    return _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(a, one), master), 8);
  };
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    const __m128i f = LoadQuad(Src + i);
    const __m128i b = LoadQuad(Dst + i);
    StoreQuad(Dst + i, MixQuad(f, b, weights(_mm_unpacklo_epi8(f, zero)),
                               weights(_mm_unpackhi_epi8(f, zero))));
  }
  for (; i < Count; ++i) {
    const TColor32 F = Src[i];
    const uint32_t a = (((F >> 24) + 1) * M) >> 8;
    if ((F >> 24) != 0 && a != 0) Dst[i] = Mix(F, Dst[i], Weight(a));
  }
}

TColor32 CombineReg(TColor32 X, TColor32 Y, TColor32 W) {
  return Mix(X, Y, _mm_set1_epi16(short(W)));
}

void CombineMem(TColor32 X, TColor32& Y, TColor32 W) {
  if (W == 0) return;
  Y = W == 255 ? X : CombineReg(X, Y, W);
}

void CombineLine(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 W) {
  if (W == 0) return;
  if (W == 255) {
    for (int32_t i = 0; i < Count; ++i) Dst[i] = Src[i];
    return;
  }
  const __m128i w = _mm_set1_epi16(short(W));
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4)
    StoreQuad(Dst + i, MixQuad(LoadQuad(Src + i), LoadQuad(Dst + i), w, w));
  for (; i < Count; ++i) Dst[i] = CombineReg(Src[i], Dst[i], W);
}

}  // namespace gfx::blend_sse2
#endif
