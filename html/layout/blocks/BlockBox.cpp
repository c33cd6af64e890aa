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
    : TSectionBase(document), Content(document, this), Container(container) {
  Content.OwnerKind = TCellBasic::OwnerKindOfTag(prop.Tag);
  auto rawMargins = std::make_shared<TVMarginArray>();
  prop.GetVMarginArray(*rawMargins);
  HoldRawMargins(std::move(rawMargins));
  int code = 0;
  if (prop.GetClear(code)) ClearSide = uint8_t(code);
  if (prop.GetFloat(code)) FloatSide = uint8_t(code == FloatLeft || code == FloatRight ? code : 0);
  BorderOn = prop.HasBorderStyle() != 0;
  TextColor = VarToInt(prop.Values[piColor], int32_t(clNone));
  prop.GetFont();  // measures the block's own font: its em and ex size its box, not the parent's
  EmPixels = prop.EmPixels;
  ExPixels = prop.ExPixels;
  NotDisplayed = prop.DisplayNone();
  if (!prop.Title.empty()) Rare().TitleText = prop.Title;
  if (std::string url; prop.GetBackgroundImage(url)) {
    TRare& rare = Rare();
    rare.BackImageUrl = std::move(url);
    prop.GetBackgroundPos(EmPixels, ExPixels, rare.BackPosition);
  }

  PositionMode = TPositionMode(prop.GetPosition());
  if (PositionMode == PosAbsolute) FloatSide = FloatNone;
  VisibilityCode = uint8_t(prop.GetVisibility());
  if (PositionMode != PosStatic) {
    StackOrder = int32_t(std::clamp<int64_t>(int64_t(prop.GetZIndex()) * 10, INT32_MIN, INT32_MAX));
    if (PositionMode == PosAbsolute) {
      if (StackOrder == 0) StackOrder = 1;
      ownIndents_ = std::make_unique<IndentManager>();
      Content.IndentMgr = ownIndents_.get();
    }
  }
  if (IsFloating() && StackOrder == 0) StackOrder = 1;

  TagAndClass = prop.Tag + "." + prop.Classes;
  if (merge == TMergeMargins::Now) MergeVerticalMargins();
  if (attributes)
    if (std::string id = attributes->GetID(); !id.empty()) {
      if (document) document->Targets.AddObject(id, this);
      Rare().TargetName = std::move(id);
    }
  ClipOverflow = prop.IsOverflowHidden();
  AlignCode = AlignCodeOf(prop.Values[piTextAlign]);
}

