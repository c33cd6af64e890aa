// Every dialog opened from the main window the way a user opens it, on a roomy and on a small
// screen, with a screenshot of each as it shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/extcolor/ExtendedColorDialog.h"
#include "app/rotate/RotateDialog.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "support/FileDialogAnswers.h"
#include "support/MainWindowFixture.h"

namespace {

class DialogTour : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    test_support::AnswerFileDialogs(answer);
    plat::TestHooks().modal = [this](plat::TCustomForm& f) {
      f.Show();
      // The one-time fits to the screen, which the dialogs run from their timers.
      if (auto* rotate = dynamic_cast<app::TFormRotateExample*>(&f)) rotate->Timer1Timer(nullptr);
      if (auto* color = dynamic_cast<app::TFormExtendedColor*>(&f)) color->Timer2Timer(nullptr);
      plat::Application().ProcessMessages();
      const std::string file =
          plat::JoinPath(plat::ScreenshotFolder(), "tour-" + prefix + f.ClassName() + ".png");
      plat::SaveScreenshot(f, file);
      shown.push_back(f.ClassName());
      // Fitted, every dialog lies on the screen, so its OK and Cancel can be reached.
      EXPECT_LE(f.Height(), plat::Screen().Height()) << f.ClassName();
      EXPECT_LE(f.Width(), plat::Screen().Width()) << f.ClassName();
      return plat::mrCancel;
    };
  }
  void Open(const std::string& screenPrefix, plat::TSize screen) {
    prefix = screenPrefix;
    plat::TestHooks().screenSize = screen;
    Start();
    form->Show();
    answer = Picture("bg.bmp", 900, 700);
    form->mnFileOpenClick(nullptr);
    answer = Picture("layer.bmp", 300, 200);
    form->mnWaterMarkSelectClick(nullptr);
    answer.clear();
  }
  void Tour() {
    form->OpenColorFunctions(nullptr);
    form->OpenBGPictFunctions(nullptr);
    form->WMRotateChange(nullptr, 2);
    form->OpenBGExtendedColorFunctions(nullptr, 2, 2);
    form->WatermarkToolsClick(nullptr);
    form->NewButtonClick(nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"TColorFunctionsForm", "TBGPictFunctionsForm",
                                               "TFormRotateExample", "TFormExtendedColor",
                                               "TRGBALoaderForm", "TNewImageForm"}));
  }
  std::string answer, prefix;
  std::vector<std::string> shown;
};

TEST_F(DialogTour, LargeScreen) {
  Open("large-", plat::TSize{1920, 1080});
  Tour();
}

TEST_F(DialogTour, SmallScreen) {
  Open("small-", plat::TSize{1024, 700});
  Tour();
}

}  // namespace
