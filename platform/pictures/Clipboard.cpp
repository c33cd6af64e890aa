#include "platform/pictures/Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/BitmapFromImage.h"
#include "platform/pictures/Picture.h"
#include "platform/pictures/PictureKinds.h"
#include "platform/pictures/PngEncoder.h"
#include "platform/windows/QtRuntime.h"

namespace plat {

namespace {

QClipboard& SystemClipboard() {
  EnsureQtApplication();
  return *QGuiApplication::clipboard();
}

// How desktop programs put pictures on the clipboard and look for them first.
const QString kPngType = QStringLiteral("image/png");
// Qt's name for an image held as one, from which it makes every image format it writes.
const QString kImageType = QStringLiteral("application/x-qt-image");

// A picture on the clipboard as other programs ask for it: the formats are offered at once and
// made when a program asks for one, so a copy costs one copy of the pixels.
class TPictureMimeData : public QMimeData {
 public:
  explicit TPictureMimeData(QImage image) : image_(std::move(image)) {}
  const QImage& Image() const { return image_; }
  QStringList formats() const override { return {kPngType, kImageType}; }
  bool hasFormat(const QString& type) const override { return formats().contains(type); }

 protected:
  QVariant retrieveData(const QString& type, QMetaType) const override {
    if (type == kImageType) return image_;
    if (type != kPngType) return {};
    // PNG keeps alpha, which programs that take it expect. It is made while the program asking
    // waits, and this program with it: quickly rather than small.
    if (png_.isEmpty()) {
      try {
        EncodeFastPng(
            image_.width(), image_.height(),
            [this](int32_t y) {
              return reinterpret_cast<const uint32_t*>(image_.constScanLine(y));
            },
            [this](const char* bytes, size_t count) { png_.append(bytes, qsizetype(count)); });
      } catch (const std::exception&) {
        // Not through Qt's frames: the program asking gets nothing.
        png_.clear();
      }
    }
    return png_;
  }

