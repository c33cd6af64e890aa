// The layer builder driven through its handlers: the mask made from the overlay's brightness,
// stretching, the filters of both panels, loading, pasting and the interaction groups.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "OverlaySupport.h"
#include "app/layerbuilder/RGBALoaderDialog.h"
#include "app/road/ClipboardTransfer.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/FileDialogAnswers.h"

namespace {

using namespace overlay_test;
using app::TRGBALoaderForm;

class Builder : public testing::Test {
 protected:
  void SetUp() override {
    test_support::AnswerFileDialogs(answer);
    plat::TestHooks().messageBox = [this](const std::string& text, const std::string&, uint32_t) {
      messages.push_back(text);
      return plat::IDOK;
    };
    builder = std::make_unique<TRGBALoaderForm>(nullptr);
  }
  void TearDown() override {
    builder.reset();
    plat::TestHooks() = plat::TTestHooks{};
  }

  void LoadBackground(const std::string& path) {
    answer = path;
    builder->btLoadImageClick(nullptr);
  }
  void LoadOverlay(const std::string& path) {
    answer = path;
    builder->btLoadAlphaClick(nullptr);
  }
  std::string Saved(const gfx::TBitmap32& b, const std::string& name) {
    b.SaveToFile(folder.File(name));
    return folder.File(name);
  }
  gfx::TBitmap32& Background() { return builder->ImgRGB->Bitmap(); }
  gfx::TBitmap32& Overlay() { return builder->ImgAlpha->Bitmap(); }
  std::unique_ptr<gfx::TBitmap32> Composed() {
    auto layer = std::make_unique<gfx::TBitmap32>();
    builder->ComposeLayerPicture(*layer);
    return layer;
  }

