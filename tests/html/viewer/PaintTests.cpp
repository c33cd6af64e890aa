// What the viewer shows: the background colour, the document at the scroll offsets, tiled
// background pictures, and the viewer on a form as a person would see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "ViewerTestPage.h"
#include "html/viewer/PaintPanelTiles.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace html::test {
namespace {

// 0xAARRGGBB of a TColor (0x00BBGGRR).
uint32_t Argb(TColor color) {
  const uint32_t c = uint32_t(color);
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

class ViewerPaintTest : public test_support::ShownFormTest {
 protected:
  ViewerPaintTest() : ShownFormTest({100, 100, 400, 300}) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    viewer = Add<TPageViewer>(10, 10, 200, 150);
    viewer->SetBorderStyle(htNone);
    viewer->SetDefBackground(kBack);
  }
  // Pixel (x, y) of the paint panel.
  uint32_t At(int x, int y) {
    plat::TCapturedImage image = plat::CaptureControl(viewer->PaintPanel());
    return image.Pixel(x, y);
  }

  static constexpr TColor kBack = 0x00E0F0;
  TPageViewer* viewer = nullptr;
};

TEST_F(ViewerPaintTest, DocumentIsDrawnAtTheScrollOffsets) {
  std::vector<std::unique_ptr<TBoxItem>> boxes;
  boxes.push_back(std::make_unique<TBoxItem>(&viewer->Document(), 400, 100, plat::clRed));
  boxes.push_back(std::make_unique<TBoxItem>(&viewer->Document(), 100, 300, plat::clBlue));
  LoadBoxes(*viewer, 20, std::move(boxes));
  EXPECT_EQ(At(5, 5), Argb(plat::clRed));
  EXPECT_EQ(At(5, 110), Argb(plat::clBlue));
  EXPECT_EQ(At(150, 110), Argb(kBack));

  viewer->ScrollTo(95);
  EXPECT_EQ(At(5, 2), Argb(plat::clRed));
  EXPECT_EQ(At(5, 6), Argb(plat::clBlue));

  viewer->SetHorzPosition(60);
  EXPECT_EQ(At(41, 2), Argb(plat::clRed));
  EXPECT_EQ(At(39, 10), Argb(plat::clBlue));
  EXPECT_EQ(At(40, 10), Argb(kBack));
}

// A 3 x 2 picture of six colours, so that every tile position can be told apart.
std::unique_ptr<plat::TBitmap> Checks() {
  auto bitmap = std::make_unique<plat::TBitmap>();
  bitmap->SetPixelFormat(plat::pf32bit);
  bitmap->SetSize(3, 2);
  const TColor colors[2][3] = {{0x000010, 0x002000, 0x300000}, {0x404040, 0x000050, 0x006000}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) bitmap->Canvas().SetPixel(x, y, colors[y][x]);
  return bitmap;
}

TEST_F(ViewerPaintTest, BackgroundPictureTilesFromThePageOrigin) {
  LoadBoxes(*viewer, 20, OneBox(*viewer, 50, 1000));
  auto picture = Checks();
  viewer->Document().BackImage = picture.get();
  viewer->ScrollTo(7);  // the tiles scroll with the page
  plat::TCapturedImage image = plat::CaptureControl(viewer->PaintPanel());
  for (int y : {0, 1, 2, 77})
    for (int x : {0, 1, 2, 3, 100}) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      EXPECT_EQ(image.Pixel(x, y), Argb(picture->Pixel(x % 3, (y + 7) % 2)));
    }
  EXPECT_FALSE(viewer->FixedBackground());

  // Placed once, 10 pixels in and down, and fixed to the window.
  TBackgroundPos& pos = viewer->Document().BackPosition;
  pos[0] = {bpPixels, 10, false, true};
  pos[1] = {bpPixels, 10, false, true};
  image = plat::CaptureControl(viewer->PaintPanel());
  EXPECT_EQ(image.Pixel(10, 10), Argb(picture->Pixel(0, 0)));
  EXPECT_EQ(image.Pixel(12, 11), Argb(picture->Pixel(2, 1)));
  EXPECT_EQ(image.Pixel(13, 10), Argb(kBack));
  EXPECT_EQ(image.Pixel(9, 10), Argb(kBack));
  EXPECT_TRUE(viewer->FixedBackground());

  viewer->Document().ImagesOn = false;
  EXPECT_EQ(At(10, 10), Argb(kBack));
  viewer->Document().BackImage = nullptr;
}

