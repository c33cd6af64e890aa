// Folder app/colors: the editor's colour arithmetic - colour interactions and the extended colour
// chain. Uses the graphics engine only.
//
// The editor's colour interactions: how a picture combines with what lies beneath it.
// Modes 1 to 10 are per-pixel handlers of this module; modes above 10 are blend modes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "graphics/core/Types.h"

namespace gfx {
class TCustomBitmap32;
}

namespace app {

using gfx::TColor32;

inline constexpr int32_t ColorModeNone = 0, ColorModeAdd = 1, ColorModeSub = 2,
                         ColorModeModulate = 3, ColorModeMin = 4, ColorModeMax = 5,
                         ColorModeDifference = 6, ColorModeExclusion = 7, ColorModeAverage = 8,
                         ColorModeDivision = 9, ColorModePattern = 10;
// Modes above this select blend mode (mode - ColorModeLastHandler).
inline constexpr int32_t ColorModeLastHandler = 10;

// The item texts of the interaction lists, in mode order.
inline constexpr std::array<std::string_view, 11> ColorInteractionNames = {
    "None",       "Add",       "Sub",     "Modulate", "Min",    "Max",
    "Difference", "Exclusion", "Average", "Division", "Pattern"};

// One window's set of the ten handlers. The handlers ignore the master alpha M. Only the
// pattern handler has state: a counter that lives as long as the set and is never reset.
class TColorInteraction {
 public:
  void PixelCombineAdd(TColor32 F, TColor32& B, TColor32 M);
  void PixelCombineSub(TColor32 F, TColor32& B, TColor32 M);
  void PixelCombineModulate(TColor32 F, TColor32& B, TColor32 M);
  void PixelCombineMin(TColor32 F, TColor32& B, TColor32 M);
  void PixelCombineMax(TColor32 F, TColor32& B, TColor32 M);
  void PixelCombineDifference(TColor32 F, TColor32& B, TColor32 M);
  void PixelCombineExclusion(TColor32 F, TColor32& B, TColor32 M);
  void PixelCombineAverage(TColor32 F, TColor32& B, TColor32 M);
  void PixelCombineDivision(TColor32 F, TColor32& B, TColor32 M);
  // B takes F on every second call since the set was made.
  void PixelCombinePattern(TColor32 F, TColor32& B, TColor32 M);
  // PixelCombinePattern over a row, pixel by pixel in ascending order, counting on where the
  // previous calls left off.
  void PixelCombinePatternRow(const TColor32* F, TColor32* B, int32_t Count);

  int32_t PatternCounter() const { return patternCounter_; }

  // The handler of mode 1..10 bound to this set; empty for any other mode. It holds a
  // gfx::TRowCombiner, so the engine's drawing loops combine whole rows at once.
  gfx::TPixelCombineEvent Handler(int32_t Mode);

 private:
  int32_t patternCounter_ = 0;
};

// The sets of the three windows that draw with interactions; each lives for the whole run.
TColorInteraction& MainWindowInteraction();
TColorInteraction& RotationDialogInteraction();
TColorInteraction& LayerBuilderInteraction();

// Modes 1..10 bind Set's handler, modes above 10 the blend mode (Mode - 10); either way the
// bitmap is drawn in dmCustom and marked changed, and the result is true. Other modes change
// nothing and give false: what mode 0 means is the caller's.
bool BindColorInteraction(gfx::TCustomBitmap32& Bitmap, int32_t Mode, TColorInteraction& Set);

// The picture tools' list has no "Exclusion" and separators at 25 and 33: its index as a
// colour mode, or -1 for a separator.
int32_t PictureToolsColorMode(int32_t Index);

}  // namespace app
