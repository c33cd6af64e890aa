#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ImageTestData.h"
#include "html/GdiPlusLoader.h"
#include "html/HtmlEngine.h"
#include "html/ImageLoading.h"
#include "platform/DeviceContext.h"

namespace {

using imagetest::StreamOf;

constexpr plat::TColor kBgrRed = 0x0000FF, kBgrGreen = 0x00FF00, kBgrBlue = 0xFF0000;

// Holds the imaging layer started for one test.
struct ImagingLayer {
  ImagingLayer() { html::GdiPlusAcquire(); }
  ~ImagingLayer() { html::GdiPlusRelease(); }
};

std::string Padded(std::string head, size_t size) {
  head.resize(size, '\0');
  return head;
}

TEST(ImageKinds, FromTheFirstBytes) {
  auto kind = [](const std::string& head) { return html::ImageKind(head.data(), head.size()); };
  EXPECT_EQ(kind("GIF89a"), html::ikGif89);
  EXPECT_EQ(kind("GIF87a"), html::ikGif87);
  EXPECT_EQ(kind("GIF8x!"), html::ikGif87);
  EXPECT_EQ(kind("gif89a"), html::ikNone);
  EXPECT_EQ(kind("BM\x01\x02\x03"), html::ikBmp);
  EXPECT_EQ(kind("\x89PNG\r\n"), html::ikPng);
  EXPECT_EQ(kind("\xFF\xD8\xFF\xE0\x10"), html::ikJpeg);
  EXPECT_EQ(kind("<html>"), html::ikNone);
  EXPECT_EQ(kind("BM"), html::ikNone);  // fewer than five bytes are no picture

  imagetest::TempFile nine("nine.gif", "GIF89a123");
  EXPECT_EQ(html::FileImageKind(nine.Path()), html::ikNone);
  imagetest::TempFile ten("ten.gif", "GIF89a1234");
  EXPECT_EQ(html::FileImageKind(ten.Path()), html::ikGif89);
  EXPECT_EQ(html::FileImageKind(ten.Path() + ".missing"), html::ikNone);
}

TEST(BitmapStreams, ComeBackForTheTrueColourScreen) {
  uint8_t transparent = 0;
  std::unique_ptr<plat::TBitmap> mask;

  auto rgb = imagetest::SolidBitmap(plat::pf24bit, 3, 2, kBgrGreen);
  auto stream = StreamOf(imagetest::BmpBytes(*rgb));
  auto loaded = html::LoadBitmapOrJpegFromStream(stream.get(), transparent, mask);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->PixelFormat(), plat::pf24bit);
  EXPECT_EQ(loaded->HandleType(), plat::bmDIB);
  EXPECT_EQ(loaded->Pixel(2, 1), kBgrGreen);
  EXPECT_FALSE(mask);

  auto indexed = imagetest::SolidBitmap(plat::pf8bit, 3, 2, kBgrBlue);
  stream = StreamOf(imagetest::BmpBytes(*indexed));
  loaded = html::LoadBitmapOrJpegFromStream(stream.get(), transparent, mask);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->PixelFormat(), plat::pfDevice);
  EXPECT_EQ(loaded->HandleType(), plat::bmDDB);
  EXPECT_EQ(loaded->Pixel(0, 0), kBgrBlue);
}

// Switches the screen to a palette depth for one test.
struct PaletteScreen {
  explicit PaletteScreen(int bits) { html::SetScreenDepth(bits); }
  ~PaletteScreen() { html::SetScreenDepth(32); }
};

