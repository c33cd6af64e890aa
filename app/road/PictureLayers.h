// Making picture and text layers: their bitmaps, their opacity and scale defaults and their place
// over the background.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "graphics/layers/Layers.h"
#include "platform/drawing/Colors.h"
#include "platform/drawing/Geometry.h"

namespace app {

// Pixels of exactly this colour become holes in a picture layer (black stays opaque).
inline constexpr gfx::TColor32 PictureKeyColor = 0xFF010101;

// A preset (logo) picture carries one of the marks in its file name, in any letter case.
bool IsPresetPicture(std::string_view FileName);

// The largest whole percentage from 100 down to 2 at which W x H fits into BgW x BgH; 2 when none.
int32_t FitScalePercent(int64_t W, int64_t H, int32_t BgW, int32_t BgH);

struct TPictureLayerRequest {
  std::string FileName;
  int32_t X = 0, Y = 0;
  // A layer put back after the rotation or colour dialogs keeps Opacity and Scale as given, even
  // when both are 0, and its picture's transparency; a new picture chooses them itself.
  bool Restored = false;
  int32_t AngleCode = 0;
  int32_t Opacity = 0, Scale = 0, Mode = 0;
  int32_t StepCount = 0, StepAngle = 0;
};

// Size of the background the layer is fitted into, and of the view bitmap it is placed on.
struct TLayerSurroundings {
  int32_t BackgroundWidth = 0, BackgroundHeight = 0;
  int32_t ViewWidth = 0, ViewHeight = 0;
};

// The picture in FileName, drawn by blending. A picture from outside gets its key colour made
// transparent; one handed back by a dialog keeps its transparency as it is.
void LoadLayerPicture(gfx::TBitmap32& Bitmap, const std::string& FileName, bool KeyColor);

// Where a layer whose bitmap is W x H lies at scale P, keeping its top-left corner.
gfx::TFloatRect ScaledLayerRect(const gfx::TFloatRect& Location, int32_t W, int32_t H, int32_t P);

// Opacity and scale go to the layer's bitmap and location as the gauges' handlers would.
void ApplyLayerOpacity(gfx::TBitmapLayer& Layer, int32_t Opacity);
void ApplyLayerScale(gfx::TBitmapLayer& Layer, int32_t Percent);

// Adds a picture layer on top with its opacity, scale, place and colour mode. A picture that
// cannot be read leaves the collection as it was and the error goes on.
gfx::TBitmapLayer& AddPictureLayer(gfx::TLayerCollection& Layers,
                                   const TPictureLayerRequest& Request,
                                   const TLayerSurroundings& Around);

struct TRenderText {
  int32_t Reserved1 = 3000, Reserved2 = 1000;
  std::string FontName;
  int32_t Size = 40;  // points
  bool Bold = false, Italic = false;
  gfx::TColor32 TextColor = 0xFFFFFFFF;
  plat::TColor BackColor = 0;
  std::string Text;
};

struct TTextLayerStyle {
  bool CornerSizing = false;  // the current text is the corner text: a box 10 pixels larger
  bool FontTransparent = false, BackTransparent = false;
  int32_t TextTop = 50;
  int32_t ColorMode = 0;
  bool HasAngle = false;
  int32_t AngleCode = 0;
  int32_t StepCount = 0, StepAngle = 0;
};

// The box around text whose extent is Extent at Size points; none for sizes without a rule.
std::optional<plat::TSize> TextBoxSize(int32_t Size, plat::TSize Extent, bool CornerSizing);

// Renders " Text " into Bitmap with its box, keying out what the style asks for.
void RenderTextLayerBitmap(gfx::TBitmap32& Bitmap, const TRenderText& Text,
                           const TTextLayerStyle& Style);

// Adds a text layer on top at its place and scale, fully opaque. On error nothing is added.
gfx::TBitmapLayer& AddTextLayer(gfx::TLayerCollection& Layers, const TRenderText& Text,
                                const TTextLayerStyle& Style, const TLayerSurroundings& Around);

// The scale a new text layer starts at.
int32_t TextLayerScale(const TRenderText& Text);

}  // namespace app
