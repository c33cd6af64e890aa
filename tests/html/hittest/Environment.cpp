// Measuring text needs Qt's fonts: every test of this group runs on the off-screen platform.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/QtRuntime.h"

namespace {

class QtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    plat::EnsureQtApplication();
  }
};

// GoogleTest owns registered environments.
const auto* const environment = testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
