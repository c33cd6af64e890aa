// Turning a picture about the centre of a canvas, its colours and transparency interpolated
// together.
#pragma once

#include <cstdint>

#include "graphics/bitmap/Bitmap32.h"

namespace app {

// Where a picture of Length pixels starts on a canvas side of Side pixels: centred to the whole
// pixel, an odd margin putting its extra pixel before the picture.
int32_t TurnOffset(int32_t Side, int32_t Length);

// Draws Picture onto Canvas with its top-left corner at (Left, Top), turned by Degrees about the
// canvas centre, counter-clockwise on the screen for positive angles. Each canvas pixel shows the
// picture at its centre: the four pixels around that point weighted by their distance, colour
// weighted by transparency, with transparency around the picture, so that edges fade over one
// pixel and nothing of the picture is lost. A point on a pixel centre gives that pixel unchanged,
// which makes quarter turns exact. Merged, the picture goes over what the canvas holds; otherwise
// it replaces the canvas pixels it reaches.
void DrawTurned(gfx::TBitmap32& Canvas, const gfx::TBitmap32& Picture, int32_t Left, int32_t Top,
                double Degrees, bool Merged);

}  // namespace app
