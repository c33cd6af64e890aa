// How wide tables are on a page: shaped by their cells' percentages without a WIDTH, and never
// wider than the window with WIDTH=100%.
#include "html/layout/blocks/PageItems.h"
#include "html/layout/tables/Tables.h"
#include "support/PaintedPage.h"

namespace html::test {
namespace {

class TableWidthOnPage : public PaintedPageTest {
 protected:
  // The first table of the page.
  ThtmlTable& Table() {
    auto& body = dynamic_cast<TBlock&>(*Document().First());
    for (const auto& item : body.Content)
      if (auto* block = dynamic_cast<TTableBlock*>(item.get())) return *block->Table;
    throw std::runtime_error("no table on the page");
  }
};

TEST_F(TableWidthOnPage, PercentageCellsShapeATableWithoutWidth) {
  // A cell of 100% beside another one: the table takes the whole window.
  Load("<table style='margin:0'><tr><td width=100%>a</td><td>b</td></tr></table>");
  EXPECT_EQ(Table().GridWidth, 600);
  // A quarter of the table for the first cell, which gets all the width its box asks for.
  Load(
      "<table style='margin:0'><tr><td width=25%><div style='width:100px'>a</div></td>"
      "<td>x</td></tr></table>");
  const std::vector<int32_t>& columns = Table().ColWidths;
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_NEAR(columns[0] * 4, columns[0] + columns[1], 4);
  EXPECT_GE(columns[0], Table().ColMax[0]);
}

// The width a table's percentages ask for shapes the table itself; a table around it sees the
// sum of its columns' maxima and keeps room for its own cells.
TEST_F(TableWidthOnPage, ATableInsideACellLeavesItsNeighboursTheirRoom) {
  Load(
      "<table border=1><tr><td>left side words here<td>"
      "<table border=1><tr><td width=100%>a<td>b</table></table>");
  ThtmlTable& outer = Table();
  ASSERT_EQ(outer.ColWidths.size(), 2u);
  EXPECT_GE(outer.ColWidths[0], outer.ColMax[0]);
  EXPECT_LT(outer.GridWidth, 600);
}

TEST_F(TableWidthOnPage, AFullWidthTableStaysInsideTheWindow) {
  // The percentages' shares of the excess round down; the picture column is held at its
  // minimum, so the pixels left over come off the others.
  for (int first = 20; first <= 30; ++first) {
    SCOPED_TRACE(first);
    Load("<table width=100% style='margin:0'><tr><td width=" + std::to_string(first) +
         "%>a</td><td width=27%>b</td><td width=17%>c</td><td><div style='width:198px'>z</div>"
         "</td></tr></table>");
    EXPECT_EQ(Table().GridWidth, 600);
    EXPECT_FALSE(viewer->HScrollBar().Visible());
  }
}

}  // namespace
}  // namespace html::test
