// Floating blocks beside the flow, clearing them, and the z-order of a block's content.
#include "tests/html/layout/blocks/BlockFixture.h"

namespace html::test {
namespace {

using Floats = BlockTest;

TEST_F(Floats, ALeftFloatShrinksToItsContentAndNarrowsWhatFollows) {
  TBlock* floating = AddBlock(
      document, "div", {{"float", "left"}, {"padding-left", "5px"}, {"margin-right", "10px"}});
  TBox* inside = AddBox(floating->Content, 40, 20, 60);
  TBlock* next = AddBlock(document, "div");
  TBox* beside = AddBox(next->Content, 10);
  EXPECT_EQ(LayOut(300), 40);
  EXPECT_EQ(floating->StackOrder, 1);
  EXPECT_EQ(inside->LaidX, 5);
  EXPECT_EQ(inside->LaidAvailWidth, 60);
  EXPECT_EQ(floating->FlowHeight, 0);
  EXPECT_EQ(floating->PaintHeight, 40);
  EXPECT_EQ(beside->TopY, 0);
  EXPECT_EQ(beside->LeftAtY, 5 + 60 + 10);
  EXPECT_EQ(beside->RightAtY, 300);
  EXPECT_EQ(next->PaintHeight, 40);  // the float hangs below the short block
}

TEST_F(Floats, FloatsOfOneSideLineUpAndARightFloatKeepsToTheRight) {
  TBlock* first = AddBlock(document, "div", {{"float", "left"}, {"width", "50px"}});
  AddBox(first->Content, 20);
  TBlock* second = AddBlock(document, "div", {{"float", "left"}, {"width", "30px"}});
  TBox* secondBox = AddBox(second->Content, 20);
  TBlock* right =
      AddBlock(document, "div", {{"float", "right"}, {"width", "50px"}, {"margin-right", "4px"}});
  TBox* rightBox = AddBox(right->Content, 30);
  TBlock* next = AddBlock(document, "div");
  TBox* between = AddBox(next->Content, 10);
  LayOut(300);
  EXPECT_EQ(secondBox->LaidX, 50);
  EXPECT_EQ(rightBox->LaidX, 300 - 4 - 50);
  EXPECT_EQ(between->LeftAtY, 80);
  EXPECT_EQ(between->RightAtY, 246);
}

TEST_F(Floats, ClearingMovesABlockBelowTheFloatsOfItsSide) {
  struct Case {
    const char* clear;
    int32_t top;
  };
  for (const Case& c : {Case{"left", 40}, Case{"right", 0}, Case{"both", 40}, Case{"none", 0}}) {
    SCOPED_TRACE(c.clear);
    document.Clear();
    TBlock* floating = AddBlock(document, "div", {{"float", "left"}, {"width", "50px"}});
    AddBox(floating->Content, 40);
    TBlock* cleared = AddBlock(document, "div", {{"clear", c.clear}});
    TBox* box = AddBox(cleared->Content, 10);
    EXPECT_EQ(LayOut(300), std::max(40, c.top + 10));
    EXPECT_EQ(box->TopY, c.top);
    EXPECT_EQ(cleared->ClearExtra(), c.top);
    EXPECT_EQ(cleared->FlowHeight, c.top + 10);
  }
}

TEST_F(Floats, ContentPaintsAndAnswersInStackOrder) {
  TBlock* block = AddBlock(document, "div");
  const int32_t orders[] = {0, 20, -10, 10, 0, -10};
  std::vector<TBox*> boxes;
  for (int32_t order : orders) {
    boxes.push_back(AddBox(block->Content, 10));
    boxes.back()->StackOrder = order;
  }
  LayOut(100);
  const std::vector<TSectionBase*> expected = {boxes[2], boxes[5], boxes[0],
                                               boxes[4], boxes[3], boxes[1]};
  std::vector<TSectionBase*> painted;
  for (int i = 0; i < block->PaintCount(); ++i) painted.push_back(block->PaintItem(i));
  EXPECT_EQ(painted, expected);
  for (TBox* box : boxes) EXPECT_EQ(box->OwnerBlock, block);

  // Where painted areas overlap, the topmost item answers.
  document.Clear();
  block = AddBlock(document, "div");
  TBox* low = AddBox(block->Content, 10);
  TBox* high = AddBox(block->Content, 10);
  low->Answer = 1;
  high->Answer = 2;
  LayOut(100);
  low->PaintBottom = 30;  // reaches over the next item
  TCursorHit hit;
  EXPECT_EQ(block->FindCursorAt(canvas, 0, 15, hit), 2);
  EXPECT_EQ(block->FindCursorAt(canvas, 0, 5, hit), 1);
  EXPECT_EQ(block->FindCursorAt(canvas, 0, 45, hit), -1);
}

}  // namespace
}  // namespace html::test
