#include "app/road/BackgroundEdits.h"

#include "app/road/Background.h"
#include "graphics/filters/Filters.h"

namespace app {
namespace {

// Every picture that holds pixels; the kept colours only for the turns, since they stay as
// they were before grey and uninverted.
template <class Edit>
void EachPicture(const TBackgroundPictures& P, bool WithUngreyed, Edit edit) {
  for (gfx::TBitmap32* b : {&P.View, &P.Pristine, WithUngreyed ? &P.Ungreyed : nullptr})
    if (b && !b->Empty()) edit(*b);
}

void Turn(gfx::TBitmap32& B, TPictureTurn Turn) {
  switch (Turn) {
    case TPictureTurn::FlipHorz:
      B.FlipHorz();
      break;
    case TPictureTurn::FlipVert:
      B.FlipVert();
      break;
    case TPictureTurn::Rotate90:
      B.Rotate90();
      break;
    case TPictureTurn::Rotate180:
      B.Rotate180();
      break;
    case TPictureTurn::Rotate270:
      B.Rotate270();
      break;
  }
}

}  // namespace

void TurnBackground(const TBackgroundPictures& P, TPictureTurn Turn) {
  EachPicture(P, true, [Turn](gfx::TBitmap32& b) { app::Turn(b, Turn); });
}

void InvertBackground(const TBackgroundPictures& P) {
  EachPicture(P, false, [](gfx::TBitmap32& b) { gfx::InvertRGB(&b, &b); });
}

void GreyBackground(const TBackgroundPictures& P, bool Inverted) {
  const gfx::TBitmap32& full = P.Pristine.Empty() ? P.View : P.Pristine;
  full.CopyMapTo(P.Ungreyed);
  if (Inverted && !P.Ungreyed.Empty()) gfx::InvertRGB(&P.Ungreyed, &P.Ungreyed);
  // Grey changes the colours only: a transparent layer or picture keeps its shape.
  EachPicture(P, false, [](gfx::TBitmap32& b) { gfx::ColorToGrayscale(&b, &b, true); });
}

bool UngreyBackground(const TBackgroundPictures& P, int32_t Scale) {
  if (P.Ungreyed.Empty()) return false;
  if (P.Pristine.Empty()) {
    // The view is the full-size picture.
    TakePixels(P.Ungreyed, P.View);
  } else {
    TakePixels(P.Ungreyed, P.Pristine);
    gfx::TBitmap32 scaled;
    ScaleBackground(P.Pristine, Scale, scaled);
    TakePixels(scaled, P.View);
  }
  P.Ungreyed.SetSize(0, 0);
  return true;
}

}  // namespace app
