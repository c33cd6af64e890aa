// The scrollable image view: bar ranges and positions, centring, partial repaints against full
// ones, a layer dragged through the real window, and a screenshot for people to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "Fixture.h"
#include "graphics/controls/ImgView.h"
#include "graphics/layers/RubberBand.h"
#include "graphics/resampling/Resamplers.h"

namespace gfx {
namespace {

using controls_test::FirstDifference;
using controls_test::FormTest;
using plat::TMouseAction;

void FillPattern(TBitmap32& b, int w, int h, uint32_t seed) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y,
                 0xFF000000u | ((x * 3 + seed) & 0xFF) << 16 | ((y * 11 + seed) & 0xFF) << 8 |
                     (((x ^ y) + seed) & 0xFF));
}

class View : public FormTest {
 protected:
  TImgView32* MakeView(int w, int h) {
    auto* view = Add<TImgView32>(0, 0, w, h);
    view->ScrollBars().SetSize(16);
    view->SetScaleMode(smNormal);
    return view;
  }
};

TEST_F(View, TheWheelOverThePictureTellsWholeNotchesOnly) {
  auto* view = MakeView(300, 200);
  view->Bitmap().SetSize(100, 50);
  std::string seen;
  view->OnMouseWheelUp = [&](plat::TObject*, plat::TShiftState, TPoint, bool& handled) {
    seen += "up ";
    handled = true;
  };
  view->OnMouseWheelDown = [&](plat::TObject*, plat::TShiftState, TPoint, bool& handled) {
    seen += "down ";
    handled = true;
  };
  const auto send = [&](const plat::TWheelTurn& turn) {
    plat::SimulateWheel(*view, turn, {100, 80});
  };
  send({{120, 0}, {}, plat::TWheelPhase::None});
  send({{}, {}, plat::TWheelPhase::End});
  EXPECT_EQ(seen, "");
  for (int i = 0; i < 8; ++i) send({{0, -15}, {}, plat::TWheelPhase::None});
  EXPECT_EQ(seen, "down ");
  send({{}, {0, plat::Mouse().WheelScrollLines() * 16}, plat::TWheelPhase::Update});
  EXPECT_EQ(seen, "down up ");
}

TEST_F(View, BarRangesFollowThePictureTheScaleAndTheMargin) {
  auto* view = MakeView(300, 200);  // viewport 284 x 184
  view->Bitmap().SetSize(100, 50);
  view->SetScaleMode(smScale);
  view->SetOverSize(10);
  view->SetScale(2);  // 200 x 100 plus 2 * 10 * 2 on each axis
  EXPECT_EQ(view->HorzBar().Range(), 240);
  EXPECT_EQ(view->VertBar().Range(), 140);
  EXPECT_EQ(view->ViewportRect(), (TRect{0, 0, 284, 184}));
  EXPECT_EQ(view->HorzBar().BoundsRect(), (TRect{0, 184, 284, 200}));
  EXPECT_EQ(view->VertBar().BoundsRect(), (TRect{284, 0, 300, 184}));

  view->SetCentered(false);  // bars at 0: the picture starts after the scaled margin
  EXPECT_FLOAT_EQ(view->OffsetHorz(), 20.0f);
  EXPECT_FLOAT_EQ(view->OffsetVert(), 20.0f);
  EXPECT_EQ(view->GetBitmapRect(), (TRect{20, 20, 220, 120}));

  view->SetScale(3);  // 300 x 150 + 60: wider than the viewport
  EXPECT_EQ(view->HorzBar().Range(), 360);
  EXPECT_EQ(view->VertBar().Range(), 210);
  EXPECT_EQ(view->HorzBar().VisibleSpan(), 284);
}

// The margin set after the scale reaches the ranges and the placement at once.
TEST_F(View, AMarginSetLastWidensTheRangesAndMovesThePicture) {
  auto* view = MakeView(300, 200);
  view->Bitmap().SetSize(100, 50);
  view->SetScaleMode(smScale);
  view->SetScale(2);
  view->SetCentered(false);
  view->SetOverSize(10);
  EXPECT_EQ(view->HorzBar().Range(), 240);
  EXPECT_EQ(view->VertBar().Range(), 140);
  EXPECT_EQ(view->GetBitmapRect(), (TRect{20, 20, 220, 120}));
}

