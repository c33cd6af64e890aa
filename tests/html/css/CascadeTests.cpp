#include <gtest/gtest.h>

#include "CssTestSupport.h"
#include "html/HtmlEngine.h"
#include "html/css/CssStyles.h"
#include "platform/drawing/FontFamilies.h"

using namespace html;
using csstest::ParseSheet;
using csstest::RuleValue;

namespace {

constexpr TColor kLink = 0xFF0000, kVisited = 0x800080, kHover = 0x0000FF;

// A document's sheet and the builder's stack with the document defaults at the bottom.
class Cascade : public testing::Test {
 protected:
  void SetUp() override {
    styles.Initialize("Times New Roman", "Courier New", 12, 0x000000, kLink, kVisited, kHover, true,
                      0, 5, 6);
    stack.Add(std::make_unique<TProperties>()).CopyFrom(*styles.DefaultProperties());
  }

  TProperties& Push(const char* tag, const std::string& classes = "", const std::string& id = "",
                    const std::string& pseudo = "",
                    std::shared_ptr<const TProperties> inlineStyle = nullptr) {
    TProperties& parent = stack.Last();
    TProperties& props = stack.Add(std::make_unique<TProperties>());
    props.Inherit(tag, parent);
    props.CombineCascade(styles, &stack, tag, classes, id, pseudo, "", std::move(inlineStyle));
    return props;
  }

  static std::string Text(const TProperties& p, int index) {
    return VarToStr(p.Values[size_t(index)]);
  }

