// Starts the application object and the engine once for the control suites, and frees what is
// left of the windows before the program ends.
#include <gtest/gtest.h>

#include "graphics/Engine.h"
#include "platform/windows/Application.h"

namespace {

class ControlsEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    plat::Application().Initialize();
    gfx::StartEngine();
  }
  void TearDown() override { plat::Application().DestroyForms(); }
};

const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(std::make_unique<ControlsEnvironment>().release());

}  // namespace
