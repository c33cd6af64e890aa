// The main road through the main window, with its dialogs answered by the test: open, add a
// picture and a text layer, set opacity and scale, move, zoom, save, read back, copy and paste.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "RoadSupport.h"
#include "app/mainwindow/CommandLine.h"
#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/road/Background.h"
#include "app/road/ClipboardTransfer.h"
#include "app/road/Composition.h"
#include "graphics/layers/RubberBand.h"
#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "tests/platform/metafile/MetafileBuilder.h"

namespace {

using namespace road_test;

class MainWindowRoad : public testing::Test {
 protected:
  void SetUp() override {
    setenv("PIXSTAMP_HOME", folder.Path().c_str(), 1);
    plat::TestHooks().screenSize = plat::TSize{1280, 1024};
    plat::TestHooks().fileDialog = [this](plat::TFileDialogRequest& r) {
      ++dialogs;
      if (answer.empty()) return false;
      r.fileName = answer;
      return true;
    };
    plat::TestHooks().messageBox = [this](const std::string& text, const std::string&, uint32_t) {
      messages.push_back(text);
      return messageAnswer;
    };
    WriteQuadrantsBackground(folder.File("bg.bmp"));
    WriteKeyedLayer(folder.File("layer.bmp"));
    app::SetProgramArguments({});
    form = std::make_unique<app::TMainForm>(nullptr);
    form->Show();
    plat::Application().ProcessMessages();
  }
  void TearDown() override {
    form.reset();
    // The run's work folder lives under the scratch folder that goes next.
    plat::RemoveWorkFolder();
    plat::TestHooks() = plat::TTestHooks{};
    unsetenv("PIXSTAMP_HOME");
  }

  // Opens the background and adds the picture layer at 128 / 50 % moved to (100, 50).
  gfx::TBitmapLayer& OpenAndAddLayer() {
    answer = folder.File("bg.bmp");
    form->mnFileOpenClick(nullptr);
    answer = folder.File("layer.bmp");
    form->mnWaterMarkSelectClick(nullptr);
    auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    EXPECT_NE(layer, nullptr);
    form->LayerOpacity->SetPosition(128);
    form->WMScale->SetPosition(50);
    form->RubberBand->SetLocation({100, 50, 160, 90});
    return *layer;
  }

  static uint32_t Expected(int x, int y) {
    if (x >= 110 && x < 120 && y >= 60 && y < 70) return kTopLeft;
    return Over(x < 130 ? kYellow : kBlack, kTopLeft, 128);
  }

  ScratchFolder folder;
  std::unique_ptr<app::TMainForm> form;
  std::string answer;
  int dialogs = 0;
  std::vector<std::string> messages;
  int messageAnswer = plat::IDNO;
};

TEST_F(MainWindowRoad, OpenAddLayersSetThemAndSave) {
  answer = folder.File("bg.bmp");
  form->mnFileOpenClick(nullptr);
  ASSERT_EQ(form->ImgView->Bitmap().Width(), 400);
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(399, 299), kBottomRight);
  app::KeepLoadedPicture(*form->ImgView, form->PristineImage->Bitmap());
  EXPECT_EQ(form->PristineImage->Bitmap().Pixel(0, 0), kTopLeft);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_TRUE(form->ImageLoaded);
  EXPECT_NE(form->Caption().find("400"), std::string::npos);
  EXPECT_TRUE(form->SaveButton->Enabled());

  answer = folder.File("layer.bmp");
  form->mnWaterMarkSelectClick(nullptr);
  auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(form->ImgView->Layers().Count(), 2);  // the layer and its frame
  EXPECT_EQ(form->RubberBand->ChildLayer(), layer);
  EXPECT_EQ(layer->Location(), (gfx::TFloatRect{0, 0, 120, 80}));
  EXPECT_EQ(layer->OpacityValue, 255);
  EXPECT_EQ(layer->Bitmap().ResamplerClassName(), "TNearestResampler");
  EXPECT_EQ(layer->Bitmap().Pixel(25, 25) >> 24, 0u);
  EXPECT_EQ(layer->Bitmap().Pixel(100, 25), kBlack);
  EXPECT_TRUE(form->Modified);

