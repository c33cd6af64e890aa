// The mouse and the wheel on the main window's picture view, delivered as the window system
// delivers them: presses select layers and queue the tools, Ctrl resizes a frame about its
// centre, the wheel zooms.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>

#include "RoadSupport.h"
#include "graphics/layers/RubberBand.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Application.h"
#include "support/FileDialogAnswers.h"
#include "support/MainWindowFixture.h"

namespace {

using plat::TMouseAction;

class ViewInput : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    test_support::AnswerFileDialogs(answer);
    Start();
    form->Show();
    plat::Application().ProcessMessages();
    gfx::TBitmap32 bg;
    road_test::MakeQuadrants(bg, 400, 300);
    bg.SaveToFile(home_ + "/bg.bmp");
    road_test::WriteKeyedLayer(home_ + "/layer.bmp");
    answer = home_ + "/bg.bmp";
    form->LoadButton->Click();
    ASSERT_EQ(form->ImgView->Scale(), 1.0f);
  }
  // A 120 x 80 layer, selected, moved to Place with the given opacity.
  gfx::TBitmapLayer& AddLayer(const gfx::TFloatRect& place, int opacity) {
    answer = home_ + "/layer.bmp";
    form->LoadWatButton->Click();
    auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    EXPECT_NE(layer, nullptr);
    form->LayerOpacity->SetPosition(opacity);
    form->RubberBand->SetLocation(place);
    return *layer;
  }
  // The view's point over picture point (X, Y).
  plat::TPoint At(float X, float Y) {
    return form->ImgView->BitmapToControl({int(std::lround(X)), int(std::lround(Y))});
  }
  void Press(plat::TMouseButton button, plat::TPoint at, plat::TShiftState shift = 0) {
    plat::SimulateMouse(*form->ImgView, TMouseAction::Press, button, at, shift);
  }
  void Release(plat::TMouseButton button, plat::TPoint at, plat::TShiftState shift = 0) {
    plat::SimulateMouse(*form->ImgView, TMouseAction::Release, button, at, shift);
  }
  void Click(plat::TMouseButton button, plat::TPoint at) {
    Press(button, at);
    Release(button, at);
  }
  // A background larger than the view, shown fitted.
  void LoadFitted(int width, int height) {
    gfx::TBitmap32 large;
    road_test::MakeQuadrants(large, width, height);
    large.SaveToFile(home_ + "/large.bmp");
    answer = home_ + "/large.bmp";
    form->LoadButton->Click();
    ASSERT_EQ(form->ImgView->ScaleMode(), gfx::smResize);
  }
  // Drags the frame's bottom-right handle by (dx, dy).
  void DragCorner(float dx, float dy, plat::TShiftState shift) {
    const gfx::TFloatRect r = form->RubberBand->Location();
    const plat::TPoint from = At(r.Right, r.Bottom), to = At(r.Right + dx, r.Bottom + dy);
    Press(plat::mbLeft, from, shift);
    plat::SimulateMouse(*form->ImgView, TMouseAction::Move, plat::mbLeft, to, shift);
    Release(plat::mbLeft, to, shift);
  }

  std::string answer;
};

TEST_F(ViewInput, PressesOnLayersSelectThemAndTheRightButtonQueuesTheirTools) {
  gfx::TBitmapLayer& lower = AddLayer({20, 20, 80, 60}, 90);
  form->WMScale->SetPosition(50);
  gfx::TBitmapLayer& upper = AddLayer({200, 150, 320, 230}, 200);
  ASSERT_EQ(form->SelectedLayer, &upper);

  Click(plat::mbLeft, At(50, 40));
  EXPECT_EQ(form->SelectedLayer, &lower);
  EXPECT_EQ(form->RubberBand->ChildLayer(), &lower);
  EXPECT_EQ(form->LayerOpacity->Position(), 90);
  EXPECT_EQ(form->WMScale->Position(), 50);
  EXPECT_EQ(form->ToolAction, 0);
  EXPECT_FALSE(form->Timer2->Enabled());

  Click(plat::mbRight, At(300, 220));
  EXPECT_EQ(form->SelectedLayer, &upper);
  EXPECT_EQ(form->LayerOpacity->Position(), 200);
  EXPECT_EQ(form->WMScale->Position(), 100);
  EXPECT_EQ(form->ToolAction, 1);
  EXPECT_TRUE(form->Timer2->Enabled());
  // Neither layer moved or changed by being chosen.
  EXPECT_EQ(lower.Location(), (gfx::TFloatRect{20, 20, 80, 60}));
  EXPECT_EQ(lower.OpacityValue, 90);
  EXPECT_EQ(upper.Location(), (gfx::TFloatRect{200, 150, 320, 230}));
}

