// Tables against a model written from the description, over random grids of cells with any
// spans, pixel widths and heights, cell spacing, padding and borders: the grid after spans are
// laid out, the columns' minimum and maximum widths, the widths the columns get, the heights of
// the rows, and where each cell's background is painted.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "html/layout/tables/Tables.h"
#include "html/parse/HtmlSymbols.h"
#include "platform/pictures/Bitmap.h"
#include "tests/html/layout/blocks/BlockFixture.h"

namespace {

struct MCell {
  int id = -1;  // -1: a placeholder for a span
  int colSpan = 1, rowSpan = 1;
  int width = 0, heightPx = 0;
  bool percent = false;              // width in percent
  int min = 0, max = 0, height = 0;  // of the content
};

struct MTable {
  int spacing = 2, padding = 1, border = 0;
  std::vector<std::vector<MCell>> rows;
  std::vector<MCell*> cells;  // by id, after normalisation
  int columns = 0;

  int Extra() const { return 2 * padding + 2 * std::min(border, 1); }

  // Spans become placeholders: colspans after their cell, rowspans in the rows below; trailing
  // columns of placeholders only go.
  void Normalize() {
    const int rowCount = int(rows.size());
    for (int r = 0; r < rowCount; ++r) {
      std::vector<MCell> row;
      for (const MCell& cell : rows[size_t(r)]) {
        MCell c = cell;
        c.rowSpan = std::min(c.rowSpan, rowCount - r);
        row.push_back(c);
        for (int k = 1; k < c.colSpan; ++k) {
          MCell placeholder;
          placeholder.rowSpan = c.rowSpan > 1 ? c.rowSpan : 1;
          row.push_back(placeholder);
        }
      }
      rows[size_t(r)] = row;
    }
    const auto longest = [&] {
      size_t n = 0;
      for (const auto& row : rows) n = std::max(n, row.size());
      return int(n);
    };
    for (int c = 0; c < longest(); ++c) {
      for (int r = 0; r < rowCount; ++r) {
        if (size_t(c) >= rows[size_t(r)].size()) continue;
        const int span = rows[size_t(r)][size_t(c)].rowSpan;
        for (int below = r + 1; below < r + span; ++below) {
          auto& row = rows[size_t(below)];
          while (int(row.size()) < c) row.push_back(MCell{});
          row.insert(row.begin() + c, MCell{});
        }
      }
    }
    columns = longest();
    while (columns > 0) {
      bool allPlaceholders = true;
      for (const auto& row : rows)
        if (int(row.size()) == columns && row.back().id >= 0) allPlaceholders = false;
      if (!allPlaceholders) break;
      for (auto& row : rows) {
        if (int(row.size()) != columns) continue;
        row.pop_back();
        // The span that reached the column, if one did (rowspans moved the others aside).
        for (int c = columns - 2; c >= 0; --c)
          if (row[size_t(c)].id >= 0) {
            if (c + row[size_t(c)].colSpan >= columns) --row[size_t(c)].colSpan;
            break;
          }
      }
      --columns;
    }
    columns = longest();
    cells.clear();
    for (auto& row : rows)
      for (MCell& cell : row)
        if (cell.id >= 0) {
          if (size_t(cell.id) >= cells.size()) cells.resize(size_t(cell.id) + 1, nullptr);
          cells[size_t(cell.id)] = &cell;
        }
  }

