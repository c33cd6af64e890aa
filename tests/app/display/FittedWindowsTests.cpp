// The editor's windows that fit themselves to the screen, on a real low screen under a window
// manager: their whole frame, title bar included, stays on the screen.
#include <gtest/gtest.h>

#include "app/about/AboutBox.h"
#include "app/extcolor/ExtendedColorDialog.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/windows/Application.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/ScratchFolder.h"
#include "support/WindowManagerProbe.h"

namespace {

using test_support::FramedAt;
using test_support::Settled;

TEST(FittedWindows, TheAboutBoxOnALowScreenStandsFiveBelowTheTop) {
  const int height = plat::Screen().Height();
  ASSERT_LT(height, 800) << "the about box fits itself only to screens under 800 high";
  app::TAboutBox box(nullptr, "<p>PixStamp</p>");
  box.Show();
  // The box fits itself on its first timer tick.
  const plat::TWindowRelations seen =
      Settled(box, "the fitted frame with a title bar", [&](const plat::TWindowRelations& s) {
        return s.frame.Top == 5 && s.frame.Bottom == height - 5 && test_support::Titled(s) &&
               box.Top() == 5 && box.Height() == height - 10;
      });
  EXPECT_EQ(seen.frame.Top, 5);
  EXPECT_EQ(seen.frame.Bottom, height - 5);
  EXPECT_GT(seen.client.Top, seen.frame.Top);  // the title bar lies on the screen
  EXPECT_EQ(box.Top(), 5);
  EXPECT_EQ(box.Height(), height - 10);
}

TEST(FittedWindows, EnlargeSpreadsTheColourWindowTwentyFromEveryEdge) {
  test_support::ScratchFolder folder;
  const std::string work = folder.File("work.bmp");
  gfx::TBitmap32 picture;
  picture.SetSize(90, 60);
  picture.ClearWithColor(0xFF336699);
  picture.SaveToFile(work);
  app::TFormExtendedColor dialog(nullptr);
  dialog.SetFileName(work);
  dialog.Show();
  // On a low screen the dialog first fits itself at 5 from the edges, on a timer tick after
  // it shows; Enlarge comes after that.
  const int width = plat::Screen().Width(), height = plat::Screen().Height();
  const plat::TRect fitted{5, 5, width - 5, height - 5};
  EXPECT_EQ(FramedAt(dialog, fitted).frame, fitted);
  // The button pressed from the keyboard, as the window system delivers it.
  dialog.EnlargeButton->SetFocus();
  plat::Application().ProcessMessages();
  plat::PressKey(dialog, plat::VK_SPACE, " ");
  const plat::TRect wanted{20, 20, width - 20, height - 20};
  const plat::TWindowRelations seen = FramedAt(dialog, wanted);
  EXPECT_EQ(seen.frame, wanted);
  EXPECT_GT(seen.client.Top, seen.frame.Top);
  EXPECT_FALSE(dialog.EnlargeButton->Enabled());
}

}  // namespace
