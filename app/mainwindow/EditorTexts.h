// The editor's fixed texts: captions, labels, hints, folder and file names, settings keys.
#pragma once

#include <string_view>

namespace app {

// The program's display name in two halves, and its version.
inline constexpr std::string_view TitleName1 = "Pix";
inline constexpr std::string_view TitleName2 = "Stamp";
inline constexpr std::string_view TitleVersion = "1.0";

// Text defaults. The font size counts tens of points.
inline constexpr std::string_view DefaultFontName = "DejaVu Sans";
inline constexpr std::string_view DefaultFontSize = "4";
inline constexpr std::string_view InitialText = "Your watermark";
// The entry that asks for a text each time it is stamped.
inline constexpr std::string_view SampleText = "(type a text when adding)";
inline constexpr std::string_view CornerText = "(c) PixStamp";

// Folders below the data folder, and the default layer picture.
inline constexpr std::string_view BackgroundFolderName = "Backgrounds";
inline constexpr std::string_view LayerFolderName = "Layers";
inline constexpr std::string_view LayerPictureExt = ".png";
inline constexpr std::string_view DefaultLayerPicture = "default-layer.png";
// A digit key stamps the layer folder's preset picture named by the preset mark, the digit and
// this extension.
inline constexpr std::string_view PresetExt = ".png";
// The command-line word that asks for the default layer picture (compared case-insensitively).
inline constexpr std::string_view DefaultLayerSwitch = "DEFAULT";

inline constexpr std::string_view AboutHint = "About PixStamp";
inline constexpr std::string_view ScaleLabelText = "Scale: ";
inline constexpr std::string_view ScaleLabelDefault = "1.00";
inline constexpr std::string_view OpacityLabelText = "Opacity: ";

// The close question.
inline constexpr std::string_view SaveQuestionText =
    "The picture was changed. Save it before closing?";

// Told when a dialog's result vanished from its work file before it could be taken back.
inline constexpr std::string_view LostResultText =
    "The picture the dialog wrote is gone (its work file was removed), so nothing was changed.";

// Pieces of the text hint.
inline constexpr std::string_view HintTitle = "Text to stamp";
inline constexpr std::string_view HintFontLabel = "Font: ";
inline constexpr std::string_view HintSizeLabel = "Size (x10 pt): ";
inline constexpr std::string_view HintColorLabel = "Color: ";
inline constexpr std::string_view HintBoldWord = "Bold";
inline constexpr std::string_view HintItalicWord = "Italic";

// The settings file and its keys. Every key ends with its only "="; none lies inside another
// except that the box colour key is "BG" followed by the text colour key.
inline constexpr std::string_view SettingsFileBaseName = "settings.ini";
inline constexpr std::string_view SettingsNotSavedText =
    "The settings (folders, texts, text options) cannot be saved in ";
inline constexpr std::string_view SettingsKeptText =
    "The settings file could not be read, so it is left as it is, and the settings (folders, "
    "texts, text options) of this run are not saved in ";
inline constexpr std::string_view FolderKeySuffix = "Folder=";
inline constexpr std::string_view OverlayBackgroundKey = "OverlayPicture=";
inline constexpr std::string_view OverlayFileKey = "OverlayMask=";
inline constexpr std::string_view NewImageColorKey = "NewPictureColor=";
inline constexpr std::string_view NewImageWidthKey = "NewPictureWidth=";
inline constexpr std::string_view NewImageHeightKey = "NewPictureHeight=";
inline constexpr std::string_view FontNameKey = "FontName=";
inline constexpr std::string_view FontSizeKey = "FontSize=";
inline constexpr std::string_view FontColorKey = "FontColor=";
inline constexpr std::string_view BackColorPrefix = "BG";
inline constexpr std::string_view FontTransparentKey = "FontTransparent=";
inline constexpr std::string_view BackTransparentKey = "BoxTransparent=";
inline constexpr std::string_view TextColorModeKey = "TextColorMode=";
inline constexpr std::string_view BoldKey = "Bold=";
inline constexpr std::string_view ItalicKey = "Italic=";
inline constexpr std::string_view CurrentTextKey = "CurrentText=";
inline constexpr std::string_view TextItemKey = "SavedText=";
inline constexpr std::string_view TrueText = "True";

// The about page's optional lines: a link to the layer folder when its marker file is there, and
// a link to the help page when the page's marker file is beside the program.
inline constexpr std::string_view AboutLayerMarker = "about-layers.txt";
inline constexpr std::string_view AboutPageMarker = "help.html";
inline constexpr std::string_view AboutLinkText = "Help and examples";
inline constexpr std::string_view AboutLayerLinkText = "Your layer pictures";

// Pieces of the window caption shown after a picture is loaded.
inline constexpr std::string_view CaptionPart1 = " - [";
inline constexpr std::string_view CaptionPart2 = "] ";
inline constexpr std::string_view CaptionPart3 = " x ";
inline constexpr std::string_view CaptionPart4 = " pixels";

}  // namespace app
