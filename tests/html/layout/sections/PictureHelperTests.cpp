// Picture sizes of every kind, enlarged one-pixel strips and drawing through the imaging layer.
#include <gtest/gtest.h>

#include "html/images/PictureHelpers.h"
#include "platform/runtime/SysUtils.h"
#include "tests/html/layout/sections/TinyGif.h"

namespace html {
namespace {

constexpr plat::TColor kGreen = 0x00FF00;

class TFakeLibraryPicture : public plat::TObject, public THtmlPicture {
 public:
  int ImageWidth() const override { return 1; }
  int ImageHeight() const override { return 3; }
  std::unique_ptr<plat::TBitmap> ToBitmap() const override {
    auto b = std::make_unique<plat::TBitmap>();
    b->SetSize(1, 3);
    for (int y = 0; y < 3; ++y) b->Canvas().SetPixel(0, y, plat::RGB(uint8_t(y * 50), 0, 0));
    return b;
  }
};

TEST(PictureSizes, BitmapsAndEnginePicturesAnswerOthersRaise) {
  plat::TBitmap bitmap;
  bitmap.SetSize(7, 9);
  EXPECT_EQ(GetImageWidth(bitmap), 7);
  EXPECT_EQ(GetImageHeight(bitmap), 9);
  TFakeLibraryPicture library;
  EXPECT_EQ(GetImageWidth(library), 1);
  EXPECT_EQ(GetImageHeight(library), 3);
  auto gif = test::TwoFrameGif();
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(GetImageWidth(*gif), 1);
  EXPECT_EQ(GetImageHeight(*gif), 1);
  plat::TStringList notAPicture;
  try {
    GetImageHeight(notAPicture);
    FAIL() << "no exception";
  } catch (const plat::Exception& e) {
    EXPECT_EQ(e.Message(), "Not a TBitmap, TGifImage, TMetafile, or TGpImage");
  }
  EXPECT_THROW(EnlargeImage(notAPicture, 10, 10), plat::Exception);
}

TEST(PictureSizes, OnePixelStripsAreStretchedToAtMostAHundred) {
  TFakeLibraryPicture column;  // 1 x 3, rows red 0, 50, 100
  auto wide = EnlargeImage(column, 300, 500);
  ASSERT_EQ(wide->Width(), 100);
  ASSERT_EQ(wide->Height(), 3);
  for (int x : {0, 57, 99})
    for (int y = 0; y < 3; ++y) EXPECT_EQ(wide->Pixel(x, y), plat::RGB(uint8_t(y * 50), 0, 0));

  plat::TBitmap dot;
  dot.SetSize(1, 1);
  dot.Canvas().SetPixel(0, 0, kGreen);
  auto small = EnlargeImage(dot, 40, 7);
  EXPECT_EQ(small->Width(), 40);
  EXPECT_EQ(small->Height(), 7);
  EXPECT_EQ(small->Pixel(39, 6), kGreen);

  plat::TBitmap plain;
  plain.SetSize(5, 4);
  auto same = EnlargeImage(plain, 100, 100);
  EXPECT_EQ(same->Width(), 5);
  EXPECT_EQ(same->Height(), 4);
}

TEST(PictureSizes, ImagingLayerPicturesDrawWholeOrInPart) {
  TGpBitmap picture(2, 1);
  picture.SetPixel(0, 0, 0xFFFF0000);  // opaque red
  picture.SetPixel(1, 0, 0xFF0000FF);  // opaque blue
  plat::TBitmap target;
  target.SetSize(10, 10);
  target.Canvas().Brush().SetColor(0xFFFFFF);
  target.Canvas().FillRect({0, 0, 10, 10});
  plat::DeviceContext& dc = *target.Canvas().Handle();

  GpDrawImage(dc, picture, 2, 2, 4, 2);
  EXPECT_EQ(target.Pixel(2, 2), plat::clRed);
  EXPECT_EQ(target.Pixel(3, 3), plat::clRed);
  EXPECT_EQ(target.Pixel(4, 2), plat::clBlue);
  EXPECT_EQ(target.Pixel(5, 3), plat::clBlue);
  EXPECT_EQ(target.Pixel(6, 2), plat::clWhite);
  EXPECT_EQ(target.Pixel(2, 4), plat::clWhite);

  // Only the blue half, stretched over three pixels.
  GpDrawImagePart(dc, picture, 0, 7, 3, 1, 1, 0, 1, 1);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(target.Pixel(x, 7), plat::clBlue) << x;
  EXPECT_EQ(target.Pixel(3, 7), plat::clWhite);
}

}  // namespace
}  // namespace html
