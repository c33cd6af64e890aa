// The settings file against a model of its rules, over random files and random values: every key
// in any letter case, numbers at and past their limits, colours by name and number, switches, and
// hostile lines (garbage, NUL bytes, stray "=", keys inside texts, every line ending).
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/mainwindow/Settings.h"
#include "platform/drawing/Colors.h"

namespace {

using app::TSettingsValues;

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

// A whole number: blanks, a sign, then decimal digits or "$" (or "0x") and hex digits, nothing
// after; decimal within 32 bits signed, hex within 32 bits unsigned (taken as its bits).
std::optional<int32_t> WholeNumber(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16, ++i;
  } else if (s.substr(i, 2) == "0x" || s.substr(i, 2) == "0X") {
    base = 16, i += 2;
  }
  if (i == s.size()) return std::nullopt;
  uint64_t m = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                  : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                      ? std::toupper(c) - 'A' + 10
                      : -1;
    if (d < 0) return std::nullopt;
    m = m * base + d;
    if (m > 0xFFFFFFFFull) return std::nullopt;
  }
  if (base == 10 && m > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return std::nullopt;
  return int32_t(uint32_t(negative ? 0 - m : m));
}

struct TModelResult {
  TSettingsValues v;
  std::vector<std::string> texts;
};

constexpr size_t LongestLine = app::MaxSettingsLine;
const std::string ByteOrderMark = "\xEF\xBB\xBF";

// The reading rules: every line against every key, which counts at the start of the line after
// any blanks and tabs (and a byte-order mark starting the file) in any letter case; the value is
// everything after the line's first "=". Only the last fifty texts are kept, and a line longer than
// any the program writes is skipped.
TModelResult ModelRead(const std::string& text, TSettingsValues v) {
  TModelResult r;
  std::vector<std::string> lines;
  std::string line;
  const size_t start = text.rfind(ByteOrderMark, 0) == 0 ? ByteOrderMark.size() : 0;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);

  const std::string folder(app::FolderKeySuffix), colorKey(app::FontColorKey);
  for (const std::string& l : lines) {
    const size_t eq = l.find('=');
    if (eq == std::string::npos || l.size() + (&l == &lines.front() ? start : 0) > LongestLine)
      continue;
    const std::string value = l.substr(eq + 1), U = Upper(l.substr(l.find_first_not_of(" \t")));
    auto is = [&](std::string_view key) { return U.rfind(Upper(key), 0) == 0; };
    auto on = [&](std::string_view key) {
      return is(std::string(key) + std::string(app::TrueText));
    };
    auto colour = [&](plat::TColor& c) {
      try {
        c = plat::StringToColor(value);
      } catch (const std::exception&) {
      }
    };
    const auto n = WholeNumber(value);
    if (is(std::string(app::BackgroundFolderName) + folder)) v.BackgroundFolder = value;
    if (is(std::string(app::LayerFolderName) + folder)) v.LayerFolder = value;
    if (is(app::FontNameKey)) v.FontName = value;
    if (is(app::FontSizeKey))
      v.FontSizeText = n && *n >= 2 && *n <= 18 ? value : std::string(app::DefaultFontSize);
    if (is(colorKey)) colour(v.FontColor);
    if (is(std::string(app::BackColorPrefix) + colorKey)) colour(v.BackColor);
    if (on(app::BoldKey)) v.TextBold = true;
    if (on(app::ItalicKey)) v.TextItalic = true;
    if (on(app::FontTransparentKey)) v.FontTransparent = true;
    if (on(app::BackTransparentKey)) v.BackTransparent = true;
    if (is(app::TextColorModeKey)) v.TextColorMode = n && *n >= 0 && *n <= 10 ? *n : 0;
    if (is(app::CurrentTextKey)) v.CurrentText = value;
    if (is(app::TextItemKey)) r.texts.push_back(value);
    if (is(app::NewImageColorKey)) colour(v.NewImageColor);
    if (is(app::NewImageWidthKey)) v.NewImageWidth = n ? *n : 1280;
    if (is(app::NewImageHeightKey)) v.NewImageHeight = n ? *n : 1024;
    if (is(app::OverlayBackgroundKey)) v.OverlayBackgroundFile = value;
    if (is(app::OverlayFileKey)) v.OverlayFile = value;
  }
  if (r.texts.size() > 50) r.texts.erase(r.texts.begin(), r.texts.end() - 50);
  r.v = v;
  return r;
}

