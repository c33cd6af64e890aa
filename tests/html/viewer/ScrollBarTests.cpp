// How the viewer decides on its scroll bars and the width it lays the page out at, around the
// edges where a bar becomes necessary.
#include <gtest/gtest.h>

#include "ViewerTestPage.h"

namespace html::test {
namespace {

using Widths = std::vector<int32_t>;

class ScrollBarTest : public testing::Test {
 protected:
  void SetUp() override {
    viewer.SetBounds(0, 0, kWidth, kHeight);
    bar = viewer.VScrollBarWidth();
    ASSERT_GT(bar, 0);
  }
  TBoxItem* Load(int32_t width, int32_t height, size_t sourceLength = 20) {
    return LoadBoxes(viewer, sourceLength, OneBox(viewer, width, height));
  }
  bool VBar() { return viewer.VScrollBar().Visible(); }
  bool HBar() { return viewer.HScrollBar().Visible(); }

  static constexpr int kWidth = 200, kHeight = 150, kBorder = 2;
  TPageViewer viewer{nullptr};
  int32_t bar = 0;
};

TEST_F(ScrollBarTest, VerticalBarComesWithTheFirstPixelBelowTheView) {
  TBoxItem* fits = Load(50, kHeight - kBorder);
  EXPECT_EQ(fits->LaidOutAt, Widths{kWidth - kBorder});
  EXPECT_FALSE(VBar());
  EXPECT_FALSE(HBar());
  EXPECT_EQ(viewer.PaintPanel().Width(), kWidth - kBorder);
  EXPECT_EQ(viewer.PaintPanel().Height(), kHeight - kBorder);

  TBoxItem* taller = Load(50, kHeight - kBorder + 1);
  EXPECT_EQ(taller->LaidOutAt, (Widths{kWidth - kBorder, kWidth - kBorder - bar}));
  EXPECT_TRUE(VBar());
  EXPECT_FALSE(HBar());
  EXPECT_EQ(viewer.PaintPanel().Width(), kWidth - bar - kBorder);
  EXPECT_EQ(viewer.VScrollBar().Left(), kWidth - bar - 1);
  EXPECT_EQ(viewer.VScrollBar().Height(), kHeight - kBorder);
}

TEST_F(ScrollBarTest, WrappingTextIsLaidOutAgainBesideTheBar) {
  viewer.SetScrollBars(plat::ssVertical);
  // At the full width this text just fits; one more pixel of text makes it a line taller.
  auto wrapping = [&](int64_t area) {
    auto boxes = OneBox(viewer, 0, 0);
    boxes.front()->Area = area;
    return LoadBoxes(viewer, 20, std::move(boxes));
  };
  const int64_t fullArea = int64_t(kWidth - kBorder) * (kHeight - kBorder);
  EXPECT_EQ(wrapping(fullArea)->LaidOutAt, Widths{kWidth - kBorder});
  EXPECT_FALSE(VBar());

  EXPECT_EQ(wrapping(fullArea + 1)->LaidOutAt, (Widths{kWidth - kBorder, kWidth - kBorder - bar}));
  EXPECT_TRUE(VBar());
  EXPECT_EQ(viewer.LayoutWidth(), kWidth - kBorder - bar);

  // With both bars, a page as wide as the view that fills it down to where a horizontal bar
  // would start is laid out beside a vertical bar, where it then grows taller.
  viewer.SetScrollBars(plat::ssBoth);
  EXPECT_EQ(wrapping(fullArea)->LaidOutAt, (Widths{kWidth - kBorder, kWidth - kBorder - bar}));
  EXPECT_TRUE(VBar());
  EXPECT_FALSE(HBar());
}

TEST_F(ScrollBarTest, PageThatOnlyCrowdsAHorizontalBarReturnsToFullWidth) {
  // Low enough to fit above a horizontal bar, wider than the room beside a vertical one, but
  // not wider than the view: the guess that a vertical bar is needed is taken back.
  const int32_t width = kWidth - kBorder - bar + 1;
  const int32_t height = kHeight - kBorder - bar;
  TBoxItem* box = Load(width, height);
  EXPECT_EQ(box->LaidOutAt, (Widths{kWidth - kBorder, kWidth - kBorder - bar, kWidth - kBorder}));
  EXPECT_FALSE(VBar());
  EXPECT_FALSE(HBar());

  // Vertical bars alone never reckon with a horizontal bar.
  viewer.SetScrollBars(plat::ssVertical);
  box = Load(width, height);
  EXPECT_EQ(box->LaidOutAt, Widths{kWidth - kBorder});
}

TEST_F(ScrollBarTest, LongSourcesAreLaidOutOnceBesideTheBar) {
  EXPECT_EQ(Load(50, 20, 9999)->LaidOutAt, Widths{kWidth - kBorder});
  EXPECT_EQ(viewer.DocumentSource().size(), 9999u);

  EXPECT_EQ(Load(50, 20, 10000)->LaidOutAt, Widths{kWidth - kBorder - bar});
  // The page fits, so no bar shows even though room was left for one.
  EXPECT_FALSE(VBar());
  EXPECT_EQ(viewer.PaintPanel().Width(), kWidth - kBorder);
}

TEST_F(ScrollBarTest, StylesWithoutAVerticalBar) {
  viewer.SetScrollBars(plat::ssNone);
  EXPECT_EQ(Load(5000, 5000)->LaidOutAt, Widths{kWidth - kBorder});
  EXPECT_FALSE(VBar());
  EXPECT_FALSE(HBar());
  EXPECT_EQ(viewer.PaintPanel().Height(), kHeight - kBorder);

  viewer.SetScrollBars(plat::ssHorizontal);
  Load(500, 5000);
  EXPECT_FALSE(VBar());
  EXPECT_TRUE(HBar());
  EXPECT_EQ(viewer.PaintPanel().Height(), kHeight - kBorder - bar);
  EXPECT_EQ(viewer.HScrollBar().Top(), kHeight - bar - 1);
}

TEST_F(ScrollBarTest, AlwaysShownVerticalBarIsDisabledWhenNotNeeded) {
  viewer.SethtOptions(viewer.htOptions() | HtOption(htShowVScroll));
  viewer.SetScrollBars(plat::ssVertical);
  EXPECT_EQ(Load(50, 20)->LaidOutAt, Widths{kWidth - kBorder - bar});
  EXPECT_TRUE(VBar());
  EXPECT_FALSE(viewer.VScrollBar().Enabled());
  EXPECT_EQ(viewer.PaintPanel().Width(), kWidth - bar - kBorder);

  Load(50, 1000);
  EXPECT_TRUE(VBar());
  EXPECT_TRUE(viewer.VScrollBar().Enabled());

  viewer.SetScrollBars(plat::ssNone);
  EXPECT_FALSE(VBar());
}

TEST_F(ScrollBarTest, WidePagesAreCappedAndScrollSideways) {
  Load(9000, 20);
  EXPECT_EQ(viewer.ScrollWidth(), kMaxScrollWidth);
  EXPECT_TRUE(HBar());
  EXPECT_FALSE(VBar());
  EXPECT_EQ(viewer.HScrollBar().Max(), kMaxScrollWidth);
  EXPECT_EQ(viewer.PaintPanel().Height(), kHeight - kBorder - bar);

  viewer.SetHorzPosition(100000);
  EXPECT_EQ(viewer.HScrollBar().Position(), kMaxScrollWidth - viewer.PaintPanel().Width());
  viewer.SetHorzPosition(-4);
  EXPECT_EQ(viewer.HScrollBar().Position(), 0);
}

TEST_F(ScrollBarTest, WithoutABorderThePanelTakesTheWholeControl) {
  viewer.SetBorderStyle(htNone);
  Load(50, kHeight);
  EXPECT_FALSE(VBar());
  EXPECT_EQ(viewer.PaintPanel().BoundsRect(), (plat::TRect{0, 0, kWidth, kHeight}));
  Load(50, kHeight + 1);
  EXPECT_TRUE(VBar());
  EXPECT_EQ(viewer.PaintPanel().BoundsRect(), (plat::TRect{0, 0, kWidth - bar, kHeight}));
}

TEST_F(ScrollBarTest, ScrollPositionsStayInsideThePage) {
  Load(50, 1000);
  const int32_t panel = viewer.PaintPanel().Height();
  viewer.ScrollTo(5000);
  EXPECT_EQ(viewer.Position(), 1000 - panel);
  EXPECT_EQ(viewer.Document().ScrollY, 1000 - panel);
  viewer.ScrollTo(-5);
  EXPECT_EQ(viewer.Position(), 0);

  // A page shorter than the view never scrolls, not even to a negative place.
  Load(50, 40);
  viewer.ScrollTo(100);
  EXPECT_EQ(viewer.Position(), 0);
  EXPECT_EQ(viewer.Document().ScrollY, 0);
}

TEST_F(ScrollBarTest, PageStepIsPositiveOnAnyPanelHeight) {
  Load(50, 1000);
  EXPECT_EQ(viewer.VScrollBar().LargeChange(), kHeight - kBorder - 16);
  viewer.SetBounds(0, 0, kWidth, 12);
  EXPECT_GE(viewer.VScrollBar().LargeChange(), 1);
}

TEST_F(ScrollBarTest, ResizingLaysThePageOutAgainAndKeepsThePlace) {
  TBoxItem* box = Load(50, 1000);
  viewer.ScrollTo(300);
  viewer.SetBounds(0, 0, 400, kHeight);
  EXPECT_EQ(box->LaidOutAt.back(), 400 - kBorder - bar);
  EXPECT_EQ(viewer.Position(), 300);

  // Tall enough for the whole page: back to the top.
  viewer.SetBounds(0, 0, 400, 1200);
  EXPECT_EQ(viewer.Position(), 0);
  EXPECT_FALSE(VBar());
}

TEST_F(ScrollBarTest, TurningPicturesOffLaysThePageOutAgainInPlace) {
  TBoxItem* box = Load(50, 1000);
  viewer.ScrollTo(250);
  const size_t passes = box->LaidOutAt.size();
  viewer.SetViewImages(false);
  EXPECT_FALSE(viewer.Document().ImagesOn);
  EXPECT_GT(box->LaidOutAt.size(), passes);
  EXPECT_EQ(viewer.Position(), 250);
  viewer.SetViewImages(false);  // no change, no layout
  EXPECT_EQ(box->LaidOutAt.size(), passes + 2);
}

}  // namespace
}  // namespace html::test
