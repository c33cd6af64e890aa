// The items a page becomes: paragraphs, headers, block containers, lists, breaks and rules.
#include "html/viewer/FormControls.h"
#include "tests/html/parse/builder/BuilderSupport.h"

namespace buildertest {
namespace {

using StructureTest = BuilderFixture;

TEST_F(StructureTest, ParagraphsAndHeaders) {
  EXPECT_EQ(Build("<h2>Title</h2><p>One<p>Two</p>Three"), "h2['Title'] p['One'] p['Two'] 'Three'");
}

TEST_F(StructureTest, TagNamesInAnyCase) {
  EXPECT_EQ(Build("<H1>A</h1><P>b</P><Ul><LI>c</uL>"), "h1['A'] p['b'] ul[li1['c']]");
}

TEST_F(StructureTest, PreviewPageOfTheTextDialog) {
  // </center> ends the header, so </h1> is stray inside the list that follows.
  EXPECT_EQ(Build("<h1><center>Text</center><ul></h1><p><font size=\"-5\"><ul><li><b>Bold "
                  "Text</b><li><i>Italicized Text</i></ul></font></p>"),
            "h1['Text'] ul[p[] ul[li1['Bold Text'] li2['Italicized Text']]]");
  EXPECT_EQ(SectionWith("Text").TextAlign, 2);
  const html::TFontObj& bold = RunAt("Bold");
  EXPECT_EQ(bold.Font->Style() & (plat::fsBold | plat::fsItalic), plat::fsBold);
  EXPECT_EQ(bold.Font->Size(), 8);  // size 1 of a 12-point base
  const html::TFontObj& italic = RunAt("Italicized");
  EXPECT_EQ(italic.Font->Style() & (plat::fsBold | plat::fsItalic), plat::fsItalic);
  EXPECT_EQ(italic.Font->Size(), 8);
}

TEST_F(StructureTest, BlockContainers) {
  EXPECT_EQ(Build("a<div>b<div>c</div>d</div><center>e</center><blockquote>f</blockquote>"),
            "'a' div['b' div['c'] 'd'] 'e' blockquote['f']");
  EXPECT_EQ(SectionWith("e").TextAlign, 2);
}

TEST_F(StructureTest, BreaksRulesAndPages) {
  EXPECT_EQ(Build("a<br>b<br><br>c<hr>d<page>e"), "'a' 'b' '|' 'c' hr 'd' page 'e'");
}

TEST_F(StructureTest, ClearingBreaksStartANewSection) {
  EXPECT_EQ(Build("a<br clear=left>b<br clear=all>c"), "'a' 'b' 'c'");
  EXPECT_EQ(SectionWith("b").ClearMode, 1);
  EXPECT_EQ(SectionWith("c").ClearMode, 3);
}

TEST_F(StructureTest, ParagraphSpaceMovesOutOfContainers) {
  Build("<div><p>a</p></div>");
  const html::TBlock& div = dynamic_cast<const html::TBlock&>(*Body().Content.Items(0));
  EXPECT_EQ(BlockHolding("a").Margins[html::piMarginBottom], 0);
  EXPECT_EQ(div.Margins[html::piMarginBottom], 14);
  EXPECT_TRUE(div.BottomMarginAuto);
  // A paragraph that ends at a table leaves no space above it.
  Build("<p>b<table><td>c</table>");
  EXPECT_EQ(BlockHolding("b").Margins[html::piMarginBottom], 0);
  EXPECT_FALSE(BlockHolding("b").BottomMarginAuto);
}

TEST_F(StructureTest, ListNumbering) {
  EXPECT_EQ(Build("<ol start=3><li>a<li>b<li value=10>c<li>d</ol>"),
            "ol[li3['a'] li4['b'] li10['c'] li11['d']]");
  EXPECT_EQ(Build("<ol><li>a<ol><li>b<li>c</ol><li>d</ol>"),
            "ol[li1['a' ol[li1['b'] li2['c']]] li2['d']]");
}

TEST_F(StructureTest, ListKindsAndMarkers) {
  Build(
      "<ul><li>a<ul><li>b</ul></ul><ul type=none><li>c</ul><ol type=i><li>d</ol>"
      "<dl><dt>e<dd>f</dl><li>g");
  auto item = [this](const std::string& text) -> const html::TBlockLI& {
    return dynamic_cast<const html::TBlockLI&>(BlockHolding(text));
  };
  EXPECT_EQ(item("a").MarkerStyle, html::lmDisc);
  EXPECT_EQ(item("b").MarkerStyle, html::lmCircle);
  EXPECT_EQ(item("c").MarkerStyle, html::lmNone);
  EXPECT_EQ(item("d").MarkerStyle, html::lmLowerRoman);
  EXPECT_EQ(item("e").ListKind, html::lkDefinition);
  EXPECT_EQ(item("f").ListKind, html::lkDefinition);
  EXPECT_EQ(item("g").ListKind, html::lkOther);
}

TEST_F(StructureTest, EmptyListItemsKeepALineForTheMarker) {
  EXPECT_EQ(Build("<ul><li><li>x</ul><ul></ul>"), "ul[li1['_'] li2['x']] ul[]");
}

TEST_F(StructureTest, OnlyTheItemsOwnFirstSectionGetsTheMarkerLine) {
  // The rule closes the item's first section empty and frees it; the sections made for and after
  // the DIV are others, though the allocator may put one at its address.
  const std::string page = "<ul><li><hr><div></div></ul>";
  const std::string alone = Build(page);
  EXPECT_EQ(alone, "ul[li1[hr div[]]]");
  for (const char* before : {"<ul><li>a<li>b</ul>", "<p>x<div>y</div>", "<pre>p</pre>"}) {
    Build(before);
    EXPECT_EQ(Build(page), alone) << "after " << before;
  }
}

TEST_F(StructureTest, ParagraphsInsideItemsOfMarkedListsOnly) {
  EXPECT_EQ(Build("<ul><li>a<p>b</ul><dl><dd>c<p>d</dl>"),
            "ul[li1['a' p['b']]] dl[li1['c'] p['d']]");
}

TEST_F(StructureTest, PreformattedLinesKeepTheirSpaces) {
  EXPECT_EQ(Build("<pre>a  b\n  c &lt;d&gt;</pre>e"), "pre['a  b/  c <d>'] 'e'");
  EXPECT_NE(RunAt("a").Font->Name(), RunAt("e").Font->Name());
}

TEST_F(StructureTest, TagsInsidePreformattedText) {
  EXPECT_EQ(Build("<pre><b>x</b> y<br>z<font size=7>w\n</pre>v"), "pre['x y' 'zw/'] 'v'");
  EXPECT_EQ(RunAt("x").Font->Style() & plat::fsBold, plat::fsBold);
  EXPECT_EQ(RunAt("y").Font->Style() & plat::fsBold, 0);
  EXPECT_EQ(RunAt("w").Font->Size(), 30);  // the preformatted size table
  EXPECT_EQ(RunAt("v").Font->Size(), 12);  // the unclosed FONT ended with the PRE
  EXPECT_EQ(Build("<pre>a<p>b</p>c</pre>"), "pre['a' p['b'] 'c']");
}

const html::ThtmlForm& FormOf(const html::TSectionList& document, int index) {
  return dynamic_cast<const html::ThtmlForm&>(*document.Forms[index]);
}

TEST_F(StructureTest, SelectsAndMapsInsidePreformattedText) {
  // A list stands in its line as one control; the text after it keeps its spaces.
  EXPECT_EQ(Build("<pre>a <select name=s><option>one<option>two</select>  b\nc</pre>"),
            "pre['a \x02  b/c']");
  ASSERT_EQ(document.Forms.Count(), 1);
  const auto* list =
      dynamic_cast<const html::TListBoxFormControlObj*>(FormOf(document, 0).ControlList[0]);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->TheOptions.Count(), 2);
  // A list that another tag ends hands that tag on.
  EXPECT_EQ(Build("<pre>x<select><option>o<p>y</p>z</pre>"), "pre['x\x02' p['y'] 'z']");
  EXPECT_EQ(Build("<pre>m<map name=m><area href=a.htm coords=0,0,5,5></map>n</pre>"), "pre['mn']");
  ASSERT_EQ(document.ImageMaps.Count(), 1);
  EXPECT_EQ(document.ImageMaps.First()->MapName, "M");
}

TEST_F(StructureTest, FormsInsidePreformattedText) {
  EXPECT_EQ(Build("<pre>a<form action=go.cgi method=post><input name=q>\nb</form>c</pre>"
                  "<input name=after>"),
            "pre['a' form['\x02/b'] 'c'] '\x02'");
  ASSERT_EQ(document.Forms.Count(), 2);
  EXPECT_EQ(FormOf(document, 0).Action, "go.cgi");
  EXPECT_EQ(FormOf(document, 0).Method, "post");
  EXPECT_EQ(FormOf(document, 0).ControlList[0]->FName, "q");
  // The form ended inside the PRE: the input after it needs a form of its own.
  EXPECT_EQ(FormOf(document, 1).Action, "");
  // A second FORM ends the first; the PRE ends one left open. As with P, the line before a
  // FORM stays, empty or not.
  EXPECT_EQ(Build("<pre><form action=1>x<form action=2><p>y</pre>z"),
            "pre['' form['x'] form['' p['y']]] 'z'");
  ASSERT_EQ(document.Forms.Count(), 2);
  EXPECT_EQ(FormOf(document, 1).Action, "2");
}

TEST_F(StructureTest, WrappedPreformattedTextIsOrdinaryText) {
  EXPECT_EQ(Build("<pre wrap>a   b</pre>c"), "'a b' 'c'");
  EXPECT_NE(RunAt("a").Font->Name(), RunAt("c").Font->Name());
}

}  // namespace
}  // namespace buildertest
