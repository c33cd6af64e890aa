// The work file the dialog hands back, the clipboard buttons and the fit to small screens.
#include <fstream>
#include <iterator>
#include <random>

#include "RotateSupport.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"

namespace {

using namespace rotate_test;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
         uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

void ReadClipboard(gfx::TBitmap32& b) {
  std::unique_ptr<plat::TBitmap> clip = plat::Clipboard().GetBitmap();
  ASSERT_NE(clip, nullptr);
  b.Assign(*clip);
}

TEST_F(RotateDialogTest, OkWritesTheCanvasAsA32BitBmpUnderThePathWithoutTheMark) {
  gfx::TBitmap32 b;
  Fill(b, 60, 40, kBlue);
  Values v;
  v.rotatedBefore = true;
  Open(b, v);
  dialog->Button270Click(nullptr);
  dialog->CloseButtonClick(nullptr);
  EXPECT_EQ(dialog->ModalResult(), plat::mrCancel);  // the caller goes by the file
  EXPECT_FALSE(plat::FileExists(workFile + "1"));

  const std::string bytes = Bytes(workFile);
  ASSERT_GE(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(Le32(bytes, 18), 63u);
  EXPECT_EQ(std::abs(int32_t(Le32(bytes, 22))), 63);  // either row order
  EXPECT_EQ(uint16_t(uint8_t(bytes[28]) | uint8_t(bytes[29]) << 8), 32);
  EXPECT_EQ(bytes.size(), 54u + 63 * 63 * 4);
  gfx::TBitmap32 back;
  back.LoadFromFile(workFile);
  EXPECT_TRUE(back.Equal(Canvas()));
  // The alpha channel comes back: the corners of the turned picture are clear.
  EXPECT_EQ(back.Pixel(0, 0), kClear);
}

TEST_F(RotateDialogTest, EveryWayOutButOkErasesTheWorkFile) {
  // Cancel, a second Cancel with nothing left to erase, and the close box of a modal run.
  OpenSquare(20, {});
  dialog->CancelButtonClick(nullptr);
  EXPECT_FALSE(plat::FileExists(workFile));
  EXPECT_NO_THROW(dialog->CancelButtonClick(nullptr));

  OpenSquare(20, {});
  plat::TestHooks().modal = [](plat::TCustomForm& form) {
    dynamic_cast<app::TFormRotateExample&>(form).Button180Click(nullptr);
    return plat::mrCancel;  // closed by the window frame: no button's handler runs
  };
  dialog->ShowModal();
  EXPECT_FALSE(plat::FileExists(workFile));
  EXPECT_EQ(dialog->GetAngle(), 90);

  OpenSquare(20, {});
  plat::TestHooks().modal = [](plat::TCustomForm& form) {
    dynamic_cast<app::TFormRotateExample&>(form).CloseButtonClick(nullptr);
    return plat::mrNone;
  };
  EXPECT_EQ(dialog->ShowModal(), plat::mrCancel);
  ASSERT_TRUE(plat::FileExists(workFile));
  gfx::TBitmap32 back;
  back.LoadFromFile(workFile);
  EXPECT_EQ(back.Width(), 29);

  // A second run of the same dialog has to confirm again.
  plat::TestHooks().modal = [](plat::TCustomForm&) { return plat::mrCancel; };
  dialog->ShowModal();
  EXPECT_FALSE(plat::FileExists(workFile));
}

TEST_F(RotateDialogTest, TheCloseBoxOfARealModalRunErasesTheWorkFile) {
  OpenSquare(20, {});
  plat::TTimer closer(nullptr);
  closer.SetInterval(10);
  closer.OnTimer = [this, &closer](plat::TObject*) {
    closer.SetEnabled(false);
    dialog->CloseFromWindow();
  };
  closer.SetEnabled(true);
  EXPECT_EQ(dialog->ShowModal(), plat::mrCancel);
  EXPECT_FALSE(plat::FileExists(workFile));
}

TEST_F(RotateDialogTest, CopyTakesTheCanvasAsShownAndPasteStartsOverFromTheClipboard) {
  gfx::TBitmap32 b;
  Fill(b, 100, 100, kBlue);
  Values v;
  v.rotatedBefore = true;
  Open(b, v);
  dialog->Button90Click(nullptr);
  dialog->CopyButtonClick(nullptr);
  gfx::TBitmap32 copied;
  ReadClipboard(copied);
  ASSERT_EQ(copied.Width(), 105);
  ASSERT_EQ(copied.Height(), 105);
  // The clear canvas is drawn opaquely, so its corners show black.
  EXPECT_EQ(copied.Pixel(0, 0), 0xFF000000u);
  EXPECT_TRUE(Near(copied.Pixel(52, 52), kBlue));

  dialog->Angle->SetPosition(30);
  dialog->PasteButtonClick(nullptr);
  // The pasted picture is a first turn again, whatever the work file was before.
  EXPECT_EQ(dialog->Src->Bitmap().Width(), 105);
  EXPECT_EQ(Canvas().Width(), 152);
  EXPECT_EQ(dialog->Angle->Position(), 0);
  EXPECT_EQ(Canvas().DrawMode(), gfx::dmBlend);
  gfx::TBitmap32 inFile;
  inFile.LoadFromFile(workFile);
  EXPECT_EQ(inFile.Width(), 105);
  EXPECT_EQ(inFile.Pixel(0, 0), 0xFF000000u);  // clipboard pictures are opaque
  EXPECT_TRUE(Near(inFile.Pixel(52, 52), kBlue));

  // Now drawn by blending, the clear border shows the silver ground.
  dialog->CopyButtonClick(nullptr);
  ReadClipboard(copied);
  ASSERT_EQ(copied.Width(), 152);
  EXPECT_EQ(copied.Pixel(0, 0), 0xFFC0C0C0u);
  EXPECT_TRUE(Near(copied.Pixel(76, 76), kBlue, 2));  // sampled twice
}

// 88 - 61 is odd: the picture lies 14 pixels in, its centre half a pixel off the canvas centre,
// and a half turn about its centre puts every pixel on the picture's own place, shown and copied.
TEST_F(RotateDialogTest, AHalfTurnLandsOnThePicturesOwnPlaceInThePreviewAndItsCopy) {
  gfx::TBitmap32 picture;
  picture.SetSize(61, 37);
  std::mt19937 random(7);
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 61; ++x) picture.SetPixel(x, y, random() | 0xFF000000u);
  Open(picture, {});
  ASSERT_EQ(Canvas().Width(), 88);
  dialog->Button360Click(nullptr);
  dialog->CopyButtonClick(nullptr);
  gfx::TBitmap32 copied;
  ReadClipboard(copied);
  ASSERT_EQ(copied.Width(), 88);
  for (int y = 0; y < 88; ++y)
    for (int x = 0; x < 88; ++x) {
      const bool inside = x >= 14 && x < 75 && y >= 26 && y < 63;
      const uint32_t turned = inside ? picture.Pixel(74 - x, 62 - y) : kClear;
      ASSERT_EQ(Canvas().Pixel(x, y), turned) << x << "," << y;
      // The clear canvas is drawn opaquely: black.
      ASSERT_EQ(copied.Pixel(x, y), turned | 0xFF000000u) << x << "," << y;
    }
}

TEST_F(RotateDialogTest, PastingAPictureTooLargeToTurnChangesNothing) {
  gfx::TBitmap32 huge;
  Fill(huge, 11400, 3, kRed);
  plat::TBitmap platform;
  huge.CopyToPlatformBitmap(platform);
  plat::Clipboard().Assign(platform);
  OpenSquare(20, {});
  const std::string before = Bytes(workFile);
  EXPECT_THROW(dialog->PasteButtonClick(nullptr), gfx::EBitmapException);
  EXPECT_EQ(Bytes(workFile), before);
  EXPECT_EQ(Canvas().Width(), 29);
  EXPECT_EQ(plat::Screen().Cursor(), plat::crDefault);
}

// Reset reads the work file again; when it is gone, the turned picture stays for OK to write.
TEST_F(RotateDialogTest, ResetWithoutItsWorkFileKeepsThePicture) {
  OpenSquare(30, {});
  dialog->Button180Click(nullptr);
  gfx::TBitmap32 turned;
  turned.Assign(Canvas());
  plat::DeleteFile(workFile);
  EXPECT_ANY_THROW(dialog->ButtonZeroClick(nullptr));
  EXPECT_TRUE(Canvas().Equal(turned));
  EXPECT_EQ(dialog->Src->Bitmap().Pixel(0, 0), kBlue);
}

TEST_F(RotateDialogTest, EveryDialogIsFittedToALowScreen) {
  plat::TestHooks().screenSize = plat::TSize{1024, 700};
  for (int run = 0; run < 3; ++run) {
    OpenSquare(20, {});
    EXPECT_TRUE(dialog->Timer1->Enabled());
    dialog->Timer1Timer(nullptr);
    EXPECT_FALSE(dialog->Timer1->Enabled());
    EXPECT_EQ(dialog->Height(), 590) << run;
  }
  plat::TestHooks().screenSize = plat::TSize{1280, 1024};
  OpenSquare(20, {});
  dialog->Timer1Timer(nullptr);
  EXPECT_EQ(dialog->Height(), 750);
}

TEST_F(RotateDialogTest, AScreenshotOfTheDialog) {
  gfx::TBitmap32 b;
  Fill(b, 300, 200, kBlue);
  b.FillRectS(0, 0, 100, 60, kRed);
  Values v;
  v.angle = 30;
  v.rotatedBefore = true;
  Open(b, v);
  dialog->Show();
  dialog->Button90Click(nullptr);
  plat::SaveScreenshot(*dialog, plat::JoinPath(plat::ScreenshotFolder(), "rotate-dialog.png"));
  dialog->SetVisible(false);
  // Shown without a modal run and hidden again: still not confirmed.
  EXPECT_FALSE(plat::FileExists(workFile));
}

}  // namespace