// A picture one pixel wide of the given colours from the top down.
std::unique_ptr<plat::TBitmap> Column(std::initializer_list<TColor> colors) {
  auto bitmap = std::make_unique<plat::TBitmap>();
  bitmap->SetPixelFormat(plat::pf32bit);
  bitmap->SetSize(1, int(colors.size()));
  int y = 0;
  for (TColor color : colors) bitmap->Canvas().SetPixel(0, y++, color);
  return bitmap;
}

TEST_F(ViewerPaintTest, OnePixelStripCoversTheWholeWidth) {
  LoadBoxes(*viewer, 20, OneBox(*viewer, 50, 20));
  auto strip = Column({plat::clNavy, plat::clMaroon});
  viewer->Document().BackImage = strip.get();
  plat::TCapturedImage image = plat::CaptureControl(viewer->PaintPanel());
  for (int x : {0, 99, 100, 101, 199}) {
    EXPECT_EQ(image.Pixel(x, 0), Argb(plat::clNavy));
    EXPECT_EQ(image.Pixel(x, 3), Argb(plat::clMaroon));
  }
  viewer->Document().BackImage = nullptr;
}

TEST_F(ViewerPaintTest, OnePixelPicturesStayOnePixelWhereTheyDoNotRepeat) {
  LoadBoxes(*viewer, 20, OneBox(*viewer, 50, 20));
  auto dot = Column({plat::clNavy});
  viewer->Document().BackImage = dot.get();
  TBackgroundPos& pos = viewer->Document().BackPosition;
  pos[0] = {bpPixels, 20, false, false};
  pos[1] = {bpPixels, 20, false, false};
  plat::TCapturedImage image = plat::CaptureControl(viewer->PaintPanel());
  EXPECT_EQ(image.Pixel(20, 20), Argb(plat::clNavy));
  for (auto [x, y] : {std::pair{21, 20}, {20, 21}, {60, 60}, {19, 20}})
    EXPECT_EQ(image.Pixel(x, y), Argb(kBack)) << x << "," << y;

  // Repeated across only: one row of navy.
  pos[0].Repeats = true;
  image = plat::CaptureControl(viewer->PaintPanel());
  for (int x : {0, 21, 150}) EXPECT_EQ(image.Pixel(x, 20), Argb(plat::clNavy)) << x;
  EXPECT_EQ(image.Pixel(21, 21), Argb(kBack));
  viewer->Document().BackImage = nullptr;
}

// An element never closed runs to the page's end, also where the page's source positions pass a
// million, and its border shows.
TEST_F(ViewerPaintTest, ABorderLeftOpenReachesTheEndOfALargePage) {
  for (size_t pad : {size_t(0), size_t(1'000'000)}) {
    SCOPED_TRACE(pad);
    viewer->LoadFromString("<!--" + std::string(pad, 'x') +
                               "--><p>x <span style=\"border:2px solid #ff0000\">never closed</p>"
                               "<p>more",
                           "");
    TSectionList& document = viewer->Document();
    ASSERT_EQ(document.InlineElements.Count(), 1);
    EXPECT_LT(document.InlineElements.StartOf(0), document.InlineElements.EndOf(0));
    // Where a source position past the page lies: the end of the document.
    EXPECT_EQ(document.InlineElements.EndOf(0), document.SourceToDocPosOrEnd(int32_t(pad) + 500));
    const plat::TCapturedImage image = plat::CaptureControl(viewer->PaintPanel());
    EXPECT_GT(std::count(image.pixels.begin(), image.pixels.end(), Argb(0x0000FF)), 20);
  }
}

TEST_F(ViewerPaintTest, MouseOverThePageReachesTheViewersEvents) {
  LoadBoxes(*viewer, 20, OneBox(*viewer, 50, 20));
  std::vector<std::string> seen;
  viewer->OnMouseMove = [&](plat::TObject* sender, plat::TShiftState, int x, int y) {
    EXPECT_EQ(sender, viewer);
    seen.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };
  viewer->OnMouseDown = [&](plat::TObject* sender, plat::TMouseButton, plat::TShiftState, int x,
                            int y) {
    EXPECT_EQ(sender, viewer);
    seen.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  };
  plat::SimulateMouse(viewer->PaintPanel(), plat::TMouseAction::Move, plat::mbLeft, {30, 40});
  plat::SimulateMouse(viewer->PaintPanel(), plat::TMouseAction::Press, plat::mbLeft, {31, 41});
  plat::SimulateMouse(viewer->PaintPanel(), plat::TMouseAction::Release, plat::mbLeft, {31, 41});
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen.front(), "move 30,40");
  EXPECT_NE(std::find(seen.begin(), seen.end(), "down 31,41"), seen.end());
}

