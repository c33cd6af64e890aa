#include "readers/codecs/ColorManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "readers/pictures/ReaderStrings.h"

namespace readers {

namespace {

[[noreturn]] void ConversionError(const char* Message) {
  throw EColorConversionError(std::string(Message));
}

bool ValidBitsPerSample(uint8_t Value) {
  return Value == 1 || Value == 2 || Value == 4 || Value == 8 || Value == 16;
}

bool SchemeHasAlpha(uint8_t Scheme) {
  return Scheme == SchemeGrayAlpha || Scheme == SchemeRGBA || Scheme == SchemeBGRA;
}

uint16_t Swap16(uint16_t Value) {
  return static_cast<uint16_t>((Value << 8) | (Value >> 8));
}

uint16_t Load16(const uint8_t* Source) {
  uint16_t value;
  std::memcpy(&value, Source, 2);
  return value;
}

void Store16(uint8_t* Target, uint16_t Value) {
  std::memcpy(Target, &Value, 2);
}

uint8_t Clamp8(int32_t Value) {
  return static_cast<uint8_t>(std::clamp(Value, 0, 255));
}

// Rounds half to even and clamps to a byte.
uint8_t RoundClamp8(double Value) {
  if (!(Value > 0)) return 0;
  return static_cast<uint8_t>(std::nearbyint(std::min(Value, 255.0)));
}

uint8_t Reduce16(uint16_t Value) {
  return static_cast<uint8_t>(Value * 255u / 65535u);
}

// The common case of whole rows of 8-bit samples: red and blue trade places, alpha stays.
void SwapRedBlue(const uint8_t* Source, uint8_t* Target, uint32_t Count, bool Alpha) {
  if (Alpha) {
    for (uint32_t i = 0; i < Count; ++i) {
      uint32_t pixel;
      std::memcpy(&pixel, Source + 4 * size_t{i}, 4);
      pixel = (pixel & 0xFF00FF00u) | (pixel & 0xFFu) << 16 | (pixel >> 16 & 0xFFu);
      std::memcpy(Target + 4 * size_t{i}, &pixel, 4);
    }
    return;
  }
  for (uint32_t i = 0; i < Count; ++i, Source += 3, Target += 3) {
    const uint8_t red = Source[0];
    Target[0] = Source[2];
    Target[1] = Source[1];
    Target[2] = red;
  }
}

}  // namespace

// The read positions of one row: sample i of the current pixel lives at Base[i].
struct TColorManager::TSourceCursor {
  std::array<const uint8_t*, 4> Base{};
  size_t Stride = 0;
  bool BigEndian = false;