  form->LayerOpacity->SetPosition(128);
  EXPECT_EQ(layer->Bitmap().MasterAlpha(), 128u);
  EXPECT_EQ(layer->OpacityValue, 128);
  form->WMScale->SetPosition(50);
  EXPECT_EQ(layer->Location(), (gfx::TFloatRect{0, 0, 60, 40}));
  EXPECT_EQ(form->WMLabel->Caption(), "Scale: 50%");
  form->RubberBand->SetLocation({100, 50, 160, 90});
  EXPECT_EQ(layer->Location(), (gfx::TFloatRect{100, 50, 160, 90}));

  form->TextTop = 200;
  app::TRenderText text;
  text.FontName = "DejaVu Sans";
  text.Size = 40;
  text.TextColor = 0xFFF0FBFF;
  text.BackColor = 0x800000;
  text.Text = "Stamp";
  gfx::TBitmapLayer& textLayer = form->CreateTextLayer(nullptr, text, true, 10000);
  EXPECT_EQ(form->SelectedLayer, &textLayer);
  EXPECT_EQ(form->LayerOpacity->Position(), 255);
  plat::SaveScreenshot(*form,
                       plat::JoinPath(plat::ScreenshotFolder(), "main-window-two-layers.png"));

  bool handled = false;
  form->ImgViewMouseWheelDown(nullptr, 0, {0, 0}, handled);
  form->ImgViewMouseWheelDown(nullptr, 0, {0, 0}, handled);
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 1.02f * 1.02f);

  answer = folder.File("out.png");
  form->mnSaveAsClick(nullptr);
  EXPECT_TRUE(std::filesystem::exists(folder.File("out.jpg")));
  EXPECT_FALSE(std::filesystem::exists(folder.File("out.png")));
  EXPECT_EQ(form->SelectedLayer, nullptr);
  EXPECT_TRUE(form->Modified);
  for (int v : QuantisationEntries(ReadBytes(folder.File("out.jpg")))) ASSERT_EQ(v, 1);

  // The composition has no frame: the layer's edge rows are the blend, not stipple colours.
  const auto b = app::ComposePicture(*form->ImgView);
  for (int x = 101; x < 159; ++x) {
    ASSERT_LE(MaxChannelDifference(b->Pixel(x, 50), Expected(x, 50)), 1) << x;
    ASSERT_LE(MaxChannelDifference(b->Pixel(x, 89), Expected(x, 89)), 1) << x;
  }
  gfx::TBitmap32 saved;
  saved.LoadFromFile(folder.File("out.jpg"));
  ASSERT_EQ(saved.Width(), 400);
  ASSERT_EQ(saved.Height(), 300);
  for (int y = 53; y < 88; ++y)
    for (int x : {105, 114, 125, 145})
      if (x != 114 || (y >= 63 && y < 67)) {
        ASSERT_LE(MaxChannelDifference(saved.Pixel(x, y), Expected(x, y)), 6) << x << "," << y;
      }
  const gfx::TFloatRect t = textLayer.Location();
  EXPECT_LE(MaxChannelDifference(saved.Pixel(int(t.Left) + 2, int(t.Top) + 3), 0xFF000080), 8);

  // Read back: the saved picture becomes the background and the layers go.
  form->LoadBackground(folder.File("out.jpg"));
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(form->RubberBand, nullptr);
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(145, 70), saved.Pixel(145, 70));

  plat::SaveScreenshot(*form, plat::JoinPath(plat::ScreenshotFolder(), "main-window-saved.png"));
}

