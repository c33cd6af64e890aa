// Reads the image of a PNG file into a platform bitmap: every colour type and bit depth, Adam7
// interlacing, the five row filters, gamma, and transparency (alpha channels and "tRNS", which
// make the bitmap 32 bits with alpha).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "readers/pictures/PngAlphaRows.h"
#include "readers/pictures/ReaderGraphic.h"

namespace readers {

class TPNGGraphic : public TReaderGraphic {
 public:
  static const plat::TGraphicClass& StaticClass();
  const plat::TGraphicClass& GraphicClass() const override { return StaticClass(); }

  // True when the data starts with the PNG signature (letters in any case).
  static bool CanLoad(const uint8_t* Memory, int64_t Size);
  bool ReadImageProperties(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) override;

 protected:
  void DecodeMemory(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) override;

 private:
  struct TChunk {
    uint32_t Length = 0;
    uint32_t Type = 0;  // the four letters, big-endian
    const uint8_t* Data = nullptr;
  };

  bool ReadChunkHeader();
  bool IsChunk(uint32_t Type) const;
  bool IsCritical() const;
  bool ChunkFits() const;  // the data and CRC lie within the bytes given
  void ReadDataAndCheckCRC();
  bool SkipChunk();
  uint32_t SetupColorDepth(uint8_t ColorType, uint8_t BitDepth);
  void LoadPalette();
  void LoadGamma();
  void ApplyGamma();
  void LoadTransparency();
  void LoadText();
  void LoadIDAT();
  void ReadRow(uint8_t* Row, uint32_t Count);
  [[noreturn]] static void InvalidImage();

  const uint8_t* Run = nullptr;  // read position
  const uint8_t* End = nullptr;
  TChunk Chunk;
  const uint8_t* CurrentSource = nullptr;  // inflate's next input inside the current data chunk
  const uint8_t* IDATEnd = nullptr;
  uint8_t ColorType = 0, BitDepth = 0, InterlaceMethod = 0;
  bool DepthSetUp = false;
  bool PaletteRead = false;
  bool ImageRead = false;
  bool DataEnded = false;  // no chunk header follows the last one read
  uint32_t BytesPerPixel = 0;
  std::optional<float> PendingGamma;  // a gamma chunk's value, not yet given to the colours
  plat::TPalette PaletteData;
  TPngTransparency Transparency;
};

}  // namespace readers
