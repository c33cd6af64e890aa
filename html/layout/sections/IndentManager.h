// The float indents of a cell: left and right records that narrow the free space over ranges
// of y.
#pragma once

#include <cstdint>

#include "html/base/PageUtils.h"

namespace html {

// Who opened a record (a block or a cell), compared by identity only; null for floats.
using TIndentOwner = const void*;

struct IndentRec {
  int32_t X = 0;  // left records: right edge of the indented area; right records: its left edge
  int32_t Top = 0;
  int32_t Bottom = 0;  // the record applies for Top <= y < Bottom
  TIndentOwner Owner = nullptr;
  bool IsFloat = false;
};

enum class TFloatSide : uint8_t { None, Left, Right };

class IndentManagerBasic {
 public:
  static constexpr int32_t kOpenBottom = 9999999;

  virtual ~IndentManagerBasic() = default;

  // Frees every record and forgets the active block.
  void Clear();
  void Reset(int32_t lf, int32_t rt);

  int32_t LeftIndent(int32_t y) const;
  int32_t RightLimit(int32_t y) const;
  // The lowest bottom of all floats, 0 without floats.
  int32_t FloatsBottom() const;
  // One below the lowest float bottom of each side (0 for a side without floats).
  void SideFloatsBottom(int32_t& leftBottom, int32_t& rightBottom) const;
  // The nearest float bottom below y; y itself when no float ends below it.
  int32_t NextIndentChangeY(int32_t y) const;

  // Open a record owned by the active block; the owner later sets its Bottom or deletes it.
  int AddLeft(int32_t x, int32_t top);
  int AddRight(int32_t x, int32_t top);
  void DeleteLeft(int index) { LeftList.Delete(index); }
  void DeleteRight(int index) { RightList.Delete(index); }

  // Set and read by the owning block or cell for its own layout.
  int32_t Width = 0;
  int32_t ClipWidth = 0;
  TFreeList<IndentRec> LeftList;
  TFreeList<IndentRec> RightList;
  TIndentOwner ActiveBlock = nullptr;
  int32_t LeftEdge = 0;
  int32_t RightEdge = 0;

 private:
  bool Applies(const IndentRec& rec, int32_t y) const;
};

class IndentManager : public IndentManagerBasic {
 public:
  // A floating block of the given height at y: for a left float `edge` is the block's right
  // edge, for a right float its total width. Other sides add nothing.
  void AddBlockFloat(int32_t y, int32_t edge, TFloatSide side, int32_t height);
};

}  // namespace html
