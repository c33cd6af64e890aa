// Text measuring and output of the device context.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <numeric>

#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/FontEngine.h"
#include "platform/drawing/PixelOps.h"

namespace plat {
namespace {

bool IsSecondOfPair(std::u16string_view text, size_t i) {
  return i > 0 && text[i] >= 0xDC00 && text[i] <= 0xDFFF && text[i - 1] >= 0xD800 &&
         text[i - 1] <= 0xDBFF;
}

int32_t Sum(const std::vector<int32_t>& values) {
  return std::accumulate(values.begin(), values.end(), int32_t(0));
}

}  // namespace

std::vector<int32_t> DeviceContext::Advances(std::u16string_view text, bool consume) const {
  std::vector<int32_t> advances = FontFor(state_.font)->Advances(text);
  Justification j = justification_;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsSecondOfPair(text, i)) continue;
    advances[i] += state_.charExtra;
    if ((text[i] == u' ' || text[i] == u'\u00A0') && j.used < j.count) {
      // Each break gets extra / count; the first (extra mod count) breaks one pixel more.
      const int remainder = j.extra % j.count;
      int share = j.extra / j.count;
      if (j.used < std::abs(remainder)) share += remainder > 0 ? 1 : -1;
      advances[i] += share;
      ++j.used;
    }
  }
  if (consume) justification_ = j;
  return advances;
}

TTextMetric DeviceContext::GetTextMetrics() const {
  return FontFor(state_.font)->Metric();
}

TSize DeviceContext::GetTextExtent(std::u16string_view text) const {
  return GetTextExtentEx(text, 0, nullptr, nullptr);
}

TSize DeviceContext::GetTextExtentEx(std::u16string_view text, int32_t maxExtent, int32_t* fit,
                                     std::vector<int32_t>* partialExtents) const {
  const std::vector<int32_t> advances = Advances(text, false);
  if (partialExtents != nullptr) partialExtents->clear();
  if (fit != nullptr) *fit = 0;
  int32_t total = 0;
  bool fitting = true;
  for (size_t i = 0; i < advances.size(); ++i) {
    total += advances[i];
    if (partialExtents != nullptr) partialExtents->push_back(total);
    fitting = fitting && total <= maxExtent;
    if (fit != nullptr && fitting) *fit = int32_t(i + 1);
  }
  return {total, FontFor(state_.font)->Metric().Height};
}

void DeviceContext::TextOut(int32_t x, int32_t y, std::u16string_view text) {
  DrawTextLine(x, y, 0, nullptr, text, {}, true);
}

void DeviceContext::ExtTextOut(int32_t x, int32_t y, uint32_t options, const TRect* rect,
                               std::u16string_view text, std::span<const int32_t> advances) {
  DrawTextLine(x, y, options, rect, text, advances, true);
}

// One line of text placed at its reference point: the font, every code unit's advance and pen
// offset along the line and its shift and drop across it, the cell before the line is turned by
// the font's escapement about the reference point, and the ink's reach beside it.
struct DeviceContext::TextLine {
  std::shared_ptr<const FontInfo> font;
  std::shared_ptr<const ShapedLine> shaped;  // text laid out whole, drawn from its start
  std::vector<int32_t> advances, shifts, offsets, drops;
  int32_t width = 0;
  int64_t x = 0, y = 0;  // the reference point
  int64_t left = 0, top = 0;
  double angle = 0;  // radians, counter-clockwise on the screen
};

