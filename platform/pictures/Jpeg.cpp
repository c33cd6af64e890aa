#include "platform/pictures/Jpeg.h"

#include <algorithm>

#include "platform/pictures/Bitmap.h"
#include "platform/pictures/JpegCodec.h"

namespace plat {

TJPEGImage::TJPEGImage() : bitmap_(std::make_unique<TBitmap>()) {}
TJPEGImage::~TJPEGImage() = default;

const TGraphicClass& TJPEGImage::StaticClass() {
  static const TGraphicClass cls{"TJPEGImage", &TGraphic::StaticClass(), MakeGraphic<TJPEGImage>};
  return cls;
}

int TJPEGImage::Width() const {
  return bitmap_->Width();
}
int TJPEGImage::Height() const {
  return bitmap_->Height();
}
bool TJPEGImage::Empty() const {
  return bitmap_->Empty();
}
const TBitmap& TJPEGImage::Bitmap() const {
  return *bitmap_;
}
const TPalette& TJPEGImage::Palette() const {
  return bitmap_->Palette();
}

void TJPEGImage::Decode() {
  JpegDecodeOptions options;
  options.scaleDenominator = 1 << int(scale_);
  options.grayscale = grayscale_;
  options.quantize = pixelFormat_ == jf8Bit;
  bitmap_ = DecodeJpeg(data_, options);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  std::optional<std::string> read = ReadRest(stream, MaxJpegBytes);
  if (!read) throw EInvalidGraphic("JPEG picture is too large");
  std::string bytes = std::move(*read);
  std::swap(data_, bytes);
  try {
    Decode();
  } catch (...) {
    std::swap(data_, bytes);
    throw;
  }
  Changed();
}

bool TJPEGImage::LoadFromStreamInto(TStream& stream, const ArgbPictureTarget& target) {
  if (scale_ != jsFullSize || pixelFormat_ != jf24Bit || grayscale_) return false;
  DecodeJpegArgb(stream, target);
  data_.clear();
  bitmap_ = std::make_unique<TBitmap>();
  Changed();
  return true;
}

void TJPEGImage::SaveToStream(TStream& stream) const {
  if (!data_.empty()) {
    stream.WriteBuffer(data_);
  } else {
    stream.WriteBuffer(EncodeJpeg(*bitmap_, quality_));
  }
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) const {
  bitmap_->Draw(canvas, rect);
}

void TJPEGImage::SetScale(TJPEGScale scale) {
  if (scale == scale_) return;
  scale_ = scale;
  if (!data_.empty()) Decode();
  Changed();
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat format) {
  if (format == pixelFormat_) return;
  pixelFormat_ = format;
  if (!data_.empty()) Decode();
  Changed();
}

void TJPEGImage::SetGrayscale(bool value) {
  if (value == grayscale_) return;
  grayscale_ = value;
  if (!data_.empty()) Decode();
  Changed();
}

void TJPEGImage::SetCompressionQuality(int quality) {
  quality_ = std::clamp(quality, 1, 100);
}

void TJPEGImage::Compress() {
  data_ = EncodeJpeg(*bitmap_, quality_);
}

void TJPEGImage::Assign(const TPersistent& source) {
  if (&source == this) return;
  if (auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(*jpeg->bitmap_);
    bitmap_ = std::move(copy);
    data_ = jpeg->data_;
    scale_ = jpeg->scale_;
    pixelFormat_ = jpeg->pixelFormat_;
    grayscale_ = jpeg->grayscale_;
    quality_ = jpeg->quality_;
  } else if (auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(*bitmap);
    if (copy->PixelFormat() != pf24bit) copy->SetPixelFormat(pf24bit);
    bitmap_ = std::move(copy);
    data_.clear();
  } else {
    TGraphic::Assign(source);
    return;
  }
  Changed();
}

void TJPEGImage::AssignTo(TPersistent& dest) const {
  if (auto* bitmap = dynamic_cast<TBitmap*>(&dest)) {
    bitmap->Assign(*bitmap_);
  } else {
    TGraphic::AssignTo(dest);
  }
}

}  // namespace plat
