#include "app/extcolor/ExtendedColorDialogRules.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

int32_t RoundHalfEven(double Value) {
  return int32_t(std::nearbyint(Value));
}

}  // namespace

int32_t ScaledSide(int32_t Side, int32_t Percent) {
  return RoundHalfEven(double(Side) * Percent * 0.01);
}

TPreviewZoom PreviewZoom(int32_t Width, int32_t Height, int32_t PreviewWidth,
                         int32_t PreviewHeight) {
  if (Width <= PreviewWidth && Height <= PreviewHeight) return {true, 100};
  const bool byHeight = Width <= Height;
  const int32_t side = byHeight ? Height : Width;
  const int32_t room = byHeight ? PreviewHeight : PreviewWidth;
  int32_t p = 100;
  while (p >= 6 && ScaledSide(side, p) > room) --p;
  return {false, RoundHalfEven(p * 0.75)};
}

int32_t SteppedPosition(int32_t Position, int32_t Step, int32_t Min, int32_t Max) {
  return std::clamp(Position + Step, Min, Max);
}

std::string GammaText(int32_t Hundredths) {
  std::string digits = plat::IntToStr(Hundredths);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return digits.substr(0, 1) + "." + digits.substr(1);
}

void RecolorKeepingAlpha(gfx::TCustomBitmap32& Bitmap, const TExtendedColorSettings& Settings) {
  const int32_t width = Bitmap.Width(), height = Bitmap.Height();
  std::vector<uint8_t> alpha(size_t(width) * size_t(height));
  size_t i = 0;
  for (int32_t y = 0; y < height; ++y) {
    const gfx::TColor32* row = Bitmap.RowPtr(y);
    for (int32_t x = 0; x < width; ++x) alpha[i++] = uint8_t(row[x] >> 24);
  }
  ApplyExtendedColor(Bitmap, Settings);
  i = 0;
  for (int32_t y = 0; y < height; ++y) {
    gfx::TColor32* row = Bitmap.RowPtr(y);
    for (int32_t x = 0; x < width; ++x)
      row[x] = (row[x] & 0x00FFFFFF) | gfx::TColor32(alpha[i++]) << 24;
  }
  Bitmap.Changed();
}

}  // namespace app
