#include "readers/pictures/PngAlphaRows.h"

#include <cstring>

#include "platform/pictures/BitmapRows.h"

namespace readers {

bool TPngTransparency::Needed() const {
  switch (ColorType) {
    case 4:
      return true;
    case 3:
      return !PaletteAlpha.empty();
    case 0:
    case 2:
      return !Key.empty();
    default:
      return false;
  }
}

TPngAlphaRows::TPngAlphaRows(const TPngTransparency& Transparency, plat::TPixelFormat PlainFormat,
                             const plat::TPalette& Palette, uint32_t Width)
    : Transparency(Transparency),
      PlainFormat(PlainFormat),
      Palette(plat::EffectivePalette(PlainFormat, Palette)),
      Width(Width),
      Plain(size_t{Width} * 4 + 4),
      Colors(Width) {}

uint16_t TPngAlphaRows::Sample(const uint8_t* Raw, uint64_t Index) const {
  const uint32_t depth = Transparency.BitDepth;
  if (depth == 16) return static_cast<uint16_t>(Raw[2 * Index] << 8 | Raw[2 * Index + 1]);
  if (depth == 8) return Raw[Index];
  const uint64_t bit = Index * depth;
  return (Raw[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

uint8_t TPngAlphaRows::Alpha(const uint8_t* Raw, uint64_t Pixel) const {
  switch (Transparency.ColorType) {
    case 4: {
      // Reduced to 8 bits as the colour samples are.
      const uint16_t alpha = Sample(Raw, 2 * Pixel + 1);
      return static_cast<uint8_t>(Transparency.BitDepth == 16 ? alpha * 255u / 65535u : alpha);
    }
    case 3: {
      const uint16_t index = Sample(Raw, Pixel);
      const auto& table = Transparency.PaletteAlpha;
      return index < table.size() ? table[index] : 255;
    }
    default: {
      // The key names the file's samples, before any reduction or gamma.
      const auto& key = Transparency.Key;
      for (size_t i = 0; i < key.size(); ++i)
        if (Sample(Raw, Pixel * key.size() + i) != key[i]) return 255;
      return 0;
    }
  }
}

void TPngAlphaRows::Write(const uint8_t* Raw, uint8_t* Target, uint8_t Mask) {
  plat::ReadRow(PlainFormat, Plain.data(), static_cast<int>(Width), Palette, Colors.data());
  uint64_t pixel = 0;
  uint8_t bit = 0x80;
  for (uint32_t x = 0; x < Width; ++x) {
    if (Mask & bit) {
      const uint32_t argb = (Colors[x] & 0x00FFFFFF) | uint32_t{Alpha(Raw, pixel++)} << 24;
      std::memcpy(Target + 4 * size_t{x}, &argb, 4);
    }
    bit = static_cast<uint8_t>((bit >> 1) | (bit << 7));
  }
}

}  // namespace readers
