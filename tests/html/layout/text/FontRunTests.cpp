// Font runs: finding the run at a position, runs that lose their last character, and the looks
// and focus windows shared by the runs of one link.
#include "TextTestSupport.h"

namespace {

using html::TFontObj;
using html::TSection;
using texttest::AddText;
using texttest::TextFixture;

class FontRunTest : public TextFixture {
 protected:
  // A link run list: "abcde" plain, "fghi" and "jkl" in runs of their own.
  TSection& ThreeRuns() {
    TSection& s = NewSection();
    AddText(s, u"abcde", 0);
    s.ChangeFont(state.TopProperties());
    AddText(s, u"fghi", 5);
    s.ChangeFont(state.TopProperties());
    AddText(s, u"jkl", 9);
    return s;
  }
  static html::ThtFontInfo Info(double points, plat::TFontStyles style = 0) {
    html::ThtFontInfo info;
    info.Name = texttest::kFamily;
    info.Size = points;
    info.Style = style;
    return info;
  }
  std::unique_ptr<html::TUrlTarget> Link(const std::string& url, int32_t id, int32_t tabIndex = 0) {
    auto link = std::make_unique<html::TUrlTarget>();
    link->URL = url;
    link->ID = id;
    link->TabIndex = tabIndex;
    return link;
  }
};

TEST_F(FontRunTest, PositionsFindTheCoveringRun) {
  TSection& s = ThreeRuns();
  int index = -1;
  EXPECT_EQ(s.Fonts.GetFontObjAt(5, index), s.Fonts[1]);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(s.Fonts.GetFontObjAt(4, index), s.Fonts[0]);
  EXPECT_EQ(s.Fonts.GetFontObjAt(0, index), s.Fonts[0]);
  EXPECT_EQ(s.Fonts.GetFontObjAt(20, index), s.Fonts[2]);
  EXPECT_EQ(s.Fonts.GetFontCountAt(5, 12), 4);
  EXPECT_EQ(s.Fonts.GetFontCountAt(9, 12), 3);
  EXPECT_EQ(s.Fonts.GetFontCountAt(6, 12), 3);
  EXPECT_EQ(s.Fonts.GetFontCountAt(0, 12), 5);
}

TEST_F(FontRunTest, FontSizesRoundHalfToEven) {
  TSection& s = NewSection();
  TFontObj& run = *s.Fonts[0];
  run.ApplyFontInfo(Info(15));  // 20 pixels
  EXPECT_EQ(run.Font->Height(), -20);
  run.ApplyFontInfo(Info(1.875));  // 2.5 pixels
  EXPECT_EQ(run.Font->Height(), -2);
  run.ApplyFontInfo(Info(2.625));  // 3.5 pixels
  EXPECT_EQ(run.Font->Height(), -4);
}

TEST_F(FontRunTest, ItalicRunsOverhangATenthOfTheirHeight) {
  TSection& s = NewSection();
  TFontObj& run = *s.Fonts[0];
  run.ApplyFontInfo(Info(30, plat::fsItalic));
  EXPECT_EQ(run.Overhang(), run.TextHeight() / 10);
  EXPECT_GT(run.Overhang(), 0);
  run.ApplyFontInfo(Info(30));
  EXPECT_EQ(run.Overhang(), 0);
}

// A run outside any link answers for its link, looks, focus window and title with nothing, and
// an empty title keeps it so; a title given stays until replaced.
TEST_F(FontRunTest, PlainRunsHaveNoLinkPartsAndTakeATitle) {
  TSection& s = NewSection();
  TFontObj& run = *s.Fonts[0];
  run.SetTitle("");
  EXPECT_EQ(run.Link(), nullptr);
  EXPECT_EQ(run.FontInfos(), nullptr);
  EXPECT_EQ(run.FocusControl(), nullptr);
  EXPECT_EQ(run.LinkID(), 0);
  EXPECT_EQ(run.LinkY(), 0);
  EXPECT_FALSE(run.IsLink());
  EXPECT_EQ(run.GetURL(), "");
  EXPECT_EQ(run.Title(), "");
  run.SetTitle("hint");
  EXPECT_EQ(run.Title(), "hint");
  EXPECT_EQ(run.Link(), nullptr);
  run.SetTitle("");
  EXPECT_EQ(run.Title(), "");
}

TEST_F(FontRunTest, HoverChangesEveryRunOfTheLink) {
  state.TopProperties().LinkFonts = std::make_unique<html::TFontInfoArray>();
  auto& fonts = state.TopProperties().LinkFonts->Ar;
  fonts[html::TFontInfoArray::Link] = Info(12);
  fonts[html::TFontInfoArray::Visited] = Info(12);
  fonts[html::TFontInfoArray::Hover] = Info(12, plat::fsUnderline);
  fonts[html::TFontInfoArray::VisitedHover] = Info(12, plat::fsBold);
  auto link = Link("a.html", 77);
  document.ManyLinks = true;  // no focus windows here
  TSection& s = NewSection(nullptr, link.get());
  AddText(s, u"one ", 0);
  auto bold = texttest::TextProps();
  bold->LinkFonts = std::make_unique<html::TFontInfoArray>(*state.TopProperties().LinkFonts);
  s.ChangeFont(*bold);
  AddText(s, u"two ", 4);
  s.ChangeFont(state.TopProperties());
  AddText(s, u"three", 8);
  ASSERT_EQ(document.LinkRuns.size(), 3u);

  html::SetAllHovers(*s.Fonts[1], document.LinkRuns, true);
  for (const auto& run : s.Fonts) {
    EXPECT_TRUE(run->IsHovered);
    EXPECT_EQ(run->Font->Style(), plat::fsUnderline);
    EXPECT_EQ(run->LinkID(), 77);
  }
  s.Fonts[2]->SetVisited(true);
  EXPECT_EQ(s.Fonts[2]->Font->Style(), plat::fsBold);

  // An unchanged flag leaves the font alone.
  const html::TMyFont* hovered = s.Fonts[0]->Font.get();
  s.Fonts[0]->SetHover(true);
  EXPECT_EQ(s.Fonts[0]->Font.get(), hovered);
}

TEST_F(FontRunTest, RunsOfOneLookShareAFontAndALinkChangesOnlyItsOwn) {
  state.TopProperties().LinkFonts = std::make_unique<html::TFontInfoArray>();
  auto& fonts = state.TopProperties().LinkFonts->Ar;
  fonts[html::TFontInfoArray::Link] = Info(12);
  fonts[html::TFontInfoArray::Visited] = Info(12);
  fonts[html::TFontInfoArray::Hover] = Info(12, plat::fsUnderline);
  fonts[html::TFontInfoArray::VisitedHover] = Info(12);
  auto link = Link("a.html", 9);
  document.ManyLinks = true;
  TSection& plain = NewSection();
  TSection& other = NewSection();
  TSection& linked = NewSection(nullptr, link.get());
  // Equal looks from different property sets are one font too.
  auto same = texttest::TextProps();
  TSection& alike = NewSection(same.get());
  const html::TMyFont* shared = plain.Fonts[0]->Font.get();
  EXPECT_EQ(other.Fonts[0]->Font.get(), shared);
  EXPECT_EQ(linked.Fonts[0]->Font.get(), shared);
  EXPECT_EQ(alike.Fonts[0]->Font.get(), shared);

  html::SetAllHovers(*linked.Fonts[0], document.LinkRuns, true);
  EXPECT_EQ(linked.Fonts[0]->Font->Style(), plat::fsUnderline);
  EXPECT_EQ(plain.Fonts[0]->Font.get(), shared);
  EXPECT_EQ(shared->Style(), 0);
}

TEST_F(FontRunTest, EmptiedRunGoesAndHandsTheFocusWindowOn) {
  auto link = Link("a.html", 5, 3);
  TSection& s = NewSection(nullptr, link.get());
  AddText(s, u" ", 0);  // the link's first run holds only a leading space
  s.ChangeFont(state.TopProperties());
  AddText(s, u"ab", 1);
  TFontObj* first = s.Fonts[0];
  ASSERT_TRUE(first->FocusControl());
  plat::TWinControl* window = first->FocusControl();
  // Arrow keys reach the link's window.
  EXPECT_EQ(window->Perform(plat::WM_GETDLGCODE), plat::DLGC_WANTARROWS);
  ASSERT_EQ(document.TabIndexList.Count(), 1);

  s.ProcessText(3);  // the leading space goes, and with it the first run
  ASSERT_EQ(s.Fonts.Count(), 1);
  TFontObj* survivor = s.Fonts[0];
  EXPECT_EQ(survivor->StartPos, 0);
  EXPECT_EQ(survivor->FocusControl(), window);
  ASSERT_EQ(document.TabIndexList.Count(), 1);
  EXPECT_EQ(document.TabIndexList.Entries()[0].Control, window);
  EXPECT_EQ(document.LinkRuns.size(), 1u);

  // The handed-on window's handlers act on the surviving run.
  window->OnEnter(window);
  EXPECT_TRUE(survivor->IsFocused);
  window->OnExit(window);
  EXPECT_FALSE(survivor->IsFocused);
}

TEST_F(FontRunTest, OnlyTheFirstRunOfALinkTakesAFocusWindow) {
  auto link = Link("a.html", 9, 2);
  TSection& s = NewSection(nullptr, link.get());
  AddText(s, u"ab", 0);
  s.ChangeFont(state.TopProperties());
  s.Fonts[1]->CreateFocusControl(2);
  EXPECT_FALSE(s.Fonts[1]->FocusControl());
  EXPECT_EQ(document.TabIndexList.Count(), 1);

  // The link's y is recorded on the run holding the window.
  s.Fonts[1]->AssignLinkY(42);
  EXPECT_EQ(s.Fonts[0]->LinkY(), 42);
}

TEST_F(FontRunTest, DroppedSectionsLeaveNoDanglingEntries) {
  auto link = Link("a.html", 11, 1);
  TSection& s = NewSection(nullptr, link.get());
  AddText(s, u" ", 0);
  s.ProcessText(1);
  ASSERT_TRUE(s.IsEmptyText());
  s.RemoveLinks();
  EXPECT_TRUE(document.LinkRuns.empty());
  EXPECT_EQ(document.TabIndexList.Count(), 0);

  // Freeing a section also takes its runs out of the document's lists.
  auto other = Link("b.html", 12, 4);
  TSection& t = NewSection(nullptr, other.get());
  AddText(t, u"x", 0);
  document.HoverLink = t.Fonts[0];
  ASSERT_EQ(document.TabIndexList.Count(), 1);
  sections.clear();
  EXPECT_TRUE(document.LinkRuns.empty());
  EXPECT_EQ(document.TabIndexList.Count(), 0);
  EXPECT_EQ(document.HoverLink, nullptr);
}

TEST_F(FontRunTest, ALinkEndingBeforeItsTextIsNoLink) {
  auto link = Link("a.html", 13, 1);
  TSection& s = NewSection();
  AddText(s, u"a", 0);
  s.SetLink(true, state.TopProperties(), *link);
  ASSERT_EQ(document.LinkRuns.size(), 1u);
  html::TUrlTarget none;
  s.SetLink(false, state.TopProperties(), none);
  EXPECT_TRUE(document.LinkRuns.empty());
  EXPECT_EQ(document.TabIndexList.Count(), 0);
  EXPECT_EQ(s.Fonts.Count(), 2);
}

}  // namespace
