// Looks at windows on a real X display under a window manager (the display test groups): X
// properties through xprop, and a form's frame once the window manager has placed it.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"

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

// What the form's window looks like once `done` holds (or after two seconds): the window manager
// frames, places and sizes windows in its own time.
template <class Done>
plat::TWindowRelations Settled(plat::TCustomForm& form, Done done) {
  plat::TWindowRelations seen;
  for (int i = 0; i < 200; ++i) {
    plat::Application().ProcessMessages();
    seen = plat::DescribeWindow(form);
    if (done(seen)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return seen;
}

// Once the window manager has put its frame round the form.
inline plat::TWindowRelations Framed(plat::TCustomForm& form) {
  return Settled(
      form, [](const plat::TWindowRelations& seen) { return seen.client.Top > seen.frame.Top; });
}

// Once the form's frame stands at the rectangle.
inline plat::TWindowRelations FramedAt(plat::TCustomForm& form, const plat::TRect& frame) {
  return Settled(form, [&](const plat::TWindowRelations& seen) { return seen.frame == frame; });
}

}  // namespace test_support
