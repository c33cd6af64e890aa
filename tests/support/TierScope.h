// Binding every routine of the engine's registries to one processor tier while a test runs, and
// the tiers this processor can run. Bitmaps, samplers and rasterizers made before the scope use
// the scope's routines, since they read the routine variables, which the scope rebinds.
#pragma once

#include <string>
#include <vector>

#include "graphics/core/Blend.h"
#include "graphics/core/System.h"

namespace test_support {

using gfx::TImplementationTier;

// Rebinds every registry to the best implementation not above Tier; ends the MMX state and
// restores the default binding when it goes out of scope.
class TierScope {
 public:
  explicit TierScope(TImplementationTier Tier) {
    const gfx::TInstructionSets features = gfx::CPUFeatures();
    for (const auto& registry : gfx::Registries())
      registry->RebindAll([Tier, features](const gfx::TFunctionInfo& Info) {
        const bool runs = (Info.Requirements & ~features) == 0;
        return runs && Info.Flags <= Tier ? Tier - Info.Flags : gfx::InvalidPriority;
      });
  }
  ~TierScope() {
    gfx::EMMS();
    for (const auto& registry : gfx::Registries()) registry->RebindAll();
  }
  TierScope(const TierScope&) = delete;
  TierScope& operator=(const TierScope&) = delete;
};

// Portable first.
inline std::vector<TImplementationTier> Tiers() {
  using namespace gfx;
  std::vector<TImplementationTier> tiers{tierPortable, tierInteger};
  if (CPUFeatures() & SetOf(isMMX)) tiers.push_back(tierMMX);
  if (CPUFeatures() & SetOf(isSSE2)) tiers.push_back(tierSSE2);
  return tiers;
}

inline std::string TierName(TImplementationTier Tier) {
  static const char* const names[] = {"Portable", "Integer", "MMX", "SSE2"};
  return names[Tier];
}

}  // namespace test_support
