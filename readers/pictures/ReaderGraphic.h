// Folder readers/pictures: the GIF and PNG picture classes on their common base, the file-format
// table, and the message texts. Uses readers/codecs.
//
// Base of the picture readers: a platform bitmap that decodes a file held in memory, with the
// header record of the picture, progress reports and the readers' error routines.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/pictures/Bitmap.h"
#include "platform/runtime/SysUtils.h"
#include "readers/codecs/ColorManager.h"
#include "readers/codecs/Decoders.h"

namespace readers {

// Bits of TImageProperties::Options.
enum : uint8_t {
  PropertyHeaderFirst = 0x02,   // the PNG header chunk came first
  PropertyGammaApplied = 0x10,  // a PNG gamma chunk was given to the colour manager
};

// Compression codes of TImageProperties::Compression.
enum : uint8_t { CompressionNone = 0, CompressionLZW = 4, CompressionDeflate = 10 };

struct TImageProperties {
  int32_t Version = 0;
  uint8_t Options = 0;
  uint32_t Width = 0, Height = 0;
  uint8_t ColorScheme = SchemeNone;
  uint8_t BitsPerSample = 0, SamplesPerPixel = 0, BitsPerPixel = 0;
  uint8_t Compression = CompressionNone;
  float FileGamma = 0;
  bool Interlaced = false;
  bool HasAlpha = false;
  std::string Comment;  // UTF-8
  bool LocalColorTable = false;
  uint8_t FilterMode = 0;
};

class TReaderGraphic : public plat::TBitmap {
 public:
  TReaderGraphic();
  ~TReaderGraphic() override;

  static const plat::TGraphicClass& StaticClass();
  const plat::TGraphicClass& GraphicClass() const override { return StaticClass(); }

  void Assign(const plat::TPersistent& Source) override;
  void LoadFromFile(const std::string& FileName) override { LoadFromFileByIndex(FileName, 0); }
  void LoadFromStream(plat::TStream& Stream) override { LoadFromStreamByIndex(Stream, 0); }
  // The rows go straight into the target's memory; the bitmap keeps format, palette and
  // transparency but no pixels.
  bool LoadFromFileInto(const std::string& FileName, const plat::ArgbPictureTarget& Into) override;
  bool LoadFromStreamInto(plat::TStream& Stream, const plat::ArgbPictureTarget& Into) override;

  // Decodes a picture held in memory. A failure raises and leaves the bitmap as it was.
  void LoadFromMemory(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex = 0);
  void LoadFromFileByIndex(const std::string& FileName, uint32_t ImageIndex);
  // A memory stream is read from its first byte, a disk file from its start, any other stream
  // from where it stands to its end.
  void LoadFromStreamByIndex(plat::TStream& Stream, uint32_t ImageIndex);

  // Fill ImageProperties from the picture's header; False when the data is not of this format.
  virtual bool ReadImageProperties(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex);
  bool ReadImagePropertiesFromFile(const std::string& FileName, uint32_t ImageIndex = 0);
  // The stream's position is restored afterwards.
  bool ReadImagePropertiesFromStream(plat::TStream& Stream, uint32_t ImageIndex = 0);

  const TImageProperties& ImageProperties() const { return ImageProperties_; }
  TColorManager& ColorManager() { return *ColorManager_; }

 protected:
  // Decodes into the emptied bitmap; the base has cleared the decoder and the colour manager.
  // The rows go through a plat::TDecodedRows made with PixelTarget().
  virtual void DecodeMemory(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) = 0;
  // The memory the pixels go to instead of the bitmap, while loading into one; else null.
  const plat::ArgbPictureTarget* PixelTarget() const { return Target; }

  // Progress stages over the band ProgressRect, which moves down one row per report.
  void StartStage(const char* Text, uint32_t Width);
  void StartStage(const char* Text);
  void RowDone(int64_t Row, int64_t Height);
  void EndStage();

  [[noreturn]] static void ReaderError(const char* Message,
                                       std::initializer_list<plat::TFormatArg> Arguments);
  [[noreturn]] static void ReaderErrorPlain(const char* Message);

  std::unique_ptr<TColorManager> ColorManager_;
  TImageProperties ImageProperties_;
  plat::TRect ProgressRect;
  std::unique_ptr<TDecoder> Decoder;

 private:
  void Load(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex,
            const plat::ArgbPictureTarget* Into);
  void LoadFile(const std::string& FileName, uint32_t ImageIndex,
                const plat::ArgbPictureTarget* Into);
  // Whether the first bytes of a file are of this format; the properties stay as they were.
  bool HeadFits(const std::string& Head, uint32_t ImageIndex);
  template <typename Read>
  static auto WithStreamBytes(plat::TStream& Stream, Read&& Reader);

  const plat::ArgbPictureTarget* Target = nullptr;
};

}  // namespace readers
