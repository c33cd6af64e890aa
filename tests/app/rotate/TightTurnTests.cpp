// A layer turned again and again from its tools, the rotation dialog used with keys and the mouse
// in its own modal run: the layer holds its turned picture and no more, whatever the number of
// turns, and turns that add up to whole ones give back the picture in its place.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "app/road/Composition.h"
#include "app/rotate/RotateDialog.h"
#include "app/tools/ToolsMenus.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "support/DialogUser.h"
#include "support/MainWindowFixture.h"

namespace {

using test_support::Click;

class TightTurn : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start();
    form->Show();
    form->LoadBackground(Picture("bg.bmp", 400, 300));
    // Sides of both parities, colours with soft and keyed-out transparency.
    gfx::TBitmap32 picture;
    picture.SetSize(61, 36);
    std::mt19937 random(3);
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x)
        picture.SetPixel(x, y, random() % 5 ? (random() | 0x40000000u) : 0xFF010101u);
    picture.SaveToFile(home_ + "/logo.bmp");
    layer = AddLayer();
    form->SelectLayer(nullptr);
    untouched = app::ComposePicture(*form->ImgView);
    form->SelectLayer(layer);
  }
  gfx::TBitmapLayer* AddLayer() {
    app::TPictureLayerRequest request;
    request.FileName = home_ + "/logo.bmp";
    request.X = 123;
    request.Y = 57;
    return &form->CreatePictureLayer(nullptr, request);
  }

  // "Rotation Tools" from the layer tools button; in the dialog the step angle typed, "Do
  // Step(s)" clicked (unless the angle is 0), then OK.
  void Turn(int degrees) {
    menu.Next(
        [](app::TToolsMenuForm& m) { m.FunctionRadioGroup->SetItemIndex(app::ffRotationTools); });
    Click(*form->FrameToolsButton);
    ASSERT_EQ(form->ToolAction, 3);
    dialog.Next([degrees](app::TFormRotateExample& d) {
      if (degrees != 0) {
        test_support::Retype(d, *d.AngleEdit, std::to_string(degrees));
        Click(*d.StepButton);
      }
      Click(*d.CloseButton);
    });
    form->TimerEllapsed2(nullptr);
    ASSERT_TRUE(dialog.Acted());
    layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    ASSERT_NE(layer, nullptr);
  }
  bool ComposesAsUntouched() {
    form->SelectLayer(nullptr);
    const bool same = app::ComposePicture(*form->ImgView)->Equal(*untouched);
    form->SelectLayer(layer);
    return same;
  }

  gfx::TBitmapLayer* layer = nullptr;
  std::unique_ptr<gfx::TBitmap32> untouched;
  test_support::DialogUser<app::TToolsMenuForm> menu{
      [] { return dynamic_cast<app::TToolsMenuForm*>(plat::Screen().ActiveForm()); }};
  test_support::DialogUser<app::TFormRotateExample> dialog{
      [] { return dynamic_cast<app::TFormRotateExample*>(plat::Screen().ActiveForm()); }};
};

TEST_F(TightTurn, OkAtNoAngleLeavesSizeAndPlaceAsTheyWere) {
  const gfx::TFloatRect place = layer->Location();
  for (int pass = 0; pass < 3; ++pass) {
    Turn(0);
    EXPECT_EQ(layer->Bitmap().Width(), 61) << pass;
    EXPECT_EQ(layer->Bitmap().Height(), 36) << pass;
    EXPECT_EQ(layer->Location(), place) << pass;
    EXPECT_TRUE(ComposesAsUntouched()) << pass;
  }
}

// Two turns of 30 degrees give the layer that one turn of 60 gives, and its turned picture fills
// it: no empty rows or columns around it beyond the one its faded edge may leave.
TEST_F(TightTurn, TheSizeFollowsTheAngleNotTheNumberOfTurns) {
  Turn(30);
  Turn(30);
  gfx::TBitmapLayer* twice = layer;
  const gfx::TFloatRect twicePlace = twice->Location();
  layer = AddLayer();
  Turn(60);
  EXPECT_TRUE(layer->Bitmap().Equal(twice->Bitmap()));
  EXPECT_EQ(layer->Location(), twicePlace);

  const gfx::TBitmap32& b = layer->Bitmap();
  int top = b.Height(), bottom = -1, left = b.Width(), right = -1;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) >> 24)
        top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x),
        right = std::max(right, x);
  EXPECT_LE(left, 1);
  EXPECT_LE(top, 1);
  EXPECT_GE(right, b.Width() - 2);
  EXPECT_GE(bottom, b.Height() - 2);
}

TEST_F(TightTurn, TwelveTurnsOfThirtyDegreesBringThePictureBackToItsPlace) {
  const gfx::TFloatRect place = layer->Location();
  for (int pass = 0; pass < 12; ++pass) Turn(30);
  EXPECT_EQ(layer->Bitmap().Width(), 61);
  EXPECT_EQ(layer->Bitmap().Height(), 36);
  EXPECT_EQ(layer->Location(), place);
  EXPECT_TRUE(ComposesAsUntouched());
}

}  // namespace
