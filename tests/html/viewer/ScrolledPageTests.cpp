// Everything on a page moves with the scroll position: a scrolled view shows exactly the
// unscrolled one, shifted up.
#include "support/PaintedPage.h"

namespace html::test {
namespace {

class ScrolledPage : public PaintedPageTest {};

std::string PageOfEveryKind() {
  std::string page = "<ol><li value=10>ten<li>eleven</ol>";
  for (int k = 0; k < 6; ++k)
    page +=
        "<ul><li>disc<li>disc<ul><li>circle</ul></ul><ol type=a><li>one</ol><hr>"
        "<hr width=50% color=red><table border=2><caption>cap</caption><tr><td>cell</td>"
        "<td bgcolor=yellow>y</td></tr></table><div style='border:3px dashed blue;"
        "background-color:#e0e0ff'>box</div><p><span style='background-color:lime;border:1px "
        "solid red'>inline</span> x<sub>2</sub> y<sup>3</sup></p><div style='float:right;"
        "width:50px;height:30px;background-color:red'></div><pre>pre text</pre><div "
        "style='position:relative;left:30px;background-color:yellow;width:50px'>rel</div>"
        "<blockquote style='border-left:4px groove gray'>quote</blockquote>";
  return page;
}

TEST_F(ScrolledPage, ScrolledViewIsTheSamePageShiftedUp) {
  Load(PageOfEveryKind());
  const plat::TCapturedImage top = shot;
  for (int by : {150, 333}) {
    viewer->ScrollTo(by);
    ASSERT_EQ(Document().ScrollY, by);
    const plat::TCapturedImage scrolled = plat::CaptureControl(viewer->PaintPanel());
    ASSERT_EQ(scrolled.width, top.width);
    int differing = 0;
    for (int y = 0; y < scrolled.height - by; ++y)
      for (int x = 0; x < scrolled.width; ++x)
        if (scrolled.Pixel(x, y) != top.Pixel(x, y + by)) ++differing;
    EXPECT_EQ(differing, 0) << "scrolled by " << by;
  }
}

}  // namespace
}  // namespace html::test
