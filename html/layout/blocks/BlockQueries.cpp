// Questions put to a block: answered by its content, topmost item first where items overlap; a
// block that is not displayed answers nothing.
#include "html/layout/blocks/PageItems.h"

namespace html {

namespace {

bool PaintedAcross(const TSectionBase& item, int32_t y) {
  return item.PaintTop <= y && y < item.PaintBottom;
}

}  // namespace

int TBlock::HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) {
  if (Style().NotDisplayed) return 0;
  int flags = 0;
  const int32_t scroll = Document ? Document->ScrollY : 0;
  if (!TitleText().empty() && TitleRect.Contains({x, y - scroll})) {
    hit.Title = TitleText();
    flags = hlTitle;
  }
  return flags | Content.HitTestLink(canvas, x, y, hit);
}

TFloatingObj* TBlock::FindObjectAt(int32_t x, int32_t y, int32_t& objX, int32_t& objY) {
  if (Style().NotDisplayed) return nullptr;
  for (int i = PaintCount() - 1; i >= 0; --i)
    if (TSectionBase* item = PaintItem(i); PaintedAcross(*item, y))
      if (TFloatingObj* obj = item->FindObjectAt(x, y, objX, objY)) return obj;
  return nullptr;
}

int32_t TBlock::FindCursorAt(plat::TCanvas& canvas, int32_t x, int32_t y, TCursorHit& hit) {
  if (Style().NotDisplayed) return -1;
  for (int i = PaintCount() - 1; i >= 0; --i) {
    TSectionBase* item = PaintItem(i);
    if (!PaintedAcross(*item, y)) continue;
    const int32_t pos = item->FindCursorAt(canvas, x, y, hit);
    if (pos >= 0) return pos;
  }
  return -1;
}

int32_t TBlock::FindStringForward(std::u16string_view text, int32_t from, bool matchCase) {
  return Style().NotDisplayed ? -1 : Content.FindString(text, from, matchCase);
}

int32_t TBlock::FindStringBackward(std::u16string_view text, int32_t from, bool matchCase) {
  return Style().NotDisplayed ? -1 : Content.FindStringR(text, from, matchCase);
}

int32_t TBlock::DocToSourcePos(int32_t pos) {
  return Style().NotDisplayed ? -1 : Content.FindSourcePos(pos);
}

int32_t TBlock::SourceToDocPos(int32_t sourcePos, bool backwards) {
  return Style().NotDisplayed ? -1 : Content.FindDocPos(sourcePos, backwards);
}

bool TBlock::PositionToXY(plat::TCanvas* canvas, int32_t pos, int32_t& y, int32_t& x) {
  return !Style().NotDisplayed && Content.CursorToXY(canvas, pos, x, y);
}

bool TBlock::GetCharAt(int32_t pos, char16_t& ch, TSectionBase*& item) {
  return !Style().NotDisplayed && Content.GetChAtPos(pos, ch, item);
}

void TBlock::CopySelectedText() {
  if (Style().NotDisplayed || !Document) return;
  Content.CopyToClipboard();
  // A paragraph that ends inside the selection ends its line in the copy.
  if (Style().TagAndClass.starts_with("p.") && Document->SelBuffer &&
      Content.StartCurs + Content.Len < Document->SelEnd)
    Document->SelBuffer->AddTextCR(u"", 0);
}

void TBlock::AddToPositionList() {
  if (!Style().NotDisplayed) Content.AddSectionsToList();
}

}  // namespace html
