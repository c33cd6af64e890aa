// Enhanced metafiles drawn onto 32-bit surfaces: 16- and 32-bit point records, paths, mapping
// modes and world transforms, clipping, arcs, bitmaps with raster operations, and text.
#include <gtest/gtest.h>

#include <functional>

#include "MetafileBuilder.h"

using namespace plat;
using namespace mftest;

namespace {

enum : uint32_t {
  kPolyBezier16 = 85,
  kPolygon16 = 86,
  kPolyPolygon = 8,
  kSetWindowExt = 9,
  kSetWindowOrg = 10,
  kSetViewportExt = 11,
  kSetMapMode = 17,
  kSetBkMode = 18,
  kSetPolyFillMode = 19,
  kSetTextAlign = 22,
  kSetTextColor = 24,
  kMoveTo = 27,
  kExcludeClipRect = 29,
  kIntersectClipRect = 30,
  kSaveDC = 33,
  kRestoreDC = 34,
  kSetWorldTransform = 35,
  kModifyWorldTransform = 36,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrush = 39,
  kRectangle = 43,
  kChord = 46,
  kPie = 47,
  kLineTo = 54,
  kSetArcDirection = 57,
  kBeginPath = 59,
  kEndPath = 60,
  kCloseFigure = 61,
  kFillPath = 62,
  kStrokePath = 64,
  kExtSelectClipRgn = 75,
  kBitBlt = 76,
  kStretchDibits = 81,
  kCreateFont = 82,
  kExtTextOutW = 84,
};
constexpr int64_t kStock = 0x80000000;
constexpr int64_t kNullPen = kStock | 8, kBlackBrush = kStock | 4;

// A 96 x 96 picture drawn one to one: the frame is an inch on a 96-dpi device.
std::string Picture(const Emf& e) {
  return e.Build(0, 0, 2540, 2540);
}

// Pen 1 (blue, one pixel) and brush 2 (solid red), both selected.
Emf WithPenAndBrush() {
  Emf e;
  e.Rec(kCreatePen, {1, PS_SOLID, 0, 0, kBlueRef});
  e.Rec(kCreateBrush, {2, BS_SOLID, kRedRef, 0});
  e.Rec(kSelectObject, {1}).Rec(kSelectObject, {2});
  return e;
}

int64_t P16(int x, int y) {
  return (x & 0xFFFF) | (int64_t(y & 0xFFFF) << 16);
}

}  // namespace

TEST(EmfDrawing, PointRecordsAndPolyPolygonFillRules) {
  Emf e = WithPenAndBrush();
  e.Rec(kPolygon16, {0, 0, 0, 0, 3, P16(10, 10), P16(40, 10), P16(10, 40)});
  // A flat curve along y = 60 from x = 10 to 50.
  e.Rec(kPolyBezier16, {0, 0, 0, 0, 4, P16(10, 60), P16(20, 60), P16(40, 60), P16(50, 60)});
  e.Rec(kSelectObject, {kNullPen});
  const std::initializer_list<int64_t> squares = {0,  0,  0,  0,  2,  8,  4,  4,  50, 50, 90, 50,
                                                  90, 90, 50, 90, 60, 60, 80, 60, 80, 80, 60, 80};
  e.Rec(kPolyPolygon, squares);
  const Surface s = Render(*Load(Picture(e)));
  EXPECT_EQ(s.At(15, 15), kRed);
  EXPECT_EQ(s.At(10, 25), kBlue);  // the triangle's outline
  EXPECT_EQ(s.At(35, 35), kGrey);
  for (int x = 12; x < 48; x += 5) EXPECT_EQ(s.At(x, 60), kBlue) << x;
  EXPECT_EQ(s.At(30, 61), kGrey);
  EXPECT_EQ(s.At(55, 55), kRed);
  EXPECT_EQ(s.At(70, 70), kGrey);  // the hole

  Emf winding = WithPenAndBrush();
  winding.Rec(kSetPolyFillMode, {WINDING})
      .Rec(kSelectObject, {kNullPen})
      .Rec(kPolyPolygon, squares);
  const Surface w = Render(*Load(Picture(winding)));
  EXPECT_EQ(w.At(70, 70), kRed);
  EXPECT_EQ(w.At(55, 55), kRed);
}

