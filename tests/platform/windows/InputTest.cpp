// What the user does with the mouse and keys reaches the standard controls' events once.
#include <gtest/gtest.h>

#include "platform/windows/Application.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ComCtrls.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace plat {
namespace {

class Input : public test_support::ShownFormTest {
 protected:
  Input() : ShownFormTest({20, 20, 420, 320}) {}
  // Input goes to controls whose windows exist, so each one is settled as it is added.
  template <class T>
  T* Add(int left, int top, int width, int height) {
    T* control = ShownFormTest::Add<T>(left, top, width, height);
    Application().ProcessMessages();
    return control;
  }
  void Click(TControl& control, TPoint at) {
    SimulateMouse(control, TMouseAction::Press, mbLeft, at);
    SimulateMouse(control, TMouseAction::Release, mbLeft, at);
  }
};

TEST_F(Input, ACheckBoxClickTogglesAndClicksOnce) {
  auto* box = Add<TCheckBox>(10, 10, 100, 20);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  Click(*box, {5, 10});
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(clicks, 1);
  Click(*box, {5, 10});
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 2);
}

TEST_F(Input, ARadioButtonClickOnlyEverChecks) {
  auto* radio = Add<TRadioButton>(10, 10, 100, 20);
  auto* other = Add<TRadioButton>(10, 40, 100, 20);
  other->SetChecked(true);
  int clicks = 0;
  radio->OnClick = [&](TObject*) { ++clicks; };
  Click(*radio, {5, 10});
  Click(*radio, {5, 10});
  EXPECT_TRUE(radio->Checked());
  EXPECT_FALSE(other->Checked());
  EXPECT_EQ(clicks, 1);
}

TEST_F(Input, ButtonsLabelsAndPanelsClick) {
  auto* button = Add<TButton>(10, 10, 80, 25);
  auto* label = Add<TLabel>(10, 50, 80, 20);
  label->SetAutoSize(false);
  label->SetBounds(10, 50, 80, 20);
  auto* panel = Add<TPanel>(10, 80, 100, 50);
  auto* speed = Add<TSpeedButton>(120, 10, 25, 25);
  std::string log;
  button->OnClick = [&](TObject*) { log += "button "; };
  label->OnClick = [&](TObject*) { log += "label "; };
  panel->OnClick = [&](TObject*) { log += "panel "; };
  panel->OnDblClick = [&](TObject*) { log += "double "; };
  speed->OnClick = [&](TObject*) { log += "speed "; };
  Click(*button, {40, 12});
  Click(*label, {5, 5});
  Click(*speed, {12, 12});
  Click(*panel, {50, 25});
  SimulateMouse(*panel, TMouseAction::DoubleClick, mbLeft, {50, 25});
  SimulateMouse(*panel, TMouseAction::Release, mbLeft, {50, 25});
  EXPECT_EQ(log, "button label speed panel double ");
  // A press that leaves before its release is no click.
  log.clear();
  SimulateMouse(*panel, TMouseAction::Press, mbLeft, {50, 25});
  SimulateMouse(*panel, TMouseAction::Release, mbLeft, {150, 25});
  EXPECT_EQ(log, "");
  // A disabled control hears nothing.
  panel->SetEnabled(false);
  Click(*panel, {50, 25});
  EXPECT_EQ(log, "");
}

TEST_F(Input, ListBoxesReportClicksAndPointerMoves) {
  auto* list = Add<TListBox>(10, 10, 120, 150);
  for (const char* s : {"one", "two", "three"}) list->Items()->Add(s);
  list->SyncItems();
  int clicks = 0;
  std::vector<int> hovered;
  list->OnClick = [&](TObject*) { ++clicks; };
  list->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
    hovered.push_back(list->ItemAtPos({x, y}, true));
  };
  int h = list->ItemHeight();
  SimulateMouse(*list, TMouseAction::Move, mbLeft, {20, h + h / 2 + 2});
  Click(*list, {20, 2 * h + h / 2 + 2});
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  ASSERT_FALSE(hovered.empty());
  EXPECT_EQ(hovered.front(), 1);
}

TEST_F(Input, UpDownArrowsStepTheirEdit) {
  auto* edit = Add<TEdit>(10, 10, 80, 22);
  auto* arrows = Add<TUpDown>(90, 10, 17, 22);
  arrows->SetAssociate(edit);
  arrows->SetPosition(5);
  std::vector<TUDBtnType> clicks;
  arrows->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
  Click(*arrows, {8, 4});
  Click(*arrows, {8, 4});
  Click(*arrows, {8, 18});
  EXPECT_EQ(edit->Text(), "6");
  EXPECT_EQ(clicks, (std::vector<TUDBtnType>{btNext, btNext, btPrev}));
}

TEST_F(Input, FocusMovesReportExitThenEnter) {
  auto* first = Add<TEdit>(10, 10, 80, 22);
  auto* second = Add<TEdit>(10, 40, 80, 22);
  std::string log;
  first->OnEnter = [&](TObject*) { log += "enter1 "; };
  first->OnExit = [&](TObject*) { log += "exit1 "; };
  second->OnEnter = [&](TObject*) { log += "enter2 "; };
  second->OnExit = [&](TObject*) { log += "exit2 "; };
  second->SetFocus();
  log.clear();
  first->SetFocus();
  second->SetFocus();
  EXPECT_EQ(log, "exit2 enter1 exit1 enter2 ");
  EXPECT_EQ(form.ActiveControl(), second);
}

TEST_F(Input, AnEnterHandlerMayFreeItsControl) {
  auto* first = Add<TEdit>(10, 10, 80, 22);
  auto* second = Add<TEdit>(10, 40, 80, 22);
  first->SetFocus();
  second->OnEnter = [&](TObject*) { second->Owner()->DestroyComponent(second); };
  second->SetFocus();
  EXPECT_TRUE(form.ActiveControl() == nullptr || form.ActiveControl() == first);
  first->SetFocus();
  EXPECT_EQ(form.ActiveControl(), first);
}

TEST_F(Input, AKeyHandlerMayFreeItsControlAndProcessMessages) {
  auto* edit = Add<TEdit>(10, 10, 80, 22);
  edit->SetFocus();
  edit->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) {
    edit->Owner()->DestroyComponent(edit);
    Application().ProcessMessages();
  };
  SimulateKey(*edit, 'A', "a");
  Application().ProcessMessages();
  EXPECT_EQ(form.ControlCount(), 0);
}

TEST_F(Input, KeysAreDownWhileTheirHandlersRun) {
  auto* edit = Add<TEdit>(10, 10, 80, 22);
  bool downInside = false, shifted = false;
  std::vector<uint16_t> keys;
  edit->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState shift) {
    keys.push_back(key);
    if (key != 'A') return;
    downInside = IsKeyDown('A');
    shifted = shift & ssShift;
  };
  SimulateKey(*edit, 'A', "A", ssShift);
  SimulateKey(*edit, VK_LEFT, "");
  EXPECT_TRUE(downInside);
  EXPECT_TRUE(shifted);
  EXPECT_FALSE(IsKeyDown('A'));
  EXPECT_EQ(keys, (std::vector<uint16_t>{'A', VK_LEFT}));
  EXPECT_EQ(edit->Text(), "A");
  // A handler that clears the key stops it.
  edit->OnKeyPress = [](TObject*, char& key) {
    if (key == 'b') key = 0;
  };
  SimulateKey(*edit, 'B', "b");
  SimulateKey(*edit, 'C', "c");
  EXPECT_EQ(edit->Text(), "cA");  // the left arrow moved the cursor
}

}  // namespace
}  // namespace plat
