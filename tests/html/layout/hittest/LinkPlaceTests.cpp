// Where a link stands for the view to scroll to when it takes the focus: the top of the last
// line its text reaches, however many runs of other fonts the link holds.
#include <algorithm>
#include <map>
#include <string>

#include "HitTestSupport.h"
#include "html/parse/DocumentBuilder.h"

namespace {

TEST(LinkPlaceTest, ALinkOfManyRunsStandsAtItsLastLine) {
  test_support::PixelCanvas surface(400, 300);
  html::TSectionList document(nullptr, nullptr);
  document.ApplyDefaults(texttest::kFamily, "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0xFF,
                         0xFFFFFF, true, true, 0, 8, 10);
  std::string page = "<p>";
  for (int k = 0; k < 6; ++k) {
    page += "<a href='#l" + std::to_string(k) + "'>";
    for (int i = 0; i < 3 + 9 * k; ++i) page += "<b>ab</b>cd ";
    page += k % 2 ? "</a> plain " : "<br>on</a> ";
  }
  html::ParseHtmlDocument(page + "<p><a href='#last'><i>x</i>y<p>z</a>", document);
  for (int width : {150, 260}) {
    int32_t scrollWidth = 0, pos = 0;
    document.Layout(surface.canvas, 0, width, 0, 0, scrollWidth, pos);
    // The model: the top of every line each link's runs reach, the last one kept.
    std::map<int32_t, int32_t> lastTop;
    std::map<int32_t, const html::TFontObj*> holder;
    for (const html::TLinkRun* listed : document.LinkRuns) {
      const auto& run = dynamic_cast<const html::TFontObj&>(*listed);
      if (!run.IsLink()) continue;
      if (run.FocusControl()) holder[run.LinkID()] = &run;
      const html::TSection& section = *run.Section;
      int index = 0;
      section.Fonts.GetFontObjAt(run.StartPos, index);
      const int32_t end = index + 1 < section.Fonts.Count() ? section.Fonts[index + 1]->StartPos
                                                            : int32_t(section.Text.size());
      int32_t top = section.TopY;
      for (const html::LineRec& line : section.Lines) {
        if (line.StartIndex < end && line.StartIndex + line.CharCount > run.StartPos)
          lastTop[run.LinkID()] = std::max(lastTop[run.LinkID()], top);
        top += line.SpaceAbove + line.TextHeight + line.SpaceBelow;
      }
    }
    ASSERT_EQ(holder.size(), 7u);
    for (const auto& [id, run] : holder) EXPECT_EQ(run->LinkY(), lastTop[id]) << "link " << id;
  }
}

}  // namespace
