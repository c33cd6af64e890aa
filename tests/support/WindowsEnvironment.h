// Runs a suite with the application object started and its forms freed at the end. Include it
// from one source file of the suite.
#pragma once

#include <gtest/gtest.h>

#include "platform/windows/Application.h"

namespace test_support {

class WindowsEnvironment : public testing::Environment {
 public:
  void SetUp() override { plat::Application().Initialize(); }
  void TearDown() override { plat::Application().DestroyForms(); }
};

// GoogleTest owns registered environments.
inline const testing::Environment* const windowsEnvironment =
    testing::AddGlobalTestEnvironment(new WindowsEnvironment);

}  // namespace test_support