TEST_F(ViewInput, OneDragMovesALayerThatWasNotSelected) {
  gfx::TBitmapLayer& lower = AddLayer({20, 20, 80, 60}, 255);
  AddLayer({200, 150, 320, 230}, 255);
  Press(plat::mbLeft, At(50, 40));
  plat::SimulateMouse(*form->ImgView, TMouseAction::Move, plat::mbLeft, At(70, 55));
  plat::SimulateMouse(*form->ImgView, TMouseAction::Move, plat::mbLeft, At(90, 70));
  Release(plat::mbLeft, At(90, 70));
  EXPECT_EQ(form->SelectedLayer, &lower);
  EXPECT_EQ(lower.Location(), (gfx::TFloatRect{60, 50, 120, 90}));
  // Once let go, the pointer moves nothing.
  plat::SimulateMouse(*form->ImgView, TMouseAction::Move, plat::mbLeft, At(150, 100));
  EXPECT_EQ(lower.Location(), (gfx::TFloatRect{60, 50, 120, 90}));
}

TEST_F(ViewInput, PressesOffTheLayersDeselectAndTheRightButtonQueuesThePictureTools) {
  AddLayer({20, 20, 80, 60}, 128);
  Click(plat::mbLeft, At(150, 250));
  EXPECT_EQ(form->SelectedLayer, nullptr);
  EXPECT_FALSE(form->RubberBand->Visible());
  EXPECT_FALSE(form->LayerOpacity->Enabled());
  EXPECT_FALSE(form->ClearButton->Enabled());
  EXPECT_EQ(form->ToolAction, 0);

  Click(plat::mbRight, At(150, 250));
  EXPECT_EQ(form->ToolAction, 10);
  EXPECT_TRUE(form->Timer2->Enabled());
}

// Ctrl keeps the frame's centre where the drag began; without it the opposite corner stays.
TEST_F(ViewInput, CtrlDragOfAHandleResizesAboutTheCentre) {
  gfx::TBitmapLayer& layer = AddLayer({100, 50, 160, 90}, 255);  // centre (130, 70)
  DragCorner(20, 10, plat::ssCtrl);
  EXPECT_EQ(layer.Location(), (gfx::TFloatRect{80, 40, 180, 100}));
  // Past the centre the frame keeps at least 4 x 4 about it.
  DragCorner(-90, -70, plat::ssCtrl);
  EXPECT_EQ(layer.Location(), (gfx::TFloatRect{128, 68, 132, 72}));

  form->RubberBand->SetLocation({100, 50, 160, 90});
  DragCorner(20, 10, 0);
  EXPECT_EQ(layer.Location(), (gfx::TFloatRect{100, 50, 180, 100}));
}

TEST_F(ViewInput, TheWheelZoomsInStepsOf2PercentWithinItsBounds) {
  const plat::TPoint middle = At(200, 150);
  plat::SimulateWheel(*form->ImgView, -120, middle);
  plat::SimulateWheel(*form->ImgView, -120, middle);
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 1.02f * 1.02f);
  EXPECT_EQ(form->ScaleCombo->Text(), "104%");
  for (int i = 0; i < 14; ++i) plat::SimulateWheel(*form->ImgView, 120, middle);
  EXPECT_NEAR(form->ImgView->Scale(), 1 / std::pow(1.02, 12), 1e-5);
  EXPECT_EQ(form->ScaleCombo->Text(), "79%");
  // The picture scale is the picture's own, not the zoom.
  EXPECT_EQ(form->ScaleBar->Position(), 100);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 400);
  for (int i = 0; i < 100; ++i) plat::SimulateWheel(*form->ImgView, 120, middle);
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 0.2f);
}

