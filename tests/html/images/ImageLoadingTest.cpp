#include <gtest/gtest.h>

#include <string>

#include "ImageTestData.h"
#include "html/HtmlEngine.h"
#include "html/images/GdiPlusLoader.h"
#include "html/images/ImageLoading.h"
#include "platform/drawing/DeviceContext.h"

namespace {

constexpr plat::TColor kBgrRed = 0x0000FF, kBgrGreen = 0x00FF00, kBgrBlue = 0xFF0000;

// Holds the imaging layer started for one test.
struct ImagingLayer {
  ImagingLayer() { html::GdiPlusAcquire(); }
  ~ImagingLayer() { html::GdiPlusRelease(); }
};

// Switches the screen to a palette depth for one test.
struct PaletteScreen {
  explicit PaletteScreen(int bits) { html::SetScreenDepth(bits); }
  ~PaletteScreen() { html::SetScreenDepth(32); }
};

struct Loaded {
  std::unique_ptr<plat::TObject> picture;
  std::unique_ptr<plat::TBitmap> mask;
  uint8_t transparent;
  plat::TBitmap* Bitmap() const { return dynamic_cast<plat::TBitmap*>(picture.get()); }
};

Loaded FromBytes(const std::string& bytes, uint8_t transparent = 0) {
  auto stream = imagetest::StreamOf(bytes);
  Loaded loaded{nullptr, nullptr, transparent};
  loaded.picture = html::LoadImageFromStream(stream.get(), loaded.transparent, loaded.mask);
  return loaded;
}

std::string Bmp(plat::TPixelFormat format, plat::TColor color) {
  return imagetest::BmpBytes(*imagetest::SolidBitmap(format, 3, 2, color));
}

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
  EXPECT_EQ(kind("BM"), html::ikNone);  // fewer than five bytes are no picture

  imagetest::TempFile nine("nine.gif", "GIF89a123");
  EXPECT_EQ(html::FileImageKind(nine.Path()), html::ikNone);
  imagetest::TempFile ten("ten.gif", "GIF89a1234");
  EXPECT_EQ(html::FileImageKind(ten.Path()), html::ikGif89);
}

TEST(BitmapStreams, ComeBackForTheScreensDepth) {
  Loaded rgb = FromBytes(Bmp(plat::pf24bit, kBgrGreen));
  ASSERT_TRUE(rgb.Bitmap());
  EXPECT_EQ(rgb.Bitmap()->PixelFormat(), plat::pf24bit);
  EXPECT_EQ(rgb.Bitmap()->Pixel(2, 1), kBgrGreen);

  Loaded indexed = FromBytes(Bmp(plat::pf8bit, kBgrBlue));
  ASSERT_TRUE(indexed.Bitmap());
  EXPECT_EQ(indexed.Bitmap()->PixelFormat(), plat::pfDevice);
  EXPECT_EQ(indexed.Bitmap()->HandleType(), plat::bmDDB);
  EXPECT_EQ(indexed.Bitmap()->Pixel(0, 0), kBgrBlue);

  PaletteScreen screen(8);
  // Pure red is one of the static colours at the palette's ends, so no dithering shows.
  Loaded reduced = FromBytes(Bmp(plat::pf24bit, kBgrRed));
  ASSERT_TRUE(reduced.Bitmap());
  EXPECT_EQ(reduced.Bitmap()->PixelFormat(), plat::pf8bit);
  EXPECT_EQ(reduced.Bitmap()->Palette(), *html::ViewerPalette());
  EXPECT_EQ(reduced.Bitmap()->Pixel(2, 1), kBgrRed);
  // A device bitmap is not reduced but kept in the device format with the viewer palette.
  auto device = imagetest::SolidBitmap(plat::pf24bit, 2, 2, kBgrGreen);
  device->SetHandleType(plat::bmDDB);
  auto kept = html::ConvertImage(std::move(device));
  EXPECT_EQ(kept->PixelFormat(), plat::pfDevice);
  EXPECT_EQ(kept->Palette(), *html::ViewerPalette());
}

