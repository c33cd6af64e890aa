// Integer tier: two channels per multiply; every channel, alpha included, gets two rounded terms.
#include "graphics/core/BlendTiers.h"

namespace gfx::blend_int {
namespace {

// ((x * w + 128) >> 8) for the four channels of C; no carry crosses a channel.
TColor32 Scale(TColor32 C, uint32_t w) {
  const uint32_t rb = ((C & 0x00FF00FF) * w + 0x00800080) >> 8 & 0x00FF00FF;
  const uint32_t ag = (((C >> 8) & 0x00FF00FF) * w + 0x00800080) & 0xFF00FF00;
  return rb | ag;
}

// The two terms of each channel never sum above 255.
TColor32 Mix(TColor32 X, TColor32 Y, uint32_t w) {
  return Scale(X, w) + Scale(Y, 255 - w);
}

uint32_t MasterAlpha(TColor32 F, TColor32 M) {
  return ((ClampWeight(M) + 1) * (F >> 24)) >> 8;
}

TColor32 BlendWithMaster(TColor32 F, TColor32 B, TColor32 M) {
  const uint32_t a = MasterAlpha(F, M);
  if ((F >> 24) == 0 || a == 0) return B;
  return Mix(F, B, a) & 0x00FFFFFF;
}

}  // namespace

TColor32 BlendReg(TColor32 F, TColor32 B) {
  const uint32_t a = F >> 24;
  if (a == 255) return F;
  if (a == 0) return B;
  return Mix(F, B, a);
}

void BlendMem(TColor32 F, TColor32& B) {
  B = BlendReg(F, B);
}

TColor32 BlendRegEx(TColor32 F, TColor32 B, TColor32 M) {
  return BlendWithMaster(F, B, M);
}

void BlendMemEx(TColor32 F, TColor32& B, TColor32 M) {
  B = BlendWithMaster(F, B, M);
}

void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = BlendReg(Src[i], Dst[i]);
}

TColor32 CombineReg(TColor32 X, TColor32 Y, TColor32 W) {
  W = ClampWeight(W);
  if (W == 0) return Y;
  if (W == 255) return X;
  return Mix(X, Y, W);
}

void CombineMem(TColor32 X, TColor32& Y, TColor32 W) {
  Y = CombineReg(X, Y, W);
}

}  // namespace gfx::blend_int
