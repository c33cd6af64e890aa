// The CSS of inline objects: alignment, float, title, spacing, border and requested size.
#include <algorithm>

#include "html/css/CssComputed.h"
#include "html/css/CssStyles.h"
#include "html/images/ImageObjects.h"
#include "platform/pictures/Bitmap.h"

namespace html {

namespace {

// Margins, border widths and percentages resolve against a box of this many pixels.
constexpr int kStyleBase = 200;
constexpr int32_t kFloatSpace = 3;

// Page values may be anywhere in 32 bits; spacing and sizes stay where sums of them cannot
// overflow.
int32_t Bounded(int32_t value) {
  return std::clamp(value, -plat::kMaxPictureSide, plat::kMaxPictureSide);
}

void ApplyAlignment(const TProperties& prop, TFloatingObj& obj) {
  int align = 0;
  if (prop.GetVertAlign(align) && align >= aTop && align <= aBottom) obj.ObjAlign = uint8_t(align);
  if (prop.GetFloat(align) && (align == aLeft || align == aRight)) {
    obj.ObjAlign = uint8_t(align);
    if (obj.HSpaceR == 0) obj.HSpaceL = obj.HSpaceR = kFloatSpace;
  }
}

// A requested width or height: "auto" clears it, a percentage sets the flag.
void ApplySize(const TCssValue& raw, int32_t resolved, int32_t& size, bool& percent) {
  if (resolved == UnsetLength) return;
  percent = false;
  if (resolved == AutoLength) {
    size = -1;
    return;
  }
  const std::string* text = VarString(raw);
  if (text && text->find('%') != std::string::npos) {
    percent = true;
    size = std::max(plat::MulDiv(resolved, 100, kStyleBase), 0);
    return;
  }
  size = resolved < 0 ? -1 : std::min(resolved, int32_t(plat::kMaxPictureSide));
}

}  // namespace

void TFloatingObj::ApplyProperties(const TProperties& prop) {
  ApplyAlignment(prop, *this);
  if (ImageTitle.empty()) ImageTitle = prop.Title;

  TVMarginArray raw;
  prop.GetVMarginArray(raw);
  TMarginArray box{};
  ConvInlineMargArray(raw, kStyleBase, prop.EmPixels, prop.ExPixels, box);
  const auto take = [&box](int index, int32_t& space) {
    if (box[index] != UnsetLength) space = Bounded(box[index]);
  };
  take(piMarginLeft, HSpaceL);
  take(piMarginRight, HSpaceR);
  take(piMarginTop, VSpaceT);
  take(piMarginBottom, VSpaceB);
  if (prop.HasBorderStyle() != 0) {
    HSpaceL = Bounded(HSpaceL + Bounded(box[piBorderLeftWidth]));
    HSpaceR = Bounded(HSpaceR + Bounded(box[piBorderRightWidth]));
    VSpaceT = Bounded(VSpaceT + Bounded(box[piBorderTopWidth]));
    VSpaceB = Bounded(VSpaceB + Bounded(box[piBorderBottomWidth]));
  }
  ApplySize(raw[piWidth], box[piWidth], SpecWidth, PercentWidth);
  ApplySize(raw[piHeight], box[piHeight], SpecHeight, PercentHeight);

  ApplyAlignment(prop, *this);
  if (prop.BorderStyleAssigned()) {
    NoBorder = true;
    BorderSize = 0;
  }
}

void TImageObj::ApplyProperties(const TProperties& prop) {
  TFloatingObj::ApplyProperties(prop);
  UpdatePointedTexts();
}

}  // namespace html
