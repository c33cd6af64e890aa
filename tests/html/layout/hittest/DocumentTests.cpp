// Pages of two paragraphs and of preformatted lines asked through the document, as the viewer
// asks them.
#include <array>
#include <random>
#include <span>

#include "HitTestSupport.h"
#include "html/layout/text/PreformattedText.h"

namespace {

using html::TSection;
using texttest::AddText;

class DocumentQueryTest : public hittest::HitFixture {
 protected:
  void LayOutAndDraw() {
    int32_t scrollWidth = 0, pos = 0;
    document.Layout(canvas, 0, 400, 0, 0, scrollWidth, pos);
    document.Draw(canvas, {0, 0, kWidth, kHeight}, kWidth, 0, 0, 0, 0);
  }

  // "First paragraph " at positions 0-15 from source 0-15, "Second one " at 16-26 from 20-30.
  DocumentQueryTest() {
    auto first = std::make_unique<TSection>(&document, nullptr, state.TopProperties(), nullptr,
                                            &document, true);
    AddText(*first, u"First paragraph", 0);
    document.Add(std::move(first), 15);
    auto second = std::make_unique<TSection>(&document, nullptr, state.TopProperties(), nullptr,
                                             &document, false);
    AddText(*second, u"Second one", 20);
    document.Add(std::move(second), 30);
    LayOutAndDraw();
  }

  TSection& Paragraph(int i) { return static_cast<TSection&>(*document.Items(i)); }

  // PRE lines as the builder makes them where each line looks different: one section per line,
  // each ending in one space; joined, as lines that look alike are made: one section, each line
  // but the last ended by a line break.
  void BuildPre(std::span<const std::u16string_view> lines, bool joined = false) {
    document.TCellBasic::Clear();
    std::unique_ptr<html::TPreFormated> pre;
    int32_t source = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!pre)
        pre = std::make_unique<html::TPreFormated>(&document, nullptr, state.TopProperties(),
                                                   nullptr, &document, source == 0);
      AddText(*pre, lines[i], source);
      source += int32_t(lines[i].size());
      if (joined && i + 1 < lines.size())
        pre->EndLine(source);
      else
        document.Add(std::move(pre), source);
      ++source;  // the line end
    }
    LayOutAndDraw();
  }
  void BuildPre(std::initializer_list<std::u16string_view> lines) {
    BuildPre(std::span<const std::u16string_view>(lines.begin(), lines.size()));
  }

  std::u16string Selection(int32_t start, int32_t end) {
    document.SelStart = start;
    document.SelEnd = end;
    std::array<char16_t, 256> chars{};
    const int32_t count = document.SelectionToBuffer(chars);
    return count > 0 ? std::u16string(chars.data(), size_t(count - 1)) : u"?";
  }
};

TEST_F(DocumentQueryTest, SelectionsCopyParagraphsWithLineBreaksBetween) {
  ASSERT_EQ(document.Count(), 2);
  ASSERT_EQ(Paragraph(1).FirstPos, 16);
  EXPECT_EQ(Selection(0, 27), u"First paragraph\r\nSecond one");
  EXPECT_EQ(Selection(6, 20), u"paragraph\r\nSeco");
  EXPECT_EQ(Selection(17, 19), u"ec");
}

TEST_F(DocumentQueryTest, SearchesAndPositionsGoToTheRightParagraph) {
  EXPECT_EQ(document.FindString(u"second", 0, false), 16);
  EXPECT_EQ(document.FindString(u"one", 17, false), 23);
  EXPECT_EQ(document.FindStringR(u"first", 27, false), 0);
  EXPECT_EQ(document.FindStringR(u"aph", 14, false), -1);

  EXPECT_EQ(document.FindSourcePos(16), 20);
  EXPECT_EQ(document.FindDocPos(17, false), 16);
  EXPECT_EQ(document.FindDocPos(17, true), 15);

  TSection& second = Paragraph(1);
  const html::LineRec& line = second.Lines[0];
  html::TCursorHit hit;
  EXPECT_EQ(document.FindCursor(canvas, line.LineLeft - 5, line.TextTop + 1, hit), 16);
  int32_t x = 0, y = 0;
  ASSERT_TRUE(document.CursorToXY(&canvas, 18, x, y));
  EXPECT_EQ(y, second.TopY);
  EXPECT_EQ(x, line.LineLeft + Width(*second.Fonts[0], u"Se"));

  char16_t ch = 0;
  html::TSectionBase* item = nullptr;
  ASSERT_TRUE(document.GetChAtPos(17, ch, item));
  EXPECT_EQ(ch, u'e');
  EXPECT_EQ(item, &second);
}

}  // namespace