TEST(EmfDrawing, PathsAreFilledAndStrokedAsOneShape) {
  Emf e = WithPenAndBrush();
  e.Rec(kBeginPath, {}).Rec(kMoveTo, {10, 10}).Rec(kLineTo, {50, 10}).Rec(kLineTo, {50, 50});
  e.Rec(kLineTo, {10, 50}).Rec(kCloseFigure, {});
  e.Rec(kMoveTo, {20, 20}).Rec(kLineTo, {40, 20}).Rec(kLineTo, {40, 40}).Rec(kLineTo, {20, 40});
  e.Rec(kCloseFigure, {}).Rec(kEndPath, {});
  e.Rec(kSelectObject, {kBlackBrush}).Rec(kFillPath, {0, 0, 0, 0});
  // The path is used up; a stroke of a fresh one draws its outline only.
  e.Rec(kBeginPath, {}).Rec(kMoveTo, {60, 60}).Rec(kLineTo, {90, 60}).Rec(kLineTo, {90, 90});
  e.Rec(kCloseFigure, {}).Rec(kEndPath, {}).Rec(kStrokePath, {0, 0, 0, 0});
  e.Rec(kFillPath, {0, 0, 0, 0});  // nothing left to fill
  const Surface s = Render(*Load(Picture(e)));
  EXPECT_EQ(s.At(15, 15), 0u);
  EXPECT_EQ(s.At(30, 30), kGrey);  // the inner figure is a hole under alternate filling
  EXPECT_EQ(s.At(75, 60), kBlue);
  EXPECT_EQ(s.At(90, 75), kBlue);
  EXPECT_EQ(s.At(85, 70), kGrey);
}

TEST(EmfDrawing, MappingModesAndWorldTransforms) {
  Emf e = WithPenAndBrush();
  e.Rec(kSelectObject, {kNullPen});
  e.Rec(kSaveDC, {});
  // A window of 1000 units over 96 device pixels: 500 units are 48 pixels.
  e.Rec(kSetMapMode, {MM_ANISOTROPIC}).Rec(kSetWindowExt, {1000, 1000});
  e.Rec(kSetViewportExt, {96, 96}).Rec(kSetWindowOrg, {-500, 0});
  e.Rec(kRectangle, {0, 500, 250, 750});  // -> (48,48)-(72,72)
  e.Rec(kRestoreDC, {-1});
  // Hundredths of a millimetre, y up: 1000 of them are 37.8 pixels on this device.
  e.Rec(kSaveDC, {}).Rec(kSetMapMode, {MM_HIMETRIC}).Rec(kRectangle, {0, 0, 1000, -1000});
  e.Rec(kRestoreDC, {-1});
  // Scale by two and move 50 to the right.
  Le xform;
  xform.F32(2).F32(0).F32(0).F32(2).F32(50).F32(0);
  e.RecBytes(kSetWorldTransform, xform.d).Rec(kRectangle, {0, 0, 10, 10});  // -> (50,0)-(70,20)
  e.RecBytes(kModifyWorldTransform, xform.d + Le().U32(1).d);               // back to identity
  e.Rec(kRectangle, {80, 80, 90, 90});
  const Surface s = Render(*Load(Picture(e)));
  EXPECT_EQ(s.At(49, 49), kRed);
  EXPECT_EQ(s.At(71, 71), kRed);
  EXPECT_EQ(s.At(73, 60), kGrey);
  EXPECT_EQ(s.At(47, 60), kGrey);
  EXPECT_EQ(s.At(18, 18), kRed);
  EXPECT_EQ(s.At(36, 36), kRed);
  EXPECT_EQ(s.At(39, 20), kGrey);
  EXPECT_EQ(s.At(60, 10), kRed);
  EXPECT_EQ(s.At(69, 19), kRed);
  EXPECT_EQ(s.At(71, 10), kGrey);
  EXPECT_EQ(s.At(85, 85), kRed);
  EXPECT_EQ(s.At(85, 91), kGrey);

  // The frame maps onto whatever rectangle the picture is drawn into.
  const Surface half = Render(*Load(Picture(e)), 48, 48, {0, 0, 48, 48});
  EXPECT_EQ(half.At(30, 5), kRed);
  EXPECT_EQ(half.At(42, 42), kRed);
  EXPECT_EQ(half.At(46, 42), kGrey);
}

