#include <gtest/gtest.h>

#include "CssTestSupport.h"
#include "html/css/CssParser.h"
#include "html/css/CssShorthands.h"
#include "html/css/CssStyles.h"

using namespace html;
using csstest::ParseSheet;
using csstest::RuleText;
using csstest::RuleValue;

namespace {

TEST(StyleSheetParser, StoresEachDeclarationUnderEverySelector) {
  TStyleList styles;
  ParseSheet(styles, "p { color: red }\nh1, H2 { margin: 0 }");
  EXPECT_EQ(RuleValue(styles, "p", piColor), TCssValue(int32_t(0x0000FF)));
  for (const char* key : {"h1", "h2"})
    for (int side = piMarginTop; side <= piMarginLeft; ++side)
      EXPECT_EQ(RuleText(styles, key, side), "0") << key << side;
}

TEST(StyleSheetParser, MediaRulesApplyOnlyForScreens) {
  TStyleList print, screen, imported;
  ParseSheet(print, "@media print { p { color: red } } div { color: blue }");
  EXPECT_EQ(RuleText(print, "p", piColor), "");
  EXPECT_EQ(RuleValue(print, "div", piColor), TCssValue(int32_t(0xFF0000)));
  ParseSheet(screen, "@media screen, print { p { color: red } em { color: lime } }");
  EXPECT_EQ(RuleValue(screen, "p", piColor), TCssValue(int32_t(0x0000FF)));
  EXPECT_EQ(RuleValue(screen, "em", piColor), TCssValue(int32_t(0x00FF00)));
  ParseSheet(imported, "@import url(x.css); p { color: red }");
  EXPECT_EQ(RuleValue(imported, "p", piColor), TCssValue(int32_t(0x0000FF)));
}

TEST(StyleSheetParser, CommentsAndCommentMarkers) {
  TStyleList styles;
  ParseSheet(styles,
             "<!-- p { color: red; /* note */ font-style: italic } /* a */ /* b */ "
             "em { color: lime } -->");
  EXPECT_EQ(RuleValue(styles, "p", piColor), TCssValue(int32_t(0x0000FF)));
  EXPECT_EQ(RuleText(styles, "p", piFontStyle), "italic");
  EXPECT_EQ(RuleValue(styles, "em", piColor), TCssValue(int32_t(0x00FF00)));
}

TEST(StyleSheetParser, StyleElementEndsAtItsEndTag) {
  TStyleList styles;
  // An open comment stops at the "<" of the end tag, which ends the sheet.
  EXPECT_EQ(ParseSheet(styles, "p { color: red } /* open </style><p>", false), '<');
  EXPECT_EQ(RuleValue(styles, "p", piColor), TCssValue(int32_t(0x0000FF)));
  TStyleList empty;
  EXPECT_EQ(ParseSheet(empty, "</style>after", false), '<');
  EXPECT_EQ(empty.Count(), 0);
  TStyleList unclosed;
  EXPECT_EQ(ParseSheet(unclosed, "p { color: red", false), '\0');
  EXPECT_EQ(RuleValue(unclosed, "p", piColor), TCssValue(int32_t(0x0000FF)));
}

TEST(StyleSheetParser, SelectorsBecomeCanonicalKeys) {
  TStyleList styles;
  ParseSheet(styles,
             "a:hover#n { color: red } p#n.x, p.b.a { color: red } A.X:HOVER { color: red }");
  EXPECT_EQ(RuleText(styles, "a#n:hover", piColor), "255");
  EXPECT_EQ(RuleText(styles, "p.x#n", piColor), "255");
  EXPECT_EQ(RuleText(styles, "p.a.b", piColor), "255");
  EXPECT_EQ(RuleText(styles, "a.x:hover", piColor), "255");
  EXPECT_TRUE(styles.HasHoverRules());
  EXPECT_EQ(OrderSimpleSelector("a:hover.x"), "a.x:hover");
  EXPECT_EQ(OrderSimpleSelector("a:hover#n"), "a#n:hover");
  EXPECT_EQ(OrderSimpleSelector(".b.a"), ".a.b");
}

TEST(StyleSheetParser, DescendantSelectorsAreNumberedKeys) {
  TStyleList styles;
  ParseSheet(styles, "div p { color: red } ul > li { color: red } body div em { color: red }");
  EXPECT_EQ(RuleText(styles, "p 110div ", piColor), "255");
  EXPECT_EQ(RuleText(styles, "li 111ul> ", piColor), "255");
  EXPECT_EQ(RuleText(styles, "em 212div body ", piColor), "255");
  EXPECT_EQ(styles.GetSeqNo(), "13");
  EXPECT_EQ(ProcessSelector("> a >", false, styles), "a");
}

TEST(StyleSheetParser, FontShorthand) {
  TStyleList styles;
  ParseSheet(styles, "p { font: italic bold 12px/1.5 arial }");
  EXPECT_EQ(RuleText(styles, "p", piFontStyle), "italic");
  EXPECT_EQ(RuleText(styles, "p", piFontWeight), "bold");
  EXPECT_EQ(RuleText(styles, "p", piFontSize), "12px");
  EXPECT_EQ(RuleText(styles, "p", piLineHeight), "1.5");
  EXPECT_EQ(RuleText(styles, "p", piFontFamily), "arial");
  TStyleList quoted;
  ParseSheet(quoted, "p { font: small-caps 700 larger 'times new roman', serif }");
  EXPECT_EQ(RuleText(quoted, "p", piFontVariant), "small-caps");
  EXPECT_EQ(RuleText(quoted, "p", piFontSize), "larger");
  EXPECT_EQ(RuleText(quoted, "p", piFontWeight), "");
  EXPECT_EQ(RuleText(quoted, "p", piFontFamily), "'times new roman',serif");
}

TEST(StyleSheetParser, BackgroundShorthand) {
  TStyleList styles;
  ParseSheet(styles,
             "p { background: url(x.gif) no-repeat top left } "
             "div { background: rgb(1,2,3) fixed 10px 20px 30px } em { background: none }");
  EXPECT_EQ(RuleText(styles, "p", piBackgroundImage), "url(x.gif)");
  EXPECT_EQ(RuleText(styles, "p", piBackgroundRepeat), "no-repeat");
  EXPECT_EQ(RuleText(styles, "p", piBackgroundPosition), "top left ");
  EXPECT_EQ(RuleValue(styles, "div", piBackgroundColor), TCssValue(int32_t(0x030201)));
  EXPECT_EQ(RuleText(styles, "div", piBackgroundAttachment), "fixed");
  EXPECT_EQ(RuleText(styles, "div", piBackgroundPosition), "20px 30px ");
  EXPECT_EQ(RuleText(styles, "em", piBackgroundImage), "none");
  EXPECT_EQ(RuleValue(styles, "em", piBackgroundColor), TCssValue(html::clNone));
}

TEST(StyleSheetParser, SideAndBorderShorthands) {
  TStyleList styles;
  ParseSheet(styles,
             "p { margin: 1px 2px 3px; padding: 1px 2px; border-color: red }"
             "div { border: thin dotted #00f } em { border-left: 3px solid rgb(0,255,0) }"
             "li { list-style: square url(b.gif) }");
  EXPECT_EQ(RuleText(styles, "p", piMarginTop), "1px");
  EXPECT_EQ(RuleText(styles, "p", piMarginRight), "2px");
  EXPECT_EQ(RuleText(styles, "p", piMarginBottom), "3px");
  EXPECT_EQ(RuleText(styles, "p", piMarginLeft), "2px");
  EXPECT_EQ(RuleText(styles, "p", piPaddingTop), "1px");
  EXPECT_EQ(RuleText(styles, "p", piPaddingBottom), "1px");
  EXPECT_EQ(RuleText(styles, "p", piPaddingLeft), "2px");
  EXPECT_EQ(RuleText(styles, "p", piBorderLeftColor), "255");
  for (int side = piBorderTopWidth; side <= piBorderLeftWidth; ++side)
    EXPECT_EQ(RuleText(styles, "div", side), "thin");
  for (int side = piBorderTopStyle; side <= piBorderLeftStyle; ++side)
    EXPECT_EQ(RuleText(styles, "div", side), "dotted");
  EXPECT_EQ(RuleText(styles, "div", piBorderBottomColor), std::to_string(0xFF0000));
  EXPECT_EQ(RuleText(styles, "em", piBorderLeftWidth), "3px");
  EXPECT_EQ(RuleText(styles, "em", piBorderTopWidth), "");
  EXPECT_EQ(RuleText(styles, "em", piBorderLeftStyle), "solid");
  EXPECT_EQ(RuleText(styles, "em", piBorderLeftColor), std::to_string(0x00FF00));
  EXPECT_EQ(RuleText(styles, "li", piListStyleType), "square");
  EXPECT_EQ(RuleText(styles, "li", piListStyleImage), "url(b.gif)");
}

TEST(StyleSheetParser, UrlsOfLinkedSheetsAreResolved) {
  TStyleList local, web;
  ParseSheet(local, "p { background-image: url(img/a.gif) } div { list-style-image: url(/x.gif) }",
             true, "/site/");
  EXPECT_EQ(RuleText(local, "p", piBackgroundImage), "url(/site/img/a.gif)");
  EXPECT_EQ(RuleText(local, "div", piListStyleImage), "url(/x.gif)");
  ParseSheet(web, "p { background: url('a.gif') } div { background-image: url(ftp://h/b.gif) }",
             true, "http://host/css/");
  EXPECT_EQ(RuleText(web, "p", piBackgroundImage), "url(http://host/css/a.gif)");
  EXPECT_EQ(RuleText(web, "div", piBackgroundImage), "url(ftp://h/b.gif)");
}

TEST(StyleSheetParser, DeeplyNestedMediaBlocksAreSkipped) {
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "@media screen { ";
  TStyleList deep;
  ParseSheet(deep, nested + "p { color: red }");
  EXPECT_EQ(deep.Count(), 0);
  TStyleList shallow;
  ParseSheet(shallow, "@media screen { @media screen { p { color: red } } } em { color: lime }");
  EXPECT_EQ(RuleValue(shallow, "p", piColor), TCssValue(int32_t(0x0000FF)));
  EXPECT_EQ(RuleValue(shallow, "em", piColor), TCssValue(int32_t(0x00FF00)));
}

TEST(StyleSheetParser, JunkIsSkipped) {
  TStyleList styles;
  ParseSheet(styles,
             "p[title] { color: red } em { color: lime !important; font-style = 'italic'; "
             "bogus: 1; ; } * { color: red }");
  EXPECT_EQ(RuleText(styles, "p", piColor), "255");
  // The value is taken and the priority word ignored.
  EXPECT_EQ(RuleText(styles, "em", piColor), std::to_string(0x00FF00));
  EXPECT_EQ(RuleText(styles, "em", piFontStyle), "italic");
  EXPECT_EQ(styles.Count(), 2);
}

TEST(InlineStyleParser, DeclarationsAndShorthands) {
  TProperties props;
  ParseInlineStyle("COLOR: Red; margin:1px 2px;font-family:\"Courier New\"; ;junk;width=50%",
                   props);
  EXPECT_EQ(props.Values[piColor], TCssValue(int32_t(0x0000FF)));
  EXPECT_EQ(VarToStr(props.Values[piMarginTop]), "1px");
  EXPECT_EQ(VarToStr(props.Values[piMarginLeft]), "2px");
  EXPECT_EQ(VarToStr(props.Values[piFontFamily]), "courier new");
  EXPECT_EQ(VarToStr(props.Values[piWidth]), "50%");
  TProperties background;
  ParseInlineStyle("background: url(a b.gif)", background);
  EXPECT_EQ(VarToStr(background.Values[piBackgroundImage]), "url(a b.gif)");
}

// File names are case-sensitive here: only the text inside url(...) keeps its case; a list
// marker's picture keeps the folders of its path.
TEST(CssUrls, KeepTheirCaseAndPathWhileTheRestIsLowerCased) {
  TStyleList styles;
  ParseSheet(styles,
             "P { BACKGROUND: URL(Pics/Dot.GIF) NO-REPEAT; COLOR: Red } "
             "LI { LIST-STYLE: Square url(Marks/Up.Png) }");
  EXPECT_EQ(RuleText(styles, "p", piBackgroundImage), "url(Pics/Dot.GIF)");
  EXPECT_EQ(RuleText(styles, "p", piBackgroundRepeat), "no-repeat");
  EXPECT_EQ(RuleText(styles, "li", piListStyleImage), "url(Marks/Up.Png)");
  EXPECT_EQ(RuleText(styles, "li", piListStyleType), "square");
  TProperties props;
  ParseInlineStyle("Background-Image: URL(Some/Path.GIF); Text-Align: CENTER; x: url(Open", props);
  EXPECT_EQ(VarToStr(props.Values[piBackgroundImage]), "url(Some/Path.GIF)");
  EXPECT_EQ(VarToStr(props.Values[piTextAlign]), "center");
}

TEST(CssValueWords, SplittingAndGroups) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCssValue("  a   b ,  c  'd e' f\"g h\"i ", 6),
            (V{"a", "b", ",c", "'d e'", "f\"g h\"i"}));
  EXPECT_EQ(SplitCssValue("12px/1.5 x", 6), (V{"12px", "/1.5", "x"}));
  EXPECT_EQ(SplitCssValue("a b c d e f", 3), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitCssValue("a b c 1/2", 3), (V{"a", "b", "c", "1"}));
  EXPECT_EQ(SplitCssValue("'open quote", 6), (V{"'open quote"}));
  std::string value = "url(a) url(b) rgb(1,2,3) x";
  EXPECT_EQ(ExtractParenGroups(value), (V{"url(a)", "url(b)", "rgb(1,2,3)"}));
  EXPECT_EQ(value, "   x");
  std::string reversed = ") url(a)";
  EXPECT_TRUE(ExtractParenGroups(reversed).empty());
}

}  // namespace
