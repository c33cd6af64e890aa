#include <gtest/gtest.h>

#include "Surface.h"
#include "platform/drawing/Graphics.h"
#include "platform/pictures/Picture.h"

namespace {

using canvas_test::Surface;
using namespace plat;

TEST(Canvas, DrawsWithItsPenBrushAndFontAndReportsChanges) {
  Surface s(40, 30, 0xFF000000);
  TCanvas canvas(&s.dc);
  int changing = 0, changed = 0;
  canvas.OnChanging = [&](TObject*) { ++changing; };
  canvas.OnChange = [&](TObject*) { ++changed; };
  canvas.Brush().SetColor(clBtnFace);
  canvas.FillRect({0, 0, 10, 10});
  EXPECT_EQ(canvas.Pixel(3, 3), ColorToRGB(clBtnFace));
  EXPECT_EQ(s.At(3, 3) >> 24, 0xFFu);
  canvas.Pen().SetColor(clRed);
  canvas.MoveTo(0, 20);
  canvas.LineTo(5, 20);
  EXPECT_EQ(canvas.PenPos(), (TPoint{5, 20}));
  EXPECT_EQ(canvas.Pixel(4, 20), clRed);
  EXPECT_EQ(canvas.Pixel(5, 20), clBlack);
  canvas.SetPixel(30, 1, clLime);
  EXPECT_EQ(s.At(30, 1), 0xFF00FF00u);
  EXPECT_EQ(changing, 3);
  EXPECT_EQ(changed, 3);
  EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, 40, 30}));
}

TEST(Canvas, TextUsesTheFontColourAndTheBrushForItsBackground) {
  Surface s(120, 40, 0xFF000000);
  TCanvas canvas(&s.dc);
  canvas.Font().SetColor(clWhite);
  canvas.Font().SetQuality(fqNonAntialiased);
  canvas.Font().SetSize(14);
  canvas.Brush().SetColor(clBlue);
  const TSize extent = canvas.TextExtent("Hi!");
  canvas.TextOut(2, 3, "Hi!");
  EXPECT_EQ(canvas.PenPos(), (TPoint{2 + extent.cx, 3}));
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 120; ++x) {
      const bool cell = x >= 2 && x < 2 + extent.cx && y >= 3 && y < 3 + extent.cy;
      if (cell) {
        ASSERT_TRUE(s.At(x, y) == 0xFF0000FF || s.At(x, y) == 0xFFFFFFFF);
      } else {
        ASSERT_EQ(s.At(x, y), 0xFF000000u);
      }
    }
  }
  // Measuring without a context gives the same numbers.
  TCanvas detached;
  detached.Font().Assign(canvas.Font());
  EXPECT_EQ(detached.TextExtent("Hi!"), extent);
  EXPECT_EQ(detached.TextHeight("Hi!"), extent.cy);
  // TextRect fills its rectangle with the brush and clips the text to it.
  canvas.Brush().SetColor(clLime);
  canvas.TextRect({60, 0, 80, 10}, 58, -2, "Wide");
  EXPECT_EQ(s.At(60, 0), 0xFF00FF00u);
  EXPECT_EQ(s.At(80, 0), 0xFF000000u);
  EXPECT_EQ(s.At(60, 10), 0xFF000000u);
}

TEST(Canvas, LockIsReentrantAndCounted) {
  TCanvas canvas;
  canvas.Lock();
  canvas.Lock();
  EXPECT_EQ(canvas.LockCount(), 2);
  EXPECT_TRUE(canvas.TryLock());
  canvas.Unlock();
  canvas.Unlock();
  canvas.Unlock();
  EXPECT_EQ(canvas.LockCount(), 0);
}

TEST(Canvas, CopyRectStretchesAndFollowsAReattachedSurface) {
  Surface a(4, 4), b(8, 8, 0xFFFFFFFF), c(8, 8, 0xFFFFFFFF);
  a.Randomize(9);
  TCanvas source(&a.dc), dest(&b.dc);
  dest.CopyRect({0, 0, 8, 8}, source, {0, 0, 4, 4});
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) ASSERT_EQ(b.At(x, y), a.At(x / 2, y / 2));
  }
  dest.SetHandle(&c.dc);
  dest.SetCopyMode(cmSrcInvert);
  dest.CopyRect({0, 0, 4, 4}, source, {0, 0, 4, 4});
  EXPECT_EQ(c.At(1, 2), a.At(1, 2) ^ 0xFFFFFFFF);
  EXPECT_EQ(c.At(5, 5), 0xFFFFFFFFu);
}

// A graphic that records where it was asked to draw.
class RecordingGraphic : public TGraphic {
 public:
  const TGraphicClass& GraphicClass() const override { return StaticClass(); }
  void LoadFromStream(TStream&) override {}
  void Draw(TCanvas& canvas, const TRect& rect) const override {
    drawnOn = &canvas;
    drawnInto = rect;
  }
  int Width() const override { return 7; }
  int Height() const override { return 5; }
  bool Empty() const override { return false; }

  mutable const TCanvas* drawnOn = nullptr;
  mutable TRect drawnInto;
};

TEST(Canvas, GraphicsDrawThemselves) {
  TCanvas canvas;
  RecordingGraphic g;
  canvas.Draw(3, 4, g);
  EXPECT_EQ(g.drawnOn, &canvas);
  EXPECT_EQ(g.drawnInto, (TRect{3, 4, 10, 9}));
  canvas.StretchDraw({1, 2, 30, 40}, g);
  EXPECT_EQ(g.drawnInto, (TRect{1, 2, 30, 40}));
}

}  // namespace
