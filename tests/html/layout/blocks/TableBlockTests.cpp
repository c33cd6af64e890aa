// The block around a table: attributes turned into its box, the table's width from a pixel or
// percentage request, alignment, floats, and the raised frame of BORDER painted pixel by pixel.
#include "html/layout/sections/BorderDrawing.h"
#include "platform/runtime/SysUtils.h"
#include "tests/html/layout/blocks/BlockFixture.h"

namespace html::test {
namespace {

struct Attr {
  Symb which;
  int32_t value;
  const char* text;
};

class TableBlocks : public BlockTest {
 protected:
  TTableBlock* AddTable(std::initializer_list<Attr> attrs, TDeclarations css = {}) {
    TAttributeList list;
    for (const Attr& a : attrs)
      list.Add(std::make_unique<TAttribute>(a.which, a.value, "", a.text, 0));
    auto prop = Props("table", css);
    auto table = std::make_unique<ThtmlTable>(&document, &list, prop.get());
    auto block =
        std::make_unique<TTableBlock>(&document, *prop, &document, std::move(table), &list);
    TTableBlock* raw = block.get();
    document.Add(std::move(block), 0);
    return raw;
  }
};

TEST_F(TableBlocks, BorderBecomesAnOutsetBoxBorderUnlessCssGivesOne) {
  TTableBlock* plain = AddTable({{BorderSy, 2, "2"}});
  TTableBlock* styled = AddTable({{BorderSy, 2, "2"}}, {{"border-left-style", "dotted"}});
  LayOut(300);
  EXPECT_TRUE(plain->BorderFromTable);
  for (int side = piBorderTopWidth; side <= piBorderLeftWidth; ++side) {
    EXPECT_EQ(plain->Margins[side], 2);
    EXPECT_EQ(plain->Margins[side + 8], bssOutset);
  }
  EXPECT_FALSE(styled->BorderFromTable);
}

TEST_F(TableBlocks, RequestedWidthsAndAlignment) {
  struct Case {
    std::initializer_list<Attr> attrs;
    TDeclarations css;
    int32_t width, marginLeft;
    int32_t room = 300;
  };
  const Case cases[] = {
      // 50% of 300 less both 2-pixel borders, centred in what is left.
      {{{BorderSy, 2, "2"}, {WidthSy, 50, "50%"}, {AlignSy, 0, "center"}}, {}, 146, 75},
      {{{BorderSy, 2, "2"}, {WidthSy, 200, "200"}, {AlignSy, 0, "CENTER"}}, {}, 196, 50},
      // A CSS width replaces WIDTH.
      {{{WidthSy, 50, "50%"}}, {{"width", "120px"}}, 120, 0},
      {{{WidthSy, 80, "80%"}}, {{"width", "10%"}, {"margin-left", "5px"}}, 25, 5},
      // 44% of 556 is 244.64: rounded to the nearest pixel.
      {{{WidthSy, 44, "44%"}}, {}, 245, 0, 556},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    document.Clear();
    TTableBlock* block = AddTable(c.attrs, c.css);
    LayOut(c.room);
    EXPECT_EQ(block->ContentWidth, c.width);
    EXPECT_EQ(block->Table->WidthRequest, c.width);
    EXPECT_EQ(block->Margins[piMarginLeft], c.marginLeft);
  }
}

TEST_F(TableBlocks, AlignedTablesFloatWithTheirSpacing) {
  TTableBlock* block = AddTable(
      {{AlignSy, 0, "left"}, {HSpaceSy, -50, "-50"}, {VSpaceSy, 300, "300"}, {WidthSy, 60, "60"}});
  LayOut(300);
  EXPECT_EQ(block->FloatSide, FloatLeft);
  EXPECT_TRUE(block->Table->IsFloating);
  EXPECT_EQ(block->StackOrder, 1);
  EXPECT_EQ(block->Margins[piMarginLeft], 40);
  EXPECT_EQ(block->Margins[piMarginTop], 200);
  // A table that does not float starts beside the float.
  TTableBlock* next = AddTable({{WidthSy, 30, "30"}});
  LayOut(300);
  EXPECT_EQ(next->LeftShift, 40 + 60 + 40);
  EXPECT_EQ(next->LeftX, 140);
}

TEST_F(TableBlocks, TheBorderIsARaisedFrameAroundThePaddingBox) {
  TTableBlock* block = AddTable({{BorderSy, 3, "3"}, {WidthSy, 40, "40"}}, {{"height", "20px"}});
  block->Table->LightColor = plat::RGB(255, 0, 0);
  block->Table->DarkColor = plat::RGB(0, 0, 255);
  LayOut(100);
  Paint(100, 40);
  // Border box 0..40 x 0..26 (content 34 x 20 inside 3 on every side).
  EXPECT_EQ(At(0, 10), plat::RGB(255, 0, 0));
  EXPECT_EQ(At(10, 2), plat::RGB(255, 0, 0));
  EXPECT_EQ(At(39, 10), plat::RGB(0, 0, 255));
  EXPECT_EQ(At(10, 25), plat::RGB(0, 0, 255));
  EXPECT_EQ(At(10, 10), kWhite);
  EXPECT_EQ(At(40, 10), kWhite);
  EXPECT_EQ(At(10, 26), kWhite);
}

}  // namespace
}  // namespace html::test

