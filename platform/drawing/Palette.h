// Colour palettes of indexed pictures, held by value.
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

struct TPaletteEntry {
  uint8_t peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
  bool operator==(const TPaletteEntry&) const = default;
};

// A palette of up to 256 colours, held by value.
class TPalette {
 public:
  static constexpr int kMaxEntries = 256;

  TPalette() = default;
  // Raises EInvalidGraphic for more than 256 entries.
  explicit TPalette(std::vector<TPaletteEntry> entries);
  // count levels from black to white (count >= 2).
  static TPalette GrayRamp(int count);

  int Count() const { return int(entries_.size()); }
  bool Empty() const { return entries_.empty(); }
  const std::vector<TPaletteEntry>& Entries() const { return entries_; }
  // Entry index; an index outside the palette reads as black.
  TPaletteEntry Entry(int index) const;
  void SetEntry(int index, TPaletteEntry entry);
  // Entry index as 0xFFRRGGBB (opaque; black outside the palette).
  uint32_t ColorARGB(int index) const;
  bool operator==(const TPalette&) const = default;

 private:
  std::vector<TPaletteEntry> entries_;
};

}  // namespace plat
