// Folder html/layout/tables: TABLE as a document item: rows of cells on a grid, the widths of its
// columns, the heights of its rows, and the painting of each cell's background, content and frame.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/base/PageUtils.h"
#include "html/css/CssBoxes.h"
#include "html/css/CssStyles.h"
#include "html/layout/sections/PageSections.h"
#include "html/layout/tables/TablesWidths.h"

namespace html {

class TImageObj;

// Vertical alignment codes of cells and rows.
enum : uint8_t { VAlignTop = 1, VAlignMiddle = 2, VAlignBaseline = 3, VAlignBottom = 4 };

// The limits a page's spans are held to, so a grid can never grow beyond reason.
inline constexpr int kMaxColSpan = 1000;
inline constexpr int kMaxRowSpan = 65534;
// The most grid positions that spans may cover in one table; spans beyond are cut.
inline constexpr int kMaxSpanPlaceholders = 1 << 16;

// A COL entry.
struct TColObj {
  int32_t SpecWidth = 0;
  bool WidthPercent = false;  // SpecWidth is per-mille of the table's width
  std::string HAlign;
  uint8_t VertAlign = 0;
};

// One cell of the grid. A placeholder (ColSpan 0) marks a position covered by another cell's
// span.
class TCellObj {
 public:
  // attributes and prop may be null (a cell with nothing given).
  TCellObj(TSectionList* document, TAttributeList* attributes, TProperties* prop,
           uint8_t vertAlign);
  TCellObj(TSectionList* document, const TCellObj& source);
  static std::unique_ptr<TCellObj> Placeholder(int rowSpan);
  ~TCellObj();

  bool IsPlaceholder() const { return ColSpan == 0; }
  // Settles paddings and borders for the table's defaults; run once, at grid normalisation.
  void Initialize(int32_t cellPad, const std::string& rowImageUrl, bool tableBorder);
  // Places the content inside CellHeight by VertAlign.
  void LayoutContent(plat::TCanvas& canvas, int32_t y, int32_t cellSpace, int32_t& pos);
  // Fetches the background picture once pictures are shown; one that cannot be had is dropped.
  void FetchBackImage(plat::TCanvas& canvas);
  // Tiles the background picture over the padding box inside box, within clipRect.
  void DrawBackImage(plat::TCanvas& canvas, const plat::TRect& box, const plat::TRect& clipRect);
  // Paints the cell whose box (spacing included) starts at (x, y) in window coordinates.
  void Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, int32_t x, int32_t y,
            int32_t cellSpace, bool tableBorder, TColor light, TColor dark);

  int ColSpan = 1;
  int RowSpan = 1;
  int32_t CellWidth = 0;   // spanned columns included
  int32_t CellHeight = 0;  // spanned rows included
  int32_t ContentHeight = 0;
  int32_t HeightPx = 0;
  int32_t HeightPct = 0;
  int32_t ContentOffsetY = 0;
  uint8_t VertAlign = VAlignMiddle;
  int32_t WidthSpec = 0;  // pixels, or per-mille when WidthIsPercent
  bool WidthIsPercent = false;
  int EmPixels = 0;
  int ExPixels = 0;
  // Top, right, bottom, left.
  std::array<int32_t, 4> Padding{-1, -1, -1, -1};
  std::array<int32_t, 4> BorderWidths{};
  int32_t HorzExtra = 0;
  int32_t VertExtra = 0;
  bool BorderOn = false;
  std::unique_ptr<TCellObjCell> Content;
  // A background picture, which few cells have: its address, place and image object.
  struct TCellBackground {
    std::string Url;
    TBackgroundPos Position{};
    std::unique_ptr<TImageObj> Image;
    bool Fetched = false;
  };
  std::unique_ptr<TCellBackground> Background;
  TCellBackground& MakeBackground();
  TMarginArray Margins{};  // border styles and colours

 private:
  TCellObj() = default;
};

