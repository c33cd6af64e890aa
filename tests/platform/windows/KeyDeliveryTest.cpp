// Keys delivered the way the window system delivers them (one event object for every key, through
// the window to its focused control) reach the layer once each, not only the first time.
#include <gtest/gtest.h>

#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace plat {
namespace {

// A dialog: an edit, a default OK and a cancelling Cancel; the form previews every key.
class KeyDelivery : public test_support::ShownFormTest {
 protected:
  KeyDelivery() : ShownFormTest({40, 40, 340, 200}) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    edit = Add<TEdit>(10, 10, 120, 22);
    ok = Add<TButton>(10, 50, 75, 25);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel = Add<TButton>(100, 50, 75, 25);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    ok->OnClick = [this](TObject*) { log += "[ok]"; };
    cancel->OnClick = [this](TObject*) { log += "[cancel]"; };
    form.SetKeyPreview(true);
    form.OnKeyPress = [this](TObject*, char& key) {
      if (key >= ' ') preview += key;
    };
    form.OnKeyDown = [this](TObject*, uint16_t& key, TShiftState) { downs.push_back(key); };
    Application().ProcessMessages();
    edit->SetFocus();
  }
  TEdit* edit = nullptr;
  TButton* ok = nullptr;
  TButton* cancel = nullptr;
  std::string preview, log;
  std::vector<uint16_t> downs;
};

TEST_F(KeyDelivery, EveryTypedKeyReachesThePreviewAndTheEdit) {
  TypeText(form, "abc");
  EXPECT_EQ(preview, "abc");
  EXPECT_EQ(edit->Text(), "abc");
  EXPECT_EQ(downs, (std::vector<uint16_t>{'A', 'B', 'C'}));
  // The same keys sent straight to the control, again in one event object.
  SimulateKey(*edit, 'D', "d");
  SimulateKey(*edit, 'E', "e");
  EXPECT_EQ(preview, "abcde");
  EXPECT_EQ(edit->Text(), "abcde");
}

TEST_F(KeyDelivery, EnterAndEscAfterTypingReachTheirButtons) {
  TypeText(form, "640");
  PressKey(form, VK_RETURN);
  EXPECT_EQ(log, "[ok]");
  TypeText(form, "1");
  PressKey(form, VK_ESCAPE);
  EXPECT_EQ(log, "[ok][cancel]");
  EXPECT_EQ(edit->Text(), "6401");
  SimulateKey(*edit, '2', "2");
  SimulateKey(*edit, VK_RETURN, "\r");
  SimulateKey(*edit, VK_ESCAPE, "\x1b");
  EXPECT_EQ(log, "[ok][cancel][ok][cancel]");
}

TEST_F(KeyDelivery, AReleasedKeyIsNoLongerDown) {
  bool downWhilePressed = false;
  edit->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
    if (key == 'B') downWhilePressed = IsKeyDown('B');
  };
  TypeText(form, "ab");
  EXPECT_TRUE(downWhilePressed);
  EXPECT_FALSE(IsKeyDown('A'));
  EXPECT_FALSE(IsKeyDown('B'));
}

TEST_F(KeyDelivery, AKeyPassedUpToTheFormIsHandledOnce) {
  // The form's own window gets keys when nothing inside it has the focus, and a key a control
  // leaves to Qt goes up to the form: either way each key counts once.
  form.SetKeyPreview(false);
  std::string formKeys;
  form.OnKeyPress = [&](TObject*, char& key) { formKeys += key; };
  ok->SetFocus();
  TypeText(form, "xy");
  EXPECT_EQ(formKeys, "");  // the button had them
  form.SetActiveControl(nullptr);
  form.SetFocus();
  TypeText(form, "xy");
  EXPECT_EQ(formKeys, "xy");
}

// A real modal loop, ended by a key typed into the running dialog.
TEST(ModalKeys, AShowModalLoopEndsOnAKey) {
  TForm dialog(nullptr);
  dialog.SetBounds(60, 60, 300, 160);
  auto* edit = dialog.Make<TEdit>();
  edit->SetParent(&dialog);
  auto* ok = dialog.Make<TButton>();
  ok->SetParent(&dialog);
  ok->SetTop(60);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  dialog.SetActiveControl(edit);
  TTimer timer(nullptr);
  timer.SetInterval(5);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    ASSERT_TRUE(dialog.Modal());
    TypeText(dialog, "12");
    PressKey(dialog, VK_RETURN);
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(edit->Text(), "12");
}

}  // namespace
}  // namespace plat
