// A virtual X display of a test's own, under a window manager, which the test may take away.
// Window titles are found and keys typed with xdotool, as a user's keyboard types them.
#pragma once

#include <sys/wait.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "RunningProgram.h"
#include "support/ChildProcess.h"
#include "support/Waiting.h"

namespace program_test {

class TOwnDisplay {
 public:
  static bool Available() {
    for (const char* tool :
         {"/usr/bin/Xvfb", "/usr/bin/openbox", "/usr/bin/xdotool", "/usr/bin/xclip"})
      if (!std::filesystem::exists(tool)) return false;
    return true;
  }

  // Starts the server and the manager; files go into folder.
  explicit TOwnDisplay(const std::string& folder)
      : output_(folder + "/server"),
        server_("/usr/bin/Xvfb",
                {"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                 "-noreset"},
                {}, output_) {
    // The server writes the number of the display it found free once it is ready, on a line of
    // its own among its warnings.
    test_support::WaitUntil("the virtual display's number", [&] {
      name_ = DisplayNumber();
      return !name_.empty() || !server_.Running();
    });
    if (name_.empty()) return;
    name_ = ":" + name_;
    // The manager names itself on the root window before it takes windows; it runs its startup
    // command once it is ready.
    const std::string readyMark = folder + "/manager-ready";
    std::filesystem::remove(readyMark);  // an earlier display's manager left it in the folder
    manager_.emplace(
        "/usr/bin/openbox",
        std::vector<std::string>{"openbox", "--sm-disable", "--startup", "touch " + readyMark},
        std::vector<std::string>{"DISPLAY=" + name_}, folder + "/manager");
    ready_ = test_support::WaitUntil("the window manager to take windows",
                                     [&] { return std::filesystem::exists(readyMark); });
  }

  bool Ready() const { return ready_; }
  const std::string& Name() const { return name_; }
  std::string ServerOutput() const { return ReadText(output_); }

  // Runs a tool of the window system (its path under /usr/bin) on this display.
  bool Succeeds(std::vector<std::string> command, const std::string& output = "/dev/null") const {
    test_support::ChildProcess tool("/usr/bin/" + command.front(), command, {"DISPLAY=" + name_},
                                    output);
    const auto status = tool.Wait();
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
  }
  // Whether a window whose title matches the pattern is shown.
  bool Shows(const std::string& titlePattern) const {
    return Succeeds({"xdotool", "search", "--onlyvisible", "--name", titlePattern});
  }
  // Types keys (xdotool's names) into the window that has the focus.
  bool Type(const std::string& keys) const { return Succeeds({"xdotool", "key", keys}); }
  // The server goes away, as it does when the session ends or the remote connection drops.
  void TakeAway() { server_.Signal(SIGTERM); }

 private:
  std::string DisplayNumber() const {
    std::istringstream lines(ReadText(output_));
    for (std::string line; std::getline(lines, line);)
      if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos &&
          !lines.eof())
        return line;
    return "";
  }

  std::string output_;
  test_support::ChildProcess server_;
  std::optional<test_support::ChildProcess> manager_;
  std::string name_;
  bool ready_ = false;
};

// The program on a display of its own.
class ProgramOnADisplay : public RunningProgram {
 protected:
  // Starts the program with its picture on the display; true once its window shows the picture.
  bool StartShowingThePicture(const TOwnDisplay& display) {
    Start({Picture()}, {"DISPLAY=" + display.Name(), "QT_QPA_PLATFORM=xcb"});
    return test_support::WaitUntil(
               "the program's window on the display",
               [&] { return display.Shows("start.bmp") || !program->Running(); }) &&
           program->Running();
  }
};

}  // namespace program_test