// A row of cells (null entries allowed).
class TCellList : public TFreeList<TCellObj> {
 public:
  TCellList(TAttributeList* attributes, TProperties* prop);
  TCellList(TSectionList* document, const TCellList& source);

  // Appends the cell, raising its height request to the row's.
  void Add(std::unique_ptr<TCellObj> cell);
  // Paints the row whose top is y (window coordinates) from x.
  void Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, const std::vector<int32_t>& widths,
            int32_t x, int32_t y, int32_t cellSpace, bool tableBorder, TColor light, TColor dark);

  int32_t Height = 0;
  int32_t HeightAttr = 0;
  int32_t HeightPercent = 0;
  int32_t SpanHeight = 0;
  bool HasFill = false;
  TColor FillColor = clNone;
  std::string ImageURL;
};

class ThtmlTable : public TSectionBase {
 public:
  // attributes and prop may be null.
  ThtmlTable(TSectionList* document, TAttributeList* attributes, TProperties* prop);
  ThtmlTable(TSectionList* document, const ThtmlTable& source);

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;
  void AddColumn(int32_t width, bool asPercent, const std::string& align, uint8_t vertAlign);

  void MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) override;
  // MinMaxWidth, and the width the table asks of its own block: without a request, the width at
  // which its percentages are met (at least maxWidth). What surrounds the table sees maxWidth.
  void WidthRange(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth,
                  int32_t& wantedWidth);
  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override;
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
               int32_t x, int32_t refX, int32_t refY) override;

  int HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) override;
  TFloatingObj* FindObjectAt(int32_t x, int32_t y, int32_t& objX, int32_t& objY) override;
  int32_t FindCursorAt(plat::TCanvas& canvas, int32_t x, int32_t y, TCursorHit& hit) override;
  int32_t FindStringForward(std::u16string_view text, int32_t from, bool matchCase) override;
  int32_t FindStringBackward(std::u16string_view text, int32_t from, bool matchCase) override;
  int32_t DocToSourcePos(int32_t pos) override;
  int32_t SourceToDocPos(int32_t sourcePos, bool backwards) override;
  bool PositionToXY(plat::TCanvas* canvas, int32_t pos, int32_t& y, int32_t& x) override;
  bool GetCharAt(int32_t pos, char16_t& ch, TSectionBase*& item) override;
  void CopySelectedText() override;

  // Expands spans into placeholders and settles the column count; runs once.
  void NormalizeGrid();

  TFreeList<TCellList> RowList;
  bool GridReady = false;
  int32_t GridIndent = 0;
  int32_t BorderAttr = 0;
  bool IsFloating = false;
  int ColCount = 0;
  int32_t GridWidth = 0;
  int32_t WidthRequest = 0;
  bool HasPixelWidths = false;
  int32_t GridHeight = 0;
  int32_t CellPad = 1;
  int32_t CellSpace = 2;
  int32_t FloatOffsetY = 0;
  TColor LightColor = plat::clBtnHighlight;
  TColor DarkColor = plat::clBtnShadow;
  int32_t PaintX = 0;
  int32_t PaintOriginY = 0;
  bool FillsBackground = false;
  TColor FillColor = clNone;
  std::vector<TColObj> ColumnSpecs;
  std::vector<int32_t> ColWidths, ColMax, ColMin, ColPercent;
  std::vector<int32_t> RowHeights;

 private:
  // Every real cell with its content widths, as the column sizing takes them.
  std::vector<TColumnCell> ColumnCells(plat::TCanvas& canvas);
  void ComputeColumnWidths(plat::TCanvas& canvas, int32_t tablWidth);
  void ComputeRowHeights(plat::TCanvas& canvas, int32_t availHeight);
  // Calls visit for each real cell with its row and column until it returns true.
  bool ForEachCell(const std::function<bool(TCellObj& cell, int row, int col)>& visit) const;
};

}  // namespace html