// Margins and scales whose products pass 32 bits: ranges are held only where they do not fit,
// and a picture scrolled far away is placed to the pixel.
TEST_F(View, HugeMarginsAndScalesAreMeasuredIn64Bits) {
  auto* view = MakeView(300, 200);
  view->Bitmap().SetSize(100, 100);
  view->SetScaleMode(smScale);
  view->SetOverSize(600000000);
  EXPECT_EQ(view->HorzBar().Range(), 1200000100);

  view->Bitmap().SetSize(1000, 10);
  view->SetScale(400000);    // 400 000 000 pixels wide
  view->SetOverSize(10000);  // and 4 000 000 000 on each side
  EXPECT_EQ(view->HorzBar().Range(), INT32_MAX);
  EXPECT_EQ(view->VertBar().Range(), INT32_MAX);

  // A margin beyond single precision's whole numbers: 16 777 219 pixels.
  view->SetScale(1);
  view->Bitmap().SetSize(100, 100);
  view->SetCentered(false);
  view->SetOverSize(16777219);
  view->HorzBar().SetPosition(1);
  EXPECT_EQ(view->OffsetHorz(), 16777218.0f);
}

TEST_F(View, CentredPicturesNarrowerThanTheViewportStayInTheMiddle) {
  auto* view = MakeView(300, 200);
  view->Bitmap().SetSize(100, 50);
  EXPECT_FLOAT_EQ(view->OffsetHorz(), 92.0f);  // (284 - 100) / 2
  EXPECT_FLOAT_EQ(view->OffsetVert(), 67.0f);  // (184 - 50) / 2
  view->HorzBar().SetPosition(30);             // no room to scroll: nothing moves
  EXPECT_FLOAT_EQ(view->HorzBar().Position(), 0.0f);

  view->Bitmap().SetSize(1000, 500);                    // larger: centred on the picture's middle
  EXPECT_FLOAT_EQ(view->HorzBar().Position(), 358.0f);  // 500 - 284 / 2
  EXPECT_FLOAT_EQ(view->VertBar().Position(), 158.0f);  // 250 - 184 / 2
  EXPECT_EQ(view->GetBitmapRect(), (TRect{-358, -158, 642, 342}));
  int scrolls = 0;
  view->OnScroll = [&](plat::TObject*) { ++scrolls; };
  view->CenterOn(100, 100);
  EXPECT_FLOAT_EQ(view->HorzBar().Position(), 0.0f);  // clamped
  EXPECT_FLOAT_EQ(view->VertBar().Position(), 8.0f);
  EXPECT_EQ(view->GetBitmapRect(), (TRect{0, -8, 1000, 492}));
  EXPECT_EQ(scrolls, 0);  // the program's scrolling is not announced
  // The user's scrolling is: a click on the right arrow steps by the increment.
  plat::TestHooks().cursorPos = view->HorzBar().ClientToScreen({280, 8});
  plat::SimulateMouse(view->HorzBar(), TMouseAction::Press, plat::mbLeft, {280, 8});
  plat::SimulateMouse(view->HorzBar(), TMouseAction::Release, plat::mbLeft, {280, 8});
  EXPECT_EQ(scrolls, 1);
  EXPECT_FLOAT_EQ(view->HorzBar().Position(), 8.0f);
  EXPECT_EQ(view->GetBitmapRect().Left, -8);
}

TEST_F(View, AutomaticBarsShowOnlyWhenThePictureDoesNotFit) {
  auto* view = MakeView(300, 200);
  view->ScrollBars().SetVisibility(svAuto);
  view->Bitmap().SetSize(120, 80);
  EXPECT_FALSE(view->BarsShown());
  EXPECT_EQ(view->ViewportRect(), (TRect{0, 0, 300, 200}));
  EXPECT_FALSE(view->HorzBar().Visible());
  view->Bitmap().SetSize(400, 80);
  EXPECT_TRUE(view->BarsShown());
  EXPECT_EQ(view->ViewportRect(), (TRect{0, 0, 284, 184}));
  EXPECT_TRUE(view->VertBar().Visible());
  view->ScrollBars().SetVisibility(svHidden);
  EXPECT_EQ(view->BarThickness(), 0);
  EXPECT_EQ(view->GripRect(), (TRect{300, 200, 300, 200}));
}

