// However the program is ended from outside - a termination signal (a logout, kill, Ctrl+C, a
// closed terminal) or the window system going away - it leaves the settings written, as closing
// its window does, and no work files.
#include <sys/wait.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>

#include "OwnDisplay.h"
#include "RunningProgram.h"

namespace program_test {
namespace {

TEST_F(RunningProgram, ATerminationSignalEndsItAsClosingTheWindowDoes) {
  for (int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(number));
    StartAfresh();
    Start({Picture()});
    ASSERT_TRUE(SetUpDone()) << Output();
    ASSERT_TRUE(EndsBy(number)) << Output();
    EXPECT_TRUE(SettingsHold(PictureFolderLine())) << ReadText(Settings());
    EXPECT_TRUE(SettingsHold(std::string(app::TextItemKey) + kKeptText));
    EXPECT_TRUE(WorkLeft().empty());
  }
}

// A closed terminal hangs up twice at once, a logout sends SIGTERM and SIGHUP together: the
// repeat belongs to the same end and cuts nothing short.
TEST_F(RunningProgram, ASignalRightAfterTheFirstEndsItAsTheFirstDoes) {
  for (int second : {SIGHUP, SIGTERM}) {
    SCOPED_TRACE(strsignal(second));
    StartAfresh();
    Start({Picture()});
    ASSERT_TRUE(SetUpDone()) << Output();
    ASSERT_TRUE(program->Signal(SIGTERM));
    ASSERT_TRUE(program->Signal(second));
    const auto status = program->Wait();
    ASSERT_TRUE(status && WIFSIGNALED(*status)) << Output();
    // Both are pending at once, and the kernel hands the lower number over first.
    EXPECT_TRUE(WTERMSIG(*status) == SIGTERM || WTERMSIG(*status) == second) << WTERMSIG(*status);
    EXPECT_TRUE(SettingsHold(PictureFolderLine())) << ReadText(Settings());
    EXPECT_TRUE(WorkLeft().empty());
  }
}

TEST_F(ProgramOnADisplay, TheWindowSystemGoingAwayStillLeavesTheSettingsWritten) {
  if (!TOwnDisplay::Available())
    GTEST_SKIP() << "needs Xvfb, openbox, xdotool and xclip (scripts/deps.sh)";
  TOwnDisplay display(home.Path().string());
  ASSERT_TRUE(display.Ready()) << display.ServerOutput();
  ASSERT_TRUE(StartShowingThePicture(display)) << Output();
  display.TakeAway();
  const auto status = program->Wait();
  ASSERT_TRUE(status) << "still running without its display";
  // Qt ends the program itself when the display is gone; nothing may crash on the way.
  EXPECT_TRUE(WIFEXITED(*status)) << Output();
  EXPECT_EQ(Output().find("Sanitizer"), std::string::npos) << Output();
  EXPECT_TRUE(SettingsHold(PictureFolderLine())) << ReadText(Settings());
  EXPECT_TRUE(SettingsHold(std::string(app::TextItemKey) + kKeptText));
  EXPECT_TRUE(WorkLeft().empty());
}

}  // namespace
}  // namespace program_test
