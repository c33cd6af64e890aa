// Combo boxes, multi-selection lists, the colour grid and speed-button groups under the mouse.
#include <gtest/gtest.h>

#include "platform/windows/Application.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace plat {
namespace {

class Lists : public test_support::ShownFormTest {
 protected:
  Lists() : ShownFormTest({30, 30, 430, 330}) {}
};

TEST_F(Lists, DropDownListsOnlyShowTheirItems) {
  auto* combo = Add<TComboBox>(10, 10, 120, 24);
  combo->SetStyle(csDropDownList);
  for (const char* s : {"Arial", "Courier New", "Times New Roman"}) combo->Items()->Add(s);
  combo->SetText("courier new");  // items match without regard to case
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "Courier New");
  combo->SetText("Comic");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  combo->Clear();
  EXPECT_EQ(combo->Items()->Count(), 0);
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(Lists, MultiSelectListsCountAndDeleteTheirSelection) {
  auto* list = Add<TListBox>(10, 10, 120, 150);
  list->SetMultiSelect(true);
  for (const char* s : {"a", "b", "c", "d"}) list->Items()->Add(s);
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  list->SetSelected(0, true);
  list->SetSelected(2, true);
  EXPECT_EQ(list->SelCount(), 2);
  EXPECT_TRUE(list->Selected(2));
  EXPECT_FALSE(list->Selected(1));
  EXPECT_THROW(list->Selected(4), EListError);
  list->DeleteSelected();
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Items()->Strings(0), "b");
  EXPECT_EQ(list->Items()->Strings(1), "d");
  EXPECT_EQ(clicks, 0);  // program changes click nothing
  list->Clear();
  EXPECT_EQ(list->Count(), 0);
}

TEST_F(Lists, ItemsChangedThroughAKeptListShowAndSelectionsComeInOneStep) {
  auto* combo = Add<TComboBox>(10, 10, 120, 24);
  combo->SetStyle(csDropDownList);
  TStringList& items = *combo->Items();
  for (const char* s : {"a", "b", "c"}) items.Add(s);
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->Text(), "c");
  items.SetStrings(2, "x");  // same count, other text
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->Text(), "x");

  auto* list = Add<TListBox>(140, 10, 120, 150);
  list->SetMultiSelect(true);
  for (const char* s : {"a", "b", "c", "d", "e"}) list->Items()->Add(s);
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  list->SetSelected(1, true);
  list->SetSelectedItems({true, false, true, true});  // entries past the flags: not selected
  EXPECT_EQ(list->SelCount(), 3);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list->Selected(i), i == 0 || i == 2 || i == 3) << i;
  EXPECT_EQ(clicks, 0);
}

TEST_F(Lists, TheColorGridPicksForegroundAndBackgroundByButton) {
  auto* grid = Add<TColorGrid>(10, 10, 80, 80);
  Application().ProcessMessages();
  int changes = 0;
  grid->OnChange = [&](TObject*) { ++changes; };
  SimulateMouse(*grid, TMouseAction::Press, mbLeft, {25, 45});  // column 1, row 2
  SimulateMouse(*grid, TMouseAction::Release, mbLeft, {25, 45});
  SimulateMouse(*grid, TMouseAction::Press, mbRight, {65, 5});  // column 3, row 0
  SimulateMouse(*grid, TMouseAction::Release, mbRight, {65, 5});
  EXPECT_EQ(grid->ForegroundIndex(), 9);
  EXPECT_EQ(grid->ForegroundColor(), clRed);
  EXPECT_EQ(grid->BackgroundIndex(), 3);
  EXPECT_EQ(grid->BackgroundColor(), clOlive);
  EXPECT_EQ(changes, 2);
  // With the background disabled a right click changes nothing.
  grid->SetBackgroundEnabled(false);
  SimulateMouse(*grid, TMouseAction::Press, mbRight, {5, 5});
  SimulateMouse(*grid, TMouseAction::Release, mbRight, {5, 5});
  EXPECT_EQ(grid->BackgroundIndex(), 3);
}

TEST_F(Lists, SpeedButtonGroupsMayAllBeUpWhenAllowed) {
  auto* bold = Add<TSpeedButton>(10, 10, 25, 25);
  bold->SetGroupIndex(2);
  bold->SetAllowAllUp(true);
  Application().ProcessMessages();
  SimulateMouse(*bold, TMouseAction::Press, mbLeft, {10, 10});
  SimulateMouse(*bold, TMouseAction::Release, mbLeft, {10, 10});
  EXPECT_TRUE(bold->Down());
  SimulateMouse(*bold, TMouseAction::Press, mbLeft, {10, 10});
  SimulateMouse(*bold, TMouseAction::Release, mbLeft, {10, 10});
  EXPECT_FALSE(bold->Down());
  // Without a group a speed button never stays down.
  auto* plain = Add<TSpeedButton>(40, 10, 25, 25);
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
}

TEST_F(Lists, ChildrenAreListedInTheOrderTheyJoined) {
  auto* a = Add<TButton>(0, 0, 10, 10);
  auto* b = Add<TLabel>(0, 0, 10, 10);
  auto* c = Add<TPanel>(0, 0, 10, 10);
  ASSERT_EQ(form.ControlCount(), 3);
  EXPECT_EQ(form.Controls(0), a);
  EXPECT_EQ(form.Controls(1), b);
  EXPECT_EQ(form.Controls(2), c);
  b->SetParent(c);
  EXPECT_EQ(form.ControlCount(), 2);
  EXPECT_EQ(c->ControlCount(), 1);
  EXPECT_EQ(b->GetParentForm(), &form);
  EXPECT_THROW(c->SetParent(c), EInvalidOperation);
}

}  // namespace
}  // namespace plat