  ScratchFolder folder;
  std::unique_ptr<TRGBALoaderForm> builder;
  std::string answer;
  std::vector<std::string> messages;
};

void ExpectPixels(const gfx::TBitmap32& b, int w, int h, const PixelRule& want, const char* what) {
  ASSERT_EQ(b.Width(), w) << what;
  ASSERT_EQ(b.Height(), h) << what;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(b.Pixel(x, y), want(x, y)) << what << " at " << x << "," << y;
}

TEST_F(Builder, WhiteOverlayKeepsTheLayerOpaqueBlackMakesItTransparentAndEdgesStay) {
  gfx::TBitmap32 bg;
  Paint(bg, 800, 600, RandomOpaque(1));
  LoadBackground(Saved(bg, "bg.bmp"));
  for (const uint32_t alpha : {0xFF000000u, 0u}) {
    LoadOverlay(
        WritePicture(folder, "mask.bmp", 100, 100, Flat(alpha ? 0xFFFFFFFFu : 0xFF000000u)));
    const auto layer = Composed();
    ExpectPixels(
        *layer, 800, 600, [&](int x, int y) { return (bg.Pixel(x, y) & 0xFFFFFF) | alpha; },
        "mask");
    // The preview is the same layer, centred on the middle of the preview.
    EXPECT_TRUE(builder->ResultLayer->Bitmap().Equal(*layer));
    const gfx::TFloatRect r = builder->ResultLayer->Location();
    const gfx::TRect v = builder->ImgResult->ViewportRect();
    const gfx::TPoint centre =
        builder->ImgResult->ControlToBitmap({(v.Left + v.Right) / 2, (v.Top + v.Bottom) / 2});
    EXPECT_EQ(r, (gfx::TFloatRect{centre.X - 400.0f, centre.Y - 300.0f, centre.X + 400.0f,
                                  centre.Y + 300.0f}));
  }

  // A 100 x 100 overlay split in two halves is stretched to split the layer in the middle.
  LoadOverlay(WritePicture(folder, "split.bmp", 100, 100,
                           [](int x, int) { return x < 50 ? 0xFFFFFFFFu : 0xFF000000u; }));
  const auto layer = Composed();
  for (int y = 0; y < 600; ++y) {
    int edges = 0;
    for (int x = 0; x < 800; ++x) {
      const uint32_t a = layer->Pixel(x, y) >> 24;
      ASSERT_TRUE(x < 396 ? a == 255 : x >= 404 ? a == 0 : a == 0 || a == 255) << x << "," << y;
      edges += x > 0 && a != layer->Pixel(x - 1, y) >> 24;
    }
    ASSERT_EQ(edges, 1) << "row " << y;
  }
}

TEST_F(Builder, MaskAlphaIsTheOverlaysBrightness) {
  gfx::TBitmap32 bg, mask;
  Paint(bg, 64, 48, RandomOpaque(2));
  Paint(mask, 64, 48, RandomOpaque(3));
  LoadBackground(Saved(bg, "bg.bmp"));
  LoadOverlay(Saved(mask, "mask.bmp"));
  ExpectPixels(
      *Composed(), 64, 48,
      [&](int x, int y) {
        return (bg.Pixel(x, y) & 0xFFFFFF) | Brightness(mask.Pixel(x, y)) << 24;
      },
      "brightness");
}

// Both panels must behave alike: invert twice restores, grey off reloads the file's pixels.
TEST_F(Builder, FiltersOfEitherPanelAreUndoneExactly) {
  const struct {
    const char* name;
    void (TRGBALoaderForm::*load)(plat::TObject*);
    void (TRGBALoaderForm::*flip)(plat::TObject*);
    gfx::TImgView32* TRGBALoaderForm::*view;
    plat::TCheckBox* TRGBALoaderForm::*invert;
    plat::TCheckBox* TRGBALoaderForm::*gray;
  } panels[] = {
      {"background", &TRGBALoaderForm::btLoadImageClick,
       &TRGBALoaderForm::BackFlipHorizontallyClick, &TRGBALoaderForm::ImgRGB,
       &TRGBALoaderForm::BackInvertRGBCheck, &TRGBALoaderForm::BackGrayScaleCheck},
      {"overlay", &TRGBALoaderForm::btLoadAlphaClick, &TRGBALoaderForm::ButtonFlipHorizClick,
       &TRGBALoaderForm::ImgAlpha, &TRGBALoaderForm::InvertRGBCheck,
       &TRGBALoaderForm::GrayScaleCheck},
  };
  gfx::TBitmap32 original;
  Paint(original, 40, 30, [](int x, int y) { return uint32_t(x * 5 + y) << 24 | x * 6 << 8 | y; });
  const PixelRule same = [&](int x, int y) { return original.Pixel(x, y); };
  for (const auto& panel : panels) {
    TRGBALoaderForm& b = *builder;
    answer = Saved(original, "p.bmp");
    (b.*panel.load)(nullptr);
    gfx::TBitmap32& picture = (b.*panel.view)->Bitmap();
    (b.*panel.invert)->SetChecked(true);
    ExpectPixels(
        picture, 40, 30, [&](int x, int y) { return original.Pixel(x, y) ^ 0x00FFFFFF; },
        panel.name);
    (b.*panel.invert)->SetChecked(false);
    ExpectPixels(picture, 40, 30, same, panel.name);

    (b.*panel.flip)(nullptr);
    (b.*panel.gray)->SetChecked(true);
    ExpectPixels(
        picture, 40, 30, [&](int x, int y) { return Gray(original.Pixel(39 - x, y)); }, panel.name);
    (b.*panel.invert)->SetChecked(true);
    (b.*panel.gray)->SetChecked(false);
    EXPECT_FALSE((b.*panel.invert)->Checked()) << panel.name;
    ExpectPixels(picture, 40, 30, same, panel.name);
  }
}

TEST_F(Builder, LoadingStartsTheFiltersAfreshAndAnUnreadableFileChangesNothing) {
  LoadBackground(WritePicture(folder, "bg.bmp", 20, 10, Flat(0xFF102030)));
  LoadOverlay(WritePicture(folder, "ov.bmp", 20, 10, Flat(0xFF405060)));
  builder->InvertRGBCheck->SetChecked(true);
  builder->BackInvertRGBCheck->SetChecked(true);
  const std::string other = WritePicture(folder, "other.bmp", 8, 6, Flat(0xFF708090));
  LoadBackground(other);
  EXPECT_FALSE(builder->InvertRGBCheck->Checked());
  EXPECT_FALSE(builder->BackInvertRGBCheck->Checked());
  EXPECT_EQ(Overlay().Pixel(3, 3), 0xFF405060u);
  EXPECT_EQ(Background().Pixel(3, 3), 0xFF708090u);

  // Cancelled: only the overlay's filters are cleared.
  builder->InvertRGBCheck->SetChecked(true);
  answer.clear();
  builder->btLoadImageClick(nullptr);
  EXPECT_FALSE(builder->InvertRGBCheck->Checked());
  EXPECT_EQ(Overlay().Pixel(3, 3), 0xFF405060u);

  builder->LayerGaugeBar->SetPosition(90);
  answer = folder.File("bad.bmp");
  plat::WriteFileAtomically(answer, "BM not a picture at all");
  EXPECT_THROW(builder->btLoadImageClick(nullptr), plat::Exception);
  EXPECT_EQ(Background().Pixel(3, 3), 0xFF708090u);
  EXPECT_EQ(builder->BackgroundFileName, other);
  EXPECT_EQ(builder->OpenPictureDialog->FileName(), other);
  EXPECT_EQ(builder->LayerGaugeBar->Position(), 90);
}

TEST_F(Builder, TheGroupsChooseMaskOrInteractionAndHowTheOverlayIsDrawn) {
  LoadBackground(WritePicture(folder, "bg.bmp", 8, 8, Flat(0xFF102030)));
  LoadOverlay(WritePicture(folder, "ov.bmp", 4, 4, Flat(0xFF203040)));
  builder->RadioGroup->SetItemIndex(1);
  EXPECT_EQ(builder->LayerColorMode(), 1);
  EXPECT_FALSE(builder->LayerGaugeBar->Enabled());
  EXPECT_EQ(builder->ResultLayer->Bitmap().DrawMode(), gfx::dmCustom);
  // "Add" sums every byte, alpha included, saturating.
  uint32_t b = 0x80010FF0;
  builder->ResultLayer->Bitmap().OnPixelCombine(0x80FF1020, b, 255);
  EXPECT_EQ(b, 0xFFFF1FFFu);

  builder->RadioGroup1->SetItemIndex(1);
  EXPECT_FALSE(builder->OverlayGaugeBar->Enabled());
  ExpectPixels(*Composed(), 8, 8, Flat(0xFF305070), "overlay added");
  builder->RadioGroup1->SetItemIndex(9);
  b = 0x12345678;
  Overlay().OnPixelCombine(0, b, 255);
  EXPECT_EQ(b, 0xFFFFFFFFu) << "division by zero saturates";
  // "None" copies the overlay as it is; its gauge blends it again.
  builder->RadioGroup1->SetItemIndex(0);
  EXPECT_TRUE(builder->OverlayGaugeBar->Enabled());
  ExpectPixels(*Composed(), 8, 8, Flat(0xFF203040), "overlay copied");
  builder->OverlayGaugeBar->SetPosition(100);
  EXPECT_EQ(Overlay().DrawMode(), gfx::dmBlend);
  EXPECT_EQ(Overlay().MasterAlpha(), 100u);

  builder->RadioGroup->SetItemIndex(0);
  EXPECT_TRUE(builder->LayerGaugeBar->Enabled());
  EXPECT_EQ(builder->ResultLayer->Bitmap().DrawMode(), gfx::dmBlend);
  EXPECT_FALSE(builder->ResultLayer->Bitmap().OnPixelCombine);
}

// One test, because the clipboard is one for the whole process: it starts empty.
TEST_F(Builder, PastesGoThroughTheWorkFolderAndAFailedOneChangesNothing) {
  const std::string bgFile = WritePicture(folder, "bg.bmp", 20, 10, Flat(0xFF102030));
  LoadBackground(bgFile);
  builder->bgPasteButtonClick(nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(builder->BackgroundFileName, bgFile);
  EXPECT_EQ(builder->OpenPictureDialog->FileName(), bgFile);

  gfx::TBitmap32 copied;
  Paint(copied, 30, 20, [](int x, int y) { return 0xFF000000u | uint32_t(x) << 16 | y; });
  app::CopyPictureToClipboard(copied);
  builder->LayerGaugeBar->SetPosition(40);
  builder->bgPasteButtonClick(nullptr);
  builder->OverlayPasteButtonClick(nullptr);
  EXPECT_EQ(messages.size(), 1u);
  const PixelRule same = [&](int x, int y) { return copied.Pixel(x, y); };
  ExpectPixels(Background(), 30, 20, same, "pasted background");
  ExpectPixels(Overlay(), 30, 20, same, "pasted overlay");
  const std::string work = plat::IncludeTrailingPathDelimiter(plat::WorkFolder());
  EXPECT_EQ(plat::ExtractFilePath(builder->BackgroundFileName), work);
  EXPECT_EQ(plat::ExtractFilePath(builder->OverlayFileName), work);
  EXPECT_NE(builder->BackgroundFileName, builder->OverlayFileName);
  EXPECT_EQ(builder->OpenPictureDialog1->FileName(), builder->OverlayFileName);
  EXPECT_EQ(builder->LayerGaugeBar->Position(), 255);

  builder->BackGrayScaleCheck->SetChecked(true);
  builder->BackGrayScaleCheck->SetChecked(false);
  ExpectPixels(Background(), 30, 20, same, "reloaded paste");
}

TEST_F(Builder, PreparationShowsEachBoxAsItsPictureIs) {
  const std::string bgFile = WritePicture(folder, "bg.bmp", 20, 10, Flat(0xFF102030));
  const std::string overlayFile = WritePicture(folder, "ov.bmp", 10, 10, Flat(0xFF405060));
  gfx::TBitmap32 main;
  Paint(main, 50, 40, Flat(0xFFABCDEF));
  app::TBuilderStart start{&main, bgFile, overlayFile, {true, false, false, true}};
  builder->PrepareForUse(start);
  EXPECT_TRUE(builder->ImgResult->Bitmap().Equal(main));
  EXPECT_TRUE(builder->BackInvertRGBCheck->Checked());
  EXPECT_EQ(Background().Pixel(0, 0), 0xFFEFDFCFu);
  EXPECT_TRUE(builder->GrayScaleCheck->Checked());
  EXPECT_EQ(Overlay().Pixel(0, 0), Gray(0xFF405060));
  EXPECT_EQ(builder->RadioGroup1->ItemIndex(), 1);
  EXPECT_EQ(Overlay().DrawMode(), gfx::dmBlend);

  // The next use starts from its own switches, not from the boxes the last one left.
  start.Filters = {};
  builder->PrepareForUse(start);
  EXPECT_FALSE(builder->BackInvertRGBCheck->Checked());
  EXPECT_FALSE(builder->GrayScaleCheck->Checked());
  EXPECT_EQ(Background().Pixel(0, 0), 0xFF102030u);
  EXPECT_EQ(Overlay().Pixel(0, 0), 0xFF405060u);

  // A remembered file that is gone or unreadable leaves its picture empty.
  const std::string bad = folder.File("bad.bmp");
  plat::WriteFileAtomically(bad, "BM not a picture at all");
  builder->PrepareForUse({&main, folder.File("gone.bmp"), bad, {true, true, true, true}});
  EXPECT_TRUE(Background().Empty());
  EXPECT_TRUE(Overlay().Empty());
  EXPECT_TRUE(builder->OverlayFileName.empty());
}

TEST_F(Builder, Screenshot) {
  builder->Show();
  LoadBackground(WritePicture(folder, "bg.bmp", 300, 200, [](int x, int y) {
    return 0xFF000000u | uint32_t(x * 255 / 300) << 16 | uint32_t(y * 255 / 200) << 8 | 0x80;
  }));
  LoadOverlay(WritePicture(folder, "ov.bmp", 60, 60, [](int x, int y) {
    return (x - 30) * (x - 30) + (y - 30) * (y - 30) < 625 ? 0xFFFFFFFFu : 0xFF000000u;
  }));
  plat::Application().ProcessMessages();
  const std::string file = plat::JoinPath(plat::ScreenshotFolder(), "layer-builder.png");
  plat::SaveScreenshot(*builder, file);
  EXPECT_TRUE(plat::FileExists(file));
}

// Files that vanish, cannot be read or cannot be written end in a clear message, and the builder
// keeps what it showed: pictures, boxes and remembered files.
TEST_F(Builder, VanishedAndUnwritableFilesAreReportedAndChangeNothing) {
  gfx::TBitmap32 original;
  Paint(original, 30, 20, RandomOpaque(5));
  const std::string bgFile = Saved(original, "bg.bmp");
  LoadBackground(bgFile);
  builder->BackGrayScaleCheck->SetChecked(true);
  const PixelRule grey = [&](int x, int y) { return Gray(original.Pixel(x, y)); };
  ExpectPixels(Background(), 30, 20, grey, "grey");

  // The colours cannot come back from a file that is gone: the picture and its box stay grey.
  std::filesystem::remove(bgFile);
  try {
    builder->BackGrayScaleCheck->SetChecked(false);
    ADD_FAILURE() << "no message";
  } catch (const plat::Exception& e) {
    EXPECT_NE(std::string(e.what()).find(bgFile), std::string::npos) << e.what();
  }
  EXPECT_TRUE(builder->BackGrayScaleCheck->Checked());
  ExpectPixels(Background(), 30, 20, grey, "still grey");
  EXPECT_TRUE(builder->ResultLayer->Bitmap().Equal(Background()));

  // A chosen file gone before it is read.
  answer = bgFile;
  EXPECT_THROW(builder->btLoadImageClick(nullptr), plat::Exception);
  EXPECT_EQ(builder->BackgroundFileName, bgFile);
  ExpectPixels(Background(), 30, 20, grey, "after a failed load");

  // A paste onto a full disk: files may grow to 4 kB only.
  gfx::TBitmap32 big;
  Paint(big, 100, 100, Flat(0xFF123456));
  app::CopyPictureToClipboard(big);
  plat::RemoveWorkFolder();  // and the work folder went too: it is made again
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  builder->OverlayPasteButtonClick(nullptr);
  setrlimit(RLIMIT_FSIZE, &saved);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("large"), std::string::npos) << messages[0];
  EXPECT_TRUE(Overlay().Empty());
  EXPECT_TRUE(builder->OverlayFileName.empty());
  builder->OverlayPasteButtonClick(nullptr);
  ExpectPixels(Overlay(), 100, 100, Flat(0xFF123456), "pasted once there is room");
}

}  // namespace
