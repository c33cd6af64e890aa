#include "platform/runtime/Timers.h"

#include <QTimer>

#include "platform/windows/ControlHost.h"
#include "platform/windows/QtRuntime.h"

namespace plat {

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  EnsureQtApplication();
  timer_ = std::make_unique<QTimer>();
  QObject::connect(timer_.get(), &QTimer::timeout, [this] { GuardEvent([this] { Timer(); }); });
  UpdateTimer();
}

TTimer::~TTimer() {
  timer_->stop();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  timer_->stop();
  if (enabled_ && interval_ > 0) timer_->start(static_cast<int>(interval_));
}

void TTimer::Timer() {
  // A copy runs: the handler may free this timer.
  if (TNotifyEvent handler = OnTimer) handler(this);
}

}  // namespace plat
