// A repaint paints its area only: the control's canvas covers the invalid rectangle, still in
// the control's client coordinates, so a small repaint of a large control costs little.
#include <gtest/gtest.h>

#include <vector>

#include "platform/drawing/DeviceContext.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

// Records what each paint's canvas covers and marks (20, 30) in blue.
class TRecordingControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  struct Seen {
    TRect clip;
    TSize surface;
    TPoint markOnSurface;
  };
  std::vector<Seen> paints;

 protected:
  void Paint() override {
    const DeviceContext& dc = *Canvas()->Handle();
    paints.push_back(
        {Canvas()->ClipRect(), {dc.Width(), dc.Height()}, dc.LogicalToDevice({20, 30})});
    Canvas()->Brush().SetColor(clBlue);
    Canvas()->FillRect({20, 30, 24, 34});
  }
};

TEST(PartialPaint, ARepaintGetsACanvasOverItsAreaInClientCoordinates) {
  TForm form(nullptr);
  form.SetClientWidth(400);
  form.SetClientHeight(300);
  auto* control = form.Make<TRecordingControl>();
  control->SetParent(&form);
  control->SetBorderStyle(bsSingle);  // the client area starts one pixel in
  control->SetBounds(10, 10, 380, 280);
  form.Show();
  Application().ProcessMessages();

  control->Repaint();  // nothing waits to be painted
  control->paints.clear();
  control->RepaintRect({16, 24, 32, 40});
  ASSERT_EQ(control->paints.size(), 1u);
  const auto& seen = control->paints.front();
  EXPECT_EQ(seen.clip, (TRect{16, 24, 32, 40}));
  EXPECT_EQ(seen.surface.cx, 16);
  EXPECT_EQ(seen.surface.cy, 16);
  EXPECT_EQ(seen.markOnSurface, (TPoint{4, 6}));

  // A whole paint puts the mark at the same place of the window, inside the border.
  const TCapturedImage image = CaptureControl(*control);
  EXPECT_EQ(image.Pixel(1 + 20, 1 + 30) & 0xFFFFFF, 0x0000FFu);
  EXPECT_NE(image.Pixel(1 + 19, 1 + 30) & 0xFFFFFF, 0x0000FFu);
  EXPECT_NE(image.Pixel(1 + 24, 1 + 30) & 0xFFFFFF, 0x0000FFu);
}

}  // namespace
}  // namespace plat
