#include "TierScope.h"

#include <gtest/gtest.h>

#include "graphics/Engine.h"
#include "graphics/core/Blend.h"

namespace gfx::testing {

ScopedTier::ScopedTier(TImplementationTier Tier) {
  const TInstructionSets features = CPUFeatures();
  auto priority = [Tier, features](const TFunctionInfo& Info) {
    const bool runs = (Info.Requirements & ~features) == 0;
    return runs && Info.Flags <= Tier ? Tier - Info.Flags : InvalidPriority;
  };
  for (const auto& registry : Registries()) registry->RebindAll(priority);
}

ScopedTier::~ScopedTier() {
  EMMS();
  for (const auto& registry : Registries()) registry->RebindAll();
}

std::vector<TImplementationTier> AvailableTiers() {
  std::vector<TImplementationTier> tiers{tierPortable, tierInteger};
  if (CPUFeatures() & SetOf(isMMX)) tiers.push_back(tierMMX);
  if (CPUFeatures() & SetOf(isSSE2)) tiers.push_back(tierSSE2);
  return tiers;
}

std::string TierName(TImplementationTier Tier) {
  static const char* const names[] = {"Portable", "Integer", "MMX", "SSE2"};
  return names[Tier];
}

namespace {

struct EngineEnvironment : ::testing::Environment {
  void SetUp() override { StartEngine(); }
};

const auto* const engineEnvironment = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

}  // namespace

}  // namespace gfx::testing