namespace html::test {
namespace {

class Captions : public TableBlocks {
 protected:
  // A 60-pixel table with a caption whose content is 120 pixels wide at least.
  TTableAndCaptionBlock* AddCaptioned(bool onTop, std::initializer_list<Attr> attrs) {
    TAttributeList list;
    for (const Attr& a : attrs)
      list.Add(std::make_unique<TAttribute>(a.which, a.value, "", a.text, 0));
    TAttributeList tableAttrs;
    tableAttrs.Add(std::make_unique<TAttribute>(WidthSy, 60, "", "60", 0));
    auto tableProp = Props("table", {{"margin-top", "12px"}});
    auto table = std::make_unique<ThtmlTable>(&document, &tableAttrs, tableProp.get());
    auto tableBlock = std::make_unique<TTableBlock>(&document, *tableProp, &document,
                                                    std::move(table), &tableAttrs);
    tableBlock_ = tableBlock.get();
    auto prop = Props("table");
    auto wrapper = std::make_unique<TTableAndCaptionBlock>(&document, *prop, &document, &list,
                                                           std::move(tableBlock));
    wrapper->CaptionOnTop = onTop;
    auto captionProp = Props("caption");
    auto caption = std::make_unique<TBlock>(&document, *captionProp, &wrapper->Content, nullptr);
    caption_ = AddBox(caption->Content, 10, 120, 150);
    wrapper->SetCaptionBlock(std::move(caption));
    TTableAndCaptionBlock* raw = wrapper.get();
    document.Add(std::move(wrapper), 0);
    return raw;
  }
  TTableBlock* tableBlock_ = nullptr;
  TBox* caption_ = nullptr;
};

TEST_F(Captions, CaptionAndTableShareTheWiderWidth) {
  TTableAndCaptionBlock* wrapper = AddCaptioned(true, {{AlignSy, 0, "center"}});
  EXPECT_TRUE(tableBlock_->CaptionAttached);
  EXPECT_EQ(wrapper->Margins[piMarginTop], 12);  // taken from the table block
  int32_t minWidth = 0, maxWidth = 0;
  wrapper->MinMaxWidth(canvas, minWidth, maxWidth);
  EXPECT_EQ(minWidth, 120);
  EXPECT_EQ(maxWidth, 120);
  LayOut(300);
  // Centred in 300: the wrapper's content starts at 90; the table is centred in its 120.
  EXPECT_EQ(wrapper->ContentWidth, 120);
  EXPECT_EQ(caption_->LaidX, 90);
  EXPECT_EQ(tableBlock_->ContentWidth, 60);
  EXPECT_EQ(tableBlock_->LeftX, 120);
  EXPECT_EQ(caption_->TopY, 12);
  EXPECT_GE(tableBlock_->TopY, 22);
}

TEST_F(Captions, ACaptionBelowFollowsTheTableAndTheIdNamesTheTable) {
  TTableAndCaptionBlock* wrapper = AddCaptioned(false, {{IDSy, 0, "T1"}});
  LayOut(300);
  EXPECT_EQ(wrapper->Content.Items(0), tableBlock_);
  EXPECT_GT(caption_->TopY, tableBlock_->TopY);
  wrapper->AddToIDList();
  EXPECT_EQ(document.Targets.Find("t1"), tableBlock_);
  document.Delete(document.IndexOf(wrapper));  // the name must not outlive the table
  EXPECT_EQ(document.Targets.Find("t1"), nullptr);
}

TEST_F(Captions, AParagraphAfterAFloatingTableDropsItsDefaultTopMargin) {
  for (bool captioned : {false, true}) {
    SCOPED_TRACE(captioned);
    document.Clear();
    TBlock* table = captioned ? static_cast<TBlock*>(AddCaptioned(true, {{AlignSy, 0, "left"}}))
                              : AddTable({{AlignSy, 0, "left"}, {WidthSy, 60, "60"}});
    ASSERT_TRUE(table->IsFloating());
    table->Margins.Edit()[piMarginBottom] = 30;
    auto prop = Props("p");
    prop->Values[piMarginTop] = DefaultParaMargin;
    auto paragraph = std::make_unique<TBlock>(&document, *prop, &document, nullptr);
    EXPECT_EQ(paragraph->Margins[piMarginTop], 0);
    EXPECT_EQ(table->Margins[piMarginBottom], 30);  // nothing collapsed into the float
  }
}

}  // namespace
}  // namespace html::test
