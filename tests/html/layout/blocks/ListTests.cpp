// List items: marker kinds from the list and its TYPE, numbering as text, the first line's
// baseline, and markers painted left of the content.
#include "platform/runtime/SysUtils.h"
#include "tests/html/layout/blocks/BlockFixture.h"

namespace html::test {
namespace {

constexpr TColor kBlue = plat::RGB(0, 0, 255);

TEST(ListMarkers, NumbersAsText) {
  struct Case {
    uint8_t style;
    int32_t number;
    std::u16string text;
  };
  const Case cases[] = {
      {lmDecimal, 12, u"12."},
      {lmLowerAlpha, 1, u"a."},
      {lmUpperAlpha, 27, u"Z."},
      {lmLowerAlpha, 0, u"a."},
      {lmLowerRoman, 25, u"xx."},
      {lmLowerRoman, 4, u"iv."},
      {lmLowerRoman, 14, u"xiv."},
      {lmUpperRoman, 19, u"XIX."},
      {lmUpperRoman, 9, u"IX."},
      {lmUpperRoman, 0, u"0."},
      {lmDisc, 3, u""},
      {lmNone, 1, u""},
      {lmBlank, 1, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ListMarkerText(c.style, c.number), c.text) << int(c.style) << " " << c.number;
  }
}

class ListItems : public BlockTest {
 protected:
  TBlockLI* AddItem(Symb list, bool plain, char type, int level, TDeclarations css = {},
                    int32_t number = 1) {
    auto prop = Props("li", css);
    auto item = std::make_unique<TBlockLI>(&document, *prop, &document, list, plain, type, number,
                                           level, nullptr);
    TBlockLI* raw = item.get();
    document.Add(std::move(item), 0);
    return raw;
  }
};

TEST_F(ListItems, MarkerKindsFollowTheListAndItsType) {
  struct Case {
    Symb list;
    bool plain;
    char type;
    int level;
    uint8_t kind, style;
  };
  const Case cases[] = {
      {OLSy, false, 'A', 1, lkOrdered, lmUpperAlpha},
      {OLSy, false, 'I', 1, lkOrdered, lmUpperRoman},
      {OLSy, false, 'a', 1, lkOrdered, lmLowerAlpha},
      {OLSy, false, 'i', 1, lkOrdered, lmLowerRoman},
      {OLSy, false, '1', 1, lkOrdered, lmDecimal},
      {ULSy, false, ' ', 1, lkUnordered, lmDisc},
      {ULSy, false, ' ', 2, lkUnordered, lmCircle},
      {DirSy, false, ' ', 3, lkUnordered, lmSquare},
      {MenuSy, false, ' ', 4, lkUnordered, lmDisc},
      {ULSy, true, ' ', 1, lkUnordered, lmNone},
      {DLSy, false, ' ', 1, lkDefinition, lmDisc},
      {PSy, false, ' ', 1, lkOther, lmDisc},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.type) + std::to_string(c.level));
    TBlockLI* item = AddItem(c.list, c.plain, c.type, c.level);
    EXPECT_EQ(item->ListKind, c.kind);
    if (c.kind != lkDefinition) {
      EXPECT_EQ(item->MarkerStyle, c.style);
    }
  }
  EXPECT_EQ(AddItem(OLSy, false, '1', 1, {{"list-style-type", "upper-roman"}})->MarkerStyle,
            lmUpperRoman);
  EXPECT_EQ(AddItem(ULSy, false, ' ', 1, {{"list-style-type", "blank"}})->MarkerStyle, lmDisc);
}

TEST_F(ListItems, AnItemOutsideAListGetsALeftMarginOnlyWhenNoneIsSet) {
  TBlockLI* bare = AddItem(PSy, false, ' ', 1);
  TBox* box = AddBox(bare->Content, 10);
  TBlockLI* indented = AddItem(PSy, false, ' ', 1, {{"margin-left", "30px"}});
  TBox* other = AddBox(indented->Content, 10);
  TBlockLI* inList = AddItem(ULSy, false, ' ', 1);
  TBox* third = AddBox(inList->Content, 10);
  LayOut(200);
  EXPECT_EQ(box->LaidX, 16);
  EXPECT_EQ(other->LaidX, 30);
  EXPECT_EQ(third->LaidX, 0);
}

TEST_F(ListItems, TheFirstLineGivesTheMarkerItsBaseline) {
  TBlockLI* item = AddItem(ULSy, false, ' ', 1, {{"margin-top", "5px"}});
  TBox* first = AddBox(item->Content, 20);
  first->Baseline = 15;
  TBox* second = AddBox(item->Content, 20);
  second->Baseline = 15;
  LayOut(200);
  EXPECT_EQ(item->FirstLineY, 5 + 15);
  EXPECT_EQ(document.FirstBaselineSlot, nullptr);
}

TEST_F(ListItems, BulletsAreDrawnLeftOfTheContentOnTheBaseline) {
  // Content x 40, baseline 20: the bullets sit in columns 24 to 31, rows 13 to 20.
  for (uint8_t level : {1, 2, 3}) {
    SCOPED_TRACE(int(level));
    document.Clear();
    TBlockLI* item = AddItem(ULSy, false, ' ', level, {{"margin-left", "40px"}, {"color", "blue"}});
    AddBox(item->Content, 30)->Baseline = 20;
    LayOut(100);
    Paint(60, 40);
    const uint8_t style = item->MarkerStyle;
    int blue = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x) {
        const bool inBox = style == lmCircle ? x >= 24 && x < 31 && y >= 13 && y < 20
                                             : x >= 25 && x < 30 && y >= 14 && y < 19;
        if (At(x, y) == kWhite) continue;
        ++blue;
        EXPECT_TRUE(inBox) << x << "," << y;
        EXPECT_EQ(At(x, y), kBlue) << x << "," << y;
      }
    if (style == lmSquare) {
      EXPECT_EQ(blue, 25);
    }
    if (style == lmDisc) {
      EXPECT_EQ(At(27, 16), kBlue);
    }
    if (style == lmCircle) {
      EXPECT_EQ(At(27, 16), kWhite);  // not filled
      EXPECT_GT(blue, 8);
    }
  }
}

TEST_F(ListItems, NumbersEndTenPixelsLeftOfTheContent) {
  TBlockLI* item = AddItem(OLSy, false, '1', 1, {{"margin-left", "50px"}, {"color", "blue"}}, 7);
  AddBox(item->Content, 30)->Baseline = 20;
  TBlockLI* hidden = AddItem(OLSy, false, '1', 1, {{"visibility", "hidden"}}, 8);
  AddBox(hidden->Content, 30)->Baseline = 20;
  LayOut(100);
  Paint(80, 70);
  int inked = 0;
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 80; ++x) {
      if (At(x, y) == kWhite) continue;
      ++inked;
      EXPECT_LT(x, 40) << x << "," << y;
      EXPECT_LT(y, 24) << x << "," << y;
    }
  EXPECT_GT(inked, 10);
}

}  // namespace
}  // namespace html::test
