// Drawing image objects: the picture, placeholders with their ALT text, borders and focus.
#include "html/HtmlEngine.h"
#include "html/images/GdiPlusLoader.h"
#include "html/images/ImageLoading.h"
#include "html/images/ImageObjects.h"
#include "html/images/PictureHelpers.h"
#include "html/layout/sections/PageSections.h"
#include "html/layout/text/FontRuns.h"
#include "platform/drawing/DeviceContext.h"

namespace html {

namespace {

// Placeholders show their picture this far in from the corner, and only in boxes this large;
// their ALT text starts right of the picture.
constexpr int32_t kPlaceholderInset = 4;
constexpr int32_t kPlaceholderSide = 24;
constexpr int32_t kAltTextLeft = 24;

}  // namespace

void TImageObj::DrawInline(plat::TCanvas& canvas, const TInlinePlace& place) {
  Draw(canvas, place.X + HSpaceL, place.Run, place.Baseline, place.TextTop);
}

void TImageObj::DrawFloat(plat::TCanvas& canvas, int32_t x, int32_t top) {
  // Floats are drawn after the text, framed in the colour of the text at their place.
  DrawX = x + BorderSize;
  DrawY = top + BorderSize + Document->ScrollY;
  DrawFramed(canvas, top, textColor_, false);
}

int32_t TImageObj::InlineTop(const TInlinePlace& place) const {
  return AlignedTop(place.Run, place.Baseline, place.TextTop);
}

int32_t TImageObj::AlignedTop(const TFontObj& run, int32_t baseline, int32_t textTop) const {
  switch (ObjAlign) {
    case aTop:
    case aLeft:
    case aRight:
      return textTop + VSpaceT;
    case aMiddle:
      return baseline + run.Descent() - run.TextHeight() / 2 -
             (ImageHeight - VSpaceT + VSpaceB) / 2;
    default:
      return baseline - ImageHeight - VSpaceB;
  }
}

void TImageObj::Draw(plat::TCanvas& canvas, int32_t x, const TFontObj& run, int32_t baseline,
                     int32_t top) {
  const int32_t y = AlignedTop(run, baseline, top);
  DrawX = x + BorderSize;
  DrawY = y + BorderSize + Document->ScrollY;
  const bool linkFocused = run.IsFocused && run.IsLink();
  DrawFramed(canvas, y, run.Font->Color(), linkFocused);
}

void TImageObj::DrawFramed(plat::TCanvas& canvas, int32_t boxTop, plat::TColor color,
                           bool linkFocused) {
  const int32_t b = BorderSize;
  const int32_t boxLeft = DrawX - b;
  const plat::TRect box{boxLeft, boxTop, boxLeft + ImageWidth, boxTop + ImageHeight};
  const int32_t innerW = ImageWidth - 2 * b, innerH = ImageHeight - 2 * b;
  const int32_t x = DrawX, y = boxTop + b;
  const bool placeholder = !Document->ImagesOn || IsPlaceholder() || !Image;

  if (!placeholder) {
    DrawImage(canvas, x, y);
  } else {
    if (innerW >= kPlaceholderSide && innerH >= kPlaceholderSide)
      DrawImage(canvas, x + kPlaceholderInset, y + kPlaceholderInset);
    if (b == 0) {
      DrawAltText(canvas, box, color);
      Draw3DRect(Document->BackColor, canvas, box.Left, box.Top, box.Right - 1, box.Bottom - 1, 1,
                 false);
    }
  }
  if (b > 0) {
    plat::TPen& pen = canvas.Pen();
    const plat::TColor oldColor = pen.Color();
    const int oldWidth = pen.Width();
    const plat::TPenStyle oldStyle = pen.Style();
    const plat::TBrushStyle oldBrush = canvas.Brush().Style();
    pen.SetColor(color);
    pen.SetWidth(b);
    pen.SetStyle(plat::psInsideFrame);
    canvas.Brush().SetStyle(plat::bsClear);
    canvas.Rectangle(box);
    canvas.Brush().SetStyle(oldBrush);
    pen.SetColor(oldColor);
    pen.SetWidth(oldWidth);
    pen.SetStyle(oldStyle);
    if (placeholder) DrawAltText(canvas, box, color);
  }
  const TFormControlObj* input = FormControl();
  const bool inputFocused = input && input->TheControl() && input->TheControl()->Focused();
  if (inputFocused || linkFocused) {
    canvas.Brush().SetColor(plat::clWhite);
    canvas.Font().SetColor(plat::clBlack);
    canvas.DrawFocusRect(box);
  }
}

void TImageObj::DrawAltText(plat::TCanvas& canvas, const plat::TRect& box, plat::TColor color) {
  if (AltTextW.empty()) return;
  plat::TFont& font = canvas.Font();
  font.SetName("Arial");
  font.SetSize(8);
  font.SetStyle(plat::TFontStyles(font.Style() & ~plat::fsBold));
  font.SetColor(color);
  canvas.Brush().SetStyle(plat::bsClear);
  WideDrawText(canvas, box.Left + kAltTextLeft, box.Top + kPlaceholderInset, AltTextW,
               box.Right - 2, box.Bottom - 1);
}

void TImageObj::DrawImage(plat::TCanvas& canvas, int32_t x, int32_t y) {
  plat::TObject* picture = Document->ImagesOn && Image ? Image : DefaultImageBitmap();
  if (!picture) return;
  const bool shared = picture == DefaultImageBitmap() || picture == ErrorImageBitmap();
  int32_t w = ObjWidth, h = ObjHeight;
  if (shared) {
    w = GetImageWidth(*picture);
    h = GetImageHeight(*picture);
  }
  if (w <= 0 || h <= 0) return;
  plat::DeviceContext* dc = canvas.Handle();
  if (auto* gp = dynamic_cast<TGpImage*>(picture)) {
    if (dc) GpDrawImage(*dc, *gp, x, y, w, h);
    return;
  }
  if (auto* gif = dynamic_cast<TGIFImage*>(picture)) {
    gif->ShowIt = true;
    gif->Draw(canvas, x, y, w, h);
    return;
  }
  auto* bitmap = dynamic_cast<plat::TBitmap*>(picture);
  if (!bitmap || !dc || bitmap->Empty()) return;
  const plat::TBitmap* mask = picture == ErrorImageBitmap() ? ErrorImageMask() : Mask;
  if (mask && (Transparent != 0 || picture == ErrorImageBitmap())) {
    DrawTransparentBitmap(*dc, *bitmap, *mask, x, y, w, h);
    return;
  }
  const plat::DeviceContext* source = bitmap->Canvas().Handle();
  if (shared) {
    dc->BitBlt(x, y, w, h, source, 0, 0, plat::SRCCOPY);
    return;
  }
  const int oldMode = dc->SetStretchBltMode(plat::COLORONCOLOR);
  dc->StretchBlt(x, y, w, h, source, 0, 0, bitmap->Width(), bitmap->Height(), plat::SRCCOPY);
  dc->SetStretchBltMode(oldMode);
}

plat::TBitmap* TImageObj::GetBitmap() {
  if (!Image || Image == ErrorImageBitmap()) return nullptr;
  if (auto* gif = dynamic_cast<TGIFImage*>(Image)) return gif->GetFrameBitmap();
  if (bitmapCopy_) return bitmapCopy_.get();
  if (auto* bitmap = dynamic_cast<plat::TBitmap*>(Image)) {
    bitmapCopy_ = std::make_unique<plat::TBitmap>();
    bitmapCopy_->Assign(*bitmap);
    // On a palette screen the copy draws through the viewer's colours.
    if (ScreenColorBits() == 8 && ViewerPalette())
      bitmapCopy_->SetPalette(CopyViewerPalette(*ViewerPalette()));
  } else if (auto* gp = dynamic_cast<TGpBitmap*>(Image)) {
    bitmapCopy_ = gp->ToBitmap();
  }
  return bitmapCopy_.get();
}

}  // namespace html
