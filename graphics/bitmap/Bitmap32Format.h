// The two pixel formats the bitmap reads and writes itself: the 32-bit BMP file (54-byte header,
// uncompressed, alpha kept) and the "Data" block of the stored window layouts (width, height,
// pixels). Pure byte-level helpers; the bitmap does the stream work and raises the errors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/pictures/BmpCodec.h"

namespace gfx::bitmap32_format {

inline constexpr std::size_t kBmpHeaderSize = 54;
inline constexpr std::size_t kDataHeaderSize = 8;

// Pictures beyond these limits are refused whatever their source.
inline constexpr std::int64_t kMaxSide = 32767;
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

// Empty when the size is acceptable, otherwise the reason.
std::optional<std::string> CheckSize(std::int64_t width, std::int64_t height);

// The files the bitmap writes carry the mark that their alpha is real.
inline constexpr std::array<std::uint8_t, 4> kRealAlphaMark = plat::kBmpRealAlphaMark;

// The header of a 32-bit BMP holding Width x Height pixels, with the mark above; throws nothing,
// the caller has checked that the size fits the 32-bit fields (FitsBmpFields).
std::array<std::uint8_t, kBmpHeaderSize> EncodeBmpHeader(std::int32_t width, std::int32_t height,
                                                         bool bottomUp);
bool FitsBmpFields(std::int64_t width, std::int64_t height);

// Where the pixels of an uncompressed 32-bit BMP are and how they are ordered.
struct BmpLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;  // always positive or 0
  bool bottomUp = false;
  std::uint32_t pixelOffset = 0;  // from the start of the header
  bool realAlpha = false;         // the file carries kRealAlphaMark
};

enum class BmpKind {
  NotBmp,    // no "BM" signature
  OtherBmp,  // a BMP the bitmap does not read itself (other depth, compression or header)
  Direct32,  // an uncompressed 32-bit BMP that the bitmap reads itself
};

BmpKind ClassifyBmpHeader(const std::array<std::uint8_t, kBmpHeaderSize>& header);

// Layout of a Direct32 header whose file holds AvailableBytes bytes from the header's start (-1
// when unknown), or the reason it cannot be read.
struct BmpParse {
  std::optional<BmpLayout> layout;
  std::string error;
};
BmpParse ParseDirectHeader(const std::array<std::uint8_t, kBmpHeaderSize>& header,
                           std::int64_t availableBytes);

// The 8-byte head of a "Data" block.
std::array<std::uint8_t, kDataHeaderSize> EncodeDataHeader(std::int32_t width, std::int32_t height);
struct DataParse {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::string error;  // empty when the block can be read
};
DataParse ParseDataHeader(const std::array<std::uint8_t, kDataHeaderSize>& head,
                          std::int64_t availableBytes);

}  // namespace gfx::bitmap32_format
