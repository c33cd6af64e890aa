// The main window's side: a layer or the background goes to the dialog as a 32-bit BMP and comes
// back only when the dialog wrote a result.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <stdexcept>

#include "ExtColorSupport.h"
#include "app/extcolor/ExtendedColorDialog.h"
#include "app/mainwindow/EditorTexts.h"
#include "app/road/Composition.h"
#include "app/tools/ToolsMenus.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"

namespace {

using extcolor_test::ExpectSamePicture;

class ExtendedColorHandOver : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start();
    form->Show();
    form->LoadBackground(Picture("bg.bmp", 200, 150));
  }
  void TearDown() override {
    form.reset();
    // The work folder lies in this test's home, which goes away.
    plat::RemoveWorkFolder();
    MainWindow::TearDown();
  }
  // A picture layer from a 40 x 30 picture of varied colours and alpha.
  gfx::TBitmapLayer& AddLayer(const std::string& name) {
    gfx::TBitmap32 b;
    extcolor_test::MakeVariedPicture(b, 40, 30);
    b.SaveToFile(home_ + "/" + name);
    app::TPictureLayerRequest request;
    request.FileName = home_ + "/" + name;
    return form->CreatePictureLayer(nullptr, request);
  }
  // Runs the hand-over with the dialog driven by Drive; records the file it was given.
  void Run(int32_t Target, std::function<plat::TModalResult(app::TFormExtendedColor&)> Drive) {
    plat::TestHooks().modal = [this, Drive](plat::TCustomForm& f) {
      auto& dialog = dynamic_cast<app::TFormExtendedColor&>(f);
      given.LoadFromFile(dialog.FileName());
      return Drive(dialog);
    };
    form->OpenBGExtendedColorFunctions(nullptr, Target == 2 ? 1 : 0, Target);
    EXPECT_FALSE(form->ExtendedColorBusy);
    EXPECT_EQ(plat::Screen().Cursor(), plat::crDefault);
    EXPECT_EQ(plat::ExtractFilePath(form->ColorWorkFile), plat::WorkFolder());
    EXPECT_FALSE(plat::FileExists(form->ColorWorkFile));
  }
  static plat::TModalResult Ok(app::TFormExtendedColor& dialog) {
    dialog.CloseButtonClick(nullptr);
    if (dialog.Timer1->Enabled()) dialog.Timer1Timer(nullptr);
    return plat::mrNone;
  }
  static void SetGamma(app::TFormExtendedColor& dialog, int32_t value) {
    dynamic_cast<gfx::TGaugeBar*>(dialog.FindComponent("Gamma_Gauge"))->SetPosition(value);
  }
  gfx::TBitmap32 given;
};

TEST_F(ExtendedColorHandOver, OkWithoutAChangeLeavesTheLayerAsItWas) {
  gfx::TBitmapLayer& layer = AddLayer("layer.bmp");
  layer.AngleCode = 10030;
  gfx::TBitmap32 before;
  before.Assign(layer.Bitmap());
  Run(2, Ok);
  ExpectSamePicture(given, before, before);  // handed over with its alpha
  EXPECT_EQ(form->SelectedLayer, &layer);
  ExpectSamePicture(layer.Bitmap(), before, before);
  EXPECT_EQ(layer.AngleCode, 10030);
}

