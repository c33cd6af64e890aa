// Fonts, inline styles, links and anchors of built pages.
#include <string>

#include "tests/html/parse/builder/BuilderSupport.h"

namespace buildertest {
namespace {

using TextLevelTest = BuilderFixture;

TEST_F(TextLevelTest, FontSizesFollowTheBaseFont) {
  // Sizes 1-7 are 8, 10, 12, 14, 18, 24 and 36 points for a 12-point default.
  Build(
      "<font size=+2>a</font> <font size=9>b</font> <font size=\"-5\">c</font> "
      "<basefont size=5><font size=+1>d</font> <font size=2>e</font> <font size=x>f</font>");
  EXPECT_EQ(RunAt("a").Font->Size(), 18);
  EXPECT_EQ(RunAt("b").Font->Size(), 36);
  EXPECT_EQ(RunAt("c").Font->Size(), 8);
  EXPECT_EQ(RunAt("d").Font->Size(), 24);
  EXPECT_EQ(RunAt("e").Font->Size(), 10);
  EXPECT_EQ(RunAt("f").Font->Size(), 8);  // a size without a number is 0: the smallest
}

TEST_F(TextLevelTest, FontSizesAreTheNumbersOfTheirAttributes) {
  // Blanks around the number and a unit after it change nothing; a size is relative only when
  // its text starts with the sign, and a sign alone is no number.
  Build(
      "<font size=\" 5\">a</font> <font size=\"4px\">b</font> <font size=\" +1 \">c</font> "
      "<font size=\"2.6\">d</font> <font size=-99999999999>e</font> <font size=\"+\">f</font> "
      "<font size=\"+1 \">g</font> <font size=big>h</font>");
  EXPECT_EQ(RunAt("a").Font->Size(), 18);
  EXPECT_EQ(RunAt("b").Font->Size(), 14);
  EXPECT_EQ(RunAt("c").Font->Size(), 8);
  EXPECT_EQ(RunAt("d").Font->Size(), 12);
  EXPECT_EQ(RunAt("e").Font->Size(), 8);
  EXPECT_EQ(RunAt("f").Font->Size(), 8);
  EXPECT_EQ(RunAt("g").Font->Size(), 14);
  EXPECT_EQ(RunAt("h").Font->Size(), 8);
}

TEST_F(TextLevelTest, FontColourAndFace) {
  Build("<font color=red face=\"DejaVu Serif\">a</font><font color=00ff00>b</font>c");
  EXPECT_EQ(RunAt("a").Font->Color() & 0xFFFFFF, 0x0000FF);
  EXPECT_EQ(RunAt("a").Font->Name(), "DejaVu Serif");
  EXPECT_EQ(RunAt("b").Font->Color() & 0xFFFFFF, 0x00FF00);
  EXPECT_EQ(RunAt("c").Font->Color() & 0xFFFFFF, 0);
  EXPECT_EQ(RunAt("c").Font->Name(), "DejaVu Sans");
}

TEST_F(TextLevelTest, InlineStylesClosedOutOfOrder) {
  EXPECT_EQ(Build("<b>x<i>y</b>z</i>w"), "'xyzw'");
  EXPECT_EQ(Styles(RunAt("x")), plat::fsBold);
  EXPECT_EQ(Styles(RunAt("y")), plat::fsBold | plat::fsItalic);
  EXPECT_EQ(Styles(RunAt("z")), plat::fsItalic);  // the italic set forgot the closed bold
  EXPECT_EQ(Styles(RunAt("w")), 0);
}

TEST_F(TextLevelTest, SizesFromBigAndSmallAndScripts) {
  Build("a<big>b</big><small>c</small><sub>d</sub><sup>e</sup>");
  EXPECT_GT(RunAt("b").Font->Size(), RunAt("a").Font->Size());
  EXPECT_LT(RunAt("c").Font->Size(), RunAt("a").Font->Size());
  EXPECT_EQ(RunAt("d").ScriptShift, 8);
  EXPECT_EQ(RunAt("e").ScriptShift, 9);
}

TEST_F(TextLevelTest, LinksWithTitlesAndTargets) {
  Build(
      "<base target=main>a <a href=\"x.html\" title=\"Go there\">link</a> b "
      "<a href=y.html target=_top>other");
  const html::TFontObj& link = RunAt("link");
  EXPECT_EQ(link.GetURL(), "x.html");
  EXPECT_EQ(link.Link()->Target, "main");
  EXPECT_EQ(link.Title(), "Go there");
  EXPECT_EQ(Styles(link), plat::fsUnderline);
  EXPECT_EQ(link.Font->Color() & 0xFFFFFF, 0xFF0000);
  EXPECT_EQ(RunAt("a").Link(), nullptr);  // text before any link keeps no link record
  EXPECT_FALSE(RunAt("a").IsLink());
  EXPECT_EQ(RunAt("a").LinkID(), 0);
  EXPECT_EQ(RunAt("b").GetURL(), "");
  EXPECT_FALSE(RunAt("b").IsLink());
  EXPECT_EQ(RunAt("b").Title(), "");
  EXPECT_EQ(Styles(RunAt("b")), 0);
  EXPECT_EQ(RunAt("other").Link()->Target, "_top");
  EXPECT_EQ(document.LinkRuns.size(), 2u);
}

TEST_F(TextLevelTest, AnchorNamesAreRegistered) {
  Build("<p>a</p><a name=\"#intro\">b</a><a name=plain></a><p id=Para>c");
  EXPECT_NE(document.Targets.Find("intro"), nullptr);
  EXPECT_EQ(document.Targets.Find("#intro"), nullptr);
  EXPECT_NE(document.Targets.Find("plain"), nullptr);
  EXPECT_NE(document.Targets.Find("para"), nullptr);
}

TEST_F(TextLevelTest, ManyLinksFromTheFourHundredAndFirst) {
  auto page = [](int links) {
    std::string text;
    for (int i = 0; i < links; ++i) text += "<a href=#" + std::to_string(i) + ">x</a>";
    return text + "<a name=n>not counted</a>";
  };
  Build(page(400));
  EXPECT_FALSE(document.ManyLinks);
  EXPECT_EQ(document.LinkRuns.size(), 400u);
  Build(page(401));
  EXPECT_TRUE(document.ManyLinks);
}

}  // namespace
}  // namespace buildertest
