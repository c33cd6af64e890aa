// The new picture from the main window: the dialog round trip, the blank background it makes,
// and the picture's size buttons and opacity gauge.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/mainwindow/MainUnit.h"
#include "app/newpicture/NewImageDialog.h"
#include "app/road/Background.h"
#include "graphics/layers/Layers.h"
#include "platform/runtime/Files.h"
#include "platform/windows/TestSeams.h"
#include "support/MainWindowFixture.h"

namespace {

namespace fs = std::filesystem;

// 0x00BBGGRR as the pixel 0xAARRGGBB, opaque.
constexpr uint32_t Opaque(plat::TColor c) {
  return 0xFF000000u | (uint32_t(c) & 0xFF) << 16 | (uint32_t(c) & 0xFF00) |
         (uint32_t(c) >> 16 & 0xFF);
}

std::set<std::string> FilesBelow(const std::string& folder) {
  std::set<std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    files.insert(entry.path().string());
  return files;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class NewPicture : public MainWindow {
 protected:
  // A background with one picture layer selected on it.
  void OpenWithLayer() {
    form->LoadBackground(Picture("bg.bmp", 40, 30));
    app::TPictureLayerRequest request;
    request.FileName = Picture("layer.bmp", 10, 10);
    form->CreatePictureLayer(nullptr, request);
    ASSERT_NE(form->SelectedLayer, nullptr);
    // The layer is unsaved work, which the user lets go for the new picture.
    plat::TestHooks().messageBox = [](const std::string&, const std::string&, uint32_t) {
      return plat::IDNO;
    };
  }
  // The dialog as the user meets it, answered by Answer.
  template <class F>
  void AnswerDialog(F Answer) {
    plat::TestHooks().modal = [Answer](plat::TCustomForm& f) {
      Answer(dynamic_cast<app::TNewImageForm&>(f));
      return plat::mrNone;
    };
  }
  bool EveryPixelIs(gfx::TBitmap32& b, uint32_t color) {
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        if (b.Pixel(x, y) != color) return false;
    return true;
  }
};

TEST_F(NewPicture, FourKOfTheChosenColourReplacesPictureAndLayersAndWritesNoFile) {
  Start();
  OpenWithLayer();
  // A picture of the offered name in the user's folder is none of the editor's business.
  const std::string userFile = plat::JoinPath(form->BackgroundFolder, "new-picture.jpg");
  std::ofstream(userFile, std::ios::binary) << "the user's own picture";
  const std::string work = plat::WorkFolder();
  const auto before = FilesBelow(home_), workBefore = FilesBelow(work);
  form->ScaleBar->SetPosition(150);
  form->PictOpacityGaugeBar->SetPosition(40);

  std::string shownWidth, shownHeight;
  plat::TColor shownColor = 0;
  plat::TestHooks().colorDialog = [](plat::TColor) { return plat::TColor(0x1E7A3C); };
  AnswerDialog([&](app::TNewImageForm& d) {
    shownWidth = d.ImageWidth->Text();
    shownHeight = d.ImageHeight->Text();
    shownColor = d.pnColor->Color();
    d.Button4K->Click();
    d.btSelect->Click();
    d.btOK->Click();
  });
  form->NewButtonClick(nullptr);

  EXPECT_EQ(shownWidth, "1280");
  EXPECT_EQ(shownHeight, "1024");
  EXPECT_EQ(shownColor, plat::clCream);
  gfx::TBitmap32& view = form->ImgView->Bitmap();
  ASSERT_EQ(view.Width(), 3840);
  ASSERT_EQ(view.Height(), 2160);
  EXPECT_TRUE(EveryPixelIs(view, 0xFF3C7A1E));
  EXPECT_EQ(view.MasterAlpha(), 255u);
  app::KeepLoadedPicture(*form->ImgView, form->PristineImage->Bitmap());
  EXPECT_EQ(form->PristineImage->Bitmap().Width(), 3840);
  EXPECT_EQ(form->PristineImage->Bitmap().Pixel(3839, 2159), 0xFF3C7A1Eu);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(form->SelectedLayer, nullptr);
  EXPECT_EQ(form->RubberBand, nullptr);
  EXPECT_EQ(form->ScaleBar->Position(), 100);
  EXPECT_EQ(form->PictOpacityGaugeBar->Position(), 255);
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 1.0f);
  EXPECT_EQ(form->LoadedWidth, 3840);
  EXPECT_EQ(form->BackgroundHeight, 2160);
  EXPECT_EQ(form->ImgView->Color(), plat::clSilver);
  EXPECT_TRUE(form->ImageLoaded);
  EXPECT_TRUE(form->pnlImage->Visible());
  EXPECT_TRUE(form->pnlBitmapLayer->Visible());
  EXPECT_EQ(form->NewImageWidth, 3840);
  EXPECT_EQ(form->NewImageHeight, 2160);
  EXPECT_EQ(form->NewImageColor, 0x1E7A3C);

  EXPECT_EQ(Contents(userFile), "the user's own picture");
  EXPECT_EQ(FilesBelow(home_), before);
  EXPECT_EQ(FilesBelow(work), workBefore);
  EXPECT_EQ(form->BackgroundPath, userFile);
  EXPECT_NE(form->Caption().find("3840"), std::string::npos);
}

TEST_F(NewPicture, ScalingStartsFromTheNewPicture) {
  Start();
  OpenWithLayer();
  form->NewImageWidth = 200;
  form->NewImageHeight = 100;
  form->NewImageColor = 0x204080;
  AnswerDialog([](app::TNewImageForm& d) { d.btOK->Click(); });
  form->NewButton->Click();
  ASSERT_EQ(form->ImgView->Bitmap().Width(), 200);
  form->ScaleBar->SetPosition(50);
  // 199 x 0.5 and 99 x 0.5 round half to even.
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 100);
  EXPECT_EQ(form->ImgView->Bitmap().Height(), 50);
  EXPECT_TRUE(EveryPixelIs(form->ImgView->Bitmap(), Opaque(0x204080)));
}

