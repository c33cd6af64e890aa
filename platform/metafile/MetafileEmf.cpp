// Enhanced metafiles: 32-bit records of (type, size in bytes, parameters), the first one the
// header with the picture frame and the recording device's size.
#include <algorithm>
#include <cmath>

#include "platform/metafile/MetafileBytes.h"
#include "platform/metafile/MetafileFormats.h"
#include "platform/runtime/SysUtils.h"

namespace plat {

namespace {

constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr size_t kHeaderSize = 88;

enum : uint32_t {
  EMR_HEADER = 1,
  EMR_POLYBEZIER = 2,
  EMR_POLYGON = 3,
  EMR_POLYLINE = 4,
  EMR_POLYBEZIERTO = 5,
  EMR_POLYLINETO = 6,
  EMR_POLYPOLYLINE = 7,
  EMR_POLYPOLYGON = 8,
  EMR_SETWINDOWEXTEX = 9,
  EMR_SETWINDOWORGEX = 10,
  EMR_SETVIEWPORTEXTEX = 11,
  EMR_SETVIEWPORTORGEX = 12,
  EMR_SETBRUSHORGEX = 13,
  EMR_EOF = 14,
  EMR_SETPIXELV = 15,
  EMR_SETMAPMODE = 17,
  EMR_SETBKMODE = 18,
  EMR_SETPOLYFILLMODE = 19,
  EMR_SETROP2 = 20,
  EMR_SETTEXTALIGN = 22,
  EMR_SETTEXTCOLOR = 24,
  EMR_SETBKCOLOR = 25,
  EMR_OFFSETCLIPRGN = 26,
  EMR_MOVETOEX = 27,
  EMR_EXCLUDECLIPRECT = 29,
  EMR_INTERSECTCLIPRECT = 30,
  EMR_SCALEVIEWPORTEXTEX = 31,
  EMR_SCALEWINDOWEXTEX = 32,
  EMR_SAVEDC = 33,
  EMR_RESTOREDC = 34,
  EMR_SETWORLDTRANSFORM = 35,
  EMR_MODIFYWORLDTRANSFORM = 36,
  EMR_SELECTOBJECT = 37,
  EMR_CREATEPEN = 38,
  EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40,
  EMR_ANGLEARC = 41,
  EMR_ELLIPSE = 42,
  EMR_RECTANGLE = 43,
  EMR_ROUNDRECT = 44,
  EMR_ARC = 45,
  EMR_CHORD = 46,
  EMR_PIE = 47,
  EMR_SELECTPALETTE = 48,
  EMR_CREATEPALETTE = 49,
  EMR_LINETO = 54,
  EMR_ARCTO = 55,
  EMR_POLYDRAW = 56,
  EMR_SETARCDIRECTION = 57,
  EMR_BEGINPATH = 59,
  EMR_ENDPATH = 60,
  EMR_CLOSEFIGURE = 61,
  EMR_FILLPATH = 62,
  EMR_STROKEANDFILLPATH = 63,
  EMR_STROKEPATH = 64,
  EMR_SELECTCLIPPATH = 67,
  EMR_GDICOMMENT = 70,
  EMR_ABORTPATH = 68,
  EMR_FILLRGN = 71,
  EMR_FRAMERGN = 72,
  EMR_INVERTRGN = 73,
  EMR_PAINTRGN = 74,
  EMR_EXTSELECTCLIPRGN = 75,
  EMR_BITBLT = 76,
  EMR_STRETCHBLT = 77,
  EMR_MASKBLT = 78,
  EMR_PLGBLT = 79,
  EMR_SETDIBITSTODEVICE = 80,
  EMR_STRETCHDIBITS = 81,
  EMR_EXTCREATEFONTINDIRECTW = 82,
  EMR_EXTTEXTOUTA = 83,
  EMR_EXTTEXTOUTW = 84,
  EMR_POLYBEZIER16 = 85,
  EMR_POLYGON16 = 86,
  EMR_POLYLINE16 = 87,
  EMR_POLYBEZIERTO16 = 88,
  EMR_POLYLINETO16 = 89,
  EMR_POLYPOLYLINE16 = 90,
  EMR_POLYPOLYGON16 = 91,
  EMR_POLYDRAW16 = 92,
  EMR_CREATEMONOBRUSH = 93,
  EMR_CREATEDIBPATTERNBRUSHPT = 94,
  EMR_EXTCREATEPEN = 95,
  EMR_ALPHABLEND = 114,
  EMR_TRANSPARENTBLT = 116,
  EMR_GRADIENTFILL = 118,
};

constexpr uint32_t kStockObject = 0x80000000;
// Comments holding records of the newer drawing interface start with this mark ("EMF+"); the
// first such record is their header, whose flag bit 0 says that the classic records follow too.
constexpr uint32_t kEmfPlusMark = 0x2B464D45;
constexpr uint16_t kEmfPlusHeader = 0x4001;

template <class Visit>
void ForEachRecord(std::span<const uint8_t> file, Visit&& visit) {
  size_t at = 0;
  while (at < file.size()) {
    const MetafileBytes head(file.data() + at, file.size() - at, "a record header");
    const uint32_t type = head.U32(0), size = head.U32(4);
    if (size < 8 || size % 4 != 0) InvalidMetafile("a record has an impossible size");
    if (size > file.size() - at) InvalidMetafile("a record runs past the end of the file");
    if (type == EMR_EOF) return;
    visit(type, MetafileBytes(file.data() + at, size, "a record"));
    at += size;
  }
}

// count points from `at`, 32-bit or 16-bit coordinates.
std::vector<PointD> Points(const MetafileBytes& r, size_t at, uint64_t count, bool wide) {
  const size_t step = wide ? 8 : 4;
  r.Need(at, count * step);
  std::vector<PointD> points(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t p = at + i * step;
    points[i] = wide ? PointD{double(r.I32(p)), double(r.I32(p + 4))}
                     : PointD{double(r.I16(p)), double(r.I16(p + 2))};
  }
  return points;
}

// The bitmap at the given offsets and sizes inside the record, with what its colour table holds;
// nullopt when there is none.
std::optional<MetafileDib> RecordDib(const MetafileBytes& r, size_t usageAt, size_t offsetsAt) {
  const uint32_t offInfo = r.U32(offsetsAt), infoSize = r.U32(offsetsAt + 4);
  const uint32_t offBits = r.U32(offsetsAt + 8), bitsSize = r.U32(offsetsAt + 12);
  const uint32_t usage = r.U32(usageAt);
  if (infoSize == 0 || usage > 2) return std::nullopt;
  static constexpr DibTable kTables[] = {DibTable::Colors, DibTable::PaletteIndices,
                                         DibTable::None};
  return MetafileDib{r.Span(offInfo, infoSize), r.Span(offBits, bitsSize), kTables[usage]};
}

MetafileFont ReadFont(const MetafileBytes& r) {
  MetafileFont f;
  f.font.Height = r.I32(12);
  f.font.Width = r.I32(16);
  f.font.Escapement = r.I32(20);
  f.font.Weight = r.I32(28);
  f.font.Italic = r.U8(32) != 0;
  f.font.Underline = r.U8(33) != 0;
  f.font.StrikeOut = r.U8(34) != 0;
  f.font.CharSet = r.U8(35);
  f.font.Quality = r.U8(38);
  f.font.Pitch = r.U8(39) & 3;
  std::u16string name;
  for (size_t i = 0; i < 32 && 40 + 2 * i + 2 <= r.Size(); ++i) name.push_back(r.U16(40 + 2 * i));
  f.font.FaceName = FaceNameUtf8(name);
  return f;
}

void Text(MetafilePlayer& player, const MetafileBytes& r, bool wide) {
  const uint32_t chars = r.U32(44), offString = r.U32(48), options = r.U32(52);
  std::u16string text;
  if (wide) {
    r.Need(offString, uint64_t(chars) * 2);
    for (size_t i = 0; i < chars; ++i) text.push_back(r.U16(offString + 2 * i));
  } else {
    text = AnsiToUtf16(r.Span(offString, chars));
  }
  std::optional<std::array<double, 4>> rect;
  if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
    rect = std::array<double, 4>{double(r.I32(56)), double(r.I32(60)), double(r.I32(64)),
                                 double(r.I32(68))};
  }
  std::vector<double> dx;
  if (const uint32_t offDx = r.U32(72); offDx != 0) {
    const uint64_t count = uint64_t(chars) * ((options & ETO_PDY) ? 2 : 1);
    r.Need(offDx, count * 4);
    for (size_t i = 0; i < count; ++i) dx.push_back(r.I32(offDx + 4 * i));
  }
  player.TextOut(r.I32(36), r.I32(40), text, options, rect, dx);
}

// A picture drawn only with the newer interface's records has nothing for this player.
void CheckComment(const MetafileBytes& r) {
  if (r.Size() < 20 || r.U32(8) < 8 || r.U32(12) != kEmfPlusMark) return;
  if (r.U16(16) == kEmfPlusHeader && (r.U16(18) & 1) == 0) {
    throw EInvalidGraphic("EMF+ pictures are not supported");
  }
}

void Blit(MetafilePlayer& player, uint32_t type, const MetafileBytes& r) {
  const auto d = [&](size_t at) { return double(r.I32(at)); };
  MetafileBlit b;
  std::optional<MetafileDib> dib, mask;
  switch (type) {
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_MASKBLT:
    case EMR_TRANSPARENTBLT:
    case EMR_ALPHABLEND: {
      // Destination, raster operation (or colour, or blend), source, its transform and colour,
      // then the bitmap; the stretching ones give the source's size after it.
      b = MetafileBlit::Rect(d(24), d(28), d(32), d(36), r.I32(44), r.I32(48), r.I32(32), r.I32(36),
                             r.U32(40));
      if (type != EMR_BITBLT && type != EMR_MASKBLT) {
        b.sw = r.I32(100);
        b.sh = r.I32(104);
      }
      if (type == EMR_TRANSPARENTBLT) b.transparentColor = r.U32(40);
      if (type == EMR_ALPHABLEND) b.blendFunction = r.U32(40);
      if (r.U32(88) == 0) return player.Blit(b, nullptr);
      dib = RecordDib(r, 80, 84);
      if (type == EMR_MASKBLT) {
        b.maskX = r.I32(100);
        b.maskY = r.I32(104);
        mask = RecordDib(r, 108, 112);
      }
      break;
    }
    case EMR_PLGBLT:
      // Three corners, the source, its transform and colour, the bitmap, then the mask.
      b.corners = {PointD{d(24), d(28)}, PointD{d(32), d(36)}, PointD{d(40), d(44)}};
      b.sx = r.I32(48);
      b.sy = r.I32(52);
      b.sw = r.I32(56);
      b.sh = r.I32(60);
      b.rop = 0xAACC0020;  // the source where the mask is 1, the destination where it is 0
      b.maskX = r.I32(112);
      b.maskY = r.I32(116);
      dib = RecordDib(r, 92, 96);
      mask = RecordDib(r, 120, 124);
      break;
    default: {
      const bool stretch = type == EMR_STRETCHDIBITS;
      b = MetafileBlit::Rect(d(24), d(28), stretch ? d(72) : d(40), stretch ? d(76) : d(44),
                             r.I32(32), r.I32(36), r.I32(40), r.I32(44),
                             stretch ? r.U32(68) : SRCCOPY, true);
      dib = RecordDib(r, 64, 48);
    }
  }
  if (dib) player.Blit(b, &*dib, mask ? &*mask : nullptr);
}

// The rectangles of the region data of `size` bytes at `at`: a header of 32 bytes with the count,
// then the rectangles.
std::vector<TRect> RegionRects(const MetafileBytes& r, size_t at, uint32_t size) {
  const std::span<const uint8_t> bytes = r.Span(at, size);
  const MetafileBytes data(bytes.data(), bytes.size(), "a region");
  const uint32_t count = data.U32(8);
  data.Need(32, uint64_t(count) * 16);
  std::vector<TRect> rects(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t p = 32 + 16 * i;
    rects[i] = {data.I32(p), data.I32(p + 4), data.I32(p + 8), data.I32(p + 12)};
  }
  return rects;
}

// Gradient rectangles (shaded along x, or along y in mode 1) and triangles (mode 2) between
// corners that carry colours; rectangles are played as two triangles each.
void GradientFill(MetafilePlayer& player, const MetafileBytes& r) {
  const uint32_t vertexCount = r.U32(24), objectCount = r.U32(28), mode = r.U32(32);
  if (mode > 2) return;
  r.Need(36, uint64_t(vertexCount) * 16);
  std::vector<MetafileVertex> vertices(vertexCount);
  for (size_t i = 0; i < vertexCount; ++i) {
    const size_t at = 36 + 16 * i;
    vertices[i] = {
        {double(r.I32(at)), double(r.I32(at + 4))}, r.U16(at + 8), r.U16(at + 10), r.U16(at + 12)};
  }
  const size_t objectsAt = 36 + 16 * size_t(vertexCount);
  const size_t corners = mode == 2 ? 3 : 2;
  r.Need(objectsAt, uint64_t(objectCount) * corners * 4);
  const auto vertex = [&](size_t object, size_t corner) -> const MetafileVertex& {
    const uint32_t index = r.U32(objectsAt + 4 * (corners * object + corner));
    if (index >= vertexCount) InvalidMetafile("a gradient names a corner it does not have");
    return vertices[index];
  };
  std::vector<MetafileTriangle> triangles;
  triangles.reserve(size_t(objectCount) * (mode == 2 ? 1 : 2));
  for (size_t i = 0; i < objectCount; ++i) {
    if (mode == 2) {
      triangles.push_back({vertex(i, 0), vertex(i, 1), vertex(i, 2)});
      continue;
    }
    // The other two corners take the colour of the corner they share a column with (mode 0)
    // or a row with (mode 1).
    const MetafileVertex& a = vertex(i, 0);
    const MetafileVertex& b = vertex(i, 1);
    MetafileVertex topRight = mode == 0 ? b : a, bottomLeft = mode == 0 ? a : b;
    topRight.point = {b.point.x, a.point.y};
    bottomLeft.point = {a.point.x, b.point.y};
    triangles.push_back({a, topRight, b});
    triangles.push_back({a, b, bottomLeft});
  }
  player.GradientFill(triangles);
}

std::optional<std::vector<TRect>> ClipRects(const MetafileBytes& r) {
  const uint32_t dataSize = r.U32(8);
  if (dataSize == 0) return std::nullopt;
  return RegionRects(r, 16, dataSize);
}

// Fill, frame, paint and invert of the region the record holds.
void DrawRegion(MetafilePlayer& player, uint32_t type, const MetafileBytes& r) {
  using How = MetafilePlayer::RegionPaint;
  const uint32_t dataSize = r.U32(24);
  if (type == EMR_PAINTRGN || type == EMR_INVERTRGN) {
    return player.DrawRegion(type == EMR_PAINTRGN ? How::Paint : How::Invert,
                             RegionRects(r, 28, dataSize));
  }
  const bool frame = type == EMR_FRAMERGN;
  const std::vector<TRect> rects = RegionRects(r, frame ? 40 : 32, dataSize);
  const uint32_t index = r.U32(28);
  const std::optional<MetafileBrush> brush = index & kStockObject
                                                 ? MetafilePlayer::StockBrush(index & ~kStockObject)
                                                 : player.ObjectBrush(index);
  const PointD size = frame ? PointD{double(r.I32(32)), double(r.I32(36))} : PointD{};
  if (brush) player.DrawRegion(frame ? How::Frame : How::Fill, rects, &*brush, size);
}

MetafileXform Xform(const MetafileBytes& r, size_t at) {
  return {r.F32(at), r.F32(at + 4), r.F32(at + 8), r.F32(at + 12), r.F32(at + 16), r.F32(at + 20)};
}

void PlayRecord(MetafilePlayer& player, uint32_t type, const MetafileBytes& r) {
  const auto d = [&](size_t at) { return double(r.I32(at)); };
  const bool wide = type < EMR_POLYBEZIER16;
  switch (type) {
    case EMR_SAVEDC:
      return player.SaveDC();
    case EMR_RESTOREDC:
      return player.RestoreDC(r.I32(8));
    case EMR_SETMAPMODE:
      return player.SetMapMode(r.I32(8));
    case EMR_SETBKMODE:
      return player.SetBkMode(r.I32(8));
    case EMR_SETPOLYFILLMODE:
      return player.SetPolyFillMode(r.I32(8));
    case EMR_SETROP2:
      return player.SetROP2(r.I32(8));
    case EMR_SETARCDIRECTION:
      return player.SetArcDirection(r.I32(8));
    case EMR_SETTEXTALIGN:
      return player.SetTextAlign(r.U32(8));
    case EMR_SETTEXTCOLOR:
      return player.SetTextColor(r.U32(8));
    case EMR_SETBKCOLOR:
      return player.SetBkColor(r.U32(8));
    case EMR_SETWINDOWEXTEX:
      return player.SetWindowExt(d(8), d(12));
    case EMR_SETWINDOWORGEX:
      return player.SetWindowOrg(d(8), d(12));
    case EMR_SETVIEWPORTEXTEX:
      return player.SetViewportExt(d(8), d(12));
    case EMR_SETVIEWPORTORGEX:
      return player.SetViewportOrg(d(8), d(12));
    case EMR_SCALEVIEWPORTEXTEX:
      return player.ScaleViewportExt(d(8), d(12), d(16), d(20));
    case EMR_SCALEWINDOWEXTEX:
      return player.ScaleWindowExt(d(8), d(12), d(16), d(20));
    case EMR_SETBRUSHORGEX:
      return player.SetBrushOrg(d(8), d(12));
    case EMR_SETWORLDTRANSFORM:
      return player.SetWorldTransform(Xform(r, 8));
    case EMR_MODIFYWORLDTRANSFORM:
      return player.ModifyWorldTransform(Xform(r, 8), r.U32(32));
    case EMR_EXCLUDECLIPRECT:
      return player.ExcludeClipRect(d(8), d(12), d(16), d(20));
    case EMR_INTERSECTCLIPRECT:
      return player.IntersectClipRect(d(8), d(12), d(16), d(20));
    case EMR_EXTSELECTCLIPRGN:
      return player.SelectClipRects(ClipRects(r), r.I32(12));
    case EMR_OFFSETCLIPRGN:
      return player.OffsetClipRgn(d(8), d(12));
    case EMR_SELECTCLIPPATH:
      return player.SelectClipPath(r.I32(8));
    case EMR_GDICOMMENT:
      return CheckComment(r);

    case EMR_CREATEPEN:
      return player.CreateObject(
          r.U32(8), MetafilePen::Recorded(r.U32(12), std::abs(d(16)), false, r.U32(24)));
    case EMR_EXTCREATEPEN: {
      const uint32_t style = r.U32(28);
      const bool geometric = style & 0x10000;
      MetafilePen pen =
          MetafilePen::Recorded(style, geometric ? double(r.U32(32)) : 0, !geometric, r.U32(40));
      if (r.U32(36) == BS_NULL) pen.style = PS_NULL;
      return player.CreateObject(r.U32(8), pen);
    }
    case EMR_CREATEBRUSHINDIRECT: {
      const int style = r.I32(12);
      return player.CreateObject(
          r.U32(8), MetafileBrush{style == BS_NULL || style == BS_HATCHED ? style : BS_SOLID,
                                  r.U32(16), r.I32(20)});
    }
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: {
      const std::optional<MetafileDib> dib = RecordDib(r, 12, 16);
      return player.CreateObject(r.U32(8),
                                 dib ? player.PatternBrush(*dib, type == EMR_CREATEMONOBRUSH)
                                     : MetafileBrush{BS_SOLID, 0, 0});
    }
    case EMR_EXTCREATEFONTINDIRECTW:
      return player.CreateObject(r.U32(8), ReadFont(r));
    case EMR_CREATEPALETTE: {
      const uint16_t count = r.U16(14);
      MetafilePalette palette;
      for (size_t i = 0; i < count; ++i) palette.colors.push_back(r.U32(16 + 4 * i) & 0xFFFFFF);
      return player.CreateObject(r.U32(8), std::move(palette));
    }
    case EMR_SELECTOBJECT: {
      const uint32_t index = r.U32(8);
      return index & kStockObject ? player.SelectStockObject(index & ~kStockObject)
                                  : player.SelectObject(index);
    }
    case EMR_SELECTPALETTE: {
      const uint32_t index = r.U32(8);
      return index & kStockObject ? player.SelectStockObject(index & ~kStockObject)
                                  : player.SelectPalette(index);
    }
    case EMR_DELETEOBJECT:
      return player.DeleteObject(r.U32(8));

    case EMR_MOVETOEX:
      return player.MoveTo(d(8), d(12));
    case EMR_LINETO:
      return player.LineTo(d(8), d(12));
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIER16:
      return player.PolyBezier(Points(r, 28, r.U32(24), wide));
    case EMR_POLYGON:
    case EMR_POLYGON16:
      return player.Polygon(Points(r, 28, r.U32(24), wide));
    case EMR_POLYLINE:
    case EMR_POLYLINE16:
      return player.Polyline(Points(r, 28, r.U32(24), wide));
    case EMR_POLYBEZIERTO:
    case EMR_POLYBEZIERTO16:
      return player.PolyBezierTo(Points(r, 28, r.U32(24), wide));
    case EMR_POLYLINETO:
    case EMR_POLYLINETO16:
      return player.PolylineTo(Points(r, 28, r.U32(24), wide));
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYGON16: {
      const uint32_t polys = r.U32(24), total = r.U32(28);
      r.Need(32, uint64_t(polys) * 4);
      std::vector<uint32_t> counts(polys);
      for (size_t i = 0; i < polys; ++i) counts[i] = r.U32(32 + 4 * i);
      const std::vector<PointD> points = Points(r, 32 + 4 * size_t(polys), total, wide);
      if (type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16) {
        return player.PolyPolygon(points, counts);
      }
      return player.PolyPolyline(points, counts);
    }
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16: {
      const uint32_t count = r.U32(24);
      const std::vector<PointD> points = Points(r, 28, count, type == EMR_POLYDRAW);
      const size_t typesAt = 28 + size_t(count) * (type == EMR_POLYDRAW ? 8 : 4);
      return player.PolyDraw(points, r.Span(typesAt, count));
    }
    case EMR_RECTANGLE:
      return player.Rectangle(d(8), d(12), d(16), d(20));
    case EMR_ELLIPSE:
      return player.Ellipse(d(8), d(12), d(16), d(20));
    case EMR_ROUNDRECT:
      return player.RoundRect(d(8), d(12), d(16), d(20), d(24), d(28));
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE: {
      using Kind = MetafilePlayer::ArcKind;
      const Kind kind = type == EMR_ARC     ? Kind::Arc
                        : type == EMR_ARCTO ? Kind::ArcTo
                        : type == EMR_CHORD ? Kind::Chord
                                            : Kind::Pie;
      return player.ArcShape(kind, d(8), d(12), d(16), d(20), {d(24), d(28)}, {d(32), d(36)});
    }
    case EMR_ANGLEARC:
      return player.AngleArc({d(8), d(12)}, double(r.U32(16)), r.F32(20), r.F32(24));
    case EMR_SETPIXELV:
      return player.SetPixel(d(8), d(12), r.U32(16));

    case EMR_BEGINPATH:
      return player.BeginPath();
    case EMR_ENDPATH:
      return player.EndPath();
    case EMR_CLOSEFIGURE:
      return player.CloseFigure();
    case EMR_ABORTPATH:
      return player.AbortPath();
    case EMR_FILLPATH:
      return player.FillPath();
    case EMR_STROKEPATH:
      return player.StrokePath();
    case EMR_STROKEANDFILLPATH:
      return player.StrokeAndFillPath();

    case EMR_FILLRGN:
    case EMR_FRAMERGN:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN:
      return DrawRegion(player, type, r);
    case EMR_GRADIENTFILL:
      return GradientFill(player, r);
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
      return Text(player, r, type == EMR_EXTTEXTOUTW);
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_MASKBLT:
    case EMR_PLGBLT:
    case EMR_SETDIBITSTODEVICE:
    case EMR_STRETCHDIBITS:
    case EMR_TRANSPARENTBLT:
    case EMR_ALPHABLEND:
      return Blit(player, type, r);
    default:
      return;  // records that do not draw here
  }
}

}  // namespace

