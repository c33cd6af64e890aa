// The layer and picture tools run from the main window, by key, button and right click, and the
// action timer that carries out what they chose.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/colors/ColorInteraction.h"
#include "app/road/ClipboardTransfer.h"
#include "app/tools/ToolsMenus.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/runtime/Files.h"
#include "support/FileDialogAnswers.h"
#include "support/MainWindowFixture.h"

namespace {

using Pixels = std::vector<uint32_t>;

Pixels PixelsOf(const gfx::TBitmap32& b) {
  return {b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height())};
}

// Every pixel different, so turns and flips show.
void WritePattern(const std::string& path, int w, int h, uint32_t seed) {
  gfx::TBitmap32 b;
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y,
                 0xFF000000 | ((x * 5 + seed) & 0xFF) << 16 | ((y * 11) & 0xFF) << 8 |
                     ((x * 3 + y * 7 + seed) & 0xFF));
  b.SaveToFile(path);
}

// Grey from the channel weights 61, 174 and 21 of 256; alpha stays.
uint32_t Grey(uint32_t c) {
  const uint32_t i = (((c >> 16) & 0xFF) * 61 + ((c >> 8) & 0xFF) * 174 + (c & 0xFF) * 21) >> 8;
  return (c & 0xFF000000) | i << 16 | i << 8 | i;
}

Pixels Mapped(const Pixels& p, uint32_t (*f)(uint32_t)) {
  Pixels out;
  for (uint32_t c : p) out.push_back(f(c));
  return out;
}

uint32_t Inverted(uint32_t c) {
  return c ^ 0x00FFFFFF;
}

class ToolActions : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    test_support::AnswerFileDialogs(answer);
    plat::TestHooks().modal = [this](plat::TCustomForm& f) {
      shown.push_back(f.ClassName());
      auto* menu = dynamic_cast<app::TToolsMenuForm*>(&f);
      if (menu && use) use(*menu);
      return plat::mrCancel;
    };
    Start();
    form->Show();
    background = home_ + "/bg.bmp";
    layerFile = home_ + "/layer.bmp";
    WritePattern(background, 64, 48, 0);
    WritePattern(layerFile, 40, 20, 90);
  }

  void OpenBackground() {
    answer = background;
    form->mnFileOpenClick(nullptr);
  }
  gfx::TBitmapLayer& AddLayer() {
    answer = layerFile;
    form->mnWaterMarkSelectClick(nullptr);
    auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    EXPECT_NE(layer, nullptr);
    return *layer;
  }
  int PictureLayers() const {
    int n = 0;
    for (int i = 0; i < form->ImgView->Layers().Count(); ++i)
      n += dynamic_cast<gfx::TBitmapLayer*>(form->ImgView->Layers().Items(i)) != nullptr;
    return n;
  }
  void RightClick(gfx::TCustomLayer* on) {
    form->ImgViewMouseDown(nullptr, plat::mbRight, 0, 5, 5, on);
  }
  void Key(char key) { form->FormKeyPress(nullptr, key); }
  // One use of the layer tools (by key) or the picture tools (by button).
  void UseLayerTools(std::function<void(app::TToolsMenuForm&)> act) {
    use = std::move(act);
    Key('x');
  }
  void UsePictureTools(std::function<void(app::TToolsMenuForm&)> act) {
    use = std::move(act);
    form->OpenBGPictFunctions(form->PictureToolsButton);
  }
  static std::function<void(app::TToolsMenuForm&)> Function(int index) {
    return [index](app::TToolsMenuForm& m) { m.FunctionRadioGroup->SetItemIndex(index); };
  }
  static std::function<void(app::TToolsMenuForm&)> Mode(int index) {
    return [index](app::TToolsMenuForm& m) { m.ColorRadioGroup->SetItemIndex(index); };
  }
  static std::function<void(app::TToolsMenuForm&)> Gray(bool on) {
    return [on](app::TToolsMenuForm& m) { m.GrayCheckBox->SetChecked(on); };
  }
  static std::function<void(app::TToolsMenuForm&)> Invert(bool on) {
    return [on](app::TToolsMenuForm& m) { m.InvertCheckBox->SetChecked(on); };
  }

  std::string answer, background, layerFile;
  std::vector<std::string> shown;
  std::function<void(app::TToolsMenuForm&)> use;
};