  TSourceCursor(std::span<const void* const> Sources, uint32_t Samples, uint32_t SampleBytes,
                bool BigEndian)
      : BigEndian(BigEndian) {
    if (Sources.size() == 1) {
      const auto* first = static_cast<const uint8_t*>(Sources[0]);
      for (uint32_t i = 0; i < 4; ++i) Base[i] = first + i * SampleBytes;
      Stride = Samples * SampleBytes;
    } else {
      for (size_t i = 0; i < Base.size() && i < Sources.size(); ++i)
        Base[i] = static_cast<const uint8_t*>(Sources[i]);
      Stride = SampleBytes;
    }
  }
  uint8_t Byte(int Sample) const { return *Base[Sample]; }
  uint16_t Word(int Sample) const {
    const uint16_t value = Load16(Base[Sample]);
    return BigEndian ? Swap16(value) : value;
  }
  uint16_t RawWord(int Sample) const { return Load16(Base[Sample]); }
  void Advance(int Samples) {
    for (int i = 0; i < Samples; ++i) Base[i] += Stride;
  }
};

TColorManager::TColorManager() {
  SetGamma(1.0f, 2.2f);
}

void TColorManager::SetSourceBitsPerSample(uint8_t Value) {
  if (!ValidBitsPerSample(Value)) ConversionError(gesInvalidColorDepth);
  Changed |= SourceBitsPerSample_ != Value;
  SourceBitsPerSample_ = Value;
}

void TColorManager::SetTargetBitsPerSample(uint8_t Value) {
  if (!ValidBitsPerSample(Value)) ConversionError(gesInvalidColorDepth);
  Changed |= TargetBitsPerSample_ != Value;
  TargetBitsPerSample_ = Value;
}

void TColorManager::SetSourceSamplesPerPixel(uint8_t Value) {
  if (Value < 1 || Value > 4) ConversionError(gesInvalidSampleCount);
  Changed |= SourceSamplesPerPixel_ != Value;
  SourceSamplesPerPixel_ = Value;
}

void TColorManager::SetTargetSamplesPerPixel(uint8_t Value) {
  if (Value < 1 || Value > 4) ConversionError(gesInvalidSampleCount);
  Changed |= TargetSamplesPerPixel_ != Value;
  TargetSamplesPerPixel_ = Value;
}

void TColorManager::SetSourceColorScheme(uint8_t Value) {
  Changed |= SourceScheme != Value;
  SourceScheme = Value;
}

void TColorManager::SetTargetColorScheme(uint8_t Value) {
  Changed |= TargetScheme != Value;
  TargetScheme = Value;
}

void TColorManager::SetSourceOptions(uint8_t Value) {
  Changed |= SourceOptions_ != Value;
  SourceOptions_ = Value;
}

void TColorManager::SetYCbCrCoefficients(float Red, float Green, float Blue) {
  YCbCrCoefficients = {Red, Green, Blue};
  Changed = true;
}

void TColorManager::SetGamma(float File, float Display) {
  FileGamma_ = File > 0 ? File : 1.0f;
  DisplayGamma_ = Display > 0 ? Display : 2.2f;
  const double exponent = 1.0 / (static_cast<double>(FileGamma_) * DisplayGamma_);
  const auto maximum = [](uint8_t Bits) { return Bits >= 8 ? 255 : (1 << Bits) - 1; };
  const int sourceMax = maximum(SourceBitsPerSample_);
  const int targetMax = maximum(TargetBitsPerSample_);
  for (int i = 0; i <= sourceMax; ++i)
    GammaTable_[i] = static_cast<uint8_t>(
        std::nearbyint(std::pow(static_cast<double>(i) / sourceMax, exponent) * targetMax));
}

void TColorManager::PrepareConversion() {
  const bool sourceIndexed = SourceScheme == SchemeIndexed || SourceScheme == SchemeGray ||
                             SourceScheme == SchemeGrayAlpha;
  const bool targetIndexed = TargetScheme == SchemeIndexed || TargetScheme == SchemeGray;
  if (sourceIndexed != targetIndexed) ConversionError(gesIndexedNotSupported);

  SourceOptions_ =
      SchemeHasAlpha(SourceScheme) ? SourceOptions_ | OptionAlpha : SourceOptions_ & ~OptionAlpha;
  TargetOptions_ =
      SchemeHasAlpha(TargetScheme) ? TargetOptions_ | OptionAlpha : TargetOptions_ & ~OptionAlpha;

  const uint8_t s = SourceBitsPerSample_, t = TargetBitsPerSample_;
  const bool toRGB = TargetScheme == SchemeRGB || TargetScheme == SchemeRGBA;
  const bool toBGR = TargetScheme == SchemeBGR || TargetScheme == SchemeBGRA;
  const auto pick = [&](TConverter RGB, TConverter BGR) {
    return toRGB ? RGB : toBGR ? BGR : TConverter::None;
  };
  switch (SourceScheme) {
    case SchemeIndexed:
      RowConverter = TConverter::Indexed;
      break;
    case SchemeGray:
      if (s == 16 || t == 16)
        RowConverter = s >= 8 && t >= 8 ? TConverter::Gray : TConverter::None;
      else
        RowConverter = TConverter::Indexed;
      break;
    case SchemeGrayAlpha:
      RowConverter =
          (s == 8 || s == 16) && (t == 8 || t == 16) ? TConverter::Gray : TConverter::None;
      break;
    case SchemeRGB:
    case SchemeRGBA:
      RowConverter = pick(TConverter::RGB2RGB, TConverter::RGB2BGR);
      break;
    case SchemeBGR:
    case SchemeBGRA:
      RowConverter = pick(TConverter::BGR2RGB, TConverter::BGR2BGR);
      break;
    case SchemeCMYK:
      RowConverter = pick(TConverter::CMYK2RGB, TConverter::CMYK2BGR);
      break;
    case SchemeCIELab:
      RowConverter = pick(TConverter::CIELAB2RGB, TConverter::CIELAB2BGR);
      break;
    case SchemeYCbCr:
    case SchemePhotoYCC:
      BuildYCbCrTables();
      RowConverter = pick(TConverter::YCbCr2RGB, TConverter::YCbCr2BGR);
      break;
    default:
      RowConverter = TConverter::None;
  }
  Changed = false;
}

void TColorManager::BuildYCbCrTables() {
  const double kR = YCbCrCoefficients[0], kG = YCbCrCoefficients[1], kB = YCbCrCoefficients[2];
  const double f1 = 2 - 2 * kR, f2 = 2 - 2 * kB, f3 = kR * f1 / kG, f4 = kB * f2 / kG;
  const bool photo = SourceScheme == SchemePhotoYCC;
  for (int i = 0; i < 256; ++i) {
    const double red = photo ? i - 137 : i - 128;
    const double blue = photo ? i - 156 : i - 128;
    CrToRed[i] = static_cast<int32_t>(std::nearbyint(red * f1));
    CbToBlue[i] = static_cast<int32_t>(std::nearbyint(blue * f2));
    CrToGreen[i] = -static_cast<int32_t>(std::nearbyint(red * f3));
    CbToGreen[i] = -static_cast<int32_t>(std::nearbyint(blue * f4));
  }
}

uint32_t TColorManager::SourceSampleCount() const {
  switch (SourceScheme) {
    case SchemeCMYK:
      return 4;
    case SchemeCIELab:
    case SchemeYCbCr:
    case SchemePhotoYCC:
      return 3;
    default:
      return (SourceOptions_ & OptionAlpha) ? 4 : 3;
  }
}

uint32_t TColorManager::TargetPixelBytes() const {
  return ((TargetOptions_ & OptionAlpha) ? 4 : 3) * (TargetBitsPerSample_ / 8);
}

void TColorManager::ConvertRow(std::span<const void* const> Sources, void* Target, uint32_t Count,
                               uint8_t Mask) {
  if (Changed) PrepareConversion();
  if (RowConverter == TConverter::None) ConversionError(gesConversionUnsupported);
  if (Sources.empty() || Count == 0) return;
  auto* target = static_cast<uint8_t*>(Target);
  if (RowConverter == TConverter::Gray)
    return RowConvertGray(static_cast<const uint8_t*>(Sources[0]), target, Count, Mask);
  if (RowConverter == TConverter::Indexed)
    return RowConvertIndexed(static_cast<const uint8_t*>(Sources[0]), target, Count, Mask);

  const bool reversed = RowConverter == TConverter::RGB2BGR || RowConverter == TConverter::BGR2RGB;
  if (reversed && Sources.size() == 1 && Mask == 0xFF && SourceBitsPerSample_ == 8 &&
      TargetBitsPerSample_ == 8 && !(TargetOptions_ & OptionGamma) &&
      (SourceOptions_ & OptionAlpha) == (TargetOptions_ & OptionAlpha))
    return SwapRedBlue(static_cast<const uint8_t*>(Sources[0]), target, Count,
                       (SourceOptions_ & OptionAlpha) != 0);

  // Planes must give every sample of the scheme.
  if (Sources.size() > 1 && Sources.size() < SourceSampleCount())
    ConversionError(gesConversionUnsupported);
  TSourceCursor cursor(Sources, SourceSampleCount(),
                       SourceBitsPerSample_ >= 8 ? SourceBitsPerSample_ / 8 : 1,
                       (SourceOptions_ & OptionBigEndian) != 0);
  switch (RowConverter) {
    case TConverter::RGB2RGB:
    case TConverter::BGR2BGR:
      return RowConvertRGB(cursor, target, Count, Mask, false);
    case TConverter::RGB2BGR:
    case TConverter::BGR2RGB:
      return RowConvertRGB(cursor, target, Count, Mask, true);
    case TConverter::CMYK2RGB:
      return RowConvertCMYK(cursor, target, Count, Mask, true);
    case TConverter::CMYK2BGR:
      return RowConvertCMYK(cursor, target, Count, Mask, false);
    case TConverter::CIELAB2RGB:
      return RowConvertCIELAB(cursor, target, Count, Mask, true);
    case TConverter::CIELAB2BGR:
      return RowConvertCIELAB(cursor, target, Count, Mask, false);
    case TConverter::YCbCr2RGB:
      return RowConvertYCbCr(cursor, target, Count, Mask, true);
    case TConverter::YCbCr2BGR:
      return RowConvertYCbCr(cursor, target, Count, Mask, false);
    default:
      return;
  }
}

namespace {

// Walks the target pixels of a row under a pixel mask; Convert is called for selected pixels.
template <typename ConvertPixel>
void ForMaskedPixels(uint8_t* Target, uint32_t Count, uint8_t Mask, size_t TargetStride,
                     ConvertPixel&& Convert) {
  if (Mask == 0xFF) {
    for (uint32_t i = 0; i < Count; ++i, Target += TargetStride) Convert(Target);
    return;
  }
  uint8_t bit = 0x80;
  for (uint32_t i = 0; i < Count; ++i, Target += TargetStride) {
    if (Mask & bit) Convert(Target);
    bit = static_cast<uint8_t>((bit >> 1) | (bit << 7));
  }
}

// Colour and alpha components of the RGB family for one pair of sample depths.
template <int SourceBits, int TargetBits>
struct TComponents {
  const uint8_t* Gamma;  // null without gamma
  bool BigEndian;

