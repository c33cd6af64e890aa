// The platform bitmap: storage, formats, palettes, transparency, drawing and BMP round trips.
#include <gtest/gtest.h>

#include "PictureTestUtil.h"
#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"

using namespace plat;
using namespace pictest;

namespace {

const TPixelFormat kAllFormats[] = {pfDevice, pf1bit,  pf4bit,  pf8bit,
                                    pf15bit,  pf16bit, pf24bit, pf32bit};

// Fills every pixel byte with pseudo-random data.
void Scramble(TBitmap& bitmap, uint32_t seed) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int64_t i = 0; i < bitmap.RowStride(); ++i) row[i] = uint8_t(NextRandom(seed));
  }
}

TPalette SixColours() {
  return TPalette({{255, 0, 0, 0},
                   {0, 255, 0, 0},
                   {0, 0, 255, 0},
                   {255, 255, 255, 0},
                   {0, 0, 0, 0},
                   {128, 64, 32, 0}});
}

// Draws onto a surface filled with `fill` and returns the surface.
std::vector<uint32_t> DrawOnto(const TGraphic& graphic, int w, int h, const TRect& rect,
                               uint32_t fill) {
  std::vector<uint32_t> surface(size_t(w) * size_t(h), fill);
  DeviceContext dc(surface.data(), w, h, w * 4);
  TCanvas canvas(&dc);
  graphic.Draw(canvas, rect);
  return surface;
}

}  // namespace

TEST(BitmapStorage, StrideSizeLimitsAndResizing) {
  const int bits[] = {32, 1, 4, 8, 16, 16, 24, 32};
  for (int i = 0; i < 8; ++i) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(kAllFormats[i]);
    bitmap.SetSize(13, 2);
    EXPECT_EQ(bitmap.RowStride(), ((13 * bits[i] + 31) / 32) * 4) << i;
  }

  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 3);
  Scramble(bitmap, 7);
  const std::vector<uint32_t> before = Pixels(bitmap);
  bitmap.SetSize(5, 2);  // grows right, shrinks down: the top-left 3 x 2 stays, the rest is 0
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(bitmap.PixelARGB(x, y), x < 3 ? before[size_t(3 * y + x)] : 0xFF000000u);
    }
  }

  // One bit per pixel: the bits past the old width in its last byte do not become pixels.
  TBitmap mono;
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(3, 1);
  mono.ScanLine(0)[0] = 0xFF;
  mono.SetSize(9, 1);
  EXPECT_EQ(mono.ScanLine(0)[0], 0xE0);
  EXPECT_EQ(mono.ScanLine(0)[1], 0x00);

  EXPECT_THROW(bitmap.SetSize(32768, 1), EInvalidGraphic);
  EXPECT_THROW(bitmap.SetSize(1, -1), EInvalidGraphic);
  EXPECT_THROW(bitmap.SetSize(16385, 16385), EInvalidGraphic);  // just over 2^28 pixels
  EXPECT_EQ(bitmap.Width(), 5);                                 // failed resizes change nothing
  EXPECT_THROW(bitmap.ScanLine(2), EInvalidGraphic);
  bitmap.SetSize(32767, 1);
  EXPECT_EQ(bitmap.Width(), 32767);
}

TEST(BitmapStorage, FormatIsRememberedUntilCleared) {
  TBitmap bitmap;
  EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetPalette(SixColours());
  bitmap.SetSize(4, 4);
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  EXPECT_EQ(bitmap.Palette().Count(), 6);
  bitmap.SetSize(0, 0);
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  bitmap.Clear();
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
  EXPECT_TRUE(bitmap.Palette().Empty());
  EXPECT_THROW(bitmap.SetPixelFormat(pfCustom), EInvalidGraphic);
}

