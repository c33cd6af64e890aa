// The mouse and the wheel on the main window's picture view, delivered as the window system
// delivers them: presses select layers and queue the tools, Ctrl resizes a frame about its
// centre, the wheel zooms.
#include <gtest/gtest.h>

#include <cmath>

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
  gfx::TBitmap32 large;
  road_test::MakeQuadrants(large, 3200, 2400);
  large.SaveToFile(home_ + "/large.bmp");
  answer = home_ + "/large.bmp";
  form->LoadButton->Click();
  ASSERT_EQ(form->ImgView->ScaleMode(), gfx::smResize);
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

}  // namespace
