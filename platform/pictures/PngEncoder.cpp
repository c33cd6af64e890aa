#include "platform/pictures/PngEncoder.h"

#include <zlib.h>

#include <array>
#include <string>
#include <vector>

#include "platform/runtime/SysUtils.h"

namespace plat {
namespace {

constexpr std::array<uint8_t, 8> Signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t ColorTypeRgb = 2, ColorTypeRgba = 6;
constexpr uint8_t FilterUp = 2;
// Compressed bytes per IDAT chunk.
constexpr size_t ChunkData = size_t(1) << 18;

void PutBigEndian(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += char(v >> shift);
}

// One chunk: length, type, data, and the CRC of type and data.
void WriteChunk(const PngByteSink& sink, const char (&type)[5], const uint8_t* data, size_t size) {
  std::string head;
  PutBigEndian(head, uint32_t(size));
  head.append(type, 4);
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  if (size) crc = crc32(crc, data, uInt(size));
  sink(head.data(), head.size());
  if (size) sink(reinterpret_cast<const char*>(data), size);
  std::string tail;
  PutBigEndian(tail, uint32_t(crc));
  sink(tail.data(), tail.size());
}

bool Opaque(int32_t width, int32_t height, const ArgbRowSource& rows) {
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* row = rows(y);
    for (int32_t x = 0; x < width; ++x)
      if (row[x] < 0xFF000000u) return false;
  }
  return true;
}

// The row's bytes in PNG order: red, green, blue and, with Alpha, alpha.
void RowBytes(const uint32_t* row, int32_t width, bool alpha, uint8_t* out) {
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t p = row[x];
    *out++ = uint8_t(p >> 16);
    *out++ = uint8_t(p >> 8);
    *out++ = uint8_t(p);
    if (alpha) *out++ = uint8_t(p >> 24);
  }
}

class TDeflater {
 public:
  explicit TDeflater(const PngByteSink& sink) : sink_(sink), out_(ChunkData) {
    // Runs only, at the quickest level: nearly the speed of storing, a fraction of the size.
    if (deflateInit2(&z_, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
      throw EOutOfMemory("Out of memory while compressing a PNG picture.");
    Reset();
  }
  ~TDeflater() { deflateEnd(&z_); }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;

  void Add(const uint8_t* bytes, size_t size, bool last) {
    z_.next_in = const_cast<Bytef*>(bytes);
    z_.avail_in = uInt(size);
    const int flush = last ? Z_FINISH : Z_NO_FLUSH;
    for (;;) {
      const int result = deflate(&z_, flush);
      if (z_.avail_out == 0) Emit();
      if (result == Z_STREAM_END) break;
      if (!last && z_.avail_in == 0 && z_.avail_out != 0) break;
    }
    if (last && z_.avail_out != out_.size()) Emit();
  }

 private:
  void Emit() {
    WriteChunk(sink_, "IDAT", out_.data(), out_.size() - z_.avail_out);
    Reset();
  }
  void Reset() {
    z_.next_out = out_.data();
    z_.avail_out = uInt(out_.size());
  }
  const PngByteSink& sink_;
  std::vector<uint8_t> out_;
  z_stream z_{};
};

}  // namespace

void EncodeFastPng(int32_t width, int32_t height, const ArgbRowSource& rows,
                   const PngByteSink& sink) {
  const bool alpha = !Opaque(width, height, rows);
  sink(reinterpret_cast<const char*>(Signature.data()), Signature.size());
  std::string header;
  PutBigEndian(header, uint32_t(width));
  PutBigEndian(header, uint32_t(height));
  header += char(8);  // bits per channel
  header += char(alpha ? ColorTypeRgba : ColorTypeRgb);
  header.append(3, '\0');  // deflate, adaptive filtering, no interlace
  WriteChunk(sink, "IHDR", reinterpret_cast<const uint8_t*>(header.data()), header.size());

  const size_t rowSize = size_t(width) * (alpha ? 4 : 3);
  // The row above starts as zeros, which makes the first row's difference the row itself.
  std::vector<uint8_t> above(rowSize, 0), current(rowSize), filtered(rowSize + 1);
  filtered[0] = FilterUp;
  TDeflater deflater(sink);
  for (int32_t y = 0; y < height; ++y) {
    RowBytes(rows(y), width, alpha, current.data());
    for (size_t i = 0; i < rowSize; ++i) filtered[i + 1] = uint8_t(current[i] - above[i]);
    deflater.Add(filtered.data(), filtered.size(), y == height - 1);
    above.swap(current);
  }
  WriteChunk(sink, "IEND", nullptr, 0);
}

}  // namespace plat
