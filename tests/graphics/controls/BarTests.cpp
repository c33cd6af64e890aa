// Range and gauge bars: geometry, clamping, and positions from clicks, drags, held buttons and
// the wheel through the real window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

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
  // The zone under a point, as the bar sees it.
  static TBarZone ShownZone(TArrowBar& bar, TPoint p) { return bar.ZoneAt(p.X, p.Y); }
  // Presses at a point, moves D pixels along the bar and lets go there.
  void Drag(TArrowBar& bar, TPoint from, int32_t d, bool horz) {
    Press(bar, from);
    const TPoint to = horz ? TPoint{from.X + d, from.Y} : TPoint{from.X, from.Y + d};
    plat::SimulateMouse(bar, TMouseAction::Move, plat::mbLeft, to, plat::ssLeft);
    Release(bar, to);
  }

 public:
  using FormTest::Add;
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

// Button sizes at the ends of the integer range: the largest acts as any size beyond half the
// bar (two buttons meeting in the middle), the most negative as any negative one (no buttons).
TEST_F(Bars, ButtonSizesAtTheEndsOfTheIntegerRangeActLikeAnyOther) {
  auto* gauge = Add<TGaugeBar>(10, 10, 200, 20);
  auto* model = Add<TGaugeBar>(10, 40, 200, 20);
  const int32_t sizes[][2] = {{INT32_MAX, 1000}, {(1 << 30) + 1, 1000}, {INT32_MIN, -5}};
  for (TRBStyle style : {rbsDefault, rbsMac})
    for (const auto& size : sizes) {
      gauge->SetStyle(style);
      model->SetStyle(style);
      gauge->SetButtonSize(size[0]);
      model->SetButtonSize(size[1]);
      for (int32_t x = 0; x < 200; ++x)
        ASSERT_EQ(ShownZone(*gauge, {x, 9}), ShownZone(*model, {x, 9})) << size[0] << " " << x;
      ASSERT_EQ(gauge->HandleRect(), model->HandleRect()) << size[0];
      gauge->Repaint();
    }
  gauge->SetStyle(rbsDefault);
  gauge->SetButtonSize(INT32_MAX);
  Press(*gauge, {150, 9});
  EXPECT_EQ(gauge->Position(), 1);  // the second button steps up
  Release(*gauge, {150, 9});
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

TEST_F(Bars, TiltsGestureEdgesFineStepsAndTouchpadPixelsMoveAsTheWheelWould) {
  const int notchPixels = plat::Mouse().WheelScrollLines() * 16;
  auto* gauge = Add<TGaugeBar>(10, 10, 200, 20);
  gauge->SetSmallChange(5);
  gauge->SetPosition(50);
  auto* bar = Add<TCustomRangeBar>(10, 40, 100, 16);
  bar->SetRange(1000);
  bar->SetPosition(100);
  const auto send = [](plat::TControl& control, const plat::TWheelTurn& turn) {
    plat::SimulateWheel(control, turn, {50, 8});
  };
  for (const plat::TWheelTurn& still : {plat::TWheelTurn{{120, 0}, {}, plat::TWheelPhase::None},
                                        plat::TWheelTurn{{-120, 0}, {}, plat::TWheelPhase::None},
                                        plat::TWheelTurn{{}, {}, plat::TWheelPhase::Begin},
                                        plat::TWheelTurn{{}, {}, plat::TWheelPhase::End}}) {
    send(*gauge, still);
    send(*bar, still);
  }
  EXPECT_EQ(gauge->Position(), 50);
  EXPECT_FLOAT_EQ(bar->Position(), 100.0f);

  // Eight fine steps make a notch; so do a notch's pixels from a touchpad.
  for (int i = 0; i < 8; ++i) {
    send(*gauge, {{0, 15}, {}, plat::TWheelPhase::None});
    send(*bar, {{0, 15}, {}, plat::TWheelPhase::None});
  }
  EXPECT_EQ(gauge->Position(), 55);
  EXPECT_FLOAT_EQ(bar->Position(), 108.0f);
  send(*gauge, {{}, {0, notchPixels}, plat::TWheelPhase::Update});
  send(*bar, {{}, {0, notchPixels}, plat::TWheelPhase::Update});
  EXPECT_EQ(gauge->Position(), 60);
  EXPECT_FLOAT_EQ(bar->Position(), 116.0f);
}

TEST_F(Bars, AGaugeTurnedBackForgetsThePartOfANotchBefore) {
  auto* gauge = Add<TGaugeBar>(10, 10, 200, 20);
  gauge->SetSmallChange(5);
  gauge->SetPosition(50);
  plat::SimulateWheel(*gauge, -60, {50, 9});
  plat::SimulateWheel(*gauge, 120, {50, 9});
  EXPECT_EQ(gauge->Position(), 55);
  plat::SimulateWheel(*gauge, -360, {50, 9});
  EXPECT_EQ(gauge->Position(), 40);
}

// ---- Models of the geometry and of the user's steps, written from the bars' definitions ----

// Half to even, as the bars round.
double RoundHalfEven(double v) {
  return std::nearbyint(v);
}

struct BarGeometry {
  bool horz;
  int32_t length, thickness, button, track;  // along and across the client, the button, the track
  // The client rectangle of the part of the track from start, n long.
  TRect Along(int32_t start, int32_t n) const {
    return horz ? TRect{button + start, 0, button + start + n, thickness}
                : TRect{0, button + start, thickness, button + start + n};
  }
  TPoint At(int32_t along, int32_t across) const {
    return horz ? TPoint{along, across} : TPoint{across, along};
  }
  // A point Inset pixels into the first or the second button.
  TPoint OnButton(bool first, int32_t inset) const {
    return At(first ? inset : length - 1 - inset, thickness / 2);
  }
};

// Button size: 0 without arrows, else the set size or the thickness up to 32, at most half the
// length, one less in the second style, and 0 when below 2.
BarGeometry GeometryOf(TArrowBar& bar, bool horz) {
  const TRect c = bar.ClientRect();
  BarGeometry g{horz, horz ? c.Width() : c.Height(), horz ? c.Height() : c.Width(), 0, 0};
  if (bar.ShowArrows()) {
    int32_t b = bar.ButtonSize() != 0 ? bar.ButtonSize() : std::min(g.thickness, 32);
    if (g.length <= 2 * b) b = g.length / 2;
    if (bar.Style() == rbsMac) --b;
    g.button = b < 2 ? 0 : b;
  }
  g.track = std::max(0, g.length - 2 * g.button);
  return g;
}

struct Randomness {
  std::mt19937 random;
  int32_t Between(int32_t lo, int32_t hi) {
    return int32_t(lo + int64_t(random() % uint64_t(int64_t(hi) - lo + 1)));
  }
  int32_t AnyValue() {
    static const int32_t edges[] = {INT32_MIN, INT32_MAX, INT32_MIN + 1, INT32_MAX - 1, 0, -1, 1};
    return random() % 4 == 0 ? edges[random() % std::size(edges)] : Between(-1000, 1000);
  }
  // A bar of random size, kind, border and appearance.
  template <class Bar>
  Bar* Make(Bars& test, bool& horz) {
    horz = random() % 2;
    const int32_t length = Between(10, 400), thickness = Between(4, 40);
    Bar* bar = test.template Add<Bar>(10, 10, horz ? length : thickness, horz ? thickness : length);
    bar->SetKind(horz ? plat::sbHorizontal : plat::sbVertical);
    bar->SetBorderStyle(random() % 2 ? plat::bsSingle : plat::bsNone);
    bar->SetShowArrows(random() % 5 != 0);
    bar->SetButtonSize(random() % 3 == 0 ? Between(1, 50) : 0);
    bar->SetStyle(random() % 2 ? rbsMac : rbsDefault);
    return bar;
  }
};

// Random gauges with random, extreme and degenerate settings: the handle, the zones, and the
// position after presses on the buttons and the track, drags of the handle and wheel turns
// delivered through the window.
TEST_F(Bars, GaugesFollowTheModelOfTheirGeometryAndSteps) {
  Randomness r{std::mt19937(166)};
  int stepsChecked = 0;
  for (int round = 0; round < 120; ++round) {
    bool horz;
    auto* gauge = r.Make<TGaugeBar>(*this, horz);
    int32_t min = r.AnyValue(), max = r.AnyValue();
    if (min == max) max = min == INT32_MAX ? min : min + 1;
    if (min > max) std::swap(min, max);
    gauge->SetMin(INT32_MIN);
    gauge->SetMax(max);
    gauge->SetMin(min);
    gauge->SetSmallChange(random() % 3 ? r.Between(1, 20) : r.AnyValue());
    gauge->SetLargeChange(random() % 3 ? r.Between(1, 50) : r.AnyValue());
    gauge->SetHandleSize(random() % 2 ? 0 : r.Between(-5, 60));
    gauge->SetPosition(r.AnyValue());
    int userChanges = 0, changes = 0;
    gauge->OnChange = [&](plat::TObject*) { ++changes; };
    gauge->OnUserChange = [&](plat::TObject*) { ++userChanges; };
    const BarGeometry g = GeometryOf(*gauge, horz);
    const int64_t span = int64_t(gauge->Max()) - gauge->Min();
    int64_t rest = 0;
    for (int step = 0; step < 12; ++step) {
      // The handle: the set size or the thickness, leaving the track at least one pixel.
      int32_t size = gauge->HandleSize() != 0 ? gauge->HandleSize() : g.thickness;
      if (g.track - size < 1) size = g.track - 1;
      size = std::max(size, 0);
      const int32_t travel = g.track - size;
      const int64_t position = gauge->Position();
      const int32_t offset =
          travel > 0 && span > 0
              ? int32_t(RoundHalfEven(double(travel) * (position - gauge->Min()) / double(span)))
              : 0;
      ASSERT_EQ(gauge->HandleRect(), g.Along(offset, size)) << round;
      const int32_t across = g.thickness / 2;
      int64_t expected = position;
      bool byUser = true;
      const auto clamped = [&](double v) {
        return int64_t(std::clamp(v, double(gauge->Min()), double(gauge->Max())));
      };
      TPoint press;
      const int action = int(random() % 5);
      if (action <= 1 && g.button > 0) {  // a button: one small step at once
        press = g.OnButton(action == 0, r.Between(0, g.button - 1));
        expected = clamped(double(position) + (action == 0 ? -1.0 : 1.0) * gauge->SmallChange());
      } else if (action == 2 && offset > 1) {  // the track before the handle
        press = g.At(g.button + r.Between(1, offset - 1), across);
        if (g.button + offset <= 1 || ShownZone(*gauge, press) != zTrackPrev) continue;
        expected = clamped(double(position) - gauge->LargeChange());
      } else if (action == 3 && size > 0 && travel > 0) {  // drag the handle
        press = g.At(g.button + offset + size / 2, across);
        if (ShownZone(*gauge, press) != zHandle) continue;
        const int32_t d = r.Between(-g.length, g.length);
        Drag(*gauge, press, d, horz);
        ASSERT_EQ(gauge->Position(),
                  clamped(RoundHalfEven(double(position) + double(span) * d / travel)))
            << round << " drag " << d;
        ++stepsChecked;
        continue;
      } else {  // the wheel: whole notches move by the small change
        const int delta = r.Between(-8, 8) * 30;
        plat::SimulateWheel(*gauge, delta, g.At(g.length / 2, across));
        if ((rest < 0 && delta > 0) || (rest > 0 && delta < 0)) rest = 0;  // turned back
        rest += delta;
        const int64_t notches = rest / 120;
        rest -= notches * 120;
        ASSERT_EQ(gauge->Position(),
                  clamped(double(position) + double(notches) * gauge->SmallChange()));
        byUser = false;
        ++stepsChecked;
        continue;
      }
      const int before = userChanges;
      Press(*gauge, press);
      Release(*gauge, press);
      ASSERT_EQ(gauge->Position(), expected) << round << " action " << action;
      ASSERT_EQ(userChanges - before, byUser && expected != position ? 1 : 0);
      ++stepsChecked;
    }
    form.DestroyComponent(gauge);
  }
  EXPECT_GT(stepsChecked, 500);
}

// Random range bars, huge ranges too: the visible span, the handle, and the position after
// presses on the buttons and the track, drags of the handle and wheel turns through the window.
TEST_F(Bars, RangeBarsFollowTheModelOfTheirGeometryAndSteps) {
  Randomness r{std::mt19937(1660)};
  int stepsChecked = 0;
  for (int round = 0; round < 120; ++round) {
    bool horz;
    auto* bar = r.Make<TCustomRangeBar>(*this, horz);
    const int32_t range = random() % 4 == 0 ? r.Between(0, INT32_MAX) : r.Between(0, 3000);
    const int32_t page = random() % 2 ? 0 : r.Between(-10, 2000);
    bar->SetRangeAndWindow(range, page);
    bar->SetIncrement(uint16_t(r.Between(0, 65535)));
    bar->SetPosition(float(r.Between(-100, range)));
    // The visible span is the page, or the bar's length without one.
    const int32_t span = page > 0 ? page : horz ? bar->Width() : bar->Height();
    ASSERT_EQ(bar->VisibleSpan(), span);
    ASSERT_GE(bar->Position(), 0.0f);
    ASSERT_LE(bar->Position(), std::max(0.0f, float(range - span)));
    const BarGeometry g = GeometryOf(*bar, horz);
    int userChanges = 0;
    bar->OnUserChange = [&](plat::TObject*) { ++userChanges; };
    const auto clamped = [&](double v) { return std::max(0.0, std::min(v, double(range) - span)); };
    for (int step = 0; step < 12; ++step) {
      const double position = bar->Position();
      // The handle: none on a track shorter than 18, the whole track when all is visible, else
      // its share of the track, at least 17 long.
      TRect handle{};
      int32_t size = 0, offset = 0;
      if (g.track >= 18) {
        size = g.track;
        if (span < range) {
          size = int32_t(RoundHalfEven(double(g.track) * span / range));
          if (size < 17) {
            size = 17;
            offset = int32_t(RoundHalfEven((g.track - 17) * position / (double(range) - span)));
          } else {
            offset = int32_t(RoundHalfEven(g.track * position / range));
          }
        }
        handle = g.Along(offset, size);
      }
      ASSERT_EQ(bar->HandleRect(), handle) << round;
      const int32_t across = g.thickness / 2;
      const int action = int(random() % 5);
      double expected = position;
      TPoint press;
      if (action <= 1 && g.button > 0) {
        press = g.OnButton(action == 0, r.Between(0, g.button - 1));
        expected = clamped(position + (action == 0 ? -1.0 : 1.0) * bar->Increment());
      } else if (action == 2 && g.track >= 18 && span < range) {
        press = g.At(g.button + offset + size + r.Between(0, 5), across);
        if (ShownZone(*bar, press) != zTrackNext) continue;
        expected = clamped(position + span);
      } else if (action == 3 && g.track > 17 && span < range) {
        press = g.At(g.button + offset + size / 2, across);
        if (ShownZone(*bar, press) != zHandle) continue;
        const int32_t d = r.Between(-g.length, g.length);
        Drag(*bar, press, d, horz);
        const double moved = RoundHalfEven(double(g.track) * span / range) < 17
                                 ? RoundHalfEven((double(range) - span) * d / (g.track - 17))
                                 : double(range) * d / g.track;
        ASSERT_NEAR(bar->Position(), clamped(position + moved), 1e-6 * range + 1e-3) << round;
        ++stepsChecked;
        continue;
      } else {
        const int delta = r.Between(-8, 8) * 30;
        plat::SimulateWheel(*bar, delta, g.At(g.length / 2, across));
        ASSERT_NEAR(bar->Position(), clamped(position + double(bar->Increment()) * delta / 120),
                    1e-6 * range + 1e-3);
        ++stepsChecked;
        continue;
      }
      const int before = userChanges;
      Press(*bar, press);
      Release(*bar, press);
      if (span >= range) expected = position;  // a bar showing all ignores presses
      ASSERT_NEAR(bar->Position(), expected, 1e-6 * range + 1e-3) << round << " action " << action;
      ASSERT_EQ(userChanges - before, bar->Position() != float(position) ? 1 : 0);
      ++stepsChecked;
    }
    form.DestroyComponent(bar);
  }
  EXPECT_GT(stepsChecked, 500);
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
