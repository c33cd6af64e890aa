#include "platform/drawing/DeviceContext.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/drawing/PixelOps.h"
#include "platform/windows/QtRuntime.h"

namespace plat {

struct DeviceContext::PainterTarget {
  QPainter* painter;
  TRect area;
  std::vector<uint32_t> buffer;
};

namespace {
constexpr int kMaxScale = 16;

// Rounds down, also for negative values.
int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
}  // namespace

DeviceContext::DeviceContext() = default;

DeviceContext::DeviceContext(uint32_t* bits, int32_t width, int32_t height, int32_t strideBytes) {
  Attach(bits, width, height, strideBytes);
}

DeviceContext::DeviceContext(QPainter& painter, const TRect& area, TColorRef background)
    : painter_(std::make_unique<PainterTarget>()) {
  painter_->painter = &painter;
  painter_->area = area;
  const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  scale_ = std::clamp(int(std::ceil(ratio - 1e-6)), 1, kMaxScale);
  const int32_t w = std::max(0, area.Width()) * scale_, h = std::max(0, area.Height()) * scale_;
  painter_->buffer.assign(size_t(w) * size_t(h), 0xFF000000 | RefToRgb(background));
  Attach(painter_->buffer.data(), w, h, w * 4);
}

DeviceContext::~DeviceContext() {
  Flush();
}

void DeviceContext::Attach(uint32_t* bits, int32_t width, int32_t height, int32_t strideBytes) {
  if (bits == nullptr || width <= 0 || height <= 0) {
    bits_ = nullptr;
    width_ = height_ = stride_ = 0;
    return;
  }
  bits_ = bits;
  width_ = width;
  height_ = height;
  stride_ = strideBytes;
}

void DeviceContext::SetScale(int scale) {
  scale_ = std::clamp(scale, 1, kMaxScale);
}

void DeviceContext::Flush() {
  if (!painter_ || !bits_) return;
  EnsureQtApplication();
  // The window shows colours only. Qt expects RGB32 pixels to carry alpha 255 and some of its
  // copies (a grab, for one) read the byte anyway; the buffer is shown in place.
  for (uint32_t& pixel : painter_->buffer) pixel |= 0xFF000000u;
  QImage image(reinterpret_cast<const uchar*>(bits_), width_, height_, stride_,
               QImage::Format_RGB32);
  image.setDevicePixelRatio(scale_);
  QPainter& painter = *painter_->painter;
  const bool exact = painter.device() && painter.device()->devicePixelRatioF() == scale_;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, !exact);
  painter.drawImage(QPointF(painter_->area.Left, painter_->area.Top), image);
  painter.restore();
}

// --- State

void DeviceContext::SelectFont(const TLogFont& font) {
  state_.font = font;
}

void DeviceContext::SelectPen(const TLogPen& pen) {
  state_.pen = pen;
  // Nothing drawable is wider than the largest surface; the bound keeps sums in range.
  state_.pen.Width = std::clamp(pen.Width, 0, 65535);
}

TColorRef DeviceContext::SetTextColor(TColorRef c) {
  return std::exchange(state_.textColor, c & kRgbMask);
}
TColorRef DeviceContext::SetBkColor(TColorRef c) {
  return std::exchange(state_.bkColor, c & kRgbMask);
}
int DeviceContext::SetBkMode(int mode) {
  return std::exchange(state_.bkMode, mode);
}
uint32_t DeviceContext::SetTextAlign(uint32_t flags) {
  return std::exchange(state_.textAlign, flags);
}
int DeviceContext::SetROP2(int rop2) {
  return std::exchange(state_.rop2, std::clamp(rop2, R2_BLACK, R2_WHITE));
}
int DeviceContext::SetPolyFillMode(int mode) {
  return std::exchange(state_.polyFillMode, mode);
}
int DeviceContext::SetStretchBltMode(int mode) {
  return std::exchange(state_.stretchMode, mode);
}
TPoint DeviceContext::SetBrushOrg(TPoint org) {
  return std::exchange(state_.brushOrg, org);
}
int DeviceContext::SetTextCharacterExtra(int extra) {
  return std::exchange(state_.charExtra, extra);
}
void DeviceContext::SetTextJustification(int extra, int count) {
  justification_ = count > 0 ? Justification{extra, count, 0} : Justification{};
}

