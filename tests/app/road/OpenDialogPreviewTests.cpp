// The open dialog's preview, in the real dialog opened with the Load button: it shows the file
// the dialog opens on and follows a typed name, as it follows a clicked one.
#include <gtest/gtest.h>

#include <functional>

#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"

namespace {

constexpr uint32_t kRed = 0xFFD02010, kBlue = 0xFF1030C0;

class OpenDialogPreview : public MainWindow {
 protected:
  std::string Flat(const std::string& name, uint32_t colour) {
    gfx::TBitmap32 b;
    b.SetSize(60, 40);
    b.ClearWithColor(colour);
    b.SaveToFile(home_ + "/" + name);
    return home_ + "/" + name;
  }
  void ClickLoad() {
    plat::TControl& load = *form->LoadButton;
    const plat::TPoint middle{load.Width() / 2, load.Height() / 2};
    plat::SimulateMouse(load, plat::TMouseAction::Press, plat::mbLeft, middle);
    plat::SimulateMouse(load, plat::TMouseAction::Release, plat::mbLeft, middle);
  }
  // The colour in the middle of the preview once it shows a picture; 0 while it shows none.
  static uint32_t PreviewMiddle() {
    const plat::TCapturedImage shown = plat::FileDialogPreview();
    return shown.width > 0 ? shown.Pixel(shown.width / 2, shown.height / 2) : 0;
  }
};

TEST_F(OpenDialogPreview, ShowsTheFileTheDialogOpensOnAndFollowsATypedName) {
  const std::string red = Flat("red.bmp", kRed);
  Flat("blue.bmp", kBlue);
  Start();
  form->Show();
  plat::Application().ProcessMessages();
  // The first open chooses red.bmp; the next one opens on it.
  plat::TestHooks().fileDialog = [&red](plat::TFileDialogRequest& r) {
    r.fileName = red;
    return true;
  };
  ClickLoad();
  ASSERT_TRUE(form->ImageLoaded);
  plat::TestHooks().fileDialog = nullptr;
  plat::TestHooks().showFileDialogs = true;

  // The user looks at the preview, types the other name, looks again and opens it.
  std::vector<uint32_t> seen;
  int ticks = 0;
  plat::TTimer user(nullptr);
  user.SetInterval(30);
  user.OnTimer = [&](plat::TObject*) {
    const uint32_t middle = PreviewMiddle();
    ++ticks;
    if (seen.empty() && (middle != 0 || ticks > 20)) {
      seen.push_back(middle);
      plat::TypeInFileDialog("blue.bmp", false);
      ticks = 0;
    } else if (seen.size() == 1 && (middle != seen[0] || ticks > 20)) {
      seen.push_back(middle);
      plat::TypeInFileDialog("blue.bmp");
    }
  };
  user.SetEnabled(true);
  ClickLoad();
  user.SetEnabled(false);
  EXPECT_EQ(seen, (std::vector<uint32_t>{kRed, kBlue}));
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(5, 5), kBlue);
}

}  // namespace