TEST_F(View, TheSizeGripShowsOnlyForClientAlignedViews) {
  auto* view = MakeView(300, 200);
  EXPECT_FALSE(view->GripShown());
  view->SetAlign(plat::alClient);
  EXPECT_TRUE(view->GripShown());
  EXPECT_EQ(view->GripRect(), (TRect{624, 464, 640, 480}));
  view->SetSizeGrip(sgNone);
  EXPECT_FALSE(view->GripShown());
}

// Random pictures, scales, margins and centring, scrolled through the window by dragging the
// bars' handles, clicking their arrows and tracks and turning the wheel over them, and zoomed:
// the bars' ranges, the picture's offsets and place against a model of the view's rules, and one
// scroll notice for each change the user made.
TEST_F(View, ScrollingAndZoomingFollowTheModel) {
  std::mt19937 random(164);
  const auto between = [&](int32_t lo, int32_t hi) {
    return int32_t(lo + int64_t(random() % uint64_t(int64_t(hi) - lo + 1)));
  };
  int checked = 0;
  for (int round = 0; round < 40; ++round) {
    auto* view = MakeView(between(120, 500), between(120, 400));
    view->SetScaleMode(smScale);
    view->SetCentered(random() % 2);
    view->SetOverSize(between(0, 60));
    view->Bitmap().SetSize(between(1, 900), between(1, 900));
    int scrolls = 0;
    view->OnScroll = [&](plat::TObject*) { ++scrolls; };
    const TRect v = view->ViewportRect();
    ASSERT_EQ(v, (TRect{0, 0, view->Width() - 16, view->Height() - 16}));
    for (int step = 0; step < 25; ++step) {
      const int before = scrolls;
      const float oldH = view->HorzBar().Position(), oldV = view->VertBar().Position();
      bool byUser = true;
      TCustomRangeBar& bar = random() % 2 ? view->HorzBar() : view->VertBar();
      const bool horz = &bar == &view->HorzBar();
      const int32_t along = horz ? bar.ClientWidth() : bar.ClientHeight();
      const auto at = [&](int32_t a) { return horz ? TPoint{a, 8} : TPoint{8, a}; };
      const int action = int(random() % 5);
      switch (action) {
        case 0: {  // drag the handle
          const TRect h = bar.HandleRect();
          if (h.IsEmpty()) continue;
          const TPoint grab{(h.Left + h.Right) / 2, (h.Top + h.Bottom) / 2};
          const int32_t d = between(-200, 200);
          const TPoint to = horz ? TPoint{grab.X + d, grab.Y} : TPoint{grab.X, grab.Y + d};
          plat::TestHooks().cursorPos = bar.ClientToScreen(grab);
          plat::SimulateMouse(bar, TMouseAction::Press, plat::mbLeft, grab);
          plat::SimulateMouse(bar, TMouseAction::Move, plat::mbLeft, to, plat::ssLeft);
          plat::SimulateMouse(bar, TMouseAction::Release, plat::mbLeft, to);
          break;
        }
        case 1: {  // an arrow or the track
          const TPoint p = at(random() % 2 ? between(0, along - 1) : random() % 2 ? 3 : along - 4);
          plat::TestHooks().cursorPos = bar.ClientToScreen(p);
          plat::SimulateMouse(bar, TMouseAction::Press, plat::mbLeft, p);
          plat::SimulateMouse(bar, TMouseAction::Release, plat::mbLeft, p);
          break;
        }
        case 2:  // the wheel over a bar: the program's step, not announced
          plat::SimulateWheel(bar, between(-4, 4) * 60, at(along / 2));
          byUser = false;
          break;
        case 3:  // zoom
          view->SetScale(float(between(1, 40)) / 10);
          byUser = false;
          break;
        default:
          view->CenterOn(between(-50, 950), between(-50, 950));
          byUser = false;
      }
      const bool moved = view->HorzBar().Position() != oldH || view->VertBar().Position() != oldV;
      ASSERT_EQ(scrolls - before, byUser && moved ? 1 : 0) << round << "," << step;

      // The model: ranges are the shown size plus twice the scaled margin; centred pictures
      // narrower than the viewport sit in its middle, the others follow the bars.
      const double s = view->Scale();
      const double cx = std::nearbyint(view->Bitmap().Width() * s),
                   cy = std::nearbyint(view->Bitmap().Height() * s);
      const double m = std::nearbyint(2.0 * view->OverSize() * s),
                   o = std::nearbyint(view->OverSize() * s);
      ASSERT_EQ(view->HorzBar().Range(), int32_t(cx + m));
      ASSERT_EQ(view->VertBar().Range(), int32_t(cy + m));
      const double w = v.Width(), h = v.Height();
      const auto offset = [&](double room, double size, float position) {
        return view->Centered() && room > 2 * o + size ? (room - size) / 2 : -position + o;
      };
      ASSERT_FLOAT_EQ(view->OffsetHorz(), float(offset(w, cx, view->HorzBar().Position())))
          << round << "," << step << " action " << action;
      ASSERT_FLOAT_EQ(view->OffsetVert(), float(offset(h, cy, view->VertBar().Position())));
      const TRect r = view->GetBitmapRect();
      ASSERT_EQ(r.Left, int32_t(std::nearbyint(view->OffsetHorz())));
      ASSERT_EQ(r.Top, int32_t(std::nearbyint(view->OffsetVert())));
      ASSERT_EQ(r.Width(), int32_t(cx));
      ASSERT_EQ(r.Height(), int32_t(cy));
      ++checked;
    }
    form.DestroyComponent(view);
  }
  EXPECT_GT(checked, 700);
}