TEST_F(MainWindowRoad, OverwriteIsAskedForTheNameReallyWritten) {
  OpenAndAddLayer();
  // The name typed exists but is not written: nothing to ask.
  std::ofstream(folder.File("out.png")) << "other picture";
  answer = folder.File("out.png");
  messageAnswer = plat::IDNO;
  form->mnSaveAsClick(nullptr);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(ReadBytes(folder.File("out.jpg")).substr(0, 2), "\xFF\xD8");
  std::ofstream(folder.File("out.jpg")) << "older picture";
  form->mnSaveAsClick(nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(folder.File("out.jpg")), std::string::npos);
  EXPECT_EQ(messages[0].find("out.png"), std::string::npos);
  EXPECT_EQ(ReadBytes(folder.File("out.jpg")), "older picture");
  messageAnswer = plat::IDYES;
  form->mnSaveAsClick(nullptr);
  EXPECT_EQ(ReadBytes(folder.File("out.jpg")).substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(messages.size(), 2u);
  answer = folder.File("out.jpg");
  form->mnSaveAsClick(nullptr);
  EXPECT_EQ(messages.size(), 3u);
  EXPECT_EQ(ReadBytes(folder.File("out.png")), "other picture");
}

TEST_F(MainWindowRoad, FailedOpenKeepsPictureAndLayers) {
  gfx::TBitmapLayer& layer = OpenAndAddLayer();
  std::ofstream(folder.File("broken.png")) << "\x89PNG\r\n\x1a\nnothing more";
  answer = folder.File("broken.png");
  EXPECT_THROW(form->mnFileOpenClick(nullptr), std::exception);
  EXPECT_EQ(plat::Screen().Cursor(), plat::crDefault);
  EXPECT_EQ(form->ImgView->Layers().Count(), 2);
  EXPECT_EQ(layer.Location(), (gfx::TFloatRect{100, 50, 160, 90}));
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 400);
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(399, 0), kTopRight);
}

// A mark in the file's name makes a preset, small at the bottom-right; a folder named after a
// mark does not.
TEST_F(MainWindowRoad, PresetsAreKnownByTheFileNameOnly) {
  answer = folder.File("bg.bmp");
  form->mnFileOpenClick(nullptr);
  std::filesystem::create_directory(folder.File("Logos"));
  const std::string inLogos = folder.File("Logos/layer.bmp");
  const std::string named = folder.File("our-logo.bmp");
  WriteKeyedLayer(inLogos);
  WriteKeyedLayer(named);
  answer = inLogos;
  form->LoadWatButton->Click();
  auto* plain = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->ScalePercent, 100);
  EXPECT_EQ(plain->OpacityValue, 255);
  EXPECT_EQ(plain->Location(), (gfx::TFloatRect{0, 0, 120, 80}));

  answer = named;
  form->LoadWatButton->Click();
  auto* preset = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(preset, nullptr);
  EXPECT_EQ(preset->ScalePercent, 22);
  EXPECT_EQ(preset->OpacityValue, 125);
  // 400 - Round(13.2) - 135 and 300 - Round(8.8) - 35.
  EXPECT_EQ(preset->Location().Left, 252);
  EXPECT_EQ(preset->Location().Top, 256);
}

// The gauges take the new layer's values only once it is selected: the layer selected before
// keeps its own.
TEST_F(MainWindowRoad, ALayerFromTheClipboardLeavesTheSelectedOneAsItWas) {
  gfx::TBitmapLayer& earlier = OpenAndAddLayer();  // 128 / 50 % at (100, 50)
  gfx::TBitmap32 copied;
  copied.SetSize(30, 20);
  copied.ClearWithColor(0xFF204080);
  app::CopyPictureToClipboard(copied);
  form->AddLayerClip->Click();
  auto* pasted = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(pasted, nullptr);
  ASSERT_NE(pasted, &earlier);
  EXPECT_EQ(pasted->OpacityValue, 255);
  EXPECT_EQ(pasted->ScalePercent, 100);
  EXPECT_EQ(earlier.OpacityValue, 128);
  EXPECT_EQ(earlier.Bitmap().MasterAlpha(), 128u);
  EXPECT_EQ(earlier.ScalePercent, 50);
  EXPECT_EQ(earlier.Location(), (gfx::TFloatRect{100, 50, 160, 90}));
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowRoad, ScalingTheBackgroundSavesAtTheNewSizeWithEveryEdgeDrawn) {
  OpenAndAddLayer();
  form->ScaleBar->SetPosition(200);
  EXPECT_EQ(form->BackgroundWidth, 800);
  EXPECT_EQ(form->Label1->Caption(), "Scale: 2.00");
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(799, 599), kBottomRight);
  const auto composed = app::ComposePicture(*form->ImgView);
  EXPECT_EQ(composed->Pixel(799, 599), kBottomRight);
  answer = folder.File("big");
  form->mnSaveAsClick(nullptr);
  gfx::TBitmap32 saved;
  saved.LoadFromFile(folder.File("big.jpg"));
  ASSERT_EQ(saved.Width(), 800);
  ASSERT_EQ(saved.Height(), 600);
  EXPECT_LE(MaxChannelDifference(saved.Pixel(799, 599), kBottomRight), 6);
  EXPECT_LE(MaxChannelDifference(saved.Pixel(799, 10), kTopRight), 6);
  EXPECT_LE(MaxChannelDifference(saved.Pixel(10, 599), kBottomLeft), 6);
}