TEST_F(ToolActions, RightClickEraseHappensInTheTickThatShowedTheMenu) {
  OpenBackground();
  gfx::TBitmapLayer& layer = AddLayer();
  use = Function(app::ffErase);
  RightClick(&layer);
  EXPECT_EQ(form->ToolAction, 1);
  EXPECT_TRUE(form->Timer2->Enabled());
  form->TimerEllapsed2(nullptr);
  EXPECT_EQ(shown, std::vector<std::string>{"TColorFunctionsForm"});
  EXPECT_EQ(PictureLayers(), 0);
  EXPECT_EQ(form->SelectedLayer, nullptr);
  EXPECT_EQ(form->ToolAction, 0);
  // The erase was queued during the tick, so the timer fires once more, with nothing to do.
  EXPECT_TRUE(form->Timer2->Enabled());
  form->TimerEllapsed2(nullptr);
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_FALSE(form->Timer2->Enabled());
}

TEST_F(ToolActions, KeyChosenEraseWaitsForTheNextTick) {
  OpenBackground();
  AddLayer();
  UseLayerTools(Function(app::ffErase));
  EXPECT_EQ(PictureLayers(), 1);
  EXPECT_EQ(form->ToolAction, 2);
  EXPECT_TRUE(form->Timer2->Enabled());
  EXPECT_TRUE(form->Modified);
  form->TimerEllapsed2(nullptr);
  EXPECT_EQ(PictureLayers(), 0);
  EXPECT_EQ(form->ToolAction, 0);
}

TEST_F(ToolActions, CopyChosenFromARightClickReachesTheClipboardInTheSameTick) {
  OpenBackground();
  gfx::TBitmapLayer& layer = AddLayer();
  gfx::TBitmap32 other;
  other.SetSize(3, 3);
  app::CopyPictureToClipboard(other);
  use = Function(app::ffCopyToClipboard);
  RightClick(&layer);
  form->TimerEllapsed2(nullptr);
  const auto copied = plat::Clipboard().GetBitmap();
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->Width(), 40);
  EXPECT_EQ(copied->Height(), 20);
  EXPECT_EQ(PictureLayers(), 1);
}

// The picture tools' "Extended RGB Options" queues the background's colour run: behind the
// menu in the same tick after a right click, at the next tick after the button.
TEST_F(ToolActions, PictureColourRunIsQueuedBehindTheMenu) {
  OpenBackground();
  use = Function(app::pfExtendedColor);
  RightClick(nullptr);
  EXPECT_EQ(form->ToolAction, 10);
  form->TimerEllapsed2(nullptr);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front(), "TBGPictFunctionsForm");
  EXPECT_EQ(form->ToolAction, 0);
  EXPECT_TRUE(form->Timer2->Enabled());

  form->Timer2->SetEnabled(false);
  shown.clear();
  form->PictureToolsButton->Click();
  EXPECT_EQ(shown, std::vector<std::string>{"TBGPictFunctionsForm"});
  EXPECT_EQ(form->ToolAction, 11);
  EXPECT_TRUE(form->Timer2->Enabled());
}

TEST_F(ToolActions, KeysOpenTheMenusOnlyWithAPictureAndALayer) {
  Key('x');
  Key('q');
  EXPECT_TRUE(shown.empty());
  OpenBackground();
  Key('x');  // no layer selected
  Key('X');
  Key('Q');
  EXPECT_TRUE(shown.empty());
  Key('q');
  EXPECT_EQ(shown, std::vector<std::string>{"TBGPictFunctionsForm"});
  AddLayer();
  Key('x');
  EXPECT_EQ(shown.back(), "TColorFunctionsForm");
  form->SelectLayer(nullptr);
  Key('x');
  EXPECT_EQ(shown.size(), 2u);
}

TEST_F(ToolActions, LayerModeAppliesAlsoWhenTheMenuIsCancelled) {
  OpenBackground();
  gfx::TBitmapLayer& layer = AddLayer();
  gfx::TBitmap32& b = layer.Bitmap();
  uint32_t under = 0xFF010203;

  UseLayerTools(Mode(app::ColorModeAdd));
  EXPECT_EQ(layer.ColorMode, app::ColorModeAdd);
  EXPECT_EQ(b.DrawMode(), gfx::dmCustom);
  ASSERT_TRUE(b.OnPixelCombine);
  b.OnPixelCombine(0xFF102030, under, 255);
  EXPECT_EQ(under, 0xFF112233u);
  EXPECT_FALSE(form->LayerOpacity->Enabled());

  UseLayerTools(Mode(12));  // a blend mode
  EXPECT_EQ(b.DrawMode(), gfx::dmCustom);
  EXPECT_TRUE(b.OnPixelCombine);
  EXPECT_TRUE(form->LayerOpacity->Enabled());

  UseLayerTools(Mode(0));
  EXPECT_EQ(b.DrawMode(), gfx::dmBlend);
  EXPECT_FALSE(b.OnPixelCombine);
  EXPECT_TRUE(form->LayerOpacity->Enabled());
  EXPECT_EQ(shown.size(), 3u);
}

