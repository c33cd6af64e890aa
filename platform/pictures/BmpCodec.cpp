#include "platform/pictures/BmpCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "platform/pictures/BitmapRows.h"

namespace plat {

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;
constexpr size_t kFileHeaderSize = 14;
// A BMP is never larger than the largest picture at 32 bits plus its headers and palette.
constexpr int64_t kMaxBmpBytes = kMaxPicturePixels * 4 + 65536;

// Bytes of a stored row: whole 32-bit words.
int64_t RowBytes(int64_t width, int bpp) {
  return (width * bpp + 31) / 32 * 4;
}

[[noreturn]] void Invalid(const char* why) {
  throw EInvalidGraphic(std::string("Invalid bitmap: ") + why);
}

// Bounds-checked little-endian reads.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Size() const { return size_; }
  const uint8_t* At(size_t offset) const { return data_ + offset; }
  void Need(size_t offset, uint64_t count) const {
    if (offset > size_ || count > size_ - offset) Invalid("the data ends too early");
  }
  uint8_t U8(size_t offset) const {
    Need(offset, 1);
    return data_[offset];
  }
  uint16_t U16(size_t offset) const {
    Need(offset, 2);
    return uint16_t(data_[offset] | (data_[offset + 1] << 8));
  }
  uint32_t U32(size_t offset) const {
    Need(offset, 4);
    return uint32_t(data_[offset]) | (uint32_t(data_[offset + 1]) << 8) |
           (uint32_t(data_[offset + 2]) << 16) | (uint32_t(data_[offset + 3]) << 24);
  }
  int32_t I32(size_t offset) const { return int32_t(U32(offset)); }

 private:
  const uint8_t* data_;
  size_t size_;
};

struct ChannelMask {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  uint32_t Extract(uint32_t value) const {
    if (bits == 0) return 255;
    uint32_t v = (value & mask) >> shift;
    return bits >= 8 ? v >> (bits - 8) : ExpandChannel(v, bits);
  }
};

struct DibHeader {
  uint32_t headerSize = 0;
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = BI_RGB;
  uint32_t imageSize = 0;
  ChannelMask red, green, blue, alpha;
  TPalette palette;
  size_t headerEnd = 0;   // after header and masks
  size_t pixelStart = 0;  // right after the colour table
};

ChannelMask MakeMask(uint32_t mask, int bpp) {
  ChannelMask m;
  if (mask == 0) return m;
  if (bpp < 32 && (mask >> bpp) != 0) Invalid("a colour mask lies outside the pixel");
  m.mask = mask;
  m.shift = std::countr_zero(mask);
  m.bits = std::popcount(mask);
  if ((mask >> m.shift) != (uint32_t(1) << m.bits) - 1 && m.bits < 32) {
    Invalid("a colour mask is not contiguous");
  }
  return m;
}

void SetMasks(DibHeader& h, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  if (r == 0 || g == 0 || b == 0) Invalid("a colour mask is empty");
  if ((r & g) || (r & b) || (g & b) || ((r | g | b) & a)) Invalid("colour masks overlap");
  h.red = MakeMask(r, h.bpp);
  h.green = MakeMask(g, h.bpp);
  h.blue = MakeMask(b, h.bpp);
  h.alpha = MakeMask(a, h.bpp);
}

bool ValidDepth(uint32_t headerSize, int bpp, uint32_t compression) {
  switch (compression) {
    case BI_RGB:
      return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 ||
             (headerSize > 12 && (bpp == 16 || bpp == 32));
    case BI_RLE8:
      return bpp == 8;
    case BI_RLE4:
      return bpp == 4;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
      return bpp == 16 || bpp == 32;
    default:
      return false;
  }
}

