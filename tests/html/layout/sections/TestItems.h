// A document item with fixed size and scripted answers, for exercising cells and the document.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "html/layout/sections/PageSections.h"

namespace html::test {

class TTestItem : public TSectionBase {
 public:
  TTestItem(TSectionList* document, int32_t height, int32_t positions, int32_t width = 0)
      : TSectionBase(document), width_(width) {
    FlowHeight = height;
    positions_ = positions;
  }

  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override {
    const int32_t first = pos;
    TSectionBase::Layout(canvas, x, y, refX, refY, availWidth, availHeight, blockHeight, indents,
                         maxWidth, pos);
    PosCount = positions_;
    pos = first + positions_;
    maxWidth = width_;
    LayoutX = x;
    LayoutAvailWidth = availWidth;
    if (FloatHeight > 0) indents.AddBlockFloat(y, 50, TFloatSide::Left, FloatHeight);
    if (PaintOverhang > 0) PaintBottom += PaintOverhang;
    return FlowHeight;
  }
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
               int32_t x, int32_t refX, int32_t refY) override {
    DrawnAtX = x;
    DrawnLeftEdge = indents.LeftEdge;
    return TSectionBase::Draw(canvas, clipRect, indents, x, refX, refY);
  }
  int HitTestLink(plat::TCanvas&, int32_t, int32_t, THitLink& hit) override {
    ++HitTests;
    if (!LinkUrl.empty()) {
      hit.UrlTarget = std::make_unique<TUrlTarget>();
      hit.UrlTarget->URL = LinkUrl;
      if (Run) Document->HoverLink = Run;
      return hlLink;
    }
    if (Image) Document->HoverImage = Image;
    return 0;
  }
  int32_t FindStringBackward(std::u16string_view, int32_t, bool) override { return FoundAt; }
  int32_t FindStringForward(std::u16string_view, int32_t, bool) override { return FoundAt; }
  int32_t SourceToDocPos(int32_t sourcePos, bool) override {
    // Source positions 100 * n map to document positions n within the item's range.
    if (sourcePos % 100 != 0) return -1;
    const int32_t pos = sourcePos / 100;
    return pos >= FirstPos && pos < FirstPos + PosCount ? pos : -1;
  }
  bool PositionToXY(plat::TCanvas*, int32_t pos, int32_t& y, int32_t& x) override {
    if (pos < FirstPos || pos >= FirstPos + PosCount) return false;
    x = 10 * (pos - FirstPos);
    y = TopY;
    return true;
  }
  bool GetCharAt(int32_t pos, char16_t& ch, TSectionBase*& item) override {
    if (pos < FirstPos || pos >= FirstPos + PosCount) return false;
    ch = char16_t(u'a' + (pos - FirstPos));
    item = this;
    return true;
  }
  void MinMaxWidth(plat::TCanvas&, int32_t& minWidth, int32_t& maxWidth) override {
    minWidth = MinW;
    maxWidth = MaxW;
  }
  // Copies one letter per selected position.
  void CopySelectedText() override {
    ++Copies;
    const int32_t from = std::max(FirstPos, Document->SelStart);
    const int32_t to = std::min(FirstPos + PosCount, Document->SelEnd);
    for (int32_t pos = from; pos < to; ++pos) {
      const char16_t ch = char16_t(u'a' + (pos - FirstPos));
      Document->SelBuffer->AddText(&ch, 1);
    }
  }
  void ProcessText(int tagIndex) override { ProcessedWith = tagIndex; }
  bool IsEmptyText() const override { return EmptyText; }
  void RemoveLinks() override {
    if (Removed) *Removed = true;
  }
  bool IsAbsolutelyPositioned() const override { return Absolute; }
  std::optional<bool> ClearOwnBottomMargin() override { return MarginAnswer; }

  int32_t FloatHeight = 0;
  int32_t PaintOverhang = 0;
  std::string LinkUrl;
  TLinkRun* Run = nullptr;
  THoverImage* Image = nullptr;
  int32_t FoundAt = -1;
  int32_t MinW = 0, MaxW = 0;
  int ProcessedWith = -1;
  bool EmptyText = false;
  bool* Removed = nullptr;
  bool Absolute = false;
  std::optional<bool> MarginAnswer;
  int HitTests = 0;
  int Copies = 0;
  int32_t LayoutX = -1, LayoutAvailWidth = -1, DrawnAtX = -1, DrawnLeftEdge = -1;

 private:
  int32_t width_;
  int32_t positions_ = 0;
};

// A cell of test items; the items stay reachable through the returned pointers.
inline TTestItem* AddItem(TCellBasic& cell, int32_t height, int32_t positions, int32_t width = 0) {
  auto item = std::make_unique<TTestItem>(cell.Document, height, positions, width);
  TTestItem* raw = item.get();
  cell.Add(std::move(item), 0);
  return raw;
}

}  // namespace html::test
