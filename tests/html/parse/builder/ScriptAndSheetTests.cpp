// SCRIPT bodies handed to the host, STYLE elements, and linked style sheets the host delivers as
// streams or that are read from their files.
#include <cctype>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "html/css/CssStyles.h"
#include "html/css/CssValues.h"
#include "html/parse/HtmlReader.h"
#include "html/viewer/PageViewer.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"
#include "platform/runtime/TypInfo.h"
#include "tests/html/parse/builder/BuilderSupport.h"
#include "tests/support/LargestAllocation.h"

namespace buildertest {
namespace {

struct TScriptCall {
  std::string Name, Language, Script;
  bool operator==(const TScriptCall&) const = default;
};

void Fill(plat::TMemoryStream& stream, const std::string& text) {
  stream.Clear();
  stream.Write(text.data(), int64_t(text.size()));
}

void WriteFile(const std::string& name, const std::string& text) {
  plat::TMemoryStream stream;
  Fill(stream, text);
  stream.SaveToFile(name);
}

std::string RuleText(const html::TStyleList& styles, const std::string& key, int property) {
  const html::TStyleRule* rule = styles.FindRule(key);
  return rule ? html::VarToStr(rule->Value(property)) : std::string();
}

class ScriptTest : public BuilderFixture {
 protected:
  void Listen() {
    document.ScriptEvent = [this](plat::TObject*, const std::string& name,
                                  const std::string& language, const std::string& script) {
      calls.push_back({name, language, script});
    };
  }
  std::vector<TScriptCall> calls;
};

TEST_F(ScriptTest, TheHandlerReceivesTheBodyAsWritten) {
  Listen();
  // The '<' before "y" and the "</scr" inside a string start no end tag; "<b" right before
  // the end tag leaves it to end the body.
  EXPECT_EQ(Build("<p>a<script name=s1 language=JavaScript>if (x<y && z < 3) "
                  "w = \"</scr\" + \"ipt>\";\nn<b</SCRIPT>b</p>"
                  "<script>x<p\n>y</script>c"),
            "p['ab'] 'c'");
  const std::vector<TScriptCall> expected{
      {"s1", "JavaScript", "if (x<y && z < 3) w = \"</scr\" + \"ipt>\";\r\nn<b"},
      // A line end among the few characters kept after a tag name reads as a space.
      {"", "", "x<p >y"}};
  EXPECT_EQ(calls, expected);
}

TEST_F(ScriptTest, ABodyCutOffByTheEndOfInputStillReachesTheHandler) {
  Listen();
  EXPECT_EQ(Build("a<script>x = 1;\n<"), "'a'");
  EXPECT_EQ(calls, (std::vector<TScriptCall>{{"", "", "x = 1;\r\n<"}}));
}

TEST_F(ScriptTest, WithOrWithoutAHandlerThePageTextIsTheSame) {
  const std::string page =
      "<p>a<script>if (a<b) c = '</scr' + 'ipt>';</script>b<pre>c<script>\n</script>d</pre>"
      "<script language=vbs>x</script  >e";
  const std::string without = Build(page);
  EXPECT_EQ(without, "p['ab'] pre['cd'] 'e'");
  Listen();
  EXPECT_EQ(Build(page), without);
  EXPECT_EQ(calls.size(), 3u);
}

// Pages cut together from pieces of scripts: every body ends at its end tag and keeps each
// line end whole.
TEST_F(ScriptTest, ScrambledScriptsEndAtTheirEndTags) {
  Listen();
  const std::vector<std::string> pieces{
      "<script", ">",    "</script", "</SCRIPT >", "</scr", "<",     "\n",
      "\r",      "\r\n", "x",        " name=",     "'",     "\"",    "<b",
      "<!--",    "-->",  "</",       "<p\n",       "\t",    "&amp;", "</scripts>"};
  std::mt19937 random(7);
  size_t bodies = 0;
  for (int page = 0; page < 300; ++page) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += pieces[random() % pieces.size()];
    calls.clear();
    try {
      Build(text);
    } catch (const html::EParseError&) {
      // An unclosed comment outside a script.
    }
    bodies += calls.size();
    for (const TScriptCall& call : calls) {
      const std::string& body = call.Script;
      for (size_t at = body.find('\r'); at != std::string::npos; at = body.find('\r', at + 1))
        ASSERT_TRUE(at + 1 < body.size() && body[at + 1] == '\n') << text;
      const std::string lower = plat::LowerCase(body);
      for (size_t at = lower.find("</script"); at != std::string::npos;
           at = lower.find("</script", at + 1))
        ASSERT_TRUE(at + 8 < lower.size() && std::isalnum(uint8_t(lower[at + 8]))) << text;
    }
  }
  EXPECT_GT(bodies, 50u);
}

class LinkedSheetTest : public BuilderFixture {
 protected:
  LinkedSheetTest() {
    document.StreamRequest = [this](plat::TObject*, const std::string& src,
                                    plat::TMemoryStream*& stream) {
      requests.push_back(src);
      if (deliver) stream = &sheet;
    };
  }
  ~LinkedSheetTest() override { plat::DeleteFile(fileName); }

