// A form shown on screen, for suites that put controls on it.
#pragma once

#include <gtest/gtest.h>

#include "platform/windows/Forms.h"

namespace test_support {

class ShownFormTest : public testing::Test {
 protected:
  explicit ShownFormTest(const plat::TRect& bounds) : bounds_(bounds) {}

  // The form stands at the bounds' corner, and its inside has their size.
  void SetUp() override {
    form.SetBounds(bounds_.Left, bounds_.Top, bounds_.Width(), bounds_.Height());
    form.SetClientWidth(bounds_.Width());
    form.SetClientHeight(bounds_.Height());
    form.Show();
  }
  // A control of class T on the form at the given place.
  template <class T>
  T* Add(int left, int top, int width, int height) {
    T* control = form.Make<T>();
    control->SetParent(&form);
    control->SetBounds(left, top, width, height);
    return control;
  }

  plat::TForm form{nullptr};

 private:
  plat::TRect bounds_;
};

}  // namespace test_support