// A picture larger than the view is shown fitted; the wheel zooms on from the scale shown.
TEST_F(ViewInput, TheFirstNotchOverAFittedViewStepsFromTheScaleShown) {
  ASSERT_NO_FATAL_FAILURE(LoadFitted(3200, 2400));
  const double shown = double(form->ImgView->GetBitmapSize().cx) / 3200;
  ASSERT_LT(shown, 0.6);
  const plat::TPoint middle{form->ImgView->Width() / 2, form->ImgView->Height() / 2};
  plat::SimulateWheel(*form->ImgView, -120, middle);
  EXPECT_NEAR(form->ImgView->Scale(), shown * 1.02, 1e-3);
  EXPECT_NEAR(form->ImgView->GetBitmapSize().cx, 3200 * shown * 1.02, 2);
  EXPECT_EQ(form->ScaleCombo->Text(), plat::IntToStr(int(std::lround(shown * 102))) + "%");
  plat::SimulateWheel(*form->ImgView, 120, middle);
  plat::SimulateWheel(*form->ImgView, 120, middle);
  EXPECT_NEAR(form->ImgView->Scale(), shown / 1.02, 1e-3);
}

// A picture fitted below the smallest zoom: a notch out leaves it as it is (the limit never
// enlarges it), a notch in enlarges it by one step (the limit never shrinks it).
TEST_F(ViewInput, TheZoomLimitsHoldOnlyInTheWayOfTravel) {
  ASSERT_NO_FATAL_FAILURE(LoadFitted(8000, 200));
  const int width = form->ImgView->GetBitmapSize().cx;
  const float shown = float(width) / 8000;
  ASSERT_LT(shown, 0.2f);
  const plat::TPoint middle{form->ImgView->Width() / 2, form->ImgView->Height() / 2};
  plat::SimulateWheel(*form->ImgView, 120, middle);
  EXPECT_EQ(form->ImgView->Scale(), shown);
  EXPECT_EQ(form->ImgView->GetBitmapSize().cx, width);
  EXPECT_EQ(form->ScaleCombo->Text(), plat::IntToStr(int(std::lround(shown * 100.0))) + "%");
  plat::SimulateWheel(*form->ImgView, -120, middle);
  const float in = float(double(shown) * 1.02);
  ASSERT_LT(in, 0.2f);
  EXPECT_EQ(form->ImgView->Scale(), in);
  plat::SimulateWheel(*form->ImgView, 120, middle);
  EXPECT_EQ(form->ImgView->Scale(), in);
}

// The percentage shown is rounded from the scale itself: 0.225000009 is above 22.5 %, though its
// hundredfold in single precision is 22.5 exactly.
TEST_F(ViewInput, TheZoomPercentageRoundsTheScaleItself) {
  form->ImgView->SetScaleMode(gfx::smScale);
  form->ImgView->SetScale(0.229500011f);  // one notch out lands on 0.225000009
  plat::SimulateWheel(*form->ImgView, 120, At(200, 150));
  ASSERT_EQ(form->ImgView->Scale(), std::nextafter(0.225f, 1.0f));
  EXPECT_EQ(form->ScaleCombo->Text(), "23%");
}

