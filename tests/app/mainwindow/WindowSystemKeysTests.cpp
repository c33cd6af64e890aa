// The main window's keys pressed on its shown window, as the window system delivers them: every
// key acts, not only the first one after the focus moved.
#include <vector>

#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"

namespace {

class WindowSystemKeys : public MainWindow {
 protected:
  void StartWithPicture() {
    Start({Picture("bg.bmp", 64, 48)});
    form->TimerEllapsed(form->Timer1);
    form->TimerEllapsed(form->Timer1);
    form->Show();
    plat::Application().ProcessMessages();
  }
  // The user at the keyboard: whenever a window of its own opens over the main window, Esc is
  // pressed on it. Returns the windows answered so.
  std::vector<std::string> EscapeEachWindowWhile(const std::function<void()>& act) {
    std::vector<std::string> answered;
    plat::TTimer user(nullptr);
    user.SetInterval(20);
    user.OnTimer = [&](plat::TObject*) {
      plat::TCustomForm* shown = plat::Screen().ActiveForm();
      if (!shown || shown == form.get()) return;
      answered.push_back(shown->Caption());
      plat::PressKey(*shown, plat::VK_ESCAPE);
    };
    act();
    return answered;
  }
};

TEST_F(WindowSystemKeys, EveryKeyOnTheWindowActs) {
  StartWithPicture();
  ASSERT_TRUE(form->ImageLoaded);
  plat::TypeText(*form, "++");
  EXPECT_EQ(form->ScaleBar->Position(), 110);
  plat::TypeText(*form, "a-");
  EXPECT_EQ(form->ScaleBar->Position(), 105);
  // The focus on a button of the window changes nothing.
  form->CloseButton->SetFocus();
  plat::TypeText(*form, "-+-");
  EXPECT_EQ(form->ScaleBar->Position(), 100);
  // Esc asks about the resized picture; No closes.
  int questions = 0;
  plat::TestHooks().messageBox = [&](const std::string&, const std::string&, uint32_t) {
    ++questions;
    return plat::IDNO;
  };
  plat::PressKey(*form, plat::VK_ESCAPE);
  EXPECT_GE(questions, 1);
  EXPECT_FALSE(form->Visible());
}

// "q" and "x" open their tools once: the key that opened a modal menu is not handled again once
// the menu has closed.
TEST_F(WindowSystemKeys, OneKeyPressOpensTheToolsOnce) {
  StartWithPicture();
  EXPECT_EQ(EscapeEachWindowWhile([&] { plat::PressKey(*form, 'Q', "q"); }),
            std::vector<std::string>{"Picture Menu"});
  gfx::TBitmap32 logo;
  logo.SetSize(20, 10);
  logo.SaveToFile(home_ + "/logo.bmp");
  app::TPictureLayerRequest request;
  request.FileName = home_ + "/logo.bmp";
  form->CreatePictureLayer(nullptr, request);
  EXPECT_EQ(EscapeEachWindowWhile([&] { plat::PressKey(*form, 'X', "x"); }),
            std::vector<std::string>{"Frame Menu"});
}

}  // namespace