TEST_F(ViewerPaintTest, ClickOnTheBarBelowTheThumbScrollsAPage) {
  std::vector<std::unique_ptr<TBoxItem>> boxes;
  boxes.push_back(std::make_unique<TBoxItem>(&viewer->Document(), 50, 132, plat::clRed));
  boxes.push_back(std::make_unique<TBoxItem>(&viewer->Document(), 50, 1000, plat::clBlue));
  LoadBoxes(*viewer, 20, std::move(boxes));
  T32ScrollBar& bar = viewer->VScrollBar();
  ASSERT_TRUE(bar.Visible());
  auto click = [&](int y) {
    plat::SimulateMouse(bar, plat::TMouseAction::Press, plat::mbLeft, {bar.Width() / 2, y});
    plat::SimulateMouse(bar, plat::TMouseAction::Release, plat::mbLeft, {bar.Width() / 2, y});
  };
  click(bar.Height() - 4);  // the arrow: one line
  EXPECT_EQ(viewer->Position(), 16);
  click(100);  // below the thumb: a page, the panel's height less one line
  EXPECT_EQ(viewer->Position(), 16 + 150 - 16);
  EXPECT_EQ(viewer->Document().ScrollY, 150);
  EXPECT_EQ(At(5, 0), Argb(plat::clBlue));
}

// Random pictures (one-pixel strips among them), placements, repeats and scroll positions
// against a model of where each tile of the background lands on the panel.
TEST_F(ViewerPaintTest, BackgroundTilesLandWhereTheModelSays) {
  std::mt19937 random(1011);
  LoadBoxes(*viewer, 20, OneBox(*viewer, 300 + int(random() % 300), 200 + int(random() % 900)));
  plat::TControl& panel = viewer->PaintPanel();
  const int32_t maxH = viewer->HScrollBar().Max() - panel.Width();
  const int32_t maxV = viewer->ScrollHeight() - panel.Height();
  ASSERT_GT(maxH, 0);
  ASSERT_GT(maxV, 0);
  TBackgroundPos& pos = viewer->Document().BackPosition;
  for (int n = 0; n < 60; ++n) {
    const int w = 1 + int(random() % 6), h = 1 + int(random() % 6);
    auto picture = std::make_unique<plat::TBitmap>();
    picture->SetPixelFormat(plat::pf32bit);
    picture->SetSize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        picture->Canvas().SetPixel(x, y, TColor(0x800000 | ((y * 40 + 10) << 8) | (x * 40 + 10)));
    viewer->Document().BackImage = picture.get();
    const bool fixed = random() % 4 == 0;
    static const uint8_t kinds[2][5] = {{bpLeft, bpRight, bpCenter, bpPercent, bpPixels},
                                        {bpTop, bpBottom, bpCenter, bpPercent, bpPixels}};
    for (int axis = 0; axis < 2; ++axis) {
      const uint8_t kind = kinds[axis][random() % 5];
      const int32_t value =
          kind == bpPixels ? int32_t(random() % 300) - 50 : int32_t(random() % 101);
      pos[size_t(axis)] = {kind, value, random() % 3 != 0, fixed};
    }
    viewer->SetHorzPosition(int32_t(random() % uint32_t(maxH + 1)));
    viewer->ScrollTo(int32_t(random() % uint32_t(maxV + 1)));
    const plat::TCapturedImage image = plat::CaptureControl(panel);

    // Per axis: the area tiled, the scroll taken off, the picture's origin.
    const int64_t offset[2] = {fixed ? 0 : viewer->HScrollBar().Position(),
                               fixed ? 0 : viewer->Document().ScrollY};
    const int64_t area[2] = {
        fixed ? panel.Width() : viewer->HScrollBar().Max(),
        fixed ? panel.Height() : std::max(viewer->ScrollHeight(), panel.Height())};
    const int64_t size[2] = {w, h};
    int64_t origin[2];
    for (int axis = 0; axis < 2; ++axis) {
      const TBackgroundPosRec& p = pos[size_t(axis)];
      const int64_t a = area[axis], s = size[axis], o = offset[axis];
      origin[axis] = p.PosKind == bpLeft || p.PosKind == bpTop       ? -o
                     : p.PosKind == bpRight || p.PosKind == bpBottom ? a - s - o
                     : p.PosKind == bpCenter                         ? a / 2 - s / 2 - o
                     : p.PosKind == bpPercent ? (a - s) * p.PosValue / 100 - o
                                              : p.PosValue - o;
    }
    const auto inside = [&](int axis, int64_t at, int64_t& index) {
      const int64_t from = at - origin[axis];
      index = ((from % size[axis]) + size[axis]) % size[axis];
      return pos[size_t(axis)].Repeats || (from >= 0 && from < size[axis]);
    };
    SCOPED_TRACE(testing::Message() << "case " << n << " picture " << w << "x" << h << " origin "
                                    << origin[0] << "," << origin[1]);
    int wrong = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        int64_t ix = 0, iy = 0;
        const uint32_t expected = inside(0, x, ix) && inside(1, y, iy)
                                      ? Argb(picture->Pixel(int(ix), int(iy)))
                                      : Argb(kBack);
        if (image.Pixel(x, y) != expected && wrong++ < 3)
          ADD_FAILURE() << "pixel " << x << "," << y;
      }
    ASSERT_EQ(wrong, 0);
    EXPECT_EQ(viewer->FixedBackground(), fixed);
  }
  viewer->Document().BackImage = nullptr;
}

