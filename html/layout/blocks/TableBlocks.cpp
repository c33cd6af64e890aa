// The block around a table: presentation attributes turned into the box, the table's width
// from its request or its content, centring and right alignment, and the raised frame of BORDER.
#include <algorithm>
#include <cstdlib>

#include "html/css/CssComputed.h"
#include "html/layout/blocks/BlockMath.h"
#include "html/layout/blocks/PageItems.h"
#include "html/layout/sections/BorderDrawing.h"
#include "platform/runtime/SysUtils.h"

namespace html {

namespace {

std::string UpperCase(std::string text) {
  for (char& ch : text)
    if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
  return text;
}

bool HasPercent(const std::string& text) {
  return text.find('%') != std::string::npos;
}

}  // namespace

TTableBlock::TTableBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
                         std::unique_ptr<ThtmlTable> table, TAttributeList* attributes)
    : TBlock(document, prop, container, attributes, TMergeMargins::Later), Table(table.get()) {
  if (attributes) ReadAttributes(*attributes);
  TakeTableBorder();
  TakeCssWidth();
  MergeVerticalMargins(container);
  if (Table) {
    Table->IsFloating = IsFloating();
    Content.Add(std::move(table), 0);
  }
  if (IsFloating() && StackOrder == 0) StackOrder = 1;
}

TTableBlock::TTableBlock(TSectionList* document, const TTableBlock& source)
    : TBlock(document, source),
      RequestedWidth(source.RequestedWidth),
      WidthIsPercent(source.WidthIsPercent),
      BgColor(source.BgColor),
      HasBgColor(source.HasBgColor),
      HSpaceAttr(source.HSpaceAttr),
      VSpaceAttr(source.VSpaceAttr),
      CaptionAttached(source.CaptionAttached),
      BorderFromTable(source.BorderFromTable),
      TableAlign(source.TableAlign),
      LeftShift(source.LeftShift) {
  for (const auto& item : Content)
    if (auto* table = dynamic_cast<ThtmlTable*>(item.get())) Table = table;
}

std::unique_ptr<TSectionBase> TTableBlock::CreateCopy(TSectionList* document) const {
  return std::make_unique<TTableBlock>(document, *this);
}

void TTableBlock::ReadAttributes(TAttributeList& attributes) {
  bool backgroundSeen = false;
  for (const auto& attr : attributes) {
    const int32_t value = attr->Value;
    switch (attr->Which) {
      case WidthSy:
        if (attr->IsPercent()) {
          WidthIsPercent = true;
          if (value >= 1 && value <= 100) RequestedWidth = value * 10;
        } else {
          RequestedWidth = std::max(0, value);
        }
        break;
      case HeightSy:
        if (VarToInt(RawMargins()[piHeight], UnsetLength) == UnsetLength)
          SetRawMargin(piHeight, attr->IsPercent() ? TCssValue(std::to_string(value) + "%")
                                                   : TCssValue(std::max(0, value)));
        break;
      case HSpaceSy:
        HSpaceAttr = int32_t(std::min<int64_t>(40, std::llabs(value)));
        break;
      case VSpaceSy:
        VSpaceAttr = int32_t(std::min<int64_t>(200, std::llabs(value)));
        break;
      case AlignSy: {
        const std::string align = UpperCase(attr->Name);
        if (align == "CENTER") TableAlign = BlockAlignCenter;
        if (align == "LEFT" && !IsFloating()) FloatSide = FloatLeft;
        if (align == "RIGHT" && !IsFloating()) FloatSide = FloatRight;
        break;
      }
      case BGColorSy:
        HasBgColor = ParseColor(attr->Name, false, BgColor);
        break;
      case BackgroundSy:
        // Tiled from the top-left corner.
        if (!backgroundSeen && BackImageUrl().empty()) SetBackImage(attr->Name, TBackgroundPos{});
        backgroundSeen = true;
        break;
      default:
        break;
    }
  }
}

void TTableBlock::TakeTableBorder() {
  if (!Table || Table->BorderAttr <= 0) return;
  for (int side = piBorderTopStyle; side <= piBorderLeftStyle; ++side)
    if (VarToInt(RawMargins()[side], 0) != 0) return;
  for (int side = piBorderTopWidth; side <= piBorderLeftWidth; ++side)
    SetRawMargin(side, Table->BorderAttr);
  for (int side = piBorderTopStyle; side <= piBorderLeftStyle; ++side)
    SetRawMargin(side, uint8_t(bssOutset));
  BorderFromTable = true;
}

void TTableBlock::TakeCssWidth() {
  // At a base of 100 a percentage converts to its own number.
  TMarginArray box;
  ConvertMargins(100, 0, box);
  const int32_t width = box[piWidth];
  if (width == AutoLength || width <= 0) return;
  const TCssValue given = RawMargins()[piWidth];
  if (const std::string* text = VarString(given); text && HasPercent(*text)) {
    WidthIsPercent = true;
    RequestedWidth = std::min(1000, width * 10);
  } else {
    WidthIsPercent = false;
    RequestedWidth = width;
    SetRawMargin(piWidth, std::max(0, width - box[piBorderLeftWidth] - box[piBorderRightWidth] -
                                          box[piPaddingLeft] - box[piPaddingRight]));
  }
}

