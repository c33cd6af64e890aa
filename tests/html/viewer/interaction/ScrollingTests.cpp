// Scrolling by keys, the wheel (over the page and over its bar), middle-button panning and
// dragging a selection past the panel's edge, and the place the view keeps across a new layout.
#include <string>

#include "InteractionFixture.h"
#include "html/HtmlEngine.h"

namespace html::test {
namespace {

std::u16string Utf16(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

class Scrolling : public ViewerInteraction {
 protected:
  void SetUp() override {
    ViewerInteraction::SetUp();
    Load("<body>" + TallPage(120) + "</body>");
    bottom = viewer->ScrollHeight() - Panel().Height();
    ASSERT_GT(bottom, 400);
  }
  void Key(uint16_t key, plat::TShiftState shift = 0) {
    plat::SimulateKey(*viewer, key, "", shift);
  }
  void Wheel(int delta) { plat::SimulateWheel(Panel(), delta, {50, 50}); }

  int32_t bottom = 0;
};

TEST_F(Scrolling, KeysMoveByLinesAndPagesWithinThePage) {
  viewer->SetFocus();
  Key(plat::VK_DOWN);
  EXPECT_EQ(viewer->Position(), 16);
  Key(plat::VK_NEXT);
  EXPECT_EQ(viewer->Position(), 16 + Panel().Height() - 16);
  Key(plat::VK_UP);
  Key(plat::VK_PRIOR);
  EXPECT_EQ(viewer->Position(), 0);
  Key(plat::VK_UP);
  EXPECT_EQ(viewer->Position(), 0);
  Key(plat::VK_END);
  EXPECT_EQ(viewer->Position(), bottom);
  EXPECT_EQ(viewer->Document().ScrollY, bottom);
  Key(plat::VK_DOWN);
  EXPECT_EQ(viewer->Position(), bottom);
  // With a modifier held the keys are left to the program.
  Key(plat::VK_HOME, plat::ssCtrl);
  EXPECT_EQ(viewer->Position(), bottom);
  Key(plat::VK_HOME);
  EXPECT_EQ(viewer->Position(), 0);
}

TEST_F(Scrolling, SideKeysMoveAcrossAWidePageWithinItsWidth) {
  Load("<pre>" + std::string(300, 'w') + "</pre>");
  ASSERT_TRUE(viewer->HScrollBar().Visible());
  const int right = viewer->HScrollBar().Max() - Panel().Width();
  ASSERT_GT(right, 30);
  viewer->SetFocus();
  Key(plat::VK_RIGHT);
  Key(plat::VK_RIGHT);
  EXPECT_EQ(viewer->HScrollBar().Position(), 30);
  Key(plat::VK_LEFT);
  Key(plat::VK_LEFT);
  Key(plat::VK_LEFT);
  EXPECT_EQ(viewer->HScrollBar().Position(), 0);
  viewer->SetHorzPosition(right - 5);
  Key(plat::VK_RIGHT);
  EXPECT_EQ(viewer->HScrollBar().Position(), right);
}

TEST_F(Scrolling, EndOnAShortPageStaysAtTheTop) {
  Load("<p>short</p>");
  viewer->SetFocus();
  Key(plat::VK_END);
  EXPECT_EQ(viewer->Position(), 0);
  EXPECT_EQ(viewer->Document().ScrollY, 0);
}

TEST_F(Scrolling, WheelMovesByTheSystemLinesAndStopsAtTheEnds) {
  const int step = plat::Mouse().WheelScrollLines() * 16;
  ASSERT_GT(step, 0);
  Wheel(-120);
  EXPECT_EQ(viewer->Position(), step);
  Wheel(120);
  Wheel(120);
  EXPECT_EQ(viewer->Position(), 0);
  viewer->ScrollTo(bottom);
  Wheel(-120);
  EXPECT_EQ(viewer->Position(), bottom);

  // The program's handler may take the wheel; so does the option that turns it off.
  bool take = true;
  viewer->OnMouseWheel = [&](plat::TObject*, plat::TShiftState, int, plat::TPoint, bool& handled) {
    handled = take;
  };
  Wheel(120);
  EXPECT_EQ(viewer->Position(), bottom);
  take = false;
  viewer->SethtOptions(viewer->htOptions() | HtOption(htNoWheelMouse));
  Wheel(120);
  EXPECT_EQ(viewer->Position(), bottom);
}

TEST_F(Scrolling, SidewaysTurnsAndEmptyGestureEventsLeaveThePageWhereItIs) {
  viewer->ScrollTo(300);
  using plat::TWheelPhase;
  for (const plat::TWheelTurn& turn : {plat::TWheelTurn{{-120, 0}, {}, TWheelPhase::None},
                                       plat::TWheelTurn{{120, 0}, {}, TWheelPhase::None},
                                       plat::TWheelTurn{{0, 0}, {}, TWheelPhase::Begin},
                                       plat::TWheelTurn{{0, 0}, {}, TWheelPhase::End}}) {
    plat::SimulateWheel(Panel(), turn, {50, 50});
    EXPECT_EQ(viewer->Position(), 300) << turn.angle.X << " phase " << int(turn.phase);
  }
}

TEST_F(Scrolling, PartsOfANotchMoveTheirPartOfIt) {
  const int step = plat::Mouse().WheelScrollLines() * 16;
  for (int i = 0; i < 8; ++i) Wheel(-15);
  EXPECT_EQ(viewer->Position(), step);
  for (int i = 0; i < 3; ++i) Wheel(-40);
  EXPECT_EQ(viewer->Position(), 2 * step);
  Wheel(-60);
  EXPECT_EQ(viewer->Position(), 2 * step + step / 2);
  Wheel(60);
  EXPECT_EQ(viewer->Position(), 2 * step);
}

TEST_F(Scrolling, ATurnBackLeavesWhatWasShortOfAPixelBehind) {
  // A turn of 1 moves 0.4 pixel with the usual three lines: two of them wait, short of a
  // pixel; three the other way make a whole pixel of their own.
  ASSERT_EQ(plat::Mouse().WheelScrollLines(), 3);
  viewer->ScrollTo(400);
  Wheel(-1);
  Wheel(-1);
  EXPECT_EQ(viewer->Position(), 400);
  Wheel(3);
  EXPECT_EQ(viewer->Position(), 399);
}

TEST_F(Scrolling, TouchpadPixelsScrollAsFarAsTheySay) {
  // A touchpad that reports only pixels: four events of a quarter of a notch's pixels.
  const int step = plat::Mouse().WheelScrollLines() * 16;
  for (int i = 0; i < 4; ++i)
    plat::SimulateWheel(Panel(), plat::TWheelTurn{{}, {0, -step / 4}, plat::TWheelPhase::Update},
                        {50, 50});
  EXPECT_EQ(viewer->Position(), step);
  plat::SimulateWheel(Panel(), plat::TWheelTurn{{}, {0, step}}, {50, 50});
  EXPECT_EQ(viewer->Position(), 0);
}

TEST_F(Scrolling, ShiftOrCtrlHeldOverTheBarMoveThePageNoFarther) {
  const int step = plat::Mouse().WheelScrollLines() * 16;
  plat::TScrollBar& bar = viewer->VScrollBar();
  ASSERT_TRUE(bar.Showing());
  for (plat::TShiftState shift :
       {plat::TShiftState(0), plat::TShiftState(plat::ssShift), plat::TShiftState(plat::ssCtrl)}) {
    viewer->ScrollTo(400);
    plat::SimulateWheel(bar, -120, {bar.Width() / 2, bar.Height() / 2}, shift);
    EXPECT_EQ(viewer->Position(), 400 + step) << "shift state " << shift;
  }
}

TEST_F(Scrolling, MiddleClickWithoutMovementPansUntilTheNextPress) {
  Click({100, 100}, plat::mbMiddle);
  EXPECT_TRUE(viewer->Panning());
  EXPECT_EQ(Panel().Cursor(), UpDownCursor);
  Press({100, 100});
  EXPECT_FALSE(viewer->Panning());
  EXPECT_EQ(Panel().Cursor(), plat::crIBeam);
  Release({100, 100});

  // A release away from where it began ends panning at once; so does a key.
  Press({100, 100}, plat::mbMiddle);
  Release({100, 130}, plat::mbMiddle);
  EXPECT_FALSE(viewer->Panning());
  Click({100, 100}, plat::mbMiddle);
  viewer->SetFocus();
  plat::SimulateKey(*viewer, 'A', "a");
  EXPECT_FALSE(viewer->Panning());
  EXPECT_EQ(viewer->Position(), 0);
}

TEST_F(Scrolling, PanningScrollsByTheDistanceFromItsStart) {
  Click({100, 100}, plat::mbMiddle);
  Move({100, 115});  // within the dead zone: nothing to do
  EXPECT_FALSE(viewer->AutoScrolling());
  Move({100, 170});
  ASSERT_TRUE(viewer->AutoScrolling());
  // The loop takes a first step at once; the mail then brings the pointer back.
  mailbox->OnMail = [this] { PointerAt({100, 105}); };
  mailbox->Post();
  plat::Application().ProcessMessages();
  EXPECT_EQ(viewer->Position(), 32);
  EXPECT_FALSE(viewer->AutoScrolling());
  EXPECT_TRUE(viewer->Panning());
  EXPECT_EQ(Panel().Cursor(), UpDownCursor);

  viewer->ScrollTo(300);
  Move({100, 70});
  mailbox->Post();
  plat::Application().ProcessMessages();
  EXPECT_EQ(viewer->Position(), 292);
}

TEST_F(Scrolling, DraggingASelectionPastTheEdgeScrollsAndExtendsIt) {
  viewer->ScrollTo(400);
  const int32_t pitch = viewer->ScrollHeight() / 120;
  const plat::TPoint start = TextPoint(u"line " + Utf16(std::to_string(400 / pitch + 2)));
  ASSERT_GT(start.Y, 0);
  Press(start);
  const int below = Panel().Height() + 5;
  Move({start.X, below}, plat::ssLeft);
  ASSERT_TRUE(viewer->AutoScrolling());
  mailbox->OnMail = [&] { Release({start.X, below}); };
  mailbox->Post();
  plat::Application().ProcessMessages();
  EXPECT_FALSE(viewer->AutoScrolling());
  EXPECT_EQ(viewer->Position(), 416);
  EXPECT_GT(viewer->Document().SelEnd, viewer->Document().SelStart);

  // Far above the panel it moves eight lines at a time.
  Press(start);
  Move({start.X, -40}, plat::ssLeft);
  mailbox->OnMail = [&] { Release(start); };
  mailbox->Post();
  plat::Application().ProcessMessages();
  EXPECT_EQ(viewer->Position(), 416 - 8 * 16);
}

TEST_F(Scrolling, ALoopThatSeesItsPageReplacedOrItsViewerFreedStops) {
  // A new page during a drag: the old selection's anchor is gone, the button is no longer down.
  Press(TextPoint(u"line 3"));
  Move({100, Panel().Height() + 40}, plat::ssLeft);
  ASSERT_TRUE(viewer->AutoScrolling());
  mailbox->OnMail = [this] { viewer->LoadFromString(TallPage(200), ""); };
  mailbox->Post();
  plat::Application().ProcessMessages();
  EXPECT_FALSE(viewer->AutoScrolling());
  EXPECT_EQ(viewer->SelText(), u"");
  Release({100, Panel().Height() + 40});

  // The viewer freed while it pans.
  Click({100, 100}, plat::mbMiddle);
  Move({100, 200});
  ASSERT_TRUE(viewer->AutoScrolling());
  mailbox->OnMail = [this] {
    viewer->Owner()->DestroyComponent(viewer);
    viewer = nullptr;
  };
  mailbox->Post();
  plat::Application().ProcessMessages();
  EXPECT_EQ(viewer, nullptr);
}

TEST_F(Scrolling, ThePlaceInThePageSurvivesANewWidth) {
  std::string page;
  for (int i = 0; i < 40; ++i) {
    page += "<p>P" + std::to_string(i) + " ";
    for (int w = 0; w < 40; ++w) page += "word ";
    page += "</p>";
  }
  Load(page);
  const std::u16string marker = u"P20 ";
  viewer->ScrollTo(TextPoint(marker).Y - 6);
  const int32_t before = viewer->Position();
  ASSERT_GT(before, 0);
  viewer->SetWidth(260);
  plat::Application().ProcessMessages();
  EXPECT_EQ(TextPoint(marker).Y - 6, 0);
  EXPECT_GT(viewer->Position(), before);
  viewer->SetWidth(400);
  plat::Application().ProcessMessages();
  EXPECT_EQ(viewer->Position(), before);
}

}  // namespace
}  // namespace html::test