TBlock::TBlock(TSectionList* document, const TBlock& source)
    : TSectionBase(document, source),
      Margins(source.Margins),
      Content(document, source.Content, this),
      EmPixels(source.EmPixels),
      ExPixels(source.ExPixels),
      TextColor(source.TextColor),
      BorderOn(source.BorderOn),
      FloatSide(source.FloatSide),
      ClearSide(source.ClearSide),
      PositionMode(source.PositionMode),
      VisibilityCode(source.VisibilityCode),
      BottomMarginAuto(source.BottomMarginAuto),
      NotDisplayed(source.NotDisplayed),
      ClipOverflow(source.ClipOverflow),
      AlignCode(source.AlignCode),
      Container(nullptr),
      TagAndClass(source.TagAndClass),
      ContentWidth(source.ContentWidth),
      ClearExtra(source.ClearExtra),
      ContentLeftOffset(source.ContentLeftOffset),
      OffsetTop(source.OffsetTop),
      OffsetLeft(source.OffsetLeft),
      InnerBottom(source.InnerBottom),
      rawMargins_(source.rawMargins_) {
  // The copy keeps the look; names and the paint order belong to the original.
  if (source.rare_) {
    TRare& rare = Rare();
    rare.BackPosition = source.rare_->BackPosition;
    rare.BackImageUrl = source.rare_->BackImageUrl;
    rare.TitleText = source.rare_->TitleText;
  }
  if (source.ownIndents_) {
    ownIndents_ = std::make_unique<IndentManager>();
    Content.IndentMgr = ownIndents_.get();
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

void TBlock::HoldRawMargins(std::shared_ptr<const TVMarginArray> values) {
  rawMargins_ = Document ? Document->SharedBoxes.Share(std::move(values)) : std::move(values);
}

void TBlock::SetRawMargin(int index, TCssValue value) {
  auto own = std::make_shared<TVMarginArray>(*rawMargins_);
  own->Set(index, std::move(value));
  HoldRawMargins(std::move(own));
}

std::unique_ptr<TSectionBase> TBlock::CreateCopy(TSectionList* document) const {
  return std::make_unique<TBlock>(document, *this);
}

void TBlock::MergeVerticalMargins() {
  bool topAuto = false;
  ConvVertMargins(RawMargins(), 400, EmPixels, ExPixels, topAuto, BottomMarginAuto, Margins);
  for (int i : {int(piMarginTop), int(piMarginBottom)}) Margins[i] = ClampBoxLength(Margins[i]);
  int32_t& top = Margins[piMarginTop];
  if (PositionMode == PosAbsolute) {
    if (topAuto) top = 0;
    return;
  }
  if (IsFloating() || !Container) return;

  TSectionBase* previous = nullptr;
  for (int i = Container->Count() - 1; i >= 0 && !previous; --i)
    if (!Container->Items(i)->IsAbsolutelyPositioned()) previous = Container->Items(i);

  if (!previous) {
    if (topAuto) {
      top = 0;
    } else if (Container->OwnerKind == TCellBasic::TOwnerKind::Page ||
               Container->OwnerKind == TCellBasic::TOwnerKind::Body) {
      const auto* content = dynamic_cast<const TBlockContent*>(Container);
      const int32_t outerTop = content ? content->Owner->Margins[piMarginTop] : 0;
      top = std::max(0, top - outerTop);
    }
  } else if (auto* table = dynamic_cast<TBlock*>(previous);
             topAuto && table && table->IsFloating() &&
             (dynamic_cast<TTableBlock*>(table) || dynamic_cast<TTableAndCaptionBlock*>(table))) {
    top = 0;
  } else if (auto* block = dynamic_cast<TBlock*>(previous)) {
    top = CollapseMargins(top, block->Margins[piMarginBottom]);
    block->Margins[piMarginBottom] = 0;
    block->BottomMarginAuto = false;
  } else if (!dynamic_cast<THorzLine*>(previous) && !dynamic_cast<TPage*>(previous)) {
    // Text right before a nested list's item: the list hangs below it without a gap.
    if (Container->OwnerKind == TCellBasic::TOwnerKind::ListItem && topAuto &&
        (TagAndClass.starts_with("ul.") || TagAndClass.starts_with("ol.")))
      top = 0;
  }
}

std::optional<bool> TBlock::ClearOwnBottomMargin() {
  if (IsAbsolutelyPositioned()) return std::nullopt;
  if (!BottomMarginAuto) return false;
  Margins[piMarginBottom] = 0;
  BottomMarginAuto = false;
  return true;
}

int TBlock::ConvertMargins(int32_t baseWidth, int32_t baseHeight, TMarginArray& box) const {
  // box may be Margins itself.
  const int32_t top = Margins[piMarginTop], bottom = Margins[piMarginBottom];
  int autoCount = 0;
  ConvMargArray(RawMargins(), baseWidth, baseHeight, EmPixels, ExPixels, autoCount, box);
  for (int i = piMarginRight; i <= BoxLast; ++i) {
    const bool length = i <= piBorderLeftWidth || i >= piWidth;
    if (length && box[i] != AutoLength) box[i] = ClampBoxLength(box[i]);
  }
  box[piMarginTop] = top;
  box[piMarginBottom] = bottom;
  return autoCount;
}

int32_t TBlock::LeftExtras() const {
  return BoxLeftExtras(Margins);
}

int32_t TBlock::RightExtras() const {
  return BoxRightExtras(Margins);
}

bool TBlock::ClipsOverflow(const TMarginArray& box) const {
  return ClipOverflow && box[piWidth] != AutoLength && box[piWidth] > 20;
}

}  // namespace html
