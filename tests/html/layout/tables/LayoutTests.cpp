// Column widths, row heights and content placement of laid-out tables.
#include <gtest/gtest.h>

#include "TableFixture.h"

namespace html::test {
namespace {

TEST_F(TableTest, RequestedWidthIsSharedByTheColumnsRoom) {
  NewTable();
  table->WidthRequest = 200;
  AddRow();
  // Minimum 30 + padding 2 + spacing 2 = 34, maximum 54; 130 missing, split by room 20:20.
  TFixedItem* left = Put(AddCell(), 10, 30, 50);
  Put(AddCell(), 10, 30, 50);
  EXPECT_EQ(LayOut(500), 2 + 10 + 2 + 2);
  EXPECT_EQ(table->ColWidths, (std::vector<int32_t>{99, 99}));
  EXPECT_EQ(table->GridWidth, 200);
  EXPECT_EQ(left->LaidWidth, 99 - 2 - 2);
  int32_t min = 0, max = 0;
  table->MinMaxWidth(canvas, min, max);
  EXPECT_EQ(min, 200);  // raised to the request
  EXPECT_EQ(max, 200);
}

TEST_F(TableTest, PixelWidthsKeepNaturalWidthsWithoutARequest) {
  NewTable();
  AddRow();
  Put(AddCell({{WidthSy, 100, "100"}}), 10, 30, 50);
  Put(AddCell(), 10, 30, 50);
  int32_t min = 0, max = 0;
  table->MinMaxWidth(canvas, min, max);
  EXPECT_EQ(min, 104 + 34 + 2);
  EXPECT_EQ(max, 104 + 54 + 2);
  LayOut(500);
  EXPECT_EQ(table->ColWidths, (std::vector<int32_t>{104, 54}));
  EXPECT_EQ(table->GridWidth, 160);
}

TEST_F(TableTest, PercentagesWithoutARequestAskForTheWidthThatMeetsThem) {
  NewTable();
  AddRow();
  // Maxima 54 and 34 with padding and spacing: 25% needs 216, 75% for the other 46 (rounded
  // up); the table asks its block for 216 and spacing, and shows the sum of its maxima to what
  // surrounds it.
  TFixedItem* quarter = Put(AddCell({{WidthSy, 25, "25%"}}), 10, 30, 50);
  Put(AddCell(), 10, 10, 30);
  int32_t min = 0, max = 0, wanted = 0;
  table->WidthRange(canvas, min, max, wanted);
  EXPECT_EQ(wanted, 216 + 2);
  EXPECT_EQ(max, 54 + 34 + 2);
  // Given that width, the quarter gets its whole maximum.
  LayOut(wanted);
  EXPECT_EQ(table->ColWidths, (std::vector<int32_t>{54, 162}));
  EXPECT_EQ(quarter->LaidWidth, 50);
}

TEST_F(TableTest, ContentIsPlacedByVerticalAlignment) {
  NewTable();
  table->WidthRequest = 400;
  AddRow();
  TFixedItem* top = Put(AddCell({}, VAlignTop), 10, 10, 10);
  TFixedItem* middle = Put(AddCell({}, VAlignMiddle), 10, 10, 10);
  TFixedItem* tall = Put(AddCell({}, VAlignBottom), 30, 10, 10);
  TFixedItem* bottom = Put(AddCell({}, VAlignBottom), 10, 10, 10);
  // Row: 30 + padding 2 + spacing 2; the short cells have 20 pixels to spare.
  EXPECT_EQ(LayOut(500, 0), 34 + 2);
  EXPECT_EQ(top->TopY, 3);
  EXPECT_EQ(middle->TopY, 13);
  EXPECT_EQ(tall->TopY, 3);
  EXPECT_EQ(bottom->TopY, 23);
}

TEST_F(TableTest, RowHeightsFollowSpansAndTheTablesHeight) {
  NewTable();
  table->WidthRequest = 100;
  AddRow({{HeightSy, 50, "50"}});
  Put(AddCell(), 10, 10, 10);
  AddRow();
  Put(AddCell(), 10, 10, 10);
  // The first row asks for 50 + spacing; the second takes what is left of 198.
  EXPECT_EQ(LayOut(500, 200), 200);
  EXPECT_EQ(table->RowHeights, (std::vector<int32_t>{52, 146}));
  EXPECT_EQ(LayOut(500, 0), 52 + 14 + 2);

  NewTable();
  table->WidthRequest = 100;
  AddRow();
  TCellObj& tall = AddCell({{RowSpanSy, 2, "2"}});
  Put(tall, 60, 10, 10);
  Put(AddCell(), 10, 10, 10);
  AddRow();
  Put(AddCell(), 10, 10, 10);
  // 64 over two rows of 14: 18 more each.
  EXPECT_EQ(LayOut(500), 32 + 32 + 2);
  EXPECT_EQ(tall.CellHeight, 64);
  EXPECT_EQ(table->RowList[0]->SpanHeight, 64);
}

TEST_F(TableTest, AListMarkerWaitingForABaselineGetsTheTablesBottom) {
  NewTable();
  table->WidthRequest = 100;
  AddRow();
  Put(AddCell(), 10, 10, 10);
  int32_t baseline = 0;
  document.FirstBaselineSlot = &baseline;
  indents.Reset(0, 500);
  int32_t maxWidth = 0, pos = 0;
  EXPECT_EQ(table->Layout(canvas, 0, 40, 0, 0, 500, 0, 0, indents, maxWidth, pos), 16);
  EXPECT_EQ(baseline, 40 + 16);
  EXPECT_EQ(maxWidth, 100);
  baseline = 7;  // already answered: left alone
  table->Layout(canvas, 0, 40, 0, 0, 500, 0, 0, indents, maxWidth, pos);
  EXPECT_EQ(baseline, 7);
  document.FirstBaselineSlot = nullptr;
}

TEST_F(TableTest, EmptyTablesAndHugeSpansLayOutQuietly) {
  NewTable();
  EXPECT_EQ(LayOut(300), 2);
  EXPECT_EQ(table->GridWidth, 2);
  NewTable();
  AddRow();
  EXPECT_EQ(LayOut(300), 2);
  NewTable({{CellSpacingSy, 0, "0"}});
  AddRow();
  TCellObj& wide = AddCell({{ColSpanSy, 2000000000, "2000000000"}});
  Put(wide, 5, 10, 10);
  EXPECT_EQ(LayOut(300), 5 + 2);
  EXPECT_EQ(table->ColCount, 1);
  EXPECT_EQ(wide.ColSpan, 1);
}

TEST_F(TableTest, CopiesKeepTheGridAndContent) {
  NewTable();
  table->WidthRequest = 200;
  AddRow();
  Put(AddCell(), 10, 30, 50);
  Put(AddCell({{ColSpanSy, 2, "2"}}), 10, 30, 50);
  LayOut(500);
  const std::unique_ptr<TSectionBase> copy = table->CreateCopy(&document);
  auto& twin = dynamic_cast<ThtmlTable&>(*copy);
  ASSERT_EQ(twin.RowList.Count(), 1);
  EXPECT_EQ(twin.RowList[0]->Count(), table->RowList[0]->Count());
  EXPECT_EQ(twin.ColWidths, table->ColWidths);
  EXPECT_EQ(twin.RowList[0]->Items(0)->Content->Count(), 1);
  EXPECT_NE(twin.RowList[0]->Items(0)->Content.get(), table->RowList[0]->Items(0)->Content.get());
}

}  // namespace
}  // namespace html::test

