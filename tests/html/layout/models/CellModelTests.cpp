// Cells and their lists of items against a model written from the description: items stacked
// from a y with the positions they cover, widths taken as the largest, floats that reach below
// the items, questions answered by the first item drawn across the point (or, for searches, in
// document order or from the last), and the content of block boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "html/layout/sections/PageSections.h"
#include "tests/html/layout/blocks/BlockFixture.h"

namespace {

using html::TSectionBase;

// An item of random size that records how it was laid out and answers when told to.
class TItem : public html::test::TBox {
 public:
  TItem(html::TSectionList* document, std::mt19937& random)
      : TBox(document, int32_t(random() % 60), 0, 0) {
    Positions = int32_t(random() % 9);
    Above = int32_t(random() % 20);
    Below = int32_t(random() % 40);
    MinW = int32_t(random() % 300);
    MaxW = MinW + int32_t(random() % 300);
    Float = random() % 4 == 0 ? int32_t(random() % 120) : 0;
    Absolute = random() % 5 == 0;
    Answers = random() % 3 == 0;
  }
  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 html::IndentManager& indents, int32_t& maxWidth, int32_t& pos) override {
    const int32_t height = TBox::Layout(canvas, x, y, refX, refY, availWidth, availHeight,
                                        blockHeight, indents, maxWidth, pos);
    PaintTop = y - Above;
    PaintBottom = BottomY + Below;
    if (Float > 0) indents.AddBlockFloat(y, 10, html::TFloatSide::Left, Float);
    return height;
  }
  int HitTestLink(plat::TCanvas&, int32_t, int32_t, html::THitLink& hit) override {
    if (!Answers) return 0;
    hit.Title = "item";
    return html::hlTitle;
  }
  int32_t FindCursorAt(plat::TCanvas&, int32_t, int32_t, html::TCursorHit&) override {
    return Answers ? FirstPos : -1;
  }
  int32_t FindStringForward(std::u16string_view, int32_t, bool) override {
    return Answers ? FirstPos : -1;
  }
  int32_t FindStringBackward(std::u16string_view, int32_t, bool) override {
    return Answers ? FirstPos : -1;
  }
  void CopySelectedText() override { ++Copies; }
  bool IsAbsolutelyPositioned() const override { return Absolute; }

  int32_t Above, Below, Float;
  bool Absolute, Answers;
  int Copies = 0;
};

template <class Cell>
std::vector<TItem*> Fill(Cell& cell, std::mt19937& random) {
  std::vector<TItem*> items;
  for (int k = int(random() % 8); k > 0; --k) {
    auto item = std::make_unique<TItem>(cell.Document, random);
    items.push_back(item.get());
    cell.Add(std::move(item), 0);
  }
  return items;
}