TEST_F(ExtendedColorHandOver, AChangedLayerComesBackInItsPlaceWithItsValues) {
  gfx::TBitmapLayer& lower = AddLayer("lower.bmp");
  AddLayer("upper.bmp");
  form->SelectLayer(&lower);
  lower.AngleCode = 10045;
  lower.StepCount = 5;
  lower.StepAngle = 72;
  form->LayerOpacity->SetPosition(90);
  form->WMScale->SetPosition(60);
  form->RubberBand->SetLocation({12.4f, 7.6f, 36.4f, 25.6f});
  const int32_t index = lower.Index();
  gfx::TBitmap32 before;
  before.Assign(lower.Bitmap());
  const int32_t count = form->ImgView->Layers().Count();

  Run(2, [](app::TFormExtendedColor& dialog) {
    SetGamma(dialog, 250);
    return Ok(dialog);
  });

  auto* fresh = dynamic_cast<gfx::TBitmapLayer*>(form->ImgView->Layers().Items(index));
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(form->SelectedLayer, fresh);
  EXPECT_EQ(form->ImgView->Layers().Count(), count);
  app::TExtendedColorSettings s;
  s.Gamma = 250;
  gfx::TBitmap32 expected;
  expected.Assign(before);
  app::ApplyExtendedColor(expected, s);
  ExpectSamePicture(fresh->Bitmap(), expected, before);
  EXPECT_EQ(fresh->AngleCode, 10045);
  EXPECT_EQ(fresh->OpacityValue, 90);
  EXPECT_EQ(fresh->ScalePercent, 60);
  EXPECT_EQ(fresh->ColorMode, 0);
  EXPECT_EQ(fresh->StepCount, 5);
  EXPECT_EQ(fresh->StepAngle, 72);
  // Its picture is kept apart from the work file, which the next hand-over overwrites.
  EXPECT_EQ(plat::ExtractFilePath(fresh->SourceFile), plat::WorkFolder());
  EXPECT_NE(fresh->SourceFile, form->ColorWorkFile);
  EXPECT_EQ(fresh->Location().Left, 12.0f);
  EXPECT_EQ(fresh->Location().Top, 8.0f);
  EXPECT_TRUE(form->Modified);
}

// Grey scale switched off brings back the recoloured picture, not the one first loaded.
TEST_F(ExtendedColorHandOver, GreyOffBringsBackTheRecolouredPicture) {
  AddLayer("layer.bmp");
  Run(2, [](app::TFormExtendedColor& dialog) {
    SetGamma(dialog, 150);
    return Ok(dialog);
  });
  auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(layer, nullptr);
  gfx::TBitmap32 recoloured;
  recoloured.Assign(layer->Bitmap());
  for (bool gray : {true, false}) {
    plat::TestHooks().modal = [gray](plat::TCustomForm& f) {
      dynamic_cast<app::TToolsMenuForm&>(f).GrayCheckBox->SetChecked(gray);
      return plat::mrNone;
    };
    form->OpenColorFunctions(nullptr);
  }
  EXPECT_FALSE(layer->GrayFlag);
  EXPECT_TRUE(layer->Bitmap().Equal(recoloured));
}

TEST_F(ExtendedColorHandOver, TheCloseBoxLeavesTheLayerAsItWas) {
  gfx::TBitmapLayer& layer = AddLayer("layer.bmp");
  gfx::TBitmap32 before;
  before.Assign(layer.Bitmap());
  Run(2, [](app::TFormExtendedColor& dialog) {
    SetGamma(dialog, 300);
    return plat::mrCancel;
  });
  EXPECT_EQ(form->SelectedLayer, &layer);
  ExpectSamePicture(layer.Bitmap(), before, before);
}

TEST_F(ExtendedColorHandOver, CancelledBackgroundKeepsPictureAndLayers) {
  gfx::TBitmap32 solid;
  solid.SetSize(40, 30);
  solid.ClearWithColor(0xFFE0C000);
  solid.SaveToFile(home_ + "/solid.bmp");
  app::TPictureLayerRequest request;
  request.FileName = home_ + "/solid.bmp";
  request.X = 50;
  request.Y = 40;
  gfx::TBitmapLayer& layer = form->CreatePictureLayer(nullptr, request);
  ASSERT_EQ(form->SelectedLayer, &layer);
  gfx::TBitmap32 before;
  before.Assign(form->ImgView->Bitmap());
  const int32_t count = form->ImgView->Layers().Count();

  Run(1, [](app::TFormExtendedColor& dialog) {
    dialog.CancelButtonClick(nullptr);
    return plat::mrNone;
  });

  // The composition went over with the layer but without the selection frame.
  std::set<uint32_t> colors;
  for (int y = 0; y < given.Height(); ++y)
    for (int x = 0; x < given.Width(); ++x) colors.insert(given.Pixel(x, y));
  EXPECT_EQ(colors, (std::set<uint32_t>{0xFF336699, 0xFFE0C000}));
  EXPECT_EQ(given.Pixel(50, 40), 0xFFE0C000u);
  // Nothing changed here.
  ExpectSamePicture(form->ImgView->Bitmap(), before, before);
  EXPECT_EQ(form->ImgView->Layers().Count(), count);
  EXPECT_EQ(form->SelectedLayer, &layer);
  EXPECT_TRUE(form->RubberBand->Visible());
}

