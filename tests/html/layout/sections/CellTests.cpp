// Cells: stacking items, floats that reach below the items, adding and dropping items, margin
// clearing, forwarding of questions, and table-cell and block contents.
#include <gtest/gtest.h>

#include "tests/html/layout/sections/TestItems.h"

namespace html {
namespace {

using test::AddItem;
using test::TTestItem;

class Cells : public testing::Test {
 protected:
  TSectionList document{nullptr, nullptr};
  plat::TCanvas canvas;
};

TEST_F(Cells, StackItemsAndCountTheirPositions) {
  TCell cell(&document);
  TTestItem* a = AddItem(cell, 10, 3, 40);
  TTestItem* b = AddItem(cell, 20, 0, 90);
  TTestItem* c = AddItem(cell, 30, 5, 60);
  int32_t maxWidth = -1, curs = 7;
  EXPECT_EQ(cell.Layout(canvas, 5, 300, 0, 0, maxWidth, curs), 60);
  EXPECT_EQ(a->TopY, 5);
  EXPECT_EQ(b->TopY, 15);
  EXPECT_EQ(c->TopY, 35);
  EXPECT_EQ(a->FirstPos, 7);
  EXPECT_EQ(b->FirstPos, 10);
  EXPECT_EQ(c->FirstPos, 10);
  EXPECT_EQ(curs, 15);
  EXPECT_EQ(cell.StartCurs, 7);
  EXPECT_EQ(cell.Len, 8);
  EXPECT_EQ(cell.YValue, 5);
  EXPECT_EQ(maxWidth, 90);
  EXPECT_EQ(a->LayoutAvailWidth, 300);

  // Drawing resets the float records to the drawing x and hands every item the same x.
  EXPECT_EQ(cell.Draw(canvas, {0, 0, 300, 300}, 300, 12, 0, 0, 0), 65);
  EXPECT_EQ(c->DrawnAtX, 12);
  EXPECT_EQ(c->DrawnLeftEdge, 12);
  EXPECT_EQ(cell.LastDrawY, 0);
}

TEST_F(Cells, AnEmptyCellHasNoHeightAndNoPositions) {
  TCell cell(&document);
  int32_t maxWidth = -1, curs = 4;
  EXPECT_EQ(cell.Layout(canvas, 30, 100, 0, 0, maxWidth, curs), 0);
  EXPECT_EQ(cell.Len, 0);
  EXPECT_EQ(maxWidth, 0);
  EXPECT_EQ(cell.Draw(canvas, {0, 0, 10, 10}, 10, 0, 77, 0, 0), 77);
  int32_t minW = -1, maxW = -1;
  cell.MinMaxWidth(canvas, minW, maxW);
  EXPECT_EQ(minW, 0);
  EXPECT_EQ(maxW, 0);
}

TEST_F(Cells, FloatsReachingBelowTheItemsSetTheHeight) {
  TCell cell(&document);
  TTestItem* item = AddItem(cell, 20, 1);
  item->FloatHeight = 150;
  int32_t maxWidth = 0, curs = 0;
  // The float starts at y 100 and ends at 250: the cell at 100 is 150 high, not 20.
  EXPECT_EQ(cell.Layout(canvas, 100, 400, 0, 0, maxWidth, curs), 150);
  // The cell's own edge records are gone after the layout; the float stays.
  EXPECT_EQ(cell.IndentMgr->LeftList.Count(), 1);
  EXPECT_EQ(cell.IndentMgr->RightList.Count(), 0);
  EXPECT_EQ(cell.IndentMgr->Width, 400);

  // A float that ends above the items' bottom changes nothing.
  item->FloatHeight = 5;
  EXPECT_EQ(cell.Layout(canvas, 100, 400, 0, 0, maxWidth, curs), 20);
}

TEST_F(Cells, MinMaxWidthTakesTheLargestOfEach) {
  TCell cell(&document);
  TTestItem* a = AddItem(cell, 1, 0);
  TTestItem* b = AddItem(cell, 1, 0);
  a->MinW = 50, a->MaxW = 70;
  b->MinW = 30, b->MaxW = 300;
  int32_t minW = 0, maxW = 0;
  cell.MinMaxWidth(canvas, minW, maxW);
  EXPECT_EQ(minW, 50);
  EXPECT_EQ(maxW, 300);
}

TEST_F(Cells, AddFinishesTextAndDropsEmptySections) {
  TCell cell(&document);
  cell.Add(nullptr, 3);
  EXPECT_EQ(cell.Count(), 0);

  bool removed = false;
  auto empty = std::make_unique<TTestItem>(&document, 10, 0);
  empty->EmptyText = true;
  empty->Removed = &removed;
  cell.Add(std::move(empty), 3);
  EXPECT_EQ(cell.Count(), 0);
  EXPECT_TRUE(removed);

  TSectionList other(nullptr, nullptr);
  auto kept = std::make_unique<TTestItem>(&other, 10, 1);
  TTestItem* raw = kept.get();
  cell.Add(std::move(kept), 9);
  ASSERT_EQ(cell.Count(), 1);
  EXPECT_EQ(raw->ProcessedWith, 9);
  EXPECT_EQ(raw->Document, &document);
}

TEST_F(Cells, ClearLastBottomMarginAsksTheLastFlowingBlock) {
  TCell cell(&document);
  EXPECT_FALSE(cell.ClearLastBottomMargin());
  TTestItem* block = AddItem(cell, 1, 0);
  AddItem(cell, 1, 0);  // text after the block: not a block, skipped
  block->MarginAnswer = true;
  EXPECT_TRUE(cell.ClearLastBottomMargin());
  block->MarginAnswer = false;
  EXPECT_FALSE(cell.ClearLastBottomMargin());
  TTestItem* later = AddItem(cell, 1, 0);
  later->MarginAnswer = false;
  block->MarginAnswer = true;
  EXPECT_FALSE(cell.ClearLastBottomMargin());
}

TEST_F(Cells, HitTestsAskOnlyTheItemDrawnAcrossTheY) {
  TCell cell(&document);
  TTestItem* a = AddItem(cell, 10, 1);
  TTestItem* b = AddItem(cell, 10, 1);
  a->LinkUrl = "a.html";
  b->LinkUrl = "b.html";
  int32_t maxWidth = 0, curs = 0;
  cell.Layout(canvas, 0, 100, 0, 0, maxWidth, curs);
  // Items are drawn from 0 to 10 and from 10 to 20; 25 lies below both.
  THitLink hit;
  EXPECT_EQ(cell.HitTestLink(canvas, 5, 12, hit), hlLink);
  EXPECT_EQ(hit.UrlTarget->URL, "b.html");
  EXPECT_EQ(a->HitTests, 0);
  THitLink none;
  EXPECT_EQ(cell.HitTestLink(canvas, 5, 25, none), 0);
  EXPECT_EQ(none.UrlTarget, nullptr);

  // A gap between the drawn ranges of two items finds nothing.
  a->PaintBottom = 8;
  THitLink gap;
  EXPECT_EQ(cell.HitTestLink(canvas, 5, 9, gap), 0);
}

TEST_F(Cells, QueriesTakeTheFirstAnswerInTheirDirection) {
  TCell cell(&document);
  TTestItem* a = AddItem(cell, 10, 4);
  TTestItem* b = AddItem(cell, 10, 3);
  int32_t maxWidth = 0, curs = 0;
  cell.Layout(canvas, 0, 100, 0, 0, maxWidth, curs);

  a->FoundAt = 1;
  b->FoundAt = 5;
  EXPECT_EQ(cell.FindString(u"x", 0, false), 1);
  EXPECT_EQ(cell.FindStringR(u"x", 7, false), 5);
  b->FoundAt = -1;
  EXPECT_EQ(cell.FindStringR(u"x", 7, false), 1);

  EXPECT_EQ(cell.FindDocPos(500, false), 5);
  EXPECT_EQ(cell.FindDocPos(150, false), -1);

  int32_t x = -1, y = -1;
  ASSERT_TRUE(cell.CursorToXY(nullptr, 6, x, y));
  EXPECT_EQ(x, 20);
  EXPECT_EQ(y, 10);
  EXPECT_FALSE(cell.CursorToXY(nullptr, 7, x, y));

  char16_t ch = 0;
  TSectionBase* owner = nullptr;
  ASSERT_TRUE(cell.GetChAtPos(4, ch, owner));
  EXPECT_EQ(ch, u'a');
  EXPECT_EQ(owner, b);
  EXPECT_FALSE(cell.GetChAtPos(7, ch, owner));
  EXPECT_FALSE(cell.GetChAtPos(-1, ch, owner));
}

TEST_F(Cells, CopyToClipboardVisitsTheItemsTheSelectionTouches) {
  TCell cell(&document);
  TTestItem* a = AddItem(cell, 10, 4);  // positions 0-3
  TTestItem* b = AddItem(cell, 10, 4);  // 4-7
  TTestItem* c = AddItem(cell, 10, 4);  // 8-11
  int32_t maxWidth = 0, curs = 0;
  cell.Layout(canvas, 0, 100, 0, 0, maxWidth, curs);
  SelTextCount count;
  document.SelBuffer = &count;
  document.SelStart = 4;
  document.SelEnd = 8;
  cell.CopyToClipboard();
  EXPECT_EQ(a->Copies, 0);
  EXPECT_EQ(b->Copies, 1);
  EXPECT_EQ(c->Copies, 0);
  EXPECT_EQ(count.Count, 4);
  document.SelBuffer = nullptr;
}

TEST_F(Cells, TableCellsFallBackToTheirTitleAndLink) {
  TCellObjCell cell(&document);
  TTestItem* item = AddItem(cell, 20, 1);
  int32_t maxWidth = 0, curs = 0;
  cell.Layout(canvas, 100, 80, 0, 0, maxWidth, curs);
  cell.Hints().Title = "cell title";
  cell.Hints().Url = "cell.html";
  cell.Hints().Target = "_top";
  cell.CellRect = {0, 100, 80, 120};

  THitLink hit;
  EXPECT_EQ(cell.HitTestLink(canvas, 10, 105, hit), hlLink | hlTitle);
  EXPECT_EQ(hit.Title, "cell title");
  ASSERT_NE(hit.UrlTarget, nullptr);
  EXPECT_EQ(hit.UrlTarget->URL, "cell.html");
  EXPECT_EQ(hit.UrlTarget->Target, "_top");

  // A link of the content answers first; the cell still adds its title.
  item->LinkUrl = "inner.html";
  THitLink inner;
  EXPECT_EQ(cell.HitTestLink(canvas, 10, 105, inner), hlLink | hlTitle);
  EXPECT_EQ(inner.UrlTarget->URL, "inner.html");
  EXPECT_EQ(inner.Title, "cell title");

  // The rectangle is tested with the scroll offset taken off the point.
  item->LinkUrl.clear();
  document.ScrollY = 50;
  THitLink scrolled;
  EXPECT_EQ(cell.HitTestLink(canvas, 10, 115, scrolled), 0);
  cell.CellRect = {0, 60, 80, 80};
  THitLink moved;
  EXPECT_EQ(cell.HitTestLink(canvas, 10, 115, moved), hlLink | hlTitle);
}

TEST_F(Cells, BlockContentsReportTheirBottomsAndPaintedRange) {
  TBlockCell cell(&document);
  TTestItem* a = AddItem(cell, 30, 2, 500);
  TTestItem* b = AddItem(cell, 40, 1, 120);
  b->Absolute = true;
  b->PaintOverhang = 25;
  IndentManager indents;
  indents.Reset(0, 200);
  int32_t maxWidth = 0, curs = 3;
  EXPECT_EQ(cell.LayoutItems(canvas, 15, 10, 0, 0, 200, 0, 0, indents, maxWidth, curs), 70);
  EXPECT_EQ(a->LayoutX, 15);
  EXPECT_EQ(maxWidth, 500);
  EXPECT_EQ(cell.ItemsHeight, 70);
  EXPECT_EQ(cell.ContentBottom, 40);  // the absolute block does not count
  EXPECT_EQ(cell.DrawTop, 10);
  EXPECT_EQ(cell.DrawBottom, 105);
  EXPECT_EQ(cell.Len, 3);

  // Overflow hidden: the available width, however wide the items are.
  cell.HideOverflow = true;
  curs = 0;
  cell.LayoutItems(canvas, 0, 0, 0, 0, 200, 0, 0, indents, maxWidth, curs);
  EXPECT_EQ(maxWidth, 200);
}

}  // namespace
}  // namespace html
