// The engine's controls read from a stored layout: properties by name and the image view's own
// mouse and paint events bound to handlers of their types.
#include <gtest/gtest.h>

#include "app/mainwindow/MainUnit.h"
#include "platform/windows/FormReader.h"

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

}  // namespace