TEST_F(MainWindowRoad, AScaleTooLargeIsRefusedAndTheGaugeReturns) {
  gfx::TBitmap32 wide;
  wide.SetSize(4000, 10);
  wide.ClearWithColor(0xFF406080);
  wide.SaveToFile(folder.File("wide.bmp"));
  answer = folder.File("wide.bmp");
  form->mnFileOpenClick(nullptr);
  form->ScaleBar->SetPosition(300);
  ASSERT_EQ(form->BackgroundWidth, 12000);
  EXPECT_THROW(form->ScaleBar->SetPosition(900), gfx::EBitmapException);
  EXPECT_EQ(form->ScaleBar->Position(), 300);
  EXPECT_EQ(form->BackgroundWidth, 12000);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 12000);
  EXPECT_EQ(form->Label1->Caption(), "Scale: 3.00");
  EXPECT_EQ(plat::Screen().Cursor(), plat::crDefault);
}

TEST_F(MainWindowRoad, ViewClicksWheelAndCtrlResize) {
  OpenAndAddLayer();
  // Wheel: factors of 1.02 within 0.2 and 20.
  bool handled = false;
  for (int i = 0; i < 12; ++i) form->ImgViewMouseWheelUp(nullptr, 0, {0, 0}, handled);
  EXPECT_NEAR(form->ImgView->Scale(), 1 / std::pow(1.02, 12), 1e-5);
  EXPECT_EQ(form->ScaleCombo->Text(), "79%");
  for (int i = 0; i < 200; ++i) form->ImgViewMouseWheelUp(nullptr, 0, {0, 0}, handled);
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 0.2f);
  for (int i = 0; i < 400; ++i) form->ImgViewMouseWheelDown(nullptr, 0, {0, 0}, handled);
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 20.0f);

  // Ctrl resizes about the centre of the frame as the drag began; at least 4 x 4.
  const gfx::TFloatRect start{100, 50, 160, 90};  // centre (130, 70)
  const struct {
    gfx::TRBDragState state;
    gfx::TFloatRect moved, expected;
  } cases[] = {
      {gfx::DragSizeLeft, {90, 50, 160, 90}, {90, 50, 170, 90}},
      {gfx::DragSizeBottom, {100, 50, 160, 100}, {100, 40, 160, 100}},
      {gfx::DragSizeTopRight, {100, 60, 150, 90}, {110, 60, 150, 80}},
      {gfx::DragSizeBottomLeft, {200, 50, 160, 0}, {128, 68, 132, 72}},
  };
  for (const auto& c : cases) {
    gfx::TFloatRect r = c.moved;
    form->RubberBandResizing(nullptr, start, r, c.state, plat::ssCtrl);
    EXPECT_EQ(r, c.expected) << int(c.state);
    r = c.moved;
    form->RubberBandResizing(nullptr, start, r, c.state, 0);
    EXPECT_EQ(r, c.moved);
  }
  gfx::TFloatRect moved{110, 60, 170, 100};
  form->RubberBandResizing(nullptr, start, moved, gfx::DragMove, plat::ssCtrl);
  EXPECT_EQ(moved, (gfx::TFloatRect{110, 60, 170, 100}));

  // A left click off the layers deselects and queues nothing; a right one queues the tools.
  form->ImgViewMouseDown(nullptr, plat::mbLeft, 0, 5, 5, nullptr);
  EXPECT_EQ(form->SelectedLayer, nullptr);
  EXPECT_EQ(form->ToolAction, 0);
  EXPECT_FALSE(form->LayerOpacity->Enabled());
  form->ImgViewMouseDown(nullptr, plat::mbRight, 0, 5, 5, nullptr);
  EXPECT_EQ(form->ToolAction, 10);
}

