// The document root: layout and painting over its items, the animation timer, scrolling and
// parked controls, hover tracking, the selection text, position look-ups, inline borders and
// clearing.
#include <gtest/gtest.h>

#include "html/css/CssStyles.h"
#include "platform/windows/StdCtrls.h"
#include "tests/html/layout/sections/TestItems.h"
#include "tests/html/layout/sections/TinyGif.h"

namespace html {
namespace {

using test::AddItem;
using test::TTestItem;

class TFakeRun : public TLinkRun {
 public:
  explicit TFakeRun(int32_t id) : id(id) {}
  int32_t LinkID() const override { return id; }
  void SetHover(bool value) override { hover = value; }
  int32_t id;
  bool hover = false;
};

class TFakeImage : public THoverImage {
 public:
  void SetHover(THoverState value) override { state = value; }
  THoverState state = THoverState::hvOff;
};

class TFakeWindow : public TPageWindowObj {
 public:
  plat::TWinControl* WindowControl() const override { return control; }
  plat::TWinControl* control = nullptr;
};

class TFakeForm : public TDocumentForm {
 public:
  explicit TFakeForm(std::vector<TFakeWindow*> controls) : controls(std::move(controls)) {}
  void SetSizes(plat::TCanvas&) override { ++sized; }
  void ClearShownFlags() override {
    for (TFakeWindow* c : controls) c->ShowIt = false;
  }
  std::unique_ptr<plat::TStringList> GetFormSubmission() override {
    auto list = std::make_unique<plat::TStringList>();
    list->Add("name=" + std::to_string(controls.size()));
    return list;
  }
  std::vector<TFakeWindow*> controls;
  int sized = 0;
};

class Document : public testing::Test {
 protected:
  int32_t LayOut(int32_t width = 200) {
    int32_t scrollWidth = 0, pos = 0;
    return document.Layout(canvas, 0, width, 0, 0, scrollWidth, pos);
  }
  TSectionList document{nullptr, nullptr};
  plat::TCanvas canvas;
};

TEST_F(Document, AnEmptyDocumentHasNoHeightAndAnIdleTimer) {
  EXPECT_EQ(LayOut(), 0);
  ASSERT_NE(document.Timer, nullptr);
  EXPECT_FALSE(document.Timer->Enabled());
  EXPECT_EQ(document.Timer->Interval(), 50u);
  EXPECT_EQ(document.LayoutPass, 1);
  EXPECT_TRUE(document.AnchorOrder.empty());
}

TEST_F(Document, LayoutStacksItemsAndListsThemForScrolling) {
  TTestItem* a = AddItem(document, 30, 5);
  TTestItem* b = AddItem(document, 50, 2);
  document.TableDepth = 3;
  document.SecondPass = true;
  EXPECT_EQ(LayOut(), 80);
  EXPECT_EQ(document.TableDepth, 0);
  EXPECT_FALSE(document.SecondPass);
  ASSERT_EQ(document.AnchorOrder.size(), 2u);

  int32_t top = -1;
  int index = -1;
  EXPECT_EQ(document.ItemAtY(45, top, index), b);
  EXPECT_EQ(top, 30);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(document.ItemAtY(29, top, index), a);
  EXPECT_EQ(document.ItemAtY(-1, top, index), nullptr);

  // A second layout keeps the list it has.
  LayOut();
  EXPECT_EQ(document.AnchorOrder.size(), 2u);
  EXPECT_EQ(document.LayoutPass, 2);
}

TEST_F(Document, AnimationsRunOnlyForPaintedPictures) {
  uint32_t now = 1000;
  SetAnimationClock([&] { return now; });
  auto shown = test::TwoFrameGif(), hidden = test::TwoFrameGif();
  ASSERT_TRUE(shown && hidden);
  document.AnimatedImages = {shown.get(), hidden.get()};
  LayOut();
  EXPECT_TRUE(document.Timer->Enabled());
  EXPECT_TRUE(shown->Animate());

  shown->ShowIt = hidden->ShowIt = true;
  document.Draw(canvas, {0, 0, 100, 100}, 100, 0, 0, 0, 0);
  EXPECT_FALSE(shown->ShowIt);  // painting marks what it paints; nothing painted here
  EXPECT_TRUE(document.Timer->Enabled());
  shown->ShowIt = true;
  now += 150;
  document.AnimationTick();
  EXPECT_EQ(shown->CurrentFrame(), 2);
  EXPECT_EQ(hidden->CurrentFrame(), 1);
  EXPECT_EQ(document.Timer->Interval(), 40u);

  document.AnimatedImages.clear();
  document.Draw(canvas, {0, 0, 100, 100}, 100, 0, 0, 0, 0);
  EXPECT_FALSE(document.Timer->Enabled());
  SetAnimationClock(nullptr);
}

TEST_F(Document, TabOrderFollowsTabIndexNumerically) {
  TTabOrderList list;
  plat::TWinControl a(nullptr), b(nullptr), c(nullptr);
  list.Add(100000, &a);
  list.Add(2, &b);
  list.Add(2, nullptr);
  list.Add(2, &c);
  std::vector<plat::TWinControl*> order;
  for (const auto& entry : list.Entries()) order.push_back(entry.Control);
  EXPECT_EQ(order, (std::vector<plat::TWinControl*>{&b, nullptr, &c, &a}));
  list.Remove(&c);
  EXPECT_EQ(list.Count(), 3);

  document.TabIndexList = list;
  LayOut();
  EXPECT_TRUE(document.TabIndexList.Empty());
}

TEST_F(Document, ScrollingClearsShownFlagsAndParksWhatWasNotPainted) {
  plat::TWinControl viewer(nullptr);
  plat::TWinControl control(nullptr), panelWindow(nullptr);
  control.SetParent(&viewer);
  panelWindow.SetParent(&viewer);
  control.SetBounds(30, 40, 50, 20);
  control.Hide();
  TSectionList page(&viewer, nullptr);
  TFakeWindow formControl, panel;
  formControl.control = &control;
  panel.control = &panelWindow;
  formControl.ShowIt = panel.ShowIt = true;
  page.AllControls = {&formControl};
  page.Panels = {&panel};
  page.Forms.Add(std::make_unique<TFakeForm>(std::vector<TFakeWindow*>{&formControl}));
  viewer.Show();

  page.SetScrollY(120);
  EXPECT_EQ(page.ScrollY, 120);
  EXPECT_FALSE(formControl.ShowIt);
  EXPECT_FALSE(panel.ShowIt);

  page.Draw(canvas, {0, 0, 100, 100}, 100, 0, 0, 0, 0);
  EXPECT_FALSE(page.ScrollYChanged);
  EXPECT_TRUE(control.Visible());
  EXPECT_EQ(control.Left(), -4000);
  EXPECT_EQ(control.Top(), 40);
  EXPECT_FALSE(panelWindow.Visible());

  // Forms size their controls at every layout and hand over their data.
  int32_t scrollWidth = 0, pos = 0;
  page.Layout(canvas, 0, 100, 0, 0, scrollWidth, pos);
  EXPECT_EQ(static_cast<TFakeForm*>(page.Forms.Items(0))->sized, 1);
  auto data = page.CollectFormData();
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(data->Count(), 1);
  EXPECT_EQ(data->Items(0)->Strings(0), "name=1");
  EXPECT_EQ(document.CollectFormData(), nullptr);
}

TEST_F(Document, ControlsAreNotParkedWhileTheViewerIsHidden) {
  plat::TWinControl viewer(nullptr), control(nullptr);
  control.SetParent(&viewer);
  control.SetBounds(30, 40, 50, 20);
  control.Hide();
  viewer.Hide();
  TSectionList page(&viewer, nullptr);
  TFakeWindow formControl;
  formControl.control = &control;
  page.AllControls = {&formControl};
  page.SetScrollY(10);
  page.Draw(canvas, {0, 0, 100, 100}, 100, 0, 0, 0, 0);
  EXPECT_FALSE(control.Visible());
  EXPECT_EQ(control.Left(), 30);
}

TEST_F(Document, HoverMarksEveryRunOfTheLinkUnderTheMouse) {
  TFakeRun before(3), first(4), second(4), other(5);
  document.LinkRuns = {&before, &first, &second, &other};
  document.HoverLinks = true;
  TTestItem* item = AddItem(document, 20, 1);
  item->LinkUrl = "x.html";
  item->Run = &second;
  LayOut();

  THitLink hit;
  EXPECT_EQ(document.HitTestLink(canvas, 1, 5, hit), hlLink);
  EXPECT_EQ(document.HoverLink, &second);
  EXPECT_TRUE(first.hover);
  EXPECT_TRUE(second.hover);
  EXPECT_FALSE(before.hover);
  EXPECT_FALSE(other.hover);

  // Leaving the link takes the look away from all its runs.
  THitLink outside;
  EXPECT_EQ(document.HitTestLink(canvas, 1, 50, outside), 0);
  EXPECT_EQ(document.HoverLink, nullptr);
  EXPECT_FALSE(first.hover);
  EXPECT_FALSE(second.hover);
}

TEST_F(Document, HoveredImagesGoOverPressedAndOff) {
  TFakeImage image;
  TTestItem* item = AddItem(document, 20, 1);
  item->Image = &image;
  LayOut();
  THitLink hit;
  document.HitTestLink(canvas, 1, 5, hit);
  EXPECT_EQ(document.HoverImage, &image);
  EXPECT_EQ(image.state, THoverState::hvOverUp);
  document.SetPressed(true);
  EXPECT_EQ(image.state, THoverState::hvOverDown);
  document.SetPressed(false);
  EXPECT_EQ(image.state, THoverState::hvOverUp);
  THitLink away;
  document.HitTestLink(canvas, 1, 40, away);
  EXPECT_EQ(image.state, THoverState::hvOff);

  document.HitTestLink(canvas, 1, 5, hit);
  document.DropHover();
  EXPECT_EQ(image.state, THoverState::hvOff);
  EXPECT_EQ(document.HoverImage, nullptr);
}

TEST_F(Document, SelectionTextIsCountedAndCopiedWithATerminator) {
  AddItem(document, 10, 4);  // a b c d at 0-3
  AddItem(document, 10, 3);  // a b c at 4-6
  LayOut();

  std::array<char16_t, 1> one{u'x'};
  EXPECT_EQ(document.SelectionLength(), 0);
  EXPECT_EQ(document.SelectionToBuffer(one), 1);
  EXPECT_EQ(one[0], u'\0');

  document.SelStart = 2;
  document.SelEnd = 6;
  EXPECT_EQ(document.SelectionLength(), 4);
  std::array<char16_t, 10> buffer{};
  buffer.fill(u'#');
  EXPECT_EQ(document.SelectionToBuffer(buffer), 5);
  EXPECT_EQ(std::u16string(buffer.data()), u"cdab");
  EXPECT_EQ(document.SelBuffer, nullptr);

  // No room at all: nothing is written, not even the terminator.
  std::array<char16_t, 2> guard{u'#', u'#'};
  EXPECT_EQ(document.SelectionToBuffer(std::span<char16_t>(guard.data(), 0)), 0);
  EXPECT_EQ(guard[0], u'#');
}

TEST_F(Document, PositionsNearTheEndAndFromSourcePositions) {
  AddItem(document, 10, 4);  // positions 0-3 at y 0
  AddItem(document, 10, 3);  // 4-6 at y 10
  LayOut();
  int32_t x = -1, y = -1;
  ASSERT_TRUE(document.PositionToXYClipped(nullptr, 5, y, x));
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 10);
  // The caret after the last character stands 15 pixels right of it.
  ASSERT_TRUE(document.PositionToXYClipped(nullptr, 7, y, x));
  EXPECT_EQ(x, 35);
  EXPECT_EQ(y, 10);
  ASSERT_TRUE(document.PositionToXYClipped(nullptr, 40, y, x));
  EXPECT_EQ(x, 35);

