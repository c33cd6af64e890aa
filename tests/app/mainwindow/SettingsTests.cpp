// The settings file: defaults, a full round trip, the reader's fallbacks and key rules, the kept
// texts, and writes that fail without harming the old file.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/mainwindow/Settings.h"
#include "platform/runtime/Files.h"

namespace {

using app::TSettingsValues;

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class SettingsFile : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pixstamp-settings-XXXXXX";
    folder_ = mkdtemp(pattern);
    file_ = folder_ + "/settings.ini";
  }
  void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }
  void WriteRaw(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }
  // Reads a file made of the given lines over fresh defaults.
  TSettingsValues ReadLines(const std::string& text, std::vector<std::string>* texts = nullptr) {
    WriteRaw(text);
    TSettingsValues v;
    std::vector<std::string> read;
    app::ReadSettingsFile(file_, v, read);
    if (texts) *texts = read;
    return v;
  }
  std::string folder_, file_;
};

TEST_F(SettingsFile, WithoutAFileEveryValueKeepsItsDefault) {
  TSettingsValues v;
  v.BackgroundFolder = "/kept/";
  std::vector<std::string> texts;
  EXPECT_FALSE(app::ReadSettingsFile(file_, v, texts).TextRead);
  EXPECT_EQ(v.BackgroundFolder, "/kept/");
  EXPECT_EQ(v.NewImageWidth, 1280);
  EXPECT_EQ(v.NewImageHeight, 1024);
  EXPECT_EQ(v.NewImageColor, 0xF0FBFF);
  EXPECT_EQ(v.FontColor, 0xF0FBFF);
  EXPECT_EQ(v.BackColor, 0x800000);
  EXPECT_EQ(v.FontSizeText, "4");
  EXPECT_EQ(v.TextColorMode, 0);
  EXPECT_FALSE(v.TextBold || v.TextItalic || v.FontTransparent || v.BackTransparent);
  EXPECT_TRUE(texts.empty());
}

TEST_F(SettingsFile, EveryKeySurvivesAWriteAndARead) {
  TSettingsValues out;
  out.BackgroundFolder = "/home/Ann/Pictures/";
  out.LayerFolder = "/home/Ann/Logos 2/";
  out.OverlayBackgroundFile = "/home/Ann/rgb.png";
  out.OverlayFile = "/home/Ann/mask=1.png";  // a value holding "=" stays whole
  out.NewImageColor = 0x123456;              // no colour name: written as a number
  out.NewImageWidth = 1920;
  out.NewImageHeight = -7;
  out.FontName = "Liberation Serif";
  out.FontSizeText = "18";
  out.FontColor = 0x0000FF;  // clRed
  out.BackColor = 0x00FF00;  // clLime
  out.FontTransparent = true;
  out.BackTransparent = true;
  out.TextColorMode = 10;
  out.TextBold = true;
  out.TextItalic = true;
  out.CurrentText = "  Mon texte  ";
  const std::vector<std::string> texts = {"first", "Zweite Zeile", "last one"};
  ASSERT_TRUE(app::WriteSettingsFile(file_, out, texts));

  TSettingsValues in;
  in.BackgroundFolder = in.LayerFolder = "/elsewhere/";
  std::vector<std::string> readTexts;
  EXPECT_TRUE(app::ReadSettingsFile(file_, in, readTexts).TextRead);
  EXPECT_EQ(in.BackgroundFolder, out.BackgroundFolder);
  EXPECT_EQ(in.LayerFolder, out.LayerFolder);
  EXPECT_EQ(in.OverlayBackgroundFile, out.OverlayBackgroundFile);
  EXPECT_EQ(in.OverlayFile, out.OverlayFile);
  EXPECT_EQ(in.NewImageColor, out.NewImageColor);
  EXPECT_EQ(in.NewImageWidth, 1920);
  EXPECT_EQ(in.NewImageHeight, -7);
  EXPECT_EQ(in.FontName, out.FontName);
  EXPECT_EQ(in.FontSizeText, "18");
  EXPECT_EQ(in.FontColor, 0x0000FF);
  EXPECT_EQ(in.BackColor, 0x00FF00);
  EXPECT_TRUE(in.FontTransparent && in.BackTransparent && in.TextBold && in.TextItalic);
  EXPECT_EQ(in.TextColorMode, 10);
  EXPECT_EQ(in.CurrentText, out.CurrentText);
  EXPECT_EQ(readTexts, texts);

  // Colours with a name are written by name, others as "$" and eight digits.
  const std::string text = ReadWhole(file_);
  EXPECT_NE(text.find("\nFontColor=clRed\n"), std::string::npos);
  EXPECT_NE(text.find("\nBGFontColor=clLime\n"), std::string::npos);
  EXPECT_NE(text.find("\nNewPictureColor=$00123456\n"), std::string::npos);
}

