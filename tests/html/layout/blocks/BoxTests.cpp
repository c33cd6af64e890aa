// Box geometry of blocks: margins, borders and padding around the content, set and percentage
// widths, auto margins, alignment, minimum and maximum widths, heights, overflow, display none
// and the collapsing of adjoining vertical margins.
#include <cmath>

#include "html/layout/blocks/BlockMath.h"
#include "html/layout/tables/Tables.h"
#include "tests/html/layout/blocks/BlockFixture.h"

namespace html::test {
namespace {

using Boxes = BlockTest;

TEST_F(Boxes, MarginsBordersAndPaddingSurroundTheContent) {
  TBlock* block = AddBlock(document, "div",
                           {{"margin-left", "10px"},
                            {"margin-right", "20px"},
                            {"margin-top", "8px"},
                            {"margin-bottom", "9px"},
                            {"padding-left", "5px"},
                            {"padding-right", "7px"},
                            {"padding-top", "4px"},
                            {"padding-bottom", "6px"},
                            {"border-left-style", "solid"},
                            {"border-left-width", "3px"},
                            {"border-right-style", "solid"},
                            {"border-right-width", "2px"},
                            {"border-top-style", "solid"},
                            {"border-top-width", "1px"},
                            {"border-bottom-style", "solid"},
                            {"border-bottom-width", "2px"}});
  TBox* box = AddBox(block->Content, 30, 40, 100);
  int32_t maxWidth = 0, pos = 0;
  EXPECT_EQ(document.Layout(canvas, 0, 300, 0, 0, maxWidth, pos), 60);
  EXPECT_EQ(box->LaidX, 10 + 5 + 3);
  EXPECT_EQ(box->LaidAvailWidth, 300 - 10 - 20 - 5 - 7 - 3 - 2);
  EXPECT_EQ(box->TopY, 8 + 4 + 1);
  EXPECT_EQ(box->LeftAtY, 18);
  EXPECT_EQ(box->RightAtY, 18 + 253);
  EXPECT_EQ(block->TopY, 13);
  EXPECT_EQ(block->InnerBottom, 43);
  EXPECT_EQ(block->BottomY, 43 + 6 + 2 + 9);
  EXPECT_EQ(block->PaintBottom, 43 + 6 + 2);
  EXPECT_EQ(block->PaintTop, 0);
  // The widest content plus everything to the right of it, measured from the block's x.
  EXPECT_EQ(maxWidth, 100 + 20 + 7 + 2 + 18);

  int32_t minWidth = 0;
  block->MinMaxWidth(canvas, minWidth, maxWidth);
  EXPECT_EQ(minWidth, 40 + 47);
  EXPECT_EQ(maxWidth, 100 + 47);
}

// em and ex in a box (of a block, a cell, an inline element) are those of the element's own font
// (24 points), whatever its parent's.
TEST_F(Boxes, EmAndExAreThoseOfTheElementsOwnFont) {
  const auto sized = [](const char* tag) {
    auto prop = Props(tag, {{"margin-left", "1em"}, {"padding-left", "3ex"}});
    prop->Values[piFontSize] = 24.0;
    return prop;
  };
  auto own = sized("div");
  own->GetFont();
  ASSERT_GT(own->EmPixels, 20);
  auto blockProps = sized("div");
  auto block = std::make_unique<TBlock>(&document, *blockProps, &document, nullptr);
  TBox* box = AddBox(block->Content, 10);
  document.Add(std::move(block), 0);
  LayOut(400);
  EXPECT_EQ(box->LaidX, own->EmPixels + 3 * own->ExPixels);

  auto cellProps = sized("td");
  const TCellObj cell(&document, nullptr, cellProps.get(), VAlignTop);
  EXPECT_EQ(cell.Padding[3], 3 * own->ExPixels);

  auto inlineProps = sized("span");
  document.OpenCloseInline(0, *inlineProps, true);
  EXPECT_EQ(document.InlineElements.Items(0)->MargArray[piPaddingLeft], 3 * own->ExPixels);
}

TEST_F(Boxes, AutoMarginsPlaceABlockOfSetWidth) {
  struct Case {
    const char* left;
    const char* right;
    int32_t contentX;
  };
  for (const Case& c : {Case{"auto", "auto", 95 + 10}, Case{"30px", "auto", 30 + 10},
                        Case{"auto", "30px", 160 + 10}}) {
    SCOPED_TRACE(std::string(c.left) + " " + c.right);
    document.Clear();
    TBlock* block = AddBlock(document, "div",
                             {{"width", "100px"},
                              {"padding-left", "10px"},
                              {"margin-left", c.left},
                              {"margin-right", c.right}});
    TBox* box = AddBox(block->Content, 10);
    LayOut(300);
    EXPECT_EQ(box->LaidX, c.contentX);
    EXPECT_EQ(box->LaidAvailWidth, 100);
  }
}

TEST_F(Boxes, WidthsFollowPercentagesContentAndAlignment) {
  struct Case {
    TDeclarations css;
    int32_t minContent;
    int32_t contentX;
    int32_t contentWidth;
  };
  const Case cases[] = {
      {{{"width", "50%"}, {"margin-left", "auto"}, {"margin-right", "auto"}}, 0, 75, 150},
      {{{"width", "50px"}}, 80, 0, 80},  // never narrower than the content
      {{{"width", "100px"}, {"text-align", "center"}}, 0, 100, 100},
      {{{"width", "100px"}, {"text-align", "right"}}, 0, 200, 100},
      {{{"width", "100px"}, {"text-align", "right"}, {"margin-left", "4px"}}, 0, 4, 100},
      {{}, 0, 0, 300},
      {{}, 500, 0, 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.contentX);
    document.Clear();
    TBlock* block = AddBlock(document, "div", c.css);
    TBox* box = AddBox(block->Content, 10, c.minContent, c.minContent);
    LayOut(300);
    EXPECT_EQ(box->LaidX, c.contentX);
    EXPECT_EQ(box->LaidAvailWidth, c.contentWidth);
  }
}

TEST_F(Boxes, MinimumAndMaximumWidths) {
  struct Case {
    TDeclarations css;
    int32_t minWidth, maxWidth;
  };
  const Case cases[] = {
      {{{"width", "120px"}, {"padding-left", "5px"}, {"padding-right", "5px"}}, 130, 130},
      {{{"width", "20px"}, {"overflow", "hidden"}}, 40, 40},  // too narrow to clip
      {{{"width", "30px"}, {"overflow", "hidden"}}, 30, 30},
      {{{"margin-left", "auto"}, {"margin-right", "6px"}}, 46, 66},
      {{{"position", "absolute"}}, 0, 0},
      {{{"display", "none"}}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.minWidth);
    document.Clear();
    TBlock* block = AddBlock(document, "div", c.css);
    AddBox(block->Content, 10, 40, 60);
    int32_t minWidth = -1, maxWidth = -1;
    block->MinMaxWidth(canvas, minWidth, maxWidth);
    EXPECT_EQ(minWidth, c.minWidth);
    EXPECT_EQ(maxWidth, c.maxWidth);
  }
}

TEST_F(Boxes, HeightsAndHiddenOverflow) {
  TBlock* tall = AddBlock(document, "div", {{"height", "100px"}});
  AddBox(tall->Content, 30);
  TBlock* clipped =
      AddBlock(document, "div", {{"height", "10px"}, {"width", "50px"}, {"overflow", "hidden"}});
  AddBox(clipped->Content, 30, 0, 0);
  TBlock* after = AddBlock(document, "div");
  TBox* last = AddBox(after->Content, 5);
  EXPECT_EQ(LayOut(300), 100 + 10 + 5);
  EXPECT_EQ(tall->FlowHeight, 100);
  EXPECT_EQ(clipped->InnerBottom, 110);
  EXPECT_EQ(last->TopY, 110);
}

TEST_F(Boxes, HiddenOverflowOffersNothingToScrollTo) {
  for (bool hidden : {false, true}) {
    SCOPED_TRACE(hidden);
    document.Clear();
    TBlock* block = AddBlock(document, "div",
                             {{"width", "100px"}, {"overflow", hidden ? "hidden" : "visible"}});
    AddBox(block->Content, 10, 0, 900);
    int32_t scrollWidth = 0, pos = 0;
    document.Layout(canvas, 0, 300, 0, 0, scrollWidth, pos);
    EXPECT_EQ(scrollWidth, hidden ? 100 : 900);
  }
}

TEST_F(Boxes, ABlockNotDisplayedTakesNoRoomAndAnswersNothing) {
  TBlock* hidden = AddBlock(document, "div", {{"display", "none"}});
  TBox* inner = AddBox(hidden->Content, 30);
  inner->Answer = 3;
  TBlock* shown = AddBlock(document, "div");
  TBox* box = AddBox(shown->Content, 10);
  EXPECT_EQ(LayOut(200), 10);
  EXPECT_EQ(box->TopY, 0);
  EXPECT_EQ(hidden->FlowHeight, 0);
  TCursorHit hit;
  EXPECT_EQ(hidden->FindCursorAt(canvas, 5, 5, hit), -1);
  Paint(20, 20);
  EXPECT_EQ(inner->DrawnX, -1);
  // Its content is no place the viewer can scroll to.
  document.AnchorOrder.clear();
  hidden->AddToPositionList();
  shown->AddToPositionList();
  EXPECT_EQ(document.AnchorOrder, (std::vector<TSectionBase*>{box}));
}

TEST_F(Boxes, AdjoiningVerticalMarginsCollapse) {
  struct Case {
    const char* bottom;
    const char* top;
    int32_t gap;
  };
  for (const Case& c : {Case{"14px", "20px", 20}, Case{"-5px", "10px", 5}, Case{"-5px", "-8px", -8},
                        Case{"20px", "3px", 20}}) {
    SCOPED_TRACE(std::string(c.bottom) + " " + c.top);
    document.Clear();
    TBlock* first = AddBlock(document, "p", {{"margin-bottom", c.bottom}});
    AddBox(first->Content, 10);
    TBlock* second = AddBlock(document, "p", {{"margin-top", c.top}});
    TBox* box = AddBox(second->Content, 10);
    EXPECT_EQ(first->Margins[piMarginBottom], 0);
    EXPECT_EQ(second->Margins[piMarginTop], c.gap);
    LayOut(100);
    EXPECT_EQ(box->TopY, 10 + c.gap);
  }
}

TEST_F(Boxes, MarginsCollapseWithTheContainerAndSkipAbsoluteBlocks) {
  // The first block in the body shares the body's top margin.
  document.OwnerKind = TCellBasic::TOwnerKind::Page;
  auto* body = AddBlock<TBodyBlock>(document, "body", {{"margin-top", "8px"}});
  body->Content.OwnerKind = TCellBasic::TOwnerKind::Body;
  TBlock* first =
      AddBlock(body->Content, "div", {{"margin-top", "20px"}, {"margin-bottom", "10px"}});
  EXPECT_EQ(first->Margins[piMarginTop], 12);
  TBlock* absolute = AddBlock(body->Content, "div", {{"position", "absolute"}});
  TBlock* next = AddBlock(body->Content, "div", {{"margin-top", "4px"}});
  EXPECT_EQ(next->Margins[piMarginTop], 10);
  EXPECT_EQ(first->Margins[piMarginBottom], 0);
  EXPECT_EQ(absolute->Margins[piMarginTop], 0);
  // A floating block keeps its margin.
  TBlock* floating = AddBlock(body->Content, "div", {{"float", "left"}, {"margin-top", "6px"}});
  EXPECT_EQ(floating->Margins[piMarginTop], 6);
}

TEST_F(Boxes, AlikeBlocksShareTheirBoxYetEachChangesItsOwn) {
  // The first paragraphs of two divisions are alike: their box is held once.
  TBlock* left = AddBlock(document, "div");
  TBlock* right = AddBlock(document, "div");
  TBlock* first = AddBlock(left->Content, "p", {{"margin-bottom", "14px"}});
  TBlock* other = AddBlock(right->Content, "p", {{"margin-bottom", "14px"}});
  AddBox(first->Content, 10);
  AddBox(other->Content, 10);
  EXPECT_EQ(&*first->Margins, &*other->Margins);
  // A paragraph after the first takes its bottom margin; the other keeps its own, layout after
  // layout.
  AddBox(AddBlock(left->Content, "p", {{"margin-bottom", "14px"}})->Content, 10);
  for (int pass = 0; pass < 2; ++pass) {
    LayOut(100);
    EXPECT_EQ(first->Margins[piMarginBottom], 0);
    EXPECT_EQ(other->Margins[piMarginBottom], 14);
    EXPECT_EQ(left->FlowHeight, 48);
    EXPECT_EQ(right->FlowHeight, 24);
  }
  // Laid out alike, the divisions hold one box.
  EXPECT_EQ(&*left->Margins, &*right->Margins);
}

TEST_F(Boxes, DefaultParagraphMarginsAtTheStartAndEndOfACell) {
  auto prop = Props("p");
  prop->Values[piMarginTop] = DefaultParaMargin;
  prop->Values[piMarginBottom] = DefaultParaMargin;
  auto paragraph = std::make_unique<TBlock>(&document, *prop, &document, nullptr);
  EXPECT_EQ(paragraph->Margins[piMarginTop], 0);  // nothing above to keep apart from
  EXPECT_EQ(paragraph->Margins[piMarginBottom], 14);
  TBlock* p = paragraph.get();
  document.Add(std::move(paragraph), 0);
  EXPECT_EQ(document.ClearLastBottomMargin(), true);
  EXPECT_EQ(p->Margins[piMarginBottom], 0);
  EXPECT_EQ(document.ClearLastBottomMargin(), false);

  TBlock* absolute = AddBlock(document, "div", {{"position", "absolute"}});
  EXPECT_EQ(absolute->ClearOwnBottomMargin(), std::nullopt);
}

TEST_F(Boxes, PositionedBlocksStackAndMove) {
  TBlock* before = AddBlock(document, "div");
  AddBox(before->Content, 20);
  TBlock* relative =
      AddBlock(document, "div",
               {{"position", "relative"}, {"top", "10px"}, {"left", "20px"}, {"z-index", "3"}});
  TBox* moved = AddBox(relative->Content, 30);
  TBlock* absolute =
      AddBlock(document, "div",
               {{"position", "absolute"}, {"left", "50px"}, {"top", "60px"}, {"width", "100px"}});
  TBox* placed = AddBox(absolute->Content, 40);
  TBlock* after = AddBlock(document, "div");
  TBox* last = AddBox(after->Content, 5);
  EXPECT_EQ(relative->StackOrder, 30);
  EXPECT_EQ(absolute->StackOrder, 1);

  EXPECT_EQ(LayOut(300), 20 + 30 + 5);
  EXPECT_EQ(moved->TopY, 30);  // shifted, but the flow keeps its place
  EXPECT_EQ(relative->FlowHeight, 30);
  EXPECT_EQ(placed->LaidX, 50);
  EXPECT_EQ(placed->TopY, 60);
  EXPECT_EQ(placed->LaidAvailWidth, 100);
  EXPECT_EQ(absolute->FlowHeight, 0);
  EXPECT_EQ(absolute->PaintHeight, 0);
  EXPECT_EQ(last->TopY, 50);

  Paint(10, 10);
  EXPECT_EQ(moved->DrawnX, 20);
  EXPECT_EQ(placed->DrawnX, 50);
}

}  // namespace
}  // namespace html::test

