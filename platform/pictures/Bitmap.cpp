#include "platform/pictures/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/drawing/Graphics.h"
#include "platform/pictures/BitmapRows.h"
#include "platform/pictures/BmpCodec.h"
#include "platform/pictures/Clipboard.h"

namespace plat {

void CheckPictureSize(int64_t width, int64_t height) {
  if (width < 0 || height < 0) {
    throw EInvalidGraphic(Format("Invalid picture size %d x %d", {width, height}));
  }
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
    throw EInvalidGraphic(Format(
        "Picture of %d x %d pixels is too large (at most 32767 pixels a side and 2^28 pixels)",
        {width, height}));
  }
}

// ---------------------------------------------------------------------------------------------
// TBitmap storage

// The canvas of a bitmap draws on a context over the bitmap's 32-bit pixels.
struct TBitmap::CanvasHolder {
  DeviceContext context;
  TCanvas canvas{&context};
};

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

const TGraphicClass& TBitmap::StaticClass() {
  static const TGraphicClass cls{"TBitmap", &TGraphic::StaticClass(), MakeGraphic<TBitmap>};
  return cls;
}

int TBitmap::BitsPerPixel(TPixelFormat format) {
  switch (format) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

void TBitmap::Allocate(int width, int height, TPixelFormat format) {
  CheckPictureSize(width, height);
  int64_t stride = ((int64_t(width) * BitsPerPixel(format) + 31) / 32) * 4;
  std::vector<uint8_t> bits;
  try {
    bits.resize(size_t(stride * height));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(
        Format("Not enough memory for a picture of %d x %d pixels", {width, height}));
  }
  // Keep the part that stays inside when the format is unchanged.
  if (format == pixelFormat_ && !bits_.empty()) {
    // Only the bits of pixels that exist on both sides; row padding is not pixel data.
    const int64_t copyBits = int64_t(std::min(width, width_)) * BitsPerPixel(format);
    const size_t wholeBytes = size_t(copyBits / 8);
    const uint8_t lastMask = uint8_t(0xFF00 >> (copyBits % 8));
    for (int y = 0; y < std::min(height, height_); ++y) {
      uint8_t* dst = bits.data() + y * stride;
      const uint8_t* src = bits_.data() + y * stride_;
      std::memcpy(dst, src, wholeBytes);
      if (copyBits % 8) dst[wholeBytes] = src[wholeBytes] & lastMask;
    }
  }
  bits_ = std::move(bits);
  width_ = width;
  height_ = height;
  stride_ = stride;
  pixelFormat_ = format;
  AttachCanvas();
}

void TBitmap::AttachCanvas() {
  if (!canvas_) return;
  const bool drawable = BitsPerPixel(pixelFormat_) == 32 && !Empty();
  canvas_->context.Attach(drawable ? reinterpret_cast<uint32_t*>(bits_.data()) : nullptr,
                          drawable ? width_ : 0, drawable ? height_ : 0, int32_t(stride_));
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  Allocate(width, height, pixelFormat_);
  Changed();
}

void TBitmap::Clear() {
  bits_.clear();
  palette_ = TPalette();
  pixelFormat_ = pfDevice;
  Allocate(0, 0, pfDevice);
  Changed();
}

uint8_t* TBitmap::ScanLine(int y) {
  return const_cast<uint8_t*>(static_cast<const TBitmap*>(this)->ScanLine(y));
}

const uint8_t* TBitmap::ScanLine(int y) const {
  if (y < 0 || y >= height_ || Empty()) {
    throw EInvalidGraphic(Format("Scan line index out of range (%d)", {y}));
  }
  return bits_.data() + int64_t(y) * stride_;
}

void TBitmap::SetPalette(TPalette palette) {
  palette_ = std::move(palette);
  Changed();
}

TPalette TBitmap::ReleasePalette() {
  TPalette released = std::move(palette_);
  palette_ = TPalette();
  return released;
}

// ---------------------------------------------------------------------------------------------
// Formats

void TBitmap::ConvertTo(TPixelFormat format) {
  if (Empty()) {
    pixelFormat_ = format;
    Allocate(width_, height_, format);
    return;
  }
  TBitmap converted;
  converted.pixelFormat_ = format;
  converted.Allocate(width_, height_, format);
  const TPalette& sourcePalette = EffectivePalette(pixelFormat_, palette_);
  const TPalette& targetPalette = EffectivePalette(format, palette_);
  RowWriter writer(format, targetPalette);
  std::vector<uint32_t> row(static_cast<size_t>(width_));
  for (int y = 0; y < height_; ++y) {
    ReadRow(pixelFormat_, ScanLine(y), width_, sourcePalette, row.data());
    writer.Write(row.data(), width_, converted.ScanLine(y));
  }
  bits_ = std::move(converted.bits_);
  pixelFormat_ = format;
  stride_ = converted.stride_;
  AttachCanvas();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pfCustom) throw EInvalidGraphic("A custom pixel format cannot be set");
  if (format == pixelFormat_) return;
  ConvertTo(format);
  Changed();
}

