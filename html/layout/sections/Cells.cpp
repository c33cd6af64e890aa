// Cells with float records of their own, table cell contents and block contents.
#include <algorithm>

#include "html/layout/sections/PageSections.h"

namespace html {

TCell::TCell(TSectionList* document)
    : TCellBasic(document), IndentMgr(std::make_unique<IndentManager>()) {}

TCell::TCell(TSectionList* document, const TCell& source)
    : TCellBasic(document, source), IndentMgr(std::make_unique<IndentManager>()) {}

int32_t TCell::Layout(plat::TCanvas& canvas, int32_t y, int32_t width, int32_t availHeight,
                      int32_t blockHeight, int32_t& maxWidth, int32_t& curs) {
  IndentManager& indents = *IndentMgr;
  indents.Clear();
  indents.Reset(0, width);
  indents.Width = width;
  const TIndentOwner savedBlock = indents.ActiveBlock;
  indents.ActiveBlock = this;
  const int left = indents.AddLeft(0, y);
  const int right = indents.AddRight(width, y);
  YValue = y;
  StartCurs = curs;
  int32_t height = 0;
  maxWidth = 0;
  for (const auto& item : *this) {
    int32_t itemWidth = 0;
    const int32_t itemHeight = item->Layout(canvas, 0, SaturatedSum(y, height), 0, 0, width,
                                            availHeight, blockHeight, indents, itemWidth, curs);
    height = SaturatedSum(height, itemHeight);
    maxWidth = std::max(maxWidth, itemWidth);
  }
  Len = curs - StartCurs;
  indents.DeleteLeft(left);
  indents.DeleteRight(right);
  indents.ActiveBlock = savedBlock;
  return std::max(height, indents.FloatsBottom() - YValue);
}

int32_t TCell::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, int32_t clipWidth,
                    int32_t x, int32_t y, int32_t refX, int32_t refY) {
  IndentMgr->Reset(x, x + IndentMgr->Width);
  IndentMgr->ClipWidth = clipWidth;
  LastDrawY = y;
  int32_t result = y;
  for (const auto& item : *this) result = item->Draw(canvas, clipRect, *IndentMgr, x, refX, refY);
  return result;
}

int TCellObjCell::HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) {
  int flags = TCell::HitTestLink(canvas, x, y, hit);
  if (!hints_ || !CellRect.Contains({x, y - Document->ScrollY})) return flags;
  if (!(flags & hlTitle) && !hints_->Title.empty()) {
    hit.Title = hints_->Title;
    flags |= hlTitle;
  }
  if (!(flags & hlLink) && !hints_->Url.empty()) {
    hit.UrlTarget = std::make_unique<TUrlTarget>();
    hit.UrlTarget->URL = hints_->Url;
    hit.UrlTarget->Target = hints_->Target;
    flags |= hlLink;
  }
  return flags;
}

int32_t TBlockCell::LayoutItems(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX,
                                int32_t refY, int32_t availWidth, int32_t availHeight,
                                int32_t blockHeight, IndentManager& indents, int32_t& maxWidth,
                                int32_t& curs) {
  constexpr int32_t kNoPaintTop = 990000;
  StartCurs = curs;
  maxWidth = 0;
  ContentBottom = 0;
  DrawTop = kNoPaintTop;
  DrawBottom = 0;
  int32_t height = 0;
  for (const auto& item : *this) {
    int32_t itemWidth = 0;
    const int32_t itemHeight =
        item->Layout(canvas, x, SaturatedSum(y, height), refX, refY, availWidth, availHeight,
                     blockHeight, indents, itemWidth, curs);
    height = SaturatedSum(height, itemHeight);
    maxWidth = std::max(maxWidth, itemWidth);
    if (!item->IsAbsolutelyPositioned()) ContentBottom = std::max(ContentBottom, item->BottomY);
    DrawTop = std::min(DrawTop, item->PaintTop);
    DrawBottom = std::max(DrawBottom, item->PaintBottom);
  }
  if (HideOverflow) maxWidth = availWidth;
  Len = curs - StartCurs;
  ItemsHeight = height;
  return height;
}

}  // namespace html
