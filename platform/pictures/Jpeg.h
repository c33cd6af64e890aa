// JPEG pictures on libjpeg: decoding (optionally scaled, grey or quantised to 256 colours) and
// compression at a chosen quality.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/pictures/Picture.h"

namespace plat {

class TBitmap;

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPixelFormat { jf24Bit, jf8Bit };

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage();
  ~TJPEGImage() override;

  static const TGraphicClass& StaticClass();
  const TGraphicClass& GraphicClass() const override { return StaticClass(); }

  // Size of the decoded picture at the current Scale.
  int Width() const override;
  int Height() const override;
  bool Empty() const override;

  // Reads a JPEG stream (from the current position to the end) and decodes it. Bad data raises
  // EInvalidGraphic and leaves the image unchanged.
  void LoadFromStream(TStream& stream) override;
  // Decodes full size, in colour, straight into the target, reading the stream as it goes; the
  // image then keeps neither data nor picture. A scaled, grey or quantised image declines.
  bool LoadFromStreamInto(TStream& stream, const ArgbPictureTarget& target) override;
  // Writes the compressed data, compressing the picture first when needed.
  void SaveToStream(TStream& stream) const override;

  // Draws the decoded picture (opaque RGB), stretched by nearest neighbour when needed.
  void Draw(TCanvas& canvas, const TRect& rect) const override;

  // Decoding options; changing one decodes the kept data again.
  TJPEGScale Scale() const { return scale_; }
  void SetScale(TJPEGScale scale);
  TJPEGPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TJPEGPixelFormat format);
  bool Grayscale() const { return grayscale_; }
  void SetGrayscale(bool value);

  // 1..100 (values outside are clamped); used by Compress.
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int quality);
  // Compresses the current picture with CompressionQuality (libjpeg defaults otherwise).
  void Compress();
  bool HasCompressedData() const { return !data_.empty(); }
  const std::string& CompressedData() const { return data_; }

  // The palette of the decoded picture (grey or jf8Bit output).
  const TPalette& Palette() const override;

  // The decoded picture: pf24bit, or pf8bit with a palette for grey or jf8Bit output.
  const TBitmap& Bitmap() const;

  // A TBitmap source is taken as RGB (alpha ignored); another JPEG is copied.
  void Assign(const TPersistent& source) override;

 protected:
  // A TBitmap receives a copy of the decoded picture.
  void AssignTo(TPersistent& dest) const override;

 private:
  void Decode();

  std::string data_;
  std::unique_ptr<TBitmap> bitmap_;
  TJPEGScale scale_ = jsFullSize;
  TJPEGPixelFormat pixelFormat_ = jf24Bit;
  bool grayscale_ = false;
  int quality_ = 90;
};

}  // namespace plat
