// TABLE: rows, cells, row groups, column declarations and captions, built into a table block.
#include <algorithm>

#include "html/css/CssComputed.h"
#include "html/parse/DocumentBuilderState.h"
#include "html/parse/TableParsing.h"

namespace html {

namespace {

constexpr int kMaxTableDepth = 10;

const TSymbolSet kTableStructure{TableEndSy, CaptionSy,  CaptionEndSy, ColGroupSy, ColSy,
                                 THeadSy,    THeadEndSy, TBodySy,      TBodyEndSy, TFootSy,
                                 TFootEndSy, TRSy,       TREndSy,      TDSy,       TDEndSy,
                                 THSy,       THEndSy};

// VALIGN as a cell alignment code; 0 when it names none.
uint8_t VerticalAlign(TAttributeList& attributes) {
  TAttribute* attr = nullptr;
  if (!attributes.Find(VAlignSy, attr)) return 0;
  const int code = ParseAlignment(attr->Name);
  return code >= VAlignTop && code <= VAlignBottom ? uint8_t(code) : 0;
}

// A declared column width as a CSS width.
std::string WidthValue(const TColObj& column) {
  return column.WidthPercent ? std::to_string(column.SpecWidth / 10) + "%"
                             : std::to_string(column.SpecWidth) + "px";
}

}  // namespace

void THtmlBuilder::PopToLevel(int level) {
  while (stack_.Count() > std::max(level, 1)) {
    if (stack_.Last().HasBorderStyle())
      document_.OpenCloseInline(tok_.SourcePos, stack_.Last(), false);
    stack_.Delete(stack_.Count() - 1);
  }
}

// What one TABLE element has open while it is read.
struct THtmlBuilder::TTableWork {
  TCellBasic* Enclosing = nullptr;
  std::unique_ptr<TTableBlock> Block;
  ThtmlTable* Table = nullptr;  // held by Block
  TAttributeList Attributes;    // the TABLE's, for the block that joins a caption to it
  int TableLevel = 0;
  std::unique_ptr<TBlock> Caption;
  bool CaptionAtBottom = false;
  std::unique_ptr<TCellManager> Cells;  // slots of the head and body rows
  // Slots of the foot rows, which follow every other row: they start from the body's slots as
  // the first foot row found them, and body rows read later never meet a foot cell's span.
  std::unique_ptr<TCellManager> FootCells;
  int FootStart = 0;
  std::unique_ptr<TCellList> Row;
  bool FootRow = false;
  std::vector<std::unique_ptr<TCellList>> FootRows;
  std::unique_ptr<TCellObj> Cell;
  int RowLevel = 0;
  uint8_t RowVAlign = 0;
  enum TGroup : uint8_t { Body, Head, Foot } Group = Body;
  TColumnAttributes GroupColumns;