  html::TColor ColorAt(const std::string& text) const {
    return RunAt(text).Font->Color() & 0xFFFFFF;
  }

  plat::TMemoryStream sheet;
  bool deliver = true;
  std::vector<std::string> requests;
  const std::string fileName = testing::TempDir() + "linked_sheet_test.css";
};

TEST_F(LinkedSheetTest, TheHostsStreamStylesThePage) {
  // Written last, the stream's position stands at its end: it is read whole all the same.
  Fill(sheet, "p {\n\tcolor: #00ff00 }\nb { color: #0000ff }");
  std::vector<std::string> links;
  Reset();
  html::ParseHtmlDocument(
      "<link rel=StyleSheet href=\"site.css\"><p>x <b>y</b></p>z", document, {}, {}, {},
      [&](plat::TObject*, const std::string& rel, const std::string&, const std::string& href) {
        links.push_back(rel + ":" + href);
      },
      &info);
  EXPECT_EQ(requests, std::vector<std::string>{"site.css"});
  EXPECT_EQ(links, std::vector<std::string>{"StyleSheet:site.css"});
  EXPECT_EQ(ColorAt("x"), 0x00FF00);
  EXPECT_EQ(ColorAt("y"), 0xFF0000);
  EXPECT_EQ(ColorAt("z"), 0);
}

TEST_F(LinkedSheetTest, OnlyStyleSheetsWithANameAreAsked) {
  Fill(sheet, "p { color: #00ff00 }");
  Build("<link rel=stylesheet href=\"\"><link rel=next href=n.css><link href=a.css><p>x</p>");
  EXPECT_TRUE(requests.empty());
  EXPECT_EQ(ColorAt("x"), 0);
}

TEST_F(LinkedSheetTest, AnExpandedNameIsAskedForWithoutItsQuery) {
  Fill(sheet, "p { color: #00ff00; background-image: url(img/a.gif) }");
  document.NameExpand = [](plat::TObject*, const std::string& src, std::string& result) {
    result = "http://host/css/" + src;
  };
  Build("<link rel=stylesheet href=\"s.css?v=2\"><p>x</p>");
  EXPECT_EQ(requests, std::vector<std::string>{"http://host/css/s.css"});
  EXPECT_EQ(ColorAt("x"), 0x00FF00);
  // url() values are relative to the sheet, not to the page.
  EXPECT_EQ(RuleText(document.StyleSheet, "p", html::piBackgroundImage),
            "url(http://host/css/img/a.gif)");
}

TEST_F(LinkedSheetTest, WithoutAStreamTheFileIsRead) {
  WriteFile(fileName, "p { color: #00ff00; background-image: url(a.gif) }");
  deliver = false;
  Build("<link rel=stylesheet href=\"" + fileName + "\"><p>x</p>");
  EXPECT_EQ(requests, std::vector<std::string>{fileName});
  EXPECT_EQ(ColorAt("x"), 0x00FF00);
  EXPECT_EQ(RuleText(document.StyleSheet, "p", html::piBackgroundImage),
            "url(" + plat::ExtractFilePath(fileName) + "a.gif)");

  // No hook at all: the file alone.
  document.StreamRequest = nullptr;
  Build("<link rel=stylesheet href=\"" + fileName + "\"><p>x</p>");
  EXPECT_EQ(ColorAt("x"), 0x00FF00);
}

TEST_F(LinkedSheetTest, AnEmptyStreamOrAMissingFileLeavesThePagePlain) {
  Build("<link rel=stylesheet href=\"a.css\"><p>x</p>");
  deliver = false;
  Build("<link rel=stylesheet href=\"" + fileName + ".missing\"><p>y</p>");
  EXPECT_EQ(requests.size(), 2u);
  EXPECT_EQ(ColorAt("y"), 0);
}

// A sheet file larger than any sheet (a sparse file, a wrong name) is left out before a byte of
// it is read, as a missing one is.
TEST_F(LinkedSheetTest, ASheetFileTooLargeIsNotRead) {
  WriteFile(fileName, "p { color: #00ff00 }");
  std::filesystem::resize_file(fileName, std::uintmax_t(html::kMaxSheetFileBytes) + 1);
  deliver = false;
  test_support::LargestAllocation watch;
  Build("<link rel=stylesheet href=\"" + fileName + "\"><p>x</p>");
  EXPECT_EQ(ColorAt("x"), 0);
  if (test_support::LargestAllocation::Available()) EXPECT_LT(watch.Bytes(), 1u << 20);
}

// A STYLE element with no rules leaves its end tag whole: none of it reaches the page text.
TEST_F(BuilderFixture, StyleElementsWithoutRulesLeaveNoTraceInTheText) {
  for (const std::string style :
       {"<style></style>", "<style> </style>", "<style><!-- --></style>", "<style>/* c */</style>",
        "<style type=\"text/css\">\n</style>", "<STYLE>\r\n</STYLE >"})
    EXPECT_EQ(Build(style + "hello"), "'hello'") << style;
  EXPECT_EQ(Build("<style><!-- p { color: #00ff00 } --></style><p>x</p>"), "p['x']");
  EXPECT_EQ(RuleText(document.StyleSheet, "p", html::piColor), std::to_string(0x00FF00));
}

// The viewer hands both events to each page it loads; the stored-layout description names them.
TEST(ViewerScriptAndSheetEvents, TheViewerPassesItsEventsToThePage) {
  html::RegisterPageViewerClass();
  html::TPageViewer viewer{nullptr};
  std::vector<plat::TObject*> senders;
  std::vector<std::string> seen;
  plat::TMemoryStream sheet;
  Fill(sheet, "p { color: #00ff00 }");
  const html::TScriptEvent onScript = [&](plat::TObject* sender, const std::string&,
                                          const std::string&, const std::string& script) {
    senders.push_back(sender);
    seen.push_back(script);
  };
  const html::TStreamRequestEvent onRequest = [&](plat::TObject* sender, const std::string& src,
                                                  plat::TMemoryStream*& stream) {
    senders.push_back(sender);
    seen.push_back(src);
    stream = &sheet;
  };
  plat::SetPropValue(viewer, "OnScript", plat::TValue(std::any(onScript)));
  plat::SetPropValue(viewer, "OnhtStreamRequest", plat::TValue(std::any(onRequest)));
  const std::string page = "<link rel=stylesheet href=v.css><script>go()</script><p>x</p>";
  viewer.LoadFromBuffer(page.data(), int64_t(page.size()), "");
  EXPECT_EQ(seen, (std::vector<std::string>{"v.css", "go()"}));
  EXPECT_EQ(senders, (std::vector<plat::TObject*>{&viewer, &viewer}));
  EXPECT_EQ(RuleText(viewer.Document().StyleSheet, "p", html::piColor), std::to_string(0x00FF00));
}

}  // namespace
}  // namespace buildertest
