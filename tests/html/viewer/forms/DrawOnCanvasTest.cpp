// Form controls drawn onto a canvas as their windows look now, for hosts that print pages.
#include <gtest/gtest.h>

#include "FormPage.h"
#include "platform/pictures/Bitmap.h"

namespace html::test {
namespace {

using FormDrawing = FormPageTest;

constexpr plat::TColor kPaper = plat::clWhite;

// The canvas colour of a captured pixel (0xAARRGGBB).
plat::TColor AsColor(uint32_t argb) {
  return plat::TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
}

TEST_F(FormDrawing, ControlsDrawTheirCurrentLookAtTheGivenPlace) {
  Load(
      "<form><input name=e value=start><input type=checkbox name=c>"
      "<input type=hidden name=h value=1><input type=image name=i></form>");
  plat::TBitmap paper;
  paper.SetSize(300, 80);
  paper.Canvas().Brush().SetColor(kPaper);
  paper.Canvas().FillRect({0, 0, 300, 80});

  auto& edit = Control<TEditFormControlObj>("e");
  edit.Edit().SetText("typed text");
  auto& box = Control<TCheckBoxFormControlObj>("c");
  box.Box().SetChecked(true);
  edit.DrawOnCanvas(paper.Canvas(), 10, 20);
  box.DrawOnCanvas(paper.Canvas(), 200, 20);
  for (TFormControlObj* control :
       {static_cast<TFormControlObj*>(&edit), static_cast<TFormControlObj*>(&box)}) {
    const plat::TCapturedImage look = plat::CaptureControl(*control->TheControl());
    const int left = control == &edit ? 10 : 200;
    int differ = 0;
    for (int y = 0; y < look.height; ++y)
      for (int x = 0; x < look.width; ++x)
        differ += paper.Canvas().Pixel(left + x, 20 + y) != AsColor(look.Pixel(x, y));
    EXPECT_EQ(differ, 0) << control->FName;
  }
  EXPECT_EQ(paper.Canvas().Pixel(9, 20), kPaper);

  // The hidden input has no look, and an image input's picture stands for it.
  plat::TBitmap blank;
  blank.SetSize(60, 40);
  blank.Canvas().Brush().SetColor(kPaper);
  blank.Canvas().FillRect({0, 0, 60, 40});
  Control<THiddenFormControlObj>("h").DrawOnCanvas(blank.Canvas(), 0, 0);
  Control<TImageFormControlObj>("i").DrawOnCanvas(blank.Canvas(), 0, 0);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(blank.Canvas().Pixel(x, y), kPaper);
}

}  // namespace
}  // namespace html::test
