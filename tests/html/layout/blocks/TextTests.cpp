// Blocks holding real text sections: wrapping inside the content box, the first line's
// baseline for the marker, and ink only where the boxes say.
#include "tests/html/layout/blocks/BlockFixture.h"
#include "tests/html/layout/text/TextTestSupport.h"

namespace html::test {
namespace {

class BlockText : public texttest::TextFixture {
 protected:
  // A section of text added to cell.
  TSection& AddSection(TCellBasic& cell, std::u16string_view text) {
    auto section =
        std::make_unique<TSection>(&document, nullptr, state.TopProperties(), nullptr, &cell, true);
    TSection& raw = *section;
    texttest::AddText(raw, text, 0);
    cell.Add(std::move(section), int(text.size()));
    return raw;
  }
  void LayOutAndPaint(int width, int height) {
    int32_t maxWidth = 0, pos = 0;
    document.Layout(canvas, 0, width, 0, 0, maxWidth, pos);
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush().SetColor(kWhite);
    bitmap.Canvas().FillRect({0, 0, width, height});
    document.Draw(bitmap.Canvas(), {0, 0, width, height}, width, 0, 0, 0, 0);
  }
  // The smallest rectangle holding every pixel that is not white.
  plat::TRect Ink() const {
    plat::TRect ink{bitmap.Width(), bitmap.Height(), -1, -1};
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (bitmap.Pixel(x, y) != kWhite) {
          ink.Left = std::min(ink.Left, x);
          ink.Top = std::min(ink.Top, y);
          ink.Right = std::max(ink.Right, x + 1);
          ink.Bottom = std::max(ink.Bottom, y + 1);
        }
    return ink;
  }

  plat::TCanvas canvas;
  plat::TBitmap bitmap;
};

TEST_F(BlockText, TextWrapsInsideTheContentBox) {
  auto prop = Props("p", {{"padding-left", "10px"}, {"padding-top", "6px"}, {"width", "100px"}});
  auto block = std::make_unique<TBlock>(&document, *prop, &document, nullptr);
  TSection& text = AddSection(block->Content, u"aaa bbb ccc ddd eee fff ggg hhh iii jjj");
  TBlock* raw = block.get();
  document.Add(std::move(block), 0);
  LayOutAndPaint(200, 200);
  EXPECT_GT(text.Lines.Count(), 1);
  EXPECT_EQ(text.TopY, 6);
  EXPECT_EQ(raw->FlowHeight, 6 + text.FlowHeight);
  const plat::TRect ink = Ink();
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 110);
  EXPECT_GE(ink.Top, 6);
  EXPECT_LE(ink.Bottom, 6 + text.FlowHeight);
}

TEST_F(BlockText, AListItemsMarkerSitsOnItsFirstLine) {
  auto prop = Props("li", {{"margin-left", "40px"}, {"margin-top", "5px"}});
  auto item =
      std::make_unique<TBlockLI>(&document, *prop, &document, ULSy, false, ' ', 1, 3, nullptr);
  TSection& text = AddSection(item->Content, u"Item");
  TBlockLI* li = item.get();
  document.Add(std::move(item), 0);
  LayOutAndPaint(200, 60);
  plat::DeviceContext dc;
  dc.SelectFont(text.Fonts[0]->Font->LogFont());
  const int32_t ascent = dc.GetTextMetrics().Ascent;
  EXPECT_EQ(li->FirstLineY, 5 + ascent);
  // The square: columns 25 to 29, rows 5 above the baseline up to the one above it.
  const int32_t baseline = li->FirstLineY;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool square = x >= 25 && x < 30 && y >= baseline - 6 && y < baseline - 1;
      EXPECT_EQ(bitmap.Pixel(x, y) != kWhite, square) << x << "," << y;
    }
}

}  // namespace
}  // namespace html::test
