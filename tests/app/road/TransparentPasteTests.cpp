// Pictures through the desktop clipboard. With transparency, carried as PNG: pasted as a layer
// they stay transparent, a copied layer keeps its alpha, the copied composition is opaque, and a
// picture pasted as the background is opaque as before. In other formats: the program's own
// readers take the kinds they know, as they read such files, whatever name the picture comes
// under, and a small picture that declares a huge size costs little before it is refused,
// whichever kind it is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RoadSupport.h"
#include "app/road/Composition.h"
#include "app/road/RoadTexts.h"
#include "graphics/layers/Layers.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "support/LargestAllocation.h"
#include "support/MainWindowFixture.h"
#include "support/PngBytes.h"

namespace {

using test_support::PngBytes;
using test_support::ReadPng;

constexpr uint32_t kClear = 0x00FFFFFF, kHalf = 0x80123456, kRed = 0xFFDC0E0E;
constexpr uint32_t kBackground = 0xFF336699;
constexpr int kLogoWidth = 40, kLogoHeight = 20;

// A logo as a desktop program copies it: clear on the left, a half-transparent column, then red.
std::vector<uint32_t> Logo() {
  std::vector<uint32_t> argb;
  for (int y = 0; y < kLogoHeight; ++y)
    for (int x = 0; x < kLogoWidth; ++x) argb.push_back(x < 20 ? kClear : x == 20 ? kHalf : kRed);
  return argb;
}

std::vector<uint32_t> PixelsOf(const gfx::TBitmap32& b) {
  return {b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height())};
}

std::string Le16(int value) {
  return {char(value & 0xFF), char(value >> 8 & 0xFF)};
}

// A GIF of one frame of Width x Height at (0, 0) on a screen of ScreenWidth x ScreenHeight, two
// colours (red, blue), whose LZW data holds the two pixels 1, 0 and ends.
std::string TwoPixelGif(int screenWidth, int screenHeight, int width, int height) {
  return "GIF89a" + Le16(screenWidth) + Le16(screenHeight) + std::string("\x80\x00\x00", 3) +
         std::string("\xFF\x00\x00\x00\x00\xFF", 6) + "\x2C" + Le16(0) + Le16(0) + Le16(width) +
         Le16(height) + std::string("\x00\x02\x02\x0C\x0A\x00\x3B", 7);
}

class TransparentPaste : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start({Picture("bg.bmp", 64, 48)});
    form->TimerEllapsed(form->Timer1);
    form->TimerEllapsed(form->Timer1);
    plat::TestHooks().messageBox = [this](const std::string& text, const std::string&, uint32_t) {
      messages.push_back(text);
      return plat::IDOK;
    };
    plat::PutClipboardData("image/png", PngBytes(kLogoWidth, kLogoHeight, Logo()));
  }
  gfx::TBitmapLayer* Selected() const {
    return dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  }
  // A click on the shown window's button.
  void Click(plat::TControl& button) {
    form->Show();
    plat::Application().ProcessMessages();
    const plat::TPoint middle{button.Width() / 2, button.Height() / 2};
    plat::SimulateMouse(button, plat::TMouseAction::Press, plat::mbLeft, middle);
    plat::SimulateMouse(button, plat::TMouseAction::Release, plat::mbLeft, middle);
  }
  // Pastes the picture of that type as a layer and expects it refused, having cost at most a few
  // megabytes on the way.
  void ExpectRefusedCheaply(const std::string& type, const std::string& bytes) {
    SCOPED_TRACE(type);
    plat::PutClipboardData(type, bytes);
    const int layers = form->ImgView->Layers().Count();
    messages.clear();
    {
      test_support::LargestAllocation watch;
      Click(*form->AddLayerClip);
      EXPECT_LT(watch.PeakBytes(), 16u << 20);
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(app::PasteFailedText, 0), 0u) << messages[0];
    EXPECT_EQ(form->ImgView->Layers().Count(), layers);
  }
  std::vector<std::string> messages;
};

