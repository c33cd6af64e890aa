// The symbol stream: tags, attributes, text and entities.
#include <gtest/gtest.h>

#include "SymbolStream.h"

namespace html {
namespace {

TEST(Tags, NamesLevelsAndEndSymbols) {
  EXPECT_EQ(SymbolsOf("<BR/><br /><h3 >x</H3><H 2>"),
            (Symbols{"<br>", "<br>", "<h3>", "text:x", "</h3>", "<h2>", "eof"}));
  EXPECT_EQ(SymbolsOf("</br><blink></blink><p></P>"),
            (Symbols{"command", "command", "command", "<p>", "</p>", "eof"}));
  EXPECT_EQ(SymbolsOf("<table><TD>a</td></table>"),
            (Symbols{"<table>", "<td>", "text:a", "</td>", "</table>", "eof"}));
  // A very long name is cut, not kept whole.
  EXPECT_EQ(SymbolsOf("<" + std::string(300, 'p') + ">x"), (Symbols{"command", "text:x", "eof"}));
}

TEST(Tags, ALessThanThatStartsNoTagIsText) {
  // The '<' is a text symbol of its own; what follows is read by the next call.
  EXPECT_EQ(SymbolsOf("a < 5"), (Symbols{"text:a ", "text:<", "text: 5", "eof"}));
  THtmlTokenizer tokenizer;
  EXPECT_EQ(SymbolsOf(tokenizer, "x<5"), (Symbols{"text:x", "text:<", "text:5", "eof"}));
  EXPECT_EQ(SymbolsOf("<?xml version?>a"), (Symbols{"command", "text:a", "eof"}));
}

TEST(Tags, ScriptAndStyleStopAtTheirClosingBracket) {
  THtmlTokenizer tokenizer;
  tokenizer.Start("<script type=x>body");
  tokenizer.GetCh();
  tokenizer.GetSymbol();
  EXPECT_EQ(tokenizer.Sy, ScriptSy);
  EXPECT_EQ(tokenizer.LCh, '>');
  tokenizer.Start("<p >body");
  tokenizer.GetCh();
  tokenizer.GetSymbol();
  EXPECT_EQ(tokenizer.LCh, 'b');
  EXPECT_EQ(tokenizer.TagStart, 0);
}

// The attributes of the first tag of a document.
const TAttributeList& AttributesOf(THtmlTokenizer& tokenizer, const std::string& document) {
  tokenizer.Start(document);
  tokenizer.GetCh();
  tokenizer.GetSymbol();
  return tokenizer.Attributes;
}

TEST(Attributes, NumbersAndPercentages) {
  THtmlTokenizer tokenizer;
  const TAttributeList& list =
      AttributesOf(tokenizer,
                   "<table border width=\"50%\" height=50 % cellpadding=-3 x-y=7 hspace=2.5 "
                   "vspace=' 3.5 ' span='12px' size=+4>");
  ASSERT_EQ(list.Count(), 9);
  EXPECT_EQ(list[0]->Which, BorderSy);
  EXPECT_EQ(list[0]->Value, 1);
  EXPECT_EQ(list[0]->Name, "");
  EXPECT_EQ(list[1]->Which, WidthSy);
  EXPECT_EQ(list[1]->Value, 50);
  EXPECT_EQ(list[1]->Name, "50%");
  EXPECT_EQ(list[2]->Which, HeightSy);
  EXPECT_EQ(list[2]->Value, 50);
  EXPECT_EQ(list[2]->Name, "50%");
  EXPECT_EQ(list[3]->Value, -3);
  EXPECT_EQ(list[4]->Which, OtherAttribute);
  EXPECT_EQ(list[4]->WhichName, "X-Y");
  EXPECT_EQ(list[4]->Value, 7);
  EXPECT_EQ(list[5]->Value, 2);  // halves round to even
  EXPECT_EQ(list[6]->Value, 4);
  EXPECT_EQ(list[6]->Name, " 3.5 ");
  EXPECT_EQ(list[7]->Which, SpanSy);
  EXPECT_EQ(list[7]->Value, 12);
  EXPECT_EQ(list[8]->Name, "+4");
  EXPECT_EQ(list[8]->Value, 4);
}

TEST(Attributes, HugeNumbersStopAtTheIntegerRange) {
  THtmlTokenizer tokenizer;
  const TAttributeList& list =
      AttributesOf(tokenizer, "<td colspan=1e30 rowspan=99999999999999999999 width='-1e99'>");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0]->Value, 1);  // "1e30": the number ends before the e
  EXPECT_EQ(list[1]->Value, 2147483647);
  EXPECT_EQ(list[2]->Value, -1);
}

