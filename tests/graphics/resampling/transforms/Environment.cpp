#include "tests/graphics/resampling/Helpers.h"

namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(
    std::make_unique<resampling_test::EngineEnvironment>().release());

}  // namespace
