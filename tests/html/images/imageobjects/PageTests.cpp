// Pages with pictures in a viewer: where the pixels land, placeholders for missing pictures,
// text flowing round floats, and what lies under the mouse on a picture.
#include <algorithm>

#include "ImageObjectSupport.h"
#include "html/layout/text/FontRuns.h"
#include "html/viewer/PageViewer.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace imageobjects {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

// The smallest rectangle holding every pixel of the colour; empty when there is none.
plat::TRect Bounds(const plat::TCapturedImage& shot, uint32_t argb) {
  plat::TRect r{shot.width, shot.height, 0, 0};
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x)
      if (shot.Pixel(x, y) == argb) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r.Right == 0 ? plat::TRect{} : r;
}

class ImagePageTest : public test_support::ShownFormTest, protected test_support::PixelCanvas {
 protected:
  ImagePageTest() : ShownFormTest({0, 0, 420, 320}), PixelCanvas(400, 300) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    viewer = Add<html::TPageViewer>(0, 0, 400, 300);
    viewer->SetBorderStyle(html::htNone);
    viewer->SetDefBackground(plat::clWhite);
    viewer->SetDefFontColor(plat::clBlack);
    viewer->SetMarginWidth(0);
    viewer->SetMarginHeight(0);
    red = folder.File("red.bmp");
    WriteFile(red, SolidBmp(40, 20, plat::clRed));
    blue = folder.File("blue.bmp");
    WriteFile(blue, SolidBmp(10, 10, plat::clBlue));
  }
  void Load(const std::string& page) {
    viewer->LoadFromBuffer(page.data(), int64_t(page.size()), "");
    shot = plat::CaptureControl(viewer->PaintPanel());
  }
  int Hit(int x, int y, html::THitLink& hit) {
    return viewer->Document().HitTestLink(canvas, x, y, hit);
  }
  // The first column from `from` on whose rows [top, bottom) hold text (neither white nor the
  // picture colours), or -1.
  int FirstTextColumn(int top, int bottom, int from) const {
    for (int x = from; x < shot.width; ++x)
      for (int y = top; y < bottom; ++y) {
        const uint32_t p = shot.Pixel(x, y);
        if (p != kWhite && p != kRed && p != kBlue) return x;
      }
    return -1;
  }

  test_support::ScratchFolder folder;
  std::string red, blue;
  html::TPageViewer* viewer = nullptr;
  plat::TCapturedImage shot;
};

TEST_F(ImagePageTest, PictureNamedBesideThePageTakesItsSize) {
  const std::string page = folder.File("page.html");
  WriteFile(page, "<img src=\"red.bmp\" width=30 height=20>");
  viewer->LoadFromFile(page);
  shot = plat::CaptureControl(viewer->PaintPanel());
  EXPECT_EQ(Bounds(shot, kRed), (plat::TRect{0, 0, 30, 20}));
}

TEST_F(ImagePageTest, BlockBackgroundNamedBesideThePage) {
  // The picture's name keeps its case; the block covers the view's top row too.
  const std::string page = folder.File("block.html");
  WriteFile(folder.File("Mark.bmp"), SolidBmp(3, 3, plat::clBlue));
  WriteFile(folder.File("mark.bmp"), SolidBmp(3, 3, plat::clRed));
  WriteFile(page, "<div style=\"background-image:url('Mark.bmp');width:40px;height:20px\"></div>");
  viewer->LoadFromFile(page);
  shot = plat::CaptureControl(viewer->PaintPanel());
  EXPECT_EQ(Bounds(shot, kBlue), (plat::TRect{0, 0, 40, 20}));
}

// The last row in [top, bottom) holding text ink in columns [left, right), or -1.
int LastTextRow(const plat::TCapturedImage& shot, int top, int bottom, int left, int right) {
  for (int y = bottom - 1; y >= top; --y)
    for (int x = left; x < right; ++x)
      if (const uint32_t p = shot.Pixel(x, y); p != kWhite && p != kRed && p != kBlue) return y;
  return -1;
}

