// The background keeps how it is drawn (opacity, colour interaction) through the picture scale
// and failed opens, and a new background leaves no layer selected.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "RoadSupport.h"
#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/Settings.h"
#include "app/road/ClipboardTransfer.h"
#include "app/road/Composition.h"
#include "app/tools/ToolsMenus.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "support/FileDialogAnswers.h"
#include "support/MainWindowFixture.h"

namespace {

using road_test::MaxChannelDifference;
using road_test::Over;

constexpr uint32_t kPicture = 0xFF336699;
// kPicture added to the grey the view clears to.
constexpr uint32_t kPictureAddGrey = 0xFFB3E6FF;
// Items of the picture tools' colour list.
constexpr int kModeNone = 0, kModeAdd = 1;

class BackgroundState : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    test_support::AnswerFileDialogs(answer);
    plat::TestHooks().modal = [this](plat::TCustomForm& f) {
      if (auto* menu = dynamic_cast<app::TToolsMenuForm*>(&f); menu && use) use(*menu);
      return plat::mrOk;
    };
    plat::TestHooks().messageBox = [this](const std::string& text, const std::string&, uint32_t) {
      // Unsaved work is let go when another picture comes.
      if (text == app::SaveQuestionText) return plat::IDNO;
      messages.push_back(text);
      return plat::IDOK;
    };
    Start();
    form->Show();
    plat::Application().ProcessMessages();
  }
  void Open(const std::string& path) {
    answer = path;
    form->LoadButton->Click();
  }
  void ChoosePictureMode(int index) {
    use = [index](app::TToolsMenuForm& m) { m.ColorRadioGroup->SetItemIndex(index); };
    form->PictureToolsButton->Click();
    use = nullptr;
  }
  gfx::TBitmapLayer& AddLayer() {
    answer = Picture("layer.bmp", 20, 10);
    form->LoadWatButton->Click();
    auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    EXPECT_NE(layer, nullptr);
    return *layer;
  }
  std::vector<plat::TControl*> LayerControls() const {
    return {form->LayerOpacity,
            form->WMScale,
            form->ButtonIncreazeSizeLayer,
            form->ButtonDecreazeSizeLayer,
            form->FrameToolsButton,
            form->ClearButton};
  }
  uint32_t ComposedPixel() { return app::ComposePicture(*form->ImgView)->Pixel(10, 10); }

  std::string answer;
  std::vector<std::string> messages;
  std::function<void(app::TToolsMenuForm&)> use;
};

// The opacity gauge acts on the picture however it came to be drawn: fresh from a file, and after
// a colour interaction was chosen and set back to none, the same position gives the same picture.
TEST_F(BackgroundState, OpacityActsOnAFreshPictureAsAfterAnInteractionWasUndone) {
  Open(Picture("bg.bmp", 64, 48));
  gfx::TGaugeBar& gauge = *form->PictOpacityGaugeBar;
  ASSERT_TRUE(gauge.Enabled());
  // Dragged by the mouse as a user would: the handle from the right end towards the left.
  const plat::TRect handle = gauge.ZoneRect(gfx::zHandle);
  const plat::TPoint from{(handle.Left + handle.Right) / 2, (handle.Top + handle.Bottom) / 2};
  const plat::TPoint to{from.X - 40, from.Y};
  plat::SimulateMouse(gauge, plat::TMouseAction::Press, plat::mbLeft, from);
  plat::SimulateMouse(gauge, plat::TMouseAction::Move, plat::mbLeft, to);
  plat::SimulateMouse(gauge, plat::TMouseAction::Release, plat::mbLeft, to);
  const int position = gauge.Position();
  ASSERT_LT(position, 200);
  ASSERT_GT(position, 0);
  const uint32_t faded = Over(kPicture, 0xFF808080, position);
  EXPECT_LE(MaxChannelDifference(ComposedPixel(), faded), 1);

  ChoosePictureMode(kModeAdd);
  ChoosePictureMode(kModeNone);
  gauge.SetPosition(255);
  gauge.SetPosition(position);
  EXPECT_LE(MaxChannelDifference(ComposedPixel(), faded), 1);
}

// "+" then "-" brings the picture back to 100 %: its pixels as loaded, drawn as the gauge and the
// tools still say, on screen and in the saved picture.
TEST_F(BackgroundState, ScaleBackTo100KeepsOpacityAndInteraction) {
  Open(Picture("bg.bmp", 64, 48));
  gfx::TBitmap32& view = form->ImgView->Bitmap();
  ChoosePictureMode(kModeAdd);
  ChoosePictureMode(kModeNone);
  form->PictOpacityGaugeBar->SetPosition(100);
  const uint32_t faded = Over(kPicture, 0xFF808080, 100);
  for (plat::TSpeedButton* size : {form->ButtonIncreazeSize, form->ButtonDecreazeSize}) {
    size->Click();
    EXPECT_EQ(view.MasterAlpha(), 100u);
    EXPECT_EQ(view.DrawMode(), gfx::dmBlend);
    EXPECT_LE(MaxChannelDifference(ComposedPixel(), faded), 1);
  }
  ASSERT_EQ(form->ScaleBar->Position(), 100);
  EXPECT_EQ(view.Pixel(63, 47), kPicture);

  ChoosePictureMode(kModeAdd);
  ASSERT_EQ(ComposedPixel(), kPictureAddGrey);
  form->ButtonIncreazeSize->Click();
  form->ButtonDecreazeSize->Click();
  EXPECT_EQ(view.DrawMode(), gfx::dmCustom);
  EXPECT_EQ(form->BackgroundColorMode, kModeAdd);
  EXPECT_EQ(ComposedPixel(), kPictureAddGrey);
  answer = home_ + "/out.jpg";
  form->SaveButton->Click();
  gfx::TBitmap32 saved;
  saved.LoadFromFile(home_ + "/out.jpg");
  EXPECT_LE(MaxChannelDifference(saved.Pixel(10, 10), kPictureAddGrey), 3);
}

