// Pictures of the document: found in the image cache, loaded from files or asked of the host,
// and the page background.
#include "html/HtmlEngine.h"
#include "html/images/GifAnimation.h"
#include "html/images/ImageCache.h"
#include "html/images/ImageLoading.h"
#include "html/layout/sections/PageSections.h"
#include "platform/runtime/SysUtils.h"

namespace html {

namespace {

// Transparency kinds of the loaders and the cache.
constexpr uint8_t kNoMask = 0;
constexpr uint8_t kLowerLeftMask = 1;
constexpr uint8_t kKnownMask = 2;
constexpr uint8_t kAsCached = 3;

bool IsGif(uint8_t kind) {
  return kind == ikGif87 || kind == ikGif89;
}

// The frame of a GIF that does not move, as a bitmap of its own with its mask.
std::unique_ptr<plat::TObject> FrameOf(TGIFImage& gif, uint8_t& transparent,
                                       std::unique_ptr<plat::TBitmap>& mask) {
  const plat::TBitmap* frame = gif.GetBitmap();
  if (!frame) return nullptr;
  auto bitmap = std::make_unique<plat::TBitmap>();
  bitmap->Assign(*frame);
  if (const plat::TBitmap* gifMask = gif.GetMaskBitmap()) {
    mask = std::make_unique<plat::TBitmap>();
    mask->Assign(*gifMask);
    transparent = kKnownMask;
  } else if (transparent == kLowerLeftMask) {
    mask = GetImageMask(*bitmap, false, 0);
  }
  return bitmap;
}

// A GIF (moving pictures stay GIF images) or any other picture the stream holds.
std::unique_ptr<plat::TObject> ImageFromStream(plat::TMemoryStream& stream, uint8_t& transparent,
                                               std::unique_ptr<plat::TBitmap>& mask) {
  if (IsGif(ImageKind(stream.Memory(), size_t(stream.Size())))) {
    stream.SetPosition(0);
    bool nonAnimated = false;
    if (std::unique_ptr<TGIFImage> gif = LoadGifImageFromStream(nonAnimated, stream)) {
      if (!nonAnimated) return gif;
      return FrameOf(*gif, transparent, mask);
    }
  }
  stream.SetPosition(0);
  return LoadImageFromStream(&stream, transparent, mask);
}

}  // namespace

std::string TSectionList::Expanded(const std::string& name) const {
  return ExpandFileName ? ExpandFileName(name) : name;
}

std::unique_ptr<plat::TObject> TSectionList::LoadImageFile(const std::string& name,
                                                           uint8_t& transparent,
                                                           std::unique_ptr<plat::TBitmap>& mask) {
  if (IsGif(FileImageKind(name))) {
    bool nonAnimated = false;
    std::unique_ptr<TGIFImage> gif = LoadGifImageFromFile(name, nonAnimated);
    if (!gif || !nonAnimated) return gif;
    return FrameOf(*gif, transparent, mask);
  }
  return LoadImageFromFile(name, transparent, mask);
}

std::unique_ptr<plat::TObject> TSectionList::RequestImage(const std::string& url,
                                                          uint8_t& transparent,
                                                          std::unique_ptr<plat::TBitmap>& mask,
                                                          bool& delay) {
  if (BitmapRequest) {
    std::unique_ptr<plat::TBitmap> bitmap;
    TColor color = -1;
    BitmapRequest(Viewer, url, bitmap, color);
    if (bitmap) {
      if (color != -1) {
        mask = GetImageMask(*bitmap, true, color);
        transparent = kKnownMask;
      } else if (transparent == kLowerLeftMask) {
        mask = GetImageMask(*bitmap, false, 0);
      }
      return bitmap;
    }
  }
  if (!ImageRequest) return nullptr;
  plat::TMemoryStream* stream = nullptr;
  ImageRequest(Viewer, url, stream);
  if (stream && stream == ImageWaitStream()) {
    delay = true;
    return nullptr;
  }
  if (!stream) return LoadImageFile(Expanded(url), transparent, mask);
  if (stream->Size() <= 0) return nullptr;
  return ImageFromStream(*stream, transparent, mask);
}

plat::TObject* TSectionList::FetchImage(const std::string& url, uint8_t& transparent,
                                        plat::TBitmap*& mask, bool& fromCache, bool& delay) {
  mask = nullptr;
  fromCache = false;
  delay = false;
  if (url.empty() || !ImageCache) return nullptr;
  // File names differ by case here, so the name is not folded.
  const std::string key = plat::Trim(url);
  int index = 0;
  if (ImageCache->Find(key, index)) {
    TBitmapItem* item = ImageCache->Objects(index);
    plat::TObject* image = ImageCache->GetImage(index);
    fromCache = true;
    if (item->Transp == kKnownMask || item->Transp == kAsCached) {
      transparent = item->Transp;
    } else if (transparent == kLowerLeftMask && !item->Mask) {
      if (auto* bitmap = dynamic_cast<plat::TBitmap*>(image)) {
        item->Mask = GetImageMask(*bitmap, false, 0);
        item->Transp = kLowerLeftMask;
      }
    }
    mask = item->Mask.get();
    return image;
  }

  std::unique_ptr<plat::TObject> image;
  std::unique_ptr<plat::TBitmap> newMask;
  try {
    image = BitmapRequest || ImageRequest ? RequestImage(key, transparent, newMask, delay)
                                          : LoadImageFile(key, transparent, newMask);
  } catch (const plat::Exception&) {
    // A picture that cannot be read shows as a missing one.
    image.reset();
  }
  if (!image) return nullptr;
  const uint8_t stored = newMask ? transparent : kNoMask;
  index = ImageCache->AddObject(
      key, std::make_unique<TBitmapItem>(std::move(image), std::move(newMask), stored));
  TBitmapItem* item = ImageCache->Objects(index);
  mask = item->Mask.get();
  return item->MImage.get();
}

void TSectionList::FetchBackImage() {
  if (!ImagesOn || BackFetched || BackURL.empty() || BackImage) return;
  std::string url = BackURL;
  if (!BitmapRequest && !ImageRequest) {
    url = Expanded(url);
  } else if (NameExpand) {
    std::string result;
    NameExpand(Viewer, url, result);
    url = result;
  }
  uint8_t transparent = kNoMask;
  plat::TBitmap* mask = nullptr;
  bool fromCache = false, delay = false;
  plat::TObject* image = FetchImage(url, transparent, mask, fromCache, delay);
  if (auto* gif = dynamic_cast<TGIFImage*>(image)) {
    BackImage = gif->GetBitmap();
    BackMask = gif->GetMaskBitmap();
    if (gif->IsAnimated()) {
      BackAnimation = gif;
      AnimatedImages.push_back(gif);
      gif->SetAnimate(true);
    }
  } else if (auto* graphic = dynamic_cast<plat::TGraphic*>(image)) {
    BackImage = graphic;
    BackMask = mask;
  } else if (delay) {
    DeferredImages.push_back({url, nullptr});
  }
  if (image) backKey_ = plat::Trim(url);
  BackFetched = true;
}

}  // namespace html
