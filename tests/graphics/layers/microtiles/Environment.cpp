// Starts the engine once for the micro-tile suites.
#include <gtest/gtest.h>

#include "graphics/Engine.h"

namespace {

class MicroTilesEnvironment : public testing::Environment {
 public:
  void SetUp() override { gfx::StartEngine(); }
};

const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(std::make_unique<MicroTilesEnvironment>().release());

}  // namespace
