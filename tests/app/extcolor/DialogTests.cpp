// The dialog driven through its handlers: the controls, the preview and the work file.
#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "ExtColorSupport.h"
#include "app/extcolor/ExtendedColorDialog.h"
#include "app/road/ClipboardTransfer.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/runtime/Files.h"
#include "platform/windows/TestSeams.h"
#include "support/DialogUser.h"

namespace {

using extcolor_test::ExpectSamePicture;
using extcolor_test::ReadBytes;

class ExtendedColorDialog : public testing::Test {
 protected:
  void SetUp() override {
    plat::TestHooks().screenSize = plat::TSize{1600, 1200};
    extcolor_test::MakeVariedPicture(picture, 90, 60);
    picture.SaveToFile(work);
    handedOver = ReadBytes(work);
    dialog = std::make_unique<app::TFormExtendedColor>(nullptr);
  }
  void TearDown() override {
    dialog.reset();
    plat::TestHooks() = plat::TTestHooks{};
  }
  template <class T>
  T& Control(const std::string& name) {
    return *dynamic_cast<T*>(dialog->FindComponent(name));
  }
  gfx::TGaugeBar& Gauge(const std::string& name) { return Control<gfx::TGaugeBar>(name); }
  plat::TEdit& Edit(const std::string& name) { return Control<plat::TEdit>(name); }
  plat::TCheckBox& Box(const std::string& name) { return Control<plat::TCheckBox>(name); }
  plat::TButton& Button(const std::string& name) { return Control<plat::TButton>(name); }
  // OK and the timer tick it starts.
  void PressOk() {
    dialog->CloseButtonClick(nullptr);
    if (dialog->Timer1->Enabled()) dialog->Timer1Timer(nullptr);
  }
  // The chain applied to the handed-over picture, alpha kept.
  std::unique_ptr<gfx::TBitmap32> Expected(const app::TExtendedColorSettings& s) {
    auto b = std::make_unique<gfx::TBitmap32>();
    b->Assign(picture);
    app::ApplyExtendedColor(*b, s);
    return b;
  }