TEST_F(TransparentPaste, ALayerFromTheClipboardKeepsItsTransparencyAndCopiesBackWithIt) {
  form->AddLayerClipClick(nullptr);
  gfx::TBitmapLayer* layer = Selected();
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(PixelsOf(layer->Bitmap()), Logo());
  EXPECT_TRUE(form->Modified);
  // The layer reloads from a file of its own, not from the paste file the next paste overwrites.
  EXPECT_TRUE(plat::FileExists(layer->SourceFile));
  EXPECT_NE(plat::ExtractFileName(layer->SourceFile), app::PasteLayerFileName);

  // Over the background: the clear part shows it, the red part covers it.
  const auto composed = app::ComposePicture(*form->ImgView);
  EXPECT_EQ(composed->Pixel(5, 5), kBackground);
  EXPECT_EQ(composed->Pixel(30, 5), kRed);
  EXPECT_EQ(composed->Pixel(60, 30), kBackground);

  // The layer goes out with its alpha, as a PNG other programs read.
  form->CopyFrame(nullptr);
  const test_support::PngPicture copied = ReadPng(plat::ClipboardData("image/png"));
  EXPECT_EQ(copied.width, kLogoWidth);
  EXPECT_EQ(copied.argb, Logo());
  // and comes back as it went.
  form->AddLayerClipClick(nullptr);
  ASSERT_NE(Selected(), layer);
  EXPECT_EQ(PixelsOf(Selected()->Bitmap()), Logo());

  // The composition goes out opaque.
  form->CopyToClipBoard(nullptr);
  const test_support::PngPicture composition = ReadPng(plat::ClipboardData("image/png"));
  ASSERT_EQ(composition.width, 64);
  ASSERT_EQ(composition.height, 48);
  for (uint32_t pixel : composition.argb) ASSERT_EQ(pixel >> 24, 0xFFu);
  EXPECT_EQ(composition.argb[5 * 64 + 5], kBackground);
  EXPECT_EQ(messages.size(), 0u);
}

TEST_F(TransparentPaste, APictureFromTheClipboardAsTheBackgroundIsOpaque) {
  form->PasteImage(nullptr);
  const gfx::TBitmap32& background = form->ImgView->Bitmap();
  ASSERT_EQ(background.Width(), kLogoWidth);
  ASSERT_EQ(background.Height(), kLogoHeight);
  for (uint32_t pixel : PixelsOf(background)) ASSERT_EQ(pixel >> 24, 0xFFu);
  EXPECT_NEAR(int(background.Pixel(35, 10) >> 16 & 0xFF), 0xDC, 3);
}

TEST_F(TransparentPaste, ABrokenPictureOnTheClipboardIsReportedAndAddsNothing) {
  std::string broken = PngBytes(kLogoWidth, kLogoHeight, Logo());
  broken.resize(broken.size() / 2);
  plat::PutClipboardData("image/png", broken);
  const int layers = form->ImgView->Layers().Count();
  form->AddLayerClipClick(nullptr);
  EXPECT_EQ(messages, std::vector<std::string>{std::string(app::PasteFailedText) +
                                               "\nCannot load image. Invalid or unexpected PNG "
                                               "image format."});
  EXPECT_EQ(form->ImgView->Layers().Count(), layers);
  EXPECT_EQ(form->ImgView->Bitmap().Pixel(5, 5), kBackground);
}

// Asked for with the mouse: the message says why the picture could not be taken over.
TEST_F(TransparentPaste, APictureTooWideToTakeOverIsReportedWithTheReason) {
  plat::PutClipboardData("image/png", PngBytes(40000, 1, std::vector<uint32_t>(40000, kRed)));
  const int layers = form->ImgView->Layers().Count();
  Click(*form->AddLayerClip);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind(app::PasteFailedText, 0), 0u) << messages[0];
  EXPECT_NE(messages[0].find("40000"), std::string::npos) << messages[0];
  EXPECT_EQ(form->ImgView->Layers().Count(), layers);
}

