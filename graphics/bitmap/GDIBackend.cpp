// The device backend over the platform's device context.
#include "graphics/bitmap/GDIBackend.h"

#include "graphics/bitmap/Bitmap32.h"
#include "platform/drawing/Colors.h"

namespace gfx {
TGDIBackend::TGDIBackend() {
  font_.OnChange = [this](plat::TObject*) { FontChanged(); };
}

TGDIBackend::~TGDIBackend() {
  DeleteCanvas();
  FreeSurface();
}

void TGDIBackend::AllocateSurface(int32_t newWidth, int32_t newHeight, bool clearBuffer) {
  const auto count = static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight);
  // Zero-filled: text drawn over a transparent box relies on it. Not when the caller is about to
  // write every pixel.
  auto memory = clearBuffer ? std::make_unique<TColor32[]>(count)
                            : std::make_unique_for_overwrite<TColor32[]>(count);
  auto dc = std::make_unique<plat::DeviceContext>(memory.get(), newWidth, newHeight, newWidth * 4);
  FreeSurface();
  info_.Width = newWidth;
  info_.Height = -newHeight;
  info_.SizeImage = static_cast<uint32_t>(count * 4);
  memory_ = std::move(memory);
  dc_ = std::move(dc);
  bits_ = memory_.get();
}

void TGDIBackend::FreeSurface() {
  if (canvas_) canvas_->SetHandle(nullptr);
  dc_.reset();
  memory_.reset();
  bits_ = nullptr;
  fontSelected_ = false;
}

void TGDIBackend::Changed() {
  if (canvas_) canvas_->SetHandle(dc_.get());
  TCustomBackend::Changed();
}

// ---- Canvas ----

plat::TCanvas& TGDIBackend::GetCanvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<plat::TCanvas>(dc_.get());
    canvas_->OnChange = [this](plat::TObject*) {
      if (onCanvasChange_) onCanvasChange_(this);
    };
  }
  return *canvas_;
}

void TGDIBackend::DeleteCanvas() {
  if (!canvas_) return;
  canvas_->SetHandle(nullptr);
  canvas_.reset();
}

// ---- Font ----

void TGDIBackend::UpdateFont() {
  if (!dc_) return;
  dc_->SelectFont(font_.LogFont());
  dc_->SetTextColor(static_cast<plat::TColorRef>(plat::ColorToRGB(font_.Color())));
  dc_->SetBkMode(plat::TRANSPARENT);
  fontSelected_ = true;
}

void TGDIBackend::FontChanged() {
  fontSelected_ = false;
  if (onFontChange_) onFontChange_(this);
}

// ---- Text ----

plat::TSize TGDIBackend::TextExtent(const std::u16string& text) {
  UpdateFont();
  if (dc_) return dc_->GetTextExtent(text);
  // A bitmap without surface measures on a context of its own, so nothing is shared.
  plat::DeviceContext measuring;
  measuring.SelectFont(font_.LogFont());
  return measuring.GetTextExtent(text);
}

void TGDIBackend::OutputText(int32_t x, int32_t y, const TRect* clip, const std::u16string& text) {
  UpdateFont();
  TCustomBitmap32* owner = Owner();
  if (dc_ && (owner == nullptr || !owner->MeasuringMode())) {
    if (clip != nullptr) {
      const plat::TRect r{clip->Left, clip->Top, clip->Right, clip->Bottom};
      dc_->ExtTextOut(x, y, plat::ETO_CLIPPED, &r, text);
    } else {
      dc_->TextOut(x, y, text);
    }
  }
  const plat::TSize size = TextExtent(text);
  // Held at the ends of the range: text far out must not report an area turned inside out.
  if (owner != nullptr)
    owner->AreaChanged(
        {x, y, AddCoordinates(x, int64_t(size.cx) + 1), AddCoordinates(y, int64_t(size.cy) + 1)},
        AreaInfoRect);
}

