// A run ended from outside (shutdown, Ctrl+C, a closed terminal) still ends by the signal, and
// removes its work folder. In the message loop it ends as closing the main window does, whatever
// dialog is open: the settings are written. Each signal is sent to a fresh process of this suite.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "app/ProgramStart.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/Settings.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/TestSeams.h"
#include "support/ChildProcess.h"
#include "support/ScratchFolder.h"
#include "support/Waiting.h"

namespace {

constexpr char kReadyVariable[] = "PIXSTAMP_TEST_READY";
constexpr char kRunText[] = "a text of this run";

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A child of this suite running the disabled test `name`, ended by `number` once it has said
// where its work folder is; returns its wait status.
struct TSignalledChild {
  test_support::ScratchFolder home;
  std::string workFolder;
  std::optional<int> status;

  void Run(const std::string& name, int number) {
    const std::string ready = home.File("ready");
    test_support::ChildProcess child(
        "/proc/self/exe",
        {"/proc/self/exe", "--gtest_filter=TerminationSignal." + name,
         "--gtest_also_run_disabled_tests"},
        {"PIXSTAMP_HOME=" + home.Path().string(), std::string(kReadyVariable) + "=" + ready});
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(test_support::WaitUntil("the child to report its work folder", [&] {
      workFolder = ReadText(ready);
      return !workFolder.empty() || !child.Running();
    })) << "the child never reported its work folder";
    ASSERT_FALSE(workFolder.empty()) << "the child ended early";
    ASSERT_TRUE(std::filesystem::exists(workFolder + "kept.bmp"));
    ASSERT_TRUE(child.Signal(number));
    status = child.Wait();
    ASSERT_TRUE(status) << "still running after the signal";
  }
};

// Makes the work folder with a file in it and says where.
void ReportWorkFolder() {
  const char* ready = std::getenv(kReadyVariable);
  ASSERT_NE(ready, nullptr);
  const std::string folder = plat::WorkFolder();
  std::ofstream(folder + "kept.bmp") << "picture";
  std::ofstream(std::string(ready) + ".part") << folder;
  std::filesystem::rename(std::string(ready) + ".part", ready);
}

TEST(TerminationSignal, OutsideTheLoopRemovesTheWorkFolderAndEndsByTheSignal) {
  for (int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(number));
    TSignalledChild child;
    child.Run("DISABLED_WaitOutsideTheLoop", number);
    ASSERT_TRUE(WIFSIGNALED(*child.status)) << "exit status " << WEXITSTATUS(*child.status);
    EXPECT_EQ(WTERMSIG(*child.status), number);
    EXPECT_FALSE(std::filesystem::exists(child.workFolder));
  }
}

// Runs only in the child: waits for the signal in the event loop, but not in the message loop of
// a run (giving up after a minute so a broken parent leaves nothing behind).
TEST(TerminationSignal, DISABLED_WaitOutsideTheLoop) {
  ReportWorkFolder();
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < end) plat::WaitForEvents(1000);
}

TEST(TerminationSignal, InTheLoopEndsAsClosingTheWindowDoesWithADialogOpen) {
  TSignalledChild child;
  child.Run("DISABLED_RunWithADialogOpen", SIGTERM);
  ASSERT_TRUE(WIFSIGNALED(*child.status)) << "exit status " << WEXITSTATUS(*child.status);
  EXPECT_EQ(WTERMSIG(*child.status), SIGTERM);
  EXPECT_FALSE(std::filesystem::exists(child.workFolder));
  const std::string settings = ReadText(child.home.File("config/settings.ini"));
  EXPECT_NE(settings.find(std::string(app::TextItemKey) + kRunText + "\n"), std::string::npos)
      << settings;
  // The open question and the dialog under it were dismissed, and neither a dialog nor a box
  // asked for afterwards was shown.
  EXPECT_EQ(ReadText(child.home.File("dialogs")),
            "question dismissed, dialog cancelled, none shown after");
}

// Runs only in the child, as the program runs: a text saved in this run, the work folder made,
// and a question open over a dialog when the signal comes.
TEST(TerminationSignal, DISABLED_RunWithADialogOpen) {
  app::TMainForm* mainForm = nullptr;
  plat::Application().CreateForm(mainForm);
  mainForm->TextItems.Add(kRunText);
  plat::TestHooks().showMessageBoxes = true;
  std::string dialogs;
  plat::TTimer opener(nullptr), asker(nullptr);
  opener.SetInterval(10);
  opener.OnTimer = [&](plat::TObject*) {
    opener.SetEnabled(false);
    plat::TForm dialog(nullptr);
    dialog.OnShow = [&](plat::TObject*) { asker.SetEnabled(true); };
    const plat::TModalResult result = dialog.ShowModal();
    dialogs += result == plat::mrCancel ? ", dialog cancelled" : ", dialog answered";
    bool shown = false;
    plat::TForm later(nullptr);
    later.OnShow = [&](plat::TObject*) { shown = true; };
    later.ShowModal();
    // A box shown now would flash and close unanswered, which says neither Yes nor Cancel.
    const bool dismissed =
        plat::ShowMessageBox("Asked after the end?", "", plat::MB_YESNO) == plat::IDCANCEL;
    dialogs += shown || !dismissed ? ", shown after" : ", none shown after";
  };
  asker.SetEnabled(false);
  asker.SetInterval(10);
  asker.OnTimer = [&](plat::TObject*) {
    asker.SetEnabled(false);
    plat::TTimer ready(nullptr);
    ready.SetInterval(10);
    ready.OnTimer = [&](plat::TObject*) {
      if (plat::MessageBoxWindowId() == 0) return;
      ready.SetEnabled(false);
      ReportWorkFolder();
    };
    const int answer = plat::ShowMessageBox("Still there?", "", plat::MB_YESNO);
    dialogs = answer == plat::IDCANCEL ? "question dismissed" : "question answered";
  };
  // A broken parent leaves nothing behind: the run gives up after a minute.
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  plat::TTimer patience(nullptr);
  patience.OnTimer = [&](plat::TObject*) {
    if (std::chrono::steady_clock::now() > end) plat::Application().Terminate();
  };
  plat::Application().Run();
  std::ofstream(plat::JoinPath(std::getenv("PIXSTAMP_HOME"), "dialogs")) << dialogs;
  // As the program ends.
  app::StopProgram();
  plat::Application().EndByTerminationSignal();
}

}  // namespace
