#include "html/images/PictureHelpers.h"

#include <algorithm>

#include "html/images/GifAnimation.h"
#include "html/layout/sections/DocumentObjects.h"
#include "platform/runtime/SysUtils.h"

namespace html {

int GetImageWidth(const plat::TObject& picture) {
  if (const auto* bitmap = dynamic_cast<const plat::TBitmap*>(&picture)) return bitmap->Width();
  if (const auto* gif = dynamic_cast<const TGIFImage*>(&picture)) return gif->Width();
  if (const auto* image = dynamic_cast<const THtmlPicture*>(&picture)) return image->ImageWidth();
  throw plat::Exception("Not a TBitmap, TGifImage, TMetafile, or TGpImage");
}

int GetImageHeight(const plat::TObject& picture) {
  if (const auto* bitmap = dynamic_cast<const plat::TBitmap*>(&picture)) return bitmap->Height();
  if (const auto* gif = dynamic_cast<const TGIFImage*>(&picture)) return gif->Height();
  if (const auto* image = dynamic_cast<const THtmlPicture*>(&picture)) return image->ImageHeight();
  throw plat::Exception("Not a TBitmap, TGifImage, TMetafile, or TGpImage");
}

std::unique_ptr<plat::TBitmap> EnlargeImage(const plat::TObject& picture, int width, int height) {
  std::unique_ptr<plat::TBitmap> converted;
  const plat::TBitmap* source = dynamic_cast<const plat::TBitmap*>(&picture);
  if (!source) {
    const auto* image = dynamic_cast<const THtmlPicture*>(&picture);
    if (!image) throw plat::Exception("Not a TBitmap, TGifImage, TMetafile, or TGpImage");
    converted = image->ToBitmap();
    source = converted.get();
  }
  auto strip = [](int side, int wanted) { return side == 1 ? std::clamp(wanted, 1, 100) : side; };
  auto result = std::make_unique<plat::TBitmap>();
  result->SetSize(strip(source->Width(), width), strip(source->Height(), height));
  source->Draw(result->Canvas(), {0, 0, result->Width(), result->Height()});
  return result;
}

void GpDrawImagePart(plat::DeviceContext& dc, const TGpImage& image, int destX, int destY,
                     int destW, int destH, int srcX, int srcY, int srcW, int srcH) {
  TGpGraphics graphics(dc);
  graphics.DrawImageRectRect(image, destX, destY, destW, destH, srcX, srcY, srcW, srcH);
}

void GpDrawImage(plat::DeviceContext& dc, const TGpImage& image, int x, int y, int w, int h) {
  TGpGraphics graphics(dc);
  graphics.DrawImageRect(image, x, y, w, h);
}

}  // namespace html
