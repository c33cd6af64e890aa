#include "platform/htmlservices/HtmlImageCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstring>
#include <limits>

namespace plat {

bool HtmlImageCodecAvailable() {
  static const bool available = QImageReader::supportedImageFormats().contains("png");
  return available;
}

std::unique_ptr<TBitmap> DecodeHtmlImage(const void* data, int64_t size) {
  if (!data || size <= 0 || size > std::numeric_limits<int>::max())
    throw EInvalidGraphic("The picture data is empty or too large");
  QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize header = reader.size();
  if (!header.isValid()) throw EInvalidGraphic("The picture data cannot be read");
  CheckPictureSize(header.width(), header.height());

  QImage decoded = reader.read();
  if (decoded.isNull()) throw EInvalidGraphic("The picture data cannot be decoded");
  CheckPictureSize(decoded.width(), decoded.height());
  decoded = decoded.convertToFormat(QImage::Format_ARGB32);

  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(decoded.width(), decoded.height());
  for (int y = 0; y < decoded.height(); ++y)
    std::memcpy(bitmap->ScanLine(y), decoded.constScanLine(y), size_t(decoded.width()) * 4);
  return bitmap;
}

}  // namespace plat
