// Background pictures of blocks, painted pixel by pixel: repeated, placed once, along one
// axis, with transparent pixels, and a picture that cannot be had.
#include "html/images/ImageCache.h"
#include "platform/runtime/SysUtils.h"
#include "tests/html/layout/blocks/BlockFixture.h"

namespace html::test {
namespace {

constexpr TColor kYellow = plat::RGB(255, 255, 0);
constexpr TColor kKey = plat::RGB(1, 2, 3);

// A 4 x 2 picture whose every pixel differs; with a transparent colour its pixel (1, 0) is
// the colour key.
TColor PicturePixel(int x, int y) {
  return plat::RGB(uint8_t(40 * x + 10), uint8_t(100 * y + 20), 200);
}

class Backgrounds : public BlockTest {
 protected:
  void SetUp() override {
    document.ImageCache = &cache;
    document.BitmapRequest = [this](plat::TObject*, const std::string& src,
                                    std::unique_ptr<plat::TBitmap>& bitmap, TColor& color) {
      ++requests;
      if (src == "missing.bmp") return;
      bitmap = std::make_unique<plat::TBitmap>();
      bitmap->SetSize(4, 2);
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) bitmap->Canvas().SetPixel(x, y, PicturePixel(x, y));
      if (src == "keyed.bmp") {
        bitmap->Canvas().SetPixel(1, 0, kKey);
        color = kKey;
      }
    };
  }
  // A 20 x 10 block at (5, 3) with the picture as its background.
  TBlock* AddPictureBlock(const char* url, TBackgroundPosRec horz, TBackgroundPosRec vert) {
    const std::string image = std::string("url(") + url + ")";
    TBlock* block = AddBlock(document, "div",
                             {{"margin-left", "5px"},
                              {"margin-top", "3px"},
                              {"width", "20px"},
                              {"height", "10px"},
                              {"background-color", "yellow"},
                              {"background-image", image.c_str()}});
    block->SetBackImage(block->BackImageUrl(), {horz, vert});
    return block;
  }
  // Paints and checks the block's box against `picture` (box coordinates; clNone: the
  // background colour); white outside.
  void ExpectBox(const std::function<TColor(int, int)>& picture) {
    LayOut(40);
    Paint(40, 20);
    ExpectPixels([&](int x, int y) {
      if (x < 5 || x >= 25 || y < 3 || y >= 13) return kWhite;
      const TColor c = picture(x - 5, y - 3);
      return c == clNone ? kYellow : c;
    });
  }

  TStringBitmapList cache;
  int requests = 0;
};

TEST_F(Backgrounds, ARepeatedPictureTilesThePaddingBox) {
  TBlock* block = AddPictureBlock("tile.bmp", {bpPixels, 0, true}, {bpPixels, 0, true});
  ExpectBox([](int x, int y) { return PicturePixel(x % 4, y % 2); });
  ASSERT_TRUE(block->HasBackImage());
  EXPECT_TRUE(block->Backdrop()->TileOpaque);
  // A second paint reuses the fetched picture.
  Paint(40, 20);
  EXPECT_EQ(requests, 1);
}

TEST_F(Backgrounds, APictureThatDoesNotRepeatSitsWhereItsPositionSays) {
  // Centred: (20 - 4) / 2 = 8 across, (10 - 2) / 2 = 4 down.
  AddPictureBlock("tile.bmp", {bpCenter, 0, false}, {bpCenter, 0, false});
  ExpectBox([](int x, int y) {
    return x >= 8 && x < 12 && y >= 4 && y < 6 ? PicturePixel(x - 8, y - 4) : clNone;
  });
}

TEST_F(Backgrounds, RepeatingAlongOneAxisFromTheBottomRight) {
  // Right: starts at 16, repeats both ways across; bottom: rows 8 and 9 only.
  AddPictureBlock("tile.bmp", {bpRight, 0, true}, {bpBottom, 0, false});
  ExpectBox([](int x, int y) { return y >= 8 ? PicturePixel((x - 16 + 20) % 4, y - 8) : clNone; });
}

TEST_F(Backgrounds, PercentagesAndPixelsPlaceThePicture) {
  // 50% of (20 - 4) = 8 across; 3 pixels down.
  AddPictureBlock("tile.bmp", {bpPercent, 50, false}, {bpPixels, 3, false});
  ExpectBox([](int x, int y) {
    return x >= 8 && x < 12 && y >= 3 && y < 5 ? PicturePixel(x - 8, y - 3) : clNone;
  });
}

TEST_F(Backgrounds, TransparentPixelsShowTheBackgroundColour) {
  TBlock* block = AddPictureBlock("keyed.bmp", {bpPixels, 0, true}, {bpPixels, 0, true});
  ExpectBox(
      [](int x, int y) { return x % 4 == 1 && y % 2 == 0 ? clNone : PicturePixel(x % 4, y % 2); });
  EXPECT_FALSE(block->Backdrop()->TileOpaque);
}

TEST_F(Backgrounds, AMissingPictureIsDroppedAndOnlyTheColourPaints) {
  TBlock* block = AddPictureBlock("missing.bmp", {bpPixels, 0, true}, {bpPixels, 0, true});
  ExpectBox([](int, int) { return clNone; });
  EXPECT_FALSE(block->HasBackImage());
  document.ImagesOn = false;
  document.Clear();
  block = AddPictureBlock("tile.bmp", {bpPixels, 0, true}, {bpPixels, 0, true});
  ExpectBox([](int, int) { return clNone; });
  EXPECT_EQ(requests, 1);
}

}  // namespace
}  // namespace html::test

namespace html::test {
namespace {

TEST_F(Backgrounds, AListStyleImageReplacesTheBullet) {
  // Content x 40, baseline 20: the picture's left edge at 24 and its bottom row at 19; its
  // colour-key pixel stays white.
  auto prop = Props("li", {{"margin-left", "40px"}, {"list-style-image", "url(keyed.bmp)"}});
  auto item =
      std::make_unique<TBlockLI>(&document, *prop, &document, ULSy, false, ' ', 1, 1, nullptr);
  AddBox(item->Content, 30)->Baseline = 20;
  document.Add(std::move(item), 0);
  LayOut(60);
  Paint(60, 40);
  ExpectPixels([](int x, int y) {
    const bool inPicture = x >= 24 && x < 28 && y >= 18 && y < 20;
    if (!inPicture || (x == 25 && y == 18)) return kWhite;
    return PicturePixel(x - 24, y - 18);
  });
}

}  // namespace
}  // namespace html::test
