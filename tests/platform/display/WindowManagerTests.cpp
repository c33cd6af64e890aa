// Forms on a real X display under a window manager: a modal form is a dialog tied to its owner's
// window, and forms fitted to the screen keep their whole frame on it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"
#include "support/WindowManagerProbe.h"
#include "support/WindowsEnvironment.h"

namespace plat {
namespace {

using test_support::Framed;
using test_support::FramedAt;
using test_support::Hex;
using test_support::WindowProperties;

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

// The title the window manager shows, not only the caption the program asked for: Qt would add
// the executable's name to a title that lacks it.
TEST(WindowManager, InformationBoxesAreTitledWithTheApplicationsTitle) {
  TForm owner(nullptr);
  owner.SetBounds(40, 40, 400, 300);
  owner.Show();
  Framed(owner);
  TTestHooksScope hooks;
  TestHooks().showMessageBoxes = true;
  const std::string titled = "_NET_WM_NAME(UTF8_STRING) = \"PixStamp\"\n";
  std::string title;
  TTimer timer(nullptr);
  timer.SetInterval(50);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    test_support::WaitUntil("the message box's title", [&] {
      const uint64_t box = MessageBoxWindowId();
      title = box ? WindowProperties(box, "_NET_WM_NAME") : "no message box";
      return title == titled;
    });
    PressKeyOnMessageBox(VK_RETURN);
  };
  ShowMessage("The clipboard holds no picture.");
  EXPECT_EQ(title, titled);
}

}  // namespace
}  // namespace plat
