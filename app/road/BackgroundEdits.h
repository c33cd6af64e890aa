// The picture tools' edits of the background. Each one is made to the picture shown and to the
// kept copies alike, so that a rescale starts from what the user sees.
#pragma once

#include <cstdint>

#include "graphics/bitmap/Bitmap32.h"

namespace app {

enum class TPictureTurn { FlipHorz, FlipVert, Rotate90, Rotate180, Rotate270 };

// The background's pictures. View is shown at the applied scale. Pristine keeps the picture at
// its full size; it is empty while View is still the picture as loaded (see KeepLoadedPicture).
// Ungreyed keeps the colours from before grey was switched on, not inverted, at full size; it is
// empty while grey is off.
struct TBackgroundPictures {
  gfx::TBitmap32& View;
  gfx::TBitmap32& Pristine;
  gfx::TBitmap32& Ungreyed;
};

void TurnBackground(const TBackgroundPictures& P, TPictureTurn Turn);
void InvertBackground(const TBackgroundPictures& P);
// Greys the picture after keeping its colours; Inverted tells whether the picture shown is
// inverted now.
void GreyBackground(const TBackgroundPictures& P, bool Inverted);
// Puts the colours kept when grey was switched on back, not inverted, with View at Scale
// percent; false, and nothing changes, when none were kept.
bool UngreyBackground(const TBackgroundPictures& P, int32_t Scale);

}  // namespace app
