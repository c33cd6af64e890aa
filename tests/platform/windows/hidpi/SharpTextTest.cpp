// Custom-drawn controls on a screen at 200 %: their text is drawn at the screen's pixels, not
// at 1x and scaled up into 2 x 2 blocks.
#include <gtest/gtest.h>

#include <string>

#include "platform/windows/Application.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/Sharpness.h"

namespace plat {
namespace {

using test_support::SteepSteps;

template <class T>
T* Add(TForm& form, const TRect& bounds, const std::string& caption) {
  T* control = form.Make<T>();
  control->SetParent(&form);
  control->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
  control->SetCaption(caption);
  return control;
}

TEST(SharpText, LabelsPanelsAndSpeedButtonsDrawTextAtTheScreensPixels) {
  TForm form(nullptr);
  form.SetClientWidth(320);
  form.SetClientHeight(120);
  const TRect label{8, 8, 150, 28}, panel{160, 8, 310, 40}, speed{8, 50, 120, 80};
  Add<TLabel>(form, label, "Opacity: 255");
  Add<TPanel>(form, panel, "Opacity: 255");
  Add<TSpeedButton>(form, speed, "Paste");
  auto* grid = form.Make<TColorGrid>();
  grid->SetParent(&form);
  grid->SetBounds(160, 50, 80, 60);
  form.Show();
  Application().ProcessMessages();

  const TCapturedImage image = CaptureControl(form);
  ASSERT_EQ(image.width, 2 * form.ClientWidth()) << "the screen is not at 200 %";
  ASSERT_EQ(image.height, 2 * form.ClientHeight());
  for (const TRect& r : {label, panel, speed}) {
    EXPECT_GT(SteepSteps(image, r), 10) << r.Left << "," << r.Top;
  }
  // The grid's "FG" and "BG" marks.
  EXPECT_GT(SteepSteps(image, grid->BoundsRect()), 4);
  SaveScreenshot(form, ScreenshotFolder() + "/windows-hidpi-controls.png");
}

TEST(SharpText, HintsDrawTextAtTheScreensPixels) {
  THintWindow hint(nullptr);
  const TRect r = hint.CalcHintRect(300, "Picture Tools (Key : q)");
  hint.ActivateHint(r.Offset(40, 40), "Picture Tools (Key : q)");
  Application().ProcessMessages();
  const TCapturedImage image = CaptureControl(hint);
  ASSERT_EQ(image.width, 2 * r.Width());
  const TRect inside{2, 2, r.Width() - 2, r.Height() - 2};
  EXPECT_GT(SteepSteps(image, inside), 10);
  hint.ReleaseHandle();
}

}  // namespace
}  // namespace plat