  extcolor_test::ScratchFolder folder;
  const std::string work = folder.File("work.jpg");
  gfx::TBitmap32 picture;
  std::string handedOver;
  std::unique_ptr<app::TFormExtendedColor> dialog;
};

TEST_F(ExtendedColorDialog, LoadsThePictureAndPreviewsItUnchangedAtFirst) {
  dialog->SetFileName(work + "1");  // the rotated-before mark is dropped
  EXPECT_EQ(dialog->FileName(), work);
  ExpectSamePicture(dialog->Src->Bitmap(), picture, picture);
  // Fits: the reduced copy is the picture itself, and the neutral chain leaves the colours.
  ExpectSamePicture(dialog->Tmp->Bitmap(), picture, picture);
  ExpectSamePicture(dialog->Dst->Bitmap(), picture, picture);
  EXPECT_FALSE(dialog->SettingsChanged());
  EXPECT_EQ(Edit("Edit_Gamma").Text(), "1.00");
  EXPECT_FALSE(Gauge("Amout_RGB").Enabled());
  EXPECT_FALSE(Gauge("Supress_Gauge_G").Enabled());
}

TEST_F(ExtendedColorDialog, TheRotationSettersChangeNothing) {
  dialog->SetAngle(45);
  dialog->SetMode(2);
  dialog->SetCombineMode(7);
  dialog->SetFileName(work);
  dialog->SetSteps(12);
  dialog->SetStepAngle(30);
  const app::TExtendedColorSettings s = dialog->CurrentSettings(), neutral;
  EXPECT_EQ(s.Gamma, neutral.Gamma);
  EXPECT_EQ(s.LogicalRGB.Enabled, neutral.LogicalRGB.Enabled);
  EXPECT_EQ(s.BalanceRGB.Algorithm, 1);
  ExpectSamePicture(dialog->Dst->Bitmap(), picture, picture);
  PressOk();
  EXPECT_EQ(ReadBytes(work), handedOver);
}

TEST_F(ExtendedColorDialog, LargePicturesPreviewReduced) {
  dialog->Dst->SetBounds(8, 8, 40, 30);
  gfx::TBitmap32 large;
  large.SetSize(800, 600);  // twenty times the preview
  large.ClearWithColor(0xFF204060);
  large.SaveToFile(work);
  dialog->SetFileName(work);
  EXPECT_EQ(dialog->Tmp->Bitmap().Width(), 32);
  EXPECT_EQ(dialog->Tmp->Bitmap().Height(), 24);
  EXPECT_EQ(dialog->Dst->Bitmap().Pixel(16, 12), 0xFF204060u);
  EXPECT_EQ(dialog->Src->Bitmap().Width(), 800);
}

// A picture too long to fit and only a few pixels thin keeps a row or column of its own pixels
// in the preview: the first half's colour at the start, the second half's at the end.
TEST_F(ExtendedColorDialog, ThinPicturesTooLongToFitPreviewTheirOwnPixels) {
  constexpr gfx::TColor32 First = 0xFF336699, Second = 0x80C03010;
  for (const auto& [width, height] : {std::pair{1, 700},
                                      {1, 5000},
                                      {2, 5000},
                                      {3, 5000},
                                      {5, 5000},
                                      {8, 5000},
                                      {13, 5000},
                                      {26, 5000},
                                      {40, 5000},
                                      {20, 30000},
                                      {2, 700},
                                      {3, 700},
                                      {700, 1},
                                      {5000, 1},
                                      {5000, 4},
                                      {700, 2}}) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    gfx::TBitmap32 thin;
    thin.SetSize(width, height);
    const bool tall = height > width;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        thin.SetPixel(x, y, (tall ? y < height / 2 : x < width / 2) ? First : Second);
    thin.SaveToFile(work);
    dialog->SetFileName(work);
    const gfx::TBitmap32& reduced = dialog->Tmp->Bitmap();
    ASSERT_LT(tall ? reduced.Height() : reduced.Width(), tall ? height : width);
    const int last = (tall ? reduced.Height() : reduced.Width()) - 1;
    for (int across = 0; across < (tall ? reduced.Width() : reduced.Height()); ++across) {
      EXPECT_EQ(tall ? reduced.Pixel(across, 0) : reduced.Pixel(0, across), First);
      EXPECT_EQ(tall ? reduced.Pixel(across, last) : reduced.Pixel(last, across), Second);
    }
    ExpectSamePicture(dialog->Dst->Bitmap(), reduced, reduced);
  }
}

TEST_F(ExtendedColorDialog, GaugesEditsAndButtonsFollowTheirRules) {
  dialog->SetFileName(work);
  // Typed values move the gauge only when they are whole numbers in its range.
  Edit("Edit_BalanceRGB").SetText("300");
  EXPECT_EQ(Gauge("Color_RGB_Gauge").Position(), 0);
  Edit("Edit_BalanceRGB").SetText("x");
  EXPECT_EQ(Gauge("Color_RGB_Gauge").Position(), 0);
  EXPECT_FALSE(dialog->SettingsChanged());
  Edit("Edit_BalanceRGB").SetText("-40");
  EXPECT_EQ(Gauge("Color_RGB_Gauge").Position(), -40);
  EXPECT_TRUE(dialog->SettingsChanged());
  Edit("Edit_InvertR").SetText("256");
  EXPECT_EQ(Gauge("Amout_R").Position(), 128);

  // Gamma's text, and its steps stopping at the ends.
  Gauge("Gamma_Gauge").SetPosition(26);
  EXPECT_EQ(Edit("Edit_Gamma").Text(), "0.26");
  dialog->StepDownClick(&Button("Minus_Gamma_Gauge"));
  EXPECT_EQ(Gauge("Gamma_Gauge").Position(), 1);
  EXPECT_EQ(Edit("Edit_Gamma").Text(), "0.01");
  Gauge("Gamma_Gauge").SetPosition(675);
  dialog->StepUpClick(&Button("Plus_Gamma_Gauge"));
  EXPECT_EQ(Edit("Edit_Gamma").Text(), "7.00");
  dialog->GaugeResetClick(&Button("Reset_Gamma_Gauge"));
  EXPECT_EQ(Edit("Edit_Gamma").Text(), "1.00");
  Gauge("Bright_Gauge").SetPosition(-230);
  dialog->StepDownClick(&Button("Minus_Bright_Gauge"));
  EXPECT_EQ(Edit("Edit_Bright").Text(), "-255");
}

