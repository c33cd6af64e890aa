#include "graphics/core/Blend.h"

#include <cmath>

#include "graphics/core/BlendTiers.h"
#include "graphics/core/System.h"

namespace gfx {

// Usable before start-up; StartBlend upgrades them.
TEMMS EMMS = EMMS_None;
TBlendReg MergeReg = blend_portable::MergeReg;
TBlendMem MergeMem = blend_portable::MergeMem;
TBlendLine MergeLine = blend_portable::MergeLine;
TBlendRegEx MergeRegEx = blend_portable::MergeRegEx;
TBlendMemEx MergeMemEx = blend_portable::MergeMemEx;
TBlendLineEx MergeLineEx = blend_portable::MergeLineEx;
TCombineReg CombineReg = blend_portable::CombineReg;
TCombineMem CombineMem = blend_portable::CombineMem;
TCombineLine CombineLine = blend_portable::CombineLine;
TBlendReg BlendReg = blend_portable::BlendReg;
TBlendMem BlendMem = blend_portable::BlendMem;
TBlendLine BlendLine = blend_portable::BlendLine;
TBlendRegEx BlendRegEx = blend_portable::BlendRegEx;
TBlendMemEx BlendMemEx = blend_portable::BlendMemEx;
TBlendLineEx BlendLineEx = blend_portable::BlendLineEx;
TBlendReg ColorMax = color_portable::ColorMax;
TBlendReg ColorMin = color_portable::ColorMin;
TBlendReg ColorAverage = color_portable::ColorAverage;
TBlendReg ColorAdd = color_portable::ColorAdd;
TBlendReg ColorSub = color_portable::ColorSub;
TBlendReg ColorDiv = color_portable::ColorDiv;
TBlendReg ColorModulate = color_portable::ColorModulate;
TBlendReg ColorDifference = color_portable::ColorDifference;
TBlendReg ColorExclusion = color_portable::ColorExclusion;
TBlendReg ColorScale = color_portable::ColorScale;
TLightenReg LightenReg = color_portable::LightenReg;

const std::array<TBlendMem*, 2> BlendMemProcs = {&BlendMem, &MergeMem};
const std::array<TBlendMemEx*, 2> BlendMemExProcs = {&BlendMemEx, &MergeMemEx};
const std::array<TBlendLine*, 2> BlendLineProcs = {&BlendLine, &MergeLine};
const std::array<TBlendLineEx*, 2> BlendLineExProcs = {&BlendLineEx, &MergeLineEx};

std::array<std::array<uint8_t, 256>, 256> AlphaMulTable;
std::array<std::array<uint8_t, 256>, 256> AlphaDivTable;
const TAlphaWordEntry* AlphaWordTable = nullptr;
const TAlphaWordEntry* AlphaBias = nullptr;
bool MMXActive = false;

namespace {

alignas(16) TAlphaWordEntry alphaWords[256];

}  // namespace

void BuildBlendTables() {
  for (int a = 0; a < 256; ++a)
    for (int x = 0; x < 256; ++x) {
      AlphaMulTable[a][x] = uint8_t(std::lrint(a * x * (1.0 / 255)));
      AlphaDivTable[a][x] = a == 0 ? 0 : uint8_t(std::lrint(x * 255.0 / a) & 0xFF);
    }
  const TInstructionSets features = CPUFeatures();
  MMXActive = features & SetOf(isMMX);
  if (features & (SetOf(isMMX) | SetOf(isSSE2))) {
    for (int i = 0; i < 256; ++i)
      for (uint16_t& lane : alphaWords[i]) lane = uint16_t(i);
    AlphaWordTable = alphaWords;
    AlphaBias = &alphaWords[128];
  }
}

namespace {

void BindVariables(TFunctionRegistry& R) {
  R.RegisterBinding(FID_EMMS, &EMMS);
  R.RegisterBinding(FID_MergeReg, &MergeReg);
  R.RegisterBinding(FID_MergeMem, &MergeMem);
  R.RegisterBinding(FID_MergeLine, &MergeLine);
  R.RegisterBinding(FID_MergeRegEx, &MergeRegEx);
  R.RegisterBinding(FID_MergeMemEx, &MergeMemEx);
  R.RegisterBinding(FID_MergeLineEx, &MergeLineEx);
  R.RegisterBinding(FID_CombineReg, &CombineReg);
  R.RegisterBinding(FID_CombineMem, &CombineMem);
  R.RegisterBinding(FID_CombineLine, &CombineLine);
  R.RegisterBinding(FID_BlendReg, &BlendReg);
  R.RegisterBinding(FID_BlendMem, &BlendMem);
  R.RegisterBinding(FID_BlendLine, &BlendLine);
  R.RegisterBinding(FID_BlendRegEx, &BlendRegEx);
  R.RegisterBinding(FID_BlendMemEx, &BlendMemEx);
  R.RegisterBinding(FID_BlendLineEx, &BlendLineEx);
  R.RegisterBinding(FID_ColorMax, &ColorMax);
  R.RegisterBinding(FID_ColorMin, &ColorMin);
  R.RegisterBinding(FID_ColorAverage, &ColorAverage);
  R.RegisterBinding(FID_ColorAdd, &ColorAdd);
  R.RegisterBinding(FID_ColorSub, &ColorSub);
  R.RegisterBinding(FID_ColorDiv, &ColorDiv);
  R.RegisterBinding(FID_ColorModulate, &ColorModulate);
  R.RegisterBinding(FID_ColorDifference, &ColorDifference);
  R.RegisterBinding(FID_ColorExclusion, &ColorExclusion);
  R.RegisterBinding(FID_ColorScale, &ColorScale);
  R.RegisterBinding(FID_LightenReg, &LightenReg);
}

void AddPortable(TFunctionRegistry& R) {
  const int32_t tier = tierPortable;
  R.Add(FID_EMMS, EMMS_None, 0, tier);
  R.Add(FID_MergeMem, blend_portable::MergeMem, 0, tier);
  R.Add(FID_MergeMemEx, blend_portable::MergeMemEx, 0, tier);
  R.Add(FID_MergeRegEx, blend_portable::MergeRegEx, 0, tier);
  R.Add(FID_MergeLine, blend_portable::MergeLine, 0, tier);
  R.Add(FID_MergeLineEx, blend_portable::MergeLineEx, 0, tier);
  R.Add(FID_ColorDiv, color_portable::ColorDiv, 0, tier);
  R.Add(FID_ColorAverage, color_portable::ColorAverage, 0, tier);
  R.Add(FID_CombineReg, blend_portable::CombineReg, 0, tier);
  R.Add(FID_CombineMem, blend_portable::CombineMem, 0, tier);
  R.Add(FID_CombineLine, blend_portable::CombineLine, 0, tier);
  R.Add(FID_BlendReg, blend_portable::BlendReg, 0, tier);
  R.Add(FID_BlendMem, blend_portable::BlendMem, 0, tier);
  R.Add(FID_BlendLine, blend_portable::BlendLine, 0, tier);
  R.Add(FID_BlendRegEx, blend_portable::BlendRegEx, 0, tier);
  R.Add(FID_BlendMemEx, blend_portable::BlendMemEx, 0, tier);
  R.Add(FID_BlendLineEx, blend_portable::BlendLineEx, 0, tier);
  R.Add(FID_ColorMax, color_portable::ColorMax, 0, tier);
  R.Add(FID_ColorMin, color_portable::ColorMin, 0, tier);
  R.Add(FID_ColorAdd, color_portable::ColorAdd, 0, tier);
  R.Add(FID_ColorSub, color_portable::ColorSub, 0, tier);
  R.Add(FID_ColorModulate, color_portable::ColorModulate, 0, tier);
  R.Add(FID_ColorDifference, color_portable::ColorDifference, 0, tier);
  R.Add(FID_ColorExclusion, color_portable::ColorExclusion, 0, tier);
  R.Add(FID_ColorScale, color_portable::ColorScale, 0, tier);
  R.Add(FID_LightenReg, color_portable::LightenReg, 0, tier);
}

void AddInteger(TFunctionRegistry& R) {
  const int32_t tier = tierInteger;
  R.Add(FID_EMMS, EMMS_None, 0, tier);
  R.Add(FID_CombineReg, blend_int::CombineReg, 0, tier);
  R.Add(FID_CombineMem, blend_int::CombineMem, 0, tier);
  R.Add(FID_BlendReg, blend_int::BlendReg, 0, tier);
  R.Add(FID_BlendMem, blend_int::BlendMem, 0, tier);
  R.Add(FID_BlendRegEx, blend_int::BlendRegEx, 0, tier);
  R.Add(FID_BlendMemEx, blend_int::BlendMemEx, 0, tier);
  R.Add(FID_BlendLine, blend_int::BlendLine, 0, tier);
  R.Add(FID_LightenReg, color_portable::LightenReg, 0, tier);
}

#if defined(__x86_64__) || defined(__i386__)
void AddMMX(TFunctionRegistry& R) {
  const int32_t tier = tierMMX;
  const TInstructionSets mmx = SetOf(isMMX), extended = SetOf(isExtendedMMX);
  R.Add(FID_EMMS, blend_mmx::EMMS, mmx, tier);
  R.Add(FID_CombineReg, blend_mmx::CombineReg, mmx, tier);
  R.Add(FID_CombineMem, blend_mmx::CombineMem, mmx, tier);
  R.Add(FID_CombineLine, blend_mmx::CombineLine, mmx, tier);
  R.Add(FID_BlendReg, blend_mmx::BlendReg, mmx, tier);
  R.Add(FID_BlendMem, blend_mmx::BlendMem, mmx, tier);
  R.Add(FID_BlendRegEx, blend_mmx::BlendRegEx, mmx, tier);
  R.Add(FID_BlendMemEx, blend_mmx::BlendMemEx, mmx, tier);
  R.Add(FID_BlendLine, blend_mmx::BlendLine, mmx, tier);
  R.Add(FID_BlendLineEx, blend_mmx::BlendLineEx, mmx, tier);
  R.Add(FID_ColorMax, color_mmx::ColorMax, extended, tier);
  R.Add(FID_ColorMin, color_mmx::ColorMin, extended, tier);
  R.Add(FID_ColorAdd, color_mmx::ColorAdd, mmx, tier);
  R.Add(FID_ColorSub, color_mmx::ColorSub, mmx, tier);
  R.Add(FID_ColorModulate, color_mmx::ColorModulate, mmx, tier);
  R.Add(FID_ColorDifference, color_mmx::ColorDifference, mmx, tier);
  R.Add(FID_ColorExclusion, color_mmx::ColorExclusion, mmx, tier);
  R.Add(FID_ColorScale, color_mmx::ColorScale, mmx, tier);
  R.Add(FID_LightenReg, color_mmx::LightenReg, mmx, tier);
}

void AddSSE2(TFunctionRegistry& R) {
  const int32_t tier = tierSSE2;
  const TInstructionSets sse2 = SetOf(isSSE2);
  R.Add(FID_EMMS, EMMS_None, sse2, tier);
  R.Add(FID_CombineReg, blend_sse2::CombineReg, sse2, tier);
  R.Add(FID_CombineMem, blend_sse2::CombineMem, sse2, tier);
  R.Add(FID_CombineLine, blend_sse2::CombineLine, sse2, tier);
  R.Add(FID_BlendReg, blend_sse2::BlendReg, sse2, tier);
  R.Add(FID_BlendMem, blend_sse2::BlendMem, sse2, tier);
  R.Add(FID_BlendMemEx, blend_sse2::BlendMemEx, sse2, tier);
  R.Add(FID_BlendLine, blend_sse2::BlendLine, sse2, tier);
  R.Add(FID_BlendLineEx, blend_sse2::BlendLineEx, sse2, tier);
  R.Add(FID_BlendRegEx, blend_sse2::BlendRegEx, sse2, tier);
  R.Add(FID_ColorMax, color_sse2::ColorMax, sse2, tier);
  R.Add(FID_ColorMin, color_sse2::ColorMin, sse2, tier);
  R.Add(FID_ColorAdd, color_sse2::ColorAdd, sse2, tier);
  R.Add(FID_ColorSub, color_sse2::ColorSub, sse2, tier);
  R.Add(FID_ColorModulate, color_sse2::ColorModulate, sse2, tier);
  R.Add(FID_ColorDifference, color_sse2::ColorDifference, sse2, tier);
  R.Add(FID_ColorExclusion, color_sse2::ColorExclusion, sse2, tier);
  R.Add(FID_ColorScale, color_sse2::ColorScale, sse2, tier);
  R.Add(FID_LightenReg, color_sse2::LightenReg, sse2, tier);
}
#endif

}  // namespace

void StartBlend() {
  TFunctionRegistry& registry = NewRegistry("Blend bindings");
  BindVariables(registry);
  AddPortable(registry);
  AddInteger(registry);
#if defined(__x86_64__) || defined(__i386__)
  AddMMX(registry);
  AddSSE2(registry);
#endif
  // The table-driven merge goes last so that it is bound on every processor.
  registry.Add(FID_MergeReg, blend_portable::MergeReg, 0, tierPortable);
  registry.RebindAll();
}

}  // namespace gfx