  EXPECT_EQ(document.SourceToDocPosOrEnd(500), 5);
  EXPECT_EQ(document.SourceToDocPosOrEnd(510), 7);

  // Named places find their y through the document.
  document.Targets.AddChPosObject("second", 400);
  document.Targets.AddChPosObject("nowhere", 123);
  EXPECT_EQ(document.Targets.Find("second")->GetYPosition(), 10);
  EXPECT_EQ(document.Targets.Find("nowhere")->GetYPosition(), 10);
}

TEST_F(Document, InlineBordersConvertTheirSourceRanges) {
  AddItem(document, 10, 10);
  LayOut();
  TProperties bordered, plain;
  bordered.AddPropertyByName("padding-left", "7px");
  bordered.AddPropertyByName("margin-left", "10%");
  document.OpenCloseInline(200, bordered, true);
  document.OpenCloseInline(300, plain, true);
  document.OpenCloseInline(300, plain, false);
  document.OpenCloseInline(600, bordered, false);
  TInlineList& list = document.InlineElements;
  ASSERT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.Stale);
  EXPECT_EQ(list.StartOf(0), 2);
  EXPECT_FALSE(list.Stale);
  EXPECT_EQ(list.EndOf(0), 6);
  // Opened and closed at one position: the start moves one before the end.
  EXPECT_EQ(list.StartOf(1), 2);
  EXPECT_EQ(list.EndOf(1), 3);
  EXPECT_EQ(list.StartOf(2), TInlineList::kOutside);
  EXPECT_EQ(list.EndOf(-1), TInlineList::kOutside);
  // Percentages are taken of 200 pixels.
  EXPECT_EQ(list.Items(0)->MargArray[piPaddingLeft], 7);
  EXPECT_EQ(list.Items(0)->MargArray[piMarginLeft], 20);
  EXPECT_EQ(list.Items(1)->SourceEnd, 300);

