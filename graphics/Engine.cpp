#include "graphics/Engine.h"

#include <mutex>

#include "graphics/Bitmap32Properties.h"
#include "graphics/Blend.h"
#include "graphics/Filters.h"
#include "graphics/LowLevel.h"
#include "graphics/MicroTiles.h"
#include "graphics/Resamplers.h"
#include "graphics/RowCombinerLines.h"
#include "graphics/System.h"
#include "graphics/Types.h"

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
