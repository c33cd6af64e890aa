// A watch over modal runs for tests: a dialog nobody answers is reported and ended instead of
// keeping the test waiting for ever.
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <chrono>

#include "platform/windows/Forms.h"
#include "platform/windows/QtRuntime.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

using Clock = std::chrono::steady_clock;

struct ModalWatch {
  std::chrono::seconds limit{0};
  std::function<void(const std::string&)> expired;
  QPointer<QTimer> timer;
  QPointer<QWidget> watched;
  Clock::time_point since;
};

ModalWatch& Watch() {
  static ModalWatch watch;
  return watch;
}

std::string Describe(QWidget* window) {
  std::string text = window->metaObject()->className();
  if (TControl* control = TControl::FromWidget(window)) text = control->ClassName();
  text += " \"" + window->windowTitle().toStdString() + "\"";
  if (auto* box = qobject_cast<QMessageBox*>(window))
    text += " saying \"" + box->text().toStdString() + "\"";
  return text;
}

std::string DescribeModal(QWidget* modal) {
  std::string text = Describe(modal) + "; windows showing:";
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->isVisible()) text += " " + Describe(top) + ";";
  return text;
}

// Ends the run as Cancel would: a dialog is rejected, a form gets the Cancel result.
void EndModal(QWidget* modal) {
  if (auto* dialog = qobject_cast<QDialog*>(modal)) return dialog->reject();
  if (auto* form = dynamic_cast<TCustomForm*>(TControl::FromWidget(modal)))
    form->SetModalResult(mrCancel);
}

void CheckModal() {
  ModalWatch& watch = Watch();
  QWidget* modal = QApplication::activeModalWidget();
  const Clock::time_point now = Clock::now();
  if (modal != watch.watched) {
    watch.watched = modal;
    watch.since = now;
    return;
  }
  if (!modal || now - watch.since < watch.limit) return;
  watch.watched = nullptr;
  if (watch.expired) watch.expired(DescribeModal(modal));
  EndModal(modal);
}

}  // namespace

void LimitModalRuns(int seconds, std::function<void(const std::string& whatShows)> expired) {
  ModalWatch& watch = Watch();
  watch.limit = std::chrono::seconds(seconds);
  watch.expired = std::move(expired);
  watch.watched = nullptr;
  if (seconds <= 0) {
    delete watch.timer.data();
    return;
  }
  if (watch.timer || !QCoreApplication::instance()) return;
  // Timers fire in nested loops too, so the watch sees every modal run as it goes on.
  watch.timer = new QTimer(QCoreApplication::instance());  // owned by the application
  QObject::connect(watch.timer, &QTimer::timeout, CheckModal);
  watch.timer->start(250);
}

}  // namespace plat
