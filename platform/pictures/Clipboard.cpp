#include "platform/pictures/Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <memory>
#include <utility>

#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/BitmapFromImage.h"
#include "platform/pictures/Picture.h"
#include "platform/windows/QtRuntime.h"

namespace plat {

namespace {

QClipboard& SystemClipboard() {
  EnsureQtApplication();
  return *QGuiApplication::clipboard();
}

// How desktop programs put pictures on the clipboard and look for them first.
const QString kPngType = QStringLiteral("image/png");

// The graphic's pixels; a pf32bit bitmap keeps its alpha, any other graphic is opaque.
QImage ToImage(const TGraphic& graphic) {
  const TBitmap* bitmap = dynamic_cast<const TBitmap*>(&graphic);
  TBitmap rendered;
  if (!bitmap) {
    rendered.SetPixelFormat(pf32bit);
    rendered.SetSize(graphic.Width(), graphic.Height());
    graphic.Draw(rendered.Canvas(), BoundsRect(0, 0, graphic.Width(), graphic.Height()));
    bitmap = &rendered;
  }
  const bool alpha = bitmap == &graphic && bitmap->PixelFormat() == pf32bit;
  QImage image(bitmap->Width(), bitmap->Height(),
               alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < bitmap->Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
    bitmap->ReadRowARGB(y, row);
    if (!alpha)
      for (int x = 0; x < bitmap->Width(); ++x) row[x] |= 0xFF000000u;
  }
  return image;
}

// PNG for the programs that keep alpha, and the image itself for those that ask for another
// format.
void PutImage(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  auto data = std::make_unique<QMimeData>();
  data->setData(kPngType, png);
  data->setImageData(image);
  SystemClipboard().setMimeData(data.release());
}

// PNG data read by the picture class registered for PNG; nullptr when there is none.
std::unique_ptr<TBitmap> FromPng(const QByteArray& png) {
  TReadOnlyMemoryStream stream(png.constData(), png.size());
  const std::unique_ptr<TGraphic> graphic = ReadPicture("png", stream);
  if (!graphic) return nullptr;
  CheckPictureSize(graphic->Width(), graphic->Height());
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->Assign(*graphic);
  return bitmap;
}

std::unique_ptr<TBitmap> FromImage(QImage image) {
  CheckPictureSize(image.width(), image.height());
  if (image.hasAlphaChannel()) return BitmapFromImage(image.convertToFormat(QImage::Format_ARGB32));
  auto bitmap = std::make_unique<TBitmap>();
  image = image.convertToFormat(QImage::Format_RGB888);
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const uint8_t* src = image.constScanLine(y);
    uint8_t* dst = bitmap->ScanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      dst[3 * x] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x];
    }
  }
  return bitmap;
}

}  // namespace

bool TClipboard::HasFormat(TClipboardFormat format) const {
  const QMimeData* data = SystemClipboard().mimeData();
  if (!data) return false;
  return format == CF_TEXT ? data->hasText() : data->hasImage() || data->hasFormat(kPngType);
}

void TClipboard::Assign(const TPersistent& source) {
  const TGraphic* graphic = dynamic_cast<const TGraphic*>(&source);
  if (auto* picture = dynamic_cast<const TPicture*>(&source)) graphic = picture->Graphic();
  if (!graphic && !dynamic_cast<const TPicture*>(&source)) {
    TPersistent::Assign(source);
    return;
  }
  if (!graphic || graphic->Empty()) return;
  PutImage(ToImage(*graphic));
}

std::unique_ptr<TBitmap> TClipboard::GetBitmap() const {
  const QMimeData* data = SystemClipboard().mimeData();
  if (!data) return nullptr;
  if (data->hasFormat(kPngType))
    if (std::unique_ptr<TBitmap> bitmap = FromPng(data->data(kPngType))) return bitmap;
  QImage image = SystemClipboard().image();
  if (image.isNull()) return nullptr;
  return FromImage(std::move(image));
}

void TClipboard::AssignTo(TPersistent& dest) const {
  if (dynamic_cast<TBitmap*>(&dest) || dynamic_cast<TPicture*>(&dest)) {
    dest.Assign(*this);
  } else {
    TPersistent::AssignTo(dest);
  }
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

}  // namespace plat
