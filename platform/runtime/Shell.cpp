#include "platform/runtime/Shell.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/windows/ControlHost.h"
#include "platform/windows/QtRuntime.h"
#include "platform/windows/TestSeams.h"

namespace plat {

bool OpenLink(const std::string& target) {
  if (TestHooks().openedLinks) {
    TestHooks().openedLinks->push_back(target);
    return true;
  }
  EnsureQtApplication();
  QUrl url = QUrl::fromUserInput(ToQString(target));
  if (!url.isValid() || url.isEmpty()) return false;
  return QDesktopServices::openUrl(url);
}

}  // namespace plat
