// Cells and rows of a table as the page gives them.
#include <algorithm>

#include "html/css/CssColors.h"
#include "html/css/CssComputed.h"
#include "html/images/ImageObjects.h"
#include "html/layout/blocks/BlockMath.h"
#include "html/layout/tables/Tables.h"

namespace html {

namespace {

// A length attribute: per-mille or pixels, with the percent flag.
struct LengthAttr {
  int32_t Value = 0;
  bool Percent = false;
};
LengthAttr ReadLength(const TAttribute& attr) {
  return {attr.Value, attr.IsPercent()};
}

bool FindAttr(TAttributeList* attributes, Symb sym, TAttribute*& attr) {
  return attributes && attributes->Find(sym, attr);
}

// HEIGHT: a percentage 0..100 or pixels.
void ReadHeight(TAttributeList* attributes, int32_t& pixels, int32_t& percent) {
  TAttribute* attr = nullptr;
  if (!FindAttr(attributes, HeightSy, attr)) return;
  const LengthAttr h = ReadLength(*attr);
  if (h.Percent)
    percent = std::clamp(h.Value, 0, 100);
  else
    pixels = ClampBoxLength(std::max(0, h.Value));
}

}  // namespace

TCellObj::TCellObj(TSectionList* document, TAttributeList* attributes, TProperties* prop,
                   uint8_t vertAlign)
    : VertAlign(vertAlign), Content(std::make_unique<TCellObjCell>(document)) {
  TAttribute* attr = nullptr;
  if (FindAttr(attributes, ColSpanSy, attr) && attr->Value > 1)
    ColSpan = std::min(attr->Value, kMaxColSpan);
  if (FindAttr(attributes, RowSpanSy, attr) && attr->Value > 1)
    RowSpan = std::min(attr->Value, kMaxRowSpan);
  if (FindAttr(attributes, WidthSy, attr)) {
    const LengthAttr w = ReadLength(*attr);
    if (w.Percent && w.Value >= 1 && w.Value <= 100) {
      WidthSpec = w.Value * 10;
      WidthIsPercent = true;
    } else if (!w.Percent && w.Value > 0) {
      WidthSpec = ClampBoxLength(w.Value);
    }
  }
  ReadHeight(attributes, HeightPx, HeightPct);
  TColor colour = clNone;
  if (FindAttr(attributes, BGColorSy, attr) && ParseColor(attr->Name, false, colour)) {
    Content->HasFill = true;
    Content->FillColor = colour;
  }
  if (FindAttr(attributes, BackgroundSy, attr)) MakeBackground().Url = attr->Name;
  if (FindAttr(attributes, HrefSy, attr)) Content->Hints().Url = attr->Name;
  if (FindAttr(attributes, TargetSy, attr)) Content->Hints().Target = attr->Name;
  if (attributes)
    if (std::string title = attributes->GetTitle(); !title.empty())
      Content->Hints().Title = std::move(title);
  if (!prop) return;

  if (!prop->Title.empty()) Content->Hints().Title = prop->Title;
  if (int align = 0; prop->GetVertAlign(align) && align != VAlignBaseline && align >= VAlignTop &&
                     align <= VAlignBottom)
    VertAlign = uint8_t(align);
  prop->GetFont();  // measures the cell's own font: its em and ex size its box, not the row's
  EmPixels = prop->EmPixels;
  ExPixels = prop->ExPixels;
  TVMarginArray raw{};
  prop->GetVMarginArray(raw);
  int autoCount = 0;
  ConvMargArray(raw, 100, 0, EmPixels, ExPixels, autoCount, Margins);
  if (const int32_t width = Margins[piWidth]; width > 0) {
    const TCssValue given = raw[piWidth];
    if (const std::string* text = VarString(given); !text || text->find('%') == std::string::npos) {
      WidthSpec = ClampBoxLength(width);
      WidthIsPercent = false;
    } else if (width < 100) {
      WidthSpec = width * 10;
      WidthIsPercent = true;
    }
  }
  if (Margins[piHeight] > 0) HeightPx = ClampBoxLength(Margins[piHeight]);
  if (const TColor fill = prop->GetBoxBackgroundColor(); fill != clNone) {
    Content->HasFill = true;
    Content->FillColor = fill;
  }
  if (std::string url; prop->GetBackgroundImage(url) && !url.empty()) {
    TCellBackground& background = MakeBackground();
    background.Url = url;
    prop->GetBackgroundPos(EmPixels, ExPixels, background.Position);
  }
  BorderOn = prop->HasBorderStyle() != 0;
  TMarginArray paddings{};
  ConvCellPadding(raw, EmPixels, ExPixels, paddings);
  Padding = {paddings[piPaddingTop], paddings[piPaddingRight], paddings[piPaddingBottom],
             paddings[piPaddingLeft]};
  if (BorderOn)
    BorderWidths = {Margins[piBorderTopWidth], Margins[piBorderRightWidth],
                    Margins[piBorderBottomWidth], Margins[piBorderLeftWidth]};
}

TCellObj::TCellObj(TSectionList* document, const TCellObj& source)
    : ColSpan(source.ColSpan),
      RowSpan(source.RowSpan),
      CellWidth(source.CellWidth),
      CellHeight(source.CellHeight),
      ContentHeight(source.ContentHeight),
      HeightPx(source.HeightPx),
      HeightPct(source.HeightPct),
      ContentOffsetY(source.ContentOffsetY),
      VertAlign(source.VertAlign),
      WidthSpec(source.WidthSpec),
      WidthIsPercent(source.WidthIsPercent),
      EmPixels(source.EmPixels),
      ExPixels(source.ExPixels),
      Padding(source.Padding),
      BorderWidths(source.BorderWidths),
      HorzExtra(source.HorzExtra),
      VertExtra(source.VertExtra),
      BorderOn(source.BorderOn),
      Margins(source.Margins) {
  if (source.Background) {
    MakeBackground().Url = source.Background->Url;
    Background->Position = source.Background->Position;
  }
  if (source.Content) {
    Content = std::make_unique<TCellObjCell>(document, *source.Content);
    if (const auto* hints = source.Content->GivenHints()) Content->Hints() = *hints;
  }
}

std::unique_ptr<TCellObj> TCellObj::Placeholder(int rowSpan) {
  std::unique_ptr<TCellObj> cell(new TCellObj());
  cell->ColSpan = 0;
  cell->RowSpan = std::max(1, rowSpan);
  return cell;
}

void TCellObj::Initialize(int32_t cellPad, const std::string& rowImageUrl, bool tableBorder) {
  for (int32_t& p : Padding)
    if (p < 0) p = cellPad;
  if (tableBorder && !BorderOn)
    for (int32_t& b : BorderWidths) b = std::max(b, 1);
  for (int32_t& b : BorderWidths) b = ClampBoxLength(std::max(0, b));
  for (int32_t& p : Padding) p = ClampBoxLength(p);
  HorzExtra = Padding[3] + BorderWidths[3] + BorderWidths[1] + Padding[1];
  VertExtra = Padding[0] + BorderWidths[0] + BorderWidths[2] + Padding[2];
  if (!rowImageUrl.empty() && (!Background || Background->Url.empty()))
    MakeBackground().Url = rowImageUrl;
}

void TCellObj::LayoutContent(plat::TCanvas& canvas, int32_t y, int32_t cellSpace, int32_t& pos) {
  FetchBackImage(canvas);
  if (!Content || Content->Empty()) return;
  const int64_t free = int64_t(CellHeight) - ContentHeight - VertExtra - cellSpace;
  switch (VertAlign) {
    case VAlignTop:
      ContentOffsetY = 0;
      break;
    case VAlignMiddle:
      ContentOffsetY = Clamp32(free / 2);
      break;
    default:
      ContentOffsetY = Clamp32(free);
      break;
  }
  const int32_t top =
      Clamp32(int64_t(y) + cellSpace + Padding[0] + BorderWidths[0] + ContentOffsetY);
  const int32_t width = Clamp32(std::max<int64_t>(0, int64_t(CellWidth) - HorzExtra - cellSpace));
  const int32_t height = Clamp32(std::max<int64_t>(0, int64_t(CellHeight) - VertExtra - cellSpace));
  int32_t maxWidth = 0;
  Content->Layout(canvas, top, width, height, 0, maxWidth, pos);
}

TCellList::TCellList(TAttributeList* attributes, TProperties* prop) {
  TAttribute* attr = nullptr;
  TColor colour = clNone;
  if (FindAttr(attributes, BGColorSy, attr) && ParseColor(attr->Name, false, colour)) {
    HasFill = true;
    FillColor = colour;
  }
  if (FindAttr(attributes, BackgroundSy, attr)) ImageURL = attr->Name;
  ReadHeight(attributes, HeightAttr, HeightPercent);
  if (!prop) return;
  if (const TColor fill = prop->GetBoxBackgroundColor(); fill != clNone) {
    HasFill = true;
    FillColor = fill;
  }
  if (std::string url; prop->GetBackgroundImage(url) && !url.empty()) ImageURL = url;
}

TCellList::TCellList(TSectionList* document, const TCellList& source)
    : Height(source.Height),
      HeightAttr(source.HeightAttr),
      HeightPercent(source.HeightPercent),
      SpanHeight(source.SpanHeight),
      HasFill(source.HasFill),
      FillColor(source.FillColor),
      ImageURL(source.ImageURL) {
  for (const auto& cell : source)
    TFreeList<TCellObj>::Add(cell ? std::make_unique<TCellObj>(document, *cell) : nullptr);
}

void TCellList::Add(std::unique_ptr<TCellObj> cell) {
  if (cell) {
    if (HeightAttr >= 1)
      cell->HeightPx = std::max(cell->HeightPx, HeightAttr);
    else if (HeightPercent > 0)
      cell->HeightPct = std::max(cell->HeightPct, HeightPercent);
  }
  TFreeList<TCellObj>::Add(std::move(cell));
}

}  // namespace html
