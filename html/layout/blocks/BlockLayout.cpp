// Widths and placement of block boxes: shrink-to-fit and auto margins, clearing, floats,
// relative and absolute positioning, and the z-order of a block's content.
#include <algorithm>

#include "html/layout/blocks/BlockMath.h"
#include "html/layout/blocks/PageItems.h"

namespace html {

void TBlock::MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) {
  minWidth = maxWidth = 0;
  if (Style().NotDisplayed || IsAbsolutelyPositioned()) return;
  // Measured on a box of its own: the layout's box stays as it is until the next layout.
  TMarginArray box;
  ConvertMargins(0, 400, box);
  if (ClipsOverflow(box))
    minWidth = maxWidth = box[piWidth];
  else
    Content.MinMaxWidth(canvas, minWidth, maxWidth);
  for (int i : {int(piMarginLeft), int(piMarginRight), int(piWidth)})
    if (box[i] == AutoLength) box[i] = 0;
  const int32_t width = box[piWidth];
  const int64_t extras = int64_t(BoxLeftExtras(box)) + BoxRightExtras(box);
  minWidth = Clamp32(std::max(minWidth, width) + extras);
  maxWidth = width < 1 ? Clamp32(extras + std::max(maxWidth, width)) : minWidth;
}

int32_t TBlock::HorizontalFrame() const {
  return Margins[piPaddingLeft] + Margins[piPaddingRight] + Margins[piBorderLeftWidth] +
         Margins[piBorderRightWidth];
}

int32_t TBlock::FitWidth(int32_t availWidth, int32_t minWidth, int32_t maxWidth) const {
  const int64_t room =
      int64_t(availWidth) - HorizontalFrame() - Margins[piMarginLeft] - Margins[piMarginRight];
  int64_t width;
  if (IsAbsolutelyPositioned())
    width = std::max<int64_t>(minWidth, room - OffsetLeft());
  else if (IsFloating())
    width = std::max<int64_t>(0, std::min<int64_t>(maxWidth, room));
  else
    width = std::max<int64_t>(minWidth, room);
  return ClampBoxLength(Clamp32(width));
}

