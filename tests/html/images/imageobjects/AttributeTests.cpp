// What an IMG's attributes make of an image object.
#include "ImageObjectSupport.h"

namespace imageobjects {
namespace {

using html::aBottom;
using html::aLeft;
using html::aMiddle;
using html::aRight;
using html::aTop;

TEST_F(ImageObjectTest, AltTextLosesItsTrailingLineBreaksAndServesAsTitle) {
  auto image = Make({{html::AltSy, "Sunset\r\n\n"}});
  EXPECT_EQ(image->AltText, "Sunset");
  EXPECT_EQ(image->AltTextW, u"Sunset");
  EXPECT_EQ(image->ImageTitle, "Sunset");
  EXPECT_EQ(image->Alt, "Sunset");
  EXPECT_EQ(image->Title, "Sunset");

  // TITLE wins whichever comes first.
  auto titled = Make({{html::TitleSy, "Evening"}, {html::AltSy, "Sunset"}});
  EXPECT_EQ(titled->ImageTitle, "Evening");
  EXPECT_EQ(titled->Title, "Evening");
  EXPECT_EQ(titled->AltText, "Sunset");

  auto wide = Make({{html::AltSy, "Caf\xC3\xA9"}});
  EXPECT_EQ(wide->AltTextW, u"Caf\u00E9");
}

TEST_F(ImageObjectTest, AlignmentAndSpacing) {
  EXPECT_EQ(Make({{html::AlignSy, "top"}})->ObjAlign, aTop);
  EXPECT_EQ(Make({{html::AlignSy, "AbsMiddle"}})->ObjAlign, aMiddle);
  EXPECT_EQ(Make({{html::AlignSy, "middle"}})->ObjAlign, aMiddle);
  EXPECT_EQ(Make({{html::AlignSy, "baseline"}})->ObjAlign, aBottom);
  EXPECT_EQ(Make({{html::AlignSy, "nonsense"}})->ObjAlign, aBottom);

  auto plain = Make({});
  EXPECT_EQ(plain->HSpaceL, 0);
  EXPECT_EQ(plain->HSpaceR, 0);

  // Floats without HSPACE keep 3 pixels on each side; HSPACE="0" is respected.
  auto left = Make({{html::AlignSy, "LEFT"}});
  EXPECT_EQ(left->ObjAlign, aLeft);
  EXPECT_EQ(left->HSpaceL, 3);
  EXPECT_EQ(left->HSpaceR, 3);
  auto right = Make({{html::AlignSy, "right"}, {html::HSpaceSy, "0", 0}});
  EXPECT_EQ(right->ObjAlign, aRight);
  EXPECT_EQ(right->HSpaceL, 0);

  auto spaced = Make({{html::HSpaceSy, "-60", -60}, {html::VSpaceSy, "7", 7}});
  EXPECT_EQ(spaced->HSpaceL, 40);
  EXPECT_EQ(spaced->HSpaceR, 40);
  EXPECT_EQ(spaced->VSpaceT, 7);
  EXPECT_EQ(spaced->VSpaceB, 7);
  EXPECT_EQ(Make({{html::VSpaceSy, "x", INT32_MIN}})->VSpaceT, 40);
}

TEST_F(ImageObjectTest, RequestedSizes) {
  auto percent = Make({{html::WidthSy, "50%", 50}, {html::HeightSy, "0%", 0}});
  EXPECT_TRUE(percent->PercentWidth);
  EXPECT_EQ(percent->SpecWidth, 50);
  EXPECT_TRUE(percent->PercentHeight);
  EXPECT_EQ(percent->SpecHeight, 0);

  auto tooMuch = Make({{html::WidthSy, "150%", 150}});
  EXPECT_FALSE(tooMuch->PercentWidth);
  EXPECT_EQ(tooMuch->SpecWidth, -1);

  auto pixels = Make({{html::WidthSy, "120", 120}, {html::HeightSy, "-5", -5}});
  EXPECT_EQ(pixels->SpecWidth, 120);
  EXPECT_FALSE(pixels->PercentWidth);
  EXPECT_EQ(pixels->SpecHeight, -1);

  EXPECT_EQ(Make({{html::WidthSy, "99999999", 99999999}})->SpecWidth, plat::kMaxPictureSide);
}

TEST_F(ImageObjectTest, BordersMapsAndFlags) {
  auto none = Make({{html::BorderSy, "0", 0}});
  EXPECT_TRUE(none->NoBorder);
  EXPECT_EQ(none->BorderSize, 0);
  auto wide = Make({{html::BorderSy, "25", 25}});
  EXPECT_FALSE(wide->NoBorder);
  EXPECT_EQ(wide->BorderSize, 10);
  auto negative = Make({{html::BorderSy, "-3", -3}});
  EXPECT_FALSE(negative->NoBorder);
  EXPECT_EQ(negative->BorderSize, 0);

  auto hash = Make({{html::UseMapSy, "#"}});
  EXPECT_TRUE(hash->HasUseMap);
  EXPECT_EQ(hash->MapName, "#");
  auto named = Make({{html::UseMapSy, " #Map1 "}, {html::IsMapSy, ""}});
  EXPECT_EQ(named->MapName, "MAP1");
  EXPECT_TRUE(named->IsMap);

  auto flags = Make({{html::TranspSy, ""}, {html::ActiveSy, ""}, {html::SrcSy, "  a.gif "}});
  EXPECT_EQ(flags->Transparent, 1);
  EXPECT_TRUE(flags->HasActive);
  EXPECT_EQ(flags->Source, "a.gif");
  EXPECT_FALSE(flags->HasUseMap);
}

TEST_F(ImageObjectTest, NameAndIdLeaveTheDocumentsNamesWithTheObject) {
  auto image = Make({{html::NameSy, "pic"}, {html::IDSy, "Photo"}});
  EXPECT_EQ(document.Targets.Find("PIC"), image.get());
  EXPECT_EQ(document.Targets.Find("photo"), image.get());
  image.reset();
  EXPECT_EQ(document.Targets.Find("pic"), nullptr);
  EXPECT_EQ(document.Targets.Find("photo"), nullptr);
}

}  // namespace
}  // namespace imageobjects
