#include "platform/pictures/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <cstring>

#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"
#include "platform/windows/QtRuntime.h"

namespace plat {

namespace {

QClipboard& SystemClipboard() {
  EnsureQtApplication();
  return *QGuiApplication::clipboard();
}

// The graphic's pixels as an opaque RGB image.
QImage ToImage(const TGraphic& graphic) {
  const TBitmap* bitmap = dynamic_cast<const TBitmap*>(&graphic);
  TBitmap rendered;
  if (!bitmap) {
    rendered.SetPixelFormat(pf32bit);
    rendered.SetSize(graphic.Width(), graphic.Height());
    graphic.Draw(rendered.Canvas(), BoundsRect(0, 0, graphic.Width(), graphic.Height()));
    bitmap = &rendered;
  }
  QImage image(bitmap->Width(), bitmap->Height(), QImage::Format_RGB32);
  for (int y = 0; y < bitmap->Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
    bitmap->ReadRowARGB(y, row);
    for (int x = 0; x < bitmap->Width(); ++x) row[x] |= 0xFF000000u;
  }
  return image;
}

}  // namespace

bool TClipboard::HasFormat(TClipboardFormat format) const {
  const QMimeData* data = SystemClipboard().mimeData();
  if (!data) return false;
  return format == CF_TEXT ? data->hasText() : data->hasImage();
}

void TClipboard::Assign(const TPersistent& source) {
  const TGraphic* graphic = dynamic_cast<const TGraphic*>(&source);
  if (auto* picture = dynamic_cast<const TPicture*>(&source)) graphic = picture->Graphic();
  if (!graphic && !dynamic_cast<const TPicture*>(&source)) {
    TPersistent::Assign(source);
    return;
  }
  if (!graphic || graphic->Empty()) return;
  SystemClipboard().setImage(ToImage(*graphic));
}

std::unique_ptr<TBitmap> TClipboard::GetBitmap() const {
  QImage image = SystemClipboard().image();
  if (image.isNull()) return nullptr;
  CheckPictureSize(image.width(), image.height());
  image = image.convertToFormat(QImage::Format_RGB888);
  auto bitmap = std::make_unique<TBitmap>();
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