TEST(BitmapStreams, MaskFromTheLowerLeftPixel) {
  auto bitmap = imagetest::SolidBitmap(plat::pf24bit, 2, 2, kBgrRed);
  bitmap->ScanLine(0)[0] = 0xFF;  // top-left magenta: (255, 0, 255) in B, G, R order
  Loaded loaded = FromBytes(imagetest::BmpBytes(*bitmap), 1);
  ASSERT_TRUE(loaded.Bitmap());
  ASSERT_TRUE(loaded.mask);
  EXPECT_TRUE(loaded.mask->Monochrome());
  // Red (the lower-left colour) is transparent: white in the mask; the odd pixel is not.
  EXPECT_EQ(loaded.mask->PixelARGB(0, 0), 0xFF000000u);
  EXPECT_EQ(loaded.mask->PixelARGB(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(loaded.mask->PixelARGB(0, 1), 0xFFFFFFFFu);
  EXPECT_FALSE(loaded.Bitmap()->Transparent());
  // With a colour given, that colour decides.
  EXPECT_EQ(html::GetImageMask(*bitmap, true, 0xFF00FF)->PixelARGB(0, 0), 0xFFFFFFFFu);
}

TEST(JpegStreams, NeverTakeAMask) {
  Loaded loaded = FromBytes(imagetest::JpegBytes(8, 8, kBgrBlue), 1);
  ASSERT_TRUE(loaded.Bitmap());
  EXPECT_EQ(loaded.transparent, 0);
  EXPECT_FALSE(loaded.mask);
  const plat::TColor c = loaded.Bitmap()->Pixel(4, 4);
  EXPECT_GE(c >> 16 & 0xFF, 250u);  // blue survives quality-100 compression
  EXPECT_LE(c & 0xFFFF, 0x0404u);
}

TEST(PngStreams, NeedTheImagingLayer) {
  const std::string png = imagetest::PngBytes(2, 1, {0xFF112233u, 0x80445566u});
  ASSERT_FALSE(html::GdiPlusActive());
  Loaded without = FromBytes(png, 1);
  EXPECT_FALSE(without.picture);
  EXPECT_EQ(without.transparent, 1);

  ImagingLayer layer;
  Loaded with = FromBytes(png, 1);
  auto* image = dynamic_cast<html::TGpImage*>(with.picture.get());
  ASSERT_TRUE(image);
  EXPECT_EQ(with.transparent, 0);
  EXPECT_EQ(image->Pixel(1, 0), 0x80445566u);
  // A broken PNG stream is no picture, and says nothing.
  EXPECT_FALSE(FromBytes(Padded("\x89PNG\r\n\x1a\n", 40)).picture);
}

TEST(Streams, ShortOrBrokenDataIsNoPicture) {
  uint8_t transparent = 1;
  auto mask = std::make_unique<plat::TBitmap>();
  EXPECT_FALSE(html::LoadImageFromStream(nullptr, transparent, mask));
  EXPECT_FALSE(mask);  // cleared first
  const std::string bmp = Bmp(plat::pf24bit, kBgrRed);
  EXPECT_FALSE(FromBytes(bmp.substr(0, 19)).picture);
  // A header that promises more than there is.
  Loaded cut = FromBytes(bmp.substr(0, 40) + std::string(4, '\x7F'), 1);
  EXPECT_FALSE(cut.picture);
  EXPECT_FALSE(cut.mask);
  EXPECT_FALSE(FromBytes(Padded("\xFF\xD8\xFF\xE0", 64)).picture);
}

TEST(Files, PngFilesNeedTheImagingLayerAndReportTheirFailures) {
  uint8_t transparent = 0;
  std::unique_ptr<plat::TBitmap> mask;
  EXPECT_FALSE(html::LoadImageFromFile("/nonexistent/a.bmp", transparent, mask));
  imagetest::TempFile png("a.png", imagetest::PngBytes(1, 1, {0xFF00FF00u}));
  EXPECT_FALSE(html::LoadImageFromFile(png.Path(), transparent, mask));

  ImagingLayer layer;
  auto image = html::LoadImageFromFile(png.Path(), transparent, mask);
  auto* bitmap = dynamic_cast<html::TGpBitmap*>(image.get());
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->GetPixel(0, 0), 0xFF00FF00u);
  imagetest::TempFile broken("b.png", Padded("\x89PNG\r\n\x1a\n", 30));
  EXPECT_THROW(html::LoadImageFromFile(broken.Path(), transparent, mask), html::EGDIPlus);
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