TEST_F(ExtendedColorHandOver, AChangedBackgroundReplacesPictureAndLayers) {
  AddLayer("layer.bmp");
  Run(0, [](app::TFormExtendedColor& dialog) {
    dynamic_cast<plat::TCheckBox*>(dialog.FindComponent("Swap_RB"))->SetChecked(true);
    return Ok(dialog);
  });
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  // The layer that was selected went with the others: its controls are off.
  EXPECT_EQ(form->SelectedLayer, nullptr);
  EXPECT_FALSE(form->LayerOpacity->Enabled());
  EXPECT_FALSE(form->ClearButton->Enabled());
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 200);
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(199, 149), 0xFF996633u);
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(0, 0), (given.Pixel(0, 0) & 0xFF00FF00) |
                                                     (given.Pixel(0, 0) >> 16 & 0xFF) |
                                                     (given.Pixel(0, 0) & 0xFF) << 16);
}

// The handed-over composition holds the background's interaction, inversion and grey already:
// the result is drawn opaquely without them, as the dialog showed it, and the tools say so.
TEST_F(ExtendedColorHandOver, AChangedBackgroundIsDrawnAsTheDialogShowedIt) {
  plat::TestHooks().modal = [](plat::TCustomForm& f) {
    auto& menu = dynamic_cast<app::TToolsMenuForm&>(f);
    menu.ColorRadioGroup->SetItemIndex(1);  // "Add"
    menu.InvertCheckBox->SetChecked(true);
    return plat::mrOk;
  };
  form->EnableButton(nullptr);  // as opening the picture does
  form->PictureToolsButton->Click();
  gfx::TBitmap32& view = form->ImgView->Bitmap();
  ASSERT_EQ(view.DrawMode(), gfx::dmCustom);
  // The inverted 0xFF336699 added to the grey the view clears to.
  const uint32_t shown = 0xFFFFFFE6;
  ASSERT_EQ(app::ComposePicture(*form->ImgView)->Pixel(5, 5), shown);

  Run(0, [](app::TFormExtendedColor& dialog) {
    dynamic_cast<plat::TCheckBox*>(dialog.FindComponent("Swap_RB"))->SetChecked(true);
    return Ok(dialog);
  });
  EXPECT_EQ(given.Pixel(5, 5), shown);
  const uint32_t swapped = 0xFFE6FFFF;
  EXPECT_EQ(view.Pixel(5, 5), swapped);
  EXPECT_EQ(app::ComposePicture(*form->ImgView)->Pixel(5, 5), swapped);
  EXPECT_EQ(view.DrawMode(), gfx::dmOpaque);
  EXPECT_FALSE(bool(view.OnPixelCombine));
  EXPECT_EQ(form->BackgroundColorMode, 0);
  EXPECT_FALSE(form->BackgroundInvert);
  EXPECT_TRUE(form->PictOpacityGaugeBar->Enabled());
  int shownMode = -1;
  bool shownInvert = true;
  plat::TestHooks().modal = [&](plat::TCustomForm& f) {
    auto& menu = dynamic_cast<app::TToolsMenuForm&>(f);
    shownMode = menu.ColorRadioGroup->ItemIndex();
    shownInvert = menu.InvertCheckBox->Checked();
    return plat::mrCancel;
  };
  form->PictureToolsButton->Click();
  EXPECT_EQ(shownMode, 0);
  EXPECT_FALSE(shownInvert);
  EXPECT_EQ(view.Pixel(5, 5), swapped);
}

TEST_F(ExtendedColorHandOver, AFailingDialogLeavesTheWindowUsable) {
  gfx::TBitmapLayer& layer = AddLayer("layer.bmp");
  plat::TestHooks().modal = [](plat::TCustomForm&) -> plat::TModalResult {
    throw std::runtime_error("dialog failed");
  };
  EXPECT_THROW(form->OpenBGExtendedColorFunctions(nullptr, 1, 2), std::runtime_error);
  EXPECT_FALSE(form->ExtendedColorBusy);
  EXPECT_EQ(plat::Screen().Cursor(), plat::crDefault);
  EXPECT_EQ(form->SelectedLayer, &layer);
  Run(2, Ok);
  EXPECT_EQ(form->SelectedLayer, &layer);
}

