// The float indents of a cell against a model written from their description: records of both
// sides, opened by blocks or by floats, in random order, asked at random heights.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "html/layout/sections/IndentManager.h"

namespace {

struct ModelRecord {
  bool left;
  int x, top, bottom;
  const void* owner;
};

// What the indents answer, from the records alone.
struct IndentModel {
  std::vector<ModelRecord> records;
  int leftEdge = 0, rightEdge = 0;
  const void* active = nullptr;

  bool Applies(const ModelRecord& r, int y) const {
    return r.top <= y && y < r.bottom && (r.owner == nullptr || r.owner == active);
  }
  int LeftIndent(int y) const {
    int x = -99999;
    bool any = false;
    for (const ModelRecord& r : records)
      if (r.left && Applies(r, y)) x = std::max(x, r.x), any = true;
    return any ? x + leftEdge : leftEdge;
  }
  int RightLimit(int y) const {
    int x = 99999;
    bool any = false;
    for (const ModelRecord& r : records)
      if (!r.left && Applies(r, y)) x = std::min(x, r.x), any = true;
    return any ? x + leftEdge : rightEdge;
  }
  int SideBottom(bool left) const {
    int bottom = -1;
    for (const ModelRecord& r : records)
      if (r.left == left && r.owner == nullptr) bottom = std::max(bottom, r.bottom);
    return bottom;
  }
  int NextChange(int y) const {
    int next = y;
    for (const ModelRecord& r : records)
      if (r.owner == nullptr && r.bottom > y && (next == y || r.bottom < next)) next = r.bottom;
    return next;
  }
};

TEST(IndentModel, RecordsAndFloatsNarrowTheSpaceAsDescribed) {
  std::mt19937 random(150);
  const int owners[3] = {};
  for (int round = 0; round < 300; ++round) {
    html::IndentManager indents;
    IndentModel model;
    indents.Reset(model.leftEdge = int(random() % 50), model.rightEdge = int(300 + random() % 300));
    for (int k = int(random() % 12); k > 0; --k) {
      const int y = int(random() % 400), kind = int(random() % 4);
      const bool left = random() % 2;
      const void* owner = &owners[random() % 3];
      if (kind == 0) {  // a block's record, open until its owner closes it
        indents.ActiveBlock = model.active = owner;
        const int x = int(random() % 200);
        const int index = left ? indents.AddLeft(x, y) : indents.AddRight(x, y);
        const int bottom =
            random() % 2 ? y + int(random() % 100) : html::IndentManager::kOpenBottom;
        (left ? indents.LeftList : indents.RightList)[index]->Bottom = bottom;
        model.records.push_back({left, x, y, bottom, owner});
      } else {  // a floating block: a left one by its right edge, a right one by its width
        const int edge = int(random() % 200), height = int(random() % 150);
        const int x = left ? edge - model.leftEdge : model.RightLimit(y) - edge;
        indents.AddBlockFloat(y, edge, left ? html::TFloatSide::Left : html::TFloatSide::Right,
                              height);
        model.records.push_back({left, x, y, y + height, nullptr});
      }
    }
    indents.ActiveBlock = model.active = random() % 2 ? &owners[random() % 3] : nullptr;
    int left = 0, right = 0;
    indents.SideFloatsBottom(left, right);
    ASSERT_EQ(left, model.SideBottom(true) + 1);
    ASSERT_EQ(right, model.SideBottom(false) + 1);
    ASSERT_EQ(indents.FloatsBottom(),
              std::max({0, model.SideBottom(true), model.SideBottom(false)}));
    for (int y = -5; y < 600; y += 7) {
      ASSERT_EQ(indents.LeftIndent(y), model.LeftIndent(y)) << round << " y " << y;
      ASSERT_EQ(indents.RightLimit(y), model.RightLimit(y)) << round << " y " << y;
      ASSERT_EQ(indents.NextIndentChangeY(y), model.NextChange(y)) << round << " y " << y;
    }
  }
}

}  // namespace
