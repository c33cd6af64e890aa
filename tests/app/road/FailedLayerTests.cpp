// A layer that cannot be made, asked for with the mouse on the shown main window: the error is
// shown and the layer panel stays as it was, with no control claiming a layer that is not there.
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/mainwindow/EditorTexts.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"

namespace {

class FailedLayer : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    plat::TestHooks().messageBox = [this](const std::string& text, const std::string&, uint32_t) {
      // A layer that was asked for counts as a change, even when it failed: let it go.
      if (text == app::SaveQuestionText) return plat::IDNO;
      messages.push_back(text);
      return plat::IDOK;
    };
    Start({Picture("bg.bmp", 64, 48)});
    form->TimerEllapsed(form->Timer1);
    form->TimerEllapsed(form->Timer1);
    form->Show();
    plat::Application().ProcessMessages();
  }
  static void Click(plat::TControl& control) {
    const plat::TPoint middle{control.Width() / 2, control.Height() / 2};
    plat::SimulateMouse(control, plat::TMouseAction::Press, plat::mbLeft, middle);
    plat::SimulateMouse(control, plat::TMouseAction::Release, plat::mbLeft, middle);
    plat::Application().ProcessMessages();
  }
  std::vector<bool> LayerControls() const {
    std::vector<bool> enabled;
    for (plat::TControl* c : std::initializer_list<plat::TControl*>{
             form->LayerOpacity, form->WMScale, form->ButtonIncreazeSizeLayer,
             form->ButtonDecreazeSizeLayer, form->FrameToolsButton, form->ClearButton})
      enabled.push_back(c->Enabled());
    return enabled;
  }
  std::vector<std::string> messages;
};

TEST_F(FailedLayer, ABrokenPictureOrAnOversizedTextLeavesTheLayerPanelAsItWas) {
  ASSERT_TRUE(form->ImageLoaded);
  const std::vector<bool> before = LayerControls();
  EXPECT_FALSE(form->FrameToolsButton->Enabled());

  const std::string broken = home_ + "/broken.png";
  std::ofstream(broken) << "not a picture at all";
  plat::TestHooks().fileDialog = [&broken](plat::TFileDialogRequest& r) {
    r.fileName = broken;
    return true;
  };
  Click(*form->LoadWatButton);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(LayerControls(), before);

  // Far wider than a picture may be.
  form->CurrentText = std::string(4000, 'W');
  Click(*form->WriteTextButton);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(LayerControls(), before);
}

// A file left empty (a download that failed) is named as such, whatever reader its name picks.
TEST_F(FailedLayer, AnEmptyPictureFileSaysItIsEmpty) {
  std::string chosen;
  plat::TestHooks().fileDialog = [&chosen](plat::TFileDialogRequest& r) {
    r.fileName = chosen;
    return true;
  };
  for (const char* name : {"empty.png", "empty.gif", "empty.jpg"}) {
    chosen = home_ + "/" + name;
    std::ofstream{chosen};
    for (plat::TControl* button : {form->LoadWatButton, form->LoadButton}) {
      messages.clear();
      Click(*button);
      ASSERT_EQ(messages.size(), 1u) << name;
      EXPECT_NE(plat::LowerCase(messages[0]).find("empty"), std::string::npos)
          << name << ": " << messages[0];
    }
  }
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 64);
}

}  // namespace
