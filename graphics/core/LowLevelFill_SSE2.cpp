#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#include "graphics/core/LowLevelFill.h"

namespace gfx::fill {

void FillLongword_SSE2(void* Dest, int32_t Count, uint32_t Value) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(Dest);
  if (Count < 32 || address % 4 != 0) return FillLongword_Int(Dest, Count, Value);
  uint32_t* words = static_cast<uint32_t*>(Dest);
  // 1 to 4 single stores reach the next 16-byte boundary (4 when already there).
  const int32_t head = 4 - int32_t((address / 4) % 4);
  for (int32_t i = 0; i < head; ++i) words[i] = Value;
  words += head;
  Count -= head;
  const __m128i quad = _mm_set1_epi32(int32_t(Value));
  __m128i* blocks = reinterpret_cast<__m128i*>(words);
  const int32_t quads = Count >> 2;
  int32_t i = 0;
  for (; i + 4 <= quads; i += 4) {
    _mm_store_si128(blocks + i, quad);
    _mm_store_si128(blocks + i + 1, quad);
    _mm_store_si128(blocks + i + 2, quad);
    _mm_store_si128(blocks + i + 3, quad);
  }
  for (; i < quads; ++i) _mm_store_si128(blocks + i, quad);
  FillLongword_Int(words + 4 * quads, Count & 3, Value);
}

}  // namespace gfx::fill
#endif
