// Runs a suite on Qt's off-screen platform with the page engine started (its screen values,
// default pictures and cursors). Include it from one source file of the suite.
#pragma once

#include "html/HtmlEngine.h"
#include "support/QtEnvironment.h"

namespace test_support {

class HtmlEngineEnvironment : public testing::Environment {
 public:
  void SetUp() override { html::StartHtmlEngine(); }
  void TearDown() override { html::StopHtmlEngine(); }
};

// Registered after the Qt environment, so it starts after Qt and stops before it.
inline const testing::Environment* const htmlEnvironment =
    testing::AddGlobalTestEnvironment(new HtmlEngineEnvironment);

}  // namespace test_support
