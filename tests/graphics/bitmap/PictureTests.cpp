// Conversion between the bitmap, platform pictures and the clipboard.
#include <gtest/gtest.h>

#include "Helpers.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/pictures/Picture.h"

namespace {

using namespace gfx;
using bitmap_test::FillRandom;
using bitmap_test::Pixels;

void FillPlatform(plat::TBitmap& b, plat::TPixelFormat format, int w, int h) {
  b.SetPixelFormat(format);
  b.SetSize(w, h);
  const int bytes = plat::TBitmap::BitsPerPixel(format) / 8;
  for (int y = 0; y < h; ++y)
    for (int i = 0; i < w * bytes; ++i) b.ScanLine(y)[i] = static_cast<uint8_t>(y * 37 + i * 11);
}

TEST(BitmapPictures, PlatformBitmapsKeepAlphaOnlyWhen32Bit) {
  plat::TBitmap rgb, argb;
  FillPlatform(rgb, plat::pf24bit, 3, 2);
  FillPlatform(argb, plat::pf32bit, 3, 2);
  TCustomBitmap32 b;
  b.Assign(rgb);
  ASSERT_EQ(b.Width(), 3);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, y), rgb.PixelARGB(x, y) | 0xFF000000);
  b.Assign(argb);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, y), argb.PixelARGB(x, y));
  // The memory bitmap went back to its own backend.
  EXPECT_FALSE(Supports(b.Backend(), TBackendService::DeviceContext));
}

TEST(BitmapPictures, TransparentColourOfAPlatformBitmapBecomesAlphaZero) {
  plat::TBitmap source;
  source.SetPixelFormat(plat::pf24bit);
  source.SetSize(2, 2);
  for (int y = 0; y < 2; ++y) {
    uint8_t* row = source.ScanLine(y);
    for (int i = 0; i < 6; ++i) row[i] = y == 0 ? 0xFF : 0x10;  // white row, dark row
  }
  source.SetTransparent(true);
  source.SetTransparentColor(plat::clWhite);
  TBitmap32 b;
  b.Assign(source);
  EXPECT_EQ(Pixels(b), (std::vector<TColor32>{0x00FFFFFF, 0x00FFFFFF, 0xFF101010, 0xFF101010}));
}

TEST(BitmapPictures, CopiesOutIntoPlatformBitmapsAndPictures) {
  TCustomBitmap32 b;
  b.SetSize(4, 3);
  FillRandom(b, 44);
  plat::TBitmap target;
  target.Assign(b);
  EXPECT_EQ(target.PixelFormat(), plat::pf32bit);
  ASSERT_EQ(target.Width(), 4);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(target.PixelARGB(x, y), b.Pixel(x, y));
  plat::TPicture picture;
  picture.Assign(b);
  ASSERT_NE(picture.Graphic(), nullptr);
  TCustomBitmap32 back;
  back.Assign(picture);
  EXPECT_EQ(Pixels(back), Pixels(b));
}

TEST(BitmapPictures, TheCanvasFontTravelsWithThePixelsBothWays) {
  plat::TBitmap source;
  FillPlatform(source, plat::pf32bit, 3, 2);
  source.Canvas().Font().SetName("DejaVu Serif");
  source.Canvas().Font().SetSize(31);
  source.Canvas().Font().SetStyle(plat::fsBold);
  TBitmap32 b;
  b.Assign(source);
  EXPECT_EQ(b.Font().Name(), "DejaVu Serif");
  EXPECT_EQ(b.Font().Size(), 31);
  EXPECT_EQ(b.Font().Style(), plat::fsBold);

  b.Font().SetName("DejaVu Sans Mono");
  b.Font().SetSize(17);
  b.Font().SetStyle(0);
  plat::TBitmap target;
  target.Assign(b);
  EXPECT_EQ(target.CanvasFont().Name(), "DejaVu Sans Mono");
  EXPECT_EQ(target.CanvasFont().Size(), 17);
  EXPECT_EQ(target.CanvasFont().Style(), 0);

  // A platform bitmap that never had a canvas hands over the default font.
  plat::TBitmap plain;
  FillPlatform(plain, plat::pf24bit, 2, 2);
  b.Assign(plain);
  EXPECT_EQ(b.Font().Name(), plat::TFont().Name());
  EXPECT_EQ(b.Font().Size(), plat::TFont().Size());
}

