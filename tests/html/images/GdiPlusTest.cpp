#include <gtest/gtest.h>

#include <vector>

#include "ImageTestData.h"
#include "html/images/GdiPlusLoader.h"
#include "platform/drawing/DeviceContext.h"

namespace {

using html::TGpBitmap;
using html::TGpGraphics;
using html::TGpImage;
using imagetest::Surface;

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

std::unique_ptr<TGpImage> Png(int w, int h, const std::vector<uint32_t>& argb) {
  const std::string bytes = imagetest::PngBytes(w, h, argb);
  return TGpImage::FromMemory(bytes.data(), int64_t(bytes.size()));
}

TEST(GdiPlusImage, FileErrorsNameTheFile) {
  try {
    TGpImage image("/nonexistent/folder/x.png");
    FAIL() << "no exception";
  } catch (const html::EGDIPlus& e) {
    EXPECT_EQ(e.Message(), "Image file /nonexistent/folder/x.png not found.");
  }
  imagetest::TempFile junk("junk.png", std::string("\x89PNG\r\n\x1a\n garbage", 17));
  try {
    TGpBitmap image(junk.Path());
    FAIL() << "no exception";
  } catch (const html::EGDIPlus& e) {
    EXPECT_EQ(e.Message(), "Can't load image file " + junk.Path() + ".");
  }
  EXPECT_THROW(TGpBitmap(40000, 1), html::EGDIPlus);
}

TEST(GdiPlusImage, KeepsStraightAlphaAndFlattensOntoWhite) {
  imagetest::TempFile file("pic.png",
                           imagetest::PngBytes(2, 1, {0x80FF0000u /* half red */, 0x00123456u}));
  TGpImage image(file.Path());
  ASSERT_EQ(image.Width(), 2);
  ASSERT_EQ(image.Height(), 1);
  EXPECT_EQ(image.Pixel(0, 0), 0x80FF0000u);
  EXPECT_EQ(image.Pixel(1, 0) >> 24, 0u);

  auto flat = image.GetTBitmap();
  EXPECT_EQ(flat->PixelFormat(), plat::pf24bit);
  // 255 * 128/255 + 255 * 127/255 = 255; 0 + 255 * 127/255 = 127.
  EXPECT_EQ(flat->PixelARGB(0, 0), 0xFFFF7F7Fu);
  EXPECT_EQ(flat->PixelARGB(1, 0), kWhite);
}

TEST(GdiPlusDrawing, SmallPicturesEnlargeByNearestNeighbour) {
  auto one = Png(1, 1, {kRed});
  Surface s(60, 60, 0x00000000u);
  plat::DeviceContext dc(s.pixels.data(), 60, 60, 60 * 4);
  TGpGraphics(dc).DrawImageRect(*one, 5, 5, 50, 50);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      const bool inside = x >= 5 && x < 55 && y >= 5 && y < 55;
      // The context's alpha bytes stay as they were (0).
      ASSERT_EQ(s.At(x, y), inside ? 0x00FF0000u : 0u) << x << "," << y;
    }

  // 2 x 2 into 6 x 5: columns 0-2 show the first column; rows 0-1 the first row (the centre
  // of row 2 falls on the boundary and takes the second).
  auto quad = Png(2, 2, {kRed, kGreen, kBlue, kWhite});
  Surface q(6, 5, 0xFF000000u);
  plat::DeviceContext qdc(q.pixels.data(), 6, 5, 6 * 4);
  TGpGraphics(qdc).DrawImageRect(*quad, 0, 0, 6, 5);
  EXPECT_EQ(q.At(2, 1), kRed);
  EXPECT_EQ(q.At(3, 1), kGreen);
  EXPECT_EQ(q.At(2, 2), kBlue);
  EXPECT_EQ(q.At(5, 4), kWhite);
}

TEST(GdiPlusDrawing, LargerPicturesScaleSmoothlyWithoutLeavingTheirColours) {
  // A 20 x 20 picture, left half red and right half blue, doubled: the far columns keep the
  // pure colours, the seam is a mixture of the two.
  std::vector<uint32_t> pixels(400);
  for (int i = 0; i < 400; ++i) pixels[size_t(i)] = i % 20 < 10 ? kRed : kBlue;
  auto image = Png(20, 20, pixels);
  Surface s(40, 40, 0xFF000000u);
  plat::DeviceContext dc(s.pixels.data(), 40, 40, 40 * 4);
  TGpGraphics(dc).DrawImageRect(*image, 0, 0, 40, 40);
  EXPECT_EQ(s.At(0, 0), kRed);
  EXPECT_EQ(s.At(39, 39), kBlue);
  const uint32_t seam = s.At(19, 7);
  EXPECT_GT((seam >> 16) & 0xFF, 0u);
  EXPECT_GT(seam & 0xFF, 0u);
  EXPECT_EQ((seam >> 8) & 0xFF, 0u);
}

TEST(GdiPlusDrawing, HonoursTheContextsOriginAndClipAndBlendsColour) {
  auto image = Png(4, 4, std::vector<uint32_t>(16, 0x80FF0000u));
  Surface s(8, 8, kWhite);
  plat::DeviceContext dc(s.pixels.data(), 8, 8, 8 * 4);
  dc.SetWindowOrg({-2, -2});                    // logical (0, 0) is device (2, 2)
  plat::TRegion clip(plat::TRect{0, 0, 4, 8});  // device units: only the left half
  dc.SelectClipRgn(&clip);
  TGpGraphics(dc).DrawImage(*image, 0, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool drawn = x >= 2 && x < 4 && y >= 2 && y < 6;
      ASSERT_EQ(s.At(x, y), drawn ? 0xFFFF7F7Fu : kWhite) << x << "," << y;
    }
}

TEST(GdiPlusDrawing, OnImagesPartsAndClearing) {
  auto source = Png(3, 1, {kRed, 0x8000FF00u, kBlue});
  TGpBitmap target(4, 2);
  EXPECT_EQ(target.GetPixel(0, 0), 0u);
  TGpGraphics g(target);
  // A half-transparent pixel over transparent black stays itself.
  g.DrawImagePart(*source, 1, 1, 1, 0, 2, 1);
  EXPECT_EQ(target.GetPixel(1, 1), 0x8000FF00u);
  EXPECT_EQ(target.GetPixel(2, 1), kBlue);
  EXPECT_EQ(target.GetPixel(0, 1), 0u);
  // Over an opaque pixel the result is opaque: green 255 * 128/255 + 0, red 255 * 127/255.
  target.SetPixel(3, 0, kRed);
  g.DrawImageRectRect(*source, 3, 0, 1, 1, 1, 0, 1, 1);
  EXPECT_EQ(target.GetPixel(3, 0), 0xFF7F8000u);
  // A source rectangle beside the picture draws nothing.
  g.DrawImageRectRect(*source, 0, 0, 1, 1, 5, 0, 1, 1);
  EXPECT_EQ(target.GetPixel(0, 0), 0u);
  g.Clear(0x11223344u);
  TGpImage empty;
  TGpGraphics(empty).DrawImage(*source, 0, 0);  // nothing to draw on
  EXPECT_EQ(target.GetPixel(3, 1), 0x11223344u);
  target.SetPixel(-1, 9, kRed);  // outside: ignored
}

}  // namespace
