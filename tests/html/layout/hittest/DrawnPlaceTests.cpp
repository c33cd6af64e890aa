// Random justified paragraphs with pictures and several fonts: every character is hit and placed
// where it is drawn. A character's drawn box is found by selecting it alone: the pixels that turn
// from the white page to the selection's black are its cell. The caret is found the same way.
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "HitTestSupport.h"

namespace {

using html::LineRec;
using html::TSection;

struct Box {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // Right and Bottom exclusive; empty: Right 0
};

class DrawnPlaceTest : public hittest::HitFixture {
 protected:
  void Redraw(TSection& s, const plat::TRect& clip = {0, 0, kWidth, kHeight}) {
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFFu);
    s.Draw(canvas, clip, indents, 0, 0, 0);
  }
  // Pixels of rows [top, bottom) white in `before` and black now.
  Box Blackened(const std::vector<uint32_t>& before, int top = 0, int bottom = kHeight) const {
    Box box{kWidth, kHeight, 0, 0};
    for (int y = std::max(top, 0); y < std::min(bottom, int(kHeight)); ++y)
      for (int x = 0; x < kWidth; ++x)
        if (before[size_t(y * kWidth + x)] == 0xFFFFFFFFu && (PixelAt(x, y) & 0xFFFFFF) == 0) {
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                 std::max(box.Bottom, y + 1)};
        }
    return box;
  }

  // Words of random letters in two sizes, no-break spaces, and inline pictures.
  TSection& RandomParagraph(std::mt19937& random) {
    TSection& s = NewSection(justify.get());
    int32_t source = 0;
    for (int piece = 0; piece < 40; ++piece) {
      const int kind = int(random() % 10);
      if (kind == 0) {
        s.AddFloatingObj(std::make_unique<texttest::TTestObject>(
                             int32_t(5 + random() % 40), int32_t(4 + random() % 16), html::aBottom),
                         source++);
      } else if (kind == 1) {
        s.ChangeFont(random() % 2 ? *small : *justify);
      } else {
        std::u16string word;
        for (int n = int(1 + random() % 6); n > 0; --n) word += char16_t(u'a' + random() % 26);
        word += kind == 2 ? u'\u00A0' : u' ';
        texttest::AddText(s, word, source);
        source += int32_t(word.size());
      }
    }
    s.ProcessText(source);
    return s;
  }

  std::unique_ptr<html::TProperties> justify = Justified(12), small = Justified(9);

 private:
  static std::unique_ptr<html::TProperties> Justified(double points) {
    auto props = texttest::TextProps(points);
    props->Values[html::piTextAlign] = std::string("justify");
    return props;
  }
};

TEST_F(DrawnPlaceTest, CharactersAreHitPlacedAndCaretedWhereTheyAreDrawn) {
  std::mt19937 random(34);
  int checked = 0;
  for (int page = 0; page < 10; ++page) {
    SCOPED_TRACE(page);
    TSection& s = RandomParagraph(random);
    Place(s, int32_t(220 + random() % 200));
    Redraw(s);
    const std::vector<uint32_t> plain = pixels;
    int32_t lineStart = 0;
    for (int l = 0; l < s.Lines.Count(); ++l) {
      const LineRec& line = s.Lines[l];
      int32_t textEnd = lineStart + line.CharCount;
      while (textEnd > lineStart && s.Text[size_t(textEnd - 1)] == u' ') --textEnd;
      const int top = line.TextTop - line.SpaceAbove;
      const int bottom = line.TextTop + line.TextHeight + line.SpaceBelow;
      if (bottom > kHeight) break;
      for (int32_t p = lineStart; p < textEnd; ++p) {
        if (s.Text[size_t(p)] == html::kObjectChar) continue;
        document.SelStart = p;
        document.SelEnd = p + 1;
        Redraw(s);
        const Box cell = Blackened(plain, top, bottom);
        document.SelEnd = p;
        document.ShowDummyCaret = true;
        Redraw(s);
        const Box caret = Blackened(plain, top, bottom);
        document.ShowDummyCaret = false;
        document.SelStart = document.SelEnd = 0;

        int32_t x = 0, y = 0, nextX = 0;
        ASSERT_TRUE(html::SectionPositionToXY(s, &canvas, p, y, x)) << p;
        EXPECT_EQ(cell.Left, x) << "character " << p;
        EXPECT_EQ(caret.Left, x) << "caret " << p;
        if (p + 1 < textEnd && html::SectionPositionToXY(s, &canvas, p + 1, y, nextX))
          EXPECT_EQ(cell.Right, nextX) << "character " << p;
        html::TCursorHit hit;
        const int32_t inside = cell.Left + (cell.Right - cell.Left - 1) / 4;
        EXPECT_EQ(html::SectionFindCursorAt(s, canvas, inside, (cell.Top + cell.Bottom) / 2, hit),
                  p)
            << "click in character " << p;
        ++checked;
      }
      // Justified lines reach their right edge, pictures or not.
      if (l + 1 < s.Lines.Count() && line.GapCount > 0 && textEnd > lineStart &&
          s.Text[size_t(textEnd - 1)] != html::kObjectChar) {
        document.SelStart = textEnd - 1;
        document.SelEnd = textEnd;
        Redraw(s);
        document.SelStart = document.SelEnd = 0;
        EXPECT_EQ(Blackened(plain, top, bottom).Right, line.LineLeft + line.AvailWidth)
            << "line " << l;
      }
      lineStart += line.CharCount;
    }
    // Drawing through a narrow clip leaves the pixels inside it as they were.
    Redraw(s, {150, 0, 170, kHeight});
    for (int y = 0; y < kHeight; ++y)
      for (int x2 = 150; x2 < 170; ++x2)
        ASSERT_EQ(PixelAt(x2, y), plain[size_t(y * kWidth + x2)]) << x2 << "," << y;
  }
  EXPECT_GT(checked, 500);
}

TEST_F(DrawnPlaceTest, AVeryLongWordDrawsAsMuchAsTheClipShows) {
  TSection& s = Finished(std::u16string(20000, u'w') + u" w");
  Place(s, 300);
  for (int32_t x : {0, -7777, -150000}) {
    SCOPED_TRACE(x);
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFFu);
    s.Draw(canvas, {-1000000000, 0, 1000000000, kHeight}, indents, x, 0, 0);
    const std::vector<uint32_t> whole = pixels;
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFFu);
    s.Draw(canvas, {0, 0, kWidth, kHeight}, indents, x, 0, 0);
    EXPECT_EQ(pixels, whole);
  }
}

}  // namespace
