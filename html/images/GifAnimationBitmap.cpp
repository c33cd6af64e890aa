// Drawing a bitmap through its transparency mask, stretched by nearest pixels.
#include <algorithm>
#include <vector>

#include "html/HtmlEngine.h"
#include "html/images/GifAnimation.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/pictures/BitmapRows.h"

namespace html {

namespace {

// A rectangle of a bitmap as 32-bit pixels, the form a device context reads. Only the
// rectangle's own bytes are read: a strip of many frames is far wider than the one drawn.
std::vector<uint32_t> ReadPixels(const plat::TBitmap& bitmap, const plat::TRect& r) {
  const plat::TPixelFormat format = bitmap.PixelFormat();
  const int bits = plat::TBitmap::BitsPerPixel(format);
  const int perByte = bits < 8 ? 8 / bits : 1;
  const int skip = r.Left % perByte;  // pixels of the first byte left of the rectangle
  const int64_t offset = bits < 8 ? r.Left / perByte : int64_t(r.Left) * ((bits + 7) / 8);
  const plat::TPalette& palette = plat::EffectivePalette(format, bitmap.Palette());
  const size_t width = size_t(r.Width());
  std::vector<uint32_t> pixels(width * size_t(r.Height()));
  std::vector<uint32_t> row(size_t(skip) + width);
  uint32_t* out = pixels.data();
  for (int y = r.Top; y < r.Bottom; ++y, out += width) {
    plat::ReadRow(format, bitmap.ScanLine(y) + offset, skip + r.Width(), palette, row.data());
    std::copy_n(row.begin() + skip, width, out);
  }
  return pixels;
}

// Screens of palette depth stretch true-colour pictures with halftoning; everything else
// copies colours.
int StretchModeFor(const plat::TBitmap& bitmap) {
  const int bits = plat::TBitmap::BitsPerPixel(bitmap.PixelFormat());
  if (ScreenColorBits() < 9 && (bits == 15 || bits == 16 || bits == 24)) return plat::HALFTONE;
  return plat::COLORONCOLOR;
}

}  // namespace

void ThtBitmap::Draw(plat::TCanvas& canvas, const plat::TRect& rect) const {
  StretchDrawPart(canvas, rect, plat::TRect{0, 0, Width(), Height()});
}

void ThtBitmap::StretchDrawPart(plat::TCanvas& canvas, const plat::TRect& destRect,
                                const plat::TRect& sourceRect) const {
  plat::DeviceContext* dc = canvas.Handle();
  if (!dc) return;
  if (!Monochrome()) dc->SetStretchBltMode(StretchModeFor(*this));
  const plat::TRect& s = sourceRect;
  if (s.Left < 0 || s.Top < 0 || s.Right > Width() || s.Bottom > Height() || s.Width() <= 0 ||
      s.Height() <= 0)
    return;

  std::vector<uint32_t> pixels = ReadPixels(*this, s);
  const plat::DeviceContext source(pixels.data(), s.Width(), s.Height(), s.Width() * 4);
  if (HasMask && MaskBitmap && MaskBitmap->Width() == Width() && MaskBitmap->Height() == Height()) {
    std::vector<uint32_t> maskPixels = ReadPixels(*MaskBitmap, s);
    const plat::DeviceContext mask(maskPixels.data(), s.Width(), s.Height(), s.Width() * 4);
    dc->MaskedStretchBlt(destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), source,
                         0, 0, s.Width(), s.Height(), mask);
  } else {
    dc->StretchBlt(destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), &source, 0, 0,
                   s.Width(), s.Height(), canvas.CopyMode());
  }
}

}  // namespace html