  template <typename Cursor>
  void Color(const Cursor& Source, int Sample, uint8_t* Target) const {
    if constexpr (SourceBits == 16 && TargetBits == 16) {
      Store16(Target, Source.Word(Sample));
    } else {
      uint8_t value = SourceBits == 8 ? Source.Byte(Sample) : Reduce16(Source.Word(Sample));
      if (Gamma) value = Gamma[value];
      if constexpr (TargetBits == 8) {
        *Target = value;
      } else {
        const auto wide = static_cast<uint16_t>(value * 257u);
        Store16(Target, BigEndian ? Swap16(wide) : wide);
      }
    }
  }
  template <typename Cursor>
  void Alpha(const Cursor& Source, int Sample, uint8_t* Target) const {
    if constexpr (SourceBits == 8 && TargetBits == 8) *Target = Source.Byte(Sample);
    if constexpr (SourceBits == 16 && TargetBits == 8) *Target = Reduce16(Source.Word(Sample));
    if constexpr (SourceBits == 8 && TargetBits == 16)
      Store16(Target, static_cast<uint16_t>(Source.Byte(Sample) * 257u));
    if constexpr (SourceBits == 16 && TargetBits == 16) Store16(Target, Source.Word(Sample));
  }
};

template <int SourceBits, int TargetBits, typename Cursor>
void ConvertRGBPixels(Cursor& Source, uint8_t* Target, uint32_t Count, uint8_t Mask,
                      TComponents<SourceBits, TargetBits> Components, bool Reverse,
                      bool SourceAlpha, bool TargetAlpha) {
  constexpr int width = TargetBits / 8;
  const int samples = SourceAlpha ? 4 : 3;
  const bool copyAlpha = SourceAlpha && TargetAlpha;
  const int first = Reverse ? 2 : 0, last = Reverse ? 0 : 2;
  ForMaskedPixels(Target, Count, Mask, (TargetAlpha ? 4 : 3) * width, [&](uint8_t* pixel) {
    Components.Color(Source, first, pixel);
    Components.Color(Source, 1, pixel + width);
    Components.Color(Source, last, pixel + 2 * width);
    if (copyAlpha) Components.Alpha(Source, 3, pixel + 3 * width);
    Source.Advance(samples);
  });
}

}  // namespace

void TColorManager::RowConvertRGB(TSourceCursor& Source, uint8_t* Target, uint32_t Count,
                                  uint8_t Mask, bool Reverse) {
  const uint8_t* gamma = (TargetOptions_ & OptionGamma) ? GammaTable_.data() : nullptr;
  const bool bigEndian = (SourceOptions_ & OptionBigEndian) != 0;
  const bool sourceAlpha = (SourceOptions_ & OptionAlpha) != 0;
  const bool targetAlpha = (TargetOptions_ & OptionAlpha) != 0;
  const int s = SourceBitsPerSample_, t = TargetBitsPerSample_;
  if (s == 8 && t == 8)
    ConvertRGBPixels<8, 8>(Source, Target, Count, Mask, {gamma, bigEndian}, Reverse, sourceAlpha,
                           targetAlpha);
  else if (s == 16 && t == 8)
    ConvertRGBPixels<16, 8>(Source, Target, Count, Mask, {gamma, bigEndian}, Reverse, sourceAlpha,
                            targetAlpha);
  else if (s == 8 && t == 16)
    ConvertRGBPixels<8, 16>(Source, Target, Count, Mask, {gamma, bigEndian}, Reverse, sourceAlpha,
                            targetAlpha);
  else if (s == 16 && t == 16)
    ConvertRGBPixels<16, 16>(Source, Target, Count, Mask, {gamma, bigEndian}, Reverse, sourceAlpha,
                             targetAlpha);
}

void TColorManager::RowConvertGray(const uint8_t* Source, uint8_t* Target, uint32_t Count,
                                   uint8_t Mask) {
  const int s = SourceBitsPerSample_, t = TargetBitsPerSample_;
  if ((s != 8 && s != 16) || (t != 8 && t != 16)) return;
  const bool bigEndian = (SourceOptions_ & OptionBigEndian) != 0;
  const size_t sourceStride = (s / 8) * ((SourceOptions_ & OptionAlpha) ? 2 : 1);
  ForMaskedPixels(Target, Count, Mask, t / 8, [&](uint8_t* pixel) {
    if (s == 8) {
      const uint8_t level = *Source;
      if (t == 8)
        *pixel = level;
      else
        Store16(pixel, static_cast<uint16_t>(level * 257u));
    } else {
      const uint16_t level = bigEndian ? Swap16(Load16(Source)) : Load16(Source);
      if (t == 8)
        *pixel = Reduce16(level);
      else
        Store16(pixel, level);
    }
    Source += sourceStride;
  });
}

void TColorManager::RowConvertIndexed(const uint8_t* Source, uint8_t* Target, uint32_t Count,
                                      uint8_t Mask) {
  const uint32_t s = SourceBitsPerSample_, t = TargetBitsPerSample_;
  const bool bigEndian = (SourceOptions_ & OptionBigEndian) != 0;
  if (s == t && Mask == 0xFF && !(s == 16 && bigEndian)) {
    std::memcpy(Target, Source, (static_cast<size_t>(Count) * s + 7) / 8);
    return;
  }
  const uint32_t sourceMax = s == 16 ? 65535 : (1u << s) - 1;
  const uint32_t targetMax = t == 16 ? 65535 : (1u << t) - 1;
  const bool swapTarget = t == 16 && s != 16 && bigEndian;
  size_t sourceBit = 0;
  uint8_t bit = 0x80;
  for (uint32_t i = 0; i < Count; ++i) {
    if (Mask & bit) {
      uint32_t value;
      if (s == 16) {
        value = Load16(Source + sourceBit / 8);
        if (bigEndian) value = Swap16(static_cast<uint16_t>(value));
      } else {
        value = (Source[sourceBit / 8] >> (8 - s - sourceBit % 8)) & sourceMax;
      }
      sourceBit += s;
      if (s != t) value = static_cast<uint32_t>(uint64_t{value} * targetMax / sourceMax);
      if (t == 16) {
        Store16(Target + 2 * size_t{i},
                swapTarget ? Swap16(static_cast<uint16_t>(value)) : static_cast<uint16_t>(value));
      } else {
        const size_t targetBit = size_t{i} * t;
        const uint32_t shift = 8 - t - targetBit % 8;
        uint8_t& byte = Target[targetBit / 8];
        byte = static_cast<uint8_t>((byte & ~(targetMax << shift)) | (value << shift));
      }
    }
    bit = static_cast<uint8_t>((bit >> 1) | (bit << 7));
  }
}

void TColorManager::RowConvertCMYK(TSourceCursor& Source, uint8_t* Target, uint32_t Count,
                                   uint8_t Mask, bool RedFirst) {
  const int s = SourceBitsPerSample_;
  if ((s != 8 && s != 16) || TargetBitsPerSample_ != 8) return;
  // Ink plus black, reduced to 8 bits, taken away from white.
  const auto channel = [&](int Ink) {
    if (s == 8) {
      const int ink = Source.Byte(Ink), black = Source.Byte(3);
      return Clamp8(255 - (ink + black - ink * black / 255));
    }
    const uint32_t ink = Source.Word(Ink), black = Source.Word(3);
    const auto sum = static_cast<uint16_t>(ink + black - ink * black / 65535);
    return Clamp8(255 - Reduce16(sum));
  };
  ForMaskedPixels(Target, Count, Mask, TargetPixelBytes(), [&](uint8_t* pixel) {
    const uint8_t red = channel(0), green = channel(1), blue = channel(2);
    pixel[0] = RedFirst ? red : blue;
    pixel[1] = green;
    pixel[2] = RedFirst ? blue : red;
    Source.Advance(4);
  });
}

void TColorManager::RowConvertCIELAB(TSourceCursor& Source, uint8_t* Target, uint32_t Count,
                                     uint8_t Mask, bool RedFirst) {
  const int s = SourceBitsPerSample_, t = TargetBitsPerSample_;
  if ((s != 8 && s != 16) || (t != 8 && t != 16)) return;
  const bool byteL = (SourceOptions_ & OptionLabByteL) != 0;
  const bool unsignedAB = (SourceOptions_ & OptionLabUnsignedAB) != 0;
  const auto chroma = [&](int Sample) -> double {
    if (s == 8)
      return unsignedAB ? Source.Byte(Sample) - 128.0 : static_cast<int8_t>(Source.Byte(Sample));
    return unsignedAB ? Source.RawWord(Sample) - 128.0
                      : static_cast<int16_t>(Source.RawWord(Sample));
  };
  ForMaskedPixels(Target, Count, Mask, TargetPixelBytes(), [&](uint8_t* pixel) {
    double l = s == 8 ? Source.Byte(0) : Source.RawWord(0);
    if (byteL) l /= 2.55;
    const double a = chroma(1), b = chroma(2);
    const double fy = (l + 16) / 116;
    double x, y, z;
    if (l < 7.9996) {
      y = l / 903.3;
      x = a / 3893.5 + y;
      z = y - b / 1557.4;
    } else {
      x = std::pow(a / 500 + fy, 3);
      y = fy * fy * fy;
      z = std::pow(fy - b / 200, 3);
    }
    const uint8_t blue = RoundClamp8(255 * (0.099 * x - 0.198 * y + 1.099 * z));
    const uint8_t green = RoundClamp8(255 * (-0.952 * x + 1.893 * y + 0.059 * z));
    const uint8_t red = RoundClamp8(255 * (2.998 * x - 1.458 * y - 0.541 * z));
    const uint8_t ordered[3] = {RedFirst ? red : blue, green, RedFirst ? blue : red};
    for (int i = 0; i < 3; ++i) {
      if (t == 8)
        pixel[i] = ordered[i];
      else
        Store16(pixel + 2 * i, static_cast<uint16_t>(ordered[i] * 257u));
    }
    Source.Advance(3);
  });
}

void TColorManager::RowConvertYCbCr(TSourceCursor& Source, uint8_t* Target, uint32_t Count,
                                    uint8_t Mask, bool RedFirst) {
  const int s = SourceBitsPerSample_, t = TargetBitsPerSample_;
  const bool wide = s == 16 && t == 16;
  if (!wide && ((s != 8 && s != 16) || t != 8)) return;
  ForMaskedPixels(Target, Count, Mask, TargetPixelBytes(), [&](uint8_t* pixel) {
    if (wide) {
      // Written without clamping: the values wrap to 16 bits.
      const double y = 1.3584 * Source.RawWord(0);
      const double c1 = Source.RawWord(1) - 40092.0, c2 = Source.RawWord(2) - 35209.0;
      const auto wrap = [](double Value) {
        return static_cast<uint16_t>(static_cast<int64_t>(std::nearbyint(Value)));
      };
      const uint16_t blue = wrap(y + 2.2179 * c1);
      const uint16_t green = wrap(y - 0.9271435 * c2 - 0.4302726 * c1);
      const uint16_t red = wrap(y + 1.8215 * c2);
      Store16(pixel, RedFirst ? red : blue);
      Store16(pixel + 2, green);
      Store16(pixel + 4, RedFirst ? blue : red);
    } else {
      const auto sample = [&](int Index) -> int32_t {
        return s == 8 ? Source.Byte(Index) : Reduce16(Source.RawWord(Index));
      };
      const int32_t y = sample(0), cb = sample(1), cr = sample(2);
      const uint8_t blue = Clamp8(y + CbToBlue[cb]);
      const uint8_t green = Clamp8(y + CbToGreen[cb] + CrToGreen[cr]);
      const uint8_t red = Clamp8(y + CrToRed[cr]);
      pixel[0] = RedFirst ? red : blue;
      pixel[1] = green;
      pixel[2] = RedFirst ? blue : red;
    }
    Source.Advance(3);
  });
}

plat::TPixelFormat TColorManager::GetPixelFormat(int Index) const {
  const int samples = Index == 0 ? SourceSamplesPerPixel_ : TargetSamplesPerPixel_;
  const int bits = Index == 0 ? SourceBitsPerSample_ : TargetBitsPerSample_;
  switch (samples) {
    case 1:
      return bits == 1 ? plat::pf1bit : bits <= 4 ? plat::pf4bit : plat::pf8bit;
    case 3:
      return bits <= 5 ? plat::pf15bit : plat::pf24bit;
    case 4:
      return bits < 8 ? plat::pfCustom : plat::pf32bit;
    default:
      return plat::pfCustom;
  }
}

plat::TPalette TColorManager::CreateGrayscalePalette(bool MinimumIsWhite) const {
  const int count = 1 << std::min(TargetBitsPerSample_ * TargetSamplesPerPixel_, 8);
  const int step = 255 / (count - 1);
  const bool gamma = (TargetOptions_ & OptionGamma) != 0;
  std::vector<plat::TPaletteEntry> entries(count);
  for (int i = 0; i < count; ++i) {
    const uint8_t level = gamma ? GammaTable_[i * step] : static_cast<uint8_t>(i * step);
    entries[MinimumIsWhite ? count - 1 - i : i] = {level, level, level, 0};
  }
  return plat::TPalette(std::move(entries));
}

plat::TPalette TColorManager::CreateColorPalette(std::span<const void* const> Data,
                                                 uint8_t DataFormat, uint32_t ColorCount,
                                                 bool Reversed) const {
  // A full work palette, so spreading never reads entries the data did not fill.
  std::array<plat::TPaletteEntry, 256> work{};
  const uint32_t count = std::min<uint32_t>(ColorCount, 256);
  const bool gamma = (TargetOptions_ & OptionGamma) != 0;
  const bool bigEndian = (SourceOptions_ & OptionBigEndian) != 0;
  const auto byte = [&](uint8_t Value) { return gamma ? GammaTable_[Value] : Value; };
  const auto word = [&](const uint8_t* Sample) {
    const uint16_t value = bigEndian ? Swap16(Load16(Sample)) : Load16(Sample);
    return byte(Reduce16(value));
  };
  const bool planes = DataFormat == 2 || DataFormat == 3 || DataFormat >= 6;
  if (Data.empty() || (planes && Data.size() < 3) || DataFormat > 7) return plat::TPalette();
  const auto plane = [&](int Index) { return static_cast<const uint8_t*>(Data[Index]); };
  for (uint32_t i = 0; i < count; ++i) {
    auto& entry = work[i];
    switch (DataFormat) {
      case 0:
      case 1: {
        const uint8_t* triple = plane(0) + 3 * i;
        entry.peRed = byte(triple[Reversed ? 2 : 0]);
        entry.peGreen = byte(triple[1]);
        entry.peBlue = byte(triple[Reversed ? 0 : 2]);
        break;
      }
      case 2:
      case 3:
        entry = {byte(plane(0)[i]), byte(plane(1)[i]), byte(plane(2)[i]), 0};
        break;
      case 4:
      case 5: {
        const uint8_t* triple = plane(0) + 6 * i;
        entry.peRed = word(triple + (Reversed ? 0 : 4));
        entry.peGreen = word(triple + 2);
        entry.peBlue = word(triple + (Reversed ? 4 : 0));
        break;
      }
      default:
        entry = {word(plane(0) + 2 * i), word(plane(1) + 2 * i), word(plane(2) + 2 * i), 0};
    }
  }
  std::vector<plat::TPaletteEntry> entries(work.begin(), work.begin() + count);
  const int s = SourceBitsPerSample_, t = TargetBitsPerSample_;
  if (t <= 8 && s <= 8 && s != t) {
    const uint32_t sourceMax = (1u << s) - 1, targetMax = (1u << t) - 1;
    entries.resize(targetMax + 1);
    for (uint32_t j = 0; j <= targetMax; ++j) entries[j] = work[j * sourceMax / targetMax];
  }
  return plat::TPalette(std::move(entries));
}

}  // namespace readers
