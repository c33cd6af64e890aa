// The wheel as the desktop delivers it - notches, tilts, fine steps, the empty events round a
// touchpad gesture and touchpads that tell only pixels - over the layer's own controls and over
// the lists, combo boxes and memos Qt draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows/Application.h"
#include "platform/windows/ComCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace plat {
namespace {

// Wheel units of one notch and the pixels a touchpad reports for it.
constexpr int kNotch = 120;
int NotchPixels() {
  return Mouse().WheelScrollLines() * 16;
}

TWheelTurn Turn(int x, int y) {
  return {{x, y}, {}, TWheelPhase::None};
}
TWheelTurn Pixels(int y) {
  return {{}, {0, y}, TWheelPhase::Update};
}
TWheelTurn GestureEdge(TWheelPhase phase) {
  return {{}, {}, phase};
}

class Wheel : public test_support::ShownFormTest {
 protected:
  Wheel() : ShownFormTest({30, 30, 430, 330}) {}
  void Send(TControl& control, const TWheelTurn& turn, TShiftState shift = 0) {
    SimulateWheel(control, turn, {control.ClientWidth() / 2, control.ClientHeight() / 2}, shift);
    Application().ProcessMessages();
  }
  // A control that notes each up and down event of the wheel it takes in `seen`.
  TCustomControl* AddNotingControl(std::string& seen) {
    auto* control = Add<TCustomControl>(10, 10, 100, 100);
    control->OnMouseWheelUp = [&seen](TObject*, TShiftState, TPoint, bool& handled) {
      seen += "up ";
      handled = true;
    };
    control->OnMouseWheelDown = [&seen](TObject*, TShiftState, TPoint, bool& handled) {
      seen += "down ";
      handled = true;
    };
    return control;
  }
};

TEST_F(Wheel, OnlyVerticalTurnsReachALayerControlAndTheyKeepTheirDirection) {
  auto* control = Add<TCustomControl>(10, 10, 100, 100);
  std::vector<int> deltas;
  control->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    deltas.push_back(delta);
    handled = true;
  };
  Send(*control, Turn(120, 0));
  Send(*control, Turn(-120, 0));
  Send(*control, GestureEdge(TWheelPhase::Begin));
  Send(*control, GestureEdge(TWheelPhase::End));
  EXPECT_TRUE(deltas.empty());
  // A diagonal swipe keeps its vertical part; a turn beyond what a message holds keeps its sign.
  Send(*control, Turn(40, -30));
  Send(*control, Turn(0, 40000));
  Send(*control, Turn(0, -40000));
  EXPECT_EQ(deltas, (std::vector<int>{-30, 32767, -32768}));
}

TEST_F(Wheel, TouchpadPixelsBecomeWheelUnitsANotchForTheDesktopsLines) {
  auto* control = Add<TCustomControl>(10, 10, 100, 100);
  int total = 0, events = 0;
  control->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    total += delta;
    ++events;
    handled = true;
  };
  Send(*control, Pixels(-NotchPixels()));
  EXPECT_EQ(total, -kNotch);
  // A pixel at a time: what falls short of a unit waits for the next pixel.
  total = 0;
  events = 0;
  for (int i = 0; i < NotchPixels(); ++i) Send(*control, Pixels(1));
  EXPECT_EQ(total, kNotch);
  EXPECT_LE(events, NotchPixels());
}

TEST_F(Wheel, FineStepsAddUpToTheUpAndDownEventsOfWholeNotches) {
  std::string seen;
  TCustomControl* control = AddNotingControl(seen);
  for (int i = 0; i < 8; ++i) Send(*control, Turn(0, -15));
  EXPECT_EQ(seen, "down ");
  for (int i = 0; i < 4; ++i) Send(*control, Pixels(NotchPixels() / 4));
  EXPECT_EQ(seen, "down up ");
  Send(*control, Turn(-120, 0));
  Send(*control, GestureEdge(TWheelPhase::End));
  EXPECT_EQ(seen, "down up ");
}