TEST_F(ExtendedColorDialog, OnlyResultChangingControlsMarkTheSettingsChanged) {
  dialog->SetFileName(work);
  Gauge("Amout_RGB").SetPosition(10);
  dialog->StepUpClick(&Button("Plus_Amout_G"));
  Control<plat::TRadioGroup>("MaxPixelGroup_B").SetItemIndex(4);
  EXPECT_EQ(dialog->CurrentSettings().BalanceB.Algorithm, 5);
  EXPECT_FALSE(dialog->SettingsChanged());
  Box("Invert_RGB").SetChecked(true);
  EXPECT_TRUE(dialog->SettingsChanged());
  EXPECT_TRUE(Gauge("Amout_RGB").Enabled());
  EXPECT_TRUE(Control<plat::TRadioGroup>("LogicalFunc_RGB").Enabled());

  Box("Threshold_G").SetChecked(true);
  EXPECT_TRUE(Gauge("Supress_Gauge_G").Enabled());
  EXPECT_TRUE(Box("Sense_G").Enabled());
  Box("Sense_G").SetChecked(true);
  EXPECT_EQ(Box("Sense_G").Caption(), "<");
  EXPECT_TRUE(dialog->CurrentSettings().ThresholdG.Above);

  // Reset puts every group back, swaps included, and forgets the changes.
  Box("Swap_RB").SetChecked(true);
  Gauge("Saturation_Gauge_R").SetPosition(-100);
  Edit("Edit_BalanceG").SetText("300");  // refused: the gauge stays at 0
  dialog->ButtonZeroClick(nullptr);
  EXPECT_EQ(Edit("Edit_BalanceG").Text(), "0");
  EXPECT_FALSE(dialog->SettingsChanged());
  EXPECT_FALSE(Box("Invert_RGB").Checked());
  EXPECT_FALSE(Gauge("Amout_RGB").Enabled());
  EXPECT_FALSE(Box("Threshold_G").Checked());
  EXPECT_FALSE(Gauge("Supress_Gauge_G").Enabled());
  EXPECT_FALSE(Box("Swap_RB").Checked());
  EXPECT_EQ(Gauge("Saturation_Gauge_R").Position(), 100);
  EXPECT_EQ(Gauge("Amout_RGB").Position(), 128);
  EXPECT_EQ(dialog->CurrentSettings().BalanceB.Algorithm, 1);
  ExpectSamePicture(dialog->Dst->Bitmap(), picture, picture);
}

// A pasted number out of range is refused and leaves its gauge where it was; Reset then shows
// every edit at its gauge's default again, whichever group it belongs to.
TEST_F(ExtendedColorDialog, ResetShowsTheDefaultsInEditsHoldingARefusedPastedNumber) {
  dialog->SetFileName(work);
  dialog->Show();
  for (const char* key : {"RGB", "R", "G", "B"})
    test_support::Click(Box(std::string("Invert_") + key), {6, Box("Invert_RGB").Height() / 2});
  const std::pair<const char*, const char*> pasted[] = {
      {"Edit_InvertRGB", "300"},      {"Edit_InvertR", "-1"},        {"Edit_InvertG", "256"},
      {"Edit_InvertB", "999"},        {"Edit_BalanceRGB", "300"},    {"Edit_BalanceR", "-256"},
      {"Edit_BalanceG", "1000"},      {"Edit_BalanceB", "-999"},     {"Edit_Bright", "300"},
      {"Edit_Saturation_RGB", "256"}, {"Edit_Saturation_R", "-300"}, {"Edit_Saturation_G", "999"},
      {"Edit_Saturation_B", "12345"}};
  for (const auto& [name, number] : pasted) {
    plat::PutClipboardData("text/plain", number);
    Edit(name).SetFocus();
    plat::PressKey(*dialog, 'A', "", plat::ssCtrl);
    plat::PressKey(*dialog, 'V', "", plat::ssCtrl);
    ASSERT_EQ(Edit(name).Text(), number) << name;
  }
  test_support::Click(*dialog->ResetButton);
  for (const char* name : {"Edit_InvertRGB", "Edit_InvertR", "Edit_InvertG", "Edit_InvertB"})
    EXPECT_EQ(Edit(name).Text(), "128") << name;
  for (const char* name : {"Edit_BalanceRGB", "Edit_BalanceR", "Edit_BalanceG", "Edit_BalanceB",
                           "Edit_Bright", "Edit_Contrast"})
    EXPECT_EQ(Edit(name).Text(), "0") << name;
  for (const char* name :
       {"Edit_Saturation_RGB", "Edit_Saturation_R", "Edit_Saturation_G", "Edit_Saturation_B"})
    EXPECT_EQ(Edit(name).Text(), "100") << name;
  EXPECT_EQ(Edit("Edit_Gamma").Text(), "1.00");
  EXPECT_FALSE(Box("Invert_G").Checked());
  EXPECT_FALSE(dialog->SettingsChanged());
}

