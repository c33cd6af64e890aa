// The mask line implementations, one set per processor tier; FiltersBindings.cpp registers them.
#pragma once

#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx::masks {

struct AndOp {
  static TColor32 Apply(TColor32 C, TColor32 Mask) { return C & Mask; }
};
struct OrOp {
  static TColor32 Apply(TColor32 C, TColor32 Mask) { return C | Mask; }
};
struct XorOp {
  static TColor32 Apply(TColor32 C, TColor32 Mask) { return C ^ Mask; }
};

template <class Op>
void MaskLine_Portable(TColor32* Dst, TColor32 Mask, int32_t Count);
template <class Op>
void MaskLineCopy_Portable(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask);

// Sixteen pixels per step in place; the copying forms go pixel by pixel.
template <class Op>
void MaskLine_Int(TColor32* Dst, TColor32 Mask, int32_t Count);
template <class Op>
void MaskLineCopy_Int(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask);

#if defined(__x86_64__) || defined(__i386__)
// Two pixels per 64-bit operation; the extended form stores around the cache.
template <class Op>
void MaskLineCopy_MMX(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask);
template <class Op>
void MaskLineCopy_EMMX(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask);
#endif

}  // namespace gfx::masks