  // Column minima and maxima from the cells, narrow spans first; a wider cell spreads what its
  // columns lack in proportion to them.
  void MinMax(std::vector<int>& colMin, std::vector<int>& colMax) const {
    colMin.assign(size_t(columns), 0);
    colMax.assign(size_t(columns), 0);
    int widest = 0;
    for (const auto& row : rows)
      for (const MCell& cell : row)
        if (cell.id >= 0) widest = std::max(widest, cell.colSpan);
    for (int s = 1; s <= widest; ++s) {
      for (const auto& row : rows) {
        for (size_t c = 0; c < row.size(); ++c) {
          const MCell& cell = row[c];
          if (cell.id < 0 || cell.colSpan != s) continue;
          int min = cell.min + Extra() + spacing, max = cell.max + Extra() + spacing;
          if (s == 1) {
            if (cell.width > 0) min = max = std::max(min, cell.width + Extra() + spacing);
            colMin[c] = std::max(colMin[c], min);
            colMax[c] = std::max(colMax[c], max);
            continue;
          }
          if (cell.width > 0) max = min = std::max(min, cell.width);
          for (auto* cols : {&colMin, &colMax}) {
            const int need = cols == &colMin ? min : max;
            const int sum =
                std::accumulate(cols->begin() + ptrdiff_t(c), cols->begin() + ptrdiff_t(c) + s, 0);
            if (sum >= need) continue;
            if (sum == 0) {
              (*cols)[c] += need;
              continue;
            }
            std::vector<int> before(cols->begin() + ptrdiff_t(c), cols->begin() + ptrdiff_t(c) + s);
            for (int k = 0; k < s; ++k)
              (*cols)[c + size_t(k)] += plat::MulDiv(need - sum, before[size_t(k)], sum);
          }
        }
      }
    }
    // A column is never narrower at its widest than at its narrowest.
    for (size_t c = 0; c < colMin.size(); ++c) colMax[c] = std::max(colMax[c], colMin[c]);
  }
};

// Column minima and maxima of a table without widths, for a table width: wider cells spread what
// their columns lack in proportion to them (evenly when they have nothing), the rest on the
// first column; a cell across all columns counts the table width as theirs already.
void MinMaxWithoutWidths(const MTable& t, int tableWidth, std::vector<int>& colMin,
                         std::vector<int>& colMax) {
  colMin.assign(size_t(t.columns), 0);
  colMax.assign(size_t(t.columns), 0);
  for (int s = 1; s <= t.columns; ++s) {
    for (const auto& row : t.rows) {
      for (size_t c = 0; c < row.size(); ++c) {
        const MCell& cell = row[c];
        if (cell.id < 0 || cell.colSpan != s) continue;
        const int min = cell.min + t.Extra() + t.spacing, max = cell.max + t.Extra() + t.spacing;
        if (s == 1) {
          colMin[c] = std::max(colMin[c], min);
          colMax[c] = std::max(colMax[c], max);
          continue;
        }
        for (auto* cols : {&colMin, &colMax}) {
          const auto first = cols->begin() + ptrdiff_t(c);
          const int sum = std::accumulate(first, first + s, 0);
          const int have = s == t.columns ? std::max(sum, tableWidth) : sum;
          const int extra = (cols == &colMin ? min : max) - have;
          if (extra <= 0) continue;
          int given = 0;
          for (int k = 0; k < s; ++k) {
            const int share = sum == 0 ? extra / s : int(int64_t(extra) * first[k] / sum);
            first[k] += share;
            given += share;
          }
          first[0] += extra - given;
        }
      }
    }
  }
  for (size_t c = 0; c < colMin.size(); ++c) colMax[c] = std::max(colMax[c], colMin[c]);
}

// Columns between their minima and maxima for a table width: in proportion to what each can
// grow, the rounding rest on the one that can grow most.
std::vector<int> Ordinary(const std::vector<int>& colMin, const std::vector<int>& colMax,
                          int width) {
  const int totalMin = std::accumulate(colMin.begin(), colMin.end(), 0);
  const int d = std::accumulate(colMax.begin(), colMax.end(), 0) - totalMin;
  std::vector<int> widths(colMin.size());
  for (size_t c = 0; c < widths.size(); ++c)
    widths[c] = colMin[c] + (d > 0 ? int(int64_t(colMax[c] - colMin[c]) * (width - totalMin) / d)
                                   : (width - totalMin) / int(widths.size()));
  size_t most = 0;
  for (size_t c = 0; c < widths.size() && d > 0; ++c)
    if (colMax[c] - colMin[c] > colMax[most] - colMin[most]) most = c;
  widths[most] += width - std::accumulate(widths.begin(), widths.end(), 0);
  return widths;
}

// Columns of a table with pixel widths for a table width: what lies between minima and maxima
// shared out, a pixel less (or more) per column until the sum is exact.
std::vector<int> BetweenMinAndMax(const std::vector<int>& colMin, const std::vector<int>& colMax,
                                  int width) {
  const int totalMin = std::accumulate(colMin.begin(), colMin.end(), 0);
  const int d = std::accumulate(colMax.begin(), colMax.end(), 0) - totalMin;
  const int w = width - totalMin;
  std::vector<int> widths(colMin.size());
  for (size_t c = 0; c < widths.size(); ++c)
    widths[c] = colMin[c] + (d < 1 ? int(int64_t(colMin[c]) * w / totalMin)
                                   : int(int64_t(colMax[c] - colMin[c]) * w / d));
  int rest = std::accumulate(widths.begin(), widths.end(), 0) - width;
  for (size_t c = 0; c < widths.size() && rest != 0; ++c) {
    if (rest > 0 && colMax[c] > colMin[c]) {
      --widths[c];
      --rest;
    } else if (rest < 0) {
      ++widths[c];
      ++rest;
    }
  }
  return widths;
}

// A cell's list of attributes: spans, a pixel width and height, and its own background.
std::unique_ptr<html::TAttributeList> CellAttributes(const MCell& cell) {
  auto list = std::make_unique<html::TAttributeList>();
  const auto add = [&](html::Symb sym, int value, const std::string& text) {
    list->Add(std::make_unique<html::TAttribute>(sym, value, "", text, 0));
  };
  if (cell.colSpan > 1) add(html::ColSpanSy, cell.colSpan, std::to_string(cell.colSpan));
  if (cell.rowSpan > 1) add(html::RowSpanSy, cell.rowSpan, std::to_string(cell.rowSpan));
  if (cell.width > 0)
    add(html::WidthSy, cell.width, std::to_string(cell.width) + (cell.percent ? "%" : ""));
  if (cell.heightPx > 0) add(html::HeightSy, cell.heightPx, std::to_string(cell.heightPx));
  char colour[8];
  std::snprintf(colour, sizeof colour, "#%06X", 0x100000 + cell.id * 0x10101);
  add(html::BGColorSy, 0, colour);
  return list;
}

// The engine's table for the model's rows, before any normalisation.
std::unique_ptr<html::ThtmlTable> Built(const MTable& model, html::TSectionList& document) {
  html::TAttributeList tableAttributes;
  for (auto [sym, value] : {std::pair{html::CellSpacingSy, model.spacing},
                            {html::CellPaddingSy, model.padding},
                            {html::BorderSy, model.border}})
    tableAttributes.Add(
        std::make_unique<html::TAttribute>(sym, value, "", std::to_string(value), 0));
  auto table = std::make_unique<html::ThtmlTable>(&document, &tableAttributes, nullptr);
  for (const auto& row : model.rows) {
    html::TAttributeList none;
    table->RowList.Add(std::make_unique<html::TCellList>(&none, nullptr));
    for (const MCell& cell : row) {
      auto attributes = CellAttributes(cell);
      auto obj =
          std::make_unique<html::TCellObj>(&document, attributes.get(), nullptr, html::VAlignTop);
      obj->Content->Add(
          std::make_unique<html::test::TBox>(&document, cell.height, cell.min, cell.max), 0);
      table->RowList.Last()->Add(std::move(obj));
    }
  }
  return table;
}

TEST(TableModel, GridsColumnsRowsAndCellsFollowTheDescription) {
  std::mt19937 random(142);
  plat::TCanvas canvas;
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    MTable model;
    model.spacing = int(random() % 5);
    model.padding = int(random() % 4);
    model.border = int(random() % 3 == 0);
    int id = 0;
    for (int r = int(1 + random() % 5); r > 0; --r) {
      model.rows.emplace_back();
      for (int c = int(1 + random() % 4); c > 0; --c) {
        MCell cell;
        cell.id = id++;
        if (random() % 3 == 0) cell.colSpan = int(2 + random() % 2);
        if (random() % 4 == 0) cell.rowSpan = int(2 + random() % 3);
        if (random() % 3 == 0) cell.width = int(10 + random() % 120);
        if (random() % 4 == 0) cell.heightPx = int(5 + random() % 60);
        cell.min = int(random() % 80);
        cell.max = cell.min + int(random() % 150);
        cell.height = int(random() % 50);
        model.rows.back().push_back(cell);
      }
    }

    html::TSectionList document(nullptr, nullptr);
    html::TAttributeList tableAttributes;
    for (auto [sym, value] : {std::pair{html::CellSpacingSy, model.spacing},
                              {html::CellPaddingSy, model.padding},
                              {html::BorderSy, model.border}})
      tableAttributes.Add(
          std::make_unique<html::TAttribute>(sym, value, "", std::to_string(value), 0));
    html::ThtmlTable table(&document, &tableAttributes, nullptr);
    for (const auto& row : model.rows) {
      html::TAttributeList none;
      table.RowList.Add(std::make_unique<html::TCellList>(&none, nullptr));
      for (const MCell& cell : row) {
        auto attributes = CellAttributes(cell);
        auto obj =
            std::make_unique<html::TCellObj>(&document, attributes.get(), nullptr, html::VAlignTop);
        obj->Content->Add(
            std::make_unique<html::test::TBox>(&document, cell.height, cell.min, cell.max), 0);
        table.RowList.Last()->Add(std::move(obj));
      }
    }

    model.Normalize();
    table.NormalizeGrid();
    ASSERT_EQ(table.ColCount, model.columns);
    ASSERT_EQ(table.RowList.Count(), int(model.rows.size()));
    for (size_t r = 0; r < model.rows.size(); ++r) {
      const html::TCellList& row = *table.RowList[int(r)];
      ASSERT_EQ(row.Count(), int(model.rows[r].size())) << "row " << r;
      for (size_t c = 0; c < model.rows[r].size(); ++c) {
        const MCell& cell = model.rows[r][c];
        const html::TCellObj* obj = row[int(c)];
        ASSERT_EQ(obj && !obj->IsPlaceholder(), cell.id >= 0) << r << "," << c;
        if (cell.id < 0) continue;
        ASSERT_EQ(obj->ColSpan, cell.colSpan) << r << "," << c;
        ASSERT_EQ(obj->RowSpan, cell.rowSpan) << r << "," << c;
        ASSERT_EQ(obj->HorzExtra, model.Extra());
      }
    }

    // Columns, for tables with pixel widths: as narrow as their widest minimum, as wide as
    // their widest maximum; a table width between them shares the difference out.
    std::vector<int> colMin, colMax;
    model.MinMax(colMin, colMax);
    const int totalMin = std::accumulate(colMin.begin(), colMin.end(), 0);
    const int totalMax = std::accumulate(colMax.begin(), colMax.end(), 0);
    const bool pixels = std::any_of(model.cells.begin(), model.cells.end(),
                                    [](const MCell* cell) { return cell->width > 0; });
    int32_t min = 0, max = 0;
    table.MinMaxWidth(canvas, min, max);
    if (pixels) {
      ASSERT_EQ(min, totalMin + model.spacing);
      ASSERT_EQ(max, totalMax + model.spacing);
    }
    const int available = int(random() % 700);
    const int tableWidth = available - model.spacing;
    html::IndentManager indents;
    indents.Reset(0, available);
    int32_t maxWidth = 0, pos = 0;
    const int32_t height =
        table.Layout(canvas, 0, 0, 0, 0, available, 0, 0, indents, maxWidth, pos);
    if (!pixels) MinMaxWithoutWidths(model, tableWidth, colMin, colMax);
    ASSERT_EQ(table.ColMin, colMin);
    ASSERT_EQ(table.ColMax, colMax);
    const std::vector<int32_t>& widths = table.ColWidths;
    ASSERT_EQ(table.GridWidth, std::accumulate(widths.begin(), widths.end(), 0) + model.spacing);
    const int least = std::accumulate(colMin.begin(), colMin.end(), 0);
    if (tableWidth <= least)
      ASSERT_EQ(widths, colMin);
    else if (!pixels)
      ASSERT_EQ(widths, Ordinary(colMin, colMax, tableWidth));
    else if (std::accumulate(colMax.begin(), colMax.end(), 0) <= tableWidth)
      ASSERT_EQ(widths, colMax);
    else
      ASSERT_EQ(widths, BetweenMinAndMax(colMin, colMax, tableWidth));

    // Rows: each as tall as its cells of one row, taller rows where a spanning cell needs more,
    // the rest of it on the last row it spans.
    std::vector<int> rowHeights(model.rows.size(), 0);
    for (int s = 1; s <= int(model.rows.size()); ++s)
      for (size_t r = 0; r < model.rows.size(); ++r)
        for (const MCell& cell : model.rows[r]) {
          if (cell.id < 0 || cell.rowSpan != s) continue;
          const int need = std::max(cell.height + model.Extra(), cell.heightPx) + model.spacing;
          if (s == 1) {
            rowHeights[r] = std::max(rowHeights[r], need);
            continue;
          }
          const int have = std::accumulate(rowHeights.begin() + ptrdiff_t(r),
                                           rowHeights.begin() + ptrdiff_t(r) + s, 0);
          if (need <= have) continue;
          for (int k = 0; k < s; ++k) rowHeights[r + size_t(k)] += (need - have) / s;
          rowHeights[r + size_t(s) - 1] += (need - have) % s;
        }
    ASSERT_EQ(table.RowHeights, std::vector<int32_t>(rowHeights.begin(), rowHeights.end()));
    ASSERT_EQ(height, std::accumulate(rowHeights.begin(), rowHeights.end(), 0) + model.spacing);

    // Each cell's background fills its box: spacing to its left and above, its columns and rows.
    // Spans may make cells overlap (a colspan below a rowspan): those are left out.
    std::vector<std::vector<int>> cover(model.rows.size(), std::vector<int>(widths.size() + 8));
    for (size_t r = 0; r < model.rows.size(); ++r)
      for (size_t c = 0; c < model.rows[r].size(); ++c)
        if (const MCell& cell = model.rows[r][c]; cell.id >= 0)
          for (int dr = 0; dr < cell.rowSpan; ++dr)
            for (int dc = 0; dc < cell.colSpan && c + size_t(dc) < cover[r].size(); ++dc)
              ++cover[r + size_t(dr)][c + size_t(dc)];
    const auto alone = [&](size_t r, size_t c, const MCell& cell) {
      for (int dr = 0; dr < cell.rowSpan; ++dr)
        for (int dc = 0; dc < cell.colSpan; ++dc)
          if (cover[r + size_t(dr)][c + size_t(dc)] != 1) return false;
      return true;
    };
    if (model.border == 0 && table.GridWidth < 700 && height < 500) {
      plat::TBitmap bitmap;
      bitmap.SetSize(700, 500);
      bitmap.Canvas().Brush().SetColor(0xFFFFFF);
      bitmap.Canvas().FillRect({0, 0, 700, 500});
      table.Draw(bitmap.Canvas(), {0, 0, 700, 500}, indents, 0, 0, 0);
      int top = 0;
      for (size_t r = 0; r < model.rows.size(); ++r) {
        int left = 0;
        for (size_t c = 0; c < model.rows[r].size(); ++c) {
          const MCell& cell = model.rows[r][c];
          if (cell.id >= 0 && size_t(cell.colSpan) + c <= widths.size() && alone(r, c, cell)) {
            const int right =
                left + std::accumulate(widths.begin() + ptrdiff_t(c),
                                       widths.begin() + ptrdiff_t(c) + cell.colSpan, 0);
            const int bottom =
                top + std::accumulate(rowHeights.begin() + ptrdiff_t(r),
                                      rowHeights.begin() + ptrdiff_t(r) + cell.rowSpan, 0);
            const html::TColor colour = html::TColor(0x100000 + cell.id * 0x10101);
            const html::TColor bgr =
                ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
            if (right > left + model.spacing && bottom > top + model.spacing) {
              ASSERT_EQ(bitmap.Pixel(left + model.spacing, top + model.spacing), bgr) << cell.id;
              ASSERT_EQ(bitmap.Pixel(right - 1, bottom - 1), bgr) << cell.id;
              if (model.spacing > 0)
                ASSERT_NE(bitmap.Pixel(left + model.spacing - 1, top + model.spacing), bgr);
            }
          }
          if (c < widths.size()) left += widths[c];
        }
        top += rowHeights[r];
      }
    }
  }
}

