#include "app/road/PictureLayers.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "app/colors/ColorInteraction.h"
#include "app/mainwindow/EditorTexts.h"
#include "app/road/RoadTexts.h"
#include "graphics/filters/Filters.h"
#include "platform/drawing/Graphics.h"
#include "platform/runtime/Files.h"

namespace app {
namespace {

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

// Rounds halves to the even neighbour.
int32_t RoundEven(double value) {
  return int32_t(std::nearbyint(value));
}

// Takes the layer out again when making it fails half-way.
class TPendingLayer {
 public:
  TPendingLayer(gfx::TLayerCollection& Layers)
      : layers_(Layers), layer_(Layers.Add<gfx::TBitmapLayer>()) {}
  ~TPendingLayer() {
    if (!kept_) layers_.Delete(layers_.IndexOf(&layer_));
  }
  TPendingLayer(const TPendingLayer&) = delete;
  TPendingLayer& operator=(const TPendingLayer&) = delete;
  gfx::TBitmapLayer& Keep() {
    kept_ = true;
    return layer_;
  }
  gfx::TBitmapLayer& Layer() { return layer_; }

 private:
  gfx::TLayerCollection& layers_;
  gfx::TBitmapLayer& layer_;
  bool kept_ = false;
};

void BindMode(gfx::TBitmapLayer& Layer, int32_t Mode) {
  if (Mode != 0 && BindColorInteraction(Layer.Bitmap(), Mode, MainWindowInteraction()))
    Layer.Changed();
}

void SetLocation(gfx::TBitmapLayer& Layer, float X, float Y, float W, float H) {
  Layer.SetLocation({X, Y, X + W, Y + H});
  Layer.SetScaled(true);
}

}  // namespace

bool IsPresetPicture(std::string_view FileName) {
  // The folders are the user's own: a picture in ~/Logos is not a preset.
  const std::string name = UpperAscii(plat::ExtractFileName(FileName));
  return name.find(PresetMark1) != std::string::npos || name.find(PresetMark2) != std::string::npos;
}

int32_t FitScalePercent(int64_t W, int64_t H, int32_t BgW, int32_t BgH) {
  for (int32_t p = 100; p >= 2; --p)
    if (double(W) * p / 100 <= BgW && double(H) * p / 100 <= BgH) return p;
  return 2;
}

void LoadLayerPicture(gfx::TBitmap32& Bitmap, const std::string& FileName, bool KeyColor) {
  Bitmap.LoadFromFile(FileName);
  if (KeyColor) gfx::ColorKeyToTransparent(&Bitmap, PictureKeyColor);
  Bitmap.SetDrawMode(gfx::dmBlend);
}

gfx::TFloatRect ScaledLayerRect(const gfx::TFloatRect& Location, int32_t W, int32_t H, int32_t P) {
  const float sx = float(W) * float(P) * 0.005f, sy = float(H) * float(P) * 0.005f;
  return {Location.Left, Location.Top, Location.Left + 2 * sx, Location.Top + 2 * sy};
}

void ApplyLayerOpacity(gfx::TBitmapLayer& Layer, int32_t Opacity) {
  Layer.Bitmap().SetMasterAlpha(uint32_t(Opacity));
  Layer.OpacityValue = Opacity;
}

void ApplyLayerScale(gfx::TBitmapLayer& Layer, int32_t Percent) {
  Layer.ScalePercent = Percent;
  Layer.SetLocation(
      ScaledLayerRect(Layer.Location(), Layer.Bitmap().Width(), Layer.Bitmap().Height(), Percent));
}

gfx::TBitmapLayer& AddPictureLayer(gfx::TLayerCollection& Layers,
                                   const TPictureLayerRequest& Request,
                                   const TLayerSurroundings& Around) {
  TPendingLayer pending(Layers);
  gfx::TBitmapLayer& L = pending.Layer();
  L.SetCropped(true);
  L.AngleCode = Request.Restored ? Request.AngleCode : 0;
  LoadLayerPicture(L.Bitmap(), Request.FileName, !Request.Restored);
  L.SourceFile = Request.FileName;

  const int32_t W = L.Bitmap().Width(), H = L.Bitmap().Height();
  const bool preset = !Request.Restored && IsPresetPicture(Request.FileName);
  int32_t opacity = Request.Opacity, scale = Request.Scale;
  if (!Request.Restored) {
    opacity = preset ? 125 : 255;
    scale = preset ? 22
            : (W > Around.BackgroundWidth || H > Around.BackgroundHeight)
                ? FitScalePercent(W, H, Around.BackgroundWidth, Around.BackgroundHeight)
                : 100;
  }
  L.StateFlag = 1;
  L.ColorMode = Request.Mode;
  float x = float(Request.X), y = float(Request.Y);
  if (preset) {
    x = float(Around.ViewWidth - RoundEven(W * 0.11) - 135);
    y = float(Around.ViewHeight - RoundEven(H * 0.11) - 35);
  }
  SetLocation(L, x, y, float(W), float(H));
  BindMode(L, Request.Mode);
  L.StepCount = Request.StepCount;
  L.StepAngle = Request.StepAngle;
  ApplyLayerOpacity(L, opacity);
  ApplyLayerScale(L, scale);
  return pending.Keep();
}

std::optional<plat::TSize> TextBoxSize(int32_t Size, plat::TSize E, bool CornerSizing) {
  if (CornerSizing) return plat::TSize{E.cx + 10, E.cy + 10};
  struct Rule {
    int32_t from, to, dx, dy;
  };
  static constexpr Rule rules[] = {{20, 20, -3, 3},    {30, 30, 2, 4},          {40, 40, 3, 6},
                                   {50, 50, 0, 7},     {60, 60, 1, 8},          {70, 90, 3, 10},
                                   {100, 150, -8, 15}, {160, INT32_MAX, -6, 20}};
  for (const Rule& r : rules) {
    if (Size < r.from || Size > r.to) continue;
    // Between the rows of the table only multiples of ten have a rule.
    if (r.to <= 90 && Size % 10 != 0) return std::nullopt;
    return plat::TSize{E.cx + r.dx, E.cy + r.dy};
  }
  return std::nullopt;
}

void RenderTextLayerBitmap(gfx::TBitmap32& Bitmap, const TRenderText& Text,
                           const TTextLayerStyle& Style) {
  const std::string padded = " " + Text.Text + " ";
  plat::TFont& font = Bitmap.Font();
  font.SetStyle(
      plat::TFontStyles((Text.Bold ? plat::fsBold : 0) | (Text.Italic ? plat::fsItalic : 0)));
  font.SetName(Text.FontName);
  font.SetSize(Text.Size);
  const std::optional<plat::TSize> box =
      TextBoxSize(Text.Size, Bitmap.TextExtent(padded), Style.CornerSizing);
  if (!box) return;
  Bitmap.SetSize(std::max(box->cx, 0), std::max(box->cy, 0));
  const gfx::TColor32 back = gfx::Color32(Text.BackColor) | 0xFF000000u;
  if (!Style.BackTransparent) Bitmap.ClearWithColor(back);
  Bitmap.RenderText(0, 0, padded, 4, Text.TextColor);
  if (Style.FontTransparent) gfx::ColorKeyToTransparent(&Bitmap, Text.TextColor);
  if (Style.BackTransparent) gfx::ColorKeyToTransparent(&Bitmap, back);
}

int32_t TextLayerScale(const TRenderText& Text) {
  return Text.Text == CornerText ? 32 : 100;
}

gfx::TBitmapLayer& AddTextLayer(gfx::TLayerCollection& Layers, const TRenderText& Text,
                                const TTextLayerStyle& Style, const TLayerSurroundings& Around) {
  TPendingLayer pending(Layers);
  gfx::TBitmapLayer& L = pending.Layer();
  L.SetCropped(true);
  L.AngleCode = Style.HasAngle ? Style.AngleCode : 0;
  RenderTextLayerBitmap(L.Bitmap(), Text, Style);
  L.Bitmap().SetDrawMode(gfx::dmBlend);

  const int32_t W = L.Bitmap().Width(), H = L.Bitmap().Height();
  const int32_t P = TextLayerScale(Text);
  float x = 50, y = float(Style.TextTop);
  if (P == 32) {
    x = float(Around.ViewWidth - RoundEven(W * P / 200.0) - 125);
    y = float(Around.ViewHeight - RoundEven(H * P / 200.0) - 35);
  }
  SetLocation(L, x, y, float(W) * P / 200, float(H) * P / 200);
  BindMode(L, Style.ColorMode);
  L.StateFlag = (Style.ColorMode >= 1 && Style.ColorMode <= 10) ? 0 : 1;
  L.ColorMode = Style.ColorMode;
  L.StepCount = Style.StepCount;
  L.StepAngle = Style.StepAngle;
  ApplyLayerOpacity(L, 255);
  ApplyLayerScale(L, P);
  return pending.Keep();
}

}  // namespace app