TEST(CellModel, ItemsStackAndTheFirstOneDrawnAcrossAPointAnswers) {
  std::mt19937 random(155);
  plat::TCanvas canvas;
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    html::TSectionList document(nullptr, nullptr);
    html::TCell cell(&document);
    const std::vector<TItem*> items = Fill(cell, random);
    const int32_t y0 = int32_t(random() % 100), width = int32_t(50 + random() % 400);
    int32_t curs = int32_t(random() % 50), maxWidth = -1;
    const int32_t startCurs = curs;
    const int32_t height = cell.Layout(canvas, y0, width, 0, 0, maxWidth, curs);

    // Stacked from y0; the cell's own records bound every item to 0..width.
    int32_t y = y0, pos = startCurs, widest = 0, floatsBottom = 0, minW = 0, maxW = 0;
    for (TItem* item : items) {
      ASSERT_EQ(item->TopY, y);
      ASSERT_EQ(item->FirstPos, pos);
      ASSERT_EQ(item->RightAtY, width);
      ASSERT_GE(item->LeftAtY, 0);
      if (item->Float > 0) floatsBottom = std::max(floatsBottom, y + item->Float);
      y += item->FlowHeight;
      pos += item->Positions;
      widest = std::max(widest, item->MaxW);
      minW = std::max(minW, item->MinW);
      maxW = std::max(maxW, item->MaxW);
    }
    ASSERT_EQ(height, std::max(y - y0, floatsBottom - y0));
    ASSERT_EQ(maxWidth, widest);
    ASSERT_EQ(curs, pos);
    ASSERT_EQ(cell.StartCurs, startCurs);
    ASSERT_EQ(cell.Len, pos - startCurs);
    int32_t gotMin = -1, gotMax = -1;
    cell.MinMaxWidth(canvas, gotMin, gotMax);
    ASSERT_EQ(gotMin, minW);
    ASSERT_EQ(gotMax, maxW);

    for (int32_t py = y0 - 25; py < y + 45; py += 3) {
      const TItem* drawn = nullptr;
      for (TItem* item : items)
        if (item->PaintTop <= py && py < item->PaintBottom && item->Answers) {
          drawn = item;
          break;
        }
      html::THitLink hit;
      ASSERT_EQ(cell.HitTestLink(canvas, 5, py, hit), drawn ? html::hlTitle : 0) << py;
      html::TCursorHit caret;
      ASSERT_EQ(cell.FindCursor(canvas, 5, py, caret), drawn ? drawn->FirstPos : -1) << py;
    }
    const auto first =
        std::find_if(items.begin(), items.end(), [](TItem* i) { return i->Answers; });
    const auto last =
        std::find_if(items.rbegin(), items.rend(), [](TItem* i) { return i->Answers; });
    ASSERT_EQ(cell.FindString(u"x", 0, false), first == items.end() ? -1 : (*first)->FirstPos);
    ASSERT_EQ(cell.FindStringR(u"x", 0, false), last == items.rend() ? -1 : (*last)->FirstPos);

    // Copying: items reaching past the selection start, up to the first starting at its end.
    document.SelStart = startCurs + int32_t(random() % 30);
    document.SelEnd = document.SelStart + int32_t(random() % 30);
    cell.CopyToClipboard();
    bool ended = false;
    for (TItem* item : items) {
      ended = ended || item->FirstPos >= document.SelEnd;
      const bool copies = document.SelEnd > document.SelStart && !ended &&
                          item->FirstPos + item->PosCount > document.SelStart;
      ASSERT_EQ(item->Copies, copies ? 1 : 0);
    }

    // A block's content: the bottom of the flowing items, the painted extent, the sum of the
    // heights, the available width when the block hides what overflows.
    html::TBlockCell content(&document);
    const std::vector<TItem*> inner = Fill(content, random);
    content.HideOverflow = random() % 3 == 0;
    html::IndentManager indents;
    indents.Reset(0, width);
    curs = 0;
    const int32_t sum =
        content.LayoutItems(canvas, 0, y0, 0, 0, width, 0, 0, indents, maxWidth, curs);
    int32_t bottom = 0, paintTop = 990000, paintBottom = 0, total = 0;
    widest = 0;
    for (TItem* item : inner) {
      if (!item->Absolute) bottom = std::max(bottom, item->BottomY);
      paintTop = std::min(paintTop, item->PaintTop);
      paintBottom = std::max(paintBottom, item->PaintBottom);
      total += item->FlowHeight;
      widest = std::max(widest, item->MaxW);
    }
    ASSERT_EQ(sum, total);
    ASSERT_EQ(content.ItemsHeight, total);
    ASSERT_EQ(content.ContentBottom, bottom);
    ASSERT_EQ(content.DrawTop, paintTop);
    ASSERT_EQ(content.DrawBottom, paintBottom);
    ASSERT_EQ(maxWidth, content.HideOverflow ? width : widest);
  }
}

// A table cell's own TITLE and link answer where no item does, inside its rectangle only.
TEST(CellModel, ATableCellAnswersWithItsTitleAndLinkWhereItsItemsDoNot) {
  std::mt19937 random(135);
  plat::TCanvas canvas;
  for (int round = 0; round < 100; ++round) {
    html::TSectionList document(nullptr, nullptr);
    html::TCellObjCell cell(&document);
    const std::vector<TItem*> items = Fill(cell, random);
    int32_t curs = 0, maxWidth = 0;
    cell.Layout(canvas, 0, 200, 0, 0, maxWidth, curs);
    const std::string title = random() % 2 ? "cell" : "";
    const std::string url = random() % 2 ? "a.html" : "";
    // A cell that gives neither has no hints at all, or empty ones.
    if (!title.empty() || !url.empty() || random() % 2) {
      cell.Hints().Title = title;
      cell.Hints().Url = url;
    }
    document.ScrollY = int32_t(random() % 50);
    cell.CellRect = {10, 20, 150, 200};
    for (int32_t py = 0; py < 260; py += 7) {
      const int32_t px = int32_t(random() % 200);
      bool itemAnswers = false;
      for (TItem* item : items)
        if (item->PaintTop <= py && py < item->PaintBottom && item->Answers) {
          itemAnswers = true;
          break;
        }
      const bool inside =
          px >= 10 && px < 150 && py - document.ScrollY >= 20 && py - document.ScrollY < 200;
      html::THitLink hit;
      const int flags = cell.HitTestLink(canvas, px, py, hit);
      ASSERT_EQ(flags & html::hlTitle,
                itemAnswers || (inside && !title.empty()) ? html::hlTitle : 0);
      ASSERT_EQ(hit.Title, itemAnswers ? "item" : inside ? title : "");
      ASSERT_EQ(flags & html::hlLink, inside && !url.empty() ? html::hlLink : 0);
    }
  }
}

}  // namespace
