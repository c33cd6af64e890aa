// Cell backgrounds, sunken frames and culling, checked pixel by pixel.
#include <gtest/gtest.h>

#include "TableFixture.h"
#include "html/css/CssStyles.h"

namespace html::test {
namespace {

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kDark = 0x008000, kLight = 0x00FFFF;
constexpr TColor kYellow = 0x00FFFF;

class TableDrawTest : public TableTest {
 protected:
  // BORDER=1 and two cells of 10 x 6 content in a table asked to be 50 wide: each cell box is
  // 22 x 10 after 2 pixels of spacing; cells span x 2..23 and 26..47, y 2..11.
  void BuildTwoCells() {
    NewTable({{BorderSy, 1, "1"}});
    table->WidthRequest = 50;
    table->LightColor = kLight;
    table->DarkColor = kDark;
    AddRow();
    TCellObj& left = AddCell();
    leftItem = Put(left, 6, 10, 10);
    left.Content->HasFill = true;
    left.Content->FillColor = kRed;
    TCellObj& right = AddCell();
    rightItem = Put(right, 6, 10, 10);
    right.Content->HasFill = true;
    right.Content->FillColor = kBlue;
    ASSERT_EQ(LayOut(200), 14);
    ASSERT_EQ(table->ColWidths, (std::vector<int32_t>{24, 24}));
  }
  TFixedItem* leftItem = nullptr;
  TFixedItem* rightItem = nullptr;
};

TEST_F(TableDrawTest, CellsAreFilledAndFramedSunkenInsideTheirSpacing) {
  BuildTwoCells();
  Paint(60, 20);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(At(1, y), kWhite) << y;
  for (int x = 0; x < 60; ++x) {
    EXPECT_EQ(At(x, 1), kWhite) << x;
    EXPECT_EQ(At(x, 12), kWhite) << x;
  }
  EXPECT_EQ(At(24, 7), kWhite);
  EXPECT_EQ(At(25, 7), kWhite);
  EXPECT_EQ(At(48, 7), kWhite);
  // Dark at the left and top, light at the right and bottom.
  for (int left : {2, 26}) {
    EXPECT_EQ(At(left, 6), kDark);
    EXPECT_EQ(At(left + 10, 2), kDark);
    EXPECT_EQ(At(left + 21, 6), kLight);
    EXPECT_EQ(At(left + 10, 11), kLight);
  }
  for (int y = 3; y <= 10; ++y) {
    EXPECT_EQ(At(10, y), kRed) << y;
    EXPECT_EQ(At(40, y), kBlue) << y;
  }
  // Content starts inside the frame and the padding.
  EXPECT_EQ(leftItem->DrawnX, 4);
  EXPECT_EQ(rightItem->DrawnX, 28);
}

TEST_F(TableDrawTest, NothingIsPaintedOutsideTheClipOrBelowTheScroll) {
  BuildTwoCells();
  Paint(60, 40, {0, 20, 60, 40});
  EXPECT_EQ(At(10, 7), kWhite);
  document.ScrollY = 100;
  Paint(60, 20);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(At(10, y), kWhite) << y;
}

TEST_F(TableDrawTest, CellWithoutContentGetsNoFrame) {
  NewTable({{BorderSy, 1, "1"}});
  table->WidthRequest = 50;
  table->LightColor = kLight;
  table->DarkColor = kDark;
  AddRow();
  AddCell().Content->HasFill = false;
  LayOut(200);
  Paint(60, 20);
  for (int x = 0; x < 60; ++x)
    for (int y = 0; y < 20; ++y) ASSERT_EQ(At(x, y), kWhite) << x << "," << y;
}

TEST_F(TableDrawTest, CssBordersReplaceTheSunkenFrame) {
  NewTable({{BorderSy, 1, "1"}});
  table->WidthRequest = 30;
  AddRow();
  TProperties prop;
  for (const auto& [name, value] : {std::pair{"border-style", "solid"},
                                    {"border-top-width", "2px"},
                                    {"border-right-width", "2px"},
                                    {"border-bottom-width", "2px"},
                                    {"border-left-width", "2px"},
                                    {"border-color", "red"},
                                    {"background-color", "yellow"}}) {
    prop.AddPropertyByName(name, value);
    prop.GivenHere[size_t(FindPropertyIndex(name))] = true;
  }
  table->RowList.Last()->Add(std::make_unique<TCellObj>(&document, nullptr, &prop, VAlignMiddle));
  TCellObj& cell = *table->RowList.Last()->Last();
  Put(cell, 6, 10, 10);
  // Padding 1 and border 2 around 6 rows of content, below 2 of spacing: the box is x 2..27,
  // y 2..13, its ring two pixels wide.
  ASSERT_EQ(LayOut(200), 16);
  EXPECT_EQ(cell.HorzExtra, 6);
  Paint(32, 16);
  const auto inside = [](int x, int y, int l, int t, int r, int b) {
    return x >= l && x <= r && y >= t && y <= b;
  };
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      const TColor expected = inside(x, y, 4, 4, 25, 11)   ? kYellow
                              : inside(x, y, 2, 2, 27, 13) ? kRed
                                                           : kWhite;
      ASSERT_EQ(At(x, y), expected) << x << "," << y;
    }
}

TEST_F(TableDrawTest, LinkCellsAnswerHitTestsInsideTheirBox) {
  NewTable();
  table->WidthRequest = 50;
  AddRow();
  Put(AddCell({{HrefSy, 0, "next.html"}, {TargetSy, 0, "main"}}), 6, 10, 10);
  LayOut(200);
  Paint(60, 20);
  THitLink hit;
  EXPECT_EQ(table->HitTestLink(canvas, 10, 5, hit) & hlLink, hlLink);
  ASSERT_TRUE(hit.UrlTarget);
  EXPECT_EQ(hit.UrlTarget->URL, "next.html");
  EXPECT_EQ(hit.UrlTarget->Target, "main");
  THitLink miss;
  EXPECT_EQ(table->HitTestLink(canvas, 55, 5, miss), 0);
  EXPECT_EQ(table->HitTestLink(canvas, 10, 1, miss), 0);  // in the spacing above
}

}  // namespace
}  // namespace html::test
