// Pictures of the document: files read once and then taken from the cache, masks, the host's
// hooks (handed-over bitmaps, streams, pictures delivered later) and the page background.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "html/HtmlEngine.h"
#include "html/images/ImageCache.h"
#include "html/layout/sections/PageSections.h"
#include "tests/html/layout/sections/TinyGif.h"

namespace html {
namespace {

constexpr TColor kGreen = 0x00FF00;
constexpr TColor kBlue = 0xFF0000;

// A 3 x 2 bitmap, green at the lower left and blue elsewhere.
std::unique_ptr<plat::TBitmap> Picture() {
  auto bitmap = std::make_unique<plat::TBitmap>();
  bitmap->SetPixelFormat(plat::pf24bit);
  bitmap->SetSize(3, 2);
  bitmap->Canvas().Brush().SetColor(kBlue);
  bitmap->Canvas().FillRect({0, 0, 3, 2});
  bitmap->Canvas().SetPixel(0, 1, kGreen);
  return bitmap;
}

class DocumentImages : public testing::Test {
 protected:
  void SetUp() override {
    folder =
        std::filesystem::temp_directory_path() / ("pixstamp-sections-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    file = (folder / "pic.bmp").string();
    Picture()->SaveToFile(file);
    document.ImageCache = &cache;
  }
  void TearDown() override {
    document.Clear();
    std::filesystem::remove_all(folder);
  }
  plat::TObject* Fetch(const std::string& url, uint8_t transparent = 0) {
    transparentOut = transparent;
    return document.FetchImage(url, transparentOut, mask, fromCache, delay);
  }

  TStringBitmapList cache;
  TSectionList document{nullptr, nullptr};
  std::filesystem::path folder;
  std::string file;
  uint8_t transparentOut = 0;
  plat::TBitmap* mask = nullptr;
  bool fromCache = false, delay = false;
};

TEST_F(DocumentImages, FilesAreReadOnceAndThenTakenFromTheCache) {
  auto* first = dynamic_cast<plat::TBitmap*>(Fetch(file, 1));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Width(), 3);
  EXPECT_FALSE(fromCache);
  ASSERT_NE(mask, nullptr);  // made from the lower-left pixel
  EXPECT_EQ(mask->Pixel(0, 1), plat::clWhite);
  EXPECT_EQ(mask->Pixel(2, 0), plat::clBlack);

  EXPECT_EQ(Fetch("  " + file + " "), first);
  EXPECT_TRUE(fromCache);
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_EQ(cache.Objects(0)->UsageCount, 2);
}

TEST_F(DocumentImages, ACachedPictureGetsItsLowerLeftMaskWhenFirstAskedFor) {
  ASSERT_NE(Fetch(file), nullptr);
  EXPECT_EQ(mask, nullptr);
  ASSERT_NE(Fetch(file, 1), nullptr);
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask->Pixel(0, 1), plat::clWhite);
  EXPECT_EQ(cache.Objects(0)->Transp, 1);
}

TEST_F(DocumentImages, MissingPicturesGiveNothing) {
  EXPECT_EQ(Fetch(""), nullptr);
  EXPECT_EQ(Fetch((folder / "none.bmp").string()), nullptr);
  // A file that is no picture at all.
  const std::string text = (folder / "text.bmp").string();
  plat::TStringList lines;
  lines.Add("not a picture");
  lines.SaveToFile(text);
  EXPECT_EQ(Fetch(text), nullptr);
  EXPECT_EQ(cache.Count(), 0);
}

TEST_F(DocumentImages, AHandedOverBitmapWithAColourGetsAKnownMask) {
  std::string asked;
  document.BitmapRequest = [&](plat::TObject*, const std::string& src,
                               std::unique_ptr<plat::TBitmap>& bitmap, TColor& color) {
    asked = src;
    bitmap = Picture();
    color = kBlue;
  };
  plat::TObject* image = Fetch(" host.png ");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(asked, "host.png");
  EXPECT_EQ(transparentOut, 2);
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask->Pixel(2, 0), plat::clWhite);
  EXPECT_EQ(mask->Pixel(0, 1), plat::clBlack);
  EXPECT_EQ(cache.Objects(0)->Transp, 2);
}

