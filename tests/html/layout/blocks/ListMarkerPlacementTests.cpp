// List markers on a page: where they stand beside their items.
#include "support/PaintedPage.h"

namespace html::test {
namespace {

class ListMarkersOnPage : public PaintedPageTest {
 protected:
  // The lowest row with ink in the columns [left, right), or -1.
  int LastInkRow(int left, int right) const {
    for (int y = 699; y >= 0; --y)
      for (int x = left; x < right; ++x)
        if (At(x, y) != 0xFFFFFFFFu) return y;
    return -1;
  }
};

TEST_F(ListMarkersOnPage, MarkersStandOnTheFirstLinesBaseline) {
  // Item text at 35; the disc fills (20..24, baseline-6..baseline-2) and "x" sits on the
  // baseline.
  Load("<ul style='margin:0'><li>x</ul>");
  const int baseline = LastInkRow(35, 100) + 1;
  ASSERT_GT(baseline, 5);
  EXPECT_EQ(FirstInkColumn(0, 100, 0, 35), 20);
  EXPECT_EQ(FirstInkRow(0, 100, 0, 35), baseline - 6);
  EXPECT_EQ(LastInkRow(0, 35), baseline - 2);
  EXPECT_EQ(At(25, baseline - 4), 0xFFFFFFFFu);
}

TEST_F(ListMarkersOnPage, ItemThatStartsWithANestedListKeepsItsNumber) {
  // The outer item's number and the inner circle share the inner item's first line; the
  // circle's box ends on the baseline, as does the digit.
  Load("<ol style='margin:0'><li><ul style='margin:0'><li>x</ul><li>y</ol>");
  const int circleBottom = LastInkRow(50, 65);
  ASSERT_GT(circleBottom, 0);
  const int digitTop = FirstInkRow(0, 700, 0, 30);
  ASSERT_GE(digitTop, 0);
  EXPECT_LT(digitTop, circleBottom);
  // The first number ends on the circle's line, the second one line lower.
  int firstNumberBottom = -1;
  for (int y = digitTop; y < 700 && firstNumberBottom < 0; ++y) {
    bool ink = false;
    for (int x = 0; x < 30; ++x) ink = ink || At(x, y) != 0xFFFFFFFFu;
    if (!ink) firstNumberBottom = y - 1;
  }
  EXPECT_EQ(firstNumberBottom, circleBottom);
}

}  // namespace
}  // namespace html::test
