// Row filter routines per processor tier; ApplyFilter picks among them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace readers {

// Paeth over whole pixels of 3 or 4 bytes, one pixel per step in vector lanes.
void UndoPaethPixels_SSE2(uint8_t* Row, const uint8_t* Previous, size_t Count, size_t Bpp);

}  // namespace readers
