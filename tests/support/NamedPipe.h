// A named pipe, for what must never wait on one. Opening a pipe waits until its other end is
// opened; a test that would wait so gets the other end once its patience is over, and fails
// instead of hanging.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "support/Waiting.h"

namespace test_support {

class NamedPipe {
 public:
  explicit NamedPipe(std::string path) : path_(std::move(path)) {
    made_ = ::mkfifo(path_.c_str(), 0600) == 0;
  }
  ~NamedPipe() { ::unlink(path_.c_str()); }
  NamedPipe(const NamedPipe&) = delete;
  NamedPipe& operator=(const NamedPipe&) = delete;

  bool Made() const { return made_; }
  const std::string& Path() const { return path_; }

  // Runs action here; true when it returned by itself, false when it only returned after the
  // patience ran out and the pipe's other end came and went.
  template <class Action>
  bool ReturnsWithoutWaiting(Action action) {
    std::mutex mutex;
    std::condition_variable returned;
    bool done = false, otherEndCame = false;
    std::thread watch([&] {
      std::unique_lock lock(mutex);
      if (returned.wait_for(lock, kPatience, [&] { return done; })) return;
      otherEndCame = true;
      // Every opening that waits is let through (both ends at once), until the action returns.
      while (!done) {
        lock.unlock();
        const int bothEnds = ::open(path_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (bothEnds >= 0) ::close(bothEnds);
        lock.lock();
        returned.wait_for(lock, std::chrono::milliseconds(10), [&] { return done; });
      }
    });
    action();
    {
      std::lock_guard lock(mutex);
      done = true;
    }
    returned.notify_all();
    watch.join();
    return !otherEndCame;
  }

 private:
  std::string path_;
  bool made_ = false;
};

}  // namespace test_support