TEST_F(ImagePageTest, VerticalAlignmentInTheLine) {
  // Bottom: the picture stands on the baseline, where the letters stand.
  Load("<p>mm<img src=\"" + blue + "\" width=10 height=40>mm</p>");
  const plat::TRect bottom = Bounds(shot, kBlue);
  EXPECT_EQ(bottom.Height(), 40);
  EXPECT_EQ(LastTextRow(shot, 0, 100, 0, bottom.Left), bottom.Bottom - 1);

  // Top: the picture hangs from the top of the text; the line grows below.
  Load("<p>mm<img src=\"" + blue + "\" align=top width=10 height=40>mm</p>");
  const plat::TRect top = Bounds(shot, kBlue);
  EXPECT_EQ(top.Top, 0);
  EXPECT_EQ(top.Bottom, 40);
  EXPECT_LT(LastTextRow(shot, 0, 100, 0, top.Left), 20);

  // Middle: the centres of the picture and of the text's line meet.
  Load("<p>mm<img src=\"" + blue + "\" align=middle width=10 height=40>mm</p>");
  const plat::TRect middle = Bounds(shot, kBlue);
  const int textBottom = LastTextRow(shot, 0, 100, 0, middle.Left);
  EXPECT_GT(textBottom, middle.Top + 20);
  EXPECT_LT(textBottom, middle.Bottom - 5);
}

TEST_F(ImagePageTest, TextFlowsRightOfALeftFloat) {
  Load("<img src=\"" + red + "\" align=left width=50 height=40>Some words beside it");
  EXPECT_EQ(Bounds(shot, kRed), (plat::TRect{3, 0, 53, 40}));
  const int textLeft = FirstTextColumn(0, 40, 0);
  EXPECT_GE(textLeft, 56);
  EXPECT_LT(textLeft, 80);

  Load("<img src=\"" + red + "\" align=right width=50 height=40>Some words");
  EXPECT_EQ(Bounds(shot, kRed), (plat::TRect{347, 0, 397, 40}));
  EXPECT_LT(FirstTextColumn(0, 40, 0), 20);
}

TEST_F(ImagePageTest, MissingPictureShowsItsPlaceholder) {
  Load("<img src=\"" + folder.File("none.bmp") + "\">");
  int inside = 0, outside = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      (x < 24 && y < 24 ? inside : outside) += shot.Pixel(x, y) != kWhite;
  EXPECT_GT(inside, 24);
  EXPECT_EQ(outside, 0);

  // With ALT text the box grows round the text, which is drawn right of the picture.
  Load("<img src=\"" + folder.File("none.bmp") + "\" alt=\"Harbour at dawn\">");
  EXPECT_GT(FirstTextColumn(5, 18, 24), 23);
  int right = 0;
  for (int x = 0; x < shot.width; ++x)
    if (shot.Pixel(x, 10) != kWhite) right = x;
  EXPECT_GT(right, 60);
}

// The font runs of the page that carry a link.
std::vector<html::TFontObj*> LinkRuns(html::TSectionList& document) {
  std::vector<html::TFontObj*> runs;
  for (html::TLinkRun* run : document.LinkRuns) runs.push_back(dynamic_cast<html::TFontObj*>(run));
  return runs;
}

TEST_F(ImagePageTest, FocusedLinkFramesItsPicture) {
  Load("<a href=\"x.html\"><img src=\"" + red + "\" width=30 height=20></a>");
  const plat::TCapturedImage plain = shot;
  const std::vector<html::TFontObj*> runs = LinkRuns(viewer->Document());
  ASSERT_FALSE(runs.empty());
  for (html::TFontObj* run : runs) run->IsFocused = true;
  viewer->PaintPanel().Invalidate();
  const plat::TCapturedImage focused = plat::CaptureControl(viewer->PaintPanel());
  // Only the outline of the 32 x 22 box changes.
  int changed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) {
      if (plain.Pixel(x, y) == focused.Pixel(x, y)) continue;
      ++changed;
      EXPECT_TRUE(x == 0 || x == 31 || y == 0 || y == 21) << x << "," << y;
    }
  EXPECT_GT(changed, 20);
}

