// The viewer needs Qt and the engine's start-up values: every test of this group runs on the
// off-screen platform with the engine started.
#include <gtest/gtest.h>

#include <cstdlib>

#include "html/HtmlEngine.h"
#include "platform/QtRuntime.h"

namespace {

class EngineEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    plat::EnsureQtApplication();
    html::StartHtmlEngine();
  }
  void TearDown() override { html::StopHtmlEngine(); }
};

// GoogleTest owns registered environments.
const auto* const environment = testing::AddGlobalTestEnvironment(new EngineEnvironment);

}  // namespace
