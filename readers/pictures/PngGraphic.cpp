#include "readers/pictures/PngGraphic.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/pictures/BitmapRows.h"
#include "readers/codecs/PngFilters.h"
#include "readers/pictures/ReaderStrings.h"
#include "readers/pictures/TextEncoding.h"

namespace readers {

namespace {

constexpr uint8_t Signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr const char* FormatName = "PNG";

constexpr uint32_t ChunkName(const char (&Letters)[5]) {
  return uint32_t(uint8_t(Letters[0])) << 24 | uint32_t(uint8_t(Letters[1])) << 16 |
         uint32_t(uint8_t(Letters[2])) << 8 | uint32_t(uint8_t(Letters[3]));
}

constexpr uint32_t IHDR = ChunkName("IHDR"), PLTE = ChunkName("PLTE"), IDAT = ChunkName("IDAT"),
                   IEND = ChunkName("IEND"), gAMA = ChunkName("gAMA"), bKGD = ChunkName("bKGD"),
                   tRNS = ChunkName("tRNS"), tEXt = ChunkName("tEXt");
constexpr uint32_t LetterCaseBits = 0x20202020;
// Chunk data of more than 2^31 - 1 bytes is not PNG.
constexpr uint32_t MaxChunkLength = 0x7FFFFFFF;
// Deflate cannot expand data more than this.
constexpr uint64_t MaxInflateRatio = 1032;

uint32_t BigEndian32(const uint8_t* Bytes) {
  return uint32_t(Bytes[0]) << 24 | uint32_t(Bytes[1]) << 16 | uint32_t(Bytes[2]) << 8 | Bytes[3];
}

uint16_t BigEndian16(const uint8_t* Bytes) {
  return static_cast<uint16_t>(Bytes[0] << 8 | Bytes[1]);
}

uint8_t SchemeOfColorType(uint8_t ColorType) {
  switch (ColorType) {
    case 0:
      return SchemeGray;
    case 2:
      return SchemeRGB;
    case 3:
      return SchemeIndexed;
    case 4:
      return SchemeGrayAlpha;
    case 6:
      return SchemeRGBA;
    default:
      return SchemeNone;
  }
}

bool ValidColorFormat(uint8_t Type, uint8_t Depth) {
  const bool lowDepth = Depth == 1 || Depth == 2 || Depth == 4 || Depth == 8;
  const bool wideDepth = Depth == 8 || Depth == 16;
  return (Type == 0 && (lowDepth || Depth == 16)) || (Type == 3 && lowDepth) ||
         ((Type == 2 || Type == 4 || Type == 6) && wideDepth);
}

struct TAdam7Pass {
  uint32_t FirstRow, FirstColumn, RowStep, ColumnStep;
  uint8_t Mask;
};

constexpr TAdam7Pass Adam7[7] = {{0, 0, 8, 8, 0x80}, {0, 4, 8, 8, 0x08}, {4, 0, 8, 4, 0x88},
                                 {0, 2, 4, 4, 0x22}, {2, 0, 4, 2, 0xAA}, {0, 1, 2, 2, 0x55},
                                 {1, 0, 2, 1, 0xFF}};

}  // namespace

const plat::TGraphicClass& TPNGGraphic::StaticClass() {
  static const plat::TGraphicClass cls{"TPNGGraphic", &TReaderGraphic::StaticClass(),
                                       plat::MakeGraphic<TPNGGraphic>};
  return cls;
}

bool TPNGGraphic::CanLoad(const uint8_t* Memory, int64_t Size) {
  if (Size < 18) return false;
  for (int i = 0; i < 8; ++i) {
    const bool letter = (Signature[i] | 0x20) >= 'a' && (Signature[i] | 0x20) <= 'z';
    const uint8_t foldMask = letter ? 0xDF : 0xFF;
    if ((Memory[i] & foldMask) != (Signature[i] & foldMask)) return false;
  }
  return true;
}

void TPNGGraphic::InvalidImage() {
  ReaderError(gesInvalidImage, {FormatName});
}

bool TPNGGraphic::ReadChunkHeader() {
  if (End - Run < 8) return false;
  Chunk.Length = BigEndian32(Run);
  Chunk.Type = BigEndian32(Run + 4);
  Run += 8;
  Chunk.Data = Run;
  return true;
}

bool TPNGGraphic::IsChunk(uint32_t Type) const {
  return (Chunk.Type & ~LetterCaseBits) == (Type & ~LetterCaseBits);
}

bool TPNGGraphic::IsCritical() const {
  return (Chunk.Type & 0x20000000) == 0;
}

bool TPNGGraphic::ChunkFits() const {
  return Chunk.Length <= MaxChunkLength && End - Run >= int64_t{Chunk.Length} + 4;
}

bool TPNGGraphic::SkipChunk() {
  if (!ChunkFits()) return false;
  Run += int64_t{Chunk.Length} + 4;
  return true;
}

void TPNGGraphic::ReadDataAndCheckCRC() {
  if (!SkipChunk()) InvalidImage();
  uint8_t type[4];
  for (int i = 0; i < 4; ++i) type[i] = static_cast<uint8_t>(Chunk.Type >> (24 - 8 * i));
  uLong crc = crc32(0, type, 4);
  crc = crc32(crc, Chunk.Data, Chunk.Length);
  if (crc != BigEndian32(Chunk.Data + Chunk.Length)) ReaderError(gesCRCError, {FormatName});
}

void TPNGGraphic::LoadText() {
  ReadDataAndCheckCRC();
  const auto* data = reinterpret_cast<const char*>(Chunk.Data);
  const std::string_view text(data, Chunk.Length);
  const size_t keywordEnd = text.find('\0');
  if (keywordEnd == std::string_view::npos || text.substr(0, keywordEnd) != "Comment") return;
  const std::string_view comment = text.substr(keywordEnd + 1);
  ImageProperties_.Comment += Latin1ToUtf8(comment.substr(0, comment.find('\0')));
}

bool TPNGGraphic::ReadImageProperties(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) {
  TReaderGraphic::ReadImageProperties(Memory, Size, ImageIndex);
  if (Size < 8 || std::memcmp(Memory, Signature, 8) != 0) return false;
  Run = Memory + 8;
  End = Memory + Size;
  if (!ReadChunkHeader()) return false;
  if (!IsChunk(IHDR)) return true;
  auto& properties = ImageProperties_;
  properties.Options |= PropertyHeaderFirst;
  if (Chunk.Length != 13) return false;
  ReadDataAndCheckCRC();
  const uint8_t* header = Chunk.Data;
  properties.Width = BigEndian32(header);
  properties.Height = BigEndian32(header + 4);
  if (properties.Width == 0 || properties.Height == 0) return true;
  const uint8_t depth = header[8], colorType = header[9];
  properties.BitsPerSample = depth;
  properties.SamplesPerPixel = colorType == 2 ? 3 : colorType == 6 ? 4 : 1;
  properties.ColorScheme = SchemeOfColorType(colorType);
  properties.BitsPerPixel = static_cast<uint8_t>(properties.SamplesPerPixel * depth);
  properties.Compression = header[10] == 0 ? CompressionDeflate : CompressionNone;
  properties.FilterMode = header[11];
  properties.Interlaced = header[12] != 0;
  properties.HasAlpha = properties.ColorScheme == SchemeGrayAlpha ||
                        properties.ColorScheme == SchemeRGBA ||
                        properties.ColorScheme == SchemeBGRA;
  // The rest of the chunks, as far as the data goes.
  while (ReadChunkHeader() && ChunkFits()) {
    if (IsChunk(gAMA)) {
      ReadDataAndCheckCRC();
      if (Chunk.Length >= 4) properties.FileGamma = BigEndian32(Chunk.Data) / 100000.0f;
    } else if (IsChunk(tEXt)) {
      LoadText();
    } else {
      SkipChunk();
      if (IsChunk(IEND)) break;
    }
  }
  return true;
}

uint32_t TPNGGraphic::SetupColorDepth(uint8_t Type, uint8_t Depth) {
  if (!ValidColorFormat(Type, Depth)) ReaderError(gesInvalidColorFormat, {FormatName});
  TColorManager& colors = *ColorManager_;
  const uint8_t indexedBits = Depth == 2 ? 4 : Depth == 16 ? 8 : Depth;
  struct TSetup {
    uint8_t SourceScheme, SourceSamples, TargetScheme, TargetSamples, TargetBits;
    uint32_t BytesPerPixel;
  };
  TSetup setup{};
  switch (Type) {
    case 0:
      setup = {SchemeGray, 1, SchemeGray, 1, indexedBits, (Depth + 7u) / 8};
      break;
    case 2:
      setup = {SchemeRGB, 3, SchemeBGR, 3, 8, Depth * 3u / 8};
      break;
    case 3:
      setup = {SchemeIndexed, 1, SchemeIndexed, 1, indexedBits, 1};
      break;
    case 4:
      setup = {SchemeGrayAlpha, 1, SchemeIndexed, 1, 8, Depth * 2u / 8};
      break;
    default:
      setup = {SchemeRGBA, 4, SchemeBGRA, 4, 8, Depth * 4u / 8};
      break;
  }
  colors.SetSourceBitsPerSample(Depth);
  colors.SetSourceSamplesPerPixel(setup.SourceSamples);
  colors.SetSourceColorScheme(setup.SourceScheme);
  colors.SetTargetBitsPerSample(setup.TargetBits);
  colors.SetTargetSamplesPerPixel(setup.TargetSamples);
  colors.SetTargetColorScheme(setup.TargetScheme);
  switch (Type) {
    case 0:
    case 3:
      SetPixelFormat(colors.GetPixelFormat(1));
      break;
    case 2:
      SetPixelFormat(plat::pf24bit);
      break;
    case 4:
      SetPixelFormat(plat::pf8bit);
      break;
    default:
      SetPixelFormat(plat::pf32bit);
      break;
  }
  if (Type == 0 || Type == 4) PaletteData = colors.CreateGrayscalePalette(false);
  DepthSetUp = true;
  return setup.BytesPerPixel;
}

void TPNGGraphic::LoadPalette() {
  // An empty palette would leave the indices to whatever the bitmap makes of them.
  if (Chunk.Length == 0 || Chunk.Length % 3 != 0) ReaderError(gesInvalidPalette, {FormatName});
  ReadDataAndCheckCRC();
  PaletteRead = true;
  if (ColorType != 3) return;
  ApplyGamma();
  BytesPerPixel = SetupColorDepth(ColorType, BitDepth);
  const void* data[] = {Chunk.Data};
  PaletteData = ColorManager_->CreateColorPalette(data, 0, Chunk.Length / 3, false);
}

// The table is built once, when the palette or the rows first need it: a file may hold any
// number of gamma chunks, and the last one before that moment counts.
void TPNGGraphic::LoadGamma() {
  ReadDataAndCheckCRC();
  if (Chunk.Length < 4) return;
  PendingGamma = BigEndian32(Chunk.Data) / 100000.0f;
  ColorManager_->SetTargetOptions(ColorManager_->TargetOptions() | OptionGamma);
  ImageProperties_.Options |= PropertyGammaApplied;
}

void TPNGGraphic::ApplyGamma() {
  if (!PendingGamma) return;
  ColorManager_->SetGamma(*PendingGamma, 2.2f);
  PendingGamma.reset();
}

void TPNGGraphic::LoadTransparency() {
  ReadDataAndCheckCRC();
  if (ColorType == 3) {
    const uint8_t* alpha = Chunk.Data;
    Transparency.PaletteAlpha.assign(alpha, alpha + std::min<uint32_t>(Chunk.Length, 256));
    return;
  }
  // Keys shorter than their samples are ignored.
  const uint32_t samples = ColorType == 0 ? 1 : ColorType == 2 ? 3 : 0;
  if (samples == 0 || Chunk.Length < 2 * samples) return;
  Transparency.Key.clear();
  for (uint32_t i = 0; i < samples; ++i)
    Transparency.Key.push_back(BigEndian16(Chunk.Data + 2 * i));
}

void TPNGGraphic::ReadRow(uint8_t* Row, uint32_t Count) {
  auto& inflater = static_cast<TLZ77Decoder&>(*Decoder);
  uint8_t* dest = Row;
  uint8_t* const rowEnd = Row + Count;
  for (;;) {
    while (CurrentSource == IDATEnd) {
      // A file that ends while rows are missing was cut short; a chunk of another kind after
      // the image data leaves the rest of the rows as they are.
      if (DataEnded || !ChunkFits()) InvalidImage();
      if (!IsChunk(IDAT)) return;
      ReadDataAndCheckCRC();
      CurrentSource = Chunk.Data;
      IDATEnd = Chunk.Data + Chunk.Length;
      DataEnded = !ReadChunkHeader();
    }
    inflater.Decode(CurrentSource, dest, static_cast<uint32_t>(IDATEnd - CurrentSource),
                    static_cast<uint32_t>(rowEnd - dest));
    if (inflater.ZLibResult() == Z_STREAM_END) {
      if (dest < rowEnd || CurrentSource < IDATEnd)
        ReaderError(gesExtraCompressedData, {FormatName});
      return;
    }
    if (inflater.ZLibResult() != Z_OK) ReaderError(gesCompression, {FormatName});
    if (dest == rowEnd) return;
  }
}

void TPNGGraphic::LoadIDAT() {
  StartStage(gesTransfering);
  ApplyGamma();
  if (!DepthSetUp) {
    if (ColorType == 3) InvalidImage();  // indexed pixels need their palette first
    BytesPerPixel = SetupColorDepth(ColorType, BitDepth);
  }
  const uint32_t width = ImageProperties_.Width, height = ImageProperties_.Height;
  const uint64_t samples = BitDepth == 16 ? BytesPerPixel / 2 : BytesPerPixel;
  const auto rowBytes = [&](uint64_t Pixels) { return (Pixels * BitDepth + 7) / 8 * samples + 1; };

  // A picture bigger than its data could ever inflate to is refused before any allocation. A
  // length that runs past the end of the file counts only the bytes that are there.
  const auto present = [&](int64_t At, uint32_t Length) {
    return static_cast<uint64_t>(std::clamp<int64_t>(End - Run - At, 0, Length));
  };
  uint64_t dataBytes = present(0, Chunk.Length);
  for (int64_t next = int64_t{Chunk.Length} + 4; End - Run - next >= 8;) {
    const uint32_t length = BigEndian32(Run + next);
    if ((BigEndian32(Run + next + 4) & ~LetterCaseBits) != IDAT) break;
    dataBytes += present(next + 8, length);
    next += int64_t{length} + 12;
  }
  if (rowBytes(width) * height > dataBytes * MaxInflateRatio + 1024) InvalidImage();

  std::optional<TPngAlphaRows> alphaRows;
  if (Transparency.Needed()) {
    alphaRows.emplace(Transparency, PixelFormat(), PaletteData, width);
    SetPixelFormat(plat::pf32bit);
  } else if (!PaletteData.Empty()) {
    SetPalette(PaletteData);
  }
  plat::TDecodedRows rows(*this, static_cast<int>(width), static_cast<int>(height), PixelTarget());

  std::vector<uint8_t> current(rowBytes(width)), previous(rowBytes(width));
  const auto decodeRow = [&](uint32_t Y, uint64_t Bytes, uint8_t Mask) {
    ReadRow(current.data(), static_cast<uint32_t>(Bytes));
    ApplyFilter(current[0], current.data() + 1, previous.data() + 1, Bytes - 1, BytesPerPixel);
    const void* source[] = {current.data() + 1};
    uint8_t* target = rows.Row(static_cast<int>(Y));
    if (alphaRows) {
      ColorManager_->ConvertRow(source, alphaRows->PlainRow(), width, Mask);
      alphaRows->Write(current.data() + 1, target, Mask);
    } else {
      ColorManager_->ConvertRow(source, target, width, Mask);
    }
    rows.Written(static_cast<int>(Y), Mask);
    std::swap(current, previous);
  };
  if (InterlaceMethod == 1) {
    for (size_t pass = 0; pass < 7; ++pass) {
      const TAdam7Pass& p = Adam7[pass];
      if (width <= p.FirstColumn) continue;
      const uint64_t bytes = rowBytes((width + p.ColumnStep - 1 - p.FirstColumn) / p.ColumnStep);
      std::fill_n(previous.begin(), bytes, 0);
      for (uint32_t y = p.FirstRow; y < height; y += p.RowStep) {
        decodeRow(y, bytes, p.Mask);
        if (pass == 6) RowDone(y + p.RowStep, height);
      }
    }
  } else {
    for (uint32_t y = 0; y < height; ++y) {
      decodeRow(y, rowBytes(width), 0xFF);
      RowDone(y, height);
    }
  }
  // Data chunks left over are checked but not decoded.
  while (!DataEnded && IsChunk(IDAT) && ChunkFits()) {
    ReadDataAndCheckCRC();
    DataEnded = !ReadChunkHeader();
  }
}

void TPNGGraphic::DecodeMemory(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) {
  if (!ReadImageProperties(Memory, Size, ImageIndex)) InvalidImage();
  Run = Memory + 8;
  End = Memory + Size;
  StartStage(gesPreparing, ImageProperties_.Width);
  DepthSetUp = PaletteRead = ImageRead = DataEnded = false;
  BytesPerPixel = 0;
  PendingGamma.reset();
  PaletteData = plat::TPalette();
  CurrentSource = IDATEnd = nullptr;

  if (!ReadChunkHeader()) InvalidImage();
  ReadDataAndCheckCRC();
  ColorManager_->SetSourceOptions(OptionBigEndian);
  if (ImageProperties_.Compression != CompressionDeflate)
    ReaderError(gesUnsupportedFeature, {gesCompressionScheme, FormatName});
  plat::CheckPictureSize(ImageProperties_.Width, ImageProperties_.Height);
  BitDepth = Chunk.Data[8];
  ColorType = Chunk.Data[9];
  InterlaceMethod = Chunk.Data[12];
  if (!ValidColorFormat(ColorType, BitDepth)) ReaderError(gesInvalidColorFormat, {FormatName});
  Transparency = TPngTransparency();
  Transparency.ColorType = ColorType;
  Transparency.BitDepth = BitDepth;
  Decoder = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
  Decoder->DecodeInit();

  for (;;) {
    DataEnded = !ReadChunkHeader();
    // Once every row is in, the end of the file ends the walk, with or without IEND.
    if (ImageRead && (DataEnded || !ChunkFits())) break;
    if (DataEnded) InvalidImage();
    if (IsChunk(IDAT) && !ImageRead) {
      EndStage();
      LoadIDAT();
      ImageRead = true;
      if (DataEnded || !ChunkFits()) break;
      // The chunk after the image data is taken like any unhandled one below.
    } else if (IsChunk(PLTE) && !PaletteRead && !ImageRead) {
      LoadPalette();
      continue;
    } else if (IsChunk(gAMA)) {
      LoadGamma();
      continue;
    } else if (IsChunk(tRNS)) {
      LoadTransparency();
      continue;
    } else if (IsChunk(bKGD)) {
      // The background never shows: the rows write every pixel.
      ReadDataAndCheckCRC();
      continue;
    }
    if (!SkipChunk()) InvalidImage();
    if (IsChunk(IEND)) break;
    if (IsCritical()) ReaderErrorPlain(gesUnknownCriticalChunk);
  }
  if (!ImageRead) InvalidImage();
  Decoder->DecodeEnd();
  EndStage();
}

}  // namespace readers
