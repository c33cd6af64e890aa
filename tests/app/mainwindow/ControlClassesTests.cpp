// The engine's controls read from a stored layout: properties by name and the image view's own
// mouse and paint events bound to handlers of their types.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/mainwindow/MainUnit.h"
#include "platform/windows/Application.h"
#include "platform/windows/FormReader.h"
#include "platform/windows/FormWriter.h"
#include "platform/windows/TestSeams.h"
#include "support/LargestAllocation.h"

namespace {

class TViewForm : public plat::TForm {
 public:
  explicit TViewForm(plat::TComponent* owner) : plat::TForm(owner) {
    app::RegisterEditorControlClasses();
    plat::TFormBindings b;
    b.Handler("ViewMouseDown", this, &TViewForm::ViewMouseDown)
        .Handler("ViewPaintStage", this, &TViewForm::ViewPaintStage)
        .Handler("GaugeChange", this, &TViewForm::GaugeChange)
        .Field("View", View)
        .Field("Gauge", Gauge)
        .Field("Picture", Picture);
    plat::ReadLayoutText(*this, R"(
TViewForm ViewForm {
  Width = 300
  Height = 200
  TImgView32 View {
    Align = alClient
    ScaleMode = smResize
    Scale = 2.5
    ScrollBarSize = 12
    OnMouseDown = ViewMouseDown
    OnPaintStage = ViewPaintStage
  }
  TGaugeBar Gauge {
    Min = 5
    Max = 50
    Position = 70
    OnChange = GaugeChange
  }
  TImage32 Picture {
    Width = 120
    Height = 90
    AutoSize = True
  }
}
)",
                         "ViewForm.form", b);
  }
  void ViewMouseDown(plat::TObject*, plat::TMouseButton, plat::TShiftState, int X, int,
                     gfx::TCustomLayer*) {
    lastX = X;
  }
  void ViewPaintStage(plat::TObject*, gfx::TBitmap32&, uint32_t) {}
  void GaugeChange(plat::TObject*) { ++changes; }
  gfx::TImgView32* View = nullptr;
  gfx::TGaugeBar* Gauge = nullptr;
  gfx::TImage32* Picture = nullptr;
  int lastX = -1, changes = 0;
};

TEST(EditorControlClasses, ImageViewAndGaugeBarComeFromALayoutWithTheirEvents) {
  TViewForm form(nullptr);
  ASSERT_NE(form.View, nullptr);
  ASSERT_NE(form.Gauge, nullptr);
  EXPECT_EQ(form.View->ScaleMode(), gfx::smResize);
  EXPECT_FLOAT_EQ(form.View->Scale(), 2.5f);
  EXPECT_EQ(form.View->ScrollBarSize(), 12);
  ASSERT_TRUE(form.View->OnMouseDown);
  form.View->OnMouseDown(form.View, plat::mbLeft, 0, 17, 4, nullptr);
  EXPECT_EQ(form.lastX, 17);
  EXPECT_TRUE(form.View->OnPaintStage);
  // The position was clamped to the range read before it.
  EXPECT_EQ(form.Gauge->Position(), 50);
  form.Gauge->SetPosition(6);
  EXPECT_EQ(form.changes, 1);
  // An auto-sized image takes its picture's size.
  ASSERT_NE(form.Picture, nullptr);
  EXPECT_TRUE(form.Picture->AutoSize());
  form.Picture->Bitmap().SetSize(33, 21);
  EXPECT_EQ(form.Picture->Width(), 33);
  EXPECT_EQ(form.Picture->Height(), 21);
}

// An image's picture stored in a layout as its "Data" block comes back pixel for pixel.
TEST(EditorControlClasses, AnImagesPictureTravelsThroughALayout) {
  app::RegisterEditorControlClasses();
  gfx::TImage32 source(nullptr);
  gfx::TBitmap32& picture = source.Bitmap();
  picture.SetSize(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) picture.SetPixel(x, y, 0x80000000u | (x * 40u) << 8 | y * 90u);
  const std::string lines = plat::WriteDefinedProperties(picture, "Bitmap");
  ASSERT_EQ(lines.rfind("Bitmap.Data = {", 0), 0u) << lines;

  plat::TForm form(nullptr);
  plat::ReadLayoutText(form, "TForm F {\n  TImage32 Shown {\n" + lines + "  }\n}\n", "data.form",
                       {});
  auto* shown = dynamic_cast<gfx::TImage32*>(form.FindComponent("Shown"));
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->Bitmap().Equal(picture));

  // Nothing to write for an empty picture or one equal to the inherited picture.
  EXPECT_EQ(plat::WriteDefinedProperties(gfx::TImage32(nullptr).Bitmap(), "Bitmap"), "");
  EXPECT_EQ(plat::WriteDefinedProperties(picture, "Bitmap", &shown->Bitmap()), "");
  shown->Bitmap().SetPixel(4, 2, 0);
  EXPECT_EQ(plat::WriteDefinedProperties(picture, "Bitmap", &shown->Bitmap()), lines);

  // A block shorter than its size leaves the shown picture as it was.
  gfx::TBitmap32 before;
  before.Assign(shown->Bitmap());
  EXPECT_THROW(plat::ReadLayoutText(
                   *shown, "TImage32 Shown {\n  Bitmap.Data = {05000000 03000000 0000}\n}\n",
                   "cut.form", {}),
               plat::EReadError);
  EXPECT_TRUE(shown->Bitmap().Equal(before));
}

