// The colour and rotation dialogs opened from the main window and used in their own modal runs,
// with the mouse, as a user does: the pictures they hand back reach the layer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/extcolor/ExtendedColorDialog.h"
#include "app/layerbuilder/RGBALoaderDialog.h"
#include "app/newpicture/NewImageDialog.h"
#include "app/rotate/RotateDialog.h"
#include "app/tools/ToolsMenus.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/DialogUser.h"
#include "support/MainWindowFixture.h"

namespace {

class RealRun : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start();
    form->Show();
    form->LoadBackground(Picture("bg.bmp", 300, 200));
    app::TPictureLayerRequest request;
    request.FileName = Picture("layer.bmp", 40, 20);
    layer = &form->CreatePictureLayer(nullptr, request);
  }
  // Act runs again and again while a modal dialog is up, until it says it is done.
  void WhileModal(std::function<bool(plat::TCustomForm&)> act) {
    poll = std::make_unique<plat::TTimer>(nullptr);
    poll->SetInterval(30);
    poll->OnTimer = [this, act](plat::TObject*) {
      for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* dialog = dynamic_cast<plat::TCustomForm*>(form->Components(i)))
          if (dialog->Visible() && act(*dialog)) poll->SetEnabled(false);
    };
    poll->SetEnabled(true);
  }
  static void Click(plat::TControl& control, plat::TPoint at) {
    plat::SimulateMouse(control, plat::TMouseAction::Press, plat::mbLeft, at);
    plat::SimulateMouse(control, plat::TMouseAction::Release, plat::mbLeft, at);
  }
  static void Click(plat::TControl& control) {
    Click(control, {control.Width() / 2, control.Height() / 2});
  }
  gfx::TBitmapLayer* Selected() const {
    return dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  }
  gfx::TBitmapLayer* layer = nullptr;
  std::unique_ptr<plat::TTimer> poll;
};

TEST_F(RealRun, TurningByAButtonAndOkTurnsTheLayer) {
  WhileModal([](plat::TCustomForm& f) {
    auto& dialog = dynamic_cast<app::TFormRotateExample&>(f);
    Click(*dialog.Button180);
    Click(*dialog.CloseButton);
    return true;
  });
  form->WMRotateChange(nullptr, 1);
  ASSERT_NE(Selected(), nullptr);
  EXPECT_EQ(Selected()->AngleCode, 10090);
  EXPECT_EQ(Selected()->Bitmap().Width(), 20);  // 40 x 20 turned
}

TEST_F(RealRun, AHalfTransparentLayerTurnedFromItsToolsKeepsItsColourAndOpacity) {
  constexpr uint32_t kHalfRed = 0x80C04020;
  gfx::TBitmap32 square;
  square.SetSize(40, 40);
  square.ClearWithColor(kHalfRed);
  square.SaveToFile(home_ + "/half.bmp");
  app::TPictureLayerRequest request;
  request.FileName = home_ + "/half.bmp";
  form->CreatePictureLayer(nullptr, request);

  WhileModal([](plat::TCustomForm& f) {
    if (auto* menu = dynamic_cast<app::TColorFunctionsForm*>(&f)) {
      test_support::ClickItem(*menu->FunctionRadioGroup, 5);  // "Rotation Tools"
      return false;
    }
    auto& dialog = dynamic_cast<app::TFormRotateExample&>(f);
    Click(*dialog.Button180);  // "+ 90°"
    Click(*dialog.CloseButton);
    return true;
  });
  const gfx::TFloatRect before = Selected()->Location();
  Click(*form->FrameToolsButton);
  ASSERT_EQ(form->ToolAction, 3);
  form->TimerEllapsed2(nullptr);

  ASSERT_NE(Selected(), nullptr);
  ASSERT_EQ(Selected()->AngleCode, 10090);
  // Turned in place: the square's centre stays where it was.
  const gfx::TFloatRect after = Selected()->Location();
  EXPECT_NEAR(after.Left + after.Right, before.Left + before.Right, 1.0f);
  EXPECT_NEAR(after.Top + after.Bottom, before.Top + before.Bottom, 1.0f);
  // The middle of the turned square, away from its sampled edges.
  const uint32_t middle = Selected()->Bitmap().Pixel(29, 29);
  for (int shift = 0; shift < 32; shift += 8)
    EXPECT_LE(std::abs(int((middle >> shift) & 255) - int((kHalfRed >> shift) & 255)), 1)
        << std::hex << middle;
}

TEST_F(RealRun, OkAfterAChangeRecoloursTheLayerOnceTheWaitTextShowed) {
  WhileModal([](plat::TCustomForm& f) {
    auto& dialog = dynamic_cast<app::TFormExtendedColor&>(f);
    Click(*dynamic_cast<plat::TCheckBox*>(dialog.FindComponent("Swap_RB")));
    Click(*dialog.OkButton);
    return true;
  });
  form->OpenBGExtendedColorFunctions(nullptr, 2, 2);
  ASSERT_NE(Selected(), nullptr);
  EXPECT_NE(Selected(), layer);
  // 0xFF336699 with red and blue swapped.
  EXPECT_EQ(Selected()->Bitmap().Pixel(5, 5), 0xFF996633u);
}

