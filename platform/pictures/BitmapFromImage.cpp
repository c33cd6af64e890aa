#include "platform/pictures/BitmapFromImage.h"

#include <cstring>

namespace plat {

std::unique_ptr<TBitmap> BitmapFromImage(const QImage& image) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(bitmap->ScanLine(y), image.constScanLine(y), size_t(image.width()) * 4);
  return bitmap;
}

}  // namespace plat
