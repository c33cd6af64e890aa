// The document root against a model written from the description, over random documents of
// paragraphs laid out at random widths: the selected text and its length, the caret after the
// last character, the item at a height, and the document positions of bordered inline elements
// given by source offsets.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "html/layout/text/TextSectionQueries.h"
#include "tests/html/layout/text/TextTestSupport.h"

namespace {

using html::TSection;

class DocumentModel : public texttest::TextFixture {
 protected:
  // Paragraphs of random words and line breaks whose source offsets rise through the document,
  // with gaps where tags would stand.
  std::vector<TSection*> RandomDocument(std::mt19937& random) {
    std::vector<TSection*> sections;
    int32_t source = 0;
    for (int k = int(1 + random() % 5); k > 0; --k) {
      auto owned = std::make_unique<TSection>(&document, nullptr, state.TopProperties(), nullptr,
                                              nullptr, true);
      TSection* s = owned.get();
      for (int w = int(random() % 12); w > 0; --w) {
        std::u16string word;
        for (int n = int(1 + random() % 7); n > 0; --n) word += char16_t(u'a' + random() % 26);
        word += random() % 6 == 0 ? u'\b' : u' ';
        texttest::AddText(*s, word, source);
        source += int32_t(word.size() + random() % 3);
      }
      document.Add(std::move(owned), source++);
      if (document.Count() > 0 && document.Items(document.Count() - 1) == s) sections.push_back(s);
    }
    return sections;
  }

  // The selection [from, to) as the document copies it: each line's part of it, a paragraph's
  // final space left out, a line break after a paragraph the selection goes past; objects and
  // line-break characters are not text.
  static std::u16string Selected(const std::vector<TSection*>& sections, int32_t from, int32_t to) {
    std::u16string text;
    if (to <= from) return text;
    for (const TSection* s : sections) {
      if (s->FirstPos + s->PosCount <= from) continue;
      if (s->FirstPos >= to) break;
      int32_t lineStart = 0;
      for (int l = 0; l < s->Lines.Count(); ++l) {
        const html::LineRec& line = s->Lines[l];
        const int32_t a = std::max(from - s->FirstPos - lineStart, 0);
        int32_t b = std::min(to - s->FirstPos - lineStart, line.CharCount);
        if (l + 1 == s->Lines.Count() && b == line.CharCount && b > 0 &&
            s->Text[size_t(lineStart + b - 1)] == u' ')
          --b;
        for (int32_t i = a; i < b; ++i) {
          const char16_t ch = s->Text[size_t(lineStart + i)];
          if (ch != 2 && ch != 4 && ch != 8) text += ch;
        }
        lineStart += line.CharCount;
      }
      if (to > s->FirstPos + s->PosCount) text += u"\r\n";
    }
    return text;
  }

  plat::TCanvas canvas;
};

TEST_F(DocumentModel, SelectionsCaretsHeightsAndInlineRangesFollowTheItems) {
  std::mt19937 random(140);
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    document.Clear();
    const std::vector<TSection*> sections = RandomDocument(random);
    int32_t scrollWidth = 0, pos = 0;
    const int32_t pass = document.LayoutPass;
    document.Layout(canvas, 0, int32_t(40 + random() % 300), 0, 0, scrollWidth, pos);
    ASSERT_EQ(document.LayoutPass, pass + 1);
    const int32_t count =
        sections.empty() ? 0 : sections.back()->FirstPos + sections.back()->PosCount;
    ASSERT_EQ(pos, count);

    for (int k = 0; k < 10; ++k) {
      document.SelStart = int32_t(random() % (count + 3));
      document.SelEnd = int32_t(random() % (count + 3));
      const std::u16string expected = Selected(sections, document.SelStart, document.SelEnd);
      ASSERT_EQ(document.SelectionLength(), int32_t(expected.size()));
      std::vector<char16_t> buffer(random() % (expected.size() + 3) + 1, u'#');
      const int32_t stored = document.SelectionToBuffer(buffer);
      const size_t fits = std::min(expected.size(), buffer.size() - 1);
      ASSERT_EQ(stored, int32_t(fits) + 1);
      ASSERT_EQ(std::u16string(buffer.data(), fits), expected.substr(0, fits));
      ASSERT_EQ(buffer[fits], 0);
    }

    // The caret at or past the end stands 15 pixels right of the last character's.
    if (count > 0) {
      int32_t y = 0, x = 0, lastY = 0, lastX = 0;
      ASSERT_TRUE(document.CursorToXY(&canvas, count - 1, lastX, lastY));
      ASSERT_TRUE(document.PositionToXYClipped(&canvas, count + int32_t(random() % 3), y, x));
      ASSERT_EQ(x, lastX + 15);
      ASSERT_EQ(y, lastY);
    }

    // The item at a height: the last, in document order, whose top is not below it.
    for (int32_t y = -10; y < 400; y += 13) {
      int32_t top = 0;
      int index = -1;
      const TSection* expected = nullptr;
      for (const TSection* s : sections)
        if (s->TopY <= y) expected = s;
      ASSERT_EQ(document.ItemAtY(y, top, index), expected);
      if (expected) ASSERT_EQ(top, expected->TopY);
    }

    // Inline elements: from source offsets to the first character at or after them (the
    // document's end when none), a start one less when both ends meet.
    const auto docPos = [&](int32_t source) {
      for (const TSection* s : sections)
        for (int32_t i = 0; i < s->PosCount; ++i)
          if (s->SourcePosOf(i) >= source) return s->FirstPos + i;
      return count;
    };
    html::TProperties props;
    document.InlineElements.Clear();
    std::vector<std::pair<int32_t, int32_t>> ranges;
    for (int k = int(random() % 4); k > 0; --k) {
      const int32_t a = int32_t(random() % 200), b = a + int32_t(random() % 30);
      document.OpenCloseInline(a, props, true);
      document.OpenCloseInline(b, props, false);
      ranges.push_back({a, b});
    }
    for (size_t i = 0; i < ranges.size(); ++i) {
      const int32_t start = docPos(ranges[i].first), end = docPos(ranges[i].second);
      ASSERT_EQ(document.InlineElements.EndOf(int(i)), end);
      ASSERT_EQ(document.InlineElements.StartOf(int(i)), start == end ? start - 1 : start);
    }
    ASSERT_EQ(document.InlineElements.StartOf(int(ranges.size())), html::TInlineList::kOutside);
  }
}

}  // namespace