DeviceContext::TextLine DeviceContext::PlaceTextLine(int32_t x, int32_t y, std::u16string_view text,
                                                     std::span<const int32_t> advances,
                                                     uint32_t options, bool updateAlignPosition) {
  TextLine line;
  line.font = FontFor(state_.font);
  const TTextMetric& metric = line.font->Metric();
  if (advances.empty()) {
    line.advances = Advances(text, true);
    line.shifts.assign(text.size(), 0);
    // Such a line is drawn whole: character extra and justification widen its cell, not the
    // room between its letters.
    if (FontInfo::NeedsLayout(text)) line.shaped = line.font->Shape(text);
  } else {
    const size_t step = (options & ETO_PDY) ? 2 : 1;
    line.advances.assign(text.size(), 0);
    line.shifts.assign(text.size(), 0);
    for (size_t i = 0; i < text.size() && step * i < advances.size(); ++i) {
      line.advances[i] = advances[step * i];
      if (step == 2 && 2 * i + 1 < advances.size()) line.shifts[i] = advances[2 * i + 1];
    }
  }
  int64_t width = 0;
  for (int32_t advance : line.advances) width += advance;
  line.width = Clamp32(width);
  line.angle = (state_.font.Escapement % 3600) * std::numbers::pi / 1800;

  // The reference point and the alignment give the text cell.
  const uint32_t align = state_.textAlign;
  const bool updateCP = updateAlignPosition && (align & TA_UPDATECP) != 0;
  if (updateCP) {
    x = state_.position.X;
    y = state_.position.Y;
  }
  line.x = x;
  line.y = y;
  line.left = x;
  if ((align & TA_CENTER) == TA_CENTER) {
    line.left = int64_t(x) - line.width / 2;
  } else if (align & TA_RIGHT) {
    line.left = int64_t(x) - line.width;
  }
  line.top = y;
  if ((align & TA_BASELINE) == TA_BASELINE) {
    line.top = int64_t(y) - metric.Ascent;
  } else if (align & TA_BOTTOM) {
    line.top = int64_t(y) - metric.Height;
  }
  if (updateCP && (align & TA_CENTER) != TA_CENTER) {
    // Along the line, past left-aligned text and back before right-aligned text.
    const double along = (align & TA_RIGHT) ? -double(line.width) : double(line.width);
    state_.position = {Clamp32(int64_t(x) + std::llround(along * std::cos(line.angle))),
                       Clamp32(int64_t(y) - std::llround(along * std::sin(line.angle)))};
  }
  return line;
}

TRect DeviceContext::InkedRect(TextLine& line, std::u16string_view text) const {
  // Glyph ink may reach beyond the cell sideways (italic overhang, bearings), never above or
  // below it but for the shifts across the line.
  line.offsets.resize(line.advances.size());
  line.drops.resize(line.advances.size());
  int64_t pen = 0, drop = 0, lowest = 0, highest = 0;
  for (size_t i = 0; i < line.advances.size(); ++i) {
    line.offsets[i] = Clamp32(pen);
    line.drops[i] = Clamp32(drop);
    lowest = std::min(lowest, drop);
    highest = std::max(highest, drop);
    pen += line.advances[i];
    drop += line.shifts[i];
  }
  const auto [inkLeft, inkRight] =
      line.shaped ? line.shaped->ink : line.font->InkSpan(text, line.offsets);
  return ClampedRect(std::min(line.left, line.left + inkLeft), line.top + lowest,
                     std::max(line.left + line.width, line.left + inkRight),
                     line.top + line.font->Metric().Height + highest);
}

namespace {

// Turns (x, y) counter-clockwise on the screen by angle about the pivot.
QTransform TurnAbout(double pivotX, double pivotY, double angle) {
  return QTransform().translate(pivotX, pivotY).rotateRadians(-angle).translate(-pivotX, -pivotY);
}

}  // namespace

TRect DeviceContext::TurnedBounds(const TextLine& line, const TRect& r) const {
  if (line.angle == 0) return r;
  const QRectF turned = TurnAbout(double(line.x), double(line.y), line.angle)
                            .mapRect(QRectF(r.Left, r.Top, r.Width(), r.Height()));
  // A pixel more on each side for the smoothed edges of turned glyphs.
  return ClampedRect(int64_t(std::floor(turned.left())) - 1, int64_t(std::floor(turned.top())) - 1,
                     int64_t(std::ceil(turned.right())) + 1,
                     int64_t(std::ceil(turned.bottom())) + 1);
}

