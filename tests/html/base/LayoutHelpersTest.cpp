// Float indents, the ID table and the engine's start-up values.
#include <gtest/gtest.h>

#include "html/HtmlEngine.h"
#include "html/base/IDNames.h"
#include "html/layout/sections/IndentManager.h"
#include "platform/windows/Application.h"

namespace html {
namespace {

TEST(Indents, SideFloatBottomsAndNextChange) {
  IndentManager indents;
  indents.Reset(0, 400);
  int32_t left = -1, right = -1;
  indents.SideFloatsBottom(left, right);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(right, 0);
  EXPECT_EQ(indents.FloatsBottom(), 0);
  EXPECT_EQ(indents.NextIndentChangeY(30), 30);

  indents.AddBlockFloat(50, 120, TFloatSide::Left, 50);
  indents.SideFloatsBottom(left, right);
  EXPECT_EQ(left, 101);
  EXPECT_EQ(right, 0);

  indents.AddBlockFloat(60, 100, TFloatSide::Right, 20);
  EXPECT_EQ(indents.LeftIndent(49), 0);
  EXPECT_EQ(indents.LeftIndent(50), 120);
  EXPECT_EQ(indents.LeftIndent(99), 120);
  EXPECT_EQ(indents.LeftIndent(100), 0);
  EXPECT_EQ(indents.RightLimit(59), 400);
  EXPECT_EQ(indents.RightLimit(60), 300);
  EXPECT_EQ(indents.RightLimit(80), 400);
  EXPECT_EQ(indents.FloatsBottom(), 100);
  EXPECT_EQ(indents.NextIndentChangeY(55), 80);
  EXPECT_EQ(indents.NextIndentChangeY(80), 100);
  EXPECT_EQ(indents.NextIndentChangeY(100), 100);
  indents.AddBlockFloat(0, 10, TFloatSide::None, 500);
  EXPECT_EQ(indents.FloatsBottom(), 100);
}

TEST(Indents, OnlyTheActiveBlockAndFloatsCount) {
  IndentManager indents;
  const int blockA = 0, blockB = 0;
  indents.Reset(10, 500);
  indents.ActiveBlock = &blockA;
  const int leftA = indents.AddLeft(40, 0);
  indents.AddRight(300, 0);
  indents.ActiveBlock = &blockB;
  indents.AddLeft(25, 0);
  EXPECT_EQ(indents.LeftIndent(5), 35);  // B's own record plus the left edge
  EXPECT_EQ(indents.RightLimit(5), 500);
  indents.ActiveBlock = &blockA;
  EXPECT_EQ(indents.LeftIndent(5), 50);
  EXPECT_EQ(indents.RightLimit(5), 310);
  // Open records are no floats.
  EXPECT_EQ(indents.FloatsBottom(), 0);
  indents.LeftList[leftA]->Bottom = 3;
  EXPECT_EQ(indents.LeftIndent(5), 10);
  indents.DeleteLeft(leftA);
  EXPECT_EQ(indents.LeftList.Count(), 1);
  indents.Clear();
  EXPECT_EQ(indents.LeftList.Count() + indents.RightList.Count(), 0);
  EXPECT_EQ(indents.ActiveBlock, nullptr);
}

// A document whose text lines are 20 pixels apart, one line per 100 source bytes.
class TLinedDocument : public TIDDocument {
 public:
  int32_t SourcePosToY(int32_t sourcePos) override { return sourcePos / 100 * 20; }
};

// An object of the document tree that the table must not free.
class TAnchor : public TIDObject {
 public:
  int32_t GetYPosition() override { return 777; }
};

TEST(IDNames, TheLastEntryOfANameWins) {
  TLinedDocument document;
  TIDNameList names(&document);
  names.AddChPosObject("Chapter", 150);
  names.AddChPosObject("intro", 20);
  names.AddChPosObject("CHAPTER", 420);
  ASSERT_EQ(names.Count(), 2);
  ASSERT_NE(names.Find("chapter"), nullptr);
  EXPECT_EQ(names.Find("chapter")->GetYPosition(), 80);
  EXPECT_EQ(names.Find("Intro")->GetYPosition(), 0);
  EXPECT_EQ(names.Find("missing"), nullptr);

  TAnchor anchor;
  names.AddObject("intro", &anchor);
  EXPECT_EQ(names.Find("intro"), &anchor);
  names.AddChPosObject("intro", 300);
  EXPECT_EQ(names.Find("intro")->GetYPosition(), 60);
  names.Clear();
  EXPECT_EQ(names.Count(), 0);
  EXPECT_EQ(anchor.GetYPosition(), 777);
}

TEST(EngineValues, ViewerPaletteLayout) {
  const plat::TPalette palette = CreateViewerPalette();
  ASSERT_EQ(palette.Count(), 256);
  const auto rgb = [&](int i) {
    const plat::TPaletteEntry e = palette.Entry(i);
    return std::array<int, 3>{e.peRed, e.peGreen, e.peBlue};
  };
  using Rgb = std::array<int, 3>;
  EXPECT_EQ(rgb(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(rgb(255), (Rgb{255, 255, 255}));
  EXPECT_EQ(rgb(10), (Rgb{55, 55, 55}));
  EXPECT_EQ(rgb(11), (Rgb{115, 55, 55}));  // red changes fastest
  EXPECT_EQ(rgb(15), (Rgb{255, 55, 55}));
  EXPECT_EQ(rgb(16), (Rgb{55, 115, 55}));
  EXPECT_EQ(rgb(46), (Rgb{55, 55, 115}));  // blue changes slowest
  EXPECT_EQ(rgb(224), (Rgb{235, 255, 255}));
  EXPECT_EQ(rgb(225), (Rgb{135, 135, 135}));
  EXPECT_EQ(rgb(230), (Rgb{160, 160, 160}));
  EXPECT_EQ(rgb(231), (Rgb{170, 170, 170}));
  EXPECT_EQ(rgb(244), (Rgb{245, 245, 245}));
  EXPECT_EQ(rgb(245), (Rgb{255, 255, 254}));
}

TEST(EngineValues, ScreenDepths) {
  SetScreenDepth(4);
  EXPECT_EQ(ScreenColorBits(), 4);
  EXPECT_EQ(ViewerPalette(), nullptr);
  EXPECT_EQ(PaletteRelative(), 0x02000000u);
  SetScreenDepth(8);
  EXPECT_EQ(ScreenColorBits(), 8);
  ASSERT_NE(ViewerPalette(), nullptr);
  EXPECT_EQ(*ViewerPalette(), CreateViewerPalette());
  EXPECT_EQ(PaletteRelative(), 0x02000000u);
  EXPECT_EQ(CopyViewerPalette(*ViewerPalette()), *ViewerPalette());
  SetScreenDepth(16);
  EXPECT_EQ(ScreenColorBits(), 24);
  EXPECT_EQ(ViewerPalette(), nullptr);
  EXPECT_EQ(PaletteRelative(), 0u);
  EXPECT_TRUE(CopyViewerPalette(CreateViewerPalette()).Empty());
  SetScreenDepth(32);
}

TEST(EngineValues, StartUpMakesPicturesCursorsAndTheWaitStream) {
  EXPECT_EQ(ImageWaitStream(), nullptr);
  StartHtmlEngine();
  StartHtmlEngine();
  EXPECT_EQ(ScreenColorBits(), 24);
  for (plat::TBitmap* picture : {DefaultImageBitmap(), ErrorImageBitmap(), ErrorImageMask()}) {
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 16);
    EXPECT_EQ(picture->Height(), 16);
  }
  EXPECT_TRUE(ErrorImageMask()->Monochrome());
  EXPECT_EQ(ErrorImageMask()->Pixel(0, 0), plat::clWhite);  // the corner is transparent
  EXPECT_EQ(ErrorImageMask()->Pixel(8, 8), plat::clBlack);
  for (plat::TCursor cursor : {HandCursor, UpDownCursor, UpOnlyCursor, DownOnlyCursor})
    EXPECT_TRUE(plat::Screen().HasCursor(cursor));
  plat::TMemoryStream* wait = ImageWaitStream();
  ASSERT_NE(wait, nullptr);
  StopHtmlEngine();
  EXPECT_EQ(ImageWaitStream(), wait);  // the first start is still open
  StopHtmlEngine();
  EXPECT_EQ(ImageWaitStream(), nullptr);
  EXPECT_EQ(DefaultImageBitmap(), nullptr);
}

}  // namespace
}  // namespace html