TEST_F(SettingsFile, SwitchesThatAreOffWriteNoLineAndReadBackOff) {
  const auto lines = Lines(app::SettingsText(TSettingsValues{}, {}));
  ASSERT_EQ(lines.size(), 13u);  // 17 lines less the four switches
  EXPECT_EQ(lines[0], "BackgroundsFolder=");
  EXPECT_EQ(lines[4], "NewPictureColor=clCream");
  EXPECT_EQ(lines[10], "BGFontColor=clNavy");
  EXPECT_EQ(lines[11], "TextColorMode=0");
  EXPECT_EQ(lines[12], "CurrentText=" + std::string(app::InitialText));
}

TEST_F(SettingsFile, BadNumbersFallBackAndGoodOnesStay) {
  const struct {
    std::string line;
    std::string fontSize;
    int mode, width;
  } cases[] = {
      {"FontSize=20", "4", 0, 1280},         {"FontSize=1", "4", 0, 1280},
      {"FontSize=abc", "4", 0, 1280},        {"FontSize=18", "18", 0, 1280},
      {"FontSize=2", "2", 0, 1280},          {"TextColorMode=11", "4", 0, 1280},
      {"TextColorMode=-1", "4", 0, 1280},    {"TextColorMode=7", "4", 7, 1280},
      {"NewPictureWidth=abc", "4", 0, 1280}, {"NewPictureWidth=99999", "4", 0, 99999},
      {"NewPictureWidth= 640", "4", 0, 640}, {"NewPictureWidth=12 ", "4", 0, 1280},
      {"NewPictureWidth=$1F", "4", 0, 31},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    TSettingsValues v = ReadLines("TextColorMode=3\nNewPictureWidth=800\n" + c.line + "\n");
    if (c.line.rfind("TextColorMode", 0) != 0)
      EXPECT_EQ(v.TextColorMode, 3);
    else
      EXPECT_EQ(v.TextColorMode, c.mode);
    if (c.line.rfind("NewPictureWidth", 0) != 0)
      EXPECT_EQ(v.NewImageWidth, 800);
    else
      EXPECT_EQ(v.NewImageWidth, c.width);
    EXPECT_EQ(v.FontSizeText, c.fontSize);
  }
}

TEST_F(SettingsFile, KeysCountOnlyAtTheStartOfALineInAnyLetterCase) {
  std::vector<std::string> texts;
  TSettingsValues v = ReadLines(
      "BGFontColor=clRed\r\n"               // sets only the box colour
      "bold=true\r\n"                       // lower-case switch
      "SavedText=see FontSize=12 here\r\n"  // a key inside a text changes nothing
      "SavedText=FontName=Arial\r\n"        // nor at the start of the text's value
      "x FontName=Courier\r\n"              // nor after other text
      "Italic=no\r\n",                      // only the true text switches on
      &texts);
  EXPECT_EQ(v.BackColor, 0x0000FF);
  EXPECT_EQ(v.FontColor, 0xF0FBFF);
  EXPECT_TRUE(v.TextBold);
  EXPECT_FALSE(v.TextItalic);
  EXPECT_EQ(v.FontSizeText, "4");
  EXPECT_EQ(v.FontName, std::string(app::DefaultFontName));
  EXPECT_EQ(texts, (std::vector<std::string>{"see FontSize=12 here", "FontName=Arial"}));
}