// The writing rules: seventeen lines in order, switches only when on, then the last fifty texts
// but the sample entry. A value stays on its line: its line breaks and NULs are blanks.
std::string ModelWrite(const TSettingsValues& v, const std::vector<std::string>& texts) {
  std::string out;
  auto oneLine = [](std::string s) {
    for (char& c : s)
      if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return s;
  };
  auto line = [&](std::string key, const std::string& value) {
    out += key + oneLine(value) + "\n";
  };
  auto sw = [&](std::string_view key, bool b) {
    if (b) line(std::string(key), std::string(app::TrueText));
  };
  const std::string folder(app::FolderKeySuffix);
  line(std::string(app::BackgroundFolderName) + folder, v.BackgroundFolder);
  line(std::string(app::LayerFolderName) + folder, v.LayerFolder);
  line(std::string(app::OverlayBackgroundKey), v.OverlayBackgroundFile);
  line(std::string(app::OverlayFileKey), v.OverlayFile);
  line(std::string(app::NewImageColorKey), plat::ColorToString(v.NewImageColor));
  line(std::string(app::NewImageWidthKey), std::to_string(v.NewImageWidth));
  line(std::string(app::NewImageHeightKey), std::to_string(v.NewImageHeight));
  line(std::string(app::FontNameKey), v.FontName);
  line(std::string(app::FontSizeKey), v.FontSizeText);
  line(std::string(app::FontColorKey), plat::ColorToString(v.FontColor));
  line(std::string(app::BackColorPrefix) + std::string(app::FontColorKey),
       plat::ColorToString(v.BackColor));
  sw(app::FontTransparentKey, v.FontTransparent);
  sw(app::BackTransparentKey, v.BackTransparent);
  line(std::string(app::TextColorModeKey), std::to_string(v.TextColorMode));
  sw(app::BoldKey, v.TextBold);
  sw(app::ItalicKey, v.TextItalic);
  line(std::string(app::CurrentTextKey), v.CurrentText);
  const size_t c = texts.size();
  for (size_t i = c > 50 ? c - 50 : 0; i < c; ++i)
    if (oneLine(texts[i]) != app::SampleText) line(std::string(app::TextItemKey), texts[i]);
  return out;
}

class TSettingsGenerator {
 public:
  explicit TSettingsGenerator(uint32_t seed) : rng_(seed) {}
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::string Number() {
    static const char* const edges[] = {
        "2",  "18",         "1",          "19",          "0",           "10",        "11",
        "-1", "2147483647", "2147483648", "-2147483648", "-2147483649", "$FFFFFFFF", "$100000000",
        "$a", "0x12",       "-$10",       "+5",          " 7",          "7 ",        "",
        "$",  "-",          "1e3",        "\t3",         "00012"};
    if (Pick(3) == 0) return edges[Pick(std::size(edges))];
    return (Pick(4) == 0 ? "-" : "") + std::to_string(Pick(100000));
  }
  std::string Colour() {
    static const char* const names[] = {"clRed",     "clnavy",       "CLCREAM",  "clNone",
                                        "clDefault", "clMoneyGreen", "clNoSuch", "$00123456",
                                        "$FF000000", "16777215",     "red",      ""};
    return Pick(2) ? names[Pick(std::size(names))] : plat::ColorToString(uint32_t(rng_()));
  }
  std::string Text() {
    std::string s;
    for (int i = Pick(12); i > 0; --i) {
      const int k = Pick(10);
      s += k == 0   ? '='
           : k == 1 ? char(0x80 + Pick(128))
           : k == 2 ? char(Pick(32))
                    : char(' ' + Pick(95));
    }
    return s;
  }
  std::string Cased(std::string_view key) {
    std::string s(key);
    for (char& c : s)
      if (Pick(4) == 0) c = char(Pick(2) ? std::tolower(c) : std::toupper(c));
    return s;
  }
  std::string Key() {
    const std::string folder(app::FolderKeySuffix), t(app::TrueText);
    const std::string keys[] = {std::string(app::BackgroundFolderName) + folder,
                                std::string(app::LayerFolderName) + folder,
                                std::string(app::OverlayBackgroundKey),
                                std::string(app::OverlayFileKey),
                                std::string(app::NewImageColorKey),
                                std::string(app::NewImageWidthKey),
                                std::string(app::NewImageHeightKey),
                                std::string(app::FontNameKey),
                                std::string(app::FontSizeKey),
                                std::string(app::FontColorKey),
                                std::string(app::BackColorPrefix) + std::string(app::FontColorKey),
                                std::string(app::FontTransparentKey) + t,
                                std::string(app::BackTransparentKey) + t,
                                std::string(app::TextColorModeKey),
                                std::string(app::BoldKey) + t,
                                std::string(app::ItalicKey) + t,
                                std::string(app::CurrentTextKey),
                                std::string(app::TextItemKey)};
    return Cased(keys[Pick(std::size(keys))]);
  }
  std::string Line() {
    if (Pick(600) == 0) {
      const std::string key = Key();
      return key + std::string(LongestLine - key.size() - 1 + Pick(3), 'x');
    }
    switch (Pick(9)) {
      case 0:
        return Text();  // garbage, maybe without "="
      case 1:
        return Text() + Key() + Number();  // a key that does not start the line
      case 2:
        return std::string(" \t  ").substr(size_t(Pick(4))) + Key() + Text();  // indented
      default: {
        const std::string key = Key();
        const int kind = Pick(3);
        return key + (kind == 0 ? Number() : kind == 1 ? Colour() : Text());
      }
    }
  }
  std::string File() {
    static const char* const ends[] = {"\r\n", "\n", "\r", "\n\r"};
    std::string f = Pick(8) == 0 ? ByteOrderMark : "";
    for (int i = Pick(10) ? Pick(30) : 200; i > 0; --i) f += Line() + ends[Pick(4)];
    if (Pick(2)) f += Line();
    return f;
  }
  TSettingsValues Values() {
    TSettingsValues v;
    v.BackgroundFolder = Text();
    v.LayerFolder = Text();
    v.OverlayBackgroundFile = Text();
    v.OverlayFile = Text();
    v.NewImageColor = Pick(2) ? plat::clNavy : uint32_t(rng_());
    v.NewImageWidth = int32_t(rng_());
    v.NewImageHeight = Pick(2) ? Pick(6000) : INT32_MIN;
    v.FontName = Text();
    v.FontSizeText = std::to_string(2 + Pick(17));
    v.FontColor = uint32_t(rng_());
    v.BackColor = Pick(2) ? plat::clBlack : uint32_t(rng_());
    v.FontTransparent = Pick(2), v.BackTransparent = Pick(2);
    v.TextColorMode = Pick(11);
    v.TextBold = Pick(2), v.TextItalic = Pick(2);
    v.CurrentText = Text();
    return v;
  }

