// WBR: a place inside a word where a line may end, and the only one.
#include <gtest/gtest.h>

#include "PanelPages.h"

namespace paneltest {
namespace {

class WordBreaks : public PanelPageTest {
 protected:
  // Lays the page out in a column of the given width (the body's margins are 10 each side).
  html::TSection& LaidOut(const std::string& page, int32_t column) {
    Build(page);
    int32_t maxWidth = 0, pos = 0;
    document.Layout(canvas, 0, column + 20, 0, 0, maxWidth, pos);
    return *Sections().at(0);
  }
  // The characters of each line, without line-ending spaces.
  static std::vector<std::string> LineTexts(const html::TSection& section) {
    std::vector<std::string> lines;
    for (const auto& line : section.Lines) {
      std::string text;
      for (int32_t i = 0; i < line.CharCount; ++i)
        text += char(section.Text[size_t(line.StartIndex + i)]);
      while (!text.empty() && text.back() == ' ') text.pop_back();
      lines.push_back(text);
    }
    return lines;
  }

  plat::TCanvas canvas;
};

const std::string kLeft(12, 'a');
const std::string kRight(30, 'b');

TEST_F(WordBreaks, TheBreakFlagLandsOnTheCharacterBeforeIt) {
  Build("<p>ab<wbr>cd<wbr> e<wbr></p>");
  const html::TSection& section = *Sections().at(0);
  EXPECT_EQ(AllText(), "abcd e");
  // One flag per character and one more at the end; the WBR at the end of the text marks its
  // last character, which the final space follows.
  EXPECT_EQ(section.BreakFlags, "yayayayy");
}

TEST_F(WordBreaks, ALongWordBreaksAtTheWbrAndNowhereElse) {
  // Far too narrow for either half: each half stays whole on its own line.
  html::TSection& split = LaidOut("<p>" + kLeft + "<wbr>" + kRight + "</p>", 30);
  EXPECT_EQ(LineTexts(split), (std::vector<std::string>{kLeft, kRight}));
  html::TSection& whole = LaidOut("<p>" + kLeft + kRight + "</p>", 30);
  EXPECT_EQ(LineTexts(whole), std::vector<std::string>{kLeft + kRight});
  // Wide enough for the whole word: no break at all.
  html::TSection& wide = LaidOut("<p>" + kLeft + "<wbr>" + kRight + "</p>", 2000);
  EXPECT_EQ(LineTexts(wide), std::vector<std::string>{kLeft + kRight});
}

}  // namespace
}  // namespace paneltest
