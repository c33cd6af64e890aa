// The table: its attributes, grid normalisation, column widths and row heights.
#include "html/layout/tables/Tables.h"

#include <algorithm>

#include "html/css/CssColors.h"
#include "html/layout/blocks/BlockMath.h"

namespace html {

namespace {

// Keeps the document's table depth for the duration of a call.
class DepthScope {
 public:
  explicit DepthScope(TSectionList* document) : document_(document) {
    if (document_) ++document_->TableDepth;
  }
  ~DepthScope() {
    if (document_) --document_->TableDepth;
  }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;
  int Depth() const { return document_ ? document_->TableDepth : 1; }

 private:
  TSectionList* document_;
};

// Deeper tables keep the row heights of their first layout.
constexpr int kRecomputeDepthLimit = 6;

}  // namespace

ThtmlTable::ThtmlTable(TSectionList* document, TAttributeList* attributes, TProperties* prop)
    : TSectionBase(document) {
  if (attributes)
    for (const auto& attr : *attributes) {
      TColor colour = clNone;
      switch (attr->Which) {
        case BorderColorSy:
          if (ParseColor(attr->Name, false, colour)) LightColor = DarkColor = colour;
          break;
        case BorderColorLightSy:
          if (ParseColor(attr->Name, false, colour)) LightColor = colour;
          break;
        case BorderColorDarkSy:
          if (ParseColor(attr->Name, false, colour)) DarkColor = colour;
          break;
        case BorderSy:
          BorderAttr = attr->Name.empty() ? 1 : std::clamp(attr->Value, 0, 100);
          break;
        case CellPaddingSy:
          if (attr->Value >= 0) CellPad = std::min(attr->Value, 50);
          break;
        case CellSpacingSy:
          if (attr->Value >= -1) CellSpace = std::min(attr->Value, 40);
          break;
        default:
          break;
      }
    }
  if (prop && prop->Collapse()) CellSpace = -1;
}

ThtmlTable::ThtmlTable(TSectionList* document, const ThtmlTable& source)
    : TSectionBase(document, source),
      GridReady(source.GridReady),
      GridIndent(source.GridIndent),
      BorderAttr(source.BorderAttr),
      IsFloating(source.IsFloating),
      ColCount(source.ColCount),
      GridWidth(source.GridWidth),
      WidthRequest(source.WidthRequest),
      HasPixelWidths(source.HasPixelWidths),
      GridHeight(source.GridHeight),
      CellPad(source.CellPad),
      CellSpace(source.CellSpace),
      FloatOffsetY(source.FloatOffsetY),
      LightColor(source.LightColor),
      DarkColor(source.DarkColor),
      FillsBackground(source.FillsBackground),
      FillColor(source.FillColor),
      ColumnSpecs(source.ColumnSpecs),
      ColWidths(source.ColWidths),
      ColMax(source.ColMax),
      ColMin(source.ColMin),
      ColPercent(source.ColPercent),
      RowHeights(source.RowHeights) {
  for (const auto& row : source.RowList) RowList.Add(std::make_unique<TCellList>(document, *row));
}

std::unique_ptr<TSectionBase> ThtmlTable::CreateCopy(TSectionList* document) const {
  return std::make_unique<ThtmlTable>(document, *this);
}

void ThtmlTable::AddColumn(int32_t width, bool asPercent, const std::string& align,
                           uint8_t vertAlign) {
  ColumnSpecs.push_back({width, asPercent, align, vertAlign});
}

bool ThtmlTable::ForEachCell(
    const std::function<bool(TCellObj& cell, int row, int col)>& visit) const {
  for (int r = 0; r < RowList.Count(); ++r) {
    const TCellList& row = *RowList[r];
    for (int c = 0; c < row.Count(); ++c)
      if (TCellObj* cell = row[c]; cell && !cell->IsPlaceholder() && visit(*cell, r, c))
        return true;
  }
  return false;
}

void ThtmlTable::NormalizeGrid() {
  if (GridReady) return;
  const int rows = RowList.Count();
  bool pixelWidths = false;
  ColCount = 0;
  // Placeholders cost memory: a page cannot make the grid grow without bound.
  int budget = kMaxSpanPlaceholders;
  for (int r = 0; r < rows; ++r) {
    TCellList& row = *RowList[r];
    for (int c = 0; c < row.Count(); ++c) {
      TCellObj* cell = row[c];
      if (!cell || cell->IsPlaceholder()) continue;
      if (row.HasFill && !cell->Content->HasFill) {
        cell->Content->HasFill = true;
        cell->Content->FillColor = row.FillColor;
      }
      cell->Initialize(CellPad, row.ImageURL, BorderAttr > 0);
      if (cell->WidthSpec >= 1 && !cell->WidthIsPercent) pixelWidths = true;
      if (FillsBackground && !cell->Content->HasFill) {
        cell->Content->HasFill = true;
        cell->Content->FillColor = FillColor;
      }
      cell->RowSpan = std::min(cell->RowSpan, rows - r);
      cell->ColSpan = 1 + std::min(cell->ColSpan - 1, budget);
      budget -= cell->ColSpan - 1;
      for (int k = 1; k < cell->ColSpan; ++k)
        row.Insert(c + k, TCellObj::Placeholder(cell->RowSpan));
    }
    ColCount = std::max(ColCount, row.Count());
  }

  // Rows below a row span get placeholders at the spanned columns.
  for (int c = 0; c < ColCount; ++c)
    for (int r = 0; r < rows; ++r) {
      TCellList& row = *RowList[r];
      TCellObj* cell = c < row.Count() ? row[c] : nullptr;
      if (!cell || cell->RowSpan <= 1) continue;
      for (int below = r + 1; below < r + cell->RowSpan; ++below) {
        TCellList& next = *RowList[below];
        if (budget < c + 1) {
          cell->RowSpan = below - r;
          break;
        }
        budget -= std::max(0, c - next.Count()) + 1;
        while (next.Count() < c) next.TFreeList<TCellObj>::Add(TCellObj::Placeholder(1));
        next.Insert(c, TCellObj::Placeholder(1));
        ColCount = std::max(ColCount, next.Count());
      }
    }

  // A last column that only spans reach is dropped, and so is one column of those spans.
  while (ColCount > 0) {
    const int last = ColCount - 1;
    bool onlyPlaceholders = true;
    for (const auto& row : RowList)
      if (row->Count() > last && !(row->Items(last) && row->Items(last)->IsPlaceholder()))
        onlyPlaceholders = false;
    if (!onlyPlaceholders) break;
    for (const auto& row : RowList) {
      if (row->Count() <= last) continue;
      row->Delete(last);
      for (int c = last - 1; c >= 0; --c)
        if (TCellObj* left = row->Items(c); left && !left->IsPlaceholder()) {
          if (c + left->ColSpan > last) --left->ColSpan;
          break;
        }
    }
    --ColCount;
  }

  ColCount = 0;
  for (const auto& row : RowList) ColCount = std::max(ColCount, row->Count());
  if (!ColumnSpecs.empty()) {
    pixelWidths = false;
    for (const auto& row : RowList)
      for (int c = 0; c < row->Count(); ++c) {
        TCellObj* cell = row->Items(c);
        if (!cell || cell->IsPlaceholder()) continue;
        if (c < int(ColumnSpecs.size()) && ColumnSpecs[size_t(c)].SpecWidth > 0) {
          cell->WidthSpec = ColumnSpecs[size_t(c)].SpecWidth;
          cell->WidthIsPercent = ColumnSpecs[size_t(c)].WidthPercent;
        }
        if (!cell->WidthIsPercent) pixelWidths = true;
      }
    ColumnSpecs.clear();
  }
  HasPixelWidths = pixelWidths;
  ColWidths.assign(size_t(ColCount), 0);
  ColMin.assign(size_t(ColCount), 0);
  ColMax.assign(size_t(ColCount), 0);
  ColPercent.assign(size_t(ColCount), 0);
  GridReady = true;
}

std::vector<TColumnCell> ThtmlTable::ColumnCells(plat::TCanvas& canvas) {
  std::vector<TColumnCell> cells;
  ForEachCell([&](TCellObj& cell, int, int c) {
    int32_t min = 0, max = 0;
    cell.Content->MinMaxWidth(canvas, min, max);
    // Content as wide as anything keeps every sum of columns inside 32 bits.
    const int32_t extra = Clamp32(int64_t(cell.HorzExtra) + CellSpace);
    cells.push_back({c, std::clamp(cell.ColSpan, 1, ColCount - c),
                     Clamp32(int64_t(ClampBoxLength(min)) + extra),
                     Clamp32(int64_t(ClampBoxLength(max)) + extra), extra, cell.WidthSpec,
                     cell.WidthIsPercent});
    return false;
  });
  return cells;
}

void ThtmlTable::MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) {
  int32_t wanted = 0;
  WidthRange(canvas, minWidth, maxWidth, wanted);
}