// Opening or pasting a picture over a selected layer deselects it as a click off the layers
// would: the layer controls go off.
TEST_F(BackgroundState, NewBackgroundDisablesTheLayerControls) {
  Open(Picture("bg.bmp", 64, 48));
  const std::function<void()> replacements[] = {
      [&] { Open(Picture("next.bmp", 32, 24)); },
      [&] { form->Button1->Click(); },
  };
  gfx::TBitmap32 clipboardPicture;
  clipboardPicture.SetSize(16, 12);
  clipboardPicture.ClearWithColor(0xFF102030);
  app::CopyPictureToClipboard(clipboardPicture);
  for (const auto& replace : replacements) {
    AddLayer();
    for (plat::TControl* c : LayerControls()) ASSERT_TRUE(c->Enabled()) << c->Name();
    replace();
    EXPECT_EQ(form->SelectedLayer, nullptr);
    EXPECT_EQ(form->ImgView->Layers().Count(), 0);
    for (plat::TControl* c : LayerControls()) EXPECT_FALSE(c->Enabled()) << c->Name();
  }
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 16);
  EXPECT_TRUE(messages.empty());
}

// A file that does not read leaves the picture drawn as it was, and the path, the settings and
// the offered save name still name the picture shown.
TEST_F(BackgroundState, FailedOpenChangesNothing) {
  const std::string picture = Picture("bg.bmp", 64, 48);
  Open(picture);
  ChoosePictureMode(kModeAdd);
  const std::string settings = road_test::ReadBytes(app::SettingsFileName());
  ASSERT_NE(settings, "");
  std::filesystem::create_directory(home_ + "/elsewhere");
  const std::string broken = home_ + "/elsewhere/broken.png";
  std::ofstream(broken) << "\x89PNG\r\n\x1a\nnothing more";

  EXPECT_THROW(Open(broken), std::exception);
  gfx::TBitmap32& view = form->ImgView->Bitmap();
  EXPECT_EQ(form->BackgroundColorMode, kModeAdd);
  EXPECT_EQ(view.DrawMode(), gfx::dmCustom);
  EXPECT_TRUE(bool(view.OnPixelCombine));
  EXPECT_EQ(ComposedPixel(), kPictureAddGrey);
  EXPECT_EQ(form->BackgroundPath, picture);
  EXPECT_EQ(form->BackgroundFolder, home_ + "/");
  EXPECT_EQ(road_test::ReadBytes(app::SettingsFileName()), settings);
  form->ButtonIncreazeSize->Click();
  EXPECT_EQ(form->Caption().find("broken"), std::string::npos);
  std::string offered;
  plat::TestHooks().fileDialog = [&offered](plat::TFileDialogRequest& r) {
    offered = r.fileName;
    return false;
  };
  form->SaveButton->Click();
  EXPECT_EQ(offered, home_ + "/bg-stamped.jpg");
}

TEST_F(BackgroundState, ATinyPictureShrunkWithTheMouseKeepsItsPixel) {
  gfx::TBitmap32 dot;
  dot.SetSize(1, 1);
  dot.ClearWithColor(0xFFFF0000);
  dot.SaveToFile(home_ + "/dot.bmp");
  Open(home_ + "/dot.bmp");
  plat::TControl& minus = *form->ButtonDecreazeSize;
  const plat::TPoint middle{minus.Width() / 2, minus.Height() / 2};
  for (int click = 0; click < 3; ++click) {
    plat::SimulateMouse(minus, plat::TMouseAction::Press, plat::mbLeft, middle);
    plat::SimulateMouse(minus, plat::TMouseAction::Release, plat::mbLeft, middle);
  }
  EXPECT_EQ(form->ScaleBar->Position(), 85);
  gfx::TBitmap32& view = form->ImgView->Bitmap();
  ASSERT_EQ(view.Width(), 1);
  ASSERT_EQ(view.Height(), 1);
  EXPECT_LE(MaxChannelDifference(view.Pixel(0, 0), 0xFFFF0000), 1);
  EXPECT_NE(form->Caption().find("1 x 1 pixels"), std::string::npos) << form->Caption();
  EXPECT_TRUE(messages.empty());
}

// The first picture that fails to open enables nothing.
TEST_F(BackgroundState, FailedFirstOpenLeavesEditingOff) {
  const std::string broken = home_ + "/broken.png";
  std::ofstream(broken) << "not a picture";
  EXPECT_THROW(Open(broken), std::exception);
  EXPECT_FALSE(form->ImageLoaded);
  EXPECT_FALSE(form->SaveButton->Enabled());
  EXPECT_FALSE(form->pnlBitmapLayer->Visible());
}

}  // namespace