TEST_F(ToolActions, PictureModesFollowThePictureList) {
  OpenBackground();
  gfx::TBitmap32& b = form->ImgView->Bitmap();
  // Index 7 of the picture list is "Average" (it has no "Exclusion").
  UsePictureTools(Mode(7));
  EXPECT_EQ(form->BackgroundColorMode, 7);
  ASSERT_TRUE(b.OnPixelCombine);
  uint32_t under = 0xFF000000;
  b.OnPixelCombine(0xFF204060, under, 255);
  EXPECT_EQ(under, 0xFF102030u);
  EXPECT_FALSE(form->PictOpacityGaugeBar->Enabled());

  // A separator keeps the callback and the gauge stays off.
  UsePictureTools(Mode(25));
  EXPECT_EQ(form->BackgroundColorMode, 25);
  EXPECT_EQ(b.DrawMode(), gfx::dmCustom);
  ASSERT_TRUE(b.OnPixelCombine);
  under = 0xFF000000;
  b.OnPixelCombine(0xFF204060, under, 255);
  EXPECT_EQ(under, 0xFF102030u);
  EXPECT_FALSE(form->PictOpacityGaugeBar->Enabled());

  // A blend mode turns the gauge on at full opacity.
  form->PictOpacityGaugeBar->SetPosition(100);
  UsePictureTools(Mode(10));
  EXPECT_TRUE(form->PictOpacityGaugeBar->Enabled());
  EXPECT_EQ(form->PictOpacityGaugeBar->Position(), 255);
  EXPECT_EQ(b.DrawMode(), gfx::dmCustom);

  UsePictureTools(Mode(0));
  EXPECT_EQ(b.DrawMode(), gfx::dmBlend);
  EXPECT_FALSE(b.OnPixelCombine);
  EXPECT_TRUE(form->PictOpacityGaugeBar->Enabled());
}

TEST_F(ToolActions, QuarterTurnsTurnTheFrameAboutItsCentre) {
  OpenBackground();
  gfx::TBitmapLayer& layer = AddLayer();
  form->RubberBand->SetLocation({100, 50, 160, 90});
  const Pixels before = PixelsOf(layer.Bitmap());

  UseLayerTools(Function(app::ffRotate90));
  EXPECT_EQ(layer.Bitmap().Width(), 20);
  EXPECT_EQ(layer.Bitmap().Height(), 40);
  EXPECT_EQ(layer.Location(), (gfx::TFloatRect{110, 40, 150, 100}));
  EXPECT_EQ(form->RubberBand->Location(), layer.Location());
  EXPECT_NE(PixelsOf(layer.Bitmap()), before);

  UseLayerTools(Function(app::ffRotate270));
  EXPECT_EQ(layer.Location(), (gfx::TFloatRect{100, 50, 160, 90}));
  EXPECT_EQ(PixelsOf(layer.Bitmap()), before);

  // Half turns and flips keep the frame; done twice they give the picture back.
  for (int f : {app::ffRotate180, app::ffFlipHorz, app::ffFlipVert}) {
    UseLayerTools(Function(f));
    EXPECT_NE(PixelsOf(layer.Bitmap()), before) << f;
    UseLayerTools(Function(f));
    EXPECT_EQ(PixelsOf(layer.Bitmap()), before) << f;
    EXPECT_EQ(layer.Location(), (gfx::TFloatRect{100, 50, 160, 90})) << f;
  }
}

TEST_F(ToolActions, PictureTurnsAndFlipsWorkInPlace) {
  OpenBackground();
  const Pixels before = PixelsOf(form->ImgView->Bitmap());
  UsePictureTools(Function(app::pfRotate90));
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 48);
  UsePictureTools(Function(app::pfRotate270));
  EXPECT_EQ(PixelsOf(form->ImgView->Bitmap()), before);
  UsePictureTools(Function(app::pfFlipVert));
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(0, 0), before[size_t(47 * 64)]);
}

