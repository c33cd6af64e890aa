// Widths and placement of block boxes: shrink-to-fit and auto margins, clearing, floats,
// relative and absolute positioning, and the z-order of a block's content.
#include <algorithm>

#include "html/PageItems.h"

namespace html {

void TBlock::MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) {
  minWidth = maxWidth = 0;
  if (NotDisplayed || IsAbsolutelyPositioned()) return;
  ConvertMargins(0, 400);
  if (ClipsOverflow())
    minWidth = maxWidth = Margins[piWidth];
  else
    Content.MinMaxWidth(canvas, minWidth, maxWidth);
  for (int i : {int(piMarginLeft), int(piMarginRight), int(piWidth)})
    if (Margins[i] == AutoLength) Margins[i] = 0;
  const int32_t width = Margins[piWidth];
  const int32_t extras = LeftExtras() + RightExtras();
  minWidth = std::max(minWidth, width) + extras;
  maxWidth = width < 1 ? extras + std::max(maxWidth, width) : minWidth;
}

int32_t TBlock::FitWidth(int32_t availWidth, int32_t minWidth, int32_t maxWidth) const {
  const int32_t horz = Margins[piPaddingLeft] + Margins[piPaddingRight] +
                       Margins[piBorderLeftWidth] + Margins[piBorderRightWidth];
  const int32_t room = availWidth - horz - Margins[piMarginLeft] - Margins[piMarginRight];
  if (IsAbsolutelyPositioned()) return std::max(minWidth, room - OffsetLeft);
  if (IsFloating()) return std::max(0, std::min(maxWidth, room));
  return std::max(minWidth, room);
}

int32_t TBlock::ComputeWidth(plat::TCanvas& canvas, int32_t availWidth, int autoCount, int32_t) {
  int32_t minWidth = 0, maxWidth = 0;
  Content.MinMaxWidth(canvas, minWidth, maxWidth);
  const bool clip = ClipsOverflow();
  const int32_t horz = Margins[piPaddingLeft] + Margins[piPaddingRight] +
                       Margins[piBorderLeftWidth] + Margins[piBorderRightWidth];
  int32_t& marginLeft = Margins[piMarginLeft];
  int32_t& marginRight = Margins[piMarginRight];
  int32_t& width = Margins[piWidth];
  const bool widthSet = width != AutoLength;
  auto centre = [&] {
    const int32_t space = std::max(0, availWidth - width - horz);
    marginLeft = marginRight = space / 2;
  };
  if (widthSet && !clip) width = std::max(width, minWidth);

  switch (autoCount) {
    case 0:
      if (AlignCode != BlockAlignLeft && PositionMode == PosStatic && !IsFloating() &&
          marginLeft == 0 && marginRight == 0) {
        if (AlignCode == BlockAlignRight)
          marginLeft = std::max(0, availWidth - width - horz);
        else
          centre();
      }
      break;
    case 1:
      if (!widthSet)
        width = FitWidth(availWidth, minWidth, maxWidth);
      else if (marginRight == AutoLength)
        marginRight = IsFloating() ? 0 : std::max(0, availWidth - horz - marginLeft - width);
      else
        marginLeft = std::max(0, availWidth - horz - marginRight - width);
      break;
    case 2:
      if (widthSet) {
        centre();
      } else {
        (marginLeft == AutoLength ? marginLeft : marginRight) = 0;
        width = FitWidth(availWidth, minWidth, maxWidth);
      }
      break;
    default:
      marginLeft = marginRight = 0;
      width = FitWidth(availWidth, minWidth, maxWidth);
  }
  return width;
}

int32_t TBlock::ClearSpace(const IndentManager& indents, int32_t y) const {
  int32_t leftBottom = 0, rightBottom = 0;
  indents.SideFloatsBottom(leftBottom, rightBottom);
  const int32_t left = std::max(0, leftBottom - y - 1);
  const int32_t right = std::max(0, rightBottom - y - 1);
  switch (ClearSide) {
    case ClearLeft:
      return left;
    case ClearRight:
      return right;
    case ClearBoth:
      return std::max(left, right);
    default:
      return 0;
  }
}

void TBlock::BuildPaintOrder() {
  PaintOrder.clear();
  for (const auto& item : Content) {
    item->OwnerBlock = this;
    PaintOrder.push_back(item.get());
  }
  std::stable_sort(
      PaintOrder.begin(), PaintOrder.end(),
      [](const TSectionBase* a, const TSectionBase* b) { return a->StackOrder < b->StackOrder; });
}

