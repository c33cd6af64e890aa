// Portable tier: channels mixed through the rounding multiply table; alpha taken from the target.
#include "graphics/core/BlendTiers.h"

namespace gfx {

void EMMS_None() {}

namespace blend_portable {
namespace {

constexpr uint32_t Channel(TColor32 C, int Shift) {
  return (C >> Shift) & 0xFF;
}

// Colour channels of X and Y mixed by weight w (0 < w < 255); alpha from Alpha.
TColor32 MixColours(TColor32 X, TColor32 Y, uint32_t w, TColor32 Alpha) {
  const auto& TX = AlphaMulTable[w];
  const auto& TY = AlphaMulTable[255 - w];
  TColor32 result = Alpha & 0xFF000000;
  for (int shift = 0; shift <= 16; shift += 8)
    result |= TColor32(TX[Channel(X, shift)] + TY[Channel(Y, shift)]) << shift;
  return result;
}

TColor32 BlendWithAlpha(TColor32 F, TColor32 B, uint32_t a) {
  if (a == 0) return B;
  if (a == 255) return F;
  return MixColours(F, B, a, B);
}

uint32_t MasterAlpha(TColor32 F, TColor32 M) {
  return AlphaMulTable[ClampWeight(M)][F >> 24];
}

}  // namespace

TColor32 BlendReg(TColor32 F, TColor32 B) {
  return BlendWithAlpha(F, B, F >> 24);
}

void BlendMem(TColor32 F, TColor32& B) {
  B = BlendWithAlpha(F, B, F >> 24);
}

TColor32 BlendRegEx(TColor32 F, TColor32 B, TColor32 M) {
  return BlendWithAlpha(F, B, MasterAlpha(F, M));
}

void BlendMemEx(TColor32 F, TColor32& B, TColor32 M) {
  B = BlendWithAlpha(F, B, MasterAlpha(F, M));
}

void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) gfx::BlendMem(Src[i], Dst[i]);
}

void BlendLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 M) {
  for (int32_t i = 0; i < Count; ++i) gfx::BlendMemEx(Src[i], Dst[i], M);
}

TColor32 CombineReg(TColor32 X, TColor32 Y, TColor32 W) {
  if (W == 0) return Y;
  if (W >= 255) return X;
  return MixColours(X, Y, W, X);
}

void CombineMem(TColor32 X, TColor32& Y, TColor32 W) {
  Y = CombineReg(X, Y, W);
}

void CombineLine(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 W) {
  for (int32_t i = 0; i < Count; ++i) gfx::CombineMem(Src[i], Dst[i], W);
}

// Over-operator in premultiplied form, divided back by the new alpha.
TColor32 MergeReg(TColor32 F, TColor32 B) {
  const uint32_t fa = F >> 24, ba = B >> 24;
  if (fa == 0) return B;
  // An opaque F covers before the opaque background's blend, which on the SIMD tiers would let
  // 1/256 of the background through.
  if (fa == 255) return F;
  if (ba == 255) return gfx::BlendReg(F, B) | 0xFF000000;
  if (ba == 0) return F;
  const uint32_t ra = (fa + ba - AlphaMulTable[ba][fa]) & 0xFF;
  const auto& FW = AlphaMulTable[fa];
  TColor32 result = ra << 24;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int32_t bp = AlphaMulTable[ba][Channel(B, shift)];
    const int32_t d = int32_t(Channel(F, shift)) - bp;
    const int32_t v = d >= 0 ? bp + FW[d] : bp - FW[-d];
    result |= TColor32(AlphaDivTable[ra][v]) << shift;
  }
  return result;
}

void MergeMem(TColor32 F, TColor32& B) {
  B = gfx::MergeReg(F, B);
}

void MergeLine(const TColor32* Src, TColor32* Dst, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = gfx::MergeReg(Src[i], Dst[i]);
}

TColor32 MergeRegEx(TColor32 F, TColor32 B, TColor32 M) {
  return gfx::MergeReg((F & 0x00FFFFFF) | MasterAlpha(F, M) << 24, B);
}

void MergeMemEx(TColor32 F, TColor32& B, TColor32 M) {
  B = MergeRegEx(F, B, M);
}

void MergeLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 M) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = MergeRegEx(Src[i], Dst[i], M);
}

}  // namespace blend_portable
}  // namespace gfx
