// A table with its caption: the wrapper takes the table block's vertical margins and alignment,
// and sizes caption and table to the wider of the two.
#include <algorithm>

#include "html/layout/blocks/BlockMath.h"
#include "html/layout/blocks/PageItems.h"

namespace html {

TTableAndCaptionBlock::TTableAndCaptionBlock(TSectionList* document, TProperties& prop,
                                             TCellBasic* container, TAttributeList* attributes,
                                             std::unique_ptr<TTableBlock> tablePart)
    : TBlock(document, prop, container, attributes, TMergeMargins::Later),
      TablePart(tablePart.get()) {
  DropBackImageUrl();  // the table block paints the picture
  if (TablePart) {
    CaptionAlign = TablePart->TableAlign;
    // The wrapper keeps the gaps above and below, so the table block must not add them again.
    for (int side : {int(piMarginTop), int(piMarginBottom)}) {
      Margins.Edit()[side] = TablePart->Margins[side];
      TablePart->Margins.Edit()[side] = 0;
      TablePart->SetRawMargin(side, int32_t(0));
    }
  }
  if (attributes) {
    TAttribute* align = nullptr;
    if (attributes->Find(AlignSy, align)) {
      std::string text = align->Name;
      for (char& ch : text)
        if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
      if (text == "CENTER") CaptionAlign = BlockAlignCenter;
      if (text == "LEFT" && !IsFloating()) FloatSide = FloatLeft;
      if (text == "RIGHT" && !IsFloating()) FloatSide = FloatRight;
    }
    TargetID = attributes->GetID();
  }
  if (IsFloating() && StackOrder == 0) StackOrder = 1;
  EditStyle().TagAndClass = "TableAndCaption.";
  ShareStyle();
  if (tablePart) Content.Add(std::move(tablePart), 0);
}

TTableAndCaptionBlock::TTableAndCaptionBlock(TSectionList* document,
                                             const TTableAndCaptionBlock& source)
    : TBlock(document, source),
      CaptionOnTop(source.CaptionOnTop),
      CaptionAlign(source.CaptionAlign),
      TargetID(source.TargetID) {
  FindParts();
}

TTableAndCaptionBlock::~TTableAndCaptionBlock() {
  if (!TargetID.empty() && TablePart && Document && Document->Targets.Find(TargetID) == TablePart)
    Document->Targets.AddObject(TargetID, nullptr);
}

std::unique_ptr<TSectionBase> TTableAndCaptionBlock::CreateCopy(TSectionList* document) const {
  return std::make_unique<TTableAndCaptionBlock>(document, *this);
}

void TTableAndCaptionBlock::FindParts() {
  for (const auto& item : Content) {
    if (auto* table = dynamic_cast<TTableBlock*>(item.get()))
      TablePart = table;
    else if (auto* block = dynamic_cast<TBlock*>(item.get()))
      CaptionPart = block;
  }
}

void TTableAndCaptionBlock::SetCaptionBlock(std::unique_ptr<TBlock> caption) {
  if (!caption) return;
  CaptionPart = caption.get();
  if (TablePart) TablePart->CaptionAttached = true;
  caption->SetDocument(Document);
  if (CaptionOnTop)
    Content.Insert(0, std::move(caption));
  else
    Content.TFreeList::Add(std::move(caption));
}

void TTableAndCaptionBlock::AddToIDList() {
  if (!TargetID.empty() && TablePart && Document) Document->Targets.AddObject(TargetID, TablePart);
}

void TTableAndCaptionBlock::MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth,
                                        int32_t& maxWidth) {
  int32_t tableMin = 0, tableMax = 0, captionMin = 0, captionMax = 0;
  if (TablePart) TablePart->MinMaxWidth(canvas, tableMin, tableMax);
  if (CaptionPart) CaptionPart->MinMaxWidth(canvas, captionMin, captionMax);
  minWidth = std::max(tableMin, captionMin);
  maxWidth = std::max(tableMax, captionMin);
}

int32_t TTableAndCaptionBlock::ComputeWidth(plat::TCanvas& canvas, int32_t availWidth, int,
                                            int32_t availHeight) {
  TMarginArray& box = Margins.Edit();
  for (int i = piPaddingTop; i <= piBorderLeftWidth; ++i) box[i] = 0;
  box[piBackgroundColor] = clNone;
  BorderOn = false;
  int32_t& marginLeft = box[piMarginLeft];
  int32_t& marginRight = box[piMarginRight];
  if (marginLeft == AutoLength) marginLeft = 0;
  if (marginRight == AutoLength) marginRight = 0;
  if (!TablePart) return 0;

  TablePart->FloatSide = FloatNone;
  if (TablePart->Table) TablePart->Table->IsFloating = false;
  int32_t captionMin = 0, captionMax = 0;
  if (CaptionPart) CaptionPart->MinMaxWidth(canvas, captionMin, captionMax);
  const int32_t room = Clamp32(int64_t(availWidth) - marginLeft - marginRight);
  TMarginArray& tableBox = TablePart->Margins.Edit();
  TablePart->ConvertMargins(room, availHeight, tableBox);
  tableBox[piMarginLeft] = tableBox[piMarginRight] = 0;
  const int32_t tableWidth = TablePart->TableWidth(canvas, room);
  if (TablePart->Table) TablePart->Table->WidthRequest = tableWidth;
  const int32_t width = std::max(captionMin, tableWidth);

  const int64_t rest = int64_t(room) - width;
  if (marginLeft == 0 && marginRight == 0 && rest > 0) {
    if (CaptionAlign == BlockAlignCenter) marginLeft = ClampBoxLength(Clamp32(rest / 2));
    if (CaptionAlign == BlockAlignRight) marginLeft = ClampBoxLength(Clamp32(rest));
  }
  TablePart->TableAlign = BlockAlignCenter;
  return width;
}

int32_t TTableAndCaptionBlock::SourceToDocPos(int32_t sourcePos, bool backwards) {
  TBlock* first = backwards ? CaptionPart : TablePart;
  TBlock* second = backwards ? static_cast<TBlock*>(TablePart) : CaptionPart;
  for (TBlock* part : {first, second}) {
    if (!part) continue;
    const int32_t pos = part->SourceToDocPos(sourcePos, backwards);
    if (pos >= 0) return pos;
  }
  return -1;
}

}  // namespace html
