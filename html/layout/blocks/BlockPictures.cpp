// Fetching the pictures blocks draw themselves.
#include "html/layout/blocks/BlockPictures.h"

#include "html/images/GifAnimation.h"
#include "html/images/ImageCache.h"
#include "html/images/ImageObjects.h"
#include "html/layout/sections/PageSections.h"
#include "platform/runtime/SysUtils.h"

namespace html {

namespace {

// A 32-bit copy, so rows can be read as whole pixels.
std::unique_ptr<plat::TBitmap> Copy32(const plat::TBitmap& source) {
  auto copy = std::make_unique<plat::TBitmap>();
  copy->Assign(source);
  if (copy->PixelFormat() != plat::pfDevice && copy->PixelFormat() != plat::pf32bit)
    copy->SetPixelFormat(plat::pf32bit);
  return copy;
}

}  // namespace

TBlockPicture FetchBlockPicture(TSectionList& document, const std::string& pageUrl) {
  TBlockPicture result;
  if (pageUrl.empty() || !document.ImagesOn) return result;
  const std::string url = PictureSourceName(document, pageUrl);
  uint8_t transparent = 0;
  plat::TBitmap* mask = nullptr;
  bool fromCache = false, delay = false;
  plat::TObject* image = document.FetchImage(url, transparent, mask, fromCache, delay);
  const plat::TBitmap* bitmap = nullptr;
  std::unique_ptr<plat::TBitmap> converted;
  if (auto* gif = dynamic_cast<TGIFImage*>(image)) {
    bitmap = gif->GetBitmap();
    mask = gif->GetMaskBitmap();
  } else if (auto* plain = dynamic_cast<plat::TBitmap*>(image)) {
    bitmap = plain;
  } else if (auto* picture = dynamic_cast<THtmlPicture*>(image)) {
    converted = picture->ToBitmap();
    bitmap = converted.get();
    mask = nullptr;
  }
  if (bitmap && !bitmap->Empty()) {
    result.Image = Copy32(*bitmap);
    if (mask && !mask->Empty()) result.Mask = Copy32(*mask);
  }
  // The copy is ours: the cache may let its entry go.
  if (image && document.ImageCache) document.ImageCache->DecUsage(plat::Trim(url));
  return result;
}

}  // namespace html