// What the preview showed is what the layer gets, for random settings of the darkening and
// lightening controls: pixels that turn near-black keep their opacity (no key colour is applied to
// a picture coming back), and translucent ones keep their transparency.
TEST_F(ExtendedColorHandOver, TheLayerGetsWhatThePreviewShowed) {
  std::mt19937 random(31);
  for (int run = 0; run < 12; ++run) {
    const bool opaque = run % 2 == 0;
    gfx::TBitmap32 picture;
    picture.SetSize(32, 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 32; ++x) {
        uint32_t c = random();
        // Greys that brightness -50 or a low gamma takes to (1, 1, 1) and thereabouts.
        if (x % 3 == 0) c = (c & 0xFF000000) | 0x010101u * (1 + random() % 60);
        picture.SetPixel(x, y, opaque ? c | 0xFF000000 : c);
      }
    picture.SaveToFile(home_ + "/layer.bmp");
    app::TPictureLayerRequest request;
    request.FileName = home_ + "/layer.bmp";
    gfx::TBitmapLayer& layer = form->CreatePictureLayer(nullptr, request);
    gfx::TBitmap32 before, preview;
    before.Assign(layer.Bitmap());
    const int32_t bright = run < 2 ? -50 : int32_t(random() % 101) - 80;
    const int32_t gamma = run < 2 ? 100 : 30 + int32_t(random() % 150);
    Run(2, [&](app::TFormExtendedColor& dialog) {
      dynamic_cast<gfx::TGaugeBar*>(dialog.FindComponent("Bright_Gauge"))->SetPosition(bright);
      SetGamma(dialog, gamma);
      preview.Assign(dialog.Dst->Bitmap());
      return Ok(dialog);
    });
    auto* fresh = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    ASSERT_NE(fresh, nullptr);
    // The picture keeps its own transparency, holes keyed at its first load included, and no
    // other.
    ExpectSamePicture(fresh->Bitmap(), preview, before);
    form->clearButtonClick(nullptr);
  }
}

// The dialog's loop may run the window's timers: a layer gone meanwhile is not touched.
TEST_F(ExtendedColorHandOver, ALayerErasedWhileTheDialogRunsIsLeftAlone) {
  AddLayer("layer.bmp");
  const int32_t count = form->ImgView->Layers().Count();
  Run(2, [this](app::TFormExtendedColor& dialog) {
    form->clearButtonClick(nullptr);
    SetGamma(dialog, 200);
    return Ok(dialog);
  });
  EXPECT_EQ(form->ImgView->Layers().Count(), count - 1);
  EXPECT_EQ(form->SelectedLayer, nullptr);
}

// A work folder that a temp cleaner took is made again; a result that vanished after OK is
// reported, and the layer stays.
TEST_F(ExtendedColorHandOver, AVanishedWorkFolderOrResultLeavesTheLayerUsable) {
  gfx::TBitmapLayer& layer = AddLayer("layer.bmp");
  std::filesystem::remove_all(plat::WorkFolder());
  std::string told;
  plat::TestHooks().messageBox = [&](const std::string& text, const std::string&, uint32_t) {
    told = text;
    return 1;
  };
  Run(2, [this](app::TFormExtendedColor& dialog) {
    SetGamma(dialog, 200);
    const plat::TModalResult result = Ok(dialog);
    plat::DeleteFile(form->ColorWorkFile);
    return result;
  });
  EXPECT_NE(told.find(app::LostResultText), std::string::npos) << told;
  EXPECT_EQ(form->SelectedLayer, &layer);
  Run(2, [](app::TFormExtendedColor& dialog) {
    SetGamma(dialog, 200);
    return Ok(dialog);
  });
  EXPECT_NE(form->SelectedLayer, &layer);
  EXPECT_TRUE(plat::FileExists(dynamic_cast<gfx::TCustomLayer*>(form->SelectedLayer)->SourceFile));
}

}  // namespace
