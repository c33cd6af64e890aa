// Pictures under the mouse: the events that report the picture and the point inside it, the
// cursor over them, and what a right click hands over.
#include <string>
#include <vector>

#include "InteractionFixture.h"
#include "html/HtmlEngine.h"
#include "html/images/ImageObjects.h"
#include "support/ScratchFolder.h"

namespace html::test {
namespace {

struct PictureEvent {
  plat::TObject* picture;
  int x, y;
  plat::TMouseButton button;
};

class Pictures : public ViewerInteraction {
 protected:
  void SetUp() override {
    ViewerInteraction::SetUp();
    viewer->SetBorderStyle(htNone);
    viewer->SetMarginWidth(0);
    viewer->SetMarginHeight(0);
    plat::TBitmap red;
    red.SetSize(40, 20);
    red.Canvas().Brush().SetColor(plat::clRed);
    red.Canvas().FillRect({0, 0, 40, 20});
    red.SaveToFile(folder.File("red.bmp"));
    // One picture alone at the top left, one inside a link below it.
    Load("<img src=\"" + folder.File("red.bmp") + "\" border=0><br><br>" +
         "<a href=\"big.html\"><img src=\"" + folder.File("red.bmp") + "\" border=0></a>");
  }
  TImageObj* Picture(int index) {
    std::vector<TImageObj*> found;
    for (int y = 0; y < Panel().Height(); ++y) {
      int32_t x0 = 0, y0 = 0;
      auto* image = dynamic_cast<TImageObj*>(viewer->Document().GetObjectAt(1, y, x0, y0));
      if (image && (found.empty() || found.back() != image)) found.push_back(image);
    }
    return index < int(found.size()) ? found[size_t(index)] : nullptr;
  }

  test_support::ScratchFolder folder;
  std::vector<PictureEvent> over, clicks;
};

TEST_F(Pictures, OverAndClickReportThePictureAndThePointInsideIt) {
  viewer->OnImageOver = [&](plat::TObject* sender, plat::TObject* picture, plat::TShiftState, int x,
                            int y) {
    EXPECT_EQ(sender, viewer);
    over.push_back({picture, x, y, plat::mbLeft});
  };
  viewer->OnImageClick = [&](plat::TObject*, plat::TObject* picture, plat::TMouseButton button,
                             plat::TShiftState, int x, int y) {
    clicks.push_back({picture, x, y, button});
  };
  TImageObj* first = Picture(0);
  ASSERT_NE(first, nullptr);
  Move({10, 5});
  ASSERT_EQ(over.size(), 1u);
  EXPECT_EQ(over[0].picture, first);
  EXPECT_EQ(over[0].x, 10);
  EXPECT_EQ(over[0].y, 5);
  EXPECT_EQ(Panel().Cursor(), plat::crArrow);
  Click({39, 19}, plat::mbRight);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].picture, first);
  EXPECT_EQ(clicks[0].x, 39);
  EXPECT_EQ(clicks[0].y, 19);
  EXPECT_EQ(clicks[0].button, plat::mbRight);

  // Beside the picture nothing is reported.
  Move({45, 5});
  Click({45, 5});
  EXPECT_EQ(over.size(), 1u);
  EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(Pictures, ALinkedPictureShowsTheHandAndRightClicksNameBoth) {
  viewer->OnImageOver = [](plat::TObject*, plat::TObject*, plat::TShiftState, int, int) {};
  TImageObj* linked = Picture(1);
  ASSERT_NE(linked, nullptr);
  const plat::TPoint inside{5, linked->DrawY + 7};
  Move(inside);
  EXPECT_EQ(Panel().Cursor(), HandCursor);

  std::vector<TRightClickParameters> seen;
  viewer->OnRightClick = [&](plat::TObject*, TRightClickParameters& parameters) {
    seen.push_back({parameters.URL, parameters.Target, parameters.Image, parameters.ImageX,
                    parameters.ImageY, parameters.ClickWord});
  };
  Click(inside, plat::mbRight);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].URL, "big.html");
  EXPECT_EQ(seen[0].Image, linked);
  EXPECT_EQ(seen[0].ImageX, 5);
  EXPECT_EQ(seen[0].ImageY, 7);
  EXPECT_EQ(seen[0].ClickWord, u"");
}

TEST_F(Pictures, AClickOnAnImageInputSubmitsThePointAfterTheClick) {
  std::vector<std::string> submitted;
  viewer->SetOnFormSubmit([&](plat::TObject*, const std::string& action, const std::string&,
                              const std::string&, const std::string&, plat::TStringList* results) {
    submitted.push_back(action + " " + (results ? results->Text() : ""));
  });
  Load("<form action=\"go.cgi\"><input type=image name=pt border=0 src=\"" +
       folder.File("red.bmp") + "\"></form>");
  Click({12, 6});
  EXPECT_TRUE(submitted.empty());
  plat::Application().ProcessMessages();
  EXPECT_EQ(submitted, std::vector<std::string>{"go.cgi pt.x=12\npt.y=6\n"});
}

}  // namespace
}  // namespace html::test
