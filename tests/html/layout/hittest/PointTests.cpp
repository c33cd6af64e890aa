// Links, titles and the caret under a point, and the points of document positions, checked
// against widths measured apart from the section.
#include <cstdint>

#include "HitTestSupport.h"

namespace {

using html::TSection;
using texttest::AddText;

class PointTest : public hittest::HitFixture {
 protected:
  // "go to the page" with "the" linking to a.html; laid out on one line.
  TSection& LinkedSection(int32_t firstPos = 0) {
    link.URL = "a.html";
    link.ID = 5;
    TSection& s = NewSection();
    AddText(s, u"go to ", 100);
    s.SetLink(true, state.TopProperties(), link);
    AddText(s, u"the", 106);
    html::TUrlTarget none;
    s.SetLink(false, state.TopProperties(), none);
    AddText(s, u" page", 109);
    s.ProcessText(114);
    Place(s, 400, firstPos);
    return s;
  }

  int Hit(TSection& s, int32_t x, int32_t y, html::THitLink& hit) {
    return html::SectionHitTestLink(s, canvas, x, y, hit);
  }

  html::TUrlTarget link;
};

TEST_F(PointTest, LinksAndTitlesComeFromTheRunUnderThePoint) {
  TSection& s = LinkedSection();
  ASSERT_EQ(s.Fonts.Count(), 3);
  s.Fonts[2]->SetTitle("hint");
  const html::LineRec& line = s.Lines[0];
  const int32_t y = line.TextTop + line.TextHeight / 2;
  const int32_t left = line.LineLeft;
  const html::TFontObj& run = *s.Fonts[0];

  html::THitLink onLink;
  EXPECT_EQ(Hit(s, left + Width(run, u"go to ") + 1, y, onLink), html::hlLink);
  ASSERT_TRUE(onLink.UrlTarget);
  EXPECT_EQ(onLink.UrlTarget->URL, "a.html");
  EXPECT_NE(onLink.UrlTarget.get(), s.Fonts[1]->Link());  // a copy
  EXPECT_EQ(document.HoverLink, s.Fonts[1]);

  html::THitLink lastLetter;
  EXPECT_EQ(Hit(s, left + Width(run, u"go to the") - 1, y, lastLetter), html::hlLink);

  html::THitLink titled;
  EXPECT_EQ(Hit(s, left + Width(run, u"go to the") + 1, y, titled), html::hlTitle);
  EXPECT_EQ(titled.Title, "hint");
  EXPECT_FALSE(titled.UrlTarget);

  html::THitLink nothing;
  EXPECT_EQ(Hit(s, left + 1, y, nothing), 0);
  EXPECT_EQ(Hit(s, left - 1, y, nothing), 0);
  EXPECT_EQ(Hit(s, left + 390, y, nothing), 0);  // past the line's end
  const int32_t onLinkX = left + Width(run, u"go to t");
  EXPECT_EQ(Hit(s, onLinkX, line.TextTop - 1, nothing), 0);
  EXPECT_EQ(Hit(s, onLinkX, line.TextTop + line.TextHeight, nothing), 0);
  EXPECT_EQ(Hit(s, onLinkX, line.TextTop, nothing), html::hlLink);
  EXPECT_EQ(Hit(s, onLinkX, line.TextTop + line.TextHeight - 1, nothing), html::hlLink);
}

TEST_F(PointTest, ClicksPlaceTheCaretByHalfCharacters) {
  TSection& s = Finished(u"abc def");
  Place(s, 400, 20);
  const html::LineRec& line = s.Lines[0];
  const html::TFontObj& run = *s.Fonts[0];
  const int32_t y = line.TextTop + 2, left = line.LineLeft;
  const auto click = [&](int32_t x, html::TCursorHit& hit) {
    return html::SectionFindCursorAt(s, canvas, x, y, hit);
  };

  html::TCursorHit hit;
  EXPECT_EQ(click(left - 5, hit), 20);
  EXPECT_FALSE(hit.InText);
  EXPECT_EQ(hit.CaretX, left);
  EXPECT_EQ(hit.CaretHeight, line.TextHeight);
  EXPECT_EQ(hit.CaretY, s.TopY + line.SpaceAbove);
  EXPECT_EQ(click(left - 15, hit), -1);
  EXPECT_EQ(click(left + line.AvailWidth + 1, hit), -1);

  // "b" spans [w(a), w(ab)): its left half keeps the caret before it, its right half after.
  EXPECT_EQ(click(left + Width(run, u"a") + 1, hit), 21);
  EXPECT_TRUE(hit.InText);
  EXPECT_EQ(hit.CaretX, left + Width(run, u"a"));
  EXPECT_EQ(click(left + Width(run, u"ab") - 1, hit), 22);
  EXPECT_TRUE(hit.InText);
  EXPECT_EQ(hit.CaretX, left + Width(run, u"ab"));

  // Beyond the text: the line's end, outside the text.
  EXPECT_EQ(click(left + Width(run, u"abc def ") + 30, hit), 20 + int32_t(s.Text.size()));
  EXPECT_FALSE(hit.InText);
}

TEST_F(PointTest, ObjectsAndControlsTakeTheirWidthInALine) {
  texttest::TTestControl control;  // 30 pixels wide
  TSection& s = NewSection();
  AddText(s, u"ab", 0);
  s.AddFormControl(control, 2);
  AddText(s, u"cd", 3);
  s.ProcessText(5);
  Place(s, 400);
  const html::LineRec& line = s.Lines[0];
  const html::TFontObj& run = *s.Fonts[0];
  const int32_t afterControl = line.LineLeft + Width(run, u"ab") + 30;
  html::TCursorHit hit;
  EXPECT_EQ(html::SectionFindCursorAt(s, canvas, afterControl + 1, line.TextTop + 1, hit), 3);
  EXPECT_EQ(hit.CaretX, afterControl);
  // The right half of the control puts the caret after it.
  EXPECT_EQ(html::SectionFindCursorAt(s, canvas, afterControl - 2, line.TextTop + 1, hit), 3);
  EXPECT_EQ(html::SectionFindCursorAt(s, canvas, afterControl - 28, line.TextTop + 1, hit), 2);

  int32_t x = 0, y = 0;
  ASSERT_TRUE(html::SectionPositionToXY(s, &canvas, 4, y, x));
  EXPECT_EQ(x, afterControl + Width(run, u"c"));
}

TEST_F(PointTest, PositionsAndPointsRoundTripOverLinesAndFonts) {
  TSection& s = NewSection();
  AddText(s, u"first words ", 0);
  auto small = texttest::TextProps(9);
  s.ChangeFont(*small);
  AddText(s, u"in small ", 12);
  s.ChangeFont(state.TopProperties());
  AddText(s, u"then plain text again", 21);
  s.ProcessText(42);
  const html::TFontObj& run = *s.Fonts[0];
  Place(s, Width(run, u"first words ") + Width(*s.Fonts[1], u"in small ") + 5, 7, 30);
  ASSERT_GE(s.Lines.Count(), 2);

  // The first line's points, measured piece by piece.
  int32_t x = 0, y = 0;
  ASSERT_TRUE(html::SectionPositionToXY(s, &canvas, 7 + 14, y, x));
  EXPECT_EQ(y, s.TopY);
  EXPECT_EQ(x, s.Lines[0].LineLeft + Width(run, u"first words ") + Width(*s.Fonts[1], u"in"));
  const int32_t secondLine = 7 + s.Lines[0].CharCount;
  ASSERT_TRUE(html::SectionPositionToXY(s, &canvas, secondLine, y, x));
  EXPECT_EQ(y, LineTop(s, 1));
  EXPECT_EQ(x, s.Lines[1].LineLeft);

  for (int32_t pos = 7; pos < 7 + s.PosCount; ++pos) {
    SCOPED_TRACE(pos);
    ASSERT_TRUE(html::SectionPositionToXY(s, &canvas, pos, y, x));
    html::TCursorHit hit;
    EXPECT_EQ(html::SectionFindCursorAt(s, canvas, x, y, hit), pos);
    EXPECT_EQ(hit.CaretX, x);
    EXPECT_TRUE(hit.InText);
  }

  // Without a canvas only the line is known.
  ASSERT_TRUE(html::SectionPositionToXY(s, nullptr, secondLine + 3, y, x));
  EXPECT_EQ(x, s.Lines[1].LineLeft);
  EXPECT_FALSE(html::SectionPositionToXY(s, &canvas, 7 + s.PosCount, y, x));
  EXPECT_FALSE(html::SectionPositionToXY(s, &canvas, 6, y, x));

  // Below the last line the last line answers.
  html::TCursorHit hit;
  EXPECT_EQ(html::SectionFindCursorAt(s, canvas, s.Lines.Last().LineLeft, 1000, hit),
            7 + s.PosCount - s.Lines.Last().CharCount);
}

// A justified line's spread is shared out over text measured in several pieces exactly as
// painting shares it: the line's last position stands at its right edge whatever the extra.
TEST_F(PointTest, JustifiedLinesMeasureAsTheyArePainted) {
  auto props = texttest::TextProps();
  props->Values[html::piTextAlign] = std::string("justify");
  auto small = texttest::TextProps(9);
  small->Values[html::piTextAlign] = std::string("justify");
  for (int32_t extra = 1; extra <= 12; ++extra) {
    SCOPED_TRACE(extra);
    TSection& s = NewSection(props.get());
    AddText(s, u"aa bb ", 0);
    s.ChangeFont(*small);
    AddText(s, u"cc dd ", 6);
    s.ChangeFont(*props);
    AddText(s, u"ee ff gg hh", 12);
    s.ProcessText(23);
    const int32_t natural = Width(*s.Fonts[0], u"aa bb ") + Width(*s.Fonts[1], u"cc dd ") +
                            Width(*s.Fonts[0], u"ee ff");
    Place(s, natural + extra);
    ASSERT_GE(s.Lines.Count(), 2);
    const html::LineRec& line = s.Lines[0];
    ASSERT_EQ(line.CharCount, 18);
    ASSERT_EQ(line.GapCount, 5);
    ASSERT_EQ(line.ExtraWidth, extra);

    int32_t x = 0, y = 0;
    ASSERT_TRUE(html::SectionPositionToXY(s, &canvas, line.CharCount - 1, y, x));
    EXPECT_EQ(x, line.LineLeft + line.AvailWidth);
    html::TCursorHit hit;
    EXPECT_EQ(html::SectionFindCursorAt(s, canvas, x - 1, y, hit), line.CharCount - 1);
    EXPECT_EQ(hit.CaretX, x);
  }
}

TEST_F(PointTest, UnplacedSectionsAndFarPointsFindNothing) {
  TSection& unplaced = Finished(u"abc");
  html::THitLink hit;
  html::TCursorHit cursor;
  int32_t x = 0, y = 0;
  EXPECT_EQ(html::SectionHitTestLink(unplaced, canvas, 0, 0, hit), 0);
  EXPECT_EQ(html::SectionFindCursorAt(unplaced, canvas, 0, 0, cursor), -1);
  EXPECT_FALSE(html::SectionPositionToXY(unplaced, &canvas, 0, y, x));

  TSection& s = LinkedSection(10);
  for (const int32_t far : {INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(far);
    EXPECT_EQ(html::SectionHitTestLink(s, canvas, far, s.Lines[0].TextTop, hit), 0);
    EXPECT_EQ(html::SectionHitTestLink(s, canvas, s.Lines[0].LineLeft + 1, far, hit), 0);
    EXPECT_EQ(html::SectionFindCursorAt(s, canvas, far, s.TopY, cursor), -1);
    EXPECT_FALSE(html::SectionPositionToXY(s, &canvas, far, y, x));
  }
  // Any height still finds a line: above the first counts as the first.
  EXPECT_EQ(html::SectionFindCursorAt(s, canvas, s.Lines[0].LineLeft, INT32_MIN, cursor), 10);
  EXPECT_EQ(html::SectionFindCursorAt(s, canvas, s.Lines[0].LineLeft, INT32_MAX, cursor), 10);
}

// With tall lines the space above and below the text belongs to the line for the caret, but
// holds no link.
TEST_F(PointTest, TheSpaceBetweenSpacedLinesHoldsNoLinkButTakesTheCaret) {
  TSection& s = LinkedSection();
  s.LineHeight = 3 * s.Lines[0].TextHeight;
  Place(s, Width(*s.Fonts[0], u"go to the") + 2);
  ASSERT_EQ(s.Lines.Count(), 2);
  const html::LineRec& first = s.Lines[0];
  const html::LineRec& second = s.Lines[1];
  ASSERT_GT(first.SpaceBelow, 0);
  ASSERT_EQ(second.TextTop, LineTop(s, 1) + second.SpaceAbove);
  const int32_t onLink = first.LineLeft + Width(*s.Fonts[0], u"go to t");

  html::THitLink hit;
  EXPECT_EQ(html::SectionHitTestLink(s, canvas, onLink, first.TextTop + 1, hit), html::hlLink);
  EXPECT_EQ(html::SectionHitTestLink(s, canvas, onLink, first.TextTop + first.TextHeight, hit), 0);
  EXPECT_EQ(html::SectionHitTestLink(s, canvas, onLink, second.TextTop - 1, hit), 0);

  // Below the first line's text, still within its height: the first line; from the second
  // line's top on: the second line.
  html::TCursorHit cursor;
  const int32_t secondTop = LineTop(s, 1);
  EXPECT_EQ(html::SectionFindCursorAt(s, canvas, first.LineLeft - 1, secondTop - 1, cursor), 0);
  EXPECT_EQ(cursor.CaretY, s.TopY + first.SpaceAbove);
  EXPECT_EQ(cursor.CaretHeight, first.TextHeight);
  EXPECT_EQ(html::SectionFindCursorAt(s, canvas, second.LineLeft - 1, secondTop, cursor),
            first.CharCount);
  EXPECT_EQ(cursor.CaretY, secondTop + second.SpaceAbove);
}

TEST_F(PointTest, ASecondQuestionAtTheSamePlaceIsAnsweredWithoutMeasuring) {
  TSection& s = Finished(u"abcdefgh");
  Place(s, 400);
  const int32_t width = Width(*s.Fonts[0], u"abcd");
  EXPECT_EQ(html::FitCountAt(s, canvas, width, 8, 0), 4);
  // Wider letters in place of the text: the same question still gets the answer measured before.
  s.Text = u"WWWWWWWW ";
  EXPECT_EQ(html::FitCountAt(s, canvas, width, 8, 0), 4);
  // Another width is measured, and so is anything after a new layout.
  EXPECT_LT(html::FitCountAt(s, canvas, width + 1, 8, 0), 4);
  ++document.LayoutPass;
  EXPECT_LT(html::FitCountAt(s, canvas, width, 8, 0), 4);
}

}  // namespace