namespace {

TEST_F(DocumentQueryTest, AnEmptyPreLineHasAPositionAndALineOfItsOwn) {
  BuildPre({u"a", u"", u"b"});
  ASSERT_EQ(document.Count(), 3);
  EXPECT_EQ(Paragraph(1).FirstPos, 2);
  EXPECT_EQ(Paragraph(2).FirstPos, 3);
  char16_t ch = 0;
  html::TSectionBase* item = nullptr;
  ASSERT_TRUE(document.GetChAtPos(3, ch, item));
  EXPECT_EQ(ch, u'b');
  EXPECT_EQ(item, &Paragraph(2));
  EXPECT_EQ(Selection(3, 5), u"b");
  EXPECT_EQ(Selection(0, 5), u"a\r\n\r\nb");

  // The empty line is as high as the others, and a click on it finds its position.
  TSection& empty = Paragraph(1);
  ASSERT_EQ(empty.Lines.Count(), 1);
  EXPECT_EQ(empty.FlowHeight, Paragraph(0).FlowHeight);
  html::TCursorHit hit;
  EXPECT_EQ(document.FindCursor(canvas, empty.Lines[0].LineLeft, empty.TopY + 2, hit), 2);
}

}  // namespace

namespace {

// What a reader meets in PRE lines: where each position is drawn, what a click finds, what is
// copied, which source offset a position came from, and the pixels.
struct TPreView {
  int32_t Height = 0;
  std::vector<int32_t> Carets, Clicks, Sources;
  std::vector<std::u16string> Copies;
  std::vector<uint32_t> Pixels;
};

class PreLinesTest : public DocumentQueryTest {
 protected:
  TPreView View(std::span<const std::u16string_view> lines, bool joined) {
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFF);
    BuildPre(lines, joined);
    TPreView view;
    int32_t scrollWidth = 0, pos = 0;
    view.Height = document.Layout(canvas, 0, 400, 0, 0, scrollWidth, pos);
    const int32_t count = document.Len;
    for (int32_t p = 0; p <= count; ++p) {
      int32_t x = -1, y = -1;
      document.CursorToXY(&canvas, p, x, y);
      view.Carets.insert(view.Carets.end(), {x, y});
      view.Sources.push_back(document.FindSourcePos(p));
    }
    for (int32_t y = 0; y < view.Height; y += 3)
      for (int32_t x : {0, 5, 12, 30, 200}) {
        html::TCursorHit hit;
        view.Clicks.insert(view.Clicks.end(), {document.FindCursor(canvas, x, y, hit), hit.CaretX,
                                               hit.CaretY, int32_t(hit.InText)});
      }
    for (int32_t start = 0; start <= count; ++start)
      for (int32_t end = start + 1; end <= count + 1; ++end)
        view.Copies.push_back(Selection(start, end));
    document.SelStart = document.SelEnd = 0;
    document.Draw(canvas, {0, 0, kWidth, kHeight}, kWidth, 0, 0, 0, 0);
    view.Pixels = pixels;
    return view;
  }
};

TEST_F(PreLinesTest, JoinedLinesReadAsLinesOfTheirOwn) {
  std::mt19937 random(43);
  const std::u16string letters = u"aW  .x";
  for (int round = 0; round < 60; ++round) {
    std::vector<std::u16string> texts(1 + random() % 6);
    for (std::u16string& text : texts)
      for (size_t n = random() % 7; n > 0; --n) text += letters[random() % letters.size()];
    const std::vector<std::u16string_view> lines(texts.begin(), texts.end());
    const TPreView separate = View(lines, false);
    const TPreView joined = View(lines, true);
    ASSERT_EQ(document.Count(), 1);
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(joined.Height, separate.Height);
    EXPECT_EQ(joined.Carets, separate.Carets);
    EXPECT_EQ(joined.Clicks, separate.Clicks);
    EXPECT_EQ(joined.Sources, separate.Sources);
    EXPECT_EQ(joined.Copies, separate.Copies);
    EXPECT_TRUE(joined.Pixels == separate.Pixels);
  }
}

}  // namespace
