// What an element's CSS makes of an image object.
#include "ImageObjectSupport.h"
#include "html/css/CssStyles.h"

namespace imageobjects {
namespace {

class ImageStyleTest : public ImageObjectTest {
 protected:
  void Apply(html::TImageObj& image,
             const std::vector<std::pair<std::string, std::string>>& declarations) {
    html::TProperties prop;
    for (const auto& [name, value] : declarations) prop.AddPropertyByName(name, value);
    image.ApplyProperties(prop);
  }
  void SetUp() override { WriteFile(red, SolidBmp(40, 20, plat::clRed)); }
  std::string red = folder.File("red.bmp");
};

TEST_F(ImageStyleTest, WidthAndHeight) {
  auto percent = Make({{html::WidthSy, "80", 80}});
  Apply(*percent, {{"width", "50%"}, {"height", "25%"}});
  EXPECT_TRUE(percent->PercentWidth);
  EXPECT_EQ(percent->SpecWidth, 50);
  EXPECT_TRUE(percent->PercentHeight);
  EXPECT_EQ(percent->SpecHeight, 25);

  auto pixels = Make({{html::WidthSy, "50%", 50}, {html::HeightSy, "30", 30}});
  Apply(*pixels, {{"width", "120px"}});
  EXPECT_FALSE(pixels->PercentWidth);
  EXPECT_EQ(pixels->SpecWidth, 120);
  EXPECT_EQ(pixels->SpecHeight, 30);  // not given: the attribute stays

  auto automatic = Make({{html::WidthSy, "80", 80}});
  Apply(*automatic, {{"width", "auto"}});
  EXPECT_EQ(automatic->SpecWidth, -1);
  EXPECT_FALSE(automatic->PercentWidth);

  // Style percentages may exceed the whole: 150% of a 200-pixel line is 300 pixels.
  auto wide = Make({{html::SrcSy, red}});
  Apply(*wide, {{"width", "150%"}});
  EXPECT_TRUE(wide->PercentWidth);
  EXPECT_EQ(wide->SpecWidth, 150);
  Size(*wide, 200);
  EXPECT_EQ(wide->ObjWidth, 300);
  EXPECT_EQ(wide->ObjHeight, 150);  // the 40 x 20 picture's proportions

  auto huge = Make({{html::SrcSy, red}});
  Apply(*huge, {{"width", "99999999%"}});
  Size(*huge, 30000);
  EXPECT_EQ(huge->ObjWidth, plat::kMaxPictureSide);
}

TEST_F(ImageStyleTest, FloatWinsOverVerticalAlignAndBringsSpacing) {
  auto image = Make({});
  Apply(*image, {{"vertical-align", "top"}, {"float", "right"}});
  EXPECT_EQ(image->ObjAlign, html::aRight);
  EXPECT_EQ(image->HSpaceL, 3);
  EXPECT_EQ(image->HSpaceR, 3);

  auto spaced = Make({{html::HSpaceSy, "10", 10}});
  Apply(*spaced, {{"float", "left"}});
  EXPECT_EQ(spaced->ObjAlign, html::aLeft);
  EXPECT_EQ(spaced->HSpaceL, 10);

  auto middle = Make({});
  Apply(*middle, {{"vertical-align", "middle"}});
  EXPECT_EQ(middle->ObjAlign, html::aMiddle);
  EXPECT_EQ(middle->HSpaceL, 0);
}

TEST_F(ImageStyleTest, MarginsAndBorderWidthsMakeTheSpacing) {
  auto image = Make({{html::HSpaceSy, "5", 5}, {html::VSpaceSy, "6", 6}, {html::BorderSy, "3", 3}});
  Apply(*image, {{"margin-left", "7px"}, {"margin-bottom", "2px"}});
  EXPECT_EQ(image->HSpaceL, 7);
  EXPECT_EQ(image->HSpaceR, 5);
  EXPECT_EQ(image->VSpaceT, 6);
  EXPECT_EQ(image->VSpaceB, 2);
  EXPECT_EQ(image->BorderSize, 3);
  EXPECT_FALSE(image->NoBorder);

  // A CSS border is drawn round the element instead: the spacing makes room for it.
  auto bordered = Make({{html::BorderSy, "3", 3}});
  Apply(*bordered, {{"border-style", "solid"},
                    {"border-left-width", "2px"},
                    {"border-right-width", "4px"},
                    {"border-top-width", "1px"},
                    {"border-bottom-width", "0px"}});
  EXPECT_TRUE(bordered->NoBorder);
  EXPECT_EQ(bordered->BorderSize, 0);
  EXPECT_EQ(bordered->HSpaceL, 2);
  EXPECT_EQ(bordered->HSpaceR, 4);
  EXPECT_EQ(bordered->VSpaceT, 1);
  EXPECT_EQ(bordered->VSpaceB, 0);

  auto huge = Make({});
  Apply(*huge, {{"margin-left", "99999999px"}});
  EXPECT_EQ(huge->HSpaceL, plat::kMaxPictureSide);
}

TEST_F(ImageStyleTest, TitleFromTheElementOnlyWithoutOwnText) {
  html::TProperties prop;
  prop.Title = "from style";
  auto bare = Make({});
  bare->ApplyProperties(prop);
  EXPECT_EQ(bare->ImageTitle, "from style");
  EXPECT_EQ(bare->Title, "from style");

  auto alt = Make({{html::AltSy, "alt"}});
  alt->ApplyProperties(prop);
  EXPECT_EQ(alt->Title, "alt");
}

}  // namespace
}  // namespace imageobjects
