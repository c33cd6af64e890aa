// Termination signals reach the message loop through a pipe: a signal handler may do next to
// nothing, so it only writes the signal's number, and the loop ends the run.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

#include "platform/windows/Application.h"
#include "platform/windows/QtRuntime.h"

namespace plat {
namespace {

constexpr int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// A closed terminal hangs up twice within a millisecond and a logout sends SIGTERM and SIGHUP
// together: a repeat this soon belongs to the same end. One that comes later means the end is
// stuck, and it ends the program at once, as without this handler.
constexpr time_t kRepeatGraceSeconds = 5;

int signalPipe[2] = {-1, -1};
volatile sig_atomic_t pendingSignal = 0;
volatile time_t firstSignalAt = 0;

time_t SecondsNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);  // async-signal-safe
  return now.tv_sec;
}

void OnTerminationSignal(int number) {
  if (pendingSignal != 0) {
    if (SecondsNow() - firstSignalAt < kRepeatGraceSeconds) return;
    std::signal(number, SIG_DFL);
    std::raise(number);
    return;
  }
  firstSignalAt = SecondsNow();
  pendingSignal = number;
  const unsigned char byte = static_cast<unsigned char>(number);
  [[maybe_unused]] ssize_t written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

void TApplication::EndOnTerminationSignals(std::function<void()> cleanup) {
  EnsureQtApplication();
  if (signalPipe[0] >= 0) return;
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // signals keep their default
  auto* notifier =
      new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, [this, cleanup = std::move(cleanup)] {
    unsigned char number = 0;
    if (::read(signalPipe[0], &number, 1) != 1) return;
    if (running_) {
      EndFromOutside(number);
      return;
    }
    if (cleanup) cleanup();
    std::signal(number, SIG_DFL);
    std::raise(number);
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : kTerminationSignals) sigaction(number, &action, nullptr);
}

void TApplication::EndByTerminationSignal() {
  if (terminationSignal_ == 0) return;
  std::signal(terminationSignal_, SIG_DFL);
  std::raise(terminationSignal_);
}

}  // namespace plat
