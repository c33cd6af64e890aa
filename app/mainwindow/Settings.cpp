#include "app/mainwindow/Settings.h"

#include <algorithm>

#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

// A settings file larger than this is not ours.
constexpr int64_t MaxSettingsFileSize = 16 << 20;
// Nor is a longer line: no path, font name or stampable text comes near it, and a value this long
// would stall the window that shows it.
constexpr size_t MaxSettingsLine = 16 << 10;

std::string OneLine(std::string_view value) {
  std::string line(value);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
  return line;
}

class TLineWriter {
 public:
  void Line(std::string_view key, std::string_view value) {
    text_.append(key);
    text_ += OneLine(value);
    text_ += '\n';
  }
  void Switch(std::string_view key, bool on) {
    if (on) Line(key, TrueText);
  }
  std::string& Text() { return text_; }

 private:
  std::string text_;
};

std::string FolderKey(std::string_view folderName) {
  return std::string(folderName) + std::string(FolderKeySuffix);
}

std::string BackColorKey() {
  return std::string(BackColorPrefix) + std::string(FontColorKey);
}

bool StartsWithText(std::string_view line, std::string_view key) {
  return line.size() >= key.size() && plat::SameText(line.substr(0, key.size()), key);
}

bool WholeNumberIn(std::string_view text, int32_t low, int32_t high, int32_t& value) {
  int32_t parsed = 0;
  if (!plat::TryStrToInt(text, parsed) || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

void ReadColor(std::string_view text, plat::TColor& color) {
  try {
    color = plat::StringToColor(text);
  } catch (const plat::EConvertError&) {
    // An unreadable colour keeps the one already there.
  }
}

// Calls each(line) for every line, ended by CR LF, LF or a lone CR.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    each(text.substr(start, end - start));
    start = end;
    if (start < text.size() && text[start] == '\r') ++start;
    if (start < text.size() && text[start] == '\n') ++start;
  }
}

// Applies one line; returns whether it held a saved text.
bool ApplyLine(std::string_view line, TSettingsValues& v, std::vector<std::string>& texts) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string value(line.substr(equals + 1));
  auto is = [&](std::string_view key) { return StartsWithText(line, key); };
  auto isOn = [&](std::string_view key) {
    return StartsWithText(line, std::string(key) + std::string(TrueText));
  };

  if (is(FolderKey(BackgroundFolderName))) v.BackgroundFolder = value;
  if (is(FolderKey(LayerFolderName))) v.LayerFolder = value;
  if (is(FontNameKey)) v.FontName = value;
  if (is(FontSizeKey)) {
    int32_t size = 0;
    v.FontSizeText = WholeNumberIn(value, 2, 18, size) ? value : std::string(DefaultFontSize);
  }
  if (is(FontColorKey)) ReadColor(value, v.FontColor);
  if (is(BackColorKey())) ReadColor(value, v.BackColor);
  if (isOn(BoldKey)) v.TextBold = true;
  if (isOn(ItalicKey)) v.TextItalic = true;
  if (isOn(FontTransparentKey)) v.FontTransparent = true;
  if (isOn(BackTransparentKey)) v.BackTransparent = true;
  if (is(TextColorModeKey) && !WholeNumberIn(value, 0, 10, v.TextColorMode)) v.TextColorMode = 0;
  if (is(CurrentTextKey)) v.CurrentText = value;
  if (is(NewImageColorKey)) ReadColor(value, v.NewImageColor);
  if (is(NewImageWidthKey) && !plat::TryStrToInt(value, v.NewImageWidth)) v.NewImageWidth = 1280;
  if (is(NewImageHeightKey) && !plat::TryStrToInt(value, v.NewImageHeight)) v.NewImageHeight = 1024;
  if (is(OverlayBackgroundKey)) v.OverlayBackgroundFile = value;
  if (is(OverlayFileKey)) v.OverlayFile = value;
  if (!is(TextItemKey)) return false;
  texts.push_back(value);
  return true;
}

}  // namespace

std::string SettingsText(const TSettingsValues& v, const std::vector<std::string>& texts) {
  TLineWriter w;
  w.Line(FolderKey(BackgroundFolderName), v.BackgroundFolder);
  w.Line(FolderKey(LayerFolderName), v.LayerFolder);
  w.Line(OverlayBackgroundKey, v.OverlayBackgroundFile);
  w.Line(OverlayFileKey, v.OverlayFile);
  w.Line(NewImageColorKey, plat::ColorToString(v.NewImageColor));
  w.Line(NewImageWidthKey, plat::IntToStr(v.NewImageWidth));
  w.Line(NewImageHeightKey, plat::IntToStr(v.NewImageHeight));
  w.Line(FontNameKey, v.FontName);
  w.Line(FontSizeKey, v.FontSizeText);
  w.Line(FontColorKey, plat::ColorToString(v.FontColor));
  w.Line(BackColorKey(), plat::ColorToString(v.BackColor));
  w.Switch(FontTransparentKey, v.FontTransparent);
  w.Switch(BackTransparentKey, v.BackTransparent);
  w.Line(TextColorModeKey, plat::IntToStr(v.TextColorMode));
  w.Switch(BoldKey, v.TextBold);
  w.Switch(ItalicKey, v.TextItalic);
  w.Line(CurrentTextKey, v.CurrentText);
  const size_t first = texts.size() > size_t(MaxSavedTexts) ? texts.size() - MaxSavedTexts : 0;
  for (size_t i = first; i < texts.size(); ++i)
    if (OneLine(texts[i]) != SampleText) w.Line(TextItemKey, texts[i]);
  return std::move(w.Text());
}

bool ParseSettingsText(const std::string& text, TSettingsValues& values,
                       std::vector<std::string>& texts) {
  bool textRead = false;
  std::vector<std::string> read;
  ForEachLine(text, [&](std::string_view line) {
    if (line.size() > MaxSettingsLine || !ApplyLine(line, values, read)) return;
    textRead = true;
    // Only the last texts can be kept; the file the program writes holds no more.
    if (read.size() == 2 * size_t(MaxSavedTexts))
      read.erase(read.begin(), read.begin() + MaxSavedTexts);
  });
  const size_t first = read.size() > size_t(MaxSavedTexts) ? read.size() - MaxSavedTexts : 0;
  texts.insert(texts.end(), std::make_move_iterator(read.begin() + first),
               std::make_move_iterator(read.end()));
  return textRead;
}

std::string SettingsFileName() {
  return plat::JoinPath(plat::ConfigFolder(), SettingsFileBaseName);
}

bool ReadSettingsFile(const std::string& fileName, TSettingsValues& values,
                      std::vector<std::string>& texts) {
  std::string text;
  try {
    text = plat::ReadFileBytes(fileName, MaxSettingsFileSize);
  } catch (const plat::Exception&) {
    return false;  // no file yet, or one we cannot read: the defaults stand
  }
  return ParseSettingsText(text, values, texts);
}

bool WriteSettingsFile(const std::string& fileName, const TSettingsValues& values,
                       const std::vector<std::string>& texts) {
  try {
    plat::ForceDirectories(plat::ExtractFileDir(fileName));
    plat::WriteFileAtomically(fileName, SettingsText(values, texts));
    return true;
  } catch (const plat::Exception&) {
    return false;  // the old file stays as it was
  }
}

}  // namespace app
