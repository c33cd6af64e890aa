// Painting of block boxes: background colour, overflow clip, the content in z-order, borders.
#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/layout/blocks/BlockMath.h"
#include "html/layout/blocks/PageItems.h"
#include "html/layout/sections/BorderDrawing.h"

namespace html {

int32_t TBlock::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
                     int32_t x, int32_t refX, int32_t refY) {
  const int32_t result = SaturatedSum(PaintY, FlowHeight);
  if (Style().NotDisplayed || Style().VisibilityCode == 1) return result;
  switch (PositionMode) {
    case PosRelative:
      PaintBlock(canvas, clipRect, indents, SaturatedSum(x, OffsetLeft()),
                 SaturatedSum(PaintY, OffsetTop()), refX, refY);
      break;
    case PosAbsolute:
      PaintBlock(canvas, clipRect, indents, SaturatedSum(refX, OffsetLeft()),
                 SaturatedSum(refY, OffsetTop()), refX, refY);
      break;
    default:
      PaintBlock(canvas, clipRect, indents, x, PaintY, refX, refY);
  }
  return result;
}

void TBlock::PaintBlock(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
                        int32_t x, int32_t y, int32_t refX, int32_t refY) {
  const int64_t scroll = Document ? Document->ScrollY : 0;
  const int64_t shift = PositionMode == PosRelative ? OffsetTop() : 0;
  const int32_t contentX = SaturatedSum(x, ContentLeftOffset);
  const plat::TRect border{
      Clamp32(int64_t(contentX) - Margins[piPaddingLeft] - Margins[piBorderLeftWidth]),
      Clamp32(int64_t(y) + ClearExtra() + Margins[piMarginTop] - scroll),
      Clamp32(int64_t(contentX) + ContentWidth + Margins[piPaddingRight] +
              Margins[piBorderRightWidth]),
      Clamp32(InnerBottom + shift + Margins[piPaddingBottom] + Margins[piBorderBottomWidth] -
              scroll)};
  const plat::TRect padding{Clamp32(int64_t(border.Left) + Margins[piBorderLeftWidth]),
                            Clamp32(int64_t(border.Top) + Margins[piBorderTopWidth]),
                            Clamp32(int64_t(border.Right) - Margins[piBorderRightWidth]),
                            Clamp32(int64_t(border.Bottom) - Margins[piBorderBottomWidth])};

  // Inside a table a positioned block escapes the cell's clip.
  plat::DeviceContext* dc = canvas.Handle();
  std::optional<TSavedClip> tableClip;
  if (PositionMode != PosStatic && Document && Document->TableDepth > 0 && dc) {
    tableClip = TSavedClip{dc->ClipRegion(), {}};
    dc->SelectClipRgn(nullptr);
  }
  TitleRect = border;
  const bool meetsClip = border.Top < clipRect.Bottom && border.Bottom > clipRect.Top;
  const TColor background = Margins[piBackgroundColor];
  if (meetsClip && background != clNone) {
    canvas.Brush().SetStyle(plat::bsSolid);
    canvas.Brush().SetColor(TColor(background | PaletteRelative()));
    canvas.FillRect(padding);
  }
  if (meetsClip) DrawBackImage(canvas, padding, clipRect);

  std::optional<TSavedClip> overflowClip;
  if (ClipsOverflow()) overflowClip = SaveClipRegion(canvas, padding);

  IndentManager* work = &indents;
  int32_t contentRefX = refX, contentRefY = refY;
  if (PositionMode == PosRelative) {
    contentRefY = SaturatedSum(TopY, OffsetTop());
  } else if (IsAbsolutelyPositioned()) {
    work = &OwnIndents();
    work->Reset(indents.LeftEdge, SaturatedSum(indents.LeftEdge, ContentWidth));
    contentRefY =
        Clamp32(int64_t(refY) + OffsetTop() + Margins[piMarginTop] + Margins[piBorderTopWidth]);
    contentRefX =
        Clamp32(int64_t(refX) + OffsetLeft() + Margins[piMarginLeft] + Margins[piBorderLeftWidth]);
  }
  const int32_t savedClipWidth = work->ClipWidth;
  work->ClipWidth = ContentWidth;
  for (int i = 0; i < PaintCount(); ++i)
    PaintItem(i)->Draw(canvas, clipRect, *work, contentX, contentRefX, contentRefY);
  work->ClipWidth = savedClipWidth;

  if (overflowClip) RestoreClipRegion(canvas, *overflowClip);
  if (meetsClip) DrawBlockBorder(canvas, padding, border);
  if (tableClip) RestoreClipRegion(canvas, *tableClip);
}

void TBlock::DrawBlockBorder(plat::TCanvas& canvas, const plat::TRect& inner,
                             const plat::TRect& outer) {
  if (!BorderOn) return;
  const auto style = [&](int index) { return uint8_t(Margins[index]); };
  DrawCssBorder(canvas, outer, inner, Margins[piBackgroundColor],
                PackBorderSides(style(piBorderLeftStyle), style(piBorderTopStyle),
                                style(piBorderRightStyle), style(piBorderBottomStyle)),
                SetRectRec(Margins[piBorderLeftColor], Margins[piBorderTopColor],
                           Margins[piBorderRightColor], Margins[piBorderBottomColor]));
}

}  // namespace html
