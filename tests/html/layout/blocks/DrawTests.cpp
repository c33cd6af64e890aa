// Painting of blocks checked pixel by pixel: background and border rectangles, hidden
// overflow, relative offsets, scrolling and hidden blocks.
#include "platform/runtime/SysUtils.h"
#include "tests/html/layout/blocks/BlockFixture.h"

namespace html::test {
namespace {

constexpr TColor kYellow = plat::RGB(255, 255, 0);
constexpr TColor kRed = plat::RGB(255, 0, 0);
constexpr TColor kBlue = plat::RGB(0, 0, 255);

using Painting = BlockTest;

bool Inside(const plat::TRect& r, int x, int y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TEST_F(Painting, BackgroundFillsThePaddingBoxAndTheBorderRingsIt) {
  for (int scroll : {0, 6}) {
    SCOPED_TRACE(scroll);
    document.Clear();
    TBlock* block = AddBlock(document, "div",
                             {{"margin-left", "10px"},
                              {"margin-top", "10px"},
                              {"width", "40px"},
                              {"padding-left", "4px"},
                              {"padding-right", "4px"},
                              {"padding-top", "4px"},
                              {"padding-bottom", "4px"},
                              {"border-style", "solid"},
                              {"border-top-width", "3px"},
                              {"border-right-width", "3px"},
                              {"border-bottom-width", "3px"},
                              {"border-left-width", "3px"},
                              {"border-color", "red"},
                              {"background-color", "yellow"}});
    AddBox(block->Content, 20);
    LayOut(100);
    document.SetScrollY(scroll);
    Paint(80, 60);
    // Border box: left 10, top 10, content 40 x 20 inside 4 + 3 on every side.
    const plat::TRect border{10, 10 - scroll, 64, 44 - scroll};
    const plat::TRect padding{13, 13 - scroll, 61, 41 - scroll};
    ExpectPixels([&](int x, int y) {
      if (Inside(padding, x, y)) return kYellow;
      return Inside(border, x, y) ? kRed : kWhite;
    });
    EXPECT_EQ(block->TitleRect, border);
  }
}

TEST_F(Painting, MeasuringWidthsAfterLayoutLeavesThePaintedBoxAlone) {
  // Width 40, padding 8 and margins of 16 in 80 pixels: the padding box spans 16 to 64.
  TBlock* block = AddBlock(document, "div",
                           {{"width", "50%"},
                            {"padding-left", "10%"},
                            {"margin-left", "auto"},
                            {"margin-right", "auto"},
                            {"background-color", "yellow"}});
  AddBox(block->Content, 10);
  LayOut(80);
  int32_t minWidth = 0, maxWidth = 0;
  block->MinMaxWidth(canvas, minWidth, maxWidth);  // percentages of nothing
  Paint(80, 20);
  ExpectPixels([](int x, int y) { return x >= 16 && x < 64 && y < 10 ? kYellow : kWhite; });
}

TEST_F(Painting, HiddenOverflowClipsTheContentToThePaddingBox) {
  for (bool hidden : {false, true}) {
    SCOPED_TRACE(hidden);
    document.Clear();
    TBlock* block =
        AddBlock(document, "div", {{"width", "30px"}, {"overflow", hidden ? "hidden" : "visible"}});
    TBox* wide = AddBox(block->Content, 10);
    wide->Fill = kBlue;
    wide->FillWidth = 80;
    LayOut(100);
    Paint(100, 20);
    const int right = hidden ? 30 : 80;
    ExpectPixels([&](int x, int y) { return x < right && y < 10 ? kBlue : kWhite; });
  }
}

TEST_F(Painting, RelativeBlocksPaintAtTheirOffsetAndHiddenOnesNotAtAll) {
  TBlock* moved =
      AddBlock(document, "div", {{"position", "relative"}, {"top", "5px"}, {"left", "7px"}});
  TBox* box = AddBox(moved->Content, 10);
  box->Fill = kBlue;
  box->FillWidth = 10;
  TBlock* hidden =
      AddBlock(document, "div", {{"visibility", "hidden"}, {"background-color", "red"}});
  TBox* unseen = AddBox(hidden->Content, 10);
  unseen->Fill = kRed;
  unseen->FillWidth = 10;
  LayOut(40);
  Paint(40, 30);
  ExpectPixels([&](int x, int y) { return x >= 7 && x < 17 && y >= 5 && y < 15 ? kBlue : kWhite; });
}

TEST_F(Painting, PositionedBlocksInsideATableEscapeTheCellClip) {
  for (const char* position : {"static", "relative"}) {
    SCOPED_TRACE(position);
    document.Clear();
    TBlock* block =
        AddBlock(document, "div",
                 {{"position", position}, {"width", "30px"}, {"background-color", "yellow"}});
    AddBox(block->Content, 10);
    LayOut(60);
    bitmap.SetSize(60, 20);
    bitmap.Canvas().Brush().SetColor(kWhite);
    bitmap.Canvas().FillRect({0, 0, 60, 20});
    plat::DeviceContext& dc = *bitmap.Canvas().Handle();
    dc.IntersectClipRect({0, 0, 10, 20});
    document.TableDepth = 1;
    block->Draw(bitmap.Canvas(), {0, 0, 60, 20}, *document.IndentMgr, 0, 0, 0);
    const int right = std::string(position) == "static" ? 10 : 30;
    ExpectPixels([&](int x, int y) { return x < right && y < 10 ? kYellow : kWhite; });
    ASSERT_TRUE(dc.ClipRegion().has_value());  // the cell's clip is back
    EXPECT_EQ(dc.ClipBox(), (plat::TRect{0, 0, 10, 20}));
  }
}

}  // namespace
}  // namespace html::test
