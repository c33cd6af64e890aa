// Nearest-colour lookups of colour reduction.
#include "html/images/ColorReductionLookup.h"

#include <cstdlib>

namespace html {

TFastColorLookup::TFastColorLookup(const plat::TPalette& palette)
    : entries_(palette.Entries()), cache_(32768, kEmpty) {
  if (entries_.size() > 256) entries_.resize(256);
  colors_ = int(entries_.size());
  // A palette colour finds itself at once; the first entry wins a shared key.
  for (size_t i = 0; i < entries_.size(); ++i) {
    uint16_t& slot =
        cache_[size_t(Key(entries_[i].peRed, entries_[i].peGreen, entries_[i].peBlue))];
    if (slot == kEmpty) slot = uint16_t(i);
  }
}

uint8_t TFastColorLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                                 uint8_t& b) {
  uint16_t& slot = cache_[size_t(Key(red, green, blue))];
  if (slot == kEmpty) {
    int best = 0, bestDistance = 3 * 256;
    for (size_t i = 0; i < entries_.size(); ++i) {
      const int distance = std::abs(entries_[i].peRed - red) +
                           std::abs(entries_[i].peGreen - green) +
                           std::abs(entries_[i].peBlue - blue);
      if (distance < bestDistance) {
        bestDistance = distance;
        best = int(i);
      }
    }
    slot = uint16_t(best);
  }
  const plat::TPaletteEntry& entry = entries_[slot];
  r = entry.peRed;
  g = entry.peGreen;
  b = entry.peBlue;
  return uint8_t(slot);
}

uint8_t TNetscapeColorLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r,
                                     uint8_t& g, uint8_t& b) {
  const int cr = (red + 3) / 51, cg = (green + 3) / 51, cb = (blue + 3) / 51;
  r = uint8_t(51 * cr);
  g = uint8_t(51 * cg);
  b = uint8_t(51 * cb);
  return uint8_t(36 * cr + 6 * cg + cb);
}

}  // namespace html
