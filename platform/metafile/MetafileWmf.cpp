// Standard Windows metafiles: 16-bit records of (size in words, function, parameters), most
// parameters stored last-first. A placeable header in front gives the bounds and resolution.
#include <algorithm>
#include <cstdlib>

#include "platform/metafile/MetafileBytes.h"
#include "platform/metafile/MetafileFormats.h"

namespace plat {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kHeaderSize = 18;

enum : uint16_t {
  META_EOF = 0x0000,
  META_SAVEDC = 0x001E,
  META_CREATEPALETTE = 0x00F7,
  META_SETBKMODE = 0x0102,
  META_SETMAPMODE = 0x0103,
  META_SETROP2 = 0x0104,
  META_SETPOLYFILLMODE = 0x0106,
  META_SETTEXTCHAREXTRA = 0x0108,
  META_INVERTREGION = 0x012A,
  META_PAINTREGION = 0x012B,
  META_SELECTCLIPREGION = 0x012C,
  META_RESTOREDC = 0x0127,
  META_SELECTOBJECT = 0x012D,
  META_SETTEXTALIGN = 0x012E,
  META_DIBCREATEPATTERNBRUSH = 0x0142,
  META_DELETEOBJECT = 0x01F0,
  META_CREATEPATTERNBRUSH = 0x01F9,
  META_SETBKCOLOR = 0x0201,
  META_SETTEXTCOLOR = 0x0209,
  META_SETTEXTJUSTIFICATION = 0x020A,
  META_OFFSETCLIPRGN = 0x0220,
  META_FILLREGION = 0x0228,
  META_SETWINDOWORG = 0x020B,
  META_SETWINDOWEXT = 0x020C,
  META_OFFSETWINDOWORG = 0x020F,
  META_LINETO = 0x0213,
  META_MOVETO = 0x0214,
  META_SELECTPALETTE = 0x0234,
  META_CREATEPENINDIRECT = 0x02FA,
  META_CREATEFONTINDIRECT = 0x02FB,
  META_CREATEBRUSHINDIRECT = 0x02FC,
  META_POLYGON = 0x0324,
  META_POLYLINE = 0x0325,
  META_SCALEWINDOWEXT = 0x0410,
  META_EXCLUDECLIPRECT = 0x0415,
  META_INTERSECTCLIPRECT = 0x0416,
  META_ELLIPSE = 0x0418,
  META_RECTANGLE = 0x041B,
  META_SETPIXEL = 0x041F,
  META_FRAMEREGION = 0x0429,
  META_TEXTOUT = 0x0521,
  META_POLYPOLYGON = 0x0538,
  META_ROUNDRECT = 0x061C,
  META_PATBLT = 0x061D,
  META_CREATEREGION = 0x06FF,
  META_ARC = 0x0817,
  META_PIE = 0x081A,
  META_CHORD = 0x0830,
  META_DIBBITBLT = 0x0940,
  META_EXTTEXTOUT = 0x0A32,
  META_DIBSTRETCHBLT = 0x0B41,
  META_SETDIBTODEV = 0x0D33,
  META_STRETCHDIB = 0x0F43,
};

// Calls visit(function, record) for every record up to the end-of-file record.
template <class Visit>
void ForEachRecord(std::span<const uint8_t> file, size_t start, Visit&& visit) {
  size_t at = start;
  while (at < file.size()) {
    const MetafileBytes head(file.data() + at, file.size() - at, "a record header");
    const uint64_t bytes = uint64_t(head.U32(0)) * 2;
    const uint16_t function = head.U16(4);
    if (bytes < 6) InvalidMetafile("a record is shorter than its header");
    if (bytes > file.size() - at) InvalidMetafile("a record runs past the end of the file");
    if (function == META_EOF) return;
    visit(function, MetafileBytes(file.data() + at, size_t(bytes), "a record"));
    at += size_t(bytes);
  }
}

std::vector<PointD> Points(const MetafileBytes& r, size_t at, uint64_t count) {
  r.Need(at, count * 4);
  std::vector<PointD> points(count);
  for (size_t i = 0; i < count; ++i)
    points[i] = {double(r.I16(at + 4 * i)), double(r.I16(at + 4 * i + 2))};
  return points;
}

// A packed bitmap starting at `at`; nullopt when it is not one.
std::optional<MetafileDib> PackedDib(const MetafileBytes& r, size_t at,
                                     DibTable table = DibTable::Colors) {
  const std::span<const uint8_t> packed = r.Span(at, r.Size() - std::min(at, r.Size()));
  const std::optional<size_t> infoSize = PackedDibInfoSize(packed, table);
  if (!infoSize) return std::nullopt;
  return MetafileDib{packed.first(*infoSize), packed.subspan(*infoSize), table};
}

// What a record's colour use word says the colour table holds; nullopt for other values.
std::optional<DibTable> ColorUse(uint16_t usage) {
  if (usage > 1) return std::nullopt;
  return usage == 0 ? DibTable::Colors : DibTable::PaletteIndices;
}

// A pattern brush of a device bitmap: its header (type, size, bytes a row, planes, bits a pixel
// and a pointer), reserved bytes, then rows top first. One bit a pixel makes a monochrome
// pattern; 24 and 32 bits hold blue, green and red bytes.
MetafileBrush DeviceBitmapBrush(const MetafileBytes& r) {
  const int16_t width = r.I16(8), height = r.I16(10), rowBytes = r.I16(12);
  const uint8_t planes = r.U8(14), bitsPerPixel = r.U8(15);
  const size_t bytesPerPixel = bitsPerPixel / 8;
  const bool mono = bitsPerPixel == 1;
  if (width <= 0 || height <= 0 || planes != 1 ||
      (!mono && bitsPerPixel != 24 && bitsPerPixel != 32) ||
      rowBytes < (int64_t(width) * bitsPerPixel + 7) / 8) {
    return {BS_SOLID, 0, 0};
  }
  const std::span<const uint8_t> bits = r.Span(38, uint64_t(rowBytes) * uint64_t(height));
  auto pattern = std::make_shared<TBrushPattern>();
  pattern->Width = width;
  pattern->Height = height;
  pattern->Monochrome = mono;
  pattern->Pixels.reserve(size_t(width) * size_t(height));
  for (size_t y = 0; y < size_t(height); ++y) {
    const uint8_t* row = bits.data() + y * size_t(rowBytes);
    for (size_t x = 0; x < size_t(width); ++x) {
      const uint8_t* p = row + x * bytesPerPixel;
      pattern->Pixels.push_back(mono ? (row[x / 8] >> (7 - x % 8)) & 1
                                     : uint32_t(p[0]) | (p[1] << 8) | (p[2] << 16));
    }
  }
  return {BS_PATTERN, 0, 0, std::move(pattern)};
}

// A region object: scans of a top, a bottom and the left and right ends of their runs, each scan
// closed by its count again.
MetafileRegion ReadRegion(const MetafileBytes& r) {
  const uint16_t scans = r.U16(16);
  MetafileRegion region;
  size_t at = 28;
  for (size_t i = 0; i < scans; ++i) {
    const uint16_t ends = r.U16(at);
    const int32_t top = r.I16(at + 2), bottom = r.I16(at + 4);
    r.Need(at + 6, uint64_t(ends) * 2 + 2);
    for (size_t k = 0; k + 1 < ends; k += 2) {
      region.rects.push_back({r.I16(at + 6 + 2 * k), top, r.I16(at + 8 + 2 * k), bottom});
    }
    at += 8 + size_t(ends) * 2;
  }
  return region;
}

// Fill, frame, paint and invert of a region object.
void DrawRegion(MetafilePlayer& player, uint16_t function, const MetafileBytes& r) {
  using How = MetafilePlayer::RegionPaint;
  const MetafileRegion* region = player.RegionObject(r.U16(6));
  if (function == META_PAINTREGION || function == META_INVERTREGION) {
    if (region)
      player.DrawRegion(function == META_PAINTREGION ? How::Paint : How::Invert, region->rects);
    return;
  }
  const std::optional<MetafileBrush> brush = player.ObjectBrush(r.U16(8));
  const bool frame = function == META_FRAMEREGION;
  const PointD size = frame ? PointD{double(r.I16(12)), double(r.I16(10))} : PointD{};
  if (region && brush)
    player.DrawRegion(frame ? How::Frame : How::Fill, region->rects, &*brush, size);
}

MetafileFont ReadFont(const MetafileBytes& r) {
  MetafileFont f;
  f.font.Height = r.I16(6);
  f.font.Width = r.I16(8);
  f.font.Escapement = r.I16(10);
  f.font.Weight = r.I16(14);
  f.font.Italic = r.U8(16) != 0;
  f.font.Underline = r.U8(17) != 0;
  f.font.StrikeOut = r.U8(18) != 0;
  f.font.CharSet = r.U8(19);
  f.font.Quality = r.U8(22);
  f.font.Pitch = r.U8(23) & 3;
  const size_t nameBytes = std::min<size_t>(32, r.Size() - std::min<size_t>(24, r.Size()));
  const std::u16string name = AnsiToUtf16(r.Span(24, nameBytes));
  f.font.FaceName = FaceNameUtf8(name);
  return f;
}

void Text(MetafilePlayer& player, const MetafileBytes& r, bool extended) {
  if (!extended) {
    const uint16_t length = r.U16(6);
    const size_t after = 8 + length + (length & 1);
    player.TextOut(r.I16(after + 2), r.I16(after), AnsiToUtf16(r.Span(8, length)), 0, {});
    return;
  }
  const uint16_t length = r.U16(10), options = r.U16(12);
  std::optional<std::array<double, 4>> rect;
  size_t text = 14;
  if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
    rect = std::array<double, 4>{double(r.I16(14)), double(r.I16(16)), double(r.I16(18)),
                                 double(r.I16(20))};
    text = 22;
  }
  // The advances follow the string when the record holds them.
  const size_t dxAt = text + length + (length & 1);
  const size_t dxCount = size_t(length) * ((options & ETO_PDY) ? 2 : 1);
  std::vector<double> dx;
  if (dxAt <= r.Size() && (r.Size() - dxAt) / 2 >= dxCount) {
    for (size_t i = 0; i < dxCount; ++i) dx.push_back(r.I16(dxAt + 2 * i));
  }
  player.TextOut(r.I16(8), r.I16(6), AnsiToUtf16(r.Span(text, length)), options, rect, dx);
}