 private:
  std::mt19937 rng_;
};

void ExpectSame(const TSettingsValues& a, const TSettingsValues& b) {
  EXPECT_EQ(a.BackgroundFolder, b.BackgroundFolder);
  EXPECT_EQ(a.LayerFolder, b.LayerFolder);
  EXPECT_EQ(a.OverlayBackgroundFile, b.OverlayBackgroundFile);
  EXPECT_EQ(a.OverlayFile, b.OverlayFile);
  EXPECT_EQ(a.NewImageColor, b.NewImageColor);
  EXPECT_EQ(a.NewImageWidth, b.NewImageWidth);
  EXPECT_EQ(a.NewImageHeight, b.NewImageHeight);
  EXPECT_EQ(a.FontName, b.FontName);
  EXPECT_EQ(a.FontSizeText, b.FontSizeText);
  EXPECT_EQ(a.FontColor, b.FontColor);
  EXPECT_EQ(a.BackColor, b.BackColor);
  EXPECT_EQ(a.FontTransparent, b.FontTransparent);
  EXPECT_EQ(a.BackTransparent, b.BackTransparent);
  EXPECT_EQ(a.TextColorMode, b.TextColorMode);
  EXPECT_EQ(a.TextBold, b.TextBold);
  EXPECT_EQ(a.TextItalic, b.TextItalic);
  EXPECT_EQ(a.CurrentText, b.CurrentText);
}

TEST(SettingsModel, RandomFilesReadAsTheRulesSayAndRandomValuesWriteAndReadBack) {
  TSettingsGenerator gen(20240611);
  for (int round = 0; round < 2000; ++round) {
    SCOPED_TRACE(round);
    // Reading over values already there: only what the file says changes.
    const std::string file = gen.File();
    const TSettingsValues start = gen.Pick(2) ? TSettingsValues{} : gen.Values();
    const TModelResult expected = ModelRead(file, start);
    TSettingsValues v = start;
    std::vector<std::string> texts;
    EXPECT_EQ(app::ParseSettingsText(file, v, texts), !expected.texts.empty());
    ExpectSame(v, expected.v);
    EXPECT_EQ(texts, expected.texts);

    // Writing what the program holds, then reading it back.
    std::vector<std::string> held;
    for (int i = gen.Pick(4) == 0 ? 40 + gen.Pick(30) : gen.Pick(5); i > 0; --i)
      held.push_back(gen.Pick(20) ? gen.Text() : std::string(app::SampleText));
    const TSettingsValues values = gen.Values();
    const std::string written = app::SettingsText(values, held);
    ASSERT_EQ(written, ModelWrite(values, held));
    TSettingsValues back;
    std::vector<std::string> backTexts;
    app::ParseSettingsText(written, back, backTexts);
    const TModelResult model = ModelRead(written, TSettingsValues{});
    ExpectSame(back, model.v);
    EXPECT_EQ(backTexts, model.texts);
    if (HasFailure()) return;
  }
}

}  // namespace
