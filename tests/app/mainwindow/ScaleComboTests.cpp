// The scale combo: a typed percentage zooms the view and is written back in one form.
#include <cmath>

#include "support/MainWindowFixture.h"

namespace {

class ScaleCombo : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start({Picture("bg.bmp", 64, 48)});
    form->TimerEllapsed(form->Timer1);  // the command line's picture loads on the second tick
    form->TimerEllapsed(form->Timer1);
    ASSERT_TRUE(form->ImageLoaded);
  }
  // The text as typed, then the combo's change event.
  void Choose(const std::string& text) {
    form->ScaleCombo->SetText(text);
    ASSERT_TRUE(form->ScaleCombo->OnChange);
    form->ScaleCombo->OnChange(form->ScaleCombo);
  }
};

TEST_F(ScaleCombo, APercentageWithBlanksAndSignsZoomsTheView) {
  Choose("150 %");
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 1.5f);
  EXPECT_EQ(form->ScaleCombo->Text(), "150%");
  EXPECT_EQ(form->ScaleCombo->SelStart(), 3);  // before the "%"
  EXPECT_EQ(form->Label1->Caption(), "Scale: 150%");

  Choose(" 1 % ");
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 0.01f);
  EXPECT_EQ(form->ScaleCombo->Text(), "1%");
  EXPECT_EQ(form->ScaleCombo->SelStart(), 1);

  Choose("2000%");
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 20.0f);
  EXPECT_EQ(form->ScaleCombo->Text(), "2000%");
}

TEST_F(ScaleCombo, TextWithoutAUsablePercentageWritesTheCurrentZoomBack) {
  Choose("75%");
  for (const char* text : {"abc", "0%", "2001%", "-5%", "", "%", "1.5"}) {
    SCOPED_TRACE(text);
    Choose(text);
    EXPECT_FLOAT_EQ(form->ImgView->Scale(), 0.75f);
    EXPECT_EQ(form->ScaleCombo->Text(), "75%");
    EXPECT_EQ(form->Label1->Caption(), "Scale: 75%");
  }
}

// The zoom written back is rounded from the scale itself, not from its hundredfold in single
// precision (22.5 exactly for 0.225000009).
TEST_F(ScaleCombo, TheZoomWrittenBackRoundsTheScaleItself) {
  form->ImgView->SetScale(std::nextafter(0.225f, 1.0f));
  Choose("abc");
  EXPECT_EQ(form->ScaleCombo->Text(), "23%");
}

TEST_F(ScaleCombo, ZoomingLeavesThePictureItsOwnSize) {
  Choose("300%");
  EXPECT_EQ(form->ScaleBar->Position(), 100);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 64);
  EXPECT_EQ(form->ImgView->Bitmap().Height(), 48);
  EXPECT_EQ(form->BackgroundWidth, 64);
}

}  // namespace