void DeviceContext::CoverTextLine(
    const TextLine& line, std::u16string_view text, const TRect& area,
    const std::function<void(const QImage& coverage, const TRect& band)>& use) const {
  // Glyph coverage goes into an 8-bit image over the area, in bands of rows so that huge type
  // needs little memory.
  // Glyphs are placed in logical units; the transform turns the line and maps it onto the
  // image's pixels at the context's scale.
  const TTextMetric& metric = line.font->Metric();
  const TPoint o = Offset();
  const int32_t originX = Clamp32(line.left);
  const int32_t baseline = Clamp32(line.top + metric.Ascent);
  const QTransform turn =
      line.angle == 0 ? QTransform() : TurnAbout(double(line.x), double(line.y), line.angle);
  constexpr int64_t kBandBytes = 8 << 20;
  const int32_t bandRows =
      int32_t(std::clamp<int64_t>(kBandBytes / area.Width(), 1, area.Height()));
  std::vector<QPoint> positions(line.advances.size());
  for (size_t i = 0; i < positions.size(); ++i) {
    positions[i] = QPoint(Clamp32(int64_t(originX) + line.offsets[i]),
                          Clamp32(int64_t(baseline) + line.drops[i]));
  }
  for (int32_t bandTop = 0; bandTop < area.Height(); bandTop += bandRows) {
    const int32_t rows = std::min(bandRows, area.Height() - bandTop);
    QImage coverage(area.Width(), rows, QImage::Format_Alpha8);
    coverage.fill(0);
    const QTransform toBand =
        turn * QTransform()
                   .translate(double(o.X) - area.Left, double(o.Y) - area.Top - bandTop)
                   .scale(scale_, scale_);
    line.font->RenderCoverage(coverage, text, positions, toBand, line.shaped.get());
    if (state_.font.Underline || state_.font.StrikeOut) {
      QPainter painter(&coverage);
      painter.setTransform(toBand);
      const auto fillLine = [&](int32_t top) {
        painter.fillRect(QRect(originX, top, line.width, line.font->LineWidth()),
                         QColor(255, 255, 255));
      };
      if (state_.font.Underline) fillLine(baseline + line.font->UnderlineTop());
      if (state_.font.StrikeOut) fillLine(baseline + line.font->StrikeOutTop());
    }
    use(coverage, {area.Left, area.Top + bandTop, area.Right, area.Top + bandTop + rows});
  }
}

void DeviceContext::DrawTextLine(int32_t x, int32_t y, uint32_t options, const TRect* rect,
                                 std::u16string_view text, std::span<const int32_t> advances,
                                 bool updateAlignPosition) {
  TextLine line = PlaceTextLine(x, y, text, advances, options, updateAlignPosition);
  if (!HasSurface()) return;

  const bool clipped = (options & ETO_CLIPPED) && rect != nullptr;
  const TLogBrush background{BS_SOLID, state_.bkColor, HS_HORIZONTAL};
  if ((options & ETO_OPAQUE) && rect != nullptr) BrushRect(*rect, background, R2_COPYPEN);
  const TRect cell = ClampedRect(line.left, line.top, line.left + line.width,
                                 line.top + line.font->Metric().Height);
  if (state_.bkMode == OPAQUE && line.angle == 0) {
    BrushRect(clipped ? cell.Intersected(*rect) : cell, background, R2_COPYPEN);
  } else if (state_.bkMode == OPAQUE) {
    QPolygonF corners(QRectF(cell.Left, cell.Top, cell.Width(), cell.Height()));
    QPainterPath turned;
    turned.addPolygon(TurnAbout(double(line.x), double(line.y), line.angle).map(corners));
    if (clipped) {
      QPainterPath box;
      box.addRect(QRectF(rect->Left, rect->Top, rect->Width(), rect->Height()));
      turned = turned.intersected(box);
    }
    FillPathWithColor(turned, state_.bkColor);
  }

  TRect inked = TurnedBounds(line, InkedRect(line, text));
  if (clipped) inked = inked.Intersected(*rect);
  const std::vector<TRect> visible = VisibleRects(DeviceRect(inked));
  if (visible.empty()) return;
  TRect area = visible.front();
  for (const TRect& v : visible) {
    area = {std::min(area.Left, v.Left), std::min(area.Top, v.Top), std::max(area.Right, v.Right),
            std::max(area.Bottom, v.Bottom)};
  }

  const uint32_t textRgb = RefToRgb(state_.textColor);
  const int tr = int(textRgb >> 16) & 0xFF, tg = int(textRgb >> 8) & 0xFF, tb = int(textRgb) & 0xFF;
  CoverTextLine(line, text, area, [&](const QImage& coverage, const TRect& band) {
    // rgb := rgb + (text - rgb) * coverage / 255 per channel; alpha stays.
    for (const TRect& visiblePart : visible) {
      const TRect v = visiblePart.Intersected(band);
      for (int32_t yy = v.Top; yy < v.Bottom; ++yy) {
        const uchar* cov = coverage.constScanLine(yy - band.Top);
        uint32_t* row = Row(yy);
        for (int32_t xx = v.Left; xx < v.Right; ++xx) {
          const int c = cov[xx - area.Left];
          if (c == 0) continue;
          const uint32_t p = row[xx];
          const int r = int(p >> 16) & 0xFF, g = int(p >> 8) & 0xFF, b = int(p) & 0xFF;
          const uint32_t nr = uint32_t(r + (tr - r) * c / 255);
          const uint32_t ng = uint32_t(g + (tg - g) * c / 255);
          const uint32_t nb = uint32_t(b + (tb - b) * c / 255);
          row[xx] = (p & 0xFF000000) | (nr << 16) | (ng << 8) | nb;
        }
      }
    }
  });
}

