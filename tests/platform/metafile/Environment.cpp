// Fonts and painting run on Qt's off-screen platform; the engine and the picture table are
// started for the tests that load files through the engine.
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/Engine.h"
#include "platform/pictures/Picture.h"
#include "platform/windows/QtRuntime.h"

namespace {

class MetafileEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    plat::EnsureQtApplication();
    gfx::StartEngine();
    plat::RegisterDefaultPictureFormats();
  }
};

// GoogleTest owns registered environments.
const auto* const environment = testing::AddGlobalTestEnvironment(new MetafileEnvironment);

}  // namespace