TEST(BitmapStreams, TakeTheViewerPaletteOnPaletteScreens) {
  PaletteScreen screen(8);
  uint8_t transparent = 0;
  std::unique_ptr<plat::TBitmap> mask;
  // Pure red is one of the static colours at the palette's ends, so no dithering shows.
  auto stream =
      StreamOf(imagetest::BmpBytes(*imagetest::SolidBitmap(plat::pf24bit, 4, 4, kBgrRed)));
  auto loaded = html::LoadBitmapOrJpegFromStream(stream.get(), transparent, mask);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->PixelFormat(), plat::pf8bit);
  ASSERT_TRUE(html::ViewerPalette());
  EXPECT_EQ(loaded->Palette(), *html::ViewerPalette());
  EXPECT_EQ(loaded->Pixel(3, 3), kBgrRed);

  // A device bitmap is not reduced but kept in the device format with the viewer palette.
  auto device = imagetest::SolidBitmap(plat::pf24bit, 2, 2, kBgrGreen);
  device->SetHandleType(plat::bmDDB);
  auto kept = html::ConvertImage(std::move(device));
  EXPECT_EQ(kept->PixelFormat(), plat::pfDevice);
  EXPECT_EQ(kept->Palette(), *html::ViewerPalette());
  EXPECT_EQ(kept->Pixel(1, 1), kBgrGreen);

  // JPEG pictures are decoded to 256 colours first, then brought to the viewer palette.
  auto jpeg = StreamOf(imagetest::JpegBytes(8, 8, kBgrBlue));
  loaded = html::LoadBitmapOrJpegFromStream(jpeg.get(), transparent, mask);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Palette(), *html::ViewerPalette());
}

