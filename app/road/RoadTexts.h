// Fixed texts of opening, saving and the clipboard.
#pragma once

#include <string_view>

namespace app {

// The one format the editor writes, compared in lower case.
inline constexpr std::string_view JpegExt = ".jpg";
// Appended to the background's base name for the offered save name.
inline constexpr std::string_view SaveNameSuffix = "-stamped";
// Name fragments that mark a logo picture, placed small at the bottom-right.
inline constexpr std::string_view PresetMark1 = "LOGO";
inline constexpr std::string_view PresetMark2 = "PRESET";
// The picture taken from the clipboard is kept under these names in the run's work folder: as a
// JPEG for the background, as a 32-bit BMP for a layer.
inline constexpr std::string_view PasteFileName = "pasted.jpg";
inline constexpr std::string_view PasteLayerFileName = "pasted-layer.bmp";
inline constexpr std::string_view NoPictureText = "The clipboard holds no picture.";
inline constexpr std::string_view PasteFailedText =
    "The picture on the clipboard could not be taken over.";
inline constexpr std::string_view NothingToSaveText = "There is no picture to save.";
inline constexpr std::string_view NothingToCopyText = "There is no picture to copy.";

}  // namespace app
