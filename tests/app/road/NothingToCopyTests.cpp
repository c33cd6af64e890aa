// Copy asked for before any picture is open, with the mouse on the shown main window: the user is
// told, and the clipboard keeps what it held instead of seeming to take a picture.
#include <string>
#include <vector>

#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"

namespace {

TEST_F(MainWindow, CopyWithNoPictureSaysSoAndLeavesTheClipboardAlone) {
  std::vector<std::string> messages;
  plat::TestHooks().messageBox = [&messages](const std::string& text, const std::string&,
                                             uint32_t) {
    messages.push_back(text);
    return plat::IDOK;
  };
  Start();
  form->Show();
  plat::Application().ProcessMessages();
  ASSERT_TRUE(form->CopyButton->Enabled());
  plat::PutClipboardData("text/plain", "kept");

  plat::TControl& copy = *form->CopyButton;
  const plat::TPoint middle{copy.Width() / 2, copy.Height() / 2};
  plat::SimulateMouse(copy, plat::TMouseAction::Press, plat::mbLeft, middle);
  plat::SimulateMouse(copy, plat::TMouseAction::Release, plat::mbLeft, middle);
  plat::Application().ProcessMessages();

  EXPECT_EQ(messages, std::vector<std::string>{"There is no picture to copy."});
  EXPECT_EQ(plat::ClipboardData("text/plain"), "kept");
}

}  // namespace