TEST(EmfDrawing, GeometricPensKeepTheirCapsAndJoins) {
  // Ten-pixel pens on two corners: flat ends and a mitred corner, square ends and a bevelled one.
  const auto pen = [](uint32_t index, uint32_t capAndJoin) {
    Le r;  // object, no bitmap, style, width, brush style, colour, hatch, no dashes
    r.U32(index).U32(0).U32(0).U32(0).U32(0).U32(0x10000 | capAndJoin).U32(10).U32(BS_SOLID);
    return r.U32(kBlueRef).U32(0).U32(0).d;
  };
  Emf e;
  e.RecBytes(95, pen(1, PS_ENDCAP_FLAT | PS_JOIN_MITER)).Rec(kSelectObject, {1});
  e.Rec(87, {0, 0, 0, 0, 3, P16(20, 20), P16(70, 20), P16(70, 70)});
  e.RecBytes(95, pen(2, PS_ENDCAP_SQUARE | PS_JOIN_BEVEL)).Rec(kSelectObject, {2});
  e.Rec(87, {0, 0, 0, 0, 3, P16(10, 50), P16(40, 50), P16(40, 90)});
  const Surface s = Render(*Load(Picture(e)));
  EXPECT_EQ(s.At(45, 20), kBlue);
  EXPECT_EQ(s.At(74, 16), kBlue);  // the mitre's point
  EXPECT_EQ(s.At(17, 20), kGrey);  // no cap before the start
  EXPECT_EQ(s.At(70, 69), kBlue);
  EXPECT_EQ(s.At(70, 73), kGrey);  // nor after the end
  EXPECT_EQ(s.At(7, 50), kBlue);   // the square cap
  EXPECT_EQ(s.At(42, 48), kBlue);  // inside the bevel
  EXPECT_EQ(s.At(44, 46), kGrey);  // cut off by it
  EXPECT_EQ(s.At(40, 93), kBlue);
}

TEST(EmfDrawing, ClippingByRectanglesAndRegions) {
  Emf e = WithPenAndBrush();
  e.Rec(kSelectObject, {kNullPen});
  e.Rec(kIntersectClipRect, {0, 0, 30, 96});
  e.Rec(kRectangle, {10, 10, 50, 40});
  e.Rec(kSaveDC, {}).Rec(kExcludeClipRect, {0, 50, 20, 60}).Rec(kRectangle, {10, 45, 50, 70});
  e.Rec(kRestoreDC, {1});
  e.Rec(kExtSelectClipRgn, {0, RGN_COPY});  // no region: the whole picture again
  e.Rec(kRectangle, {60, 80, 90, 90});
  const Surface s = Render(*Load(Picture(e)));
  EXPECT_EQ(s.At(20, 20), kRed);
  EXPECT_EQ(s.At(40, 20), kGrey);
  EXPECT_EQ(s.At(25, 47), kRed);
  EXPECT_EQ(s.At(15, 55), kGrey);  // excluded
  EXPECT_EQ(s.At(25, 55), kRed);
  EXPECT_EQ(s.At(40, 55), kGrey);  // still outside the first clip
  EXPECT_EQ(s.At(75, 85), kRed);
}

