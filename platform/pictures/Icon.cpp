#include "platform/pictures/Icon.h"

#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <cstring>

#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/BmpCodec.h"

namespace plat {

namespace {

// Icon files larger than this are refused before parsing.
constexpr int64_t kMaxIconBytes = int64_t(1) << 28;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

[[noreturn]] void Invalid(const char* why) {
  throw EInvalidGraphic(std::string("Invalid icon: ") + why);
}

uint32_t Le(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

uint32_t Be32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // straight 0xAARRGGBB
};

Image DecodePng(const uint8_t* data, size_t size) {
  if (size < 24) Invalid("the PNG image is truncated");
  CheckPictureSize(Be32(data + 16), Be32(data + 20));
  QImage decoded = QImage::fromData(
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)), "PNG");
  if (decoded.isNull()) Invalid("the PNG image cannot be decoded");
  decoded = decoded.convertToFormat(QImage::Format_ARGB32);
  Image image{decoded.width(), decoded.height(), {}};
  image.pixels.resize(size_t(image.width) * size_t(image.height));
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(image.pixels.data() + size_t(y) * size_t(image.width), decoded.constScanLine(y),
                size_t(image.width) * 4);
  }
  return image;
}

// A device-independent bitmap followed by its AND mask (1 = transparent). An image with its
// own alpha channel uses that and ignores the mask.
Image DecodeDib(const uint8_t* data, size_t size) {
  IconDib dib = ReadIconDib(data, size);
  const TBitmap& colors = *dib.bitmap;
  Image image{colors.Width(), colors.Height(), {}};
  image.pixels.resize(size_t(image.width) * size_t(image.height));
  for (int y = 0; y < image.height; ++y) {
    colors.ReadRowARGB(y, image.pixels.data() + size_t(y) * size_t(image.width));
  }
  const bool ownAlpha =
      colors.PixelFormat() == pf32bit && std::any_of(image.pixels.begin(), image.pixels.end(),
                                                     [](uint32_t c) { return c < 0xFF000000u; });
  if (ownAlpha) return image;

  const size_t maskStride = ((size_t(image.width) + 31) / 32) * 4;
  if (dib.maskOffset > size || maskStride * size_t(image.height) > size - dib.maskOffset) {
    if (colors.PixelFormat() == pf32bit) return image;  // opaque 32-bit image without a mask
    Invalid("the mask is missing");
  }
  for (int y = 0; y < image.height; ++y) {
    const int maskRow = dib.topDown ? y : image.height - 1 - y;
    const uint8_t* mask = data + dib.maskOffset + size_t(maskRow) * maskStride;
    uint32_t* row = image.pixels.data() + size_t(y) * size_t(image.width);
    for (int x = 0; x < image.width; ++x) {
      if (mask[x >> 3] & (0x80 >> (x & 7))) row[x] = 0;
    }
  }
  return image;
}

// Straight-alpha source-over of s onto d.
uint32_t SourceOver(uint32_t s, uint32_t d) {
  const uint32_t sa = s >> 24;
  if (sa == 255) return s;
  if (sa == 0) return d;
  const uint32_t da = d >> 24;
  const uint32_t dWeight = da * (255 - sa);  // scaled by 255 * 255
  const uint32_t outA255 = sa * 255 + dWeight;
  uint32_t result = ((outA255 + 127) / 255) << 24;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
    const uint32_t c = (sc * sa * 255 + dc * dWeight + outA255 / 2) / outA255;
    result |= std::min<uint32_t>(c, 255) << shift;
  }
  return result;
}

}  // namespace

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

const TGraphicClass& TIcon::StaticClass() {
  static const TGraphicClass cls{"TIcon", &TGraphic::StaticClass(), MakeGraphic<TIcon>};
  return cls;
}

void TIcon::LoadFromStream(TStream& stream) {
  const std::optional<std::string> read = ReadRest(stream, kMaxIconBytes);
  if (!read) Invalid("the file is too large");
  const std::string& bytes = *read;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t size = bytes.size();
  if (size < 6 || Le(data, 2) != 0 || (Le(data + 2, 2) != 1 && Le(data + 2, 2) != 2)) {
    Invalid("the header is not an icon header");
  }
  const uint32_t count = Le(data + 4, 2);
  if (count == 0) Invalid("the file holds no image");
  if (size < 6 + 16 * size_t(count)) Invalid("the directory is truncated");

  // The largest image, then the deepest.
  const uint8_t* best = nullptr;
  uint64_t bestKey = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = data + 6 + 16 * size_t(i);
    const uint64_t width = entry[0] ? entry[0] : 256, height = entry[1] ? entry[1] : 256;
    const uint64_t key = ((width * height) << 16) | Le(entry + 6, 2);
    if (!best || key > bestKey) {
      best = entry;
      bestKey = key;
    }
  }
  const uint32_t imageSize = Le(best + 8, 4), imageOffset = Le(best + 12, 4);
  if (imageOffset > size || imageSize > size - imageOffset)
    Invalid("an image lies outside the file");
  const uint8_t* image = data + imageOffset;
  Image decoded = imageSize >= 8 && std::memcmp(image, kPngSignature, 8) == 0
                      ? DecodePng(image, imageSize)
                      : DecodeDib(image, imageSize);

  width_ = decoded.width;
  height_ = decoded.height;
  pixels_ = std::move(decoded.pixels);
  fileBytes_ = std::move(bytes);
  Changed();
}

void TIcon::SaveToStream(TStream& stream) const {
  if (Empty()) throw EInvalidGraphicOperation("Cannot save an empty icon");
  stream.WriteBuffer(fileBytes_);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) const {
  DeviceContext* target = canvas.Handle();
  const int w = rect.Width(), h = rect.Height();
  if (!target || Empty() || w <= 0 || h <= 0) return;
  CheckPictureSize(w, h);
  // Read what lies under the icon, composite in a scratch block, and copy the block back.
  std::vector<uint32_t> block(size_t(w) * size_t(h));
  DeviceContext scratch(block.data(), w, h, w * 4);
  scratch.BitBlt(0, 0, w, h, target, rect.Left, rect.Top, SRCCOPY);
  for (int y = 0; y < h; ++y) {
    const int sy = int((int64_t(2 * y + 1) * height_) / (2 * int64_t(h)));
    const uint32_t* src = pixels_.data() + size_t(sy) * size_t(width_);
    uint32_t* dst = block.data() + size_t(y) * size_t(w);
    for (int x = 0; x < w; ++x) {
      const int sx = int((int64_t(2 * x + 1) * width_) / (2 * int64_t(w)));
      dst[x] = SourceOver(src[sx], dst[x]);
    }
  }
  target->BitBlt(rect.Left, rect.Top, w, h, &scratch, 0, 0, SRCCOPY);
}

void TIcon::Assign(const TPersistent& source) {
  if (&source == this) return;
  if (auto* icon = dynamic_cast<const TIcon*>(&source)) {
    width_ = icon->width_;
    height_ = icon->height_;
    pixels_ = icon->pixels_;
    fileBytes_ = icon->fileBytes_;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::AssignTo(TPersistent& dest) const {
  auto* bitmap = dynamic_cast<TBitmap*>(&dest);
  if (!bitmap) {
    TGraphic::AssignTo(dest);
    return;
  }
  TBitmap image;
  image.SetPixelFormat(pf32bit);
  image.SetSize(width_, height_);
  for (int y = 0; y < height_; ++y) {
    std::memcpy(image.ScanLine(y), pixels_.data() + size_t(y) * size_t(width_), size_t(width_) * 4);
  }
  bitmap->Assign(image);
}

}  // namespace plat
