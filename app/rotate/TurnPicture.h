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

// Draws Picture onto Canvas with its top-left corner at (Left, Top), turned by Degrees about the
// canvas centre, counter-clockwise on the screen for positive angles. Each canvas pixel shows the
// picture at its centre: the four pixels around that point weighted by their distance, colour
// weighted by transparency, with transparency around the picture, so that edges fade over one
// pixel and nothing of the picture is lost. A point on a pixel centre gives that pixel unchanged,
// which makes quarter turns exact. Merged, the picture goes over what the canvas holds; otherwise
// it replaces the canvas pixels it reaches.
void DrawTurned(gfx::TBitmap32& Canvas, const gfx::TBitmap32& Picture, double Left, double Top,
                double Degrees, bool Merged);

// The canvas that a Width x Height picture turned by Degrees about its centre fills: no larger
// than the turned picture with its fading edge, the picture's own size for no turn, its sides
// swapped for a quarter turn. ShiftX and ShiftY are where the canvas's top-left corner lies
// relative to the unturned picture's, in pixels (halves where the sides differ by an odd number).
struct TTurnedBox {
  int32_t Width = 0, Height = 0;
  double ShiftX = 0, ShiftY = 0;
};
TTurnedBox TurnedBox(int32_t Width, int32_t Height, double Degrees);

// Picture turned by Degrees about its centre on a canvas of its turned box: the same picture for
// the same turn, however it was reached, and an exact copy for whole turns.
std::unique_ptr<gfx::TBitmap32> TurnedPicture(const gfx::TBitmap32& Picture, double Degrees);

// The smallest part of Canvas that holds every pixel not fully transparent, and where it lies on
// the canvas; the part Fallback names when the whole canvas is transparent.
struct TCanvasPart {
  std::unique_ptr<gfx::TBitmap32> Picture;
  plat::TRect Place;
};
TCanvasPart TrimToContent(const gfx::TBitmap32& Canvas, const plat::TRect& Fallback);

}  // namespace app
