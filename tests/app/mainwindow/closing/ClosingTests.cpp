// The program run to its end as a user closes it from the keyboard: the close question never
// loses work by accident. One run a process, so this suite has a single test.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <functional>
#include <string>
#include <vector>

#include "app/mainwindow/CommandLine.h"
#include "app/mainwindow/MainUnit.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/ScratchFolder.h"

namespace {

// Esc on the question and its close box keep the window and the picture; "No" ends the program
// at once, without asking again.
TEST(ClosingTheProgram, DismissingTheQuestionKeepsTheWorkAndNoClosesAtOnce) {
  test_support::ScratchFolder home;
  setenv("PIXSTAMP_HOME", home.Path().c_str(), 1);
  gfx::TBitmap32 picture;
  picture.SetSize(64, 48);
  picture.ClearWithColor(0xFF336699);
  picture.SaveToFile(home.File("bg.bmp"));
  app::SetProgramArguments({home.File("bg.bmp")});
  plat::TestHooks().showMessageBoxes = true;
  app::TMainForm* main = nullptr;
  plat::Application().CreateForm(main);

  // The user's answers to the questions in turn; any question after them is answered "No" too.
  const std::vector<std::function<bool()>> answers = {
      [] { return plat::PressKeyOnMessageBox(plat::VK_ESCAPE); },
      [] { return plat::CloseMessageBox(); }, [] { return plat::PressKeyOnMessageBox('N', "n"); }};
  size_t questions = 0;
  uint64_t answered = 0;
  plat::TTimer reader(nullptr);
  reader.SetInterval(20);
  reader.OnTimer = [&](plat::TObject*) {
    // A button answers a moment after its key: a question gets one answer.
    const uint64_t box = plat::MessageBoxWindowId();
    if (!box || box == answered) return;
    if (answers[std::min(questions, answers.size() - 1)]()) {
      ++questions;
      answered = box;
    }
  };

  // Once the picture is in: a change to protect, then Esc on the window until it closes.
  std::vector<bool> showingAfterAnswer;
  plat::TTimer user(nullptr);
  user.SetInterval(50);
  user.OnTimer = [&](plat::TObject*) {
    if (!main->ImageLoaded || main->StartupState != 100) return;
    if (!main->Modified) plat::TypeText(*main, "+");
    plat::PressKey(*main, plat::VK_ESCAPE);
    showingAfterAnswer.push_back(main->Visible() && !plat::Application().Terminated());
  };
  plat::Application().Run();
  user.SetEnabled(false);
  reader.SetEnabled(false);

  EXPECT_EQ(questions, 3u);
  EXPECT_EQ(showingAfterAnswer, (std::vector<bool>{true, true, false}));
  EXPECT_TRUE(main->Modified);
  plat::TestHooks() = plat::TTestHooks{};
  app::SetProgramArguments({});
  unsetenv("PIXSTAMP_HOME");
}

}  // namespace
