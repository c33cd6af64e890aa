// Widths and line breaking of text sections, measured against the same text measured on its
// own, so that the expectations hold for any installed version of the font.
#include <algorithm>
#include <random>

#include "TextTestSupport.h"

namespace {

using html::LineRec;
using html::TSection;
using texttest::AddText;
using texttest::TextFixture;

class LayoutTest : public TextFixture {
 protected:
  LayoutTest() { indents.Reset(0, 1000); }

  // Lays s out at width from y and returns its flow height.
  int32_t LayOut(TSection& s, int32_t width, int32_t y = 0) {
    indents.Reset(0, width);
    int32_t pos = 0;
    maxWidth = 0;
    return s.Layout(canvas, 0, y, 0, 0, width, 0, 0, indents, maxWidth, pos);
  }
  std::u16string LineText(const TSection& s, int line) const {
    const LineRec& rec = s.Lines[line];
    return s.Text.substr(size_t(rec.StartIndex), size_t(rec.CharCount));
  }
  int32_t W(const TSection& s, std::u16string_view text) const { return Width(*s.Fonts[0], text); }

  plat::TCanvas canvas;
  html::IndentManager indents;
  int32_t maxWidth = 0;
};

TEST_F(LayoutTest, WidestWordAndWholeTextAreTheWidths) {
  TSection& s = Finished(u"aaa bbbbbb cc");
  int32_t minW = 0, maxW = 0;
  s.MinMaxWidth(canvas, minW, maxW);
  EXPECT_EQ(minW, W(s, u"bbbbbb"));
  EXPECT_EQ(maxW, W(s, u"aaa bbbbbb cc"));

  // Line breaks cut the maximum into pieces.
  TSection& t = Finished(u"aaaa aaaa\bb");
  t.MinMaxWidth(canvas, minW, maxW);
  EXPECT_EQ(maxW, W(t, u"aaaa aaaa"));
}

TEST_F(LayoutTest, WordsMayEndAtHyphensAndSoftHyphens) {
  int32_t minW = 0, maxW = 0;
  TSection& s = Finished(u"xxxx-yy");
  s.MinMaxWidth(canvas, minW, maxW);
  EXPECT_EQ(minW, W(s, u"xxxx-"));

  TSection& t = Finished(u"xxxxxx\u00ADyy");
  t.MinMaxWidth(canvas, minW, maxW);
  EXPECT_EQ(minW, W(t, u"xxxxxx-"));
  EXPECT_EQ(maxW, W(t, u"xxxxxxyy"));

  auto breakWord = texttest::TextProps();
  breakWord->Values[html::piWordWrap] = std::string("break-word");
  TSection& u = Finished(u"iiii mmm", breakWord.get());
  u.MinMaxWidth(canvas, minW, maxW);
  EXPECT_EQ(minW, W(u, u"m"));
}

TEST_F(LayoutTest, TextBreaksAtTheLastSpaceThatFits) {
  TSection& s = Finished(u"aaa bbbbbb cc");
  const int32_t height = LayOut(s, W(s, u"aaa bbbbbb") + 1);
  ASSERT_EQ(s.Lines.Count(), 2);
  EXPECT_EQ(LineText(s, 0), u"aaa bbbbbb ");  // the space goes with the line
  EXPECT_EQ(LineText(s, 1), u"cc ");
  const LineRec& first = s.Lines[0];
  EXPECT_EQ(first.TextHeight, s.Fonts[0]->LineHeight());
  EXPECT_EQ(height, 2 * s.Fonts[0]->LineHeight());
  EXPECT_EQ(s.FlowHeight, height);
  EXPECT_EQ(s.PosCount, 14);

  // At its maximum width the text is one line; at its minimum no line runs over.
  int32_t minW = 0, maxW = 0;
  s.MinMaxWidth(canvas, minW, maxW);
  LayOut(s, maxW);
  EXPECT_EQ(s.Lines.Count(), 1);
  LayOut(s, minW);
  for (const auto& line : s.Lines)
    EXPECT_LE(s.MeasureTextWidth(canvas, line.StartIndex, line.CharCount, true), line.AvailWidth);
}

// Lines are records of the section: laying out again replaces them, and asking for one it does
// not have is an error, not a read past the end.
TEST_F(LayoutTest, LinesAreReplacedByEachLayoutAndCheckedWhenAskedFor) {
  TSection& s = Finished(u"aaa bbbbbb cc");
  LayOut(s, W(s, u"aaa") + 1);
  ASSERT_EQ(s.Lines.Count(), 3);
  LayOut(s, 1000);
  ASSERT_EQ(s.Lines.Count(), 1);
  EXPECT_EQ(LineText(s, 0), u"aaa bbbbbb cc ");
  EXPECT_EQ(&s.Lines.Last(), &s.Lines[0]);
  EXPECT_THROW(s.Lines[1], plat::EListError);
  EXPECT_THROW(s.Lines[-1], plat::EListError);
}

// No font's widest character vouches for a whole section: later runs may be larger, letter
// spacing widens every character, and characters a font lacks come from a wider one.
TEST_F(LayoutTest, NoLineRunsPastItsRoomWhateverItsFonts) {
  auto small = texttest::TextProps(8), large = texttest::TextProps(48);
  TSection& mixed = NewSection(small.get());
  AddText(mixed, u"a ", 0);
  mixed.ChangeFont(*large);
  AddText(mixed, u"WWWW WWWW", 2);
  mixed.ProcessText(11);

  auto spacing = texttest::TextProps();
  spacing->Values[html::piLetterSpacing] = std::string("60px");
  TSection& spaced = Finished(u"abcd efgh", spacing.get());
  ASSERT_EQ(spaced.Fonts[0]->Font->LetterSpacing, 60);

  auto mono = texttest::TextProps(8);
  mono->Values[html::piFontFamily] = std::string("DejaVu Sans Mono");
  TSection& borrowed = Finished(u"\u01C4\u01C4\u01C4 \u01C4\u01C4\u01C4", mono.get());

  for (TSection* section : {&mixed, &spaced, &borrowed}) {
    // A pixel short of the whole text, measured in whatever fonts the desktop gives: the last
    // word goes to a line of its own.
    const int width = section->MeasureTextWidth(canvas, 0, int32_t(section->Text.size()), true) - 1;
    LayOut(*section, width);
    EXPECT_EQ(section->Lines.Count(), 2) << width;
    for (const auto& line : section->Lines)
      EXPECT_LE(section->MeasureTextWidth(canvas, line.StartIndex, line.CharCount, true), width)
          << width;
  }
}

TEST_F(LayoutTest, LongWordsRunOverUnlessTheyMayBreak) {
  TSection& s = Finished(u"ab cdefghij kl");
  const int32_t narrow = W(s, u"cdef");
  LayOut(s, narrow);
  ASSERT_EQ(s.Lines.Count(), 3);
  EXPECT_EQ(LineText(s, 1), u"cdefghij ");
  EXPECT_EQ(maxWidth, W(s, u"cdefghij"));

  auto breakWord = texttest::TextProps();
  breakWord->Values[html::piWordWrap] = std::string("break-word");
  TSection& t = Finished(u"ab cdefghij kl", breakWord.get());
  LayOut(t, narrow);
  ASSERT_GE(t.Lines.Count(), 4);
  EXPECT_EQ(LineText(t, 1), u"cdef");
}

TEST_F(LayoutTest, ALineBreakAtTheStartMakesALineOfItsOwn) {
  TSection& s = Finished(u"a\b\bb");
  LayOut(s, 500);
  ASSERT_EQ(s.Lines.Count(), 3);
  EXPECT_EQ(LineText(s, 0), u"a\b");
  EXPECT_EQ(LineText(s, 1), u"\b");
  EXPECT_EQ(LineText(s, 2), u"b ");
  EXPECT_EQ(s.Lines[1].TextHeight, s.Fonts[0]->LineHeight());
}

TEST_F(LayoutTest, AlignmentPlacesTheLine) {
  auto props = texttest::TextProps();
  props->Values[html::piTextAlign] = std::string("right");
  TSection& right = Finished(u"abc", props.get());
  LayOut(right, 300);
  EXPECT_EQ(right.Lines[0].Indent, 300 - W(right, u"abc"));

  props = texttest::TextProps();
  props->Values[html::piTextAlign] = std::string("center");
  TSection& center = Finished(u"abc", props.get());
  LayOut(center, 300);
  EXPECT_EQ(center.Lines[0].Indent, (300 - W(center, u"abc")) / 2);
}

TEST_F(LayoutTest, JustifiedLinesSpreadTheRestOverTheirGaps) {
  auto props = texttest::TextProps();
  props->Values[html::piTextAlign] = std::string("justify");
  TSection& s = Finished(u"aa bb\u00A0cc dd ee ff", props.get());
  const int32_t width = W(s, u"aa bb\u00A0cc dd") + 5;
  LayOut(s, width);
  ASSERT_EQ(s.Lines.Count(), 2);
  const LineRec& first = s.Lines[0];
  EXPECT_EQ(first.GapCount, 3);  // two spaces and the no-break space; not the final space
  EXPECT_EQ(first.ExtraWidth, width - W(s, u"aa bb\u00A0cc dd"));
  EXPECT_EQ(s.Lines[1].ExtraWidth, 0);
  EXPECT_EQ(s.Lines[1].GapCount, 0);
}

TEST_F(LayoutTest, PercentageIndentFollowsTheWidth) {
  auto props = texttest::TextProps();
  props->Values[html::piTextIndent] = std::string("10%");
  TSection& s = Finished(u"abc", props.get());
  EXPECT_EQ(s.FirstIndentPercent(), 10);
  LayOut(s, 400);
  EXPECT_EQ(s.FirstIndent(), 40);
  EXPECT_EQ(s.Lines[0].Indent, 40);
}

TEST_F(LayoutTest, LineHeightSplitsTheLeading) {
  auto props = texttest::TextProps();
  props->Values[html::piLineHeight] = std::string("41px");
  TSection& s = Finished(u"abc", props.get());
  LayOut(s, 400);
  const LineRec& line = s.Lines[0];
  const int32_t d = 41 - line.TextHeight;
  EXPECT_EQ(line.SpaceAbove, d / 2);
  EXPECT_EQ(line.SpaceBelow, d - d / 2);
  EXPECT_EQ(s.FlowHeight, 41);
}

TEST_F(LayoutTest, EmptySectionTakesOnlyItsClearSpace) {
  auto props = texttest::TextProps();
  props->Values[html::piClear] = std::string("left");
  TSection& s = Finished(u" ", props.get());
  indents.Reset(0, 300);
  indents.AddBlockFloat(0, 100, html::TFloatSide::Left, 50);
  int32_t pos = 7;
  const int32_t height = s.Layout(canvas, 0, 10, 0, 0, 300, 0, 0, indents, maxWidth, pos);
  EXPECT_EQ(height, 40);  // down to the float's bottom
  EXPECT_EQ(s.Lines.Count(), 0);
  EXPECT_EQ(pos, 7);
}

TEST_F(LayoutTest, TextFlowsBesideAFloat) {
  TSection& s = NewSection();
  auto object = std::make_unique<texttest::TTestObject>(100, 60, html::aLeft);
  texttest::TTestObject* obj = object.get();
  s.AddFloatingObj(std::move(object), 0);
  AddText(s, u"aaa bbb ccc", 1);
  s.ProcessText(12);
  const int32_t width = 100 + W(s, u"aaa bbb") + 2;
  LayOut(s, width);
  EXPECT_EQ(obj->FloatX, 0);
  EXPECT_EQ(obj->DrawY, 0);
  ASSERT_GE(s.Lines.Count(), 2);
  EXPECT_EQ(LineText(s, 0),
            u"\x04"
            u"aaa bbb ");
  EXPECT_EQ(s.Lines[0].Indent, 100);
  EXPECT_EQ(s.Lines[1].Indent, 100);  // still beside the float
  EXPECT_GE(s.PaintHeight, 60);
  EXPECT_EQ(obj->Sizings, 1);

  // With images the widths are computed anew every time.
  int32_t minW = 0, maxW = 0;
  s.MinMaxWidth(canvas, minW, maxW);
  s.MinMaxWidth(canvas, minW, maxW);
  EXPECT_EQ(obj->Sizings, 3);
  EXPECT_EQ(maxW, 100 + W(s, u"aaa bbb ccc"));
}

TEST_F(LayoutTest, AFloatTooWideForTheGapMovesDownToWhereTheIndentChanges) {
  TSection& s = NewSection();
  auto object = std::make_unique<texttest::TTestObject>(150, 20, html::aLeft);
  texttest::TTestObject* obj = object.get();
  s.AddFloatingObj(std::move(object), 0);
  AddText(s, u"a", 1);
  s.ProcessText(2);
  indents.Reset(0, 200);
  indents.AddBlockFloat(0, 100, html::TFloatSide::Left, 30);
  int32_t pos = 0;
  s.Layout(canvas, 0, 0, 0, 0, 200, 0, 0, indents, maxWidth, pos);
  ASSERT_GE(s.Lines.Count(), 2);
  EXPECT_EQ(s.Lines[0].CharCount, 0);
  EXPECT_EQ(s.Lines[0].TotalHeight, 30);
  EXPECT_EQ(obj->DrawY, 30);
}

TEST_F(LayoutTest, AFloatBesideAWordThatCannotBreakIsPlacedOnce) {
  // The float leaves too little room for the word beside it: the word runs past the edge on the
  // float's line rather than the float being placed again lower down, and again, without end.
  TSection& s = NewSection();
  auto object = std::make_unique<texttest::TTestObject>(100, 20, html::aLeft);
  texttest::TTestObject* obj = object.get();
  state.noBreak = true;
  s.AddFloatingObj(std::move(object), 0);
  AddText(s, u"wwwwwwwwwwww", 1);
  s.ProcessText(13);
  LayOut(s, 150);
  EXPECT_EQ(indents.LeftList.Count(), 1);
  EXPECT_EQ(obj->DrawY, 0);
  ASSERT_EQ(s.Lines.Count(), 1);
  EXPECT_EQ(s.Lines[0].Indent, 100);
}

// Emoji with modifiers and joiners, flags, letters with combining marks: whatever the width, a
// line starts only where a character starts.
TEST_F(LayoutTest, CharactersOfSeveralUnitsAreNeverCut) {
  const std::u16string characters[] = {u"x",
                                       u"\U0001F600",
                                       u"\U0001F44D\U0001F3FD",
                                       u"\U0001F468\u200D\U0001F469\u200D\U0001F467",
                                       u"e\u0301",
                                       u"\u304B\u3099",
                                       u"\U0001F1E9\U0001F1EA",
                                       u" "};
  std::mt19937 random(8);
  auto breakWord = texttest::TextProps();
  breakWord->Values[html::piWordWrap] = std::string("break-word");
  for (int page = 0; page < 8; ++page) {
    std::u16string text;
    std::vector<bool> starts;  // a character starts at this unit
    for (int k = 0; k < 40; ++k) {
      const std::u16string& ch = characters[random() % std::size(characters)];
      if (ch == u" " && (text.empty() || text.back() == u' ')) continue;  // kept by the tidying
      for (size_t u = 0; u < ch.size(); ++u) starts.push_back(u == 0);
      text += ch;
    }
    for (html::TProperties* props : {static_cast<html::TProperties*>(nullptr), breakWord.get()}) {
      TSection& s = Finished(text, props);
      for (int32_t width = 1; width < 400; width += 7) {
        LayOut(s, width);
        for (const auto& line : s.Lines)
          ASSERT_TRUE(size_t(line.StartIndex) >= starts.size() || starts[size_t(line.StartIndex)])
              << "page " << page << " width " << width << " line at " << line.StartIndex;
      }
    }
  }
}

// A line that ends where a soft hyphen stood shows a "-", which must fit; where a space, a line
// break or the end follows, no hyphen shows, and none widens the narrowest width.
TEST_F(LayoutTest, SoftHyphensShowAndCountOnlyInsideAWord) {
  auto bold = texttest::TextProps(20);
  TSection& s = NewSection();
  AddText(s, u"aaaa ", 0);
  s.ChangeFont(*bold);
  AddText(s, u"bbbb", 5);
  s.ChangeFont(state.TopProperties());
  AddText(s, u"\u00ADcccc \u00ADdd\u00ADee", 9);
  s.ProcessText(24);
  for (int32_t width = s.MeasureTextWidth(canvas, 0, 9, true) - 6; width < 300; ++width) {
    LayOut(s, width);
    for (const auto& line : s.Lines) {
      int32_t drawn = s.MeasureTextWidth(canvas, line.StartIndex, line.CharCount, true);
      if (line.EndsWithHyphen) {
        const int32_t last = line.StartIndex + line.CharCount - 1;
        int index = 0;
        drawn += Width(*s.Fonts.GetFontObjAt(last, index), u"-");
      }
      EXPECT_LE(drawn, line.AvailWidth) << "width " << width << " line at " << line.StartIndex;
    }
  }

  int32_t minW = 0, maxW = 0;
  for (std::u16string_view text : {u"foo bar\u00AD", u"mprkw\u00AD\bk", u"ab\u00AD cd"}) {
    TSection& t = Finished(text);
    t.MinMaxWidth(canvas, minW, maxW);
    EXPECT_LE(minW, maxW);
    LayOut(t, maxW);
    EXPECT_EQ(t.Lines.Count(), int(std::count(text.begin(), text.end(), u'\b')) + 1);
    EXPECT_FALSE(t.Lines[0].EndsWithHyphen);
  }
}

TEST_F(LayoutTest, ControlsRaiseTheirLine) {
  TSection& s = NewSection();
  texttest::TTestControl control;  // 30 x 20
  AddText(s, u"a ", 0);
  s.AddFormControl(control, 2);
  s.ProcessText(3);
  LayOut(s, 400);
  const LineRec& line = s.Lines[0];
  // Bottom-aligned with one pixel above and below.
  EXPECT_EQ(line.SpaceAbove, std::max(0, 1 + 20 + 1 - line.TextHeight));
  EXPECT_EQ(s.MeasureTextWidth(canvas, 0, 3, true), W(s, u"a ") + 30);
}

}  // namespace