TEST_F(NewPicture, RememberedSizesBeyondTheDialogsRangeAreClamped) {
  Start();
  form->NewImageWidth = 99999;
  form->NewImageHeight = -7;
  AnswerDialog([](app::TNewImageForm& d) { d.btOK->Click(); });
  form->NewButtonClick(nullptr);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 5760);
  EXPECT_EQ(form->ImgView->Bitmap().Height(), 1);
  EXPECT_EQ(form->NewImageWidth, 5760);
  EXPECT_EQ(form->NewImageHeight, 1);
}

TEST_F(NewPicture, CancelChangesNothingAndTheNextShowingStartsFromTheRememberedValues) {
  Start();
  OpenWithLayer();
  form->NewImageWidth = 800;
  form->NewImageHeight = 600;
  form->NewImageColor = 0x112233;
  const std::string path = form->BackgroundPath;
  const int layers = form->ImgView->Layers().Count();
  plat::TestHooks().colorDialog = [](plat::TColor) { return plat::TColor(0x445566); };
  AnswerDialog([](app::TNewImageForm& d) {
    d.Button5K->Click();
    d.btSelect->Click();
    d.btCancel->Click();
  });
  form->NewButtonClick(nullptr);
  EXPECT_EQ(form->NewImageWidth, 800);
  EXPECT_EQ(form->NewImageHeight, 600);
  EXPECT_EQ(form->NewImageColor, 0x112233);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 40);
  EXPECT_EQ(form->ImgView->Layers().Count(), layers);
  EXPECT_NE(form->SelectedLayer, nullptr);
  EXPECT_EQ(form->BackgroundPath, path);

  // The close box: no button ran.
  std::string shown;
  plat::TColor color = 0;
  plat::TestHooks().modal = [&](plat::TCustomForm& f) {
    auto& d = dynamic_cast<app::TNewImageForm&>(f);
    shown = d.ImageWidth->Text() + "x" + d.ImageHeight->Text();
    color = d.pnColor->Color();
    return plat::mrCancel;
  };
  form->NewButtonClick(nullptr);
  EXPECT_EQ(shown, "800x600");
  EXPECT_EQ(color, 0x112233);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 40);
  EXPECT_EQ(form->ImgView->Layers().Count(), layers);
}

