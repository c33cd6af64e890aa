// The main window's side of the layer builder: the layer it builds from the builder's pictures,
// its scale rule, and what it remembers between uses and runs.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "OverlaySupport.h"
#include "app/layerbuilder/RGBALoaderDialog.h"
#include "app/mainwindow/MainUnit.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "support/FileDialogAnswers.h"
#include "support/MainWindowFixture.h"
#include "support/PngBytes.h"

namespace {

using namespace overlay_test;
using app::TRGBALoaderForm;

TEST(OverlayLayerScale, HalvesTheLargestFittingPercentageRoundingHalfToEven) {
  const struct {
    int w, h, bgw, bgh, scale;
  } cases[] = {
      {4000, 3000, 1000, 800, 12},                          // fits at 25: 12.5 goes to the even 12
      {370, 100, 100, 80, 14},                              // fits at 27: 13.5 goes to the even 14
      {1000, 2900, 1000, 800, 14},                          // fits at 27 by height
      {100, 80, 100, 80, 100},                              // fits as it is
      {30, 20, 100, 80, 100},      {101, 10, 100, 80, 50},  // fits at 99: 49.5 goes to 50
      {20000, 10, 100, 80, 1},                              // the search stops at 2
  };
  for (const auto& c : cases)
    EXPECT_EQ(app::OverlayLayerScale(c.w, c.h, c.bgw, c.bgh), c.scale)
        << c.w << "x" << c.h << " on " << c.bgw << "x" << c.bgh;
}

class OverlayRoundTrip : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    test_support::AnswerFileDialogs(answer);
    plat::TestHooks().modal = [this](plat::TCustomForm& f) -> plat::TModalResult {
      auto* builder = dynamic_cast<TRGBALoaderForm*>(&f);
      if (!builder || !inBuilder) return plat::mrCancel;
      ++uses;
      return inBuilder(*builder);
    };
    layerFile = WritePicture(folder, "layer.bmp", 400, 300, RandomOpaque(7));
    maskFile = WritePicture(folder, "mask.bmp", 40, 30,
                            [](int x, int) { return x < 20 ? 0xFFFFFFFFu : 0xFF000000u; });
  }

  void OpenBackground(int w, int h) {
    Start();
    answer = Picture("bg.bmp", w, h);
    form->mnFileOpenClick(nullptr);
    ASSERT_EQ(form->BackgroundWidth, w);
  }
  void LoadInto(TRGBALoaderForm& b, const std::string& background, const std::string& overlay) {
    answer = background;
    b.btLoadImageClick(nullptr);
    answer = overlay;
    b.btLoadAlphaClick(nullptr);
  }
  gfx::TBitmapLayer* Selected() const {
    return dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  }

  ScratchFolder folder;
  std::string answer, layerFile, maskFile;
  std::function<plat::TModalResult(TRGBALoaderForm&)> inBuilder;
  int uses = 0;
};

TEST_F(OverlayRoundTrip, OkBuildsTheLayerOnTheMainViewAndSelectsIt) {
  OpenBackground(100, 80);
  inBuilder = [this](TRGBALoaderForm& b) {
    LoadInto(b, layerFile, maskFile);
    b.LayerGaugeBar->SetPosition(200);
    return plat::mrOk;
  };
  form->WatermarkToolsClick(nullptr);
  ASSERT_EQ(uses, 1);
  gfx::TBitmapLayer* L = Selected();
  ASSERT_NE(L, nullptr);
  EXPECT_EQ(form->RubberBand->ChildLayer(), L);
  gfx::TBitmap32 picture;
  picture.LoadFromFile(layerFile);
  ASSERT_EQ(L->Bitmap().Width(), 400);
  ASSERT_EQ(L->Bitmap().Height(), 300);
  for (int y = 0; y < 300; y += 7)
    for (int x = 0; x < 400; x += 3) {
      if (x >= 196 && x < 204) continue;
      const uint32_t alpha = x < 200 ? 0xFF000000u : 0;
      ASSERT_EQ(L->Bitmap().Pixel(x, y), (picture.Pixel(x, y) & 0xFFFFFF) | alpha) << x << "," << y;
    }
  // 400 x 300 over 100 x 80 fits at 25 percent and is shown at half of that.
  EXPECT_EQ(L->ScalePercent, 12);
  EXPECT_EQ(form->WMScale->Position(), 12);
  EXPECT_EQ(form->WMLabel->Caption(), "Scale: 12%");
  EXPECT_EQ(L->Location(), (gfx::TFloatRect{0, 0, 48, 36}));
  EXPECT_TRUE(L->Scaled());
  EXPECT_EQ(L->OpacityValue, 255);
  EXPECT_EQ(form->LayerOpacity->Position(), 255);
  EXPECT_EQ(L->Bitmap().MasterAlpha(), 200u) << "the builder's layer opacity";
  EXPECT_EQ(L->ColorMode, 0);
  EXPECT_EQ(L->Bitmap().DrawMode(), gfx::dmBlend);
  EXPECT_FALSE(L->Bitmap().OnPixelCombine);
  EXPECT_TRUE(form->Modified);
  EXPECT_EQ(form->OverlayBackgroundFile, layerFile);
  EXPECT_EQ(form->OverlayFile, maskFile);
  EXPECT_EQ(plat::Screen().Cursor(), plat::crDefault);

  // A second layer with "Add" takes the main window's handler; the builder is the same window.
  TRGBALoaderForm* first = form->RGBALoaderForm;
  inBuilder = [this](TRGBALoaderForm& b) {
    LoadInto(b, WritePicture(folder, "wide.bmp", 370, 100, Flat(0xFF102030)), maskFile);
    b.RadioGroup->SetItemIndex(1);
    return plat::mrOk;
  };
  form->WatermarkToolsClick(nullptr);
  EXPECT_EQ(form->RGBALoaderForm, first);
  L = Selected();
  ASSERT_NE(L, nullptr);
  EXPECT_EQ(L->ScalePercent, 14);
  EXPECT_EQ(L->ColorMode, 1);
  EXPECT_EQ(L->Bitmap().DrawMode(), gfx::dmCustom);
  uint32_t b = 0x80010FF0;
  L->Bitmap().OnPixelCombine(0x80FF1020, b, 255);
  EXPECT_EQ(b, 0xFFFF1FFFu);
}