TEST(EmfDrawing, ClipPathsHoldOnLargePictures) {
  // A circle 1500 pixels across makes a clip of 1500 rows.
  Emf e = WithPenAndBrush();
  e.Rec(kBeginPath, {}).Rec(42, {0, 0, 1500, 1500}).Rec(kEndPath, {}).Rec(67, {RGN_COPY});
  e.Rec(kSelectObject, {kNullPen}).Rec(kRectangle, {0, 0, 1500, 1500});
  const Surface s = Render(*Load(e.Build(0, 0, 39688, 39688)));
  ASSERT_EQ(s.w, 1500);
  EXPECT_EQ(s.At(750, 750), kRed);
  EXPECT_EQ(s.At(750, 3), kRed);
  EXPECT_EQ(s.At(20, 20), kGrey);
  EXPECT_EQ(s.At(1480, 1480), kGrey);
}

TEST(EmfDrawing, PiesAndChordsFollowTheArcDirection) {
  const auto pie = [](uint32_t type, int direction) {
    Emf e = WithPenAndBrush();
    e.Rec(kSelectObject, {kNullPen}).Rec(kSetArcDirection, {direction});
    // From the radial through 3 o'clock to the one through 12 o'clock.
    e.Rec(type, {10, 10, 90, 90, 90, 50, 50, 10});
    return Render(*Load(Picture(e)));
  };
  const Surface ccw = pie(kPie, 1);
  EXPECT_EQ(ccw.At(65, 35), kRed);
  EXPECT_EQ(ccw.At(35, 35), kGrey);
  EXPECT_EQ(ccw.At(65, 65), kGrey);
  EXPECT_EQ(ccw.At(85, 15), kGrey);  // outside the circle
  const Surface cw = pie(kPie, 2);
  EXPECT_EQ(cw.At(65, 35), kGrey);
  EXPECT_EQ(cw.At(35, 35), kRed);
  EXPECT_EQ(cw.At(65, 65), kRed);
  EXPECT_EQ(cw.At(35, 65), kRed);
  const Surface chord = pie(kChord, 1);
  EXPECT_EQ(chord.At(75, 25), kRed);   // beyond the chord from (90,50) to (50,10)
  EXPECT_EQ(chord.At(55, 45), kGrey);  // on the centre's side of it
}

TEST(EmfDrawing, BitmapsWithRasterOperations) {
  std::string bits;
  const std::string info = Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, &bits);
  const std::string stretch = EmfStretchDibits(10, 10, 0, 0, 2, 2, 0, SRCCOPY, 40, 40, info, bits);
  // An all-white bitmap inverted onto the grey background: 0x80 ^ 0xFF = 0x7F.
  std::string whiteBits;
  const std::string whiteInfo = Dib24(2, 2, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, &whiteBits);
  Le blit;
  blit.U32(0).U32(0).U32(0).U32(0).U32(60).U32(60).U32(2).U32(2).U32(SRCINVERT).U32(0).U32(0);
  blit.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0).U32(0);
  blit.U32(100).U32(uint32_t(whiteInfo.size())).U32(uint32_t(100 + whiteInfo.size()));
  blit.U32(uint32_t(whiteBits.size())).Raw(whiteInfo + whiteBits);
  // Without a bitmap a block transfer paints the brush.
  Le patBlt;
  patBlt.U32(0).U32(0).U32(0).U32(0).U32(70).U32(10).U32(10).U32(10).U32(PATCOPY).U32(0).U32(0);
  patBlt.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
  Emf e = WithPenAndBrush();
  e.RecBytes(kStretchDibits, stretch).RecBytes(kBitBlt, blit.d).RecBytes(kBitBlt, patBlt.d);
  const Surface s = Render(*Load(Picture(e)));
  EXPECT_EQ(s.At(15, 15), kRed);
  EXPECT_EQ(s.At(45, 15), kGreen);
  EXPECT_EQ(s.At(15, 45), kBlue);
  EXPECT_EQ(s.At(45, 45), 0xFFFFFFu);
  EXPECT_EQ(s.At(51, 51), kGrey);
  EXPECT_EQ(s.At(60, 60), 0x7F7F7Fu);
  EXPECT_EQ(s.At(61, 61), 0x7F7F7Fu);
  EXPECT_EQ(s.At(62, 62), kGrey);
  EXPECT_EQ(s.At(75, 15), kRed);
}

