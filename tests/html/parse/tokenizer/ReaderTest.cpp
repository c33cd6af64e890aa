// Characters below the symbol level: line ends, comments, declarations, server blocks and
// include directives.
#include <gtest/gtest.h>

#include <map>

#include "SymbolStream.h"

namespace html {
namespace {

// The characters ReadNormalizedChar delivers for a document.
std::string NormalizedChars(const std::string& document) {
  THtmlTokenizer tokenizer;
  tokenizer.Start(document);
  std::string chars;
  for (tokenizer.ReadNormalizedChar(); tokenizer.LCh != 0; tokenizer.ReadNormalizedChar())
    chars += tokenizer.LCh;
  return chars;
}

TEST(Reader, EveryLineEndBecomesOneCarriageReturn) {
  for (const char* document : {"a\r\nb", "a\n\rb", "a\rb", "a\nb"})
    EXPECT_EQ(NormalizedChars(document), "a\rb") << document;
  EXPECT_EQ(NormalizedChars("a\r\n\r\nb"), "a\r\rb");
  EXPECT_EQ(NormalizedChars("a\n\nb"), "a\r\rb");
  EXPECT_EQ(NormalizedChars("a\r\n\nb"), "a\r\rb");
  EXPECT_EQ(NormalizedChars("\ta\tb"), " a b");
}

TEST(Reader, SourcePositionsCountDocumentBytes) {
  THtmlTokenizer tokenizer;
  tokenizer.Start("ab\r\nc");
  EXPECT_EQ(tokenizer.SourcePos, -1);
  tokenizer.ReadNormalizedChar();
  EXPECT_EQ(tokenizer.SourcePos, 0);
  tokenizer.ReadNormalizedChar();
  tokenizer.ReadNormalizedChar();
  EXPECT_EQ(tokenizer.SourcePos, 2);
  tokenizer.ReadNormalizedChar();
  EXPECT_EQ(tokenizer.LCh, 'c');
  EXPECT_EQ(tokenizer.SourcePos, 4);
  EXPECT_EQ(tokenizer.PeekChar(), 0);
  // A text whose 3-byte mark was removed keeps counting from the original start.
  tokenizer.Start("x", 2);
  tokenizer.ReadNormalizedChar();
  EXPECT_EQ(tokenizer.SourcePos, 3);
}

TEST(Reader, SkipsCommentsDeclarationsAndServerBlocks) {
  const Symbols ab = {"text:ab", "eof"};
  EXPECT_EQ(SymbolsOf("a<!-- one - two -->b"), ab);
  EXPECT_EQ(SymbolsOf("a<!-- one --!>b"), ab);
  EXPECT_EQ(SymbolsOf("a<!-- one -- \r >b"), ab);
  EXPECT_EQ(SymbolsOf("a<!-- one -> -- two --->b"), ab);
  EXPECT_EQ(SymbolsOf("a<!---->b"), ab);
  EXPECT_EQ(SymbolsOf("<!DOCTYPE html PUBLIC \"-//W3C//DTD\">a<!-x->b"), ab);
  EXPECT_EQ(SymbolsOf("a<% if (x % 2) %>b"), ab);
  EXPECT_EQ(SymbolsOf("a<% never closed"), (Symbols{"text:a", "eof"}));
}

TEST(Reader, AnOpenCommentAtTheEndIsAnError) {
  for (const char* document : {"a<!-- never closed", "a<!-- x -", "a<!DOCTYPE"}) {
    try {
      SymbolsOf(document);
      ADD_FAILURE() << document;
    } catch (const EParseError& e) {
      EXPECT_EQ(e.Message(), "Open Comment at End of HTML File");
    }
  }
}

// An include handler that answers from a table of "command name=value" keys and records calls.
struct TIncludeTable {
  std::map<std::string, std::string> answers;
  std::vector<std::string> calls;
  void Install(THtmlTokenizer& tokenizer) {
    tokenizer.IncludeHandler = [this](plat::TObject*, const std::string& command,
                                      std::unique_ptr<plat::TStringList> params,
                                      std::string& text) {
      std::string key = command;
      for (int i = 0; i < params->Count(); ++i) key += " " + params->Strings(i);
      calls.push_back(key);
      text = answers[key];
    };
  }
};

TEST(Reader, ADirectiveCutShortIsAnOpenComment) {
  TIncludeTable table;
  THtmlTokenizer tokenizer;
  table.Install(tokenizer);
  // The entity reader inside the parameter skips a whole comment before the input ends.
  EXPECT_THROW(SymbolsOf(tokenizer, "x<!--#inc a=\"&<!--c-->"), EParseError);
  EXPECT_THROW(SymbolsOf(tokenizer, "x<!--#inc a=1"), EParseError);
  EXPECT_TRUE(table.calls.empty());
  // A directive met while a parameter is read is skipped like any comment.
  EXPECT_EQ(SymbolsOf(tokenizer, "x<!--#inc a='&<!--#inc b=1-->z'-->y"),
            (Symbols{"text:xy", "eof"}));
  EXPECT_EQ(table.calls, (std::vector<std::string>{"inc a=&z"}));
}

TEST(Reader, IncludedTextIsReadInPlaceOfTheDirective) {
  TIncludeTable table;
  table.answers["inc file=outer.htm"] = "p<!--#inc file='in&amp;ner' -->q";
  table.answers["inc file=in&ner"] = "<b>Z</b>";
  THtmlTokenizer tokenizer;
  table.Install(tokenizer);
  EXPECT_EQ(SymbolsOf(tokenizer, "x<!--#inc file=\"outer.htm\"-->y"),
            (Symbols{"text:xp", "<b>", "text:Z", "</b>", "text:qy", "eof"}));
  EXPECT_EQ(table.calls, (std::vector<std::string>{"inc file=outer.htm", "inc file=in&ner"}));
}

TEST(Reader, IncludeParametersAndEmptyAnswers) {
  TIncludeTable table;
  THtmlTokenizer tokenizer;
  table.Install(tokenizer);
  EXPECT_EQ(SymbolsOf(tokenizer, "a<!--#echo var=DATE_LOCAL flag  x='1\r2'-->b"),
            (Symbols{"text:ab", "eof"}));
  EXPECT_EQ(table.calls, (std::vector<std::string>{"echo var=DATE_LOCAL flag= x=1 2"}));
  // Without a handler a directive is an ordinary comment.
  EXPECT_EQ(SymbolsOf("a<!--#inc file=x-->b"), (Symbols{"text:ab", "eof"}));
}

TEST(Reader, ReportsProgressEvery4096Bytes) {
  THtmlTokenizer tokenizer;
  std::vector<int> reports;
  tokenizer.OnProgress = [&](int percent) { reports.push_back(percent); };
  SymbolsOf(tokenizer, std::string(10000, 'x'));
  EXPECT_EQ(reports, (std::vector<int>{30, 61}));  // 4096 and 8192 of 10000, times 75
  reports.clear();
  tokenizer.PreScan = true;
  SymbolsOf(tokenizer, std::string(10000, 'x'));
  EXPECT_TRUE(reports.empty());
}

// A document with `count` links (and as many anchors without HREF).
std::string Links(int count) {
  std::string document = "<p id=first>";
  for (int i = 0; i < count; ++i)
    document += "<a name=n>x</a><a href=#" + std::to_string(i) + ">y</a>";
  return document + "<!--#inc-->";
}

TEST(Reader, ThePreScanCountsLinksAndRewinds) {
  TIncludeTable table;
  TIDNameList ids(nullptr);
  THtmlTokenizer tokenizer;
  table.Install(tokenizer);
  tokenizer.IDs = &ids;
  tokenizer.Start(Links(400));
  EXPECT_FALSE(tokenizer.PreScanManyLinks());
  tokenizer.Start(Links(401), 2);
  EXPECT_TRUE(tokenizer.PreScanManyLinks());
  EXPECT_TRUE(table.calls.empty());
  EXPECT_EQ(ids.Count(), 0);
  // The building pass reads from the start again, with the directive answered this time.
  EXPECT_FALSE(tokenizer.PreScan);
  EXPECT_EQ(tokenizer.SourcePos, 2);
  tokenizer.GetCh();
  tokenizer.GetSymbol();
  EXPECT_EQ(tokenizer.Sy, PSy);
  EXPECT_EQ(tokenizer.TagStart, 3);
  while (tokenizer.Sy != EofSy) tokenizer.GetSymbol();
  EXPECT_EQ(table.calls, (std::vector<std::string>{"inc"}));
  EXPECT_EQ(ids.Count(), 1);
}

TEST(Reader, MarksComeBack) {
  THtmlTokenizer tokenizer;
  tokenizer.Start("<p>one<b>two");
  tokenizer.GetCh();
  tokenizer.GetSymbol();
  const THtmlTokenizer::TReadMark mark = tokenizer.Mark();
  tokenizer.GetSymbol();
  tokenizer.GetSymbol();
  EXPECT_EQ(tokenizer.Sy, BSy);
  tokenizer.Restore(mark);
  tokenizer.GetSymbol();
  EXPECT_EQ(DescribeSymbol(tokenizer), "text:one");
  EXPECT_EQ(tokenizer.Token.Positions[0], 3);
}

}  // namespace
}  // namespace html
