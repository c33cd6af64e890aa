// Per-pixel blend, merge, combine and colour-arithmetic routines, bound at engine start-up to the
// best implementation for the processor, and the lookup tables they share.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx {

using TBlendReg = TColor32 (*)(TColor32 F, TColor32 B);
using TBlendMem = void (*)(TColor32 F, TColor32& B);
using TBlendRegEx = TColor32 (*)(TColor32 F, TColor32 B, TColor32 M);
using TBlendMemEx = void (*)(TColor32 F, TColor32& B, TColor32 M);
using TBlendLine = void (*)(const TColor32* Src, TColor32* Dst, int32_t Count);
using TBlendLineEx = void (*)(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 M);
using TCombineReg = TColor32 (*)(TColor32 X, TColor32 Y, TColor32 W);
using TCombineMem = void (*)(TColor32 X, TColor32& Y, TColor32 W);
using TCombineLine = void (*)(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 W);
using TLightenReg = TColor32 (*)(TColor32 C, int32_t Amount);
using TEMMS = void (*)();

// Function IDs of the "Blend bindings" registry.
enum TBlendFunctionID : int32_t {
  FID_EMMS,
  FID_MergeReg,
  FID_MergeMem,
  FID_MergeLine,
  FID_MergeRegEx,
  FID_MergeMemEx,
  FID_MergeLineEx,
  FID_CombineReg,
  FID_CombineMem,
  FID_CombineLine,
  FID_BlendReg,
  FID_BlendMem,
  FID_BlendLine,
  FID_BlendRegEx,
  FID_BlendMemEx,
  FID_BlendLineEx,
  FID_ColorMax,
  FID_ColorMin,
  FID_ColorAverage,
  FID_ColorAdd,
  FID_ColorSub,
  FID_ColorDiv,
  FID_ColorModulate,
  FID_ColorDifference,
  FID_ColorExclusion,
  FID_ColorScale,
  FID_LightenReg,
};

// Routine variables; line forms do nothing for Count <= 0. Call EMMS once after a run of calls.
extern TEMMS EMMS;
extern TBlendReg MergeReg;
extern TBlendMem MergeMem;
extern TBlendLine MergeLine;
extern TBlendRegEx MergeRegEx;
extern TBlendMemEx MergeMemEx;
extern TBlendLineEx MergeLineEx;
extern TCombineReg CombineReg;
extern TCombineMem CombineMem;
extern TCombineLine CombineLine;
extern TBlendReg BlendReg;
extern TBlendMem BlendMem;
extern TBlendLine BlendLine;
extern TBlendRegEx BlendRegEx;
extern TBlendMemEx BlendMemEx;
extern TBlendLineEx BlendLineEx;

// Channel-wise arithmetic; every channel, alpha included, unless said otherwise.
extern TBlendReg ColorMax;
extern TBlendReg ColorMin;
extern TBlendReg ColorAverage;
extern TBlendReg ColorAdd;
extern TBlendReg ColorSub;
// C2 divided by C1, scaled by 256.
extern TBlendReg ColorDiv;
extern TBlendReg ColorModulate;
extern TBlendReg ColorDifference;
extern TBlendReg ColorExclusion;
// (C, W): W in 0..255.
extern TBlendReg ColorScale;
// Red, green and blue moved by Amount (-255..255); alpha kept.
extern TLightenReg LightenReg;

// Addresses of the routine variables by combine mode, so that later rebinding is seen by holders.
extern const std::array<TBlendMem*, 2> BlendMemProcs;
extern const std::array<TBlendMemEx*, 2> BlendMemExProcs;
extern const std::array<TBlendLine*, 2> BlendLineProcs;
extern const std::array<TBlendLineEx*, 2> BlendLineExProcs;

// Blending with a master alpha, per pixel or per row, through the routines bound for a combine
// mode when it is made: at full master alpha the plain forms, which copy an opaque pixel exactly
// on every tier; below it the Ex forms.
class TMasterBlend {
 public:
  TMasterBlend(TCombineMode Mode, TColor32 Master)
      : master_(Master),
        mem_(Master >= 255 ? *BlendMemProcs[Mode] : nullptr),
        memEx_(*BlendMemExProcs[Mode]),
        line_(Master >= 255 ? *BlendLineProcs[Mode] : nullptr),
        lineEx_(*BlendLineExProcs[Mode]) {}
  void Pixel(TColor32 F, TColor32& B) const {
    if (mem_)
      mem_(F, B);
    else
      memEx_(F, B, master_);
  }
  void Row(const TColor32* Src, TColor32* Dst, int32_t Count) const {
    if (line_)
      line_(Src, Dst, Count);
    else
      lineEx_(Src, Dst, Count, master_);
  }

 private:
  TColor32 master_;
  TBlendMem mem_;
  TBlendMemEx memEx_;
  TBlendLine line_;
  TBlendLineEx lineEx_;
};

// T[a][x] = Round(a * x / 255); symmetric.
extern std::array<std::array<uint8_t, 256>, 256> AlphaMulTable;
// D[a][x] = low byte of Round(x * 255 / a), half to even; row 0 is zero.
extern std::array<std::array<uint8_t, 256>, 256> AlphaDivTable;
// Entry i holds i in eight 16-bit lanes; nullptr on processors without MMX and SSE2.
using TAlphaWordEntry = uint16_t[8];
extern const TAlphaWordEntry* AlphaWordTable;
extern const TAlphaWordEntry* AlphaBias;  // entry 128
// Set when the processor has MMX: loops using MMX must end the MMX state.
extern bool MMXActive;

void BuildBlendTables();
// Creates the "Blend bindings" registry and binds every routine variable.
void StartBlend();

}  // namespace gfx
