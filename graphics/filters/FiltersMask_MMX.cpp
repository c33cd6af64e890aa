#include "graphics/filters/FiltersMask.h"

#include "graphics/core/LowLevel.h"

#if defined(__x86_64__) || defined(__i386__)

#include <mmintrin.h>
#include <xmmintrin.h>

#include <cstring>
#include <type_traits>

namespace gfx::masks {

namespace {

template <class Op>
__m64 Apply64(__m64 pixels, __m64 mask);
template <>
__m64 Apply64<AndOp>(__m64 pixels, __m64 mask) {
  return _mm_and_si64(pixels, mask);
}
template <>
__m64 Apply64<OrOp>(__m64 pixels, __m64 mask) {
  return _mm_or_si64(pixels, mask);
}
template <>
__m64 Apply64<XorOp>(__m64 pixels, __m64 mask) {
  return _mm_xor_si64(pixels, mask);
}

inline __m64 Load(const TColor32* p) {
  __m64 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

struct PlainStore {
  static void Store(TColor32* p, __m64 v) { std::memcpy(p, &v, sizeof v); }
};
// Non-temporal store: the destination is not read back soon, so it stays out of the cache.
struct StreamStore {
  static void Store(TColor32* p, __m64 v) { _mm_stream_pi(reinterpret_cast<__m64*>(p), v); }
};

// Sixteen pixels (eight 64-bit words) per step, the remainder one by one.
template <class Op, class Storage>
void CopyBlocks(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask) {
  if (Count <= 0) return;
  const __m64 mask = _mm_set1_pi32(static_cast<int>(Mask));
  const int32_t blocks = DestinationAhead(Src, Dst, 2) ? 0 : Count;
  int32_t i = 0;
  for (; i + 16 <= blocks; i += 16) {
    for (int j = 0; j < 16; j += 2)
      Storage::Store(Dst + i + j, Apply64<Op>(Load(Src + i + j), mask));
  }
  _mm_empty();
  if constexpr (std::is_same_v<Storage, StreamStore>) _mm_sfence();
  for (; i < Count; ++i) Dst[i] = Op::Apply(Src[i], Mask);
}

}  // namespace

template <class Op>
void MaskLineCopy_MMX(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask) {
  CopyBlocks<Op, PlainStore>(Src, Dst, Count, Mask);
}

template <class Op>
void MaskLineCopy_EMMX(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask) {
  CopyBlocks<Op, StreamStore>(Src, Dst, Count, Mask);
}

#define INSTANTIATE(Op)                                                              \
  template void MaskLineCopy_MMX<Op>(const TColor32*, TColor32*, int32_t, TColor32); \
  template void MaskLineCopy_EMMX<Op>(const TColor32*, TColor32*, int32_t, TColor32);
INSTANTIATE(AndOp)
INSTANTIATE(OrOp)
INSTANTIATE(XorOp)
#undef INSTANTIATE

}  // namespace gfx::masks

#endif
