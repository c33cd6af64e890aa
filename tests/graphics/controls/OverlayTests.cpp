// What the image control draws over its buffer on the window: the layers' own canvas painting,
// the repaint a GDI update asks for without rebuilding the buffer, and the rubber band's hover
// cursors, all reached through the window's paint and mouse events.
#include <gtest/gtest.h>

#include "Fixture.h"
#include "graphics/controls/Image.h"
#include "graphics/layers/RubberBand.h"

namespace gfx {
namespace {

using controls_test::FormTest;
using plat::TMouseAction;

// Counts the buffer rebuilds it takes part in.
class CountingLayer : public TPositionedLayer {
 public:
  void Paint(TBitmap32&) override { ++paints; }
  int paints = 0;
};

// Paints a square straight onto the control's canvas.
class CanvasLayer : public TCustomLayer {
 public:
  void PaintGDI(plat::TCanvas& Canvas) override {
    ++gdiPaints;
    Canvas.Brush().SetColor(colour);
    Canvas.FillRect({left, 20, left + 20, 40});
  }
  plat::TColor colour = plat::clRed;
  int left = 20;
  int gdiPaints = 0;
};

class Overlay : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    image = Add<TImage32>(10, 10, 120, 90);
    image->Bitmap().SetSize(120, 90);
    image->Bitmap().ClearWithColor(clWhite32);
    counting = &image->Layers().Add<CountingLayer>();
    counting->SetLocation({0, 0, 10, 10});
    overlay = &image->Layers().Add<CanvasLayer>();
    overlay->SetLayerOptions(LayerOptionGDIOverlay);
    plain = &image->Layers().Add<CanvasLayer>();
    plain->left = 70;
    plain->SetLayerOptions(LayerOptionVisible);
    Settle();
    image->Repaint();
  }
  uint32_t Shown(int x, int y) { return plat::CaptureControl(*image).Pixel(x, y); }

  TImage32* image = nullptr;
  CountingLayer* counting = nullptr;
  CanvasLayer* overlay = nullptr;
  CanvasLayer* plain = nullptr;
};

TEST_F(Overlay, OnlyOverlayLayersPaintOnTheCanvasAfterTheBuffer) {
  EXPECT_GT(overlay->gdiPaints, 0);
  EXPECT_EQ(plain->gdiPaints, 0);
  EXPECT_EQ(Shown(30, 30), 0xFFFF0000u);
  EXPECT_EQ(Shown(80, 30), 0xFFFFFFFFu);
  EXPECT_EQ(Shown(5, 60), 0xFFFFFFFFu);
}

TEST_F(Overlay, AGdiUpdateRepaintsFromTheBufferAsItIs) {
  const int rebuilds = counting->paints, overlays = overlay->gdiPaints;
  ASSERT_GT(rebuilds, 0);
  // A hidden overlay layer's change asks only for the canvas pass.
  overlay->colour = plat::clBlue;
  overlay->Changed();
  Settle();
  EXPECT_GT(overlay->gdiPaints, overlays);
  EXPECT_EQ(counting->paints, rebuilds);
  EXPECT_EQ(Shown(30, 30), 0xFF0000FFu);

  // So do the rubber band's colour and size setters.
  auto& band = image->Layers().Add<TRubberbandLayer>();
  band.SetLocation({50, 50, 90, 80});
  Settle();
  const int afterBand = counting->paints, overlaysAfterBand = overlay->gdiPaints;
  band.SetHandleFill(0xFF00FF00);
  band.SetHandleSize(5);
  Settle();
  EXPECT_GT(overlay->gdiPaints, overlaysAfterBand);
  EXPECT_EQ(counting->paints, afterBand);
}

class BandCursors : public FormTest {};

TEST_F(BandCursors, HoveringShowsTheCursorOfEachHandle) {
  auto* image = Add<TImage32>(10, 10, 200, 150);
  image->Bitmap().SetSize(200, 150);
  auto& band = image->Layers().Add<TRubberbandLayer>();
  band.SetLocation({40, 30, 140, 110});  // frame pixels 40..139 by 30..109
  band.SetCursor(plat::crHandPoint);
  Settle();
  struct Spot {
    int x, y;
    plat::TCursor cursor;
  } const spots[] = {
      {40, 70, plat::crSizeWE},    {139, 70, plat::crSizeWE},   {89, 30, plat::crSizeNS},
      {89, 109, plat::crSizeNS},   {40, 30, plat::crSizeNWSE},  {139, 109, plat::crSizeNWSE},
      {139, 30, plat::crSizeNESW}, {40, 109, plat::crSizeNESW}, {70, 60, plat::crHandPoint},
      {190, 140, plat::crDefault}, {60, 70, plat::crHandPoint}, {36, 70, plat::crSizeWE},
  };
  for (const Spot& s : spots) {
    plat::SimulateMouse(*image, TMouseAction::Move, plat::mbLeft, {s.x, s.y});
    EXPECT_EQ(plat::Screen().Cursor(), s.cursor) << s.x << "," << s.y;
  }
}

}  // namespace
}  // namespace gfx