TEST_F(ToolActions, LayerGreyOffGivesBackTheExactPicture) {
  OpenBackground();
  gfx::TBitmapLayer& layer = AddLayer();
  const Pixels before = PixelsOf(layer.Bitmap());
  ASSERT_EQ(before[0] >> 24, 255u);

  UseLayerTools(Gray(true));
  EXPECT_TRUE(layer.GrayFlag);
  EXPECT_EQ(PixelsOf(layer.Bitmap()), Mapped(before, Grey));

  UseLayerTools(Gray(false));
  EXPECT_FALSE(layer.GrayFlag);
  EXPECT_EQ(PixelsOf(layer.Bitmap()), before);

  // Invert while grey, then grey off: the picture comes back inverted, as the switch says.
  UseLayerTools(Gray(true));
  UseLayerTools(Invert(true));
  EXPECT_EQ(PixelsOf(layer.Bitmap()), Mapped(Mapped(before, Grey), Inverted));
  UseLayerTools(Gray(false));
  EXPECT_TRUE(layer.InvertFlag);
  EXPECT_EQ(PixelsOf(layer.Bitmap()), Mapped(before, Inverted));
  UseLayerTools(Invert(false));
  EXPECT_EQ(PixelsOf(layer.Bitmap()), before);
}

// Grey off gives back the colours kept when grey went on: no file is read, so a layer whose file
// is gone or broken, or a text layer, which has none, gets its colours back too.
TEST_F(ToolActions, LayerGreyOffNeedsNoFile) {
  OpenBackground();
  gfx::TBitmapLayer& layer = AddLayer();
  const Pixels before = PixelsOf(layer.Bitmap());
  UseLayerTools(Gray(true));
  plat::DeleteFile(layerFile);
  UseLayerTools(Gray(false));
  EXPECT_FALSE(layer.GrayFlag);
  EXPECT_EQ(PixelsOf(layer.Bitmap()), before);
  UseLayerTools(Gray(true));
  std::ofstream(layerFile) << "BM broken";
  UseLayerTools(Gray(false));
  EXPECT_EQ(PixelsOf(layer.Bitmap()), before);

  app::TRenderText text;
  text.FontName = "DejaVu Sans";
  text.Size = 30;
  text.TextColor = 0xFFFF0000;
  text.BackColor = 0x00FF00;
  text.Text = "Grey";
  gfx::TBitmapLayer& written = form->CreateTextLayer(nullptr, text, false, 0);
  const Pixels colours = PixelsOf(written.Bitmap());
  UseLayerTools(Gray(true));
  for (uint32_t c : PixelsOf(written.Bitmap())) ASSERT_EQ(c, Grey(c));
  UseLayerTools(Gray(false));
  EXPECT_FALSE(written.GrayFlag);
  EXPECT_EQ(PixelsOf(written.Bitmap()), colours);
}

// Grey off takes the picture as it was opened, not the file, which may have changed since.
TEST_F(ToolActions, BackgroundGreyOffComesFromThePictureAsOpened) {
  OpenBackground();
  const Pixels before = PixelsOf(form->ImgView->Bitmap());
  UsePictureTools(Gray(true));
  EXPECT_TRUE(form->BackgroundGray);
  EXPECT_EQ(PixelsOf(form->ImgView->Bitmap()), Mapped(before, Grey));
  WritePattern(background, 64, 48, 77);
  UsePictureTools(Gray(false));
  EXPECT_FALSE(form->BackgroundGray);
  EXPECT_EQ(PixelsOf(form->ImgView->Bitmap()), before);

  // Both switches in one use: the picture follows the switches as they are left.
  UsePictureTools(Gray(true));
  UsePictureTools([](app::TToolsMenuForm& m) {
    m.InvertCheckBox->SetChecked(true);
    m.GrayCheckBox->SetChecked(false);
  });
  EXPECT_TRUE(form->BackgroundInvert);
  EXPECT_FALSE(form->BackgroundGray);
  EXPECT_EQ(PixelsOf(form->ImgView->Bitmap()), Mapped(before, Inverted));
}

TEST_F(ToolActions, BackgroundGreyOffKeepsThePictureScale) {
  OpenBackground();
  form->ScaleBar->SetPosition(200);
  ASSERT_EQ(form->ImgView->Bitmap().Width(), 128);
  const Pixels scaled = PixelsOf(form->ImgView->Bitmap());
  UsePictureTools(Gray(true));
  UsePictureTools(Gray(false));
  EXPECT_EQ(form->ImgView->Bitmap().Width(), form->BackgroundWidth);
  EXPECT_EQ(PixelsOf(form->ImgView->Bitmap()), scaled);
}

