// However the program is ended from outside - a termination signal (a logout, kill, Ctrl+C, a
// closed terminal) or the window system going away - it leaves the settings written, as closing
// its window does, and no work files.
#include <sys/wait.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

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

// Whether the display shows a window with the title.
bool ShowsWindow(const std::string& display, const std::string& title) {
  test_support::ChildProcess search("/usr/bin/xdotool", {"xdotool", "search", "--name", title},
                                    {"DISPLAY=" + display}, "/dev/null");
  const auto status = search.Wait();
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

TEST_F(RunningProgram, TheWindowSystemGoingAwayStillLeavesTheSettingsWritten) {
  if (!std::filesystem::exists("/usr/bin/Xvfb") || !std::filesystem::exists("/usr/bin/xdotool"))
    GTEST_SKIP() << "needs Xvfb and xdotool (scripts/deps.sh installs them)";
  // The server writes the number of the display it found free to its output once it is ready, on
  // a line of its own among its warnings.
  const std::string outputFile = home.File("server");
  test_support::ChildProcess server(
      "/usr/bin/Xvfb",
      {"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
      {}, outputFile);
  ASSERT_TRUE(server.Started());
  std::string number;
  const auto displayNumber = [&] {
    std::istringstream lines(ReadText(outputFile));
    for (std::string line; std::getline(lines, line);)
      if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos &&
          !lines.eof())
        return line;
    return std::string();
  };
  ASSERT_TRUE(test_support::WaitUntil("the virtual display's number", [&] {
    number = displayNumber();
    return !number.empty() || !server.Running();
  }));
  ASSERT_FALSE(number.empty()) << ReadText(outputFile);
  const std::string display = ":" + number;

  Start({Picture()}, {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"});
  ASSERT_TRUE(test_support::WaitUntil("the program's window on the display", [&] {
    return ShowsWindow(display, "start.bmp") || !program->Running();
  })) << Output();
  ASSERT_TRUE(program->Running()) << Output();
  ASSERT_TRUE(server.Signal(SIGTERM));
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
