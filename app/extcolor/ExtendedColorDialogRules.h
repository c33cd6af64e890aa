// The extended colour dialog's arithmetic: preview zoom, gauge steps, the gamma text, and the
// colour chain applied the way the dialog applies it.
#pragma once

#include <cstdint>
#include <string>

#include "app/colors/ExtendedColorPipeline.h"

namespace gfx {
class TCustomBitmap32;
}

namespace app {

struct TPreviewZoom {
  bool Fits = false;    // the picture is shown unscaled
  int32_t Percent = 0;  // size of the reduced copy in percent of the picture
};

// 100 when Width x Height fits into the preview; otherwise three quarters (rounded) of the
// largest percentage, 5 at least, at which the picture's longer side fits (the height when
// the picture is not wider than high).
TPreviewZoom PreviewZoom(int32_t Width, int32_t Height, int32_t PreviewWidth,
                         int32_t PreviewHeight);

// Side x Percent / 100, rounded half to even.
int32_t ScaledSide(int32_t Side, int32_t Percent);

// The gauges' "-" and "+" buttons: 25 toward an end of the range, stopping there.
int32_t SteppedPosition(int32_t Position, int32_t Step, int32_t Min, int32_t Max);

// Hundredths as a decimal text: 100 -> "1.00", 5 -> "0.05", 700 -> "7.00".
std::string GammaText(int32_t Hundredths);

// The colour chain over the whole bitmap; every pixel keeps its alpha, since the chain is a
// colour adjustment and brightness or contrast would otherwise fade a layer's transparency.
void RecolorKeepingAlpha(gfx::TCustomBitmap32& Bitmap, const TExtendedColorSettings& Settings);

}  // namespace app