// Fractions, blanks, signs, units, huge values and empty ones: quoted in either way or not, with
// entities or not, the same text gives the same number.
TEST(Attributes, EveryNumberIsReadOneWay) {
  struct Case {
    const char* text;
    int32_t number;
  };
  const Case cases[] = {{"40", 40},
                        {"40.4", 40},
                        {"40.6", 41},
                        {"40.5", 40},
                        {"41.5", 42},
                        {".7", 1},
                        {"+40", 40},
                        {"-40", -40},
                        {"40px", 40},
                        {"40%", 40},
                        {"&#52;0", 40},
                        {"&#43;4", 4},
                        {"99999999999", 2147483647},
                        {"-99999999999", -2147483647},
                        {"abc", 0},
                        {"", 0}};
  THtmlTokenizer tokenizer;
  for (const Case& c : cases)
    for (const std::string quote : {"\"", "'", ""}) {
      if (quote.empty() && !*c.text) continue;  // "width= border" would give WIDTH the word
      SCOPED_TRACE(quote + c.text + quote);
      const TAttributeList& list =
          AttributesOf(tokenizer, "<td width=" + quote + c.text + quote + " border=" + quote +
                                      c.text + quote + ">");
      ASSERT_EQ(list.Count(), 2);
      EXPECT_EQ(list[0]->Value, c.number);
      // A bare or numberless BORDER is a border of 1.
      EXPECT_EQ(list[1]->Value, c.text == std::string("abc") || !*c.text ? 1 : c.number);
    }
  // Blanks round a quoted number go, also before its percent sign.
  EXPECT_EQ(AttributesOf(tokenizer, "<td width=' 40 %'>")[0]->Value, 40);
  EXPECT_TRUE(AttributesOf(tokenizer, "<td width=' 40 %'>")[0]->IsPercent());
}

TEST(Attributes, QuotedValuesAndLineEnds) {
  THtmlTokenizer tokenizer;
  const TAttributeList& list =
      AttributesOf(tokenizer,
                   "<img title=\"two\r\nlines\" value='two\nlines' alt=\"it's\" src=a.gif?x=1&y=2 "
                   "name=\"open");
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(list[0]->Name, "two\r\nlines");
  EXPECT_EQ(list[1]->Which, ValueSy);
  EXPECT_EQ(list[1]->Name, "twolines");
  EXPECT_EQ(list[2]->Name, "it's");
  EXPECT_EQ(list[3]->Name, "a.gif?x=1&y=2");
  EXPECT_EQ(list[4]->Name, "open");
}

TEST(Attributes, EntitiesInValues) {
  THtmlTokenizer tokenizer;
  const TAttributeList& list =
      AttributesOf(tokenizer,
                   "<a title='&euro' alt='&euro;' href=\"a&amp;b&ampc\" name='&#65;&#x42;&#9;&#1;' "
                   "target='&#150;&#x;&#;&foo;&AMP;'>");
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(list[0]->Name, "&euro");
  EXPECT_EQ(list[1]->Name, "\x80");
  EXPECT_EQ(list[2]->Name, "a&b&ampc");
  EXPECT_EQ(list[3]->Name, "AB ?");
  EXPECT_EQ(list[4]->Name, "\x96&#x;&#;&foo;&AMP;");
}

TEST(Attributes, EntitiesFollowTheElementsCodePage) {
  THtmlTokenizer tokenizer;
  tokenizer.TopCodePage = [] { return 65001; };
  const TAttributeList& list = AttributesOf(tokenizer, "<a title=\"caf&eacute;\" name=&euro;>");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0]->Name, "caf\xC3\xA9");
  EXPECT_EQ(list[1]->Name, "\xE2\x82\xAC");
  EXPECT_EQ(list[1]->CodePage, 65001);
}

TEST(Attributes, IDsAreRecorded) {
  TIDNameList ids(nullptr);
  THtmlTokenizer tokenizer;
  tokenizer.IDs = &ids;
  SymbolsOf(tokenizer, "<p id=Intro>x<a ID=\"\">y<div id='two'>");
  ASSERT_EQ(ids.Count(), 2);
  ASSERT_NE(ids.Find("intro"), nullptr);
  EXPECT_EQ(static_cast<TChPosObj*>(ids.Find("intro"))->SourcePos, 11);  // where reading stood
  tokenizer.PreScan = true;
  SymbolsOf(tokenizer, "<p id=late>");
  EXPECT_EQ(ids.Find("late"), nullptr);
}

