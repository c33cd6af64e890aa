#include "app/mainwindow/Settings.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace app {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t ReadBlock = size_t(1) << 20;

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

// Applies one line; returns whether it held a saved text.
bool ApplyLine(std::string_view line, TSettingsValues& v, std::vector<std::string>& texts) {
  // People indent lines in the files they edit by hand.
  line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
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

// Takes the file's bytes as they come and applies each line once it has ended, holding one line
// at a time.
class TSettingsReader {
 public:
  explicit TSettingsReader(TSettingsValues& values) : values_(values) {}

  void Add(std::string_view bytes) {
    while (!bytes.empty()) {
      const size_t end = bytes.find_first_of("\r\n");
      const std::string_view part = bytes.substr(0, end);
      tooLong_ = tooLong_ || line_.size() + part.size() > MaxSettingsLine;
      if (!tooLong_) line_.append(part);
      if (end == std::string_view::npos) return;
      EndLine();
      bytes.remove_prefix(end + 1);
    }
  }

  // Ends the last line; appends the texts kept and returns whether any was read.
  bool Finish(std::vector<std::string>& texts) {
    EndLine();
    const size_t first = read_.size() > size_t(MaxSavedTexts) ? read_.size() - MaxSavedTexts : 0;
    texts.insert(texts.end(), std::make_move_iterator(read_.begin() + first),
                 std::make_move_iterator(read_.end()));
    return textRead_;
  }

 private:
  // An empty line between CR and LF changes nothing.
  void EndLine() {
    std::string_view line(line_);
    // Editors that save UTF-8 may put a byte-order mark first.
    if (std::exchange(firstLine_, false) && line.starts_with(ByteOrderMark))
      line.remove_prefix(ByteOrderMark.size());
    if (!tooLong_ && ApplyLine(line, values_, read_)) {
      textRead_ = true;
      // Only the last texts can be kept; the file the program writes holds no more.
      if (read_.size() == 2 * size_t(MaxSavedTexts))
        read_.erase(read_.begin(), read_.begin() + MaxSavedTexts);
    }
    line_.clear();
    tooLong_ = false;
  }

  TSettingsValues& values_;
  std::vector<std::string> read_;
  std::string line_;
  bool tooLong_ = false, firstLine_ = true, textRead_ = false;
};

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

bool ParseSettingsText(std::string_view text, TSettingsValues& values,
                       std::vector<std::string>& texts) {
  TSettingsReader reader(values);
  reader.Add(text);
  return reader.Finish(texts);
}

std::string SettingsFileName() {
  return plat::JoinPath(plat::ConfigFolder(), SettingsFileBaseName);
}

TSettingsFileState ReadSettingsFile(const std::string& fileName, TSettingsValues& values,
                                    std::vector<std::string>& texts) {
  TSettingsFileState state;
  // Nothing changes until the whole file is read.
  TSettingsValues read = values;
  std::vector<std::string> readTexts;
  try {
    plat::TFileStream file(fileName, plat::fmOpenRead | plat::fmShareDenyWrite);
    if (file.Size() > MaxSettingsFileSize) throw plat::EReadError("too large");
    TSettingsReader reader(read);
    std::string block(ReadBlock, '\0');
    int64_t total = 0;
    for (int64_t got; (got = file.Read(block.data(), int64_t(block.size()))) > 0;) {
      // A file that grows while it is read is weighed again.
      if ((total += got) > MaxSettingsFileSize) throw plat::EReadError("too large");
      reader.Add(std::string_view(block.data(), size_t(got)));
    }
    state.TextRead = reader.Finish(readTexts);
  } catch (const plat::Exception&) {
    // No file yet: the defaults stand. Any other file stays as it is.
    state.Kept = plat::NameExists(fileName);
    return state;
  }
  values = std::move(read);
  texts.insert(texts.end(), std::make_move_iterator(readTexts.begin()),
               std::make_move_iterator(readTexts.end()));
  return state;
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
