#include "app/colors/ExtendedColorPipeline.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/filters/Filters.h"

namespace app {

int32_t TBitmapRows::Width() const {
  return bitmap_.Width();
}
int32_t TBitmapRows::Height() const {
  return bitmap_.Height();
}
uint8_t* TBitmapRows::ScanLine(int32_t Y) {
  return reinterpret_cast<uint8_t*>(bitmap_.RowPtr(Y));
}

double Power(double Base, double Exponent) {
  return std::exp(Exponent * std::log(Base));
}

namespace {

constexpr int BlueByte = 0, GreenByte = 1, RedByte = 2;

// Numerator / Denominator (Denominator > 0) rounded to the nearest integer, ties to even.
int32_t RoundHalfEven(int32_t Numerator, int32_t Denominator) {
  int32_t quotient = Numerator / Denominator, remainder = Numerator % Denominator;
  if (remainder < 0) {
    --quotient;
    remainder += Denominator;
  }
  const int32_t twice = 2 * remainder;
  if (twice > Denominator || (twice == Denominator && (quotient & 1))) ++quotient;
  return quotient;
}

int32_t Mean(const uint8_t* pixel) {
  return (pixel[BlueByte] + pixel[GreenByte] + pixel[RedByte]) / 3;
}

// Moves a channel away from (or toward) the mean by the factor k / 255.
void Saturate(uint8_t* pixel, int channel, int32_t k, int32_t mean) {
  pixel[channel] = IntToByte((pixel[channel] - mean) * k / 255 + mean);
}

void ApplyThreshold(uint8_t& channel, const TChannelThreshold& threshold) {
  if (!threshold.Enabled) return;
  if (threshold.Above ? channel > threshold.Level : channel < threshold.Level) channel = 0;
}

// Brightness and contrast share the cut: a sum that reaches past the end clamps there;
// otherwise Amount is added. The contrast amount can push 255 over the top, so the add
// saturates instead of wrapping white round to black.
void ShiftBytes(uint8_t* pixel, int32_t value, int32_t amount) {
  for (int i = 0; i < 4; ++i) {
    const int32_t sum = pixel[i] + value;
    if (value > 0 && sum >= 255) {
      pixel[i] = 255;
    } else if (value < 0 && sum <= 0) {
      pixel[i] = 0;
    } else {
      pixel[i] = IntToByte(pixel[i] + amount);
    }
  }
}

// One balance step on channel index ch of rgb (0 red, 1 green, 2 blue), with the partners'
// values as they stand now.
void BalanceChannel(int32_t (&rgb)[3], int ch, const TBalanceSection& section) {
  const int32_t algorithm = section.Algorithm, v = section.Value;
  const int32_t a = RoundHalfEven(v, BalanceDivisor(algorithm));
  const int32_t c = rgb[ch];
  const int32_t partnerA = ch == 0 ? rgb[1] : rgb[0];
  const int32_t partnerB = ch == 2 ? rgb[1] : rgb[2];
  bool changes = v > 0 ? c + a <= 255 : c + a >= 0;
  switch (algorithm) {
    case 2:
    case 4:
    case 7:
    case 8:
      changes = changes && c > 0;
      break;
    case 5:
      changes = changes && c > 0 && partnerA > 0;
      break;
    case 6:
      changes = changes && c > 0 && partnerB > 0;
      break;
    default:
      break;
  }
  if (!changes) return;
  // For v < 0, c - Round(|v / d|) equals c + a: rounding half to even is symmetric.
  int32_t value = c + a;
  switch (algorithm) {
    case 5:
    case 7:
    case 9:
      value ^= partnerA;
      break;
    case 6:
    case 8:
      value ^= partnerB;
      break;
    case 10:
      value = (v < 0 && ch == 0) ? (value | partnerB) : (value ^ partnerB);
      break;
    default:
      break;
  }
  rgb[ch] = value;
}

void BalancePixel(uint8_t* pixel, const TExtendedColorSettings& s) {
  auto run = [pixel](const TBalanceSection& section, int first, int last) {
    int32_t rgb[3] = {pixel[RedByte], pixel[GreenByte], pixel[BlueByte]};
    for (int ch = first; ch <= last; ++ch) BalanceChannel(rgb, ch, section);
    pixel[RedByte] = uint8_t(rgb[0]);
    pixel[GreenByte] = uint8_t(rgb[1]);
    pixel[BlueByte] = uint8_t(rgb[2]);
  };
  if (s.BalanceRGB.Value != 0) run(s.BalanceRGB, 0, 2);
  if (s.BalanceR.Value != 0) run(s.BalanceR, 0, 0);
  if (s.BalanceG.Value != 0) run(s.BalanceG, 1, 1);
  if (s.BalanceB.Value != 0) run(s.BalanceB, 2, 2);
}

template <class PixelStep>
void ForEachPixel(TPixelRows& rows, PixelStep step) {
  const int32_t width = rows.Width(), height = rows.Height();
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* pixel = rows.ScanLine(y);
    for (int32_t x = 0; x < width; ++x, pixel += 4) step(pixel);
  }
}

// Rounded half to even and kept inside 0..255 before it becomes an integer.
uint8_t RoundToByte(double V) {
  if (!(V < 255)) return 255;
  return V <= 0 ? 0 : uint8_t(std::nearbyint(V));
}

}  // namespace