TEST(BitmapStreams, MaskFromTheLowerLeftPixel) {
  auto bitmap = imagetest::SolidBitmap(plat::pf24bit, 2, 2, kBgrRed);
  bitmap->ScanLine(0)[0] = 0xFF;  // top-left magenta: (255, 0, 255) in B, G, R order
  auto stream = StreamOf(imagetest::BmpBytes(*bitmap));
  uint8_t transparent = 1;
  std::unique_ptr<plat::TBitmap> mask;
  auto loaded = html::LoadImageFromStream(stream.get(), transparent, mask);
  ASSERT_TRUE(loaded);
  ASSERT_TRUE(mask);
  EXPECT_EQ(transparent, 1);
  EXPECT_TRUE(mask->Monochrome());
  // Red (the lower-left colour) is transparent: white in the mask; the odd pixel is not.
  EXPECT_EQ(mask->PixelARGB(0, 0), 0xFF000000u);
  EXPECT_EQ(mask->PixelARGB(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(mask->PixelARGB(0, 1), 0xFFFFFFFFu);
  EXPECT_FALSE(dynamic_cast<plat::TBitmap&>(*loaded).Transparent());

  // With a colour given, that colour decides.
  auto other = imagetest::SolidBitmap(plat::pf24bit, 2, 1, kBgrGreen);
  auto given = html::GetImageMask(*other, true, kBgrRed);
  EXPECT_EQ(given->PixelARGB(1, 0), 0xFF000000u);
}

TEST(JpegStreams, NeverTakeAMask) {
  auto stream = StreamOf(imagetest::JpegBytes(8, 8, kBgrBlue));
  uint8_t transparent = 1;
  std::unique_ptr<plat::TBitmap> mask;
  auto loaded = html::LoadImageFromStream(stream.get(), transparent, mask);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(transparent, 0);
  EXPECT_FALSE(mask);
  const auto& bitmap = dynamic_cast<plat::TBitmap&>(*loaded);
  EXPECT_EQ(bitmap.Width(), 8);
  const plat::TColor c = bitmap.Pixel(4, 4);
  EXPECT_GE(c >> 16 & 0xFF, 250u);  // blue survives quality-100 compression
  EXPECT_LE(c & 0xFFFF, 0x0404u);
}

TEST(PngStreams, NeedTheImagingLayer) {
  const std::string png = imagetest::PngBytes(2, 2, {0xFF112233u, 0x80445566u, 0, 0xFFFFFFFFu});
  auto stream = StreamOf(png);
  uint8_t transparent = 1;
  std::unique_ptr<plat::TBitmap> mask;
  ASSERT_FALSE(html::GdiPlusActive());
  EXPECT_FALSE(html::LoadImageFromStream(stream.get(), transparent, mask));
  EXPECT_EQ(transparent, 1);

  ImagingLayer layer;
  auto loaded = html::LoadImageFromStream(stream.get(), transparent, mask);
  auto* image = dynamic_cast<html::TGpImage*>(loaded.get());
  ASSERT_TRUE(image);
  EXPECT_EQ(transparent, 0);
  EXPECT_FALSE(mask);
  EXPECT_EQ(image->Pixel(0, 0), 0xFF112233u);
  EXPECT_EQ(image->Pixel(1, 0), 0x80445566u);
  // The bitmap loader alone never reads PNG.
  EXPECT_FALSE(html::LoadBitmapOrJpegFromStream(stream.get(), transparent, mask));

  // A broken PNG stream is no picture, and says nothing.
  auto broken = StreamOf(Padded("\x89PNG\r\n\x1a\n", 40));
  EXPECT_FALSE(html::LoadImageFromStream(broken.get(), transparent, mask));
}

TEST(Streams, ShortOrUnknownOrBrokenDataIsNoPicture) {
  uint8_t transparent = 1;
  std::unique_ptr<plat::TBitmap> mask = std::make_unique<plat::TBitmap>();
  EXPECT_FALSE(html::LoadImageFromStream(nullptr, transparent, mask));
  EXPECT_FALSE(mask);  // cleared first
  auto bmp = imagetest::BmpBytes(*imagetest::SolidBitmap(plat::pf24bit, 1, 1, kBgrRed));
  auto shortStream = StreamOf(bmp.substr(0, 19));
  EXPECT_FALSE(html::LoadImageFromStream(shortStream.get(), transparent, mask));
  auto text = StreamOf("<html><body>not a picture</body></html>");
  EXPECT_FALSE(html::LoadImageFromStream(text.get(), transparent, mask));
  // A header that promises more than there is.
  auto cut = StreamOf(bmp.substr(0, 40) + std::string(4, '\x7F'));
  EXPECT_FALSE(html::LoadImageFromStream(cut.get(), transparent, mask));
  EXPECT_FALSE(mask);
  auto jpegHead = StreamOf(Padded("\xFF\xD8\xFF\xE0", 64));
  EXPECT_FALSE(html::LoadImageFromStream(jpegHead.get(), transparent, mask));
}

TEST(Files, LoadByKind) {
  uint8_t transparent = 0;
  std::unique_ptr<plat::TBitmap> mask;
  EXPECT_FALSE(html::LoadImageFromFile("/nonexistent/a.bmp", transparent, mask));

  imagetest::TempFile bmp("a.bmp",
                          imagetest::BmpBytes(*imagetest::SolidBitmap(plat::pf24bit, 4, 3, 0)));
  auto bitmap = html::LoadImageFromFile(bmp.Path(), transparent, mask);
  ASSERT_TRUE(dynamic_cast<plat::TBitmap*>(bitmap.get()));

  imagetest::TempFile png("a.png", imagetest::PngBytes(1, 1, {0xFF00FF00u}));
  {
    ImagingLayer layer;
    auto image = html::LoadImageFromFile(png.Path(), transparent, mask);
    auto* gp = dynamic_cast<html::TGpBitmap*>(image.get());
    ASSERT_TRUE(gp);
    EXPECT_EQ(gp->GetPixel(0, 0), 0xFF00FF00u);

    imagetest::TempFile broken("b.png", Padded("\x89PNG\r\n\x1a\n", 30));
    EXPECT_THROW(html::LoadImageFromFile(broken.Path(), transparent, mask), html::EGDIPlus);
  }
  // Without the imaging layer a PNG file is no picture.
  EXPECT_FALSE(html::LoadImageFromFile(png.Path(), transparent, mask));
}

TEST(MaskedDrawing, LeavesTheTransparentPixelsAlone) {
  // 2 x 1: red, green; the mask makes green transparent. Stretched to 4 x 2 at (1, 1).
  auto bitmap = imagetest::SolidBitmap(plat::pf24bit, 2, 1, kBgrRed);
  bitmap->ScanLine(0)[3] = 0, bitmap->ScanLine(0)[4] = 0xFF, bitmap->ScanLine(0)[5] = 0;
  auto mask = html::GetImageMask(*bitmap, true, kBgrGreen);
  imagetest::Surface s(6, 4, 0xFF0000FFu);
  plat::DeviceContext dc(s.pixels.data(), 6, 4, 6 * 4);
  html::DrawTransparentBitmap(dc, *bitmap, *mask, 1, 1, 4, 2);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool red = y >= 1 && y < 3 && x >= 1 && x < 3;
      ASSERT_EQ(s.At(x, y) & 0xFFFFFF, red ? 0xFF0000u : 0x0000FFu) << x << "," << y;
    }
  // The caller's pictures keep their formats.
  EXPECT_EQ(bitmap->PixelFormat(), plat::pf24bit);
  EXPECT_TRUE(mask->Monochrome());
}

}  // namespace