TEST_F(DocumentImages, StreamsFromTheHostBecomeBitmapsOrMovingGifs) {
  const std::vector<uint8_t> still = test::TinyGifBytes(1), moving = test::TinyGifBytes(2);
  document.ImageRequest = [&](plat::TObject*, const std::string& src,
                              plat::TMemoryStream*& stream) {
    static plat::TMemoryStream data;
    const std::vector<uint8_t>& bytes = src == "still.gif" ? still : moving;
    data.SetSize(0);
    data.Write(bytes.data(), int64_t(bytes.size()));
    stream = &data;
  };
  auto* frame = dynamic_cast<plat::TBitmap*>(Fetch("still.gif"));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Width(), 1);
  EXPECT_EQ(frame->Pixel(0, 0), plat::clBlack);
  auto* gif = dynamic_cast<TGIFImage*>(Fetch("moving.gif"));
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(gif->NumFrames(), 2);
}

TEST_F(DocumentImages, NoStreamMeansAFileUnderTheExpandedName) {
  document.ImageRequest = [](plat::TObject*, const std::string&, plat::TMemoryStream*& stream) {
    stream = nullptr;
  };
  document.ExpandFileName = [&](const std::string& name) { return (folder / name).string(); };
  auto* bitmap = dynamic_cast<plat::TBitmap*>(Fetch("pic.bmp"));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Height(), 2);
}

TEST_F(DocumentImages, ABackgroundDeliveredLaterIsRememberedAndNotAskedForAgain) {
  int requests = 0;
  document.ImageRequest = [&](plat::TObject*, const std::string&, plat::TMemoryStream*& stream) {
    ++requests;
    stream = ImageWaitStream();
  };
  document.NameExpand = [](plat::TObject*, const std::string& src, std::string& result) {
    result = "http://host/" + src;
  };
  document.SetBackImage("back.gif", TBackgroundPos{});
  document.FetchBackImage();
  EXPECT_TRUE(document.BackFetched);
  EXPECT_EQ(document.BackImage, nullptr);
  ASSERT_EQ(document.DeferredImages.size(), 1u);
  EXPECT_EQ(document.DeferredImages[0].Url, "http://host/back.gif");
  EXPECT_EQ(document.DeferredImages[0].Waiting, nullptr);
  document.FetchBackImage();
  EXPECT_EQ(requests, 1);
}

TEST_F(DocumentImages, AMovingBackgroundAnimatesAndIsReleasedOnClear) {
  const std::vector<uint8_t> moving = test::TinyGifBytes(2);
  document.ImageRequest = [&](plat::TObject*, const std::string&, plat::TMemoryStream*& stream) {
    static plat::TMemoryStream data;
    data.SetSize(0);
    data.Write(moving.data(), int64_t(moving.size()));
    stream = &data;
  };
  document.SetBackImage("back.gif", TBackgroundPos{});
  document.FetchBackImage();
  ASSERT_NE(document.BackAnimation, nullptr);
  EXPECT_TRUE(document.BackAnimation->Animate());
  ASSERT_EQ(document.AnimatedImages.size(), 1u);
  ASSERT_NE(document.BackImage, nullptr);
  EXPECT_EQ(cache.Objects(0)->UsageCount, 1);

  // Pictures are not fetched while images are off.
  TSectionList other(nullptr, nullptr);
  other.ImageCache = &cache;
  other.ImagesOn = false;
  other.ImageRequest = document.ImageRequest;
  other.SetBackImage("back.gif", TBackgroundPos{});
  other.FetchBackImage();
  EXPECT_FALSE(other.BackFetched);

  document.Clear();
  EXPECT_EQ(document.BackAnimation, nullptr);
  EXPECT_EQ(cache.Objects(0)->UsageCount, 0);
}

}  // namespace
}  // namespace html