// Percentage columns without spans: where the widest cells fit, each percentage column gets
// its share of the width that satisfies every column, the others share the rest by their
// maxima; where they do not, the columns still fill the table and keep their minima.
TEST(TableModel, PercentageColumnsTakeTheirShare) {
  std::mt19937 random(1420);
  plat::TCanvas canvas;
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    MTable model;
    model.spacing = int(random() % 4);
    model.padding = int(random() % 3);
    const int columns = int(1 + random() % 5);
    std::vector<int> percent(size_t(columns), 0);
    int left = 100;
    for (int& p : percent)
      if (random() % 2 && left > 0) left -= p = int(1 + random() % left);
    int id = 0;
    for (int r = int(1 + random() % 3); r > 0; --r) {
      model.rows.emplace_back();
      for (int c = 0; c < columns; ++c) {
        MCell cell;
        cell.id = id++;
        cell.width = percent[size_t(c)];
        cell.percent = cell.width > 0;
        cell.min = int(random() % 60);
        cell.max = cell.min + int(random() % 120);
        model.rows.back().push_back(cell);
      }
    }
    html::TSectionList document(nullptr, nullptr);
    const std::unique_ptr<html::ThtmlTable> table = Built(model, document);
    std::vector<int> colMin(size_t(columns), 0), colMax(size_t(columns), 0);
    for (const auto& row : model.rows)
      for (int c = 0; c < columns; ++c) {
        colMin[size_t(c)] =
            std::max(colMin[size_t(c)], row[size_t(c)].min + model.Extra() + model.spacing);
        colMax[size_t(c)] =
            std::max(colMax[size_t(c)], row[size_t(c)].max + model.Extra() + model.spacing);
      }
    const int sumPct = 10 * std::accumulate(percent.begin(), percent.end(), 0);
    int64_t w = 0, otherMax = 0;
    for (int c = 0; c < columns; ++c)
      if (percent[size_t(c)] > 0)
        w = std::max<int64_t>(w, int64_t(colMax[size_t(c)]) * 1000 / (10 * percent[size_t(c)]));
      else
        otherMax += colMax[size_t(c)];
    if (otherMax > 0)
      w = std::max<int64_t>(w, sumPct >= 1000 ? 30000 : otherMax * 1000 / (1000 - sumPct));

    const int tableWidth = int(random() % 800);
    html::IndentManager indents;
    indents.Reset(0, tableWidth + model.spacing);
    int32_t maxWidth = 0, pos = 0;
    table->Layout(canvas, 0, 0, 0, 0, tableWidth + model.spacing, 0, 0, indents, maxWidth, pos);
    const std::vector<int32_t>& widths = table->ColWidths;
    ASSERT_EQ(int(widths.size()), columns);
    const int sum = std::accumulate(widths.begin(), widths.end(), 0);
    const int least = std::accumulate(colMin.begin(), colMin.end(), 0);
    if (tableWidth <= least) {
      ASSERT_EQ(widths, std::vector<int32_t>(colMin.begin(), colMin.end()));
    } else if (sumPct >= 10 && w <= tableWidth) {
      const int64_t others = w * (1000 - sumPct) / 1000;
      for (int c = 0; c < columns; ++c) {
        const int64_t expected = percent[size_t(c)] > 0 ? w * 10 * percent[size_t(c)] / 1000
                                 : otherMax > 0         ? others * colMax[size_t(c)] / otherMax
                                                        : 0;
        ASSERT_NEAR(widths[size_t(c)], expected, 1) << "column " << c;
      }
    } else {
      ASSERT_EQ(sum, tableWidth);
      for (int c = 0; c < columns; ++c) ASSERT_GE(widths[size_t(c)], colMin[size_t(c)]) << c;
    }
  }
}

}  // namespace
