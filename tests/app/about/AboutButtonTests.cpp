#include <gtest/gtest.h>

#include <string>

#include "app/about/AboutBox.h"
#include "app/mainwindow/EditorTexts.h"
#include "platform/runtime/Files.h"
#include "support/MainWindowFixture.h"

namespace {

using app::TAboutBox;

class AboutButton : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    plat::TestHooks().modal = [this](plat::TCustomForm& f) -> plat::TModalResult {
      auto* box = dynamic_cast<TAboutBox*>(&f);
      if (!box) return plat::mrCancel;
      ++shown;
      page = box->Viewer->DocumentSource();
      box->Show();
      plat::SaveScreenshot(*box, plat::JoinPath(plat::ScreenshotFolder(), "about-box.png"));
      return plat::mrOk;
    };
  }
  int shown = 0;
  std::string page;
};

bool Has(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

TEST_F(AboutButton, OpensTheBoxWithTheNameVersionContactAndTheShortHelpLine) {
  Start();
  form->WhoIsBut->Click();
  ASSERT_EQ(shown, 1);
  EXPECT_TRUE(Has(page, "PixStamp"));
  EXPECT_TRUE(Has(page, "Version\r\n1.0"));
  EXPECT_TRUE(Has(page, "href=\"mailto:pixstamp@example.org\""));
  // Without the marker files: no layer folder line, the help line without a link.
  EXPECT_FALSE(Has(page, app::AboutLayerLinkText));
  EXPECT_TRUE(Has(page, "<p>Help and examples</p>\r\n"));
}

TEST_F(AboutButton, TheActionTimerRunsItForCodeTwenty) {
  Start();
  form->ToolAction = 20;
  form->TimerEllapsed2(nullptr);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(form->ToolAction, 0);
}

}  // namespace