// Where a press lands, seen as the user sees it. The background is drawn without smoothing and
// each of its pixels carries its own coordinates in its colour, so what the view shows tells which
// picture pixel lies under every point of the view. At random zooms (the wheel) and scroll
// positions, a press selects the layer exactly where the picture under the pointer lies inside
// the layer, and a drag moves the layer by the picture distance between the two points.
TEST_F(ViewInput, PressesAndDragsLandOnThePicturePixelShownUnderThePointer) {
  constexpr int W = 400, H = 300;
  gfx::TBitmap32 coded;
  coded.SetSize(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      coded.SetPixel(x, y,
                     0xFF0000C0u | uint32_t(x >> 8) << 2 | uint32_t(y >> 8) | (x & 255) << 16 |
                         (y & 255) << 8);
  coded.SaveToFile(home_ + "/coded.bmp");
  answer = home_ + "/coded.bmp";
  form->LoadButton->Click();
  form->ImageInterpolate->SetChecked(false);
  gfx::TBitmapLayer& layer = AddLayer({0, 0, 10, 10}, 255);
  gfx::TImgView32& view = *form->ImgView;
  const int right = view.Width() - 24, bottom = view.Height() - 24;  // clear of the scroll bars

  std::mt19937 rng(120);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<>(lo, hi)(rng);
  };
  double zoom = 1;
  int clicks = 0, insideClicks = 0, drags = 0;
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(round);
    for (int n = int(uniform(-60, 61)); n != 0; n += n > 0 ? -1 : 1) {
      plat::SimulateWheel(view, n > 0 ? -120 : 120,
                          {int(uniform(0, right)), int(uniform(0, bottom))});
      zoom = std::clamp(n > 0 ? zoom * 1.02 : zoom / 1.02, 0.2, 20.0);
    }
    ASSERT_NEAR(view.Scale(), zoom, zoom * 1e-4);
    const double l = uniform(0, W - 40), t = uniform(0, H - 30);
    form->SelectLayer(&layer);
    form->RubberBand->SetLocation(
        {float(l), float(t), float(l + uniform(8, 150)), float(t + uniform(8, 100))});
    form->SelectLayer(nullptr);
    view.CenterOn(int(l + uniform(-100, 150)), int(t + uniform(-100, 120)));

    layer.SetVisible(false);
    const plat::TCapturedImage seen = plat::CaptureControl(view);
    layer.SetVisible(true);
    auto under = [&](plat::TPoint p) -> std::optional<plat::TPoint> {
      const uint32_t c = seen.Pixel(p.X, p.Y);
      if ((c & 0xF0) != 0xC0) return std::nullopt;
      const int x = int((c >> 16) & 255) | int((c >> 2) & 3) << 8,
                y = int((c >> 8) & 255) | int(c & 3) << 8;
      if (x >= W || y >= H) return std::nullopt;
      return plat::TPoint{x, y};
    };
    const gfx::TFloatRect r = layer.Location();
    // Inside or outside with a pixel to spare; points on the edge say nothing.
    auto insideBy = [&](plat::TPoint q, double m) {
      return q.X >= r.Left + m && q.X + 1 + m <= r.Right && q.Y >= r.Top + m &&
             q.Y + 1 + m <= r.Bottom;
    };
    auto inside = [&](plat::TPoint q) { return insideBy(q, 1); };
    auto outside = [&](plat::TPoint q) {
      return q.X + 2 <= r.Left || q.X >= r.Right + 1 || q.Y + 2 <= r.Top || q.Y >= r.Bottom + 1;
    };
    // Points over the layer are few at a small zoom: look for them.
    std::vector<plat::TPoint> over, off, grips;
    for (int i = 0; i < 3000; ++i) {
      const plat::TPoint p{int(uniform(0, right)), int(uniform(0, bottom))};
      if (const auto q = under(p); q && inside(*q))
        over.push_back(p);
      else if (q && outside(*q))
        off.push_back(p);
      // A press this close to the frame takes hold of a handle and resizes.
      if (const auto q = under(p); q && insideBy(*q, 1 + 8 / zoom)) grips.push_back(p);
    }
    for (int i = 0; i < 16 && !(over.empty() && off.empty()); ++i) {
      const std::vector<plat::TPoint>& from = (i % 2 && !over.empty()) || off.empty() ? over : off;
      const plat::TPoint p = from[rng() % from.size()];
      const auto q = under(p);
      ++clicks;
      insideClicks += inside(*q);
      Click(plat::mbLeft, p);
      EXPECT_EQ(form->SelectedLayer, inside(*q) ? &layer : nullptr)
          << p.X << "," << p.Y << " shows " << q->X << "," << q->Y;
      form->SelectLayer(nullptr);
    }
    ASSERT_EQ(layer.Location(), r);

    // A drag from a point over the layer to another over the picture.
    for (int tries = 0; tries < 40 && !grips.empty(); ++tries) {
      const plat::TPoint from = grips[rng() % grips.size()];
      const plat::TPoint to{from.X + int(uniform(-80, 80)), from.Y + int(uniform(-80, 80))};
      if (to.X < 0 || to.Y < 0 || to.X >= right || to.Y >= bottom) continue;
      const auto a = under(from), b = under(to);
      if (!a || !b) continue;
      ++drags;
      Press(plat::mbLeft, from);
      plat::SimulateMouse(view, TMouseAction::Move, plat::mbLeft, to);
      Release(plat::mbLeft, to);
      const gfx::TFloatRect moved = layer.Location();
      EXPECT_NEAR(moved.Left - r.Left, b->X - a->X, 1.01);
      EXPECT_NEAR(moved.Top - r.Top, b->Y - a->Y, 1.01);
      EXPECT_FLOAT_EQ(moved.Right - moved.Left, r.Right - r.Left);
      EXPECT_FLOAT_EQ(moved.Bottom - moved.Top, r.Bottom - r.Top);
      break;
    }
    if (HasFailure()) return;
  }
  EXPECT_GT(clicks, 200);
  EXPECT_GT(insideClicks, 40);
  EXPECT_GT(drags, 15);
}

