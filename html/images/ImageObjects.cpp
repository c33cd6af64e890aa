// Image objects: reading an IMG's attributes, and what an object gives back when it goes.
#include <algorithm>
#include <cstdlib>

#include "html/HtmlEngine.h"
#include "html/base/TextBuffers.h"
#include "html/images/ImageCache.h"
#include "html/images/ImageObjects.h"
#include "html/layout/sections/PageSections.h"
#include "platform/runtime/SysUtils.h"

namespace html {

namespace {

constexpr int32_t kMaxSpace = 40;
constexpr int32_t kMaxBorder = 10;
constexpr int32_t kFloatSpace = 3;

uint8_t AlignFromAttribute(const std::string& value) {
  const std::string v = plat::UpperCase(value);
  if (v == "TOP") return aTop;
  if (v == "MIDDLE" || v == "ABSMIDDLE") return aMiddle;
  if (v == "LEFT") return aLeft;
  if (v == "RIGHT") return aRight;
  return aBottom;
}

// A WIDTH or HEIGHT value: a percentage of 0-100 (else ignored) or pixels. Pages may give
// anything, so pixel sizes stay within what a picture may measure; negative ones are ignored.
void ReadSize(const TAttribute& a, int32_t& size, bool& percent) {
  if (a.IsPercent()) {
    if (a.Value >= 0 && a.Value <= 100) {
      size = a.Value;
      percent = true;
    }
    return;
  }
  size = a.Value < 0 ? -1 : std::min(a.Value, int32_t(plat::kMaxPictureSide));
  percent = false;
}

int32_t SpaceFromAttribute(int32_t value) {
  return int32_t(std::min<int64_t>(std::abs(int64_t(value)), kMaxSpace));
}

}  // namespace

TImageObj::TImageObj(TSectionList* document, const std::string& url) : Document(document) {
  Source = url;
  NoBorder = true;
}

TImageObj::TImageObj(TSectionList* document, int32_t position, TAttributeList& attributes)
    : Document(document) {
  Pos = position;
  int32_t hSpace = -1;
  for (const auto& a : attributes) {
    switch (a->Which) {
      case SrcSy:
        Source = plat::Trim(a->Name);
        break;
      case AltSy: {
        std::string text = a->Name;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        AltText = text;
        ImageTitle = text;
        AltTextW = MultibyteToWide(a->CodePage, text);
        break;
      }
      case AlignSy:
        ObjAlign = AlignFromAttribute(a->Name);
        break;
      case WidthSy:
        ReadSize(*a, SpecWidth, PercentWidth);
        break;
      case HeightSy:
        ReadSize(*a, SpecHeight, PercentHeight);
        break;
      case HSpaceSy:
        hSpace = SpaceFromAttribute(a->Value);
        break;
      case VSpaceSy:
        VSpaceT = SpaceFromAttribute(a->Value);
        break;
      case BorderSy:
        NoBorder = a->Value == 0;
        BorderSize = std::clamp(a->Value, 0, kMaxBorder);
        break;
      case IsMapSy:
        IsMap = true;
        break;
      case TranspSy:
        Transparent = 1;
        break;
      case ActiveSy:
        HasActive = true;
        break;
      case UseMapSy: {
        HasUseMap = true;
        MapName = plat::Trim(plat::UpperCase(a->Name));
        if (MapName.size() > 1 && MapName.front() == '#') MapName.erase(0, 1);
        break;
      }
      case NameSy:
        if (Document) {
          Document->Targets.AddObject(a->Name, this);
          names_.push_back(a->Name);
        }
        break;
      default:
        break;
    }
  }
  TAttribute* found = nullptr;
  if (attributes.Find(TitleSy, found)) ImageTitle = found->Name;
  if (attributes.Find(IDSy, found) && Document) {
    Document->Targets.AddObject(found->Name, this);
    names_.push_back(found->Name);
  }
  HSpaceL = hSpace >= 0 ? hSpace : IsFloating() ? kFloatSpace : 0;
  HSpaceR = HSpaceL;
  VSpaceB = VSpaceT;
  UpdatePointedTexts();
}

std::unique_ptr<TImageObj> TImageObj::CreateFromURL(TSectionList* document,
                                                    const std::string& url) {
  return std::unique_ptr<TImageObj>(new TImageObj(document, url));
}

TImageObj::~TImageObj() {
  if (!Document) return;
  for (const std::string& name : names_)
    if (Document->Targets.Find(name) == this) Document->Targets.AddObject(name, nullptr);
  if (Document->HoverImage == this) Document->HoverImage = nullptr;
  if (ownGif_) std::erase(Document->AnimatedImages, ownGif_.get());
  if (auto* gif = dynamic_cast<TGIFImage*>(Image)) std::erase(Document->AnimatedImages, gif);
  std::erase_if(Document->DeferredImages,
                [this](const TDeferredImageRequest& r) { return r.Waiting == this; });
  if (!cacheKey_.empty() && Document->ImageCache) Document->ImageCache->DecUsage(cacheKey_);
}

bool TImageObj::IsPlaceholder() const {
  return Image == DefaultImageBitmap() || Image == ErrorImageBitmap();
}

void TImageObj::UpdatePointedTexts() {
  Title = ImageTitle;
  Alt = AltText;
}

}  // namespace html
