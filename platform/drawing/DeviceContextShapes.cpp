// Lines and shapes of the device context.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <utility>

#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/PixelOps.h"
#include "platform/windows/QtRuntime.h"

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
bool PatternOn(std::span<const int> pattern, int64_t phase) {
  if (pattern.empty()) return true;
  int period = 0;
  for (int run : pattern) period += run;
  int64_t p = phase % period;
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

// Where a wide pen's stroke is centred: an odd width on the pixel centre covers the pixel and
// width / 2 on each side; an even width on the pixel's top-left corner covers width / 2 pixels
// before the point and width / 2 from it on, never a half pixel that aliased filling would round
// one way.
QPointF PenCentre(TPoint p, int32_t width) {
  const double shift = width % 2 == 0 ? 0.0 : 0.5;
  return {p.X + shift, p.Y + shift};
}

}  // namespace

bool DeviceContext::PenIsCosmetic() const {
  return state_.pen.Width <= 1;
}

uint32_t DeviceContext::BrushPixel(const TLogBrush& brush, int32_t x, int32_t y, bool& gap) const {
  gap = false;
  const TBrushPattern* pattern = brush.Style == BS_PATTERN ? brush.Pattern.get() : nullptr;
  if (pattern && pattern->Width > 0 && pattern->Height > 0 &&
      pattern->Pixels.size() == size_t(pattern->Width) * size_t(pattern->Height)) {
    const TBrushPattern& p = *pattern;
    const auto wrap = [](int64_t v, int32_t size) { return size_t(((v % size) + size) % size); };
    const uint32_t value =
        p.Pixels[wrap(int64_t(y) - state_.brushOrg.Y, p.Height) * size_t(p.Width) +
                 wrap(int64_t(x) - state_.brushOrg.X, p.Width)];
    if (!p.Monochrome) return value;
    return RefToRgb(value == 0 ? state_.textColor : state_.bkColor);
  }
  if (brush.Style == BS_HATCHED &&
      !HatchCovers(brush.Hatch, int32_t(uint32_t(x) - uint32_t(state_.brushOrg.X)),
                   int32_t(uint32_t(y) - uint32_t(state_.brushOrg.Y)))) {
    gap = true;
    return RefToRgb(state_.bkColor);
  }
  return RefToRgb(brush.Color);
}

void DeviceContext::PaintBrushPixel(uint32_t& d, int32_t x, int32_t y, const TLogBrush& brush,
                                    int rop2) const {
  bool gap = false;
  const uint32_t rgb = BrushPixel(brush, x, y, gap);
  if (!gap || state_.bkMode == OPAQUE) d = Rop2Pixel(rop2, rgb, d);
}

void DeviceContext::BrushRect(const TRect& r, const TLogBrush& brush, int rop2) {
  if (brush.Style == BS_NULL) return;
  for (const TRect& v : VisibleRects(DeviceRect(r))) {
    for (int32_t y = v.Top; y < v.Bottom; ++y) {
      uint32_t* row = Row(y);
      for (int32_t x = v.Left; x < v.Right; ++x) {
        PaintBrushPixel(row[x], x, y, brush, rop2);
      }
    }
  }
}

void DeviceContext::CosmeticLine(TPoint p0, TPoint p1, int64_t& phase) {
  // The line steps over logical pixels; each one paints its Scale x Scale pixels.
  const int64_t dx = std::abs(int64_t(p1.X) - p0.X), dy = std::abs(int64_t(p1.Y) - p0.Y);
  const int64_t steps = std::max(dx, dy);  // the end point itself is not drawn
  const int64_t firstPhase = phase;
  phase += steps;
  const std::vector<TRect> visible = VisibleRects(DeviceRect(
      ClampedRect(std::min(p0.X, p1.X), std::min(p0.Y, p1.Y), int64_t(std::max(p0.X, p1.X)) + 1,
                  int64_t(std::max(p0.Y, p1.Y)) + 1)));
  if (steps == 0 || visible.empty()) return;
  TRect box = visible.front();
  for (const TRect& v : visible) {
    box = {std::min(box.Left, v.Left), std::min(box.Top, v.Top), std::max(box.Right, v.Right),
           std::max(box.Bottom, v.Bottom)};
  }
  box = LogicalBox(box);
  // Bresenham in closed form: step k moves k pixels along the major axis and
  // (k * minor + major - major / 2 - 1) / major along the minor one. Only the steps whose major
  // coordinate falls inside the visible box are visited, so far-away end points cost nothing.
  const bool xMajor = dx >= dy;
  const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  const int64_t m0 = xMajor ? p0.X : p0.Y, n0 = xMajor ? p0.Y : p0.X;
  const int sm = (xMajor ? p1.X >= p0.X : p1.Y >= p0.Y) ? 1 : -1;
  const int sn = (xMajor ? p1.Y >= p0.Y : p1.X >= p0.X) ? 1 : -1;
  const int64_t lo = xMajor ? box.Left : box.Top, hi = (xMajor ? box.Right : box.Bottom) - 1;
  const int64_t kFrom = std::max<int64_t>(0, sm > 0 ? lo - m0 : m0 - hi);
  const int64_t kTo = std::min<int64_t>(steps, (sm > 0 ? hi - m0 : m0 - lo) + 1);
  const std::span<const int> pattern = DashPattern(state_.pen.Style);
  const uint32_t penRgb = RefToRgb(state_.pen.Color), bkRgb = RefToRgb(state_.bkColor);
  const __int128 bias = major - major / 2 - 1;
  for (int64_t k = kFrom; k < kTo; ++k) {
    const int64_t m = m0 + sm * k;
    const int64_t n = n0 + sn * int64_t((__int128(k) * minor + bias) / major);
    const TPoint p{int32_t(xMajor ? m : n), int32_t(xMajor ? n : m)};
    const bool on = PatternOn(pattern, firstPhase + k);
    if (!on && state_.bkMode != OPAQUE) continue;
    PaintLogicalPixel(
        p, [&](uint32_t& pixel) { pixel = Rop2Pixel(state_.rop2, on ? penRgb : bkRgb, pixel); });
  }
}