TPoint DeviceContext::SetWindowOrg(TPoint org) {
  return std::exchange(state_.windowOrg, org);
}
TPoint DeviceContext::SetViewportOrg(TPoint org) {
  return std::exchange(state_.viewportOrg, org);
}
TPoint DeviceContext::Offset() const {
  return {Clamp32(int64_t(state_.viewportOrg.X) - int64_t(state_.windowOrg.X) * scale_),
          Clamp32(int64_t(state_.viewportOrg.Y) - int64_t(state_.windowOrg.Y) * scale_)};
}
TPoint DeviceContext::LogicalToDevice(TPoint p) const {
  const TPoint o = Offset();
  return {Clamp32(int64_t(p.X) * scale_ + o.X), Clamp32(int64_t(p.Y) * scale_ + o.Y)};
}
TPoint DeviceContext::DeviceToLogical(TPoint p) const {
  const TPoint o = Offset();
  return {Clamp32(FloorDiv(int64_t(p.X) - o.X, scale_)),
          Clamp32(FloorDiv(int64_t(p.Y) - o.Y, scale_))};
}
TRect DeviceContext::DeviceRect(const TRect& logical) const {
  const TPoint o = Offset();
  return ClampedRect(int64_t(logical.Left) * scale_ + o.X, int64_t(logical.Top) * scale_ + o.Y,
                     int64_t(logical.Right) * scale_ + o.X, int64_t(logical.Bottom) * scale_ + o.Y);
}

TRect DeviceContext::LogicalBox(const TRect& device) const {
  const TPoint o = Offset();
  return ClampedRect(FloorDiv(int64_t(device.Left) - o.X, scale_),
                     FloorDiv(int64_t(device.Top) - o.Y, scale_),
                     -FloorDiv(o.X - int64_t(device.Right), scale_),
                     -FloorDiv(o.Y - int64_t(device.Bottom), scale_));
}
TPoint DeviceContext::MoveTo(TPoint p) {
  return std::exchange(state_.position, p);
}

int DeviceContext::SaveDC() {
  saved_.push_back(state_);
  return int(saved_.size());
}

bool DeviceContext::RestoreDC(int level) {
  const int count = int(saved_.size());
  const int target = level < 0 ? count + level + 1 : level;
  if (target < 1 || target > count) return false;
  state_ = saved_[size_t(target - 1)];
  saved_.resize(size_t(target - 1));
  return true;
}

// --- Clipping

namespace {
int KindOf(const std::optional<TRegion>& clip, int32_t width, int32_t height) {
  if (!clip) return width > 0 && height > 0 ? SIMPLEREGION : NULLREGION;
  return clip->Kind();
}
}  // namespace

int DeviceContext::SelectClipRgn(const TRegion* rgn) {
  return ExtSelectClipRgn(rgn, RGN_COPY);
}

int DeviceContext::ExtSelectClipRgn(const TRegion* rgn, int mode) {
  if (rgn == nullptr) {
    if (mode != RGN_COPY) return RGN_ERROR;
    state_.clip.reset();
    return KindOf(state_.clip, width_, height_);
  }
  if (mode == RGN_COPY) {
    state_.clip = *rgn;
  } else {
    // Without a clip region everything on the surface is visible.
    const TRegion current = state_.clip ? *state_.clip : TRegion(TRect{0, 0, width_, height_});
    state_.clip = current.Combined(*rgn, mode);
  }
  return KindOf(state_.clip, width_, height_);
}

int DeviceContext::IntersectClipRect(const TRect& r) {
  const TRegion rgn(DeviceRect(r));
  return ExtSelectClipRgn(&rgn, RGN_AND);
}

int DeviceContext::ExcludeClipRect(const TRect& r) {
  const TRegion rgn(DeviceRect(r));
  return ExtSelectClipRgn(&rgn, RGN_DIFF);
}

TRect DeviceContext::ClipBox() const {
  TRect box{0, 0, width_, height_};
  if (state_.clip) {
    box = state_.clip->BoundingRect();
    if (HasSurface()) box = box.Intersected({0, 0, width_, height_});
  }
  return box.IsEmpty() ? TRect{} : LogicalBox(box);
}

bool DeviceContext::PtVisible(TPoint p) const {
  const TPoint d = LogicalToDevice(p);
  if (HasSurface() && !TRect{0, 0, width_, height_}.Contains(d)) return false;
  return !state_.clip || state_.clip->Contains(d);
}

