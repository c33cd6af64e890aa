// Closed formulas of the blend set, one per processor tier, written from the arithmetic each tier
// promises (not from the implementations).
#pragma once

#include <cstdint>

#include "graphics/core/System.h"

namespace gfx::testing {

inline uint32_t Ch(uint32_t C, int i) {
  return (C >> (8 * i)) & 0xFF;
}

inline uint32_t Pack(const uint32_t (&c)[4]) {
  return c[3] << 24 | c[2] << 16 | c[1] << 8 | c[0];
}

// n / 255 rounded to nearest; integer n never meets a tie.
inline uint32_t R255(uint32_t n) {
  return (2 * n + 255) / 510;
}

// 255 x / a rounded half to even, low byte; 0 for a = 0.
inline uint32_t DivOracle(uint32_t a, uint32_t x) {
  if (a == 0) return 0;
  const uint32_t num = 510 * x + a, den = 2 * a;
  uint32_t q = num / den;
  if (num % den == 0 && q % 2 == 1) --q;
  return q & 0xFF;
}

inline bool IsSimd(TImplementationTier t) {
  return t == tierMMX || t == tierSSE2;
}

// (B (256 - a) + F a + 128) >> 8 on all four channels.
inline uint32_t SimdMix(uint32_t F, uint32_t B, uint32_t a) {
  uint32_t c[4];
  for (int i = 0; i < 4; ++i) c[i] = (Ch(B, i) * (256 - a) + Ch(F, i) * a + 128) >> 8;
  return Pack(c);
}

// Two rounded terms on the channels 0..Channels-1; the rest 0.
inline uint32_t IntMix(uint32_t F, uint32_t B, uint32_t a, int Channels) {
  uint32_t c[4] = {0, 0, 0, 0};
  for (int i = 0; i < Channels; ++i)
    c[i] = ((Ch(F, i) * a + 128) >> 8) + ((Ch(B, i) * (255 - a) + 128) >> 8);
  return Pack(c);
}

// Colour channels by the table rounding; alpha from Alpha.
inline uint32_t PasMix(uint32_t F, uint32_t B, uint32_t a, uint32_t Alpha) {
  uint32_t c[4];
  for (int i = 0; i < 3; ++i) c[i] = R255(a * Ch(F, i)) + R255((255 - a) * Ch(B, i));
  c[3] = Ch(Alpha, 3);
  return Pack(c);
}

inline uint32_t PasBlend(uint32_t F, uint32_t B, uint32_t a) {
  if (a == 0) return B;
  if (a == 255) return F;
  return PasMix(F, B, a, B);
}

inline uint32_t BlendRegOracle(TImplementationTier t, uint32_t F, uint32_t B) {
  const uint32_t a = F >> 24;
  if (IsSimd(t)) return SimdMix(F, B, a);
  if (t == tierInteger) return a == 255 ? F : a == 0 ? B : IntMix(F, B, a, 4);
  return PasBlend(F, B, a);
}

inline uint32_t BlendMemOracle(TImplementationTier t, uint32_t F, uint32_t B) {
  const uint32_t a = F >> 24;
  if (IsSimd(t)) return a == 0 ? B : a == 255 ? F : SimdMix(F, B, a);
  return BlendRegOracle(t, F, B);
}

inline uint32_t BlendRegExOracle(TImplementationTier t, uint32_t F, uint32_t B, uint32_t M) {
  const uint32_t fa = F >> 24;
  if (t == tierPortable) return PasBlend(F, B, R255(M * fa));
  const uint32_t a = ((M + 1) * fa) >> 8;
  if (t == tierInteger) return (fa == 0 || a == 0) ? B : IntMix(F, B, a, 3);
  return a == 0 ? B : SimdMix(F, B, a);
}

inline uint32_t BlendMemExOracle(TImplementationTier t, uint32_t F, uint32_t B, uint32_t M) {
  return BlendRegExOracle(t, F, B, M);
}

inline uint32_t BlendLineExOracle(TImplementationTier t, uint32_t F, uint32_t B, uint32_t M) {
  if (!IsSimd(t)) return BlendMemExOracle(t, F, B, M);
  const uint32_t fa = F >> 24, a = ((fa + 1) * M) >> 8;
  return (fa == 0 || a == 0) ? B : SimdMix(F, B, a);
}

inline uint32_t CombineRegOracle(TImplementationTier t, uint32_t X, uint32_t Y, uint32_t W) {
  if (IsSimd(t)) return SimdMix(X, Y, W);
  if (W == 0) return Y;
  if (W >= 255) return X;
  return t == tierInteger ? IntMix(X, Y, W, 4) : PasMix(X, Y, W, X);
}

inline uint32_t CombineMemOracle(TImplementationTier t, uint32_t X, uint32_t Y, uint32_t W) {
  if (IsSimd(t)) return W == 0 ? Y : W == 255 ? X : SimdMix(X, Y, W);
  return CombineRegOracle(t, X, Y, W);
}

// Premultiplied over, divided back by the new alpha; an opaque F covers whatever lies below, and
// the opaque-background case otherwise follows the tier's BlendReg.
inline uint32_t MergeRegOracle(TImplementationTier t, uint32_t F, uint32_t B) {
  const uint32_t fa = F >> 24, ba = B >> 24;
  if (fa == 0) return B;
  if (fa == 255) return F;
  if (ba == 255) return BlendRegOracle(t, F, B) | 0xFF000000;
  if (ba == 0) return F;
  const uint32_t ra = (fa + ba - R255(ba * fa)) & 0xFF;
  uint32_t c[4];
  for (int i = 0; i < 3; ++i) {
    const int32_t bp = int32_t(R255(ba * Ch(B, i)));
    const int32_t d = int32_t(Ch(F, i)) - bp;
    const int32_t v =
        d >= 0 ? bp + int32_t(R255(fa * uint32_t(d))) : bp - int32_t(R255(fa * uint32_t(-d)));
    c[i] = DivOracle(ra, uint32_t(v));
  }
  c[3] = ra;
  return Pack(c);
}

inline uint32_t MergeRegExOracle(TImplementationTier t, uint32_t F, uint32_t B, uint32_t M) {
  return MergeRegOracle(t, (F & 0x00FFFFFF) | R255(M * (F >> 24)) << 24, B);
}

}  // namespace gfx::testing