// Each wheel notch divides (out) or multiplies (in) the single-precision scale by 1.02 exactly:
// twelve notches out from 1.0 give 1 / 1.02^12 to the nearest single.
TEST_F(MainWindowRoad, WheelNotchesStepTheScaleByExactlyOnePointZeroTwo) {
  answer = folder.File("bg.bmp");
  form->mnFileOpenClick(nullptr);
  ASSERT_FLOAT_EQ(form->ImgView->Scale(), 1.0f);
  const plat::TPoint centre{form->ImgView->Width() / 2, form->ImgView->Height() / 2};
  float model = 1.0f;
  for (int notch = 0; notch < 12; ++notch) {
    plat::SimulateWheel(*form->ImgView, 120, centre);
    model = float(double(model) / 1.02);
    ASSERT_EQ(form->ImgView->Scale(), model) << notch;
  }
  EXPECT_EQ(model, float(1 / std::pow(1.02, 12)));
  EXPECT_EQ(form->ImgView->Scale(), 0.788493156f);
  for (int notch = 0; notch < 24; ++notch) {
    plat::SimulateWheel(*form->ImgView, -120, centre);
    model = float(double(model) * 1.02);
    ASSERT_EQ(form->ImgView->Scale(), model) << notch;
  }
}

TEST_F(MainWindowRoad, CheckerboardRepaintModeAndInterpolation) {
  const int sizes[][2] = {{0, 0}, {1, 1}, {12, 13}, {13, 12}, {26, 26}, {30, 30}, {77, 5}, {5, 77}};
  for (const auto [w, h] : sizes) {
    gfx::TBitmap32 buffer;
    buffer.SetSize(w, h);
    buffer.ClearWithColor(0xFF123456);
    form->ImgViewPaintStage(nullptr, buffer, 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(buffer.Pixel(x, y), (x / 13 + y / 13) % 2 == 0 ? 0xFFB0B0B0u : 0xFFFFFFFFu)
            << w << "x" << h << ": " << x << "," << y;
  }
  form->cbOptRedraw->SetChecked(false);
  EXPECT_EQ(form->ImgView->RepaintMode(), gfx::rmFull);
  form->cbOptRedraw->SetChecked(true);
  EXPECT_EQ(form->ImgView->RepaintMode(), gfx::rmOptimizer);

  OpenAndAddLayer();
  form->ImageInterpolate->SetChecked(false);
  EXPECT_EQ(form->ImgView->Bitmap().ResamplerClassName(), "TNearestResampler");
  form->ImageInterpolate->SetChecked(true);
  EXPECT_EQ(form->ImgView->Bitmap().ResamplerClassName(), "TDraftResampler");
  // New with the dialog cancelled: the layers are gone, the picture stays.
  answer.clear();
  form->mnFileNewClick(nullptr);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(form->RubberBand, nullptr);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 400);
}

