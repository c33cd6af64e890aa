#include "graphics/Engine.h"

#include <mutex>

#include "graphics/bitmap/Bitmap32Properties.h"
#include "graphics/core/Blend.h"
#include "graphics/core/LowLevel.h"
#include "graphics/core/System.h"
#include "graphics/core/Types.h"
#include "graphics/filters/Filters.h"
#include "graphics/filters/RowCombinerLines.h"
#include "graphics/layers/MicroTiles.h"
#include "graphics/resampling/Resamplers.h"

namespace gfx {

void StartEngine() {
  static std::once_flag started;
  std::call_once(started, [] {
    CPUFeatures();
    BuildBlendTables();
    // Routine registries in module order: LowLevel, Blend, Transforms, Resamplers, MicroTiles,
    // Filters; then class registration by name, the gamma table and the blend-mode tables.
    StartLowLevel();
    StartBlend();
    StartColorLines();
    StartResamplers();
    StartMicroTiles();
    StartFilters();
    RegisterBitmap32Properties();
    GlobalPerfTimer.Start();
    BuildGammaTable(0.7f);
  });
}

}  // namespace gfx
