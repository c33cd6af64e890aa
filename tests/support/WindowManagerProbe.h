// Looks at windows on a real X display under a window manager (the display test groups): X
// properties through xprop, and a form's frame once the window manager has placed it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"
#include "support/Waiting.h"

namespace test_support {

// What xprop says about some properties of an X window ("-root" for the root window).
inline std::string WindowProperties(const std::string& window, const std::string& names) {
  std::string command = "xprop " + window + " " + names;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string text;
  char buffer[256];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) text += buffer;
  return text;
}

inline std::string WindowProperties(uint64_t window, const std::string& names) {
  return WindowProperties("-id " + std::to_string(window), names);
}

inline std::string Hex(uint64_t id) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(id));
  return text;
}

inline std::string Text(const plat::TRect& r) {
  return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ")-(" +
         std::to_string(r.Right) + ", " + std::to_string(r.Bottom) + ")";
}

// The window manager's title bar lies above the inside.
inline bool Titled(const plat::TWindowRelations& seen) {
  return seen.client.Top > seen.frame.Top;
}

// What the form's window looks like once `done` holds and the form no longer waits to be placed
// again in its frame: the window manager frames, places and sizes windows in its own time. When
// it never holds, the failure says what was seen last.
template <class Done>
plat::TWindowRelations Settled(plat::TCustomForm& form, const std::string& awaited, Done done) {
  plat::TWindowRelations seen;
  WaitUntil(
      awaited, [&] { return done(seen = plat::DescribeWindow(form)) && !plat::AwaitsFrame(form); },
      [&] {
        return "frame " + Text(seen.frame) + ", inside " + Text(seen.client) + ", form's bounds " +
               Text(form.BoundsRect()) + ", form's inside " + std::to_string(form.ClientWidth()) +
               " x " + std::to_string(form.ClientHeight()) + "; the window manager says: " +
               WindowProperties(seen.windowId, "WM_STATE _NET_FRAME_EXTENTS") +
               "and of itself: " + WindowProperties("-root", "_NET_SUPPORTING_WM_CHECK");
      });
  return seen;
}

// Once the window manager has put its frame, title bar included, round the form.
inline plat::TWindowRelations Framed(plat::TCustomForm& form) {
  return Settled(form, "a frame with a title bar", Titled);
}

// Once the form's frame, title bar included, stands at the rectangle, and the form knows it.
inline plat::TWindowRelations FramedAt(plat::TCustomForm& form, const plat::TRect& frame) {
  return Settled(form, "a frame with a title bar at " + Text(frame),
                 [&](const plat::TWindowRelations& seen) {
                   return seen.frame == frame && Titled(seen) && form.BoundsRect() == frame &&
                          form.ClientWidth() == seen.client.Width() &&
                          form.ClientHeight() == seen.client.Height();
                 });
}

}  // namespace test_support
