#include "readers/codecs/PngFilters.h"

#include <cstdlib>

namespace readers {

uint8_t PaethPredictor(int Left, int Up, int UpperLeft) {
  const int estimate = Left + Up - UpperLeft;
  const int toLeft = std::abs(estimate - Left);
  const int toUp = std::abs(estimate - Up);
  const int toUpperLeft = std::abs(estimate - UpperLeft);
  if (toLeft <= toUp && toLeft <= toUpperLeft) return static_cast<uint8_t>(Left);
  if (toUp <= toUpperLeft) return static_cast<uint8_t>(Up);
  return static_cast<uint8_t>(UpperLeft);
}

namespace {

// The first BytesPerPixel bytes have no left neighbour; the loops after them do.
void UndoSub(uint8_t* Row, size_t Count, size_t Bpp) {
  for (size_t x = Bpp; x < Count; ++x) Row[x] = static_cast<uint8_t>(Row[x] + Row[x - Bpp]);
}

void UndoUp(uint8_t* Row, const uint8_t* Previous, size_t Count) {
  for (size_t x = 0; x < Count; ++x) Row[x] = static_cast<uint8_t>(Row[x] + Previous[x]);
}

void UndoAverage(uint8_t* Row, const uint8_t* Previous, size_t Count, size_t Bpp) {
  for (size_t x = 0; x < Bpp && x < Count; ++x)
    Row[x] = static_cast<uint8_t>(Row[x] + (Previous[x] >> 1));
  for (size_t x = Bpp; x < Count; ++x)
    Row[x] = static_cast<uint8_t>(Row[x] + ((Row[x - Bpp] + Previous[x]) >> 1));
}

// Branch-free form of the predictor for the inner loop: same choices, same tie order.
inline int PaethFast(int Left, int Up, int UpperLeft) {
  const int toLeft = std::abs(Up - UpperLeft);
  const int toUp = std::abs(Left - UpperLeft);
  const int toUpperLeft = std::abs(Left + Up - 2 * UpperLeft);
  const int choice = toUp <= toUpperLeft ? Up : UpperLeft;
  return toLeft <= toUp && toLeft <= toUpperLeft ? Left : choice;
}

void UndoPaeth(uint8_t* Row, const uint8_t* Previous, size_t Count, size_t Bpp) {
  for (size_t x = 0; x < Bpp && x < Count; ++x)
    Row[x] = static_cast<uint8_t>(Row[x] + Previous[x]);  // left and upper-left are 0
  for (size_t x = Bpp; x < Count; ++x)
    Row[x] = static_cast<uint8_t>(Row[x] + PaethFast(Row[x - Bpp], Previous[x], Previous[x - Bpp]));
}

}  // namespace

void ApplyFilter(uint8_t FilterType, uint8_t* Row, const uint8_t* Previous, size_t Count,
                 uint32_t BytesPerPixel) {
  switch (FilterType) {
    case 1:
      return UndoSub(Row, Count, BytesPerPixel);
    case 2:
      return UndoUp(Row, Previous, Count);
    case 3:
      return UndoAverage(Row, Previous, Count, BytesPerPixel);
    case 4:
      return UndoPaeth(Row, Previous, Count, BytesPerPixel);
    default:
      return;
  }
}

}  // namespace readers