void ThtmlTable::WidthRange(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth,
                            int32_t& wantedWidth) {
  NormalizeGrid();
  const std::vector<TColumnCell> cells = ColumnCells(canvas);
  const int32_t request = ClampBoxLength(WidthRequest);
  const TColumnSizes sizes = !HasPixelWidths || request > 0
                                 ? MinMaxPercent(cells, ColCount, request)
                                 : MinMaxAbs(cells, ColCount);
  minWidth = std::max(request, SaturatedSum(sizes.TotalMin(), CellSpace));
  maxWidth = std::max(request, SaturatedSum(sizes.TotalMax(), CellSpace));
  // Without a request the columns' percentages ask for the width that meets them all; the
  // table's block gives it no more than it has room for.
  const int32_t natural = request > 0 || HasPixelWidths ? 0 : Clamp32(NaturalPercentWidth(sizes));
  wantedWidth = std::max(maxWidth, SaturatedSum(natural, CellSpace));
}

void ThtmlTable::ComputeColumnWidths(plat::TCanvas& canvas, int32_t tablWidth) {
  const std::vector<TColumnCell> cells = ColumnCells(canvas);
  TColumnSizes sizes;
  if (HasPixelWidths && WidthRequest < 1) {
    sizes = MinMaxAbs(cells, ColCount);
    ColWidths = WidthsAbs(sizes, tablWidth, false);
  } else {
    sizes = MinMaxPercent(cells, ColCount, tablWidth);
    if (tablWidth <= sizes.TotalMin())
      ColWidths = sizes.Min;
    else if (WidthRequest < 1)
      ColWidths = WidthsAuto(sizes, tablWidth);
    else
      ColWidths = WidthsSpecified(sizes, tablWidth);
  }
  ColMin = std::move(sizes.Min);
  ColMax = std::move(sizes.Max);
  ColPercent = std::move(sizes.Percent);
}

