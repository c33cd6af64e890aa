// Starts the engine and the picture formats once for the bitmap suites.
#include <gtest/gtest.h>

#include "graphics/Engine.h"
#include "platform/pictures/Picture.h"

namespace {

class BitmapEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    gfx::StartEngine();
    plat::RegisterDefaultPictureFormats();
  }
};

const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(std::make_unique<BitmapEnvironment>().release());

}  // namespace
