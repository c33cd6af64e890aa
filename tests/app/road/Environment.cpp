// Starts the application object, the engine and the picture readers once for the suites.
#include <gtest/gtest.h>

#include "graphics/Engine.h"
#include "platform/Application.h"
#include "platform/Picture.h"
#include "readers/PictureReaders.h"

namespace {

class RoadEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    plat::Application().Initialize();
    plat::RegisterDefaultPictureFormats();
    gfx::StartEngine();
    readers::StartReaders();
  }
  void TearDown() override {
    readers::StopReaders();
    plat::Application().DestroyForms();
  }
};

const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(std::make_unique<RoadEnvironment>().release());

}  // namespace
