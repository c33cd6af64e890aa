// A fixed-size document item that records where it was laid out and drawn, property sets made
// from CSS declarations, and a white bitmap to paint on.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>

#include "html/layout/blocks/PageItems.h"
#include "platform/pictures/Bitmap.h"

namespace html::test {

inline constexpr TColor kWhite = 0xFFFFFF;

class TBox : public TSectionBase {
 public:
  TBox(TSectionList* document, int32_t height, int32_t minWidth, int32_t maxWidth)
      : TSectionBase(document), MinW(minWidth), MaxW(maxWidth) {
    FlowHeight = height;
  }

  int32_t Layout(plat::TCanvas&, int32_t x, int32_t y, int32_t, int32_t, int32_t availWidth,
                 int32_t, int32_t, IndentManager& indents, int32_t& maxWidth,
                 int32_t& pos) override {
    LaidX = x;
    LaidAvailWidth = availWidth;
    LeftAtY = indents.LeftIndent(y);
    RightAtY = indents.RightLimit(y);
    FirstPos = pos;
    PosCount = Positions;
    pos += Positions;
    TopY = PaintTop = PaintY = y;
    PaintHeight = FlowHeight;
    BottomY = PaintBottom = SaturatedSum(y, FlowHeight);
    maxWidth = MaxW;
    if (Baseline > 0 && Document->FirstBaselineSlot && *Document->FirstBaselineSlot == 0)
      *Document->FirstBaselineSlot = y + Baseline;
    return FlowHeight;
  }
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect&, IndentManager&, int32_t x, int32_t,
               int32_t) override {
    DrawnX = x;
    if (Fill != clNone) {
      const int32_t top = PaintY - Document->ScrollY;
      canvas.Brush().SetStyle(plat::bsSolid);
      canvas.Brush().SetColor(Fill);
      canvas.FillRect({x, top, SaturatedSum(x, FillWidth), SaturatedSum(top, FlowHeight)});
    }
    return SaturatedSum(PaintY, FlowHeight);
  }
  void MinMaxWidth(plat::TCanvas&, int32_t& minWidth, int32_t& maxWidth) override {
    minWidth = MinW;
    maxWidth = MaxW;
  }
  int32_t FindCursorAt(plat::TCanvas&, int32_t, int32_t, TCursorHit&) override { return Answer; }

  int32_t MinW, MaxW;
  int32_t Positions = 0;
  int32_t Baseline = 0;  // stores y + Baseline as the first line's baseline when asked
  TColor Fill = clNone;
  int32_t FillWidth = 0;
  int32_t Answer = -1;
  int32_t LaidX = -1, LaidAvailWidth = -1, LeftAtY = -1, RightAtY = -1, DrawnX = -1;
};

using TDeclarations = std::initializer_list<std::pair<const char*, const char*>>;

inline std::unique_ptr<TProperties> Props(const char* tag, TDeclarations css = {}) {
  auto prop = std::make_unique<TProperties>();
  prop->Tag = tag;
  for (const auto& [name, value] : css) {
    prop->AddPropertyByName(name, value);
    if (const int index = FindPropertyIndex(name); index >= 0)
      prop->GivenHere[size_t(index)] = true;
  }
  return prop;
}

// A block made from tag and css and added to container.
template <class Block = TBlock>
Block* AddBlock(TCellBasic& container, const char* tag, TDeclarations css = {}) {
  auto prop = Props(tag, css);
  auto block = std::make_unique<Block>(container.Document, *prop, &container, nullptr);
  Block* raw = block.get();
  container.Add(std::move(block), 0);
  return raw;
}

inline TBox* AddBox(TCellBasic& cell, int32_t height, int32_t minWidth = 0, int32_t maxWidth = 0) {
  auto box = std::make_unique<TBox>(cell.Document, height, minWidth, maxWidth);
  TBox* raw = box.get();
  cell.Add(std::move(box), 0);
  return raw;
}

class BlockTest : public testing::Test {
 protected:
  // Lays the document out at width and returns its height.
  int32_t LayOut(int32_t width) {
    int32_t maxWidth = 0, pos = 0;
    return document.Layout(canvas, 0, width, 0, 0, maxWidth, pos);
  }
  void Paint(int width, int height) {
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush().SetColor(kWhite);
    bitmap.Canvas().FillRect({0, 0, width, height});
    document.Draw(bitmap.Canvas(), {0, 0, width, height}, width, 0, 0, 0, 0);
  }
  TColor At(int x, int y) const { return bitmap.Pixel(x, y); }
  // Every pixel against `expected`; reports the first few that differ.
  void ExpectPixels(const std::function<TColor(int, int)>& expected) {
    int wrong = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (At(x, y) != expected(x, y) && ++wrong <= 5)
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << At(x, y)
                        << ", expected " << expected(x, y);
    EXPECT_EQ(wrong, 0);
  }

  TSectionList document{nullptr, nullptr};
  plat::TCanvas canvas;
  plat::TBitmap bitmap;
};

}  // namespace html::test