// Records the form's non-client presses, which ask the window system to size it.
class TSizingForm : public plat::TForm {
 public:
  using plat::TForm::TForm;
  std::vector<intptr_t> sizeRequests;
  void WndProc(plat::TMessage& m) override {
    if (m.Msg == plat::WM_NCLBUTTONDOWN) sizeRequests.push_back(m.WParam);
    plat::TForm::WndProc(m);
  }
};

// A press on the grip sizes the form from its bottom-right corner; the view sees no press.
TEST(ViewGrip, APressOnTheGripAsksTheFormToBeSized) {
  plat::TTestHooksScope hooks;
  TSizingForm form(nullptr);
  form.SetBounds(40, 40, 400, 300);
  auto* view = form.Make<TImgView32>();
  view->SetParent(&form);
  view->SetAlign(plat::alClient);
  view->ScrollBars().SetSize(16);
  int presses = 0;
  view->OnMouseDown = [&presses](plat::TObject*, plat::TMouseButton, plat::TShiftState, int, int,
                                 TCustomLayer*) { ++presses; };
  form.Show();
  plat::Application().ProcessMessages();
  ASSERT_TRUE(view->GripShown());
  const TRect grip = view->GripRect();
  const plat::TPoint corner{grip.Left + 8, grip.Top + 8};
  plat::SimulateMouse(*view, TMouseAction::Press, plat::mbLeft, corner);
  plat::SimulateMouse(*view, TMouseAction::Release, plat::mbLeft, corner);
  EXPECT_EQ(form.sizeRequests, (std::vector<intptr_t>{plat::HTBOTTOMRIGHT}));
  EXPECT_EQ(presses, 0);
  EXPECT_FALSE(view->MouseCapture());

  plat::SimulateMouse(*view, TMouseAction::Press, plat::mbLeft, {20, 20});
  plat::SimulateMouse(*view, TMouseAction::Release, plat::mbLeft, {20, 20});
  EXPECT_EQ(form.sizeRequests.size(), 1u);
  EXPECT_EQ(presses, 1);

  // Without a grip the corner is an ordinary spot of the view.
  view->SetSizeGrip(sgNone);
  plat::SimulateMouse(*view, TMouseAction::Press, plat::mbLeft, corner);
  plat::SimulateMouse(*view, TMouseAction::Release, plat::mbLeft, corner);
  EXPECT_EQ(form.sizeRequests.size(), 1u);
}

