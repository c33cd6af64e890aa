#include "platform/pictures/BitmapRows.h"

#include <cstring>

namespace plat {

const TPalette& EffectivePalette(TPixelFormat format, const TPalette& palette) {
  static const TPalette gray2 = TPalette::GrayRamp(2);
  static const TPalette gray16 = TPalette::GrayRamp(16);
  static const TPalette gray256 = TPalette::GrayRamp(256);
  if (!palette.Empty()) return palette;
  switch (format) {
    case pf1bit:
      return gray2;
    case pf4bit:
      return gray16;
    case pf8bit:
      return gray256;
    default:
      return palette;
  }
}

void OpaqueWhenAlphaEmpty(uint8_t* pixels, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (pixels[4 * i + 3] != 0) return;
  for (size_t i = 0; i < count; ++i) pixels[4 * i + 3] = 255;
}

void ReadRow(TPixelFormat format, const uint8_t* row, int width, const TPalette& palette,
             uint32_t* dst) {
  switch (format) {
    case pf1bit:
      for (int x = 0; x < width; ++x)
        dst[x] = palette.ColorARGB((row[x >> 3] >> (7 - (x & 7))) & 1);
      break;
    case pf4bit:
      for (int x = 0; x < width; ++x) {
        dst[x] = palette.ColorARGB((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
      }
      break;
    case pf8bit:
      for (int x = 0; x < width; ++x) dst[x] = palette.ColorARGB(row[x]);
      break;
    case pf15bit:
    case pf16bit: {
      const int greenBits = format == pf15bit ? 5 : 6;
      const int redShift = format == pf15bit ? 10 : 11;
      for (int x = 0; x < width; ++x) {
        uint32_t v = row[2 * x] | (uint32_t(row[2 * x + 1]) << 8);
        uint32_t r = ExpandChannel((v >> redShift) & 0x1F, 5);
        uint32_t g = ExpandChannel((v >> 5) & ((1u << greenBits) - 1), greenBits);
        uint32_t b = ExpandChannel(v & 0x1F, 5);
        dst[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
      }
      break;
    }
    case pf24bit:
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = row + 3 * x;
        dst[x] = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
      }
      break;
    default:  // pfDevice, pf32bit: as stored
      std::memcpy(dst, row, size_t(width) * 4);
      break;
  }
}

RowWriter::RowWriter(TPixelFormat format, const TPalette& palette)
    : format_(format), palette_(palette) {
  int bits = TBitmap::BitsPerPixel(format);
  usable_ = bits <= 8 ? std::min(palette.Count(), 1 << bits) : 0;
}

uint8_t RowWriter::Nearest(uint32_t argb) {
  auto found = cache_.find(argb & 0xFFFFFF);
  if (found != cache_.end()) return found->second;
  int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  int best = 0;
  int bestDistance = INT32_MAX;
  for (int i = 0; i < usable_; ++i) {
    TPaletteEntry e = palette_.Entry(i);
    int dr = r - e.peRed, dg = g - e.peGreen, db = b - e.peBlue;
    int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  cache_.emplace(argb & 0xFFFFFF, uint8_t(best));
  return uint8_t(best);
}

void RowWriter::Write(const uint32_t* src, int width, uint8_t* row) {
  switch (format_) {
    case pf1bit:
      std::memset(row, 0, size_t(width + 7) / 8);
      for (int x = 0; x < width; ++x)
        row[x >> 3] |= uint8_t((Nearest(src[x]) & 1) << (7 - (x & 7)));
      break;
    case pf4bit:
      std::memset(row, 0, size_t(width + 1) / 2);
      for (int x = 0; x < width; ++x) row[x >> 1] |= uint8_t(Nearest(src[x]) << ((x & 1) ? 0 : 4));
      break;
    case pf8bit:
      for (int x = 0; x < width; ++x) row[x] = Nearest(src[x]);
      break;
    case pf15bit:
    case pf16bit:
      for (int x = 0; x < width; ++x) {
        uint32_t c = src[x];
        uint32_t r = (c >> 19) & 0x1F, b = (c >> 3) & 0x1F;
        uint32_t v = format_ == pf15bit ? (r << 10) | (((c >> 11) & 0x1F) << 5) | b
                                        : (r << 11) | (((c >> 10) & 0x3F) << 5) | b;
        row[2 * x] = uint8_t(v);
        row[2 * x + 1] = uint8_t(v >> 8);
      }
      break;
    case pf24bit:
      for (int x = 0; x < width; ++x) {
        row[3 * x] = uint8_t(src[x]);
        row[3 * x + 1] = uint8_t(src[x] >> 8);
        row[3 * x + 2] = uint8_t(src[x] >> 16);
      }
      break;
    default:
      std::memcpy(row, src, size_t(width) * 4);
      break;
  }
}

TDecodedRows::TDecodedRows(TBitmap& bitmap, int width, int height, const ArgbPictureTarget* target)
    : bitmap_(bitmap),
      width_(width),
      rowBytes_(((int64_t(width) * TBitmap::BitsPerPixel(bitmap.PixelFormat()) + 31) / 32) * 4),
      palette_(EffectivePalette(bitmap.PixelFormat(), bitmap.Palette())) {
  if (!target) {
    bitmap.SetSize(width, height);
    return;
  }
  CheckPictureSize(width, height);
  pixels_ = (*target)(width, height);
  direct_ = TBitmap::BitsPerPixel(bitmap.PixelFormat()) == 32;
  if (direct_) return;
  row_.resize(size_t(rowBytes_));
  argb_.resize(size_t(width));
}

uint8_t* TDecodedRows::Row(int y) {
  if (!pixels_) return bitmap_.ScanLine(y);
  if (direct_) return reinterpret_cast<uint8_t*>(pixels_ + size_t(y) * size_t(width_));
  return row_.data();
}

void TDecodedRows::Written(int y, uint8_t mask) {
  if (!pixels_ || direct_) return;
  uint32_t* target = pixels_ + size_t(y) * size_t(width_);
  const TPixelFormat format = bitmap_.PixelFormat();
  if (mask == 0xFF) {
    ReadRow(format, row_.data(), width_, palette_, target);
    return;
  }
  ReadRow(format, row_.data(), width_, palette_, argb_.data());
  uint8_t bit = 0x80;
  for (int x = 0; x < width_; ++x) {
    if (mask & bit) target[x] = argb_[size_t(x)];
    bit = uint8_t((bit >> 1) | (bit << 7));
  }
}

void MoveToTarget(TBitmap& bitmap, const ArgbPictureTarget& target) {
  const int width = bitmap.Width(), height = bitmap.Height();
  uint32_t* pixels = target(width, height);
  for (int y = 0; y < height; ++y) bitmap.ReadRowARGB(y, pixels + size_t(y) * size_t(width));
  bitmap.SetSize(0, 0);
}

}  // namespace plat