// Stored layouts with extreme values: each reads and shows at a small cost, and the controls it
// made take the user's clicks and wheel turns without overflowing.
TEST(EditorControlClasses, ExtremeValuesInALayoutCostLittle) {
  app::RegisterEditorControlClasses();
  const std::string picture =
      "Bitmap.Data = {02000000 02000000 FF00FF00 FF00FF00 FF00FF00 FF00FF00}";
  const struct {
    const char* name;
    std::string body;
    size_t mostMegabytes;
  } layouts[] = {
      {"gauge ends", R"(TGaugeBar G {
    Width = 200
    Height = 20
    Min = -2147483648
    Max = 2147483647
    Position = 2147483647
    SmallChange = 2147483647
    LargeChange = 2147483647
    HandleSize = 2147483647
  })",
       16},
      {"inverted gauge", "TGaugeBar G {\n Min = 2147483647\n Max = -2147483648\n Position = 0\n }",
       16},
      {"huge view",
       "TImgView32 V {\n Width = 2147483647\n Height = 2147483647\n " + picture + "\n }", 300},
      {"bars of extreme sizes",
       "TImgView32 V {\n Width = 300\n Height = 200\n ScrollBarSize = 2147483647\n }", 16},
      {"negative bars",
       "TImgView32 V {\n Width = 300\n Height = 200\n ScrollBarSize = -2147483648\n }", 16},
      {"huge scale",
       "TImgView32 V {\n Width = 300\n Height = 200\n ScaleMode = smScale\n Scale = 1e30\n " +
           picture + "\n }",
       16},
      {"far away in a bordered panel",
       "TPanel P {\n BorderStyle = bsSingle\n Left = 2147483647\n Top = -2147483648\n Width = "
       "2147483647\n Height = 100\n TImgView32 V {\n Left = 2147483647\n Top = 2147483647\n "
       "Width = 300\n Height = 200\n " +
           picture + "\n }\n }",
       16},
      {"tiled huge scale",
       "TImage32 V {\n Width = 300\n Height = 200\n ScaleMode = smScale\n "
       "BitmapAlign = baTile\n Scale = 3e9\n " +
           picture + "\n }",
       16},
  };
  for (const auto& layout : layouts) {
    plat::TForm form(nullptr);
    test_support::LargestAllocation watch;
    plat::ReadLayoutText(form,
                         "TForm F {\n  Width = 400\n  Height = 300\n  " + layout.body + "\n}\n",
                         "extreme.form", {});
    form.Show();
    plat::Application().ProcessMessages();
    for (int i = 0; i < form.ComponentCount(); ++i) {
      auto* control = dynamic_cast<plat::TControl*>(form.Components(i));
      if (!control) continue;
      const plat::TPoint near{3, 3}, far{std::min(control->ClientWidth(), 2000) - 3, 3},
          middle{60, 8};
      for (plat::TPoint p : {near, far, middle}) {
        plat::SimulateMouse(*control, plat::TMouseAction::Press, plat::mbLeft, p);
        plat::SimulateMouse(*control, plat::TMouseAction::Move, plat::mbLeft, {p.X + 40, p.Y},
                            plat::ssLeft);
        plat::SimulateMouse(*control, plat::TMouseAction::Release, plat::mbLeft, {p.X + 40, p.Y});
        plat::SimulateWheel(*control, 120, p);
        plat::SimulateWheel(*control, -360, p);
      }
      if (auto* gauge = dynamic_cast<gfx::TGaugeBar*>(control)) {
        EXPECT_GE(gauge->Position(), std::min(gauge->Min(), gauge->Max())) << layout.name;
        EXPECT_LE(gauge->Position(), std::max(gauge->Min(), gauge->Max())) << layout.name;
      }
    }
    plat::Application().ProcessMessages();
    if (test_support::LargestAllocation::Available()) {
      EXPECT_LE(watch.PeakBytes(), layout.mostMegabytes << 20) << layout.name;
    }
    std::fprintf(stderr, "%s: %zu MB\n", layout.name, watch.PeakBytes() >> 20);
  }
}

}  // namespace
