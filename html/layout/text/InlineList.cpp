// Bordered inline elements: opened and closed at source positions while the page is built,
// converted to document positions when the painter first asks.
#include "html/css/CssComputed.h"
#include "html/layout/sections/PageSections.h"

namespace html {

void TInlineList::Clear() {
  TFreeList::Clear();
  Stale = true;
}

void TInlineList::Convert() {
  for (const auto& rec : *this) {
    rec->StartPos = Owner->SourceToDocPosOrEnd(rec->SourceStart);
    rec->EndPos = Owner->SourceToDocPosOrEnd(rec->SourceEnd);
    if (rec->StartPos == rec->EndPos) --rec->StartPos;
  }
  Stale = false;
}

int32_t TInlineList::StartOf(int i) {
  if (i < 0 || i >= Count()) return kOutside;
  if (Stale) Convert();
  return Items(i)->StartPos;
}

int32_t TInlineList::EndOf(int i) {
  if (i < 0 || i >= Count()) return kOutside;
  if (Stale) Convert();
  return Items(i)->EndPos;
}

void TSectionList::OpenCloseInline(int32_t sourcePos, TProperties& prop, bool open) {
  if (open) {
    prop.GetFont();  // the element's own em and ex size its box, not its parent's
    auto rec = std::make_unique<InlineRec>();
    rec->SourceStart = sourcePos;
    rec->SourceEnd = TInlineList::kOpenEnd;
    rec->PropID = prop.SerialNo;
    TVMarginArray values;
    prop.GetVMarginArray(values);
    int autoCount = 0;
    constexpr int kBase = 200;
    ConvMargArray(values, kBase, kBase, prop.EmPixels, prop.ExPixels, autoCount, rec->MargArray);
    InlineElements.Add(std::move(rec));
    return;
  }
  for (int i = InlineElements.Count() - 1; i >= 0; --i) {
    InlineRec* rec = InlineElements.Items(i);
    if (rec->PropID == prop.SerialNo) {
      rec->SourceEnd = sourcePos;
      return;
    }
  }
}

}  // namespace html
