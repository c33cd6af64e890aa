// Loading and drawing pictures uses the platform's device contexts and image decoders: every test
// of this group runs on the off-screen platform, on a true-colour screen unless a test says
// otherwise.
#include <gtest/gtest.h>

#include <cstdlib>

#include "html/HtmlEngine.h"
#include "platform/QtRuntime.h"

namespace {

class QtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    plat::EnsureQtApplication();
    html::SetScreenDepth(32);
  }
};

// GoogleTest owns registered environments.
const auto* const environment = testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
