// Declared columns and the slots cells take in them.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

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

// "<table>", ten "<col span=100>", "<tr><td rowspan=65534>": a few bytes of page that once
// claimed a slot for each of the 1000 columns in each of the rows the span covers.
TEST_F(CellSlotsTest, LongRowSpansKeepTheMapSmall) {
  TCellManager& m = Columns(kMaxDeclaredColumns);
  auto tall = Cell(1, kMaxRowSpan);
  m.AddCell(0, *tall);
  EXPECT_EQ(m.RowCount(), kMaxRowSpan);
  EXPECT_LE(m.StoredSlots(), 2u * kMaxDeclaredColumns);

  // Spans of every length from the same row, each ending one row before the one to its left.
  std::vector<std::unique_ptr<TCellObj>> cells;
  for (int i = 1; i < kMaxDeclaredColumns; ++i) {
    cells.push_back(Cell(1, kMaxRowSpan - i));
    m.AddCell(0, *cells.back());
  }
  EXPECT_LE(m.StoredSlots(), size_t(kMaxDeclaredColumns + 2) * kMaxDeclaredColumns);
  EXPECT_EQ(m.FindColNum(kMaxRowSpan - 500), 500);
  EXPECT_EQ(m.Row(kMaxRowSpan - 500).find('o'), 500u);
  EXPECT_EQ(m.FindColNum(kMaxRowSpan - 1), 1);
  EXPECT_EQ(m.FindColNum(kMaxRowSpan), 0);
  EXPECT_LE(m.StoredSlots(), size_t(kMaxDeclaredColumns));
}

// The map against a plain one with a slot for every row and column, on random tables.
TEST_F(CellSlotsTest, AgreesWithAMapOfEveryRow) {
  std::mt19937 random(22);
  for (int table = 0; table < 200; ++table) {
    const int width = 1 + int(random() % 6);
    TCellManager& m = Columns(width);
    std::vector<std::string> plain;
    int row = 0;
    for (int step = 0; step < 60; ++step) {
      row += random() % 3 == 0;
      while (int(plain.size()) <= row) plain.emplace_back(size_t(width), 'o');
      const size_t free = plain[size_t(row)].find('o');
      ASSERT_EQ(m.FindColNum(row), free == std::string::npos ? -1 : int(free));
      auto cell = Cell(1 + int(random() % 4), 1 + int(random() % 8));
      const int rowSpan = cell->RowSpan;
      int colSpan = cell->ColSpan;
      m.AddCell(row, *cell);
      if (free == std::string::npos) continue;
      while (int(plain.size()) < row + rowSpan) plain.emplace_back(size_t(width), 'o');
      for (int r = row; r < row + rowSpan; ++r) {
        int marked = 0;
        for (size_t k = free;
             k < plain[size_t(r)].size() && marked < colSpan && plain[size_t(r)][k] == 'o';
             ++k, ++marked)
          plain[size_t(r)][k] = 'x';
        colSpan = std::max(1, marked);
      }
      ASSERT_EQ(cell->ColSpan, colSpan);
      for (int r = row; r < int(plain.size()); ++r) ASSERT_EQ(m.Row(r), plain[size_t(r)]) << r;
    }
  }
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
