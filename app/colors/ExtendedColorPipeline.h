// The extended colour chain: logical channel operations, saturation, thresholds, brightness,
// contrast, colour balance, gamma and channel swaps over 32-bit pixel rows.
#pragma once

#include <array>
#include <cstdint>

namespace gfx {
class TCustomBitmap32;
}

namespace app {

// Row access to a 32-bit picture; each pixel is the bytes blue, green, red, fourth byte.
class TPixelRows {
 public:
  virtual ~TPixelRows() = default;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual uint8_t* ScanLine(int32_t Y) = 0;
};

// The rows of an engine bitmap, which has the same byte order.
class TBitmapRows : public TPixelRows {
 public:
  explicit TBitmapRows(gfx::TCustomBitmap32& Bitmap) : bitmap_(Bitmap) {}
  int32_t Width() const override;
  int32_t Height() const override;
  uint8_t* ScanLine(int32_t Y) override;

 private:
  gfx::TCustomBitmap32& bitmap_;
};

// One "Invert" group: Function 1 XOR, 2 OR, 3 AND of Amount into its channels.
struct TLogicalOperation {
  bool Enabled = false;
  int32_t Function = 1;
  int32_t Amount = 128;
};

// One balance section: Value -255..255 and its algorithm 1..10.
struct TBalanceSection {
  int32_t Value = 0;
  int32_t Algorithm = 1;
};

// One threshold: when enabled, the channel becomes 0 below Level, or above it when Above.
struct TChannelThreshold {
  bool Enabled = false;
  bool Above = false;
  int32_t Level = 128;
};

// Every value the chain reads, with the dialog's neutral defaults.
struct TExtendedColorSettings {
  TLogicalOperation LogicalRGB, LogicalR, LogicalG, LogicalB;
  TBalanceSection BalanceRGB, BalanceR, BalanceG, BalanceB;
  int32_t Brightness = 0;
  int32_t Contrast = 0;
  int32_t Gamma = 100;  // hundredths
  int32_t SaturationRGB = 100, SaturationR = 100, SaturationG = 100, SaturationB = 100;
  TChannelThreshold ThresholdR, ThresholdG, ThresholdB;
  bool ThresholdTouched = false;
  bool SwapRedBlue = false, SwapRedGreen = false, SwapGreenBlue = false;
};

// 255 above 255, 0 below 0.
constexpr uint8_t IntToByte(int32_t I) {
  return uint8_t(I > 255 ? 255 : I < 0 ? 0 : I);
}

// exp(Exponent * ln(Base)).
double Power(double Base, double Exponent);

// 2 for algorithms 1, 2, 5, 6, 9, 10; 1 for 3, 4, 7, 8.
int32_t BalanceDivisor(int32_t Algorithm);
// 255 for 100, else Round(S / 100 * 255), ties to even.
int32_t SaturationFactor(int32_t S);
// Entry 0 is 0, entry i is Round(255 * (i / 255)^(1 / G)); G = 0 counts as 0.01.
std::array<uint8_t, 256> GammaTable(double G);

// Maps blue, green and red of every pixel through the gamma table; the fourth byte stays.
void Gamma(TPixelRows& Rows, double G);
// The per-pixel pass (saturation to balance), then Gamma with the settings' value.
void MaxPixels(TPixelRows& Rows, const TExtendedColorSettings& Settings);

// Exchanges two bytes (0 blue, 1 green, 2 red) of every pixel.
void SwapChannelBytes(TPixelRows& Rows, int First, int Second);
void SwapRedBluePixels(TPixelRows& Rows);
void SwapRedGreenPixels(TPixelRows& Rows);
void SwapGreenBluePixels(TPixelRows& Rows);

// True when any balance, brightness, contrast, gamma or saturation value or a threshold
// asks for the per-pixel pass.
bool NeedsPixelPass(const TExtendedColorSettings& Settings);

// The whole chain in place: logical operations, the pixel pass when needed, then the swaps.
void ApplyExtendedColor(gfx::TCustomBitmap32& Bitmap, const TExtendedColorSettings& Settings);

}  // namespace app
