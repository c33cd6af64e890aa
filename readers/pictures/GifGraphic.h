// Reads the first image of a GIF file (87a, 89a) into an 8-bit palette bitmap, with the
// transparent colour of its graphic control extension and the comments before it.
#pragma once

#include <cstdint>
#include <optional>

#include "readers/pictures/ReaderGraphic.h"

namespace readers {

class TGIFGraphic : public TReaderGraphic {
 public:
  static const plat::TGraphicClass& StaticClass();
  const plat::TGraphicClass& GraphicClass() const override { return StaticClass(); }

  // True when the data starts with "GIF" (any letter case).
  static bool CanLoad(const uint8_t* Memory, int64_t Size);
  bool ReadImageProperties(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) override;

 protected:
  void DecodeMemory(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) override;

 private:
  // How the walk over the blocks before the first image ended.
  enum class TBlockWalk { Image, Trailer, EndOfData, Truncated };

  TBlockWalk ReadExtensions();
  bool SkipSubBlocks();
  bool Has(int64_t Count) const { return End - Run >= Count; }
  plat::TPalette ReadColorTable(uint8_t Flags);
  void SetTransparentEntry(plat::TPalette& Palette);
  [[noreturn]] static void InvalidImage();

  const uint8_t* Run = nullptr;  // read position
  const uint8_t* End = nullptr;
  std::optional<uint8_t> TransparentIndex;
};

}  // namespace readers
