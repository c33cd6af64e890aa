// A radio button subclass that refuses changes sees the user's clicks too, not only changes made
// from code.
#include <gtest/gtest.h>

#include "platform/windows/Application.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace plat {
namespace {

class LockedRadio : public TRadioButton {
 public:
  using TRadioButton::TRadioButton;
  void SetChecked(bool v) override {
    ++requests;
    if (!locked) TRadioButton::SetChecked(v);
  }
  bool locked = true;
  int requests = 0;
};

class RadioRefusal : public test_support::ShownFormTest {
 protected:
  RadioRefusal() : ShownFormTest({20, 20, 300, 200}) {}
};

TEST_F(RadioRefusal, ClicksGoThroughTheOverride) {
  auto* radio = Add<LockedRadio>(10, 10, 100, 20);
  Application().ProcessMessages();
  int clicks = 0;
  radio->OnClick = [&](TObject*) { ++clicks; };
  SimulateMouse(*radio, TMouseAction::Press, mbLeft, {5, 10});
  SimulateMouse(*radio, TMouseAction::Release, mbLeft, {5, 10});
  EXPECT_EQ(radio->requests, 1);
  EXPECT_FALSE(radio->Checked());
  EXPECT_EQ(clicks, 0);

  radio->locked = false;
  SimulateMouse(*radio, TMouseAction::Press, mbLeft, {5, 10});
  SimulateMouse(*radio, TMouseAction::Release, mbLeft, {5, 10});
  EXPECT_TRUE(radio->Checked());
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace plat
