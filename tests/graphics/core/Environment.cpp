#include <gtest/gtest.h>

#include "graphics/Engine.h"

namespace {

struct EngineEnvironment : ::testing::Environment {
  void SetUp() override { gfx::StartEngine(); }
};

const auto* const engineEnvironment = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

}  // namespace
