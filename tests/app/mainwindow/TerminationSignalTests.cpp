// A run ended from outside (shutdown, Ctrl+C, a closed terminal) removes its work folder and
// still ends by the signal. Each signal is sent to a fresh process of this suite that started as
// the program does and waits in its message loop.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/runtime/Files.h"
#include "platform/windows/TestSeams.h"
#include "support/ScratchFolder.h"
#include "support/Waiting.h"

extern char** environ;

namespace {

constexpr char kReadyVariable[] = "PIXSTAMP_TEST_READY";

pid_t StartWaitingChild(const std::string& home, const std::string& ready) {
  std::vector<std::string> arguments{"/proc/self/exe",
                                     "--gtest_filter=TerminationSignal.DISABLED_WaitInTheLoop",
                                     "--gtest_also_run_disabled_tests"};
  std::vector<std::string> added{"PIXSTAMP_HOME=" + home,
                                 std::string(kReadyVariable) + "=" + ready};
  std::vector<char*> argv, envp;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (std::string& v : added) envp.push_back(v.data());
  envp.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv.data(), envp.data()) != 0)
    return -1;
  return child;
}

TEST(TerminationSignal, RemovesTheWorkFolderAndEndsByTheSignal) {
  for (int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(number));
    test_support::ScratchFolder home;
    const std::string ready = home.File("ready");
    const pid_t child = StartWaitingChild(home.Path().string(), ready);
    ASSERT_GT(child, 0);
    std::string workFolder;
    const bool started = test_support::WaitUntil([&] {
      std::ifstream(ready) >> workFolder;
      return !workFolder.empty();
    });
    if (!started) kill(child, SIGKILL);
    ASSERT_TRUE(started) << "the child never reported its work folder";
    ASSERT_TRUE(std::filesystem::exists(workFolder + "kept.bmp"));
    ASSERT_EQ(kill(child, number), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), number);
    EXPECT_FALSE(std::filesystem::exists(workFolder));
  }
}

// Runs only in the child: makes the work folder with a file in it, says where, and waits in the
// event loop for the signal (giving up after a minute so a broken parent leaves nothing behind).
TEST(TerminationSignal, DISABLED_WaitInTheLoop) {
  const char* ready = std::getenv(kReadyVariable);
  ASSERT_NE(ready, nullptr);
  const std::string folder = plat::WorkFolder();
  std::ofstream(folder + "kept.bmp") << "picture";
  std::ofstream(std::string(ready) + ".part") << folder;
  std::filesystem::rename(std::string(ready) + ".part", ready);
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < end) plat::WaitForEvents(1000);
}

}  // namespace