  // The declared-column slots of the open row, and its index in them.
  TCellManager* RowCells() const { return FootRow ? FootCells.get() : Cells.get(); }
  int RowIndex() const {
    return FootRow ? FootStart + int(FootRows.size()) : Table->RowList.Count();
  }
};

void THtmlBuilder::FinishCell(TTableWork& work) {
  if (!work.Cell) return;
  CloseSection();
  if (cell_ == work.Cell->Content.get()) cell_->ClearLastBottomMargin();
  if (TCellManager* cells = work.RowCells()) cells->AddCell(work.RowIndex(), *work.Cell);
  work.Row->Add(std::move(work.Cell));
  cell_ = nullptr;
}

void THtmlBuilder::FinishRow(TTableWork& work) {
  EndLink();
  if (!work.Row) return;
  FinishCell(work);
  if (work.FootRow)
    work.FootRows.push_back(std::move(work.Row));
  else
    work.Table->RowList.Add(std::move(work.Row));
  PopToLevel(work.RowLevel);
}

void THtmlBuilder::OpenRow(TTableWork& work, bool named) {
  work.RowLevel = stack_.Count();
  TAttributeList* attributes = named ? &tok_.Attributes : nullptr;
  if (named) {
    TAttribute* align = nullptr;
    std::string alignText;
    if (tok_.Attributes.Find(AlignSy, align)) alignText = plat::LowerCase(align->Name);
    PushCurrent("tr");
    if (!alignText.empty()) stack_.Last().AddPropertyValue(piTextAlign, alignText);
  } else {
    Push({}, {});
  }
  work.Row = std::make_unique<TCellList>(attributes, &stack_.Last());
  work.RowVAlign = named ? VerticalAlign(tok_.Attributes) : 0;
  work.FootRow = work.Group == TTableWork::Foot;
  if (work.FootRow && work.Cells && !work.FootCells) {
    work.FootCells = std::make_unique<TCellManager>(*work.Cells);
    work.FootStart = work.Table->RowList.Count();
  }
}

void THtmlBuilder::OpenCell(TTableWork& work) {
  const bool header = Sy() == THSy;
  EndLink();
  listLevel_ = 0;
  if (!work.Row) {
    OpenRow(work, false);
  } else {
    FinishCell(work);
    PopToLevel(work.RowLevel + 1);
  }
  TAttributeList& attributes = tok_.Attributes;
  TAttribute* align = nullptr;
  std::string alignText;
  if (attributes.Find(AlignSy, align)) alignText = plat::LowerCase(align->Name);
  PushCurrent(header ? "th" : "td");
  TProperties& props = stack_.Last();
  uint8_t vertAlign = VerticalAlign(attributes);
  if (vertAlign == 0) vertAlign = work.RowVAlign;
  if (TCellManager* cells = work.RowCells()) {
    const int column = cells->FindColNum(work.RowIndex());
    if (column >= 0 && size_t(column) < work.Table->ColumnSpecs.size()) {
      const TColObj& requested = work.Table->ColumnSpecs[size_t(column)];
      if (requested.SpecWidth > 0) props.AddPropertyValue(piWidth, WidthValue(requested));
      if (requested.VertAlign != 0) vertAlign = requested.VertAlign;
    }
  }
  if (!alignText.empty()) props.AddPropertyValue(piTextAlign, alignText);
  // The table's own "none" stops alignment inherited from outside it.
  if (VarIsEmpty(props.Values[piTextAlign]) || VarIs(props.Values[piTextAlign], "none"))
    props.AddPropertyValue(piTextAlign, std::string(header ? "center" : "left"));
  work.Cell = std::make_unique<TCellObj>(&document_, &attributes, &props,
                                         vertAlign == 0 ? uint8_t(VAlignMiddle) : vertAlign);
  TAttribute* noWrap = nullptr;
  noBreak_ =
      attributes.Find(NoWrapSy, noWrap) && (work.Cell->WidthSpec == 0 || work.Cell->WidthIsPercent);
  cell_ = work.Cell->Content.get();
  section_.reset();
  tok_.SkipWhiteSpace();
  Next();
  DoBody(kTableStructure);
}

void THtmlBuilder::DoColGroup(TTableWork& work, bool acceptColumns) {
  if (Sy() == ColGroupSy) {
    if (acceptColumns) {
      work.GroupColumns = {};
      ReadColumnAttributes(tok_.Attributes, work.GroupColumns);
      work.GroupColumns.Span = 1;
    }
    tok_.SkipWhiteSpace();
    Next();
  }
  while (Sy() == ColSy) {
    if (acceptColumns) {
      TColumnAttributes column = work.GroupColumns;
      column.Span = 1;
      ReadColumnAttributes(tok_.Attributes, column);
      AddColumns(*work.Table, column);
    }
    tok_.SkipWhiteSpace();
    Next();
  }
  if (Sy() == ColGroupEndSy) Next();
}

void THtmlBuilder::DoTable() {
  if (tableDepth_ >= kMaxTableDepth) {
    Next();
    return;
  }
  ++tableDepth_;
  EndLink();
  CloseSection();
  TTableWork work;
  work.Enclosing = cell_;
  cell_ = nullptr;
  const bool savedNoBreak = noBreak_;
  const int savedListLevel = listLevel_;
  const std::string inherited = VarToStr(stack_.Last().Values[piTextAlign]);
  const uint8_t justify = inherited == "center" ? 2 : inherited == "right" ? 3 : 0;

  PushCurrent("table");
  auto table = std::make_unique<ThtmlTable>(&document_, &tok_.Attributes, &stack_.Last());
  work.Table = table.get();
  work.Block = std::make_unique<TTableBlock>(&document_, stack_.Last(), work.Enclosing,
                                             std::move(table), &tok_.Attributes);
  if (justify != 0 && work.Block->TableAlign != 2 && !work.Block->IsFloating())
    work.Block->TableAlign = justify;
  for (const auto& attr : tok_.Attributes) work.Attributes.Add(std::make_unique<TAttribute>(*attr));
  work.TableLevel = stack_.Count();
  Next();
  try {
    ReadTable(work);
  } catch (...) {
    // What was built stays in the document, so nothing it registered is left dangling.
    CloseSection();
    FinishTable(work);
    throw;
  }
  FinishTable(work);
  noBreak_ = savedNoBreak;
  listLevel_ = savedListLevel;
  if (Sy() == TableEndSy) Next();
}

void THtmlBuilder::ReadTable(TTableWork& work) {
  while (Sy() != TableEndSy && Sy() != EofSy && Sy() != CaptionEndSy) {
    const Symb sy = Sy();
    if (sy == CaptionSy) {
      EndLink();
      FinishCell(work);
      TAttribute* align = nullptr;
      work.CaptionAtBottom =
          tok_.Attributes.Find(AlignSy, align) && plat::LowerCase(align->Name) == "bottom";
      PushCurrent("caption");
      if (!work.Caption)
        work.Caption =
            std::make_unique<TBlock>(&document_, stack_.Last(), work.Enclosing, &tok_.Attributes);
      cell_ = &work.Caption->Content;
      section_.reset();
      Next();
      DoBody(kTableStructure);
      CloseSection();
      PopPropertiesTo("caption");
      cell_ = nullptr;
      if (Sy() == CaptionEndSy) Next();
    } else if (sy == ColGroupSy || sy == ColSy) {
      DoColGroup(work, work.Table->RowList.Empty() && !work.Row);
      if (!work.Table->ColumnSpecs.empty() && !work.Cells)
        work.Cells = std::make_unique<TCellManager>(work.Table);
    } else if (sy == THeadSy || sy == TBodySy || sy == TFootSy || sy == THeadEndSy ||
               sy == TBodyEndSy || sy == TFootEndSy) {
      FinishRow(work);
      PopToLevel(work.TableLevel);
      if (sy == THeadSy && work.Table->RowList.Empty())
        work.Group = TTableWork::Head;
      else if (sy == TFootSy)
        work.Group = TTableWork::Foot;
      else
        work.Group = TTableWork::Body;
      if (sy == THeadSy || sy == TBodySy || sy == TFootSy) PushCurrent(SymbToStr(sy));
      Next();
    } else if (sy == TRSy) {
      FinishRow(work);
      OpenRow(work, true);
      Next();
    } else if (sy == TREndSy) {
      FinishRow(work);
      Next();
    } else if (sy == TDEndSy || sy == THEndSy) {
      FinishCell(work);
      Next();
    } else if (sy == TDSy || sy == THSy) {
      OpenCell(work);
    } else if ((sy == TextSy && tok_.Token.Count == 1 && tok_.Token.Chars[0] == u' ') ||
               sy == CommandSy) {
      Next();
    } else {
      // Content outside any cell goes before the table.
      TCellBasic* const inner = cell_;
      cell_ = work.Enclosing;
      section_.reset();
      DoBody(kTableStructure);
      CloseSection();
      cell_ = inner;
    }
  }
}

void THtmlBuilder::FinishTable(TTableWork& work) {
  EndLink();
  FinishRow(work);
  for (auto& row : work.FootRows) work.Table->RowList.Add(std::move(row));
  work.FootRows.clear();
  PopToLevel(work.TableLevel);
  cell_ = work.Enclosing;
  if (work.Caption) {
    auto both = std::make_unique<TTableAndCaptionBlock>(&document_, stack_.Last(), work.Enclosing,
                                                        &work.Attributes, std::move(work.Block));
    both->CaptionOnTop = !work.CaptionAtBottom;
    both->SetCaptionBlock(std::move(work.Caption));
    work.Enclosing->Add(std::move(both), tok_.TagStart);
  } else {
    work.Enclosing->Add(std::move(work.Block), tok_.TagStart);
  }
  PopPropertiesTo("table");
  --tableDepth_;
}

}  // namespace html
