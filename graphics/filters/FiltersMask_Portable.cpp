#include "graphics/filters/FiltersMask.h"

namespace gfx::masks {

template <class Op>
void MaskLine_Portable(TColor32* Dst, TColor32 Mask, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = Op::Apply(Dst[i], Mask);
}

template <class Op>
void MaskLineCopy_Portable(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = Op::Apply(Src[i], Mask);
}

#define INSTANTIATE(Op)                                              \
  template void MaskLine_Portable<Op>(TColor32*, TColor32, int32_t); \
  template void MaskLineCopy_Portable<Op>(const TColor32*, TColor32*, int32_t, TColor32);
INSTANTIATE(AndOp)
INSTANTIATE(OrOp)
INSTANTIATE(XorOp)
#undef INSTANTIATE

}  // namespace gfx::masks
