// Cells: items stacked one below the other, and questions forwarded to them in order.
#include <algorithm>

#include "html/layout/sections/PageSections.h"

namespace html {

TCellBasic::TCellBasic(TSectionList* document) : Document(document) {}

TCellBasic::TOwnerKind TCellBasic::OwnerKindOfTag(std::string_view tag) {
  if (tag == "default") return TOwnerKind::Page;
  if (tag == "body") return TOwnerKind::Body;
  if (tag == "li") return TOwnerKind::ListItem;
  return TOwnerKind::Other;
}

TCellBasic::TCellBasic(TSectionList* document, const TCellBasic& source)
    : Document(document),
      ContentBottom(source.ContentBottom),
      DrawTop(source.DrawTop),
      DrawBottom(source.DrawBottom),
      ItemsHeight(source.ItemsHeight),
      OwnerKind(source.OwnerKind) {
  for (const auto& item : source) TFreeList::Add(item->CreateCopy(document));
}

void TCellBasic::Add(std::unique_ptr<TSectionBase> item, int tagIndex) {
  if (!item) return;
  item->ProcessText(tagIndex);
  if (item->IsEmptyText()) {
    item->RemoveLinks();
    return;
  }
  item->SetDocument(Document);
  TFreeList::Add(std::move(item));
}

bool TCellBasic::ClearLastBottomMargin() {
  for (int i = Count() - 1; i >= 0; --i) {
    if (std::optional<bool> cleared = Items(i)->ClearOwnBottomMargin()) return *cleared;
  }
  return false;
}

void TCellBasic::MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) {
  minWidth = 0;
  maxWidth = 0;
  for (const auto& item : *this) {
    int32_t itemMin = 0, itemMax = 0;
    item->MinMaxWidth(canvas, itemMin, itemMax);
    minWidth = std::max(minWidth, itemMin);
    maxWidth = std::max(maxWidth, itemMax);
  }
}

int TCellBasic::HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) {
  for (const auto& item : *this) {
    if (!DrawnAcross(*item, y)) continue;
    if (int flags = item->HitTestLink(canvas, x, y, hit)) return flags;
  }
  return 0;
}

TFloatingObj* TCellBasic::GetObjectAt(int32_t x, int32_t y, int32_t& objX, int32_t& objY) {
  for (const auto& item : *this) {
    if (!DrawnAcross(*item, y)) continue;
    if (TFloatingObj* obj = item->FindObjectAt(x, y, objX, objY)) return obj;
  }
  return nullptr;
}

int32_t TCellBasic::FindCursor(plat::TCanvas& canvas, int32_t x, int32_t y, TCursorHit& hit) {
  for (const auto& item : *this) {
    if (!DrawnAcross(*item, y)) continue;
    int32_t pos = item->FindCursorAt(canvas, x, y, hit);
    if (pos >= 0) return pos;
  }
  return -1;
}

int32_t TCellBasic::FindString(std::u16string_view text, int32_t from, bool matchCase) {
  for (const auto& item : *this) {
    int32_t pos = item->FindStringForward(text, from, matchCase);
    if (pos >= 0) return pos;
  }
  return -1;
}

int32_t TCellBasic::FindStringR(std::u16string_view text, int32_t from, bool matchCase) {
  for (int i = Count() - 1; i >= 0; --i) {
    int32_t pos = Items(i)->FindStringBackward(text, from, matchCase);
    if (pos >= 0) return pos;
  }
  return -1;
}

int32_t TCellBasic::FindSourcePos(int32_t docPos) {
  for (const auto& item : *this) {
    int32_t pos = item->DocToSourcePos(docPos);
    if (pos >= 0) return pos;
  }
  return -1;
}

int32_t TCellBasic::FindDocPos(int32_t sourcePos, bool backwards) {
  if (backwards) {
    for (int i = Count() - 1; i >= 0; --i) {
      int32_t pos = Items(i)->SourceToDocPos(sourcePos, true);
      if (pos >= 0) return pos;
    }
    return -1;
  }
  for (const auto& item : *this) {
    int32_t pos = item->SourceToDocPos(sourcePos, false);
    if (pos >= 0) return pos;
  }
  return -1;
}

bool TCellBasic::CursorToXY(plat::TCanvas* canvas, int32_t pos, int32_t& x, int32_t& y) {
  for (const auto& item : *this) {
    if (item->PositionToXY(canvas, pos, y, x)) return true;
  }
  return false;
}

bool TCellBasic::GetChAtPos(int32_t pos, char16_t& ch, TSectionBase*& item) {
  if (pos < StartCurs || int64_t(pos) >= int64_t(StartCurs) + Len) return false;
  for (const auto& it : *this) {
    if (it->GetCharAt(pos, ch, item)) return true;
  }
  return false;
}

void TCellBasic::AddSectionsToList() {
  // The items are complete once they are placed: the list keeps no room to grow.
  ShrinkToFit();
  for (const auto& item : *this) item->AddToPositionList();
}

void TCellBasic::CopyToClipboard() {
  const int32_t selStart = Document->SelStart, selEnd = Document->SelEnd;
  if (selEnd <= selStart) return;
  for (const auto& item : *this) {
    if (item->FirstPos >= selEnd) break;
    if (int64_t(item->FirstPos) + item->PosCount > selStart) item->CopySelectedText();
  }
}

}  // namespace html