int32_t BalanceDivisor(int32_t Algorithm) {
  switch (Algorithm) {
    case 3:
    case 4:
    case 7:
    case 8:
      return 1;
    default:
      return 2;
  }
}

int32_t SaturationFactor(int32_t S) {
  return S == 100 ? 255 : RoundHalfEven(S * 255, 100);
}

std::array<uint8_t, 256> GammaTable(double G) {
  if (G == 0) G = 0.01;
  std::array<uint8_t, 256> table{};
  for (int i = 1; i < 256; ++i) table[i] = RoundToByte(255 * Power(i / 255.0, 1 / G));
  return table;
}

void Gamma(TPixelRows& Rows, double G) {
  const std::array<uint8_t, 256> table = GammaTable(G);
  ForEachPixel(Rows, [&table](uint8_t* pixel) {
    for (int i : {BlueByte, GreenByte, RedByte}) pixel[i] = table[pixel[i]];
  });
}

void MaxPixels(TPixelRows& Rows, const TExtendedColorSettings& s) {
  double g = s.Gamma / 100.0;
  if (g < 0.01) g = 0.01;
  if (g > 7.0) g = 7.0;
  const int32_t kRGB = SaturationFactor(s.SaturationRGB), kR = SaturationFactor(s.SaturationR),
                kG = SaturationFactor(s.SaturationG), kB = SaturationFactor(s.SaturationB);
  const int32_t contrastAmount = RoundToByte(std::exp(s.Contrast / 50.0));

  ForEachPixel(Rows, [&](uint8_t* pixel) {
    if (s.SaturationRGB != 0) {
      const int32_t mean = Mean(pixel);
      for (int i : {RedByte, GreenByte, BlueByte}) Saturate(pixel, i, kRGB, mean);
    }
    // The single-channel steps see the mean of the pixel as it now stands.
    if (s.SaturationR != 0) Saturate(pixel, RedByte, kR, Mean(pixel));
    if (s.SaturationG != 0) Saturate(pixel, GreenByte, kG, Mean(pixel));
    if (s.SaturationB != 0) Saturate(pixel, BlueByte, kB, Mean(pixel));
    ApplyThreshold(pixel[RedByte], s.ThresholdR);
    ApplyThreshold(pixel[GreenByte], s.ThresholdG);
    ApplyThreshold(pixel[BlueByte], s.ThresholdB);
    if (s.Brightness != 0) ShiftBytes(pixel, s.Brightness, s.Brightness);
    if (s.Contrast != 0) ShiftBytes(pixel, s.Contrast, contrastAmount);
    BalancePixel(pixel, s);
  });
  Gamma(Rows, g);
}

void SwapChannelBytes(TPixelRows& Rows, int First, int Second) {
  ForEachPixel(Rows, [First, Second](uint8_t* pixel) { std::swap(pixel[First], pixel[Second]); });
}

void SwapRedBluePixels(TPixelRows& Rows) {
  SwapChannelBytes(Rows, RedByte, BlueByte);
}
void SwapRedGreenPixels(TPixelRows& Rows) {
  SwapChannelBytes(Rows, RedByte, GreenByte);
}
void SwapGreenBluePixels(TPixelRows& Rows) {
  SwapChannelBytes(Rows, GreenByte, BlueByte);
}

bool NeedsPixelPass(const TExtendedColorSettings& s) {
  return s.BalanceRGB.Value != 0 || s.BalanceR.Value != 0 || s.BalanceG.Value != 0 ||
         s.BalanceB.Value != 0 || s.Brightness != 0 || s.Contrast != 0 || s.Gamma != 0 ||
         s.ThresholdTouched || s.SaturationRGB != 0 || s.SaturationR != 0 || s.SaturationG != 0 ||
         s.SaturationB != 0;
}

void ApplyExtendedColor(gfx::TCustomBitmap32& Bitmap, const TExtendedColorSettings& s) {
  // Selectors of the channel operation: 1 RGB, 2 red, 3 green, 4 blue.
  const std::pair<const TLogicalOperation*, int32_t> logical[] = {
      {&s.LogicalRGB, 1}, {&s.LogicalR, 2}, {&s.LogicalG, 3}, {&s.LogicalB, 4}};
  for (const auto& [operation, selector] : logical) {
    if (!operation->Enabled) continue;
    gfx::ApplyChannelOperation(&Bitmap, &Bitmap, selector, IntToByte(operation->Amount),
                               operation->Function);
  }
  TBitmapRows rows(Bitmap);
  if (NeedsPixelPass(s)) MaxPixels(rows, s);
  if (s.SwapRedBlue) SwapRedBluePixels(rows);
  if (s.SwapRedGreen) SwapRedGreenPixels(rows);
  if (s.SwapGreenBlue) SwapGreenBluePixels(rows);
}

}  // namespace app
