// Background pictures of table cells and rows, tiled over the cells of a page in a viewer.
#include "ImageObjectSupport.h"
#include "html/viewer/PageViewer.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace imageobjects {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

// 4 x 2 pixels: two red columns, then two blue ones.
std::string Stripes() {
  plat::TBitmap bitmap;
  bitmap.SetPixelFormat(plat::pf24bit);
  bitmap.SetSize(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) bitmap.Canvas().SetPixel(x, y, x < 2 ? plat::clRed : plat::clBlue);
  plat::TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

class CellBackgroundTest : public test_support::ShownFormTest {
 protected:
  CellBackgroundTest() : ShownFormTest({0, 0, 420, 320}) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    viewer = Add<html::TPageViewer>(0, 0, 400, 300);
    viewer->SetBorderStyle(html::htNone);
    viewer->SetDefBackground(plat::clWhite);
    viewer->SetMarginWidth(0);
    viewer->SetMarginHeight(0);
    stripes = folder.File("stripes.bmp");
    WriteFile(stripes, Stripes());
    red = folder.File("red.bmp");
    WriteFile(red, SolidBmp(3, 3, plat::clRed));
  }
  void Load(const std::string& page) {
    viewer->LoadFromBuffer(page.data(), int64_t(page.size()), "");
    shot = plat::CaptureControl(viewer->PaintPanel());
  }
  uint32_t At(int x, int y) const { return shot.Pixel(x, y); }
  // The red pixels of the shot's top left 100 x 60: how many, and their bounds.
  struct TInk {
    int Count = 0, Left = 1000, Top = 1000, Right = -1, Bottom = -1;
  };
  TInk RedInk() const {
    TInk ink;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x)
        if (At(x, y) == kRed) {
          ++ink.Count;
          ink.Left = std::min(ink.Left, x);
          ink.Right = std::max(ink.Right, x);
          ink.Top = std::min(ink.Top, y);
          ink.Bottom = std::max(ink.Bottom, y);
        }
    return ink;
  }
  // The first column of row y whose pixel is not white, or -1.
  int FirstInk(int y) const {
    for (int x = 0; x < shot.width; ++x)
      if (At(x, y) != kWhite) return x;
    return -1;
  }

  test_support::ScratchFolder folder;
  std::string stripes, red;
  html::TPageViewer* viewer = nullptr;
  plat::TCapturedImage shot;
};

TEST_F(CellBackgroundTest, PictureTilesFromTheCellsCorner) {
  Load(
      "<table cellspacing=0 cellpadding=0 border=0><tr><td width=60 height=30>"
      "</td><td background=\"" +
      stripes + "\" width=50 height=30></td></tr></table>");
  const int left = FirstInk(10);
  ASSERT_GT(left, 30);
  for (int y : {1, 2, 15, 29})
    for (int dx = 0; dx < 48; ++dx)
      EXPECT_EQ(At(left + dx, y), dx % 4 < 2 ? kRed : kBlue) << dx << "," << y;
  EXPECT_EQ(At(left - 1, 10), kWhite);
  EXPECT_EQ(At(left + 10, 30), kWhite);
}

TEST_F(CellBackgroundTest, RowPictureGoesToCellsWithoutTheirOwn) {
  Load("<table cellspacing=0 cellpadding=0 border=0><tr background=\"" + red +
       "\"><td width=40 height=20></td><td background=\"" + stripes +
       "\" width=40 height=20></td></tr></table>");
  EXPECT_EQ(At(0, 1), kRed);
  EXPECT_EQ(At(10, 19), kRed);
  // The second cell shows its own stripes: red, red, blue, blue from its left edge.
  int firstBlue = 0;
  while (firstBlue < 100 && At(firstBlue, 5) != kBlue) ++firstBlue;
  EXPECT_GE(firstBlue, 40);
  EXPECT_LT(firstBlue, 60);
  EXPECT_EQ(At(firstBlue + 1, 5), kBlue);
  EXPECT_EQ(At(firstBlue + 2, 5), kRed);
}

TEST_F(CellBackgroundTest, CssPlacesASinglePicture) {
  // Style text is folded to lower case: the page names its picture relative to itself.
  const std::string page = folder.File("page.html");
  WriteFile(page,
            "<table cellspacing=0 cellpadding=0 border=0><tr><td style=\"background-image:"
            "url('red.bmp');background-repeat:no-repeat;background-position:right bottom\" "
            "width=40 height=20></td></tr></table>");
  viewer->LoadFromFile(page);
  shot = plat::CaptureControl(viewer->PaintPanel());
  const TInk ink = RedInk();
  EXPECT_EQ(ink.Count, 9);
  EXPECT_EQ(ink.Bottom, 19);
  EXPECT_GT(ink.Right, 30);
}

TEST_F(CellBackgroundTest, OnePixelPicturesStretchOnlyWhereTheyRepeat) {
  WriteFile(folder.File("dot.bmp"), SolidBmp(1, 1, plat::clRed));
  const std::string page = folder.File("dot.html");
  for (const std::string repeat : {"no-repeat", "repeat-x", "repeat-y"}) {
    SCOPED_TRACE(repeat);
    WriteFile(page,
              "<table cellspacing=0 cellpadding=0 border=0><tr><td style=\"background-image:"
              "url('dot.bmp');background-repeat:" +
                  repeat +
                  ";background-position:right bottom\" width=40 height=20></td></tr></table>");
    viewer->LoadFromFile(page);
    shot = plat::CaptureControl(viewer->PaintPanel());
    // The cell's bottom right pixel, its bottom row or its right column.
    const TInk ink = RedInk();
    EXPECT_EQ(ink.Bottom, 19);
    EXPECT_GT(ink.Right, 30);
    EXPECT_EQ(ink.Count, (ink.Right - ink.Left + 1) * (ink.Bottom - ink.Top + 1));
    EXPECT_EQ(ink.Left, repeat == "repeat-x" ? 0 : ink.Right);
    EXPECT_EQ(ink.Top, repeat == "repeat-y" ? 0 : ink.Bottom);
  }
}

TEST_F(CellBackgroundTest, MissingPictureLeavesTheCellAlone) {
  Load("<table cellspacing=0 cellpadding=0 border=0><tr><td bgcolor=blue background=\"" +
       folder.File("none.bmp") + "\" width=40 height=20></td></tr></table>");
  EXPECT_EQ(At(5, 5), kBlue);
  EXPECT_EQ(At(20, 10), kBlue);
}

}  // namespace
}  // namespace imageobjects