TEST_F(RealRun, ThePictureRecolouredFromItsToolsKeepsItsNameInTheTitle) {
  form->BackgroundPath = home_ + "/bg.bmp";
  WhileModal([](plat::TCustomForm& f) {
    if (auto* menu = dynamic_cast<app::TBGPictFunctionsForm*>(&f)) {
      menu->FunctionRadioGroup->SetItemIndex(app::pfExtendedColor);
      return false;
    }
    auto& dialog = dynamic_cast<app::TFormExtendedColor&>(f);
    Click(*dynamic_cast<plat::TCheckBox*>(dialog.FindComponent("Swap_RB")));
    Click(*dialog.OkButton);
    return true;
  });
  Click(*form->PictureToolsButton);
  ASSERT_EQ(form->ToolAction, 11);
  form->TimerEllapsed2(nullptr);
  // 0xFF336699 with red and blue swapped.
  ASSERT_EQ(form->ImgView->Bitmap().Pixel(150, 150), 0xFF996633u);
  EXPECT_NE(form->Caption().find("bg.bmp] 300 x 200"), std::string::npos) << form->Caption();
}

// The keyboard in the dialogs that have no cancel button: Esc ends them as their close box does,
// leaving the layer as it was, and Enter in the colour dialog presses its OK.
TEST_F(RealRun, EscEndsDialogsWithoutACancelButtonAndEnterPressesTheDefault) {
  std::vector<std::string> ended, stuck;
  // Keys on each dialog as it shows; one that still shows at the next look did not end, and its
  // close box ends it.
  const auto pressOnEachDialog = [&](std::function<void(plat::TCustomForm&)> press) {
    WhileModal([&, press](plat::TCustomForm& dialog) {
      if (!ended.empty() && ended.back() == dialog.Caption()) {
        stuck.push_back(dialog.Caption());
        dialog.CloseFromWindow();
        return false;
      }
      ended.push_back(dialog.Caption());
      press(dialog);
      return false;
    });
  };
  pressOnEachDialog([](plat::TCustomForm& dialog) { plat::PressKey(dialog, plat::VK_ESCAPE); });
  form->WMRotateChange(nullptr, 1);
  form->OpenBGExtendedColorFunctions(nullptr, 2, 2);
  Click(*form->WhoIsBut);
  EXPECT_EQ(ended, (std::vector<std::string>{"Rotate", "Extended Color Functions", "About"}));
  EXPECT_EQ(stuck, std::vector<std::string>{}) << "still open after Esc";
  ASSERT_EQ(Selected(), layer);
  EXPECT_EQ(layer->AngleCode, 0);
  EXPECT_EQ(layer->Bitmap().Pixel(5, 5), 0xFF336699u);

  stuck.clear();
  pressOnEachDialog([](plat::TCustomForm& dialog) {
    Click(*dynamic_cast<plat::TCheckBox*>(dialog.FindComponent("Swap_RB")));
    plat::PressKey(dialog, plat::VK_RETURN, "\r");
  });
  form->OpenBGExtendedColorFunctions(nullptr, 2, 2);
  poll->SetEnabled(false);
  EXPECT_EQ(stuck, std::vector<std::string>{}) << "still open after Enter";
  ASSERT_NE(Selected(), nullptr);
  // 0xFF336699 with red and blue swapped.
  EXPECT_EQ(Selected()->Bitmap().Pixel(5, 5), 0xFF996633u);
}

TEST_F(RealRun, APresetAndOkMakeANewPictureOfThatSize) {
  // The layer is unsaved work, which the user lets go.
  plat::TestHooks().messageBox = [](const std::string&, const std::string&, uint32_t) {
    return plat::IDNO;
  };
  WhileModal([](plat::TCustomForm& f) {
    auto& dialog = dynamic_cast<app::TNewImageForm&>(f);
    Click(*dialog.Button4K);
    Click(*dialog.btOK);
    return true;
  });
  form->NewButtonClick(nullptr);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 3840);
  EXPECT_EQ(form->ImgView->Bitmap().Height(), 2160);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
}

TEST_F(RealRun, ALoadedBackgroundAndOkMakeALayerOfIt) {
  const std::string picture = Picture("fill.bmp", 30, 30);
  plat::TestHooks().fileDialog = [picture](plat::TFileDialogRequest& r) {
    r.fileName = picture;
    return true;
  };
  const int32_t layers = form->ImgView->Layers().Count();
  WhileModal([](plat::TCustomForm& f) {
    auto& builder = dynamic_cast<app::TRGBALoaderForm&>(f);
    Click(*builder.btLoadImage);
    Click(*builder.btOK);
    return true;
  });
  form->WatermarkToolsClick(nullptr);
  ASSERT_NE(Selected(), nullptr);
  EXPECT_EQ(form->ImgView->Layers().Count(), layers + 1);
  EXPECT_EQ(Selected()->Bitmap().Pixel(0, 0), 0xFF336699u);
  EXPECT_EQ(form->OverlayBackgroundFile, picture);
}

}  // namespace
