// Hostile pages: font sizes multiplied beyond any screen, style sheets of tens of thousands of
// rules, deep nesting. Each is built within a memory bound read from the allocator.
#include <cmath>
#include <string>

#include "html/layout/text/FontRuns.h"
#include "tests/html/parse/builder/BuilderSupport.h"
#include "tests/support/LargestAllocation.h"

namespace buildertest {
namespace {

class HostilePageTest : public BuilderFixture {
 protected:
  // Builds the page; the most memory it held at once, in bytes.
  size_t PeakOf(const std::string& page) {
    Reset();
    test_support::LargestAllocation watch;
    html::ParseHtmlDocument(page, document);
    return watch.PeakBytes();
  }
  static std::string Repeat(const std::string& text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += text;
    return out;
  }
};

TEST_F(HostilePageTest, RunawayRelativeSizesStayFiniteThroughLinkStates) {
  Build("<style>span { font-size: 999999999% }</style>" + Repeat("<span>", 50) +
        "<a href=x.htm style=\"font-size: 0%\">link</a>");
  const html::TFontObj& link = RunAt("link");
  ASSERT_TRUE(link.FontInfos());
  for (const html::ThtFontInfo& state : link.FontInfos()->Ar) {
    EXPECT_TRUE(std::isfinite(state.Size));
    EXPECT_LE(state.Size, 1500);
  }
  // Entering and leaving the link re-applies its fonts.
  html::TFontObj& run = const_cast<html::TFontObj&>(link);
  run.SetHover(true);
  run.SetHover(false);
  EXPECT_GE(run.Font->Height(), -2000);
}

TEST_F(HostilePageTest, LargeSheetsCostLittleMemoryPerRule) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  constexpr int kRules = 20000;
  std::string falling = "<style>";
  for (int i = kRules; i > 0; --i) falling += ".k" + std::to_string(1000000 + i) + "{color:red}";
  EXPECT_LT(PeakOf(falling + "</style><p class=k1000001>x"), size_t(kRules) * 600);
  const size_t lists =
      PeakOf("<style>" + Repeat("a b,", kRules) + "a b{color:red}</style>" + "<a><b>bold</b></a>");
  EXPECT_LT(lists, size_t(kRules) * 600);
  EXPECT_EQ(RunAt("bold").Font->Color(), 0x0000FF);
  EXPECT_LT(PeakOf(Repeat("<div><span>", 5000) + "deep"), size_t(64) << 20);
}

TEST_F(HostilePageTest, HugeSelectorsAndValuesCostLinearMemory) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  constexpr int kCount = 100000;
  const std::string blanks(kCount, ' ');
  const std::string pages[] = {
      "<p style=\"margin:1px" + blanks + "2px\">x",
      "<style>p{font-family:a" + Repeat(", ", kCount) + "b}</style><p>x",
      "<style>a" + Repeat(" > b", kCount) + "{color:red}</style><p>x",
      "<style>a" + std::string(kCount, '>') + "b{color:red}</style><p>x",
  };
  for (const std::string& page : pages) EXPECT_LT(PeakOf(page), page.size() * 40);
}

TEST_F(HostilePageTest, BigTablesCostLinearMemory) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  const std::string cells = "<table>" + Repeat("<tr><td>a<td>b", 20000) + "</table>";
  EXPECT_LT(PeakOf(cells), size_t(20000) * 2 * 4096);
  const std::string spans = Repeat("<table>" + Repeat("<col span=100>", 10) +
                                       "<tr><td rowspan=65534 colspan=1000>x<tr><td>y</table>",
                                   20);
  EXPECT_LT(PeakOf(spans), size_t(8) << 20);
}

TEST_F(HostilePageTest, HugeTagsTextsAndNestingCostLinearMemory) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  constexpr int kN = 1 << 18;
  const std::string pages[] = {
      "<p title=\"" + std::string(kN, 'x') + "\">a",
      "<p " + Repeat("a=1 ", kN / 4) + ">a",
      "<" + std::string(kN, 'p') + ">a",
      std::string(kN, '&'),
      "&#" + std::string(kN, '9') + ";",
      "<!--" + std::string(kN, '-') + "-->x",
      std::string(kN, 'w'),
      Repeat("<p>", kN / 3),
      "<script>" + std::string(kN, 'x') + "</script>",
      "<title>" + std::string(kN, 't') + "</title>",
      Repeat("<font size=+1>", kN / 14),
      Repeat("<b><i></b></i>", kN / 14),
      Repeat("&amp", kN / 4),
  };
  for (const std::string& page : pages)
    EXPECT_LT(PeakOf(page), page.size() * 64) << page.substr(0, 40);
}

}  // namespace
}  // namespace buildertest
