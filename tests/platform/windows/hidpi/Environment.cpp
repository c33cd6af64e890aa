// Start-up of the suite on a screen at 200 % (set by the test runner): the application object.
#include <gtest/gtest.h>

#include "platform/windows/Application.h"

namespace {

class WindowsEnvironment : public testing::Environment {
 public:
  void SetUp() override { plat::Application().Initialize(); }
  void TearDown() override { plat::Application().DestroyForms(); }
};

const auto* const environment = testing::AddGlobalTestEnvironment(new WindowsEnvironment);

}  // namespace
