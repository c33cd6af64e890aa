// The defaults of every document item: an item that only takes space in the flow.
#include "html/layout/sections/PageSections.h"

namespace html {

TSectionBase::TSectionBase(TSectionList* document) : Document(document) {}

TSectionBase::TSectionBase(TSectionList* document, const TSectionBase& source)
    : Document(document),
      FlowHeight(source.FlowHeight),
      PaintHeight(source.PaintHeight),
      FirstPos(source.FirstPos),
      PosCount(source.PosCount),
      StackOrder(source.StackOrder),
      TopY(source.TopY),
      BottomY(source.BottomY),
      LeftX(source.LeftX),
      PaintTop(source.PaintTop),
      PaintBottom(source.PaintBottom),
      PaintY(source.PaintY) {}

std::unique_ptr<TSectionBase> TSectionBase::CreateCopy(TSectionList* document) const {
  return std::make_unique<TSectionBase>(document, *this);
}

int32_t TSectionBase::Layout(plat::TCanvas&, int32_t, int32_t y, int32_t, int32_t, int32_t, int32_t,
                             int32_t, IndentManager&, int32_t& maxWidth, int32_t& pos) {
  FirstPos = pos;
  PaintHeight = FlowHeight;
  maxWidth = 0;
  TopY = y;
  PaintTop = y;
  PaintY = y;
  BottomY = y + FlowHeight;
  PaintBottom = y + PaintHeight;
  return FlowHeight;
}

int32_t TSectionBase::Draw(plat::TCanvas&, const plat::TRect&, IndentManager&, int32_t, int32_t,
                           int32_t) {
  return PaintY + FlowHeight;
}

int TSectionBase::HitTestLink(plat::TCanvas&, int32_t, int32_t, THitLink&) {
  return 0;
}

TFloatingObj* TSectionBase::FindObjectAt(int32_t, int32_t, int32_t&, int32_t&) {
  return nullptr;
}

int32_t TSectionBase::FindCursorAt(plat::TCanvas&, int32_t, int32_t, TCursorHit&) {
  return -1;
}

int32_t TSectionBase::FindStringForward(std::u16string_view, int32_t, bool) {
  return -1;
}

int32_t TSectionBase::FindStringBackward(std::u16string_view, int32_t, bool) {
  return -1;
}

int32_t TSectionBase::DocToSourcePos(int32_t) {
  return -1;
}

int32_t TSectionBase::SourceToDocPos(int32_t, bool) {
  return -1;
}

bool TSectionBase::PositionToXY(plat::TCanvas*, int32_t, int32_t&, int32_t&) {
  return false;
}

bool TSectionBase::GetCharAt(int32_t, char16_t&, TSectionBase*&) {
  return false;
}

void TSectionBase::MinMaxWidth(plat::TCanvas&, int32_t& minWidth, int32_t& maxWidth) {
  minWidth = 0;
  maxWidth = 0;
}

void TSectionBase::AddToPositionList() {
  Document->AnchorOrder.push_back(this);
}

void TSectionBase::ProcessText(int) {}

}  // namespace html
