#include "html/layout/sections/IndentManager.h"

#include <algorithm>
#include <cstdint>

namespace html {

void IndentManagerBasic::Clear() {
  LeftList.Clear();
  RightList.Clear();
  ActiveBlock = nullptr;
}

void IndentManagerBasic::Reset(int32_t lf, int32_t rt) {
  LeftEdge = lf;
  RightEdge = rt;
  ActiveBlock = nullptr;
}

bool IndentManagerBasic::Applies(const IndentRec& rec, int32_t y) const {
  return rec.Top <= y && y < rec.Bottom && (rec.Owner == nullptr || rec.Owner == ActiveBlock);
}

int32_t IndentManagerBasic::LeftIndent(int32_t y) const {
  int32_t x = -99999;
  for (const auto& rec : LeftList)
    if (Applies(*rec, y)) x = std::max(x, rec->X);
  return x == -99999 ? LeftEdge : x + LeftEdge;
}

int32_t IndentManagerBasic::RightLimit(int32_t y) const {
  int32_t x = 99999;
  for (const auto& rec : RightList)
    if (Applies(*rec, y)) x = std::min(x, rec->X);
  return x == 99999 ? RightEdge : x + LeftEdge;
}

namespace {
// The lowest bottom of the float records of one list; -1 without any.
int32_t SideBottom(const TFreeList<IndentRec>& list) {
  int32_t bottom = -1;
  for (const auto& rec : list)
    if (rec->Owner == nullptr) bottom = std::max(bottom, rec->Bottom);
  return bottom;
}
}  // namespace

int32_t IndentManagerBasic::FloatsBottom() const {
  return std::max({0, SideBottom(LeftList), SideBottom(RightList)});
}

void IndentManagerBasic::SideFloatsBottom(int32_t& leftBottom, int32_t& rightBottom) const {
  leftBottom = SideBottom(LeftList) + 1;
  rightBottom = SideBottom(RightList) + 1;
}

int32_t IndentManagerBasic::NextIndentChangeY(int32_t y) const {
  int32_t next = y;
  for (const TFreeList<IndentRec>* list : {&LeftList, &RightList})
    for (const auto& rec : *list)
      if (rec->Owner == nullptr && rec->Bottom > y && (next == y || rec->Bottom < next))
        next = rec->Bottom;
  return next;
}

int IndentManagerBasic::AddLeft(int32_t x, int32_t top) {
  return LeftList.Add(std::make_unique<IndentRec>(IndentRec{x, top, kOpenBottom, ActiveBlock}));
}

int IndentManagerBasic::AddRight(int32_t x, int32_t top) {
  return RightList.Add(std::make_unique<IndentRec>(IndentRec{x, top, kOpenBottom, ActiveBlock}));
}

void IndentManager::AddBlockFloat(int32_t y, int32_t edge, TFloatSide side, int32_t height) {
  auto rec = std::make_unique<IndentRec>();
  rec->Top = y;
  rec->Bottom = int32_t(std::clamp<int64_t>(int64_t(y) + height, INT32_MIN, INT32_MAX));
  rec->IsFloat = true;
  if (side == TFloatSide::Left) {
    rec->X = edge - LeftEdge;
    LeftList.Add(std::move(rec));
  } else if (side == TFloatSide::Right) {
    rec->X = RightLimit(y) - edge;
    RightList.Add(std::move(rec));
  }
}

}  // namespace html