std::vector<TRect> DeviceContext::VisibleRects(const TRect& deviceRect) const {
  std::vector<TRect> result;
  const TRect r = deviceRect.Intersected({0, 0, width_, height_});
  if (r.IsEmpty() || !HasSurface()) return result;
  if (!state_.clip) {
    result.push_back(r);
    return result;
  }
  for (const TRect& c : state_.clip->Rects()) {
    const TRect i = c.Intersected(r);
    if (!i.IsEmpty()) result.push_back(i);
  }
  return result;
}

// --- Pixels and fills

TColorRef DeviceContext::GetPixel(int32_t x, int32_t y) const {
  if (!PtVisible({x, y}) || !HasSurface()) return CLR_INVALID;
  const TPoint d = LogicalToDevice({x, y});
  return RgbToRef(Row(d.Y)[d.X]);
}

void DeviceContext::SetPixel(int32_t x, int32_t y, TColorRef c) {
  if (!HasSurface()) return;
  PaintLogicalPixel({x, y}, [&](uint32_t& p) { p = (p & ~kRgbMask) | RefToRgb(c); });
}

void DeviceContext::FillRect(const TRect& r, const TLogBrush& brush) {
  BrushRect(r, brush, R2_COPYPEN);
}

void DeviceContext::FrameRect(const TRect& r, const TLogBrush& brush) {
  if (r.IsEmpty()) return;
  FillRect({r.Left, r.Top, r.Right, r.Top + 1}, brush);
  if (r.Height() > 1) FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, brush);
  FillRect({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, brush);
  if (r.Width() > 1) FillRect({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, brush);
}

void DeviceContext::FillRgn(const TRegion& rgn, const TLogBrush& brush) {
  for (const TRect& r : rgn.Rects()) FillRect(r, brush);
}

void DeviceContext::PaintRgn(const TRegion& rgn) {
  for (const TRect& r : rgn.Rects()) BrushRect(r, state_.brush, state_.rop2);
}

void DeviceContext::FrameRgn(const TRegion& rgn, const TLogBrush& brush, int32_t width,
                             int32_t height) {
  // What is left of the region when it is moved by the border's size in each direction lies
  // inside the border.
  TRegion inner = rgn;
  const TPoint shifts[] = {{width, 0}, {-width, 0}, {0, height}, {0, -height}};
  for (const TPoint& d : shifts) inner = inner.Combined(rgn.Offset(d.X, d.Y), RGN_AND);
  FillRgn(rgn.Combined(inner, RGN_DIFF), brush);
}

void DeviceContext::InvertRgn(const TRegion& rgn) {
  for (const TRect& r : rgn.Rects()) InvertRect(r);
}

void DeviceContext::InvertRect(const TRect& r) {
  for (const TRect& v : VisibleRects(DeviceRect(r))) {
    for (int32_t y = v.Top; y < v.Bottom; ++y) {
      uint32_t* row = Row(y);
      for (int32_t x = v.Left; x < v.Right; ++x) row[x] ^= kRgbMask;
    }
  }
}

void DeviceContext::DrawFocusRect(const TRect& r) {
  if (r.IsEmpty() || !HasSurface()) return;
  // The border is walked clockwise from the top-left corner, each pixel once; the pixels at even
  // steps of the walk are inverted. Only the visible part of each side is visited.
  const int64_t w = int64_t(r.Right) - r.Left, h = int64_t(r.Bottom) - r.Top;
  auto invert = [&](int64_t x, int64_t y, int64_t step) {
    if (step % 2 != 0) return;
    PaintLogicalPixel({int32_t(x), int32_t(y)}, [](uint32_t& p) { p ^= kRgbMask; });
  };
  const TRect box = ClipBox();
  const int64_t x0 = std::max<int64_t>(r.Left, box.Left),
                x1 = std::min<int64_t>(r.Right, box.Right);
  const int64_t y0 = std::max<int64_t>(r.Top, box.Top),
                y1 = std::min<int64_t>(r.Bottom, box.Bottom);
  for (int64_t x = x0; x < x1; ++x) {
    invert(x, r.Top, x - r.Left);                                       // top, left to right
    if (h > 1) invert(x, r.Bottom - 1, w + h - 2 + (r.Right - 1 - x));  // bottom, right to left
  }
  for (int64_t y = std::max<int64_t>(y0, int64_t(r.Top) + 1);
       y < std::min<int64_t>(y1, int64_t(r.Bottom) - 1); ++y) {
    invert(int64_t(r.Right) - 1, y, w - 1 + (y - r.Top));              // right, downwards
    if (w > 1) invert(r.Left, y, 2 * w + h - 2 + (r.Bottom - 2 - y));  // left, upwards
  }
}

}  // namespace plat
