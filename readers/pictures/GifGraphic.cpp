#include "readers/pictures/GifGraphic.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/pictures/BitmapRows.h"
#include "readers/pictures/ReaderStrings.h"
#include "readers/pictures/TextEncoding.h"

namespace readers {

namespace {

constexpr const char* FormatName = "GIF";
constexpr int ScreenDescriptorSize = 7;
constexpr int ImageDescriptorSize = 9;
constexpr uint8_t ColorTableFlag = 0x80;
constexpr uint8_t InterlacedFlag = 0x40;
constexpr uint8_t LabelGraphicControl = 0xF9;
constexpr uint8_t LabelComment = 0xFE;
constexpr int MaxMinimumCodeSize = 8;
// A code of w bits names an entry below 2^w, whose string is shorter than 2^w bytes; 4096 bytes
// for 12 bits is the most any code yields per bit, so a data byte yields at most this many pixels.
constexpr uint64_t MaxExpansionPerByte = (8 * 4096 + 11) / 12;

uint16_t LittleEndian16(const uint8_t* Bytes) {
  return static_cast<uint16_t>(Bytes[0] | Bytes[1] << 8);
}

uint32_t ColorTableEntries(uint8_t Flags) {
  return 2u << (Flags & 7);
}

struct TInterlacePass {
  uint32_t FirstRow, RowStep;
};
constexpr TInterlacePass InterlacePasses[4] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};

}  // namespace

const plat::TGraphicClass& TGIFGraphic::StaticClass() {
  static const plat::TGraphicClass cls{"TGIFGraphic", &TReaderGraphic::StaticClass(),
                                       plat::MakeGraphic<TGIFGraphic>};
  return cls;
}

namespace {

bool HasSignature(const uint8_t* Memory) {
  return plat::SameText(std::string_view(reinterpret_cast<const char*>(Memory), 3), "GIF");
}

}  // namespace

bool TGIFGraphic::CanLoad(const uint8_t* Memory, int64_t Size) {
  return Size >= 23 && HasSignature(Memory);
}

void TGIFGraphic::InvalidImage() {
  ReaderError(gesInvalidImage, {FormatName});
}

bool TGIFGraphic::SkipSubBlocks() {
  while (Has(1)) {
    const uint8_t size = *Run++;
    if (size == 0) return true;
    if (!Has(size)) return false;
    Run += size;
  }
  return false;
}

TGIFGraphic::TBlockWalk TGIFGraphic::ReadExtensions() {
  ImageProperties_.Comment.clear();
  while (Has(1)) {
    const uint8_t introducer = *Run++;
    if (introducer == ',') return TBlockWalk::Image;
    if (introducer == ';') return TBlockWalk::Trailer;
    if (introducer != '!') continue;  // stray bytes between blocks are passed over
    if (!Has(1)) return TBlockWalk::Truncated;
    const uint8_t label = *Run++;
    if (label == LabelGraphicControl && Has(1) && Run[0] >= 4 && Has(1 + Run[0])) {
      if (Run[1] & 1) TransparentIndex = Run[4];
    } else if (label == LabelComment) {
      // Each sub-block's text up to its first zero byte, joined.
      while (Has(1) && Run[0] != 0 && Has(1 + Run[0])) {
        const std::string_view block(reinterpret_cast<const char*>(Run + 1), Run[0]);
        ImageProperties_.Comment += Latin1ToUtf8(block.substr(0, block.find('\0')));
        Run += 1 + Run[0];
      }
    }
    // Every extension, known or not, is a chain of sub-blocks.
    if (!SkipSubBlocks()) return TBlockWalk::Truncated;
  }
  return TBlockWalk::EndOfData;
}

bool TGIFGraphic::ReadImageProperties(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) {
  TReaderGraphic::ReadImageProperties(Memory, Size, ImageIndex);
  Run = Memory;
  End = Memory + Size;
  if (!Has(6) || !HasSignature(Memory)) return false;
  auto& properties = ImageProperties_;
  properties.Version = plat::StrToInt(std::string_view(reinterpret_cast<const char*>(Run + 3), 2));
  properties.ColorScheme = SchemeIndexed;
  properties.SamplesPerPixel = 1;
  properties.BitsPerSample = 8;
  properties.Compression = CompressionLZW;
  Run += 6;
  if (Has(ScreenDescriptorSize)) {
    const uint16_t screenWidth = LittleEndian16(Run), screenHeight = LittleEndian16(Run + 2);
    const uint8_t flags = Run[4];
    Run += ScreenDescriptorSize;
    if (flags & ColorTableFlag) {
      properties.BitsPerSample = static_cast<uint8_t>((flags & 7) + 1);
      Run += std::min<int64_t>(End - Run, 3 * ColorTableEntries(flags));
    }
    if (ReadExtensions() == TBlockWalk::Image && Has(ImageDescriptorSize)) {
      const uint16_t width = LittleEndian16(Run + 4), height = LittleEndian16(Run + 6);
      const uint8_t imageFlags = Run[8];
      properties.Width = width ? width : screenWidth;
      properties.Height = height ? height : screenHeight;
      properties.LocalColorTable = (imageFlags & ColorTableFlag) != 0;
      if (properties.LocalColorTable)
        properties.BitsPerSample = static_cast<uint8_t>((imageFlags & 7) + 1);
      properties.Interlaced = (imageFlags & InterlacedFlag) != 0;
    }
  }
  properties.BitsPerPixel =
      static_cast<uint8_t>(properties.SamplesPerPixel * properties.BitsPerSample);
  return true;
}