void ThtmlTable::ComputeRowHeights(plat::TCanvas& canvas, int32_t availHeight) {
  const int rows = RowList.Count();
  const int32_t usable =
      ClampBoxLength(Clamp32(std::max<int64_t>(0, int64_t(availHeight) - CellSpace)));
  std::vector<TRowCell> needs;
  ForEachCell([&](TCellObj& cell, int r, int c) {
    int64_t width = 0;
    for (int k = c; k < std::min(ColCount, c + std::max(1, cell.ColSpan)); ++k)
      width += ColWidths[size_t(k)];
    cell.CellWidth = Clamp32(width);
    int32_t requested = 0;
    if (cell.HeightPx > 0)
      requested = cell.HeightPx;
    else if (cell.HeightPct > 0)
      requested = Clamp32(int64_t(usable) * cell.HeightPct / 100);
    const int32_t avail = requested > 0 ? requested : (rows == 1 ? usable : 0);
    int32_t maxWidth = 0, pos = 0;
    cell.ContentHeight = ClampBoxLength(cell.Content->Layout(
        canvas, 0, Clamp32(std::max<int64_t>(0, width - cell.HorzExtra - CellSpace)),
        Clamp32(std::max<int64_t>(0, int64_t(avail) - cell.VertExtra)), 0, maxWidth, pos));
    const int64_t height =
        std::max<int64_t>(int64_t(cell.ContentHeight) + cell.VertExtra, cell.HeightPx);
    needs.push_back({r, cell.RowSpan, Clamp32(height + CellSpace),
                     requested > 0 ? Clamp32(int64_t(requested) + CellSpace) : 0});
    return false;
  });
  RowHeights = RowHeightsFor(needs, rows, usable);
}