  // Still open at the end: the end is the document's end.
  document.OpenCloseInline(900, plain, true);
  list.Stale = true;
  EXPECT_EQ(list.EndOf(2), 10);
}

TEST_F(Document, DefaultsFillTheStyleSheetAndReportTheBackground) {
  TColor reported = 0;
  document.BackColorChanged = [&](TSectionList* d) { reported = d->BackColor; };
  document.ApplyDefaults("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0x0000FF, 0xFFFFFF,
                         true, true, 1, 5, 10);
  EXPECT_EQ(reported, 0xFFFFFF);
  EXPECT_NE(document.StyleSheet.DefaultProperties(), nullptr);
}

TEST_F(Document, ClearEmptiesTheDocument) {
  AddItem(document, 10, 3);
  auto picture = test::TwoFrameGif();
  TFakeRun run(1);
  document.AnimatedImages = {picture.get()};
  document.LinkRuns = {&run};
  document.HoverLink = &run;
  document.Targets.AddChPosObject("a", 0);
  LayOut();
  document.Clear();
  EXPECT_EQ(document.Count(), 0);
  EXPECT_EQ(document.Timer, nullptr);
  EXPECT_TRUE(document.AnimatedImages.empty());
  EXPECT_TRUE(document.AnchorOrder.empty());
  EXPECT_EQ(document.HoverLink, nullptr);
  EXPECT_EQ(document.Targets.Count(), 0);
  EXPECT_EQ(LayOut(), 0);
}

}  // namespace
}  // namespace html
