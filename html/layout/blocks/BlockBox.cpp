// A block's box from its properties, and the collapsing of its top margin with the item
// before it, settled while the document is built.
#include <algorithm>

#include "html/css/CssComputed.h"
#include "html/layout/blocks/BlockMath.h"
#include "html/layout/blocks/PageItems.h"

namespace html {

namespace {

uint8_t AlignCodeOf(const TCssValue& textAlign) {
  if (VarIs(textAlign, "right")) return BlockAlignRight;
  if (VarIs(textAlign, "center")) return BlockAlignCenter;
  return BlockAlignLeft;
}

// Adjoining bottom and top margins: the larger of two positive ones, the sum when one is
// negative, the more negative of two negative ones.
int32_t CollapseMargins(int32_t top, int32_t bottom) {
  if (top >= 0 && bottom >= 0) return std::max(top, bottom);
  if (top < 0 && bottom < 0) return std::min(top, bottom);
  return top + bottom;
}

}  // namespace

TBlock::TBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
               TAttributeList* attributes)
    : TBlock(document, prop, container, attributes, TMergeMargins::Now) {}

TBlock::TBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
               TAttributeList* attributes, TMergeMargins merge)
    : TSectionBase(document), Content(document, this) {
  Content.OwnerKind = TCellBasic::OwnerKindOfTag(prop.Tag);
  TBlockStyle& style = EditStyle();
  prop.GetVMarginArray(style.Box);
  style.TagAndClass = prop.Tag + "." + prop.Classes;
  prop.GetFont();  // measures the block's own font
  style.EmPixels = prop.EmPixels;
  style.ExPixels = prop.ExPixels;
  int code = 0;
  if (prop.GetClear(code)) style.ClearSide = uint8_t(code);
  style.VisibilityCode = uint8_t(prop.GetVisibility());
  style.NotDisplayed = prop.DisplayNone();
  style.ClipOverflow = prop.IsOverflowHidden();
  style.AlignCode = AlignCodeOf(prop.Values[piTextAlign]);
  ShareStyle();

  if (prop.GetFloat(code)) FloatSide = uint8_t(code == FloatLeft || code == FloatRight ? code : 0);
  BorderOn = prop.HasBorderStyle() != 0;
  if (!prop.Title.empty()) Rare().TitleText = prop.Title;
  if (std::string url; prop.GetBackgroundImage(url)) {
    TRare& rare = Rare();
    rare.BackImageUrl = std::move(url);
    prop.GetBackgroundPos(prop.EmPixels, prop.ExPixels, rare.BackPosition);
  }

  PositionMode = TPositionMode(prop.GetPosition());
  if (PositionMode == PosAbsolute) FloatSide = FloatNone;
  if (PositionMode != PosStatic) {
    StackOrder = int32_t(std::clamp<int64_t>(int64_t(prop.GetZIndex()) * 10, INT32_MIN, INT32_MAX));
    if (PositionMode == PosAbsolute) {
      if (StackOrder == 0) StackOrder = 1;
      Rare().OwnIndents = std::make_unique<IndentManager>();
    }
  }
  if (IsFloating() && StackOrder == 0) StackOrder = 1;

  if (merge == TMergeMargins::Now) MergeVerticalMargins(container);
  if (attributes)
    if (std::string id = attributes->GetID(); !id.empty()) {
      if (document) document->Targets.AddObject(id, this);
      Rare().TargetName = std::move(id);
    }
}

TBlock::TBlock(TSectionList* document, const TBlock& source)
    : TSectionBase(document, source),
      ContentWidth(source.ContentWidth),
      Margins(source.Margins),
      Content(document, source.Content, this),
      ContentLeftOffset(source.ContentLeftOffset),
      InnerBottom(source.InnerBottom),
      BorderOn(source.BorderOn),
      FloatSide(source.FloatSide),
      PositionMode(source.PositionMode),
      BottomMarginAuto(source.BottomMarginAuto),
      style_(source.style_) {
  // The copy keeps the look; names and the paint order belong to the original.
  if (source.rare_) {
    TRare& rare = Rare();
    rare.BackPosition = source.rare_->BackPosition;
    rare.BackImageUrl = source.rare_->BackImageUrl;
    rare.TitleText = source.rare_->TitleText;
    if (source.rare_->OwnIndents) rare.OwnIndents = std::make_unique<IndentManager>();
    rare.ClearExtra = source.rare_->ClearExtra;
    rare.OffsetTop = source.rare_->OffsetTop;
    rare.OffsetLeft = source.rare_->OffsetLeft;
  }
}

TBlock::~TBlock() {
  // A name must not lead to a freed block; an absent name looks like a null entry.
  if (rare_ && !rare_->TargetName.empty() && Document &&
      Document->Targets.Find(rare_->TargetName) == this)
    Document->Targets.AddObject(rare_->TargetName, nullptr);
}

TBlock::TRare& TBlock::Rare() {
  if (!rare_) rare_ = std::make_unique<TRare>();
  return *rare_;
}

const std::string& TBlock::BackImageUrl() const {
  static const std::string none;
  return rare_ ? rare_->BackImageUrl : none;
}

