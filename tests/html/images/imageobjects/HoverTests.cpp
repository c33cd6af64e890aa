// GIF pictures of image objects: animation through the document, copies of shared pictures,
// and the hover frames of ACTIVE ones.
#include <algorithm>

#include "ImageObjectSupport.h"

namespace imageobjects {
namespace {

class ImageGifTest : public ImageObjectTest {
 protected:
  // A GIF of the given number of frames, and an image showing it.
  std::unique_ptr<html::TImageObj> GifImage(int frames, bool active) {
    const std::vector<plat::TColor> colors = {plat::clRed, plat::clLime, plat::clBlue,
                                              plat::clYellow, plat::clBlack};
    const std::string name = folder.File(std::to_string(frames) + ".gif");
    WriteFile(name, FramesGif({colors.begin(), colors.begin() + frames}));
    std::vector<Attr> attrs = {{html::SrcSy, name}};
    if (active) attrs.push_back({html::ActiveSy, ""});
    auto image = Make(attrs);
    Size(*image);
    return image;
  }
  static html::TGIFImage& Gif(html::TImageObj& image) {
    auto* gif = dynamic_cast<html::TGIFImage*>(image.Image);
    if (!gif) throw std::runtime_error("not a GIF");
    return *gif;
  }
  bool Animated(html::TImageObj& image) {
    const auto& list = document.AnimatedImages;
    return std::find(list.begin(), list.end(), &Gif(image)) != list.end();
  }
};

TEST_F(ImageGifTest, SharedGifsAreCopiedAndAnimateUntilTheObjectGoes) {
  auto first = GifImage(3, false);
  auto second = Make({{html::SrcSy, folder.File("3.gif")}});
  Size(*second);
  ASSERT_NE(first->Image, second->Image);
  EXPECT_EQ(Gif(*second).NumFrames(), 3);
  EXPECT_TRUE(Animated(*first));
  EXPECT_TRUE(Animated(*second));
  EXPECT_EQ(document.AnimatedImages.size(), 2u);

  second.reset();
  EXPECT_EQ(document.AnimatedImages.size(), 1u);
  first.reset();
  EXPECT_TRUE(document.AnimatedImages.empty());
}

TEST_F(ImageGifTest, ActiveGifsShowTheirHoverFrames) {
  auto two = GifImage(2, true);
  EXPECT_FALSE(Animated(*two));
  two->SetHover(html::THoverState::hvOverUp);
  EXPECT_EQ(Gif(*two).CurrentFrame(), 2);
  two->SetHover(html::THoverState::hvOverDown);
  EXPECT_EQ(Gif(*two).CurrentFrame(), 2);
  two->SetHover(html::THoverState::hvOff);
  EXPECT_EQ(Gif(*two).CurrentFrame(), 1);

  auto three = GifImage(3, true);
  three->SetHover(html::THoverState::hvOverDown);
  EXPECT_EQ(Gif(*three).CurrentFrame(), 3);
  three->SetHover(html::THoverState::hvOverUp);
  EXPECT_EQ(Gif(*three).CurrentFrame(), 2);
  three->SetHover(html::THoverState::hvOff);
  EXPECT_EQ(Gif(*three).CurrentFrame(), 1);
}

TEST_F(ImageGifTest, LongerActiveGifsAnimateOnlyUnderTheMouse) {
  auto image = GifImage(5, true);
  EXPECT_FALSE(Gif(*image).Animate());
  image->SetHover(html::THoverState::hvOverUp);
  EXPECT_TRUE(Gif(*image).Animate());
  EXPECT_TRUE(Animated(*image));
  image->SetHover(html::THoverState::hvOverUp);  // no change: listed once
  EXPECT_EQ(document.AnimatedImages.size(), 1u);
  image->SetHover(html::THoverState::hvOff);
  EXPECT_FALSE(Gif(*image).Animate());
  EXPECT_FALSE(Animated(*image));
}

}  // namespace
}  // namespace imageobjects