TEST(EmfDrawing, WideTextMatchesTheDeviceContext) {
  Le font;  // object index, then the font description with a wide face name
  font.U32(3).U32(uint32_t(-24)).U32(0).U32(0).U32(0).U32(700).U8(0).U8(0).U8(0).U8(0);
  font.U8(0).U8(0).U8(0).U8(0);
  const std::u16string face = u"DejaVu Sans";
  for (int i = 0; i < 32; ++i) font.U16(i < int(face.size()) ? face[size_t(i)] : 0);
  Le text;
  text.U32(0).U32(0).U32(0).U32(0).U32(1).F32(1).F32(1);  // bounds, mode, scales
  text.U32(48).U32(40).U32(3).U32(76).U32(0);             // reference, count, offset, options
  text.U32(0).U32(0).U32(0).U32(0).U32(0);                // rectangle, spacing offset
  text.U16('A').U16(0x00E9).U16('z');
  Emf e;
  e.RecBytes(kCreateFont, font.d).Rec(kSelectObject, {3});
  e.Rec(kSetTextColor, {kBlueRef}).Rec(kSetBkMode, {TRANSPARENT});
  e.Rec(kSetTextAlign, {TA_CENTER | TA_BASELINE});
  e.RecBytes(kExtTextOutW, text.d);
  const Surface s = Render(*Load(Picture(e)));

  std::vector<uint32_t> expected(96 * 96, 0xFF808080);
  DeviceContext dc(expected.data(), 96, 96, 96 * 4);
  TLogFont f;
  f.FaceName = "DejaVu Sans";
  f.Height = -24;
  f.Weight = 700;
  f.CharSet = 0;
  dc.SelectFont(f);
  dc.SetTextColor(kBlueRef);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_CENTER | TA_BASELINE);
  dc.TextOut(48, 40, u"A\u00E9z");
  ASSERT_NE(expected, std::vector<uint32_t>(96 * 96, 0xFF808080));
  EXPECT_EQ(s.px, expected);
}

TEST(EmfDrawing, BlockSourcesCountRowsFromTheTopButDeviceBitsFromTheBottom) {
  std::string bits;
  const std::string info = Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, &bits);
  const auto dibTail = [&](Le& record, uint32_t at) {
    record.U32(at).U32(uint32_t(info.size())).U32(uint32_t(at + info.size()));
    record.U32(uint32_t(bits.size()));
  };
  // Stretch block: the source's top-right pixel (green) onto 10 x 10 pixels.
  Le stretch;
  stretch.U32(0).U32(0).U32(0).U32(0).U32(70).U32(70).U32(10).U32(10).U32(SRCCOPY).U32(1).U32(0);
  stretch.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0).U32(0);
  dibTail(stretch, 108);
  stretch.U32(1).U32(1).Raw(info + bits);
  // Device bits at one pixel per pixel: the source's top-left pixel comes out at the top left.
  Le toDevice;
  toDevice.U32(0).U32(0).U32(0).U32(0).U32(80).U32(40).U32(0).U32(0).U32(2).U32(2);
  dibTail(toDevice, 76);
  toDevice.U32(0).U32(0).U32(2).Raw(info + bits);
  // The bottom row of the bitmap is row 0 of StretchDIBits' source.
  const std::string bottomRow =
      EmfStretchDibits(10, 80, 0, 0, 2, 1, 0, SRCCOPY, 20, 10, info, bits);
  Emf e;
  e.RecBytes(77, stretch.d).RecBytes(80, toDevice.d).RecBytes(kStretchDibits, bottomRow);
  const Surface s = Render(*Load(Picture(e)));
  EXPECT_EQ(s.At(70, 70), kGreen);
  EXPECT_EQ(s.At(79, 79), kGreen);
  EXPECT_EQ(s.At(80, 80), kGrey);
  EXPECT_EQ(s.At(80, 40), kRed);
  EXPECT_EQ(s.At(81, 40), kGreen);
  EXPECT_EQ(s.At(80, 41), kBlue);
  EXPECT_EQ(s.At(81, 41), 0xFFFFFFu);
  EXPECT_EQ(s.At(12, 85), kBlue);
  EXPECT_EQ(s.At(25, 85), 0xFFFFFFu);
}

