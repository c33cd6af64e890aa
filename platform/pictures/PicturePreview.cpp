#include "platform/pictures/PicturePreview.h"

#include <QImage>
#include <algorithm>
#include <cmath>

#include "platform/drawing/Graphics.h"
#include "platform/metafile/Metafile.h"
#include "platform/pictures/BitmapFromImage.h"
#include "platform/pictures/Picture.h"

namespace plat {
namespace {

// The size within the box, proportions kept; a picture that fits keeps its own size.
TSize Fitted(int width, int height, int boxWidth, int boxHeight) {
  if (width <= boxWidth && height <= boxHeight) return {width, height};
  const double scale = std::min(double(boxWidth) / width, double(boxHeight) / height);
  return {std::max(1, int(std::lround(width * scale))),
          std::max(1, int(std::lround(height * scale)))};
}

// The graphic drawn at the given size, with the alpha the engine's load gives it.
std::unique_ptr<TBitmap> Drawn(const TGraphic& graphic, TSize size) {
  auto drawn = std::make_unique<TBitmap>();
  drawn->SetPixelFormat(pf32bit);
  drawn->SetSize(size.cx, size.cy);
  const size_t count = size_t(size.cx) * size_t(size.cy);
  auto* pixels = reinterpret_cast<uint32_t*>(drawn->ScanLine(0));
  if (dynamic_cast<const TMetafile*>(&graphic)) std::fill_n(pixels, count, 0xFFFFFFFFu);
  graphic.Draw(drawn->Canvas(), BoundsRect(0, 0, size.cx, size.cy));
  // A bitmap's alpha counts only at 32 bits, and its transparent colour is taken out, as when
  // the editor opens it.
  const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic);
  if (!bitmap) return drawn;
  if (bitmap->PixelFormat() != pf32bit)
    for (size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000u;
  if (bitmap->Transparent()) {
    const uint32_t key = ColorToARGB(ColorToRGB(bitmap->TransparentColor())) & 0x00FFFFFF;
    for (size_t i = 0; i < count; ++i)
      if ((pixels[i] & 0x00FFFFFF) == key) pixels[i] = key;
  }
  return drawn;
}

}  // namespace

std::unique_ptr<TBitmap> PicturePreview(const std::string& fileName, int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  TPicture picture;
  std::unique_ptr<TBitmap> drawn;
  TSize shown;
  try {
    picture.LoadFromFile(fileName);
    const TGraphic* graphic = picture.Graphic();
    if (!graphic || graphic->Empty()) return nullptr;
    shown = Fitted(graphic->Width(), graphic->Height(), width, height);
    // Drawn a few times larger than shown and scaled down smoothly, so fine detail does not
    // alias, while a huge picture never needs its full size in memory.
    drawn =
        Drawn(*graphic, Fitted(graphic->Width(), graphic->Height(), 4 * shown.cx, 4 * shown.cy));
  } catch (const Exception&) {
    return nullptr;
  }
  if (drawn->Width() == shown.cx && drawn->Height() == shown.cy) return drawn;
  const QImage large(drawn->ScanLine(0), drawn->Width(), drawn->Height(),
                     qsizetype(drawn->RowStride()), QImage::Format_ARGB32);
  const QImage small =
      large.scaled(shown.cx, shown.cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
          .convertToFormat(QImage::Format_ARGB32);
  return BitmapFromImage(small);
}

}  // namespace plat