// The block transfers; `withBitmap` is false for the forms that only combine the brush.
void Blit(MetafilePlayer& player, uint16_t function, const MetafileBytes& r) {
  MetafileBlit b;
  b.rop = r.U32(6);
  const bool withBitmap = r.Size() != size_t((function >> 8) + 3) * 2;
  size_t dibAt = 0;
  std::optional<DibTable> table = DibTable::Colors;
  switch (function) {
    case META_DIBBITBLT: {
      const size_t d = withBitmap ? 14 : 16;  // the bitmap-less form has a reserved word
      b = MetafileBlit::Rect(double(r.I16(d + 6)), double(r.I16(d + 4)), double(r.I16(d + 2)),
                             double(r.I16(d)), r.I16(12), r.I16(10), r.I16(d + 2), r.I16(d), b.rop,
                             false);
      dibAt = 22;
      break;
    }
    case META_DIBSTRETCHBLT: {
      const size_t d = withBitmap ? 18 : 20;
      b = MetafileBlit::Rect(double(r.I16(d + 6)), double(r.I16(d + 4)), double(r.I16(d + 2)),
                             double(r.I16(d)), r.I16(16), r.I16(14), r.I16(12), r.I16(10), b.rop,
                             false);
      dibAt = 26;
      break;
    }
    case META_STRETCHDIB:
      table = ColorUse(r.U16(10));
      if (!table) return;
      b = MetafileBlit::Rect(double(r.I16(26)), double(r.I16(24)), double(r.I16(22)),
                             double(r.I16(20)), r.I16(18), r.I16(16), r.I16(14), r.I16(12), b.rop,
                             true);
      dibAt = 28;
      break;
    case META_SETDIBTODEV:
      table = ColorUse(r.U16(6));
      if (!table) return;
      b = MetafileBlit::Rect(double(r.I16(22)), double(r.I16(20)), double(r.I16(18)),
                             double(r.I16(16)), r.I16(14), r.I16(12), r.I16(18), r.I16(16), SRCCOPY,
                             true);
      dibAt = 24;
      break;
    case META_PATBLT:
      b = MetafileBlit::Rect(double(r.I16(16)), double(r.I16(14)), double(r.I16(12)),
                             double(r.I16(10)), 0, 0, 0, 0, b.rop, false);
      player.Blit(b, nullptr);
      return;
  }
  if (function != META_STRETCHDIB && function != META_SETDIBTODEV && !withBitmap) {
    player.Blit(b, nullptr);
    return;
  }
  if (const std::optional<MetafileDib> dib = PackedDib(r, dibAt, *table)) player.Blit(b, &*dib);
}