TEST(EmfDrawing, FrameOriginAndOpaqueAnsiText) {
  // The frame starts half an inch in: logical (48, 48) is the picture's top left.
  Emf shifted = WithPenAndBrush();
  shifted.Rec(kSelectObject, {kNullPen}).Rec(kRectangle, {48, 48, 58, 58});
  const auto m = Load(shifted.Build(1270, 1270, 3810, 3810));
  ASSERT_EQ(m->Width(), 96);
  const Surface s = Render(*m);
  EXPECT_EQ(s.At(0, 0), kRed);
  EXPECT_EQ(s.At(9, 9), kRed);
  EXPECT_EQ(s.At(10, 10), kGrey);

  // 8-bit text in the Western code page on an opaque rectangle of the background colour.
  Le text;
  text.U32(0).U32(0).U32(0).U32(0).U32(1).F32(1).F32(1);
  text.U32(20).U32(30).U32(4).U32(76).U32(ETO_OPAQUE | ETO_CLIPPED);
  text.U32(10).U32(20).U32(60).U32(50).U32(0);
  text.Raw("Gr\x80\xE9");
  Emf e;
  e.Rec(kSetTextColor, {kRedRef}).Rec(25, {kGreenRef});
  e.RecBytes(83, text.d);
  const Surface t = Render(*Load(Picture(e)));
  std::vector<uint32_t> expected(96 * 96, 0xFF808080);
  DeviceContext dc(expected.data(), 96, 96, 96 * 4);
  dc.SetTextColor(kRedRef);
  dc.SetBkColor(kGreenRef);
  const TRect box{10, 20, 60, 50};
  dc.ExtTextOut(20, 30, ETO_OPAQUE | ETO_CLIPPED, &box, u"Gr\u20AC\u00E9");
  EXPECT_EQ(t.px, expected);
  EXPECT_EQ(t.At(11, 21), kGreen);
  EXPECT_EQ(t.At(60, 21), kGrey);
}

TEST(EmfDrawing, GlyphIndexTextPaintsOnlyItsOpaqueBox) {
  // Glyphs 36 to 38 of the recording font: drawn as characters they would read "$%&".
  const auto glyphs = [](uint32_t options, int left) {
    Le text;
    text.U32(0).U32(0).U32(0).U32(0).U32(1).F32(1).F32(1);
    text.U32(uint32_t(left + 5)).U32(40).U32(3).U32(76).U32(options);
    text.U32(uint32_t(left)).U32(20).U32(uint32_t(left + 40)).U32(50).U32(0);
    return text.U16(36).U16(37).U16(38).d;
  };
  Emf e;
  e.Rec(kSetTextColor, {kRedRef}).Rec(25, {kGreenRef});
  e.RecBytes(kExtTextOutW, glyphs(ETO_GLYPH_INDEX | ETO_OPAQUE, 5));
  e.RecBytes(kExtTextOutW, glyphs(ETO_GLYPH_INDEX | ETO_CLIPPED, 50));
  const Surface s = Render(*Load(Picture(e)));
  for (int y = 0; y < 96; ++y) {
    for (int x = 0; x < 96; ++x) {
      const bool box = x >= 5 && x < 45 && y >= 20 && y < 50;
      ASSERT_EQ(s.At(x, y), box ? kGreen : kGrey) << x << "," << y;
    }
  }
}

