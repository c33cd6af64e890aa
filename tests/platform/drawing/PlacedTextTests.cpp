// Text placed by explicit advances, turned by the font's escapement, and narrowed or widened by
// the font's average character width.
#include <gtest/gtest.h>

#include <algorithm>

#include "Surface.h"
#include "platform/drawing/DeviceContext.h"

namespace {

using canvas_test::Inside;
using canvas_test::Surface;
using namespace plat;

TLogFont Font(int height, int escapement = 0, int width = 0) {
  TLogFont f;
  f.FaceName = "DejaVu Sans";
  f.Height = height;
  f.Escapement = escapement;
  f.Width = width;
  return f;
}

// The box of the pixels that differ from `fill`.
TRect InkBox(const Surface& s, uint32_t fill) {
  TRect box{s.width, s.height, 0, 0};
  for (int32_t y = 0; y < s.height; ++y) {
    for (int32_t x = 0; x < s.width; ++x) {
      if (s.At(x, y) == fill) continue;
      box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
             std::max(box.Bottom, y + 1)};
    }
  }
  return box;
}

TEST(PlacedText, ExplicitAdvancesPlaceEveryCharacter) {
  Surface spaced(200, 80, 0xFF808080), apart(200, 80, 0xFF808080);
  for (Surface* s : {&spaced, &apart}) {
    s->dc.SelectFont(Font(-20));
    s->dc.SetBkMode(TRANSPARENT);
    s->dc.SetTextCharacterExtra(7);  // no effect beside explicit advances
  }
  const int32_t advances[] = {40, 25, 0};
  spaced.dc.ExtTextOut(10, 10, 0, nullptr, u"WiX", advances);
  apart.dc.SetTextCharacterExtra(0);
  apart.dc.TextOut(10, 10, u"W");
  apart.dc.TextOut(50, 10, u"i");
  apart.dc.TextOut(75, 10, u"X");
  EXPECT_EQ(spaced.pixels, apart.pixels);

  // Pairs: each second value moves the characters after it down.
  Surface shifted(200, 80, 0xFF808080), steps(200, 80, 0xFF808080);
  for (Surface* s : {&shifted, &steps}) {
    s->dc.SelectFont(Font(-20));
    s->dc.SetBkMode(TRANSPARENT);
    s->dc.SetTextAlign(TA_UPDATECP);
    s->dc.MoveTo({10, 10});
  }
  const int32_t pairs[] = {40, 12, 25, -30, 30, 0};
  shifted.dc.ExtTextOut(0, 0, ETO_PDY, nullptr, u"WiX", pairs);
  steps.dc.SetTextAlign(TA_LEFT);
  steps.dc.TextOut(10, 10, u"W");
  steps.dc.TextOut(50, 22, u"i");
  steps.dc.TextOut(75, -8, u"X");
  EXPECT_EQ(shifted.pixels, steps.pixels);
  // The current position moves by the advances alone.
  EXPECT_EQ(shifted.dc.CurrentPosition(), (TPoint{105, 10}));
}

TEST(PlacedText, EscapementTurnsTheLineAboutItsReferencePoint) {
  const std::u16string text = u"Tilt";
  Surface upright(200, 200, 0xFF808080);
  upright.dc.SelectFont(Font(-30));
  upright.dc.SetBkMode(TRANSPARENT);
  upright.dc.TextOut(100, 100, text);
  const TRect flat = InkBox(upright, 0xFF808080);
  const TSize extent = upright.dc.GetTextExtent(text);

  // A quarter turn: x' = x + (py - y), y' = y - (px - x) about (100, 100).
  Surface turned(200, 200, 0xFF808080);
  turned.dc.SelectFont(Font(-30, 900));
  turned.dc.SetBkMode(TRANSPARENT);
  turned.dc.SetTextAlign(TA_UPDATECP);
  turned.dc.MoveTo({100, 100});
  turned.dc.TextOut(0, 0, text);
  const TRect up = InkBox(turned, 0xFF808080);
  EXPECT_NEAR(up.Left, 100 + flat.Top - 100, 1);
  EXPECT_NEAR(up.Right, 100 + flat.Bottom - 100, 1);
  EXPECT_NEAR(up.Top, 100 - (flat.Right - 100), 1);
  EXPECT_NEAR(up.Bottom, 100 - (flat.Left - 100), 1);
  EXPECT_EQ(turned.dc.CurrentPosition(), (TPoint{100, 100 - extent.cx}));

  // An opaque cell is the turned cell: a half turn of a right-aligned cell lies right of and
  // below the reference point.
  Surface half(200, 200, 0xFF808080);
  half.dc.SelectFont(Font(-30, 1800));
  half.dc.SetBkColor(0x00FF00);
  half.dc.SetTextAlign(TA_RIGHT);
  half.dc.TextOut(60, 100, text);
  const TRect cell{60, 100 - extent.cy, 60 + extent.cx, 100};
  for (int32_t y = 0; y < half.height; ++y) {
    for (int32_t x = 0; x < half.width; ++x) {
      if (!Inside(x, y, {cell.Left - 1, cell.Top - 1, cell.Right + 1, cell.Bottom + 1})) {
        ASSERT_EQ(half.At(x, y), 0xFF808080u) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(half.At(cell.Left + 1, cell.Top + 1) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(half.At(cell.Right - 2, cell.Bottom - 2) & 0xFFFFFF, 0x00FF00u);
}

TEST(PlacedText, WidthNarrowsAndWidensTheCharacters) {
  DeviceContext dc;
  dc.SelectFont(Font(-40));
  const std::u16string text = u"Wide and narrow";
  const int32_t natural = dc.GetTextExtent(text).cx;
  const TTextMetric metric = dc.GetTextMetrics();
  dc.SelectFont(Font(-40, 0, metric.AveCharWidth * 2));
  EXPECT_NEAR(dc.GetTextExtent(text).cx, natural * 2, natural / 10);
  EXPECT_EQ(dc.GetTextMetrics().Height, metric.Height);
  dc.SelectFont(Font(-40, 0, metric.AveCharWidth / 2));
  EXPECT_NEAR(dc.GetTextExtent(text).cx, natural / 2, natural / 10);
}

}  // namespace