void PlayRecord(MetafilePlayer& player, uint16_t function, const MetafileBytes& r) {
  const auto p = [&](size_t at) { return double(r.I16(at)); };
  switch (function) {
    case META_SAVEDC:
      return player.SaveDC();
    case META_RESTOREDC:
      return player.RestoreDC(r.I16(6));
    case META_SETBKMODE:
      return player.SetBkMode(r.U16(6));
    case META_SETMAPMODE:
      return player.SetMapMode(r.U16(6));
    case META_SETROP2:
      return player.SetROP2(r.U16(6));
    case META_SETPOLYFILLMODE:
      return player.SetPolyFillMode(r.U16(6));
    case META_SETTEXTALIGN:
      return player.SetTextAlign(r.U16(6));
    case META_SETTEXTCHAREXTRA:
      return player.SetTextCharacterExtra(r.I16(6));
    case META_SETTEXTJUSTIFICATION:
      return player.SetTextJustification(r.I16(8), r.U16(6));
    case META_SETBKCOLOR:
      return player.SetBkColor(r.U32(6));
    case META_SETTEXTCOLOR:
      return player.SetTextColor(r.U32(6));
    case META_SETWINDOWORG:
      return player.SetWindowOrg(p(8), p(6));
    case META_SETWINDOWEXT:
      return player.SetWindowExt(p(8), p(6));
    case META_OFFSETWINDOWORG:
      return player.OffsetWindowOrg(p(8), p(6));
    case META_SCALEWINDOWEXT:
      return player.ScaleWindowExt(p(12), p(10), p(8), p(6));
    case META_INTERSECTCLIPRECT:
      return player.IntersectClipRect(p(12), p(10), p(8), p(6));
    case META_EXCLUDECLIPRECT:
      return player.ExcludeClipRect(p(12), p(10), p(8), p(6));
    case META_SELECTCLIPREGION:
      return player.SelectClipRegion(player.RegionObject(r.U16(6)));
    case META_OFFSETCLIPRGN:
      return player.OffsetClipRgn(p(8), p(6));

    case META_CREATEPENINDIRECT:
      return player.AddObject(MetafilePen::Recorded(r.U16(6), std::abs(p(8)), false, r.U32(12)));
    case META_CREATEBRUSHINDIRECT: {
      const int style = r.U16(6);
      return player.AddObject(MetafileBrush{
          style == BS_NULL || style == BS_HATCHED ? style : BS_SOLID, r.U32(8), r.U16(12)});
    }
    case META_DIBCREATEPATTERNBRUSH: {
      // A brush recorded from a device bitmap (style BS_PATTERN) keeps colours and, with one bit
      // a pixel, stays monochrome.
      const bool devicePattern = r.U16(6) == BS_PATTERN;
      const std::optional<DibTable> table = devicePattern ? DibTable::Colors : ColorUse(r.U16(8));
      const std::optional<MetafileDib> dib = table ? PackedDib(r, 10, *table) : std::nullopt;
      const bool mono = devicePattern && dib && r.U16(r.U32(10) == 12 ? 20 : 24) == 1;
      return player.AddObject(dib ? player.PatternBrush(*dib, mono)
                                  : MetafileBrush{BS_SOLID, 0, 0});
    }
    case META_CREATEPATTERNBRUSH:
      return player.AddObject(DeviceBitmapBrush(r));
    case META_CREATEFONTINDIRECT:
      return player.AddObject(ReadFont(r));
    case META_CREATEPALETTE: {
      const uint16_t count = r.U16(8);
      MetafilePalette palette;
      for (size_t i = 0; i < count; ++i) palette.colors.push_back(r.U32(10 + 4 * i) & 0xFFFFFF);
      return player.AddObject(std::move(palette));
    }
    case META_CREATEREGION:
      return player.AddObject(ReadRegion(r));
    case META_SELECTOBJECT:
      return player.SelectObject(r.U16(6));
    case META_SELECTPALETTE:
      return player.SelectPalette(r.U16(6));
    case META_DELETEOBJECT:
      return player.DeleteObject(r.U16(6));

    case META_MOVETO:
      return player.MoveTo(p(8), p(6));
    case META_LINETO:
      return player.LineTo(p(8), p(6));
    case META_POLYLINE:
    case META_POLYGON: {
      const std::vector<PointD> points = Points(r, 8, r.U16(6));
      return function == META_POLYGON ? player.Polygon(points) : player.Polyline(points);
    }
    case META_POLYPOLYGON: {
      const uint16_t polygons = r.U16(6);
      std::vector<uint32_t> counts(polygons);
      uint64_t total = 0;
      for (size_t i = 0; i < polygons; ++i) total += counts[i] = r.U16(8 + 2 * i);
      return player.PolyPolygon(Points(r, 8 + 2 * size_t(polygons), total), counts);
    }
    case META_RECTANGLE:
      return player.Rectangle(p(12), p(10), p(8), p(6));
    case META_ELLIPSE:
      return player.Ellipse(p(12), p(10), p(8), p(6));
    case META_ROUNDRECT:
      return player.RoundRect(p(16), p(14), p(12), p(10), p(8), p(6));
    case META_ARC:
    case META_PIE:
    case META_CHORD: {
      const auto kind = function == META_ARC   ? MetafilePlayer::ArcKind::Arc
                        : function == META_PIE ? MetafilePlayer::ArcKind::Pie
                                               : MetafilePlayer::ArcKind::Chord;
      return player.ArcShape(kind, p(20), p(18), p(16), p(14), {p(12), p(10)}, {p(8), p(6)});
    }
    case META_SETPIXEL:
      return player.SetPixel(p(12), p(10), r.U32(6));
    case META_TEXTOUT:
    case META_EXTTEXTOUT:
      return Text(player, r, function == META_EXTTEXTOUT);
    case META_FILLREGION:
    case META_FRAMEREGION:
    case META_PAINTREGION:
    case META_INVERTREGION:
      return DrawRegion(player, function, r);
    case META_PATBLT:
    case META_DIBBITBLT:
    case META_DIBSTRETCHBLT:
    case META_STRETCHDIB:
    case META_SETDIBTODEV:
      return Blit(player, function, r);
    default:
      return;  // records that do not draw here
  }
}

}  // namespace