// Every handle dragged with the mouse, with and without Ctrl, by random distances: the dragged
// edges follow the pointer but keep the frame 10 wide and high; with Ctrl the frame then grows or
// shrinks about its centre as the drag began, by the dragged edges, keeping half sizes of 2 at
// least.
TEST_F(ViewInput, EveryHandleDraggedWithOrWithoutCtrlGivesTheFrameOfTheRules) {
  gfx::TBitmapLayer& layer = AddLayer({0, 0, 10, 10}, 255);
  std::mt19937 rng(1201);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 160; ++round) {
    SCOPED_TRACE(round);
    // Even sizes, so the side handles lie on whole pixels.
    const double l = pick(60, 200), t = pick(50, 120), r = l + 2 * pick(10, 60),
                 b = t + 2 * pick(10, 50);
    form->RubberBand->SetLocation({float(l), float(t), float(r), float(b)});
    const bool left = round % 8 == 0 || round % 8 == 4 || round % 8 == 6;
    const bool right = round % 8 == 2 || round % 8 == 5 || round % 8 == 7;
    const bool top = round % 8 == 1 || round % 8 == 4 || round % 8 == 5;
    const bool bottom = round % 8 == 3 || round % 8 == 6 || round % 8 == 7;
    const double hx = left ? l : right ? r : (l + r) / 2, hy = top ? t : bottom ? b : (t + b) / 2;
    const int dx = pick(-120, 120), dy = pick(-100, 100);
    const plat::TShiftState shift = round % 16 < 8 ? plat::ssCtrl : 0;
    const plat::TPoint from = At(float(hx), float(hy)), to{from.X + dx, from.Y + dy};
    Press(plat::mbLeft, from, shift);
    plat::SimulateMouse(*form->ImgView, TMouseAction::Move, plat::mbLeft, to, shift);
    Release(plat::mbLeft, to, shift);

    double L = l, T = t, R = r, B = b;
    if (left) L = std::min(hx + dx, R - 10);
    if (right) R = std::max(hx + dx, L + 10);
    if (top) T = std::min(hy + dy, B - 10);
    if (bottom) B = std::max(hy + dy, T + 10);
    if (shift) {
      const double cx = (l + r) / 2, cy = (t + b) / 2;
      double hw = (r - l) / 2, hh = (b - t) / 2;
      if (left) hw = cx - L;
      if (right) hw = R - cx;
      if (top) hh = cy - T;
      if (bottom) hh = B - cy;
      hw = std::max(hw, 2.0), hh = std::max(hh, 2.0);
      L = cx - hw, R = cx + hw, T = cy - hh, B = cy + hh;
    }
    const gfx::TFloatRect got = layer.Location();
    EXPECT_NEAR(got.Left, L, 1e-3);
    EXPECT_NEAR(got.Top, T, 1e-3);
    EXPECT_NEAR(got.Right, R, 1e-3);
    EXPECT_NEAR(got.Bottom, B, 1e-3);
    if (HasFailure()) return;
  }
}

}  // namespace
