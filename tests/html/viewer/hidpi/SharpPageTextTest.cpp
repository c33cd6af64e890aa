// Page text on a screen at 200 %: drawn at the screen's pixels like the rest of the window.
#include <gtest/gtest.h>

#include "html/viewer/PageViewer.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/Sharpness.h"
#include "support/ShownForm.h"

namespace html {
namespace {

class SharpPageText : public test_support::ShownFormTest {
 protected:
  SharpPageText() : ShownFormTest({100, 100, 300, 200}) {}
};

TEST_F(SharpPageText, TextOfAPageIsDrawnAtTheScreensPixels) {
  auto* viewer = Add<TPageViewer>(0, 0, 300, 200);
  viewer->SetBorderStyle(htNone);
  viewer->LoadFromString("<p>PixStamp 2.0 draws watermarks.</p><p><b>Bold text</b></p>", "");
  plat::Application().ProcessMessages();
  const plat::TCapturedImage image = plat::CaptureControl(viewer->PaintPanel());
  const plat::TRect panel = viewer->PaintPanel().ClientRect();
  ASSERT_EQ(image.width, 2 * panel.Width()) << "the screen is not at 200 %";
  EXPECT_GT(test_support::SteepSteps(image, panel), 20);
}

}  // namespace
}  // namespace html
