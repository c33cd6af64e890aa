// Reconstruction of PNG rows from their filtered bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace readers {

uint8_t PaethPredictor(int Left, int Up, int UpperLeft);

// Undoes filter FilterType (0 None, 1 Sub, 2 Up, 3 Average, 4 Paeth) in place over Count bytes
// of Row, with Previous the reconstructed row above (zeros for the first row of a pass) and
// BytesPerPixel the distance to the left neighbour. Other filter types leave the row as it is.
void ApplyFilter(uint8_t FilterType, uint8_t* Row, const uint8_t* Previous, size_t Count,
                 uint32_t BytesPerPixel);

}  // namespace readers
