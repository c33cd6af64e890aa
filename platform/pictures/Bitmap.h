// The platform bitmap: device-independent pixels in one of several formats, a palette, a canvas,
// transparency settings, and BMP files.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/drawing/Colors.h"
#include "platform/pictures/Picture.h"

namespace plat {

class TFont;

enum TPixelFormat {
  pfDevice,
  pf1bit,
  pf4bit,
  pf8bit,
  pf15bit,
  pf16bit,
  pf24bit,
  pf32bit,
  pfCustom
};
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

// Largest picture the layer accepts: no side above 32767, no more than 2^28 pixels.
constexpr int kMaxPictureSide = 32767;
constexpr int64_t kMaxPicturePixels = int64_t(1) << 28;
// Raises EInvalidGraphic unless 0 <= width, height and the size is within the limits above.
void CheckPictureSize(int64_t width, int64_t height);

class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  static const TGraphicClass& StaticClass();
  const TGraphicClass& GraphicClass() const override { return StaticClass(); }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ == 0 || height_ == 0; }
  // Resizing keeps the pixels that stay inside (top-left) and zero-fills the rest; the pixel
  // format and palette stay. Sizes beyond the layer's limits raise EInvalidGraphic.
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  // Drops pixels and palette and returns to pfDevice (the bitmap has no image any more).
  void Clear();

  // pfDevice is stored as 32 bits per pixel. Setting a format on an empty bitmap is remembered
  // for the next SetSize; on a bitmap with pixels the pixels are converted (to an indexed
  // format by nearest palette entry). pfCustom cannot be set.
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat format);
  static int BitsPerPixel(TPixelFormat format);
  // Bytes per row: ((Width * bits + 31) / 32) * 4.
  int64_t RowStride() const { return stride_; }
  // Row y (0 = top). Layouts: 1 bit MSB = leftmost, 4 bits high nibble = left, 8 bits index,
  // 15 bits 5-5-5 and 16 bits 5-6-5 little-endian words, 24 bits B,G,R, 32 bits B,G,R,A.
  // Raises EInvalidGraphic for a row outside the bitmap.
  uint8_t* ScanLine(int y);
  const uint8_t* ScanLine(int y) const;

  // The palette of an indexed bitmap. An indexed bitmap without one reads as a grey ramp.
  const TPalette& Palette() const override { return palette_; }
  void SetPalette(TPalette palette);
  // Hands the palette to the caller and leaves none.
  TPalette ReleasePalette();

  TBitmapHandleType HandleType() const { return handleType_; }
  void SetHandleType(TBitmapHandleType type) { handleType_ = type; }

  // One bit per pixel. Setting true converts: pure white becomes 1 (white), everything else 0
  // (black); setting false converts to pfDevice.
  bool Monochrome() const { return pixelFormat_ == pf1bit; }
  void SetMonochrome(bool value);

  // In tmAuto the colour is that of the lower-left pixel (clDefault for an empty bitmap).
  // Setting a colour switches to tmFixed; setting tmAuto forgets the colour.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);
  // A new monochrome bitmap of the same size: white (1) where the pixel's colour equals
  // TransparentColor, black (0) elsewhere. The caller owns it.
  std::unique_ptr<TBitmap> CreateMask() const;

  // Pixel (x, y) as 0xAARRGGBB: indexed formats through the palette, 15/16/24 bits opaque,
  // pfDevice and pf32bit as stored.
  uint32_t PixelARGB(int x, int y) const;
  // Row y as 0xAARRGGBB values, Width() of them.
  void ReadRowARGB(int y, uint32_t* dst) const;
  // Pixel (x, y) as a TColor (0x00BBGGRR).
  TColor Pixel(int x, int y) const;

  // A canvas over the pixels. Painting needs 32 bits per pixel, so the first use converts a
  // bitmap of another format (except pfDevice) to pf32bit, opaque.
  TCanvas& Canvas();
  // The canvas's font without making a canvas: the default font while there is none.
  const TFont& CanvasFont() const;

  // Copies a bitmap deeply (pixels, format, palette, transparency), takes the clipboard's
  // picture, or lets another graphic assign itself.
  void Assign(const TPersistent& source) override;
  // Copies every pixel exactly (indexed through the palette, 24 bits opaque, 32 bits as stored),
  // stretched by nearest neighbour when rect has another size. Transparent is ignored: it is
  // information for the caller.
  void Draw(TCanvas& canvas, const TRect& rect) const override;

  // Any BMP: core, info, V4 and V5 headers; 1, 4, 8, 16, 24 and 32 bits; uncompressed, RLE4,
  // RLE8 and bit fields; top-down or bottom-up. Bad data raises EInvalidGraphic and leaves the
  // bitmap unchanged.
  void LoadFromStream(TStream& stream) override;
  // Writes a BMP of the pixel format (pfDevice as 24 bits); an empty bitmap raises.
  void SaveToStream(TStream& stream) const override;

 private:
  // Replaces the pixels by a zeroed block of that size and format (keeping the top-left part when
  // the format stays).
  void Allocate(int width, int height, TPixelFormat format);
  // Points the canvas (when there is one) at the current pixels.
  void AttachCanvas();
  void Swap(TBitmap& other);
  void ConvertTo(TPixelFormat format);
  void CopyFrom(const TBitmap& source);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat pixelFormat_ = pfDevice;
  int64_t stride_ = 0;
  std::vector<uint8_t> bits_;
  TPalette palette_;
  TBitmapHandleType handleType_ = bmDIB;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  struct CanvasHolder;
  std::unique_ptr<CanvasHolder> canvas_;
};

// Converts a 0xAARRGGBB value to a TColor (alpha dropped) and back (opaque).
constexpr TColor ARGBToColor(uint32_t argb) {
  return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
}
constexpr uint32_t ColorToARGB(TColor color) {
  uint32_t c = uint32_t(color);
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace plat