TEST(Text, WhiteSpaceCollapsesAndPositionsStay) {
  THtmlTokenizer tokenizer;
  tokenizer.Start("two  \r\n \t words<p>");
  tokenizer.GetCh();
  tokenizer.GetSymbol();
  EXPECT_EQ(DescribeSymbol(tokenizer), "text:two words");
  const std::vector<int32_t> positions(tokenizer.Token.Positions.begin(),
                                       tokenizer.Token.Positions.begin() + 9);
  EXPECT_EQ(positions, (std::vector<int32_t>{0, 1, 2, 3, 10, 11, 12, 13, 14}));
}

TEST(Text, Entities) {
  EXPECT_EQ(SymbolsOf("&amp;&amp &AMP; &#65;&#x41;&#X61 &#9;|&#1;|&foo; &#x; &#;"),
            (Symbols{"text:&& &AMP; AAa  |?|&foo; &#x; &#;", "eof"}));
  EXPECT_EQ(SymbolsOf("&nbsp;&eacute;&Eacute;&hellip;&apos;&euro"),
            (Symbols{"text:\u00A0\u00E9\u00C9\u2026\u2019\u20AC", "eof"}));
  // 150 is a byte of the page's code page (an en dash in Windows-1252).
  EXPECT_EQ(SymbolsOf("a&#150;b"), (Symbols{"text:a\u2013b", "eof"}));
  EXPECT_EQ(SymbolsOf("&#x1F600;&#99999999999999;&#xD800;&#1114112;"),
            (Symbols{"text:\U0001F600\uFFFD\uFFFD\uFFFD", "eof"}));
}

TEST(Text, EntityPositions) {
  THtmlTokenizer tokenizer;
  tokenizer.Start("a&amp;b&#x1F600;&zz;");
  tokenizer.GetCh();
  tokenizer.GetSymbol();
  EXPECT_EQ(DescribeSymbol(tokenizer), "text:a&b\U0001F600&zz;");
  const std::vector<int32_t> positions(tokenizer.Token.Positions.begin(),
                                       tokenizer.Token.Positions.begin() + tokenizer.Token.Count);
  EXPECT_EQ(positions, (std::vector<int32_t>{0, 1, 6, 7, 7, 16, 17, 18, 19}));
}

TEST(Text, ControlCharactersReadAsQuestionMarks) {
  EXPECT_EQ(SymbolsOf("a\x01"
                      "b"),
            (Symbols{"text:a", "text:", "text:?b", "eof"}));
  EXPECT_EQ(SymbolsOf("a\x0B"
                      "b"),
            (Symbols{"text:a\x0B"
                     "b",
                     "eof"}));
}

TEST(Text, TheDocumentsCodePageDecodesText) {
  THtmlTokenizer tokenizer;
  tokenizer.TopCodePage = [] { return 65001; };
  EXPECT_EQ(SymbolsOf(tokenizer, "gr\xC3\xBC\xC3\x9F &amp; \xE2\x82\xAC"),
            (Symbols{"text:gr\u00FC\u00DF & \u20AC", "eof"}));
  tokenizer.TopCodePage = [] { return 1251; };
  EXPECT_EQ(SymbolsOf(tokenizer, "\xC0\xE1"), (Symbols{"text:\u0410\u0431", "eof"}));
}

TEST(Text, RawTextHasNoTags) {
  THtmlTokenizer tokenizer;
  tokenizer.RawText = true;
  EXPECT_EQ(SymbolsOf(tokenizer, "a<b>c<!-- d -->"), (Symbols{"text:a<b>c<!-- d -->", "eof"}));
}

TEST(Text, ThePreScanGathersNothing) {
  THtmlTokenizer tokenizer;
  tokenizer.PreScan = true;
  EXPECT_EQ(SymbolsOf(tokenizer, "one &amp; two<a href=x>three</a>"),
            (Symbols{"text:", "<a>", "text:", "</a>", "eof"}));
  EXPECT_EQ(tokenizer.Attributes.Count(), 0);
}

}  // namespace
}  // namespace html
