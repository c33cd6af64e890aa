// Declared columns and the slots cells take in them.
#include <gtest/gtest.h>

#include "TableFixture.h"
#include "html/parse/TableParsing.h"

namespace html::test {
namespace {

class CellSlotsTest : public TableTest {
 protected:
  TCellManager& Columns(int count) {
    NewTable();
    for (int i = 0; i < count; ++i) table->AddColumn(0, false, "", 0);
    manager = std::make_unique<TCellManager>(table.get());
    return *manager;
  }
  std::unique_ptr<TCellObj> Cell(int colSpan, int rowSpan) {
    auto cell = TCellObj::Placeholder(rowSpan);
    cell->ColSpan = colSpan;
    return cell;
  }
  std::unique_ptr<TCellManager> manager;
};

TEST_F(CellSlotsTest, RowSpansPushLaterCellsToTheRight) {
  TCellManager& m = Columns(3);
  EXPECT_EQ(m.FindColNum(0), 0);
  auto tall = Cell(1, 2);
  m.AddCell(0, *tall);
  auto next = Cell(1, 1);
  m.AddCell(0, *next);
  EXPECT_EQ(m.Row(0), "xxo");
  EXPECT_EQ(m.FindColNum(1), 1);
  EXPECT_EQ(m.Row(1), "xoo");
}

TEST_F(CellSlotsTest, SpansAreCutToTheFreeSlots) {
  TCellManager& m = Columns(3);
  auto a = Cell(1, 2);
  m.AddCell(0, *a);
  auto wide = Cell(5, 1);
  m.AddCell(0, *wide);
  EXPECT_EQ(wide->ColSpan, 2);
  EXPECT_EQ(m.Row(0), "xxx");
  EXPECT_EQ(m.FindColNum(0), -1);
  auto none = Cell(1, 1);
  m.AddCell(0, *none);  // a full row takes nothing
  EXPECT_EQ(none->ColSpan, 1);
  // A later span that runs into the row span's slot keeps at least one column.
  auto under = Cell(3, 1);
  m.AddCell(1, *under);
  EXPECT_EQ(under->ColSpan, 2);
  EXPECT_EQ(m.Row(1), "xxx");
}

TEST_F(CellSlotsTest, RowsThatSkippedTheManagerAreAddedOnDemand) {
  TCellManager& m = Columns(2);
  EXPECT_EQ(m.FindColNum(3), 0);
  EXPECT_EQ(m.RowCount(), 4);
  auto huge = Cell(1, kMaxRowSpan);
  m.AddCell(3, *huge);
  EXPECT_EQ(m.RowCount(), 3 + kMaxRowSpan);
  EXPECT_EQ(m.FindColNum(-1), -1);
}

TEST_F(TableTest, ColumnDeclarationsFromAttributes) {
  NewTable();
  TColumnAttributes group;
  ReadColumnAttributes(*Attrs({{AlignSy, 0, "CENTER"}, {VAlignSy, 0, "bottom"}}), group);
  TColumnAttributes col = group;
  ReadColumnAttributes(*Attrs({{WidthSy, 20, "20%"}, {SpanSy, 500, "500"}}), col);
  EXPECT_EQ(col.HAlign, "center");
  EXPECT_EQ(col.VertAlign, 4);
  EXPECT_EQ(col.Width, 200);
  EXPECT_TRUE(col.Percent);
  AddColumns(*table, col);
  ASSERT_EQ(table->ColumnSpecs.size(), 100u);
  EXPECT_EQ(table->ColumnSpecs[99].SpecWidth, 200);
  EXPECT_TRUE(table->ColumnSpecs[99].WidthPercent);

  TColumnAttributes other;
  ReadColumnAttributes(*Attrs({{AlignSy, 0, "top"}, {WidthSy, 150, "150%"}, {SpanSy, -3, "-3"}}),
                       other);
  EXPECT_EQ(other.HAlign, "");
  EXPECT_EQ(other.Width, 0);
  EXPECT_EQ(other.Span, 1);
  ReadColumnAttributes(*Attrs({{WidthSy, 64, "64"}}), other);
  EXPECT_EQ(other.Width, 64);
  EXPECT_FALSE(other.Percent);
  for (int i = 0; i < 20; ++i) AddColumns(*table, col);
  EXPECT_EQ(table->ColumnSpecs.size(), size_t(kMaxDeclaredColumns));
}

}  // namespace
}  // namespace html::test
