// Questions about a table's content go to its cells in order; the first answer wins.
#include "html/layout/tables/Tables.h"

namespace html {

int ThtmlTable::HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) {
  const int32_t windowY = y - (Document ? Document->ScrollY : 0);
  int flags = 0;
  ForEachCell([&](TCellObj& cell, int, int) {
    if (!cell.Content->CellRect.Contains({x, windowY})) return false;
    flags = cell.Content->HitTestLink(canvas, x, y, hit);
    return flags != 0;
  });
  return flags;
}

TFloatingObj* ThtmlTable::FindObjectAt(int32_t x, int32_t y, int32_t& objX, int32_t& objY) {
  const int32_t windowY = y - (Document ? Document->ScrollY : 0);
  TFloatingObj* found = nullptr;
  ForEachCell([&](TCellObj& cell, int, int) {
    if (!cell.Content->CellRect.Contains({x, windowY})) return false;
    found = cell.Content->GetObjectAt(x, y, objX, objY);
    return found != nullptr;
  });
  return found;
}

int32_t ThtmlTable::FindCursorAt(plat::TCanvas& canvas, int32_t x, int32_t y, TCursorHit& hit) {
  const int32_t windowY = y - (Document ? Document->ScrollY : 0);
  int32_t pos = -1;
  ForEachCell([&](TCellObj& cell, int, int) {
    if (!cell.Content->CellRect.Contains({x, windowY})) return false;
    pos = cell.Content->FindCursor(canvas, x, y, hit);
    return pos >= 0;
  });
  return pos;
}

int32_t ThtmlTable::FindStringForward(std::u16string_view text, int32_t from, bool matchCase) {
  int32_t pos = -1;
  ForEachCell([&](TCellObj& cell, int, int) {
    pos = cell.Content->FindString(text, from, matchCase);
    return pos >= 0;
  });
  return pos;
}

int32_t ThtmlTable::FindStringBackward(std::u16string_view text, int32_t from, bool matchCase) {
  // Backwards the last cells come first.
  for (int r = RowList.Count() - 1; r >= 0; --r) {
    const TCellList& row = *RowList[r];
    for (int c = row.Count() - 1; c >= 0; --c)
      if (TCellObj* cell = row[c]; cell && !cell->IsPlaceholder())
        if (const int32_t pos = cell->Content->FindStringR(text, from, matchCase); pos >= 0)
          return pos;
  }
  return -1;
}

int32_t ThtmlTable::DocToSourcePos(int32_t pos) {
  int32_t result = -1;
  ForEachCell([&](TCellObj& cell, int, int) {
    result = cell.Content->FindSourcePos(pos);
    return result >= 0;
  });
  return result;
}

int32_t ThtmlTable::SourceToDocPos(int32_t sourcePos, bool backwards) {
  int32_t result = -1;
  ForEachCell([&](TCellObj& cell, int, int) {
    result = cell.Content->FindDocPos(sourcePos, backwards);
    return result >= 0;
  });
  return result;
}

bool ThtmlTable::PositionToXY(plat::TCanvas* canvas, int32_t pos, int32_t& y, int32_t& x) {
  return ForEachCell(
      [&](TCellObj& cell, int, int) { return cell.Content->CursorToXY(canvas, pos, x, y); });
}

bool ThtmlTable::GetCharAt(int32_t pos, char16_t& ch, TSectionBase*& item) {
  return ForEachCell(
      [&](TCellObj& cell, int, int) { return cell.Content->GetChAtPos(pos, ch, item); });
}

void ThtmlTable::CopySelectedText() {
  ForEachCell([](TCellObj& cell, int, int) {
    cell.Content->CopyToClipboard();
    return false;
  });
}

}  // namespace html
