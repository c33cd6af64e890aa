#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/ControlHost.h"
#include "platform/QtRuntime.h"
#include "platform/TestSeams.h"

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
