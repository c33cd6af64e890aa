// Byte builders and helpers shared by the picture tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pictures/Bitmap.h"

namespace pictest {

// Little-endian byte writer.
struct Bytes {
  std::string data;
  Bytes& U8(uint32_t v) {
    data.push_back(char(v & 0xFF));
    return *this;
  }
  Bytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
  Bytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& Raw(const std::string& s) {
    data += s;
    return *this;
  }
  Bytes& Zeros(size_t n) {
    data.append(n, '\0');
    return *this;
  }
  size_t Size() const { return data.size(); }
};

// A 40-byte (or larger, zero-extended) info header.
inline Bytes InfoHeader(uint32_t size, int32_t width, int32_t height, uint16_t bpp,
                        uint32_t compression, uint32_t colorsUsed = 0, uint32_t imageSize = 0) {
  Bytes b;
  b.U32(size).U32(uint32_t(width)).U32(uint32_t(height)).U16(1).U16(bpp).U32(compression);
  b.U32(imageSize).U32(2835).U32(2835).U32(colorsUsed).U32(0);
  b.Zeros(size - 40);
  return b;
}

// File header + the given header, table and pixels; pixelGap bytes of junk before the pixels.
inline std::string BmpFile(const Bytes& header, const Bytes& table, const Bytes& pixels,
                           size_t pixelGap = 0) {
  const size_t offset = 14 + header.Size() + table.Size() + pixelGap;
  Bytes file;
  file.Raw("BM").U32(uint32_t(offset + pixels.Size())).U32(0).U32(uint32_t(offset));
  file.Raw(header.data).Raw(table.data).Raw(std::string(pixelGap, '\x5A')).Raw(pixels.data);
  return file.data;
}

// Pads a row to 4 bytes.
inline void PadRow(Bytes& b, size_t rowBytes) {
  while (rowBytes % 4) {
    b.U8(0);
    ++rowBytes;
  }
}

// All pixels of a bitmap as 0xAARRGGBB, rows top to bottom.
inline std::vector<uint32_t> Pixels(const plat::TBitmap& bitmap) {
  std::vector<uint32_t> all;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) all.push_back(bitmap.PixelARGB(x, y));
  }
  return all;
}

// Loads a BMP held in a string.
inline void LoadBmp(plat::TBitmap& bitmap, const std::string& file) {
  plat::TReadOnlyMemoryStream stream(file.data(), int64_t(file.size()));
  bitmap.LoadFromStream(stream);
}

// Deterministic pseudo-random bytes.
inline uint32_t NextRandom(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

}  // namespace pictest
