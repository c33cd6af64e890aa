// The open-picture dialogs' preview: every registered class, fitted and never enlarged, with the
// transparency the editor gives the picture.
#include <gtest/gtest.h>

#include <filesystem>

#include "PictureTestUtil.h"
#include "platform/pictures/Picture.h"
#include "platform/pictures/PicturePreview.h"
#include "platform/runtime/Files.h"
#include "support/NamedPipe.h"
#include "support/ScratchFolder.h"
#include "tests/platform/metafile/MetafileBuilder.h"

using namespace plat;
using namespace pictest;

namespace {

class PicturePreviewTest : public testing::Test {
 protected:
  void SetUp() override { RegisterDefaultPictureFormats(); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = folder.File(name);
    WriteFileAtomically(path, bytes);
    return path;
  }
  test_support::ScratchFolder folder;
};

TEST_F(PicturePreviewTest, MetafilesShowOnWhiteScaledDownSmoothly) {
  // Ten inches square at 96 dpi, the left half filled red, nothing drawn on the right.
  mftest::Emf emf;
  emf.Rec(39, {1, 0, mftest::kRedRef, 0}).Rec(37, {1});  // a red brush, selected
  emf.Rec(37, {0x80000008});                             // no outline
  emf.Rec(43, {0, 0, 481, 961});
  const std::string path = Write("half.emf", emf.Build(0, 0, 25400, 25400));
  const std::unique_ptr<TBitmap> preview = PicturePreview(path, 160, 120);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->PixelFormat(), pf32bit);
  EXPECT_EQ(preview->Width(), 120);
  EXPECT_EQ(preview->Height(), 120);
  for (int y = 2; y < 118; y += 5) {
    EXPECT_EQ(preview->PixelARGB(5, y), 0xFFFF0000u) << y;
    EXPECT_EQ(preview->PixelARGB(54, y), 0xFFFF0000u) << y;
    EXPECT_EQ(preview->PixelARGB(66, y), 0xFFFFFFFFu) << y;
    EXPECT_EQ(preview->PixelARGB(115, y), 0xFFFFFFFFu) << y;
  }
}

TEST_F(PicturePreviewTest, BitmapsKeepTheirAlphaAndSmallPicturesTheirSize) {
  // 32-bit rows, bottom-up: a transparent pixel and a half-transparent one.
  Bytes pixels;
  pixels.U32(0x00112233).U32(0x80445566);
  const std::string small = Write("two.bmp", BmpFile(InfoHeader(40, 2, 1, 32, 0), Bytes(), pixels));
  std::unique_ptr<TBitmap> preview = PicturePreview(small, 160, 160);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(Pixels(*preview), (std::vector<uint32_t>{0x00112233u, 0x80445566u}));

  // A wide 24-bit picture keeps its proportions and is opaque.
  Bytes rows;
  for (int i = 0; i < 400 * 100; ++i) rows.U8(0x40).U8(0x80).U8(0xC0);
  preview = PicturePreview(
      Write("wide.bmp", BmpFile(InfoHeader(40, 400, 100, 24, 0), Bytes(), rows)), 160, 160);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->Width(), 160);
  EXPECT_EQ(preview->Height(), 40);
  EXPECT_EQ(preview->PixelARGB(80, 20), 0xFFC08040u);
}

TEST_F(PicturePreviewTest, WhatDoesNotLoadShowsNothing) {
  EXPECT_EQ(PicturePreview(Write("broken.bmp", "BM broken"), 160, 160), nullptr);
  EXPECT_EQ(PicturePreview(Write("notes.txt", "text"), 160, 160), nullptr);
  EXPECT_EQ(PicturePreview(folder.Path().string(), 160, 160), nullptr);
  EXPECT_EQ(PicturePreview(folder.File("missing.emf"), 160, 160), nullptr);
  // Highlighted in the open dialog: a pipe is not waited on, a device not read for ever, a file
  // of gigabytes not read in.
  test_support::NamedPipe pipe(folder.File("pipe.jpg"));
  ASSERT_TRUE(pipe.Made());
  EXPECT_TRUE(pipe.ReturnsWithoutWaiting(
      [&] { EXPECT_EQ(PicturePreview(pipe.Path(), 160, 160), nullptr); }));
  std::filesystem::create_symlink("/dev/zero", folder.File("endless.ico"));
  EXPECT_EQ(PicturePreview(folder.File("endless.ico"), 160, 160), nullptr);
  for (const char* name : {"huge.jpg", "huge.png", "huge.gif", "huge.emf", "huge.ico"}) {
    const std::string path = Write(name, "\xFF\xD8\xFF");
    std::filesystem::resize_file(path, std::uintmax_t(3) << 30);
    EXPECT_EQ(PicturePreview(path, 160, 160), nullptr) << name;
  }
}

}  // namespace
