// The new-picture dialog on its own: presets, the colour choice and its look.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/newpicture/NewImageDialog.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"

namespace {

class NewImageDialog : public testing::Test {
 protected:
  void TearDown() override { plat::TestHooks() = plat::TTestHooks{}; }
  app::TNewImageForm dialog{nullptr};
};

TEST_F(NewImageDialog, PresetsWriteTheEditsAndTheUpDownsFollowThem) {
  struct Case {
    plat::TButton* button;
    const char *width, *height;
    int w, h;
  };
  const std::vector<Case> cases = {{dialog.Button4K, "3840", "2160", 3840, 2160},
                                   {dialog.ButtonHD, "1280", "720", 1280, 720},
                                   {dialog.Button5K, "5760", "3240", 5760, 3240},
                                   {dialog.ButtonFullHD, "1920", "1080", 1920, 1080}};
  for (const Case& c : cases) {
    c.button->Click();
    EXPECT_EQ(dialog.ImageWidth->Text(), c.width);
    EXPECT_EQ(dialog.ImageHeight->Text(), c.height);
    EXPECT_EQ(dialog.btUpDownWidth->Position(), c.w);
    EXPECT_EQ(dialog.btUpDownHeight->Position(), c.h);
  }
  // A preset closes nothing.
  EXPECT_EQ(dialog.ModalResult(), plat::mrNone);
}

TEST_F(NewImageDialog, OnlyAConfirmedColourReachesThePanel) {
  std::vector<plat::TColor> offered;
  std::optional<plat::TColor> answer = 0x1E7A3C;
  plat::TestHooks().colorDialog = [&](plat::TColor initial) {
    offered.push_back(initial);
    return answer;
  };
  dialog.pnColor->SetColor(0x00FF00);
  dialog.btSelect->Click();
  EXPECT_EQ(dialog.pnColor->Color(), 0x1E7A3C);
  answer.reset();
  dialog.btSelect->Click();
  EXPECT_EQ(dialog.pnColor->Color(), 0x1E7A3C);
  // The colour dialog starts from the panel each time.
  EXPECT_EQ(offered, (std::vector<plat::TColor>{0x00FF00, 0x1E7A3C}));
}

TEST_F(NewImageDialog, ButtonsCloseWithTheirResultsAndTheLayoutIsSaved) {
  plat::TestHooks().modal = [&](plat::TCustomForm&) {
    dialog.btCancel->Click();
    return plat::mrNone;
  };
  EXPECT_EQ(dialog.ShowModal(), plat::mrCancel);
  plat::TestHooks().modal = [&](plat::TCustomForm&) {
    dialog.btOK->Click();
    return plat::mrNone;
  };
  EXPECT_EQ(dialog.ShowModal(), plat::mrOk);

  dialog.ButtonFullHD->Click();
  dialog.pnColor->SetColor(plat::clCream);
  dialog.Show();
  plat::Application().ProcessMessages();
  const std::string file = plat::JoinPath(plat::ScreenshotFolder(), "new-picture-dialog.png");
  plat::SaveScreenshot(dialog, file);
  EXPECT_TRUE(plat::FileExists(file));
  // Enter and Esc in an edit answer as the two buttons do.
  dialog.ImageWidth->SetFocus();
  plat::PressKey(dialog, plat::VK_ESCAPE);
  EXPECT_EQ(dialog.ModalResult(), plat::mrCancel);
  plat::PressKey(dialog, plat::VK_RETURN);
  EXPECT_EQ(dialog.ModalResult(), plat::mrOk);
  dialog.Hide();
}

}  // namespace
