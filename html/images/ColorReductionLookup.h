// Nearest palette colour of a colour.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/drawing/Palette.h"

namespace html {

class TColorLookup {
 public:
  virtual ~TColorLookup() = default;
  // The palette index for (red, green, blue); r, g, b receive that entry's colour.
  virtual uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                         uint8_t& b) = 0;
  int Colors() const { return colors_; }

 protected:
  int colors_ = 0;
};

// Nearest by the sum of channel differences, remembered per 15-bit colour key: every colour of
// a key gets the answer found for the first colour looked up with it.
class TFastColorLookup : public TColorLookup {
 public:
  explicit TFastColorLookup(const plat::TPalette& palette);
  uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                 uint8_t& b) override;

  static int Key(uint8_t red, uint8_t green, uint8_t blue) {
    return (red >> 3) | (green >> 3) << 5 | (blue >> 3) << 10;
  }

 private:
  static constexpr uint16_t kEmpty = 0xFFFF;
  std::vector<plat::TPaletteEntry> entries_;
  std::vector<uint16_t> cache_;
};

// The 6 x 6 x 6 colour cube of CreateColorCubePalette, by arithmetic.
class TNetscapeColorLookup : public TColorLookup {
 public:
  TNetscapeColorLookup() { colors_ = 216; }
  uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                 uint8_t& b) override;
};

}  // namespace html
