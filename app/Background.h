// The background picture: reading it, putting it into the view with a kept copy, and scaling it
// from that copy.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/Bitmap32.h"
#include "graphics/Image.h"
#include "platform/Geometry.h"

namespace app {

// Reads the picture; a failure throws and touches nothing that is already loaded.
std::unique_ptr<gfx::TBitmap32> ReadBackground(const std::string& FileName);

// Drops every layer, makes Picture the view's bitmap (draft resampling) and keeps a copy in
// Pristine (linear resampling) for later scaling. The view takes the picture's pixels over, so
// the kept copy is the only one made.
void InstallBackground(gfx::TCustomImage32& View, gfx::TBitmap32& Pristine,
                       std::unique_ptr<gfx::TBitmap32> Picture);

// The size of the background at P percent of the loaded Width x Height. Above 100 % every pixel
// is covered; below, the last row and column of the loaded picture map onto the new edge.
plat::TSize ScaledBackgroundSize(int32_t Width, int32_t Height, int32_t P);

// Draws Pristine at P percent into Dest, resizing it. A size past the picture limits throws and
// leaves Dest as it was.
void ScaleBackground(gfx::TBitmap32& Pristine, int32_t P, gfx::TBitmap32& Dest);

// "1.00" for 100, "0.55" for 55, "10.00" for 1000.
std::string ScaleLabel(int32_t P);

}  // namespace app
