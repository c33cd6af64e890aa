// Random viewers and pages of known boxes (some wrapping like text) against a model of the
// layout passes and the scroll-bar arrangement: the widths laid out at, the bars shown and
// enabled, the paint panel's place and size, and the bars' ranges.
#include <gtest/gtest.h>

#include <random>

#include "ViewerTestPage.h"

namespace html::test {
namespace {

struct ModelBox {
  int32_t width, height;
  int64_t area;  // > 0: wraps, as tall as area / width
};

TEST(ScrollBarModel, LayoutPassesAndBarsAsTheModelSays) {
  std::mt19937 random(101);
  TPageViewer viewer{nullptr};
  const int32_t bar = viewer.VScrollBarWidth();
  for (int n = 0; n < 400; ++n) {
    const int32_t width = 60 + int32_t(random() % 300), height = 40 + int32_t(random() % 250);
    const plat::TScrollStyle bars = plat::TScrollStyle(random() % 4);
    const THTMLBorderStyle style = THTMLBorderStyle(random() % 3);
    const bool alwaysVert = random() % 4 == 0;
    const size_t source = random() % 5 ? 20 : 10000 + random() % 3;
    viewer.SetBounds(0, 0, width, height);
    viewer.SetScrollBars(bars);
    viewer.SetBorderStyle(style);
    viewer.SethtOptions(alwaysVert ? HtOption(htShowVScroll) : 0);

    std::vector<ModelBox> model;
    std::vector<std::unique_ptr<TBoxItem>> boxes;
    // Often one box alone, a pixel either side of where a bar becomes necessary.
    const int32_t border = style == htNone ? 0 : 2;
    const bool edges = random() % 2;
    for (int k = edges ? 1 : 1 + int(random() % 3); k > 0; --k) {
      ModelBox b{int32_t(random() % 500), int32_t(random() % 200), 0};
      if (edges) {
        b.width = width - border - (random() % 2 ? bar : 0) + int32_t(random() % 3) - 1;
        b.height = height - border - (random() % 2 ? bar : 0) + int32_t(random() % 3) - 1;
      } else if (random() % 2) {
        b.area = int64_t(random() % 40000) + 1;
      }
      boxes.push_back(std::make_unique<TBoxItem>(&viewer.Document(), b.width, b.height));
      boxes.back()->Area = b.area;
      model.push_back(b);
    }
    const TBoxItem* first = LoadBoxes(viewer, source, std::move(boxes));

    // The passes: laying out at w gives the page's height and its widest line.
    int32_t scrollWidth = 0, scrollHeight = 0;
    std::vector<int32_t> widths;
    auto layOut = [&](int32_t w) {
      widths.push_back(w);
      scrollWidth = scrollHeight = 0;
      for (const ModelBox& b : model) {
        scrollHeight += b.area > 0 ? int32_t((b.area + w - 1) / w) : b.height;
        scrollWidth = std::max(scrollWidth, b.area > 0 ? w : b.width);
      }
    };
    const int32_t wid = width - border;
    const bool vertical = bars == plat::ssVertical || bars == plat::ssBoth;
    auto test = [&](int32_t lastWidth) {
      if (height - border < scrollHeight) return true;
      return bars == plat::ssBoth && height - border - bar <= scrollHeight &&
             lastWidth < scrollWidth;
    };
    if (!vertical) {
      layOut(wid);
    } else if (alwaysVert || source >= 10000) {
      layOut(wid - bar);
    } else {
      layOut(wid);
      if (test(width - bar - border)) {
        layOut(wid - bar);
        if (!test(width - border)) layOut(wid);
      }
    }
    SCOPED_TRACE(testing::Message() << "viewer " << n << ": " << width << "x" << height << " bars "
                                    << bars << " border " << style << " always " << alwaysVert);
    ASSERT_EQ(first->LaidOutAt, widths);

    // The arrangement.
    scrollWidth = std::min(scrollWidth, 6000);
    const int32_t edge = style == htNone ? 0 : 1;
    const bool noBars = bars == plat::ssNone || (!alwaysVert && height - 2 * edge >= scrollHeight &&
                                                 width - 2 * edge >= scrollWidth);
    bool vNeeded = false, hBar = false, vBar = false;
    if (!noBars && vertical) {
      vNeeded = height - 2 * edge <= scrollHeight ||
                (bars == plat::ssBoth && height - 2 * edge - bar <= scrollHeight &&
                 width - bar - 2 * edge < scrollWidth);
      hBar = bars == plat::ssBoth &&
             (width - 2 * edge < scrollWidth ||
              ((vNeeded || alwaysVert) && width - bar - 2 * edge < scrollWidth));
      vBar = vNeeded || alwaysVert;
    } else if (!noBars && bars == plat::ssHorizontal) {
      hBar = width - 2 * edge < scrollWidth;
    }
    const int32_t barWid = vBar || (alwaysVert && vertical) ? width - bar : width;
    const int32_t panelHeight = height - 2 * edge - (hBar ? bar : 0);
    EXPECT_EQ(viewer.PaintPanel().BoundsRect(),
              (plat::TRect{edge, edge, edge + barWid - 2 * edge, edge + panelHeight}));
    EXPECT_EQ(viewer.HScrollBar().Visible(), hBar);
    EXPECT_EQ(viewer.HScrollBar().Max(), std::max(scrollWidth, barWid - 2 * edge));
    EXPECT_EQ(viewer.VScrollBar().Visible(), alwaysVert ? vertical : vBar);
    EXPECT_EQ(viewer.VScrollBar().Enabled(), alwaysVert ? vNeeded : true);
    EXPECT_EQ(viewer.VScrollBar().Max(), scrollHeight);
    EXPECT_EQ(viewer.ScrollHeight(), scrollHeight);
  }
}

}  // namespace
}  // namespace html::test
