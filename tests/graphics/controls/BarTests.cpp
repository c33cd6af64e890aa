// Range and gauge bars: geometry, clamping, and positions from clicks, drags, held buttons and
// the wheel through the real window.
#include <gtest/gtest.h>

#include "Fixture.h"
#include "graphics/controls/RangeBars.h"

namespace gfx {
namespace {

using controls_test::FormTest;
using plat::TMouseAction;

class Bars : public FormTest {
 protected:
  // Where a client point of the control is on the screen, for the timer's cursor checks.
  void PointerAt(plat::TControl& c, TPoint p) { plat::TestHooks().cursorPos = c.ClientToScreen(p); }
  void Press(plat::TControl& c, TPoint p) {
    PointerAt(c, p);
    plat::SimulateMouse(c, TMouseAction::Press, plat::mbLeft, p);
  }
  void Release(plat::TControl& c, TPoint p) {
    plat::SimulateMouse(c, TMouseAction::Release, plat::mbLeft, p);
  }
};

TEST_F(Bars, GaugePositionsAreClampedAndReportedOnce) {
  auto* gauge = Add<TGaugeBar>(10, 10, 200, 20);
  int changes = 0, userChanges = 0;
  gauge->OnChange = [&](plat::TObject*) { ++changes; };
  gauge->OnUserChange = [&](plat::TObject*) { ++userChanges; };
  gauge->SetMin(-255);
  gauge->SetMax(255);
  gauge->SetPosition(300);
  EXPECT_EQ(gauge->Position(), 255);
  EXPECT_EQ(changes, 1);
  gauge->SetPosition(255);
  EXPECT_EQ(changes, 1);
  gauge->SetPosition(-1000);
  EXPECT_EQ(gauge->Position(), -255);
  EXPECT_EQ(userChanges, 0);  // program changes are not the user's

  gauge->SetMax(-255);  // not above Min: one more than Min
  EXPECT_EQ(gauge->Max(), -254);
  gauge->SetMin(10);  // not below Max: one less than Max
  EXPECT_EQ(gauge->Min(), -255);
  EXPECT_EQ(gauge->Position(), -255);

  gauge->SetSmallChange(0);
  gauge->SetLargeChange(-4);
  gauge->SetHandleSize(-3);
  EXPECT_EQ(gauge->SmallChange(), 1);
  EXPECT_EQ(gauge->LargeChange(), 1);
  EXPECT_EQ(gauge->HandleSize(), 0);
}

TEST_F(Bars, ShrinkingTheRangeMovesTheGaugeInside) {
  auto* gauge = Add<TGaugeBar>(10, 10, 200, 20);
  gauge->SetPosition(80);
  int changes = 0;
  gauge->OnChange = [&](plat::TObject*) { ++changes; };
  gauge->SetMax(50);
  EXPECT_EQ(gauge->Position(), 50);
  gauge->SetMin(60);  // corrected to Max - 1 = 49; the position stays inside
  EXPECT_EQ(gauge->Min(), 49);
  EXPECT_EQ(gauge->Position(), 50);
  EXPECT_EQ(changes, 1);
}

TEST_F(Bars, RangeBarHandleFollowsTheDocumentedGeometry) {
  auto* bar = Add<TCustomRangeBar>(0, 0, 100, 16);
  bar->SetBorderStyle(plat::bsNone);
  bar->SetRange(1000);
  ASSERT_EQ(bar->VisibleSpan(), 100);  // the bar's length without a page size
  bar->SetPosition(150);
  // Buttons 16 wide, track 68: the handle is at least 17 long and sits
  // round(51 * 150 / 900) = round(8.5) = 8 pixels into the track (halves to even).
  EXPECT_EQ(bar->HandleRect(), (TRect{24, 0, 41, 16}));
  EXPECT_EQ(bar->ZoneAt(5, 8), zBtnPrev);
  EXPECT_EQ(bar->ZoneAt(20, 8), zTrackPrev);
  EXPECT_EQ(bar->ZoneAt(30, 8), zHandle);
  EXPECT_EQ(bar->ZoneAt(60, 8), zTrackNext);
  EXPECT_EQ(bar->ZoneAt(90, 8), zBtnNext);
  EXPECT_EQ(bar->ZoneAt(100, 8), zNone);

  bar->SetPosition(5000);  // clamped to Range - VisibleSpan
  EXPECT_FLOAT_EQ(bar->Position(), 900.0f);
  bar->SetPosition(-3);
  EXPECT_FLOAT_EQ(bar->Position(), 0.0f);

  bar->SetBounds(0, 0, 40, 16);  // a track of 8 pixels has no handle
  EXPECT_TRUE(bar->HandleRect().IsEmpty());

  // A large handle: t = 68, s = round(68 * 500 / 1000) = 34, offset round(68 * 250 / 1000) = 17.
  bar->SetBounds(0, 0, 100, 16);
  bar->SetPageSize(500);
  bar->SetPosition(250);
  EXPECT_EQ(bar->HandleRect(), (TRect{33, 0, 67, 16}));
}

TEST_F(Bars, ARangeWithinItsWindowShowsAFullHandleAndIgnoresPresses) {
  auto* bar = Add<TCustomRangeBar>(10, 10, 120, 16);
  bar->SetBorderStyle(plat::bsNone);
  bar->SetRangeAndWindow(50, 80);
  EXPECT_EQ(bar->HandleRect(), (TRect{16, 0, 104, 16}));
  int changes = 0;
  bar->OnChange = [&](plat::TObject*) { ++changes; };
  Press(*bar, {110, 8});
  EXPECT_EQ(bar->PressedZone(), zNone);
  Release(*bar, {110, 8});
  EXPECT_EQ(changes, 0);
  EXPECT_FLOAT_EQ(bar->Position(), 0.0f);
}

TEST_F(Bars, CenteredRangeBarsKeepTheViewCentreWhenTheRangeChanges) {
  auto* bar = Add<TCustomRangeBar>(0, 0, 100, 16);
  bar->SetBorderStyle(plat::bsNone);
  bar->SetCentered(true);
  bar->SetRange(1000);
  bar->SetPosition(450);  // the view's centre is at 500 of 1000
  bar->SetRange(2000);
  EXPECT_FLOAT_EQ(bar->Position(), 950.0f);  // 2000 * 0.5 - 100 * 0.5
  bar->SetRange(60);                         // within the window: back to the start
  EXPECT_FLOAT_EQ(bar->Position(), 0.0f);
}

TEST_F(Bars, HeldButtonsStepAtOnceThenRepeatUntilTheEnd) {
  auto* gauge = Add<TGaugeBar>(10, 10, 200, 20);  // single border: client 198 x 18
  gauge->SetMax(3);
  int userChanges = 0;
  gauge->OnUserChange = [&](plat::TObject*) { ++userChanges; };
  TPoint second{190, 9};
  Press(*gauge, second);
  EXPECT_EQ(gauge->PressedZone(), zBtnNext);
  EXPECT_EQ(gauge->Position(), 1);  // one step at once
  EXPECT_TRUE(gauge->Timer().Enabled());
  EXPECT_EQ(gauge->Timer().Interval(), 600u);
  EXPECT_EQ(gauge->TimerMode(), TimerFirstRepeat);

  gauge->TimerTick(nullptr);  // the first repeat: faster from now on
  EXPECT_EQ(gauge->Position(), 2);
  EXPECT_EQ(gauge->Timer().Interval(), 100u);
  EXPECT_EQ(gauge->TimerMode(), TimerRepeating);
  gauge->TimerTick(nullptr);
  EXPECT_EQ(gauge->Position(), 3);
  gauge->TimerTick(nullptr);  // at the end: no move, the timer only hot-tracks
  EXPECT_EQ(gauge->Position(), 3);
  EXPECT_EQ(gauge->TimerMode(), TimerHotTrack);
  EXPECT_EQ(gauge->Timer().Interval(), 150u);
  EXPECT_EQ(userChanges, 3);

  Release(*gauge, second);
  EXPECT_EQ(gauge->PressedZone(), zNone);
  plat::TestHooks().cursorPos = TPoint{-500, -500};  // the pointer left: hot tracking stops
  gauge->TimerTick(nullptr);
  EXPECT_FALSE(gauge->Timer().Enabled());
  EXPECT_EQ(gauge->HoverZone(), zNone);
}

TEST_F(Bars, TrackPressesPageOnlyWhileThePointerStaysOnTheirSide) {
  auto* gauge = Add<TGaugeBar>(10, 10, 200, 20);
  gauge->SetLargeChange(10);
  gauge->SetPosition(50);
  // Track 18..180, handle 18 long at 18 + round(144 * 50 / 100) = 90.
  ASSERT_EQ(gauge->HandleRect(), (TRect{90, 0, 108, 18}));
  Press(*gauge, {150, 9});
  EXPECT_EQ(gauge->PressedZone(), zTrackNext);
  EXPECT_EQ(gauge->Position(), 60);
  gauge->TimerTick(nullptr);
  EXPECT_EQ(gauge->Position(), 70);
  PointerAt(*gauge, {40, 9});  // the pointer moved before the handle: no more pages
  gauge->TimerTick(nullptr);
  EXPECT_EQ(gauge->Position(), 70);
  Release(*gauge, {40, 9});

  Press(*gauge, {40, 9});
  EXPECT_EQ(gauge->PressedZone(), zTrackPrev);
  EXPECT_EQ(gauge->Position(), 60);
  Release(*gauge, {40, 9});
}

TEST_F(Bars, DraggingTheHandleMovesByTheDraggedShareOfTheRange) {
  auto* gauge = Add<TGaugeBar>(10, 10, 200, 20);
  gauge->SetMax(144);  // the handle travels 144 pixels: one unit per pixel
  int userChanges = 0;
  gauge->OnUserChange = [&](plat::TObject*) { ++userChanges; };
  Press(*gauge, {27, 9});
  EXPECT_EQ(gauge->PressedZone(), zHandle);
  plat::SimulateMouse(*gauge, TMouseAction::Move, plat::mbLeft, {77, 12}, plat::ssLeft);
  EXPECT_EQ(gauge->Position(), 50);
  plat::SimulateMouse(*gauge, TMouseAction::Move, plat::mbLeft, {500, 12}, plat::ssLeft);
  EXPECT_EQ(gauge->Position(), 144);
  plat::SimulateMouse(*gauge, TMouseAction::Move, plat::mbLeft, {7, 12}, plat::ssLeft);
  EXPECT_EQ(gauge->Position(), 0);
  Release(*gauge, {7, 12});
  EXPECT_EQ(userChanges, 3);

  gauge->SetMax(288);  // two units per pixel
  gauge->SetPosition(100);
  Press(*gauge, {18 + 50 + 5, 9});  // the handle starts at round(144 * 100 / 288) = 50
  ASSERT_EQ(gauge->PressedZone(), zHandle);
  plat::SimulateMouse(*gauge, TMouseAction::Move, plat::mbLeft, {18 + 50 + 5 - 10, 9},
                      plat::ssLeft);
  EXPECT_EQ(gauge->Position(), 80);
  Release(*gauge, {0, 0});
}

TEST_F(Bars, VerticalRangeBarsDragAlongTheirHeight) {
  auto* bar = Add<TCustomRangeBar>(10, 10, 16, 200);
  bar->SetBorderStyle(plat::bsNone);
  bar->SetKind(plat::sbVertical);
  bar->SetRange(400);  // window 200: handle round(168 * 200 / 400) = 84 long
  int userChanges = 0;
  bar->OnUserChange = [&](plat::TObject*) { ++userChanges; };
  ASSERT_EQ(bar->HandleRect(), (TRect{0, 16, 16, 100}));
  Press(*bar, {8, 50});
  plat::SimulateMouse(*bar, TMouseAction::Move, plat::mbLeft, {8, 92}, plat::ssLeft);
  EXPECT_FLOAT_EQ(bar->Position(), 100.0f);  // 400 * 42 / 168
  Release(*bar, {8, 92});
  EXPECT_EQ(userChanges, 1);
}

TEST_F(Bars, WheelStepsAreNotTheUsersChanges) {
  auto* gauge = Add<TGaugeBar>(10, 10, 200, 20);
  gauge->SetSmallChange(5);
  gauge->SetPosition(50);
  int userChanges = 0;
  gauge->OnUserChange = [&](plat::TObject*) { ++userChanges; };
  plat::SimulateWheel(*gauge, 120, {50, 9});
  EXPECT_EQ(gauge->Position(), 55);
  plat::SimulateWheel(*gauge, -240, {50, 9});
  EXPECT_EQ(gauge->Position(), 45);
  plat::SimulateWheel(*gauge, 60, {50, 9});  // half a notch waits for the other half
  EXPECT_EQ(gauge->Position(), 45);
  plat::SimulateWheel(*gauge, 60, {50, 9});
  EXPECT_EQ(gauge->Position(), 50);

  auto* bar = Add<TCustomRangeBar>(10, 40, 100, 16);
  bar->SetRange(1000);
  plat::SimulateWheel(*bar, 60, {50, 8});  // Increment 8: half a notch is 4
  EXPECT_FLOAT_EQ(bar->Position(), 4.0f);
  EXPECT_EQ(userChanges, 0);
}

TEST_F(Bars, AccessForwardsAppearanceToBothBars) {
  auto* first = Add<TGaugeBar>(10, 10, 100, 16);
  auto* second = Add<TCustomRangeBar>(10, 40, 100, 16);
  TArrowBarAccess access(first, second);
  access.SetStyle(rbsMac);
  access.SetShowArrows(false);
  access.SetHandleColor(plat::clRed);
  EXPECT_EQ(second->Style(), rbsMac);
  EXPECT_FALSE(second->ShowArrows());
  EXPECT_EQ(second->HandleColor(), plat::clRed);
  second->SetButtonSize(9);
  EXPECT_EQ(access.ButtonSize(), 0);  // read from the first bar
  // Without arrows the track is the whole client: a gauge handle as thick as the bar.
  first->SetBorderStyle(plat::bsNone);
  EXPECT_EQ(first->HandleRect(), (TRect{0, 0, 16, 16}));
}

TEST_F(Bars, BothStylesPaintTheirParts) {
  for (TRBStyle style : {rbsDefault, rbsMac}) {
    auto* gauge = Add<TGaugeBar>(10, 10, 120, 20);
    gauge->SetStyle(style);
    gauge->SetPosition(40);
    gauge->SetHandleColor(plat::clRed);
    Settle();
    plat::TCapturedImage shot = plat::CaptureControl(*gauge);
    ASSERT_EQ(shot.width, 120);
    // Inside the handle's frames: the handle colour in the second style, else the button face.
    TRect h = gauge->HandleRect();
    uint32_t inside = shot.Pixel(1 + h.Left + 2, 1 + (h.Top + h.Bottom) / 2);
    plat::TColor face = plat::ColorToRGB(plat::clBtnFace);
    uint32_t faceArgb = 0xFF000000u | uint32_t(plat::GetRValue(face)) << 16 |
                        uint32_t(plat::GetGValue(face)) << 8 | plat::GetBValue(face);
    EXPECT_EQ(inside, style == rbsMac ? 0xFFFF0000u : faceArgb);
    form.DestroyComponent(gauge);
  }
}

}  // namespace
}  // namespace gfx