// Parses the info header at `at`. iconHeight: the stored height covers colour image and mask.
DibHeader ParseHeader(const Bytes& b, size_t at, bool iconHeight) {
  DibHeader h;
  h.headerSize = b.U32(at);
  int64_t width, height;
  int planes;
  uint32_t colorsUsed = 0;
  if (h.headerSize == 12) {
    width = b.U16(at + 4);
    height = b.U16(at + 6);
    planes = b.U16(at + 8);
    h.bpp = b.U16(at + 10);
  } else if (h.headerSize == 40 || h.headerSize == 52 || h.headerSize == 56 ||
             h.headerSize == 108 || h.headerSize == 124) {
    b.Need(at, h.headerSize);
    width = b.I32(at + 4);
    height = b.I32(at + 8);
    planes = b.U16(at + 12);
    h.bpp = b.U16(at + 14);
    h.compression = b.U32(at + 16);
    h.imageSize = b.U32(at + 20);
    colorsUsed = b.U32(at + 32);
  } else {
    Invalid("unknown header size");
  }
  b.Need(at, h.headerSize);
  if (planes != 1) Invalid("the plane count is not 1");
  if (iconHeight) height /= 2;
  h.topDown = height < 0;
  height = height < 0 ? -height : height;
  if (width <= 0 || height <= 0) Invalid("the width or height is not positive");
  CheckPictureSize(width, height);
  h.width = int(width);
  h.height = int(height);
  if (!ValidDepth(h.headerSize, h.bpp, h.compression)) {
    Invalid("unsupported bit depth or compression");
  }
  const bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
  if (rle && h.topDown) Invalid("run-length data must be stored bottom-up");

  size_t pos = at + h.headerSize;
  if (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) {
    uint32_t masks[4] = {0, 0, 0, 0};
    const int count = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
    if (h.headerSize >= 52) {
      for (int i = 0; i < 3; ++i) masks[i] = b.U32(at + 40 + 4 * size_t(i));
      if (h.headerSize >= 56) masks[3] = b.U32(at + 52);
    } else {
      for (int i = 0; i < count; ++i) masks[i] = b.U32(pos + 4 * size_t(i));
      pos += 4 * size_t(count);
    }
    SetMasks(h, masks[0], masks[1], masks[2], masks[3]);
  } else if (h.bpp == 16) {
    SetMasks(h, 0x7C00, 0x03E0, 0x001F, 0);
  } else if (h.bpp == 32) {
    SetMasks(h, 0xFF0000, 0xFF00, 0xFF, 0);
  }
  h.headerEnd = pos;

  const size_t entrySize = h.headerSize == 12 ? 3 : 4;
  uint64_t tableEntries = colorsUsed;
  if (h.bpp <= 8) {
    const uint32_t full = uint32_t(1) << h.bpp;
    if (tableEntries == 0) tableEntries = full;
    if (tableEntries > 256) Invalid("the colour table is too large");
    const int used = int(std::min<uint64_t>(tableEntries, full));
    b.Need(pos, uint64_t(used) * entrySize);
    std::vector<TPaletteEntry> entries(static_cast<size_t>(used));
    for (int i = 0; i < used; ++i) {
      const uint8_t* e = b.At(pos + size_t(i) * entrySize);
      entries[size_t(i)] = {e[2], e[1], e[0], 0};
    }
    h.palette = TPalette(std::move(entries));
  } else if (tableEntries > 256) {
    tableEntries = 0;  // an optional table for palette devices; a bogus count is ignored
  }
  h.pixelStart = pos + size_t(tableEntries) * entrySize;
  return h;
}

TPixelFormat IndexedFormat(int bpp) {
  return bpp == 1 ? pf1bit : bpp == 4 ? pf4bit : pf8bit;
}

bool Masks(const DibHeader& h, uint32_t r, uint32_t g, uint32_t b) {
  return h.red.mask == r && h.green.mask == g && h.blue.mask == b;
}

const uint8_t* SourceRow(const DibHeader& h, const uint8_t* pixels, int64_t stride, int y) {
  return pixels + (h.topDown ? y : h.height - 1 - y) * stride;
}

