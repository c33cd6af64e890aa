// MMX tier: the SSE2 tier's arithmetic, (B * (256 - a) + F * a + 128) >> 8 on every channel, one
// pixel per 64-bit register.
#if defined(__x86_64__) || defined(__i386__)
#include <mmintrin.h>

#include <cstring>

#include "graphics/core/BlendTiers.h"

namespace gfx::blend_mmx {
namespace {

__m64 Widen(TColor32 C) {
  return _mm_unpacklo_pi8(_mm_cvtsi32_si64(int(C)), _mm_setzero_si64());
}

__m64 Lanes(const TAlphaWordEntry& Entry) {
  __m64 v;
  std::memcpy(&v, Entry, sizeof v);
  return v;
}

TColor32 Mix(TColor32 F, TColor32 B, __m64 w) {
  const __m64 f = Widen(F), b = Widen(B);
  __m64 r = _mm_add_pi16(_mm_slli_pi16(b, 8), Lanes(*AlphaBias));
  r = _mm_add_pi16(r, _mm_mullo_pi16(_mm_sub_pi16(f, b), w));
  r = _mm_srli_pi16(r, 8);
  return TColor32(_mm_cvtsi64_si32(_mm_packs_pu16(r, r)));
}

TColor32 MixWeight(TColor32 F, TColor32 B, uint32_t a) {
  return Mix(F, B, Lanes(AlphaWordTable[a]));
}

}  // namespace

void EMMS() {
  _mm_empty();
}

TColor32 BlendReg(TColor32 F, TColor32 B) {
  return MixWeight(F, B, F >> 24);
}

void BlendMem(TColor32 F, TColor32& B) {
  const uint32_t a = F >> 24;
  if (a == 0) return;
  B = a == 255 ? F : MixWeight(F, B, a);
}

TColor32 BlendRegEx(TColor32 F, TColor32 B, TColor32 M) {
  const uint32_t a = SimdMasterWeight(F, M);
  return a == 0 ? B : MixWeight(F, B, a);
}

void BlendMemEx(TColor32 F, TColor32& B, TColor32 M) {
  const uint32_t a = SimdMasterWeight(F, M);
  if ((F >> 24) == 0 || a == 0) return;
  B = MixWeight(F, B, a);
}

void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) BlendMem(Src[i], Dst[i]);
}

// Here the weight is ((F.a + 1) * M) >> 8, unlike the Reg and Mem forms.
void BlendLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 M) {
  M = ClampWeight(M);
  for (int32_t i = 0; i < Count; ++i) {
    const TColor32 F = Src[i];
    const uint32_t a = (((F >> 24) + 1) * M) >> 8;
    if ((F >> 24) != 0 && a != 0) Dst[i] = MixWeight(F, Dst[i], a);
  }
}

TColor32 CombineReg(TColor32 X, TColor32 Y, TColor32 W) {
  W = ClampWeight(W);
  return Mix(X, Y, _mm_set1_pi16(short(W)));
}

void CombineMem(TColor32 X, TColor32& Y, TColor32 W) {
  W = ClampWeight(W);
  if (W == 0) return;
  Y = W == 255 ? X : CombineReg(X, Y, W);
}

void CombineLine(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 W) {
  W = ClampWeight(W);
  if (W == 0) return;
  for (int32_t i = 0; i < Count; ++i) Dst[i] = W == 255 ? Src[i] : CombineReg(Src[i], Dst[i], W);
}

}  // namespace gfx::blend_mmx
#endif
