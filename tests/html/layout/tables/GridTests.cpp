// Table and cell attributes and the normalised grid.
#include <gtest/gtest.h>

#include "TableFixture.h"
#include "html/css/CssStyles.h"

namespace html::test {
namespace {

TEST_F(TableTest, AttributesAreHeldToTheirLimits) {
  NewTable({{CellSpacingSy, 100, "100"}, {CellPaddingSy, 80, "80"}, {BorderSy, 500, "500"}});
  EXPECT_EQ(table->CellSpace, 40);
  EXPECT_EQ(table->CellPad, 50);
  EXPECT_EQ(table->BorderAttr, 100);
  NewTable({{CellSpacingSy, -5, "-5"}, {CellPaddingSy, -3, "-3"}, {BorderSy, 0, ""}});
  EXPECT_EQ(table->CellSpace, 2);
  EXPECT_EQ(table->CellPad, 1);
  EXPECT_EQ(table->BorderAttr, 1);  // BORDER without a value
  NewTable({{CellSpacingSy, -1, "-1"}, {BorderSy, -4, "-4"}});
  EXPECT_EQ(table->CellSpace, -1);
  EXPECT_EQ(table->BorderAttr, 0);
}

TEST_F(TableTest, CellWidthsHeightsAndSpansFromAttributes) {
  NewTable();
  AddRow({{HeightSy, 20, "20%"}});
  const TCellObj& full = AddCell({{WidthSy, 100, "100%"}});
  EXPECT_TRUE(full.WidthIsPercent);
  EXPECT_EQ(full.WidthSpec, 1000);
  EXPECT_EQ(full.HeightPct, 20);  // raised to the row's
  const TCellObj& none = AddCell({{WidthSy, 0, "0%"}, {HeightSy, 40, "40%"}});
  EXPECT_EQ(none.WidthSpec, 0);
  EXPECT_EQ(none.HeightPct, 40);
  const TCellObj& huge =
      AddCell({{ColSpanSy, 2000000000, "2000000000"}, {RowSpanSy, 2000000000, "2000000000"}});
  EXPECT_EQ(huge.ColSpan, kMaxColSpan);
  EXPECT_EQ(huge.RowSpan, kMaxRowSpan);
  AddRow({{HeightSy, 30, "30"}});
  const TCellObj& px = AddCell({{WidthSy, 75, "75"}, {HeightSy, 10, "10"}});
  EXPECT_FALSE(px.WidthIsPercent);
  EXPECT_EQ(px.WidthSpec, 75);
  EXPECT_EQ(px.HeightPx, 30);
}

TEST_F(TableTest, CssWidthOfACellReplacesTheAttributeBelowOneHundredPercent) {
  const auto cellWith = [&](const char* width) {
    TProperties prop;
    prop.AddPropertyByName("width", width);
    prop.GivenHere[piWidth] = true;
    auto attrs = Attrs({{WidthSy, 40, "40"}});
    return std::make_unique<TCellObj>(&document, attrs.get(), &prop, VAlignMiddle);
  };
  auto cell = cellWith("100%");
  EXPECT_FALSE(cell->WidthIsPercent);
  EXPECT_EQ(cell->WidthSpec, 40);
  cell = cellWith("50%");
  EXPECT_TRUE(cell->WidthIsPercent);
  EXPECT_EQ(cell->WidthSpec, 500);
  cell = cellWith("80px");
  EXPECT_FALSE(cell->WidthIsPercent);
  EXPECT_EQ(cell->WidthSpec, 80);
}

TEST_F(TableTest, TrailingColumnsOnlySpansReachAreDropped) {
  NewTable();
  AddRow();
  TCellObj& wide = AddCell({{ColSpanSy, 3, "3"}});
  AddRow();
  AddCell();
  AddCell();
  table->NormalizeGrid();
  EXPECT_EQ(table->ColCount, 2);
  EXPECT_EQ(wide.ColSpan, 2);
  ASSERT_EQ(table->RowList[0]->Count(), 2);
  EXPECT_TRUE(table->RowList[0]->Items(1)->IsPlaceholder());
  EXPECT_EQ(table->ColWidths.size(), 2u);
}

TEST_F(TableTest, RowSpansStopAtTheLastRowAndCoverTheRowsBelow) {
  NewTable();
  AddRow();
  TCellObj& tall = AddCell({{RowSpanSy, 5, "5"}, {ColSpanSy, 2, "2"}});
  AddCell();
  AddRow();
  TCellObj& right = AddCell();
  table->NormalizeGrid();
  EXPECT_EQ(tall.RowSpan, 2);
  EXPECT_EQ(table->ColCount, 3);
  const TCellList& second = *table->RowList[1];
  ASSERT_EQ(second.Count(), 3);
  EXPECT_TRUE(second.Items(0)->IsPlaceholder());
  EXPECT_TRUE(second.Items(1)->IsPlaceholder());
  EXPECT_EQ(second.Items(2), &right);
}

TEST_F(TableTest, SpansStopGrowingTheGridOnceTheirBudgetIsSpent) {
  NewTable();
  for (int r = 0; r < 70; ++r) {
    AddRow();
    AddCell({{ColSpanSy, 1000, "1000"}});
    AddCell();
  }
  table->NormalizeGrid();
  // 65 rows take 999 placeholders each; the 66th gets the 601 left, later rows none.
  EXPECT_EQ(table->RowList[64]->Items(0)->ColSpan, 1000);
  EXPECT_EQ(table->RowList[65]->Items(0)->ColSpan, 602);
  EXPECT_EQ(table->RowList[69]->Items(0)->ColSpan, 1);
  EXPECT_EQ(table->RowList[69]->Count(), 2);
  EXPECT_EQ(table->ColCount, 1001);
}

TEST_F(TableTest, PaddingBordersAndBackgroundsSettleAtNormalisation) {
  NewTable({{BorderSy, 1, "1"}, {CellPaddingSy, 4, "4"}});
  AddRow({{BGColorSy, 0, "#0000ff"}});
  TCellObj& plain = AddCell();
  TCellObj& own = AddCell({{BGColorSy, 0, "#00ff00"}});
  table->NormalizeGrid();
  EXPECT_EQ(plain.HorzExtra, 4 + 1 + 1 + 4);
  EXPECT_EQ(plain.VertExtra, 10);
  EXPECT_TRUE(plain.Content->HasFill);
  EXPECT_EQ(plain.Content->FillColor, table->RowList[0]->FillColor);
  EXPECT_NE(own.Content->FillColor, plain.Content->FillColor);
}

TEST_F(TableTest, DeclaredColumnsGiveTheirWidthsToTheirCells) {
  NewTable();
  table->AddColumn(30, false, "", 0);
  table->AddColumn(0, false, "", 0);
  AddRow();
  TCellObj& first = AddCell({{WidthSy, 50, "50%"}});
  TCellObj& second = AddCell({{WidthSy, 20, "20%"}});
  table->NormalizeGrid();
  EXPECT_EQ(first.WidthSpec, 30);
  EXPECT_FALSE(first.WidthIsPercent);
  EXPECT_EQ(second.WidthSpec, 200);
  EXPECT_TRUE(table->HasPixelWidths);
  EXPECT_TRUE(table->ColumnSpecs.empty());

  NewTable();
  table->AddColumn(400, true, "", 0);
  AddRow();
  AddCell();
  table->NormalizeGrid();
  EXPECT_FALSE(table->HasPixelWidths);
  EXPECT_EQ(table->RowList[0]->Items(0)->WidthSpec, 400);
}

}  // namespace
}  // namespace html::test