// A program may offer its picture in several formats: one that does not read gives way to the
// next, and only when none reads is the paste refused, with the reason of the first.
TEST_F(TransparentPaste, AFormatThatDoesNotReadGivesWayToTheNextOneOffered) {
  std::string broken = PngBytes(kLogoWidth, kLogoHeight, Logo());
  broken.resize(broken.size() / 2);
  const std::string bmp = road_test::ReadBytes(Picture("offered.bmp", 30, 20));
  plat::PutClipboardData({{"image/png", broken}, {"image/bmp", bmp}});
  Click(*form->Button1);
  EXPECT_EQ(messages, std::vector<std::string>{});
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 30);
  EXPECT_EQ(form->ImgView->Bitmap().Height(), 20);
  EXPECT_NEAR(int(form->ImgView->Bitmap().Pixel(10, 10) & 0xFF), 0x99, 3);

  // Not taken for no picture at all: the clipboard does offer one, which the program's BMP
  // reader refuses.
  plat::PutClipboardData("image/bmp", "not a picture");
  Click(*form->Button1);
  EXPECT_EQ(messages, std::vector<std::string>{std::string(app::PasteFailedText) +
                                               "\nInvalid bitmap: the signature is not \"BM\""});
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 30);
}

// The GIF is read as the program reads a GIF file: its first frame, not the screen around it.
TEST_F(TransparentPaste, AGifIsReadByTheProgramsOwnReader) {
  plat::PutClipboardData("image/gif", TwoPixelGif(13317, 2285, 2, 1));
  Click(*form->AddLayerClip);
  EXPECT_EQ(messages, std::vector<std::string>{});
  ASSERT_NE(Selected(), nullptr);
  const gfx::TBitmap32& pasted = Selected()->Bitmap();
  ASSERT_EQ(pasted.Width(), 2);
  ASSERT_EQ(pasted.Height(), 1);
  EXPECT_EQ(pasted.Pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(pasted.Pixel(1, 0), 0xFFFF0000u);
}

TEST_F(TransparentPaste, ASmallPictureDeclaringAHugeSizeCostsLittleAndIsRefused) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  // 35 bytes that declare 13317 x 2285 pixels, read by the program's own GIF reader.
  ExpectRefusedCheaply("image/gif", TwoPixelGif(13317, 2285, 13317, 2285));
  // A kind only the desktop's decoders read: its size is weighed against its data first.
  ExpectRefusedCheaply("image/x-portable-pixmap", "P6\n5000 5000\n255\n" + std::string(12, '\x7F'));

  // Such a picture of the size its data holds is pasted as it is.
  std::string pixmap = "P6\n3 2\n255\n";
  for (int i = 0; i < 6; ++i) pixmap += std::string{char(0x10 * i), char(0x80), char(0xF0)};
  plat::PutClipboardData("image/x-portable-pixmap", pixmap);
  messages.clear();
  Click(*form->AddLayerClip);
  EXPECT_EQ(messages, std::vector<std::string>{});
  ASSERT_NE(Selected(), nullptr);
  ASSERT_EQ(Selected()->Bitmap().Width(), 3);
  EXPECT_EQ(Selected()->Bitmap().Pixel(2, 1), 0xFF5080F0u);
}

// A picture is read as the kind its data shows, whatever name it is offered under: a GIF offered
// as a pixmap is read by the program's own GIF reader (its first frame, not the screen around it),
// never by the desktop's decoders.
TEST_F(TransparentPaste, APictureIsReadAsTheKindItsDataShows) {
  plat::PutClipboardData("image/x-portable-pixmap", TwoPixelGif(13317, 2285, 2, 1));
  Click(*form->AddLayerClip);
  EXPECT_EQ(messages, std::vector<std::string>{});
  ASSERT_NE(Selected(), nullptr);
  EXPECT_EQ(Selected()->Bitmap().Width(), 2);
  EXPECT_EQ(Selected()->Bitmap().Height(), 1);
}

}  // namespace