void DeviceContext::CosmeticPolyline(std::span<const TPoint> points, bool closed) {
  int64_t phase = 0;
  for (size_t i = 1; i < points.size(); ++i) CosmeticLine(points[i - 1], points[i], phase);
  if (closed && points.size() > 2) CosmeticLine(points.back(), points.front(), phase);
}

void DeviceContext::PaintPath(const QPainterPath& path, bool stroke) {
  if (!HasSurface()) return;
  EnsureQtApplication();
  const TLogPen& pen = state_.pen;
  const int margin = stroke ? pen.Width + 2 : 1;
  const QRectF b = path.boundingRect();
  const TPoint o = Offset();
  const TRect deviceBounds = DeviceRect(
      ClampedRect(int64_t(std::floor(b.left())) - margin, int64_t(std::floor(b.top())) - margin,
                  int64_t(std::ceil(b.right())) + margin, int64_t(std::ceil(b.bottom())) + margin));
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
    painter.scale(scale_, scale_);
    if (stroke) {
      const Qt::PenCapStyle cap = pen.EndCap == PS_ENDCAP_SQUARE ? Qt::SquareCap
                                  : pen.EndCap == PS_ENDCAP_FLAT ? Qt::FlatCap
                                                                 : Qt::RoundCap;
      const Qt::PenJoinStyle join = pen.Join == PS_JOIN_MITER   ? Qt::MiterJoin
                                    : pen.Join == PS_JOIN_BEVEL ? Qt::BevelJoin
                                                                : Qt::RoundJoin;
      QPen qpen(QColor(255, 255, 255), std::max(1, pen.Width), QtPenStyle(pen.Style), cap, join);
      // A thin pen stays one logical pixel wide at a larger scale.
      if (pen.Width <= 1 && scale_ == 1) qpen.setCosmetic(true);
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
          PaintBrushPixel(row[x], x, y, state_.brush, state_.rop2);
        }
      }
    }
  }
}

void DeviceContext::FillPathWithColor(const QPainterPath& path, TColorRef color) {
  const TLogBrush brush =
      std::exchange(state_.brush, TLogBrush{BS_SOLID, color, HS_HORIZONTAL, nullptr});
  const int rop2 = std::exchange(state_.rop2, R2_COPYPEN);
  PaintPath(path, false);
  state_.brush = brush;
  state_.rop2 = rop2;
}

void DeviceContext::LineTo(TPoint p) {
  const TPoint from = std::exchange(state_.position, p);
  if (state_.pen.Style == PS_NULL || !HasSurface()) return;
  if (PenIsCosmetic()) {
    int64_t phase = 0;
    CosmeticLine(from, p, phase);
    return;
  }
  QPainterPath path(PenCentre(from, state_.pen.Width));
  path.lineTo(PenCentre(p, state_.pen.Width));
  PaintPath(path, true);
}

void DeviceContext::Polyline(std::span<const TPoint> points) {
  if (points.size() < 2 || state_.pen.Style == PS_NULL || !HasSurface()) return;
  if (PenIsCosmetic()) return CosmeticPolyline(points, false);
  QPainterPath path(PenCentre(points.front(), state_.pen.Width));
  for (size_t i = 1; i < points.size(); ++i) path.lineTo(PenCentre(points[i], state_.pen.Width));
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
  QPainterPath outline(PenCentre(points.front(), state_.pen.Width));
  for (size_t i = 1; i < points.size(); ++i) outline.lineTo(PenCentre(points[i], state_.pen.Width));
  outline.closeSubpath();
  PaintPath(outline, true);
}

void DeviceContext::Rectangle(const TRect& r) {
  if (r.IsEmpty() || !HasSurface()) return;
  const TLogPen& pen = state_.pen;
  if (pen.Style == PS_NULL) return BrushRect(r, state_.brush, state_.rop2);
  const int64_t w = std::max(1, pen.Width);
  // The outer edge of the frame; a wide pen is centred on the outline through the outermost
  // pixels unless it draws inside the frame.
  int64_t left = r.Left, top = r.Top, right = r.Right, bottom = r.Bottom;
  if (w > 1 && pen.Style != PS_INSIDEFRAME) {
    const int64_t half = w / 2;
    left -= half;
    top -= half;
    right += w - half - 1;
    bottom += w - half - 1;
  }
  BrushRect(ClampedRect(left + w, top + w, right - w, bottom - w), state_.brush, state_.rop2);
  if (w == 1 && !DashPattern(pen.Style).empty()) {
    const TPoint corners[] = {
        {r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}};
    return CosmeticPolyline(corners, true);
  }
  // Four bands that never overlap, so every frame pixel is combined once.
  const TLogBrush penBrush{BS_SOLID, pen.Color, HS_HORIZONTAL};
  const int64_t topEnd = std::min(top + w, bottom);
  const int64_t bottomStart = std::max(topEnd, bottom - w);
  const int64_t leftEnd = std::min(left + w, right);
  const int64_t rightStart = std::max(leftEnd, right - w);
  BrushRect(ClampedRect(left, top, right, topEnd), penBrush, state_.rop2);
  BrushRect(ClampedRect(left, bottomStart, right, bottom), penBrush, state_.rop2);
  BrushRect(ClampedRect(left, topEnd, leftEnd, bottomStart), penBrush, state_.rop2);
  BrushRect(ClampedRect(rightStart, topEnd, right, bottomStart), penBrush, state_.rop2);
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