namespace html::test {
namespace {

// Blocks styled alike hold one box as styled, and changing one block's box leaves the others'
// alone; texts and real numbers tell boxes apart like any other value.
TEST_F(Boxes, BlocksStyledAlikeShareTheirBoxUntilOneChanges) {
  TBlock* first = AddBlock(document, "div", {{"margin-left", "2em"}, {"width", "50%"}});
  TBlock* second = AddBlock(document, "div", {{"margin-left", "2em"}, {"width", "50%"}});
  TBlock* other = AddBlock(document, "div", {{"margin-left", "3em"}, {"width", "50%"}});
  EXPECT_EQ(&first->RawMargins(), &second->RawMargins());
  EXPECT_NE(&first->RawMargins(), &other->RawMargins());
  second->SetRawMargin(piMarginLeft, int32_t(7));
  EXPECT_NE(&first->RawMargins(), &second->RawMargins());
  LayOut(400);
  EXPECT_EQ(first->ContentLeftOffset, 2 * first->Style().EmPixels);
  EXPECT_EQ(second->ContentLeftOffset, 7);

  TVMarginArray half, more, real, sameReal;
  half.Set(piWidth, std::string("50%"));
  more.Set(piWidth, std::string("60%"));
  real.Set(piWidth, std::nan(""));
  sameReal.Set(piWidth, std::nan(""));
  EXPECT_NE(half.ShareKey(), more.ShareKey());
  EXPECT_NE(half.ShareKey(), real.ShareKey());
  EXPECT_EQ(real.ShareKey(), sameReal.ShareKey());
}

TEST_F(Boxes, HugeLengthsFromThePageStayWithinRange) {
  TCellBasic* cell = &document;
  TBlock* outer = nullptr;
  for (int depth = 0; depth < 40; ++depth) {
    TBlock* block = AddBlock(*cell, "div",
                             {{"margin-left", "2000000000px"},
                              {"margin-top", "-2000000000px"},
                              {"margin-bottom", "2000000000px"},
                              {"padding-right", "2000000000px"},
                              {"border-left-style", "solid"},
                              {"border-left-width", "2000000000px"},
                              {"width", "3000000000px"},
                              {"height", "2000000000px"},
                              {"position", depth % 3 == 1 ? "relative" : "static"},
                              {"top", "-2000000000px"},
                              {"left", "2000000000px"},
                              {"float", depth % 4 == 2 ? "right" : "none"}});
    if (!outer) outer = block;
    AddBox(block->Content, 2000000000, 2000000000, 2000000000);
    cell = &block->Content;
  }
  AddBlock(document, "div", {{"clear", "both"}, {"margin-top", "2000000000px"}});
  int32_t minWidth = 0, maxWidth = 0;
  outer->MinMaxWidth(canvas, minWidth, maxWidth);
  EXPECT_GE(maxWidth, minWidth);
  LayOut(300);
  Paint(30, 30);
  EXPECT_LE(outer->ContentWidth, kBoxLengthLimit);
}

}  // namespace
}  // namespace html::test