TEST_F(NewPicture, ASizePastThePictureLimitsLeavesEverythingAsItWas) {
  Start();
  OpenWithLayer();
  const int layers = form->ImgView->Layers().Count();
  gfx::TCustomLayer* selected = form->SelectedLayer;
  EXPECT_ANY_THROW(form->CreateNewImage(40000, 10, 0xFFFFFFFF));
  EXPECT_ANY_THROW(form->CreateNewImage(20000, 20000, 0xFFFFFFFF));
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 40);
  app::KeepLoadedPicture(*form->ImgView, form->PristineImage->Bitmap());
  EXPECT_EQ(form->PristineImage->Bitmap().Width(), 40);
  EXPECT_EQ(form->ImgView->Layers().Count(), layers);
  EXPECT_EQ(form->SelectedLayer, selected);
}

TEST_F(NewPicture, SizeButtonsStepByFiveAndStopAtTheGaugeEnds) {
  Start();
  struct Case {
    gfx::TGaugeBar* gauge;
    void (app::TMainForm::*click)(plat::TObject*);
    int from, to;
  };
  const Case cases[] = {
      {form->ScaleBar, &app::TMainForm::ButtonIncreazeSizeClick, 998, 1000},
      {form->ScaleBar, &app::TMainForm::ButtonIncreazeSizeClick, 1000, 1000},
      {form->ScaleBar, &app::TMainForm::ButtonIncreazeSizeClick, 100, 105},
      {form->ScaleBar, &app::TMainForm::ButtonDecreazeSizeClick, 12, 10},
      {form->ScaleBar, &app::TMainForm::ButtonDecreazeSizeClick, 100, 95},
      {form->WMScale, &app::TMainForm::ButtonIncreazeSizeLayerClick, 497, 500},
      {form->WMScale, &app::TMainForm::ButtonDecreazeSizeLayerClick, 3, 0},
      {form->WMScale, &app::TMainForm::ButtonDecreazeSizeLayerClick, 40, 35},
  };
  for (const Case& c : cases) {
    c.gauge->SetPosition(c.from);
    (form.get()->*c.click)(nullptr);
    EXPECT_EQ(c.gauge->Position(), c.to) << c.from;
  }
}

TEST_F(NewPicture, OpacityGaugeSetsTheBackgroundsMasterAlphaAndLabel) {
  Start();
  form->LoadBackground(Picture("bg.bmp", 40, 30));
  form->Modified = false;
  form->PictOpacityGaugeBar->SetPosition(77);
  EXPECT_EQ(form->ImgView->Bitmap().MasterAlpha(), 77u);
  EXPECT_EQ(form->Label4->Caption(), "Opacity: 77");
  EXPECT_TRUE(form->Modified);
  form->PictOpacityGaugeBar->SetPosition(0);
  EXPECT_EQ(form->ImgView->Bitmap().MasterAlpha(), 0u);
  EXPECT_EQ(form->Label4->Caption(), "Opacity: 0");
  // The pristine copy keeps full opacity; a new picture starts opaque again.
  EXPECT_EQ(form->PristineImage->Bitmap().MasterAlpha(), 255u);
  form->CreateNewImage(20, 10, 0xFF000000);
  EXPECT_EQ(form->ImgView->Bitmap().MasterAlpha(), 255u);
  EXPECT_EQ(form->Label4->Caption(), "Opacity: 255");
}

}  // namespace
