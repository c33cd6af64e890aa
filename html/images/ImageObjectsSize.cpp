// Fetching an image object's picture and sizing its box.
#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/images/ImageObjects.h"
#include "html/images/PictureHelpers.h"
#include "html/layout/sections/PageSections.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/runtime/SysUtils.h"

namespace html {

namespace {

// The smallest placeholder box, and the room left of its ALT text for the picture.
constexpr int32_t kPlaceholderSide = 24;
constexpr int32_t kAltTextIndent = 26;

int32_t PictureSide(int64_t value) {
  return int32_t(std::clamp<int64_t>(value, 0, plat::kMaxPictureSide));
}

// A percentage of the room left by the border, to the nearest pixel (never negative). Style
// percentages have no upper limit, so the product is taken in 64 bits.
int32_t PercentOf(int32_t room, int32_t percent) {
  return PictureSide((int64_t(std::max(room, 0)) * std::max(percent, 0) + 50) / 100);
}

// size scaled by numerator / denominator; a picture without area scales to 0.
int32_t Scaled(int32_t size, int32_t numerator, int32_t denominator) {
  if (denominator <= 0) return 0;
  return PictureSide(plat::MulDiv(size, numerator, denominator));
}

bool SameUrl(const std::string& a, const std::string& b) {
  return plat::UpperCase(a) == plat::UpperCase(b);
}

// Whether the object is a picture kind the engine can size.
bool IsKnownPicture(const plat::TObject& picture) {
  try {
    GetImageWidth(picture);
    return true;
  } catch (const plat::Exception&) {
    return false;
  }
}

}  // namespace

std::string PictureSourceName(TSectionList& document, const std::string& url) {
  if (url.empty()) return url;
  if (!document.BitmapRequest && !document.ImageRequest) return document.Expanded(url);
  if (!document.NameExpand) return url;
  std::string result;
  document.NameExpand(document.Viewer, url, result);
  return result;
}

void TImageObj::FetchPicture() {
  TSectionList& doc = *Document;
  Source = PictureSourceName(doc, Source);
  plat::TObject* picture = nullptr;
  plat::TBitmap* mask = nullptr;
  bool fromCache = false;
  const bool waiting =
      std::any_of(doc.DeferredImages.begin(), doc.DeferredImages.end(),
                  [this](const TDeferredImageRequest& r) { return SameUrl(r.Url, Source); });
  if (waiting) {
    Delayed = true;
  } else {
    picture = doc.FetchImage(Source, Transparent, mask, fromCache, Delayed);
    if (picture) cacheKey_ = plat::Trim(Source);
  }
  if (picture && !IsKnownPicture(*picture)) picture = nullptr;

  if (!picture) {
    if (Delayed) {
      Image = DefaultImageBitmap();
      doc.DeferredImages.push_back({Source, this});
    } else {
      Image = ErrorImageBitmap();
      Mask = ErrorImageMask();
      Transparent = 1;
    }
    return;
  }
  Mask = mask;
  if (auto* gif = dynamic_cast<TGIFImage*>(picture)) {
    // A GIF another image already shows gets frames of its own.
    if (fromCache) {
      ownGif_ = TGIFImage::CreateCopy(*gif);
      gif = ownGif_.get();
    }
    Image = OrigImage = gif;
    if (HasActive)
      gif->SetAnimate(false);
    else if (std::find(doc.AnimatedImages.begin(), doc.AnimatedImages.end(), gif) ==
             doc.AnimatedImages.end())
      doc.AnimatedImages.push_back(gif);
    return;
  }
  Image = OrigImage = picture;
}

void TImageObj::ComputeSize(plat::TCanvas& canvas, int32_t availWidth, int32_t heightBase,
                            const TMyFont& font) {
  textColor_ = font.Color();
  if (HasUseMap && !Map) {
    for (const auto& map : Document->ImageMaps)
      if (map->MapName == MapName) {
        Map = map.get();
        break;
      }
  }
  if (Document->ImagesOn && !Image) FetchPicture();
  SizeFromPicture(canvas, availWidth, heightBase);
}

void TImageObj::SizeFromPicture(plat::TCanvas& canvas, int32_t availWidth, int32_t heightBase) {
  const plat::TObject* picture = Document->ImagesOn && Image ? Image : DefaultImageBitmap();
  const bool placeholder = !Document->ImagesOn || !picture || picture == DefaultImageBitmap() ||
                           picture == ErrorImageBitmap();
  const int32_t h = picture ? GetImageHeight(*picture) : 0;
  const int32_t w = picture ? GetImageWidth(*picture) : 0;
  const int32_t twoB = 2 * BorderSize;
  if (!SizeKnown || PercentWidth || PercentHeight) {
    if (PercentWidth) {
      ObjWidth = PercentOf(availWidth - twoB, SpecWidth);
      if (PercentHeight)
        ObjHeight = PercentOf(heightBase - twoB, SpecHeight);
      else if (SpecHeight >= 0)
        ObjHeight = SpecHeight;
      else
        ObjHeight = Scaled(ObjWidth, h, w);
    } else if (PercentHeight) {
      ObjHeight = PercentOf(heightBase - twoB, SpecHeight);
      ObjWidth = SpecWidth >= 0 ? SpecWidth : Scaled(ObjHeight, w, h);
    } else if (SpecWidth >= 0 && SpecHeight >= 0) {
      ObjWidth = SpecWidth;
      ObjHeight = SpecHeight;
      SizeKnown = true;
    } else {
      if (SpecHeight >= 0) {
        ObjHeight = SpecHeight;
        ObjWidth = Scaled(SpecHeight, w, h);
      } else if (SpecWidth >= 0) {
        ObjWidth = SpecWidth;
        ObjHeight = Scaled(SpecWidth, h, w);
      } else {
        ObjHeight = PictureSide(h);
        ObjWidth = PictureSide(w);
      }
      SizeKnown = !placeholder;
    }
  }

  if (placeholder) {
    if (SpecWidth >= 0 || SpecHeight >= 0) {
      AltWidth = ObjWidth;
      AltHeight = ObjHeight;
    } else if (!AltTextW.empty()) {
      MeasureAltText(canvas);
    } else {
      AltWidth = std::max(kPlaceholderSide, ObjWidth);
      AltHeight = std::max(kPlaceholderSide, ObjHeight);
    }
    ImageWidth = AltWidth;
    ImageHeight = AltHeight;
  } else {
    ImageWidth = ObjWidth;
    ImageHeight = ObjHeight;
  }
  if (InLink && !NoBorder) BorderSize = std::max(BorderSize, 1);
  ImageWidth += 2 * BorderSize;
  ImageHeight += 2 * BorderSize;
}

void TImageObj::MeasureAltText(plat::TCanvas& canvas) {
  plat::TRect rect{0, 0, 0, 0};
  if (plat::DeviceContext* dc = canvas.Handle()) {
    plat::TFont font;
    font.SetName("Arial");
    font.SetSize(8);
    dc->SelectFont(font.LogFont());
    dc->DrawText(AltTextW + u"\r\n", rect, plat::DT_CALCRECT);
  }
  AltWidth = PictureSide(int64_t(rect.Right - rect.Left) + kAltTextIndent);
  AltHeight = std::max(kPlaceholderSide, PictureSide(rect.Bottom - rect.Top));
}

}  // namespace html
