// Tables built by hand: attributes, rows, cells holding fixed-size items, and a bitmap to paint
// on.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>

#include "html/layout/tables/Tables.h"
#include "platform/pictures/Bitmap.h"

namespace html::test {

inline constexpr TColor kWhite = 0xFFFFFF;

// An item of fixed height and widths that records where it was laid out.
class TFixedItem : public TSectionBase {
 public:
  TFixedItem(TSectionList* document, int32_t height, int32_t minWidth, int32_t maxWidth)
      : TSectionBase(document), MinW(minWidth), MaxW(maxWidth) {
    FlowHeight = height;
  }
  int32_t Layout(plat::TCanvas&, int32_t, int32_t y, int32_t, int32_t, int32_t availWidth, int32_t,
                 int32_t, IndentManager&, int32_t& maxWidth, int32_t&) override {
    LaidWidth = availWidth;
    TopY = PaintTop = PaintY = y;
    BottomY = PaintBottom = y + FlowHeight;
    maxWidth = MaxW;
    return FlowHeight;
  }
  int32_t Draw(plat::TCanvas&, const plat::TRect&, IndentManager&, int32_t x, int32_t,
               int32_t) override {
    DrawnX = x;
    return PaintY + FlowHeight;
  }
  void MinMaxWidth(plat::TCanvas&, int32_t& minWidth, int32_t& maxWidth) override {
    minWidth = MinW;
    maxWidth = MaxW;
  }

  int32_t MinW, MaxW;
  int32_t LaidWidth = -1, DrawnX = -1;
};

// Attributes as (symbol, number, text).
using TAttrs = std::initializer_list<std::tuple<Symb, int32_t, const char*>>;

inline std::unique_ptr<TAttributeList> Attrs(TAttrs items) {
  auto list = std::make_unique<TAttributeList>();
  for (const auto& [sym, value, text] : items)
    list->Add(std::make_unique<TAttribute>(sym, value, "", text, 0));
  return list;
}

class TableTest : public testing::Test {
 protected:
  ThtmlTable& NewTable(TAttrs attributes = {}) {
    auto list = Attrs(attributes);
    table = std::make_unique<ThtmlTable>(&document, list.get(), nullptr);
    return *table;
  }
  TCellList& AddRow(TAttrs attributes = {}) {
    auto list = Attrs(attributes);
    table->RowList.Add(std::make_unique<TCellList>(list.get(), nullptr));
    return *table->RowList.Last();
  }
  // A cell in the last row.
  TCellObj& AddCell(TAttrs attributes = {}, uint8_t vertAlign = VAlignMiddle) {
    auto list = Attrs(attributes);
    TCellList& row = *table->RowList.Last();
    row.Add(std::make_unique<TCellObj>(&document, list.get(), nullptr, vertAlign));
    return *row.Last();
  }
  TFixedItem* Put(TCellObj& cell, int32_t height, int32_t minWidth, int32_t maxWidth) {
    auto item = std::make_unique<TFixedItem>(&document, height, minWidth, maxWidth);
    TFixedItem* raw = item.get();
    cell.Content->Add(std::move(item), 0);
    return raw;
  }
  // Lays the table out at the top of a free width with the height its block gives it; returns
  // its height.
  int32_t LayOut(int32_t width, int32_t givenHeight = 0) {
    indents.Reset(0, width);
    int32_t maxWidth = 0, pos = 0;
    return table->Layout(canvas, 0, 0, 0, 0, width, givenHeight, givenHeight, indents, maxWidth,
                         pos);
  }
  void Paint(int width, int height, plat::TRect clip = {}) {
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush().SetColor(kWhite);
    bitmap.Canvas().FillRect({0, 0, width, height});
    if (clip.Right == 0) clip = {0, 0, width, height};
    table->Draw(bitmap.Canvas(), clip, indents, 0, 0, 0);
  }
  TColor At(int x, int y) const { return bitmap.Pixel(x, y); }

  TSectionList document{nullptr, nullptr};
  std::unique_ptr<ThtmlTable> table;
  IndentManager indents;
  plat::TCanvas canvas;
  plat::TBitmap bitmap;
};

}  // namespace html::test
