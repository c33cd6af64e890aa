// A paste while the clipboard belongs to a program that does not answer (stopped or hung): each
// question to it freezes the window until the window system gives up, so it is asked once, and
// the user is told there is no picture.
#include <string>
#include <vector>

#include "app/road/RoadTexts.h"
#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"

namespace {

TEST_F(MainWindow, APasteAsksASilentClipboardOwnerOnce) {
  std::vector<std::string> messages;
  plat::TestHooks().messageBox = [&messages](const std::string& text, const std::string&,
                                             uint32_t) {
    messages.push_back(text);
    return plat::IDOK;
  };
  StartShowing(Picture("start.bmp", 40, 30));
  const int layers = form->ImgView->Layers().Count();
  const auto questions = plat::PutSilentClipboardOwner();

  plat::TControl& add = *form->AddLayerClip;
  const plat::TPoint middle{add.Width() / 2, add.Height() / 2};
  plat::SimulateMouse(add, plat::TMouseAction::Press, plat::mbLeft, middle);
  plat::SimulateMouse(add, plat::TMouseAction::Release, plat::mbLeft, middle);
  plat::Application().ProcessMessages();

  EXPECT_EQ(*questions, 1);
  EXPECT_EQ(messages, std::vector<std::string>{std::string(app::NoPictureText)});
  EXPECT_EQ(form->ImgView->Layers().Count(), layers);
}

}  // namespace
