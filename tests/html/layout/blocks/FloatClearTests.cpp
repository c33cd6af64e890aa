// Floating blocks and what clears them: BR CLEAR and the CSS clear of blocks.
#include "support/PaintedPage.h"

namespace html::test {
namespace {

class FloatClearOnPage : public PaintedPageTest {};

const uint32_t kRed = Argb(plat::clRed);
const uint32_t kLime = Argb(plat::clLime);
const char* const kRightFloat =
    "<div style='float:right;width:100px;height:50px;background-color:blue'></div>";
const char* const kLeftFloat =
    "<div style='float:left;width:100px;height:50px;background-color:blue'></div>";
const char* const kStrip = "<div style='height:10px;background-color:lime'></div>";

TEST_F(FloatClearOnPage, BreakClearBeforeABlockMovesTheBlockBelowTheFloat) {
  // Nothing stands between the BR and the table, which then has the whole width.
  Load(std::string(kRightFloat) +
       "<br clear=all><table style='margin:0' width=100% bgcolor=red><tr><td>a</td></tr>"
       "</table>");
  EXPECT_EQ(FindY(10, 0, 200, kRed), 50);
  EXPECT_EQ(FindX(60, 0, 600, kRed), 0);
  EXPECT_EQ(FindX(60, 599, -1, kRed, -1), 599);
}

TEST_F(FloatClearOnPage, BreakClearAfterText) {
  Load(std::string(kLeftFloat) + "<p style='margin:0'>x</p><br clear=left>" + kStrip);
  EXPECT_EQ(FindY(300, 0, 200, kLime), 50);
  EXPECT_EQ(FindX(55, 0, 600, kLime), 0);
}

TEST_F(FloatClearOnPage, BreakClearOfTheOtherSideLeavesTheFloat) {
  // A block runs under a float; the float is painted over it.
  Load(std::string(kLeftFloat) + "<br clear=right>" + kStrip);
  EXPECT_EQ(FindY(300, 0, 200, kLime), 0);
  EXPECT_EQ(FindX(5, 0, 600, kLime), 100);
}

TEST_F(FloatClearOnPage, CssClearOfABlock) {
  Load(std::string(kRightFloat) +
       "<div style='clear:right;height:10px;background-color:lime'></div>" + kStrip);
  EXPECT_EQ(FindY(300, 0, 200, kLime), 50);
  EXPECT_EQ(FindY(300, 50, 200, Argb(plat::clWhite)), 70);
}

TEST_F(FloatClearOnPage, FloatsStackSideBySide) {
  Load(
      "<div style='float:left;width:80px;height:30px;background-color:red'></div>"
      "<div style='float:left;width:70px;height:40px;background-color:lime'></div>"
      "<div style='float:right;width:60px;height:20px;background-color:blue'></div>"
      "<br clear=all>" +
      std::string(kStrip));
  EXPECT_EQ(FindX(5, 0, 600, kRed), 0);
  EXPECT_EQ(FindX(5, 0, 600, kLime), 80);
  EXPECT_EQ(FindX(5, 0, 600, Argb(plat::clBlue)), 540);
  EXPECT_EQ(FindY(100, 0, 200, kLime), 0);
  EXPECT_EQ(FindY(300, 0, 200, kLime), 40);  // below the tallest
}

}  // namespace
}  // namespace html::test