  TStyleList styles;
  TPropStack stack;
};

TEST_F(Cascade, DefaultSheetRules) {
  EXPECT_EQ(styles.GetSeqNo(), "10");
  EXPECT_EQ(styles.GetSeqNo(), "11");
  TProperties& h3 = Push("h3");
  EXPECT_EQ(h3.Values[piFontSize], TCssValue(14.0));
  EXPECT_EQ(VarToInt(h3.Values[piMarginTop]), 19);
  EXPECT_EQ(VarToInt(h3.Values[piMarginBottom]), 19);
  EXPECT_EQ(Text(h3, piFontWeight), "bold");
  TProperties& code = Push("code");
  EXPECT_DOUBLE_EQ(VarToDouble(code.Values[piFontSize]), 14 * 0.833);
  EXPECT_EQ(Text(Push("kbd"), piFontFamily), "Courier New");
  styles.Clear();
  EXPECT_EQ(styles.GetSeqNo(), "10");
}

TEST_F(Cascade, BuiltInRulesForPreformattedTextAndControls) {
  Push("pre");
  TProperties& p = Push("p");
  EXPECT_EQ(p.Values[piMarginTop], TCssValue(int32_t(0)));
  EXPECT_EQ(p.Values[piMarginBottom], TCssValue(DefaultParaMargin));
  EXPECT_DOUBLE_EQ(VarToDouble(p.Values[piFontSize]), 10);
  EXPECT_EQ(Text(Push("textarea"), piFontFamily), "Courier New");
  EXPECT_EQ(Text(Push("select"), piFontFamily), "Arial Unicode MS, Arial");
}

TEST_F(Cascade, LinkColoursKeepToThePaletteOnPaletteScreens) {
  SetScreenDepth(8);
  styles.Initialize("Arial", "Courier New", 12, 0, kLink, kVisited, kHover, false, 0, 5, 6);
  SetScreenDepth(24);
  EXPECT_EQ(RuleValue(styles, "::link", piColor), TCssValue(int32_t(kLink | 0x02000000)));
  EXPECT_EQ(RuleValue(styles, "::hover", piColor), TCssValue(int32_t(kHover | 0x02000000)));
  EXPECT_EQ(VarToStr(RuleValue(styles, "::link", piTextDecoration)), "none");
  EXPECT_EQ(RuleValue(styles, "default", piColor), TCssValue(int32_t(0)));
}

TEST_F(Cascade, InheritanceByParentKind) {
  ParseSheet(styles, "span { margin-top: 7px; border-style: solid } div { margin-left: 3px }");
  TProperties& span = Push("span");
  TProperties& inSpan = Push("em");
  EXPECT_EQ(Text(inSpan, piMarginTop), "7px");
  EXPECT_EQ(Text(inSpan, piBorderStyle), "");
  EXPECT_EQ(Text(inSpan, piBorderTopStyle), "solid");
  EXPECT_FALSE(inSpan.GivenHere[piMarginTop]);
  EXPECT_TRUE(span.GivenHere[piMarginTop]);

  stack.Delete(stack.Count() - 1);
  stack.Delete(stack.Count() - 1);
  Push("div");
  TProperties& inDiv = Push("p");
  EXPECT_EQ(inDiv.Values[piMarginLeft], TCssValue(UnsetLength));
  EXPECT_EQ(inDiv.Values[piMarginTop], TCssValue(DefaultParaMargin));

  TProperties& tbody = Push("tbody");
  tbody.AddPropertyValue(piBackgroundColor, int32_t(0x00FF00));
  TProperties& row = Push("tr");
  EXPECT_EQ(row.Values[piBackgroundColor], TCssValue(int32_t(0x00FF00)));
  EXPECT_TRUE(row.GivenHere[piBackgroundColor]);
  EXPECT_EQ(row.GetBoxBackgroundColor(), 0x00FF00);

  TProperties& wrapping = Push("div");
  wrapping.Values[piWordWrap] = std::string("break-word");
  EXPECT_EQ(Text(Push("table"), piWordWrap), "normal");
}

TEST_F(Cascade, PresentationAttributesLoseToStyles) {
  ParseSheet(styles, "p { color: lime }");
  TProperties& p = Push("p");
  p.AddPropertyValue(piColor, int32_t(0x0000FF));
  EXPECT_EQ(p.Values[piColor], TCssValue(int32_t(0x00FF00)));
  p.AddPropertyValue(piWidth, int32_t(40));
  p.AddPropertyValue(piWidth, int32_t(50));
  EXPECT_EQ(p.Values[piWidth], TCssValue(int32_t(40)));
}

TEST_F(Cascade, RulePrecedenceClassesIdsAndInlineStyle) {
  ParseSheet(styles,
             "p { color: red; font-style: italic } .x { color: lime } p.x { color: blue } "
             "#n { font-weight: bold } p.x#n { color: navy } .y { text-align: right }");
  EXPECT_EQ(VarToInt(Push("p", "x").Values[piColor]), 0xFF0000);
  TProperties& all = Push("p", "x", "n");
  EXPECT_EQ(VarToInt(all.Values[piColor]), 0x800000);
  EXPECT_EQ(Text(all, piFontWeight), "bold");
  EXPECT_EQ(Text(all, piFontStyle), "italic");
  // Each class of a list applies on its own.
  TProperties& both = Push("p", "x.y");
  EXPECT_EQ(Text(both, piTextAlign), "right");
  auto inlineStyle = std::make_shared<TProperties>();
  ParseInlineStyle("color: white; font-size: 200%", *inlineStyle);
  TProperties& styled = Push("p", "x", "", "", inlineStyle);
  EXPECT_EQ(VarToInt(styled.Values[piColor]), 0xFFFFFF);
  EXPECT_EQ(styled.Values[piFontSize], TCssValue(24.0));
}

TEST_F(Cascade, RulesWithEqualKeysApplyInTheirOrder) {
  TStyleRule first, second;
  first.AddPropertyByName("color", "red");
  first.AddPropertyByName("font-style", "italic");
  second.AddPropertyByName("color", "lime");
  styles.AddObject("q", std::move(first));
  styles.AddObject("q", std::move(second));
  TProperties& q = Push("q");
  EXPECT_EQ(VarToInt(q.Values[piColor]), 0x00FF00);
  EXPECT_EQ(Text(q, piFontStyle), "italic");
}

TEST_F(Cascade, HoverElementsSkipPlainRules) {
  ParseSheet(styles,
             "p { color: red } .c { font-weight: bold } :hover { font-style: italic } "
             "p:hover { text-decoration: underline } a:hover { font-weight: 900 }");
  TProperties& p = Push("p", "c", "", "hover");
  EXPECT_EQ(VarToInt(p.Values[piColor]), 0);
  EXPECT_EQ(Text(p, piFontWeight), "normal");
  EXPECT_EQ(Text(p, piFontStyle), "italic");
  EXPECT_EQ(Text(p, piTextDecoration), "underline");
  TProperties& a = Push("a", "", "", "hover");
  EXPECT_EQ(VarToInt(a.Values[piColor]), kHover);
  EXPECT_EQ(Text(a, piFontWeight), "900");
}

TEST_F(Cascade, LinkColoursReachTheLinkStates) {
  ParseSheet(styles, "a { color: lime } :visited { color: teal }");
  EXPECT_EQ(RuleValue(styles, "::link", piColor), TCssValue(int32_t(0x00FF00)));
  EXPECT_EQ(RuleValue(styles, "::hover", piColor), TCssValue(int32_t(0x808000)));
  EXPECT_EQ(RuleValue(styles, "::visited", piColor), TCssValue(int32_t(kVisited)));
  ParseSheet(styles, ":link { color: white }");
  EXPECT_EQ(RuleValue(styles, "::hover", piColor), TCssValue(int32_t(0xFFFFFF)));
  EXPECT_EQ(RuleValue(styles, "::visited", piColor), TCssValue(int32_t(0xFFFFFF)));
}

TEST_F(Cascade, LinkFontsOfTheFourStates) {
  ParseSheet(styles, "a:hover { font-weight: bold }");
  TProperties& a = Push("a", "", "", "link");
  ASSERT_TRUE(a.IsLink);
  TFontInfoArray fonts;
  a.GetFontInfo(fonts);
  EXPECT_EQ(fonts.Ar[TFontInfoArray::Link].Color, kLink);
  EXPECT_EQ(fonts.Ar[TFontInfoArray::Link].Style, plat::fsUnderline);
  EXPECT_EQ(fonts.Ar[TFontInfoArray::Visited].Color, kVisited);
  EXPECT_EQ(fonts.Ar[TFontInfoArray::Hover].Color, kHover);
  EXPECT_EQ(fonts.Ar[TFontInfoArray::Hover].Style, plat::fsUnderline | plat::fsBold);
  EXPECT_EQ(fonts.Ar[TFontInfoArray::VisitedHover].Color, kHover);
  EXPECT_EQ(stack.Count(), 2);
  // Text inside the link carries the link and its fonts along.
  TProperties& inside = Push("b");
  EXPECT_TRUE(inside.IsLink);
  TFontInfoArray insideFonts;
  inside.GetFontInfo(insideFonts);
  EXPECT_EQ(insideFonts.Ar[TFontInfoArray::Visited].Color, kVisited);
  EXPECT_TRUE(insideFonts.Ar[TFontInfoArray::Hover].Style & plat::fsBold);
}

TEST_F(Cascade, DescendantRulesWalkTheAncestors) {
  ParseSheet(styles, "div p { color: red } div> em { color: lime } ul .x a { color: blue }");
  Push("div");
  Push("span");
  EXPECT_EQ(VarToInt(Push("p").Values[piColor]), 0x0000FF);
  stack.Delete(stack.Count() - 1);
  EXPECT_EQ(VarToInt(Push("em").Values[piColor]), 0);
  stack.Delete(stack.Count() - 1);
  stack.Delete(stack.Count() - 1);
  EXPECT_EQ(VarToInt(Push("em").Values[piColor]), 0x00FF00);
  // A link matches a subject without pseudo class; classes of an ancestor may be a subset.
  Push("ul");
  Push("li", "x.z");
  EXPECT_EQ(VarToInt(Push("a", "", "", "link").Values[piColor]), 0xFF0000);
  EXPECT_EQ(VarToInt(Push("a", "", "", "hover").Values[piColor]), kHover);
}

// Source order decides between descendant rules of one subject, also when a selector comes back
// in a later rule and when the sheet has numbered more than ninety of them.
TEST_F(Cascade, ARepeatedDescendantRuleTakesEffectWhereWrittenAgain) {
  std::string filler;
  for (int i = 0; i < 88; ++i) filler += "em b { color: white } ";
  for (const std::string& before : {std::string(), filler}) {
    SCOPED_TRACE(before.size());
    ParseSheet(styles, before + "div p { color: red } .c p { color: lime } div p { color: blue }" +
                           " span p { font-style: italic }");
    Push("span");
    Push("div", "c");
    TProperties& p = Push("p");
    EXPECT_EQ(VarToInt(p.Values[piColor]), 0xFF0000);
    EXPECT_EQ(Text(p, piFontStyle), "italic");
    while (stack.Count() > 0) stack.Delete(stack.Count() - 1);
    SetUp();
  }
}

TEST_F(Cascade, MergeAfterAMisnestedElement) {
  TProperties& outer = Push("div");
  outer.AddPropertyValue(piColor, int32_t(0x00FF00));
  TProperties& font = Push("font");
  font.AddPropertyValue(piFontStyle, std::string("italic"));
  TProperties& inner = Push("span");
  EXPECT_EQ(VarToInt(inner.Values[piColor]), 0x00FF00);
  stack.Delete(1);
  inner.Merge(stack.Items(0), styles, stack, 2);
  EXPECT_EQ(VarToInt(inner.Values[piColor]), 0);
  EXPECT_EQ(Text(inner, piFontStyle), "none");
}

TEST_F(Cascade, BoxValuesUnsetInARuleKeepTheInheritedOnes) {
  ParseSheet(styles, "span { margin-top: 7px } em { color: red }");
  Push("span");
  TProperties& em = Push("em");
  EXPECT_EQ(Text(em, piMarginTop), "7px");
}

TEST(Properties, DeclarationConversions) {
  TProperties p;
  // An empty z-index reads as 0, so that a set merged later cannot reset a rule's z-index.
  EXPECT_TRUE(VarIsEmpty(p.Values[piZIndex]));
  EXPECT_EQ(p.GetZIndex(), 0);
  EXPECT_EQ(p.Values[piWidth], TCssValue(UnsetLength));
  p.AddPropertyByName("border-style", "dashed");
  for (int side = piBorderTopStyle; side <= piBorderLeftStyle; ++side)
    EXPECT_EQ(p.Values[size_t(side)], TCssValue(std::string("dashed")));
  p.AddPropertyByName("border-left-style", "none");
  EXPECT_EQ(p.Values[piBorderStyle], TCssValue(std::string("dashed")));
  p.AddPropertyByName("border-top-style", "double");
  EXPECT_EQ(p.Values[piBorderStyle], TCssValue(std::string("double")));
  // A colour that cannot be read leaves the one already there.
  p.AddPropertyByName("color", "nonsense");
  EXPECT_TRUE(VarIsEmpty(p.Values[piColor]));
  p.AddPropertyByName("background-color", "nonsense");
  EXPECT_EQ(p.Values[piBackgroundColor], TCssValue(clNone));
  p.AddPropertyByName("border-color", "#010203");
  EXPECT_EQ(p.Values[piBorderLeftColor], TCssValue(int32_t(0x030201)));
  p.AddPropertyByName("border-color", "nonsense");
  EXPECT_EQ(p.Values[piBorderColor], TCssValue(int32_t(0x030201)));
  p.AddPropertyByName("visibility", "hidden");
  EXPECT_EQ(p.GetVisibility(), 1);
  p.AddPropertyByName("visibility", "collapse");
  EXPECT_EQ(p.Values[piVisibility], TCssValue(uint8_t(1)));
  p.AddPropertyByName("text-transform", "uppercase");
  EXPECT_EQ(p.GetTextTransform(), 1);
  p.AddPropertyByName("text-transform", "capitalize");
  EXPECT_EQ(p.GetTextTransform(), 0);
  p.AddPropertyByName("word-wrap", "anywhere");
  EXPECT_EQ(p.Values[piWordWrap], TCssValue(std::string("normal")));
  p.AddPropertyByName("font-variant", "small-caps");
  p.AddPropertyByName("font-variant", "inherit");
  EXPECT_EQ(p.GetFontVariant(), "small-caps");
  p.AddPropertyByName("Color", "red");
  p.AddPropertyByName("no-such-property", "red");
  EXPECT_TRUE(VarIsEmpty(p.Values[piColor]));
}

TEST(Properties, CharsetsAndCodePages) {
  TProperties p;
  p.AssignCharSet(31);
  EXPECT_EQ(p.Charset, 238);
  EXPECT_EQ(p.CodePage, 28592);
  p.AssignCharSet(204);
  EXPECT_EQ(p.Charset, 204);
  EXPECT_EQ(p.CodePage, 1251);
  p.AssignCharSet(99);
  EXPECT_EQ(p.CodePage, 1251);
  p.AssignCharSet(1);
  EXPECT_EQ(p.Charset, 1);
  EXPECT_EQ(p.CodePage, 1252);
  p.AssignUTF8();
  EXPECT_EQ(p.Charset, 0);
  EXPECT_EQ(p.CodePage, 65001);
}

TEST(Properties, FontsAreMeasuredAndFamiliesPicked) {
  TProperties p;
  p.DefaultFontName = "Fallback Family";
  p.Values[piFontSize] = 12.0;
  p.Values[piFontFamily] = std::string("no such family, 'another missing'");
  p.Values[piLetterSpacing] = std::string("0.5em");
  EXPECT_EQ(p.GetSingleFontInfo().Name, "Fallback Family");
  std::unique_ptr<TMyFont> font = p.GetFont();
  EXPECT_EQ(font->Height(), -16);
  EXPECT_EQ(p.EmPixels, 16);
  EXPECT_EQ(p.ExPixels, 8);
  EXPECT_EQ(font->LetterSpacing, 8);
  EXPECT_GE(font->tmHeight, 16);
  // Measured once: later changes of the slots do not reach the font.
  p.Values[piFontSize] = 24.0;
  EXPECT_EQ(p.GetFont()->Height(), -16);

  TProperties huge;
  huge.Values[piFontSize] = 1e300;
  EXPECT_EQ(huge.GetFont()->Height(), -2000);
  TProperties tiny;
  tiny.Values[piFontSize] = -5.0;
  EXPECT_EQ(tiny.GetFont()->Height(), -1);

  if (!plat::FontFamilyInstalled("Liberation Mono")) GTEST_SKIP() << "no Liberation Mono";
  TProperties mono;
  mono.Values[piFontFamily] = std::string("missing, monospace");
  EXPECT_EQ(mono.GetSingleFontInfo().Name, "Courier New");
}

}  // namespace
