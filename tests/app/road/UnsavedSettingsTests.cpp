// A settings file that cannot be written (its folder is a file here): opening pictures with the
// mouse on the shown main window says so once, instead of losing the folders and texts silently.
#include <fstream>
#include <string>
#include <vector>

#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"

namespace {

TEST_F(MainWindow, ASettingsFileThatCannotBeWrittenIsReportedOnce) {
  std::ofstream(home_ + "/config") << "in the way of the settings folder";
  NoteMessages();
  const std::string picture = Picture("bg.bmp", 32, 24);
  plat::TestHooks().fileDialog = [&picture](plat::TFileDialogRequest& r) {
    r.fileName = picture;
    return true;
  };
  Start();
  form->Show();
  plat::Application().ProcessMessages();

  plat::TControl& load = *form->LoadButton;
  const plat::TPoint middle{load.Width() / 2, load.Height() / 2};
  for (int open = 0; open < 2; ++open) {
    plat::SimulateMouse(load, plat::TMouseAction::Press, plat::mbLeft, middle);
    plat::SimulateMouse(load, plat::TMouseAction::Release, plat::mbLeft, middle);
    plat::Application().ProcessMessages();
  }
  EXPECT_TRUE(form->ImageLoaded);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("cannot be saved"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find(home_ + "/config/settings.ini"), std::string::npos) << messages[0];
}

}  // namespace
