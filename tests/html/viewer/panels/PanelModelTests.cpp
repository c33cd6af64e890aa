// Random PANEL attributes and hosts that resize the panel they are handed, against a model of
// what the panel object reads and how it sizes itself and its window, laid out twice.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "html/viewer/Panels.h"

namespace paneltest {
namespace {

int32_t NearestRatio(int64_t a, int64_t b, int64_t c) {
  return c <= 0 ? 0 : int32_t(std::llround(double(a) * double(b) / double(c)));
}

TEST(PanelModel, AttributesAndSizesAsTheModelSays) {
  std::mt19937 random(134);
  html::TSectionList document{nullptr, nullptr};
  plat::TCanvas canvas;
  html::TMyFont font;
  for (int n = 0; n < 500; ++n) {
    html::TAttributeList attributes;
    auto add = [&](html::Symb which, const std::string& text, int32_t number = 0) {
      attributes.Add(std::make_unique<html::TAttribute>(which, number, "", text, 65001));
    };
    // The model: what the attributes give, and the window's size before the host sees it.
    int32_t askedW = -1, askedH = -1, windowW = 30, windowH = 20, hSpace = -1, vSpace = 0;
    bool percentW = false, percentH = false;
    uint8_t align = html::aBottom;
    std::string alt;
    for (int k = int(random() % 6); k > 0; --k) {
      const int32_t v = int32_t(random() % 180) - 20;
      switch (random() % 6) {
        case 0: {
          const bool percent = random() % 2;
          add(html::WidthSy, std::to_string(v) + (percent ? "%" : ""), v);
          percentW = percent;
          if (percent)
            askedW = std::clamp(v, 1, 100);
          else
            askedW = windowW = std::max(v, 0);
          break;
        }
        case 1: {
          const bool percent = random() % 2;
          add(html::HeightSy, std::to_string(v) + (percent ? "%" : ""), v);
          percentH = percent && v >= 1 && v <= 100;
          if (percentH)
            askedH = v;
          else
            askedH = windowH = std::max(v, 1);
          break;
        }
        case 2:
          add(html::HSpaceSy, std::to_string(v - 50), v - 50);
          hSpace = std::min(std::abs(v - 50), 40);
          break;
        case 3:
          add(html::VSpaceSy, std::to_string(v - 50), v - 50);
          vSpace = std::min(std::abs(v - 50), 40);
          break;
        case 4: {
          static const char* const aligns[] = {"top", "Middle", "ABSMIDDLE", "left", "Right", "x"};
          static const uint8_t codes[] = {html::aTop,  html::aMiddle, html::aMiddle,
                                          html::aLeft, html::aRight,  0};
          const size_t i = random() % std::size(aligns);
          add(html::AlignSy, aligns[i]);
          if (codes[i]) align = codes[i];
          break;
        }
        default:
          alt = "say " + std::to_string(v);
          add(html::AltSy, alt + (v % 2 ? "\r\n" : ""));
          break;
      }
    }
    if (hSpace < 0) hSpace = align == html::aLeft || align == html::aRight ? 3 : 0;
    // Some hosts give the panel a size of their own: that is its natural size.
    const bool hostSizes = random() % 3 == 0;
    const int32_t hostW = int32_t(random() % 200), hostH = int32_t(random() % 150);
    document.PanelCreate = [&](plat::TObject*, const std::string&, const std::string&,
                               const std::string&, html::ThvPanel* panel) {
      if (hostSizes) panel->SetBounds(panel->Left(), panel->Top(), hostW, hostH);
    };
    html::TPanelObj panel(&document, false, nullptr, attributes, 0);
    const int32_t naturalW = hostSizes ? hostW : windowW, naturalH = hostSizes ? hostH : windowH;
    SCOPED_TRACE(testing::Message() << "panel " << n);
    // Sizes asked for, spaces, alignment, and the natural size.
    ASSERT_EQ(
        (std::vector<int32_t>{panel.SpecWidth, panel.PercentWidth, panel.SpecHeight,
                              panel.PercentHeight, panel.HSpaceL, panel.HSpaceR, panel.VSpaceT,
                              panel.VSpaceB, panel.ObjAlign, panel.PanelWidth, panel.PanelHeight}),
        (std::vector<int32_t>{askedW, percentW, askedH, percentH, hSpace, hSpace, vSpace, vSpace,
                              align, naturalW, naturalH}));
    EXPECT_EQ(panel.AltText, alt);

    int32_t lastW = 0, lastH = 0;
    for (int pass = 0; pass < 2; ++pass) {
      const int32_t avail = int32_t(random() % 600), base = int32_t(random() % 400);
      panel.ComputeSize(canvas, avail, base, font);
      int32_t w = 0, h = 0;
      if (pass == 1 && !percentW && !percentH) {
        w = lastW, h = lastH;  // sized once for good
      } else if (percentW) {
        w = NearestRatio(avail, askedW, 100);
        h = percentH      ? NearestRatio(base, askedH, 100)
            : askedH >= 0 ? askedH
                          : NearestRatio(w, naturalH, naturalW);
      } else if (percentH) {
        h = NearestRatio(base, askedH, 100);
        w = askedW >= 0 ? askedW : NearestRatio(h, naturalW, naturalH);
      } else if (askedW >= 0 && askedH >= 0) {
        w = askedW, h = askedH;
      } else if (askedH >= 0) {
        h = askedH, w = NearestRatio(h, naturalW, naturalH);
      } else if (askedW >= 0) {
        w = askedW, h = NearestRatio(w, naturalH, naturalW);
      } else {
        w = naturalW, h = naturalH;
      }
      ASSERT_EQ(panel.ImageWidth, w) << "pass " << pass;
      ASSERT_EQ(panel.ImageHeight, h) << "pass " << pass;
      // The window takes a size with both sides positive, and keeps its place.
      if (w > 0 && h > 0) {
        EXPECT_EQ(panel.Panel->Width(), w);
        EXPECT_EQ(panel.Panel->Height(), h);
      }
      EXPECT_EQ(panel.Panel->Left(), -4000);
      lastW = w, lastH = h;
    }
  }
}

}  // namespace
}  // namespace paneltest
