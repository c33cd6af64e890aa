// The panel object of a PANEL tag: what its attributes set, how it sizes itself in a line, and
// what the host hears when it is made and freed.
#include <gtest/gtest.h>

#include "PanelPages.h"

namespace paneltest {
namespace {

using html::TPanelObj;

class PanelObjects : public PanelPageTest {
 protected:
  // Sizes the only panel for a line of width w and a height base h.
  TPanelObj& Sized(const std::string& page, int32_t w, int32_t h) {
    Build(page);
    TPanelObj& panel = OnlyPanel();
    panel.ComputeSize(canvas, w, h, font);
    return panel;
  }

  // Width and height as given, each followed by its percent flag.
  static std::vector<int32_t> Given(const TPanelObj& p) {
    return {p.SpecWidth, p.PercentWidth, p.SpecHeight, p.PercentHeight};
  }
  static std::vector<int32_t> Spaces(const TPanelObj& p) {
    return {p.HSpaceL, p.HSpaceR, p.VSpaceT, p.VSpaceB};
  }

  plat::TCanvas canvas;
  html::TMyFont font;
};

TEST_F(PanelObjects, AttributesGiveSizeSpacingAlignmentAndText) {
  Build(
      "<p>x<panel name=p1 width=120 height=40 hspace=-60 vspace=7 align=absmiddle "
      "alt=\"two words\n\">y</p>");
  const TPanelObj& panel = OnlyPanel();
  EXPECT_EQ(Given(panel), (std::vector<int32_t>{120, 0, 40, 0}));
  // Pixel sizes are the window's natural size.
  EXPECT_EQ(panel.Panel->BoundsRect(), (plat::TRect{-4000, -4000, -3880, -3960}));
  EXPECT_EQ(panel.PanelWidth, 120);
  EXPECT_EQ(panel.PanelHeight, 40);
  // Spacing is the absolute value, at most 40, on both sides.
  EXPECT_EQ(Spaces(panel), (std::vector<int32_t>{40, 40, 7, 7}));
  EXPECT_EQ(panel.ObjAlign, html::aMiddle);
  EXPECT_EQ(panel.AltText, "two words");
  EXPECT_EQ(panel.AltTextW, u"two words");
  EXPECT_EQ(panel.Panel->Name(), "p1");
  EXPECT_EQ(AllText(), "x#y");
}

TEST_F(PanelObjects, AlignmentAndTheSpaceOfFloats) {
  Build(
      "<panel align=left><panel align=RIGHT hspace=0><panel align=top><panel align=middle>"
      "<panel align=baseline><panel><panel align=right vspace=-3>");
  const auto panels = Panels();
  ASSERT_EQ(panels.size(), 7u);
  const uint8_t aligns[] = {html::aLeft,   html::aRight,  html::aTop,  html::aMiddle,
                            html::aBottom, html::aBottom, html::aRight};
  const int32_t spaces[] = {3, 0, 0, 0, 0, 0, 3};
  for (size_t i = 0; i < panels.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(panels[i]->ObjAlign, aligns[i]);
    EXPECT_EQ(panels[i]->HSpaceL, spaces[i]);
    EXPECT_EQ(panels[i]->HSpaceR, spaces[i]);
  }
  EXPECT_EQ(panels[6]->VSpaceT, 3);
  EXPECT_EQ(panels[6]->VSpaceB, 3);
}

TEST_F(PanelObjects, PercentagesAndOutOfRangeSizes) {
  Build(
      "<panel width=\"150%\" height=\"150%\"><panel width=\"0%\" height=0>"
      "<panel width=99999999 height=\"25%\">");
  const auto panels = Panels();
  ASSERT_EQ(panels.size(), 3u);
  // A width percentage is held to 1..100; a height beyond 100% is taken as pixels.
  EXPECT_EQ(Given(*panels[0]), (std::vector<int32_t>{100, 1, 150, 0}));
  EXPECT_EQ(panels[0]->Panel->Height(), 150);
  EXPECT_EQ(Given(*panels[1]), (std::vector<int32_t>{1, 1, 1, 0}));
  // Pixel sizes stop at the largest window side.
  EXPECT_EQ(Given(*panels[2]), (std::vector<int32_t>{32767, 0, 25, 1}));
  EXPECT_EQ(panels[2]->Panel->Width(), 32767);
}

TEST_F(PanelObjects, PercentWidthKeepsTheNaturalProportions) {
  // The window starts 30 x 20.
  TPanelObj& panel = Sized("<panel width=\"50%\">", 400, 0);
  EXPECT_EQ(panel.ImageWidth, 200);
  EXPECT_EQ(panel.ImageHeight, 133);  // 200 * 20 / 30 = 133.3
  EXPECT_EQ(panel.Panel->Width(), 200);
  EXPECT_EQ(panel.Panel->Height(), 133);
  // A percentage follows the line's width at every layout.
  panel.ComputeSize(canvas, 300, 0, font);
  EXPECT_EQ(panel.ImageWidth, 150);
  EXPECT_EQ(panel.ImageHeight, 100);
}

TEST_F(PanelObjects, SizesFromPercentagesPixelsAndTheHostsWindow) {
  EXPECT_EQ(Sized("<panel width=\"50%\" height=\"25%\">", 400, 300).ImageHeight, 75);
  EXPECT_EQ(Sized("<panel width=\"10%\" height=33>", 400, 300).ImageHeight, 33);
  TPanelObj& tall = Sized("<panel height=\"50%\">", 400, 300);
  EXPECT_EQ(tall.ImageHeight, 150);
  EXPECT_EQ(tall.ImageWidth, 225);  // 150 * 30 / 20
  EXPECT_EQ(Sized("<panel height=\"50%\" width=17>", 400, 300).ImageWidth, 17);
  TPanelObj& plain = Sized("<panel>", 400, 300);
  EXPECT_EQ(plain.ImageWidth, 30);
  EXPECT_EQ(plain.ImageHeight, 20);

  // The host's size at creation is the natural one: 200 x 100 here.
  OnCreate = [](html::ThvPanel& panel) { panel.SetBounds(0, 0, 200, 100); };
  TPanelObj& byHeight = Sized("<panel height=50>", 400, 300);
  EXPECT_EQ(byHeight.ImageWidth, 100);
  EXPECT_EQ(byHeight.ImageHeight, 50);
  EXPECT_EQ(byHeight.Panel->Width(), 100);
  EXPECT_EQ(byHeight.Panel->Height(), 50);
  TPanelObj& byWidth = Sized("<panel width=50>", 400, 300);
  EXPECT_EQ(byWidth.ImageHeight, 25);
  TPanelObj& both = Sized("<panel width=70 height=60>", 400, 300);
  EXPECT_EQ(both.ImageWidth, 70);
  EXPECT_EQ(both.ImageHeight, 60);
  TPanelObj& natural = Sized("<panel>", 400, 300);
  EXPECT_EQ(natural.ImageWidth, 200);
  EXPECT_EQ(natural.ImageHeight, 100);
}

TEST_F(PanelObjects, AHostWindowWithoutExtentScalesToNothing) {
  OnCreate = [](html::ThvPanel& panel) { panel.SetBounds(0, 0, 0, 0); };
  TPanelObj& byWidth = Sized("<panel width=50>", 400, 300);
  EXPECT_EQ(byWidth.ImageWidth, 50);
  EXPECT_EQ(byWidth.ImageHeight, 0);
  TPanelObj& byPercent = Sized("<panel width=\"50%\">", 400, 300);
  EXPECT_EQ(byPercent.ImageWidth, 200);
  EXPECT_EQ(byPercent.ImageHeight, 0);
  TPanelObj& byHeight = Sized("<panel height=\"10%\">", 400, 300);
  EXPECT_EQ(byHeight.ImageHeight, 30);
  EXPECT_EQ(byHeight.ImageWidth, 0);
  // A size of nothing leaves the window as it was.
  EXPECT_EQ(byHeight.Panel->Width(), 0);
}

TEST_F(PanelObjects, TheHostIsToldOfEveryPanelMadeAndFreed) {
  Build(
      "<p>one <panel name=a type=\"text/x-demo\" src=\"demo.bin\"> two "
      "<panel name=b></p>");
  ASSERT_EQ(created.size(), 2u);
  EXPECT_EQ(created[0].Name, "a");
  EXPECT_EQ(created[0].Type, "text/x-demo");
  EXPECT_EQ(created[0].Src, "demo.bin");
  EXPECT_EQ(created[1].Name, "b");
  EXPECT_EQ(created[1].Type, "");
  const auto panels = Panels();
  ASSERT_EQ(panels.size(), 2u);
  EXPECT_EQ(created[0].Panel, panels[0]->Panel.get());
  EXPECT_EQ(created[1].Panel, panels[1]->Panel.get());
  // A fresh window: off screen, white, one plain border, no caption.
  const html::ThvPanel& window = *panels[0]->Panel;
  EXPECT_EQ(window.Left(), -4000);
  EXPECT_EQ(window.Top(), -4000);
  EXPECT_EQ(window.Color(), html::TColor(0xFFFFFF));
  EXPECT_EQ(window.BorderStyle(), plat::bsSingle);
  EXPECT_EQ(window.BevelOuter(), plat::bvNone);
  EXPECT_EQ(window.Caption(), "");
  EXPECT_EQ(window.ShowPanel, 1);
  EXPECT_TRUE(destroyed.empty());

  document.Clear();
  EXPECT_EQ(destroyed, (std::vector<html::ThvPanel*>{created[0].Panel, created[1].Panel}));
  EXPECT_TRUE(document.Panels.empty());
}

TEST_F(PanelObjects, AFreedPanelLeavesTheDocumentsList) {
  Build("<panel name=a><panel name=b>");
  const auto panels = Panels();
  ASSERT_EQ(panels.size(), 2u);
  html::TSection& section = *Sections().at(0);
  section.MutableImages().Delete(0);
  ASSERT_EQ(document.Panels.size(), 1u);
  EXPECT_EQ(document.Panels[0], static_cast<html::TPageWindowObj*>(panels[1]));
  EXPECT_EQ(destroyed, std::vector<html::ThvPanel*>{created[0].Panel});
}

}  // namespace
}  // namespace paneltest
