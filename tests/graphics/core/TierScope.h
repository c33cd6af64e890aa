// Test helpers: engine start-up for the suite, and binding every routine to one processor tier.
#pragma once

#include <string>
#include <vector>

#include "graphics/core/System.h"

namespace gfx::testing {

// Rebinds every registry to the best implementation not above Tier; restores the default
// binding when it goes out of scope.
class ScopedTier {
 public:
  explicit ScopedTier(TImplementationTier Tier);
  ~ScopedTier();
  ScopedTier(const ScopedTier&) = delete;
  ScopedTier& operator=(const ScopedTier&) = delete;
};

// The tiers this processor can run, portable first.
std::vector<TImplementationTier> AvailableTiers();
std::string TierName(TImplementationTier Tier);

}  // namespace gfx::testing
