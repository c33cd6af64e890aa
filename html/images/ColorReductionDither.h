// Choosing palette colours row by row, alternately left to right and right to left.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "html/images/ColorReductionLookup.h"

namespace html {

// The nearest colour, no error diffusion.
class TDitherEngine {
 public:
  TDitherEngine(int width, TColorLookup& lookup) : width_(width), lookup_(lookup) {}
  virtual ~TDitherEngine() = default;

  // The index for the pixel at Column(); r, g, b receive its colour. Moves Column() on.
  virtual uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                         uint8_t& b);
  // Turns round for the next row.
  virtual void NextLine();

  int Direction() const { return direction_; }
  int Column() const { return column_; }
  int Width() const { return width_; }

 protected:
  int direction_ = 1;
  int column_ = 0;
  int width_;
  TColorLookup& lookup_;
};

// Floyd-Steinberg in sixteenths: 7 to the next pixel of the row, 3, 5 and 1 to the pixels
// below behind, below and below ahead.
class TFloydSteinbergEngine : public TDitherEngine {
 public:
  TFloydSteinbergEngine(int width, TColorLookup& lookup);
  uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                 uint8_t& b) override;
  void NextLine() override;

 private:
  struct Channel {
    // The error for column c sits in slot c + 1; the slots at both ends are spare.
    std::vector<int32_t> errors;
    int32_t carried = 0;
    int32_t belowPrev = 0;
    int32_t belowNext = 0;
  };
  std::array<Channel, 3> channels_;  // red, green, blue
  int position_ = 0;
};

}  // namespace html
