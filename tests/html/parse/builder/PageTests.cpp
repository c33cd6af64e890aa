// Whole pages: head elements, style sheets, raw bodies, BODY attributes, plain text, and input
// that is malformed or hostile.
#include <algorithm>
#include <string>

#include "html/parse/HtmlReader.h"
#include "platform/runtime/Files.h"
#include "tests/html/parse/builder/BuilderSupport.h"

namespace buildertest {
namespace {

using PageTest = BuilderFixture;

TEST_F(PageTest, HeadElements) {
  std::vector<std::string> metas, links;
  Reset();
  html::ParseHtmlDocument(
      "<html><head><title>My &amp; page</title><base href=\"http://h/d/\">"
      "<meta http-equiv=refresh content=5><link rel=next href=n.html></head>"
      "<body>text</body></html>",
      document, {}, {},
      [&](plat::TObject*, const std::string& httpEquiv, const std::string&,
          const std::string& content) { metas.push_back(httpEquiv + "=" + content); },
      [&](plat::TObject*, const std::string& rel, const std::string&, const std::string& href) {
        links.push_back(rel + ":" + href);
      },
      &info);
  EXPECT_EQ(info.Title, u"My & page");
  EXPECT_EQ(info.Base, "http://h/d/");
  EXPECT_EQ(metas, std::vector<std::string>{"refresh=5"});
  EXPECT_EQ(links, std::vector<std::string>{"next:n.html"});
  EXPECT_EQ(Outline(Body().Content), "'text'");
}

TEST_F(PageTest, StyleSheetsAndInlineStyles) {
  Build(
      "<style>p { color: #00ff00 } .big { font-size: 20pt } #k { font-weight: bold }</style>"
      "<p>a</p><span class=big>b</span> <span id=k>c</span> <span style=\"color: blue\">d</span>"
      " e");
  EXPECT_EQ(RunAt("a").Font->Color() & 0xFFFFFF, 0x00FF00);
  EXPECT_EQ(RunAt("b").Font->Size(), 20);
  EXPECT_EQ(RunAt("c").Font->Style() & plat::fsBold, plat::fsBold);
  EXPECT_EQ(RunAt("d").Font->Color() & 0xFFFFFF, 0xFF0000);
  EXPECT_EQ(RunAt("e").Font->Color() & 0xFFFFFF, 0);
  EXPECT_EQ(RunAt("e").Font->Size(), 12);
}

TEST_F(PageTest, LinkedStyleSheetFromAFile) {
  const std::string name = testing::TempDir() + "builder_sheet.css";
  {
    plat::TMemoryStream sheet;
    const std::string text = "b {\n\tcolor: #0000ff\n}\n";
    sheet.Write(text.data(), int64_t(text.size()));
    sheet.SaveToFile(name);
  }
  Build("<link rel=STYLESHEET href=\"" + name +
        "\"><link rel=stylesheet href=missing.css><b>x</b>");
  EXPECT_EQ(RunAt("x").Font->Color() & 0xFFFFFF, 0xFF0000);
  plat::DeleteFile(name);
}

TEST_F(PageTest, RawBodiesAreNotShown) {
  // The text area and the list stand in the text as one control character each.
  EXPECT_EQ(Build("a<script>if (x < y) document.write('<b>no</b>');</SCRIPT>b"
                  "<textarea>c</p>d</textarea>e<select><option>f<option>g</select>h"),
            "'ab\x02"
            "e\x02h'");
}

TEST_F(PageTest, ImageMaps) {
  Build(
      "<map name=m1><area href=a coords=0,0,5,5></map>"
      "<map name=m2><area href=b coords=0,0,5,5><b><i><u>x</map>");
  ASSERT_EQ(document.ImageMaps.Count(), 1);
  EXPECT_EQ(document.ImageMaps.First()->MapName, "M1");
  EXPECT_EQ(document.ImageMaps.First()->Count(), 1);
  // The third stray symbol ends the map and is read as content.
  EXPECT_EQ(RunAt("x").Font->Style() & plat::fsUnderline, plat::fsUnderline);
}

TEST_F(PageTest, BodyAttributesRebuildTheBody) {
  Build(
      "<body bgcolor=#ffff00 text=blue leftmargin=500 topmargin=3 link=green>"
      "a <a href=x>b</a>");
  EXPECT_EQ(document.Count(), 1);
  const html::TBlock& body = Body();
  EXPECT_EQ(body.Content.Count(), 1);
  EXPECT_EQ(RunAt("a").Font->Color() & 0xFFFFFF, 0xFF0000);
  EXPECT_EQ(RunAt("b").Font->Color() & 0xFFFFFF, 0x008000);
  EXPECT_EQ(html::VarToInt(body.RawMargins()[html::piMarginLeft]), 200);
  EXPECT_EQ(html::VarToInt(body.RawMargins()[html::piMarginRight]), 200);
  EXPECT_EQ(html::VarToInt(body.RawMargins()[html::piMarginTop]), 3);
  // BODY after content changes nothing and loses nothing.
  EXPECT_EQ(Build("<body text=red>a</body><body text=blue>b"), "'ab'");
  EXPECT_EQ(RunAt("b").Font->Color() & 0xFFFFFF, 0x0000FF);
  EXPECT_EQ(Build("a<body text=red>b"), "'ab'");
  EXPECT_EQ(RunAt("b").Font->Color() & 0xFFFFFF, 0);
}

TEST_F(PageTest, SourcePositionsCountAByteOrderMark) {
  Build("\xEF\xBB\xBFz\xC3\xA9");
  const html::TSection& section = SectionWith("z");
  EXPECT_EQ(section.Text.substr(0, 2), u"z\u00E9");
  EXPECT_EQ(section.SourcePosOf(0), 3);
  EXPECT_EQ(section.SourcePosOf(1), 4);
}

TEST_F(PageTest, CharsetFromAMetaContentType) {
  Build("<meta http-equiv=Content-Type content=\"text/html; charset=UTF-8\">\xC3\xA9");
  EXPECT_EQ(info.CodePage, 65001);
  EXPECT_EQ(Sections().front()->Text, u"\u00E9 ");
}

TEST_F(PageTest, AnEucJpMetaConvertsTheTextRightAfterIt) {
  // U+4E9C is EUC-JP B0 A1, whether it follows the tag at once or on the next line.
  for (const std::string gap : {"", "\n"}) {
    Build("<meta http-equiv=Content-Type content=\"text/html; charset=EUC-JP\">" + gap +
          "\xB0\xA1 x");
    EXPECT_EQ(Sections().front()->Text.substr(0, 3), u"\u4E9C x") << gap.size();
  }
}

TEST_F(PageTest, AnIsoJapanesePageIsConvertedOnceWhateverItsMetaSays) {
  // JIS 6030 is U+724B; read again as EUC-JP its Shift_JIS bytes would give another kanji.
  const std::string text = "a \x1b$B\x60\x30\x1b(B b";
  for (const std::string meta :
       {"", "<meta http-equiv=Content-Type content=\"text/html; charset=EUC-JP\">",
        "<font charset=euc-jp>"}) {
    Build(meta + text);
    EXPECT_EQ(SectionWith("a").Text.substr(0, 5), u"a \u724B b") << meta;
  }
}

TEST_F(PageTest, NulBytes) {
  std::string page = "a";
  for (int i = 0; i < 100; ++i) page += '\0';
  page += "b";
  EXPECT_EQ(Build(page), "'a b'");
  EXPECT_EQ(Build(page + '\0' + "c"), "'a b'");
}

TEST_F(PageTest, DeepNestingAndUnclosedTagsFinish) {
  std::string page;
  for (int i = 0; i < 10000; ++i) page += "<div><ul><li><b><font size=+1>";
  page += "deep";
  Build(page);
  EXPECT_EQ(Plain(SectionWith("deep")), "deep ");
  Build(std::string(20000, '<') + "p>" + std::string(5000, '&'));
}

TEST_F(PageTest, AnOpenCommentAtTheEndFails) {
  Reset();
  EXPECT_THROW(html::ParseHtmlDocument("<p>a</p><p>b<!-- c", document), html::EParseError);
  EXPECT_EQ(Outline(Body().Content), "");
  EXPECT_EQ(Build("<p>a"), "p['a']");
}

TEST_F(PageTest, AFailureInsideATableLeavesNoLinkBehind) {
  // Included text is read only when building, so the failure comes from inside the table.
  Reset();
  auto include = [](plat::TObject*, const std::string&, std::unique_ptr<plat::TStringList>,
                    std::string& text) { text = "<!-- never closed"; };
  EXPECT_THROW(html::ParseHtmlDocument("<table><tr><td><a href=x>in</a><td><caption>c<td>"
                                       "<!--#include file=y-->after",
                                       document, include),
               html::EParseError);
  std::vector<const html::TLinkRun*> runs;
  for (const html::TSection* section : Sections())
    for (const auto& run : section->Fonts) runs.push_back(run.get());
  ASSERT_EQ(document.LinkRuns.size(), 1u);
  EXPECT_NE(std::find(runs.begin(), runs.end(), document.LinkRuns[0]), runs.end());
  EXPECT_EQ(Outline(Body().Content), "TableAndCaption[caption['c'] table['in' | ]]");
}

TEST_F(PageTest, PlainTextDocuments) {
  Reset();
  html::ParseTextDocument("one <b>\r\n\r\nlast\xE9", document);
  EXPECT_EQ(Outline(Body().Content), "pre['one <b>//last?']");
  EXPECT_NE(SectionWith("last").Text.find(u"last\u00E9"), std::u16string::npos);
}

}  // namespace
}  // namespace buildertest
