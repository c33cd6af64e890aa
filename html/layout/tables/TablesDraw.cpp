// Painting of a table: rows and cells that meet the clip rectangle, each cell's background,
// content clipped to its box, and its frame.
#include <algorithm>

#include "html/layout/blocks/BlockMath.h"
#include "html/layout/sections/BorderDrawing.h"
#include "html/layout/tables/Tables.h"

namespace html {

namespace {

// Content this far outside the clip rectangle is not painted.
constexpr int32_t kContentMargin = 200;
// Clip regions stay within what the drawing surface handles.
constexpr int32_t kClipLimit = 32000;

}  // namespace

void TCellObj::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, int32_t x, int32_t y,
                    int32_t cellSpace, bool tableBorder, TColor light, TColor dark) {
  const plat::TRect box{SaturatedSum(x, cellSpace), SaturatedSum(y, cellSpace),
                        SaturatedSum(x, CellWidth), SaturatedSum(y, CellHeight)};
  Content->CellRect = box;
  if (box.Top > clipRect.Bottom || box.Bottom < clipRect.Top) return;

  if (Content->HasFill) {
    canvas.Brush().SetStyle(plat::bsSolid);
    canvas.Brush().SetColor(Content->FillColor);
    canvas.FillRect(box);
  }
  DrawBackImage(canvas, box, clipRect);
  if (!Content->Empty() && box.Top <= int64_t(clipRect.Bottom) + kContentMargin &&
      box.Bottom >= int64_t(clipRect.Top) - kContentMargin) {
    const auto limit = [](int32_t v) { return std::clamp(v, -kClipLimit, kClipLimit); };
    const TSavedClip saved = SaveClipRegion(
        canvas, {limit(box.Left), limit(box.Top), limit(box.Right), limit(box.Bottom)});
    const int32_t contentX = Clamp32(int64_t(box.Left) + Padding[3] + BorderWidths[3]);
    const int32_t contentY = Clamp32(int64_t(box.Top) + Padding[0] + BorderWidths[0]);
    const int32_t contentWidth =
        Clamp32(std::max<int64_t>(0, int64_t(CellWidth) - HorzExtra - cellSpace));
    Content->Draw(canvas, clipRect, contentWidth, contentX, contentY, 0, 0);
    RestoreClipRegion(canvas, saved);
  }
  if (BorderOn) {
    const auto style = [&](int index) { return uint8_t(Margins[index]); };
    const plat::TRect inner{
        SaturatedSum(box.Left, BorderWidths[3]), SaturatedSum(box.Top, BorderWidths[0]),
        SaturatedSum(box.Right, -BorderWidths[1]), SaturatedSum(box.Bottom, -BorderWidths[2])};
    DrawCssBorder(canvas, box, inner, Content->HasFill ? Content->FillColor : clNone,
                  PackBorderSides(style(piBorderLeftStyle), style(piBorderTopStyle),
                                  style(piBorderRightStyle), style(piBorderBottomStyle)),
                  SetRectRec(Margins[piBorderLeftColor], Margins[piBorderTopColor],
                             Margins[piBorderRightColor], Margins[piBorderBottomColor]));
  } else if (tableBorder && !Content->Empty()) {
    // The frame routine draws around (left + 1, top + 1, right, bottom): its lines fall on the
    // box's outermost pixels.
    Draw3DRectColors(canvas, box.Left, box.Top, box.Right - 1, box.Bottom - 1, 1, false, light,
                     dark);
  }
}

void TCellList::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect,
                     const std::vector<int32_t>& widths, int32_t x, int32_t y, int32_t cellSpace,
                     bool tableBorder, TColor light, TColor dark) {
  if (int64_t(y) + SpanHeight < clipRect.Top || y > clipRect.Bottom) return;
  int64_t cellX = x;
  for (int c = 0; c < Count() && c < int(widths.size()); ++c) {
    if (TCellObj* cell = Items(c); cell && !cell->IsPlaceholder())
      cell->Draw(canvas, clipRect, Clamp32(cellX), y, cellSpace, tableBorder, light, dark);
    cellX += widths[size_t(c)];
  }
}

int32_t ThtmlTable::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager&,
                         int32_t x, int32_t, int32_t) {
  if (Document) ++Document->TableDepth;
  const int32_t scroll = Document ? Document->ScrollY : 0;
  const int64_t top = int64_t(PaintY) + (IsFloating ? FloatOffsetY : 0) - scroll;
  PaintX = SaturatedSum(x, GridIndent);
  PaintOriginY = Clamp32(top);
  if (top <= clipRect.Bottom && top + FlowHeight >= clipRect.Top) {
    int64_t rowY = top;
    for (const auto& row : RowList) {
      row->Draw(canvas, clipRect, ColWidths, PaintX, Clamp32(rowY), CellSpace, BorderAttr > 0,
                LightColor, DarkColor);
      rowY += row->Height;
    }
  }
  if (Document) --Document->TableDepth;
  return SaturatedSum(PaintY, FlowHeight);
}

}  // namespace html
