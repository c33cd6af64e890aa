// Painting laid-out sections into a bitmap, checked by where coloured pixels appear.
#include <vector>

#include "TextTestSupport.h"
#include "support/PixelCanvas.h"

namespace {

using html::TSection;
using texttest::AddText;
using texttest::TextFixture;

constexpr int kWidth = 400, kHeight = 120;
constexpr uint32_t kWhite = 0xFFFFFFFF;

class DrawTest : public TextFixture, protected test_support::PixelCanvas {
 protected:
  DrawTest() : PixelCanvas(kWidth, kHeight) {}

  void LayOutAndDraw(TSection& s, int32_t width, int32_t y = 10) {
    indents.Reset(0, width);
    int32_t pos = 0, maxWidth = 0;
    s.Layout(canvas, 0, y, 0, 0, width, 0, 0, indents, maxWidth, pos);
    Draw(s);
  }
  void Draw(TSection& s) { s.Draw(canvas, {0, 0, kWidth, kHeight}, indents, 0, 0, 0); }

  uint32_t At(int x, int y) const { return PixelAt(x, y) & 0xFFFFFF; }
  // Pixels in [left, right) x [top, bottom) that satisfy test.
  template <class Test>
  int Count(int left, int top, int right, int bottom, Test test) const {
    int n = 0;
    for (int y = std::max(0, top); y < std::min(kHeight, bottom); ++y)
      for (int x = std::max(0, left); x < std::min(kWidth, right); ++x) n += test(At(x, y)) ? 1 : 0;
    return n;
  }
  static bool Dark(uint32_t c) {
    return (c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && (c >> 16) < 0x80;
  }
  static bool NotWhite(uint32_t c) { return c != 0xFFFFFF; }
  static bool IsGreen(uint32_t c) { return c == 0x00FF00; }
  // A bordered element over document positions [start, end): solid green, 2 pixels each side.
  static std::unique_ptr<html::InlineRec> GreenFrame(int32_t start, int32_t end) {
    auto rec = std::make_unique<html::InlineRec>();
    rec->StartPos = start;
    rec->EndPos = end;
    rec->MargArray[html::piBackgroundColor] = int32_t(html::clNone);
    for (int side : {html::piBorderTopWidth, html::piBorderRightWidth, html::piBorderBottomWidth,
                     html::piBorderLeftWidth})
      rec->MargArray[side] = 2;
    for (int side : {html::piBorderTopColor, html::piBorderRightColor, html::piBorderBottomColor,
                     html::piBorderLeftColor})
      rec->MargArray[side] = 0x00FF00;
    for (int side : {html::piBorderTopStyle, html::piBorderRightStyle, html::piBorderBottomStyle,
                     html::piBorderLeftStyle})
      rec->MargArray[side] = 1;  // solid
    return rec;
  }
  // The rightmost column with ink in rows [top, bottom); -1 for none.
  int RightmostInk(int top, int bottom) const {
    for (int x = kWidth - 1; x >= 0; --x)
      if (Count(x, top, x + 1, bottom, NotWhite) > 0) return x;
    return -1;
  }
  int LineTop(const TSection& s, int line) const {
    int y = s.PaintY;
    for (int i = 0; i < line; ++i)
      y += s.Lines[i].SpaceAbove + s.Lines[i].TextHeight + s.Lines[i].SpaceBelow;
    return y;
  }

  html::IndentManager indents;
};

TEST_F(DrawTest, TextInksOnlyItsLineBand) {
  TSection& s = Finished(u"Hello world");
  LayOutAndDraw(s, 300);
  const int top = LineTop(s, 0), bottom = top + s.Lines[0].TextHeight;
  EXPECT_GT(Count(0, top, kWidth, bottom, Dark), 30);
  EXPECT_EQ(Count(0, 0, kWidth, top, NotWhite), 0);
  EXPECT_EQ(Count(0, bottom, kWidth, kHeight, NotWhite), 0);
  const int right = RightmostInk(top, bottom);
  EXPECT_LE(right, Width(*s.Fonts[0], u"Hello world") + 1);
  EXPECT_GE(right, Width(*s.Fonts[0], u"Hello worl"));
}

TEST_F(DrawTest, SelectionIsBlackWithWhiteText) {
  TSection& s = Finished(u"WWWW WWWW");
  document.SelStart = 0;
  document.SelEnd = 4;  // the first word
  LayOutAndDraw(s, 300);
  const int top = LineTop(s, 0), bottom = top + s.Lines[0].TextHeight;
  const int word = Width(*s.Fonts[0], u"WWWW");
  const int cells = word * (bottom - top);
  // The selected cells are mostly black; white glyphs show through.
  EXPECT_GT(Count(0, top, word, bottom, Dark), cells / 2);
  EXPECT_GT(Count(0, top, word, bottom, [](uint32_t c) { return c == 0xFFFFFF; }), 10);
  // The unselected word is drawn on white.
  const int second = Width(*s.Fonts[0], u"WWWW ");
  EXPECT_LT(Count(second, top, second + word, bottom, Dark), cells / 2);
}

TEST_F(DrawTest, TheFinalSpaceIsNotDrawn) {
  TSection& s = Finished(u"ab");
  document.SelStart = 0;
  document.SelEnd = 3;  // the letters and the final space
  LayOutAndDraw(s, 300);
  const int top = LineTop(s, 0), bottom = top + s.Lines[0].TextHeight;
  const int letters = Width(*s.Fonts[0], u"ab");
  EXPECT_GT(Count(0, top, letters, bottom, Dark), 0);
  EXPECT_EQ(Count(letters, top, kWidth, bottom, NotWhite), 0);
}

TEST_F(DrawTest, DummyCaretStandsAtTheSelectionStart) {
  TSection& s = Finished(u"ab");
  document.ShowDummyCaret = true;
  document.SelStart = document.SelEnd = 1;
  LayOutAndDraw(s, 300);
  const int top = LineTop(s, 0), bottom = top + s.Lines[0].TextHeight;
  const int x = Width(*s.Fonts[0], u"a");
  EXPECT_EQ(Count(x, top, x + 1, bottom, Dark), s.Fonts[0]->LineHeight());
}

TEST_F(DrawTest, SuperscriptsStandHigher) {
  const auto inkTop = [this](std::u16string_view text, bool super) {
    pixels.assign(pixels.size(), kWhite);
    auto props = texttest::TextProps();
    if (super) props->Values[html::piVerticalAlign] = std::string("super");
    TSection& s = NewSection();
    s.ChangeFont(*props);
    AddText(s, text, 0);
    s.ProcessText(int32_t(text.size()));
    LayOutAndDraw(s, 300, 40);
    for (int y = 0; y < kHeight; ++y)
      if (Count(0, y, kWidth, y + 1, NotWhite) > 0) return y;
    return -1;
  };
  const int normal = inkTop(u"x", false);
  const int raised = inkTop(u"x", true);
  ASSERT_GE(normal, 0);
  EXPECT_EQ(raised, normal - sections.back()->Fonts[0]->LineHeight() / 3);
}

TEST_F(DrawTest, RunBackgroundFillsItsCells) {
  auto props = texttest::TextProps();
  props->TextBackground = 0x0000FF;  // red
  TSection& s = Finished(u"abc", props.get());
  LayOutAndDraw(s, 300);
  const int top = LineTop(s, 0), bottom = top + s.Lines[0].TextHeight;
  const int width = Width(*s.Fonts[0], u"abc");
  EXPECT_GT(Count(0, top, width, bottom, [](uint32_t c) { return c == 0xFF0000; }),
            width * (bottom - top) / 2);
}

TEST_F(DrawTest, SoftHyphenAtALineEndIsDrawn) {
  TSection& s = Finished(u"abc\u00ADdef ghi");
  LayOutAndDraw(s, Width(*s.Fonts[0], u"abc-") + 2);
  ASSERT_GE(s.Lines.Count(), 2);
  ASSERT_TRUE(s.Lines[0].EndsWithHyphen);
  const int top = LineTop(s, 0), bottom = top + s.Lines[0].TextHeight;
  EXPECT_GT(RightmostInk(top, bottom), Width(*s.Fonts[0], u"abc"));
}

// The spread moves the last glyph of a justified line right by exactly the extra width, with
// no-break spaces taking their share as plain spaces do.
TEST_F(DrawTest, JustifiedLinesReachTheRightEdge) {
  auto props = texttest::TextProps();
  props->Values[html::piTextAlign] = std::string("justify");
  TSection& s = Finished(u"ab cd\u00A0ef gh\u00A0ij kl", props.get());
  LayOutAndDraw(s, Width(*s.Fonts[0], u"ab cd\u00A0ef gh\u00A0ij") + 9);
  ASSERT_GE(s.Lines.Count(), 2);
  const html::LineRec& first = s.Lines[0];
  ASSERT_EQ(first.GapCount, 4);
  ASSERT_EQ(first.ExtraWidth, 9);
  const int top = LineTop(s, 0), bottom = top + first.TextHeight;
  const int justified = RightmostInk(top, bottom);

  // The same words drawn plainly, lower down.
  pixels.assign(pixels.size(), kWhite);
  TSection& plain = Finished(s.Text.substr(size_t(first.StartIndex), size_t(first.CharCount)));
  LayOutAndDraw(plain, 1000, 60);
  const int plainTop = LineTop(plain, 0);
  EXPECT_EQ(justified,
            RightmostInk(plainTop, plainTop + plain.Lines[0].TextHeight) + first.ExtraWidth);

  // The last line is not spread.
  EXPECT_EQ(s.Lines.Last().ExtraWidth, 0);
}

TEST_F(DrawTest, SectionsJustOutsideTheClipAreStillDrawn) {
  // A control stands in for the line: it is placed only when the line is drawn.
  auto drawnAtScroll = [&](int32_t scroll) {
    texttest::TTestControl control;
    TSection& s = NewSection();
    AddText(s, u"a ", 0);
    s.AddFormControl(control, 2);
    s.ProcessText(3);
    indents.Reset(0, 300);
    int32_t pos = 0, maxWidth = 0;
    s.Layout(canvas, 0, 0, 0, 0, 300, 0, 0, indents, maxWidth, pos);
    document.ScrollY = s.PaintBottom + scroll;
    Draw(s);
    return !control.Shown.empty();
  };
  EXPECT_TRUE(drawnAtScroll(0));
  EXPECT_TRUE(drawnAtScroll(30));
  EXPECT_FALSE(drawnAtScroll(50));
}

TEST_F(DrawTest, ObjectsDrawInTheirPlaces) {
  TSection& s = NewSection();
  auto floating = std::make_unique<texttest::TTestObject>(50, 20, html::aLeft);
  texttest::TTestObject* left = floating.get();
  s.AddFloatingObj(std::move(floating), 0);
  AddText(s, u"ab", 1);
  auto inlined = std::make_unique<texttest::TTestObject>(30, 10, html::aBottom);
  inlined->HSpaceL = 3;
  texttest::TTestObject* inner = inlined.get();
  s.AddFloatingObj(std::move(inlined), 3);
  AddText(s, u"c", 4);
  s.ProcessText(5);
  LayOutAndDraw(s, 300);
  ASSERT_EQ(inner->DrawnAt.size(), 1u);
  EXPECT_EQ(inner->DrawnAt[0], 50 + Width(*s.Fonts[0], u"ab"));
  // Floats wait for the pictures drawn after the text.
  EXPECT_TRUE(left->FloatDrawnAt.empty());
  ASSERT_EQ(document.ImageDrawList.Count(), 1);
  document.ImageDrawList.DrawImages(canvas);
  ASSERT_EQ(left->FloatDrawnAt.size(), 1u);
  EXPECT_EQ(left->FloatDrawnAt[0].X, 0);
  EXPECT_EQ(left->FloatDrawnAt[0].Y, 10);
}

// The border of a word late in a justified line moves with the spread before it, however the
// line is cut into pieces.
TEST_F(DrawTest, InlineBordersFollowJustifiedText) {
  auto props = texttest::TextProps();
  props->Values[html::piTextAlign] = std::string("justify");
  TSection& s = Finished(u"aa bb cc dd ee ff gg", props.get());
  document.InlineElements.Add(GreenFrame(3, 5));   // "bb"
  document.InlineElements.Add(GreenFrame(9, 11));  // "dd"
  document.InlineElements.Stale = false;
  LayOutAndDraw(s, Width(*s.Fonts[0], u"aa bb cc dd ee") + 10);
  const html::LineRec& line = s.Lines[0];
  ASSERT_EQ(line.GapCount, 4);
  // Each of the three gaps before "dd" gets extra / count, the first (extra mod count) one more.
  int spread = 0;
  for (int gap = 0; gap < 3; ++gap)
    spread += line.ExtraWidth / 4 + (gap < line.ExtraWidth % 4 ? 1 : 0);
  const int left = Width(*s.Fonts[0], u"aa bb cc ") + spread;
  const int top = LineTop(s, 0), bottom = top + line.TextHeight;
  EXPECT_EQ(Count(left - 2, top, left, bottom, IsGreen), 2 * (bottom - top));
  EXPECT_EQ(Count(left - 3, top, left - 2, bottom, IsGreen), 0);
}

TEST_F(DrawTest, InlineBorderFramesItsText) {
  TSection& s = Finished(u"aa bb cc");
  document.InlineElements.Add(GreenFrame(3, 5));  // "bb"
  document.InlineElements.Stale = false;
  LayOutAndDraw(s, 300);
  const auto green = IsGreen;
  const int left = Width(*s.Fonts[0], u"aa ");
  const int right = Width(*s.Fonts[0], u"aa bb");
  const int top = LineTop(s, 0), bottom = top + s.Lines[0].TextHeight;
  EXPECT_GT(Count(left - 2, top - 2, left, bottom + 2, green), 2 * (bottom - top) / 2);
  EXPECT_GT(Count(right, top - 2, right + 2, bottom + 2, green), 2 * (bottom - top) / 2);
  EXPECT_EQ(Count(0, 0, left - 2, kHeight, green), 0);
  EXPECT_EQ(Count(right + 2, 0, kWidth, kHeight, green), 0);
}

}  // namespace