TEST_F(SettingsFile, HandEditedFilesHideNoLine) {
  // A byte-order mark first, as editors that save UTF-8 write it; blanks and tabs before keys.
  std::vector<std::string> texts;
  TSettingsValues v = ReadLines(
      "\xEF\xBB\xBF"
      "BackgroundsFolder=/srv/photos/\r\n"
      "  FontName=Liberation Serif\r\n"
      "\tFontSize=12\r\n"
      " \t Bold=True\r\n"
      "    SavedText=  indented text\r\n",
      &texts);
  EXPECT_EQ(v.BackgroundFolder, "/srv/photos/");
  EXPECT_EQ(v.FontName, "Liberation Serif");
  EXPECT_EQ(v.FontSizeText, "12");
  EXPECT_TRUE(v.TextBold);
  EXPECT_EQ(texts, std::vector<std::string>{"  indented text"});
  // The mark counts only where a file starts.
  EXPECT_EQ(ReadLines("FontName=A\n\xEF\xBB\xBF"
                      "FontName=B\n")
                .FontName,
            "A");
}

TEST_F(SettingsFile, EveryTextWrittenIsReadBackWhole) {
  // The longest texts the text dialog takes (32767 characters), in the widest scripts.
  std::string cjk, emoji;
  for (int i = 0; i < 32767; ++i) cjk += "\xE5\xAD\x97";
  for (int i = 0; i < 32767 / 2; ++i) emoji += "\xF0\x9F\x98\x80";
  TSettingsValues out;
  out.CurrentText = emoji;
  // Right-to-left with its mark, combining accents, blanks at both ends, texts that read as keys.
  const std::vector<std::string> texts = {std::string(16 << 10, 'w'),
                                          cjk,
                                          "short",
                                          "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xE2\x80\x8F!",
                                          "e\xCC\x81 a\xCC\x8A",
                                          "\t two ends  ",
                                          "FontName=Evil",
                                          "SavedText="};
  ASSERT_TRUE(app::WriteSettingsFile(file_, out, texts));
  TSettingsValues in;
  std::vector<std::string> read;
  app::ReadSettingsFile(file_, in, read);
  EXPECT_TRUE(in.CurrentText == emoji);
  EXPECT_TRUE(read == texts);
}

TEST_F(SettingsFile, ALargeFileIsReadWholeAndOneThatCannotBeReadIsKept) {
  // 17 MiB of texts between a setting first and the text that counts last.
  std::string text = "FontName=Liberation Serif\r\nBackgroundsFolder=/srv/photos/\r\n";
  const std::string filler = "SavedText=" + std::string(1000, 'x') + "\r\n";
  while (text.size() < (17u << 20)) text += filler;
  text += "SavedText=last kept text\r\n";
  std::vector<std::string> texts;
  WriteRaw(text);
  TSettingsValues v;
  const app::TSettingsFileState state = app::ReadSettingsFile(file_, v, texts);
  EXPECT_TRUE(state.TextRead);
  EXPECT_FALSE(state.Kept);
  EXPECT_EQ(v.FontName, "Liberation Serif");
  EXPECT_EQ(v.BackgroundFolder, "/srv/photos/");
  ASSERT_EQ(texts.size(), size_t(app::MaxSavedTexts));
  EXPECT_EQ(texts.back(), "last kept text");

  // Too large to read, a folder, a pipe: left as they are, and nothing read changes a value.
  std::filesystem::resize_file(file_, std::uintmax_t(app::MaxSettingsFileSize) + 1);
  const std::string pipe = folder_ + "/pipe.ini";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& name : {file_, folder_, pipe}) {
    SCOPED_TRACE(name);
    TSettingsValues kept;
    std::vector<std::string> none;
    const app::TSettingsFileState unread = app::ReadSettingsFile(name, kept, none);
    EXPECT_TRUE(unread.Kept);
    EXPECT_FALSE(unread.TextRead);
    EXPECT_EQ(kept.FontName, std::string(app::DefaultFontName));
    EXPECT_TRUE(none.empty());
  }
  EXPECT_FALSE(app::ReadSettingsFile(folder_ + "/missing.ini", v, texts).Kept);

  // A link to a file not made yet (settings kept with other dotfiles) is no file yet: the first
  // write makes the file it names.
  const std::string link = folder_ + "/linked.ini";
  std::filesystem::create_symlink(folder_ + "/dotfiles.ini", link);
  EXPECT_FALSE(app::ReadSettingsFile(link, v, texts).Kept);
  ASSERT_TRUE(app::WriteSettingsFile(link, v, texts));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_regular_file(folder_ + "/dotfiles.ini"));
}