void TBitmap::SetMonochrome(bool value) {
  if (value == Monochrome()) return;
  if (!value) {
    SetPixelFormat(pfDevice);
    return;
  }
  TBitmap mono;
  mono.pixelFormat_ = pf1bit;
  mono.Allocate(width_, height_, pf1bit);
  std::vector<uint32_t> row(static_cast<size_t>(width_));
  for (int y = 0; y < height_; ++y) {
    ReadRowARGB(y, row.data());
    uint8_t* dst = mono.ScanLine(y);
    for (int x = 0; x < width_; ++x) {
      if ((row[size_t(x)] & 0xFFFFFF) == 0xFFFFFF) dst[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
  }
  bits_ = std::move(mono.bits_);
  palette_ = TPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
  pixelFormat_ = pf1bit;
  stride_ = mono.stride_;
  AttachCanvas();
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Pixels

void TBitmap::ReadRowARGB(int y, uint32_t* dst) const {
  ReadRow(pixelFormat_, ScanLine(y), width_, EffectivePalette(pixelFormat_, palette_), dst);
}

uint32_t TBitmap::PixelARGB(int x, int y) const {
  if (x < 0 || x >= width_) throw EInvalidGraphic(Format("Pixel index out of range (%d)", {x}));
  const uint8_t* row = ScanLine(y);
  const int bits = BitsPerPixel(pixelFormat_);
  if (bits <= 8) {
    const int perByte = 8 / bits;
    const int shift = (perByte - 1 - x % perByte) * bits;
    const int index = (row[x / perByte] >> shift) & ((1 << bits) - 1);
    return EffectivePalette(pixelFormat_, palette_).ColorARGB(index);
  }
  uint32_t value;
  ReadRow(pixelFormat_, row + int64_t(x) * (bits / 8), 1, palette_, &value);
  return value;
}

TColor TBitmap::Pixel(int x, int y) const {
  return ARGBToColor(PixelARGB(x, y));
}

// ---------------------------------------------------------------------------------------------
// Transparency

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (Empty()) return clDefault;
  return Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  transparentColor_ = color;
  transparentMode_ = tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  transparentMode_ = mode;
  if (mode == tmAuto) transparentColor_ = clDefault;
  Changed();
}

std::unique_ptr<TBitmap> TBitmap::CreateMask() const {
  auto mask = std::make_unique<TBitmap>();
  mask->pixelFormat_ = pf1bit;
  mask->palette_ = TPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
  mask->Allocate(width_, height_, pf1bit);
  if (Empty()) return mask;
  const uint32_t key = ColorToARGB(ColorToRGB(TransparentColor())) & 0xFFFFFF;
  std::vector<uint32_t> row(static_cast<size_t>(width_));
  for (int y = 0; y < height_; ++y) {
    ReadRowARGB(y, row.data());
    uint8_t* dst = mask->ScanLine(y);
    for (int x = 0; x < width_; ++x) {
      if ((row[size_t(x)] & 0xFFFFFF) == key) dst[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
  }
  return mask;
}

// ---------------------------------------------------------------------------------------------
// Canvas and drawing

TCanvas& TBitmap::Canvas() {
  if (BitsPerPixel(pixelFormat_) != 32) SetPixelFormat(pf32bit);
  if (!canvas_) {
    canvas_ = std::make_unique<CanvasHolder>();
    AttachCanvas();
  }
  return canvas_->canvas;
}

const TFont& TBitmap::CanvasFont() const {
  static const TFont defaultFont;
  return canvas_ ? canvas_->canvas.Font() : defaultFont;
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
  DeviceContext* target = canvas.Handle();
  if (!target || Empty() || rect.Width() == 0 || rect.Height() == 0) return;
  if (BitsPerPixel(pixelFormat_) == 32) {
    // The context only reads from its source, so the stored pixels serve directly.
    DeviceContext source(reinterpret_cast<uint32_t*>(const_cast<uint8_t*>(bits_.data())), width_,
                         height_, int32_t(stride_));
    target->StretchBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), &source, 0, 0, width_,
                       height_, SRCCOPY);
    return;
  }
  // Other formats are converted to 32 bits first; an unscaled draw converts a band of rows at a
  // time, so a large picture never has a second, 32-bit copy.
  constexpr int kBandRows = 64;
  const bool unscaled = rect.Width() == width_ && rect.Height() == height_;
  const int band = unscaled ? std::min(height_, kBandRows) : height_;
  std::vector<uint32_t> converted(size_t(width_) * size_t(band));
  for (int top = 0; top < height_; top += band) {
    const int rows = std::min(band, height_ - top);
    for (int y = 0; y < rows; ++y) ReadRowARGB(top + y, converted.data() + size_t(y) * width_);
    DeviceContext source(converted.data(), width_, rows, width_ * 4);
    target->StretchBlt(rect.Left, rect.Top + top, rect.Width(), unscaled ? rows : rect.Height(),
                       &source, 0, 0, width_, rows, SRCCOPY);
  }
}

// ---------------------------------------------------------------------------------------------
// Assignment and files

void TBitmap::Swap(TBitmap& other) {
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(pixelFormat_, other.pixelFormat_);
  std::swap(stride_, other.stride_);
  std::swap(bits_, other.bits_);
  std::swap(palette_, other.palette_);
  std::swap(handleType_, other.handleType_);
  AttachCanvas();
}

void TBitmap::CopyFrom(const TBitmap& source) {
  TBitmap copy;
  copy.width_ = source.width_;
  copy.height_ = source.height_;
  copy.pixelFormat_ = source.pixelFormat_;
  copy.stride_ = source.stride_;
  copy.bits_ = source.bits_;
  copy.palette_ = source.palette_;
  copy.handleType_ = source.handleType_;
  Swap(copy);
  transparentColor_ = source.transparentColor_;
  transparentMode_ = source.transparentMode_;
  TGraphic::SetTransparent(source.Transparent());
}

void TBitmap::Assign(const TPersistent& source) {
  if (&source == this) return;
  if (auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    CopyFrom(*bitmap);
  } else if (auto* clipboard = dynamic_cast<const TClipboard*>(&source)) {
    std::unique_ptr<TBitmap> pasted = clipboard->GetBitmap();
    if (!pasted) throw EInvalidGraphic("The clipboard holds no picture");
    Swap(*pasted);
  } else {
    TGraphic::Assign(source);
    return;
  }
  Changed();
}

void TBitmap::LoadFromStream(TStream& stream) {
  std::unique_ptr<TBitmap> loaded = ReadBmpStream(stream);
  Swap(*loaded);
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) const {
  WriteBmp(*this, stream);
}

}  // namespace plat
