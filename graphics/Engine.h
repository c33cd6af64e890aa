// Folder graphics: the raster graphics engine - 32-bit bitmaps, blending, filters, resampling,
// layers and the controls that show them. It uses only the platform layer.
//
// Start-up of the graphics engine: one explicit call before any other engine use.
#pragma once

namespace gfx {

// Runs once (later calls return at once): processor features, tables, routine registries in
// module order, gamma table.
void StartEngine();

}  // namespace gfx
