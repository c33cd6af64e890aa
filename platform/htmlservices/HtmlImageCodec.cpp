#include "platform/htmlservices/HtmlImageCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <limits>

#include "platform/pictures/BitmapFromImage.h"

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
  return BitmapFromImage(decoded.convertToFormat(QImage::Format_ARGB32));
}

}  // namespace plat
