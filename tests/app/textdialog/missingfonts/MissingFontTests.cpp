// A family of the text dialog's list that is not installed comes out in the default sans in the
// dialog's preview, in the stamped layer and in the hint, whatever fontconfig would stand in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/textdialog/FontDialog.h"
#include "html/viewer/PageViewer.h"
#include "platform/windows/TestSeams.h"
#include "support/MainWindowFixture.h"

namespace {

using Pixels = std::vector<uint32_t>;

class MissingFont : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start({Picture("bg.bmp", 400, 200)});
    form->TimerEllapsed(form->Timer1);
    form->TimerEllapsed(form->Timer1);
    form->FontSizeText = "4";
    form->CurrentText = "Stamp Qgy";
  }
  // The family chosen in the text dialog, from its list when it is there; returns what the
  // dialog's preview showed.
  plat::TCapturedImage ChooseInTheDialog(const std::string& family) {
    plat::TCapturedImage preview;
    plat::TestHooks().modal = [&](plat::TCustomForm& f) {
      auto& d = dynamic_cast<app::TFontForm&>(f);
      const int item = d.FontListBox->Items()->IndexOf(family);
      if (item < 0) {
        d.SetFontName(family);
      } else {
        d.FontListBox->SetItemIndex(item);
        d.ColorListClick(d.FontListBox);
      }
      preview = plat::CaptureControl(*d.FontViewer);
      return plat::mrOk;
    };
    form->TextOptionButtonClick(nullptr);
    return preview;
  }
  Pixels Stamp() {
    form->WriteTextClick(nullptr);
    auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    EXPECT_NE(layer, nullptr);
    if (!layer) return {};
    const gfx::TBitmap32& b = layer->Bitmap();
    return {b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height())};
  }
};

TEST_F(MissingFont, ComesOutInTheDefaultSansEverywhere) {
  const plat::TCapturedImage samplePreview = ChooseInTheDialog("DejaVu Sans");
  const Pixels sans = Stamp();
  const plat::TCapturedImage missingPreview = ChooseInTheDialog("Impact");
  ASSERT_EQ(form->FontName, "Impact");  // the choice is kept for a machine that has it
  EXPECT_EQ(Stamp(), sans);
  EXPECT_EQ(missingPreview.pixels, samplePreview.pixels);
  const std::string hint = form->WriteTextButton->Hint();
  EXPECT_NE(hint.find(std::string(app::HintFontLabel) + "DejaVu Sans "), std::string::npos) << hint;
  EXPECT_EQ(hint.find("Impact"), std::string::npos) << hint;

  // An installed face is drawn as itself: the comparisons above tell faces apart.
  EXPECT_NE(ChooseInTheDialog("DejaVu Serif").pixels, samplePreview.pixels);
  EXPECT_NE(Stamp(), sans);
}

}  // namespace
