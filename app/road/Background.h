// Folder app/road: the background, picture and text layers, the composition and its saving, and
// the clipboard. Uses app/colors and the main window's texts.
//
// The background picture: reading it, putting it into the view, keeping it at full size, and
// scaling it from the kept copy.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/controls/Image.h"
#include "platform/drawing/Geometry.h"

namespace app {

// Reads the picture; a failure throws and touches nothing that is already loaded.
std::unique_ptr<gfx::TBitmap32> ReadBackground(const std::string& FileName);

// Drops every layer and makes Picture the view's bitmap (draft resampling). Pristine takes the
// bitmap's properties (linear resampling) but no pixels: until the picture is scaled, the view's
// bitmap is the full-size picture, and most pictures are saved without a scale.
void InstallBackground(gfx::TCustomImage32& View, gfx::TBitmap32& Pristine,
                       std::unique_ptr<gfx::TBitmap32> Picture);

// Gives Pristine the full-size picture, as loaded and as the picture tools changed it, when it
// has none yet. Whatever changes the view's pixels in another way (a scale, a flattening) calls
// this first; afterwards Pristine is empty only when there is no picture.
void KeepLoadedPicture(const gfx::TCustomImage32& View, gfx::TBitmap32& Pristine);

// Only the pixels of Source come over: how Dest is drawn stays as set.
void TakePixels(const gfx::TBitmap32& Source, gfx::TBitmap32& Dest);

// The size of the background at P percent of the loaded Width x Height. Above 100 % every pixel
// is covered; below, the last row and column of the loaded picture map onto the new edge.
plat::TSize ScaledBackgroundSize(int32_t Width, int32_t Height, int32_t P);

// Draws Pristine at P percent into Dest, resizing it; only Dest's pixels change, not how it is
// drawn. A size past the picture limits throws and leaves Dest as it was.
void ScaleBackground(gfx::TBitmap32& Pristine, int32_t P, gfx::TBitmap32& Dest);

// "1.00" for 100, "0.55" for 55, "10.00" for 1000.
std::string ScaleLabel(int32_t P);

}  // namespace app
