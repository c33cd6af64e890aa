// Helpers of the document builder for TABLE: which declared column each cell lands in, and the
// columns that COLGROUP and COL declare.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "html/base/PageUtils.h"
#include "html/layout/Tables.h"

namespace html {

// The most columns a table declares; further COL entries are ignored.
inline constexpr int kMaxDeclaredColumns = 1000;
// The most columns one COL entry adds.
inline constexpr int kMaxColumnSpan = 100;

// Tracks which declared column slots of each row the cells have taken ("o" free, "x" taken),
// honouring ROWSPAN and COLSPAN.
class TCellManager {
 public:
  explicit TCellManager(ThtmlTable* table) : Table(table) {}

  // The first free column of row (rows up to it are added), or -1 when the row is full.
  int FindColNum(int row);
  // Takes the slots of cell from the first free column of row on, cutting its ColSpan to the
  // free slots it finds.
  void AddCell(int row, TCellObj& cell);

  int RowCount() const { return int(rows_.size()); }
  const std::string& Row(int index) const { return rows_.at(size_t(index)); }

  ThtmlTable* Table;

 private:
  void EnsureRows(int64_t count);
  std::vector<std::string> rows_;
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
