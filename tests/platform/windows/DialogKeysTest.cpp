// Enter, Esc and Alt mnemonics on a shown form, pressed through its window, go where a desktop
// user expects; the focus events follow the form's own focus; message boxes carry the title.
#include <gtest/gtest.h>

#include "platform/windows/Application.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace plat {
namespace {

class DialogKeys : public test_support::ShownFormTest {
 protected:
  DialogKeys() : ShownFormTest({40, 40, 420, 260}) {}
  TButton* AddButton(const std::string& caption, int left) {
    auto* button = Add<TButton>(left, 120, 75, 25);
    button->SetCaption(caption);
    button->OnClick = [this, caption](TObject*) { log += "[" + caption + "]"; };
    return button;
  }
  void SetUp() override {
    ShownFormTest::SetUp();
    edit = Add<TEdit>(10, 10, 120, 22);
    memo = Add<TMemo>(150, 10, 120, 60);
    ok = AddButton("OK", 10);
    ok->SetDefault(true);
    other = AddButton("&Other", 100);
    cancel = AddButton("Cancel", 190);
    cancel->SetCancel(true);
    Application().ProcessMessages();
  }
  TEdit* edit = nullptr;
  TMemo* memo = nullptr;
  TButton* ok = nullptr;
  TButton* other = nullptr;
  TButton* cancel = nullptr;
  std::string log;
};

TEST_F(DialogKeys, EnterClicksTheFocusedButtonFirstThenTheDefault) {
  other->SetFocus();
  PressKey(form, VK_RETURN);
  EXPECT_EQ(log, "[&Other]");
  cancel->SetFocus();
  PressKey(form, VK_RETURN);
  EXPECT_EQ(log, "[&Other][Cancel]");
  edit->SetFocus();
  TypeText(form, "12");
  PressKey(form, VK_RETURN);
  EXPECT_EQ(log, "[&Other][Cancel][OK]");
  // A disabled default button takes nothing.
  ok->SetEnabled(false);
  PressKey(form, VK_RETURN);
  EXPECT_EQ(log, "[&Other][Cancel][OK]");
}

TEST_F(DialogKeys, WithoutADefaultButtonEnterStillClicksTheFocusedOne) {
  ok->SetDefault(false);
  other->SetFocus();
  PressKey(form, VK_RETURN);
  edit->SetFocus();
  PressKey(form, VK_RETURN);
  EXPECT_EQ(log, "[&Other]");
}

TEST_F(DialogKeys, ModifiedEnterAndEscClickNothing) {
  edit->SetFocus();
  for (TShiftState shift : {ssShift, ssCtrl, ssAlt}) {
    PressKey(form, VK_RETURN, "\r", shift);
    PressKey(form, VK_ESCAPE, "\x1b", shift);
  }
  other->SetFocus();
  PressKey(form, VK_RETURN, "\r", ssCtrl);
  EXPECT_EQ(log, "");
}

TEST_F(DialogKeys, AMemoKeepsItsEnterAndEscGoesToTheCancelButton) {
  memo->SetFocus();
  TypeText(form, "a");
  PressKey(form, VK_RETURN, "\r");
  TypeText(form, "b");
  EXPECT_EQ(log, "");
  EXPECT_EQ(memo->Lines()->Count(), 2);
  PressKey(form, VK_ESCAPE, "\x1b");
  other->SetFocus();
  PressKey(form, VK_ESCAPE, "\x1b");
  EXPECT_EQ(log, "[Cancel][Cancel]");
}

TEST_F(DialogKeys, AltWithALetterIsNoTypedCharacter) {
  std::string typed;
  form.SetKeyPreview(true);
  form.OnKeyPress = [&](TObject*, char& key) { typed += key; };
  edit->SetFocus();
  TypeText(form, "a");
  PressKey(form, 'X', "x", ssAlt);
  PressKey(form, '4', "4", ssAlt);
  TypeText(form, "b");
  EXPECT_EQ(typed, "ab");
  EXPECT_EQ(edit->Text(), "ab");
  EXPECT_EQ(log, "");
}

TEST_F(DialogKeys, AMnemonicClicksTheFirstEnabledControlInTabOrder) {
  // " &Erase" and "Clos&e" share Alt+E: the first enabled one in Tab order clicks, at once.
  TButton* erase = AddButton(" &Erase", 280);
  TButton* close = AddButton("Clos&e", 10);
  close->SetTabOrder(erase->TabOrder() + 1);
  Application().ProcessMessages();
  edit->SetFocus();
  PressKey(form, 'E', "e", ssAlt);
  EXPECT_EQ(log, "[ &Erase]");
  erase->SetEnabled(false);
  PressKey(form, 'E', "E", ssAlt | ssShift);
  EXPECT_EQ(log, "[ &Erase][Clos&e]");
  // A check box's mnemonic toggles it; "&&" is an ampersand, no mnemonic.
  auto* box = Add<TCheckBox>(10, 160, 120, 20);
  box->SetCaption("&Gray && Scale");
  Application().ProcessMessages();
  PressKey(form, 'G', "g", ssAlt);
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(box->Focused());
  PressKey(form, 'S', "s", ssAlt);
  EXPECT_EQ(log, "[ &Erase][Clos&e]");
  EXPECT_TRUE(box->Checked());
}

TEST_F(DialogKeys, EnterAndExitFollowTheFocusInsideTheForm) {
  std::string focus;
  memo->SetFocus();
  edit->OnEnter = [&](TObject*) { focus += "enter "; };
  edit->OnExit = [&](TObject*) { focus += "exit "; };
  edit->SetFocus();
  EXPECT_EQ(focus, "enter ");
  // Another window takes the activation and gives it back: the edit stays the active control.
  TForm other(nullptr);
  other.SetBounds(100, 100, 200, 100);
  other.Show();
  Application().ProcessMessages();
  other.Hide();
  form.Hide();
  form.Show();
  Application().ProcessMessages();
  EXPECT_EQ(focus, "enter ");
  EXPECT_EQ(form.ActiveControl(), edit);
  // Tab moves the focus inside the form: that is an exit.
  PressKey(form, VK_TAB);
  EXPECT_EQ(focus, "enter exit ");
  EXPECT_EQ(form.ActiveControl(), memo);
  EXPECT_TRUE(memo->Focused());
  // A combo box's list opening and closing is no exit either.
  auto* combo = Add<TComboBox>(10, 200, 120, 22);
  combo->Items()->Add("one");
  combo->Items()->Add("two");
  Application().ProcessMessages();
  combo->SetFocus();
  combo->OnExit = [&](TObject*) { focus += "combo-exit "; };
  PressKey(form, VK_DOWN, "", ssAlt);
  PressKey(form, VK_ESCAPE, "\x1b");
  Application().ProcessMessages();
  EXPECT_TRUE(combo->Focused());
  EXPECT_EQ(focus, "enter exit ");
}

TEST(MessageBoxes, InformationBoxesCarryTheApplicationTitle) {
  TTestHooksScope hooks;
  std::string caption;
  TestHooks().messageBox = [&](const std::string&, const std::string& title, uint32_t) {
    caption = title;
    return IDOK;
  };
  ShowMessage("The clipboard holds no picture.");
  EXPECT_EQ(caption, "PixStamp");
}

}  // namespace
}  // namespace plat
