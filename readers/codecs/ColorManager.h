// Converts rows of pixels from the layout a picture file stores into the layout of a bitmap's
// scan line: colour scheme, sample depth, byte order, gamma and interlace pixel masks.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/pictures/Bitmap.h"
#include "platform/runtime/SysUtils.h"

namespace readers {

class EColorConversionError : public plat::Exception {
 public:
  using Exception::Exception;
};

// Colour-scheme codes, shared with the header record of a picture.
enum TColorScheme : uint8_t {
  SchemeNone = 0,
  SchemeIndexed = 1,
  SchemeGray = 3,
  SchemeGrayAlpha = 4,
  SchemeRGB = 5,
  SchemeRGBA = 6,
  SchemeBGR = 7,
  SchemeBGRA = 8,
  SchemeCMYK = 10,
  SchemeCIELab = 11,
  SchemeYCbCr = 15,
  SchemePhotoYCC = 16,
};

// Option bits of the source and target sides.
enum : uint8_t {
  OptionAlpha = 0x01,
  OptionGamma = 0x02,
  OptionBigEndian = 0x04,
  OptionLabByteL = 0x08,
  OptionLabUnsignedAB = 0x10,
};

class TColorManager {
 public:
  TColorManager();

  void SetSourceBitsPerSample(uint8_t Value);
  void SetTargetBitsPerSample(uint8_t Value);
  void SetSourceSamplesPerPixel(uint8_t Value);
  void SetTargetSamplesPerPixel(uint8_t Value);
  void SetSourceColorScheme(uint8_t Value);
  void SetTargetColorScheme(uint8_t Value);
  void SetSourceOptions(uint8_t Value);
  // Converters read the option bytes on every call, so the target side is set directly.
  void SetTargetOptions(uint8_t Value) { TargetOptions_ = Value; }
  void SetYCbCrCoefficients(float Red, float Green, float Blue);

  uint8_t SourceBitsPerSample() const { return SourceBitsPerSample_; }
  uint8_t TargetBitsPerSample() const { return TargetBitsPerSample_; }
  uint8_t SourceSamplesPerPixel() const { return SourceSamplesPerPixel_; }
  uint8_t TargetSamplesPerPixel() const { return TargetSamplesPerPixel_; }
  uint8_t SourceColorScheme() const { return SourceScheme; }
  uint8_t TargetColorScheme() const { return TargetScheme; }
  uint8_t SourceOptions() const { return SourceOptions_; }
  uint8_t TargetOptions() const { return TargetOptions_; }
  float FileGamma() const { return FileGamma_; }
  float DisplayGamma() const { return DisplayGamma_; }
  const std::array<uint8_t, 256>& GammaTable() const { return GammaTable_; }

  // Rebuilds the gamma table for the sample depths in force now.
  void SetGamma(float File, float Display);

  // One source pointer means interleaved samples, several mean one plane per sample. Bit 7 of
  // Mask stands for the first pixel of every group of eight; unselected target pixels stay.
  void ConvertRow(std::span<const void* const> Sources, void* Target, uint32_t Count, uint8_t Mask);

  // The bitmap format for the samples of the source (Index 0) or the target side (Index 1).
  plat::TPixelFormat GetPixelFormat(int Index) const;

  // Gray levels for the target depth, black first unless MinimumIsWhite.
  plat::TPalette CreateGrayscalePalette(bool MinimumIsWhite) const;
  // A palette from file data. DataFormat 0/1: 8-bit triples behind Data[0] (red first, or blue
  // first when Reversed); 2/3: three 8-bit planes; 4/5: 16-bit triples (blue first, or red first
  // when Reversed); 6/7: three 16-bit planes. Spread to 2^target bits when the depths differ.
  plat::TPalette CreateColorPalette(std::span<const void* const> Data, uint8_t DataFormat,
                                    uint32_t ColorCount, bool Reversed) const;

  // Chooses the converter; ConvertRow calls it after any setting changed.
  void PrepareConversion();

 private:
  enum class TConverter : uint8_t {
    None,
    RGB2RGB,
    RGB2BGR,
    BGR2RGB,
    BGR2BGR,
    Gray,
    Indexed,
    CMYK2RGB,
    CMYK2BGR,
    CIELAB2RGB,
    CIELAB2BGR,
    YCbCr2RGB,
    YCbCr2BGR,
  };
  struct TSourceCursor;

  void RowConvertRGB(TSourceCursor& Source, uint8_t* Target, uint32_t Count, uint8_t Mask,
                     bool Reverse);
  void RowConvertGray(const uint8_t* Source, uint8_t* Target, uint32_t Count, uint8_t Mask);
  void RowConvertIndexed(const uint8_t* Source, uint8_t* Target, uint32_t Count, uint8_t Mask);
  void RowConvertCMYK(TSourceCursor& Source, uint8_t* Target, uint32_t Count, uint8_t Mask,
                      bool Reverse);
  void RowConvertCIELAB(TSourceCursor& Source, uint8_t* Target, uint32_t Count, uint8_t Mask,
                        bool Reverse);
  void RowConvertYCbCr(TSourceCursor& Source, uint8_t* Target, uint32_t Count, uint8_t Mask,
                       bool Reverse);
  void BuildYCbCrTables();
  uint32_t SourceSampleCount() const;
  uint32_t TargetPixelBytes() const;

  bool Changed = true;
  uint8_t SourceBitsPerSample_ = 8, TargetBitsPerSample_ = 8;
  uint8_t SourceSamplesPerPixel_ = 3, TargetSamplesPerPixel_ = 3;
  float FileGamma_ = 1.0f, DisplayGamma_ = 2.2f;
  std::array<uint8_t, 256> GammaTable_{};
  std::array<float, 3> YCbCrCoefficients{0.299f, 0.587f, 0.114f};
  std::array<int32_t, 256> CrToRed{}, CbToBlue{}, CrToGreen{}, CbToGreen{};
  uint8_t SourceScheme = SchemeRGB, TargetScheme = SchemeBGR;
  TConverter RowConverter = TConverter::None;
  uint8_t SourceOptions_ = 0, TargetOptions_ = 0;
};

}  // namespace readers
