// The canvas a picture is turned on and the folding of the angle it brings along.
#include <gtest/gtest.h>

#include "app/rotate/RotateDialog.h"
#include "graphics/bitmap/Bitmap32.h"

namespace {

TEST(RotateCanvas, SideIsTheLargerSideWithRoomForTurningRoundedHalfToEven) {
  const struct {
    int32_t larger;
    bool before;
    int32_t side;
  } cases[] = {
      {400, false, 580},     {400, true, 420}, {300, false, 435}, {300, true, 315},
      {1, false, 1},         {1, true, 1},     {2, false, 3},  // 2.9
      {10, true, 10},                                          // 10.5 goes down to even
      {30, true, 32},                                          // 31.5 goes up to even
      {11299, false, 16384},                                   // exactly the pixel limit
  };
  for (const auto& c : cases)
    EXPECT_EQ(app::RotateCanvasSide(c.larger, c.before), c.side)
        << c.larger << (c.before ? " turned before" : "");
}

TEST(RotateCanvas, ACanvasBeyondThePictureLimitsIsRefusedWithItsSize) {
  // 11300 x 1.45 = 16385: one row more than 2^28 pixels allow.
  try {
    app::RotateCanvasSide(11300, false);
    FAIL() << "no error";
  } catch (const gfx::EBitmapException& e) {
    EXPECT_NE(std::string(e.what()).find("16385 x 16385"), std::string::npos) << e.what();
  }
  EXPECT_THROW(app::RotateCanvasSide(32767, true), gfx::EBitmapException);
  EXPECT_EQ(app::RotateCanvasSide(15603, true), 16383);
}

TEST(RotateCanvas, StartAngleIsFoldedOnceFromEachSide) {
  const struct {
    int32_t in, out;
  } cases[] = {{370, 10},  {725, 365},   {-400, -40}, {360, 0}, {-360, 0},
               {359, 359}, {-359, -359}, {0, 0},      {90, 90}, {-725, -365}};
  for (const auto& c : cases) EXPECT_EQ(app::FoldStartAngle(c.in), c.out) << c.in;
}

}  // namespace
