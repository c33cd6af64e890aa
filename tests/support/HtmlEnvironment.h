// Runs a suite on Qt's off-screen platform with the page engine started (its screen values,
// default pictures and cursors). Include it from one source file of the suite.
#pragma once

#include "html/HtmlEngine.h"
#include "platform/windows/Application.h"
#include "support/QtEnvironment.h"

namespace test_support {

class HtmlEngineEnvironment : public testing::Environment {
 public:
  void SetUp() override { html::StartHtmlEngine(); }
  // Windows of the last test that Qt frees on its next turn go before the engine does.
  void TearDown() override {
    plat::Application().ProcessMessages();
    html::StopHtmlEngine();
  }
};

// Registered after the Qt environment, so it starts after Qt and stops before it.
inline const testing::Environment* const htmlEnvironment =
    testing::AddGlobalTestEnvironment(new HtmlEngineEnvironment);

}  // namespace test_support
