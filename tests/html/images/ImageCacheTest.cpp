#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "html/images/GdiPlusLoader.h"
#include "html/images/ImageCache.h"

namespace {

using html::TBitmapItem;
using html::TStringBitmapList;

// Pictures that report when they are freed.
std::set<std::string>& Freed() {
  static std::set<std::string> freed;
  return freed;
}

class TTracedPicture : public plat::TObject {
 public:
  explicit TTracedPicture(std::string name) : name_(std::move(name)) {}
  ~TTracedPicture() override { Freed().insert(name_); }

 private:
  std::string name_;
};

std::unique_ptr<TBitmapItem> Item(const std::string& name) {
  return std::make_unique<TBitmapItem>(std::make_unique<TTracedPicture>(name), nullptr, 0);
}

class ImageCache : public testing::Test {
 protected:
  void SetUp() override { Freed().clear(); }

  // One load of the viewer that shows the named pictures: the old document lets go of what it
  // held, the cache ages, the new document takes or decodes its pictures.
  void Load(std::set<std::string> names) {
    for (const auto& name : shown_) cache_.DecUsage(name);
    cache_.AgeAndPurge();
    for (const auto& name : names) {
      int index;
      if (cache_.Find(name, index)) {
        cache_.GetImage(index);
      } else {
        cache_.AddObject(name, Item(name));
        ++decoded_;
      }
    }
    shown_ = std::move(names);
  }

  TStringBitmapList cache_;
  std::set<std::string> shown_;
  int decoded_ = 0;
};

TEST_F(ImageCache, PicturesShownAgainAreNotDecodedAgain) {
  Load({"/site/a.gif", "/site/b.png"});
  Load({"/site/a.gif"});
  Load({"/site/a.gif", "/site/b.png"});
  EXPECT_EQ(decoded_, 2);
  const int a = cache_.IndexOf("/site/a.gif");
  ASSERT_GE(a, 0);
  EXPECT_EQ(cache_.Objects(a)->AccessCount, 0);
  EXPECT_EQ(cache_.Objects(a)->UsageCount, 1);
  // Names differ by case on this system.
  EXPECT_EQ(cache_.IndexOf("/SITE/A.GIF"), -1);
}

TEST_F(ImageCache, UnusedPicturesLiveForTheConfiguredNumberOfLoads) {
  cache_.PurgeOld(5);
  Load({"old"});
  for (int load = 1; load <= 5; ++load) {
    Load({"other"});
    ASSERT_EQ(Freed().count("old"), 0u) << "load " << load;
  }
  Load({"other"});
  EXPECT_EQ(Freed().count("old"), 1u);
  EXPECT_EQ(cache_.IndexOf("old"), -1);
}

TEST_F(ImageCache, PicturesInUseAreNeverAgedOut) {
  cache_.PurgeOld(0);
  cache_.AddObject("kept", Item("kept"));  // held by an image that stays
  for (int load = 0; load < 30; ++load) cache_.AgeAndPurge();
  EXPECT_EQ(Freed().count("kept"), 0u);
  EXPECT_GT(cache_.Objects(cache_.IndexOf("kept"))->AccessCount, 20);
  cache_.DecUsage("kept");
  cache_.DecUsage("never there");
  cache_.AgeAndPurge();
  EXPECT_EQ(Freed().count("kept"), 1u);
}

TEST_F(ImageCache, LoweringTheAgeFreesOlderPicturesAtOnce) {
  for (const char* name : {"one", "two", "three"}) {
    cache_.AddObject(name, Item(name));
    cache_.DecUsage(name);
  }
  for (int load = 0; load < 3; ++load) cache_.AgeAndPurge();  // all three are 3 loads old
  cache_.GetImage(cache_.IndexOf("two"));
  cache_.DecUsage("two");  // used again, now unused but young
  cache_.PurgeOld(2);
  EXPECT_EQ(Freed(), (std::set<std::string>{"one", "three"}));
  EXPECT_EQ(cache_.MaxUsage, 2);
  EXPECT_EQ(cache_.Count(), 1);
}

TEST_F(ImageCache, ANameAddedTwiceKeepsTheFirstPicture) {
  cache_.AddObject("pic", Item("first"));
  const int index = cache_.AddObject("pic", Item("second"));
  EXPECT_EQ(Freed(), (std::set<std::string>{"second"}));
  EXPECT_EQ(cache_.Count(), 1);
  EXPECT_EQ(cache_.Objects(index)->UsageCount, 2);
  EXPECT_THROW(cache_.GetImage(1), plat::EListError);
}

TEST(ImagingLayerUse, StartsWithTheFirstCacheAndStopsWithTheLast) {
  ASSERT_FALSE(html::GdiPlusActive());
  auto first = std::make_unique<html::TStringBitmapList>();
  {
    html::TStringBitmapList second;
    EXPECT_EQ(html::GdiPlusUseCount(), 2);
  }
  EXPECT_TRUE(html::GdiPlusActive());
  first.reset();
  EXPECT_FALSE(html::GdiPlusActive());
  html::GdiPlusRelease();  // unmatched: ignored
  EXPECT_EQ(html::GdiPlusUseCount(), 0);
}

}  // namespace
