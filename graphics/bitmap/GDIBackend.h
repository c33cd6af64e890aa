// The device backend: a zero-filled top-down 32-bit surface with a device context over it, a
// font, a canvas created on demand, and text output that changes only red, green and blue.
#pragma once

#include <memory>

#include "graphics/bitmap/Backends.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"

namespace gfx {

class TGDIBackend final : public TCustomBackend,
                          public IBackendCanvasSupport,
                          public IBackendFontSupport,
                          public IBackendTextSupport,
                          public IBackendDeviceContextSupport,
                          public IBackendBitmapInfoSupport,
                          public IPaintSupport {
 public:
  TGDIBackend();
  ~TGDIBackend() override;

  bool Empty() const override { return dc_ == nullptr; }
  void Changed() override;

  // Canvas
  plat::TNotifyEvent GetCanvasChange() const override { return onCanvasChange_; }
  void SetCanvasChange(plat::TNotifyEvent handler) override { onCanvasChange_ = handler; }
  plat::TCanvas& GetCanvas() override;
  void DeleteCanvas() override;
  bool CanvasAllocated() const override { return canvas_ != nullptr; }

  // Font
  plat::TNotifyEvent GetFontChange() const override { return onFontChange_; }
  void SetFontChange(plat::TNotifyEvent handler) override { onFontChange_ = handler; }
  plat::TFont& GetFont() override { return font_; }
  void SetFont(const plat::TFont& font) override { font_.Assign(font); }
  void UpdateFont() override;

  // Text
  void TextOut(int32_t x, int32_t y, const std::string& text) override;
  void TextOut(int32_t x, int32_t y, const TRect& clipRect, const std::string& text) override;
  void TextOut(TRect& dstRect, uint32_t flags, const std::string& text) override;
  plat::TSize TextExtent(const std::string& text) override;
  void TextOut(int32_t x, int32_t y, const std::u16string& text) override;
  void TextOut(int32_t x, int32_t y, const TRect& clipRect, const std::u16string& text) override;
  void TextOut(TRect& dstRect, uint32_t flags, const std::u16string& text) override;
  plat::TSize TextExtent(const std::u16string& text) override;

  // Device context
  plat::DeviceContext* GetHandle() override { return dc_.get(); }
  void Draw(const TRect& dstRect, const TRect& srcRect, plat::DeviceContext& sourceDC) override;
  void DrawTo(plat::DeviceContext& destDC, int32_t dstX, int32_t dstY) override;
  void DrawTo(plat::DeviceContext& destDC, const TRect& dstRect, const TRect& srcRect) override;

  // Bitmap information
  TBitmapInfo GetBitmapInfo() const override { return info_; }

  // Painting
  void ImageNeeded() override {}
  void CheckPixmap() override {}
  void DoPaint(TCustomBitmap32& buffer, const std::vector<TRect>& invalidRects,
               plat::TCanvas& canvas, const TRect& viewportRect) override;

 protected:
  void AllocateSurface(int32_t newWidth, int32_t newHeight, bool clearBuffer) override;
  void FreeSurface() override;

 private:
  void FontChanged();
  // Draws text unless the owner is measuring, then reports the text's cell.
  void OutputText(int32_t x, int32_t y, const TRect* clip, const std::u16string& text);

  TBitmapInfo info_;
  std::unique_ptr<TColor32[]> memory_;
  std::unique_ptr<plat::DeviceContext> dc_;
  plat::TFont font_;
  std::unique_ptr<plat::TCanvas> canvas_;
  bool fontSelected_ = false;
  plat::TNotifyEvent onFontChange_;
  plat::TNotifyEvent onCanvasChange_;
};

}  // namespace gfx
