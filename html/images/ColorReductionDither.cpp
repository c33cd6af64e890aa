// Serpentine dithering engines of colour reduction.
#include "html/images/ColorReductionDither.h"

#include <algorithm>

namespace html {

uint8_t TDitherEngine::Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                              uint8_t& b) {
  const uint8_t index = lookup_.Lookup(red, green, blue, r, g, b);
  column_ += direction_;
  return index;
}

void TDitherEngine::NextLine() {
  direction_ = -direction_;
  column_ = direction_ == 1 ? 0 : width_ - 1;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup) {
  for (Channel& channel : channels_) channel.errors.assign(size_t(width) + 2, 0);
}

uint8_t TFloydSteinbergEngine::Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r,
                                      uint8_t& g, uint8_t& b) {
  const int d = direction_;
  const uint8_t source[3] = {red, green, blue};
  uint8_t corrected[3];
  for (size_t i = 0; i < 3; ++i) {
    const Channel& c = channels_[i];
    // Division truncates towards zero, as the rounding of the sixteenths expects.
    const int32_t value = (c.errors[size_t(position_ + d)] + c.carried + 8) / 16 + source[i];
    corrected[i] = uint8_t(std::clamp(value, 0, 255));
  }
  const uint8_t index = TDitherEngine::Dither(corrected[0], corrected[1], corrected[2], r, g, b);
  const uint8_t chosen[3] = {r, g, b};
  for (size_t i = 0; i < 3; ++i) {
    Channel& c = channels_[i];
    const int32_t error = int32_t(corrected[i]) - chosen[i];
    c.errors[size_t(position_)] = c.belowNext + 3 * error;
    c.belowNext = c.belowPrev + 5 * error;
    c.belowPrev = error;
    c.carried = 7 * error;
  }
  position_ += d;
  return index;
}

void TFloydSteinbergEngine::NextLine() {
  for (Channel& c : channels_) {
    c.errors[size_t(position_)] = c.belowNext;
    c.carried = c.belowPrev = c.belowNext = 0;
  }
  TDitherEngine::NextLine();
  position_ = direction_ == 1 ? 0 : width_ + 1;
}

}  // namespace html
