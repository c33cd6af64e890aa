// Filling and copying runs of 32-bit words, clamps, and the coordinate wrap procedures.
#pragma once

#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx {

// Stores Value into Count words from Dest; Count must not be negative. Bound at engine start-up.
using TFillLongword = void (*)(void* Dest, int32_t Count, uint32_t Value);
extern TFillLongword FillLongword;

// Ascending copy; nothing when Source == Dest. Dest after Source with overlap is not supported.
void MoveLongword(const void* Source, void* Dest, int32_t Count);

// True when Dst starts 1 to Block - 1 pixels after Src: a routine that reads Block pixels before
// writing them would miss what it wrote just before, so such a run goes pixel by pixel.
inline bool DestinationAhead(const TColor32* Src, const TColor32* Dst, int32_t Block) {
  const auto gap = reinterpret_cast<uintptr_t>(Dst) - reinterpret_cast<uintptr_t>(Src);
  return gap != 0 && gap < uintptr_t(Block) * sizeof(TColor32);
}

inline constexpr int32_t FillLongwordID = 0;
// Creates the "LowLevel bindings" registry and binds FillLongword.
void StartLowLevel();

// ---- Integer helpers ----

constexpr int32_t Clamp(int32_t Value) {
  return Value < 0 ? 0 : Value > 255 ? 255 : Value;
}

template <class T>
constexpr void Swap(T& A, T& B) {
  T t = A;
  A = B;
  B = t;
}

// Afterwards A <= B.
constexpr void TestSwap(int32_t& A, int32_t& B) {
  if (B < A) Swap(A, B);
}

// Orders A, B, then clips them to [Start, Stop - 1]; true when something is left. Nothing is
// left below a Stop of INT32_MIN (B keeps its value then).
constexpr bool TestClip(int32_t& A, int32_t& B, int32_t Start, int32_t Stop) {
  TestSwap(A, B);
  if (Start > A) A = Start;
  if (B >= Stop) {
    if (Stop == INT32_MIN) return false;
    B = Stop - 1;
  }
  return B >= A;
}

// Hi wins when Lo > Hi.
constexpr int32_t Constrain(int32_t Value, int32_t Lo, int32_t Hi) {
  const int32_t v = Value < Lo ? Lo : Value;
  return v > Hi ? Hi : v;
}

constexpr int32_t ClampMax(int32_t Value, int32_t Max) {
  return Value > Max ? Max : Value >= 0 ? Value : 0;
}

// Truncating quotient; the remainder takes the dividend's sign. Divisor must not be 0; the one
// quotient beyond 32 bits (INT32_MIN / -1) wraps to INT32_MIN.
constexpr int32_t DivMod(int32_t Dividend, int32_t Divisor, int32_t& Remainder) {
  Remainder = int32_t(int64_t(Dividend) % Divisor);
  return int32_t(uint32_t(int64_t(Dividend) / Divisor));
}

// Value div 255 for every product of two bytes.
constexpr uint32_t Div255(uint32_t Value) {
  return (Value * 32897u) >> 23;
}

// ---- Wrap procedures: map Value into [Lo, Hi] ----
// Wrap and Mirror raise ERangeError for an empty range (Hi < Lo): there is nothing to map into.

using TWrapProc = int32_t (*)(int32_t Value, int32_t Lo, int32_t Hi);

int32_t ClampRange(int32_t Value, int32_t Lo, int32_t Hi);
int32_t Wrap(int32_t Value, int32_t Lo, int32_t Hi);
int32_t Mirror(int32_t Value, int32_t Lo, int32_t Hi);
// Valid when Hi - Lo + 1 is a power of two.
int32_t WrapPow2(int32_t Value, int32_t Lo, int32_t Hi);
int32_t MirrorPow2(int32_t Value, int32_t Lo, int32_t Hi);

// Value moved into [0, Max) by whole periods.
float FloatWrap(float Value, float Max);

TWrapProc PickWrapProc(int32_t Lo, int32_t Hi);
TWrapProc PickMirrorProc(int32_t Lo, int32_t Hi);
TWrapProc GetWrapProc(TWrapMode Mode);
TWrapProc GetWrapProcEx(TWrapMode Mode, int32_t Lo, int32_t Hi);

}  // namespace gfx
