// Lines and shapes of the device context.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/DeviceContext.h"
#include "platform/PixelOps.h"

namespace plat {
namespace {

// On and off runs of the one-pixel pen styles, in pixels.
std::span<const int> DashPattern(int style) {
  static constexpr int kDash[] = {18, 6};
  static constexpr int kDot[] = {3, 3};
  static constexpr int kDashDot[] = {9, 6, 3, 6};
  static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
  switch (style) {
    case PS_DASH:
      return kDash;
    case PS_DOT:
      return kDot;
    case PS_DASHDOT:
      return kDashDot;
    case PS_DASHDOTDOT:
      return kDashDotDot;
    default:
      return {};
  }
}

// True when pattern position `phase` falls on a drawn run.
bool PatternOn(std::span<const int> pattern, int phase) {
  if (pattern.empty()) return true;
  int period = 0;
  for (int run : pattern) period += run;
  int p = phase % period;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (p < pattern[i]) return i % 2 == 0;
    p -= pattern[i];
  }
  return true;
}

Qt::PenStyle QtPenStyle(int style) {
  switch (style) {
    case PS_DASH:
      return Qt::DashLine;
    case PS_DOT:
      return Qt::DotLine;
    case PS_DASHDOT:
      return Qt::DashDotLine;
    case PS_DASHDOTDOT:
      return Qt::DashDotDotLine;
    default:
      return Qt::SolidLine;
  }
}

QPointF PixelCentre(TPoint p) {
  return {p.X + 0.5, p.Y + 0.5};
}

bool InAny(const std::vector<TRect>& rects, TPoint p) {
  return std::any_of(rects.begin(), rects.end(), [p](const TRect& r) { return r.Contains(p); });
}

}  // namespace

bool DeviceContext::PenIsCosmetic() const {
  return state_.pen.Width <= 1;
}

void DeviceContext::BrushRect(const TRect& r, const TLogBrush& brush, int rop2) {
  if (brush.Style == BS_NULL) return;
  for (const TRect& v : VisibleRects(DeviceRect(r))) {
    for (int32_t y = v.Top; y < v.Bottom; ++y) {
      uint32_t* row = Row(y);
      for (int32_t x = v.Left; x < v.Right; ++x) {
        PaintBrushPixel(row[x], x, y, brush, rop2, state_.bkMode, state_.bkColor);
      }
    }
  }
}

void DeviceContext::CosmeticLine(TPoint p0, TPoint p1, int& phase) {
  const TPoint d0 = LogicalToDevice(p0), d1 = LogicalToDevice(p1);
  const TRect bounds{std::min(d0.X, d1.X), std::min(d0.Y, d1.Y), std::max(d0.X, d1.X) + 1,
                     std::max(d0.Y, d1.Y) + 1};
  const std::vector<TRect> visible = VisibleRects(bounds);
  const std::span<const int> pattern = DashPattern(state_.pen.Style);
  const uint32_t penRgb = RefToRgb(state_.pen.Color), bkRgb = RefToRgb(state_.bkColor);
  // Bresenham along the major axis; the end point itself is not drawn.
  const int64_t dx = std::abs(int64_t(d1.X) - d0.X), dy = std::abs(int64_t(d1.Y) - d0.Y);
  const int sx = d1.X >= d0.X ? 1 : -1, sy = d1.Y >= d0.Y ? 1 : -1;
  const int64_t steps = std::max(dx, dy);
  int64_t error = (dx >= dy ? dx : dy) / 2;
  int64_t x = d0.X, y = d0.Y;
  for (int64_t i = 0; i < steps; ++i, ++phase) {
    const TPoint p{int32_t(x), int32_t(y)};
    if (InAny(visible, p)) {
      uint32_t& pixel = Row(p.Y)[p.X];
      if (PatternOn(pattern, phase)) {
        pixel = Rop2Pixel(state_.rop2, penRgb, pixel);
      } else if (state_.bkMode == OPAQUE) {
        pixel = Rop2Pixel(state_.rop2, bkRgb, pixel);
      }
    }
    if (dx >= dy) {
      x += sx;
      error -= dy;
      if (error < 0) {
        y += sy;
        error += dx;
      }
    } else {
      y += sy;
      error -= dx;
      if (error < 0) {
        x += sx;
        error += dy;
      }
    }
  }
}

void DeviceContext::CosmeticPolyline(std::span<const TPoint> points, bool closed) {
  int phase = 0;
  for (size_t i = 1; i < points.size(); ++i) CosmeticLine(points[i - 1], points[i], phase);
  if (closed && points.size() > 2) CosmeticLine(points.back(), points.front(), phase);
}

