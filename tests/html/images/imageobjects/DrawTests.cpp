// Image objects drawn on a canvas: the stretched picture, its border, placeholders, and the
// point inside the picture afterwards.
#include "ImageObjectSupport.h"
#include "html/HtmlEngine.h"
#include "html/layout/text/FontRuns.h"

namespace imageobjects {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlack = 0xFF000000;

class ImageDrawTest : public ImageObjectTest {
 protected:
  ImageDrawTest() {
    red = folder.File("red.bmp");
    WriteFile(red, SolidBmp(40, 20, plat::clRed));
  }
  std::string red;
};

TEST_F(ImageDrawTest, PictureIsStretchedIntoItsFrame) {
  auto image = Make({{html::SrcSy, red},
                     {html::WidthSy, "20", 20},
                     {html::HeightSy, "10", 10},
                     {html::BorderSy, "2", 2}});
  Size(*image);
  image->DrawFloat(canvas, 10, 30);
  EXPECT_EQ(image->DrawX, 12);
  EXPECT_EQ(image->DrawY, 32);
  // Border: rows 30-31 and 42-43, columns 10-11 and 32-33; the picture inside.
  for (int x : {10, 11, 20, 32, 33}) {
    EXPECT_EQ(At(x, 30), kBlack) << x;
    EXPECT_EQ(At(x, 43), kBlack) << x;
  }
  EXPECT_EQ(At(11, 36), kBlack);
  EXPECT_EQ(At(32, 36), kBlack);
  EXPECT_EQ(At(12, 32), kRed);
  EXPECT_EQ(At(31, 41), kRed);
  EXPECT_EQ(At(9, 36), kWhite);
  EXPECT_EQ(At(34, 36), kWhite);
  EXPECT_EQ(At(20, 44), kWhite);
}

TEST_F(ImageDrawTest, ScrolledDocumentsKeepDocumentCoordinatesForHits) {
  auto image = Make({{html::SrcSy, red}, {html::BorderSy, "1", 1}});
  Size(*image);
  document.ScrollY = 100;
  image->DrawFloat(canvas, 5, 10);
  EXPECT_EQ(At(6, 11), kRed);
  int32_t ix = -1, iy = -1;
  EXPECT_TRUE(image->PointInside(6, 111, ix, iy));
  EXPECT_EQ(ix, 0);
  EXPECT_EQ(iy, 0);
  EXPECT_TRUE(image->PointInside(45, 130, ix, iy));
  EXPECT_EQ(ix, 39);
  EXPECT_EQ(iy, 19);
  EXPECT_FALSE(image->PointInside(5, 111, ix, iy));  // on the border
  EXPECT_FALSE(image->PointInside(46, 111, ix, iy));
  EXPECT_FALSE(image->PointInside(6, 131, ix, iy));
  EXPECT_FALSE(image->PointInside(6, 11, ix, iy));  // window coordinates miss
}

TEST_F(ImageDrawTest, MissingPictureShowsTheErrorPictureInAFrame) {
  document.SetBackColor(plat::clWhite);  // the frame's light side is then silver
  auto image = Make({{html::SrcSy, "nowhere.bmp"}});
  Size(*image);
  image->DrawFloat(canvas, 50, 50);
  // The 24 x 24 box is framed; the error picture sits 4 pixels in from its corner.
  EXPECT_NE(At(50, 60), kWhite);
  EXPECT_NE(At(60, 50), kWhite);
  EXPECT_NE(At(73, 60), kWhite);
  EXPECT_NE(At(60, 73), kWhite);
  EXPECT_EQ(At(74, 60), kWhite);
  EXPECT_EQ(At(60, 74), kWhite);
  EXPECT_EQ(At(52, 52), kWhite);
  int ink = 0;
  for (int y = 54; y < 70; ++y)
    for (int x = 54; x < 70; ++x) ink += At(x, y) != kWhite;
  EXPECT_GT(ink, 0);
  // Where the error picture's mask is white the page shows through, elsewhere the picture.
  const plat::TBitmap& mask = *html::ErrorImageMask();
  const plat::TBitmap& picture = *html::ErrorImageBitmap();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const plat::TColor c = picture.Pixel(x, y);
      const uint32_t expected = mask.Pixel(x, y) == plat::clWhite
                                    ? kWhite
                                    : 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | (c >> 16);
      EXPECT_EQ(At(54 + x, 54 + y), expected) << x << "," << y;
    }
}

// Each alignment against a run whose line height (with leading) differs from its text height.
TEST_F(ImageDrawTest, AlignmentsPlaceTheBoxAgainstTheRunsTextHeight) {
  auto font = std::make_shared<html::TMyFont>();
  font->tmHeight = 20;
  font->tmExternalLeading = 10;
  font->tmDescent = 4;
  html::TFontObj run(nullptr, font, 0);
  const auto drawnTop = [&](const char* align) {
    auto image = Make({{html::SrcSy, red},
                       {html::WidthSy, "10", 10},
                       {html::HeightSy, "30", 30},
                       {html::VSpaceSy, "2", 2},
                       {html::AlignSy, align}});
    Size(*image);
    image->Draw(canvas, 0, run, 100, 60);
    return image->DrawY;
  };
  // Baseline + descent - text height div 2 - (30 - 2 + 2) div 2.
  EXPECT_EQ(drawnTop("MIDDLE"), 100 + 4 - 10 - 15);
  EXPECT_EQ(drawnTop("TOP"), 60 + 2);
  EXPECT_EQ(drawnTop("BOTTOM"), 100 - 30 - 2);
}

// The copy a host gets of a bitmap picture; on a palette screen it carries the viewer's colours.
TEST_F(ImageDrawTest, TheBitmapCopyTakesTheViewersPaletteOnAPaletteScreen) {
  auto image = Make({{html::SrcSy, red}});
  Size(*image);
  plat::TBitmap* copy = image->GetBitmap();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Width(), 40);
  EXPECT_EQ(copy->PixelARGB(3, 3), kRed);
  EXPECT_EQ(image->GetBitmap(), copy);  // made once
  EXPECT_TRUE(copy->Palette().Empty());

  html::SetScreenDepth(8);
  auto onPaletteScreen = Make({{html::SrcSy, red}});
  Size(*onPaletteScreen);
  plat::TBitmap* paletted = onPaletteScreen->GetBitmap();
  html::SetScreenDepth(32);
  ASSERT_NE(paletted, nullptr);
  EXPECT_EQ(paletted->Palette(), html::CreateViewerPalette());
  EXPECT_EQ(paletted->PixelARGB(3, 3), kRed);
}

}  // namespace
}  // namespace imageobjects
