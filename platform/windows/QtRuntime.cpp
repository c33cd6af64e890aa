#include "platform/windows/QtRuntime.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <algorithm>
#include <clocale>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

namespace plat {
namespace {

// Qt keeps references to argc and argv for the application's whole life, and takes its own
// options out of them.
int storedArgc = 1;
char programName[] = "pixstamp";
char* defaultArgv[] = {programName, nullptr};
char** storedArgv = defaultArgv;
// What follows "--" is the program's alone, whatever it looks like: Qt never sees it.
std::vector<char*> qtArgv;
std::vector<std::string> afterOptionsEnd;

// A key delivery running now: nested ones (a modal run inside a key handler) stack up.
struct TKeyDelivery {
  const QEvent* event;
  bool claimed;
};
std::vector<TKeyDelivery>& KeyDeliveries() {
  static std::vector<TKeyDelivery> deliveries;
  return deliveries;
}

class TLayerApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
      return QApplication::notify(receiver, event);
    KeyDeliveries().push_back({event, false});
    struct Pop {
      ~Pop() { KeyDeliveries().pop_back(); }
    } pop;
    return QApplication::notify(receiver, event);
  }
};

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
  if (argc < 1 || argv == nullptr) return;
  int optionsEnd = 1;
  while (optionsEnd < argc && std::string_view(argv[optionsEnd]) != "--") ++optionsEnd;
  qtArgv.assign(argv, argv + optionsEnd);
  qtArgv.push_back(nullptr);
  afterOptionsEnd.assign(argv + std::min(optionsEnd + 1, argc), argv + argc);
  storedArgc = optionsEnd;
  storedArgv = qtArgv.data();
}

std::vector<std::string> CommandLineArguments() {
  EnsureQtApplication();
  std::lock_guard guard(applicationMutex);
  std::vector<std::string> arguments(storedArgv + 1, storedArgv + storedArgc);
  arguments.insert(arguments.end(), afterOptionsEnd.begin(), afterOptionsEnd.end());
  return arguments;
}

void EnsureQtApplication() {
  std::lock_guard guard(applicationMutex);
  if (QCoreApplication::instance() != nullptr) return;
  holder.application = std::make_unique<TLayerApplication>(storedArgc, storedArgv);
  UseGreyDisabledText();
  // Qt adopts the user's locale; numbers in files and texts keep the "1.5" form.
  std::setlocale(LC_NUMERIC, "C");
}

void ShutdownQtApplication() {
  std::lock_guard guard(applicationMutex);
  holder.application.reset();
}

bool ClaimKeyDelivery(const QEvent* event) {
  auto& deliveries = KeyDeliveries();
  for (auto it = deliveries.rbegin(); it != deliveries.rend(); ++it)
    if (it->event == event) return !std::exchange(it->claimed, true);
  return true;  // delivered around the application object: nothing else will see it
}

}  // namespace plat