void DeviceContext::PaintPath(const QPainterPath& path, bool stroke) {
  if (!HasSurface()) return;
  const TLogPen& pen = state_.pen;
  const int margin = stroke ? pen.Width + 2 : 1;
  const QRectF b = path.boundingRect();
  const TPoint o = Offset();
  const TRect deviceBounds{
      int32_t(std::floor(b.left())) - margin + o.X, int32_t(std::floor(b.top())) - margin + o.Y,
      int32_t(std::ceil(b.right())) + margin + o.X, int32_t(std::ceil(b.bottom())) + margin + o.Y};
  const std::vector<TRect> visible = VisibleRects(deviceBounds);
  if (visible.empty()) return;
  TRect area = visible.front();
  for (const TRect& v : visible) {
    area = {std::min(area.Left, v.Left), std::min(area.Top, v.Top), std::max(area.Right, v.Right),
            std::max(area.Bottom, v.Bottom)};
  }

  // Coverage first, so that overlapping parts of the outline are painted once (XOR stays exact).
  QImage mask(area.Width(), area.Height(), QImage::Format_Alpha8);
  mask.fill(0);
  {
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(o.X - area.Left, o.Y - area.Top);
    if (stroke) {
      const Qt::PenCapStyle cap = pen.EndCap == PS_ENDCAP_SQUARE ? Qt::SquareCap
                                  : pen.EndCap == PS_ENDCAP_FLAT ? Qt::FlatCap
                                                                 : Qt::RoundCap;
      const Qt::PenJoinStyle join = pen.Join == PS_JOIN_MITER   ? Qt::MiterJoin
                                    : pen.Join == PS_JOIN_BEVEL ? Qt::BevelJoin
                                                                : Qt::RoundJoin;
      QPen qpen(QColor(255, 255, 255), std::max(1, pen.Width), QtPenStyle(pen.Style), cap, join);
      if (pen.Width <= 1) qpen.setCosmetic(true);
      painter.strokePath(path, qpen);
    } else {
      painter.fillPath(path, QColor(255, 255, 255));
    }
  }

  const uint32_t penRgb = RefToRgb(pen.Color);
  for (const TRect& v : visible) {
    for (int32_t y = v.Top; y < v.Bottom; ++y) {
      const uchar* coverage = mask.constScanLine(y - area.Top);
      uint32_t* row = Row(y);
      for (int32_t x = v.Left; x < v.Right; ++x) {
        if (coverage[x - area.Left] == 0) continue;
        if (stroke) {
          row[x] = Rop2Pixel(state_.rop2, penRgb, row[x]);
        } else {
          PaintBrushPixel(row[x], x, y, state_.brush, state_.rop2, state_.bkMode, state_.bkColor);
        }
      }
    }
  }
}

void DeviceContext::LineTo(TPoint p) {
  const TPoint from = std::exchange(state_.position, p);
  if (state_.pen.Style == PS_NULL || !HasSurface()) return;
  if (PenIsCosmetic()) {
    int phase = 0;
    CosmeticLine(from, p, phase);
    return;
  }
  QPainterPath path(PixelCentre(from));
  path.lineTo(PixelCentre(p));
  PaintPath(path, true);
}

void DeviceContext::Polyline(std::span<const TPoint> points) {
  if (points.size() < 2 || state_.pen.Style == PS_NULL || !HasSurface()) return;
  if (PenIsCosmetic()) return CosmeticPolyline(points, false);
  QPainterPath path(PixelCentre(points.front()));
  for (size_t i = 1; i < points.size(); ++i) path.lineTo(PixelCentre(points[i]));
  PaintPath(path, true);
}

