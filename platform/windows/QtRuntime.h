// The one Qt application object of the program, created on first use.
#pragma once

#include <string>
#include <vector>

class QEvent;

namespace plat {

// Keeps the command line handed to Qt when the application object is created (the arguments
// must stay valid for the whole run); call it before the first EnsureQtApplication.
void SetQtCommandLine(int argc, char** argv);

// The command line after the program's name, without the options Qt takes for itself (-style,
// -platform, -display, ...); after "--" every argument is the program's. Creates the Qt
// application, which takes its options out.
std::vector<std::string> CommandLineArguments();

// Creates the QApplication (widgets) unless one exists; every font, text, painting and window
// function of the layer calls it, so start-up order does not matter.
void EnsureQtApplication();

// Destroys the application object made by EnsureQtApplication; the program's shutdown calls it
// after the last window is gone. Without it the object lives until the process ends.
void ShutdownQtApplication();

// Qt passes a key event from the focused widget up through its parents within one delivery, and
// the window system delivers every key in the same event object. The layer handles a delivery
// once: true for the first control that asks about this event in the running delivery.
bool ClaimKeyDelivery(const QEvent* event);

}  // namespace plat