 private:
  QImage image_;
  mutable QByteArray png_;
};

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

void PutImage(QImage image) {
  SystemClipboard().setMimeData(std::make_unique<TPictureMimeData>(std::move(image)).release());
}

// The clipboard types of the picture kinds the program reads itself, with the extension its
// picture classes are registered under: their readers say why data under such a name, of no kind
// the program knows, cannot be read.
struct TOwnKind {
  const char* Type;
  const char* Extension;
};
constexpr TOwnKind OwnKinds[] = {
    {"image/png", "png"},    {"image/gif", "gif"},      {"image/bmp", "bmp"},
    {"image/x-bmp", "bmp"},  {"image/x-ms-bmp", "bmp"}, {"image/jpeg", "jpg"},
    {"image/jpg", "jpg"},    {"image/pjpeg", "jpg"},    {"image/vnd.microsoft.icon", "ico"},
    {"image/x-icon", "ico"},
};

// The extension of the picture class registered for the type; empty when the program has none.
std::string OwnExtension(const QString& type) {
  for (const TOwnKind& kind : OwnKinds)
    if (type.compare(QLatin1String(kind.Type), Qt::CaseInsensitive) == 0) return kind.Extension;
  return {};
}

// The data read by the program's own picture class, with its own checks of size against data;
// nullptr when no class is registered for the extension.
std::unique_ptr<TBitmap> FromOwnReader(const QByteArray& bytes, const std::string& extension) {
  if (!TPicture::FindFileFormat(extension)) return nullptr;
  TReadOnlyMemoryStream stream(bytes.constData(), bytes.size());
  const std::unique_ptr<TGraphic> graphic = ReadPicture(extension, stream);
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

// Holds the desktop's decoders to the memory of the size a picture declared (at most 8 bytes a
// pixel), for one read: a decoder may allocate by what it finds further on (a frame larger than
// the picture).
class TDecoderMemoryLimit {
 public:
  explicit TDecoderMemoryLimit(int64_t pixels) : previous_(QImageReader::allocationLimit()) {
    QImageReader::setAllocationLimit(int(pixels * 8 / (1 << 20) + 1));
  }
  ~TDecoderMemoryLimit() { QImageReader::setAllocationLimit(previous_); }
  TDecoderMemoryLimit(const TDecoderMemoryLimit&) = delete;
  TDecoderMemoryLimit& operator=(const TDecoderMemoryLimit&) = delete;

 private:
  int previous_;
};

// A kind the program has no reader of, read by the desktop's decoder of that kind alone once its
// declared size is weighed against its data: the decoders take the memory of the size declared
// first, and some make up what the data lacks. nullptr when it cannot be read.
std::unique_ptr<TBitmap> FromDesktopDecoder(const QByteArray& bytes, const TPictureKind& kind) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, kind.DecoderFormat);
  reader.setAutoDetectImageFormat(false);
  const QSize size = reader.size();
  // A size known only by decoding cannot be weighed first.
  if (!size.isValid()) return nullptr;
  CheckPictureSize(size.width(), size.height());
  if (bytes.size() < kind.FewestBytes(size.width(), size.height()))
    throw EInvalidGraphic(
        Format("The %s picture declares %d x %d pixels, more than its %d bytes hold",
               {kind.Name, size.width(), size.height(), int64_t(bytes.size())}));
  const TDecoderMemoryLimit limit(int64_t(size.width()) * size.height());
  QImage image;
  if (!reader.read(&image)) return nullptr;
  return FromImage(std::move(image));
}

bool IsPictureType(const QString& type) {
  return type.startsWith(QLatin1String("image/"), Qt::CaseInsensitive);
}

// The clipboard's picture formats to read, best first: PNG (alpha kept), then every other picture
// type in the order offered, then an image held as one when no picture type is offered.
std::vector<QString> PictureTypes(const QMimeData& data) {
  std::vector<QString> types;
  const QStringList offered = data.formats();
  // An owner that does not answer offers nothing; each further question would wait for it again.
  if (offered.isEmpty()) return types;
  if (offered.contains(kPngType)) types.push_back(kPngType);
  for (const QString& type : offered)
    if (type != kPngType && IsPictureType(type)) types.push_back(type);
  if (types.empty() && data.hasImage()) types.push_back(kImageType);
  return types;
}

// The picture of one format, told by its bytes whatever the type's name: the program's own
// reader for the kinds it knows, the desktop's decoder of the kind for the others; raises when it
// does not read.
std::unique_ptr<TBitmap> Read(const QMimeData& data, const QString& type) {
  std::string name =
      (type == kImageType ? QStringLiteral("clipboard") : type.mid(6).toUpper()).toStdString();
  std::unique_ptr<TBitmap> bitmap;
  if (type == kImageType) {
    QImage image = qvariant_cast<QImage>(data.imageData());
    if (!image.isNull()) bitmap = FromImage(std::move(image));
  } else {
    const QByteArray bytes = data.data(type);
    if (const TPictureKind* kind = PictureKindOf(bytes.constData(), size_t(bytes.size()))) {
      name = kind->Name;
      bitmap = kind->OwnExtension ? FromOwnReader(bytes, kind->OwnExtension)
                                  : FromDesktopDecoder(bytes, *kind);
    } else if (const std::string extension = OwnExtension(type); !extension.empty()) {
      bitmap = FromOwnReader(bytes, extension);
    }
  }
  if (bitmap) return bitmap;
  throw EInvalidGraphic(
      Format("Cannot load image. Invalid or unexpected %s image format.", {name}));
}

}  // namespace

bool TClipboard::HasFormat(TClipboardFormat format) const {
  const QMimeData* data = SystemClipboard().mimeData();
  if (!data) return false;
  return format == CF_TEXT ? data->hasText() : !PictureTypes(*data).empty();
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

void TClipboard::SetPixels(int width, int height, const std::function<const uint32_t*(int)>& row) {
  if (width <= 0 || height <= 0) return;
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y)
    std::memcpy(image.scanLine(y), row(y), size_t(width) * sizeof(uint32_t));
  PutImage(std::move(image));
}

std::unique_ptr<TBitmap> TClipboard::GetBitmap() const {
  const QMimeData* data = SystemClipboard().mimeData();
  if (!data) return nullptr;
  // This program's own copy needs no decoding.
  if (auto* own = dynamic_cast<const TPictureMimeData*>(data)) return FromImage(own->Image());
  // A format that does not read gives way to the next; when none reads, the first one's error
  // says why.
  std::exception_ptr firstError;
  for (const QString& type : PictureTypes(*data)) {
    try {
      return Read(*data, type);
    } catch (const Exception&) {
      if (!firstError) firstError = std::current_exception();
    }
  }
  if (firstError) std::rethrow_exception(firstError);
  return nullptr;
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
