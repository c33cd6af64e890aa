// Questions put to blocks: TITLE over the painted box, copying a paragraph's line end, and the
// block registered under its ID.
#include "tests/html/layout/blocks/BlockFixture.h"

namespace html::test {
namespace {

using Queries = BlockTest;

TEST_F(Queries, TheTitleAnswersOverThePaintedBorderBox) {
  auto prop = Props("div", {{"margin-left", "10px"}, {"width", "30px"}});
  prop->Title = "tip";
  auto owned = std::make_unique<TBlock>(&document, *prop, &document, nullptr);
  TBlock* block = owned.get();
  document.Add(std::move(owned), 0);
  AddBox(block->Content, 20);
  LayOut(100);
  document.SetScrollY(5);
  Paint(100, 40);
  THitLink hit;
  EXPECT_EQ(block->HitTestLink(canvas, 15, 10, hit), hlTitle);
  EXPECT_EQ(hit.Title, "tip");
  THitLink miss;
  EXPECT_EQ(block->HitTestLink(canvas, 5, 10, miss), 0);   // in the margin
  EXPECT_EQ(block->HitTestLink(canvas, 15, 24, miss), 0);  // below, once scrolled
  EXPECT_TRUE(miss.Title.empty());
}

TEST_F(Queries, AParagraphEndingInsideTheSelectionEndsItsLine) {
  TBlock* paragraph = AddBlock(document, "p");
  AddBox(paragraph->Content, 10)->Positions = 5;
  TBlock* division = AddBlock(document, "div");
  AddBox(division->Content, 10)->Positions = 5;
  LayOut(100);
  struct Case {
    TBlock* block;
    int32_t selEnd;
    int32_t count;
  };
  for (const Case& c : {Case{paragraph, 8, 2}, Case{paragraph, 5, 0}, Case{paragraph, 4, 0},
                        Case{division, 12, 0}}) {
    SelTextCount counter;
    document.SelBuffer = &counter;
    document.SelStart = 0;
    document.SelEnd = c.selEnd;
    c.block->CopySelectedText();
    EXPECT_EQ(counter.Count, c.count) << c.selEnd;
  }
  document.SelBuffer = nullptr;
}

TEST_F(Queries, ABlockWithAnIDIsATarget) {
  TAttributeList attributes;
  attributes.Add(std::make_unique<TAttribute>(IDSy, 0, "ID", "Intro", 0));
  auto prop = Props("div");
  auto block = std::make_unique<TBlock>(&document, *prop, &document, &attributes);
  EXPECT_EQ(document.Targets.Find("intro"), block.get());
  // A block dropped before it was added leaves no name behind.
  block.reset();
  EXPECT_EQ(document.Targets.Find("intro"), nullptr);
}

}  // namespace
}  // namespace html::test