// Random picture edits, layer moves and view changes, each followed by the partial repaint the
// window asks for; after each the buffer must equal a full rendering of the same scene.
void CheckPartialRepaints(TImgView32& view, const char* resampler, unsigned seed) {
  view.SetRepaintMode(rmOptimizer);
  auto* optimizer = dynamic_cast<TMicroTilesRepaintOptimizer*>(&view.RepaintOptimizer());
  ASSERT_NE(optimizer, nullptr);
  optimizer->SetAdaptiveTiming(false);
  FillPattern(view.Bitmap(), 900, 700, seed);
  view.Bitmap().SetResamplerClassName(resampler);
  view.SetScaleMode(smResize);
  std::vector<TBitmapLayer*> layers;
  for (int i = 0; i < 3; ++i) {
    auto& layer = view.Layers().Add<TBitmapLayer>();
    FillPattern(layer.Bitmap(), 60 + 20 * i, 50 + 10 * i, seed * 7 + i);
    layer.SetScaled(i != 1);
    layer.Bitmap().SetDrawMode(i == 2 ? dmBlend : dmOpaque);
    layer.Bitmap().SetMasterAlpha(i == 2 ? 140 : 255);
    layer.SetLocation(
        {float(30 + 50 * i), float(40 + 30 * i), float(130 + 50 * i), float(120 + 30 * i)});
    layers.push_back(&layer);
  }
  auto& band = view.Layers().Add<TRubberbandLayer>();
  band.SetChildLayer(layers[0]);
  std::mt19937 rng(seed);
  auto coin = [&](int n) { return int(rng() % unsigned(n)); };
  for (int step = 0; step < 60; ++step) {
    const int kind = coin(6);
    SCOPED_TRACE(kind);
    switch (kind) {
      case 0:
      case 1: {
        TBitmapLayer* l = layers[size_t(coin(3))];
        TFloatRect r = l->Location();
        float dx = float(coin(41) - 20) + 0.25f * float(coin(4));
        float dy = float(coin(41) - 20);
        l->SetLocation({r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy});
        break;
      }
      case 2: {
        int x = coin(900), y = coin(700);
        view.Bitmap().FillRectS(x, y, x + coin(80) + 1, y + coin(80) + 1, 0xFF000000u | rng());
        break;
      }
      case 3: {
        TBitmapLayer* l = layers[size_t(coin(3))];
        l->Bitmap().FillRectS(coin(20), coin(20), 20 + coin(40), 20 + coin(30), 0xFF00FF00u);
        break;
      }
      case 4:
        band.SetLocation(layers[0]->Location());
        break;
      default:
        view.SetScaleMode(coin(2) ? smResize : smNormal);
        break;
    }
    plat::Application().ProcessMessages();
    view.Update();
    TRect v = view.ViewportRect();
    TBitmap32 full;
    full.SetSize(v.Right, v.Bottom);
    view.PaintTo(&full, view.GetBitmapRect());
    ASSERT_EQ(FirstDifference(view.Buffer(), full, v.Right, v.Bottom), "")
        << resampler << " step " << step;
    plat::Application().ProcessMessages();  // PaintTo's mode switch repaints in full
    view.Update();
  }
}

TEST_F(View, PartialRepaintsEqualFullOnesWithNearestPixels) {
  CheckPartialRepaints(*MakeView(420, 330), "TNearestResampler", 1);
}

TEST_F(View, PartialRepaintsEqualFullOnesWithLinearPixels) {
  CheckPartialRepaints(*MakeView(420, 330), "TLinearResampler", 2);
}

TEST_F(View, PartialRepaintsEqualFullOnesWithDraftReduction) {
  CheckPartialRepaints(*MakeView(420, 330), "TDraftResampler", 3);
}

