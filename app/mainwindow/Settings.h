// The settings file: the user's folders, new-picture size and colour, text look and saved texts,
// kept between runs as one "key=value" line per setting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/mainwindow/EditorTexts.h"
#include "platform/drawing/Colors.h"

namespace app {

// How many saved texts the file keeps (the last ones).
inline constexpr int MaxSavedTexts = 50;
// The longest line read. Every line the program writes is far shorter: a text comes from an edit
// of at most 32767 characters (96 KiB in UTF-8), a folder is a path.
inline constexpr size_t MaxSettingsLine = size_t(1) << 20;
// A larger file is not read, and left as it is.
inline constexpr int64_t MaxSettingsFileSize = int64_t(1) << 30;

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

// Reads the file's text over values and appends the last MaxSavedTexts saved texts it holds to
// texts. A key counts only at the start of a line, after any blanks and tabs (and a byte-order
// mark starting the file), in any letter case; lines end with CR LF, LF or CR. Values that cannot
// be read keep what values held, and lines longer than MaxSettingsLine are skipped. Returns
// whether a saved text was read.
bool ParseSettingsText(std::string_view text, TSettingsValues& values,
                       std::vector<std::string>& texts);

// The settings file of this user.
std::string SettingsFileName();

// What reading the file found.
struct TSettingsFileState {
  // A saved text was read.
  bool TextRead = false;
  // A file is there that could not be read (unreadable, no regular file, larger than
  // MaxSettingsFileSize): it is the user's, not one to replace with the defaults.
  bool Kept = false;
};

// Reads the file as ParseSettingsText reads its text, a block at a time. A file that is missing
// or that could not be read leaves everything as it was.
TSettingsFileState ReadSettingsFile(const std::string& fileName, TSettingsValues& values,
                                    std::vector<std::string>& texts);
// Writes the file through a temporary file, so a failure keeps the old one; returns whether it
// was written.
bool WriteSettingsFile(const std::string& fileName, const TSettingsValues& values,
                       const std::vector<std::string>& texts);

}  // namespace app
