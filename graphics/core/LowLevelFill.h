// The FillLongword implementations, one per processor tier; LowLevel.cpp registers them.
#pragma once

#include <cstdint>

namespace gfx::fill {

void FillLongword_Portable(void* Dest, int32_t Count, uint32_t Value);
// One repeated-string store.
void FillLongword_Int(void* Dest, int32_t Count, uint32_t Value);
#if defined(__x86_64__) || defined(__i386__)
void FillLongword_MMX(void* Dest, int32_t Count, uint32_t Value);
void FillLongword_SSE2(void* Dest, int32_t Count, uint32_t Value);
#endif

}  // namespace gfx::fill
