// The image view on a real X display under a window manager, moved by the real pointer and
// wheel (xdotool): what the window system itself decides, where a wheel turn goes and what a
// press on the size grip starts, shows only there.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "graphics/Engine.h"
#include "graphics/controls/ImgView.h"
#include "support/Waiting.h"
#include "support/WindowManagerProbe.h"
#include "support/WindowsEnvironment.h"

namespace gfx {
namespace {

struct EngineEnvironment : testing::Environment {
  void SetUp() override { StartEngine(); }
};
const testing::Environment* const engine = testing::AddGlobalTestEnvironment(new EngineEnvironment);

// Runs xdotool with the arguments given; the pointer and buttons are the X server's own.
void Pointer(const std::string& arguments) {
  ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments;
}

// Lets the window system and the program exchange events for a while.
void Exchange(std::chrono::milliseconds span) {
  const auto end = std::chrono::steady_clock::now() + span;
  while (std::chrono::steady_clock::now() < end) plat::WaitForEvents(20);
}

std::string At(TPoint screen) {
  return std::to_string(screen.X) + " " + std::to_string(screen.Y);
}

class ViewOnDisplay : public testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(60, 60, 520, 380);
    view = form.Make<TImgView32>();
    view->SetParent(&form);
    view->SetAlign(plat::alClient);
    view->ScrollBars().SetSize(16);
    view->Bitmap().SetSize(2000, 1500);
    view->Bitmap().ClearWithColor(0xFF336699);
    form.Show();
    test_support::Framed(form);
  }

  plat::TForm form{nullptr};
  TImgView32* view = nullptr;
};

// The wheel turned over the horizontal bar goes to the bar under the pointer: the bar moves by
// its increment a notch and the picture follows it.
TEST_F(ViewOnDisplay, TheWheelOverABarScrollsThePicture) {
  TCustomRangeBar& bar = view->HorzBar();
  const float start = bar.Position();
  ASSERT_GT(start, 16.0f);  // centred on a picture wider than the view
  Pointer("mousemove " + At(bar.ClientToScreen({bar.ClientWidth() / 2, bar.ClientHeight() / 2})));
  Pointer("click 5 click 5");  // two notches down: towards the start
  ASSERT_TRUE(test_support::WaitUntil("the bar to move 16 back", [&] {
    return bar.Position() == start - 16;
  })) << bar.Position();
  EXPECT_FLOAT_EQ(view->OffsetHorz(), -bar.Position());
  EXPECT_EQ(view->GetBitmapRect().Left, -int32_t(bar.Position()));
}

// A press on the grip in the view's corner and a drag resize the form from its corner, as the
// window manager does when its own frame's corner is dragged.
TEST_F(ViewOnDisplay, DraggingTheSizeGripSizesTheForm) {
  ASSERT_TRUE(view->GripShown());
  const TRect grip = view->GripRect();
  const int width = form.Width(), height = form.Height();
  Pointer("mousemove " + At(view->ClientToScreen({grip.Left + 8, grip.Top + 8})) + " mousedown 1");
  // The window manager takes the drag once it has the request; move until the frame follows.
  bool sized = false;
  for (int step = 0; step < 40 && !sized; ++step) {
    Pointer("mousemove_relative -- 6 5");
    Exchange(std::chrono::milliseconds(100));
    sized = form.Width() > width + 10;
  }
  Pointer("mouseup 1");
  ASSERT_TRUE(sized) << form.Width() << " x " << form.Height();
  EXPECT_TRUE(
      test_support::WaitUntil("the window to grow", [&] { return form.Height() > height; }));
  // The view fills the larger form; its viewport and bars follow.
  EXPECT_EQ(view->Width(), form.ClientWidth());
  EXPECT_EQ(view->ViewportRect().Right, form.ClientWidth() - 16);
}

}  // namespace
}  // namespace gfx
