// The implementations behind the blend routine variables, one namespace per processor tier.
// Blend.cpp registers them; everything else calls the variables.
#pragma once

#include "graphics/core/Blend.h"

namespace gfx {

// Ends nothing: the EMMS of tiers that leave no MMX state behind.
void EMMS_None();

// A weight or master alpha above 255 counts as 255: every tier then agrees with its formula for
// 255, and the SIMD tiers' weights stay within their table.
inline TColor32 ClampWeight(TColor32 M) {
  return M > 255 ? 255 : M;
}
// The MMX and SSE2 weight of F under master alpha M in the Reg and Mem forms.
inline uint32_t SimdMasterWeight(TColor32 F, TColor32 M) {
  return ((ClampWeight(M) + 1) * (F >> 24)) >> 8;
}

namespace blend_portable {
TColor32 BlendReg(TColor32 F, TColor32 B);
void BlendMem(TColor32 F, TColor32& B);
TColor32 BlendRegEx(TColor32 F, TColor32 B, TColor32 M);
void BlendMemEx(TColor32 F, TColor32& B, TColor32 M);
void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count);
void BlendLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 M);
TColor32 CombineReg(TColor32 X, TColor32 Y, TColor32 W);
void CombineMem(TColor32 X, TColor32& Y, TColor32 W);
void CombineLine(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 W);
// The table-driven merge, bound on every processor.
TColor32 MergeReg(TColor32 F, TColor32 B);
void MergeMem(TColor32 F, TColor32& B);
void MergeLine(const TColor32* Src, TColor32* Dst, int32_t Count);
TColor32 MergeRegEx(TColor32 F, TColor32 B, TColor32 M);
void MergeMemEx(TColor32 F, TColor32& B, TColor32 M);
void MergeLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 M);
}  // namespace blend_portable

namespace blend_int {
TColor32 BlendReg(TColor32 F, TColor32 B);
void BlendMem(TColor32 F, TColor32& B);
TColor32 BlendRegEx(TColor32 F, TColor32 B, TColor32 M);
void BlendMemEx(TColor32 F, TColor32& B, TColor32 M);
void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count);
TColor32 CombineReg(TColor32 X, TColor32 Y, TColor32 W);
void CombineMem(TColor32 X, TColor32& Y, TColor32 W);
}  // namespace blend_int

#if defined(__x86_64__) || defined(__i386__)
#define GFX_BLEND_SIMD_TIER                                                        \
  TColor32 BlendReg(TColor32 F, TColor32 B);                                       \
  void BlendMem(TColor32 F, TColor32& B);                                          \
  TColor32 BlendRegEx(TColor32 F, TColor32 B, TColor32 M);                         \
  void BlendMemEx(TColor32 F, TColor32& B, TColor32 M);                            \
  void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count);               \
  void BlendLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 M); \
  TColor32 CombineReg(TColor32 X, TColor32 Y, TColor32 W);                         \
  void CombineMem(TColor32 X, TColor32& Y, TColor32 W);                            \
  void CombineLine(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 W);

namespace blend_mmx {
void EMMS();
GFX_BLEND_SIMD_TIER
}  // namespace blend_mmx

namespace blend_sse2 {
GFX_BLEND_SIMD_TIER
}  // namespace blend_sse2
#undef GFX_BLEND_SIMD_TIER
#endif

#define GFX_COLOR_ARITHMETIC_TIER                     \
  TColor32 ColorMax(TColor32 C1, TColor32 C2);        \
  TColor32 ColorMin(TColor32 C1, TColor32 C2);        \
  TColor32 ColorAdd(TColor32 C1, TColor32 C2);        \
  TColor32 ColorSub(TColor32 C1, TColor32 C2);        \
  TColor32 ColorModulate(TColor32 C1, TColor32 C2);   \
  TColor32 ColorDifference(TColor32 C1, TColor32 C2); \
  TColor32 ColorExclusion(TColor32 C1, TColor32 C2);  \
  TColor32 ColorScale(TColor32 C, TColor32 W);        \
  TColor32 LightenReg(TColor32 C, int32_t Amount);

namespace color_portable {
GFX_COLOR_ARITHMETIC_TIER
TColor32 ColorAverage(TColor32 C1, TColor32 C2);
TColor32 ColorDiv(TColor32 C1, TColor32 C2);
}  // namespace color_portable

#if defined(__x86_64__) || defined(__i386__)
namespace color_mmx {
GFX_COLOR_ARITHMETIC_TIER
}
namespace color_sse2 {
GFX_COLOR_ARITHMETIC_TIER
}
#endif
#undef GFX_COLOR_ARITHMETIC_TIER

}  // namespace gfx
