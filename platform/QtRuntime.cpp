#include "platform/QtRuntime.h"

#include <QApplication>
#include <memory>
#include <mutex>

namespace plat {
namespace {

// Qt keeps references to argc and argv for the application's whole life.
int storedArgc = 1;
char programName[] = "pixstamp";
char* defaultArgv[] = {programName, nullptr};
char** storedArgv = defaultArgv;

std::unique_ptr<QApplication> application;
std::mutex applicationMutex;

}  // namespace

void SetQtCommandLine(int argc, char** argv) {
  std::lock_guard guard(applicationMutex);
  if (argc >= 1 && argv != nullptr) {
    storedArgc = argc;
    storedArgv = argv;
  }
}

void EnsureQtApplication() {
  std::lock_guard guard(applicationMutex);
  if (QCoreApplication::instance() != nullptr) return;
  application = std::make_unique<QApplication>(storedArgc, storedArgv);
}

}  // namespace plat
