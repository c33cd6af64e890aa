// Waiting for what the window system, timers or other processes do in their own time. A wait
// ends as soon as its condition holds; its deadline is only ever reached when something is wrong,
// never because the machine is busy.
#pragma once

#include <algorithm>
#include <chrono>

#include "platform/windows/TestSeams.h"

namespace test_support {

inline constexpr std::chrono::seconds kPatience{30};

// Runs the event loop until `done` holds, waking on every event the window system or a timer
// brings (and at least every tenth of a second, for changes other processes make); false when
// the deadline passes first.
template <class Done>
bool WaitUntil(Done done) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + kPatience;
  while (!done()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    plat::WaitForEvents(static_cast<int>(std::min<decltype(left)>(left, 100)));
  }
  return true;
}

}  // namespace test_support
