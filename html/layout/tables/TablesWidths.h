// The arithmetic of table sizing on plain numbers: column minima, maxima and percentages from
// the cells that occupy them, the three ways of settling column widths, and row heights from
// the cells' height needs.
#pragma once

#include <cstdint>
#include <vector>

namespace html {

// What a cell asks of the columns it occupies.
struct TColumnCell {
  int Col = 0;
  int Span = 1;
  int32_t Min = 0;        // content minimum plus Extra
  int32_t Max = 0;        // content maximum plus Extra
  int32_t Extra = 0;      // horizontal padding, borders and cell spacing
  int32_t WidthSpec = 0;  // pixels, or per-mille when IsPercent
  bool IsPercent = false;
};

// Per column: minimum, maximum and percentage in per-mille (0: none).
struct TColumnSizes {
  std::vector<int32_t> Min, Max, Percent;
  int32_t TotalMin() const;
  int32_t TotalMax() const;
};

// Sizes when every width is taken as pixels.
TColumnSizes MinMaxAbs(const std::vector<TColumnCell>& cells, int colCount);
// Sizes with percentages; pixel widths become shares of tablWidth when it is above 0.
TColumnSizes MinMaxPercent(const std::vector<TColumnCell>& cells, int colCount, int32_t tablWidth);

// Widths from pixel sizes: at least the minima, spread up to tablWidth (to their maxima only
// when specified is false and they fit).
std::vector<int32_t> WidthsAbs(const TColumnSizes& sizes, int32_t tablWidth, bool specified);
// The width at which every percentage of a table without a width request is met and every
// column reaches its maximum (30000 when the percentages leave nothing to the other columns);
// 0 without percentages or when they exceed 100%.
int64_t NaturalPercentWidth(const TColumnSizes& sizes);
// Widths for a table without a width request; percent columns that cannot be honoured lose
// their percentage in sizes.
std::vector<int32_t> WidthsAuto(TColumnSizes& sizes, int32_t tablWidth);
// Widths for a table asked to be w wide.
std::vector<int32_t> WidthsSpecified(const TColumnSizes& sizes, int32_t w);

// What a cell needs of the rows it spans, cell spacing included; Requested 0: no height given.
struct TRowCell {
  int Row = 0;
  int Span = 1;
  int32_t Height = 0;
  int32_t Requested = 0;
};
// Row heights; usable (above 0) is the table's given height less spacing, to be filled.
std::vector<int32_t> RowHeightsFor(const std::vector<TRowCell>& cells, int rowCount,
                                   int32_t usable);

}  // namespace html
