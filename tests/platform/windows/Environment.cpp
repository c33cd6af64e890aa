// Start-up of the windows suite: the application object and the platform's classes.
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
