// Forms on a real X display under a window manager: a modal form is a dialog tied to its owner's
// window, and forms fitted to the screen keep their whole frame on it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

class WindowManagerEnvironment : public testing::Environment {
 public:
  void SetUp() override { Application().Initialize(); }
  void TearDown() override { Application().DestroyForms(); }
};
const auto* const environment = testing::AddGlobalTestEnvironment(new WindowManagerEnvironment);

// What xprop says about some properties of an X window.
std::string WindowProperties(uint64_t window, const std::string& names) {
  std::string command = "xprop -id " + std::to_string(window) + " " + names;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string text;
  char buffer[256];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) text += buffer;
  return text;
}

std::string Hex(uint64_t id) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(id));
  return text;
}

// What the form's window looks like once `done` holds (or after two seconds): the window manager
// frames, places and sizes windows in its own time.
template <class Done>
TWindowRelations Settled(TCustomForm& form, Done done) {
  TWindowRelations seen;
  for (int i = 0; i < 200; ++i) {
    Application().ProcessMessages();
    seen = DescribeWindow(form);
    if (done(seen)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return seen;
}

// Once the window manager has put its frame round the form.
TWindowRelations Framed(TCustomForm& form) {
  return Settled(form,
                 [](const TWindowRelations& seen) { return seen.client.Top > seen.frame.Top; });
}

// Once the form's frame stands at the rectangle.
TWindowRelations FramedAt(TCustomForm& form, const TRect& frame) {
  return Settled(form, [&](const TWindowRelations& seen) { return seen.frame == frame; });
}

TEST(WindowManager, AModalFormIsADialogOfItsOwnersWindow) {
  TForm owner(nullptr);
  owner.SetBounds(40, 40, 600, 450);
  owner.Show();
  TWindowRelations ownerWindow = Framed(owner);
  auto* dialog = owner.Make<TForm>();
  dialog->SetFormBorderStyle(bsDialog);
  dialog->SetBounds(100, 100, 300, 200);
  std::string properties;
  TTimer timer(nullptr);
  timer.SetInterval(50);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    Framed(*dialog);
    properties = WindowProperties(DescribeWindow(*dialog).windowId,
                                  "WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE _MOTIF_WM_HINTS");
    dialog->SetModalResult(mrOk);
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_NE(properties.find("WM_TRANSIENT_FOR(WINDOW): window id # " + Hex(ownerWindow.windowId)),
            std::string::npos)
      << properties;
  EXPECT_NE(properties.find("_NET_WM_WINDOW_TYPE_DIALOG"), std::string::npos) << properties;
  // The window manager is asked for no minimise or maximise function or button: a fixed dialog
  // cannot be minimised away from the window it blocks.
  unsigned flags = 0, functions = 0, decorations = 0;
  size_t hints = properties.find("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = ");
  ASSERT_NE(hints, std::string::npos) << properties;
  ASSERT_EQ(std::sscanf(properties.c_str() + hints, "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = %x, %x, %x",
                        &flags, &functions, &decorations),
            3);
  constexpr unsigned kMinimize = 0x08, kMaximize = 0x10, kClose = 0x20;  // functions
  constexpr unsigned kMinimizeButton = 0x20, kMaximizeButton = 0x40;     // decorations
  EXPECT_EQ(flags & 3u, 3u);                                             // both fields are given
  EXPECT_EQ(functions & (kMinimize | kMaximize), 0u);
  EXPECT_NE(functions & kClose, 0u);
  EXPECT_EQ(decorations & (kMinimizeButton | kMaximizeButton), 0u);
}

TEST(WindowManager, FittedFormsKeepTheirFrameOnTheScreen) {
  TForm form(nullptr);
  form.SetBounds(200, 200, 400, 300);
  form.Show();
  Framed(form);
  const int width = Screen().Width(), height = Screen().Height();
  // The about box on a low screen: top 5, screen height - 10 high.
  form.SetBounds(200, 5, 400, height - 10);
  TWindowRelations seen = FramedAt(form, {200, 5, 600, height - 5});
  EXPECT_EQ(seen.frame.Top, 5);
  EXPECT_EQ(seen.frame.Bottom, height - 5);
  EXPECT_GT(seen.client.Top, seen.frame.Top);  // the title bar lies inside the bounds
  EXPECT_EQ(form.ClientHeight(), seen.client.Height());
  // "Enlarge this window": 20, 20, screen - 40.
  form.SetBounds(20, 20, width - 40, height - 40);
  seen = FramedAt(form, {20, 20, width - 20, height - 20});
  EXPECT_EQ(seen.frame, (TRect{20, 20, width - 20, height - 20}));
  EXPECT_EQ(form.BoundsRect(), seen.frame);
}

}  // namespace
}  // namespace plat
