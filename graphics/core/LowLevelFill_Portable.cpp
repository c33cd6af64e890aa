#include "graphics/core/LowLevelFill.h"

#include <cstddef>

namespace gfx::fill {

void FillLongword_Portable(void* Dest, int32_t Count, uint32_t Value) {
  uint32_t* words = static_cast<uint32_t*>(Dest);
  for (int32_t i = Count - 1; i >= 0; --i) words[i] = Value;
}

void FillLongword_Int(void* Dest, int32_t Count, uint32_t Value) {
  if (Count <= 0) return;
#if defined(__x86_64__) || defined(__i386__)
  std::size_t n = std::size_t(Count);
  asm volatile("rep stosl" : "+D"(Dest), "+c"(n) : "a"(Value) : "memory");
#else
  uint32_t* words = static_cast<uint32_t*>(Dest);
  for (int32_t i = 0; i < Count; ++i) words[i] = Value;
#endif
}

}  // namespace gfx::fill