int32_t TBlock::Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                       int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                       IndentManager& indents, int32_t& maxWidth, int32_t& pos) {
  if (NotDisplayed) {
    FlowHeight = PaintHeight = 0;
    BottomY = PaintBottom = 0;
    maxWidth = 0;
    return 0;
  }
  PaintY = y;
  ClearExtra = ClearSpace(indents, y);
  FirstPos = pos;
  maxWidth = availWidth;
  const int autoCount = ConvertMargins(availWidth, availHeight);

  OffsetTop = PositionMode == PosStatic ? 0 : Margins[piTop];
  OffsetLeft = PositionMode == PosStatic ? 0 : Margins[piLeft];
  if (PositionMode == PosRelative) {
    if (OffsetTop == AutoLength) OffsetTop = 0;
    if (OffsetLeft == AutoLength) OffsetLeft = 0;
  } else if (PositionMode == PosAbsolute) {
    if (OffsetTop == AutoLength) OffsetTop = 0;
    if (OffsetLeft == AutoLength) {
      const int32_t right = Margins[piRight];
      OffsetLeft = right != AutoLength && autoCount == 0
                       ? availWidth - right - Margins[piWidth] - LeftExtras() - RightExtras()
                       : 0;
    }
    x = OffsetLeft;
    y = SaturatedSum(OffsetTop, refY);
  }

  ContentWidth = ComputeWidth(canvas, availWidth, autoCount, availHeight);

  IndentManager* work = &indents;
  if (IsAbsolutelyPositioned()) {
    OuterIndents = &indents;
    ownIndents_->Clear();
    ownIndents_->Reset(0, ContentWidth);
    work = ownIndents_.get();
  }
  const TIndentOwner savedBlock = work->ActiveBlock;
  work->ActiveBlock = this;

  const int32_t marginTop = Margins[piMarginTop];
  const int32_t top = y + ClearExtra;
  PaintTop = marginTop < 1 ? top + marginTop : top;
  if (FloatSide == FloatLeft)
    ContentLeftOffset = std::max(x, work->LeftIndent(top)) + LeftExtras() - x;
  else if (FloatSide == FloatRight)
    ContentLeftOffset =
        std::min(x + availWidth, work->RightLimit(top)) - RightExtras() - ContentWidth - x;
  else
    ContentLeftOffset = LeftExtras();
  const int32_t contentX = x + ContentLeftOffset;

  TopY = top + marginTop + Margins[piPaddingTop] + Margins[piBorderTopWidth];
  const int leftIndex = work->AddLeft(contentX, TopY);
  const int rightIndex = work->AddRight(contentX + ContentWidth, TopY);
  LeftX = contentX;

  const int32_t cssHeight = Margins[piHeight];
  const int32_t contentHeight =
      cssHeight >= 1 ? cssHeight : (availHeight >= 1 ? availHeight : blockHeight);
  int32_t contentRefX = refX, contentRefY = refY, contentTop = TopY;
  if (PositionMode == PosRelative) {
    contentRefY = contentTop = TopY + OffsetTop;
  } else if (PositionMode == PosAbsolute) {
    contentRefY = refY + OffsetTop + marginTop + Margins[piBorderTopWidth];
    contentRefX = refX + OffsetLeft + Margins[piMarginLeft] + Margins[piBorderLeftWidth];
  }
  int32_t scrollWidth = 0;
  Content.LayoutItems(canvas, contentX, contentTop, contentRefX, contentRefY, ContentWidth,
                      contentHeight, cssHeight, *work, scrollWidth, pos);
  PosCount = pos - FirstPos;

  if (PositionMode != PosStatic)
    maxWidth = scrollWidth + LeftExtras() + RightExtras() - Margins[piMarginRight] + OffsetLeft - x;
  else
    maxWidth = scrollWidth + RightExtras() + ContentLeftOffset;

  const int32_t relativeShift = PositionMode == PosRelative ? OffsetTop : 0;
  InnerBottom = std::max(TopY, Content.ContentBottom - relativeShift);
  if (cssHeight >= 1) InnerBottom = std::max(InnerBottom, TopY + cssHeight);
  if (ClipsOverflow() && cssHeight >= 4) InnerBottom = TopY + cssHeight;
  if (IsAbsolutelyPositioned()) InnerBottom = std::max(InnerBottom, ownIndents_->FloatsBottom());

  const int32_t lowerFrame = Margins[piPaddingBottom] + Margins[piBorderBottomWidth];
  BottomY = InnerBottom + lowerFrame + Margins[piMarginBottom];
  PaintBottom = std::max(InnerBottom, Content.DrawBottom) + lowerFrame;
  int32_t result = BottomY - y;
  FlowHeight = result;

  work->DeleteRight(rightIndex);
  work->DeleteLeft(leftIndex);
  work->ActiveBlock = savedBlock;

  if (IsFloating() || IsAbsolutelyPositioned()) {
    PaintHeight = IsAbsolutelyPositioned() ? 0 : FlowHeight;
    const int32_t height = PaintBottom - y;
    if (FloatSide == FloatLeft)
      indents.AddBlockFloat(y, contentX + ContentWidth + RightExtras(), TFloatSide::Left, height);
    else if (FloatSide == FloatRight)
      indents.AddBlockFloat(y, ContentWidth + LeftExtras() + RightExtras(), TFloatSide::Right,
                            height);
    FlowHeight = 0;
    result = 0;
  } else {
    PaintHeight = std::max(FlowHeight, indents.FloatsBottom() - y);
  }
  if (PaintOrder.empty()) BuildPaintOrder();
  return result;
}

}  // namespace html
