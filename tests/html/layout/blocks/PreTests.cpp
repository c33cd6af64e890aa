// Preformatted sections: never wrapped, widths of the whole text, kept when empty, and painted
// within their block.
#include "html/layout/text/PreformattedText.h"
#include "tests/html/layout/blocks/BlockFixture.h"
#include "tests/html/layout/text/TextTestSupport.h"

namespace html::test {
namespace {

class Preformatted : public texttest::TextFixture {
 protected:
  // A finished PRE section of text, added to the document.
  TPreFormated& AddPre(std::u16string_view text) {
    auto section = std::make_unique<TPreFormated>(&document, nullptr, state.TopProperties(),
                                                  nullptr, &document, true);
    TPreFormated& raw = *section;
    texttest::AddText(raw, text, 0);
    document.Add(std::move(section), int(text.size()));
    return raw;
  }
  int32_t Measured(const TSection& s, std::u16string_view text) const {
    return Width(*s.Fonts[0], text);
  }

  plat::TCanvas canvas;
};

TEST_F(Preformatted, LinesAreNeverWrappedAndTheWidthIsTheWholeText) {
  TPreFormated& pre = AddPre(u"aaa  bbb ccc");
  EXPECT_EQ(pre.Text, u"aaa  bbb ccc ");  // spaces kept, one appended
  int32_t minWidth = 0, maxWidth = 0;
  pre.MinMaxWidth(canvas, minWidth, maxWidth);
  EXPECT_EQ(maxWidth, Measured(pre, u"aaa  bbb ccc"));
  EXPECT_EQ(minWidth, maxWidth);
  int32_t scrollWidth = 0, pos = 0;
  document.Layout(canvas, 0, 20, 0, 0, scrollWidth, pos);
  EXPECT_EQ(pre.Lines.Count(), 1);
  EXPECT_EQ(scrollWidth, maxWidth);
}

TEST_F(Preformatted, AVeryLongLineAsksForAtMostSixThousandPixels) {
  TPreFormated& pre = AddPre(std::u16string(3000, u'W'));
  int32_t minWidth = 0, maxWidth = 0;
  pre.MinMaxWidth(canvas, minWidth, maxWidth);
  EXPECT_GT(maxWidth, 6000);
  EXPECT_EQ(minWidth, 6000);
}

TEST_F(Preformatted, AnEmptySectionStaysAndTakesALine) {
  TPreFormated& empty = AddPre(u"");
  TPreFormated& text = AddPre(u"x");
  EXPECT_EQ(document.Count(), 2);
  int32_t scrollWidth = 0, pos = 0;
  document.Layout(canvas, 0, 200, 0, 0, scrollWidth, pos);
  EXPECT_GT(empty.FlowHeight, 0);
  EXPECT_EQ(empty.FlowHeight, text.FlowHeight);
}

TEST_F(Preformatted, TextPushedAsideByAFloatKeepsWithinItsBlock) {
  TBlock* floating = AddBlock(document, "div", {{"float", "left"}, {"width", "40px"}});
  AddBox(floating->Content, 30);
  TBlock* pre = AddBlock(document, "pre");
  auto section = std::make_unique<TPreFormated>(&document, nullptr, state.TopProperties(), nullptr,
                                                &pre->Content, true);
  TPreFormated& line = *section;
  texttest::AddText(line, u"WWWWWWWW", 0);
  pre->Content.Add(std::move(section), 8);
  const int32_t textWidth = Measured(line, u"WWWWWWWW");
  // The block is a little wider than its text; beside the float the line runs 30 pixels past it.
  const int32_t blockRight = textWidth + 10;
  int32_t scrollWidth = 0, pos = 0;
  document.Layout(canvas, 0, blockRight, 0, 0, scrollWidth, pos);
  ASSERT_EQ(line.Lines.Count(), 1);
  ASSERT_EQ(line.Lines[0].Indent, 40);

  plat::TBitmap bitmap;
  const int width = blockRight + 60, height = line.FlowHeight;
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush().SetColor(kWhite);
  bitmap.Canvas().FillRect({0, 0, width, height});
  document.Draw(bitmap.Canvas(), {0, 0, width, height}, width, 0, 0, 0, 0);
  int inkInside = 0, inkOutside = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 40; x < width; ++x)
      if (bitmap.Pixel(x, y) != kWhite) ++(x < blockRight ? inkInside : inkOutside);
  EXPECT_GT(inkInside, 0);
  EXPECT_EQ(inkOutside, 0);
}

}  // namespace
}  // namespace html::test
