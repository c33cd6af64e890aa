// BODY: its background goes to the document, and it spans the document's whole width whatever x
// it is given.
#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/layout/blocks/BlockMath.h"
#include "html/layout/blocks/PageItems.h"

namespace html {

namespace {
// Lower than any painted document.
constexpr int32_t kBodyPaintLimit = 999000;
}  // namespace

TBodyBlock::TBodyBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
                       TAttributeList* attributes)
    : TBlock(document, prop, container, attributes) {
  PositionMode = PosStatic;
  StackOrder = IsFloating() ? 1 : 0;
  DropOwnIndents();
  if (!document) return;
  if (!BackImageUrl().empty()) document->SetBackImage(BackImageUrl(), BackPosition());
  DropBackImageUrl();  // the document paints it
  const TCssValue background = RawMargins()[piBackgroundColor];
  if (VarIsInteger(background))
    document->SetBackColor(TColor(uint32_t(VarToInt(background)) | PaletteRelative()));
}

std::unique_ptr<TSectionBase> TBodyBlock::CreateCopy(TSectionList* document) const {
  return std::make_unique<TBodyBlock>(document, *this);
}

int32_t TBodyBlock::Layout(plat::TCanvas& canvas, int32_t, int32_t y, int32_t, int32_t,
                           int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                           IndentManager& indents, int32_t& maxWidth, int32_t& pos) {
  PaintY = y;
  FirstPos = pos;
  TMarginArray& box = Margins.Edit();
  ConvertMargins(availWidth, availHeight, box);
  for (int i : {int(piMarginLeft), int(piMarginRight)})
    if (box[i] == AutoLength) box[i] = 0;
  ContentLeftOffset = LeftExtras();
  ContentWidth = ClampBoxLength(
      Clamp32(std::max<int64_t>(0, int64_t(indents.Width) - LeftExtras() - RightExtras())));
  TopY = Clamp32(int64_t(y) + Margins[piMarginTop] + Margins[piPaddingTop] +
                 Margins[piBorderTopWidth]);
  LeftX = ContentLeftOffset;

  const TIndentOwner savedBlock = indents.ActiveBlock;
  indents.ActiveBlock = this;
  const int leftIndex = indents.AddLeft(ContentLeftOffset, TopY);
  const int rightIndex = indents.AddRight(ContentLeftOffset + ContentWidth, TopY);
  int32_t scrollWidth = 0;
  Content.LayoutItems(
      canvas, ContentLeftOffset, TopY, 0, 0, ContentWidth,
      Clamp32(int64_t(availHeight) - Margins[piMarginTop] - Margins[piMarginBottom]), blockHeight,
      indents, scrollWidth, pos);
  indents.DeleteRight(rightIndex);
  indents.DeleteLeft(leftIndex);
  indents.ActiveBlock = savedBlock;
  PosCount = pos - FirstPos;

  InnerBottom = std::max(TopY, Content.ContentBottom);
  const int64_t lowerFrame = int64_t(Margins[piPaddingBottom]) + Margins[piBorderBottomWidth];
  BottomY = Clamp32(InnerBottom + lowerFrame + Margins[piMarginBottom]);
  const int64_t paintBottom = std::max(InnerBottom, Content.DrawBottom) + lowerFrame;
  FlowHeight = Clamp32(paintBottom + Margins[piMarginBottom] - y);
  PaintHeight = FlowHeight;
  // The body is painted whatever part of the page is shown.
  Content.DrawTop = PaintTop = 0;
  Content.DrawBottom = PaintBottom = kBodyPaintLimit;
  maxWidth =
      Clamp32(std::max<int64_t>(indents.Width, int64_t(std::max(scrollWidth, ContentWidth)) +
                                                   Margins[piMarginLeft] + Margins[piMarginRight]));
  ShareBox();
  if (!HasPaintOrder()) BuildPaintOrder();
  return FlowHeight;
}

int32_t TBodyBlock::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
                         int32_t, int32_t refX, int32_t refY) {
  const int32_t contentX = SaturatedSum(indents.LeftEdge, ContentLeftOffset);
  for (int i = 0; i < PaintCount(); ++i)
    PaintItem(i)->Draw(canvas, clipRect, indents, contentX, refX, refY);
  return SaturatedSum(PaintY, FlowHeight);
}

int TBodyBlock::HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) {
  int flags = 0;
  if (!TitleText().empty()) {
    hit.Title = TitleText();
    flags = hlTitle;
  }
  return flags | Content.HitTestLink(canvas, x, y, hit);
}

}  // namespace html
