// The image cache against a model of its counts over random sequences of additions, uses,
// releases, ageing and purges.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "html/images/ImageCache.h"

namespace {

struct Counts {
  int access = 0, usage = 0;
};

TEST(ImageCacheModel, CountsAgeingAndPurgesFollowTheirRules) {
  std::mt19937 random(104);
  for (int round = 0; round < 200; ++round) {
    html::TStringBitmapList cache;
    std::map<std::string, Counts> model;
    int maxUsage = 4;
    for (int step = 0; step < 60; ++step) {
      const std::string name(1, char('a' + random() % 6));
      switch (random() % 6) {
        case 0:
          // A name already present keeps its picture and is used once more, as by GetImage.
          cache.AddObject(name, std::make_unique<html::TBitmapItem>(nullptr, nullptr, 0));
          model[name] = {0, model[name].usage + 1};
          break;
        case 1: {
          int index;
          if (cache.Find(name, index)) cache.GetImage(index);
          if (model.count(name)) model[name] = {0, model[name].usage + 1};
          break;
        }
        case 2:
          cache.DecUsage(name);
          if (model.count(name)) --model[name].usage;
          break;
        case 3: {
          const int age = int(random() % 6);
          cache.PurgeOld(age);
          std::erase_if(model,
                        [&](const auto& e) { return e.second.access > age && e.second.usage < 1; });
          maxUsage = age;
          break;
        }
        default:
          cache.AgeAndPurge();
          for (auto& [key, counts] : model) ++counts.access;
          std::erase_if(model, [&](const auto& e) {
            return e.second.access > maxUsage && e.second.usage < 1;
          });
      }
      ASSERT_EQ(cache.Count(), int(model.size()));
      int index = 0;
      for (const auto& [key, counts] : model) {
        ASSERT_EQ(cache.Strings(index), key);
        EXPECT_EQ(cache.Objects(index)->AccessCount, counts.access);
        EXPECT_EQ(cache.Objects(index)->UsageCount, counts.usage);
        ++index;
      }
      EXPECT_EQ(cache.MaxUsage, maxUsage);
    }
  }
}

}  // namespace