TEST(BackgroundTiles, OriginsOfEachPlacement) {
  auto rec = [](uint8_t kind, int32_t value = 0) {
    return TBackgroundPosRec{kind, value, true, false};
  };
  // Area 100, picture 30, scrolled by 5.
  EXPECT_EQ(BackgroundOrigin(rec(bpTop), 100, 30, 5), -5);
  EXPECT_EQ(BackgroundOrigin(rec(bpLeft), 100, 30, 5), -5);
  EXPECT_EQ(BackgroundOrigin(rec(bpCenter), 100, 30, 5), 30);
  EXPECT_EQ(BackgroundOrigin(rec(bpCenter), 101, 31, 0), 35);  // halves truncated apart
  EXPECT_EQ(BackgroundOrigin(rec(bpBottom), 100, 30, 5), 65);
  EXPECT_EQ(BackgroundOrigin(rec(bpRight), 100, 30, 5), 65);
  EXPECT_EQ(BackgroundOrigin(rec(bpPercent, 50), 100, 30, 5), 30);
  EXPECT_EQ(BackgroundOrigin(rec(bpPixels, 12), 100, 30, 5), 7);
}

TEST(BackgroundTiles, SpansOverAnArea) {
  // Repeating: the first tile starts at or before the near edge, the last reaches the far one.
  TTileSpan s = BackgroundTiles(-25, 10, 0, 35, true);
  EXPECT_EQ(s.First, -5);
  EXPECT_EQ(s.Count, 4);
  s = BackgroundTiles(13, 10, 0, 35, true);
  EXPECT_EQ(s.First, -7);
  EXPECT_EQ(s.Count, 5);
  s = BackgroundTiles(20, 10, 20, 21, true);
  EXPECT_EQ(s.First, 20);
  EXPECT_EQ(s.Count, 1);
  // Single tiles: shown only when they meet the area.
  s = BackgroundTiles(-9, 10, 0, 35, false);
  EXPECT_EQ(s.First, -9);
  EXPECT_EQ(s.Count, 1);
  EXPECT_EQ(BackgroundTiles(-10, 10, 0, 35, false).Count, 0);
  EXPECT_EQ(BackgroundTiles(35, 10, 0, 35, false).Count, 0);
  // A picture with no pixels has nothing to tile.
  EXPECT_EQ(BackgroundTiles(0, 0, 0, 35, true).Count, 0);
  EXPECT_EQ(BackgroundTiles(0, -3, 0, 35, true).Count, 0);
}

TEST_F(ViewerPaintTest, ScreenshotOfAPageOnAForm) {
  viewer->SetBorderStyle(htSingle);
  viewer->SetDefBackground(0xF0FBFF);
  viewer->SetDefFontColor(0x800000);
  viewer->SetDefFontSize(10);
  viewer->SetDefFontName("Arial");
  const std::string page =
      "<html><body><h3>PixStamp</h3><p>A <b>watermark</b> editor.</p>"
      "<ul><li>pictures</li><li>text</li></ul>"
      "<p>Many words to fill the lines of this small viewer so that it needs a bar to "
      "scroll down the rest of the page, which goes on for a while longer.</p>"
      "<p>More text.</p><p>And more.</p><p>The end.</p></body></html>";
  viewer->LoadFromBuffer(page.data(), int64_t(page.size()), "");
  plat::SaveScreenshot(form, plat::ScreenshotFolder() + "/html_viewer_page.png");
  const plat::TCapturedImage image = plat::CaptureControl(viewer->PaintPanel());
  EXPECT_EQ(image.Pixel(image.width - 2, image.height - 2), Argb(0xF0FBFF));
}

}  // namespace
}  // namespace html::test
