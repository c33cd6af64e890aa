// Turning a picture about the centre of a canvas, its colours and transparency interpolated
// together.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/bitmap/Bitmap32.h"
#include "platform/drawing/Geometry.h"

namespace app {

// Where a picture of Length pixels starts on a canvas side of Side pixels: centred to the whole
// pixel, an odd margin putting its extra pixel before the picture.
int32_t TurnOffset(int32_t Side, int32_t Length);

// Draws Picture onto Canvas with its top-left corner at (Left, Top), turned by Degrees about its
// own centre, counter-clockwise on the screen for positive angles. Each canvas pixel shows the
// picture at its centre: the four pixels around that point weighted by their distance, colour
// weighted by transparency, with transparency around the picture, so that edges fade over one
// pixel and nothing of the picture is lost. A point on a pixel centre gives that pixel unchanged,
// which makes half turns from a whole-pixel place exact, and quarter turns too when the sides are
// both odd or both even (or the picture's place is a half pixel off on one axis). Merged, the
// picture goes over what the canvas holds; otherwise it replaces the canvas pixels it reaches.
void DrawTurned(gfx::TBitmap32& Canvas, const gfx::TBitmap32& Picture, double Left, double Top,
                double Degrees, bool Merged);

// Picture turned by Degrees about its centre on a canvas just large enough for the turned picture
// with its fading edge, centred on it: the picture's own size for no turn, its sides swapped for
// a quarter turn. The same picture for the same turn, however it was reached, and an exact copy
// for whole turns.
std::unique_ptr<gfx::TBitmap32> TurnedPicture(const gfx::TBitmap32& Picture, double Degrees);

// The smallest part of Canvas that holds the picture's own place, Picture, and every pixel not
// fully transparent, and where it lies on the canvas: the room around the picture goes as far as
// turned copies left it empty, the picture's own margins stay.
struct TCanvasPart {
  std::unique_ptr<gfx::TBitmap32> Picture;
  plat::TRect Place;
};
TCanvasPart TurnedPart(const gfx::TBitmap32& Canvas, const plat::TRect& Picture);

}  // namespace app
