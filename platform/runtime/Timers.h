// Timers that tick on the user-interface thread, also inside modal loops.
#pragma once

#include <memory>

#include "platform/runtime/Components.h"

class QTimer;

namespace plat {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  // Acts only on a change: enabling a running timer does not restart its count.
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  // A new interval restarts the count of a running timer.
  void SetInterval(unsigned ms);

  TNotifyEvent OnTimer;

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  std::unique_ptr<QTimer> timer_;
  bool enabled_ = true;
  unsigned interval_ = 1000;
};

}  // namespace plat
