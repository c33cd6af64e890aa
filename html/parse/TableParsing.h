// Helpers of the document builder for TABLE: which declared column each cell lands in, and the
// columns that COLGROUP and COL declare.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "html/base/PageUtils.h"
#include "html/layout/tables/Tables.h"

namespace html {

// The most columns a table declares; further COL entries are ignored.
inline constexpr int kMaxDeclaredColumns = 1000;
// The most columns one COL entry adds.
inline constexpr int kMaxColumnSpan = 100;

// Tracks which declared column slots of each row the cells have taken ("o" free, "x" taken),
// honouring ROWSPAN and COLSPAN. Rows are asked about in order, so rows before the one asked
// about are dropped, and neighbouring rows that look alike are kept once: a row span costs
// nothing per row it covers, and the map holds at most one entry per cell that reaches into the
// rows to come.
class TCellManager {
 public:
  explicit TCellManager(ThtmlTable* table) : Table(table) {}

  // The first free column of row (rows up to it are added), or -1 when the row is full.
  int FindColNum(int row);
  // Takes the slots of cell from the first free column of row on, cutting its ColSpan to the
  // free slots it finds.
  void AddCell(int row, TCellObj& cell);

  // The rows the map reaches (also those dropped), and the slots of a row not dropped.
  int64_t RowCount() const { return first_ + stored_; }
  const std::string& Row(int64_t index) const;
  // Slots held in memory.
  size_t StoredSlots() const;

  ThtmlTable* Table;

 private:
  // Alike rows: Count rows from the run's place on.
  struct TSlotRun {
    std::string Slots;
    int64_t Count;
  };
  // Drops the rows before row.
  void DropRowsBefore(int64_t row);
  // Adds free rows up to count rows in all.
  void EnsureRows(int64_t count);
  // Makes row start a run of its own; returns the index of that run.
  size_t SplitAt(int64_t row);

  std::deque<TSlotRun> runs_;
  int64_t first_ = 0;   // the row of runs_.front()
  int64_t stored_ = 0;  // the rows of runs_ together
};

// The values a COLGROUP gives its COL entries, and a COL's own.
struct TColumnAttributes {
  int32_t Width = 0;  // pixels, or per-mille with Percent
  bool Percent = false;
  std::string HAlign;  // lower case
  uint8_t VertAlign = 0;
  int Span = 1;
};

// Applies ALIGN, VALIGN, WIDTH and SPAN over col.
void ReadColumnAttributes(const TAttributeList& attributes, TColumnAttributes& col);
// Declares min(Span, 100) columns of col in table, never more than 1000 in all.
void AddColumns(ThtmlTable& table, const TColumnAttributes& col);

}  // namespace html
