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

void FillPaper(plat::TBitmap& paper, int width, int height) {
  paper.SetSize(width, height);
  paper.Canvas().Brush().SetColor(kPaper);
  paper.Canvas().FillRect({0, 0, width, height});
}

TEST_F(FormDrawing, ControlsDrawTheirCurrentLookAtTheGivenPlace) {
  Load(
      "<form><input name=e value=start><input type=submit name=b value=Send>"
      "<input type=radio name=r value=1><input type=checkbox name=c>"
      "<select name=l size=3><option>one<option>two<option>three</select>"
      "<select name=o><option>first<option>second</select>"
      "<textarea name=t rows=3 cols=12>old</textarea></form>");
  // Each control's state changed after the load: the drawing shows it as it is now.
  Control<TEditFormControlObj>("e").Edit().SetText("typed text");
  Control<TRadioButtonFormControlObj>("r").Radio().SetChecked(true);
  Control<TCheckBoxFormControlObj>("c").Box().SetChecked(true);
  Control<TListBoxFormControlObj>("l").List().SetItemIndex(2);
  Control<TComboFormControlObj>("o").Combo().SetItemIndex(1);
  Control<TTextAreaFormControlObj>("t").Memo().SetText("new lines\nof text");
  plat::Application().ProcessMessages();

  const std::vector<TFormControlObj*> controls = {
      &Control<TEditFormControlObj>("e"),        &Control<TButtonFormControlObj>("b"),
      &Control<TRadioButtonFormControlObj>("r"), &Control<TCheckBoxFormControlObj>("c"),
      &Control<TListBoxFormControlObj>("l"),     &Control<TComboFormControlObj>("o"),
      &Control<TTextAreaFormControlObj>("t")};
  for (size_t i = 0; i < controls.size(); ++i) {
    TFormControlObj& control = *controls[i];
    const plat::TCapturedImage look = plat::CaptureControl(*control.TheControl());
    const int left = 5 + int(i) * 3, top = 7;
    plat::TBitmap paper;
    FillPaper(paper, left + look.width + 10, top + look.height + 10);
    control.DrawOnCanvas(paper.Canvas(), left, top);
    int differ = 0;
    for (int y = 0; y < look.height; ++y)
      for (int x = 0; x < look.width; ++x)
        differ += paper.Canvas().Pixel(left + x, top + y) != AsColor(look.Pixel(x, y));
    EXPECT_EQ(differ, 0) << control.FName;
    // Nothing outside the control's own box is touched.
    EXPECT_EQ(paper.Canvas().Pixel(left - 1, top), kPaper) << control.FName;
    EXPECT_EQ(paper.Canvas().Pixel(left, top - 1), kPaper) << control.FName;
    EXPECT_EQ(paper.Canvas().Pixel(left + look.width, top + look.height), kPaper) << control.FName;
  }
}

TEST_F(FormDrawing, HiddenAndImageInputsDrawNothing) {
  Load("<form><input type=hidden name=h value=1><input type=image name=i></form>");
  // The hidden input has no look, and an image input's picture stands for it.
  plat::TBitmap blank;
  FillPaper(blank, 60, 40);
  Control<THiddenFormControlObj>("h").DrawOnCanvas(blank.Canvas(), 0, 0);
  Control<TImageFormControlObj>("i").DrawOnCanvas(blank.Canvas(), 0, 0);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(blank.Canvas().Pixel(x, y), kPaper);
}

}  // namespace
}  // namespace html::test
