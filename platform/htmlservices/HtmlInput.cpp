#include "platform/htmlservices/HtmlInput.h"

#include <QGuiApplication>

#include "platform/windows/QtRuntime.h"

namespace plat {

bool LeftMouseButtonDown() {
  EnsureQtApplication();
  return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
}

}  // namespace plat
