// Tab and the arrow keys on a shown form: an up-down's arrows are no Tab stops and Up and Down in
// its edit step it; a radio group is one Tab stop whose items the arrows choose.
#include <gtest/gtest.h>

#include "platform/windows/Application.h"
#include "platform/windows/ComCtrls.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace plat {
namespace {

class TabsAndArrows : public test_support::ShownFormTest {
 protected:
  TabsAndArrows() : ShownFormTest({40, 40, 420, 300}) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    edit = Add<TEdit>(10, 10, 80, 22);
    arrows = Add<TUpDown>(90, 10, 17, 22);
    arrows->SetMax(10);
    arrows->SetAssociate(edit);
    arrows->SetPosition(5);
    group = Add<TRadioGroup>(10, 50, 200, 120);
    for (const char* item : {"None", "Add", "Sub"}) group->Items()->Add(item);
    group->SyncItems();
    group->SetItemIndex(1);
    group->OnClick = [this](TObject*) { clicks.push_back(group->ItemIndex()); };
    button = Add<TButton>(10, 200, 75, 25);
    Application().ProcessMessages();
  }
  TEdit* edit = nullptr;
  TUpDown* arrows = nullptr;
  TRadioGroup* group = nullptr;
  TButton* button = nullptr;
  std::vector<int> clicks;
};

TEST_F(TabsAndArrows, TabSkipsTheUpDownAndStopsOnceInTheRadioGroup) {
  edit->SetFocus();
  PressKey(form, VK_TAB);
  EXPECT_TRUE(group->Focused());
  PressKey(form, VK_TAB);
  EXPECT_TRUE(button->Focused());
  PressKey(form, VK_TAB, "", ssShift);
  EXPECT_TRUE(group->Focused());
  PressKey(form, VK_TAB, "", ssShift);
  EXPECT_TRUE(edit->Focused());
  EXPECT_TRUE(clicks.empty());  // tabbing through checks nothing
}

TEST_F(TabsAndArrows, ArrowsChooseTheRadioItemAndTheTabStopFollows) {
  edit->SetFocus();
  PressKey(form, VK_TAB);
  PressKey(form, VK_DOWN);
  EXPECT_EQ(group->ItemIndex(), 2);
  PressKey(form, VK_RIGHT);  // round to the first
  PressKey(form, VK_UP);
  PressKey(form, VK_LEFT);
  EXPECT_EQ(clicks, (std::vector<int>{2, 0, 2, 1}));
  EXPECT_TRUE(group->Focused());
  // Tab comes back to the item now checked.
  PressKey(form, VK_TAB);
  PressKey(form, VK_TAB, "", ssShift);
  PressKey(form, VK_DOWN);
  EXPECT_EQ(group->ItemIndex(), 2);
}

// A menu-like group with nothing checked acts on its first choice: the arrows only move the focus
// and Space chooses, so every item is reachable from the keyboard.
TEST_F(TabsAndArrows, WithNothingCheckedArrowsMoveTheFocusAndSpaceChooses) {
  group->SetItemIndex(-1);
  clicks.clear();
  edit->SetFocus();
  PressKey(form, VK_TAB);
  EXPECT_TRUE(group->Focused());
  PressKey(form, VK_DOWN);
  PressKey(form, VK_DOWN);
  PressKey(form, VK_RIGHT);  // round to the first
  PressKey(form, VK_UP);     // and back to the last
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_TRUE(clicks.empty());
  PressKey(form, VK_SPACE, " ");
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_EQ(clicks, std::vector<int>{2});
  // From the checked item the arrows choose again.
  PressKey(form, VK_UP);
  EXPECT_EQ(clicks, (std::vector<int>{2, 1}));
}

TEST_F(TabsAndArrows, UpAndDownInTheEditStepTheUpDown) {
  std::vector<TUDBtnType> steps;
  arrows->OnClick = [&](TObject*, TUDBtnType b) { steps.push_back(b); };
  edit->SetFocus();
  PressKey(form, VK_UP);
  PressKey(form, VK_UP);
  PressKey(form, VK_DOWN);
  EXPECT_EQ(edit->Text(), "6");
  EXPECT_EQ(arrows->Position(), 6);
  EXPECT_EQ(steps, (std::vector<TUDBtnType>{btNext, btNext, btPrev}));
  // Left and Right still move the edit's cursor.
  PressKey(form, VK_LEFT);
  TypeText(form, "1");
  EXPECT_EQ(edit->Text(), "16");
}

}  // namespace
}  // namespace plat
