// The settings file: the user's folders, new-picture size and colour, text look and saved texts,
// kept between runs as one "key=value" line per setting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/mainwindow/EditorTexts.h"
#include "platform/drawing/Colors.h"

namespace app {

// How many saved texts the file keeps (the last ones).
inline constexpr int MaxSavedTexts = 50;

// The values the file keeps, with their defaults for a first run.
struct TSettingsValues {
  std::string BackgroundFolder;
  std::string LayerFolder;
  std::string OverlayBackgroundFile;
  std::string OverlayFile;
  plat::TColor NewImageColor = plat::clCream;
  int32_t NewImageWidth = 1280;
  int32_t NewImageHeight = 1024;
  std::string FontName{DefaultFontName};
  std::string FontSizeText{DefaultFontSize};
  plat::TColor FontColor = plat::clCream;
  plat::TColor BackColor = plat::clNavy;
  bool FontTransparent = false;
  bool BackTransparent = false;
  int32_t TextColorMode = 0;
  bool TextBold = false;
  bool TextItalic = false;
  std::string CurrentText{InitialText};
};

// The file's text for the values and the saved texts: the fixed lines, then the last
// MaxSavedTexts texts other than the sample entry. Line breaks inside a value become blanks,
// so that a value never spills into lines of its own.
std::string SettingsText(const TSettingsValues& values, const std::vector<std::string>& texts);

// Reads the file's text over values (a key counts only at the start of a line; values that
// cannot be read keep what values held, and lines too long to be the program's are skipped) and
// appends the last MaxSavedTexts saved texts it holds to texts. Returns whether a saved text was
// read.
bool ParseSettingsText(const std::string& text, TSettingsValues& values,
                       std::vector<std::string>& texts);

// The settings file of this user.
std::string SettingsFileName();

// Reads the file; a missing or unreadable file leaves everything as it was and returns false.
bool ReadSettingsFile(const std::string& fileName, TSettingsValues& values,
                      std::vector<std::string>& texts);
// Writes the file through a temporary file, so a failure keeps the old one; returns whether it
// was written.
bool WriteSettingsFile(const std::string& fileName, const TSettingsValues& values,
                       const std::vector<std::string>& texts);

}  // namespace app
