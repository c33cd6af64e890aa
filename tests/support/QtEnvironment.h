// Runs a suite on Qt's off-screen platform: fonts, measuring and painting need the Qt
// application. Include it from one source file of the suite.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/windows/QtRuntime.h"

namespace test_support {

class QtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    plat::EnsureQtApplication();
  }
};

// GoogleTest owns registered environments.
inline const testing::Environment* const qtEnvironment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace test_support