const TBackgroundPos& TBlock::BackPosition() const {
  static const TBackgroundPos none{};
  return rare_ ? rare_->BackPosition : none;
}

void TBlock::SetBackImage(std::string url, const TBackgroundPos& pos) {
  TRare& rare = Rare();
  rare.BackImageUrl = std::move(url);
  rare.BackPosition = pos;
}

const std::string& TBlock::TitleText() const {
  static const std::string none;
  return rare_ ? rare_->TitleText : none;
}

std::string TBlockStyle::ShareKey() const {
  // The fixed-size fields and the tag's length first: the box's key can end the key.
  std::string key;
  for (int32_t number : {EmPixels, ExPixels, int32_t(TagAndClass.size())})
    key.append(reinterpret_cast<const char*>(&number), sizeof number);
  for (uint8_t flag :
       {ClearSide, VisibilityCode, uint8_t(NotDisplayed), uint8_t(ClipOverflow), AlignCode})
    key += char(flag);
  return key + TagAndClass + Box.ShareKey();
}

void TBlock::SetRawMargin(int index, TCssValue value) {
  EditStyle().Box.Set(index, std::move(value));
  ShareStyle();
}

std::unique_ptr<TSectionBase> TBlock::CreateCopy(TSectionList* document) const {
  return std::make_unique<TBlock>(document, *this);
}

void TBlock::MergeVerticalMargins(const TCellBasic* container) {
  bool topAuto = false;
  TMarginArray& box = Margins.Edit();
  ConvVertMargins(RawMargins(), 400, Style().EmPixels, Style().ExPixels, topAuto, BottomMarginAuto,
                  box);
  for (int i : {int(piMarginTop), int(piMarginBottom)}) box[i] = ClampBoxLength(box[i]);
  box[piMarginTop] = CollapsedTopMargin(container, box[piMarginTop], topAuto);
  ShareBox();
}

int32_t TBlock::CollapsedTopMargin(const TCellBasic* container, int32_t top, bool topAuto) {
  if (PositionMode == PosAbsolute) return topAuto ? 0 : top;
  if (IsFloating() || !container) return top;

  TSectionBase* previous = nullptr;
  for (int i = container->Count() - 1; i >= 0 && !previous; --i)
    if (!container->Items(i)->IsAbsolutelyPositioned()) previous = container->Items(i);

  if (!previous) {
    if (topAuto) return 0;
    if (container->OwnerKind == TCellBasic::TOwnerKind::Page ||
        container->OwnerKind == TCellBasic::TOwnerKind::Body) {
      const auto* content = dynamic_cast<const TBlockContent*>(container);
      const int32_t outerTop = content ? content->Owner->Margins[piMarginTop] : 0;
      return std::max(0, top - outerTop);
    }
  } else if (auto* table = dynamic_cast<TBlock*>(previous);
             topAuto && table && table->IsFloating() &&
             (dynamic_cast<TTableBlock*>(table) || dynamic_cast<TTableAndCaptionBlock*>(table))) {
    return 0;
  } else if (auto* block = dynamic_cast<TBlock*>(previous)) {
    top = CollapseMargins(top, block->Margins[piMarginBottom]);
    block->Margins.Edit()[piMarginBottom] = 0;
    block->BottomMarginAuto = false;
    block->ShareBox();
  } else if (!dynamic_cast<THorzLine*>(previous) && !dynamic_cast<TPage*>(previous)) {
    // Text right before a nested list's item: the list hangs below it without a gap.
    if (container->OwnerKind == TCellBasic::TOwnerKind::ListItem && topAuto &&
        (Style().TagAndClass.starts_with("ul.") || Style().TagAndClass.starts_with("ol.")))
      return 0;
  }
  return top;
}

std::optional<bool> TBlock::ClearOwnBottomMargin() {
  if (IsAbsolutelyPositioned()) return std::nullopt;
  if (!BottomMarginAuto) return false;
  Margins.Edit()[piMarginBottom] = 0;
  BottomMarginAuto = false;
  return true;
}

int TBlock::ConvertMargins(int32_t baseWidth, int32_t baseHeight, TMarginArray& box) const {
  // box may be Margins itself.
  const int32_t top = Margins[piMarginTop], bottom = Margins[piMarginBottom];
  int autoCount = 0;
  ConvMargArray(RawMargins(), baseWidth, baseHeight, Style().EmPixels, Style().ExPixels, autoCount,
                box);
  for (int i = piMarginRight; i <= BoxLast; ++i) {
    const bool length = i <= piBorderLeftWidth || i >= piWidth;
    if (length && box[i] != AutoLength) box[i] = ClampBoxLength(box[i]);
  }
  box[piMarginTop] = top;
  box[piMarginBottom] = bottom;
  return autoCount;
}

int32_t TBlock::LeftExtras() const {
  return BoxLeftExtras(*Margins);
}

int32_t TBlock::RightExtras() const {
  return BoxRightExtras(*Margins);
}

bool TBlock::ClipsOverflow(const TMarginArray& box) const {
  return Style().ClipOverflow && box[piWidth] != AutoLength && box[piWidth] > 20;
}

}  // namespace html
