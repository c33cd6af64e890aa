// A layer turned again and again from its tools, the rotation dialog used with keys and the mouse
// in its own modal run: the layer holds its turned picture and no more, whatever the number of
// turns, and turns that add up to whole ones give back the picture in its place.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "app/extcolor/ExtendedColorDialog.h"
#include "app/extcolor/ExtendedColorDialogRules.h"
#include "app/road/Composition.h"
#include "app/rotate/RotateDialog.h"
#include "app/tools/ToolsMenus.h"
#include "graphics/filters/Filters.h"
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
    picture.SaveToFile(home_ + "/picture.bmp");
    layer = AddLayer();
    original.Assign(layer->Bitmap());
    form->SelectLayer(nullptr);
    untouched = app::ComposePicture(*form->ImgView);
    form->SelectLayer(layer);
  }
  // The picture as a logo, which comes at a reduced scale, or as a plain picture at (X, Y).
  gfx::TBitmapLayer* AddLayer(const std::string& name = "logo.bmp", int x = 123, int y = 57) {
    app::TPictureLayerRequest request;
    request.FileName = home_ + "/" + name;
    request.X = x;
    request.Y = y;
    return &form->CreatePictureLayer(nullptr, request);
  }

  // The layer tools button clicked and Choose done in its menu; an action it queues runs as the
  // action timer would.
  void Tools(std::function<void(app::TToolsMenuForm&)> choose) {
    menu.Next(std::move(choose));
    Click(*form->FrameToolsButton);
    ASSERT_TRUE(menu.Acted());
    if (form->ToolAction != 0) form->TimerEllapsed2(nullptr);
    layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    ASSERT_NE(layer, nullptr);
  }
  void Tool(app::TFrameFunction function) {
    Tools([function](app::TToolsMenuForm& m) { m.FunctionRadioGroup->SetItemIndex(function); });
  }

  // "Rotation Tools" from the layer tools button; in the dialog the step angle typed, "Do
  // Step(s)" clicked (unless the angle is 0), then OK.
  void Turn(int degrees) {
    dialog.Next([degrees](app::TFormRotateExample& d) {
      if (degrees != 0) {
        test_support::Retype(d, *d.AngleEdit, std::to_string(degrees));
        Click(*d.StepButton);
      }
      Click(*d.CloseButton);
    });
    Tool(app::ffRotationTools);
    ASSERT_TRUE(dialog.Acted());
  }
  // "Rotation Tools (with filling)": Steps copies every Degrees stamped (none for no steps),
  // then OK.
  void Stamp(int steps, int degrees) {
    dialog.Next([steps, degrees](app::TFormRotateExample& d) {
      if (steps != 0) {
        test_support::Retype(d, *d.StepsEdit, std::to_string(steps));
        test_support::Retype(d, *d.AngleEdit, std::to_string(degrees));
        Click(*d.StepButton);
      }
      Click(*d.CloseButton);
    });
    Tool(app::ffRotationToolsFilling);
    ASSERT_TRUE(dialog.Acted());
  }
  // The layer's centre where it was, to a thousandth of a pixel.
  void ExpectCentre(const gfx::TFloatRect& was, const char* what) {
    const gfx::TFloatRect r = layer->Location();
    EXPECT_NEAR(r.Left + r.Right, was.Left + was.Right, 2e-3) << what;
    EXPECT_NEAR(r.Top + r.Bottom, was.Top + was.Bottom, 2e-3) << what;
  }
  bool ComposesAsUntouched() {
    form->SelectLayer(nullptr);
    const bool same = app::ComposePicture(*form->ImgView)->Equal(*untouched);
    form->SelectLayer(layer);
    return same;
  }

  gfx::TBitmapLayer* layer = nullptr;
  // The layer's picture as it came.
  gfx::TBitmap32 original;
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

// Stretched by its bottom-right handle to twice its width: OK at no angle keeps that frame, and
// a quarter turn keeps its centre and its scale on each axis.
TEST_F(TightTurn, AFrameStretchedByItsHandlesKeepsItsSizeAndItsCentreAndScalesOnATurn) {
  layer = AddLayer("picture.bmp", 200, 200);
  ASSERT_EQ(layer->Location(), (gfx::TFloatRect{200, 200, 261, 236}));
  gfx::TCustomImage32& view = *form->ImgView;
  const plat::TPoint from = view.BitmapToControl({261, 236}), to = view.BitmapToControl({322, 236});
  plat::SimulateMouse(view, plat::TMouseAction::Press, plat::mbLeft, from);
  plat::SimulateMouse(view, plat::TMouseAction::Move, plat::mbLeft, to);
  plat::SimulateMouse(view, plat::TMouseAction::Release, plat::mbLeft, to);
  const gfx::TFloatRect stretched{200, 200, 322, 236};
  ASSERT_EQ(layer->Location(), stretched);

  Turn(0);
  EXPECT_EQ(layer->Bitmap().Width(), 61);
  EXPECT_EQ(layer->Location(), stretched);
  Turn(90);
  EXPECT_EQ(layer->Bitmap().Width(), 36);
  EXPECT_EQ(layer->Bitmap().Height(), 61);
  EXPECT_EQ(layer->Location(), (gfx::TFloatRect{225, 187.5f, 297, 248.5f}));
  Turn(-90);
  EXPECT_TRUE(layer->Bitmap().Equal(original));
  EXPECT_EQ(layer->Location(), stretched);
}

