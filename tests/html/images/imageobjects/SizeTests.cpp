// Fetching pictures through the document and sizing the boxes of image objects.
#include <algorithm>

#include "ImageObjectSupport.h"
#include "html/HtmlEngine.h"

namespace imageobjects {
namespace {

class ImageSizeTest : public ImageObjectTest {
 protected:
  ImageSizeTest() {
    red = folder.File("red.bmp");
    WriteFile(red, SolidBmp(40, 20, plat::clRed));
  }
  // The cache's count of images that use the file.
  int Users(const std::string& name) {
    const int index = cache.IndexOf(name);
    return index < 0 ? -1 : cache.Objects(index)->UsageCount;
  }
  std::string red;
};

TEST_F(ImageSizeTest, PercentWidthLeavesRoomForTheBorder) {
  auto image = Make({{html::SrcSy, red}, {html::WidthSy, "50%", 50}, {html::BorderSy, "2", 2}});
  Size(*image, 400);
  EXPECT_EQ(image->ObjWidth, 198);
  EXPECT_EQ(image->ImageWidth, 202);
  EXPECT_EQ(image->ObjHeight, 99);  // the picture's proportions
  EXPECT_EQ(image->ImageHeight, 103);

  // The percentage follows the width it is given.
  Size(*image, 100);
  EXPECT_EQ(image->ObjWidth, 48);
  Size(*image, 0);  // minimum-width queries
  EXPECT_EQ(image->ObjWidth, 0);
  EXPECT_EQ(image->ImageWidth, 4);

  auto tall = Make({{html::SrcSy, red}, {html::HeightSy, "50%", 50}});
  Size(*tall, 400, 300);
  EXPECT_EQ(tall->ObjHeight, 150);
  EXPECT_EQ(tall->ObjWidth, 300);
}

TEST_F(ImageSizeTest, GivenSizesAndThePicturesProportions) {
  auto natural = Make({{html::SrcSy, red}});
  Size(*natural);
  EXPECT_EQ(natural->Image, natural->OrigImage);
  ASSERT_NE(natural->Image, nullptr);
  EXPECT_EQ(natural->ImageWidth, 40);
  EXPECT_EQ(natural->ImageHeight, 20);
  EXPECT_TRUE(natural->SizeKnown);

  auto byHeight = Make({{html::SrcSy, red}, {html::HeightSy, "10", 10}});
  Size(*byHeight);
  EXPECT_EQ(byHeight->ImageWidth, 20);
  EXPECT_EQ(byHeight->ImageHeight, 10);

  auto byWidth = Make({{html::SrcSy, red}, {html::WidthSy, "30", 30}});
  Size(*byWidth);
  EXPECT_EQ(byWidth->ImageHeight, 15);

  auto both = Make({{html::SrcSy, red}, {html::WidthSy, "7", 7}, {html::HeightSy, "9", 9}});
  Size(*both);
  EXPECT_EQ(both->ImageWidth, 7);
  EXPECT_EQ(both->ImageHeight, 9);
  EXPECT_TRUE(both->SizeKnown);

  auto zero = Make({{html::SrcSy, red}, {html::WidthSy, "0", 0}});
  Size(*zero);
  EXPECT_EQ(zero->ImageWidth, 0);
  EXPECT_EQ(zero->ImageHeight, 0);
}

TEST_F(ImageSizeTest, LinksFrameTheirPicturesUnlessBorderIsZero) {
  auto linked = Make({{html::SrcSy, red}});
  linked->InLink = true;
  Size(*linked);
  EXPECT_EQ(linked->BorderSize, 1);
  EXPECT_EQ(linked->ImageWidth, 42);
  EXPECT_EQ(linked->ImageHeight, 22);
  Size(*linked);  // sizing again adds the border once
  EXPECT_EQ(linked->ImageWidth, 42);

  auto bare = Make({{html::SrcSy, red}, {html::BorderSy, "0", 0}});
  bare->InLink = true;
  Size(*bare);
  EXPECT_EQ(bare->BorderSize, 0);
  EXPECT_EQ(bare->ImageWidth, 40);

  auto thick = Make({{html::SrcSy, red}, {html::BorderSy, "4", 4}});
  thick->InLink = true;
  Size(*thick);
  EXPECT_EQ(thick->ImageWidth, 48);
}

TEST_F(ImageSizeTest, MissingPicturesShowTheErrorPictureInAPlaceholder) {
  auto missing = Make({{html::SrcSy, folder.File("none.bmp")}});
  Size(*missing);
  EXPECT_EQ(missing->Image, html::ErrorImageBitmap());
  EXPECT_EQ(missing->Mask, html::ErrorImageMask());
  EXPECT_EQ(missing->Transparent, 1);
  EXPECT_TRUE(missing->IsPlaceholder());
  EXPECT_FALSE(missing->SizeKnown);
  EXPECT_EQ(missing->ImageWidth, 24);
  EXPECT_EQ(missing->ImageHeight, 24);

  auto noSource = Make({});
  Size(*noSource);
  EXPECT_EQ(noSource->Image, html::ErrorImageBitmap());

  auto sized = Make({{html::SrcSy, "nowhere.bmp"},
                     {html::WidthSy, "50", 50},
                     {html::HeightSy, "30", 30},
                     {html::BorderSy, "1", 1}});
  Size(*sized);
  EXPECT_EQ(sized->ImageWidth, 52);
  EXPECT_EQ(sized->ImageHeight, 32);

  // The ALT text decides the box: its width in Arial 8 plus room for the picture.
  auto alt = Make({{html::SrcSy, "nowhere.bmp"}, {html::AltSy, "Sunset over the bay"}});
  Size(*alt);
  plat::TFont arial;
  arial.SetName("Arial");
  arial.SetSize(8);
  dc.SelectFont(arial.LogFont());
  const plat::TSize text = dc.GetTextExtent(u"Sunset over the bay");
  EXPECT_EQ(alt->ImageWidth, text.cx + 26);
  EXPECT_GE(alt->ImageHeight, std::max(24, int(text.cy)));
}

TEST_F(ImageSizeTest, WithoutPicturesOnNothingIsFetched) {
  document.ImagesOn = false;
  auto image = Make({{html::SrcSy, red}});
  Size(*image);
  EXPECT_EQ(image->Image, nullptr);
  EXPECT_EQ(cache.Count(), 0);
  EXPECT_EQ(image->ImageWidth, 24);
  EXPECT_EQ(image->ImageHeight, 24);
}

TEST_F(ImageSizeTest, TheCacheCountsEveryImageThatHoldsAPicture) {
  auto first = Make({{html::SrcSy, red}});
  auto second = Make({{html::SrcSy, " " + red}});
  Size(*first);
  Size(*second);
  EXPECT_EQ(first->Image, second->Image);
  EXPECT_EQ(Users(red), 2);
  Size(*first);  // sizing again fetches nothing more
  EXPECT_EQ(Users(red), 2);
  first.reset();
  EXPECT_EQ(Users(red), 1);
  second.reset();
  EXPECT_EQ(Users(red), 0);

  // A missing picture was never counted.
  auto missing = Make({{html::SrcSy, folder.File("none.bmp")}});
  Size(*missing);
  missing.reset();
  EXPECT_EQ(cache.IndexOf(folder.File("none.bmp")), -1);
}

TEST_F(ImageSizeTest, PicturesStillToComeWaitInTheDocument) {
  int requests = 0;
  document.ImageRequest = [&requests](plat::TObject*, const std::string&,
                                      plat::TMemoryStream*& stream) {
    ++requests;
    stream = html::ImageWaitStream();
  };
  document.NameExpand = [](plat::TObject*, const std::string& src, std::string& result) {
    result = "http://host/" + src;
  };
  auto first = Make({{html::SrcSy, "late.png"}});
  auto second = Make({{html::SrcSy, "LATE.png"}});
  Size(*first);
  Size(*second);
  EXPECT_EQ(requests, 1);  // the second waits for the same picture without asking again
  EXPECT_EQ(first->Image, html::DefaultImageBitmap());
  EXPECT_TRUE(first->Delayed);
  EXPECT_TRUE(second->Delayed);
  ASSERT_EQ(document.DeferredImages.size(), 2u);
  EXPECT_EQ(document.DeferredImages[0].Url, "http://host/late.png");
  EXPECT_EQ(document.DeferredImages[0].Waiting, first.get());
  EXPECT_EQ(first->ImageWidth, 24);

  first.reset();
  ASSERT_EQ(document.DeferredImages.size(), 1u);
  EXPECT_EQ(document.DeferredImages[0].Waiting, second.get());
}

}  // namespace
}  // namespace imageobjects
