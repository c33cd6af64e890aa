#include "graphics/filters/FiltersMask.h"

namespace gfx::masks {

template <class Op>
void MaskLine_Int(TColor32* Dst, TColor32 Mask, int32_t Count) {
  if (Count <= 0) return;
  int32_t i = 0;
  for (; i + 16 <= Count; i += 16) {
    TColor32* block = Dst + i;
    for (int j = 0; j < 16; ++j) block[j] = Op::Apply(block[j], Mask);
  }
  for (; i < Count; ++i) Dst[i] = Op::Apply(Dst[i], Mask);
}

template <class Op>
void MaskLineCopy_Int(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = Op::Apply(Src[i], Mask);
}

#define INSTANTIATE(Op)                                         \
  template void MaskLine_Int<Op>(TColor32*, TColor32, int32_t); \
  template void MaskLineCopy_Int<Op>(const TColor32*, TColor32*, int32_t, TColor32);
INSTANTIATE(AndOp)
INSTANTIATE(OrOp)
INSTANTIATE(XorOp)
#undef INSTANTIATE

}  // namespace gfx::masks