TEST(BitmapStorage, PaletteLookups) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(256, 1);
  for (int x = 0; x < 256; ++x) bitmap.ScanLine(0)[x] = uint8_t(x);
  // Without a palette: a grey ramp.
  for (int x : {0, 1, 128, 255}) {
    EXPECT_EQ(bitmap.PixelARGB(x, 0), 0xFF000000u | uint32_t(x) * 0x010101u) << x;
  }
  // A short palette: indices past it read black.
  bitmap.SetPalette(SixColours());
  EXPECT_EQ(bitmap.PixelARGB(0, 0), 0xFFFF0000u);
  EXPECT_EQ(bitmap.PixelARGB(5, 0), 0xFF804020u);
  EXPECT_EQ(bitmap.PixelARGB(6, 0), 0xFF000000u);
  EXPECT_EQ(bitmap.PixelARGB(255, 0), 0xFF000000u);
  EXPECT_EQ(bitmap.Pixel(5, 0), TColor(0x204080));

  TBitmap four;
  four.SetPixelFormat(pf4bit);
  four.SetSize(2, 1);
  four.ScanLine(0)[0] = 0xF0;  // left pixel 15, right 0
  EXPECT_EQ(four.PixelARGB(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(four.PixelARGB(1, 0), 0xFF000000u);

  TPalette released = bitmap.ReleasePalette();
  EXPECT_EQ(released, SixColours());
  EXPECT_TRUE(bitmap.Palette().Empty());
  EXPECT_THROW(TPalette(std::vector<TPaletteEntry>(257)), EInvalidGraphic);
}

TEST(BitmapFormats, ConversionsKeepColours) {
  // A 32-bit picture of the six palette colours converts to 8 bits (exact entries) and back.
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(6, 1);
  const TPalette palette = SixColours();
  for (int x = 0; x < 6; ++x) {
    reinterpret_cast<uint32_t*>(bitmap.ScanLine(0))[x] = palette.ColorARGB(x);
  }
  bitmap.SetPalette(palette);
  bitmap.SetPixelFormat(pf8bit);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(bitmap.ScanLine(0)[x], x);
  bitmap.SetPixelFormat(pf24bit);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(bitmap.PixelARGB(x, 0), palette.ColorARGB(x));

  // 24 -> 16 bits keeps the top 5-6-5 bits.
  bitmap.SetPixelFormat(pf16bit);
  const uint8_t* p = bitmap.ScanLine(0) + 2 * 5;  // 0x804020
  EXPECT_EQ(p[0] | (p[1] << 8), (0x80 >> 3) << 11 | (0x40 >> 2) << 5 | (0x20 >> 3));

  // Monochrome: pure white is 1, everything else 0.
  bitmap.SetMonochrome(true);
  EXPECT_EQ(bitmap.PixelFormat(), pf1bit);
  EXPECT_EQ(bitmap.ScanLine(0)[0], 0x10);  // only pixel 3 (white) is set
}

TEST(BitmapTransparency, AutoColourMaskAndCopy) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 2);
  Scramble(bitmap, 3);
  uint8_t* lowerLeft = bitmap.ScanLine(1);
  lowerLeft[0] = 0x30, lowerLeft[1] = 0x20, lowerLeft[2] = 0x10;  // B, G, R
  uint8_t* topRight = bitmap.ScanLine(0) + 6;
  topRight[0] = 0x30, topRight[1] = 0x20, topRight[2] = 0x10;
  EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
  EXPECT_EQ(bitmap.TransparentColor(), TColor(0x302010));

  std::unique_ptr<TBitmap> mask = bitmap.CreateMask();
  EXPECT_EQ(mask->PixelFormat(), pf1bit);
  EXPECT_EQ(mask->PixelARGB(2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(mask->PixelARGB(0, 1), 0xFFFFFFFFu);
  EXPECT_EQ(mask->PixelARGB(1, 0), 0xFF000000u);

  bitmap.SetTransparentColor(TColor(0x0000FF));
  EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
  bitmap.SetTransparent(true);

  TBitmap copy;
  copy.Assign(bitmap);
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.TransparentColor(), TColor(0x0000FF));
  EXPECT_EQ(Pixels(copy), Pixels(bitmap));
  copy.ScanLine(0)[0] ^= 0xFF;  // a deep copy: the original does not change
  EXPECT_NE(Pixels(copy), Pixels(bitmap));

  bitmap.SetTransparentMode(tmAuto);
  EXPECT_EQ(bitmap.TransparentColor(), TColor(0x302010));
}