void DeviceContext::Polygon(std::span<const TPoint> points) {
  if (points.size() < 2 || !HasSurface()) return;
  if (state_.brush.Style != BS_NULL) {
    QPolygonF polygon;
    for (const TPoint& p : points) polygon.append(QPointF(p.X, p.Y));
    QPainterPath area;
    area.addPolygon(polygon);
    area.closeSubpath();
    area.setFillRule(state_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    PaintPath(area, false);
  }
  if (state_.pen.Style == PS_NULL) return;
  if (PenIsCosmetic()) return CosmeticPolyline(points, true);
  QPainterPath outline(PixelCentre(points.front()));
  for (size_t i = 1; i < points.size(); ++i) outline.lineTo(PixelCentre(points[i]));
  outline.closeSubpath();
  PaintPath(outline, true);
}

void DeviceContext::Rectangle(const TRect& r) {
  if (r.IsEmpty() || !HasSurface()) return;
  const TLogPen& pen = state_.pen;
  if (pen.Style == PS_NULL) return BrushRect(r, state_.brush, state_.rop2);
  const int w = std::max(1, pen.Width);
  TRect outer = r;
  if (w > 1 && pen.Style != PS_INSIDEFRAME) {
    // A wide pen is centred on the outline through the outermost pixels.
    const int half = w / 2;
    outer = {r.Left - half, r.Top - half, r.Right - 1 - half + w, r.Bottom - 1 - half + w};
  }
  BrushRect({outer.Left + w, outer.Top + w, outer.Right - w, outer.Bottom - w}, state_.brush,
            state_.rop2);
  const bool patterned = !DashPattern(pen.Style).empty();
  if (w == 1 && patterned) {
    const TPoint corners[] = {
        {r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}};
    return CosmeticPolyline(corners, true);
  }
  // Four bands that never overlap, so every frame pixel is combined once.
  const TLogBrush penBrush{BS_SOLID, pen.Color, HS_HORIZONTAL};
  const int32_t bandH = std::min(w, outer.Height());
  BrushRect({outer.Left, outer.Top, outer.Right, outer.Top + bandH}, penBrush, state_.rop2);
  if (outer.Height() > bandH) {
    const int32_t bottom = std::max(outer.Top + bandH, outer.Bottom - w);
    BrushRect({outer.Left, bottom, outer.Right, outer.Bottom}, penBrush, state_.rop2);
    const TRect middle{outer.Left, outer.Top + bandH, outer.Right, bottom};
    const int32_t bandW = std::min(w, middle.Width());
    BrushRect({middle.Left, middle.Top, middle.Left + bandW, middle.Bottom}, penBrush, state_.rop2);
    if (middle.Width() > bandW) {
      BrushRect({std::max(middle.Left + bandW, middle.Right - w), middle.Top, middle.Right,
                 middle.Bottom},
                penBrush, state_.rop2);
    }
  }
}

namespace {

// The rectangle a pen outline follows: through the centres of the outermost pixels, or inset by
// half the width for a wide inside-frame pen.
QRectF OutlineRect(const TRect& r, const TLogPen& pen) {
  if (pen.Width > 1 && pen.Style == PS_INSIDEFRAME) {
    const double h = pen.Width / 2.0;
    return QRectF(r.Left + h, r.Top + h, r.Width() - pen.Width, r.Height() - pen.Width);
  }
  return QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
}

}  // namespace

void DeviceContext::RoundRect(const TRect& r, int32_t cornerWidth, int32_t cornerHeight) {
  if (r.IsEmpty() || !HasSurface()) return;
  const double rx = std::min(std::abs(cornerWidth), r.Width()) / 2.0;
  const double ry = std::min(std::abs(cornerHeight), r.Height()) / 2.0;
  if (state_.brush.Style != BS_NULL) {
    QPainterPath area;
    area.addRoundedRect(QRectF(r.Left, r.Top, r.Width(), r.Height()), rx, ry);
    PaintPath(area, false);
  }
  if (state_.pen.Style == PS_NULL) return;
  QPainterPath outline;
  outline.addRoundedRect(OutlineRect(r, state_.pen), rx, ry);
  PaintPath(outline, true);
}

void DeviceContext::Ellipse(const TRect& r) {
  if (r.IsEmpty() || !HasSurface()) return;
  if (state_.brush.Style != BS_NULL) {
    QPainterPath area;
    area.addEllipse(QRectF(r.Left, r.Top, r.Width(), r.Height()));
    PaintPath(area, false);
  }
  if (state_.pen.Style == PS_NULL) return;
  QPainterPath outline;
  outline.addEllipse(OutlineRect(r, state_.pen));
  PaintPath(outline, true);
}

namespace {

// Qt measures ellipse angles on the circle that is stretched into the ellipse; the radial
// through p points at this angle there (degrees, counter-clockwise, y up).
double EllipseAngle(const QRectF& box, TPoint p) {
  const double dx = (p.X - box.center().x()) / std::max(box.width(), 1e-9);
  const double dy = (box.center().y() - p.Y) / std::max(box.height(), 1e-9);
  return std::atan2(dy, dx) * 180.0 / std::numbers::pi;
}

QPainterPath ArcPath(const QRectF& box, TPoint start, TPoint end, bool pie) {
  const double from = EllipseAngle(box, start);
  double sweep = EllipseAngle(box, end) - from;
  while (sweep <= 0) sweep += 360.0;
  QPainterPath path;
  if (pie) {
    path.moveTo(box.center());
    path.arcTo(box, from, sweep);
  } else {
    path.arcMoveTo(box, from);
    path.arcTo(box, from, sweep);
  }
  return path;
}

}  // namespace

void DeviceContext::ArcShape(const TRect& r, TPoint start, TPoint end, ArcKind kind) {
  if (r.IsEmpty() || !HasSurface()) return;
  if (kind != ArcKind::Open && state_.brush.Style != BS_NULL) {
    QPainterPath area =
        ArcPath(QRectF(r.Left, r.Top, r.Width(), r.Height()), start, end, kind == ArcKind::Pie);
    area.closeSubpath();
    PaintPath(area, false);
  }
  if (state_.pen.Style == PS_NULL) return;
  QPainterPath outline = ArcPath(OutlineRect(r, state_.pen), start, end, kind == ArcKind::Pie);
  if (kind != ArcKind::Open) outline.closeSubpath();
  PaintPath(outline, true);
}

void DeviceContext::Arc(const TRect& r, TPoint start, TPoint end) {
  ArcShape(r, start, end, ArcKind::Open);
}

void DeviceContext::Chord(const TRect& r, TPoint start, TPoint end) {
  ArcShape(r, start, end, ArcKind::Chord);
}

void DeviceContext::Pie(const TRect& r, TPoint start, TPoint end) {
  ArcShape(r, start, end, ArcKind::Pie);
}

}  // namespace plat
