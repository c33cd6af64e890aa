#include <QString>

#include "platform/drawing/Graphics.h"
#include "platform/pictures/Picture.h"

namespace plat {

std::u16string Utf8ToUtf16(std::string_view text) {
  const QString converted = QString::fromUtf8(text.data(), qsizetype(text.size()));
  return std::u16string(reinterpret_cast<const char16_t*>(converted.utf16()),
                        size_t(converted.size()));
}

TCanvas::TCanvas() = default;

TCanvas::TCanvas(DeviceContext* handle) : handle_(handle) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetHandle(DeviceContext* handle) {
  if (handle == handle_) return;
  Changing();
  handle_ = handle;
  Changed();
}

TPoint TCanvas::PenPos() const {
  return handle_ ? handle_->CurrentPosition() : TPoint{};
}

TRect TCanvas::ClipRect() const {
  return handle_ ? handle_->ClipBox() : TRect{};
}

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}

void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}

bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

bool TCanvas::Prepare() {
  if (handle_ == nullptr) return false;
  handle_->SelectFont(font_.LogFont());
  handle_->SelectPen(pen_.LogPen());
  handle_->SetROP2(pen_.ROP2());
  const TLogBrush brush = brush_.LogBrush();
  handle_->SelectBrush(brush);
  // Gaps of hatches and dashes show the brush colour only under a solid brush.
  handle_->SetBkColor(brush.Color);
  handle_->SetBkMode(brush_.Style() == bsSolid ? OPAQUE : TRANSPARENT);
  handle_->SetTextColor(TColorRef(ColorToRGB(font_.Color())));
  return true;
}

TColor TCanvas::Pixel(int x, int y) const {
  return handle_ ? TColor(handle_->GetPixel(x, y)) : TColor(CLR_INVALID);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  Paint([&](DeviceContext& dc) { dc.SetPixel(x, y, TColorRef(ColorToRGB(color))); });
}

void TCanvas::FillRect(const TRect& r) {
  Paint([&](DeviceContext& dc) { dc.FillRect(r, brush_.LogBrush()); });
}

void TCanvas::FrameRect(const TRect& r) {
  Paint([&](DeviceContext& dc) { dc.FrameRect(r, brush_.LogBrush()); });
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Paint([&](DeviceContext& dc) { dc.DrawFocusRect(r); });
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Paint([&](DeviceContext& dc) { dc.Rectangle({x1, y1, x2, y2}); });
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) {
  Paint([&](DeviceContext& dc) { dc.RoundRect({x1, y1, x2, y2}, cornerWidth, cornerHeight); });
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Paint([&](DeviceContext& dc) { dc.Ellipse({x1, y1, x2, y2}); });
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Paint([&](DeviceContext& dc) { dc.Arc({x1, y1, x2, y2}, {x3, y3}, {x4, y4}); });
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Paint([&](DeviceContext& dc) { dc.Chord({x1, y1, x2, y2}, {x3, y3}, {x4, y4}); });
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Paint([&](DeviceContext& dc) { dc.Pie({x1, y1, x2, y2}, {x3, y3}, {x4, y4}); });
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  Paint([&](DeviceContext& dc) { dc.Polygon(points); });
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  Paint([&](DeviceContext& dc) { dc.Polyline(points); });
}

void TCanvas::MoveTo(int x, int y) {
  if (handle_ != nullptr) handle_->MoveTo({x, y});
}

void TCanvas::LineTo(int x, int y) {
  Paint([&](DeviceContext& dc) { dc.LineTo({x, y}); });
}

TSize TCanvas::TextExtent(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  if (handle_ != nullptr) {
    handle_->SelectFont(font_.LogFont());
    return handle_->GetTextExtent(wide);
  }
  // Measuring needs no surface.
  DeviceContext measure;
  measure.SelectFont(font_.LogFont());
  return measure.GetTextExtent(wide);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  Paint([&](DeviceContext& dc) {
    dc.ExtTextOut(x, y, 0, nullptr, wide);
    dc.MoveTo({x + dc.GetTextExtent(wide).cx, y});
  });
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
  const uint32_t options = ETO_CLIPPED | (brush_.Style() != bsClear ? ETO_OPAQUE : 0);
  Paint([&](DeviceContext& dc) { dc.ExtTextOut(x, y, options, &r, Utf8ToUtf16(text)); });
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, BoundsRect(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& r, const TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, r);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  if (source.Handle() == nullptr) return;
  Paint([&](DeviceContext& dc) {
    dc.StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), source.Handle(),
                  sourceRect.Left, sourceRect.Top, sourceRect.Width(), sourceRect.Height(),
                  copyMode_);
  });
}

}  // namespace plat