void TTableBlock::MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) {
  int32_t request = 0;
  if (!WidthIsPercent) {
    TMarginArray box;
    ConvertMargins(0, 400, box);
    request = std::max<int32_t>(
        0, Clamp32(int64_t(RequestedWidth) - box[piBorderLeftWidth] - box[piBorderRightWidth] -
                   box[piPaddingLeft] - box[piPaddingRight]));
  }
  if (Table) Table->WidthRequest = request;
  TBlock::MinMaxWidth(canvas, minWidth, maxWidth);
  if (request > 0) {
    minWidth = std::max(minWidth, request);
    maxWidth = minWidth;
  }
}

int32_t TTableBlock::ComputeWidth(plat::TCanvas& canvas, int32_t availWidth, int, int32_t) {
  TMarginArray& box = Margins.Edit();
  int32_t& marginLeft = box[piMarginLeft];
  int32_t& marginRight = box[piMarginRight];
  if (CaptionAttached) {
    marginLeft = marginRight = 0;
  } else {
    if (marginLeft == AutoLength) marginLeft = 0;
    if (marginRight == AutoLength) marginRight = 0;
    if (IsFloating()) {
      if (marginLeft == 0) marginLeft = HSpaceAttr;
      if (marginRight == 0) marginRight = HSpaceAttr;
      if (box[piMarginTop] == 0) box[piMarginTop] = VSpaceAttr;
      if (box[piMarginBottom] == 0) box[piMarginBottom] = VSpaceAttr;
    }
  }
  if (HasBgColor && box[piBackgroundColor] == clNone) box[piBackgroundColor] = BgColor;
  if (!Table) return 0;
  Table->FillColor = box[piBackgroundColor];
  Table->FillsBackground = Table->FillColor != clNone && BackImageUrl().empty();

  const int32_t width = CaptionAttached ? Table->WidthRequest : TableWidth(canvas, availWidth);
  const int64_t rest = int64_t(availWidth) - LeftExtras() - RightExtras() - width;
  if (marginLeft == 0 && marginRight == 0 && rest > 0) {
    if (TableAlign == BlockAlignCenter) marginLeft = ClampBoxLength(Clamp32(rest / 2));
    if (TableAlign == BlockAlignRight) marginLeft = ClampBoxLength(Clamp32(rest));
  }
  return width;
}

int32_t TTableBlock::TableWidth(plat::TCanvas& canvas, int32_t availWidth) {
  if (!Table) return 0;
  const int64_t left = LeftExtras(), right = RightExtras();
  const int64_t room = int64_t(availWidth) - left - right;
  int32_t minWidth = 0, maxWidth = 0, wantedWidth = 0;
  Table->WidthRequest = 0;
  Table->WidthRange(canvas, minWidth, maxWidth, wantedWidth);
  int64_t width;
  if (RequestedWidth <= 0) {
    width = wantedWidth <= room ? wantedWidth : std::max<int64_t>(minWidth, room);
  } else {
    const int64_t frame = int64_t(Margins[piBorderLeftWidth]) + Margins[piBorderRightWidth] +
                          Margins[piPaddingLeft] + Margins[piPaddingRight];
    const int64_t request =
        WidthIsPercent ? int64_t(plat::MulDiv(availWidth, RequestedWidth, 1000)) - left - right
                       : RequestedWidth - frame;
    width = std::max<int64_t>(minWidth, request);
  }
  const int32_t result = ClampBoxLength(Clamp32(width));
  if (RequestedWidth > 0) Table->WidthRequest = result;
  return result;
}

int32_t TTableBlock::Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                            int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                            IndentManager& indents, int32_t& maxWidth, int32_t& pos) {
  LeftShift = 0;
  if (!IsFloating()) {
    // A table never runs under a float: it starts beside it and ends before the right one.
    const int32_t start = std::max(x, indents.LeftIndent(y));
    const int64_t end = std::min(int64_t(x) + availWidth, int64_t(indents.RightLimit(y)));
    LeftShift = start - x;
    x = start;
    availWidth = Clamp32(std::max<int64_t>(0, end - start));
  }
  return TBlock::Layout(canvas, x, y, refX, refY, availWidth, availHeight, blockHeight, indents,
                        maxWidth, pos);
}

int32_t TTableBlock::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect,
                          IndentManager& indents, int32_t x, int32_t refX, int32_t refY) {
  return TBlock::Draw(canvas, clipRect, indents, SaturatedSum(x, LeftShift), refX, refY);
}

void TTableBlock::AddToPositionList() {
  if (Table) Table->AddToPositionList();
}

void TTableBlock::DrawBlockBorder(plat::TCanvas& canvas, const plat::TRect& inner,
                                  const plat::TRect& outer) {
  if (!BorderFromTable || !Table) {
    TBlock::DrawBlockBorder(canvas, inner, outer);
    return;
  }
  Draw3DRectColors(canvas, inner.Left - 1, inner.Top - 1, inner.Right, inner.Bottom,
                   Table->BorderAttr, true, Table->LightColor, Table->DarkColor);
}

}  // namespace html
