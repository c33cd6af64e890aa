#include "graphics/core/LowLevel.h"

#include <cmath>
#include <cstring>

#include "graphics/core/LowLevelFill.h"
#include "graphics/core/System.h"
#include "platform/runtime/SysUtils.h"

namespace gfx {

// Usable before start-up; StartLowLevel upgrades it.
TFillLongword FillLongword = fill::FillLongword_Int;

void StartLowLevel() {
  TFunctionRegistry& registry = NewRegistry("LowLevel bindings");
  registry.RegisterBinding(FillLongwordID, &FillLongword);
  registry.Add(FillLongwordID, fill::FillLongword_Portable, 0, tierPortable);
  registry.Add(FillLongwordID, fill::FillLongword_Int, 0, tierInteger);
#if defined(__x86_64__) || defined(__i386__)
  registry.Add(FillLongwordID, fill::FillLongword_MMX, SetOf(isMMX), tierMMX);
  registry.Add(FillLongwordID, fill::FillLongword_SSE2, SetOf(isSSE2), tierSSE2);
#endif
  registry.RebindAll();
}

void MoveLongword(const void* Source, void* Dest, int32_t Count) {
  if (Source == Dest || Count <= 0) return;
  // memmove keeps the ascending copy's result for Dest before Source as well.
  std::memmove(Dest, Source, size_t(Count) * 4);
}

int32_t ClampRange(int32_t Value, int32_t Lo, int32_t Hi) {
  return Constrain(Value, Lo, Hi);
}

namespace {

int64_t WrapRangeSize(int32_t Lo, int32_t Hi) {
  if (Hi < Lo) throw plat::ERangeError("Cannot wrap a coordinate into an empty range");
  return int64_t(Hi) - Lo + 1;
}

}  // namespace

// Wrapping computed in 64 bits so that no range or value overflows.
int32_t Wrap(int32_t Value, int32_t Lo, int32_t Hi) {
  const int64_t n = WrapRangeSize(Lo, Hi);
  if (Value >= Lo) return int32_t((int64_t(Value) - Lo) % n + Lo);
  return int32_t((int64_t(Value) - Hi) % n + Hi);
}

int32_t Mirror(int32_t Value, int32_t Lo, int32_t Hi) {
  const int64_t n = WrapRangeSize(Lo, Hi);
  const int64_t base = Value >= Lo ? Lo : Hi;
  const int64_t offset = int64_t(Value) - base;
  const int64_t periods = offset / n;
  const int64_t result = offset % n + base;
  return int32_t(periods % 2 != 0 ? int64_t(Lo) + Hi - result : result);
}

int32_t WrapPow2(int32_t Value, int32_t Lo, int32_t Hi) {
  return int32_t(uint32_t(Lo) + ((uint32_t(Value) - uint32_t(Lo)) & (uint32_t(Hi) - uint32_t(Lo))));
}

int32_t MirrorPow2(int32_t Value, int32_t Lo, int32_t Hi) {
  const uint32_t offset = uint32_t(Value) - uint32_t(Lo);
  const uint32_t mask = uint32_t(Hi) - uint32_t(Lo);
  if ((offset & (mask + 1)) != 0) return int32_t(uint32_t(Hi) - (offset & mask));
  return int32_t(uint32_t(Lo) + (offset & mask));
}

// A subtraction loop would never end for a huge Value or a Max of 0; fmod is exact instead.
float FloatWrap(float Value, float Max) {
  if (!(Max > 0) || !std::isfinite(Value) || !std::isfinite(Max)) return Value;
  float r = std::fmod(Value, Max);
  if (r < 0) r += Max;
  return r;
}

namespace {

bool IsPow2Range(int32_t Lo, int32_t Hi) {
  return 0 <= Lo && Lo <= Hi && IsPowerOf2(int32_t(int64_t(Hi) - Lo + 1));
}

}  // namespace

TWrapProc PickWrapProc(int32_t Lo, int32_t Hi) {
  return IsPow2Range(Lo, Hi) ? WrapPow2 : Wrap;
}

TWrapProc PickMirrorProc(int32_t Lo, int32_t Hi) {
  return IsPow2Range(Lo, Hi) ? MirrorPow2 : Mirror;
}

TWrapProc GetWrapProc(TWrapMode Mode) {
  switch (Mode) {
    case wmRepeat:
      return Wrap;
    case wmMirror:
      return Mirror;
    default:
      return ClampRange;
  }
}

TWrapProc GetWrapProcEx(TWrapMode Mode, int32_t Lo, int32_t Hi) {
  switch (Mode) {
    case wmRepeat:
      return PickWrapProc(Lo, Hi);
    case wmMirror:
      return PickMirrorProc(Lo, Hi);
    default:
      return ClampRange;
  }
}

}  // namespace gfx