void TGDIBackend::TextOut(int32_t x, int32_t y, const std::u16string& text) {
  TCustomBitmap32* owner = Owner();
  const bool clipped = owner != nullptr && owner->Clipping();
  OutputText(x, y, clipped ? &owner->ClipRect() : nullptr, text);
}

void TGDIBackend::TextOut(int32_t x, int32_t y, const TRect& clipRect, const std::u16string& text) {
  OutputText(x, y, &clipRect, text);
}

void TGDIBackend::TextOut(TRect& dstRect, uint32_t flags, const std::u16string& text) {
  UpdateFont();
  TCustomBitmap32* owner = Owner();
  if (dc_ && (owner == nullptr || !owner->MeasuringMode())) {
    plat::TRect r{dstRect.Left, dstRect.Top, dstRect.Right, dstRect.Bottom};
    dc_->DrawText(text, r, flags);
    dstRect = {r.Left, r.Top, r.Right, r.Bottom};
  }
  if (owner != nullptr) owner->AreaChanged(dstRect, AreaInfoRect);
}

plat::TSize TGDIBackend::TextExtent(const std::string& text) {
  return TextExtent(plat::Utf8ToUtf16(text));
}

void TGDIBackend::TextOut(int32_t x, int32_t y, const std::string& text) {
  TextOut(x, y, plat::Utf8ToUtf16(text));
}

void TGDIBackend::TextOut(int32_t x, int32_t y, const TRect& clipRect, const std::string& text) {
  TextOut(x, y, clipRect, plat::Utf8ToUtf16(text));
}

void TGDIBackend::TextOut(TRect& dstRect, uint32_t flags, const std::string& text) {
  TextOut(dstRect, flags, plat::Utf8ToUtf16(text));
}

// ---- Copies between device contexts ----

void TGDIBackend::Draw(const TRect& dstRect, const TRect& srcRect, plat::DeviceContext& sourceDC) {
  TCustomBitmap32* owner = Owner();
  if (owner == nullptr || owner->Empty()) return;
  if (!owner->MeasuringMode() && dc_) {
    dc_->StretchBlt(dstRect.Left, dstRect.Top, dstRect.Right - dstRect.Left,
                    dstRect.Bottom - dstRect.Top, &sourceDC, srcRect.Left, srcRect.Top,
                    srcRect.Right - srcRect.Left, srcRect.Bottom - srcRect.Top, plat::SRCCOPY);
  }
  owner->AreaChanged(dstRect, AreaInfoRect);
}

void TGDIBackend::DrawTo(plat::DeviceContext& destDC, int32_t dstX, int32_t dstY) {
  if (!dc_) return;
  destDC.BitBlt(dstX, dstY, dc_->Width(), dc_->Height(), dc_.get(), 0, 0, plat::SRCCOPY);
}

void TGDIBackend::DrawTo(plat::DeviceContext& destDC, const TRect& dstRect, const TRect& srcRect) {
  if (!dc_) return;
  destDC.StretchBlt(dstRect.Left, dstRect.Top, dstRect.Right - dstRect.Left,
                    dstRect.Bottom - dstRect.Top, dc_.get(), srcRect.Left, srcRect.Top,
                    srcRect.Right - srcRect.Left, srcRect.Bottom - srcRect.Top, plat::SRCCOPY);
}

void TGDIBackend::DoPaint(TCustomBitmap32& buffer, const std::vector<TRect>& invalidRects,
                          plat::TCanvas& canvas, const TRect& viewportRect) {
  auto* source = buffer.BackendAs<IBackendDeviceContextSupport>();
  plat::DeviceContext* dest = canvas.Handle();
  if (source == nullptr || source->GetHandle() == nullptr || dest == nullptr) return;
  const auto copy = [&](const TRect& r) {
    dest->BitBlt(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, source->GetHandle(), r.Left,
                 r.Top, plat::SRCCOPY);
  };
  if (invalidRects.empty()) {
    copy(viewportRect);
  } else {
    for (const TRect& r : invalidRects) copy(r);
  }
}

}  // namespace gfx