void DeviceContext::TextCoverage(int32_t x, int32_t y, std::u16string_view text, uint8_t* mask,
                                 int32_t width, int32_t height) {
  TextLine line = PlaceTextLine(x, y, text, {}, 0, true);
  const TRect area =
      DeviceRect(TurnedBounds(line, InkedRect(line, text))).Intersected({0, 0, width, height});
  if (area.IsEmpty()) return;
  CoverTextLine(line, text, area, [&](const QImage& coverage, const TRect& band) {
    for (int32_t yy = band.Top; yy < band.Bottom; ++yy)
      std::copy_n(coverage.constScanLine(yy - band.Top), area.Width(),
                  mask + int64_t(yy) * width + area.Left);
  });
}

namespace {

struct Line {
  std::u16string_view text;
  int32_t width;
};

int32_t WidthOf(const std::vector<int32_t>& advances, size_t begin, size_t end) {
  return std::accumulate(advances.begin() + ptrdiff_t(begin), advances.begin() + ptrdiff_t(end),
                         int32_t(0));
}

// Greedy word wrap of one paragraph: words go on a line while it fits; a word wider than the
// whole line stands alone; spaces at a break are dropped.
void WrapParagraph(std::u16string_view text, const std::vector<int32_t>& advances, size_t offset,
                   int32_t maxWidth, std::vector<Line>& lines) {
  size_t start = 0;
  while (true) {
    while (start < text.size() && text[start] == u' ') ++start;
    size_t end = start, lastFit = start;
    while (end < text.size()) {
      size_t wordEnd = end;
      while (wordEnd < text.size() && text[wordEnd] == u' ') ++wordEnd;
      while (wordEnd < text.size() && text[wordEnd] != u' ') ++wordEnd;
      if (lastFit > start && WidthOf(advances, offset + start, offset + wordEnd) > maxWidth) {
        break;
      }
      lastFit = end = wordEnd;
    }
    const std::u16string_view piece = text.substr(start, lastFit - start);
    lines.push_back({piece, WidthOf(advances, offset + start, offset + lastFit)});
    start = lastFit;
    while (start < text.size() && text[start] == u' ') ++start;
    if (start >= text.size()) return;
  }
}

}  // namespace

int32_t DeviceContext::DrawText(std::u16string_view text, TRect& rect, uint32_t format) {
  const TTextMetric metric = GetTextMetrics();
  const std::vector<int32_t> advances = Advances(text, false);
  std::vector<Line> lines;
  if (format & DT_SINGLELINE) {
    lines.push_back({text, Sum(advances)});
  } else {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find(u'\n', start);
      if (end == std::u16string_view::npos) end = text.size();
      size_t stop = end;
      if (stop > start && text[stop - 1] == u'\r') --stop;
      const std::u16string_view paragraph = text.substr(start, stop - start);
      if (format & DT_WORDBREAK) {
        WrapParagraph(paragraph, advances, start, rect.Width(), lines);
      } else {
        lines.push_back({paragraph, WidthOf(advances, start, stop)});
      }
      start = end + 1;
    }
  }
  const int32_t height = int32_t(lines.size()) * metric.Height;

  if (format & DT_CALCRECT) {
    int32_t widest = 0;
    for (const Line& line : lines) widest = std::max(widest, line.width);
    rect.Right = rect.Left + widest;
    rect.Bottom = rect.Top + height;
    return height;
  }

  int32_t y = rect.Top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) {
      y = rect.Top + (rect.Height() - metric.Height) / 2;
    } else if (format & DT_BOTTOM) {
      y = rect.Bottom - metric.Height;
    }
  }
  const uint32_t savedAlign = SetTextAlign(TA_LEFT | TA_TOP);
  const uint32_t options = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
  for (const Line& line : lines) {
    int32_t x = rect.Left;
    if (format & DT_CENTER) {
      x = rect.Left + (rect.Width() - line.width) / 2;
    } else if (format & DT_RIGHT) {
      x = rect.Right - line.width;
    }
    DrawTextLine(x, y, options, &rect, line.text, {}, false);
    y += metric.Height;
  }
  SetTextAlign(savedAlign);
  return height;
}

}  // namespace plat
