// Lines of right-to-left and joined scripts: measured as they are drawn, so that they break where
// their room ends, and a word with no break runs over as a Latin one does.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "TextTestSupport.h"
#include "support/PixelCanvas.h"

namespace {

using html::TSection;

constexpr int kWidth = 400, kHeight = 40;

// Letters that join or carry marks, so that a stretch of them measured apart differs from the
// same stretch within its line.
const std::u16string kLetters[] = {u"\u0644",       u"\u0627",       u"\u0628",
                                   u"\u0645",       u"\u0639",       u"\u0647",
                                   u"\u0644\u0627", u"\u0628\u064E", u"\u05E9\u05B8\u05C1",
                                   u"\u05D1\u05BC", u"\u05D0",       u"1"};

std::u16string Word(std::mt19937& random, size_t letters) {
  std::u16string word;
  for (size_t k = 0; k < letters; ++k) word += kLetters[random() % std::size(kLetters)];
  return word;
}

class ScriptLayoutTest : public texttest::TextFixture, protected test_support::PixelCanvas {
 protected:
  ScriptLayoutTest() : PixelCanvas(kWidth, kHeight) {}

  void LayOut(TSection& s, int32_t width) {
    indents.Reset(0, width);
    int32_t pos = 0;
    maxWidth = 0;
    s.Layout(canvas, 0, 10, 0, 0, width, 0, 0, indents, maxWidth, pos);
  }
  std::vector<uint32_t> Painted(TSection& s, const plat::TRect& clip) {
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFF);
    s.Draw(canvas, clip, indents, 0, 0, 0);
    return pixels;
  }

  html::IndentManager indents;
  int32_t maxWidth = 0;
};

TEST_F(ScriptLayoutTest, LinesBreakWhereTheirMeasuredWidthEnds) {
  std::mt19937 random(11);
  for (int round = 0; round < 4; ++round) {
    std::u16string text;
    while (text.size() < 300) text += Word(random, 1 + random() % 9) + u" ";
    TSection& s = Finished(text);
    // Pixel by pixel over widths that hold lines longer than what is measured at once.
    for (int32_t width = 300; width < 700; ++width) {
      LayOut(s, width);
      int32_t covered = 0;
      for (int l = 0; l < s.Lines.Count(); ++l) {
        const html::LineRec& line = s.Lines[l];
        covered += line.CharCount;
        std::u16string_view held =
            std::u16string_view(s.Text).substr(size_t(line.StartIndex), size_t(line.CharCount));
        held = held.substr(0, held.find_last_not_of(u' ') + 1);
        // Only a line of one word may run over its room.
        if (held.find(u' ') != std::u16string_view::npos)
          ASSERT_LE(s.MeasureTextWidth(canvas, line.StartIndex, line.CharCount, true), width)
              << round << " at " << width << ", line " << l;
      }
      ASSERT_EQ(covered, int32_t(s.Text.size()));
    }
  }

  // A word with no break stays on one line whatever its length, as wide as it is measured.
  for (size_t letters : {100u, 3000u}) {
    TSection& word = Finished(Word(random, letters));
    LayOut(word, 300);
    ASSERT_EQ(word.Lines.Count(), 1) << letters;
    EXPECT_EQ(maxWidth, word.MeasureTextWidth(canvas, 0, int32_t(word.Text.size()), true));
  }
}

TEST_F(ScriptLayoutTest, AWordRunningOverIsPaintedAlikeWhateverPartIsRepainted) {
  std::mt19937 random(4);
  for (int round = 0; round < 6; ++round) {
    // Latin in the first round: its letters stand alone.
    TSection& s = Finished(round == 0 ? std::u16string(200, u'x') : Word(random, 150));
    LayOut(s, 200);
    const std::vector<uint32_t> whole = Painted(s, {0, 0, kWidth, kHeight});
    const int32_t left = 40 + int32_t(random() % 300);
    const std::vector<uint32_t> part = Painted(s, {left, 0, kWidth, kHeight});
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = left; x < kWidth; ++x)
        differing += part[size_t(y * kWidth + x)] != whole[size_t(y * kWidth + x)];
    EXPECT_EQ(differing, 0) << round;
  }
}

}  // namespace