TEST_F(ExtendedColorDialog, OkWithoutAChangeKeepsTheWorkFileAsHandedOver) {
  dialog->SetFileName(work);
  Gauge("Amout_B").SetPosition(3);  // amounts alone change nothing
  PressOk();
  EXPECT_EQ(dialog->ModalResult(), plat::mrOk);
  EXPECT_FALSE(dialog->ResultWritten());
  dialog->Hide();
  EXPECT_EQ(ReadBytes(work), handedOver);
}

TEST_F(ExtendedColorDialog, OkWritesTheWholePictureThroughTheChainWithItsAlpha) {
  dialog->SetFileName(work);
  Gauge("Gamma_Gauge").SetPosition(150);
  Edit("Edit_Bright").SetText("-40");
  Box("Invert_G").SetChecked(true);
  Control<plat::TRadioGroup>("LogicalFunc_G").SetItemIndex(1);
  Gauge("Amout_G").SetPosition(99);
  Box("Swap_RG").SetChecked(true);
  dialog->CloseButtonClick(nullptr);
  EXPECT_TRUE(dialog->Timer1->Enabled());
  EXPECT_FALSE(dialog->OkButton->Enabled());  // nothing else starts while the run is pending
  dialog->Timer1Timer(nullptr);
  EXPECT_TRUE(dialog->ResultWritten());

  app::TExtendedColorSettings s;
  s.Gamma = 150;
  s.Brightness = -40;
  s.LogicalG = {true, 2, 99};
  s.SwapRedGreen = true;
  gfx::TBitmap32 result;
  result.LoadFromFile(work);
  ExpectSamePicture(result, *Expected(s), picture);
}

TEST_F(ExtendedColorDialog, APendingFinalRunShowsTheWaitTextOverThePreview) {
  gfx::TBitmap32 grey;
  grey.SetSize(400, 300);
  grey.ClearWithColor(0xFF808080);
  grey.SaveToFile(work);
  dialog->SetFileName(work);
  Gauge("Contrast_Gauge").SetPosition(-20);
  dialog->CloseButtonClick(nullptr);
  const gfx::TBitmap32& preview = dialog->Dst->Bitmap();
  EXPECT_EQ(preview.Pixel(15, 15), 0xFF000000u);
  EXPECT_EQ(preview.Pixel(14, 14), 0xFF818181u);  // 128 + Round(Exp(-0.4))
  int yellow = 0;
  for (int y = 15; y < 100; ++y)
    for (int x = 15; x < 300; ++x) yellow += preview.Pixel(x, y) == 0xFFFFFF00u;
  EXPECT_GT(yellow, 50);
}