bool LooksLikeEmf(std::span<const uint8_t> file) {
  if (file.size() < 44) return false;
  const MetafileBytes bytes(file.data(), file.size(), "the header");
  return bytes.U32(0) == EMR_HEADER && bytes.U32(40) == kSignature;
}

EmfInfo ReadEmfHeader(std::span<const uint8_t> file) {
  if (!LooksLikeEmf(file)) InvalidMetafile("the header is not an enhanced metafile header");
  const MetafileBytes h(file.data(), file.size(), "the header");
  const uint32_t size = h.U32(4);
  if (size < kHeaderSize || size % 4 != 0 || size > file.size()) {
    InvalidMetafile("the header record has an impossible size");
  }
  EmfInfo info;
  // The recording device's resolution; micrometres, when given, are the finer measure.
  const int32_t deviceX = h.I32(72), deviceY = h.I32(76);
  int32_t mmX = h.I32(80), mmY = h.I32(84);
  double umX = mmX * 1000.0, umY = mmY * 1000.0;
  if (size >= 108 && h.I32(100) > 0 && h.I32(104) > 0) {
    umX = h.I32(100);
    umY = h.I32(104);
  }
  if (deviceX > 0 && deviceY > 0 && umX > 0 && umY > 0) {
    info.pixelsPerMmX = deviceX * 1000.0 / umX;
    info.pixelsPerMmY = deviceY * 1000.0 / umY;
  }
  const int64_t frameLeft = h.I32(24), frameTop = h.I32(28);
  const int64_t frameWidth = int64_t(h.I32(32)) - frameLeft;
  const int64_t frameHeight = int64_t(h.I32(36)) - frameTop;
  if (frameWidth > 0 && frameHeight > 0) {
    info.frameLeft = frameLeft * info.pixelsPerMmX / 100;
    info.frameTop = frameTop * info.pixelsPerMmY / 100;
    info.frameWidth = frameWidth * info.pixelsPerMmX / 100;
    info.frameHeight = frameHeight * info.pixelsPerMmY / 100;
    info.pixelWidth = int(std::min<int64_t>(INT32_MAX, MulDivRound(frameWidth, 96, 2540)));
    info.pixelHeight = int(std::min<int64_t>(INT32_MAX, MulDivRound(frameHeight, 96, 2540)));
  } else {
    // No frame: the bounds of what was drawn, in the device's pixels (inclusive).
    const int64_t left = h.I32(8), top = h.I32(12);
    const int64_t right = h.I32(16), bottom = h.I32(20);
    if (right <= left || bottom <= top) InvalidMetafile("the picture frame is empty");
    const int64_t width = right - left + 1, height = bottom - top + 1;
    info.frameLeft = double(left);
    info.frameTop = double(top);
    info.frameWidth = double(width);
    info.frameHeight = double(height);
    info.pixelWidth =
        int(std::min(double(INT32_MAX), std::round(width * 96 / 25.4 / info.pixelsPerMmX)));
    info.pixelHeight =
        int(std::min(double(INT32_MAX), std::round(height * 96 / 25.4 / info.pixelsPerMmY)));
  }
  if (info.pixelWidth <= 0 || info.pixelHeight <= 0) InvalidMetafile("the picture frame is empty");
  return info;
}

void PlayEmf(std::span<const uint8_t> file, const EmfInfo& info, MetafilePlayer& player) {
  player.SetDevicePixelsPerMm(info.pixelsPerMmX, info.pixelsPerMmY);
  ForEachRecord(file, [&](uint32_t type, const MetafileBytes& r) {
    if (type != EMR_HEADER) PlayRecord(player, type, r);
  });
}

}  // namespace plat