TEST_F(OverlayRoundTrip, CancelOrAnEmptyBackgroundBuildsAndRemembersNothing) {
  OpenBackground(100, 80);
  const std::string backgroundBefore = form->OverlayBackgroundFile,
                    overlayBefore = form->OverlayFile;
  inBuilder = [this](TRGBALoaderForm& b) {
    LoadInto(b, layerFile, maskFile);
    b.BackInvertRGBCheck->SetChecked(true);
    return plat::mrCancel;
  };
  form->WatermarkToolsClick(nullptr);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(form->OverlayBackgroundFile, backgroundBefore);
  EXPECT_EQ(form->OverlayFile, overlayBefore);
  EXPECT_FALSE(form->RgbInvert);

  // Nothing was remembered, so the builder starts empty with the box as the switch says.
  inBuilder = [](TRGBALoaderForm& b) {
    EXPECT_FALSE(b.BackInvertRGBCheck->Checked());
    EXPECT_TRUE(b.ImgRGB->Bitmap().Empty());
    b.btOKClick(nullptr);
    return plat::mrOk;
  };
  form->WatermarkToolsClick(nullptr);
  EXPECT_EQ(uses, 2);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(plat::Screen().Cursor(), plat::crDefault);
}

TEST_F(OverlayRoundTrip, FiltersAreRememberedForTheRunAndFilesForTheNextRun) {
  OpenBackground(100, 80);
  inBuilder = [this](TRGBALoaderForm& b) {
    LoadInto(b, layerFile, maskFile);
    b.BackInvertRGBCheck->SetChecked(true);
    b.GrayScaleCheck->SetChecked(true);
    return plat::mrOk;
  };
  form->WatermarkToolsClick(nullptr);
  EXPECT_TRUE(form->RgbInvert);
  EXPECT_FALSE(form->RgbGray);
  EXPECT_FALSE(form->OverlayInvert);
  EXPECT_TRUE(form->OverlayGray);

  // A new run reads the files from the settings; the filters start off.
  form.reset();
  OpenBackground(100, 80);
  EXPECT_EQ(form->OverlayBackgroundFile, layerFile);
  EXPECT_EQ(form->OverlayFile, maskFile);
  gfx::TBitmap32 picture;
  picture.LoadFromFile(layerFile);
  inBuilder = [&](TRGBALoaderForm& b) {
    EXPECT_FALSE(b.BackInvertRGBCheck->Checked());
    EXPECT_EQ(b.ImgRGB->Bitmap().Pixel(5, 5), picture.Pixel(5, 5));
    EXPECT_EQ(b.OpenPictureDialog->FileName(), layerFile);
    EXPECT_EQ(b.OpenPictureDialog1->InitialDir(), plat::ExtractFilePath(maskFile));
    return plat::mrCancel;
  };
  form->WatermarkToolsClick(nullptr);
  EXPECT_EQ(uses, 2);
}

// A transparent logo pasted as the builder's picture, from a desktop program that copied it as
// PNG, gives a transparent layer.
TEST_F(OverlayRoundTrip, APastedTransparentPictureGivesATransparentLayer) {
  OpenBackground(100, 80);
  std::vector<uint32_t> logo(30 * 10, 0x00FFFFFF);
  for (size_t i = 0; i < logo.size(); i += 3) logo[i] = 0xFFDC0E0E;
  logo[1] = 0x80123456;
  plat::PutClipboardData("image/png", test_support::PngBytes(30, 10, logo));
  inBuilder = [](TRGBALoaderForm& b) {
    b.bgPasteButtonClick(nullptr);
    return plat::mrOk;
  };
  form->WatermarkToolsClick(nullptr);
  gfx::TBitmapLayer* L = Selected();
  ASSERT_NE(L, nullptr);
  const gfx::TBitmap32& b = L->Bitmap();
  EXPECT_EQ(std::vector<uint32_t>(b.Bits(), b.Bits() + logo.size()), logo);
}

}  // namespace
