// The compact vector against std::vector: random edits, copies and moves while its values sit in
// place of the heap pointer or in a block, and values it owns freed once.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "html/base/CompactVector.h"

namespace html {
namespace {

using Values = TCompactVector<int64_t>;

void ExpectSame(const Values& values, const std::vector<int64_t>& model) {
  ASSERT_EQ(values.size(), model.size());
  ASSERT_EQ(values.empty(), model.empty());
  for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(values[i], model[i]) << i;
  ASSERT_EQ(std::vector<int64_t>(values.begin(), values.end()), model);
}

TEST(CompactVectorModel, FollowsAVectorThroughEditsCopiesAndMoves) {
  std::mt19937 random(43);
  for (int round = 0; round < 300; ++round) {
    Values values;
    std::vector<int64_t> model;
    for (int step = 0; step < 40; ++step) {
      const int64_t value = int64_t(random()) << 20;
      switch (random() % 8) {
        case 0:
        case 1:
          values.push_back(value);
          model.push_back(value);
          break;
        case 2: {
          const size_t at = random() % (model.size() + 1);
          EXPECT_EQ(*values.insert(values.begin() + at, value), value);
          model.insert(model.begin() + ptrdiff_t(at), value);
          break;
        }
        case 3:
          if (!model.empty()) {
            const size_t at = random() % model.size();
            values.erase(values.begin() + at);
            model.erase(model.begin() + ptrdiff_t(at));
          }
          break;
        case 4: {
          Values copy(values);
          ExpectSame(copy, model);
          values = copy;  // the copy outlives nothing of the original
          break;
        }
        case 5: {
          Values moved(std::move(values));
          ExpectSame(moved, model);
          ASSERT_TRUE(values.empty());
          values = std::move(moved);
          break;
        }
        case 6:
          if (random() % 4 == 0) {
            values.clear();
            model.clear();
          }
          values.shrink_to_fit();
          break;
        default:
          if (!model.empty()) {
            EXPECT_EQ(values.back(), model.back());
            EXPECT_EQ(values.at(model.size() - 1), model.back());
            EXPECT_THROW(values.at(model.size()), std::out_of_range);
          }
      }
      ExpectSame(values, model);
    }
  }
}

int freed = 0;
struct CountedDelete {
  void operator()(int* value) const {
    ++freed;
    delete value;
  }
};
using Owned = std::unique_ptr<int, CountedDelete>;

TEST(CompactVectorModel, FreesWhatItOwnsOnceWhereverItLives) {
  freed = 0;
  {
    TCompactVector<Owned> lone;
    lone.push_back(Owned(new int(1)));
    TCompactVector<Owned> moved(std::move(lone));
    EXPECT_EQ(freed, 0);
    EXPECT_EQ(*moved.front(), 1);
    moved.push_back(Owned(new int(2)));  // into a block of its own
    moved.push_back(Owned(new int(3)));
    moved.erase(moved.begin());
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(*moved.front(), 2);
    lone = std::move(moved);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(*lone.back(), 3);
    moved.push_back(Owned(new int(4)));
    moved = std::move(lone);  // what moved held goes
    EXPECT_EQ(freed, 2);
  }
  EXPECT_EQ(freed, 4);
}

}  // namespace
}  // namespace html
