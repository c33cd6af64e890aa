// The main window's keys pressed on its shown window, as the window system delivers them: every
// key acts, not only the first one after the focus moved.
#include <filesystem>
#include <vector>

#include "app/colors/ColorInteraction.h"
#include "app/tools/ToolsMenus.h"
#include "graphics/layers/Layers.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "support/FileDialogAnswers.h"
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

// A user with the keyboard alone: open a picture, stamp a picture layer on it, recolour the layer
// in the layer tools and save the result.
TEST_F(WindowSystemKeys, OpenStampRecolourAndSaveWithKeysAlone) {
  Start();
  form->TimerEllapsed(form->Timer1);
  form->Show();
  plat::Application().ProcessMessages();
  std::string answer = Picture("bg.bmp", 64, 48);
  test_support::AnswerFileDialogs(answer);
  plat::PressKey(*form, 'L', "l", plat::ssAlt);
  ASSERT_TRUE(form->ImageLoaded);
  answer = Picture("logo.bmp", 20, 10);
  plat::PressKey(*form, 'A', "a", plat::ssAlt);
  auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(layer, nullptr);
  // The layer tools open with the focus on "&Ok": Tab goes on to the checked mode (none), and Down
  // chooses the next one, which closes them. Esc ends a menu that stays open.
  std::vector<std::string> menus;
  bool reached = false;
  plat::TTimer user(nullptr);
  user.SetInterval(20);
  user.OnTimer = [&](plat::TObject*) {
    auto* menu = dynamic_cast<app::TToolsMenuForm*>(plat::Screen().ActiveForm());
    if (!menu) return;
    if (!menus.empty()) return plat::PressKey(*menu, plat::VK_ESCAPE);
    menus.push_back(menu->Caption());
    for (int i = 0; i < 5 && !menu->ColorRadioGroup->Focused(); ++i)
      plat::PressKey(*menu, plat::VK_TAB);
    reached = menu->ColorRadioGroup->Focused();
    plat::PressKey(*menu, plat::VK_DOWN);
  };
  user.SetEnabled(true);
  plat::PressKey(*form, 'X', "x");
  user.SetEnabled(false);
  EXPECT_EQ(menus, std::vector<std::string>{"Frame Menu"});
  EXPECT_TRUE(reached);
  EXPECT_EQ(layer->ColorMode, app::ColorModeAdd);
  answer = home_ + "/stamped.jpg";
  plat::PressKey(*form, 'S', "s", plat::ssAlt);
  ASSERT_TRUE(std::filesystem::exists(answer));
  EXPECT_GT(std::filesystem::file_size(answer), 0u);
}

}  // namespace
