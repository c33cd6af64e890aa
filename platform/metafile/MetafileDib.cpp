// Bitmaps and 8-bit text inside metafile records.
#include <algorithm>

#include "platform/metafile/MetafileBytes.h"
#include "platform/pictures/BmpCodec.h"

namespace plat {

namespace {

// Bitmaps inside a metafile larger than this are skipped rather than decoded.
constexpr int64_t kMaxDibPixels = int64_t(1) << 26;

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) {
  return uint16_t(p[0] | (p[1] << 8));
}

}  // namespace

namespace {

// Where a bitmap's colour table starts, its entries, and the bytes each takes in the file.
struct TableLayout {
  size_t start = 0;
  uint64_t entries = 0;
  size_t entryBytes = 0;
  bool core = false;  // the old 12-byte header, whose colours take three bytes
  uint64_t End() const { return start + entries * entryBytes; }
};

std::optional<TableLayout> ColorTableLayout(std::span<const uint8_t> packed, DibTable table) {
  if (packed.size() < 12) return std::nullopt;
  const uint32_t headerSize = Le32(packed.data());
  const auto entryBytes = [&](size_t colorBytes) {
    return table == DibTable::Colors ? colorBytes : table == DibTable::PaletteIndices ? 2 : 0;
  };
  TableLayout layout;
  if (headerSize == 12) {
    const uint16_t bits = Le16(packed.data() + 10);
    layout = {12, bits <= 8 ? uint64_t(1) << bits : 0, entryBytes(3), true};
  } else {
    if (headerSize < 40 || headerSize > packed.size() || packed.size() < 40) return std::nullopt;
    const uint16_t bits = Le16(packed.data() + 14);
    const uint32_t compression = Le32(packed.data() + 16);
    const uint32_t used = Le32(packed.data() + 32);
    uint64_t entries = used != 0 ? used : (bits <= 8 ? uint64_t(1) << bits : 0);
    if (bits <= 8) entries = std::min<uint64_t>(entries, uint64_t(1) << bits);
    // Bit-field masks follow a 40-byte header; larger headers hold them inside.
    const size_t masks = headerSize == 40 && (compression == 3 || compression == 6)
                             ? (compression == 3 ? 12 : 16)
                             : 0;
    layout = {headerSize + masks, entries, entryBytes(4), false};
  }
  if (layout.End() > packed.size()) return std::nullopt;
  return layout;
}

}  // namespace

std::optional<size_t> PackedDibInfoSize(std::span<const uint8_t> packed, DibTable table) {
  const std::optional<TableLayout> layout = ColorTableLayout(packed, table);
  if (!layout) return std::nullopt;
  return size_t(layout->End());
}

std::optional<std::vector<uint8_t>> WithColorTable(
    const MetafileDib& dib, const std::function<uint32_t(size_t, uint32_t)>& color) {
  const std::optional<TableLayout> layout = ColorTableLayout(dib.info, dib.table);
  if (!layout) return std::nullopt;
  std::vector<uint8_t> out(dib.info.begin(), dib.info.begin() + ptrdiff_t(layout->start));
  if (!layout->core) {
    // The table written is exactly as long as the header says.
    for (int i = 0; i < 4; ++i) out[32 + size_t(i)] = uint8_t(layout->entries >> (8 * i));
  }
  for (size_t i = 0; i < layout->entries; ++i) {
    const uint8_t* entry = dib.info.data() + layout->start + i * layout->entryBytes;
    uint32_t recorded = 0;
    if (layout->entryBytes == 2) recorded = Le16(entry);
    if (layout->entryBytes >= 3) recorded = entry[2] | (entry[1] << 8) | (entry[0] << 16);
    const uint32_t c = color(i, recorded);
    out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    if (!layout->core) out.push_back(0);
  }
  return out;
}

std::optional<DecodedDib> DecodeMetafileDib(const MetafileDib& dib, bool keepAlpha) {
  const auto info = dib.info;
  // The header and its colour table must lie inside the bytes the record gives them.
  if (dib.table != DibTable::Colors || !PackedDibInfoSize(info)) return std::nullopt;
  DecodedDib out;
  int64_t width, height;
  if (Le32(info.data()) == 12) {
    width = Le16(info.data() + 4);
    height = Le16(info.data() + 6);
  } else {
    width = int32_t(Le32(info.data() + 4));
    height = int32_t(Le32(info.data() + 8));
    out.bottomUp = height > 0;
  }
  if (width <= 0 || height == 0 || width * std::abs(height) > kMaxDibPixels) return std::nullopt;

  // Put a file header in front so the BMP reader can take it.
  const size_t pixelOffset = 14 + info.size();
  std::vector<uint8_t> file(pixelOffset + dib.bits.size());
  const uint64_t fileSize = file.size();
  const uint8_t header[14] = {'B',
                              'M',
                              uint8_t(fileSize),
                              uint8_t(fileSize >> 8),
                              uint8_t(fileSize >> 16),
                              uint8_t(fileSize >> 24),
                              0,
                              0,
                              0,
                              0,
                              uint8_t(pixelOffset),
                              uint8_t(pixelOffset >> 8),
                              uint8_t(pixelOffset >> 16),
                              uint8_t(pixelOffset >> 24)};
  std::copy(std::begin(header), std::end(header), file.begin());
  std::copy(info.begin(), info.end(), file.begin() + 14);
  std::copy(dib.bits.begin(), dib.bits.end(), file.begin() + ptrdiff_t(pixelOffset));
  try {
    size_t consumed = 0;
    std::unique_ptr<TBitmap> bitmap = ReadBmp(file.data(), file.size(), &consumed);
    out.width = bitmap->Width();
    out.height = bitmap->Height();
    out.pixels.resize(size_t(out.width) * size_t(out.height));
    for (int y = 0; y < out.height; ++y) {
      uint32_t* row = out.pixels.data() + size_t(y) * size_t(out.width);
      bitmap->ReadRowARGB(y, row);
      if (!keepAlpha) {
        for (int x = 0; x < out.width; ++x) row[x] |= 0xFF000000u;
      }
    }
  } catch (const Exception&) {
    return std::nullopt;
  }
  return out;
}

std::u16string AnsiToUtf16(std::span<const uint8_t> text) {
  // 0x80 to 0x9F of the Western code page; the rest is Latin-1.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::u16string out;
  out.reserve(text.size());
  for (uint8_t c : text) out.push_back(c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : char16_t(c));
  return out;
}

std::string FaceNameUtf8(std::u16string_view name) {
  std::string out;
  for (size_t i = 0; i < name.size() && name[i] != 0; ++i) {
    uint32_t c = name[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
        name[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace plat