// The rows share out only a height given to the table itself (its block's height), not the
// room left in the window: a table without a height is as tall as its content.
int32_t ThtmlTable::Layout(plat::TCanvas& canvas, int32_t, int32_t y, int32_t, int32_t, int32_t,
                           int32_t, int32_t givenHeight, IndentManager& indents, int32_t& maxWidth,
                           int32_t& pos) {
  DepthScope depth(Document);
  PaintY = TopY = PaintTop = y;
  FirstPos = pos;
  int32_t* baselineSlot = nullptr;
  if (Document && Document->FirstBaselineSlot && *Document->FirstBaselineSlot == 0) {
    baselineSlot = Document->FirstBaselineSlot;
    Document->FirstBaselineSlot = nullptr;
  }

  const int32_t width = ClampBoxLength(
      WidthRequest >= 1
          ? WidthRequest
          : Clamp32(std::max<int64_t>(0, int64_t(indents.RightLimit(y)) - indents.LeftIndent(y))));
  NormalizeGrid();
  ComputeColumnWidths(canvas, Clamp32(int64_t(width) - CellSpace));
  int64_t grid = CellSpace;
  for (int32_t w : ColWidths) grid += w;
  GridWidth = Clamp32(grid);

  const bool outermost = depth.Depth() <= 1;
  const bool secondPass = Document && Document->SecondPass;
  if (int(RowHeights.size()) != RowList.Count() || outermost ||
      (secondPass && depth.Depth() < kRecomputeDepthLimit))
    ComputeRowHeights(canvas, givenHeight);

  for (int r = 0; r < RowList.Count(); ++r) {
    TCellList& row = *RowList[r];
    row.Height = RowHeights[size_t(r)];
    row.SpanHeight = 0;
    for (const auto& cell : row) {
      if (!cell || cell->IsPlaceholder()) continue;
      int64_t h = 0;
      for (int k = r; k < std::min(RowList.Count(), r + cell->RowSpan); ++k)
        h += RowHeights[size_t(k)];
      cell->CellHeight = Clamp32(h);
      row.SpanHeight = std::max(row.SpanHeight, cell->CellHeight);
    }
  }
  if (outermost && Document) Document->SecondPass = true;
  int64_t rowY = y;
  for (const auto& row : RowList) {
    for (const auto& cell : *row)
      if (cell && !cell->IsPlaceholder())
        cell->LayoutContent(canvas, Clamp32(rowY), CellSpace, pos);
    rowY += row->Height;
  }
  if (outermost && Document) Document->SecondPass = false;

  FlowHeight = Clamp32(rowY - y + CellSpace);
  GridHeight = PaintHeight = FlowHeight;
  PosCount = pos - FirstPos;
  maxWidth = GridWidth;
  BottomY = PaintBottom = SaturatedSum(y, FlowHeight);
  if (baselineSlot) {
    *baselineSlot = SaturatedSum(PaintY, FlowHeight);
    Document->FirstBaselineSlot = baselineSlot;
  }
  return FlowHeight;
}

}  // namespace html
