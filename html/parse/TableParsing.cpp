#include "html/parse/TableParsing.h"

#include <algorithm>
#include <stdexcept>

#include "html/css/CssComputed.h"
#include "html/layout/blocks/BlockMath.h"

namespace html {

namespace {

enum : int { kAlignCenter = 2, kAlignLeft = 5, kAlignRight = 6, kAlignJustify = 7 };

std::string Lower(std::string s) {
  for (char& ch : s)
    if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
  return s;
}

}  // namespace

void TCellManager::DropRowsBefore(int64_t row) {
  while (!runs_.empty() && first_ + runs_.front().Count <= row) {
    first_ += runs_.front().Count;
    stored_ -= runs_.front().Count;
    runs_.pop_front();
  }
  if (runs_.empty()) {
    first_ = std::max(first_, row);
  } else if (first_ < row) {
    runs_.front().Count -= row - first_;
    stored_ -= row - first_;
    first_ = row;
  }
}

void TCellManager::EnsureRows(int64_t count) {
  const int64_t missing = count - RowCount();
  if (missing <= 0) return;
  const size_t width = std::min(Table->ColumnSpecs.size(), size_t(kMaxDeclaredColumns));
  std::string freeRow(width, 'o');
  if (!runs_.empty() && runs_.back().Slots == freeRow)
    runs_.back().Count += missing;
  else
    runs_.push_back({std::move(freeRow), missing});
  stored_ += missing;
}

size_t TCellManager::SplitAt(int64_t row) {
  int64_t start = first_;
  size_t index = 0;
  while (index < runs_.size() && start + runs_[index].Count <= row) start += runs_[index++].Count;
  if (index < runs_.size() && start < row) {
    TSlotRun tail{runs_[index].Slots, start + runs_[index].Count - row};
    runs_[index].Count = row - start;
    runs_.insert(runs_.begin() + std::ptrdiff_t(++index), std::move(tail));
  }
  return index;
}

const std::string& TCellManager::Row(int64_t index) const {
  int64_t start = first_;
  for (const TSlotRun& run : runs_) {
    if (index >= start && index < start + run.Count) return run.Slots;
    start += run.Count;
  }
  throw std::out_of_range("TCellManager::Row");
}

size_t TCellManager::StoredSlots() const {
  size_t slots = 0;
  for (const TSlotRun& run : runs_) slots += run.Slots.size();
  return slots;
}

int TCellManager::FindColNum(int row) {
  if (row < 0) return -1;
  DropRowsBefore(row);
  EnsureRows(int64_t(row) + 1);
  const size_t col = runs_.front().Slots.find('o');
  return col == std::string::npos ? -1 : int(col);
}

void TCellManager::AddCell(int row, TCellObj& cell) {
  if (row < 0) return;
  DropRowsBefore(row);
  const int rowSpan = std::clamp(cell.RowSpan, 1, kMaxRowSpan);
  const int64_t end = int64_t(row) + rowSpan;
  EnsureRows(end);
  const size_t first = runs_.front().Slots.find('o');
  if (first == std::string::npos) return;
  const size_t last = SplitAt(end);
  int colSpan = std::max(1, cell.ColSpan);
  // Every row of a run takes the same slots: after the first the span no longer shrinks.
  for (size_t index = 0; index < last; ++index) {
    std::string& slots = runs_[index].Slots;
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
        if (attr->IsPercent()) {
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