TEST_F(MainWindowRoad, EraseFlattenCopyAndPaste) {
  gfx::TBitmapLayer& layer = OpenAndAddLayer();
  form->clearButtonClick(nullptr);
  EXPECT_EQ(form->SelectedLayer, nullptr);
  EXPECT_EQ(form->ImgView->Layers().Count(), 1);  // only the frame is left
  EXPECT_FALSE(form->ClearButton->Enabled());
  form->clearButtonClick(nullptr);  // nothing selected: nothing happens
  (void)layer;

  answer = folder.File("layer.bmp");
  form->mnWaterMarkSelectClick(nullptr);
  form->LayerOpacity->SetPosition(128);
  form->WMScale->SetPosition(50);
  form->RubberBand->SetLocation({100, 50, 160, 90});
  form->CopyToClipBoard(nullptr);
  form->Flatten(nullptr);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_LE(MaxChannelDifference(form->ImgView->Bitmap().Pixel(140, 70), Expected(140, 70)), 1);
  // Scaling starts from the picture as opened, without the layers baked in.
  form->ScaleBar->SetPosition(200);
  form->ScaleBar->SetPosition(100);
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(140, 70), kTopLeft);

  // The copied composition comes back as the background through the run's work folder; saving
  // still starts in the folder of the last background, which outlives the run.
  const std::string folderBefore = plat::ExtractFilePath(form->BackgroundPath);
  form->ImgView->Bitmap().ClearWithColor(0xFF000000);
  form->PasteImage(nullptr);
  // Asked only about the unsaved work, which the user lets go.
  EXPECT_EQ(messages, std::vector<std::string>{std::string(app::SaveQuestionText)});
  EXPECT_EQ(plat::ExtractFilePath(form->BackgroundPath), folderBefore);
  EXPECT_EQ(form->BackgroundFolder, folderBefore);
  ASSERT_EQ(form->ImgView->Bitmap().Width(), 400);
  EXPECT_LE(MaxChannelDifference(form->ImgView->Bitmap().Pixel(140, 70), Expected(140, 70)), 6);
  EXPECT_LE(MaxChannelDifference(form->ImgView->Bitmap().Pixel(300, 250), kBottomRight), 3);

  form->AddLayerClipClick(nullptr);
  auto* pasted = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(pasted->Bitmap().Width(), 400);
  EXPECT_EQ(pasted->ScalePercent, 100);
  plat::SaveScreenshot(*form, plat::JoinPath(plat::ScreenshotFolder(), "main-window-pasted.png"));
}

// Both picture dialogs list what the readers registered, all pictures first, and preview a file
// the way it opens: a metafile too.
TEST_F(MainWindowRoad, PictureDialogsListTheRegisteredFormatsAndPreviewMetafiles) {
  std::vector<plat::TFileDialogRequest> requests;
  const auto answering = plat::TestHooks().fileDialog;
  plat::TestHooks().fileDialog = [&](plat::TFileDialogRequest& r) {
    requests.push_back(r);
    return answering(r);
  };
  OpenAndAddLayer();
  ASSERT_EQ(requests.size(), 2u);
  const std::pair<const char*, const char*> formats[] = {
      {"Portable network graphic images", "png"},
      {"CompuServe images", "gif"},
      {"Device independant Windows bitmaps", "dib"},
      {"Run length encoded Windows bitmaps", "rle"},
      {"Windows bitmaps", "msk"},
      {"JPEG images", "jpeg"},
      {"JPE images", "jpe"},
      {"JPG images", "jpg"},
      {"JFIF images", "jfif"},
      {"Windows enhanced meta files", "emf"},
      {"Windows metafiles", "wmf"},
      {"Windows icons", "ico"},
      {"Windows bitmaps", "bmp"}};
  std::string all, each;
  for (const auto& [description, extension] : formats) {
    const std::string patterns = std::string("*.") + extension + " *." + plat::UpperCase(extension);
    all += (all.empty() ? "" : " ") + patterns;
    each += std::string(";;") + description + " (" + patterns + ")";
  }
  mftest::Emf emf;
  emf.Rec(39, {1, 0, mftest::kRedRef, 0}).Rec(37, {1}).Rec(43, {10, 10, 30, 20});
  const std::string metafile = folder.File("shape.emf");
  plat::WriteFileAtomically(metafile, emf.Build(0, 0, 1058, 794));  // 40 x 30 pixels
  for (const plat::TFileDialogRequest& request : requests) {
    EXPECT_EQ(request.filter, "All pictures (" + all + ")" + each);
    ASSERT_TRUE(request.preview);
    const std::unique_ptr<plat::TBitmap> preview = request.preview(metafile);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->Width(), 40);
    EXPECT_EQ(preview->Height(), 30);
    EXPECT_EQ(preview->PixelARGB(20, 15), 0xFFFF0000u);
    EXPECT_EQ(preview->PixelARGB(5, 5), 0xFFFFFFFFu);
  }
}

}  // namespace
