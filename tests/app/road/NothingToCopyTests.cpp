// Copy asked for before any picture is open, with the mouse on the shown main window: the user is
// told, and the clipboard keeps what it held instead of seeming to take a picture.
#include <string>
#include <vector>

#include "platform/windows/Application.h"
#include "support/DialogUser.h"
#include "support/MainWindowFixture.h"

namespace {

TEST_F(MainWindow, CopyWithNoPictureSaysSoAndLeavesTheClipboardAlone) {
  NoteMessages();
  Start();
  form->Show();
  plat::Application().ProcessMessages();
  ASSERT_TRUE(form->CopyButton->Enabled());
  plat::PutClipboardData("text/plain", "kept");

  plat::TControl& copy = *form->CopyButton;
  test_support::Click(copy);
  plat::Application().ProcessMessages();

  EXPECT_EQ(messages, std::vector<std::string>{"There is no picture to copy."});
  EXPECT_EQ(plat::ClipboardData("text/plain"), "kept");
}

}  // namespace