// Every rescale starts from the picture as the tools left it: turns, flips, invert and grey stay,
// and switching grey off later brings the colours back with every edit made since.
TEST_F(ToolActions, PictureEditsSurviveARescale) {
  OpenBackground();
  gfx::TBitmap32 edited;
  edited.LoadFromFile(background);
  edited.FlipHorz();
  edited.Rotate90();
  const Pixels colours = Mapped(PixelsOf(edited), Inverted);
  const Pixels grey = Mapped(colours, Grey);

  UsePictureTools(Function(app::pfFlipHorz));
  form->ButtonIncreazeSizeClick(nullptr);
  form->ButtonDecreazeSizeClick(nullptr);
  UsePictureTools(Function(app::pfRotate90));
  UsePictureTools(Invert(true));
  UsePictureTools(Gray(true));
  ASSERT_EQ(PixelsOf(form->ImgView->Bitmap()), grey);

  form->ButtonIncreazeSizeClick(nullptr);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 50);
  EXPECT_EQ(form->ImgView->Bitmap().Height(), 67);
  form->ButtonDecreazeSizeClick(nullptr);
  EXPECT_TRUE(form->BackgroundGray);
  EXPECT_EQ(PixelsOf(form->ImgView->Bitmap()), grey);

  form->ScaleBar->SetPosition(200);
  UsePictureTools(Gray(false));
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 96);
  form->ScaleBar->SetPosition(100);
  EXPECT_EQ(PixelsOf(form->ImgView->Bitmap()), colours);

  // Invert and turn back: the picture as opened.
  UsePictureTools(Invert(false));
  UsePictureTools(Function(app::pfRotate270));
  UsePictureTools(Function(app::pfFlipHorz));
  form->ScaleBar->SetPosition(150);
  form->ScaleBar->SetPosition(100);
  gfx::TBitmap32 opened;
  opened.LoadFromFile(background);
  EXPECT_EQ(PixelsOf(form->ImgView->Bitmap()), PixelsOf(opened));
}

// After a quarter turn the picture is as tall as it was wide: the title says so, and new layers
// are fitted into the turned picture.
TEST_F(ToolActions, AQuarterTurnSwapsThePicturesSides) {
  OpenBackground();
  UsePictureTools(Function(app::pfRotate90));
  EXPECT_EQ(form->BackgroundWidth, 48);
  EXPECT_EQ(form->BackgroundHeight, 64);
  EXPECT_NE(form->Caption().find("] 48 x 64 pixels"), std::string::npos) << form->Caption();

  WritePattern(layerFile, 60, 20, 90);
  gfx::TBitmapLayer& layer = AddLayer();
  EXPECT_EQ(layer.ScalePercent, 80);

  form->ButtonIncreazeSizeClick(nullptr);
  EXPECT_NE(form->Caption().find("] 50 x 67 pixels"), std::string::npos) << form->Caption();
  UsePictureTools(Function(app::pfRotate270));
  EXPECT_NE(form->Caption().find("] 67 x 50 pixels"), std::string::npos) << form->Caption();
  form->ButtonDecreazeSizeClick(nullptr);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 64);
  EXPECT_EQ(form->ImgView->Bitmap().Height(), 48);
}

TEST_F(ToolActions, AFailedActionLeavesTheQueueEmpty) {
  OpenBackground();
  gfx::TBitmapLayer& layer = AddLayer();
  use = [](app::TToolsMenuForm&) { throw plat::Exception("no answer"); };
  RightClick(&layer);
  EXPECT_THROW(form->TimerEllapsed2(nullptr), plat::Exception);
  EXPECT_EQ(form->ToolAction, 0);
  EXPECT_FALSE(form->Timer2->Enabled());
  EXPECT_EQ(PictureLayers(), 1);
}

TEST_F(ToolActions, PictureToolsOnAnEmptyPictureChangeNothing) {
  form->PictureToolsButton->SetEnabled(true);
  for (auto act : {Invert(true), Gray(true), Gray(false), Function(app::pfRotate90),
                   Function(app::pfFlipHorz)})
    UsePictureTools(act);
  EXPECT_EQ(shown.size(), 5u);
  EXPECT_TRUE(form->ImgView->Bitmap().Empty());
  EXPECT_TRUE(form->BackgroundInvert);
  EXPECT_FALSE(form->BackgroundGray);
}

}  // namespace
