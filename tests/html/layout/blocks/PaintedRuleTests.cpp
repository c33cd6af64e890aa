// Horizontal rules on a page: where they stand and the colours of their edges.
#include "support/PaintedPage.h"

namespace html::test {
namespace {

class RulesOnPage : public PaintedPageTest {};

const uint32_t kWhite = 0xFFFFFFFFu;

TEST_F(RulesOnPage, RuleWithoutAlignIsCentredAndShaded) {
  // 10 pixels of top margin; the 300-pixel rule sits in the middle of 600.
  Load("<hr width=50%>");
  const uint32_t dark = Argb(plat::ColorToRGB(plat::clBtnShadow));
  const uint32_t light = Argb(plat::clSilver);  // on a white page
  EXPECT_EQ(At(149, 10), kWhite);
  EXPECT_EQ(At(150, 10), dark);
  EXPECT_EQ(At(150, 11), dark);
  EXPECT_EQ(At(300, 10), dark);
  EXPECT_EQ(At(300, 11), light);
  EXPECT_EQ(At(449, 10), dark);  // the top edge is drawn last
  EXPECT_EQ(At(449, 11), light);
  EXPECT_EQ(At(450, 10), kWhite);
  EXPECT_EQ(At(300, 9), kWhite);
  EXPECT_EQ(At(300, 12), kWhite);
}

TEST_F(RulesOnPage, AlignAttributePlacesANarrowRule) {
  Load("<hr width=200 align=right><hr width=100 align=left size=4 color=red>");
  // The first rule spans 400..599 at y 10; the second starts 10 + 2 + 10 lower.
  EXPECT_EQ(At(399, 10), kWhite);
  EXPECT_NE(At(400, 10), kWhite);
  EXPECT_NE(At(599, 11), kWhite);
  EXPECT_EQ(At(0, 22), Argb(plat::clRed));
  EXPECT_EQ(At(99, 25), Argb(plat::clRed));
  EXPECT_EQ(At(100, 22), kWhite);
  EXPECT_EQ(At(50, 26), kWhite);
}

TEST_F(RulesOnPage, InheritedAlignmentDoesNotMoveTheRule) {
  // The page's own text-align is "left" everywhere; only the rule's own one counts.
  // The second rule comes after the DIV's bottom (10 + 2 + 10) and its own margin of 10.
  Load("<div align=left><hr width=100></div><hr width=100 style='text-align:right'>");
  EXPECT_EQ(At(249, 10), kWhite);
  EXPECT_NE(At(250, 10), kWhite);
  EXPECT_NE(At(349, 10), kWhite);
  EXPECT_EQ(At(350, 10), kWhite);
  EXPECT_EQ(At(499, 32), kWhite);
  EXPECT_NE(At(500, 32), kWhite);
  EXPECT_NE(At(599, 33), kWhite);
}

TEST_F(RulesOnPage, NoShadeDrawsAFlatFrame) {
  Load("<hr size=6 width=100 noshade>");
  const uint32_t black = Argb(plat::clBlack);
  for (int y = 10; y < 16; ++y) {
    EXPECT_EQ(At(250, y), black) << y;
    EXPECT_EQ(At(349, y), black) << y;
  }
  EXPECT_EQ(At(300, 10), black);
  EXPECT_EQ(At(300, 15), black);
  EXPECT_EQ(At(300, 12), kWhite);  // an outline: the inside stays the page's
  EXPECT_EQ(At(300, 16), kWhite);
}

}  // namespace
}  // namespace html::test
