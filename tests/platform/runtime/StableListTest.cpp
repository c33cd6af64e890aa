// The ordered list that children of a window leave one at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/runtime/StableList.h"

using plat::TStableList;

namespace {

struct TBase {
  virtual ~TBase() = default;
};
struct TItem : TBase {};

// Removes the items in the given order from a full list, checking after each step that what is
// left is the model's order.
void RemoveInOrder(const std::vector<int>& order) {
  std::vector<TItem> items(order.size());
  TStableList<TItem> list;
  std::vector<TItem*> model;
  for (TItem& item : items) {
    list.Add(&item);
    model.push_back(&item);
  }
  for (int index : order) {
    const TBase* asBase = &items[size_t(index)];
    list.Remove(asBase);
    model.erase(std::find(model.begin(), model.end(), &items[size_t(index)]));
    ASSERT_EQ(list.Count(), model.size());
    ASSERT_EQ(list.Items(), model);
  }
}

TEST(StableList, ItemsLeaveInAnyOrderAndTheRestKeepTheirs) {
  std::vector<int> order(300);
  for (int i = 0; i < 300; ++i) order[size_t(i)] = i;
  RemoveInOrder(order);
  std::reverse(order.begin(), order.end());
  RemoveInOrder(order);
  std::mt19937 random(7);
  std::shuffle(order.begin(), order.end(), random);
  RemoveInOrder(order);
}

TEST(StableList, AddsAfterRemovalsAndIgnoresWhatItDoesNotHold) {
  TItem a, b, c, d, stranger;
  TStableList<TItem> list;
  list.Add(&a);
  list.Add(&b);
  list.Add(&c);
  list.Remove(&b);
  list.Remove(&stranger);
  list.Remove(static_cast<TItem*>(nullptr));
  list.Add(&d);
  EXPECT_EQ(list.Items(), (std::vector<TItem*>{&a, &c, &d}));
  list.Remove(&a);  // a hole at the front, then a move in place
  std::vector<TItem*>& items = list.MutableItems();
  std::swap(items[0], items[1]);
  list.Remove(&c);
  EXPECT_EQ(list.Items(), (std::vector<TItem*>{&d}));
  list.Remove(&d);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_TRUE(list.Items().empty());
}

}  // namespace
