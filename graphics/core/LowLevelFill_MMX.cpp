#if defined(__x86_64__) || defined(__i386__)
#include <mmintrin.h>

#include <cstring>

#include "graphics/core/LowLevelFill.h"

namespace gfx::fill {

void FillLongword_MMX(void* Dest, int32_t Count, uint32_t Value) {
  if (Count <= 0) return;
  uint32_t* words = static_cast<uint32_t*>(Dest);
  if (Count & 1) *words++ = Value;
  if (Count == 1) return;
  const __m64 pair = _mm_set1_pi32(int32_t(Value));
  for (int32_t i = Count >> 1; i > 0; --i, words += 2) std::memcpy(words, &pair, sizeof pair);
  _mm_empty();
}

}  // namespace gfx::fill
#endif