plat::TPalette TGIFGraphic::ReadColorTable(uint8_t Flags) {
  const uint32_t count = ColorTableEntries(Flags);
  if (!Has(3 * int64_t{count})) InvalidImage();
  std::vector<plat::TPaletteEntry> entries(count);
  for (auto& entry : entries) {
    entry = {Run[0], Run[1], Run[2], 0};
    Run += 3;
  }
  return plat::TPalette(std::move(entries));
}

void TGIFGraphic::SetTransparentEntry(plat::TPalette& Palette) {
  // Without any colour table the indices show as gray levels.
  std::vector<plat::TPaletteEntry> entries =
      Palette.Empty() ? plat::TPalette::GrayRamp(256).Entries() : Palette.Entries();
  const uint8_t index = *TransparentIndex;
  if (index >= entries.size()) entries.resize(index + 1u);
  // The engine keys out by colour, so the transparent entry gets a colour no other entry has.
  auto& key = entries[index];
  const auto taken = [&](const plat::TPaletteEntry& candidate) {
    for (size_t i = 0; i < entries.size(); ++i)
      if (i != index && entries[i].peRed == candidate.peRed &&
          entries[i].peGreen == candidate.peGreen && entries[i].peBlue == candidate.peBlue)
        return true;
    return false;
  };
  for (int step = 1; taken(key); ++step) {
    key.peBlue = static_cast<uint8_t>(key.peBlue + step);
    if (step % 256 == 0) key.peGreen = static_cast<uint8_t>(key.peGreen + 1);
  }
  Palette = plat::TPalette(std::move(entries));
  SetTransparentColor(plat::RGB(key.peRed, key.peGreen, key.peBlue));
  SetTransparent(true);
}

void TGIFGraphic::DecodeMemory(const uint8_t* Memory, int64_t Size, uint32_t ImageIndex) {
  if (!ReadImageProperties(Memory, Size, ImageIndex)) InvalidImage();
  const uint32_t width = ImageProperties_.Width, height = ImageProperties_.Height;
  TransparentIndex.reset();
  StartStage(gesPreparing, width);
  Run = Memory + 6;
  End = Memory + Size;
  SetPixelFormat(plat::pf8bit);
  if (!Has(ScreenDescriptorSize)) InvalidImage();
  const uint8_t screenFlags = Run[4];
  Run += ScreenDescriptorSize;
  plat::TPalette palette;
  if (screenFlags & ColorTableFlag) {
    palette = ReadColorTable(screenFlags);
    SetPalette(palette);
  }
  const TBlockWalk walk = ReadExtensions();
  EndStage();
  if (walk == TBlockWalk::Truncated) InvalidImage();
  if (walk != TBlockWalk::Image) return;  // no image: an empty bitmap

  StartStage(gesLoadingData);
  if (!Has(ImageDescriptorSize)) InvalidImage();
  const uint8_t imageFlags = Run[8];
  Run += ImageDescriptorSize;
  if (imageFlags & ColorTableFlag) palette = ReadColorTable(imageFlags);

  if (!Has(1)) InvalidImage();
  const uint8_t codeSize = *Run++;
  if (codeSize > MaxMinimumCodeSize) InvalidImage();
  // The data sub-blocks, read in place by the decoder. Their 0 terminator may be missing (the file
  // ends, or the trailer follows, after the last block): the picture is kept when the data it has
  // fills every pixel.
  const uint8_t* const blocks = Run;
  uint64_t dataBytes = 0;
  bool terminated = false;
  while (Has(1)) {
    const uint8_t size = *Run;
    if (size == 0) {
      ++Run;
      terminated = true;
      break;
    }
    if (!Has(1 + size)) break;
    dataBytes += size;
    Run += 1 + size;
  }
  if (!terminated && Run == blocks) InvalidImage();
  const uint64_t pixelCount = uint64_t{width} * height;
  if (pixelCount == 0) InvalidImage();  // no size from the image nor from the screen
  if (pixelCount > dataBytes * MaxExpansionPerByte + 4096) InvalidImage();

  if (TransparentIndex) SetTransparentEntry(palette);
  if (!palette.Empty()) SetPalette(palette);
  std::vector<uint8_t> pixels(pixelCount);  // index 0 where the data does not reach
  Decoder = std::make_unique<TGIFLZWDecoder>(codeSize);
  auto& decoder = static_cast<TGIFLZWDecoder&>(*Decoder);
  decoder.DecodeSubBlocks(blocks, End, pixels.data(), static_cast<uint32_t>(pixelCount));
  const bool complete = decoder.Written() == pixelCount;
  Decoder.reset();
  if (!terminated && !complete) InvalidImage();
  EndStage();

  StartStage(gesTransfering);
  plat::TDecodedRows rows(*this, static_cast<int>(width), static_cast<int>(height), PixelTarget());
  const uint8_t* row = pixels.data();
  const auto copyRow = [&](uint32_t Y) {
    std::copy_n(row, width, rows.Row(static_cast<int>(Y)));
    rows.Written(static_cast<int>(Y));
    row += width;
  };
  if (imageFlags & InterlacedFlag) {
    for (size_t pass = 0; pass < 4; ++pass) {
      const auto [first, step] = InterlacePasses[pass];
      for (uint32_t y = first; y < height; y += step) {
        copyRow(y);
        if (pass == 3) RowDone(y + step, height);
      }
    }
  } else {
    for (uint32_t y = 0; y < height; ++y) {
      copyRow(y);
      RowDone(y, height);
    }
  }
  EndStage();
}

}  // namespace readers
