// What turned layers were turned from, and their frames as the turns see them.
#pragma once

#include <cstdint>

#include "graphics/layers/Layers.h"

namespace app {

// A layer's frame as the view shows it: its centre, and how many view pixels one pixel of its
// bitmap takes on each axis (a frame stretched by its handles differs from its scale).
struct TLayerFrame {
  double CentreX = 0, CentreY = 0;
  double ScaleX = 1, ScaleY = 1;
};

TLayerFrame FrameOf(const gfx::TBitmapLayer& L);

// The place of a Width x Height picture at the frame's scale, its centre (ShiftX, ShiftY)
// pixels of the picture away from the frame's.
gfx::TFloatRect PlaceInFrame(const TLayerFrame& Frame, int32_t Width, int32_t Height,
                             double ShiftX = 0, double ShiftY = 0);

// The picture a layer was first turned from and the turn its bitmap shows (DrawTurned's degrees
// about the picture's centre, which is the frame's). Each turn starts from there, so a layer's
// size follows its angle, not how many turns led to it, and turns that add up to whole ones give
// back the picture. The layer's own edits since (flips, quarter turns, colours) are made to the
// picture too, so they carry on into later turns.
struct TTurnBasis {
  gfx::TBitmap32 Picture;
  // Picture's colours from before grey, while the layer is grey.
  gfx::TBitmap32 Ungreyed;
  int32_t Degrees = 0;
  // The frame the last turn gave the layer, for as long as the layer stays there: it then needs
  // no measuring again, which would move it by rounding over many turns.
  TLayerFrame Frame;
  gfx::TFloatRect Placed;
  uint64_t Print = 0;
};

// L's basis; none when its bitmap changed since in a way not passed on (a new picture).
TTurnBasis* TurnBasisOf(const gfx::TBitmapLayer& L);

// L's frame: the one its basis keeps while L has not moved since, or else as it is now.
TLayerFrame TurnFrameOf(const gfx::TBitmapLayer& L);

// L's bitmap is Picture turned by Degrees in Frame: each later turn starts from Picture. A whole
// turn gives the picture itself, so nothing is kept for it.
void KeepTurnBasis(gfx::TBitmapLayer& L, const gfx::TBitmap32& Picture, int32_t Degrees,
                   const TLayerFrame& Frame);

// L's bitmap was edited in place, and Basis (L's) alike: it holds for the new bitmap.
void TurnBasisFollows(const gfx::TBitmapLayer& L, TTurnBasis& Basis);

}  // namespace app
