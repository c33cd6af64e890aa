// The dialog's arithmetic against values worked out by hand.
#include <gtest/gtest.h>

#include "ExtColorSupport.h"
#include "app/extcolor/ExtendedColorDialogRules.h"

namespace {

using app::PreviewZoom;

TEST(PreviewZoom, FitsOrShrinksByTheLongerSideWithHalfEvenRounding) {
  // Fits, also exactly.
  EXPECT_TRUE(PreviewZoom(676, 640, 676, 640).Fits);
  EXPECT_EQ(PreviewZoom(100, 50, 676, 640).Percent, 100);
  // Wider than high: the width decides. 1000 x 0.67 = 670 fits, 0.68 does not: 0.75 x 67.
  EXPECT_EQ(PreviewZoom(1000, 800, 676, 640).Percent, 50);
  // Not wider than high: the height decides, even though the width does not fit either.
  // 1280 x 0.50 = 640 fits: 37.5 rounds to the even 38.
  EXPECT_EQ(PreviewZoom(700, 1280, 676, 640).Percent, 38);
  // Halves round to even: p = 6 gives 4.5 -> 4, p = 14 gives 10.5 -> 10.
  EXPECT_EQ(PreviewZoom(5000, 10000, 676, 640).Percent, 4);
  EXPECT_EQ(PreviewZoom(3000, 4500, 676, 640).Percent, 10);
  // Twenty times too large: p stops at 5, 3.75 -> 4; still 4 for pictures far larger.
  EXPECT_EQ(PreviewZoom(13520, 12800, 676, 640).Percent, 4);
  EXPECT_EQ(PreviewZoom(30000, 100, 676, 640).Percent, 4);
  EXPECT_FALSE(PreviewZoom(30000, 100, 0, 0).Fits);
}

TEST(PreviewZoom, ReducedSidesRoundHalfToEven) {
  EXPECT_EQ(app::ScaledSide(13520, 4), 541);  // 540.8
  EXPECT_EQ(app::ScaledSide(50, 5), 2);       // 2.5
  EXPECT_EQ(app::ScaledSide(70, 5), 4);       // 3.5
  EXPECT_EQ(app::ScaledSide(999, 100), 999);
}

TEST(GaugeTexts, GammaShowsHundredthsWithTwoDecimals) {
  EXPECT_EQ(app::GammaText(100), "1.00");
  EXPECT_EQ(app::GammaText(5), "0.05");
  EXPECT_EQ(app::GammaText(1), "0.01");
  EXPECT_EQ(app::GammaText(55), "0.55");
  EXPECT_EQ(app::GammaText(700), "7.00");
}

TEST(GaugeSteps, StopAtTheEndsOfEachRange) {
  using app::SteppedPosition;
  EXPECT_EQ(SteppedPosition(-229, -25, -255, 255), -254);
  EXPECT_EQ(SteppedPosition(-230, -25, -255, 255), -255);
  EXPECT_EQ(SteppedPosition(229, 25, -255, 255), 254);
  EXPECT_EQ(SteppedPosition(230, 25, -255, 255), 255);
  EXPECT_EQ(SteppedPosition(26, -25, 0, 255), 1);
  EXPECT_EQ(SteppedPosition(25, -25, 0, 255), 0);
  EXPECT_EQ(SteppedPosition(27, -25, 1, 700), 2);
  EXPECT_EQ(SteppedPosition(26, -25, 1, 700), 1);
  EXPECT_EQ(SteppedPosition(674, 25, 1, 700), 699);
  EXPECT_EQ(SteppedPosition(675, 25, 1, 700), 700);
}

TEST(RecolorKeepingAlpha, ColoursFollowTheChainAndAlphaStays) {
  gfx::TBitmap32 picture, expected;
  extcolor_test::MakeVariedPicture(picture, 37, 23);
  expected.Assign(picture);
  app::TExtendedColorSettings s;
  s.Brightness = -60;  // the chain lowers the fourth byte as well
  s.LogicalRGB = {true, 1, 200};
  app::ApplyExtendedColor(expected, s);
  gfx::TBitmap32 original;
  original.Assign(picture);
  app::RecolorKeepingAlpha(picture, s);
  extcolor_test::ExpectSamePicture(picture, expected, original);
}

}  // namespace
