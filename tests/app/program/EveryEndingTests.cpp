// Every way the program ends leaves the same files behind: the close box and Esc (which runs what
// the Close button runs), each answered "No" to the question about the unsaved picture, the
// termination signals, and the window system going away. Each run adds a layer from the
// clipboard first, so the run's work folder holds a picture when the end comes.
#include <sys/wait.h>

#include <csignal>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "OwnDisplay.h"
#include "RunningProgram.h"
#include "support/PngBytes.h"

namespace program_test {
namespace {

struct TEnding {
  const char* name;
  std::function<void(TOwnDisplay&, test_support::ChildProcess&)> end;
};

TEST_F(ProgramOnADisplay, EveryWayOfEndingLeavesTheSameFiles) {
  if (!TOwnDisplay::Available())
    GTEST_SKIP() << "needs Xvfb, openbox, xdotool and xclip (scripts/deps.sh)";
  const std::string clipped = home.File("clipped.png");
  std::ofstream(clipped, std::ios::binary)
      << test_support::PngBytes(8, 6, std::vector<uint32_t>(48, 0xFF20A040));
  const auto keys = [](const char* typed) {
    return [typed](TOwnDisplay& display, test_support::ChildProcess&) { display.Type(typed); };
  };
  const auto signal = [](int number) {
    return [number](TOwnDisplay&, test_support::ChildProcess& program) { program.Signal(number); };
  };
  const std::vector<TEnding> endings = {
      {"close box", keys("alt+F4")},
      {"Esc", keys("Escape")},
      {"SIGTERM", signal(SIGTERM)},
      {"SIGINT", signal(SIGINT)},
      {"SIGHUP", signal(SIGHUP)},
      {"window system gone", [](TOwnDisplay& display, auto&) { display.TakeAway(); }},
  };
  // The question's box is titled as the window was before a picture was opened.
  const std::string question =
      "^" +
      std::regex_replace(std::string(app::TitleName1) + std::string(app::TitleName2) + " - " +
                             std::string(app::TitleVersion),
                         std::regex(R"([.])"), R"(\.)") +
      "$";
  std::string expected;
  for (const TEnding& ending : endings) {
    SCOPED_TRACE(ending.name);
    StartAfresh();
    std::filesystem::remove_all(home.Path() / "tmp");
    TOwnDisplay display(home.Path().string());
    ASSERT_TRUE(display.Ready()) << display.ServerOutput();
    ASSERT_TRUE(StartShowingThePicture(display)) << Output();
    // A layer from the clipboard, kept in the work folder.
    ASSERT_TRUE(display.Succeeds(
        {"xclip", "-selection", "clipboard", "-target", "image/png", "-in", clipped}));
    ASSERT_TRUE(display.Succeeds(
        {"xdotool", "search", "--onlyvisible", "--name", "start.bmp", "windowactivate", "--sync"}));
    ASSERT_TRUE(display.Type("alt+d"));
    ASSERT_TRUE(test_support::WaitUntil("the work folder", [&] { return !WorkLeft().empty(); }))
        << Output();
    const std::string workFolder = WorkLeft().front();
    ASSERT_TRUE(test_support::WaitUntil("the pasted layer in the work folder", [&] {
      return !std::filesystem::is_empty(workFolder) || !program->Running();
    }));

    ending.end(display, *program);
    // The question about the unsaved picture, when one comes, is answered "No".
    bool answered = false;
    ASSERT_TRUE(test_support::WaitUntil("the program to end", [&] {
      if (!program->Running()) return true;
      if (!answered && display.Shows(question)) answered = display.Type("n");
      return false;
    })) << Output();
    EXPECT_EQ(Output().find("Sanitizer"), std::string::npos) << Output();
    EXPECT_TRUE(WorkLeft().empty());
    const std::string settings = ReadText(Settings());
    EXPECT_TRUE(SettingsHold(PictureFolderLine())) << settings;
    EXPECT_TRUE(SettingsHold(std::string(app::TextItemKey) + kKeptText)) << settings;
    if (expected.empty()) expected = settings;
    EXPECT_EQ(settings, expected);
  }
}

}  // namespace
}  // namespace program_test
