// The block around a table: attributes turned into its box, the table's width from a pixel or
// percentage request, alignment, floats, and the raised frame of BORDER painted pixel by pixel.
#include "html/BorderDrawing.h"
#include "platform/SysUtils.h"
#include "tests/html/blocks/BlockFixture.h"

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
  };
  const Case cases[] = {
      // 50% of 300 less both 2-pixel borders, centred in what is left.
      {{{BorderSy, 2, "2"}, {WidthSy, 50, "50%"}, {AlignSy, 0, "center"}}, {}, 146, 75},
      {{{BorderSy, 2, "2"}, {WidthSy, 200, "200"}, {AlignSy, 0, "CENTER"}}, {}, 196, 50},
      // A CSS width replaces WIDTH.
      {{{WidthSy, 50, "50%"}}, {{"width", "120px"}}, 120, 0},
      {{{WidthSy, 80, "80%"}}, {{"width", "10%"}, {"margin-left", "5px"}}, 25, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    document.Clear();
    TTableBlock* block = AddTable(c.attrs, c.css);
    LayOut(300);
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
