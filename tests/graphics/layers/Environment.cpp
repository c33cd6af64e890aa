// Starts the engine once for the layer suites.
#include <gtest/gtest.h>

#include "graphics/Engine.h"

namespace {

class LayersEnvironment : public testing::Environment {
 public:
  void SetUp() override { gfx::StartEngine(); }
};

const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(std::make_unique<LayersEnvironment>().release());

}  // namespace
