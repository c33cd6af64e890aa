// Pages of every kind of layout, saved as pictures for people to look at; each also checks one
// place on the page that must not move.
#include "support/PaintedPage.h"

namespace html::test {
namespace {

class LayoutScreenshots : public PaintedPageTest {
 protected:
  void SetUp() override {
    PaintedPageTest::SetUp();
    viewer->SetMarginWidth(10);
    viewer->SetMarginHeight(5);
  }
};

TEST_F(LayoutScreenshots, TextAndFonts) {
  Load(
      "<h1>Header one</h1><p>A paragraph long enough to wrap around the viewer at least once, "
      "so that its lines show the spacing of ordinary text in the default font.</p>"
      "<h2 align=center>Centred header two</h2><h3>Header three</h3><h4>Four</h4><h5>Five</h5>"
      "<h6>Six</h6><p>Text with <b>bold</b>, <i>italic</i>, <u>underline</u>, <s>strike</s>, "
      "H<sub>2</sub>O, x<sup>2</sup>, <big>big</big> and <small>small</small>.</p>"
      "<p><font size=1>size 1</font> <font size=3>size 3</font> <font size=5>size 5</font> "
      "<font size=7>7</font> <font color=red>red</font> <font face='Courier New'>courier</font> "
      "<span style='background-color:yellow'>marked</span> <span style='letter-spacing:4px'>"
      "spaced</span></p><p style='text-align:justify'>A justified paragraph spreads its words "
      "over the whole width of the page on every line but the last one, which keeps the "
      "natural spacing of its words.</p><p style='text-align:right'>Right aligned.</p>");
  Save("layout_text");
  EXPECT_EQ(FirstInkColumn(0, 700), 10);
}

TEST_F(LayoutScreenshots, ListsOfEveryKind) {
  Load(
      "<ul><li>disc<li>disc<ul><li>circle<ul><li>square</ul></ul></ul><ol><li>one<li>two"
      "<ol type=a><li>a<li>b</ol><li>three</ol><ol type=I start=4><li>IV<li>V</ol>"
      "<ol type=i><li>i<li>ii</ol><ol type=A><li>A<li>B</ol>"
      "<dl><dt>Term<dd>Its definition, indented under it.<dt>Another term<dd>Another one.</dl>"
      "<ul><li style='list-style-type:square'>square by style<li>"
      "<p>a paragraph in an item</p></ul>");
  Save("layout_lists");
  // The first disc: 5 pixels wide, ending 10 pixels before the item's text at 10 + 35.
  EXPECT_EQ(FirstInkColumn(0, 30, 0, 45), 30);
}

TEST_F(LayoutScreenshots, BlocksAndRules) {
  Load(
      "<p>Before.</p><blockquote>A quotation, indented on the left.</blockquote>"
      "<center>Centred by CENTER.</center><div align=right>Right by DIV ALIGN.</div>"
      "<hr><hr width=50%><hr width=30% size=6 noshade><hr width=200 align=right color=red>"
      "<pre>Preformatted text\n  keeps   its spaces\nand its lines.</pre>"
      "<div style='margin:10px 40px;padding:8px;border:3px solid navy;"
      "background-color:#e0e8ff'>A box with margin, padding and a border.</div>"
      "<div style='float:left;width:120px;height:60px;background-color:#ffd0d0'>left float"
      "</div><div style='float:right;width:120px;height:40px;background-color:#d0ffd0'>"
      "right float</div><p>Text flows between the two floats and below them when it is long "
      "enough to need more lines than the floats are tall, as this paragraph is.</p>");
  Save("layout_blocks");
  // The 50% rule is centred in the 580 pixels between the margins.
  const uint32_t white = 0xFFFFFFFFu;
  int row = -1;
  for (int y = 0; y < 400 && row < 0; ++y)
    if (At(154, y) == white && At(155, y) != white && At(300, y) != white) row = y;
  ASSERT_GE(row, 0);
  EXPECT_NE(At(444, row), white);
  EXPECT_EQ(At(445, row), white);
}

TEST_F(LayoutScreenshots, BorderStyles) {
  std::string page;
  for (const char* style :
       {"solid", "double", "dashed", "dotted", "groove", "ridge", "inset", "outset"})
    page += std::string("<div style='margin:6px;border:6px ") + style + " #808080;padding:2px'>" +
            style + "</div>";
  Load(page);
  Save("layout_borders");
  // The solid ring starts at the margins: 10 + 6 across, 5 + 6 down.
  EXPECT_EQ(At(16, 11), Argb(0x808080));
  EXPECT_EQ(At(15, 11), 0xFFFFFFFFu);
}

TEST_F(LayoutScreenshots, Tables) {
  Load(
      "<table border=2 cellpadding=4 cellspacing=3><caption>A caption</caption>"
      "<tr><th>Head</th><th>Head two</th></tr><tr><td>cell</td><td align=right>right</td>"
      "</tr><tr><td colspan=2 align=center>spanning two columns</td></tr></table>"
      "<table border=1 width=60% bgcolor=#ffffd0><tr><td rowspan=2>two rows</td>"
      "<td valign=top height=40>top</td></tr><tr><td valign=bottom height=40>bottom</td></tr>"
      "</table><table border=1 width=300><tr><td width=30%>30%</td><td>the rest</td></tr>"
      "</table><table border=1 align=center><tr><td>outer<table border=1 bgcolor=#d0e0ff>"
      "<tr><td>nested</td></tr></table></td><td nowrap>no wrapping here at all</td></tr>"
      "</table>");
  Save("layout_tables");
  EXPECT_LT(FirstInkRow(400, 700), 0);  // nothing stretches down the window
}

}  // namespace
}  // namespace html::test