TEST_F(Wheel, EveryNotchOfATurnIsTakenInThatTurnWhateverTheHandlersSay) {
  std::string seen;
  TCustomControl* control = AddNotingControl(seen);
  Send(*control, Turn(0, -3 * kNotch));
  EXPECT_EQ(seen, "down down down ");
  // Seven eighths of a notch down, then a notch up: the turn up is a whole notch up.
  seen.clear();
  for (int i = 0; i < 7; ++i) Send(*control, Turn(0, -15));
  Send(*control, Turn(0, kNotch));
  EXPECT_EQ(seen, "up ");
}

TEST_F(Wheel, AComboBoxStepsEveryNotchOfATurnAndATurnBackGoesBack) {
  auto* combo = Add<TComboBox>(10, 10, 150, 24);
  combo->SetStyle(csDropDownList);
  for (int i = 0; i < 12; ++i) combo->Items()->Add("item " + std::to_string(i));
  combo->SetItemIndex(5);
  Send(*combo, Turn(0, -2 * kNotch));
  EXPECT_EQ(combo->ItemIndex(), 7);
  Send(*combo, Turn(0, -15));
  EXPECT_EQ(combo->ItemIndex(), 7);
  // A turn far past the end (beyond what a message holds) stops at the last item, and the
  // next notch up moves up from there.
  combo->SetItemIndex(5);
  Send(*combo, Turn(0, -40000));
  EXPECT_EQ(combo->ItemIndex(), 11);
  Send(*combo, Turn(0, kNotch));
  EXPECT_EQ(combo->ItemIndex(), 10);
}

class WheelOverQtControls : public Wheel {
 protected:
  void SetUp() override {
    Wheel::SetUp();
    list = Add<TListBox>(10, 10, 150, 120);
    combo = Add<TComboBox>(170, 10, 150, 24);
    combo->SetStyle(csDropDownList);
    memo = Add<TMemo>(10, 140, 200, 120);
    std::string text;
    for (int i = 0; i < 100; ++i) {
      list->Items()->Add("row " + std::to_string(i));
      combo->Items()->Add("item " + std::to_string(i));
      text += "line " + std::to_string(i) + "\n";
    }
    memo->SetText(text);
    combo->SetItemIndex(50);
    combo->OnChange = [this](TObject*) { ++comboChanges; };
    Application().ProcessMessages();
  }
  // Where each control stands: the list's top row, the combo's item and what the memo shows.
  struct Place {
    int top;
    int item;
    std::vector<uint32_t> memo;
    bool operator==(const Place&) const = default;
  };
  Place Now() { return {list->TopIndex(), combo->ItemIndex(), CaptureControl(*memo).pixels}; }
  void SendAll(const TWheelTurn& turn) {
    for (TControl* control : {static_cast<TControl*>(list), static_cast<TControl*>(combo),
                              static_cast<TControl*>(memo)})
      Send(*control, turn);
  }

  TListBox* list = nullptr;
  TComboBox* combo = nullptr;
  TMemo* memo = nullptr;
  int comboChanges = 0;
};

TEST_F(WheelOverQtControls, TiltsAndEmptyGestureEventsMoveNothingUpOrDown) {
  const Place start = Now();
  SendAll(Turn(-120, 0));
  SendAll(Turn(120, 0));
  SendAll(GestureEdge(TWheelPhase::Begin));
  SendAll(GestureEdge(TWheelPhase::End));
  EXPECT_TRUE(Now() == start);
}

TEST_F(WheelOverQtControls, EightFineStepsGoAsFarAsOneNotch) {
  const Place start = Now();
  SendAll(Turn(0, -kNotch));
  const Place notch = Now();
  EXPECT_GT(notch.top, start.top);
  EXPECT_EQ(notch.item, start.item + 1);
  EXPECT_NE(notch.memo, start.memo);
  SendAll(Turn(0, kNotch));
  ASSERT_TRUE(Now() == start);
  for (int i = 0; i < 8; ++i) SendAll(Turn(0, -15));
  const Place fine = Now();
  EXPECT_EQ(fine.top, notch.top);
  EXPECT_EQ(fine.item, notch.item);
  EXPECT_TRUE(fine.memo == notch.memo);
  // The combo box tells of each step it takes, as when its list is used.
  EXPECT_EQ(comboChanges, 3);
}