// A graphic that paints two pixels in a solid colour and blends two at half over what is below,
// or fails half-way after scribbling on what it was given.
class HalfTransparentGraphic : public plat::TGraphic {
 public:
  explicit HalfTransparentGraphic(const char* kind) : class_{kind, &TGraphic::StaticClass(), {}} {}
  const plat::TGraphicClass& GraphicClass() const override { return class_; }
  void LoadFromStream(plat::TStream&) override {}
  void Draw(plat::TCanvas& canvas, const plat::TRect&) const override {
    uint32_t* bits = canvas.Handle()->Bits();
    if (fails) {
      bits[0] = 0x11223344;
      throw plat::EInvalidGraphic("The picture cannot be drawn");
    }
    // Colour only, the alpha below stays, unless the graphic brings alpha of its own.
    bits[0] = (bits[0] & 0xFF000000) | 0x204060;
    bits[1] = withAlpha ? 0x80204060 : (bits[1] & 0xFF000000) | 0x204060;
    for (int i = 2; i < 4; ++i)  // half of 0x00FF00 over the background
      bits[i] = (bits[i] & 0xFF000000) | (((bits[i] >> 1) & 0x7F7F7F) + 0x007F00);
  }
  int Width() const override { return 2; }
  int Height() const override { return 2; }
  bool Empty() const override { return false; }
  bool withAlpha = false;
  bool fails = false;

 private:
  plat::TGraphicClass class_;
};

TEST(BitmapPictures, MetafilesAndIconsWithoutAlphaUseTwoBackgrounds) {
  for (const char* kind : {"TMetafile", "TIcon"}) {
    HalfTransparentGraphic graphic(kind);
    TCustomBitmap32 b;
    b.Assign(graphic);
    // Same over white and red: opaque. Different: what shows through of the background is
    // transparency, and the colour is what was drawn (half of 0x00FF00, rounded down twice).
    EXPECT_EQ(Pixels(b), (std::vector<TColor32>{0xFF204060, 0xFF204060, 0x8000FD00, 0x8000FD00}))
        << kind;
  }
  // An icon that brings alpha keeps what it drew over transparent black.
  HalfTransparentGraphic icon("TIcon");
  icon.withAlpha = true;
  TCustomBitmap32 b;
  b.Assign(icon);
  EXPECT_EQ(b.Pixel(0, 0), 0x00204060u);
  EXPECT_EQ(b.Pixel(1, 0), 0x80204060u);
  EXPECT_EQ(b.Pixel(0, 1), 0x00007F00u);
}

TEST(BitmapPictures, OtherGraphicsAreDrawnOverWhiteAndMadeOpaque) {
  HalfTransparentGraphic graphic("TSomethingElse");
  TCustomBitmap32 b;
  b.Assign(graphic);
  EXPECT_EQ(Pixels(b), (std::vector<TColor32>{0xFF204060, 0xFF204060, 0xFF7FFE7F, 0xFF7FFE7F}));
}

TEST(BitmapPictures, AGraphicThatFailsToDrawLeavesThePictureThatWasThere) {
  for (const char* kind : {"TMetafile", "TIcon", "TSomethingElse"}) {
    TCustomBitmap32 memory;
    TBitmap32 device;
    for (TCustomBitmap32* b :
         {static_cast<TCustomBitmap32*>(&memory), static_cast<TCustomBitmap32*>(&device)}) {
      b->SetSize(3, 2);
      FillRandom(*b, 8);
      const auto before = Pixels(*b);
      TCustomBackend* backend = b->Backend();
      HalfTransparentGraphic graphic(kind);
      graphic.fails = true;
      EXPECT_THROW(b->Assign(graphic), plat::EInvalidGraphic) << kind;
      EXPECT_EQ(b->Width(), 3) << kind;
      EXPECT_EQ(b->Height(), 2) << kind;
      EXPECT_EQ(Pixels(*b), before) << kind;
      EXPECT_EQ(b->Backend(), backend) << kind;
    }
  }
}

// The clipboard carries a bitmap's alpha, as desktop programs take pictures with transparency.
TEST(BitmapPictures, ClipboardRoundTripKeepsAlpha) {
  TCustomBitmap32 b, pasted;
  b.SetSize(3, 2);
  FillRandom(b, 5);
  plat::Clipboard().Assign(b);
  pasted.Assign(plat::Clipboard());
  ASSERT_EQ(pasted.Width(), 3);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(pasted.Pixel(x, y), b.Pixel(x, y));
}

}  // namespace
