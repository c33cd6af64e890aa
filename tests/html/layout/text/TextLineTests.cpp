// Lines of text on a page: alignment of the lines and the backgrounds of inline elements.
#include "support/PaintedPage.h"

namespace html::test {
namespace {

class TextLinesOnPage : public PaintedPageTest {
 protected:
  // First and last x of the colour on row y (-1 when absent).
  std::pair<int, int> Span(int y, TColor colour) const {
    const uint32_t want = Argb(colour);
    return {FindX(y, 0, 600, want), FindX(y, 599, -1, want, -1)};
  }
};

TEST_F(TextLinesOnPage, InlineBackgroundFollowsTheAlignedText) {
  Load(
      "<p style='margin:0;text-align:right'><span style='background-color:red'>abc def</span>"
      "</p><p style='margin:0;text-align:center'><span style='background-color:blue'>abc def"
      "</span></p>");
  const int redRow = FindY(599, 0, 100, Argb(plat::clRed));
  ASSERT_GE(redRow, 0);
  const auto [redLeft, redRight] = Span(redRow, plat::clRed);
  EXPECT_EQ(redRight, 599);
  const int width = redRight - redLeft + 1;
  EXPECT_GT(width, 20);
  const int blueRow = FindY(300, redRow + 1, 200, Argb(plat::clBlue));
  ASSERT_GT(blueRow, redRow);
  const auto [blueLeft, blueRight] = Span(blueRow, plat::clBlue);
  EXPECT_EQ(blueLeft, (600 - width) / 2);
  EXPECT_EQ(blueRight, blueLeft + width - 1);
}

TEST_F(TextLinesOnPage, JustifiedLinesReachTheRightEdgeButTheLastDoesNot) {
  Load(
      "<p style='margin:0;text-align:justify;width:300px'><font style='background-color:lime'>"
      "justified text that should spread across the whole width of the paragraph box, all but "
      "its last line.</font></p>");
  const int firstRow = FindY(0, 0, 100, Argb(plat::clLime));
  ASSERT_GE(firstRow, 0);
  EXPECT_EQ(Span(firstRow, plat::clLime), std::make_pair(0, 299));
  // The last row of colour belongs to the last line, which keeps its natural width.
  const int lastRow = FindY(0, 200, -1, Argb(plat::clLime), -1);
  ASSERT_GT(lastRow, firstRow + 20);
  EXPECT_LT(Span(lastRow, plat::clLime).second, 280);
}

TEST_F(TextLinesOnPage, BackgroundStaysWithItsElement) {
  Load(
      "<p style='margin:0'>plain <b style='background-color:lime'>bold <i>both</i></b> plain "
      "again</p>");
  int row = -1;  // the top of the coloured cells, above the glyphs
  for (int y = 0; y < 30 && row < 0; ++y)
    if (FindX(y, 0, 600, Argb(plat::clLime)) >= 0) row = y;
  ASSERT_GE(row, 0);
  const auto [left, right] = Span(row, plat::clLime);
  EXPECT_GT(left, 10);  // after "plain "
  EXPECT_LT(right, 300);
  for (int x = left; x <= right; ++x) EXPECT_EQ(At(x, row), Argb(plat::clLime)) << x;
  EXPECT_EQ(At(left - 1, row), Argb(plat::clWhite));
  EXPECT_EQ(At(right + 1, row), Argb(plat::clWhite));
}

// The boxes of an element are kept for the line it stands on: on the third line of its
// paragraph it is boxed there and nowhere above.
TEST_F(TextLinesOnPage, AnElementOnALaterLineIsBoxedOnThatLine) {
  Load(
      "<p style='margin:0'>aaaa<br>bbbb<br><span style='background-color:red'>cccc</span> dd"
      "</p>");
  const int firstInk = FirstInkRow(0, 200);
  const int redTop = FindY(1, 0, 200, Argb(plat::clRed));
  ASSERT_GE(firstInk, 0);
  ASSERT_GT(redTop, firstInk);
  for (int y = 0; y < redTop; ++y) EXPECT_EQ(FindX(y, 0, 600, Argb(plat::clRed)), -1) << y;
  // Two lines of text stand above it.
  int inkRuns = 0;
  for (int y = firstInk; y < redTop; ++y)
    if (FirstInkColumn(y, y + 1) >= 0 && (y == firstInk || FirstInkColumn(y - 1, y) < 0)) ++inkRuns;
  EXPECT_EQ(inkRuns, 2);
  EXPECT_EQ(FindX(redTop, 0, 600, Argb(plat::clRed)), 0);
}

}  // namespace
}  // namespace html::test