TEST_F(WheelOverQtControls, TouchpadPixelsOfANotchGoAsFarAsTheNotch) {
  const Place start = Now();
  SendAll(Turn(0, -kNotch));
  const Place notch = Now();
  SendAll(Turn(0, kNotch));
  ASSERT_TRUE(Now() == start);
  SendAll(Pixels(-NotchPixels()));
  const Place pixels = Now();
  EXPECT_EQ(pixels.top, notch.top);
  EXPECT_EQ(pixels.item, notch.item);
  EXPECT_TRUE(pixels.memo == notch.memo);
}

// A list or memo that cannot scroll leaves the turn to the window around it; its own wheel
// event still fires once, not again as the turn goes on from its inside to its frame.
TEST_F(Wheel, ListsAndMemosTellOfATurnOnceWhetherOrNotTheyScroll) {
  auto* shortList = Add<TListBox>(10, 10, 120, 120);
  shortList->Items()->Add("only row");
  auto* shortMemo = Add<TMemo>(140, 10, 120, 120);
  shortMemo->SetText("one line");
  auto* longList = Add<TListBox>(270, 10, 120, 120);
  for (int i = 0; i < 100; ++i) longList->Items()->Add("row " + std::to_string(i));
  Application().ProcessMessages();
  for (TControl* control : std::vector<TControl*>{shortList, shortMemo, longList}) {
    int told = 0;
    control->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { ++told; };
    Send(*control, Turn(0, -kNotch));
    Send(*control, Turn(0, -kNotch), ssShift);
    EXPECT_EQ(told, 2) << "control at " << control->Left();
  }
  EXPECT_GT(longList->TopIndex(), 0);
}

// Held Shift or Ctrl neither pages nor zooms: a notch steps as far as without them.
TEST_F(Wheel, ShiftAndCtrlLeaveTheStepOfEveryQtControlAlone) {
  auto* list = Add<TListBox>(10, 10, 120, 120);
  auto* memo = Add<TMemo>(140, 10, 120, 120);
  auto* reading = Add<TMemo>(270, 10, 120, 120);
  reading->SetReadOnly(true);  // Qt zooms a read-only one with Ctrl
  auto* bar = Add<TScrollBar>(10, 140, 140, 16);
  bar->SetKind(sbVertical);  // turned upright: 16 x 140
  bar->SetParams(500, 0, 1000);
  bar->SetPageSize(100);
  auto* spin = Add<TSpinEdit>(40, 140, 80, 24);
  spin->SetMaxValue(1000);
  spin->SetValue(500);
  std::string text;
  for (int i = 0; i < 100; ++i) {
    list->Items()->Add("row " + std::to_string(i));
    text += "line " + std::to_string(i) + "\n";
  }
  memo->SetText(text);
  reading->SetText(text);
  Application().ProcessMessages();
  struct Place {
    int top;
    std::vector<uint32_t> memo, reading;
    int bar, spin;
    bool operator==(const Place&) const = default;
  };
  const auto now = [&] {
    return Place{list->TopIndex(), CaptureControl(*memo).pixels, CaptureControl(*reading).pixels,
                 bar->Position(), spin->Value()};
  };
  const auto sendAll = [&](int delta, TShiftState shift) {
    for (TControl* control : std::vector<TControl*>{list, memo, reading, bar, spin})
      Send(*control, Turn(0, delta), shift);
  };
  const Place start = now();
  sendAll(-kNotch, 0);
  const Place notch = now();
  ASSERT_NE(notch.top, start.top);
  ASSERT_NE(notch.bar, start.bar);
  ASSERT_NE(notch.spin, start.spin);
  sendAll(kNotch, 0);
  ASSERT_TRUE(now() == start);
  for (TShiftState shift :
       {TShiftState(ssShift), TShiftState(ssCtrl), TShiftState(ssShift | ssCtrl)}) {
    sendAll(-kNotch, shift);
    const Place turned = now();
    EXPECT_EQ(turned.top, notch.top) << "list, shift " << shift;
    EXPECT_TRUE(turned.memo == notch.memo) << "memo, shift " << shift;
    EXPECT_TRUE(turned.reading == notch.reading) << "read-only memo, shift " << shift;
    EXPECT_EQ(turned.bar, notch.bar) << "scroll bar, shift " << shift;
    EXPECT_EQ(turned.spin, notch.spin) << "spin edit, shift " << shift;
    sendAll(kNotch, shift);
    EXPECT_TRUE(now() == start) << "shift " << shift;
  }
}

}  // namespace
}  // namespace plat
