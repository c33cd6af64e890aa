// Waiting for what the window system, timers or other processes do in their own time. A wait
// ends as soon as its condition holds; its deadline is only ever reached when something is wrong,
// never because the machine is busy.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "platform/windows/TestSeams.h"

namespace test_support {

inline constexpr std::chrono::seconds kPatience{30};
// How long a modal dialog may stay up before the test fails and the dialog is cancelled.
inline constexpr std::chrono::seconds kModalPatience{60};

// Runs the event loop until `done` holds, waking on every event the window system or a timer
// brings (and at least every tenth of a second, for changes other processes make). When the
// deadline passes first, the test fails naming what it waited for and what `seen` says was there
// instead, and the result is false.
template <class Done>
bool WaitUntil(std::string_view what, Done done, const std::function<std::string()>& seen = {}) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + kPatience;
  while (!done()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      ADD_FAILURE() << "Waited " << kPatience.count() << " s for " << what
                    << (seen ? "; seen instead: " + seen() : std::string());
      return false;
    }
    plat::WaitForEvents(static_cast<int>(std::min<decltype(left)>(left, 100)));
  }
  return true;
}

}  // namespace test_support
