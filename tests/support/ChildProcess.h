// Other programs a test starts: the program itself, a test of this suite in a fresh process, a
// window server. A child still running when the test is done is killed, never left behind.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Waiting.h"

extern char** environ;

namespace test_support {

class ChildProcess {
 public:
  // Starts program with arguments (the first one is the program's name) and this process's
  // environment with variables ("NAME=value") added or put in place of the same names. The child
  // starts with the signal dispositions of a freshly started program. Standard output and errors
  // go to outputFile when one is named.
  ChildProcess(const std::string& program, std::vector<std::string> arguments,
               std::vector<std::string> variables, const std::string& outputFile = "") {
    std::vector<char*> argv, envp;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (char** e = environ; *e; ++e) {
      const std::string_view entry(*e);
      const auto sameName = [&](const std::string& v) {
        return entry.substr(0, entry.find('=') + 1) ==
               std::string_view(v).substr(0, v.find('=') + 1);
      };
      if (std::none_of(variables.begin(), variables.end(), sameName)) envp.push_back(*e);
    }
    for (std::string& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t fresh;
    sigemptyset(&fresh);
    for (int number : {SIGXFSZ, SIGPIPE, SIGTERM, SIGINT, SIGHUP}) sigaddset(&fresh, number);
    posix_spawnattr_setsigdefault(&attributes, &fresh);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!outputFile.empty()) {
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0644);
      posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }
    if (posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), envp.data()) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  ~ChildProcess() {
    if (Running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  bool Signal(int number) const { return Started() && kill(pid_, number) == 0; }
  // Whether the child has not ended yet.
  bool Running() {
    if (!Started() || status_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    status_ = status;
    return false;
  }
  // The child's wait status once it has ended; none when it is still running after the patience
  // of every wait (it is killed with the test).
  std::optional<int> Wait() {
    WaitUntil("the child process to end", [&] { return !Running(); });
    return status_;
  }

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// The program of the build the suite belongs to.
inline std::string ProgramFile() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string self(path, length > 0 ? size_t(length) : 0);
  return self.substr(0, self.rfind('/') + 1) + "pixstamp";
}

}  // namespace test_support
