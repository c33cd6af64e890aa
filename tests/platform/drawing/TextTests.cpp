#include <gtest/gtest.h>

#include <set>

#include "Surface.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/FontFamilies.h"
#include "platform/drawing/Graphics.h"

namespace {

using canvas_test::Inside;
using canvas_test::Surface;
using namespace plat;

TLogFont Font(int height, uint8_t quality = DEFAULT_QUALITY, const char* face = "DejaVu Sans") {
  TLogFont f;
  f.FaceName = face;
  f.Height = height;
  f.Quality = quality;
  return f;
}

uint32_t Channel(uint32_t p, int shift) {
  return (p >> shift) & 0xFF;
}

// A family that is not installed is drawn in the default sans, never in what fontconfig would
// stand in for it; installed families and metric-compatible stand-ins are drawn as asked.
TEST(FontFamilies, AMissingFamilyIsDrawnInTheDefaultSans) {
  EXPECT_EQ(DrawnFontFamily("No Such Family 9"), kDefaultFontName);
  EXPECT_EQ(DrawnFontFamily(""), kDefaultFontName);
  EXPECT_EQ(DrawnFontFamily("Default"), kDefaultFontName);
  EXPECT_EQ(DrawnFontFamily("DejaVu Serif"), "DejaVu Serif");
  if (FontFamilyInstalled("Liberation Sans")) EXPECT_EQ(DrawnFontFamily("Arial"), "Arial");
  const auto drawn = [](const char* face) {
    Surface s(160, 40);
    s.dc.SelectFont(Font(-20, DEFAULT_QUALITY, face));
    s.dc.TextOut(2, 2, u"Wag jQy!");
    return s.pixels;
  };
  EXPECT_EQ(drawn("No Such Family 9"), drawn("DejaVu Sans"));
  EXPECT_NE(drawn("No Such Family 9"), drawn("DejaVu Serif"));
}

TEST(TextOutput, LeavesAlphaAndEverythingOutsideTheCellAlone) {
  for (uint8_t quality : {ANTIALIASED_QUALITY, NONANTIALIASED_QUALITY}) {
    Surface s(160, 60);
    s.Randomize(7);
    const std::vector<uint32_t> before = s.pixels;
    s.dc.SelectFont(Font(-20, quality));
    s.dc.SetBkMode(TRANSPARENT);
    s.dc.SetTextColor(0x00FF00);
    const std::u16string text = u"Wag jQy!";
    s.dc.TextOut(13, 9, text);
    const TSize extent = s.dc.GetTextExtent(text);
    const TRect cell{13, 9, 13 + extent.cx, 9 + extent.cy};
    int changed = 0;
    for (int32_t y = 0; y < s.height; ++y) {
      for (int32_t x = 0; x < s.width; ++x) {
        const uint32_t was = before[size_t(y * s.width + x)], now = s.At(x, y);
        ASSERT_EQ(now >> 24, was >> 24) << x << "," << y;
        if (!Inside(x, y, cell)) {
          ASSERT_EQ(now, was) << x << "," << y;
        }
        changed += now != was;
      }
    }
    EXPECT_GT(changed, 50);
  }
}

TEST(TextOutput, ItalicGlyphsLeanPastTheCellButKeepToItsRows) {
  TLogFont italic = Font(-40, ANTIALIASED_QUALITY, "Liberation Serif");
  italic.Italic = true;
  const std::u16string text = u"ff";
  for (bool clipped : {false, true}) {
    Surface s(200, 80);
    s.Randomize(17);
    const std::vector<uint32_t> before = s.pixels;
    s.dc.SelectFont(italic);
    s.dc.SetBkMode(TRANSPARENT);
    const TSize extent = s.dc.GetTextExtent(text);
    const TRect cell{30, 10, 30 + extent.cx, 10 + extent.cy};
    if (clipped) s.dc.IntersectClipRect(cell);
    s.dc.TextOut(30, 10, text);
    int beyond = 0;
    for (int32_t y = 0; y < s.height; ++y) {
      for (int32_t x = 0; x < s.width; ++x) {
        const uint32_t was = before[size_t(y * s.width + x)];
        ASSERT_EQ(s.At(x, y) >> 24, was >> 24);
        if (y < cell.Top || y >= cell.Bottom || (clipped && !Inside(x, y, cell))) {
          ASSERT_EQ(s.At(x, y), was) << x << "," << y;
        }
        beyond += !Inside(x, y, cell) && s.At(x, y) != was;
      }
    }
    EXPECT_EQ(beyond > 0, !clipped);
  }
}

TEST(TextOutput, StaysInsideTheClipRegionAndTheClippingRectangle) {
  Surface s(120, 40);
  s.Randomize(11);
  const std::vector<uint32_t> before = s.pixels;
  s.dc.SelectFont(Font(-30));
  s.dc.SetBkMode(OPAQUE);
  s.dc.SetBkColor(0x123456);
  const TRect clip{10, 0, 40, 40};
  s.dc.IntersectClipRect(clip);
  const TRect etoRect{0, 12, 120, 22};
  s.dc.ExtTextOut(2, 2, ETO_CLIPPED, &etoRect, u"MMMMMMMM");
  int changed = 0;
  for (int32_t y = 0; y < s.height; ++y) {
    for (int32_t x = 0; x < s.width; ++x) {
      const uint32_t was = before[size_t(y * s.width + x)];
      if (!Inside(x, y, clip) || !Inside(x, y, etoRect)) {
        ASSERT_EQ(s.At(x, y), was);
      }
      changed += s.At(x, y) != was;
    }
  }
  EXPECT_EQ(changed, 30 * 10);  // opaque mode covers the whole visible part of the cell
}

TEST(TextOutput, NonAntialiasedTextHasOnlyTwoColours) {
  for (int height : {-28, -853}) {
    Surface s(-height * 8, -height * 2, 0x80203040);
    s.dc.SelectFont(Font(height, NONANTIALIASED_QUALITY, "Liberation Serif"));
    s.dc.SetBkMode(TRANSPARENT);
    s.dc.SetTextColor(0x0000FF);  // red
    s.dc.TextOut(3, 3, u"Sphinx of quartz");
    std::set<uint32_t> colours(s.pixels.begin(), s.pixels.end());
    EXPECT_EQ(colours, (std::set<uint32_t>{0x80203040, 0x80FF0000})) << height;
  }
}

TEST(TextOutput, BlendsCoverageIntoTheBackgroundByTheFormula) {
  // White on black gives the coverage itself; the same glyphs on any other picture must follow
  // rgb + (text - rgb) * coverage / 255.
  const std::u16string text = u"Quality 9g";
  Surface mask(150, 40, 0x00000000);
  mask.dc.SelectFont(Font(-24, ANTIALIASED_QUALITY));
  mask.dc.SetBkMode(TRANSPARENT);
  mask.dc.SetTextColor(0xFFFFFF);
  mask.dc.TextOut(4, 5, text);

  Surface s(150, 40);
  s.Randomize(3);
  const std::vector<uint32_t> before = s.pixels;
  s.dc.SelectFont(Font(-24, ANTIALIASED_QUALITY));
  s.dc.SetBkMode(TRANSPARENT);
  const uint32_t text_r = 0x20, text_g = 0xC0, text_b = 0x7F;
  s.dc.SetTextColor(text_r | (text_g << 8) | (text_b << 16));
  s.dc.TextOut(4, 5, text);
  bool partial = false;
  for (size_t i = 0; i < s.pixels.size(); ++i) {
    const int c = int(Channel(mask.pixels[i], 0));
    ASSERT_EQ(Channel(mask.pixels[i], 16), uint32_t(c));
    partial = partial || (c > 0 && c < 255);
    const uint32_t was = before[i];
    auto mix = [c](uint32_t back, uint32_t fore) {
      return uint32_t(int(back) + (int(fore) - int(back)) * c / 255);
    };
    const uint32_t expected = (was & 0xFF000000) | (mix(Channel(was, 16), text_r) << 16) |
                              (mix(Channel(was, 8), text_g) << 8) | mix(Channel(was, 0), text_b);
    ASSERT_EQ(s.pixels[i], expected) << i;
  }
  EXPECT_TRUE(partial);  // antialiased glyphs have partly covered pixels
}

TEST(TextOutput, HugeTypeMatchesTheSameTextDrawnInStrips) {
  // A cell of many megapixels is rendered piece by piece; it must equal the text drawn through
  // narrow clip strips, each small enough to be rendered at once.
  const std::u16string text = u"HgW#HgW#OHgW#HgW#O";
  DeviceContext measure;
  measure.SelectFont(Font(-1000, NONANTIALIASED_QUALITY));
  const TSize extent = measure.GetTextExtent(text);
  ASSERT_GT(int64_t(extent.cx) * extent.cy, 16 << 20);
  Surface whole(extent.cx, extent.cy), strips(extent.cx, extent.cy);
  for (Surface* s : {&whole, &strips}) {
    s->dc.SelectFont(Font(-1000, NONANTIALIASED_QUALITY));
    s->dc.SetBkMode(TRANSPARENT);
    s->dc.SetTextColor(0xFFFFFF);
  }
  whole.dc.TextOut(0, 0, text);
  for (int32_t top = 0; top < extent.cy; top += 97) {
    strips.dc.SaveDC();
    strips.dc.IntersectClipRect({0, top, extent.cx, top + 97});
    strips.dc.TextOut(0, 0, text);
    strips.dc.RestoreDC(-1);
  }
  int64_t covered = 0;
  for (size_t i = 0; i < whole.pixels.size(); ++i) {
    ASSERT_EQ(whole.pixels[i], strips.pixels[i])
        << i % size_t(extent.cx) << "," << i / size_t(extent.cx);
    covered += whole.pixels[i] != 0;
  }
  EXPECT_GT(covered, int64_t(extent.cx) * extent.cy / 10);
}

TEST(TextOutput, AlignmentMovesTheCell) {
  const std::u16string text = u"Align";
  Surface top(120, 60), baseline(120, 60), right(120, 60);
  for (Surface* s : {&top, &baseline, &right}) {
    s->dc.SelectFont(Font(-18));
    s->dc.SetBkMode(TRANSPARENT);
  }
  const TTextMetric m = top.dc.GetTextMetrics();
  const int32_t width = top.dc.GetTextExtent(text).cx;
  top.dc.TextOut(10, 20, text);
  baseline.dc.SetTextAlign(TA_BASELINE);
  baseline.dc.TextOut(10, 20 + m.Ascent, text);
  right.dc.SetTextAlign(TA_RIGHT | TA_TOP);
  right.dc.TextOut(10 + width, 20, text);
  EXPECT_EQ(baseline.pixels, top.pixels);
  EXPECT_EQ(right.pixels, top.pixels);
  EXPECT_EQ(m.Height, m.Ascent + m.Descent);
  EXPECT_EQ(top.dc.GetTextExtent(text).cy, m.Height);
}

TEST(TextOutput, OriginsAndCentringMoveTheTextAsAWhole) {
  const std::u16string text = u"Origin";
  Surface plain(120, 40), moved(120, 40), centred(120, 40);
  for (Surface* s : {&plain, &moved, &centred}) {
    s->dc.SelectFont(Font(-17));
    s->dc.SetBkMode(TRANSPARENT);
    s->dc.SetTextColor(0x00FFFF);
  }
  plain.dc.TextOut(25, 9, text);
  moved.dc.SetWindowOrg({-20, 5});  // logical (5, 14) lands on device (25, 9)
  moved.dc.TextOut(5, 14, text);
  EXPECT_EQ(moved.pixels, plain.pixels);
  const int32_t width = plain.dc.GetTextExtent(text).cx;
  centred.dc.SetTextAlign(TA_CENTER);
  centred.dc.TextOut(25 + width / 2, 9, text);
  EXPECT_EQ(centred.pixels, plain.pixels);
}

TEST(TextOutput, OpaqueOptionFillsTheWholeRectangle) {
  Surface s(60, 30, 0x7F000000);
  s.dc.SelectFont(Font(-12));
  s.dc.SetBkMode(TRANSPARENT);
  s.dc.SetBkColor(0x00FF00);
  const TRect r{5, 5, 55, 25};
  s.dc.ExtTextOut(8, 8, ETO_OPAQUE, &r, u"");
  for (int32_t y = 0; y < 30; ++y) {
    for (int32_t x = 0; x < 60; ++x) {
      ASSERT_EQ(s.At(x, y), Inside(x, y, r) ? 0x7F00FF00u : 0x7F000000u);
    }
  }
}

TEST(TextOutput, UpdatesTheCurrentPositionWhenAsked) {
  Surface s(200, 40);
  s.dc.SelectFont(Font(-16));
  s.dc.SetTextAlign(TA_UPDATECP);
  s.dc.MoveTo({5, 3});
  s.dc.TextOut(0, 0, u"abc");
  s.dc.TextOut(0, 0, u"de");
  EXPECT_EQ(s.dc.CurrentPosition(), (TPoint{5 + s.dc.GetTextExtent(u"abcde").cx, 3}));
}

TEST(TextOutput, UnderlineSpansTheWholeTextAndOpaqueModeFillsTheCell) {
  TLogFont f = Font(-20, NONANTIALIASED_QUALITY);
  Surface plain(200, 40, 0xFF000000), underlined(200, 40, 0xFF000000);
  plain.dc.SelectFont(f);
  f.Underline = true;
  underlined.dc.SelectFont(f);
  for (Surface* s : {&plain, &underlined}) {
    s->dc.SetBkMode(OPAQUE);
    s->dc.SetBkColor(0x0000FF);
    s->dc.SetTextColor(0xFFFFFF);
    s->dc.TextOut(0, 0, u"a b c");
  }
  const TSize extent = plain.dc.GetTextExtent(u"a b c");
  int fullRows = 0;
  for (int32_t y = 0; y < 40; ++y) {
    bool full = true;
    for (int32_t x = 0; x < 200; ++x) {
      const bool inCell = x < extent.cx && y < extent.cy;
      if (!inCell) {
        ASSERT_EQ(plain.At(x, y), 0xFF000000u);
        ASSERT_EQ(underlined.At(x, y), 0xFF000000u);
      } else {
        ASSERT_TRUE(plain.At(x, y) == 0xFFFF0000 || plain.At(x, y) == 0xFFFFFFFF);
        full = full && underlined.At(x, y) == 0xFFFFFFFF;
      }
    }
    fullRows += full && y < extent.cy;
  }
  EXPECT_GE(fullRows, 1);
  EXPECT_NE(plain.pixels, underlined.pixels);
}

TEST(TextMeasuring, PiecesAddUpToTheWhole) {
  DeviceContext dc;  // measuring needs no surface
  for (const char* face : {"Times New Roman", "Arial", "Courier New", "DejaVu Sans"}) {
    for (int height : {-11, -53, -200}) {
      dc.SelectFont(Font(height, DEFAULT_QUALITY, face));
      const std::u16string text = u"AVAWAY To, fi ffl 1234567890 \u00e9\u00df";
      std::vector<int32_t> partial;
      int32_t fit = 0;
      const TSize whole = dc.GetTextExtentEx(text, 1 << 30, &fit, &partial);
      ASSERT_EQ(partial.size(), text.size());
      EXPECT_EQ(fit, int32_t(text.size()));
      int32_t sum = 0;
      for (size_t i = 0; i < text.size(); ++i) {
        sum += dc.GetTextExtent(text.substr(i, 1)).cx;
        ASSERT_EQ(partial[i], sum) << face << " " << height << " at " << i;
        ASSERT_EQ(dc.GetTextExtent(text.substr(0, i + 1)).cx, sum);
      }
      EXPECT_EQ(whole.cx, sum);
      const TTextMetric m = dc.GetTextMetrics();
      EXPECT_EQ(whole.cy, m.Ascent + m.Descent);
      EXPECT_GE(m.MaxCharWidth, dc.GetTextExtent(u"W").cx);
      // The fit count stops at the first character that overflows.
      dc.GetTextExtentEx(text, partial[4], &fit, nullptr);
      EXPECT_EQ(fit, 5);
      dc.GetTextExtentEx(text, partial[4] - 1, &fit, nullptr);
      EXPECT_EQ(fit, 4);
    }
  }
}

TEST(TextMeasuring, CharacterExtraAndJustificationAddPixels) {
  DeviceContext dc;
  dc.SelectFont(Font(-15));
  const std::u16string text = u"a b c d";
  const int32_t base = dc.GetTextExtent(text).cx;
  const int32_t space = dc.GetTextExtent(u" ").cx;
  const int32_t ab = dc.GetTextExtent(u"a").cx + dc.GetTextExtent(u"b").cx;
  dc.SetTextCharacterExtra(2);
  EXPECT_EQ(dc.GetTextExtent(text).cx, base + 2 * 7);
  dc.SetTextCharacterExtra(0);
  // 7 pixels over 3 breaks: 3, 2, 2. Measuring reads the shares, output consumes them.
  dc.SetTextJustification(7, 3);
  EXPECT_EQ(dc.GetTextExtent(text).cx, base + 7);
  EXPECT_EQ(dc.GetTextExtent(u"a b").cx, ab + space + 3);
  EXPECT_EQ(dc.GetTextExtent(u"a b").cx, ab + space + 3);
  dc.TextOut(0, 0, u"a ");  // no surface, still consumes the first break
  EXPECT_EQ(dc.GetTextExtent(u" ").cx, space + 2);
  dc.TextOut(0, 0, u"  ");
  EXPECT_EQ(dc.GetTextExtent(u" ").cx, space);  // all breaks used
  dc.SetTextJustification(-4, 3);               // condensing: -2, -1, -1
  EXPECT_EQ(dc.GetTextExtent(u"   ").cx, 3 * space - 4);
  EXPECT_EQ(dc.GetTextExtent(u" ").cx, space - 2);
}

TEST(TextMeasuring, PositiveHeightIsTheCellHeight) {
  DeviceContext dc;
  for (int height : {12, 20, 37}) {
    dc.SelectFont(Font(height));
    EXPECT_NEAR(dc.GetTextMetrics().Height, height, 1);
  }
}

TEST(DrawText, WrapsWordsAndMeasuresTheRectangle) {
  DeviceContext dc;
  dc.SelectFont(Font(-14));
  const int32_t lineHeight = dc.GetTextMetrics().Height;
  const int32_t wordWidth = dc.GetTextExtent(u"word").cx;
  const int32_t pairWidth = dc.GetTextExtent(u"word word").cx;
  TRect r{0, 0, pairWidth, 0};
  EXPECT_EQ(dc.DrawText(u"word word word word word", r, DT_WORDBREAK | DT_CALCRECT),
            3 * lineHeight);
  EXPECT_EQ(r, (TRect{0, 0, pairWidth, 3 * lineHeight}));
  r = {0, 0, wordWidth - 1, 0};  // a word wider than the line stays whole
  dc.DrawText(u"word word", r, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(r, (TRect{0, 0, wordWidth, 2 * lineHeight}));
  r = {5, 5, 6, 6};
  dc.DrawText(u"one\r\ntwo\nthree", r, DT_CALCRECT);
  EXPECT_EQ(r.Bottom, 5 + 3 * lineHeight);
  EXPECT_EQ(r.Right, 5 + dc.GetTextExtent(u"three").cx);
}

TEST(DrawText, CentresAndClipsToTheRectangle) {
  const std::u16string text = u"Mid";
  Surface centred(100, 40), direct(100, 40);
  for (Surface* s : {&centred, &direct}) {
    s->dc.SelectFont(Font(-16, NONANTIALIASED_QUALITY));
    s->dc.SetBkMode(TRANSPARENT);
    s->dc.SetTextColor(0xFFFFFF);
  }
  const TSize e = direct.dc.GetTextExtent(text);
  TRect box{10, 4, 90, 36};
  centred.dc.DrawText(text, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  direct.dc.TextOut(10 + (80 - e.cx) / 2, 4 + (32 - e.cy) / 2, text);
  EXPECT_EQ(centred.pixels, direct.pixels);

  Surface clipped(100, 40);
  clipped.dc.SelectFont(Font(-30));
  clipped.dc.SetBkMode(OPAQUE);
  TRect small{0, 0, 10, 10};
  clipped.dc.DrawText(u"Wide text", small, DT_LEFT);
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 100; ++x) {
      if (!Inside(x, y, small)) {
        ASSERT_EQ(clipped.At(x, y), 0u);
      }
    }
  }
}

TEST(Font, SizeAndHeightAt96Dpi) {
  TFont font;
  font.SetSize(40);
  EXPECT_EQ(font.Height(), -53);
  font.SetSize(640);
  EXPECT_EQ(font.Height(), -853);
  font.SetSize(9);
  EXPECT_EQ(font.Height(), -12);
  EXPECT_EQ(font.Size(), 9);
  font.SetHeight(-16);
  EXPECT_EQ(font.Size(), 12);
}

TEST(Font, AssignKeepsQualityAndReportsEachChangeOnce) {
  TFont a, b;
  int changes = 0;
  b.OnChange = [&changes](TObject*) { ++changes; };
  a.SetName("Courier New");
  a.SetSize(20);
  a.SetStyle(fsBold | fsItalic);
  a.SetColor(clRed);
  a.SetQuality(fqNonAntialiased);
  b.Assign(a);
  EXPECT_EQ(changes, 1);
  b.Assign(a);
  b.SetSize(20);
  b.SetColor(clRed);
  EXPECT_EQ(changes, 1);
  b.SetSize(160);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(b.Quality(), fqNonAntialiased);
  const TLogFont lf = b.LogFont();
  EXPECT_EQ(lf.FaceName, "Courier New");
  EXPECT_EQ(lf.Height, -213);
  EXPECT_EQ(lf.Weight, 700);
  EXPECT_TRUE(lf.Italic);
  EXPECT_EQ(lf.Quality, NONANTIALIASED_QUALITY);
  TPen pen;
  EXPECT_THROW(b.Assign(pen), EConvertError);
}

}  // namespace