TEST_F(ImagePageTest, CssBorderFramesThePicture) {
  for (const std::string align : {"bottom", "top", "middle"}) {
    SCOPED_TRACE(align);
    Load("<p>m<img style=\"border:3px solid #00ff00\" src=\"" + red + "\" align=" + align +
         " width=30 height=20>m</p>");
    const plat::TRect picture = Bounds(shot, kRed);
    ASSERT_EQ(picture.Width(), 30);
    const plat::TRect frame = Bounds(shot, 0xFF00FF00);
    EXPECT_EQ(frame.Left, picture.Left - 3);
    EXPECT_EQ(frame.Right, picture.Right + 3);
    EXPECT_EQ(frame.Top, picture.Top - 3);
    EXPECT_EQ(frame.Bottom, picture.Bottom + 3);
  }
}

TEST_F(ImagePageTest, MapAreasAndServerMapsUnderTheMouse) {
  Load(
      "<map name=\"m\"><area shape=rect coords=\"0,0,10,10\" href=\"area.html\" title=\"Area\">"
      "</map><img src=\"" +
      red + "\" usemap=\"#m\" width=30 height=20 title=\"Picture\">");
  html::THitLink onArea;
  EXPECT_EQ(Hit(5, 5, onArea), html::hlLink | html::hlTitle);
  ASSERT_TRUE(onArea.UrlTarget);
  EXPECT_EQ(onArea.UrlTarget->URL, "area.html");
  EXPECT_EQ(onArea.Title, "Area");
  html::THitLink offArea;
  EXPECT_EQ(Hit(20, 15, offArea), html::hlTitle);
  EXPECT_EQ(offArea.Title, "Picture");
  EXPECT_FALSE(offArea.UrlTarget);

  Load("<a href=\"go.html\"><img src=\"" + red + "\" ismap border=0></a>");
  html::THitLink onMap;
  EXPECT_EQ(Hit(5, 7, onMap), html::hlLink);
  ASSERT_TRUE(onMap.UrlTarget);
  EXPECT_EQ(onMap.UrlTarget->URL, "go.html?5,7");
}

TEST_F(ImagePageTest, ActivePictureChangesUnderTheMouse) {
  const std::string gif = folder.File("two.gif");
  WriteFile(gif, FramesGif({plat::clRed, plat::clBlue}));
  Load("<img src=\"" + gif + "\" active width=20 height=20>");
  EXPECT_EQ(Bounds(shot, kRed), (plat::TRect{0, 0, 20, 20}));
  plat::SimulateMouse(viewer->PaintPanel(), plat::TMouseAction::Move, plat::mbLeft, {5, 5});
  shot = plat::CaptureControl(viewer->PaintPanel());
  EXPECT_EQ(Bounds(shot, kBlue), (plat::TRect{0, 0, 20, 20}));
  plat::SimulateMouse(viewer->PaintPanel(), plat::TMouseAction::Move, plat::mbLeft, {100, 100});
  shot = plat::CaptureControl(viewer->PaintPanel());
  EXPECT_EQ(Bounds(shot, kRed), (plat::TRect{0, 0, 20, 20}));
}

TEST_F(ImagePageTest, PageOfPicturesForTheEye) {
  Load("<p>A picture <img src=\"" + red + "\"> in a line, one <img src=\"" + blue +
       "\" align=middle width=20 height=20> in the middle and one <img src=\"" + blue +
       "\" align=top> on top.</p><p><img src=\"" + red +
       "\" align=left width=80 height=60 hspace=6>Text flows to the right of a left float, "
       "line after line, until it has passed the bottom of the picture and returns to the "
       "left edge of the page.</p><p><a href=\"x.html\">Linked <img src=\"" +
       blue + "\" width=30 height=30></a> and missing: <img src=\"" + folder.File("none.bmp") +
       "\" alt=\"No such file\"> <img src=\"" + folder.File("none.bmp") +
       "\"></p><table border=1 cellpadding=4><tr background=\"" + blue +
       "\"><td>row picture</td><td background=\"" + red +
       "\">cell picture</td>"
       "<td style=\"border:2px solid #00ff00\">no picture</td></tr></table>"
       "<p>m<img style=\"border:3px solid #00ff00\" src=\"" +
       red + "\" align=top width=30 height=20> CSS border</p>");
  EXPECT_FALSE(Bounds(shot, kRed).IsEmpty());
  EXPECT_FALSE(Bounds(shot, kBlue).IsEmpty());
  plat::SaveScreenshot(viewer->PaintPanel(), plat::ScreenshotFolder() + "/image-objects.png");
}

}  // namespace
}  // namespace imageobjects