TEST_F(SettingsFile, AnUnreadableColourKeepsItsDefaultAndReadingGoesOn) {
  TSettingsValues v = ReadLines("FontColor=clNoSuchColour\nNewPictureColor=$zz\nFontSize=9\r");
  EXPECT_EQ(v.FontColor, 0xF0FBFF);
  EXPECT_EQ(v.NewImageColor, 0xF0FBFF);
  EXPECT_EQ(v.FontSizeText, "9");  // a line after the bad ones, ended by a lone CR
}

TEST_F(SettingsFile, KeepsTheLastFiftyTextsWithoutTheSampleEntry) {
  std::vector<std::string> texts;
  for (int i = 0; i < 60; ++i) texts.push_back("text " + std::to_string(i));
  texts[55] = std::string(app::SampleText);
  ASSERT_TRUE(app::WriteSettingsFile(file_, TSettingsValues{}, texts));
  TSettingsValues v;
  std::vector<std::string> read;
  app::ReadSettingsFile(file_, v, read);
  std::vector<std::string> expected;
  for (int i = 10; i < 60; ++i)
    if (i != 55) expected.push_back("text " + std::to_string(i));
  EXPECT_EQ(read, expected);
}

TEST_F(SettingsFile, LineBreaksInsideATextNeverMakeLinesOfTheirOwn) {
  TSettingsValues out;
  out.CurrentText = "one\r\nFontSize=12";
  // A text that reads as the sample entry once on one line is left out like the sample entry.
  std::string sampleWithBreak(app::SampleText);
  sampleWithBreak[sampleWithBreak.find(' ')] = '\n';
  ASSERT_TRUE(app::WriteSettingsFile(file_, out, {"a\nBold=True", "b\rc", sampleWithBreak}));
  TSettingsValues in;
  std::vector<std::string> texts;
  app::ReadSettingsFile(file_, in, texts);
  EXPECT_EQ(in.FontSizeText, "4");
  EXPECT_FALSE(in.TextBold);
  EXPECT_EQ(in.CurrentText, "one  FontSize=12");
  EXPECT_EQ(texts, (std::vector<std::string>{"a Bold=True", "b c"}));
}

TEST_F(SettingsFile, AFailedWriteKeepsTheOldFile) {
  TSettingsValues first;
  first.FontName = "Old";
  ASSERT_TRUE(app::WriteSettingsFile(file_, first, {"kept"}));
  const std::string before = ReadWhole(file_);

  // Files may grow to 64 bytes only: the new text cannot be written in full. The program's start
  // made such a write fail instead of ending the process.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  TSettingsValues second;
  second.FontName = "New";
  const bool written = app::WriteSettingsFile(file_, second, {"a text", "another"});
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadWhole(file_), before);

  // A target that is a folder cannot be replaced either; nothing breaks.
  EXPECT_FALSE(app::WriteSettingsFile(folder_, second, {}));
}

}  // namespace
