// Bounds-checked little-endian reading of metafile records, and the helpers both record readers
// share: bitmaps inside records and 8-bit text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/metafile/MetafilePlayer.h"

namespace plat {

// A view of one record's bytes; every read outside it raises EInvalidGraphic.
class MetafileBytes {
 public:
  MetafileBytes(const uint8_t* data, size_t size, const char* what)
      : data_(data), size_(size), what_(what) {}

  size_t Size() const { return size_; }

  uint8_t U8(size_t at) const { return *Need(at, 1); }
  uint16_t U16(size_t at) const {
    const uint8_t* p = Need(at, 2);
    return uint16_t(p[0] | (p[1] << 8));
  }
  int16_t I16(size_t at) const { return int16_t(U16(at)); }
  uint32_t U32(size_t at) const {
    const uint8_t* p = Need(at, 4);
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
  }
  int32_t I32(size_t at) const { return int32_t(U32(at)); }
  float F32(size_t at) const {
    const uint32_t bits = U32(at);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  // count bytes from at, checked.
  std::span<const uint8_t> Span(size_t at, uint64_t count) const {
    return {Need(at, count), size_t(count)};
  }
  // Raises unless at + count bytes exist.
  const uint8_t* Need(size_t at, uint64_t count) const {
    if (at > size_ || count > size_ - at) InvalidMetafile(std::string(what_) + " is truncated");
    return data_ + at;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  const char* what_;
};

// A bitmap decoded from a record: 0xAARRGGBB pixels, rows top to bottom.
struct DecodedDib {
  int width = 0, height = 0;
  bool bottomUp = true;
  std::vector<uint32_t> pixels;
};
// nullopt when the bitmap cannot be decoded (such records are skipped), or when its colour table
// holds anything but colours. The fourth byte of 32-bit pixels is kept as alpha only when asked;
// block transfers are otherwise opaque.
std::optional<DecodedDib> DecodeMetafileDib(const MetafileDib& dib, bool keepAlpha = false);
// The bytes of the header and colour table of a packed bitmap (header, table, bits in a row);
// nullopt when the header is not one of a bitmap.
std::optional<size_t> PackedDibInfoSize(std::span<const uint8_t> packed,
                                        DibTable table = DibTable::Colors);
// The bitmap's header followed by a table of colours: entry i becomes color(i, recorded), where
// recorded is what the file's table holds there (a colour 0x00BBGGRR, a palette number, or 0
// without a table). nullopt when the header is damaged.
std::optional<std::vector<uint8_t>> WithColorTable(
    const MetafileDib& dib, const std::function<uint32_t(size_t, uint32_t)>& color);

// 8-bit text in the Windows Western code page.
std::u16string AnsiToUtf16(std::span<const uint8_t> text);
// A face name up to its first NUL, as UTF-8.
std::string FaceNameUtf8(std::u16string_view name);

}  // namespace plat
