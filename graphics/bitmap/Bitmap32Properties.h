// The bitmap's published properties in the platform's property table, so stored layouts and the
// property copier can set them by name.
#pragma once

namespace gfx {

// Registers TCustomBitmap32 and TBitmap32; registering again starts their lists afresh.
void RegisterBitmap32Properties();

}  // namespace gfx
