// How tall tables are on a page: their content, or the height they are given, never the room
// left in the window.
#include "support/PaintedPage.h"

namespace html::test {
namespace {

class TableHeightOnPage : public PaintedPageTest {};

const uint32_t kRed = Argb(plat::clRed);

// A one-cell table around a 50-pixel box, followed by a red strip.
std::string Page(const std::string& tableAttributes) {
  return "<table border=1 style='margin:0' " + tableAttributes +
         "><tr><td><div style='height:50px'></div></td></tr></table>"
         "<div style='height:10px;background-color:red'></div>";
}

TEST_F(TableHeightOnPage, TableIsAsTallAsItsContent) {
  // Cell: 50 + padding 1 + border 1 on each side = 54; row: + spacing 2 = 56; grid: + spacing
  // 2 = 58; the table's outset frame adds 1 above and below.
  Load(Page(""));
  EXPECT_EQ(FindY(300, 0, 200, kRed), 60);
  EXPECT_EQ(FindY(300, 60, 200, Argb(plat::clWhite)), 70);
}

TEST_F(TableHeightOnPage, GivenHeightIsSharedByTheRows) {
  Load(Page("height=200"));
  EXPECT_EQ(FindY(300, 0, 400, kRed), 202);
}

TEST_F(TableHeightOnPage, APercentageHeightReadsItsNumberAsACellDoes) {
  Load(Page("height=50%"));
  const int half = FindY(300, 0, 700, kRed);
  ASSERT_GT(half, 300);
  for (const char* height : {"' 50 %'", "'50.4%'", "+50%", "'50%px'"}) {
    Load(Page("height=" + std::string(height)));
    EXPECT_EQ(FindY(300, 0, 700, kRed), half) << height;
  }
}

TEST_F(TableHeightOnPage, RowsOfATableInACellStayAtTheirContent) {
  // The outer cell is 300 pixels tall; the inner table keeps its own 58 + 2.
  Load(
      "<table style='margin:0' cellspacing=0 cellpadding=0><tr><td height=300 valign=top>"
      "<table border=1 style='margin:0'><tr><td><div style='height:50px'></div></td></tr>"
      "</table><div style='height:10px;background-color:red'></div></td></tr></table>");
  EXPECT_EQ(FindY(5, 0, 400, kRed), 60);
}

}  // namespace
}  // namespace html::test