TEST(EmfDrawing, TextFromTheCurrentPositionMovesIt) {
  // Two pieces from the current position, then a right-aligned one back from where they ended,
  // land where the whole string and its last piece would.
  const auto piece = [](const std::u16string& s) {
    Le text;
    text.U32(0).U32(0).U32(0).U32(0).U32(1).F32(1).F32(1).U32(0).U32(0);
    text.U32(uint32_t(s.size())).U32(76).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    for (char16_t c : s) text.U16(c);
    return text.d;
  };
  Emf e;
  e.Rec(kSetTextColor, {kRedRef}).Rec(kSetBkMode, {TRANSPARENT}).Rec(kMoveTo, {5, 10});
  e.Rec(kSetTextAlign, {TA_UPDATECP})
      .RecBytes(kExtTextOutW, piece(u"Ab"))
      .RecBytes(kExtTextOutW, piece(u"cd"));
  e.Rec(kSetTextAlign, {TA_UPDATECP | TA_RIGHT | TA_BOTTOM}).RecBytes(kExtTextOutW, piece(u"W"));
  const Surface s = Render(*Load(Picture(e)));

  std::vector<uint32_t> expected(96 * 96, 0xFF808080);
  DeviceContext dc(expected.data(), 96, 96, 96 * 4);
  dc.SetTextColor(kRedRef);
  dc.SetBkMode(TRANSPARENT);
  dc.TextOut(5, 10, u"Abcd");
  const int end = 5 + dc.GetTextExtent(u"Abcd").cx;
  dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
  dc.TextOut(end, 10, u"W");
  EXPECT_EQ(s.px, expected);
}

TEST(EmfDrawing, PathFiguresFromAngleArcsArcsToAndPointTypes) {
  const auto filled = [](const std::function<void(Emf&)>& figure) {
    Emf e = WithPenAndBrush();
    e.Rec(kSelectObject, {kNullPen}).Rec(kBeginPath, {});
    figure(e);
    e.Rec(kCloseFigure, {}).Rec(kEndPath, {}).Rec(kFillPath, {0, 0, 0, 0});
    return Render(*Load(Picture(e)));
  };
  // From the centre out to 0 degrees, then a quarter turn counter-clockwise: the upper right.
  Le angleArc;
  angleArc.U32(50).U32(50).U32(40).F32(0).F32(90);
  const Surface a = filled([&](Emf& e) { e.Rec(kMoveTo, {50, 50}).RecBytes(41, angleArc.d); });
  EXPECT_EQ(a.At(65, 35), kRed);
  EXPECT_EQ(a.At(35, 35), kGrey);
  EXPECT_EQ(a.At(65, 65), kGrey);
  // A line to the arc's start at 6 o'clock, then counter-clockwise to 3 o'clock: the lower right.
  const Surface b = filled([](Emf& e) {
    e.Rec(kMoveTo, {50, 50}).Rec(55, {10, 10, 90, 90, 50, 90, 90, 50});
  });
  EXPECT_EQ(b.At(65, 65), kRed);
  EXPECT_EQ(b.At(65, 35), kGrey);
  EXPECT_EQ(b.At(35, 65), kGrey);
  // Point types: a move, two lines and a closing flag make a triangle.
  Le polyDraw;
  polyDraw.U32(0).U32(0).U32(0).U32(0).U32(3);
  polyDraw.U16(10).U16(10).U16(40).U16(10).U16(10).U16(40).U8(6).U8(2).U8(3);
  const Surface c = filled([&](Emf& e) { e.RecBytes(92, polyDraw.d); });
  EXPECT_EQ(c.At(15, 15), kRed);
  EXPECT_EQ(c.At(35, 35), kGrey);
}
