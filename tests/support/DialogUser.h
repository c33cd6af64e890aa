// A user at the program's dialogs: clicks with the mouse, and actions taken once a modal dialog
// shows, from inside its own modal run, as the window system delivers them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "platform/runtime/Timers.h"
#include "platform/windows/Controls.h"
#include "platform/windows/TestSeams.h"

namespace test_support {

// A left click at a point of the control, by default its middle.
inline void Click(plat::TControl& control, plat::TPoint at) {
  plat::SimulateMouse(control, plat::TMouseAction::Press, plat::mbLeft, at);
  plat::SimulateMouse(control, plat::TMouseAction::Release, plat::mbLeft, at);
}
inline void Click(plat::TControl& control) {
  Click(control, {control.Width() / 2, control.Height() / 2});
}

// A left click on the index-th item of a radio group or list box, on its button or the start of
// its text, wherever the desktop's fonts and style put it.
inline void ClickItem(plat::TControl& control, int index) {
  const plat::TRect item = plat::ItemBounds(control, index);
  ASSERT_FALSE(item.IsEmpty()) << "no item " << index << " to click";
  Click(control, {item.Left + item.Height() / 2, (item.Top + item.Bottom) / 2});
}

// Replaces the text of an edit of the window by typing, as the user does.
inline void Retype(plat::TControl& window, plat::TWinControl& edit, const std::string& text) {
  edit.SetFocus();
  plat::PressKey(window, 'A', "", plat::ssCtrl);
  plat::PressKey(window, plat::VK_DELETE);
  plat::TypeText(window, text);
}

// Runs the action given to Next once `find` names a dialog that shows, then waits for the next.
template <class Form>
class DialogUser {
 public:
  explicit DialogUser(std::function<Form*()> find) : find_(std::move(find)) {
    timer_.SetInterval(20);
    timer_.OnTimer = [this](plat::TObject*) {
      Form* form = act_ ? find_() : nullptr;
      if (!form || !form->Visible()) return;
      auto once = std::move(act_);
      act_ = nullptr;
      once(*form);
    };
    timer_.SetEnabled(true);
  }
  void Next(std::function<void(Form&)> act) { act_ = std::move(act); }
  // The action given last has run.
  bool Acted() const { return !act_; }

 private:
  std::function<Form*()> find_;
  std::function<void(Form&)> act_;
  plat::TTimer timer_{nullptr};
};

}  // namespace test_support