// RealAlpha: the file's alpha stands even when it is 0 everywhere.
std::unique_ptr<TBitmap> DecodeUncompressed(const DibHeader& h, const Bytes& b, size_t offset,
                                            bool realAlpha, size_t* end,
                                            const ArgbPictureTarget* target) {
  const int64_t stride = RowBytes(h.width, h.bpp);
  b.Need(offset, uint64_t(stride) * uint64_t(h.height));
  *end = offset + size_t(stride * h.height);
  const uint8_t* pixels = b.At(offset);

  TPixelFormat format;
  bool raw = true;
  if (h.bpp <= 8) {
    format = IndexedFormat(h.bpp);
  } else if (h.bpp == 24) {
    format = pf24bit;
  } else if (h.bpp == 16 && h.alpha.bits == 0 && Masks(h, 0x7C00, 0x03E0, 0x001F)) {
    format = pf15bit;
  } else if (h.bpp == 16 && h.alpha.bits == 0 && Masks(h, 0xF800, 0x07E0, 0x001F)) {
    format = pf16bit;
  } else if (h.bpp == 32 && Masks(h, 0xFF0000, 0xFF00, 0xFF) &&
             (h.compression == BI_RGB || h.alpha.mask == 0xFF000000u)) {
    format = pf32bit;
  } else {
    raw = false;
    format = h.alpha.bits ? pf32bit : pf24bit;
  }

  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(format);
  if (h.bpp <= 8) bitmap->SetPalette(h.palette);
  TDecodedRows rows(*bitmap, h.width, h.height, target);
  if (raw) {
    const size_t rowBytes = size_t(std::min(stride, rows.RowBytes()));
    for (int y = 0; y < h.height; ++y) {
      std::memcpy(rows.Row(y), SourceRow(h, pixels, stride, y), rowBytes);
      rows.Written(y);
    }
  } else {
    std::vector<uint32_t> argb(static_cast<size_t>(h.width));
    RowWriter writer(format, bitmap->Palette());
    const int bytesPerPixel = h.bpp / 8;
    for (int y = 0; y < h.height; ++y) {
      const uint8_t* src = SourceRow(h, pixels, stride, y);
      for (int x = 0; x < h.width; ++x) {
        const uint8_t* p = src + x * bytesPerPixel;
        uint32_t v = bytesPerPixel == 2 ? uint32_t(p[0] | (p[1] << 8))
                                        : uint32_t(p[0]) | (uint32_t(p[1]) << 8) |
                                              (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
        argb[size_t(x)] = (h.alpha.Extract(v) << 24) | (h.red.Extract(v) << 16) |
                          (h.green.Extract(v) << 8) | h.blue.Extract(v);
      }
      writer.Write(argb.data(), h.width, rows.Row(y));
      rows.Written(y);
    }
  }
  // 32-bit rows have no padding, so the pixels are one block.
  if (format == pf32bit && !realAlpha)
    OpaqueWhenAlphaEmpty(rows.Row(0), size_t(h.width) * h.height);
  return bitmap;
}

// Where a walk over run-length data ended: the bytes it used and the position it reached, in
// pixels from the bottom-left corner (x may lie beyond the row, y beyond the picture).
struct RunLengthEnd {
  size_t bytes;
  int64_t x, y;
};

// Walks run-length data: pairs (count, value) and escapes 0 (end of line), 1 (end of picture),
// 2 (move by dx, dy) and n >= 3 (n literal pixels, padded to 16 bits). Each run or literal goes
// to write(x, y, count, pixel), pixel(i) giving its i-th index. The data must end with the
// end-of-picture escape.
template <typename Write>
RunLengthEnd WalkRunLength(const Bytes& data, bool four, Write&& write) {
  const auto nibble = [four](uint8_t byte, int i) {
    return four ? uint8_t((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte;
  };
  size_t pos = 0;
  int64_t x = 0, y = 0;
  for (;;) {
    const uint8_t count = data.U8(pos);
    const uint8_t value = data.U8(pos + 1);
    pos += 2;
    if (count > 0) {
      write(x, y, count, [&](int i) { return nibble(value, i); });
      x += count;
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return {pos, x, y};
    } else if (value == 2) {
      x += data.U8(pos);
      y += data.U8(pos + 1);
      pos += 2;
    } else {
      const size_t bytes = four ? (size_t(value) + 1) / 2 : value;
      data.Need(pos, bytes);
      const uint8_t* literal = data.At(pos);
      write(x, y, value, [&](int i) { return nibble(literal[four ? i / 2 : i], i); });
      x += value;
      pos += bytes + (bytes & 1);
    }
  }
}

// Pixels that no run or literal writes (skipped by moves and ends of line, or after the end of
// the data) stay blank, but a picture may hold no more than this many of them for every byte of
// its data: the memory a picture costs stays in proportion to the file.
constexpr uint64_t kBlankPixelsPerDataByte = 1024;

// The most run-length data a picture can need: every pixel a run of its own, every row ended.
uint64_t RunLengthDataLimit(const DibHeader& h) {
  return 2 * uint64_t(h.width) * uint64_t(h.height) + 2 * uint64_t(h.height) + 2;
}

// Pixels that fall outside the picture are dropped.
std::unique_ptr<TBitmap> DecodeRunLength(const DibHeader& h, const Bytes& b, size_t offset,
                                         size_t* end, const ArgbPictureTarget* target) {
  size_t available = b.Size() >= offset ? b.Size() - offset : 0;
  if (h.imageSize != 0 && h.imageSize < available) available = h.imageSize;
  available = size_t(std::min<uint64_t>(available, RunLengthDataLimit(h)));
  const Bytes data(b.At(std::min(offset, b.Size())), available);
  const bool four = h.compression == BI_RLE4;

  // A first walk counts the pixels written inside the picture: a few bytes that declare
  // millions of pixels they never write are refused before any pixel is allocated.
  uint64_t written = 0;
  const RunLengthEnd reach = WalkRunLength(data, four, [&](int64_t x, int64_t y, int count, auto) {
    if (y < h.height && x < h.width) written += uint64_t(std::min<int64_t>(h.width - x, count));
  });
  const uint64_t blank = uint64_t(h.width) * uint64_t(h.height) - written;
  if (blank > kBlankPixelsPerDataByte * reach.bytes) {
    Invalid("the run-length data describes too little of the picture");
  }

  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(four ? pf4bit : pf8bit);
  bitmap->SetPalette(h.palette);
  bitmap->SetSize(h.width, h.height);
  WalkRunLength(data, four, [&](int64_t x, int64_t y, int count, auto pixel) {
    if (y >= h.height || x >= h.width) return;
    // Rows are stored bottom-up.
    uint8_t* row = bitmap->ScanLine(int(h.height - 1 - y));
    const int64_t inside = std::min<int64_t>(h.width - x, count);
    for (int64_t i = 0; i < inside; ++i) {
      const int64_t at = x + i;
      const uint8_t index = pixel(int(i));
      if (four) {
        const int shift = (at & 1) ? 0 : 4;
        row[at >> 1] = uint8_t((row[at >> 1] & ~(0x0F << shift)) | (index << shift));
      } else {
        row[at] = index;
      }
    }
  });
  *end = offset + reach.bytes;
  if (target) MoveToTarget(*bitmap, *target);
  return bitmap;
}

bool RunLength(const DibHeader& h) {
  return h.compression == BI_RLE8 || h.compression == BI_RLE4;
}

std::unique_ptr<TBitmap> DecodePixels(const DibHeader& h, const Bytes& b, size_t offset,
                                      bool realAlpha, size_t* end,
                                      const ArgbPictureTarget* target = nullptr) {
  if (RunLength(h)) return DecodeRunLength(h, b, offset, end, target);
  return DecodeUncompressed(h, b, offset, realAlpha, end, target);
}

// Where the pixels of a BMP file start.
size_t PixelOffset(const Bytes& b, const DibHeader& h) {
  const uint32_t pixelOffset = b.U32(10);
  if (pixelOffset == 0) return h.pixelStart;
  if (pixelOffset < h.headerEnd) Invalid("the pixel data overlaps the header");
  return pixelOffset;
}

// The file header, the largest info header, colour masks and the largest colour table.
constexpr size_t kLongestHeaders = kFileHeaderSize + 124 + 16 + 256 * 4;

void CheckSignature(const Bytes& b) {
  if (b.Size() < 2 || b.U8(0) != 'B' || b.U8(1) != 'M') Invalid("the signature is not \"BM\"");
}

void Put16(std::string& out, uint32_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::unique_ptr<TBitmap> ReadBmp(const uint8_t* data, size_t size, size_t* consumed,
                                 const ArgbPictureTarget* target) {
  const Bytes b(data, size);
  CheckSignature(b);
  const DibHeader h = ParseHeader(b, kFileHeaderSize, false);
  b.Need(6, kBmpRealAlphaMark.size());
  const bool realAlpha = std::equal(kBmpRealAlphaMark.begin(), kBmpRealAlphaMark.end(), b.At(6));
  size_t end = 0;
  std::unique_ptr<TBitmap> bitmap = DecodePixels(h, b, PixelOffset(b, h), realAlpha, &end, target);
  *consumed = end;
  return bitmap;
}

std::unique_ptr<TBitmap> ReadBmpStream(TStream& stream, const ArgbPictureTarget* target) {
  const int64_t start = stream.Position();
  std::string bytes;
  // Reads until Bytes holds Size bytes or the stream ends.
  const auto readUpTo = [&](uint64_t size) {
    size = std::min<uint64_t>(size, uint64_t(kMaxBmpBytes));
    char chunk[65536];
    while (bytes.size() < size) {
      const int64_t got =
          stream.Read(chunk, int64_t(std::min<uint64_t>(sizeof chunk, size - bytes.size())));
      if (got <= 0) break;
      bytes.append(chunk, size_t(got));
    }
  };
  // The headers say how far the file goes; what follows it is not read.
  readUpTo(kLongestHeaders);
  {
    const Bytes headers(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    CheckSignature(headers);
    const DibHeader h = ParseHeader(headers, kFileHeaderSize, false);
    const uint64_t pixelBytes =
        RunLength(h) ? (h.imageSize != 0 ? std::min<uint64_t>(h.imageSize, RunLengthDataLimit(h))
                                         : RunLengthDataLimit(h))
                     : uint64_t(RowBytes(h.width, h.bpp)) * uint64_t(h.height);
    const uint64_t fileBytes = uint64_t(PixelOffset(headers, h)) + pixelBytes;
    // Room for the whole file at once, as far as the stream has it: growing by doubling would
    // hold the file twice for a moment.
    const int64_t streamSize = stream.Size();
    if (start >= 0 && streamSize >= start)
      bytes.reserve(size_t(
          std::min<uint64_t>({fileBytes, uint64_t(kMaxBmpBytes), uint64_t(streamSize - start)})));
    readUpTo(fileBytes);
  }
  size_t consumed = 0;
  std::unique_ptr<TBitmap> bitmap =
      ReadBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &consumed, target);
  if (start >= 0) stream.Seek(start + int64_t(consumed), soBeginning);
  return bitmap;
}

IconDib ReadIconDib(const uint8_t* data, size_t size) {
  const Bytes b(data, size);
  const DibHeader h = ParseHeader(b, 0, true);
  if (RunLength(h)) Invalid("icons are not run-length coded");
  size_t end = 0;
  std::unique_ptr<TBitmap> bitmap = DecodePixels(h, b, h.pixelStart, false, &end);
  return {std::move(bitmap), end, h.topDown};
}

void WriteBmp(const TBitmap& bitmap, TStream& stream) {
  if (bitmap.Empty()) throw EInvalidGraphicOperation("Cannot save an empty bitmap");
  const TPixelFormat format = bitmap.PixelFormat() == pfDevice ? pf24bit : bitmap.PixelFormat();
  const int bpp = TBitmap::BitsPerPixel(format);
  const bool bitFields = format == pf16bit;
  const TPalette& palette = EffectivePalette(format, bitmap.Palette());
  const uint32_t colors = bpp <= 8 ? uint32_t(std::min(palette.Count(), 1 << bpp)) : 0;
  const int64_t stride = RowBytes(bitmap.Width(), bpp);
  const uint32_t imageSize = uint32_t(stride * bitmap.Height());
  const uint32_t pixelOffset = uint32_t(kFileHeaderSize + 40 + (bitFields ? 12 : 0) + 4 * colors);

  std::string out;
  out.reserve(size_t(pixelOffset) + imageSize);
  out += "BM";
  Put32(out, pixelOffset + imageSize);
  Put32(out, 0);
  Put32(out, pixelOffset);
  Put32(out, 40);
  Put32(out, uint32_t(bitmap.Width()));
  Put32(out, uint32_t(bitmap.Height()));
  Put16(out, 1);
  Put16(out, uint32_t(bpp));
  Put32(out, bitFields ? BI_BITFIELDS : BI_RGB);
  Put32(out, imageSize);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, colors);
  Put32(out, 0);
  if (bitFields) {
    Put32(out, 0xF800);
    Put32(out, 0x07E0);
    Put32(out, 0x001F);
  }
  for (uint32_t i = 0; i < colors; ++i) {
    const TPaletteEntry e = palette.Entry(int(i));
    out += {char(e.peBlue), char(e.peGreen), char(e.peRed), 0};
  }
  std::vector<uint32_t> argb(size_t(bitmap.Width()));
  std::string row(size_t(stride), '\0');
  RowWriter writer(format, palette);
  for (int y = bitmap.Height() - 1; y >= 0; --y) {
    if (format == bitmap.PixelFormat()) {
      std::memcpy(row.data(), bitmap.ScanLine(y), size_t(stride));
    } else {
      bitmap.ReadRowARGB(y, argb.data());
      writer.Write(argb.data(), bitmap.Width(), reinterpret_cast<uint8_t*>(row.data()));
    }
    out += row;
  }
  stream.WriteBuffer(out);
}

}  // namespace plat
