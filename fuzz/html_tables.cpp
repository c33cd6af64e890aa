// Tables built from arbitrary bytes (spacing, padding, border, declared columns, rows and cells
// with any spans, widths and heights, items of any size), laid out at widths and heights taken
// from the input, painted, and their cells tracked through declared column slots; cells may
// hold tables of their own, several levels deep.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "html/layout/blocks/BlockMath.h"
#include "html/layout/tables/Tables.h"
#include "html/parse/TableParsing.h"
#include "platform/pictures/Bitmap.h"
#include "platform/windows/QtRuntime.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  plat::EnsureQtApplication();
  return 0;
}

namespace {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool More() const { return pos_ < size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // Mostly small numbers, sometimes anything in 32 bits.
  int32_t Number() {
    const uint8_t b = Byte();
    if (b < 0xF0) return b;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return int32_t(v);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

class Item : public html::TSectionBase {
 public:
  Item(html::TSectionList* document, int32_t height, int32_t min, int32_t max)
      : TSectionBase(document), min_(min), max_(max) {
    // Items of the page engine never report heights beyond the box limit.
    FlowHeight = html::ClampBoxLength(height);
  }
  int32_t Layout(plat::TCanvas&, int32_t, int32_t y, int32_t, int32_t, int32_t, int32_t, int32_t,
                 html::IndentManager&, int32_t& maxWidth, int32_t&) override {
    TopY = PaintTop = PaintY = y;
    BottomY = PaintBottom = html::SaturatedSum(y, FlowHeight);
    maxWidth = max_;
    return FlowHeight;
  }
  void MinMaxWidth(plat::TCanvas&, int32_t& minWidth, int32_t& maxWidth) override {
    minWidth = min_;
    maxWidth = max_;
  }

 private:
  int32_t min_, max_;
};

void AddAttr(html::TAttributeList& list, html::Symb sym, Reader& in) {
  const int32_t value = in.Number();
  std::string text = std::to_string(value);
  if (in.Byte() & 1) text += "%";
  list.Add(std::make_unique<html::TAttribute>(sym, value, "", text, 0));
}

// A table from the input; a cell may hold a table of its own, down to a few levels, so that
// nested tables lay out again in the outermost table's second pass.
std::unique_ptr<html::ThtmlTable> BuildTable(Reader& in, html::TSectionList& document, int depth,
                                             int& cells) {
  constexpr int kMaxCells = 400, kMaxDepth = 8;
  html::TAttributeList tableAttrs;
  AddAttr(tableAttrs, html::CellSpacingSy, in);
  AddAttr(tableAttrs, html::CellPaddingSy, in);
  AddAttr(tableAttrs, html::BorderSy, in);
  auto table = std::make_unique<html::ThtmlTable>(&document, &tableAttrs, nullptr);
  table->WidthRequest = in.Byte() & 1 ? in.Number() : 0;

  html::TCellManager slots(table.get());
  for (int cols = in.Byte() % 4; cols > 0; --cols) {
    html::TColumnAttributes col;
    html::TAttributeList colAttrs;
    AddAttr(colAttrs, html::WidthSy, in);
    AddAttr(colAttrs, html::SpanSy, in);
    html::ReadColumnAttributes(colAttrs, col);
    html::AddColumns(*table, col);
  }
  while (in.More() && cells < kMaxCells) {
    const uint8_t op = in.Byte();
    if (op == 0xFF && depth > 0) break;  // the end of a nested table
    if (op % 5 == 0 || table->RowList.Empty()) {
      html::TAttributeList rowAttrs;
      if (op & 0x10) AddAttr(rowAttrs, html::HeightSy, in);
      table->RowList.Add(std::make_unique<html::TCellList>(&rowAttrs, nullptr));
      continue;
    }
    html::TAttributeList cellAttrs;
    if (op & 0x10) AddAttr(cellAttrs, html::ColSpanSy, in);
    if (op & 0x20) AddAttr(cellAttrs, html::RowSpanSy, in);
    if (op & 0x40) AddAttr(cellAttrs, html::WidthSy, in);
    if (op & 0x80) AddAttr(cellAttrs, html::HeightSy, in);
    auto cell =
        std::make_unique<html::TCellObj>(&document, &cellAttrs, nullptr, uint8_t(1 + op % 4));
    ++cells;
    if (op % 7 == 3 && depth < kMaxDepth)
      cell->Content->Add(BuildTable(in, document, depth + 1, cells), 0);
    else if (op & 0x08)
      cell->Content->Add(std::make_unique<Item>(&document, in.Number(), in.Number(), in.Number()),
                         0);
    const int row = table->RowList.Count() - 1;
    if (slots.FindColNum(row) >= 0) slots.AddCell(row, *cell);
    table->RowList.Last()->Add(std::move(cell));
  }
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in(data, size);
  html::TSectionList document(nullptr, nullptr);
  int cells = 0;
  const std::unique_ptr<html::ThtmlTable> outer = BuildTable(in, document, 0, cells);
  html::ThtmlTable& table = *outer;

  plat::TCanvas canvas;
  html::IndentManager indents;
  const int32_t width = in.Number(), height = in.Number();
  indents.Reset(0, width);
  int32_t maxWidth = 0, pos = 0, min = 0, max = 0;
  table.MinMaxWidth(canvas, min, max);
  table.Layout(canvas, 0, 0, 0, 0, width, height, 0, indents, maxWidth, pos);
  plat::TBitmap bitmap;
  bitmap.SetSize(64, 48);
  table.Draw(bitmap.Canvas(), {0, 0, 64, 48}, indents, 0, 0, 0);
  return 0;
}
