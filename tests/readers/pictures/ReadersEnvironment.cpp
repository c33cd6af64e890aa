// The platform's picture classes and the readers' registrations, for every test of the group.
#include <gtest/gtest.h>

#include "platform/pictures/Picture.h"
#include "readers/PictureReaders.h"

namespace {

class ReadersEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    plat::RegisterDefaultPictureFormats();
    readers::StartReaders();
  }
  void TearDown() override { readers::StopReaders(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ReadersEnvironment);

}  // namespace
