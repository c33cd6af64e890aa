// The imaging layer that loads and draws the PNG pictures of pages: a use count that keeps it
// started while image caches exist, images loaded from files or memory, 32-bit ARGB bitmaps and
// drawing surfaces on a device context or on an image.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "html/layout/sections/DocumentObjects.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Picture.h"
#include "platform/runtime/SysUtils.h"

namespace html {

class EGDIPlus : public plat::Exception {
 public:
  using Exception::Exception;
};

// The first acquire starts the layer (active when a PNG decoder is present); later ones only
// count. The last release stops it. A failed start is not retried until every user released.
void GdiPlusAcquire();
void GdiPlusRelease();
bool GdiPlusActive();
int GdiPlusUseCount();

// A picture of the imaging layer: straight 32-bit ARGB pixels.
class TGpImage : public plat::TGraphic, public THtmlPicture {
 public:
  TGpImage();
  // Loads a picture file: "Image file %s not found." when it does not exist, "Can't load image
  // file %s." when it cannot be decoded.
  explicit TGpImage(const std::string& fileName);
  ~TGpImage() override;
  TGpImage(const TGpImage&) = delete;
  TGpImage& operator=(const TGpImage&) = delete;

  // A picture decoded from memory; bad data raises EInvalidGraphic.
  static std::unique_ptr<TGpImage> FromMemory(const void* data, int64_t size);

  static const plat::TGraphicClass& StaticClass();
  const plat::TGraphicClass& GraphicClass() const override { return StaticClass(); }

  int Width() const override { return pixels_->Width(); }
  int Height() const override { return pixels_->Height(); }
  bool Empty() const override { return pixels_->Empty(); }
  int ImageWidth() const override { return Width(); }
  int ImageHeight() const override { return Height(); }

  // Decodes the rest of the stream; bad data raises EInvalidGraphic and keeps the old picture.
  void LoadFromStream(plat::TStream& stream) override;
  // Blends the picture into rect as the imaging layer's drawing surfaces do.
  void Draw(plat::TCanvas& canvas, const plat::TRect& rect) const override;
  // A new opaque 24-bit bitmap of the picture's size: the picture over white.
  std::unique_ptr<plat::TBitmap> GetTBitmap() const;
  std::unique_ptr<plat::TBitmap> ToBitmap() const override { return GetTBitmap(); }

  // Pixel (x, y) as 0xAARRGGBB.
  uint32_t Pixel(int x, int y) const;
  uint32_t* Row(int y) { return reinterpret_cast<uint32_t*>(pixels_->ScanLine(y)); }
  const uint32_t* Row(int y) const {
    return reinterpret_cast<const uint32_t*>(std::as_const(*pixels_).ScanLine(y));
  }

 protected:
  explicit TGpImage(std::unique_ptr<plat::TBitmap> pixels) : pixels_(std::move(pixels)) {}

 private:
  std::unique_ptr<plat::TBitmap> pixels_;
};

// A blank (transparent black) 32-bit ARGB bitmap to draw on.
class TGpBitmap : public TGpImage {
 public:
  // "Can't create bitmap" for sizes the layer cannot hold.
  TGpBitmap(int width, int height);
  explicit TGpBitmap(const std::string& fileName) : TGpImage(fileName) {}

  uint32_t GetPixel(int x, int y) const { return Pixel(x, y); }
  // Points outside the bitmap are ignored.
  void SetPixel(int x, int y, uint32_t argb);
};

// Sampling of scaled pictures.
enum class TGpInterpolation { Bilinear, NearestNeighbor };

// A drawing surface on a device context (blends into the colours and keeps the alpha bytes of the
// context) or on an image (blends over its ARGB pixels).
class TGpGraphics {
 public:
  explicit TGpGraphics(plat::DeviceContext& dc);
  explicit TGpGraphics(TGpImage& image);
  static std::unique_ptr<TGpGraphics> CreateFromImage(TGpImage& image);

  // The image scaled into (x, y, w, h). A picture with a side of at most 10 pixels that is being
  // enlarged is stretched by nearest neighbour, so that it does not fade out at its edges.
  void DrawImageRect(const TGpImage& image, int x, int y, int w, int h);
  void DrawImage(const TGpImage& image, int x, int y);
  // The source rectangle into the destination rectangle.
  void DrawImageRectRect(const TGpImage& image, int dx, int dy, int dw, int dh, int sx, int sy,
                         int sw, int sh);
  // The source rectangle at its own size at (x, y).
  void DrawImagePart(const TGpImage& image, int x, int y, int sx, int sy, int sw, int sh);
  // Fills the whole surface (what the clip lets through) with the 0xAARRGGBB colour.
  void Clear(uint32_t argb);
  void SetInterpolationMode(TGpInterpolation mode) { interpolation_ = mode; }

 private:
  void StretchSmallImage(const TGpImage& image, int x, int y, int w, int h);

  plat::DeviceContext* dc_ = nullptr;
  TGpImage* image_ = nullptr;
  TGpInterpolation interpolation_ = TGpInterpolation::Bilinear;
};

}  // namespace html