TEST(BitmapDraw, CopiesEveryPixelExactlyAndStretchesAsThirtyTwoBits) {
  for (TPixelFormat format : kAllFormats) {
    SCOPED_TRACE(testing::Message() << "format " << int(format));
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    if (TBitmap::BitsPerPixel(format) <= 8) bitmap.SetPalette(SixColours());
    // Tall enough that the rows are converted in several bands.
    bitmap.SetSize(7, 150);
    Scramble(bitmap, 11 + uint32_t(format));
    bitmap.SetTransparent(true);  // must not mask anything
    const std::vector<uint32_t> expected = Pixels(bitmap);

    std::vector<uint32_t> surface = DrawOnto(bitmap, 9, 152, BoundsRect(1, 2, 7, 150), 0x12345678);
    for (int y = 0; y < 152; ++y) {
      for (int x = 0; x < 9; ++x) {
        const bool inside = x >= 1 && x < 8 && y >= 2;
        const uint32_t want = inside ? expected[size_t((y - 2) * 7 + x - 1)] : 0x12345678u;
        ASSERT_EQ(surface[size_t(y * 9 + x)], want) << x << "," << y;
      }
    }
    // Stretched, every format draws as its 32-bit copy does.
    TBitmap wide;
    wide.Assign(bitmap);
    wide.SetPixelFormat(pf32bit);
    for (const TRect& rect : {BoundsRect(0, 0, 9, 70), BoundsRect(1, 1, 3, 200)})
      EXPECT_EQ(DrawOnto(bitmap, 10, 201, rect, 0), DrawOnto(wide, 10, 201, rect, 0));
  }
}

TEST(BitmapDraw, StretchesByNearestPixel) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(2, 1);
  auto* row = reinterpret_cast<uint32_t*>(bitmap.ScanLine(0));
  row[0] = 0x00FF0000;  // alpha 0: copied as it is, not blended
  row[1] = 0x8000FF00;
  std::vector<uint32_t> surface = DrawOnto(bitmap, 4, 2, BoundsRect(0, 0, 4, 2), 0xFFFFFFFF);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(surface[size_t(4 * y)], 0x00FF0000u);
    EXPECT_EQ(surface[size_t(4 * y + 1)], 0x00FF0000u);
    EXPECT_EQ(surface[size_t(4 * y + 2)], 0x8000FF00u);
    EXPECT_EQ(surface[size_t(4 * y + 3)], 0x8000FF00u);
  }
}

TEST(BitmapCanvas, IndexedBitmapBecomes32BitOnFirstUse) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetPalette(SixColours());
  bitmap.SetSize(4, 2);
  bitmap.ScanLine(0)[0] = 5;
  TCanvas& canvas = bitmap.Canvas();
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(bitmap.PixelARGB(0, 0), 0xFF804020u);
  canvas.Brush().SetColor(TColor(0x0000FF));
  canvas.FillRect(BoundsRect(1, 0, 2, 2));
  EXPECT_EQ(bitmap.PixelARGB(1, 1) & 0xFFFFFF, 0xFF0000u);
  bitmap.SetSize(8, 8);  // the canvas follows the new pixels
  canvas.FillRect(BoundsRect(6, 6, 8, 8));
  EXPECT_EQ(bitmap.PixelARGB(7, 7) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(bitmap.PixelARGB(0, 0), 0xFF804020u);
}

TEST(BitmapFiles, EveryFormatRoundTrips) {
  for (TPixelFormat format : kAllFormats) {
    SCOPED_TRACE(testing::Message() << "format " << int(format));
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    if (TBitmap::BitsPerPixel(format) <= 8) bitmap.SetPalette(SixColours());
    bitmap.SetSize(11, 4);
    Scramble(bitmap, 100 + uint32_t(format));
    if (format == pf15bit) {  // the spare top bit is not kept
      for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 11; ++x) bitmap.ScanLine(y)[2 * x + 1] &= 0x7F;
      }
    }
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.PixelFormat(), format == pfDevice ? pf24bit : format);
    ASSERT_EQ(loaded.Width(), 11);
    ASSERT_EQ(loaded.Height(), 4);
    std::vector<uint32_t> expected = Pixels(bitmap);
    if (format == pfDevice) {
      for (uint32_t& c : expected) c |= 0xFF000000u;
    }
    EXPECT_EQ(Pixels(loaded), expected);
    if (TBitmap::BitsPerPixel(format) <= 8) {
      // The file holds as many entries as the depth can address.
      const TPalette sixColours = SixColours();
      const auto& six = sixColours.Entries();
      const size_t kept = std::min<size_t>(six.size(), size_t(1) << TBitmap::BitsPerPixel(format));
      EXPECT_EQ(loaded.Palette().Entries(),
                std::vector<TPaletteEntry>(six.begin(), six.begin() + kept));
    }
  }
  TBitmap empty;
  TMemoryStream stream;
  EXPECT_THROW(empty.SaveToStream(stream), EInvalidGraphicOperation);
}
