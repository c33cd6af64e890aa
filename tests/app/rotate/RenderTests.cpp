// What the dialog draws: the centred, turned picture, stamped copies, the angle it reports and
// the values its edits start from.
#include <cmath>

#include "RotateSupport.h"
#include "graphics/controls/Image.h"

namespace {

using namespace rotate_test;

TEST_F(RotateDialogTest, AtZeroDegreesThePictureIsCopiedIntoTheMiddleOfAClearCanvas) {
  // 145 - 99 = 46: the picture lands exactly 23 pixels in from each side.
  OpenSquare(100, {});
  ASSERT_EQ(Canvas().Width(), 145);
  for (int y = 0; y < 145; ++y)
    for (int x = 0; x < 145; ++x) {
      const bool inside = x >= 23 && x < 123 && y >= 23 && y < 123;
      // The row and column just outside take a share of the edge from the linear sampling.
      const bool rim = x == 22 || x == 123 || y == 22 || y == 123;
      if (inside) {
        ASSERT_TRUE(Near(Canvas().Pixel(x, y), kBlue)) << x << "," << y;
      } else if (!rim) {
        ASSERT_EQ(Canvas().Pixel(x, y), kClear) << x << "," << y;
      }
    }
}

TEST_F(RotateDialogTest, AnyTurnKeepsThePictureAboutTheCentreAndItsCoverage) {
  OpenSquare(100, {});
  // Placed W - 1 apart from the canvas edges, the picture's middle lies half a pixel right of and
  // below the canvas middle (at index 72.5, position 73, of a 145 canvas), and turns about itself.
  const double middle = 72.5;
  for (int angle : {-180, -137, -90, -45, -30, 0, 17, 45, 90, 180}) {
    dialog->Angle->SetPosition(angle);
    const AlphaMass m = MeasureAlpha(Canvas());
    // The soft rim is cut a little unevenly by the sampled area's bounds.
    EXPECT_NEAR(m.x, middle, 0.3) << angle;
    EXPECT_NEAR(m.y, middle, 0.3) << angle;
    // Only the soft rim of the edges loses some cover.
    EXPECT_NEAR(m.total, 100.0 * 100 * 255, 0.04 * 100 * 100 * 255) << angle;
    // Turned in mode 1 the canvas is cleared first: the corners stay clear.
    EXPECT_EQ(Canvas().Pixel(0, 0), kClear) << angle;
    EXPECT_EQ(Canvas().Pixel(144, 144), kClear) << angle;
  }
}

TEST_F(RotateDialogTest, TheAngleButtonsTurnClockwiseOnTheScreen) {
  // A red block in the top-left corner of a blue picture goes to the top-right corner.
  gfx::TBitmap32 b;
  Fill(b, 100, 100, kBlue);
  b.FillRectS(0, 0, 30, 30, kRed);
  Open(b, {});
  dialog->Button180Click(nullptr);
  EXPECT_EQ(dialog->Angle->Position(), 90);
  double count = 0, sx = 0, sy = 0;
  for (int y = 0; y < Canvas().Height(); ++y)
    for (int x = 0; x < Canvas().Width(); ++x)
      if (Near(Canvas().Pixel(x, y), kRed)) {
        ++count;
        sx += x;
        sy += y;
      }
  ASSERT_GT(count, 700);
  EXPECT_GT(sx / count, 72.5 + 20);
  EXPECT_LT(sy / count, 72.5 - 20);
}

TEST_F(RotateDialogTest, ButtonsSetTheGaugeAndTheAngleCountsFromTheFoldedStartAngle) {
  Values v;
  v.angle = 370;
  v.rotatedBefore = true;
  OpenSquare(100, v);
  const int canvasBottom = dialog->Dst->Top() + dialog->Dst->Height();
  EXPECT_TRUE(dialog->Label2->Visible());
  EXPECT_EQ(dialog->Label2->Caption(), "(Old : 10°)");
  EXPECT_EQ(dialog->Label1->Top(), canvasBottom + 5);
  EXPECT_EQ(dialog->GetAngle(), 370);  // nothing turned yet

  dialog->Button180Click(nullptr);
  gfx::TBitmap32 once;
  once.Assign(Canvas());
  EXPECT_EQ(dialog->GetAngle(), 100);
  EXPECT_EQ(dialog->Label1->Caption(), "Angle : 90°");
  // Pressed again the gauge does not move; the canvas ends the same.
  dialog->Button180Click(nullptr);
  EXPECT_TRUE(Canvas().Equal(once));
  EXPECT_EQ(dialog->GetAngle(), 100);

  for (auto [press, degrees] : {std::pair{&app::TFormRotateExample::Button90Click, 45},
                                {&app::TFormRotateExample::Button270Click, 135},
                                {&app::TFormRotateExample::Button360Click, 180}}) {
    (dialog.get()->*press)(nullptr);
    EXPECT_EQ(dialog->Angle->Position(), degrees);
    EXPECT_EQ(dialog->GetAngle(), degrees + 10);
  }
  dialog->Angle->SetPosition(-20);
  EXPECT_EQ(dialog->GetAngle(), -10);

  OpenSquare(100, {});
  EXPECT_FALSE(dialog->Label2->Visible());
  EXPECT_EQ(dialog->Label1->Top(), canvasBottom + 14);
}

TEST_F(RotateDialogTest, TheEditsStartFromTheStepValuesOrTheirDefaults) {
  const struct {
    int mode, steps, stepAngle;
    const char *stepsText, *angleText;
  } cases[] = {{2, 0, 0, "12", "30"},
               {2, 5, 15, "5", "15"},
               {2, 7, 0, "7", "30"},
               {1, 0, 0, "1", "6"},
               {1, 5, 15, "1", "6"}};
  for (const auto& c : cases) {
    Values v;
    v.mode = c.mode;
    v.steps = c.steps;
    v.stepAngle = c.stepAngle;
    OpenSquare(20, v);
    EXPECT_EQ(dialog->StepsEdit->Text(), c.stepsText) << c.mode << " " << c.steps;
    EXPECT_EQ(dialog->AngleEdit->Text(), c.angleText) << c.mode << " " << c.stepAngle;
    EXPECT_EQ(dialog->StepsEdit->Enabled(), c.mode == 2);
    EXPECT_EQ(dialog->Label3->Enabled(), c.mode == 2);
    // The getters give back what was set until a step is done.
    EXPECT_EQ(dialog->GetSteps(), c.steps);
    EXPECT_EQ(dialog->GetStepAngle(), c.stepAngle);
  }
}

TEST_F(RotateDialogTest, PlainStepsMoveTheGaugeWithinItsRange) {
  OpenSquare(20, {});
  dialog->AngleEdit->SetText("100");
  dialog->StepButtonClick(nullptr);
  EXPECT_EQ(dialog->Angle->Position(), 100);
  dialog->StepButtonClick(nullptr);
  EXPECT_EQ(dialog->Angle->Position(), 180);
  EXPECT_EQ(dialog->GetAngle(), 180);
  EXPECT_EQ(dialog->GetStepAngle(), 100);
  dialog->AngleEdit->SetText("-360");
  dialog->StepButtonClick(nullptr);
  EXPECT_EQ(dialog->Angle->Position(), -180);
}

TEST_F(RotateDialogTest, BadStepTextsAreReplacedByTheDefaults) {
  const struct {
    const char *steps, *angle, *stepsAfter, *angleAfter;
    int count, stepAngle;
  } cases[] = {{"3", "abc", "3", "30", 3, 30},    {"3", "400", "3", "30", 3, 30},
               {"0", "90", "12", "90", 12, 90},   {"361", "-360", "12", "-360", 12, -360},
               {" 4", "$5A", " 4", "$5A", 4, 90}, {"2x", "", "12", "30", 12, 30}};
  for (const auto& c : cases) {
    Values v;
    v.mode = 2;
    OpenSquare(10, v);
    dialog->StepsEdit->SetText(c.steps);
    dialog->AngleEdit->SetText(c.angle);
    dialog->StepButtonClick(nullptr);
    EXPECT_EQ(dialog->StepsEdit->Text(), c.stepsAfter) << c.steps;
    EXPECT_EQ(dialog->AngleEdit->Text(), c.angleAfter) << c.angle;
    EXPECT_EQ(dialog->GetSteps(), c.count) << c.steps;
    EXPECT_EQ(dialog->GetStepAngle(), c.stepAngle) << c.angle;
  }
}

TEST_F(RotateDialogTest, StampedStepsSpreadEvenlyAroundTheCentre) {
  // A bar through the centre stamped every 30 degrees covers the four quadrants alike.
  gfx::TBitmap32 bar;
  Fill(bar, 100, 8, kBlue);
  Values v;
  v.mode = 2;
  v.angle = 40;
  Open(bar, v);
  dialog->StepsEdit->SetText("12");
  dialog->AngleEdit->SetText("30");
  dialog->StepButtonClick(nullptr);
  EXPECT_EQ(dialog->Angle->Position(), 0);
  EXPECT_EQ(dialog->GetAngle(), 40);
  // About the bar's middle, half a pixel right of and below the canvas middle.
  const std::array<double, 4> q = QuadrantMass(Canvas(), 73, 73);
  for (double m : q) EXPECT_NEAR(m, q[0], 0.02 * q[0]);
  // The stamps lie on the clear canvas of the first render: corners stay clear.
  EXPECT_EQ(Canvas().Pixel(0, 0), kClear);
  // Stamps add up: more is covered than by one bar.
  EXPECT_GT(MeasureAlpha(Canvas()).total, 4 * 100.0 * 8 * 255);
}

TEST_F(RotateDialogTest, StampingButtonsFanCopiesClockwiseAndSkipTheGaugesOwnRender) {
  gfx::TBitmap32 bar;
  Fill(bar, 100, 6, kBlue);
  Values v;
  v.mode = 2;
  Open(bar, v);
  dialog->Button90Click(nullptr);
  EXPECT_EQ(dialog->GetAngle(), 45);
  // 40 pixels out from the centre at 30 degrees below the right-hand axis (clockwise on the
  // screen) the fan is covered; as far above it, only its mirror through the centre is.
  const double c = 72.5, r = 40, a = 30 * M_PI / 180;
  const int dx = int(std::lround(r * std::cos(a))), dy = int(std::lround(r * std::sin(a)));
  EXPECT_EQ(Canvas().Pixel(int(c) + dx, int(c) + dy) >> 24, 255u);
  EXPECT_EQ(Canvas().Pixel(int(c) + dx, int(c) - dy) >> 24, 0u);
  EXPECT_EQ(Canvas().Pixel(int(c) - dx, int(c) - dy) >> 24, 255u);

  // Pressed again with the gauge already there: the skip stays pending, so the next gauge move
  // draws nothing and only the one after it draws.
  dialog->Button90Click(nullptr);
  gfx::TBitmap32 before;
  before.Assign(Canvas());
  dialog->Angle->SetPosition(100);
  EXPECT_TRUE(Canvas().Equal(before));
  EXPECT_EQ(dialog->GetAngle(), 100);
  dialog->Angle->SetPosition(90);
  EXPECT_FALSE(Canvas().Equal(before));
}

TEST_F(RotateDialogTest, ResetWhileStampingStartsOverOnOpaqueBlack) {
  Values v;
  v.mode = 2;
  OpenSquare(40, v);
  dialog->Button360Click(nullptr);
  dialog->ButtonZeroClick(nullptr);
  EXPECT_EQ(dialog->Angle->Position(), 0);
  EXPECT_EQ(Canvas().Width(), 58);
  EXPECT_EQ(Canvas().Pixel(0, 0), 0xFF000000u);
  EXPECT_TRUE(Near(Canvas().Pixel(29, 29), kBlue));
  EXPECT_EQ(dialog->Src->Bitmap().Pixel(0, 0), kBlue);
}

TEST_F(RotateDialogTest, AnInteractionChangesHowTheCanvasIsShownNotItsPixels) {
  OpenSquare(30, {});
  gfx::TBitmap32 plain;
  plain.Assign(Canvas());
  EXPECT_EQ(Canvas().DrawMode(), gfx::dmOpaque);
  for (int mode : {1, 10, 12}) {
    Values v;
    v.combine = mode;
    OpenSquare(30, v);
    EXPECT_EQ(Canvas().DrawMode(), gfx::dmCustom) << mode;
    EXPECT_EQ(bool(Canvas().OnPixelCombine), mode <= 10) << mode;
    for (int y = 0; y < Canvas().Height(); ++y)
      for (int x = 0; x < Canvas().Width(); ++x)
        ASSERT_EQ(Canvas().Pixel(x, y), plain.Pixel(x, y)) << mode << " " << x << "," << y;
  }
}

TEST_F(RotateDialogTest, APictureWhoseCanvasWouldBeTooLargeIsRefusedBeforeAnyCanvasIsMade) {
  gfx::TBitmap32 wide;
  Fill(wide, 11300, 2, kBlue);
  wide.SaveToFile(workFile);
  dialog = std::make_unique<app::TFormRotateExample>(nullptr);
  dialog->SetMode(1);
  EXPECT_THROW(dialog->SetFileName(workFile), gfx::EBitmapException);
  EXPECT_TRUE(Canvas().Empty());
}

}  // namespace
