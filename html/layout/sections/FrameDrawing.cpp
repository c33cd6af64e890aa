// 3-D frames: one-pixel lines, or a solid CSS border for wider frames.
#include <algorithm>

#include "html/base/PageUtils.h"
#include "html/layout/sections/BorderDrawing.h"

namespace html {

namespace {
// Frames far outside the page stay within what device coordinates hold.
constexpr int kTopLimit = -200;
constexpr int kBottomLimit = 5000;

bool IsWindowColor(plat::TColor color) {
  return color < 0 && (color & 0xFF) == plat::COLOR_WINDOW;
}
}  // namespace

void Draw3DRect(plat::TColor documentBackground, plat::TCanvas& canvas, int left, int top,
                int right, int bottom, int width, bool raised) {
  const bool whitePage =
      documentBackground == plat::clWhite ||
      (IsWindowColor(documentBackground) && plat::GetSysColor(plat::COLOR_WINDOW) == plat::clWhite);
  Draw3DRectColors(canvas, left, top, right, bottom, width, raised,
                   whitePage ? plat::clSilver : plat::clBtnHighlight, plat::clBtnShadow);
}

void Draw3DRectColors(plat::TCanvas& canvas, int left, int top, int right, int bottom, int width,
                      bool raised, plat::TColor light, plat::TColor dark) {
  const plat::TColor topLeft = raised ? light : dark;
  const plat::TColor bottomRight = raised ? dark : light;
  if (width < 1) return;
  if (width > 1) {
    const plat::TRect inner{left + 1, top + 1, right, bottom};
    const plat::TRect outer{inner.Left - width, inner.Top - width, inner.Right + width,
                            inner.Bottom + width};
    DrawCssBorder(canvas, outer, inner, clNone,
                  PackBorderSides(bssSolid, bssSolid, bssSolid, bssSolid),
                  SetRectRec(topLeft, topLeft, bottomRight, bottomRight));
    return;
  }
  top = std::max(top, kTopLimit);
  bottom = std::min(bottom, kBottomLimit);
  plat::TPen& pen = canvas.Pen();
  const plat::TColor oldColor = pen.Color();
  const int oldWidth = pen.Width();
  const plat::TPenStyle oldStyle = pen.Style();
  pen.SetWidth(1);
  pen.SetStyle(plat::psSolid);
  pen.SetColor(topLeft);
  canvas.MoveTo(left, bottom);
  canvas.LineTo(left, top);
  canvas.LineTo(right, top);
  pen.SetColor(bottomRight);
  canvas.LineTo(right, bottom);
  canvas.LineTo(left, bottom);
  pen.SetColor(oldColor);
  pen.SetWidth(oldWidth);
  pen.SetStyle(oldStyle);
}

}  // namespace html