namespace html::test {
namespace {

TEST_F(TableTest, NestedTablesFitTheirCellAndRestoreTheDocumentsState) {
  NewTable();
  table->WidthRequest = 200;
  AddRow();
  TCellObj& outerCell = AddCell();
  auto inner = std::make_unique<ThtmlTable>(&document, nullptr, nullptr);
  inner->RowList.Add(std::make_unique<TCellList>(nullptr, nullptr));
  inner->RowList[0]->Add(std::make_unique<TCellObj>(&document, nullptr, nullptr, VAlignMiddle));
  TCellObj& innerCell = *inner->RowList[0]->Items(0);
  auto item = std::make_unique<TFixedItem>(&document, 10, 10, 10);
  TFixedItem* box = item.get();
  innerCell.Content->Add(std::move(item), 0);
  ThtmlTable* nested = inner.get();
  outerCell.Content->Add(std::move(inner), 0);

  // The inner table fills the 194 pixels inside the outer cell and is 16 high.
  EXPECT_EQ(LayOut(500), 2 + 16 + 2 + 2);
  EXPECT_EQ(nested->GridWidth, 194);
  EXPECT_EQ(nested->TopY, 3);
  EXPECT_EQ(box->TopY, 6);
  EXPECT_EQ(document.TableDepth, 0);
  EXPECT_FALSE(document.SecondPass);
}

}  // namespace
}  // namespace html::test
