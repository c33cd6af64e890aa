// The main window's keys pressed on its shown window, as the window system delivers them: every
// key acts, not only the first one after the focus moved.
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

}  // namespace
