#include "html/parse/TableParsing.h"

#include <algorithm>

#include "html/css/CssComputed.h"
#include "html/layout/BlockMath.h"

namespace html {

namespace {

enum : int { kAlignCenter = 2, kAlignLeft = 5, kAlignRight = 6, kAlignJustify = 7 };

std::string Lower(std::string s) {
  for (char& ch : s)
    if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
  return s;
}

}  // namespace

void TCellManager::EnsureRows(int64_t count) {
  const size_t width = std::min(Table->ColumnSpecs.size(), size_t(kMaxDeclaredColumns));
  while (int64_t(rows_.size()) < count) rows_.emplace_back(width, 'o');
}

int TCellManager::FindColNum(int row) {
  if (row < 0) return -1;
  EnsureRows(int64_t(row) + 1);
  const size_t col = rows_[size_t(row)].find('o');
  return col == std::string::npos ? -1 : int(col);
}

void TCellManager::AddCell(int row, TCellObj& cell) {
  if (row < 0) return;
  const int rowSpan = std::clamp(cell.RowSpan, 1, kMaxRowSpan);
  EnsureRows(int64_t(row) + rowSpan);
  const size_t first = rows_[size_t(row)].find('o');
  if (first == std::string::npos) return;
  int colSpan = std::max(1, cell.ColSpan);
  for (int r = row; r < row + rowSpan; ++r) {
    std::string& slots = rows_[size_t(r)];
    int marked = 0;
    for (size_t k = first; k < slots.size() && marked < colSpan && slots[k] == 'o'; ++k, ++marked)
      slots[k] = 'x';
    // A cell always keeps one column, also where a row span runs into taken slots.
    colSpan = std::max(1, marked);
  }
  cell.ColSpan = colSpan;
}

void ReadColumnAttributes(const TAttributeList& attributes, TColumnAttributes& col) {
  for (const auto& attr : attributes) {
    switch (attr->Which) {
      case AlignSy:
        switch (ParseAlignment(attr->Name)) {
          case kAlignCenter:
          case kAlignLeft:
          case kAlignRight:
          case kAlignJustify:
            col.HAlign = Lower(attr->Name);
            break;
          default:
            break;
        }
        break;
      case VAlignSy:
        if (const int v = ParseAlignment(attr->Name); v >= 1 && v <= 4) col.VertAlign = uint8_t(v);
        break;
      case WidthSy:
        if (attr->Name.find('%') != std::string::npos) {
          if (attr->Value >= 1 && attr->Value <= 100) {
            col.Width = attr->Value * 10;
            col.Percent = true;
          }
        } else {
          col.Width = ClampBoxLength(std::max(0, attr->Value));
          col.Percent = false;
        }
        break;
      case SpanSy:
        col.Span = std::max(1, attr->Value);
        break;
      default:
        break;
    }
  }
}

void AddColumns(ThtmlTable& table, const TColumnAttributes& col) {
  const int room = kMaxDeclaredColumns - int(table.ColumnSpecs.size());
  const int count = std::min({std::max(1, col.Span), kMaxColumnSpan, room});
  for (int i = 0; i < count; ++i)
    table.AddColumn(col.Width, col.Percent, col.HAlign, col.VertAlign);
}

}  // namespace html