int32_t TBlock::ComputeWidth(plat::TCanvas& canvas, int32_t availWidth, int autoCount, int32_t) {
  int32_t minWidth = 0, maxWidth = 0;
  Content.MinMaxWidth(canvas, minWidth, maxWidth);
  minWidth = ClampBoxLength(minWidth);
  const bool clip = ClipsOverflow();
  const int64_t horz = HorizontalFrame();
  TMarginArray& box = Margins.Edit();
  int32_t& marginLeft = box[piMarginLeft];
  int32_t& marginRight = box[piMarginRight];
  int32_t& width = box[piWidth];
  const bool widthSet = width != AutoLength;
  // What is left of availWidth beside the box and the given margins, never below 0.
  const auto rest = [&](int64_t margins) {
    return ClampBoxLength(Clamp32(std::max<int64_t>(0, availWidth - horz - margins - width)));
  };
  if (widthSet && !clip) width = std::max(width, minWidth);

  switch (autoCount) {
    case 0:
      if (Style().AlignCode != BlockAlignLeft && PositionMode == PosStatic && !IsFloating() &&
          marginLeft == 0 && marginRight == 0) {
        if (Style().AlignCode == BlockAlignRight)
          marginLeft = rest(0);
        else
          marginLeft = marginRight = rest(0) / 2;
      }
      break;
    case 1:
      if (!widthSet)
        width = FitWidth(availWidth, minWidth, maxWidth);
      else if (marginRight == AutoLength)
        marginRight = IsFloating() ? 0 : rest(marginLeft);
      else
        marginLeft = rest(marginRight);
      break;
    case 2:
      if (widthSet) {
        marginLeft = marginRight = rest(0) / 2;
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
  const int64_t left = std::max<int64_t>(0, int64_t(leftBottom) - y - 1);
  const int64_t right = std::max<int64_t>(0, int64_t(rightBottom) - y - 1);
  switch (Style().ClearSide) {
    case ClearLeft:
      return Clamp32(left);
    case ClearRight:
      return Clamp32(right);
    case ClearBoth:
      return Clamp32(std::max(left, right));
    default:
      return 0;
  }
}

void TBlock::BuildPaintOrder() {
  if (rare_) rare_->PaintOrder.clear();
  bool inOrder = true;
  for (int i = 0; i < Content.Count(); ++i) {
    TSectionBase* item = Content.Items(i);
    item->OwnerBlock = this;
    inOrder = inOrder && (i == 0 || Content.Items(i - 1)->StackOrder <= item->StackOrder);
  }
  // Content's own order needs no list of its own: a PRE of thousands of lines kept one.
  if (inOrder) return;
  std::vector<TSectionBase*>& order = Rare().PaintOrder;
  for (const auto& item : Content) order.push_back(item.get());
  std::stable_sort(order.begin(), order.end(), [](const TSectionBase* a, const TSectionBase* b) {
    return a->StackOrder < b->StackOrder;
  });
}

int32_t TBlock::Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                       int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                       IndentManager& indents, int32_t& maxWidth, int32_t& pos) {
  if (Style().NotDisplayed) {
    FlowHeight = PaintHeight = 0;
    BottomY = PaintBottom = 0;
    maxWidth = 0;
    return 0;
  }
  PaintY = y;
  SetRareValue(&TRare::ClearExtra, ClearSpace(indents, y));
  FirstPos = pos;
  maxWidth = availWidth;
  const int autoCount = ConvertMargins(availWidth, availHeight, Margins.Edit());

  int32_t offsetTop = PositionMode == PosStatic ? 0 : Margins[piTop];
  int32_t offsetLeft = PositionMode == PosStatic ? 0 : Margins[piLeft];
  if (PositionMode == PosRelative) {
    if (offsetTop == AutoLength) offsetTop = 0;
    if (offsetLeft == AutoLength) offsetLeft = 0;
  } else if (PositionMode == PosAbsolute) {
    if (offsetTop == AutoLength) offsetTop = 0;
    if (offsetLeft == AutoLength) {
      const int32_t right = Margins[piRight];
      offsetLeft = right != AutoLength && autoCount == 0
                       ? ClampBoxLength(Clamp32(int64_t(availWidth) - right - Margins[piWidth] -
                                                LeftExtras() - RightExtras()))
                       : 0;
    }
    x = offsetLeft;
    y = SaturatedSum(offsetTop, refY);
  }
  SetRareValue(&TRare::OffsetTop, offsetTop);
  SetRareValue(&TRare::OffsetLeft, offsetLeft);

  ContentWidth = ComputeWidth(canvas, availWidth, autoCount, availHeight);
  const int64_t leftExtras = LeftExtras();
  const int64_t rightExtras = RightExtras();

  IndentManager* work = &indents;
  if (IsAbsolutelyPositioned()) {
    work = &OwnIndents();
    work->Clear();
    work->Reset(0, ContentWidth);
  }
  const TIndentOwner savedBlock = work->ActiveBlock;
  work->ActiveBlock = this;

  const int32_t marginTop = Margins[piMarginTop];
  const int32_t top = SaturatedSum(y, ClearExtra());
  PaintTop = marginTop < 1 ? SaturatedSum(top, marginTop) : top;
  int64_t offset = leftExtras;
  if (FloatSide == FloatLeft)
    offset = std::max(x, work->LeftIndent(top)) + leftExtras - x;
  else if (FloatSide == FloatRight)
    offset = std::min(int64_t(x) + availWidth, int64_t(work->RightLimit(top))) - rightExtras -
             ContentWidth - x;
  ContentLeftOffset = Clamp32(offset);
  const int32_t contentX = SaturatedSum(x, ContentLeftOffset);
  const int32_t contentRight = SaturatedSum(contentX, ContentWidth);

  TopY = Clamp32(int64_t(top) + marginTop + Margins[piPaddingTop] + Margins[piBorderTopWidth]);
  const int leftIndex = work->AddLeft(contentX, TopY);
  const int rightIndex = work->AddRight(contentRight, TopY);
  LeftX = contentX;

  const int32_t cssHeight = Margins[piHeight];
  const int32_t contentHeight =
      cssHeight >= 1 ? cssHeight : (availHeight >= 1 ? availHeight : blockHeight);
  int32_t contentRefX = refX, contentRefY = refY, contentTop = TopY;
  if (PositionMode == PosRelative) {
    contentRefY = contentTop = SaturatedSum(TopY, OffsetTop());
  } else if (PositionMode == PosAbsolute) {
    contentRefY = Clamp32(int64_t(refY) + OffsetTop() + marginTop + Margins[piBorderTopWidth]);
    contentRefX =
        Clamp32(int64_t(refX) + OffsetLeft() + Margins[piMarginLeft] + Margins[piBorderLeftWidth]);
  }
  int32_t scrollWidth = 0;
  // Content that is clipped away offers nothing to scroll to.
  Content.HideOverflow = ClipsOverflow();
  Content.LayoutItems(canvas, contentX, contentTop, contentRefX, contentRefY, ContentWidth,
                      contentHeight, cssHeight, *work, scrollWidth, pos);
  PosCount = pos - FirstPos;

  if (PositionMode != PosStatic)
    maxWidth = Clamp32(int64_t(scrollWidth) + leftExtras + rightExtras - Margins[piMarginRight] +
                       OffsetLeft() - x);
  else
    maxWidth = Clamp32(int64_t(scrollWidth) + rightExtras + ContentLeftOffset);

  const int32_t relativeShift = PositionMode == PosRelative ? OffsetTop() : 0;
  int64_t inner = std::max<int64_t>(TopY, int64_t(Content.ContentBottom) - relativeShift);
  if (cssHeight >= 1) inner = std::max<int64_t>(inner, int64_t(TopY) + cssHeight);
  if (ClipsOverflow() && cssHeight >= 4) inner = int64_t(TopY) + cssHeight;
  if (IsAbsolutelyPositioned()) inner = std::max<int64_t>(inner, OwnIndents().FloatsBottom());
  InnerBottom = Clamp32(inner);

  const int64_t lowerFrame = int64_t(Margins[piPaddingBottom]) + Margins[piBorderBottomWidth];
  BottomY = Clamp32(InnerBottom + lowerFrame + Margins[piMarginBottom]);
  PaintBottom = Clamp32(std::max(InnerBottom, Content.DrawBottom) + lowerFrame);
  int32_t result = Clamp32(int64_t(BottomY) - y);
  FetchBackImage();
  FlowHeight = result;

  work->DeleteRight(rightIndex);
  work->DeleteLeft(leftIndex);
  work->ActiveBlock = savedBlock;

  if (IsFloating() || IsAbsolutelyPositioned()) {
    PaintHeight = IsAbsolutelyPositioned() ? 0 : FlowHeight;
    // A float bottom must stay below the largest y, where the indent records count one past it.
    const int32_t height =
        Clamp32(std::min<int64_t>(int64_t(PaintBottom) - y, int64_t(INT32_MAX) - 1 - y));
    if (FloatSide == FloatLeft)
      indents.AddBlockFloat(y, Clamp32(contentRight + rightExtras), TFloatSide::Left, height);
    else if (FloatSide == FloatRight)
      indents.AddBlockFloat(y, Clamp32(ContentWidth + leftExtras + rightExtras), TFloatSide::Right,
                            height);
    FlowHeight = 0;
    result = 0;
  } else {
    PaintHeight = Clamp32(std::max<int64_t>(FlowHeight, int64_t(indents.FloatsBottom()) - y));
  }
  ShareBox();
  if (!HasPaintOrder()) BuildPaintOrder();
  return result;
}

}  // namespace html
