#include "graphics/bitmap/Bitmap32Format.h"

#include <algorithm>

namespace gfx::bitmap32_format {
namespace {

std::uint32_t Read16(const std::uint8_t* p) {
  return p[0] | (std::uint32_t{p[1]} << 8);
}

std::uint32_t Read32(const std::uint8_t* p) {
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

void Write16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Write32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

constexpr std::int64_t kInfoHeaderSize = 40;

}  // namespace

std::optional<std::string> CheckSize(std::int64_t width, std::int64_t height) {
  if (width < 0 || height < 0) return "negative picture size";
  if (width > kMaxSide || height > kMaxSide) return "picture side above 32767 pixels";
  if (width * height > kMaxPixels) return "picture larger than 2^28 pixels";
  return std::nullopt;
}

bool FitsBmpFields(std::int64_t width, std::int64_t height) {
  return width >= 0 && height >= 0 && width <= INT32_MAX && height <= INT32_MAX &&
         static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4 +
                 kBmpHeaderSize <=
             UINT32_MAX;
}

std::array<std::uint8_t, kBmpHeaderSize> EncodeBmpHeader(std::int32_t width, std::int32_t height,
                                                         bool bottomUp) {
  std::array<std::uint8_t, kBmpHeaderSize> h{};
  const auto imageSize = static_cast<std::uint32_t>(std::uint64_t(width) * height * 4);
  h[0] = 'B';
  h[1] = 'M';
  Write32(&h[2], imageSize + kBmpHeaderSize);
  std::copy(kRealAlphaMark.begin(), kRealAlphaMark.end(), &h[6]);
  Write32(&h[10], kBmpHeaderSize);
  Write32(&h[14], kInfoHeaderSize);
  Write32(&h[18], static_cast<std::uint32_t>(width));
  Write32(&h[22], static_cast<std::uint32_t>(bottomUp ? height : -height));
  Write16(&h[26], 1);
  Write16(&h[28], 32);
  Write32(&h[34], imageSize);
  return h;
}

BmpKind ClassifyBmpHeader(const std::array<std::uint8_t, kBmpHeaderSize>& h) {
  if (h[0] != 'B' || h[1] != 'M') return BmpKind::NotBmp;
  // A smaller info header (the 12-byte core header) puts other fields at these offsets.
  const bool direct = Read32(&h[14]) >= kInfoHeaderSize && Read16(&h[26]) == 1 &&
                      Read16(&h[28]) == 32 && Read32(&h[30]) == 0;
  return direct ? BmpKind::Direct32 : BmpKind::OtherBmp;
}

BmpParse ParseDirectHeader(const std::array<std::uint8_t, kBmpHeaderSize>& h,
                           std::int64_t availableBytes) {
  BmpParse result;
  const auto width = static_cast<std::int32_t>(Read32(&h[18]));
  const auto rawHeight = static_cast<std::int32_t>(Read32(&h[22]));
  const std::int64_t height = rawHeight < 0 ? -std::int64_t{rawHeight} : rawHeight;
  if (auto reason = CheckSize(width, height)) {
    result.error = *reason;
    return result;
  }
  const std::int64_t infoSize = Read32(&h[14]);
  const std::int64_t offset = Read32(&h[10]);
  if (offset < static_cast<std::int64_t>(14 + infoSize)) {
    result.error = "pixel data overlaps the header";
    return result;
  }
  const std::int64_t end = offset + std::int64_t{width} * height * 4;
  if (availableBytes >= 0 && end > availableBytes) {
    result.error = "file shorter than its pixel data";
    return result;
  }
  result.layout = BmpLayout{width, static_cast<std::int32_t>(height), rawHeight > 0,
                            static_cast<std::uint32_t>(offset),
                            std::equal(kRealAlphaMark.begin(), kRealAlphaMark.end(), &h[6])};
  return result;
}

std::array<std::uint8_t, kDataHeaderSize> EncodeDataHeader(std::int32_t width,
                                                           std::int32_t height) {
  std::array<std::uint8_t, kDataHeaderSize> h{};
  Write32(&h[0], static_cast<std::uint32_t>(width));
  Write32(&h[4], static_cast<std::uint32_t>(height));
  return h;
}

DataParse ParseDataHeader(const std::array<std::uint8_t, kDataHeaderSize>& head,
                          std::int64_t availableBytes) {
  DataParse result;
  result.width = static_cast<std::int32_t>(Read32(&head[0]));
  result.height = static_cast<std::int32_t>(Read32(&head[4]));
  if (auto reason = CheckSize(result.width, result.height)) {
    result.error = *reason;
  } else if (availableBytes >= 0 &&
             std::int64_t{result.width} * result.height * 4 > availableBytes) {
    result.error = "pixel data shorter than its size";
  }
  return result;
}

}  // namespace gfx::bitmap32_format