int64_t MulDivRound(int64_t value, int64_t numerator, int64_t denominator) {
  const int64_t product = value * numerator;
  const int64_t half = std::abs(denominator) / 2;
  const bool negative = (product < 0) != (denominator < 0);
  const int64_t magnitude = (std::abs(product) + half) / std::abs(denominator);
  return negative ? -magnitude : magnitude;
}

WmfInfo ReadWmfHeader(std::span<const uint8_t> file) {
  WmfInfo info;
  const MetafileBytes bytes(file.data(), file.size(), "the header");
  bool placeable = false;
  if (file.size() >= 4 && bytes.U32(0) == kPlaceableKey) {
    placeable = true;
    const int16_t left = bytes.I16(6), top = bytes.I16(8), right = bytes.I16(10),
                  bottom = bytes.I16(12);
    const uint16_t inch = bytes.U16(14);
    if (inch == 0) InvalidMetafile("the placeable header gives no units per inch");
    if (left == right || top == bottom) InvalidMetafile("the bounding box is empty");
    info.left = left;
    info.top = top;
    info.width = int32_t(right) - left;
    info.height = int32_t(bottom) - top;
    info.pixelWidth = int(std::max<int64_t>(1, MulDivRound(std::abs(info.width), 96, inch)));
    info.pixelHeight = int(std::max<int64_t>(1, MulDivRound(std::abs(info.height), 96, inch)));
    info.recordsStart = kPlaceableSize;
  }
  const size_t h = info.recordsStart;
  const uint16_t type = bytes.U16(h), headerWords = bytes.U16(h + 2);
  bytes.Need(h, kHeaderSize);
  if ((type != 1 && type != 2) || headerWords != 9)
    InvalidMetafile("the header is not a metafile header");
  info.recordsStart = h + kHeaderSize;
  if (placeable) return info;

  // Without a placeable header the first window the file sets is the picture, in pixels.
  std::optional<PointD> origin, extent;
  ForEachRecord(file, info.recordsStart, [&](uint16_t function, const MetafileBytes& r) {
    if (function == META_SETWINDOWORG && !origin)
      origin = PointD{double(r.I16(8)), double(r.I16(6))};
    if (function == META_SETWINDOWEXT && !extent)
      extent = PointD{double(r.I16(8)), double(r.I16(6))};
  });
  if (!extent || extent->x == 0 || extent->y == 0) InvalidMetafile("the picture has no size");
  info.left = origin ? origin->x : 0;
  info.top = origin ? origin->y : 0;
  info.width = extent->x;
  info.height = extent->y;
  info.pixelWidth = int(std::abs(extent->x));
  info.pixelHeight = int(std::abs(extent->y));
  return info;
}

void PlayWmf(std::span<const uint8_t> file, const WmfInfo& info, MetafilePlayer& player) {
  player.SetWindowOrg(info.left, info.top);
  player.SetWindowExt(info.width, info.height);
  ForEachRecord(file, info.recordsStart, [&](uint16_t function, const MetafileBytes& r) {
    PlayRecord(player, function, r);
  });
}

}  // namespace plat
