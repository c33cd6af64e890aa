// Start-up of the main window suite: platform, engine and picture readers, in program order.
#include <gtest/gtest.h>

#include "graphics/Engine.h"
#include "platform/Application.h"
#include "platform/Picture.h"
#include "readers/PictureReaders.h"

namespace {

class EditorEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    plat::Application().Initialize();
    plat::RegisterDefaultPictureFormats();
    gfx::StartEngine();
    readers::StartReaders();
  }
  void TearDown() override {
    plat::Application().DestroyForms();
    readers::StopReaders();
  }
};

const auto* const environment = testing::AddGlobalTestEnvironment(new EditorEnvironment);

}  // namespace
