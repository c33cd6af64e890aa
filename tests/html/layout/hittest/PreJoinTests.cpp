// PRE lines that look alike share a section; each still lays out, paints and answers as a
// section of its own would.
#include <algorithm>
#include <string>
#include <vector>

#include "HitTestSupport.h"
#include "html/parse/DocumentBuilder.h"

namespace {

class PreJoinTest : public hittest::HitFixture {
 protected:
  void Load(const std::string& page) {
    document.Clear();
    document.ApplyDefaults(texttest::kFamily, "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0xFF,
                           0xFFFFFF, true, true, 0, 8, 10);
    document.Progress = [this](int percent) { progress.push_back(percent); };
    html::ParseHtmlDocument(page, document);
    progress.clear();
    int32_t scrollWidth = 0, pos = 0;
    document.Layout(canvas, 0, 400, 0, 0, scrollWidth, pos);
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFF);
    document.Draw(canvas, {0, 0, kWidth, kHeight}, kWidth, 0, 0, 0, 0);
  }
  // Where the first character of text is drawn.
  plat::TPoint At(std::u16string_view text) {
    const int32_t pos = document.FindString(text, 0, true);
    int32_t x = -1, y = -1;
    EXPECT_TRUE(document.CursorToXY(&canvas, pos, x, y)) << "no " << pos;
    return {x, y};
  }
  html::TSection& SectionAt(std::u16string_view text) {
    char16_t ch = 0;
    html::TSectionBase* item = nullptr;
    document.GetChAtPos(document.FindString(text, 0, true), ch, item);
    return dynamic_cast<html::TSection&>(*item);
  }

  std::vector<int> progress;
};

TEST_F(PreJoinTest, LinesShareASectionYetStandAsLinesOfTheirOwn) {
  Load("<pre style='text-align:justify'>a b c\nd e\n\nf g h i</pre>");
  html::TSection& pre = SectionAt(u"a b");
  EXPECT_EQ(&SectionAt(u"f g"), &pre);
  ASSERT_EQ(pre.Lines.Count(), 4);
  // No line is spread: each is the last of its own.
  for (const html::LineRec& line : pre.Lines) EXPECT_EQ(line.ExtraWidth, 0);
  const int32_t step = At(u"d e").Y - At(u"a b").Y;
  EXPECT_GT(step, 0);
  EXPECT_EQ(At(u"f g").Y - At(u"d e").Y, 2 * step);
  // A search never runs on from one line into the next; a line's end still matches a space.
  EXPECT_EQ(document.FindString(u"c d", 0, true), -1);
  EXPECT_EQ(document.FindStringR(u"c d", 20, true), -1);
  EXPECT_EQ(document.FindString(u"c ", 0, true), 4);
}

TEST_F(PreJoinTest, WhatALineStartsWithIsItsOwn) {
  // A clear set on an element open at a line's end moves the next line below the float.
  Load(
      "<div style='float:left;width:40px;height:60px'></div>"
      "<pre>a\n<span style='clear:left'>b\nc</span>\nd</pre>");
  EXPECT_GE(At(u"c").Y, 60 + 8);
  EXPECT_LT(At(u"b").Y, 60);

  // A picture sized in percent on a later line takes that line's width, below the float.
  const auto pictureWidth = [this](const std::string& before) {
    Load("<div style='float:left;width:200px;height:15px'></div><pre>" + before +
         "<img width='50%' height=10>x</pre>");
    return At(u"x").X - At(u"\4").X;
  };
  EXPECT_EQ(pictureWidth("a\nb\nc\n"), pictureWidth("<p style='clear:left'>a</p>"));
}

TEST_F(PreJoinTest, ABorderOpenedAtALineEndFramesTheNextLine) {
  Load("<pre>ab<span style='border:2px solid red'>\ncd</span>\nef</pre>");
  const plat::TPoint c = At(u"cd");
  int redAbove = 0, redLeftOfC = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      if ((PixelAt(x, y) & 0xFFFFFF) != 0xFF0000) continue;
      if (y < c.Y - 4) ++redAbove;
      if (x < c.X && y > c.Y) ++redLeftOfC;
    }
  EXPECT_EQ(redAbove, 0);    // nothing framed on the line before
  EXPECT_GT(redLeftOfC, 0);  // the box's left side
}

TEST_F(PreJoinTest, EachLineIsHitOnlyInItsOwnBand) {
  // Lines closer than their text is high: the band decides which line a point meets.
  Load("<pre style='line-height:10px'>a\n<a href=u>link</a>\nb</pre>");
  const plat::TPoint link = At(u"link");
  html::THitLink hit;
  EXPECT_EQ(document.HitTestLink(canvas, link.X + 2, link.Y + 1, hit), html::hlLink);
}

TEST_F(PreJoinTest, EveryLineCountsInTheLayoutProgress) {
  std::string lines;
  for (int i = 0; i < 120; ++i) lines += "line\n";
  Load("<pre>" + lines + "</pre>");
  EXPECT_EQ(document.Count(), 1);
  std::string paragraphs;
  for (int i = 0; i < 121; ++i) paragraphs += "<p>line</p>";
  const std::vector<int> joined = progress;
  Load(paragraphs);
  EXPECT_EQ(joined, progress);
  EXPECT_EQ(joined.size(), 2u);
}

}  // namespace
