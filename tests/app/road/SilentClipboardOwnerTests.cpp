// A paste while the clipboard belongs to a program that does not answer (stopped or hung): each
// question to it freezes the window until the window system gives up, so it is asked once, and
// the user is told there is no picture.
#include <string>
#include <vector>

#include "app/road/RoadTexts.h"
#include "platform/windows/Application.h"
#include "support/DialogUser.h"
#include "support/MainWindowFixture.h"

namespace {

TEST_F(MainWindow, APasteAsksASilentClipboardOwnerOnce) {
  NoteMessages();
  StartShowing(Picture("start.bmp", 40, 30));
  const int layers = form->ImgView->Layers().Count();
  const auto questions = plat::PutSilentClipboardOwner();

  plat::TControl& add = *form->AddLayerClip;
  test_support::Click(add);
  plat::Application().ProcessMessages();

  EXPECT_EQ(*questions, 1);
  EXPECT_EQ(messages, std::vector<std::string>{std::string(app::NoPictureText)});
  EXPECT_EQ(form->ImgView->Layers().Count(), layers);
}

}  // namespace