TEST_F(View, ALayerDraggedWithTheMouseMovesByTheDraggedDistance) {
  auto* view = MakeView(400, 300);
  view->SetRepaintMode(rmOptimizer);
  FillPattern(view->Bitmap(), 300, 200, 5);
  auto& layer = view->Layers().Add<TBitmapLayer>();
  FillPattern(layer.Bitmap(), 60, 40, 9);
  layer.SetScaled(true);
  layer.SetLocation({20, 30, 80, 70});
  auto& band = view->Layers().Add<TRubberbandLayer>();
  band.SetLayerOptions(LayerOptionVisible | LayerOptionMouseEvents | LayerOptionNoUpdate);
  band.SetScaled(true);
  band.SetChildLayer(&layer);
  band.SetLocation(layer.Location());
  Settle();
  TRect r = view->GetBitmapRect();
  TPoint grab{r.Left + 50, r.Top + 50};  // inside the frame, away from its handles
  plat::SimulateMouse(*view, TMouseAction::Press, plat::mbLeft, grab);
  plat::SimulateMouse(*view, TMouseAction::Move, plat::mbLeft, {grab.X + 17, grab.Y - 9},
                      plat::ssLeft);
  plat::SimulateMouse(*view, TMouseAction::Move, plat::mbLeft, {grab.X + 35, grab.Y + 12},
                      plat::ssLeft);
  plat::SimulateMouse(*view, TMouseAction::Release, plat::mbLeft, {grab.X + 35, grab.Y + 12});
  EXPECT_FLOAT_EQ(layer.Location().Left, 55.0f);
  EXPECT_FLOAT_EQ(layer.Location().Top, 42.0f);
  EXPECT_FLOAT_EQ(layer.Location().Right, 115.0f);
  EXPECT_FLOAT_EQ(layer.Location().Bottom, 82.0f);
  EXPECT_FALSE(view->MouseCapture());
  Settle();
  view->Update();
  TRect v = view->ViewportRect();
  TBitmap32 full;
  full.SetSize(v.Right, v.Bottom);
  view->PaintTo(&full, view->GetBitmapRect());
  EXPECT_EQ(FirstDifference(view->Buffer(), full, v.Right, v.Bottom), "");
}

TEST_F(View, AScreenshotShowsThePictureLayersAndFrame) {
  auto* view = MakeView(480, 360);
  view->SetColor(0x300000);
  view->SetRepaintMode(rmOptimizer);
  view->Bitmap().SetSize(400, 300);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x)
      view->Bitmap().SetPixel(x, y, Color32(x * 255 / 400, y * 255 / 300, 160, 255));
  auto& first = view->Layers().Add<TBitmapLayer>();
  first.Bitmap().SetSize(120, 80);
  first.Bitmap().ClearWithColor(0xFFE0C020);
  first.SetScaled(true);
  first.SetLocation({40, 40, 160, 120});
  auto& second = view->Layers().Add<TBitmapLayer>();
  second.Bitmap().SetSize(100, 100);
  second.Bitmap().ClearWithColor(0xFF2060E0);
  second.Bitmap().SetDrawMode(dmBlend);
  second.Bitmap().SetMasterAlpha(128);
  second.SetScaled(true);
  second.SetLocation({200, 120, 300, 220});
  auto& band = view->Layers().Add<TRubberbandLayer>();
  band.SetScaled(true);
  band.SetChildLayer(&second);
  band.SetLocation(second.Location());
  Settle();
  view->Repaint();
  std::string file = plat::ScreenshotFolder() + "/image-view-with-layers.png";
  plat::SaveScreenshot(*view, file);
  plat::TCapturedImage shot = plat::CaptureControl(*view);
  TRect r = view->GetBitmapRect();
  // The opaque layer, the half-transparent one over the picture, the frame's corner handle.
  EXPECT_EQ(shot.Pixel(r.Left + 100, r.Top + 60), 0xFFE0C020u);
  uint32_t blended = shot.Pixel(r.Left + 250, r.Top + 170);
  EXPECT_NE(blended, 0xFF2060E0u);
  EXPECT_NEAR(int(blended & 0xFF), (0xE0 + 160) / 2, 3);
  EXPECT_EQ(shot.Pixel(r.Left + 197, r.Top + 117), band.HandleFrame());
  EXPECT_EQ(shot.Pixel(r.Left + 199, r.Top + 119), band.HandleFill());
  EXPECT_EQ(shot.Pixel(2, 2), 0xFF000030u);  // the view's colour outside the picture
}

}  // namespace
}  // namespace gfx