TEST_F(ExtendedColorDialog, EveryWayOutButOkRemovesTheWorkFile) {
  dialog->SetFileName(work);
  dialog->CancelButtonClick(nullptr);
  EXPECT_EQ(dialog->ModalResult(), plat::mrCancel);
  EXPECT_FALSE(plat::FileExists(work));

  // The close box: the run ends without any button's handler.
  picture.SaveToFile(work);
  dialog = std::make_unique<app::TFormExtendedColor>(nullptr);
  dialog->SetFileName(work);
  Gauge("Contrast_Gauge").SetPosition(30);
  plat::TestHooks().modal = [](plat::TCustomForm&) { return plat::mrCancel; };
  EXPECT_EQ(dialog->ShowModal(), plat::mrCancel);
  EXPECT_FALSE(dialog->ResultWritten());
  EXPECT_FALSE(plat::FileExists(work));
}

TEST_F(ExtendedColorDialog, EnlargingKeepsTheChosenSettings) {
  dialog->SetFileName(work);
  Box("Invert_RGB").SetChecked(true);
  Control<plat::TRadioGroup>("LogicalFunc_RGB").SetItemIndex(2);
  Control<plat::TRadioGroup>("MaxPixelGroup_R").SetItemIndex(8);
  Gauge("Color_R_Gauge").SetPosition(-70);
  dialog->EnlargeButtonClick(nullptr);
  EXPECT_EQ(dialog->Width(), 1560);
  EXPECT_FALSE(dialog->EnlargeButton->Enabled());
  const app::TExtendedColorSettings s = dialog->CurrentSettings();
  EXPECT_TRUE(s.LogicalRGB.Enabled);
  EXPECT_EQ(s.LogicalRGB.Function, 3);
  EXPECT_EQ(s.BalanceR.Algorithm, 9);
  app::TExtendedColorSettings want;
  want.LogicalRGB = {true, 3, 128};
  want.BalanceR = {-70, 9};
  ExpectSamePicture(dialog->Dst->Bitmap(), *Expected(want), picture);
}

// Copy and paste share the one clipboard of the process, so they run in one test.
TEST_F(ExtendedColorDialog, CopyLeavesTheLoadedPictureAndPasteReplacesIt) {
  dialog->SetFileName(work);
  Gauge("Saturation_Gauge_RGB").SetPosition(-100);
  dialog->CopyButtonClick(nullptr);
  ExpectSamePicture(dialog->Src->Bitmap(), picture, picture);
  app::TExtendedColorSettings s;
  s.SaturationRGB = -100;
  // The copy carries the picture's alpha, which the colour chain keeps.
  gfx::TBitmap32 copied;
  copied.Assign(*plat::Clipboard().GetBitmap());
  ExpectSamePicture(copied, *Expected(s), picture);

  // What was copied comes back as the picture, and OK hands it over even without a change.
  dialog->PasteButtonClick(nullptr);
  EXPECT_FALSE(dialog->SettingsChanged());
  EXPECT_EQ(Gauge("Saturation_Gauge_RGB").Position(), 100);
  ExpectSamePicture(dialog->Src->Bitmap(), *Expected(s), picture);
  PressOk();
  EXPECT_TRUE(dialog->ResultWritten());
  gfx::TBitmap32 result;
  result.LoadFromFile(work);
  ExpectSamePicture(result, *Expected(s), picture);
}

TEST_F(ExtendedColorDialog, SmallScreensGetTheFittedLayout) {
  plat::TestHooks().screenSize = plat::TSize{1280, 800};
  dialog->SetFileName(work);
  dialog->Timer2Timer(nullptr);
  EXPECT_EQ(dialog->Width(), 1270);
  EXPECT_EQ(dialog->Height(), 790);
  EXPECT_EQ(dialog->Panel1->Top(), 33);
  EXPECT_EQ(dialog->OkButton->Top(), 8);
  EXPECT_EQ(dialog->EnlargeButton->Left(), 1270 - (dialog->Panel2->Width() + 18));
  EXPECT_EQ(dialog->SmallPanel->Left(), 3);
  // The tick that the fitting's own resize arms only clears the flag.
  dialog->Timer2Timer(nullptr);
  EXPECT_EQ(dialog->Width(), 1270);
  Box("Threshold_R").SetChecked(true);
  Box("Invert_B").SetChecked(true);
  dialog->Show();
  plat::SaveScreenshot(*dialog,
                       plat::JoinPath(plat::ScreenshotFolder(), "extended-color-dialog.png"));
}

}  // namespace
