#include "platform/windows/QtRuntime.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <clocale>
#include <memory>
#include <mutex>

namespace plat {
namespace {

// Qt keeps references to argc and argv for the application's whole life.
int storedArgc = 1;
char programName[] = "pixstamp";
char* defaultArgv[] = {programName, nullptr};
char** storedArgv = defaultArgv;

struct ApplicationHolder {
  std::unique_ptr<QApplication> application;
  // When nobody shut Qt down, the object is left to the end of the process: by the time static
  // objects are destroyed, Qt's own globals may be gone and its destructor would crash.
  ~ApplicationHolder() { static_cast<void>(application.release()); }
};

ApplicationHolder holder;
std::mutex applicationMutex;

// Disabled captions in the system's grey text colour: the style's own disabled text is almost the
// silver of the program's dialogs, so disabled check boxes and radio items would show no caption.
void UseGreyDisabledText() {
  QPalette palette = QApplication::palette();
  const QColor grayText(0x80, 0x80, 0x80);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, grayText);
  QApplication::setPalette(palette);
}

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
  holder.application = std::make_unique<QApplication>(storedArgc, storedArgv);
  UseGreyDisabledText();
  // Qt adopts the user's locale; numbers in files and texts keep the "1.5" form.
  std::setlocale(LC_NUMERIC, "C");
}

void ShutdownQtApplication() {
  std::lock_guard guard(applicationMutex);
  holder.application.reset();
}

}  // namespace plat