// Flips, quarter turns and colour changes made to a turned layer carry on into its later turns:
// turned back, it is its picture with the edit, in its place, not the edit resampled twice.
TEST_F(TightTurn, EditsBetweenTurnsCarryOnAndTurningBackGivesTheEditedPicture) {
  struct TEdit {
    const char* name;
    std::function<void()> make;
    std::function<void(gfx::TBitmap32&)> expect;
    int back;  // a mirrored turn is undone the other way
  };
  // Check boxes take clicks on their box.
  const auto invert = [](app::TToolsMenuForm& m) {
    Click(*m.InvertCheckBox, {6, m.InvertCheckBox->Height() / 2});
  };
  const auto grey = [](app::TToolsMenuForm& m) {
    Click(*m.GrayCheckBox, {6, m.GrayCheckBox->Height() / 2});
  };
  const TEdit edits[] = {
      {"a quarter turn", [&] { Tool(app::ffRotate90); }, [](gfx::TBitmap32& b) { b.Rotate90(); },
       -30},
      {"a flip", [&] { Tool(app::ffFlipVert); }, [](gfx::TBitmap32& b) { b.FlipVert(); }, 30},
      {"inverted", [&] { Tools(invert); }, [](gfx::TBitmap32& b) { gfx::InvertRGB(&b, &b); }, -30},
      {"grey and back",
       [&] {
         Tools(grey);
         Tools(grey);
       },
       [](gfx::TBitmap32&) {}, -30},
      {"nothing stamped", [&] { Stamp(0, 0); }, [](gfx::TBitmap32&) {}, -30},
  };
  for (const TEdit& edit : edits) {
    layer = AddLayer();
    const gfx::TFloatRect was = layer->Location();
    Turn(30);
    edit.make();
    Turn(edit.back);
    gfx::TBitmap32 expected;
    expected.Assign(original);
    edit.expect(expected);
    EXPECT_TRUE(layer->Bitmap().Equal(expected)) << edit.name;
    ExpectCentre(was, edit.name);
  }
}

TEST_F(TightTurn, ExtendedColoursOfATurnedLayerCarryOnIntoItsLaterTurns) {
  Turn(30);
  app::TExtendedColorSettings chosen;
  test_support::DialogUser<app::TFormExtendedColor> colours{
      [] { return dynamic_cast<app::TFormExtendedColor*>(plat::Screen().ActiveForm()); }};
  colours.Next([&chosen](app::TFormExtendedColor& d) {
    auto& box = *dynamic_cast<plat::TControl*>(d.FindComponent("Invert_RGB"));
    Click(box, {6, box.Height() / 2});
    chosen = d.CurrentSettings();
    Click(*d.OkButton);
  });
  Tool(app::ffExtendedColor);
  ASSERT_TRUE(colours.Acted());
  ASSERT_TRUE(chosen.LogicalRGB.Enabled);
  Turn(-30);
  gfx::TBitmap32 expected;
  expected.Assign(original);
  app::RecolorKeepingAlpha(expected, chosen);
  EXPECT_TRUE(layer->Bitmap().Equal(expected));
}

// Stamped copies turn about the picture's centre: half turns cover the picture's own pixels and
// no more, whatever the parity of the room around it on the dialog's canvas.
TEST_F(TightTurn, StampedHalfTurnsKeepThePicturesSizeAndPlace) {
  const gfx::TFloatRect place = layer->Location();
  Stamp(2, 180);
  EXPECT_EQ(layer->Bitmap().Width(), 61);
  EXPECT_EQ(layer->Bitmap().Height(), 36);
  EXPECT_EQ(layer->Location(), place);
}

// OK with nothing stamped leaves a picture with clear margins as it was: only the room the turns
// left empty goes, never the picture's own.
TEST_F(TightTurn, StampingNothingKeepsThePicturesOwnClearMargins) {
  gfx::TBitmap32 framed;
  framed.SetSize(40, 30);
  framed.ClearWithColor(0x00000000);
  for (int y = 5; y < 25; ++y)
    for (int x = 5; x < 35; ++x) framed.SetPixel(x, y, 0xFF000000u | uint32_t(x * 7 + y * 3));
  framed.SaveToFile(home_ + "/framed.bmp");
  app::TPictureLayerRequest request;
  request.FileName = home_ + "/framed.bmp";
  request.X = 100;
  request.Y = 100;
  layer = &form->CreatePictureLayer(nullptr, request);
  gfx::TBitmap32 before;
  before.Assign(layer->Bitmap());
  const gfx::TFloatRect place = layer->Location();
  Stamp(0, 0);
  EXPECT_TRUE(layer->Bitmap().Equal(before));
  EXPECT_EQ(layer->Location(), place);
}
