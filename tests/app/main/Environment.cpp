// Start-up of the main window suite, in program order.
#include <gtest/gtest.h>

#include "app/ProgramStart.h"

namespace {

class EditorEnvironment : public testing::Environment {
 public:
  void SetUp() override { app::StartProgram(); }
  void TearDown() override { app::StopProgram(); }
};

const auto* const environment = testing::AddGlobalTestEnvironment(new EditorEnvironment);

}  // namespace
